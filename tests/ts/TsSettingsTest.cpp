// Total-station settings and automatic loading: defaults, exact written texts,
// read rules and the "no value" of "AutoLoadKH".
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <string>
#include <tuple>
#include <utility>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace {

using trasso::test::exists;
using trasso::test::makeReadOnly;
using trasso::test::readBytes;
using trasso::test::writeBytes;

std::string tsFile(const std::string& lines) { return "[TS]\r\n" + lines; }

using TsTest = trasso::test::RootsTest;

double autoLoadKh() {
  double kh = -7.0;
  GetQZJkn_TS_AutoLoad_Ex(nullptr, nullptr, &kh, nullptr);
  return kh;
}

// "AutoLoadKH" is read like the other doubles of "jkn-ts.ini" (the registry
// walk covers those): empty as its default, through a 32-byte buffer.
TEST_F(TsTest, AutoLoadKhReadsEmptyAsNoValueThroughA32ByteBuffer) {
  const std::string path = inf("jkn-ts.ini");
  const std::pair<std::string, double> cases[] = {
      {"", 1e-16}, {"abc", 0.0}, {"0." + std::string(28, '0') + "55", 5e-29}};
  for (const auto& [stored, value] : cases) {
    writeBytes(path, tsFile("AutoLoadKH=" + stored + "\r\n"));
    EXPECT_EQ(autoLoadKh(), value) << stored;
  }
  PutQZJkn_TS_UseScaleValue(1.23456789);
  PutQZJkn_TS_UseToueiValue(12.3456);
  EXPECT_EQ(readBytes(path), tsFile("AutoLoadKH=0." + std::string(28, '0') +
                                    "55\r\nUseScaleValue=1.234568\r\nUseToueiValue=12.346\r\n"));
}

TEST_F(TsTest, FailedWritesLeaveTheFile) {
  const std::string path = inf("jkn-ts.ini");
  const std::string before = tsFile("Port=3\r\n");
  writeBytes(path, before);
  makeReadOnly(path);
  PutQZJkn_TS_Port(4);
  PutQZJkn_TS_AutoLoad(1);
  EXPECT_EQ(readBytes(path), before);
}

TEST_F(TsTest, BluetoothSettingsInDefTs) {
  const std::string path = inf("def-ts.ini");
  bool use = true;
  int channel = -7, network = -7;
  GetQZJkn_TS_ZETRBtRadio(use, channel, network);
  EXPECT_EQ(std::make_tuple(use, channel, network), std::make_tuple(false, 1, 1));
  EXPECT_EQ(GetQZJkn_TS_BtDevAddr(), "");
  EXPECT_FALSE(exists(path));

  PutQZJkn_TS_ZETRBtRadio(true, 3, 12);
  const std::string radio = "ZETR_UseBtRadio=1\r\nZETR_BtRadioCh=3\r\nZETR_BtRadioNw=12\r\n";
  const std::string address(40, 'a');
  PutQZJkn_TS_BtDevAddr(address.c_str());
  EXPECT_EQ(readBytes(path), tsFile(radio + "BtDevAddr=" + address + "\r\n"));
  GetQZJkn_TS_ZETRBtRadio(use, channel, network);
  EXPECT_EQ(std::make_tuple(use, channel, network), std::make_tuple(true, 3, 12));
  EXPECT_EQ(GetQZJkn_TS_BtDevAddr(), std::string(31, 'a'));
  PutQZJkn_TS_BtDevAddr(nullptr);
  EXPECT_EQ(readBytes(path), tsFile(radio));
}

TEST_F(TsTest, StartupFlagLivesInTheDefaultZetrProfile) {
  EXPECT_TRUE(GetQZJkn_TS_Dsp_StartupJkn());
  PutQZJkn_TS_Dsp_StartupJkn(false);
  EXPECT_EQ(readBytes(inf("jkn-zetr.ini")), "[DSP]\r\nSTJ=0\r\n");
  EXPECT_FALSE(exists(inf("jkn-ts.ini")));
  EXPECT_FALSE(GetQZJkn_ZETR_Dsp_StartupJkn(GetQZJkn_ZETR_Path().c_str()));
  EXPECT_FALSE(GetQZJkn_TS_Dsp_StartupJkn());
}

