// ZETR and PL30 instrument profiles and the setting-out file: the pair setters
// (range checks, failed writes, defaults, exact written texts), caller-named
// paths and the clearing of "OBS". Single settings are walked by the registry.
#include <cmath>
#include <filesystem>

#include "TestRoots.h"
#include "profiles/ProfileSetting.h"

namespace trasso::test {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Values outside every pair setter's range, stored by other means.
constexpr const char* kOutOfRange =
    "[NPR]\nRMN=0\nRMX=10001\n[DST]\nCEN=-99.5\nHPA=1300.25\n[SCH]\nHOR=7.5\nVER=0.75\n";

// A setter of two values and the getter of both, through doubles so that int
// and double pairs share the table.
struct PairRow {
  const char* name;
  bool (*put)(const char* path, double first, double second);
  std::pair<double, double> (*get)(const char* path);
  double def1, def2;        // on a missing file or a null path
  double stored1, stored2;  // read from kOutOfRange
  double min1, max1, min2, max2;
  bool integral;                   // one step beyond is +-1 instead of the next double
  const char* minMax;              // the file after put(min1, max2) on a new file
  const char* maxMin;              // ... after put(max1, min2) next
  bool trueOnFailedWrite = false;  // the setter does not report failed writes
};

// Test names and messages show the setter's name, not the row's bytes.
void PrintTo(const PairRow& row, std::ostream* out) { *out << row.name; }

template <class T, bool (*F)(const char*, T, T)>
bool putPair(const char* p, double a, double b) {
  return F(p, static_cast<T>(a), static_cast<T>(b));
}
template <class T, void (*G)(const char*, T&, T&)>
std::pair<double, double> getPair(const char* p) {
  T a{-1}, b{-1};
  G(p, a, b);
  return {a, b};
}

const PairRow kPairs[] = {
    // A minimum above the maximum is accepted: each end is checked by itself.
    {"ZetrNprRange", putPair<int, PutQZJkn_ZETR_Npr_RangeValue>,
     getPair<int, GetQZJkn_ZETR_Npr_RangeValue>, 1, 999, 0, 10001, 1, 9999, 1, 9999, true,
     "[NPR]\r\nRMN=1\r\nRMX=9999\r\n", "[NPR]\r\nRMN=9999\r\nRMX=1\r\n"},
    {"ZetrCentigradePress", putPair<double, PutQZJkn_ZETR_Dst_CentigradePress>,
     getPair<double, GetQZJkn_ZETR_Dst_CentigradePress>, 20.0, 1013.25, -99.5, 1300.25, -70.0, 70.0,
     500.0, 1200.0, false, "[DST]\r\nCEN=-70.000000\r\nHPA=1200.000000\r\n",
     "[DST]\r\nCEN=70.000000\r\nHPA=500.000000\r\n"},
    {"ZetrSearchHV", putPair<double, PutQZJkn_ZETR_Sch_HVRangeRad>,
     getPair<double, GetQZJkn_ZETR_Sch_HVRangeRad>, 30 * kPi / 180, 10 * kPi / 180, 7.5, 0.75, 0.0,
     2 * kPi, 0.0, 2 * kPi, false, "[SCH]\r\nHOR=0.000000\r\nVER=6.283185\r\n",
     "[SCH]\r\nHOR=6.283185\r\nVER=0.000000\r\n"},
    {"Pl30CentigradePress", putPair<double, PutQZJkn_PL30_Dst_CentigradePress>,
     getPair<double, GetQZJkn_PL30_Dst_CentigradePress>, 20.0, 1013.25, -99.5, 1300.25, -70.0, 70.0,
     500.0, 1200.0, false, "[DST]\r\nCEN=-70.000000\r\nHPA=1200.000000\r\n",
     "[DST]\r\nCEN=70.000000\r\nHPA=500.000000\r\n", true},
};

class PairTest : public RootsTest, public ::testing::WithParamInterface<PairRow> {};

TEST_P(PairTest, AcceptsBothEndsAndRefusesOneStepBeyondEither) {
  const PairRow& row = GetParam();
  const std::string path = inf("profile.ini");
  auto beyond = [&row](double end, double away) {
    return row.integral ? end + away : std::nextafter(end, away * 1e9);
  };
  // Each value checked by itself, NaN (the lowest int) outside every range.
  const double odd = row.integral ? -2147483648.0 : std::nan("");
  const std::pair<double, double> refused[] = {
      {beyond(row.min1, -1), row.min2}, {beyond(row.max1, 1), row.min2}, {odd, row.min2},
      {row.min1, beyond(row.min2, -1)}, {row.min1, beyond(row.max2, 1)}, {row.min1, odd}};
  for (const auto& [a, b] : refused) EXPECT_FALSE(row.put(path.c_str(), a, b)) << a << " " << b;
  EXPECT_FALSE(exists(path));

  EXPECT_TRUE(row.put(path.c_str(), row.min1, row.max2));
  EXPECT_EQ(readBytes(path), row.minMax);
  EXPECT_TRUE(row.put(path.c_str(), row.max1, row.min2));
  EXPECT_EQ(readBytes(path), row.maxMin);
  for (const auto& [a, b] : refused) EXPECT_FALSE(row.put(path.c_str(), a, b)) << a << " " << b;
  EXPECT_EQ(readBytes(path), row.maxMin);
}

TEST_P(PairTest, GetterDefaultsReadsWithoutRangeCheckAndFailedWrites) {
  const PairRow& row = GetParam();
  const std::string path = inf("profile.ini");
  EXPECT_EQ(row.get(path.c_str()), std::make_pair(row.def1, row.def2));
  EXPECT_EQ(row.get(nullptr), std::make_pair(row.def1, row.def2));
  // A null path and a missing folder name no file.
  EXPECT_EQ(row.put(nullptr, row.min1, row.min2), row.trueOnFailedWrite);
  const std::string folder = root(0) + "/missing";
  EXPECT_EQ(row.put((folder + "\\profile.ini").c_str(), row.max1, row.max2), row.trueOnFailedWrite);
  EXPECT_FALSE(exists(folder) || exists(path));

  writeBytes(path, kOutOfRange);
  EXPECT_EQ(row.get(path.c_str()), std::make_pair(row.stored1, row.stored2));
  makeReadOnly(path);
  EXPECT_EQ(row.put(path.c_str(), row.min1, row.min2), row.trueOnFailedWrite);
  EXPECT_EQ(readBytes(path), kOutOfRange);
}

INSTANTIATE_TEST_SUITE_P(Setters, PairTest, ::testing::ValuesIn(kPairs),
                         [](const auto& info) { return std::string(info.param.name); });

using ProfileTest = RootsTest;

// The second key of a pair is written even when the first write fails (here: a
// section name that cannot be stored).
TEST_F(ProfileTest, PairWritesTheSecondKeyAfterAFailedFirst) {
  constexpr IntSetting kUnstorable{{SettingsFile::JknZetr, "A\nB", "K"}, 0};
  constexpr IntSetting kStorable{{SettingsFile::JknZetr, "S", "K"}, 0};
  const std::string path = inf("profile.ini");
  EXPECT_EQ(trasso::profile::putPair(path, kUnstorable, 1, kStorable, 2), WriteStatus::Refused);
  EXPECT_EQ(readBytes(path), "[S]\r\nK=2\r\n");
}

// A path that names no file fails the write, which these setters report. On
// POSIX a caller's path is used as it stands but for '\\' turned into '/':
// never the second byte of a double-byte character, after an ASCII run or
// before more separators.
TEST_F(ProfileTest, CallerNamedPaths) {
  EXPECT_FALSE(PutQZJkn_ZETR_Tgt1_AutoOff(nullptr, true));
  EXPECT_FALSE(PutQZJkn_ZETR_Blt_OnOff(inf("").c_str(), true));
#ifndef _WIN32
  std::filesystem::create_directories(inf("Survey-points\x95\x5C/sub-folder"));
  const std::string path =
      root(0) + "\\inf\\Survey-points\x95\x5C\\sub-folder\\\x83\x5C-profile.ini";
  EXPECT_TRUE(PutQZJkn_ZETR_Tgt1_PsmValue(path.c_str(), -7));
  EXPECT_EQ(readBytes(inf("Survey-points\x95\x5C/sub-folder/\x83\x5C-profile.ini")),
            "[TGT]\r\nPV1=-7\r\n");
  EXPECT_EQ(GetQZJkn_ZETR_Tgt1_PsmValue(path.c_str()), -7);
#endif
}

TEST_F(ProfileTest, ClearObsRemovesOnlyThatSection) {
  const std::string path = inf("jkn-zetr.ini");
  writeBytes(path,
             "; profile\r\n[DST]\r\nCEN=1.5\r\n\r\n[OBS]\r\nPMD=0\r\nMMD=0\r\n[AFS]\r\nAGN=1\r\n"
             "[obsx]\r\nPMD=0\r\n");
  ClearQZJkn_ZETR_OBS(path.c_str());
  EXPECT_EQ(readBytes(path),
            "; profile\r\n[DST]\r\nCEN=1.5\r\n\r\n[AFS]\r\nAGN=1\r\n[obsx]\r\nPMD=0\r\n");

  const std::string missing = inf("none.ini");
  ClearQZJkn_ZETR_OBS(missing.c_str());
  ClearQZJkn_ZETR_OBS(nullptr);
  EXPECT_FALSE(exists(missing));
}

TEST_F(ProfileTest, GettersWithoutPathReadTheStandardFile) {
  writeBytes(inf("jkn-soku.ini"), "[STARTOP]\r\nOPRNSOKP=0\r\nOPRNSOKM=1\r\n");
  EXPECT_FALSE(GetQZJkn_Soku_OpenSokusetsuProp());
  EXPECT_TRUE(GetQZJkn_Soku_OpenSokusetsuMake());
}

}  // namespace
}  // namespace trasso::test
