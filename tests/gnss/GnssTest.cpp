// GNSS settings beyond the registry walk: the RTK radio record, the antenna
// catalogue (the merge of the delivered files and its entries) and the current
// antenna chosen through a sensor's entry.
#include <cstdint>
#include <filesystem>

#include "TestRoots.h"

namespace trasso::test {
namespace {

using GnssSettings = RootsTest;

// Radio, Hosei, FlowCTS, PortNo, BaudRate, Parity.
using RtkFields = std::tuple<int, int, int, int, int64_t, int>;

// The record a read of side gives over stale fields.
RtkFields readProp(int side) {
  RTK_CONNECT_PROP p{77, 77, 77, 77, 77, 77};
  GetQZJkn_GNSS_RTKConnectProp(side, p);
  return RtkFields(p.Radio, p.Hosei, p.FlowCTS, p.PortNo, p.BaudRate, p.Parity);
}

TEST_F(GnssSettings, RtkRadioSidesShareThreeKeysOwnThreeAndDefaultMissingOnes) {
  const std::string file = inf("jkn-gnss-rtk.ini");
  for (int side : {0, 1}) EXPECT_EQ(readProp(side), RtkFields(0, 2, 1, 1, 9600, 0)) << side;
  PutQZJkn_GNSS_RTKConnectProp(1, RTK_CONNECT_PROP{1, 3, 0, 5, 4800, 2});
  PutQZJkn_GNSS_RTKConnectProp(0, RTK_CONNECT_PROP{-2, 4, 1, 7, 4294967295u, 255});
  EXPECT_EQ(readBytes(file),
            "[GNSS]\r\nRTKRadio=-2\r\nRTKHosei=4\r\nRTKFlowCTS=1\r\nRTKPortNoS=5\r\n"
            "RTKBaudRateS=4800\r\nRTKParityS=2\r\nRTKPortNoR=7\r\nRTKBaudRateR=4294967295\r\n"
            "RTKParityR=255\r\n");
  // Any non-zero side reads and writes the "S" keys.
  for (int side : {1, -1, 1000}) EXPECT_EQ(readProp(side), RtkFields(-2, 4, 1, 5, 4800, 2)) << side;
  PutQZJkn_GNSS_RTKConnectProp(-1, RTK_CONNECT_PROP{0, 2, 0, 9, 38400, 0});
  EXPECT_EQ(readProp(1), RtkFields(0, 2, 0, 9, 38400, 0));
  EXPECT_EQ(readProp(0), RtkFields(0, 2, 0, 7, 4294967295, 255));
  writeBytes(file, "[GNSS]\r\nRTKHosei=5\r\nRTKParityS=1\r\n");
  EXPECT_EQ(readProp(1), RtkFields(0, 5, 1, 1, 9600, 1));
  // Empty gives the default, text without digits 0; plain decimal digits only.
  const std::pair<const char*, int64_t> rows[] = {
      {"", 9600}, {"abc", 0}, {"0x10", 0}, {"19200bps", 19200}, {"-1", 4294967295}};
  for (auto [stored, baud] : rows) {
    writeBytes(file, std::string("[GNSS]\r\nRTKBaudRateS=") + stored +
                         "\r\nRTKBaudRateR=1200\r\nRTKParityR=258\r\nRTKPortNoR=x\r\n");
    EXPECT_EQ(std::get<4>(readProp(1)), baud) << stored;
    // Side 0 has its own baud rate; parity keeps the low 8 bits of 258.
    EXPECT_EQ(readProp(0), RtkFields(0, 2, 1, 0, 1200, 2)) << stored;
  }
}

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
  std::string gnssFile() const { return inf("jkn-gnss.ini"); }
};

// An entry's fields in record order, to compare in one step.
using Fields = std::tuple<int, int, std::string, std::string, std::string, std::string, double>;
Fields fields(const QZ_AntennaRec& r) {
  return Fields(r.ID, r.Sensor, r.Name, r.CharCode, r.Bmp, r.SensorBmp, r.Offset);
}

TEST_F(AntennaCatalogueTest, MergesSurveyTypesThenSensorsWithoutTypeFromScratch) {
  // Survey: the section names come from the first field (empty fields skipped),
  // Ant3 pairs with the second record of type 5, "Type" of the missing section
  // Gone reads as -1 and pairs with the first sensor without type, and the list
  // ends at Ant5.
  const std::string types =
      "[Survey]\nAnt1=GX10,rover "
      "antenna\nAnt2=,,PolePack,x\nAnt3=GX10\nAnt4=Gone\nAnt5=\nAnt6=GX10\n"
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
          "Antenna004ID=5\nAntenna004Sensor=8\nAntenna005ID=-1\nAntenna005Sensor=5\n"
          "Antenna005Ren=Spare\nAntenna005Bmp=s.bmp\nAntenna005SensorBmp=r5.bmp\nAntenna006ID=-1\n"
          "Antenna007ID=-2\nAntenna008ID=-1\nAntenna008Sensor=9\n");
  // Type 7 is not in "Survey" and the third type-5 record found no entry: both
  // are dropped; the list ends at ID -2. Entries paired with a type keep Ren and
  // Bmp; those without type keep only sensor and sensor picture.
  const std::string expected = withCrLf(
      "[AntennaList]\n"
      "Antenna000ID=5\nAntenna000Sensor=2\nAntenna000Name=GX-10\nAntenna000CharCode=G10\n"
      "Antenna000Bmp=gx10.bmp\nAntenna000SensorBmp=r2.bmp\nAntenna000Offset=0.062\n"
      "Antenna001ID=5\nAntenna001Sensor=6\nAntenna001Name=GX-10\nAntenna001Ren=GX-10 on R6\n"
      "Antenna001CharCode=G10\nAntenna001Offset=0.062\n"
      "Antenna002ID=-1\nAntenna002Sensor=3\nAntenna002Name=\nAntenna002Ren=Handheld\n"
      "Antenna002CharCode=\nAntenna002Bmp=hh.bmp\nAntenna002SensorBmp=r3.bmp\nAntenna002Offset=\n"
      "Antenna003ID=-1\nAntenna003Sensor=5\nAntenna003Name=\nAntenna003Ren=\n"
      "Antenna003CharCode=\nAntenna003Bmp=\nAntenna003SensorBmp=r5.bmp\nAntenna003Offset=\n"
      "Antenna004ID=-1\nAntenna004Name=\nAntenna004CharCode=\nAntenna004Offset=\n"
      "AntennaCnt=5\n");
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
                           {-1, 3, "Handheld", "", "hh.bmp", "r3.bmp", 0.0},
                           {-1, 5, "", "", "", "r5.bmp", 0.0},
                           {-1, -1, "", "", "", "", 0.0}};
  QZ_AntennaRec rec;
  for (int n = 0; n < 5; ++n) {
    ASSERT_EQ(GetAntennaRec(n, rec), 1);
    EXPECT_EQ(fields(rec), served[n]) << n;
  }
  EXPECT_EQ(GetAntennaRec(5, rec) + GetAntennaRec(-1, rec), 0);
  EXPECT_EQ(fields(rec), served[4]);  // untouched
}

