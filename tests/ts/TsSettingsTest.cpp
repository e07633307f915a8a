// Total-station settings the registry walk does not reach: the Bluetooth radio
// record, the start-up flag kept in the ZETR profile, and automatic loading with
// the "no value" of "AutoLoadKH".
#include <cmath>
#include <string>
#include <tuple>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace {

using trasso::test::exists;
using trasso::test::makeReadOnly;
using trasso::test::readBytes;
using trasso::test::writeBytes;

std::string tsFile(const std::string& lines) { return "[TS]\r\n" + lines; }

using TsTest = trasso::test::RootsTest;

TEST_F(TsTest, BluetoothRadioIsThreeKeysInDefTs) {
  const std::string path = inf("def-ts.ini");
  bool use = true;
  int channel = -7, network = -7;
  GetQZJkn_TS_ZETRBtRadio(use, channel, network);
  EXPECT_EQ(std::make_tuple(use, channel, network), std::make_tuple(false, 1, 1));
  EXPECT_FALSE(exists(path));
  PutQZJkn_TS_ZETRBtRadio(true, 3, 12);
  EXPECT_EQ(readBytes(path),
            tsFile("ZETR_UseBtRadio=1\r\nZETR_BtRadioCh=3\r\nZETR_BtRadioNw=12\r\n"));
  GetQZJkn_TS_ZETRBtRadio(use, channel, network);
  EXPECT_EQ(std::make_tuple(use, channel, network), std::make_tuple(true, 3, 12));
}

TEST_F(TsTest, StartupFlagLivesInTheDefaultZetrProfile) {
  EXPECT_TRUE(GetQZJkn_TS_Dsp_StartupJkn());
  PutQZJkn_TS_Dsp_StartupJkn(false);
  EXPECT_EQ(readBytes(inf("jkn-zetr.ini")), "[DSP]\r\nSTJ=0\r\n");
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
  struct Row {
    int on;
    uint32_t kno, bno;
    double kh;
    int pane;
    const char* texts[5];  // as stored, in the order of the arguments
    double khRead;
  };
  // Only exactly 1e-16, the "no value", empties "AutoLoadKH"; NaN is formatted.
  const Row rows[] = {
      {2, 15, 16, 1.5, 1, {"2", "15", "16", "1.500", "1"}, 1.5},
      {0, 4294967295u, 0, 1e-16, -3, {"0", "4294967295", "0", "", "-3"}, 1e-16},
      {-1, 1, 2, 1.23456, 3, {"-1", "1", "2", "1.235", "3"}, 1.235},
      {1, 1, 2, 0.0, 3, {"1", "1", "2", "0.000", "3"}, 0.0},
      {1, 1, 2, std::nan(""), 3, {"1", "1", "2", "nan", "3"}, 0.0},
  };
  for (const Row& row : rows) {
    PutQZJkn_TS_AutoLoad_Ex(row.on, row.kno, row.bno, row.kh, row.pane);
    const char* const* t = row.texts;
    EXPECT_EQ(readBytes(path), tsFile(std::string("AutoLoad=") + t[0] + "\r\nAutoLoadKno=" + t[1] +
                                      "\r\nAutoLoadBno=" + t[2] + "\r\nAutoLoadKH=" + t[3] +
                                      "\r\nAutoLoadObsPane=" + t[4] + "\r\n"));
    EXPECT_EQ(autoLoadSetUp(),
              std::make_tuple(row.on != 0 ? 1 : 0, row.kno, row.bno, row.khRead, row.pane));
    EXPECT_EQ(GetQZJkn_TS_AutoLoad(), row.on);
  }
}

// Switching automatic loading on or off forgets the set-up and keeps other keys.
TEST_F(TsTest, AutoLoadResetsTheSetUpUnlessTheFileIsReadOnly) {
  const std::string path = inf("jkn-ts.ini");
  // "AutoLoadKH" is read through 32 bytes: its last digit here is not seen.
  writeBytes(path, tsFile("AutoLoadKH=0." + std::string(28, '0') + "55\r\nAutoLoadKno=44\r\n"));
  EXPECT_EQ(std::get<3>(autoLoadSetUp()), 5e-29);
  // The registry walk takes a double's decimals from its declaration: six and three.
  PutQZJkn_TS_UseScaleValue(1.23456789);
  PutQZJkn_TS_UseToueiValue(12.3456);
  PutQZJkn_TS_AutoLoad(5);
  EXPECT_EQ(
      readBytes(path),
      tsFile("AutoLoadKH=\r\nAutoLoadKno=0\r\nUseScaleValue=1.234568\r\nUseToueiValue=12.346\r\n"
             "AutoLoad=5\r\nAutoLoadBno=0\r\nAutoLoadObsPane=99\r\n"));
  EXPECT_EQ(autoLoadSetUp(), std::make_tuple(1, 0u, 0u, 1e-16, 99));
  // A read-only file is left as it is.
  const std::string before = readBytes(path);
  makeReadOnly(path);
  PutQZJkn_TS_AutoLoad(1);
  EXPECT_EQ(readBytes(path), before);
}

}  // namespace
