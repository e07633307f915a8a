// jkn check, dump, load and the catalogue commands, run as the real program on
// temporary roots.
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace trasso::test {
namespace {

using nlohmann::json;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

class JknTest : public RootsTest {
 protected:
  // Runs jkn with arguments already quoted for the shell.
  Outcome jkn(const std::string& args) {
    const std::string out = root(0) + "/../out";
    const std::string err = root(0) + "/../err";
    const int rc =
        std::system((std::string(JKN_BINARY) + " " + args + " >" + out + " 2>" + err).c_str());
    return Outcome{WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, readBytes(out), readBytes(err)};
  }
  // Every file of both "inf" folders with its bytes.
  std::string snapshot() {
    std::string all;
    for (int r = 0; r < 2; ++r) {
      const std::string names = listFolder(root(r) + "/inf");
      for (size_t at = 0; at < names.size();) {
        size_t end = names.find('\n', at);
        if (end == std::string::npos) end = names.size();
        const std::string name = names.substr(at, end - at);
        at = end + 1;
        if (name.empty()) continue;
        struct stat st {};
        ::stat(inf(name, r).c_str(), &st);
        all += name + "\n" + (S_ISREG(st.st_mode) ? readBytes(inf(name, r)) : "(not a file)");
      }
    }
    return all;
  }
};

struct CheckCase {
  const char* label;
  const char* file;
  std::string bytes;
  std::vector<std::string> found;  // "kind line read" of each finding, in order
};

class CheckTest : public JknTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CheckTest, FindsWhatTheApplicationReadsOtherwise) {
  const CheckCase& c = GetParam();
  const std::string name = c.file;
  if (c.bytes == "(folder)") {
    ASSERT_EQ(::mkdir(inf(name).c_str(), 0755), 0);
  } else {
    writeBytes(inf(name), c.bytes);
  }
  const std::string before = snapshot();
  const Outcome r = jkn("check --json");
  EXPECT_EQ(r.status, c.found.empty() ? 0 : 1) << r.err;
  std::vector<std::string> found;
  for (const json& f : json::parse(r.out)) {
    EXPECT_EQ(f["file"], inf(name));
    found.push_back(f["kind"].get<std::string>() + " " +
                    (f["line"].is_null() ? "-" : std::to_string(f["line"].get<int>())) + " " +
                    f["read"].get<std::string>());
  }
  EXPECT_EQ(found, c.found) << r.out;
  EXPECT_EQ(snapshot(), before);
}

const std::string k40(40, 'A');

INSTANTIATE_TEST_SUITE_P(
    Kinds, CheckTest,
    ::testing::Values(
        CheckCase{
            "clean",
            "jkn-gnss.ini",
            "[GNSS]\r\n; set by the office\r\nMaskElev=12 ; 2026-03\r\n; set by the office\r\n"
            "PortNo=0x10\r\nPortNo_Svy=0o17\r\nPage=-0b101\r\n",
            {}},
        CheckCase{"section_again",
                  "jkn-gnss.ini",
                  "[GNSS]\r\nPage=1\r\n[gnss]\r\nPage=2\r\n",
                  {"duplicate-section 3 nothing of this section"}},
        // 0x83 0x41 and 0x83 0x61 differ in a letter-like second byte: two sections.
        CheckCase{
            "double_byte_names_differ", "other.ini", "[\x83\x41]\r\nx=1\r\n[\x83\x61]\r\n", {}},
        CheckCase{"key_again",
                  "jkn-gnss.ini",
                  "[GNSS]\r\nPage=1\r\npage=2\r\n",
                  {"duplicate-key 3 nothing of this line"}},
        CheckCase{"no_equals_hides_later_key",
                  "jkn-gnss.ini",
                  "[GNSS]\r\nMaskElev\r\nMaskElev=12\r\n",
                  {"no-equals 2 15", "duplicate-key 3 nothing of this line"}},
        CheckCase{"trailing_letters",
                  "jkn-gnss.ini",
                  "[GNSS]\r\nMaskElev_Svy=12abc\r\n",
                  {"integer 2 12"}},
        CheckCase{"letters_only", "jkn-gnss.ini", "[GNSS]\r\nMaskElev=abc\r\n", {"integer 2 0"}},
        CheckCase{
            "upper_case_prefix", "jkn-gnss.ini", "[GNSS]\r\nPortNo=0X10\r\n", {"integer 2 0"}},
        CheckCase{
            "beyond_32_bits", "jkn-gnss.ini", "[GNSS]\r\nPage=4294967297\r\n", {"integer 2 1"}},
        CheckCase{
            "beyond_16_bits", "jkn-gnss.ini", "[GNSS]\r\nMaskSate=70000\r\n", {"integer 2 4464"}},
        CheckCase{"colour", "def-share.ini", "[Logg]\r\nLCOL=300,12\r\n", {"colour 2 44,12,255"}},
        CheckCase{"colour_as_written", "def-share.ini", "[Logg]\r\nLCOL=  5, 20,255\r\n", {}},
        CheckCase{"cut_text",
                  "def-ts.ini",
                  "[TS]\r\nBtDevAddr=" + k40 + "\r\n",
                  {"cut 2 \"" + k40.substr(0, 31) + "\""}},
        CheckCase{"outside_setter_range", "jkn-zetr.ini", "[NPR]\r\nVAL=150\r\n", {"range 2 150"}},
        CheckCase{
            "misspelt_key", "jkn-gnss.ini", "[GNSS]\r\nMaskElv=5\r\n", {"unknown-key 2 nothing"}},
        CheckCase{"not_code_page_932",
                  "jkn-gnss.ini",
                  "[GNSS]\r\nUserID=a\x80z\r\n",
                  {"code-page 2 UserID=a\\x80z"}},
        CheckCase{"utf8",
                  "jkn-gnss.ini",
                  "[GNSS]\r\nUserID=\xE6\x97\xA5\xC3\xA9\r\n",
                  {"code-page 2 UserID=\xE8\xAD\x8C\xEF\xBD\xA5\xEF\xBE\x83\xEF\xBD\xA9"}},
        CheckCase{"before_first_section",
                  "jkn-gnss.ini",
                  "Page=1\r\n[GNSS]\r\n",
                  {"outside-section 1 nothing"}},
        CheckCase{"read_from_the_other_root",
                  "NTrip.ini",
                  "[NTrip]\r\nCoCnt=1\r\n",
                  {"other-root - nothing"}},
        CheckCase{"temporary_file", ".jkn-gnss.ini.tmp", "[GNSS]\r\n", {"temporary - nothing"}},
        CheckCase{"folder", "jkn-nmea.ini", "(folder)", {"not-regular - nothing"}}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.label); });

