// Total-station settings and automatic loading: defaults, exact written texts,
// read rules and the "no value" of "AutoLoadKH".
#include <sys/stat.h>

#include <limits>
#include <string>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace {

using trasso::test::exists;
using trasso::test::readBytes;
using trasso::test::writeBytes;

std::string tsFile(const std::string& lines) { return "[TS]\r\n" + lines; }

// Integer and flag keys of "jkn-ts.ini", through int so that bools share the table.
struct TsKey {
  const char* key;
  int (*get)();
  void (*put)(int);
  int def;
  int value;         // given to the setter
  const char* text;  // what the file then holds
  int readBack;
};

template <bool (*G)()>
int boolAsInt() {
  return G() ? 1 : 0;
}
template <void (*P)(bool)>
void intAsBool(int v) {
  P(v != 0);
}

const TsKey kKeys[] = {
    {"VKubun", GetQZJkn_TS_VKubun, PutQZJkn_TS_VKubun, 1, 2, "1", 1},
    {"VKubun", GetQZJkn_TS_VKubun, PutQZJkn_TS_VKubun, 1, 0, "0", 0},
    {"Port", GetQZJkn_TS_Port, PutQZJkn_TS_Port, 1, -5, "-5", -5},
    {"SetOpen", GetQZJkn_TS_SetOpen, PutQZJkn_TS_SetOpen, 0, 7, "7", 7},
    {"AnglinLen", GetQZJkn_TS_AnglinLen, PutQZJkn_TS_AnglinLen, 100, 250, "250", 250},
    {"ConnectComm", GetQZJkn_TS_COMM_or_BT, PutQZJkn_TS_COMM_or_BT, 1, 5, "1", 1},
    {"ConnectComm", GetQZJkn_TS_COMM_or_BT, PutQZJkn_TS_COMM_or_BT, 1, 0, "0", 0},
    {"UseScale", boolAsInt<GetQZJkn_TS_UseScale>, intAsBool<PutQZJkn_TS_UseScale>, 0, 1, "1", 1},
    {"UseTouei", boolAsInt<GetQZJkn_TS_UseTouei>, intAsBool<PutQZJkn_TS_UseTouei>, 0, 1, "1", 1},
    {"TurnVAngFix", boolAsInt<GetQZJkn_TS_TurnVAngFix>, intAsBool<PutQZJkn_TS_TurnVAngFix>, 0, 1,
     "1", 1},
};

using TsTest = trasso::test::RootsTest;

TEST_F(TsTest, KeysDefaultAndWriteTheirTexts) {
  const std::string path = inf("jkn-ts.ini");
  for (const TsKey& row : kKeys) {
    SCOPED_TRACE(row.key);
    ::unlink(path.c_str());
    EXPECT_EQ(row.get(), row.def);
    EXPECT_FALSE(exists(path));
    row.put(row.value);
    EXPECT_EQ(readBytes(path), tsFile(std::string(row.key) + "=" + row.text + "\r\n"));
    EXPECT_EQ(row.get(), row.readBack);
  }
}

TEST_F(TsTest, StoredIntegersReadBack) {
  const std::string path = inf("jkn-ts.ini");
  writeBytes(path, tsFile("VKubun=2\r\nConnectComm=2\r\nUseScale=7\r\n"));
  EXPECT_EQ(GetQZJkn_TS_VKubun(), 2);
  EXPECT_EQ(GetQZJkn_TS_COMM_or_BT(), 0);
  EXPECT_TRUE(GetQZJkn_TS_UseScale());
  writeBytes(path, tsFile("ConnectComm=-1\r\n"));
  EXPECT_EQ(GetQZJkn_TS_COMM_or_BT(), 0);
}

