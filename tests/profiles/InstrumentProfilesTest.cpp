// ZETR and PL30 instrument profiles: range checks, failed writes, defaults,
// exact written texts and the clearing of "OBS".
#include <sys/stat.h>

#include <cmath>
#include <limits>
#include <string>

#include "TestRoots.h"
#include "TrassoJkn.h"
#include "profiles/ProfileSetting.h"

namespace {

using trasso::test::exists;
using trasso::test::readBytes;
using trasso::test::writeBytes;

constexpr double kPi = 3.14159265358979323846;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// One validating setter, driven through a double so that int and double keys
// share the table. Pair setters are driven at one end with the other held valid.
struct RangeRow {
  const char* name;
  bool (*put)(const char* path, double value);
  double min, max;
  bool integral;  // one step beyond is +-1 instead of the next double
  const char* section;
  const char* linesAtMin;  // the section's lines after put(min) on a new file
  const char* linesAtMax;  // ... after put(max) next
  bool trueOnFailedWrite;  // the setter does not report failed writes
};

template <bool (*F)(const char*, int)>
bool asInt(const char* p, double v) {
  return F(p, static_cast<int>(v));
}
template <bool (*F)(const char*, double)>
bool asDouble(const char* p, double v) {
  return F(p, v);
}

const RangeRow kRanges[] = {
    {"ZetrAngDispMode", asInt<PutQZJkn_ZETR_Ang_DispMode>, 1, 3, true, "ANG", "MOD=1\r\n",
     "MOD=3\r\n", false},
    {"ZetrTgt1PsmType", asInt<PutQZJkn_ZETR_Tgt1_PsmType>, 1, 5, true, "TGT", "TYP=1\r\n",
     "TYP=5\r\n", false},
    {"ZetrTgt1PsmValue", asInt<PutQZJkn_ZETR_Tgt1_PsmValue>, -999, 999, true, "TGT", "PV1=-999\r\n",
     "PV1=999\r\n", false},
    {"ZetrTgt1HowAutolock", asInt<PutQZJkn_ZETR_Tgt1_HowAutolock>, 1, 2, true, "TGT", "HOW=1\r\n",
     "HOW=2\r\n", false},
    {"ZetrTgt1ID", asInt<PutQZJkn_ZETR_Tgt1_ID>, 0, 8, true, "TGT", "TID=0\r\n", "TID=8\r\n",
     false},
    {"ZetrTgt2PsmValue", asInt<PutQZJkn_ZETR_Tgt2_PsmValue>, -999, 999, true, "TGT", "PV2=-999\r\n",
     "PV2=999\r\n", false},
    {"ZetrNprValue", asInt<PutQZJkn_ZETR_Npr_Value>, 1, 99, true, "NPR", "VAL=1\r\n", "VAL=99\r\n",
     false},
    {"ZetrAutTime", asInt<PutQZJkn_ZETR_Aut_Time>, 0, 3, true, "AUT", "TIM=0\r\n", "TIM=3\r\n",
     false},
    {"ZetrRtiPercent", asInt<PutQZJkn_ZETR_Rti_Percent>, 0, 100, true, "HRD", "RTI=0\r\n",
     "RTI=100\r\n", false},
    {"ZetrNprRangeMin",
     [](const char* p, double v) { return PutQZJkn_ZETR_Npr_RangeValue(p, int(v), 50); }, 1, 9999,
     true, "NPR", "RMN=1\r\nRMX=50\r\n", "RMN=9999\r\nRMX=50\r\n", false},
    {"ZetrNprRangeMax",
     [](const char* p, double v) { return PutQZJkn_ZETR_Npr_RangeValue(p, 50, int(v)); }, 1, 9999,
     true, "NPR", "RMN=50\r\nRMX=1\r\n", "RMN=50\r\nRMX=9999\r\n", false},
    {"ZetrCentigrade",
     [](const char* p, double v) { return PutQZJkn_ZETR_Dst_CentigradePress(p, v, 1013.25); },
     -70.0, 70.0, false, "DST", "CEN=-70.000000\r\nHPA=1013.250000\r\n",
     "CEN=70.000000\r\nHPA=1013.250000\r\n", false},
    {"ZetrPressure",
     [](const char* p, double v) { return PutQZJkn_ZETR_Dst_CentigradePress(p, 20.0, v); }, 500.0,
     1200.0, false, "DST", "CEN=20.000000\r\nHPA=500.000000\r\n",
     "CEN=20.000000\r\nHPA=1200.000000\r\n", false},
    {"ZetrSearchH", [](const char* p, double v) { return PutQZJkn_ZETR_Sch_HVRangeRad(p, v, 0.5); },
     0.0, 2 * kPi, false, "SCH", "HOR=0.000000\r\nVER=0.500000\r\n",
     "HOR=6.283185\r\nVER=0.500000\r\n", false},
    {"ZetrSearchV",
     [](const char* p, double v) { return PutQZJkn_ZETR_Sch_HVRangeRad(p, kPi / 6, v); }, 0.0,
     2 * kPi, false, "SCH", "HOR=0.523599\r\nVER=0.000000\r\n", "HOR=0.523599\r\nVER=6.283185\r\n",
     false},
    {"Pl30AngDispMode", asInt<PutQZJkn_PL30_Ang_DispMode>, 1, 3, true, "ANG", "MOD=1\r\n",
     "MOD=3\r\n", false},
    {"Pl30TgtPsmType", asInt<PutQZJkn_PL30_Tgt_PsmType>, 1, 3, true, "TGT", "TYP=1\r\n",
     "TYP=3\r\n", false},
    {"Pl30TgtPsmValue", asInt<PutQZJkn_PL30_Tgt_PsmValue>, -999, 999, true, "TGT", "PV1=-999\r\n",
     "PV1=999\r\n", false},
    {"Pl30TgtPsmValue2", asInt<PutQZJkn_PL30_Tgt_PsmValue2>, -999, 999, true, "TGT", "PV2=-999\r\n",
     "PV2=999\r\n", false},
    {"Pl30NprValue", asInt<PutQZJkn_PL30_Npr_Value>, 1, 99, true, "NPR", "VAL=1\r\n", "VAL=99\r\n",
     false},
    {"Pl30AutTime", asInt<PutQZJkn_PL30_Aut_Time>, 0, 3, true, "AUT", "TIM=0\r\n", "TIM=3\r\n",
     false},
    {"Pl30Centigrade",
     [](const char* p, double v) { return PutQZJkn_PL30_Dst_CentigradePress(p, v, 1013.25); },
     -70.0, 70.0, false, "DST", "CEN=-70.000000\r\nHPA=1013.250000\r\n",
     "CEN=70.000000\r\nHPA=1013.250000\r\n", true},
    {"Pl30Pressure",
     [](const char* p, double v) { return PutQZJkn_PL30_Dst_CentigradePress(p, 20.0, v); }, 500.0,
     1200.0, false, "DST", "CEN=20.000000\r\nHPA=500.000000\r\n",
     "CEN=20.000000\r\nHPA=1200.000000\r\n", true},
    {"Pl30SearchH", asDouble<PutQZJkn_PL30_Sch_HRangeRad>, 0.0, kPi, false, "SCH",
     "HOR=0.000000\r\n", "HOR=3.141593\r\n", false},
    {"Pl30SearchV", asDouble<PutQZJkn_PL30_Sch_VRangeRad>, 0.0, kPi, false, "SCH",
     "VER=0.000000\r\n", "VER=3.141593\r\n", false},
};

class RangeTest : public trasso::test::RootsTest, public ::testing::WithParamInterface<RangeRow> {
 protected:
  std::string file(const std::string& lines) const {
    return "[" + std::string(GetParam().section) + "]\r\n" + lines;
  }
};

TEST_P(RangeTest, AcceptsBothEndsAndRefusesOneStepBeyond) {
  const RangeRow& row = GetParam();
  const std::string path = inf("profile.ini");
  const double below = row.integral ? row.min - 1 : std::nextafter(row.min, -1e9);
  const double above = row.integral ? row.max + 1 : std::nextafter(row.max, 1e9);

  // A refused value does not even create the file.
  EXPECT_FALSE(row.put(path.c_str(), below));
  EXPECT_FALSE(exists(path));

  EXPECT_TRUE(row.put(path.c_str(), row.min));
  EXPECT_EQ(readBytes(path), file(row.linesAtMin));
  EXPECT_TRUE(row.put(path.c_str(), row.max));
  const std::string atMax = file(row.linesAtMax);
  EXPECT_EQ(readBytes(path), atMax);

  EXPECT_FALSE(row.put(path.c_str(), below));
  EXPECT_FALSE(row.put(path.c_str(), above));
  if (!row.integral) {
    EXPECT_FALSE(row.put(path.c_str(), kNaN));
  }
  EXPECT_EQ(readBytes(path), atMax);
}

TEST_P(RangeTest, FailedWriteOfAnAcceptedValue) {
  const RangeRow& row = GetParam();
  const std::string path = inf("profile.ini");
  const std::string before = "[OTHER]\r\nX=1\r\n";
  writeBytes(path, before);
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_EQ(row.put(path.c_str(), row.min), row.trueOnFailedWrite);
  EXPECT_EQ(readBytes(path), before);

  const std::string folder = root(0) + "/missing";
  EXPECT_EQ(row.put((folder + "\\profile.ini").c_str(), row.max), row.trueOnFailedWrite);
  EXPECT_FALSE(exists(folder));
}

INSTANTIATE_TEST_SUITE_P(Setters, RangeTest, ::testing::ValuesIn(kRanges),
                         [](const auto& info) { return std::string(info.param.name); });

// Flags: "1" / "0" and their defaults.
struct FlagRow {
  const char* name;
  bool (*get)(const char*);
  void (*put)(const char*, bool);
  const char* section;
  const char* key;
  bool def;
};

template <bool (*F)(const char*, bool)>
void ignoringResult(const char* p, bool v) {
  F(p, v);
}

const FlagRow kFlags[] = {
    {"ZetrStartupJkn", GetQZJkn_ZETR_Dsp_StartupJkn, PutQZJkn_ZETR_Dsp_StartupJkn, "DSP", "STJ",
     true},
    {"ZetrUseDstHosei", GetQZJkn_ZETR_Dst_UseDstHosei, PutQZJkn_ZETR_Dst_UseDstHosei, "DST", "USE",
     false},
    {"ZetrAutoOff", GetQZJkn_ZETR_Tgt1_AutoOff, ignoringResult<PutQZJkn_ZETR_Tgt1_AutoOff>, "TGT",
     "AOF", false},
    {"ZetrBlt", GetQZJkn_ZETR_Blt_OnOff, ignoringResult<PutQZJkn_ZETR_Blt_OnOff>, "HRD", "BLT",
     false},
    {"ZetrPsmMode", GetQZJkn_ZETR_PsmMode, PutQZJkn_ZETR_PsmMode, "OBS", "PMD", true},
    {"ZetrMsrMode", GetQZJkn_ZETR_MsrMode, PutQZJkn_ZETR_MsrMode, "OBS", "MMD", true},
    {"ZetrAfAlignment", GetQZJkn_ZETR_AF_Alignment, PutQZJkn_ZETR_AF_Alignment, "AFS", "AGN",
     false},
    {"ZetrAfAutoLock", GetQZJkn_ZETR_AF_AutoLock, PutQZJkn_ZETR_AF_AutoLock, "AFS", "ALK", false},
    {"ZetrAfSideButton", GetQZJkn_ZETR_AF_SideButton, PutQZJkn_ZETR_AF_SideButton, "AFS", "SBF",
     false},
    {"Pl30UseDstHosei", GetQZJkn_PL30_Dst_UseDstHosei, PutQZJkn_PL30_Dst_UseDstHosei, "DST", "USE",
     false},
    {"Pl30LockLiveViewOff", GetQZJkn_PL30_Aut_LockLiveViewOff, PutQZJkn_PL30_Aut_LockLiveViewOff,
     "AUT", "LVF", true},
    {"Pl30UseAutoSearch", GetQZJkn_PL30_Sch_UseAutoSearch, PutQZJkn_PL30_Sch_UseAutoSearch, "SCH",
     "USE", false},
};

class FlagTest : public trasso::test::RootsTest, public ::testing::WithParamInterface<FlagRow> {};

TEST_P(FlagTest, WritesOneOrZeroAndReadsAnyNonZeroAsTrue) {
  const FlagRow& row = GetParam();
  const std::string path = inf("profile.ini");
  const std::string head = "[" + std::string(row.section) + "]\r\n" + row.key + "=";
  EXPECT_EQ(row.get(path.c_str()), row.def);
  EXPECT_EQ(row.get(nullptr), row.def);
  row.put(path.c_str(), !row.def);
  EXPECT_EQ(readBytes(path), head + (row.def ? "0" : "1") + "\r\n");
  EXPECT_EQ(row.get(path.c_str()), !row.def);
  row.put(path.c_str(), row.def);
  EXPECT_EQ(readBytes(path), head + (row.def ? "1" : "0") + "\r\n");
  writeBytes(path, head + "7\r\n");
  EXPECT_TRUE(row.get(path.c_str()));
}

INSTANTIATE_TEST_SUITE_P(Flags, FlagTest, ::testing::ValuesIn(kFlags),
                         [](const auto& info) { return std::string(info.param.name); });

using ProfileTest = trasso::test::RootsTest;

TEST_F(ProfileTest, DefaultsOnAMissingFileOrNullPath) {
  const std::string missing = inf("jkn-zetr.ini");
  for (const char* path : {missing.c_str(), static_cast<const char*>(nullptr)}) {
    double t = -1, p = -1, h = -1, v = -1;
    int lo = -1, hi = -1;
    GetQZJkn_ZETR_Dst_CentigradePress(path, t, p);
    EXPECT_EQ(t, 20.0);
    EXPECT_EQ(p, 1013.25);
    EXPECT_EQ(GetQZJkn_ZETR_Ang_DispMode(path), 1);
    EXPECT_EQ(GetQZJkn_ZETR_Tgt1_PsmType(path), 1);
    EXPECT_EQ(GetQZJkn_ZETR_Tgt1_PsmValue(path), 0);
    EXPECT_EQ(GetQZJkn_ZETR_Tgt1_HowAutolock(path), 1);
    EXPECT_EQ(GetQZJkn_ZETR_Tgt1_ID(path), 0);
    EXPECT_EQ(GetQZJkn_ZETR_Tgt2_PsmValue(path), 0);
    EXPECT_EQ(GetQZJkn_ZETR_Npr_Value(path), 3);
    GetQZJkn_ZETR_Npr_RangeValue(path, lo, hi);
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 999);
    EXPECT_EQ(GetQZJkn_ZETR_Aut_Time(path), 2);
    GetQZJkn_ZETR_Sch_HVRangeRad(path, h, v);
    EXPECT_DOUBLE_EQ(h, 30 * kPi / 180);
    EXPECT_DOUBLE_EQ(v, 10 * kPi / 180);
    EXPECT_EQ(GetQZJkn_ZETR_Rti_Percent(path), 0);

    t = p = -1;
    GetQZJkn_PL30_Dst_CentigradePress(path, t, p);
    EXPECT_EQ(t, 20.0);
    EXPECT_EQ(p, 1013.25);
    EXPECT_EQ(GetQZJkn_PL30_Ang_DispMode(path), 1);
    EXPECT_EQ(GetQZJkn_PL30_Tgt_PsmType(path), 1);
    EXPECT_EQ(GetQZJkn_PL30_Tgt_PsmValue(path), 0);
    EXPECT_EQ(GetQZJkn_PL30_Tgt_PsmValue2(path), 0);
    EXPECT_EQ(GetQZJkn_PL30_Npr_Value(path), 1);
    EXPECT_EQ(GetQZJkn_PL30_Aut_Time(path), 2);
    EXPECT_DOUBLE_EQ(GetQZJkn_PL30_Sch_HRangeRad(path), 2 * kPi / 180);
    EXPECT_DOUBLE_EQ(GetQZJkn_PL30_Sch_VRangeRad(path), 2 * kPi / 180);
  }
  EXPECT_FALSE(exists(missing));
  // A null path names no file, so nothing can be written through it.
  EXPECT_FALSE(PutQZJkn_ZETR_Ang_DispMode(nullptr, 2));
  EXPECT_FALSE(PutQZJkn_ZETR_Tgt1_AutoOff(nullptr, true));
}

