#include <cstdint>
#include <string>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace trasso::test {
namespace {

class NmeaSettingsTest : public RootsTest {
 protected:
  std::string nmeaFile() const { return inf("jkn-nmea.ini"); }
};

TEST_F(NmeaSettingsTest, IntervalRoundTripsAboveTheSignedRange) {
  struct Row {
    uint32_t value;
    const char* written;
  } const rows[] = {{2147483647u, "2147483647"},
                    {2147483648u, "-2147483648"},
                    {3000000000u, "-1294967296"},
                    {4294967295u, "-1"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    PutQZJkn_NMEA_Interval(row.value);
    EXPECT_EQ(readBytes(nmeaFile()), std::string("[NMEA]\r\nInterval=") + row.written + "\r\n");
    EXPECT_EQ(GetQZJkn_NMEA_Interval(), row.value);
  }
}

TEST_F(NmeaSettingsTest, GeoidTextsAreCutAt259Bytes) {
  EXPECT_EQ(GetQZJkn_NMEA_SrcGeoPath(), "");
  EXPECT_EQ(GetQZJkn_NMEA_GeoVer(), "");
  const std::string path = "C:\\\x83\x57\x83\x49\x83\x43\x83\x68\\geoid.dat";  // code page 932
  PutQZJkn_NMEA_SrcGeoPath(path.c_str());
  PutQZJkn_NMEA_GeoVer("ver 2.1");
  EXPECT_EQ(readBytes(nmeaFile()), "[NMEA]\r\nGEOPATH=" + path + "\r\nGEOVER=ver 2.1\r\n");

  const std::string longText(300, 'g');
  PutQZJkn_NMEA_SrcGeoPath(longText.c_str());
  PutQZJkn_NMEA_GeoVer(longText.c_str());
  EXPECT_EQ(GetQZJkn_NMEA_SrcGeoPath(), longText.substr(0, 259));
  EXPECT_EQ(GetQZJkn_NMEA_GeoVer(), longText.substr(0, 259));

  PutQZJkn_NMEA_SrcGeoPath(nullptr);
  EXPECT_EQ(readBytes(nmeaFile()), "[NMEA]\r\nGEOVER=" + longText + "\r\n");
  EXPECT_EQ(GetQZJkn_NMEA_SrcGeoPath(), "");
}

TEST_F(NmeaSettingsTest, BluetoothPartner) {
  std::string address = "stale";
  uint32_t port = 77;
  GetQZJkn_NMEA_BtInfo(address, port);
  EXPECT_EQ(address, "");
  EXPECT_EQ(port, 0u);
  EXPECT_FALSE(exists(nmeaFile()));

  // The address buffer holds 32 bytes: 31 of these 40 characters come back.
  const std::string longAddress = "00:11:22:AA:BB:CC/0123456789abcdefghijkl";
  PutQZJkn_NMEA_BtInfo(longAddress.c_str(), 4294967295u);
  EXPECT_EQ(readBytes(nmeaFile()), "[NMEA]\r\nBTAddr=" + longAddress + "\r\nBTPort=4294967295\r\n");
  GetQZJkn_NMEA_BtInfo(address, port);
  EXPECT_EQ(address, longAddress.substr(0, 31));
  EXPECT_EQ(port, 4294967295u);

  // A null address removes its key; the port is still written.
  PutQZJkn_NMEA_BtInfo(nullptr, 6);
  EXPECT_EQ(readBytes(nmeaFile()), "[NMEA]\r\nBTPort=6\r\n");
  address = "stale";
  GetQZJkn_NMEA_BtInfo(address, port);
  EXPECT_EQ(address, "");
  EXPECT_EQ(port, 6u);
}

}  // namespace
}  // namespace trasso::test