TEST_F(TsTest, DoublesUseTheirFormatsAndA32ByteBuffer) {
  const std::string path = inf("jkn-ts.ini");
  EXPECT_EQ(GetQZJkn_TS_UseScaleValue(), 1.0);
  EXPECT_EQ(GetQZJkn_TS_UseToueiValue(), 0.0);
  PutQZJkn_TS_UseScaleValue(1.23456789);
  PutQZJkn_TS_UseToueiValue(12.3456);
  EXPECT_EQ(readBytes(path), tsFile("UseScaleValue=1.234568\r\nUseToueiValue=12.346\r\n"));
  EXPECT_EQ(GetQZJkn_TS_UseScaleValue(), 1.234568);
  EXPECT_EQ(GetQZJkn_TS_UseToueiValue(), 12.346);

  // Empty gives the default (not 0.0); only the first 31 characters are seen.
  writeBytes(path, tsFile("UseScaleValue=\r\nUseToueiValue=0." + std::string(29, '0') + "5\r\n"));
  EXPECT_EQ(GetQZJkn_TS_UseScaleValue(), 1.0);
  EXPECT_EQ(GetQZJkn_TS_UseToueiValue(), 0.0);
  writeBytes(path, tsFile("UseScaleValue=abc\r\n"));
  EXPECT_EQ(GetQZJkn_TS_UseScaleValue(), 0.0);
}

TEST_F(TsTest, FailedWritesLeaveTheFile) {
  const std::string path = inf("jkn-ts.ini");
  const std::string before = tsFile("Port=3\r\n");
  writeBytes(path, before);
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  PutQZJkn_TS_Port(4);
  PutQZJkn_TS_AutoLoad(1);
  EXPECT_EQ(readBytes(path), before);
}

TEST_F(TsTest, BluetoothSettingsInDefTs) {
  const std::string path = inf("def-ts.ini");
  bool use = true;
  int channel = -7, network = -7;
  GetQZJkn_TS_ZETRBtRadio(use, channel, network);
  EXPECT_FALSE(use);
  EXPECT_EQ(channel, 1);
  EXPECT_EQ(network, 1);
  EXPECT_EQ(GetQZJkn_TS_BtDevAddr(), "");
  EXPECT_FALSE(exists(path));

  PutQZJkn_TS_ZETRBtRadio(true, 3, 12);
  const std::string address(40, 'a');
  PutQZJkn_TS_BtDevAddr(address.c_str());
  EXPECT_EQ(readBytes(path), tsFile("ZETR_UseBtRadio=1\r\nZETR_BtRadioCh=3\r\nZETR_BtRadioNw=12\r\n"
                                    "BtDevAddr=" +
                                    address + "\r\n"));
  GetQZJkn_TS_ZETRBtRadio(use, channel, network);
  EXPECT_TRUE(use);
  EXPECT_EQ(channel, 3);
  EXPECT_EQ(network, 12);
  EXPECT_EQ(GetQZJkn_TS_BtDevAddr(), std::string(31, 'a'));
  PutQZJkn_TS_BtDevAddr(nullptr);
  EXPECT_EQ(readBytes(path),
            tsFile("ZETR_UseBtRadio=1\r\nZETR_BtRadioCh=3\r\nZETR_BtRadioNw=12\r\n"));
}

TEST_F(TsTest, StartupFlagLivesInTheDefaultZetrProfile) {
  EXPECT_TRUE(GetQZJkn_TS_Dsp_StartupJkn());
  PutQZJkn_TS_Dsp_StartupJkn(false);
  EXPECT_EQ(readBytes(inf("jkn-zetr.ini")), "[DSP]\r\nSTJ=0\r\n");
  EXPECT_FALSE(exists(inf("jkn-ts.ini")));
  EXPECT_FALSE(GetQZJkn_ZETR_Dsp_StartupJkn(GetQZJkn_ZETR_Path().c_str()));
  EXPECT_FALSE(GetQZJkn_TS_Dsp_StartupJkn());
}

struct AutoLoadSetUp {
  int on;
  uint32_t kno, bno;
  double kh;
  int pane;
};

AutoLoadSetUp readSetUp() {
  AutoLoadSetUp s{-1, 7, 7, -7.0, -7};
  s.on = GetQZJkn_TS_AutoLoad_Ex(&s.kno, &s.bno, &s.kh, &s.pane);
  return s;
}

