#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace trasso::test {
namespace {

class NmeaSettingsTest : public RootsTest {
 protected:
  std::string nmeaFile() const { return inf("jkn-nmea.ini"); }
};

// One row per numeric key: its default, a value written and the exact text it
// leaves, and a stored text with what the getter makes of it.
struct NumberRow {
  const char* key;
  std::function<int64_t()> get;
  std::function<void(int64_t)> put;
  int64_t def;
  int64_t value;
  const char* written;
  const char* stored;
  int64_t read;
};

const NumberRow kNumberRows[] = {
    {"Port", [] { return GetQZJkn_NMEA_Port(); },
     [](int64_t v) { PutQZJkn_NMEA_Port(static_cast<int>(v)); }, 1, -5, "-5", "12abc", 12},
    {"BaudRate", [] { return GetQZJkn_NMEA_BaudRate(); },
     [](int64_t v) { PutQZJkn_NMEA_BaudRate(static_cast<uint32_t>(v)); }, 19200, 4294967295,
     "4294967295", "-1", 4294967295},
    {"Parity", [] { return GetQZJkn_NMEA_Parity(); },
     [](int64_t v) { PutQZJkn_NMEA_Parity(static_cast<uint8_t>(v)); }, 0, 255, "255", "258", 2},
    {"ByteSize", [] { return GetQZJkn_NMEA_ByteSize(); },
     [](int64_t v) { PutQZJkn_NMEA_ByteSize(static_cast<uint8_t>(v)); }, 8, 7, "7", "264", 8},
    {"StopBits", [] { return GetQZJkn_NMEA_StopBits(); },
     [](int64_t v) { PutQZJkn_NMEA_StopBits(static_cast<uint8_t>(v)); }, 0, 2, "2", "-1", 255},
    {"HandShake", [] { return GetQZJkn_NMEA_HandShake(); },
     [](int64_t v) { PutQZJkn_NMEA_HandShake(static_cast<uint8_t>(v)); }, 0, 1, "1", "300", 44},
    {"Interval", [] { return GetQZJkn_NMEA_Interval(); },
     [](int64_t v) { PutQZJkn_NMEA_Interval(static_cast<uint32_t>(v)); }, 1000, 3000000000,
     "-1294967296", "4294967295", 4294967295},
    {"SetOpen", [] { return GetQZJkn_NMEA_SetOpen(); },
     [](int64_t v) { PutQZJkn_NMEA_SetOpen(static_cast<int>(v)); }, 0, 7, "7", "-3", -3},
    {"GEOLOAD", [] { return GetQZJkn_NMEA_LoadGeo(); },
     [](int64_t v) { PutQZJkn_NMEA_LoadGeo(static_cast<int>(v)); }, 0, 2, "2", "x", 0},
    {"ConnectComm", [] { return GetQZJkn_NMEA_COMM_or_BT(); },
     [](int64_t v) { PutQZJkn_NMEA_COMM_or_BT(static_cast<int>(v)); }, 1, 7, "1", "2", 0},
};

TEST_F(NmeaSettingsTest, NumberKeys) {
  for (const NumberRow& row : kNumberRows) {
    SCOPED_TRACE(row.key);
    std::filesystem::remove(nmeaFile());
    EXPECT_EQ(row.get(), row.def);
    EXPECT_FALSE(exists(nmeaFile()));
    row.put(row.value);
    EXPECT_EQ(readBytes(nmeaFile()),
              std::string("[NMEA]\r\n") + row.key + "=" + row.written + "\r\n");
    writeBytes(nmeaFile(), std::string("[NMEA]\r\n") + row.key + "=" + row.stored + "\r\n");
    EXPECT_EQ(row.get(), row.read);
  }
}

TEST_F(NmeaSettingsTest, ConnectCommIsOneOnlyForAStoredOne) {
  PutQZJkn_NMEA_COMM_or_BT(0);
  EXPECT_EQ(readBytes(nmeaFile()), "[NMEA]\r\nConnectComm=0\r\n");
  EXPECT_EQ(GetQZJkn_NMEA_COMM_or_BT(), 0);
  PutQZJkn_NMEA_COMM_or_BT(-1);
  EXPECT_EQ(readBytes(nmeaFile()), "[NMEA]\r\nConnectComm=1\r\n");
  EXPECT_EQ(GetQZJkn_NMEA_COMM_or_BT(), 1);
}

TEST_F(NmeaSettingsTest, IntervalRoundTripsAboveTheSignedRange) {
  struct Row {
    uint32_t value;
    const char* written;
  } const rows[] = {
      {2147483647u, "2147483647"},
      {2147483648u, "-2147483648"},
      {3000000000u, "-1294967296"},
      {4294967295u, "-1"},
      {0u, "0"},
  };
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
  EXPECT_EQ(GetQZJkn_NMEA_SrcGeoPath(), path);
  EXPECT_EQ(GetQZJkn_NMEA_GeoVer(), "ver 2.1");

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

  PutQZJkn_NMEA_BtInfo("00:11:22:AA:BB:CC", 4294967295u);
  EXPECT_EQ(readBytes(nmeaFile()), "[NMEA]\r\nBTAddr=00:11:22:AA:BB:CC\r\nBTPort=4294967295\r\n");
  GetQZJkn_NMEA_BtInfo(address, port);
  EXPECT_EQ(address, "00:11:22:AA:BB:CC");
  EXPECT_EQ(port, 4294967295u);

  // The address buffer holds 32 bytes: 31 characters come back.
  const std::string longAddress = "0123456789abcdefghijklmnopqrstuvwxyzABCD";  // 40
  PutQZJkn_NMEA_BtInfo(longAddress.c_str(), 3);
  GetQZJkn_NMEA_BtInfo(address, port);
  EXPECT_EQ(address, longAddress.substr(0, 31));
  EXPECT_EQ(port, 3u);

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
