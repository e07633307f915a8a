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

class AntennaCatalogueTest : public RootsTest {
 protected:
  // Delivered files of root 1; nullptr: no such file.
  void deliver(const char* types, const char* sensors) {
    for (auto [name, bytes] : {std::pair{"Antenna.ini", types}, {"AntennaSensor.ini", sensors}}) {
      std::filesystem::remove(inf(name, 1));
      if (bytes != nullptr) writeBytes(inf(name, 1), withCrLf(bytes));
    }
  }
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
  const std::string types =
      "[Survey]\nAnt1=GX10,rover antenna\nAnt2=,,PolePack,x\nAnt3=GX10\nAnt4=\nAnt5=GX10\n"
      "[GX10]\nType=5\nName=GX-10\nCharCode=G10\nMeasMethod0=ARP,0.000\nMeasMethod1=" +
      kBottom + ",0.062\nMeasMethod2=" + kBottom + ",0.100\n[PolePack]\nType=9\n";
  deliver(types.c_str(),
          "[AntennaList]\n"
          "Antenna000ID=5\nAntenna000Sensor=2\nAntenna000Ren=\nAntenna000Bmp=gx10.bmp\n"
          "Antenna000SensorBmp=r2.bmp\n"
          "Antenna001ID=-1\nAntenna001Sensor=3\nAntenna001Ren=Handheld\nAntenna001Bmp=hh.bmp\n"
          "Antenna001SensorBmp=r3.bmp\n"
          "Antenna002ID=7\nAntenna002Sensor=4\nAntenna002SensorBmp=r4.bmp\n"
          "Antenna003ID=5\nAntenna003Sensor=6\nAntenna003Ren=GX-10 on R6\n"
          "Antenna004ID=5\nAntenna004Sensor=8\nAntenna005ID=-1\n"
          "Antenna006ID=-2\nAntenna007ID=-1\nAntenna007Sensor=9\n");
  // Type 7 is not in "Survey" and the third type-5 record found no entry: both
  // are dropped; the list ends at ID -2. Entries without type keep only sensor
  // and sensor picture.
  const std::string expected = withCrLf(
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
  EXPECT_EQ(listFolder(inf("")), "AntennaLocal.ini\n");

  const Fields served[] = {{5, 2, "GX-10", "G10", "gx10.bmp", "r2.bmp", 0.062},
                           {5, 6, "GX-10 on R6", "G10", "", "", 0.062},  // Ren replaces the name
                           {-1, 3, "", "", "", "r3.bmp", 0.0},
                           {-1, -1, "", "", "", "", 0.0}};
  QZ_AntennaRec rec;
  for (int n = 0; n < 4; ++n) {
    ASSERT_EQ(GetAntennaRec(n, rec), 1);
    EXPECT_EQ(fields(rec), served[n]) << n;
  }
  EXPECT_EQ(GetAntennaRec(4, rec), 0);
  EXPECT_EQ(fields(rec), served[3]);  // untouched
}

TEST_F(AntennaCatalogueTest, OffsetIsTheFirstBottomOfMountMethod) {
  struct Row {
    std::vector<std::string> methods;
    const char* offset;
  } const rows[] = {
      {{kBottom + ",0.050", kBottom + ",0.070"}, "0.050"},
      {{kBottom + ",,0.045,x"}, "0.045"},  // empty fields skipped
      {{"Plate " + kBottom + " edge,0.031"}, "0.031"},
      {{kBottom, kBottom + ",0.070"}, ""},  // no offset field
      {{"ARP,0.000", "Top,0.120"}, ""},
      {{"", kBottom + ",0.062"}, ""},  // the list ends at an empty method
      {{"\xB1\xDD\xC3\xC5\xCF\xB3\xDD\xC4,0.5"}, ""},
      // 0x81 0xB1 is one double-byte character: no match starts in its middle.
      {{"\x81" + kBottom + ",0.090", kBottom + ",0.020"}, "0.020"},
  };
  for (const Row& row : rows) {
    std::string types = "[Survey]\nAnt1=A5\n[A5]\nType=5\nName=N\nCharCode=C\n";
    for (size_t m = 0; m < row.methods.size(); ++m) {
      types += "MeasMethod" + std::to_string(m) + "=" + row.methods[m] + "\n";
    }
    deliver(types.c_str(), "[AntennaList]\nAntenna000ID=5\n");
    EXPECT_EQ(AntennaInit(), 1);
    EXPECT_EQ(merged(), withCrLf("[AntennaList]\nAntenna000ID=5\nAntenna000Name=N\n"
                                 "Antenna000CharCode=C\nAntenna000Offset=" +
                                 std::string(row.offset) + "\nAntennaCnt=1\n"))
        << types;
  }
}

TEST_F(AntennaCatalogueTest, WhatEachDeliveryMakesOfAnOldCatalogue) {
  struct Row {
    const char* types;
    const char* sensors;
    int result;
    const char* merged;  // nullptr: the old catalogue is deleted
  } const rows[] = {
      // Without a type file only sensors without type are written.
      {nullptr,
       "[AntennaList]\nAntenna000ID=5\nAntenna000Sensor=2\nAntenna001ID=-1\n"
       "Antenna001Sensor=0\nAntenna001SensorBmp=r0.bmp\n",
       1,
       "[AntennaList]\nAntenna000ID=-1\nAntenna000Sensor=0\nAntenna000Name=\n"
       "Antenna000CharCode=\nAntenna000SensorBmp=r0.bmp\nAntenna000Offset=\nAntennaCnt=1\n"},
      {nullptr, "[AntennaList]\nAntenna000ID=5\nAntenna001ID=6\n", 0,
       "[AntennaList]\nAntennaCnt=0\n"},
      // "Type" of a missing section reads as -1 and pairs with the first sensor
      // without type (Ren and Bmp kept), which is then not written again.
      {"[Survey]\nAnt1=Gone\n",
       "[AntennaList]\nAntenna000ID=-1\nAntenna000Sensor=4\nAntenna000Ren=Old\n"
       "Antenna000Bmp=old.bmp\nAntenna001ID=-1\nAntenna001Sensor=5\nAntenna001Ren=New\n"
       "Antenna001Bmp=new.bmp\n",
       1,
       "[AntennaList]\nAntenna000ID=-1\nAntenna000Sensor=4\nAntenna000Name=\nAntenna000Ren=Old\n"
       "Antenna000CharCode=\nAntenna000Bmp=old.bmp\nAntenna000Offset=\nAntenna001ID=-1\n"
       "Antenna001Sensor=5\nAntenna001Name=\nAntenna001Ren=\nAntenna001CharCode=\n"
       "Antenna001Bmp=\nAntenna001Offset=\nAntennaCnt=2\n"},
      // An empty sensor list deletes the old catalogue.
      {"[Survey]\nAnt1=A\n[A]\nType=-1\n", nullptr, 0, nullptr},
      {"[Survey]\nAnt1=A\n[A]\nType=-1\n", "[AntennaList]\nAntenna000ID=-2\nAntenna001ID=5\n", 0,
       nullptr},
      {"[Survey]\nAnt1=A\n[A]\nType=-1\n", "[AntennaList]\nAntenna000ID=-7\n", 0, nullptr},
      {nullptr, "[AntennaList]\nAntenna000Sensor=1\nAntenna001ID=5\n", 0, nullptr},
      {nullptr, "[Other]\nAntenna000ID=1\n", 0, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.sensors ? row.sensors : "(no sensor list)");
    deliver(row.types, row.sensors);
    writeBytes(inf("AntennaLocal.ini"), "[AntennaList]\r\nAntenna000ID=3\r\nAntennaCnt=1\r\n");
    EXPECT_EQ(AntennaInit(), row.result);
    if (row.merged != nullptr) {
      EXPECT_EQ(merged(), withCrLf(row.merged));
    } else {
      EXPECT_EQ(listFolder(inf("")), "");
    }
  }
}

TEST_F(AntennaCatalogueTest, EntryNumbersGrowPastThreeDigits) {
  std::string sensors = "[AntennaList]\n";
  for (int n = 0; n <= 1000; ++n) {
    char key[32];
    std::snprintf(key, sizeof key, "Antenna%03d", n);
    sensors += std::string(key) + "ID=-1\n" + key + "Sensor=" + std::to_string(n) + "\n";
  }
  deliver(nullptr, sensors.c_str());
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
             withCrLf("[AntennaList]\nAntenna000ID=4\nAntenna000Sensor=x\n"
                      "Antenna000Offset=-0.25m\nAntenna001ID=-3\nAntenna002ID=1\n"));
  writeBytes(inf("AntennaLocal.ini", 1), withCrLf("[AntennaList]\nAntenna001ID=6\n"));
  QZ_AntennaRec rec;
  rec.Name = "stale";
  ASSERT_EQ(GetAntennaRec(0, rec), 1);
  EXPECT_EQ(fields(rec), Fields(4, 0, "", "", "", "", -0.25));
  EXPECT_EQ(GetAntennaRec(1, rec), 0);  // an ID below -1 ends the catalogue
  EXPECT_EQ(GetAntennaRec(-1, rec), 0);
  EXPECT_EQ(fields(rec), Fields(4, 0, "", "", "", "", -0.25));
}

TEST_F(AntennaCatalogueTest, ReadOnlyOrMissingPlacesAreLeftAsTheyAre) {
  const std::string old = withCrLf("[AntennaList]\nAntenna000ID=3\nAntennaCnt=1\n");
  writeBytes(inf("AntennaLocal.ini"), old);
  makeReadOnly(inf("AntennaLocal.ini"));
  EXPECT_EQ(AntennaInit(), 0);  // no sensor list, but no deletion either
  EXPECT_EQ(merged(), old);
  deliver(nullptr, "[AntennaList]\nAntenna000ID=-1\n");
  EXPECT_EQ(AntennaInit(), 1);
  EXPECT_EQ(merged(), old);
  // Windows removes no read-only file, not even with its folder.
  std::filesystem::permissions(inf("AntennaLocal.ini"), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  std::filesystem::remove_all(inf(""));
  EXPECT_EQ(AntennaInit(), 1);  // the entry was made, though it could not be stored
  EXPECT_FALSE(exists(inf("")));
}

}  // namespace
}  // namespace trasso::test
