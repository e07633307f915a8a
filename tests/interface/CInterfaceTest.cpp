// The C interface as a C caller meets it: texts into caller buffers, statuses
// of writes, settings by name. (The rest of the suite calls the library through
// TrassoJkn.h, which is inline over these same functions.)
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <tuple>

#include "Registry.h"
#include "SettingText.h"
#include "TestRoots.h"
#include "TrassoJknC.h"

namespace trasso::test {
namespace {

class CInterface : public RootsTest {};

// A JknText holds the caller's text on entry: a function that leaves its text
// as it is gives that text back. (How one that sets it cuts it, the C
// consumer checks with the Bluetooth partner's address.)
TEST_F(CInterface, TextArgumentsKeepTheCallersTextUnlessTheFunctionSetsIt) {
  char buffer[8] = "keep";
  JknText name{buffer, sizeof buffer, 99};
  uint16_t number = 7;
  EXPECT_EQ(jkn_GetHmnZaKeiInfo(19, &number, &name), 0);
  EXPECT_EQ(number, 7);
  EXPECT_STREQ(buffer, "keep");
  EXPECT_EQ(name.length, 4u);
}

// A company crosses as a C struct: its ports appended to those the caller had,
// counted past the capacity. (The C consumer crosses the RTK record both ways.)
TEST_F(CInterface, RecordsCrossAsCStructs) {
  writeBytes(inf("NTrip.ini", 1),
             "[NTrip]\r\nCo01Nam=one\r\nCo01Idx=2\r\nCo01Adr=a.example\r\nCo01Sct=3\r\n"
             "Co01PrtCnt=3\r\nCo01Prt000=10\r\nCo01Prt001=11\r\nCo01Prt002=12\r\n");
  uint16_t ports[3] = {9, 0, 0};
  JknCompanyRec company{{nullptr, 0, 0}, {nullptr, 0, 0}, 0, 0, ports, 3, 1};
  EXPECT_EQ(jkn_GetNTrip_Co_Info(0, &company), 1);
  EXPECT_EQ(company.PortsCount, 4u);
  EXPECT_EQ(std::make_tuple(ports[0], ports[1], ports[2]), std::make_tuple(9, 10, 11));
  EXPECT_EQ(
      std::make_tuple(company.Name.length, company.Address.length, company.Index, company.Sct),
      std::make_tuple(3u, 9u, 2, 3u));
  EXPECT_EQ(jkn_GetNTrip_Co_Info(0, nullptr), 0);
}

// The PL30 pair answers true for a value in range even when the write fails,
// unlike the other profile setters (the C consumer's "validating setter").
TEST_F(CInterface, ThePl30PairAnswersTrueEvenWhenTheWriteFails) {
  const std::string profile = inf("zetr.ini");
  writeBytes(profile, "[ANG]\r\nMOD=3\r\n");
  makeReadOnly(profile);
  JknStatus status = JKN_IO_ERROR;
  EXPECT_TRUE(jkn_PutQZJkn_PL30_Dst_CentigradePress(profile.c_str(), 20.0, 1013.0, &status));
  EXPECT_EQ(status, JKN_READ_ONLY);
}

std::string valueOf(const char* name, const char* selector) {
  char buffer[300];
  size_t length = 0;
  const JknStatus status = jkn_get(name, selector, buffer, sizeof buffer, &length);
  if (status != JKN_OK) return std::string("status ") + std::to_string(status);
  EXPECT_EQ(length, std::strlen(buffer));
  return buffer;
}

// By name, every kind of value and selector: the default, the stored form of a
// set, the raw bytes of a text, and the default again after a reset.
TEST_F(CInterface, SettingsByNameReadWriteAndResetTheirKeys) {
  // name, selector, default, value set, file, its bytes
  const std::array<const char*, 6> rows[] = {
      {"gnss_maskelev", nullptr, "15", "-3", "jkn-gnss.ini", "[GNSS]\r\nMaskElev=-3\r\n"},
      {"Soku_Scale", nullptr, "1", "2.5", "jkn-soku.ini", "[HOSEI]\r\nSCL=2.500000\r\n"},
      {"ZETR_Ang_DispMode", nullptr, "1", "3", "jkn-zetr.ini", "[ANG]\r\nMOD=3\r\n"},
      {"Color", "disp-ts.ini,MessFor,2", "255,255,255", "255,0,0", "disp-ts.ini",
       "[2]\r\nMessFor=255,  0,  0\r\n"},
      // The caller's default named after ':'; without one, no value reads as "".
      {"SksWidth", "3:80", "80", "5", "def-share.ini", "[SKSG]\r\nWDT3=5\r\n"},
      {"SksWidth", "4", "", "5", "def-share.ini", "[SKSG]\r\nWDT4=5\r\n"},
  };
  for (const auto& [name, selector, def, value, file, bytes] : rows) {
    SCOPED_TRACE(name);
    EXPECT_EQ(valueOf(name, selector), def);
    EXPECT_EQ(jkn_set(name, selector, value), JKN_OK);
    EXPECT_EQ(valueOf(name, selector), value);
    EXPECT_EQ(readBytes(inf(file)), bytes);
    EXPECT_EQ(jkn_reset(name, selector), JKN_OK);
    EXPECT_EQ(valueOf(name, selector), def);
    EXPECT_EQ(readBytes(inf(file)), std::string(bytes, std::strcspn(bytes, "\n") + 1));
  }
  EXPECT_EQ(listFolder(inf("")),
            "def-share.ini\ndisp-ts.ini\njkn-gnss.ini\njkn-soku.ini\n"
            "jkn-zetr.ini\n");
}

// Refusals by name beyond the C consumer's "refused calls by name", which has
// an unknown name, numbers past 32 bits or with a blank, a flag of 2, a value
// outside a setter's range, line breaks and LogColor (read in its "registry").
TEST_F(CInterface, SettingsByNameSayWhatIsWrong) {
  const std::tuple<const char*, const char*, const char*, JknStatus> rows[] = {
      {"GNSS_MaskElev", "other", "1", JKN_BAD_SELECTOR},
      {"GNSS_Page", "svy", "1", JKN_BAD_SELECTOR},
      {"GNSS_MaskElev", "S", "1", JKN_BAD_SELECTOR},
      {"Use", "25", "1", JKN_BAD_SELECTOR},
      {"Use", nullptr, "1", JKN_BAD_SELECTOR},
      {"GNSS_MaskElev", nullptr, "abc", JKN_BAD_VALUE},
      {"ZETR_Ang_DispMode", nullptr, "x", JKN_BAD_VALUE},
      {"GNSS_Page", nullptr, "1\n", JKN_REFUSED},
      {"ZoomModeScale", "1", "1", JKN_NOT_SETTABLE},
      {"SksWidth", nullptr, "1", JKN_BAD_SELECTOR},
      {"Color", "4,5", "1,2,3", JKN_BAD_SELECTOR},
      {"ZETR_Dst_CentigradePress", "pressure", "1300", JKN_OUT_OF_RANGE},
  };
  for (const auto& [name, selector, value, status] : rows) {
    SCOPED_TRACE(name);
    EXPECT_EQ(jkn_set(name, selector, value), status);
    // A setting or selector refused is refused by the getter and reset too.
    if (status == JKN_REFUSED || status == JKN_OUT_OF_RANGE || status == JKN_BAD_VALUE) continue;
    char buffer[8];
    const JknStatus read = status == JKN_NOT_SETTABLE ? JKN_OK : status;
    EXPECT_EQ(jkn_get(name, selector, buffer, sizeof buffer, nullptr), read);
    EXPECT_EQ(jkn_reset(name, selector), status);
  }
  EXPECT_EQ(listFolder(inf("")), "");
  setEnv("KORVEL_APPDATA_0", root(0) + "/missing");
  EXPECT_EQ(jkn_reset("GNSS_Page", nullptr), JKN_FOLDER_MISSING);  // set: the C consumer's
}

// What a setting takes, in the words jkn shows beside a refused value. The
// other kinds jkn's tests show in its messages (texts, colours, ranges, flags),
// as do the messages here (MaskSate, ZETR_Ang_DispMode) and describe (MaskElev).
TEST(SettingTexts, SayWhatASettingTakes) {
  const SettingEntry* e = findSetting("Soku_Scale");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(acceptedValues(*e, e->decl), "a number");
}

// The names are the registry's, in its order. (The C consumer checks each
// status text.)
TEST_F(CInterface, NamesAreTheRegistrysInItsOrder) {
  const auto& all = settingsRegistry();
  ASSERT_EQ(jkn_setting_count(), all.size());
  for (size_t i = 0; i < all.size(); ++i) EXPECT_STREQ(jkn_setting_name(i), all[i].name);
  EXPECT_EQ(jkn_setting_name(all.size()), nullptr);
}

}  // namespace
}  // namespace trasso::test
