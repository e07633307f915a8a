#include <cstdint>
#include <string>
#include <tuple>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace trasso::test {
namespace {

class RtkRadioTest : public RootsTest {
 protected:
  std::string rtkFile() const { return inf("jkn-gnss-rtk.ini"); }
};

// Radio, Hosei, FlowCTS, PortNo, BaudRate, Parity.
using Fields = std::tuple<int, int, int, int, int64_t, int>;

// The record a read of side gives over stale fields.
Fields readProp(int side) {
  RTK_CONNECT_PROP p{77, 77, 77, 77, 77, 77};
  GetQZJkn_GNSS_RTKConnectProp(side, p);
  return Fields(p.Radio, p.Hosei, p.FlowCTS, p.PortNo, p.BaudRate, p.Parity);
}

TEST_F(RtkRadioTest, DefaultsPerFieldWithoutFile) {
  EXPECT_EQ(readProp(0), Fields(0, 2, 1, 1, 9600, 0));
  EXPECT_EQ(readProp(1), Fields(0, 2, 1, 1, 9600, 0));
  EXPECT_FALSE(exists(rtkFile()));
  // A missing key gives its own default while the others are read as stored.
  writeBytes(rtkFile(), "[GNSS]\r\nRTKHosei=5\r\nRTKParityS=1\r\n");
  EXPECT_EQ(readProp(1), Fields(0, 5, 1, 1, 9600, 1));
}

TEST_F(RtkRadioTest, SidesShareThreeKeysAndOwnThree) {
  PutQZJkn_GNSS_RTKConnectProp(1, RTK_CONNECT_PROP{1, 3, 0, 5, 4800, 2});
  EXPECT_EQ(readBytes(rtkFile()),
            "[GNSS]\r\nRTKRadio=1\r\nRTKHosei=3\r\nRTKFlowCTS=0\r\nRTKPortNoS=5\r\n"
            "RTKBaudRateS=4800\r\nRTKParityS=2\r\n");
  PutQZJkn_GNSS_RTKConnectProp(0, RTK_CONNECT_PROP{-2, 4, 1, 7, 4294967295u, 255});
  EXPECT_EQ(readBytes(rtkFile()),
            "[GNSS]\r\nRTKRadio=-2\r\nRTKHosei=4\r\nRTKFlowCTS=1\r\nRTKPortNoS=5\r\n"
            "RTKBaudRateS=4800\r\nRTKParityS=2\r\nRTKPortNoR=7\r\nRTKBaudRateR=4294967295\r\n"
            "RTKParityR=255\r\n");
  EXPECT_EQ(readProp(0), Fields(-2, 4, 1, 7, 4294967295, 255));
  for (int side : {1, -1, 1000}) {
    SCOPED_TRACE(side);
    EXPECT_EQ(readProp(side), Fields(-2, 4, 1, 5, 4800, 2));
  }
  // Any non-zero side writes the "S" keys.
  PutQZJkn_GNSS_RTKConnectProp(-1, RTK_CONNECT_PROP{0, 2, 1, 9, 38400, 0});
  EXPECT_EQ(readProp(1), Fields(0, 2, 1, 9, 38400, 0));
  EXPECT_EQ(readProp(0), Fields(0, 2, 1, 7, 4294967295, 255));
}

TEST_F(RtkRadioTest, BaudRateTextAndNarrowFields) {
  struct Row {
    const char* stored;
    int64_t baud;
  } const rows[] = {
      {"", 9600},                        // present but empty
      {"115200", 115200},  {"abc", 0},   // text without digits is 0, not the default
      {"19200bps", 19200}, {"0x10", 0},  // plain decimal digits only
      {"-1", 4294967295},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.stored);
    writeBytes(rtkFile(), std::string("[GNSS]\r\nRTKBaudRateS=") + row.stored +
                              "\r\nRTKBaudRateR=1200\r\nRTKParityR=258\r\nRTKPortNoR=x\r\n");
    EXPECT_EQ(std::get<4>(readProp(1)), row.baud);
    // Side 0 has its own baud rate; parity keeps the low 8 bits of 258.
    EXPECT_EQ(readProp(0), Fields(0, 2, 1, 0, 1200, 2));
  }
}

}  // namespace
}  // namespace trasso::test