TEST_F(AntennaCatalogueTest, OffsetIsTheFirstBottomOfMountMethod) {
  // Measuring methods of a type, and the offset its entry gets.
  const std::pair<std::vector<std::string>, const char*> rows[] = {
      {{kBottom + ",,0.045,x"}, "0.045"},  // empty fields skipped
      {{"Plate " + kBottom + " edge,0.031"}, "0.031"},
      {{kBottom, kBottom + ",0.070"}, ""},  // no offset field
      {{"", kBottom + ",0.062"}, ""},       // the list ends at an empty method
      {{"\xB1\xDD\xC3\xC5\xCF\xB3\xDD\xC4,0.5"}, ""},
      // 0x81 0xB1 is one double-byte character: no match starts in its middle.
      {{"\x81" + kBottom + ",0.090", kBottom + ",0.020"}, "0.020"},
  };
  for (const auto& [methods, offset] : rows) {
    std::string types = "[Survey]\nAnt1=A5\n[A5]\nType=5\nName=N\nCharCode=C\n";
    for (size_t m = 0; m < methods.size(); ++m)
      types += "MeasMethod" + std::to_string(m) + "=" + methods[m] + "\n";
    deliver(types.c_str(), "[AntennaList]\nAntenna000ID=5\n");
    EXPECT_EQ(AntennaInit(), 1);
    EXPECT_NE(merged().find("\r\nAntenna000Offset=" + std::string(offset) + "\r\nAntennaCnt=1\r\n"),
              std::string::npos)
        << types;
  }
}

