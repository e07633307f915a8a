// ZETR and PL30 instrument profiles and the setting-out file: what the pair
// setters report, caller-named paths and the clearing of "OBS". Settings and
// record fields themselves are walked by the registry.
#include <filesystem>

#include "TestRoots.h"
#include "profiles/ProfileSetting.h"

namespace trasso::test {
namespace {

using ProfileTest = RootsTest;

// Ranges, defaults and written texts of the pair setters are walked by the
// registry; what their exported functions report is their own: a value outside
// the range is false for all, and a write that fails false for the ZETR pairs
// but true for the PL30 one, as the application's own library did.
TEST_F(ProfileTest, PairSettersReportWhatTheApplicationsLibraryDid) {
  double temperature = -1, pressure = -1;
  GetQZJkn_PL30_Dst_CentigradePress(nullptr, temperature, pressure);
  EXPECT_EQ(std::make_pair(temperature, pressure), std::make_pair(20.0, 1013.25));
  const std::string path = inf("profile.ini");
  writeBytes(path, "[DST]\r\nCEN=-99.5\r\n");
  makeReadOnly(path);
  for (const char* p : {path.c_str(), static_cast<const char*>(nullptr)}) {
    EXPECT_TRUE(PutQZJkn_PL30_Dst_CentigradePress(p, 1.0, 600.0));
    EXPECT_FALSE(PutQZJkn_ZETR_Dst_CentigradePress(p, 1.0, 600.0));
    EXPECT_FALSE(PutQZJkn_ZETR_Npr_RangeValue(p, 1, 2));
    EXPECT_FALSE(PutQZJkn_PL30_Dst_CentigradePress(p, 70.5, 600.0));
  }
  EXPECT_EQ(readBytes(path), "[DST]\r\nCEN=-99.5\r\n");
  // The second key of a pair is written even when the first write fails (here:
  // a section name that cannot be stored).
  constexpr IntSetting kUnstorable{{SettingsFile::JknZetr, "A\nB", "K"}, 0};
  constexpr IntSetting kStorable{{SettingsFile::JknZetr, "S", "K"}, 0};
  const std::string pair = inf("pair.ini");
  EXPECT_EQ(trasso::profile::putPair(pair, kUnstorable, 1, kStorable, 2), WriteStatus::Refused);
  EXPECT_EQ(readBytes(pair), "[S]\r\nK=2\r\n");
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

}  // namespace
}  // namespace trasso::test
