// ZETR and PL30 instrument profiles and the setting-out file: range checks,
// failed writes, defaults, exact written texts and the clearing of "OBS".
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <limits>
#include <string>
#include <tuple>

#include "TestRoots.h"
#include "TrassoJkn.h"
#include "profiles/ProfileSetting.h"

namespace {

using trasso::test::exists;
using trasso::test::makeReadOnly;
using trasso::test::readBytes;
using trasso::test::writeBytes;

constexpr double kPi = 3.14159265358979323846;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Values outside every setter's range, stored by other means.
constexpr const char* kOutOfRange =
    "[ANG]\nMOD=7\n[TGT]\nTYP=-3\nPV1=5000\nHOW=4\nTID=11\nPV2=-2000\n"
    "[NPR]\nVAL=123\nRMN=0\nRMX=10001\n[AUT]\nTIM=9\n[HRD]\nRTI=250\n"
    "[DST]\nCEN=-99.5\nHPA=1300.25\n[SCH]\nHOR=7.5\nVER=0.75\n";

// One validating setter and the getter of its key, both through double so that
// int and double keys share the table. A pair setter is driven at one end with
// the other end held at a valid value; its getter reports that end.
struct RangeRow {
  const char* name;
  bool (*put)(const char* path, double value);
  double (*get)(const char* path);
  double def;     // on a missing file or a null path
  double stored;  // read from kOutOfRange
  double min, max;
  bool integral;                   // one step beyond is +-1 instead of the next double
  const char* atMin;               // the file after put(min) on a new file
  const char* atMax;               // ... after put(max) next
  bool trueOnFailedWrite = false;  // the setter does not report failed writes
};

template <bool (*F)(const char*, int)>
bool putInt(const char* p, double v) {
  return F(p, static_cast<int>(v));
}
template <int (*G)(const char*)>
double getInt(const char* p) {
  return G(p);
}
template <class T, bool (*F)(const char*, T, T), bool second, int held>
bool putEnd(const char* p, double v) {
  return second ? F(p, held, static_cast<T>(v)) : F(p, static_cast<T>(v), held);
}
template <class T, void (*G)(const char*, T&, T&), bool second>
double getEnd(const char* p) {
  T first{-1}, other{-1};
  G(p, first, other);
  return second ? other : first;
}

// The single validating setters are walked through the registry; these rows
// keep one of each family and the pair setters.
const RangeRow kRanges[] = {
    {"ZetrTgt1PsmType", putInt<PutQZJkn_ZETR_Tgt1_PsmType>, getInt<GetQZJkn_ZETR_Tgt1_PsmType>, 1,
     -3, 1, 5, true, "[TGT]\r\nTYP=1\r\n", "[TGT]\r\nTYP=5\r\n"},
    // A minimum above the maximum is accepted: each end is checked by itself.
    {"ZetrNprRangeMin", putEnd<int, PutQZJkn_ZETR_Npr_RangeValue, false, 50>,
     getEnd<int, GetQZJkn_ZETR_Npr_RangeValue, false>, 1, 0, 1, 9999, true,
     "[NPR]\r\nRMN=1\r\nRMX=50\r\n", "[NPR]\r\nRMN=9999\r\nRMX=50\r\n"},
    {"ZetrNprRangeMax", putEnd<int, PutQZJkn_ZETR_Npr_RangeValue, true, 50>,
     getEnd<int, GetQZJkn_ZETR_Npr_RangeValue, true>, 999, 10001, 1, 9999, true,
     "[NPR]\r\nRMN=50\r\nRMX=1\r\n", "[NPR]\r\nRMN=50\r\nRMX=9999\r\n"},
    {"ZetrCentigrade", putEnd<double, PutQZJkn_ZETR_Dst_CentigradePress, false, 1013>,
     getEnd<double, GetQZJkn_ZETR_Dst_CentigradePress, false>, 20.0, -99.5, -70.0, 70.0, false,
     "[DST]\r\nCEN=-70.000000\r\nHPA=1013.000000\r\n",
     "[DST]\r\nCEN=70.000000\r\nHPA=1013.000000\r\n"},
    {"ZetrPressure", putEnd<double, PutQZJkn_ZETR_Dst_CentigradePress, true, 20>,
     getEnd<double, GetQZJkn_ZETR_Dst_CentigradePress, true>, 1013.25, 1300.25, 500.0, 1200.0,
     false, "[DST]\r\nCEN=20.000000\r\nHPA=500.000000\r\n",
     "[DST]\r\nCEN=20.000000\r\nHPA=1200.000000\r\n"},
    {"ZetrSearchH", putEnd<double, PutQZJkn_ZETR_Sch_HVRangeRad, false, 1>,
     getEnd<double, GetQZJkn_ZETR_Sch_HVRangeRad, false>, 30 * kPi / 180, 7.5, 0.0, 2 * kPi, false,
     "[SCH]\r\nHOR=0.000000\r\nVER=1.000000\r\n", "[SCH]\r\nHOR=6.283185\r\nVER=1.000000\r\n"},
    {"ZetrSearchV", putEnd<double, PutQZJkn_ZETR_Sch_HVRangeRad, true, 1>,
     getEnd<double, GetQZJkn_ZETR_Sch_HVRangeRad, true>, 10 * kPi / 180, 0.75, 0.0, 2 * kPi, false,
     "[SCH]\r\nHOR=1.000000\r\nVER=0.000000\r\n", "[SCH]\r\nHOR=1.000000\r\nVER=6.283185\r\n"},
    // The same missing "NPR"/"VAL" reads as 3 through the ZETR getter.
    {"Pl30NprValue", putInt<PutQZJkn_PL30_Npr_Value>, getInt<GetQZJkn_PL30_Npr_Value>, 1, 123, 1,
     99, true, "[NPR]\r\nVAL=1\r\n", "[NPR]\r\nVAL=99\r\n"},
    {"Pl30Centigrade", putEnd<double, PutQZJkn_PL30_Dst_CentigradePress, false, 1013>,
     getEnd<double, GetQZJkn_PL30_Dst_CentigradePress, false>, 20.0, -99.5, -70.0, 70.0, false,
     "[DST]\r\nCEN=-70.000000\r\nHPA=1013.000000\r\n",
     "[DST]\r\nCEN=70.000000\r\nHPA=1013.000000\r\n", true},
    {"Pl30Pressure", putEnd<double, PutQZJkn_PL30_Dst_CentigradePress, true, 20>,
     getEnd<double, GetQZJkn_PL30_Dst_CentigradePress, true>, 1013.25, 1300.25, 500.0, 1200.0,
     false, "[DST]\r\nCEN=20.000000\r\nHPA=500.000000\r\n",
     "[DST]\r\nCEN=20.000000\r\nHPA=1200.000000\r\n", true},
    {"Pl30SearchH", PutQZJkn_PL30_Sch_HRangeRad, GetQZJkn_PL30_Sch_HRangeRad, 2 * kPi / 180, 7.5,
     0.0, kPi, false, "[SCH]\r\nHOR=0.000000\r\n", "[SCH]\r\nHOR=3.141593\r\n"},
};

class RangeTest : public trasso::test::RootsTest, public ::testing::WithParamInterface<RangeRow> {};

TEST_P(RangeTest, AcceptsBothEndsAndRefusesOneStepBeyond) {
  const RangeRow& row = GetParam();
  const std::string path = inf("profile.ini");
  const double below = row.integral ? row.min - 1 : std::nextafter(row.min, -1e9);
  const double above = row.integral ? row.max + 1 : std::nextafter(row.max, 1e9);

  // A refused value does not even create the file.
  EXPECT_FALSE(row.put(path.c_str(), below));
  EXPECT_FALSE(exists(path));

  EXPECT_TRUE(row.put(path.c_str(), row.min));
  EXPECT_EQ(readBytes(path), row.atMin);
  EXPECT_TRUE(row.put(path.c_str(), row.max));
  EXPECT_EQ(readBytes(path), row.atMax);

  EXPECT_FALSE(row.put(path.c_str(), below));
  EXPECT_FALSE(row.put(path.c_str(), above));
  if (!row.integral) {
    EXPECT_FALSE(row.put(path.c_str(), kNaN));
  }
  EXPECT_EQ(readBytes(path), row.atMax);
}

TEST_P(RangeTest, FailedWriteOfAnAcceptedValue) {
  const RangeRow& row = GetParam();
  const std::string path = inf("profile.ini");
  const std::string before = "[OTHER]\r\nX=1\r\n";
  writeBytes(path, before);
  makeReadOnly(path);
  EXPECT_EQ(row.put(path.c_str(), row.min), row.trueOnFailedWrite);
  EXPECT_EQ(readBytes(path), before);

  const std::string folder = root(0) + "/missing";
  EXPECT_EQ(row.put((folder + "\\profile.ini").c_str(), row.max), row.trueOnFailedWrite);
  EXPECT_FALSE(exists(folder));
  // A null path names no file.
  EXPECT_EQ(row.put(nullptr, row.min), row.trueOnFailedWrite);
}

TEST_P(RangeTest, GetterDefaultsAndReadsWithoutRangeCheck) {
  const RangeRow& row = GetParam();
  const std::string path = inf("profile.ini");
  EXPECT_DOUBLE_EQ(row.get(path.c_str()), row.def);
  EXPECT_DOUBLE_EQ(row.get(nullptr), row.def);
  EXPECT_FALSE(exists(path));
  writeBytes(path, kOutOfRange);
  EXPECT_EQ(row.get(path.c_str()), row.stored);
}

INSTANTIATE_TEST_SUITE_P(Setters, RangeTest, ::testing::ValuesIn(kRanges),
                         [](const auto& info) { return std::string(info.param.name); });

using ProfileTest = trasso::test::RootsTest;

TEST_F(ProfileTest, DoublesReadEmptyAsDefaultThroughA260ByteBuffer) {
  const std::string path = inf("jkn-zetr.ini");
  // The 5 of "HOR" lies beyond the 259th byte, so only zeros are seen.
  writeBytes(path,
             "[DST]\nCEN=\nHPA=abc\n[SCH]\nHOR=0." + std::string(300, '0') + "5\nVER=0.25abc\n");
  double t = -1, p = -1, h = -1, v = -1;
  GetQZJkn_ZETR_Dst_CentigradePress(path.c_str(), t, p);
  GetQZJkn_ZETR_Sch_HVRangeRad(path.c_str(), h, v);
  EXPECT_EQ(std::make_tuple(t, p, h, v), std::make_tuple(20.0, 0.0, 0.0, 0.25));
}

// The second key of a pair is written even when the first write fails (here: a
// section name that cannot be stored).
TEST_F(ProfileTest, PairWritesTheSecondKeyAfterAFailedFirst) {
  using trasso::IntSetting;
  using trasso::SettingsFile;
  constexpr IntSetting kUnstorable{{SettingsFile::JknZetr, "A\nB", "K"}, 0};
  constexpr IntSetting kStorable{{SettingsFile::JknZetr, "S", "K"}, 0};
  const std::string path = inf("profile.ini");
  EXPECT_FALSE(trasso::profile::putPair(path, kUnstorable, 1, kStorable, 2));
  EXPECT_EQ(readBytes(path), "[S]\r\nK=2\r\n");
}

TEST_F(ProfileTest, WriteReportingFlagsReportFailedWrites) {
  const std::string path = inf("profile.ini");
  EXPECT_TRUE(PutQZJkn_ZETR_Tgt1_AutoOff(path.c_str(), true));
  EXPECT_TRUE(PutQZJkn_ZETR_Blt_OnOff(path.c_str(), true));
  const std::string before = readBytes(path);
  makeReadOnly(path);
  EXPECT_FALSE(PutQZJkn_ZETR_Tgt1_AutoOff(path.c_str(), false));
  EXPECT_FALSE(PutQZJkn_ZETR_Blt_OnOff(path.c_str(), false));
  EXPECT_EQ(readBytes(path), before);
}

TEST_F(ProfileTest, ClearObsRemovesOnlyThatSection) {
  const std::string path = inf("jkn-zetr.ini");
  writeBytes(path,
             "; profile\r\n[DST]\r\nCEN=1.5\r\n\r\n[OBS]\r\nPMD=0\r\nMMD=0\r\n[AFS]\r\nAGN=1\r\n"
             "[obsx]\r\nPMD=0\r\n");
  ClearQZJkn_ZETR_OBS(path.c_str());
  EXPECT_EQ(readBytes(path),
            "; profile\r\n[DST]\r\nCEN=1.5\r\n\r\n[AFS]\r\nAGN=1\r\n[obsx]\r\nPMD=0\r\n");
  EXPECT_TRUE(GetQZJkn_ZETR_PsmMode(path.c_str()));
  EXPECT_TRUE(GetQZJkn_ZETR_MsrMode(path.c_str()));

  const std::string missing = inf("none.ini");
  ClearQZJkn_ZETR_OBS(missing.c_str());
  ClearQZJkn_ZETR_OBS(nullptr);
  EXPECT_FALSE(exists(missing));
}

TEST_F(ProfileTest, GettersWithoutPathReadTheDefaultFile) {
  const std::string path = GetQZJkn_Soku_Path();
  EXPECT_TRUE(GetQZJkn_Soku_OpenSokusetsuProp());
  EXPECT_FALSE(GetQZJkn_Soku_OpenSokusetsuMake());
  EXPECT_FALSE(exists(inf("jkn-soku.ini")));
  PutQZJkn_Soku_OpenSokusetsuProp(path.c_str(), false);
  PutQZJkn_Soku_OpenSokusetsuMake(path.c_str(), true);
  EXPECT_EQ(readBytes(inf("jkn-soku.ini")), "[STARTOP]\r\nOPRNSOKP=0\r\nOPRNSOKM=1\r\n");
  EXPECT_FALSE(GetQZJkn_Soku_OpenSokusetsuProp());
  EXPECT_TRUE(GetQZJkn_Soku_OpenSokusetsuMake());
  EXPECT_EQ(GetQZJkn_Soku_OpenSokusetsuProp(path.c_str()), GetQZJkn_Soku_OpenSokusetsuProp());
}

}  // namespace
