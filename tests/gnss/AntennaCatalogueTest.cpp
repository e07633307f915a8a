#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace trasso::test {
namespace {

// The measuring point "bottom of the antenna mount" in code page 932.
const std::string kBottom = "\xB1\xDD\xC3\xC5\xCF\xB3\xDD\xC4\x82\xCC\x92\xEA\x95\x94";

// Lines as a new settings file holds them: each "\n" becomes CR LF.
std::string crlf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

class AntennaCatalogueTest : public RootsTest {
 protected:
  void deliverTypes(const std::string& bytes) { writeBytes(inf("Antenna.ini", 1), bytes); }
  void deliverSensors(const std::string& bytes) { writeBytes(inf("AntennaSensor.ini", 1), bytes); }
  std::string merged() const { return readBytes(inf("AntennaLocal.ini")); }
};

// An entry's fields in record order, to compare in one step.
using Fields = std::tuple<int, int, std::string, std::string, std::string, std::string, double>;
Fields fields(const QZ_AntennaRec& r) {
  return Fields(r.ID, r.Sensor, r.Name, r.CharCode, r.Bmp, r.SensorBmp, r.Offset);
}

TEST_F(AntennaCatalogueTest, MergesSurveyTypesThenSensorsWithoutTypeFromScratch) {
  // Survey: the section names come from the first field (empty fields skipped),
  // Ant3 pairs with the second record of type 5, and the list ends at Ant4.
  const std::string bottom62 = "MeasMethod1=" + kBottom + ",0.062\n";
  const std::string bottom100 = "MeasMethod2=" + kBottom + ",0.100\n";
  deliverTypes(
      crlf("[Survey]\nAnt1=GX10,rover antenna\nAnt2=,,PolePack,x\nAnt3=GX10\nAnt4=\n"
           "Ant5=GX10\n[GX10]\nType=5\nName=GX-10\nCharCode=G10\nMeasMethod0=ARP,0.000\n" +
           bottom62 + bottom100 + "[PolePack]\nType=9\n"));
  deliverSensors(
      crlf("[AntennaList]\n"
           "Antenna000ID=5\nAntenna000Sensor=2\nAntenna000Ren=\nAntenna000Bmp=gx10.bmp\n"
           "Antenna000SensorBmp=r2.bmp\n"
           "Antenna001ID=-1\nAntenna001Sensor=3\nAntenna001Ren=Handheld\nAntenna001Bmp=hh.bmp\n"
           "Antenna001SensorBmp=r3.bmp\n"
           "Antenna002ID=7\nAntenna002Sensor=4\nAntenna002SensorBmp=r4.bmp\n"
           "Antenna003ID=5\nAntenna003Sensor=6\nAntenna003Ren=GX-10 on R6\n"
           "Antenna004ID=5\nAntenna004Sensor=8\n"
           "Antenna005ID=-1\n"
           "Antenna006ID=-2\nAntenna007ID=-1\nAntenna007Sensor=9\n"));
  // Type 7 is not in "Survey" and the third type-5 record found no entry: both
  // are dropped; the list ends at ID -2. Entries without type keep only sensor
  // and sensor picture.
  const std::string expected = crlf(
      "[AntennaList]\n"
      "Antenna000ID=5\nAntenna000Sensor=2\nAntenna000Name=GX-10\nAntenna000CharCode=G10\n"
      "Antenna000Bmp=gx10.bmp\nAntenna000SensorBmp=r2.bmp\nAntenna000Offset=0.062\n"
      "Antenna001ID=5\nAntenna001Sensor=6\nAntenna001Name=GX-10\nAntenna001Ren=GX-10 on R6\n"
      "Antenna001CharCode=G10\nAntenna001Offset=0.062\n"
      "Antenna002ID=-1\nAntenna002Sensor=3\nAntenna002Name=\nAntenna002Ren=\n"
      "Antenna002CharCode=\nAntenna002Bmp=\nAntenna002SensorBmp=r3.bmp\nAntenna002Offset=\n"
      "Antenna003ID=-1\nAntenna003Name=\nAntenna003CharCode=\nAntenna003Offset=\n"
      "AntennaCnt=4\n");
  // An earlier catalogue with more entries and other lines leaves nothing behind,
  // and a second run gives the same bytes.
  writeBytes(inf("AntennaLocal.ini"),
             "; old\n[AntennaList]\nAntenna000ID=9\nAntenna009ID=4\nAntennaCnt=10\n[Extra]\nx=1\n");
  for (int run = 0; run < 2; ++run) {
    EXPECT_EQ(AntennaInit(), 1);
    EXPECT_EQ(merged(), expected);
  }
  EXPECT_EQ(listFolder(root(0) + "/inf"), "AntennaLocal.ini\n");

  QZ_AntennaRec rec;
  ASSERT_EQ(GetAntennaRec(0, rec), 1);
  EXPECT_EQ(fields(rec), Fields(5, 2, "GX-10", "G10", "gx10.bmp", "r2.bmp", 0.062));
  ASSERT_EQ(GetAntennaRec(1, rec), 1);  // Ren replaces the type's name
  EXPECT_EQ(fields(rec), Fields(5, 6, "GX-10 on R6", "G10", "", "", 0.062));
  ASSERT_EQ(GetAntennaRec(2, rec), 1);
  EXPECT_EQ(fields(rec), Fields(-1, 3, "", "", "", "r3.bmp", 0.0));
  ASSERT_EQ(GetAntennaRec(3, rec), 1);
  EXPECT_EQ(fields(rec), Fields(-1, -1, "", "", "", "", 0.0));
  EXPECT_EQ(GetAntennaRec(4, rec), 0);
  EXPECT_EQ(fields(rec), Fields(-1, -1, "", "", "", "", 0.0));  // untouched
}

TEST_F(AntennaCatalogueTest, OffsetIsTheFirstBottomOfMountMethod) {
  struct Row {
    const char* what;
    std::vector<std::string> methods;
    const char* offset;
  } const rows[] = {
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
  deliverSensors(crlf("[AntennaList]\nAntenna000ID=5\n"));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::string types = "[Survey]\nAnt1=A5\n[A5]\nType=5\nName=N\nCharCode=C\n";
    for (size_t m = 0; m < row.methods.size(); ++m) {
      types += "MeasMethod" + std::to_string(m) + "=" + row.methods[m] + "\n";
    }
    deliverTypes(types);
    EXPECT_EQ(AntennaInit(), 1);
    const std::string entry = "Antenna000ID=5\nAntenna000Name=N\nAntenna000CharCode=C\n";
    EXPECT_EQ(merged(), crlf("[AntennaList]\n" + entry + "Antenna000Offset=" + row.offset +
                             "\nAntennaCnt=1\n"));
  }
}

TEST_F(AntennaCatalogueTest, MissingTypeFileWritesOnlySensorsWithoutType) {
  deliverSensors(
      crlf("[AntennaList]\nAntenna000ID=5\nAntenna000Sensor=2\n"
           "Antenna001ID=-1\nAntenna001Sensor=0\nAntenna001SensorBmp=r0.bmp\n"));
  EXPECT_EQ(AntennaInit(), 1);
  EXPECT_EQ(merged(),
            crlf("[AntennaList]\n"
                 "Antenna000ID=-1\nAntenna000Sensor=0\nAntenna000Name=\nAntenna000CharCode=\n"
                 "Antenna000SensorBmp=r0.bmp\nAntenna000Offset=\nAntennaCnt=1\n"));

  // Nothing pairs and no sensor lacks a type: only the count, and result 0.
  deliverSensors(crlf("[AntennaList]\nAntenna000ID=5\nAntenna001ID=6\n"));
  EXPECT_EQ(AntennaInit(), 0);
  EXPECT_EQ(merged(), crlf("[AntennaList]\nAntennaCnt=0\n"));
  QZ_AntennaRec rec;
  EXPECT_EQ(GetAntennaRec(0, rec), 0);
}

TEST_F(AntennaCatalogueTest, MissingSectionPairsWithFirstSensorWithoutType) {
  // "Type" of a missing section reads as -1, which a sensor record without type
  // matches; that record is then written as a paired entry (Ren and Bmp kept)
  // and not again among the sensors without type.
  deliverTypes(crlf("[Survey]\nAnt1=Gone\n"));
  deliverSensors(
      crlf("[AntennaList]\n"
           "Antenna000ID=-1\nAntenna000Sensor=4\nAntenna000Ren=Old unit\nAntenna000Bmp=old.bmp\n"
           "Antenna001ID=-1\nAntenna001Sensor=5\nAntenna001Ren=New unit\nAntenna001Bmp=new.bmp\n"));
  EXPECT_EQ(AntennaInit(), 1);
  EXPECT_EQ(merged(),
            crlf("[AntennaList]\n"
                 "Antenna000ID=-1\nAntenna000Sensor=4\nAntenna000Name=\nAntenna000Ren=Old unit\n"
                 "Antenna000CharCode=\nAntenna000Bmp=old.bmp\nAntenna000Offset=\n"
                 "Antenna001ID=-1\nAntenna001Sensor=5\nAntenna001Name=\nAntenna001Ren=\n"
                 "Antenna001CharCode=\nAntenna001Bmp=\nAntenna001Offset=\nAntennaCnt=2\n"));
}

TEST_F(AntennaCatalogueTest, EmptySensorListDeletesTheOldCatalogue) {
  const char* const sensorLists[] = {
      nullptr,  // no file
      "[AntennaList]\nAntenna000ID=-2\nAntenna001ID=5\n",
      "[AntennaList]\nAntenna000ID=-7\n",
      "[AntennaList]\nAntenna000Sensor=1\nAntenna001ID=5\n",
      "[Other]\nAntenna000ID=1\n",
  };
  deliverTypes(crlf("[Survey]\nAnt1=A\n[A]\nType=-1\n"));
  for (const char* sensors : sensorLists) {
    SCOPED_TRACE(sensors ? sensors : "(no file)");
    std::filesystem::remove(inf("AntennaSensor.ini", 1));
    if (sensors != nullptr) deliverSensors(sensors);
    writeBytes(inf("AntennaLocal.ini"), crlf("[AntennaList]\nAntenna000ID=3\nAntennaCnt=1\n"));
    EXPECT_EQ(AntennaInit(), 0);
    EXPECT_EQ(listFolder(root(0) + "/inf"), "");
  }
  QZ_AntennaRec rec;
  EXPECT_EQ(GetAntennaRec(0, rec), 0);
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
  writeBytes(inf("AntennaLocal.ini"),
             crlf("[AntennaList]\nAntenna000ID=4\nAntenna000Sensor=x\n"
                  "Antenna000Offset=-0.25m\nAntenna001ID=-3\nAntenna002ID=1\n"));
  writeBytes(inf("AntennaLocal.ini", 1), crlf("[AntennaList]\nAntenna001ID=6\n"));  // not served
  QZ_AntennaRec rec;
  rec.Name = "stale";
  ASSERT_EQ(GetAntennaRec(0, rec), 1);
  EXPECT_EQ(fields(rec), Fields(4, 0, "", "", "", "", -0.25));
  EXPECT_EQ(GetAntennaRec(1, rec), 0);  // an ID below -1 ends the catalogue
  EXPECT_EQ(GetAntennaRec(-1, rec), 0);
  EXPECT_EQ(fields(rec), Fields(4, 0, "", "", "", "", -0.25));
}

TEST_F(AntennaCatalogueTest, ReadOnlyCatalogueIsNeitherDeletedNorRewritten) {
  const std::string old = crlf("[AntennaList]\nAntenna000ID=3\nAntennaCnt=1\n");
  writeBytes(inf("AntennaLocal.ini"), old);
  std::filesystem::permissions(inf("AntennaLocal.ini"), std::filesystem::perms::owner_read);
  EXPECT_EQ(AntennaInit(), 0);  // no sensor list
  EXPECT_EQ(merged(), old);
  deliverSensors(crlf("[AntennaList]\nAntenna000ID=-1\n"));
  EXPECT_EQ(AntennaInit(), 1);
  EXPECT_EQ(merged(), old);
}

TEST_F(AntennaCatalogueTest, MissingRootZeroFolderStoresNothing) {
  deliverSensors(crlf("[AntennaList]\nAntenna000ID=-1\n"));
  std::filesystem::remove_all(root(0) + "/inf");
  EXPECT_EQ(AntennaInit(), 1);  // the entry was made, though it could not be stored
  EXPECT_FALSE(exists(root(0) + "/inf"));
}

}  // namespace
}  // namespace trasso::test
