// Total-station settings and automatic loading: defaults, exact written texts,
// read rules and the "no value" of "AutoLoadKH".
#include <sys/stat.h>
#include <unistd.h>

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
  // Written by other means: "VKubun" comes back as stored, "ConnectComm" only
  // counts when exactly 1, a flag is any non-zero value.
  writeBytes(path, tsFile("VKubun=2\r\nConnectComm=2\r\nUseScale=7\r\n"));
  EXPECT_EQ(GetQZJkn_TS_VKubun(), 2);
  EXPECT_EQ(GetQZJkn_TS_COMM_or_BT(), 0);
  EXPECT_TRUE(GetQZJkn_TS_UseScale());
  writeBytes(path, tsFile("ConnectComm=-1\r\n"));
  EXPECT_EQ(GetQZJkn_TS_COMM_or_BT(), 0);
}

double autoLoadKh() {
  double kh = -7.0;
  GetQZJkn_TS_AutoLoad_Ex(nullptr, nullptr, &kh, nullptr);
  return kh;
}

// The three doubles of "jkn-ts.ini" are read through a 32-byte buffer.
struct TsDouble {
  const char* key;
  double (*get)();
  double def;
};

const TsDouble kDoubles[] = {
    {"UseScaleValue", GetQZJkn_TS_UseScaleValue, 1.0},
    {"UseToueiValue", GetQZJkn_TS_UseToueiValue, 0.0},
    {"AutoLoadKH", autoLoadKh, 1e-16},
};

TEST_F(TsTest, DoublesReadEmptyAsDefaultThroughA32ByteBuffer) {
  const std::string path = inf("jkn-ts.ini");
  for (const TsDouble& row : kDoubles) {
    SCOPED_TRACE(row.key);
    const std::string head = std::string(row.key) + "=";
    ::unlink(path.c_str());
    EXPECT_EQ(row.get(), row.def);
    EXPECT_FALSE(exists(path));
    writeBytes(path, tsFile(head + "\r\n"));
    EXPECT_EQ(row.get(), row.def);
    writeBytes(path, tsFile(head + "abc\r\n"));
    EXPECT_EQ(row.get(), 0.0);
    // 32 characters: the last one is not seen.
    writeBytes(path, tsFile(head + "0." + std::string(28, '0') + "55\r\n"));
    EXPECT_EQ(row.get(), 5e-29);
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