TEST_F(AntennaCatalogueTest, WithoutTypesSensorsOrWritableFiles) {
  // Entry numbers grow past three digits.
  std::string sensors = "[AntennaList]\nAntenna1000ID=-1\n";
  for (int n = 1000; n < 2000; ++n) sensors += "Antenna" + std::to_string(n).substr(1) + "ID=-1\n";
  deliver(nullptr, sensors.c_str());
  EXPECT_EQ(AntennaInit(), 1);
  EXPECT_NE(merged().find("\r\nAntenna999Offset=\r\nAntenna1000ID=-1\r\nAntenna1000Name=\r\n"
                          "Antenna1000CharCode=\r\nAntenna1000Offset=\r\nAntennaCnt=1001\r\n"),
            std::string::npos);
  QZ_AntennaRec rec;
  EXPECT_EQ(GetAntennaRec(1000, rec), 1);
  EXPECT_EQ(GetAntennaRec(1001, rec), 0);
  // Without a type file typed sensors are dropped; the empty catalogue is stored.
  deliver(nullptr, "[AntennaList]\nAntenna000ID=5\n");
  EXPECT_EQ(AntennaInit(), 0);
  const std::string old = withCrLf("[AntennaList]\nAntennaCnt=0\n");
  EXPECT_EQ(merged(), old);
  deliver(nullptr, nullptr);
  EXPECT_EQ(AntennaInit(), 0);  // without a sensor list the old catalogue goes
  EXPECT_EQ(listFolder(inf("")), "");
  writeBytes(inf("AntennaLocal.ini"), old);
  makeReadOnly(inf("AntennaLocal.ini"));
  EXPECT_EQ(AntennaInit(), 0);  // unless it is read-only
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

// A merged catalogue written by hand: sensor 1's first entry has a type;
// sensor 2's first entry has none, and a later typed entry of sensor 2 must not
// count; type 3 appears again later without a sensor; sensor 5 has no picture;
// sensor 8 is bound to antenna type 0.
const char kCatalogue[] =
    "[AntennaList]\r\n"
    "Antenna000ID=3\r\nAntenna000Sensor=1\r\nAntenna000SensorBmp=a.bmp\r\nAntenna000Offset=0.05\r\n"
    "Antenna001ID=-1\r\nAntenna001Sensor=2\r\nAntenna001SensorBmp=b.bmp\r\n"
    "Antenna002ID=4\r\nAntenna002Offset=0.1\r\n"
    "Antenna003ID=6\r\nAntenna003Sensor=2\r\nAntenna003SensorBmp=d.bmp\r\nAntenna003Offset=0.2\r\n"
    "Antenna004ID=3\r\nAntenna004Offset=0.07\r\n"
    "Antenna005ID=7\r\nAntenna005Sensor=5\r\nAntenna005Offset=0.3\r\n"
    "Antenna006ID=0\r\nAntenna006Sensor=8\r\nAntenna006SensorBmp=z.bmp\r\nAntenna006Offset=0.4\r\n"
    "AntennaCnt=7\r\n";

using CurrentAntennaTest = AntennaCatalogueTest;

TEST_F(CurrentAntennaTest, SensorPictureWalk) {
  writeBytes(inf("AntennaLocal.ini"), kCatalogue);
  // Sensor; result, picture, antenna and offset; the IDs listed.
  const std::tuple<int, int, const char*, int, double, std::vector<int>> rows[] = {
      {1, 1, "a.bmp", 3, 0.05, {-2, 3}},
      {2, 1, "b.bmp", -1, 0.0, {-2, 3, -1, 4, 6, 3, 7, 0}},
      {5, 1, "", 7, 0.3, {-2, 3, -1, 4, 6, 3, 7}},  // an empty picture is still the picture
      {-1, 1, "", 4, 0.1, {-2, 3, -1, 4}},          // entries without sensor read as sensor -1
      {8, 1, "z.bmp", 0, 0.4, {-2, 3, -1, 4, 6, 3, 7, 0}},
      {9, 0, "NMEA.bmp", -1, 0.0, {-2, 3, -1, 4, 6, 3, 7, 0}},
  };
  for (const auto& [sensor, found, picture, antenna, offset, listed] : rows) {
    std::string gotPicture = "stale", alone;
    int gotAntenna = 99;
    double gotOffset = 9.9;
    AntennaCatalogue list(1);  // an entry already there (ID -2) stays in front
    const int got = GetGNSSSensorBmp(sensor, gotPicture, &gotAntenna, &gotOffset, &list);
    const int gotAlone = GetGNSSSensorBmp(sensor, alone);
    std::vector<int> ids;
    for (const QZ_AntennaRec& rec : list) ids.push_back(rec.ID);
    EXPECT_EQ(std::tie(got, gotPicture, gotAntenna, gotOffset, ids, gotAlone, alone),
              std::tie(found, picture, antenna, offset, listed, found, picture))
        << sensor;
  }
  EXPECT_FALSE(exists(gnssFile()));
}

TEST_F(CurrentAntennaTest, ReconcilesTheCurrentAntennaWithTheSensor) {
  const std::string kept = "[GNSS]\r\nPage=2\r\nAntenna=9\r\n";
  const std::string reset = "[GNSS]\r\nPage=2\r\nAntenna=0\r\naOffset=0.0000000000\r\n";
  // Current antenna and sensor; result, offset, picture and the file after.
  const std::tuple<int, int, int, double, const char*, std::string> rows[] = {
      {9, 1, 0, 0.0, "NMEA.bmp", reset},  // no catalogue yet: the current antenna is reset
      {3, 1, 1, 0.05, "a.bmp", kept},
      {4, 1, 0, 0.05, "a.bmp", "[GNSS]\r\nPage=2\r\nAntenna=3\r\naOffset=0.0500000000\r\n"},
      {0, 8, 1, 0.4, "z.bmp", kept},
      // Sensor 2's first entry has no type: a current antenna stays only when
      // its first entry belongs to no sensor.
      {4, 2, 1, 0.1, "b.bmp", kept},
      {3, 2, 0, 0.0, "b.bmp", reset},  // entry 000 belongs to sensor 1
  };
  for (const auto& [current, sensor, result, offset, picture, file] : rows) {
    writeBytes(gnssFile(), kept);
    std::string gotPicture = "stale";
    double gotOffset = 9.9;
    const int got = GetGNSSSensorBmpAntennaOffset(current, sensor, gotPicture, gotOffset);
    EXPECT_EQ(std::make_tuple(got, gotOffset, gotPicture, readBytes(gnssFile())),
              std::make_tuple(result, offset, std::string(picture), file))
        << current << " " << sensor;
    writeBytes(inf("AntennaLocal.ini"), kCatalogue);  // for every row after the first
  }
}

// Each field's key, written line and value read back are RegistryWalk's; here
// the defaults over stale values, and what the records do to each other.
TEST_F(CurrentAntennaTest, StationRecordsAndOffsetsWithTenDecimals) {
  EXPECT_EQ(GetQZJkn_GNSS_CurrentAntennaOffset(), 0.0);
  // The station antenna and receiver over stale values.
  int antenna = 99, receiver = 99;
  double height = 9.9;
  std::string antennaSerial = "stale", receiverSerial = "stale";
  GetQZJkn_GNSS_StaCurrentAntenna(antenna, height, antennaSerial);
  GetQZJkn_GNSS_StaCurrentReceiver(receiver, receiverSerial);
  EXPECT_EQ(std::tie(antenna, height, antennaSerial, receiver, receiverSerial),
            std::make_tuple(0, 0.0, "", -1, ""));
  EXPECT_FALSE(exists(gnssFile()));
  PutQZJkn_GNSS_StaCurrentAntenna(12, 1.6, "SN-1");
  PutQZJkn_GNSS_StaCurrentReceiver(-3, "R\x82\xA0");
  PutQZJkn_GNSS_CurrentAntennaOffset(0.062);
  // A null serial number removes its key; one with a line break is refused, the
  // other keys are written all the same. Ten decimals into a 20-byte buffer: a
  // long value keeps its first 19 characters.
  PutQZJkn_GNSS_StaCurrentReceiver(1, nullptr);
  PutQZJkn_GNSS_StaCurrentAntenna(7, 2.5, "x\r\n[GNSS]\r\nPage=9");
  PutQZJkn_GNSS_StaCurrentReceiver(2, "x\rPage=9");
  PutQZJkn_GNSS_CurrentAntennaOffset(123456789.5);
  EXPECT_EQ(readBytes(gnssFile()),
            "[GNSS]\r\nAntenna_sta=7\r\nAntennaH_sta=2.5000000000\r\naSerialNo_sta=SN-1\r\n"
            "Receiver_sta=2\r\naOffset=123456789.500000000\r\n");
}

}  // namespace
}  // namespace trasso::test
