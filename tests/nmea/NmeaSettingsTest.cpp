// The NMEA Bluetooth partner: an address cut at 31 bytes and a port, one record.
#include <cstdint>

#include "TestRoots.h"

namespace trasso::test {
namespace {

using NmeaSettingsTest = RootsTest;

std::pair<std::string, uint32_t> btInfo() {
  std::pair<std::string, uint32_t> info{"stale", 77};
  GetQZJkn_NMEA_BtInfo(info.first, info.second);
  return info;
}

TEST_F(NmeaSettingsTest, BluetoothPartnerIsTwoKeys) {
  const std::string file = inf("jkn-nmea.ini");
  EXPECT_EQ(btInfo(), std::make_pair(std::string(), 0u));
  EXPECT_FALSE(exists(file));
  // The address buffer holds 32 bytes: 31 of these 40 characters come back.
  const std::string address = "00:11:22:AA:BB:CC/0123456789abcdefghijkl";
  PutQZJkn_NMEA_BtInfo(address.c_str(), 4294967295u);
  EXPECT_EQ(readBytes(file), "[NMEA]\r\nBTAddr=" + address + "\r\nBTPort=4294967295\r\n");
  EXPECT_EQ(btInfo(), std::make_pair(address.substr(0, 31), 4294967295u));
  // A null address removes its key; the port is still written.
  PutQZJkn_NMEA_BtInfo(nullptr, 6);
  EXPECT_EQ(readBytes(file), "[NMEA]\r\nBTPort=6\r\n");
  EXPECT_EQ(btInfo(), std::make_pair(std::string(), 6u));
}

}  // namespace
}  // namespace trasso::test
