#include <string>
#include <tuple>
#include <vector>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace trasso::test {
namespace {

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

class CurrentAntennaTest : public RootsTest {
 protected:
  std::string gnssFile() const { return inf("jkn-gnss.ini"); }
  void writeCatalogue() { writeBytes(inf("AntennaLocal.ini"), kCatalogue); }
};

// The station antenna and receiver as the getters give them over stale values.
std::tuple<int, double, std::string, int, std::string> station() {
  int antenna = 99, receiver = 99;
  double height = 9.9;
  std::string antennaSerial = "stale", receiverSerial = "stale";
  GetQZJkn_GNSS_StaCurrentAntenna(antenna, height, antennaSerial);
  GetQZJkn_GNSS_StaCurrentReceiver(receiver, receiverSerial);
  return {antenna, height, antennaSerial, receiver, receiverSerial};
}

std::vector<int> ids(const AntennaCatalogue& list) {
  std::vector<int> out;
  for (const QZ_AntennaRec& rec : list) out.push_back(rec.ID);
  return out;
}

TEST_F(CurrentAntennaTest, SensorPictureWalk) {
  writeCatalogue();
  struct Row {
    int sensor, found;
    const char* picture;
    int antenna;
    double offset;
    std::vector<int> listed;
  } const rows[] = {
      {1, 1, "a.bmp", 3, 0.05, {-2, 3}},
      {2, 1, "b.bmp", -1, 0.0, {-2, 3, -1, 4, 6, 3, 7, 0}},
      {5, 1, "", 7, 0.3, {-2, 3, -1, 4, 6, 3, 7}},  // an empty picture is still the picture
      {-1, 1, "", 4, 0.1, {-2, 3, -1, 4}},          // entries without sensor read as sensor -1
      {8, 1, "z.bmp", 0, 0.4, {-2, 3, -1, 4, 6, 3, 7, 0}},
      {9, 0, "NMEA.bmp", -1, 0.0, {-2, 3, -1, 4, 6, 3, 7, 0}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.sensor);
    std::string picture = "stale";
    int antenna = 99;
    double offset = 9.9;
    AntennaCatalogue list(1);  // an entry already there (ID -2) stays in front
    EXPECT_EQ(GetGNSSSensorBmp(row.sensor, picture, &antenna, &offset, &list), row.found);
    EXPECT_EQ(std::tie(picture, antenna, offset),
              std::make_tuple(row.picture, row.antenna, row.offset));
    EXPECT_EQ(ids(list), row.listed);

    std::string alone;
    EXPECT_EQ(GetGNSSSensorBmp(row.sensor, alone), row.found);
    EXPECT_EQ(alone, row.picture);
  }
  EXPECT_FALSE(exists(gnssFile()));
}

TEST_F(CurrentAntennaTest, ReconcilesTheCurrentAntennaWithTheSensor) {
  const std::string before = "[GNSS]\r\nPage=2\r\nAntenna=9\r\n";
  const std::string kept = before;
  const std::string reset = "[GNSS]\r\nPage=2\r\nAntenna=0\r\naOffset=0.0000000000\r\n";
  // Without a catalogue the current antenna is reset.
  writeBytes(gnssFile(), before);
  std::string none;
  double zero = 1.0;
  EXPECT_EQ(GetGNSSSensorBmpAntennaOffset(9, 1, none, zero), 0);
  EXPECT_EQ(std::tie(none, zero), std::make_tuple("NMEA.bmp", 0.0));
  EXPECT_EQ(readBytes(gnssFile()), reset);
  writeCatalogue();
  struct Row {
    int current, sensor, result;
    double offset;
    const char* picture;
    std::string file;
  } const rows[] = {
      {3, 1, 1, 0.05, "a.bmp", kept},
      {4, 1, 0, 0.05, "a.bmp", "[GNSS]\r\nPage=2\r\nAntenna=3\r\naOffset=0.0500000000\r\n"},
      {7, 5, 1, 0.3, "", kept},
      {0, 8, 1, 0.4, "z.bmp", kept},
      {3, 8, 0, 0.4, "z.bmp", "[GNSS]\r\nPage=2\r\nAntenna=0\r\naOffset=0.4000000000\r\n"},
      // Sensor 2's first entry has no type: a current antenna stays only when
      // its first entry belongs to no sensor.
      {4, 2, 1, 0.1, "b.bmp", kept},
      {3, 2, 0, 0.0, "b.bmp", reset},  // entry 000 belongs to sensor 1
      {6, 2, 0, 0.0, "b.bmp", reset},
      {-1, 2, 0, 0.0, "b.bmp", reset},
      {4, 9, 1, 0.1, "NMEA.bmp", kept},
      {8, 9, 0, 0.0, "NMEA.bmp", reset},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.current << " " << row.sensor);
    writeBytes(gnssFile(), before);
    std::string picture = "stale";
    double offset = 9.9;
    EXPECT_EQ(GetGNSSSensorBmpAntennaOffset(row.current, row.sensor, picture, offset), row.result);
    EXPECT_EQ(std::tie(offset, picture), std::make_tuple(row.offset, row.picture));
    EXPECT_EQ(readBytes(gnssFile()), row.file);
  }
}

TEST_F(CurrentAntennaTest, DefaultsThenKeysWrittenInOrderWithTenDecimals) {
  EXPECT_EQ(GetQZJkn_GNSS_CurrentAntennaID(), 0);
  EXPECT_EQ(GetQZJkn_GNSS_CurrentAntennaOffset(), 0.0);
  EXPECT_EQ(GetQZJkn_GNSS_CurrentAntennaSerialNo(), "");
  EXPECT_EQ(station(), std::make_tuple(0, 0.0, "", -1, ""));
  EXPECT_FALSE(exists(gnssFile()));
  PutQZJkn_GNSS_StaCurrentAntenna(12, 1.6, "SN-1");
  PutQZJkn_GNSS_StaCurrentReceiver(-3, "R\x82\xA0");
  PutQZJkn_GNSS_CurrentAntennaID(5);
  PutQZJkn_GNSS_CurrentAntennaOffset(0.062);
  PutQZJkn_GNSS_CurrentAntennaSerialNo("A-77");
  const std::string head =
      "[GNSS]\r\nAntenna_sta=12\r\nAntennaH_sta=1.6000000000\r\naSerialNo_sta=SN-1\r\n";
  EXPECT_EQ(
      readBytes(gnssFile()),
      head +
          "Receiver_sta=-3\r\nrSerialNo_sta=R\x82\xA0\r\nAntenna=5\r\naOffset=0.0620000000\r\n"
          "aSerialNo=A-77\r\n");
  EXPECT_EQ(GetQZJkn_GNSS_CurrentAntennaID(), 5);
  EXPECT_EQ(GetQZJkn_GNSS_CurrentAntennaOffset(), 0.062);
  EXPECT_EQ(GetQZJkn_GNSS_CurrentAntennaSerialNo(), "A-77");
  EXPECT_EQ(station(), std::make_tuple(12, 1.6, "SN-1", -3, "R\x82\xA0"));
  // Null texts remove their keys.
  PutQZJkn_GNSS_StaCurrentReceiver(1, nullptr);
  PutQZJkn_GNSS_CurrentAntennaSerialNo(nullptr);
  // Ten decimals into a 20-byte buffer: a long value keeps its first 19 characters.
  PutQZJkn_GNSS_CurrentAntennaOffset(123456789.5);
  EXPECT_EQ(readBytes(gnssFile()),
            head + "Receiver_sta=1\r\nAntenna=5\r\naOffset=123456789.500000000\r\n");
}

}  // namespace
}  // namespace trasso::test