void expectSetUp(int on, uint32_t kno, uint32_t bno, double kh, int pane) {
  const AutoLoadSetUp s = readSetUp();
  EXPECT_EQ(s.on, on);
  EXPECT_EQ(s.kno, kno);
  EXPECT_EQ(s.bno, bno);
  EXPECT_EQ(s.kh, kh);
  EXPECT_EQ(s.pane, pane);
}

TEST_F(TsTest, AutoLoadDefaults) {
  EXPECT_EQ(GetQZJkn_TS_AutoLoad(), 0);
  expectSetUp(0, 0, 0, 1e-16, 99);
  EXPECT_EQ(GetQZJkn_TS_AutoLoad_Ex(nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_FALSE(exists(inf("jkn-ts.ini")));
}

TEST_F(TsTest, AutoLoadExWritesFiveKeysInOrder) {
  const std::string path = inf("jkn-ts.ini");
  PutQZJkn_TS_AutoLoad_Ex(2, 15, 16, 1.5, 1);
  EXPECT_EQ(readBytes(path), tsFile("AutoLoad=2\r\nAutoLoadKno=15\r\nAutoLoadBno=16\r\n"
                                    "AutoLoadKH=1.500\r\nAutoLoadObsPane=1\r\n"));
  expectSetUp(1, 15, 16, 1.5, 1);
  EXPECT_EQ(GetQZJkn_TS_AutoLoad(), 2);

  // Only the pointers given are filled.
  double kh = -1.0;
  EXPECT_EQ(GetQZJkn_TS_AutoLoad_Ex(nullptr, nullptr, &kh, nullptr), 1);
  EXPECT_EQ(kh, 1.5);

  // Point numbers are unsigned 32-bit; a stored -1 comes back as its bit pattern.
  PutQZJkn_TS_AutoLoad_Ex(0, 4294967295u, 0, 1.23456, -3);
  EXPECT_EQ(readBytes(path), tsFile("AutoLoad=0\r\nAutoLoadKno=4294967295\r\nAutoLoadBno=0\r\n"
                                    "AutoLoadKH=1.235\r\nAutoLoadObsPane=-3\r\n"));
  writeBytes(path, tsFile("AutoLoadKno=-1\r\n"));
  EXPECT_EQ(readSetUp().kno, 4294967295u);
}

TEST_F(TsTest, AutoLoadKhNoValue) {
  const std::string path = inf("jkn-ts.ini");
  PutQZJkn_TS_AutoLoad_Ex(1, 1, 2, 1e-16, 3);
  EXPECT_EQ(readBytes(path), tsFile("AutoLoad=1\r\nAutoLoadKno=1\r\nAutoLoadBno=2\r\n"
                                    "AutoLoadKH=\r\nAutoLoadObsPane=3\r\n"));
  EXPECT_EQ(readSetUp().kh, 1e-16);

  PutQZJkn_TS_AutoLoad_Ex(1, 1, 2, 0.0, 3);
  EXPECT_EQ(readSetUp().kh, 0.0);
  EXPECT_NE(readBytes(path).find("AutoLoadKH=0.000\r\n"), std::string::npos);

  // NaN is not the "no value" number: it is formatted, not emptied.
  PutQZJkn_TS_AutoLoad_Ex(1, 1, 2, std::numeric_limits<double>::quiet_NaN(), 3);
  EXPECT_NE(readBytes(path).find("AutoLoadKH=nan\r\n"), std::string::npos);
}

TEST_F(TsTest, AutoLoadResetsTheSetUp) {
  const std::string path = inf("jkn-ts.ini");
  writeBytes(path, tsFile("Port=2\r\nAutoLoadKH=9.5\r\nAutoLoadKno=44\r\n"));
  PutQZJkn_TS_AutoLoad(1);
  EXPECT_EQ(readBytes(path), tsFile("Port=2\r\nAutoLoadKH=\r\nAutoLoadKno=0\r\nAutoLoad=1\r\n"
                                    "AutoLoadBno=0\r\nAutoLoadObsPane=99\r\n"));
  expectSetUp(1, 0, 0, 1e-16, 99);
}

}  // namespace
