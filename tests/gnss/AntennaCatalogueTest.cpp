#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace trasso::test {
namespace {

// The measuring point "bottom of the antenna mount" in code page 932.
const std::string kBottom = "\xB1\xDD\xC3\xC5\xCF\xB3\xDD\xC4\x82\xCC\x92\xEA\x95\x94";

// Lines joined as a new settings file holds them: each ends in CR LF.
std::string crlf(std::initializer_list<std::string> lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

class AntennaCatalogueTest : public RootsTest {
 protected:
  void deliverTypes(const std::string& bytes) { writeBytes(inf("Antenna.ini", 1), bytes); }
  void deliverSensors(const std::string& bytes) { writeBytes(inf("AntennaSensor.ini", 1), bytes); }
  std::string merged() const { return readBytes(inf("AntennaLocal.ini")); }
  bool mergedExists() const { return exists(inf("AntennaLocal.ini")); }
};

void expectRec(const QZ_AntennaRec& rec, int id, int sensor, const char* name, const char* charCode,
               const char* bmp, const char* sensorBmp, double offset) {
  EXPECT_EQ(rec.ID, id);
  EXPECT_EQ(rec.Sensor, sensor);
  EXPECT_EQ(rec.Name, name);
  EXPECT_EQ(rec.CharCode, charCode);
  EXPECT_EQ(rec.Bmp, bmp);
  EXPECT_EQ(rec.SensorBmp, sensorBmp);
  EXPECT_EQ(rec.Offset, offset);
}

TEST_F(AntennaCatalogueTest, MergesSurveyTypesThenSensorsWithoutType) {
  deliverTypes(crlf({
      "[Survey]",
      "Ant1=GX10,rover antenna",
      "Ant2=,,PolePack,x",  // empty fields are skipped: the section is PolePack
      "Ant3=GX10",          // the second record of type 5
      "Ant4=",              // ends the list
      "Ant5=GX10",
      "[GX10]",
      "Type=5",
      "Name=GX-10",
      "CharCode=G10",
      "MeasMethod0=ARP,0.000",
      "MeasMethod1=" + kBottom + ",0.062",
      "MeasMethod2=" + kBottom + ",0.100",
      "[PolePack]",
      "Type=9",
      "Name=Pole pack",
  }));
  deliverSensors(crlf({
      "[AntennaList]",
      "Antenna000ID=5",
      "Antenna000Sensor=2",
      "Antenna000Ren=",
      "Antenna000Bmp=gx10.bmp",
      "Antenna000SensorBmp=r2.bmp",
      "Antenna001ID=-1",
      "Antenna001Sensor=3",
      "Antenna001Ren=Handheld",
      "Antenna001Bmp=hh.bmp",
      "Antenna001SensorBmp=r3.bmp",
      "Antenna002ID=7",
      "Antenna002Sensor=4",
      "Antenna002SensorBmp=r4.bmp",
      "Antenna003ID=5",
      "Antenna003Sensor=6",
      "Antenna003Ren=GX-10 on R6",
      "Antenna004ID=5",
      "Antenna004Sensor=8",
      "Antenna005ID=-1",
      "Antenna006ID=-2",
      "Antenna007ID=-1",
      "Antenna007Sensor=9",
  }));

  EXPECT_EQ(AntennaInit(), 1);
  // Type 7 is not in "Survey" and the third type-5 record found no entry: both
  // are dropped. Entries without type carry only sensor and sensor picture.
  EXPECT_EQ(merged(), crlf({
                          "[AntennaList]",
                          "Antenna000ID=5",
                          "Antenna000Sensor=2",
                          "Antenna000Name=GX-10",
                          "Antenna000CharCode=G10",
                          "Antenna000Bmp=gx10.bmp",
                          "Antenna000SensorBmp=r2.bmp",
                          "Antenna000Offset=0.062",
                          "Antenna001ID=5",
                          "Antenna001Sensor=6",
                          "Antenna001Name=GX-10",
                          "Antenna001Ren=GX-10 on R6",
                          "Antenna001CharCode=G10",
                          "Antenna001Offset=0.062",
                          "Antenna002ID=-1",
                          "Antenna002Sensor=3",
                          "Antenna002Name=",
                          "Antenna002Ren=",
                          "Antenna002CharCode=",
                          "Antenna002Bmp=",
                          "Antenna002SensorBmp=r3.bmp",
                          "Antenna002Offset=",
                          "Antenna003ID=-1",
                          "Antenna003Name=",
                          "Antenna003CharCode=",
                          "Antenna003Offset=",
                          "AntennaCnt=4",
                      }));

  QZ_AntennaRec rec;
  ASSERT_EQ(GetAntennaRec(0, rec), 1);
  expectRec(rec, 5, 2, "GX-10", "G10", "gx10.bmp", "r2.bmp", 0.062);
  ASSERT_EQ(GetAntennaRec(1, rec), 1);  // Ren replaces the type's name
  expectRec(rec, 5, 6, "GX-10 on R6", "G10", "", "", 0.062);
  ASSERT_EQ(GetAntennaRec(2, rec), 1);
  expectRec(rec, -1, 3, "", "", "", "r3.bmp", 0.0);
  ASSERT_EQ(GetAntennaRec(3, rec), 1);
  expectRec(rec, -1, -1, "", "", "", "", 0.0);
  EXPECT_EQ(GetAntennaRec(4, rec), 0);
  expectRec(rec, -1, -1, "", "", "", "", 0.0);  // untouched
}

TEST_F(AntennaCatalogueTest, OffsetIsTheFirstBottomOfMountMethod) {
  struct Row {
    const char* what;
    std::vector<std::string> methods;
    const char* offset;
  } const rows[] = {
      {"after another method", {"ARP,0.000", kBottom + ",0.062"}, "0.062"},
      {"first match counts", {kBottom + ",0.050", kBottom + ",0.070"}, "0.050"},
      {"empty fields skipped", {kBottom + ",,0.045,x"}, "0.045"},
      {"inside a longer description", {"Plate " + kBottom + " edge,0.031"}, "0.031"},
      {"no offset field", {kBottom, kBottom + ",0.070"}, ""},
      {"no such method", {"ARP,0.000", "Top,0.120"}, ""},
      {"list ends at an empty method", {"", kBottom + ",0.062"}, ""},
      {"half-width part alone", {"\xB1\xDD\xC3\xC5\xCF\xB3\xDD\xC4,0.5"}, ""},
      // 0x81 0xB1 is one double-byte character: no match starts in its middle.
      {"inside a double-byte character",
       {"\x81" + kBottom + ",0.090", kBottom + ",0.020"},
       "0.020"},
  };
  deliverSensors(crlf({"[AntennaList]", "Antenna000ID=5"}));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::string types = crlf({"[Survey]", "Ant1=A5", "[A5]", "Type=5", "Name=N", "CharCode=C"});
    int m = 0;
    for (const std::string& method : row.methods) {
      types += "MeasMethod" + std::to_string(m++) + "=" + method + "\r\n";
    }
    deliverTypes(types);
    EXPECT_EQ(AntennaInit(), 1);
    EXPECT_EQ(merged(),
              crlf({"[AntennaList]", "Antenna000ID=5", "Antenna000Name=N", "Antenna000CharCode=C",
                    std::string("Antenna000Offset=") + row.offset, "AntennaCnt=1"}));
  }
}

TEST_F(AntennaCatalogueTest, MissingTypeFileWritesOnlySensorsWithoutType) {
  deliverSensors(crlf({"[AntennaList]", "Antenna000ID=5", "Antenna000Sensor=2", "Antenna001ID=-1",
                       "Antenna001Sensor=0", "Antenna001SensorBmp=r0.bmp"}));
  EXPECT_EQ(AntennaInit(), 1);
  EXPECT_EQ(merged(), crlf({"[AntennaList]", "Antenna000ID=-1", "Antenna000Sensor=0",
                            "Antenna000Name=", "Antenna000CharCode=", "Antenna000SensorBmp=r0.bmp",
                            "Antenna000Offset=", "AntennaCnt=1"}));

  // Nothing pairs and no sensor lacks a type: only the count, and result 0.
  deliverSensors(crlf({"[AntennaList]", "Antenna000ID=5", "Antenna001ID=6"}));
  EXPECT_EQ(AntennaInit(), 0);
  EXPECT_EQ(merged(), crlf({"[AntennaList]", "AntennaCnt=0"}));
  QZ_AntennaRec rec;
  EXPECT_EQ(GetAntennaRec(0, rec), 0);
}

TEST_F(AntennaCatalogueTest, MissingSectionPairsWithFirstSensorWithoutType) {
  // "Type" of a missing section reads as -1, which a sensor record without type
  // matches; that record is then written as a paired entry (Ren and Bmp kept)
  // and not again among the sensors without type.
  deliverTypes(crlf({"[Survey]", "Ant1=Gone"}));
  deliverSensors(crlf({"[AntennaList]", "Antenna000ID=-1", "Antenna000Sensor=4",
                       "Antenna000Ren=Old unit", "Antenna000Bmp=old.bmp", "Antenna001ID=-1",
                       "Antenna001Sensor=5", "Antenna001Ren=New unit", "Antenna001Bmp=new.bmp"}));
  EXPECT_EQ(AntennaInit(), 1);
  EXPECT_EQ(merged(), crlf({"[AntennaList]", "Antenna000ID=-1", "Antenna000Sensor=4",
                            "Antenna000Name=", "Antenna000Ren=Old unit",
                            "Antenna000CharCode=", "Antenna000Bmp=old.bmp",
                            "Antenna000Offset=", "Antenna001ID=-1", "Antenna001Sensor=5",
                            "Antenna001Name=", "Antenna001Ren=", "Antenna001CharCode=",
                            "Antenna001Bmp=", "Antenna001Offset=", "AntennaCnt=2"}));
}

TEST_F(AntennaCatalogueTest, EmptySensorListDeletesTheOldCatalogue) {
  const char* const sensorLists[] = {
      nullptr,  // no file
      "[AntennaList]\r\nAntenna000ID=-2\r\nAntenna001ID=5\r\n",
      "[AntennaList]\r\nAntenna000ID=-7\r\n",
      "[AntennaList]\r\nAntenna000Sensor=1\r\nAntenna001ID=5\r\n",
      "[Other]\r\nAntenna000ID=1\r\n",
  };
  deliverTypes(crlf({"[Survey]", "Ant1=A", "[A]", "Type=-1"}));
  for (const char* sensors : sensorLists) {
    SCOPED_TRACE(sensors ? sensors : "(no file)");
    std::filesystem::remove(inf("AntennaSensor.ini", 1));
    if (sensors != nullptr) deliverSensors(sensors);
    writeBytes(inf("AntennaLocal.ini"), crlf({"[AntennaList]", "Antenna000ID=3", "AntennaCnt=1"}));
    EXPECT_EQ(AntennaInit(), 0);
    EXPECT_FALSE(mergedExists());
    QZ_AntennaRec rec;
    EXPECT_EQ(GetAntennaRec(0, rec), 0);
  }
  EXPECT_EQ(listFolder(root(0) + "/inf"), "");
}

TEST_F(AntennaCatalogueTest, RebuildsFromScratchAndTwiceGivesTheSameFile) {
  deliverTypes(crlf({"[Survey]", "Ant1=B", "[B]", "Type=2", "Name=Base", "CharCode=B2",
                     "MeasMethod0=" + kBottom + ",0.125"}));
  deliverSensors(crlf({"[AntennaList]", "Antenna000ID=2", "Antenna000Sensor=1",
                       "Antenna000Bmp=b.bmp", "Antenna001ID=-1", "Antenna001Sensor=7"}));
  const std::string expected =
      crlf({"[AntennaList]", "Antenna000ID=2", "Antenna000Sensor=1", "Antenna000Name=Base",
            "Antenna000CharCode=B2", "Antenna000Bmp=b.bmp", "Antenna000Offset=0.125",
            "Antenna001ID=-1", "Antenna001Sensor=7",
            "Antenna001Name=", "Antenna001CharCode=", "Antenna001Offset=", "AntennaCnt=2"});
  // An earlier catalogue with more entries and other lines leaves nothing behind.
  writeBytes(inf("AntennaLocal.ini"),
             "; old\n[AntennaList]\nAntenna000ID=9\nAntenna002ID=4\nAntennaCnt=3\n[Extra]\nx=1\n");
  EXPECT_EQ(AntennaInit(), 1);
  EXPECT_EQ(merged(), expected);
  EXPECT_EQ(AntennaInit(), 1);
  EXPECT_EQ(merged(), expected);
  QZ_AntennaRec rec;
  EXPECT_EQ(GetAntennaRec(2, rec), 0);
  EXPECT_EQ(listFolder(root(0) + "/inf"), "AntennaLocal.ini\n");
}

TEST_F(AntennaCatalogueTest, EntryNumbersGrowPastThreeDigits) {
  std::string sensors = "[AntennaList]\r\n";
  for (int n = 0; n <= 1000; ++n) {
    char key[32];
    std::snprintf(key, sizeof key, "Antenna%03d", n);
    sensors += std::string(key) + "ID=-1\r\n" + key + "Sensor=" + std::to_string(n) + "\r\n";
  }
  deliverSensors(sensors);
  EXPECT_EQ(AntennaInit(), 1);
  const std::string file = merged();
  EXPECT_NE(file.find("\r\nAntenna999ID=-1\r\nAntenna999Sensor=999\r\n"), std::string::npos);
  EXPECT_NE(file.find("\r\nAntenna1000ID=-1\r\nAntenna1000Sensor=1000\r\n"), std::string::npos);
  EXPECT_NE(file.find("\r\nAntenna1000Offset=\r\nAntennaCnt=1001\r\n"), std::string::npos);
  QZ_AntennaRec rec;
  ASSERT_EQ(GetAntennaRec(1000, rec), 1);
  EXPECT_EQ(rec.Sensor, 1000);
  EXPECT_EQ(GetAntennaRec(1001, rec), 0);
}

TEST_F(AntennaCatalogueTest, GetAntennaRecReadsTheMergedCatalogueOfRootZero) {
  writeBytes(
      inf("AntennaLocal.ini"),
      crlf({"[AntennaList]", "Antenna000ID=8", "Antenna000Offset=abc", "Antenna001ID=4",
            "Antenna001Sensor=x", "Antenna001Offset=-0.25m", "Antenna002ID=-3", "Antenna003ID=1"}));
  // A catalogue under root 1 is not the one served.
  writeBytes(inf("AntennaLocal.ini", 1), crlf({"[AntennaList]", "Antenna002ID=6"}));
  QZ_AntennaRec rec;
  rec.Name = "stale";
  ASSERT_EQ(GetAntennaRec(0, rec), 1);
  expectRec(rec, 8, -1, "", "", "", "", 0.0);
  ASSERT_EQ(GetAntennaRec(1, rec), 1);
  expectRec(rec, 4, 0, "", "", "", "", -0.25);
  EXPECT_EQ(GetAntennaRec(2, rec), 0);  // an ID below -1 ends the catalogue
  EXPECT_EQ(GetAntennaRec(-1, rec), 0);
  expectRec(rec, 4, 0, "", "", "", "", -0.25);
}

TEST_F(AntennaCatalogueTest, ReadOnlyCatalogueIsNeitherDeletedNorRewritten) {
  const std::string old = crlf({"[AntennaList]", "Antenna000ID=3", "AntennaCnt=1"});
  writeBytes(inf("AntennaLocal.ini"), old);
  std::filesystem::permissions(inf("AntennaLocal.ini"), std::filesystem::perms::owner_read);
  EXPECT_EQ(AntennaInit(), 0);  // no sensor list
  EXPECT_EQ(merged(), old);
  deliverSensors(crlf({"[AntennaList]", "Antenna000ID=-1"}));
  EXPECT_EQ(AntennaInit(), 1);
  EXPECT_EQ(merged(), old);
}

TEST_F(AntennaCatalogueTest, MissingRootZeroFolderStoresNothing) {
  deliverSensors(crlf({"[AntennaList]", "Antenna000ID=-1"}));
  std::filesystem::remove_all(root(0) + "/inf");
  EXPECT_EQ(AntennaInit(), 1);  // the entry was made, though it could not be stored
  EXPECT_FALSE(exists(root(0) + "/inf"));
}

}  // namespace
}  // namespace trasso::test
