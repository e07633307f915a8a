#include <cstdint>
#include <filesystem>
#include <string>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace trasso::test {
namespace {

class NmeaSettingsTest : public RootsTest {
 protected:
  std::string nmeaFile() const { return inf("jkn-nmea.ini"); }
};

// Getters and setters of every numeric type, seen through 64-bit values.
template <auto Get>
int64_t getAs() {
  return Get();
}
template <class A>
A argumentOf(void (*)(A) noexcept);
template <auto Put>
void putAs(int64_t value) {
  Put(static_cast<decltype(argumentOf(Put))>(value));
}

// One row per numeric key: its default, a value written and the exact text it
// leaves, and a stored text with what the getter makes of it.
struct NumberRow {
  const char* key;
  int64_t (*get)();
  void (*put)(int64_t);
  int64_t def;
  int64_t value;
  const char* written;
  const char* stored;
  int64_t read;
};

const NumberRow kNumberRows[] = {
    {"Port", getAs<GetQZJkn_NMEA_Port>, putAs<PutQZJkn_NMEA_Port>, 1, -5, "-5", "12abc", 12},
    {"BaudRate", getAs<GetQZJkn_NMEA_BaudRate>, putAs<PutQZJkn_NMEA_BaudRate>, 19200, 4294967295,
     "4294967295", "-1", 4294967295},
    {"Parity", getAs<GetQZJkn_NMEA_Parity>, putAs<PutQZJkn_NMEA_Parity>, 0, 255, "255", "258", 2},
    {"ByteSize", getAs<GetQZJkn_NMEA_ByteSize>, putAs<PutQZJkn_NMEA_ByteSize>, 8, 7, "7", "264", 8},
    {"StopBits", getAs<GetQZJkn_NMEA_StopBits>, putAs<PutQZJkn_NMEA_StopBits>, 0, 2, "2", "-1",
     255},
    {"HandShake", getAs<GetQZJkn_NMEA_HandShake>, putAs<PutQZJkn_NMEA_HandShake>, 0, 1, "1", "300",
     44},
    {"Interval", getAs<GetQZJkn_NMEA_Interval>, putAs<PutQZJkn_NMEA_Interval>, 1000, 3000000000,
     "-1294967296", "4294967295", 4294967295},
    {"SetOpen", getAs<GetQZJkn_NMEA_SetOpen>, putAs<PutQZJkn_NMEA_SetOpen>, 0, 7, "7", "-3", -3},
    {"GEOLOAD", getAs<GetQZJkn_NMEA_LoadGeo>, putAs<PutQZJkn_NMEA_LoadGeo>, 0, 2, "2", "x", 0},
    // Any non-zero argument writes "1"; only a stored 1 reads as 1.
    {"ConnectComm", getAs<GetQZJkn_NMEA_COMM_or_BT>, putAs<PutQZJkn_NMEA_COMM_or_BT>, 1, 7, "1",
     "2", 0},
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