TEST_F(JknTest, CheckOnEmptyRootsAndNamedProfiles) {
  Outcome r = jkn("check --json");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "[]\n");
  // A named profile is read by the profile keys its contents match.
  const std::string profile = root(0) + "/site.ini";
  writeBytes(profile, "[NPR]\r\nVAL=0\r\n[TGT]\r\nTYP=1\r\n");
  r = jkn("check --json '" + profile + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(json::parse(r.out).at(0)["setting"], "ZETR_Npr_Value");
  EXPECT_EQ(json::parse(jkn("dump --json '" + profile + "'").out)["settings"][0],
            json({{"name", "ZETR_Npr_Value"}, {"profile", profile}, {"value", 0}}));
  EXPECT_EQ(jkn("check '" + root(0) + "/missing.ini'").status, 2);
}

// Keys that records and caller-default functions write are no misspellings.
TEST_F(JknTest, CheckKnowsTheKeysOfRecords) {
  RTK_CONNECT_PROP radio;
  PutQZJkn_GNSS_RTKConnectProp(1, radio);
  PutQZJkn_GNSS_StaCurrentAntenna(3, 1.5, "A-17");
  PutQZJkn_GNSS_StaCurrentReceiver(2, "R-9");
  PutQZJkn_GNSS_CurrentAntennaID(12);
  PutQZJkn_GNSS_CurrentAntennaOffset(0.062);
  PutQZJkn_GNSS_SkyPlotLClm(2, 40);
  PutQZJkn_NMEA_BtInfo("00:1A:7D:DA:71:13", 1);
  PutQZJkn_TS_ZETRBtRadio(true, 2, 3);
  PutQZJkn_TS_AutoLoad_Ex(1, 2, 3, 1.5, 1);
  PutQZJkn_SksColor(1, 0x102030);
  PutQZJkn_SksType(1, 2);
  PutQZJkn_SksWidth(1, 3);
  PutQZJkn_Color(3, 2, 1, 0x10);
  PutQZJkn_TS_Dsp_StartupJkn(false);
  const std::string zetr = GetQZJkn_ZETR_Path();
  EXPECT_TRUE(PutQZJkn_ZETR_Dst_CentigradePress(zetr.c_str(), 20.5, 1013.0));
  EXPECT_TRUE(PutQZJkn_ZETR_Npr_RangeValue(zetr.c_str(), 1, 50));
  EXPECT_TRUE(PutQZJkn_ZETR_Sch_HVRangeRad(zetr.c_str(), 0.1, 0.2));
  const Outcome r = jkn("check");
  EXPECT_EQ(r.status, 0) << r.out;
}

