#include <string>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace trasso::test {
namespace {

class RtkRadioTest : public RootsTest {
 protected:
  std::string rtkFile() const { return inf("jkn-gnss-rtk.ini"); }
};

void expectProp(const RTK_CONNECT_PROP& p, int radio, int hosei, int flow, int port, uint32_t baud,
                uint8_t parity) {
  EXPECT_EQ(p.Radio, radio);
  EXPECT_EQ(p.Hosei, hosei);
  EXPECT_EQ(p.FlowCTS, flow);
  EXPECT_EQ(p.PortNo, port);
  EXPECT_EQ(p.BaudRate, baud);
  EXPECT_EQ(p.Parity, parity);
}

RTK_CONNECT_PROP junk() { return RTK_CONNECT_PROP{77, 77, 77, 77, 77, 77}; }

TEST_F(RtkRadioTest, DefaultsPerFieldWithoutFile) {
  for (int side : {0, 1}) {
    RTK_CONNECT_PROP prop = junk();
    GetQZJkn_GNSS_RTKConnectProp(side, prop);
    expectProp(prop, 0, 2, 1, 1, 9600, 0);
  }
  EXPECT_FALSE(exists(rtkFile()));
  // A missing key gives its own default while the others are read as stored.
  writeBytes(rtkFile(), "[GNSS]\r\nRTKHosei=5\r\nRTKParityS=1\r\n");
  RTK_CONNECT_PROP prop = junk();
  GetQZJkn_GNSS_RTKConnectProp(1, prop);
  expectProp(prop, 0, 5, 1, 1, 9600, 1);
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

  RTK_CONNECT_PROP prop = junk();
  GetQZJkn_GNSS_RTKConnectProp(0, prop);
  expectProp(prop, -2, 4, 1, 7, 4294967295u, 255);
  for (int side : {1, -1, 1000}) {
    SCOPED_TRACE(side);
    prop = junk();
    GetQZJkn_GNSS_RTKConnectProp(side, prop);
    expectProp(prop, -2, 4, 1, 5, 4800, 2);
  }
  // Any non-zero side writes the "S" keys.
  PutQZJkn_GNSS_RTKConnectProp(-1, RTK_CONNECT_PROP{0, 2, 1, 9, 38400, 0});
  prop = junk();
  GetQZJkn_GNSS_RTKConnectProp(1, prop);
  expectProp(prop, 0, 2, 1, 9, 38400, 0);
  GetQZJkn_GNSS_RTKConnectProp(0, prop);
  expectProp(prop, 0, 2, 1, 7, 4294967295u, 255);
}

TEST_F(RtkRadioTest, BaudRateTextAndNarrowFields) {
  struct Row {
    const char* stored;
    uint32_t baud;
  } const rows[] = {
      {"", 9600},                       // present but empty
      {"115200", 115200},  {"abc", 0},  // text without digits is 0, not the default
      {"19200bps", 19200}, {"  4800", 4800},     {"0x10", 0},  // plain decimal digits only
      {"-1", 4294967295u}, {"\"57600\"", 57600},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.stored);
    writeBytes(rtkFile(), std::string("[GNSS]\r\nRTKBaudRateS=") + row.stored +
                              "\r\nRTKBaudRateR=1200\r\nRTKParityR=258\r\nRTKPortNoR=x\r\n");
    RTK_CONNECT_PROP prop = junk();
    GetQZJkn_GNSS_RTKConnectProp(1, prop);
    EXPECT_EQ(prop.BaudRate, row.baud);
    GetQZJkn_GNSS_RTKConnectProp(0, prop);
    EXPECT_EQ(prop.BaudRate, 1200u);
    EXPECT_EQ(prop.Parity, 2);  // low 8 bits of 258
    EXPECT_EQ(prop.PortNo, 0);
  }
}

}  // namespace
}  // namespace trasso::test