TEST_F(ProfileTest, GettersReadTheirOwnKeysWithoutRangeCheck) {
  const std::string path = inf("jkn-zetr.ini");
  writeBytes(path,
             "[ANG]\nMOD=7\n[TGT]\nTYP=-3\nPV1=5000\nHOW=4\nTID=11\nPV2=-2000\n"
             "[NPR]\nVAL=123\nRMN=0\nRMX=10001\n[AUT]\nTIM=9\n[HRD]\nRTI=250\n"
             "[DST]\nCEN=-99.5\nHPA=1300.25\n[SCH]\nHOR=7.5\nVER=0.75\n");
  const char* p = path.c_str();
  EXPECT_EQ(GetQZJkn_ZETR_Ang_DispMode(p), 7);
  EXPECT_EQ(GetQZJkn_ZETR_Tgt1_PsmType(p), -3);
  EXPECT_EQ(GetQZJkn_ZETR_Tgt1_PsmValue(p), 5000);
  EXPECT_EQ(GetQZJkn_ZETR_Tgt1_HowAutolock(p), 4);
  EXPECT_EQ(GetQZJkn_ZETR_Tgt1_ID(p), 11);
  EXPECT_EQ(GetQZJkn_ZETR_Tgt2_PsmValue(p), -2000);
  EXPECT_EQ(GetQZJkn_ZETR_Npr_Value(p), 123);
  int lo = -1, hi = -1;
  GetQZJkn_ZETR_Npr_RangeValue(p, lo, hi);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 10001);
  EXPECT_EQ(GetQZJkn_ZETR_Aut_Time(p), 9);
  EXPECT_EQ(GetQZJkn_ZETR_Rti_Percent(p), 250);
  double t = -1, pr = -1, h = -1, v = -1;
  GetQZJkn_ZETR_Dst_CentigradePress(p, t, pr);
  EXPECT_EQ(t, -99.5);
  EXPECT_EQ(pr, 1300.25);
  GetQZJkn_ZETR_Sch_HVRangeRad(p, h, v);
  EXPECT_EQ(h, 7.5);
  EXPECT_EQ(v, 0.75);

  EXPECT_EQ(GetQZJkn_PL30_Ang_DispMode(p), 7);
  EXPECT_EQ(GetQZJkn_PL30_Tgt_PsmType(p), -3);
  EXPECT_EQ(GetQZJkn_PL30_Tgt_PsmValue(p), 5000);
  EXPECT_EQ(GetQZJkn_PL30_Tgt_PsmValue2(p), -2000);
  EXPECT_EQ(GetQZJkn_PL30_Npr_Value(p), 123);
  EXPECT_EQ(GetQZJkn_PL30_Aut_Time(p), 9);
  t = pr = -1;
  GetQZJkn_PL30_Dst_CentigradePress(p, t, pr);
  EXPECT_EQ(t, -99.5);
  EXPECT_EQ(pr, 1300.25);
  EXPECT_EQ(GetQZJkn_PL30_Sch_HRangeRad(p), 7.5);
  EXPECT_EQ(GetQZJkn_PL30_Sch_VRangeRad(p), 0.75);
}