TEST_F(JknTest, RootsThatNameOneFolderAreReadOnce) {
  ::setenv("KORVEL_APPDATA_1", root(0).c_str(), 1);
  writeBytes(inf("NTrip.ini"), "[NTrip]\r\nCoCnt=1\r\n");
  writeBytes(inf("jkn-gnss.ini"), "[GNSS]\r\nPage=2\r\n");
  EXPECT_EQ(jkn("check").out, "no findings in 2 settings files\n");
  const json doc = json::parse(jkn("dump --json").out);
  EXPECT_EQ(doc["settings"],
            json::parse(R"([{"root":1,"file":"NTrip.ini","section":"NTrip","key":"CoCnt",
                             "value":"1"}, {"name":"GNSS_Page","value":2}])"));
}

TEST_F(JknTest, DumpLoadDumpBetweenRoots) {
  ASSERT_EQ(jkn("set GNSS_MaskElev svy 12").status, 0);
  ASSERT_EQ(jkn("set GNSS_UserID '測量 太郎'").status, 0);
  ASSERT_EQ(jkn("set ZETR_Npr_Value 42").status, 0);
  ASSERT_EQ(jkn("set TS_UseScaleValue 0.9996").status, 0);
  // A colour as its setter writes it, a key no setting reads, a text that is no
  // code page 932 and a read-only setting's file.
  writeBytes(inf("def-share.ini"), "[SKSG]\r\nNCOL=  5, 20,255\r\n");
  writeBytes(inf("jkn-ts.ini"), readBytes(inf("jkn-ts.ini")) + "AutoLoadKno=7\r\n");
  writeBytes(inf("disp-navi.ini", 1), "[1]\r\nMessBak=\x80\xFF\r\n");
  const std::string files = snapshot();
  const Outcome first = jkn("dump --json");
  ASSERT_EQ(first.status, 0) << first.err;
  const json doc = json::parse(first.out);
  EXPECT_EQ(doc["settings"].size(), 7u);
  EXPECT_EQ(doc["settings"][2], json::parse(R"({"name":"GNSS_UserID","value":"測量 太郎"})"));
  writeBytes(root(0) + "/../dump.json", first.out);

  // Into empty roots: the same files and the same document.
  for (int r = 0; r < 2; ++r) {
    ASSERT_EQ(std::system(("rm -rf '" + root(r) + "/inf' && mkdir '" + root(r) + "/inf'").c_str()),
              0);
  }
  Outcome load = jkn("load '" + root(0) + "/../dump.json'");
  ASSERT_EQ(load.status, 0) << load.err;
  EXPECT_NE(load.out.find("GNSS_MaskElev svy: (not stored) -> '12'\n"), std::string::npos);
  EXPECT_EQ(snapshot(), files);
  EXPECT_EQ(jkn("dump --json").out, first.out);
  load = jkn("load '" + root(0) + "/../dump.json'");
  EXPECT_EQ(load.out, "0 changed, 7 unchanged\n");
}