// on, kno, bno, kh, pane as GetQZJkn_TS_AutoLoad_Ex reports them.
std::tuple<int, uint32_t, uint32_t, double, int> autoLoadSetUp() {
  uint32_t kno = 7, bno = 7;
  double kh = -7.0;
  int pane = -7;
  const int on = GetQZJkn_TS_AutoLoad_Ex(&kno, &bno, &kh, &pane);
  return {on, kno, bno, kh, pane};
}

TEST_F(TsTest, AutoLoadExWritesFiveKeysInOrder) {
  const std::string path = inf("jkn-ts.ini");
  EXPECT_EQ(GetQZJkn_TS_AutoLoad(), 0);
  EXPECT_EQ(autoLoadSetUp(), std::make_tuple(0, 0u, 0u, 1e-16, 99));
  EXPECT_EQ(GetQZJkn_TS_AutoLoad_Ex(nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_FALSE(exists(path));

  PutQZJkn_TS_AutoLoad_Ex(2, 15, 16, 1.5, 1);
  EXPECT_EQ(readBytes(path), tsFile("AutoLoad=2\r\nAutoLoadKno=15\r\nAutoLoadBno=16\r\n"
                                    "AutoLoadKH=1.500\r\nAutoLoadObsPane=1\r\n"));
  EXPECT_EQ(autoLoadSetUp(), std::make_tuple(1, 15u, 16u, 1.5, 1));
  EXPECT_EQ(GetQZJkn_TS_AutoLoad(), 2);
  EXPECT_EQ(GetQZJkn_TS_AutoLoad_Ex(nullptr, nullptr, nullptr, nullptr), 1);

  // Point numbers are unsigned 32-bit; a stored -1 comes back as its bit pattern.
  PutQZJkn_TS_AutoLoad_Ex(0, 4294967295u, 0, 2.0, -3);
  EXPECT_EQ(readBytes(path), tsFile("AutoLoad=0\r\nAutoLoadKno=4294967295\r\nAutoLoadBno=0\r\n"
                                    "AutoLoadKH=2.000\r\nAutoLoadObsPane=-3\r\n"));
  writeBytes(path, tsFile("AutoLoadKno=-1\r\n"));
  EXPECT_EQ(std::get<1>(autoLoadSetUp()), 4294967295u);
}

TEST_F(TsTest, AutoLoadKhNoValue) {
  const std::string path = inf("jkn-ts.ini");
  // Only exactly 1e-16 empties the key; NaN is formatted.
  const std::tuple<double, const char*, double> rows[] = {{1e-16, "", 1e-16},
                                                          {0.0, "0.000", 0.0},
                                                          {1.23456, "1.235", 1.235},
                                                          {std::nan(""), "nan", 0.0}};
  for (const auto& [kh, text, readBack] : rows) {
    SCOPED_TRACE(text);
    PutQZJkn_TS_AutoLoad_Ex(1, 1, 2, kh, 3);
    EXPECT_EQ(readBytes(path),
              tsFile("AutoLoad=1\r\nAutoLoadKno=1\r\nAutoLoadBno=2\r\nAutoLoadKH=" +
                     std::string(text) + "\r\nAutoLoadObsPane=3\r\n"));
    EXPECT_EQ(autoLoadKh(), readBack);
  }
}

TEST_F(TsTest, AutoLoadResetsTheSetUp) {
  const std::string path = inf("jkn-ts.ini");
  writeBytes(path, tsFile("Port=2\r\nAutoLoadKH=9.5\r\nAutoLoadKno=44\r\n"));
  PutQZJkn_TS_AutoLoad(5);
  EXPECT_EQ(readBytes(path), tsFile("Port=2\r\nAutoLoadKH=\r\nAutoLoadKno=0\r\nAutoLoad=5\r\n"
                                    "AutoLoadBno=0\r\nAutoLoadObsPane=99\r\n"));
  EXPECT_EQ(autoLoadSetUp(), std::make_tuple(1, 0u, 0u, 1e-16, 99));
}

}  // namespace
