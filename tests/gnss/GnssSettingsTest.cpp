// GNSS settings beyond the registry walk: sky plot columns and the RTK radio
// record.
#include <cstdint>
#include <string>
#include <tuple>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace trasso::test {
namespace {

using GnssSettings = RootsTest;

TEST_F(GnssSettings, SkyPlotColumnsUseTheColumnNumberAsKeyAndTheCallersDefault) {
  const std::string file = inf("jkn-gnss.ini");
  EXPECT_EQ(GetQZJkn_GNSS_SkyPlotLClm(3, 80), 80);
  EXPECT_FALSE(exists(file));
  PutQZJkn_GNSS_SkyPlotLClm(-1, 5);
  PutQZJkn_GNSS_SkyPlotLClm(12, -40);
  EXPECT_EQ(readBytes(file), "[SKYPLOT]\r\n-1=5\r\n12=-40\r\n");
  EXPECT_EQ(GetQZJkn_GNSS_SkyPlotLClm(-1, 80), 5);
  EXPECT_EQ(GetQZJkn_GNSS_SkyPlotLClm(12, 80), -40);
  EXPECT_EQ(GetQZJkn_GNSS_SkyPlotLClm(3, -7), -7);
}

// Radio, Hosei, FlowCTS, PortNo, BaudRate, Parity.
using Fields = std::tuple<int, int, int, int, int64_t, int>;

// The record a read of side gives over stale fields.
Fields readProp(int side) {
  RTK_CONNECT_PROP p{77, 77, 77, 77, 77, 77};
  GetQZJkn_GNSS_RTKConnectProp(side, p);
  return Fields(p.Radio, p.Hosei, p.FlowCTS, p.PortNo, p.BaudRate, p.Parity);
}

TEST_F(GnssSettings, RtkRadioSidesShareThreeKeysOwnThreeAndDefaultMissingOnes) {
  const std::string file = inf("jkn-gnss-rtk.ini");
  for (int side : {0, 1}) EXPECT_EQ(readProp(side), Fields(0, 2, 1, 1, 9600, 0)) << side;
  EXPECT_FALSE(exists(file));
  PutQZJkn_GNSS_RTKConnectProp(1, RTK_CONNECT_PROP{1, 3, 0, 5, 4800, 2});
  PutQZJkn_GNSS_RTKConnectProp(0, RTK_CONNECT_PROP{-2, 4, 1, 7, 4294967295u, 255});
  EXPECT_EQ(readBytes(file),
            "[GNSS]\r\nRTKRadio=-2\r\nRTKHosei=4\r\nRTKFlowCTS=1\r\nRTKPortNoS=5\r\n"
            "RTKBaudRateS=4800\r\nRTKParityS=2\r\nRTKPortNoR=7\r\nRTKBaudRateR=4294967295\r\n"
            "RTKParityR=255\r\n");
  EXPECT_EQ(readProp(0), Fields(-2, 4, 1, 7, 4294967295, 255));
  // Any non-zero side reads and writes the "S" keys.
  for (int side : {1, -1, 1000}) EXPECT_EQ(readProp(side), Fields(-2, 4, 1, 5, 4800, 2)) << side;
  PutQZJkn_GNSS_RTKConnectProp(-1, RTK_CONNECT_PROP{0, 2, 0, 9, 38400, 0});
  EXPECT_EQ(readProp(1), Fields(0, 2, 0, 9, 38400, 0));
  EXPECT_EQ(readProp(0), Fields(0, 2, 0, 7, 4294967295, 255));
  writeBytes(file, "[GNSS]\r\nRTKHosei=5\r\nRTKParityS=1\r\n");
  EXPECT_EQ(readProp(1), Fields(0, 5, 1, 1, 9600, 1));
  // Empty gives the default, text without digits 0; plain decimal digits only.
  const std::pair<const char*, int64_t> rows[] = {
      {"", 9600}, {"abc", 0}, {"0x10", 0}, {"19200bps", 19200}, {"-1", 4294967295}};
  for (auto [stored, baud] : rows) {
    writeBytes(file, std::string("[GNSS]\r\nRTKBaudRateS=") + stored +
                         "\r\nRTKBaudRateR=1200\r\nRTKParityR=258\r\nRTKPortNoR=x\r\n");
    EXPECT_EQ(std::get<4>(readProp(1)), baud) << stored;
    // Side 0 has its own baud rate; parity keeps the low 8 bits of 258.
    EXPECT_EQ(readProp(0), Fields(0, 2, 1, 0, 1200, 2)) << stored;
  }
}

}  // namespace
}  // namespace trasso::test