TEST_F(JknTest, LoadWritesNothingWhenOneEntryIsRefused) {
  const json good = json::parse(R"({"name":"GNSS_MaskElev","selector":"svy","value":12})");
  const json raw = json::parse(R"({"root":1,"file":"x.ini","section":"A","key":"b","value":"c"})");
  for (const char* bad :
       {R"({"name":"GNSS_MaskEle","value":12})", R"({"name":"GNSS_MaskElev","value":"12"})",
        R"({"name":"GNSS_MaskSate","value":70000})",
        R"({"name":"ZETR_Npr_Value","root":0,"file":"jkn-zetr.ini","value":150})",
        R"({"name":"GNSS_UserID","value":"\ud83d\ude00"})", R"({"name":"RecMax","value":1})",
        R"({"root":0,"file":"../x.ini","section":"A","key":"b","value":"c"})",
        R"({"root":0,"file":"x.ini","section":"A","key":"b","value":"c\r\nd=e"})"}) {
    const json doc{{"jkn-dump", 1}, {"settings", {good, json::parse(bad), raw}}};
    writeBytes(root(0) + "/../doc.json", doc.dump());
    const Outcome r = jkn("load '" + root(0) + "/../doc.json'");
    EXPECT_EQ(r.status, 1) << bad;
    EXPECT_EQ(r.err.rfind("jkn: entry 2: ", 0), 0u) << r.err;
    EXPECT_EQ(snapshot(), "") << bad;
  }
}

TEST_F(JknTest, CataloguesOfTheSampleData) {
  for (const char* name : {"Antenna.ini", "AntennaSensor.ini", "NTrip.ini"}) {
    writeBytes(inf(name, 1), readBytes(std::string(SAMPLE_DATA) + "/" + name));
  }
  EXPECT_EQ(jkn("antenna init").status, 0);
  const json list = json::parse(jkn("antenna list --json").out);
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list[1]["name"], "KV-A20（G2 内蔵）");
  EXPECT_DOUBLE_EQ(list[0]["offset"].get<double>(), 0.062);
  EXPECT_EQ(list[4]["id"], -1);
  EXPECT_EQ(jkn("sensor 2").out,
            "sensor 2: picture rx-g2.bmp, antenna 20 KV-A20（G2 内蔵） (offset 0.0585)\n");
  EXPECT_EQ(jkn("sensor 9").status, 1);
  const json ntrip = json::parse(jkn("ntrip list --json").out);
  ASSERT_EQ(ntrip.size(), 3u);
  EXPECT_EQ(ntrip[0]["rrs"][0]["id"], 1201);
  EXPECT_EQ(ntrip[2]["usable"], false);
  EXPECT_EQ(jkn("geoid-version '" + std::string(SAMPLE_DATA) + "/sample-geoid.isg'").out,
            "ver1.2 (ISG)\n");
  EXPECT_EQ(jkn("station-name -- -5.5").out, "No.-1+14.500\n");
  EXPECT_EQ(json::parse(jkn("zones --json '" + root(0) + "'").out)["zones"][18]["name"],
            "第19系：東京(南鳥島)");
}

}  // namespace
}  // namespace trasso::test