TEST_F(ProfileTest, EmptyOrTextDoublesAndTheNprDefaults) {
  const std::string path = inf("jkn-zetr.ini");
  writeBytes(path, "[DST]\nCEN=\nHPA=abc\n");
  // An empty double reads as its default, letters as 0.0.
  double t = -1, p = -1;
  GetQZJkn_ZETR_Dst_CentigradePress(path.c_str(), t, p);
  EXPECT_EQ(t, 20.0);
  EXPECT_EQ(p, 0.0);
  // The same "NPR"/"VAL" gap gives each family its own default.
  EXPECT_EQ(GetQZJkn_ZETR_Npr_Value(path.c_str()), 3);
  EXPECT_EQ(GetQZJkn_PL30_Npr_Value(path.c_str()), 1);
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

TEST_F(ProfileTest, DoublesAreReadThroughA260ByteBuffer) {
  const std::string path = inf("jkn-zetr.ini");
  // The 5 lies beyond the 259th byte, so only zeros are seen.
  writeBytes(path, "[SCH]\r\nHOR=0." + std::string(300, '0') + "5\r\nVER=0.25abc\r\n");
  double h = -1, v = -1;
  GetQZJkn_ZETR_Sch_HVRangeRad(path.c_str(), h, v);
  EXPECT_EQ(h, 0.0);
  EXPECT_EQ(v, 0.25);
}

TEST_F(ProfileTest, RangeEndsAreCheckedOneByOne) {
  const std::string path = inf("jkn-zetr.ini");
  EXPECT_TRUE(PutQZJkn_ZETR_Npr_RangeValue(path.c_str(), 500, 20));
  EXPECT_EQ(readBytes(path), "[NPR]\r\nRMN=500\r\nRMX=20\r\n");
  EXPECT_FALSE(PutQZJkn_ZETR_Npr_RangeValue(path.c_str(), 0, 20));
  EXPECT_FALSE(PutQZJkn_ZETR_Dst_CentigradePress(path.c_str(), 70.5, 900.0));
  EXPECT_FALSE(PutQZJkn_ZETR_Sch_HVRangeRad(path.c_str(), 1.0, kNaN));
  EXPECT_EQ(readBytes(path), "[NPR]\r\nRMN=500\r\nRMX=20\r\n");
}

TEST_F(ProfileTest, SearchRangeBoundsDifferBetweenFamilies) {
  const std::string path = inf("profile.ini");
  EXPECT_FALSE(PutQZJkn_PL30_Sch_HRangeRad(path.c_str(), 3.2));
  EXPECT_FALSE(PutQZJkn_PL30_Tgt_PsmType(path.c_str(), 4));
  EXPECT_FALSE(exists(path));
  EXPECT_TRUE(PutQZJkn_ZETR_Sch_HVRangeRad(path.c_str(), 3.2, 0.75));
  EXPECT_TRUE(PutQZJkn_ZETR_Tgt1_PsmType(path.c_str(), 4));
  EXPECT_EQ(GetQZJkn_PL30_Sch_HRangeRad(path.c_str()), 3.2);
  EXPECT_EQ(GetQZJkn_PL30_Sch_VRangeRad(path.c_str()), 0.75);
  EXPECT_EQ(GetQZJkn_PL30_Tgt_PsmType(path.c_str()), 4);
}

TEST_F(ProfileTest, WriteReportingFlagsReportFailedWrites) {
  const std::string path = inf("profile.ini");
  EXPECT_TRUE(PutQZJkn_ZETR_Tgt1_AutoOff(path.c_str(), true));
  EXPECT_TRUE(PutQZJkn_ZETR_Blt_OnOff(path.c_str(), true));
  const std::string before = readBytes(path);
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
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

}  // namespace
