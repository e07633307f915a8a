// Every finding of jkn check names its fix, and the fix mends it: each kind's
// findings as printed, then each fix carried out alone and the files checked again.
#include <algorithm>
#include <functional>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "JknFixture.h"

namespace trasso::test {
namespace {

struct FixCase {
  std::string path;   // below the roots' parent; empty: setup makes the files
  std::string bytes;  // text lines get CR LF; bytes with a zero byte are written as they are
  std::string found;  // the findings, what is stored and read only when full
  bool full = false;
  std::string setup = "";   // shell command run after the file is written
  std::string byHand = "";  // what a fix in words that apply() does not read comes to
  std::string args = "";    // profiles to check
};

// UTF-16, little-endian, of ASCII text, with a byte-order mark when bom.
std::string utf16(const std::string& text, bool bom) {
  std::string out = bom ? "\xFF\xFE" : "";
  for (char c : withCrLf(text)) out += std::string{c, '\0'};
  return out;
}

// A finding of check's text output: its first line, then its fix.
const std::regex kFinding(R"((\S+: [^\n]*)\n(?:    [^\n]*\n)*?    fix:     ([^\n]*)\n)");

std::ptrdiff_t count(const std::string& out) {
  return std::distance(std::sregex_iterator(out.begin(), out.end(), kFinding), {});
}

// check's findings without the closing count, and without the lines of what
// is stored and read unless full.
std::string shown(const std::string& out, bool full) {
  std::istringstream in(out.substr(0, out.rfind('\n', out.size() - 2) + 1));
  std::string line, kept;
  while (std::getline(in, line)) {
    const bool value = line.rfind("    stored:", 0) == 0 || line.rfind("    read:", 0) == 0;
    if (full || !value) kept += line + "\n";
  }
  return kept;
}

class JknCheckFix : public JknTest {
 protected:
  void prepare(const FixCase& c) {
    sh("rm -rf root0/* root1/* && mkdir root0/inf root1/inf");
    if (!c.path.empty()) {
      const bool binary = c.bytes.find('\0') != std::string::npos;
      writeBytes(root(0) + "/../" + c.path, binary ? c.bytes : withCrLf(c.bytes));
    }
    if (!c.setup.empty()) sh(c.setup);
  }

  // Lines first to last (from 1) of a file below the roots' parent, kept,
  // changed or dropped by edit.
  void editLines(const std::string& path, size_t first, size_t last,
                 const std::function<bool(std::string&)>& edit) {
    std::istringstream in(readBytes(root(0) + "/../" + path));
    std::string line, out;
    for (size_t n = 1; std::getline(in, line); ++n) {
      if (n < first || n > last || edit(line)) out += line + "\n";
    }
    writeBytes(root(0) + "/../" + path, out);
  }

  // Carries out a fix as printed: commands as they are (jkn on the test
  // roots), line edits in words on the lines they name.
  void apply(const std::string& fix, const std::string& byHand) {
    static const std::regex erase(R"(delete lines? (\d+)(?: to (\d+))? of (\S+)( \(.*\))?)"),
        rename(R"(rename its key to (\S+) \(line (\d+) of (\S+)\))"),
        change(R"(change line (\d+) of (\S+) to '(.*)')"),
        bytes(R"(delete the bytes ((?:\\x..)+) from line (\d+) of (\S+))"),
        move(R"(move lines (\d+) to (\d+) of (\S+) to the end of (\S+))"),
        instead(R"(move what you need of it into \S+, then ((?:rm|del) .*))");
    std::smatch m;
    const auto number = [&](size_t i) { return static_cast<size_t>(std::stoul(m[i])); };
    if (fix.rfind("jkn ", 0) == 0) {
      EXPECT_EQ(sh(kJkn + fix.substr(4)), 0) << fix << ": " << out_;
    } else if (std::regex_match(fix, m, erase)) {
      editLines(m[3], number(1), m[2].matched ? number(2) : number(1), [](auto&) { return false; });
    } else if (std::regex_match(fix, m, rename)) {
      editLines(m[3], number(2), number(2), [&](std::string& l) {
        l = m[1].str() + l.substr(l.find('='));
        return true;
      });
    } else if (std::regex_match(fix, m, change)) {
      editLines(m[2], number(1), number(1), [&](std::string& l) {
        l = m[3].str() + "\r";
        return true;
      });
    } else if (std::regex_match(fix, m, bytes)) {
      editLines(m[3], number(2), number(2), [&](std::string& l) {
        for (size_t i = 0; i < m[1].str().size(); i += 4) {
          const char b = static_cast<char>(std::stoi(m[1].str().substr(i + 2, 2), nullptr, 16));
          l.erase(std::remove(l.begin(), l.end(), b), l.end());
        }
        return true;
      });
    } else if (std::regex_match(fix, m, move)) {
      std::string moved;
      editLines(m[3], number(1), number(2), [&](std::string& l) {
        moved += l + "\n";
        return false;
      });
      writeBytes(root(0) + "/../" + m[4].str(), readBytes(root(0) + "/../" + m[4].str()) + moved);
    } else if (std::regex_match(fix, m, instead)) {
      EXPECT_EQ(jknOnWindows() ? cmd(m[1]) : sh(m[1]), 0) << out_;
    } else if (!byHand.empty()) {
      EXPECT_EQ(sh(byHand), 0) << fix << ": " << out_;
    } else {
      // mv, rm, rmdir, iconv; del, move, rmdir in cmd. A fix in other words
      // comes with what it does.
      EXPECT_EQ(jknOnWindows() ? cmd(fix) : sh(fix), 0) << fix << ": " << out_;
    }
  }
};

TEST_F(JknCheckFix, EveryFindingNamesAFixThatMendsIt) {
  const std::string gnss = "root0/inf/jkn-gnss.ini", ts = "root0/inf/def-ts.ini";
  const std::string share = "root0/inf/def-share.ini";
  // PowerShell is no part of Wine: what its re-save comes to, by iconv.
  const auto resave = [](const std::string& path, const std::string& from) {
    return jknOnWindows() ? "iconv -f " + from + " -t CP932 " + path + " >new && mv new " + path
                          : std::string();
  };
  const std::string nineDays =
      "\x93\xfa\x96\x7b\x93\xfa\x96\x7b\x93\xfa\x96\x7b\x93\xfa\x96\x7b"
      "\x93\xfa\x96\x7b\x93\xfa\x96\x7b\x93\xfa\x96\x7b\x93\xfa\x96\x7b"
      "\x93\xfa\x96\x7b";  // 日本 nine times: 36 bytes
  const FixCase cases[] = {
      {gnss, "[GNSS]\nMaskElev_Svy=12abc\n",
       "root0/inf/jkn-gnss.ini:2: the integer rule stops at the first character that is not a "
       "digit: 'abc' is ignored\n"
       "    setting: GNSS_MaskElev svy\n"
       "    fix:     jkn set GNSS_MaskElev svy 12\n"},
      {share, "[RCOB]\nWIDE=1.23456x\n",
       "root0/inf/def-share.ini:2: not a plain number: the application reads its leading number "
       "only (0 when there is none)\n"
       "    setting: RectObsWide\n"
       "    fix:     jkn set RectObsWide 1.235\n"},
      {share, "[Logg]\nLCOL=300,12\n[SKSG]\nNCOL=1,2\n",
       "root0/inf/def-share.ini:2: a colour is read as red,green,blue, each 0 to 255 (pieces "
       "missing stay 255, larger numbers keep their low 8 bits, at most 19 bytes are read)\n"
       "    setting: LogColor\n"
       "    fix:     change line 2 of root0/inf/def-share.ini to 'LCOL=44,12,255'\n"
       "root0/inf/def-share.ini:4: a colour is read as red,green,blue, each 0 to 255 (pieces "
       "missing stay 255, larger numbers keep their low 8 bits, at most 19 bytes are read)\n"
       "    setting: SksNormColor\n"
       "    fix:     jkn set SksNormColor 1,2,255\n"},
      {"root0/site.ini", "[NPR]\nVAL=150\n",
       "root0/site.ini:2: outside what PutQZJkn_ZETR_Npr_Value accepts (an integer from 1 to 99); "
       "the application still reads it as stored\n"
       "    setting: ZETR_Npr_Value\n"
       "    fix:     jkn set ZETR_Npr_Value root0/site.ini 99\n",
       false, "", "", "root0/site.ini"},
      {share, "[Use]\nNoNm=5\n",
       "root0/inf/def-share.ini:2: the application reads this, but Use takes 0 or 1: jkn load "
       "refuses it\n"
       "    setting: Use 0\n"
       "    fix:     jkn set Use 0 1\n"},
      {gnss, "[GNSS]\nUserID=K. Abe ; office\n",
       "root0/inf/jkn-gnss.ini:2: there are no comments: the text after ';' is part of the value\n"
       "    setting: GNSS_UserID\n"
       "    fix:     jkn set GNSS_UserID " +
           shellWord("K. Abe") + "\n"},
      {ts, "[TS]\nBtDevAddr=" + nineDays + "\n",
       "root0/inf/def-ts.ini:2: longer than the 31 bytes the application reads, and the cut falls "
       "inside 本 (\\x96\\x7B): the text read ends in its first byte; cut off: '\\x7B日本'\n"
       "    setting: TS_BtDevAddr\n"
       "    stored:  BtDevAddr=日本日本日本日本日本日本日本日本日本\n"
       "    read:    \"日本日本日本日本日本日本日本日\\x96\"\n"
       "    fix:     jkn set TS_BtDevAddr " +
           shellWord("日本日本日本日本日本日本日本日") + "\n",
       true},
      {ts, "[TS]\nBtDevAddr=日本日本日本日本日本日本\n",
       "root0/inf/def-ts.ini:2: UTF-8 text, but the application reads code page 932: "
       "'日本日本日本日本日本日本' reads as '譌･譛ｬ譌･譛ｬ譌･譛ｬ譌･譛ｬ譌･譛ｬ譌･譛ｬ'\n"
       "    setting: TS_BtDevAddr\n"
       "    stored:  BtDevAddr=日本日本日本日本日本日本\n"
       "    read:    \"譌･譛ｬ譌･譛ｬ譌･譛ｬ譌･譛ｬ譌･譛ｬ\\xE6\"\n"
       "    fix:     jkn set TS_BtDevAddr " +
           shellWord("日本日本日本日本日本日本") +
           "\nroot0/inf/def-ts.ini:2: longer than the 31 bytes the application reads, and the "
           "cut falls inside 譌 (\\xE6\\x97): the text read ends in its first byte; cut off: "
           "'\\x97･譛ｬ'\n"
           "    setting: TS_BtDevAddr\n"
           "    stored:  BtDevAddr=譌･譛ｬ譌･譛ｬ譌･譛ｬ譌･譛ｬ譌･譛ｬ譌･譛ｬ\n"
           "    read:    \"譌･譛ｬ譌･譛ｬ譌･譛ｬ譌･譛ｬ譌･譛ｬ\\xE6\"\n"
           "    fix:     jkn set TS_BtDevAddr " +
           shellWord("日本日本日本日本日本日本") + "\n",
       true},
      {gnss, "[GNSS]\nAddress=東京\nMountPTX=-x\x80\nZz=\x80\n",
       "root0/inf/jkn-gnss.ini:2: UTF-8 text, but the application reads code page 932: '東京' "
       "reads as '譚ｱ莠ｬ'\n"
       "    setting: GNSS_Address\n"
       "    stored:  Address=東京\n"
       "    read:    \"譚ｱ莠ｬ\"\n"
       "    fix:     jkn set GNSS_Address " +
           shellWord("東京") +
           "\nroot0/inf/jkn-gnss.ini:3: bytes that are not code page 932 text: \\x80 (shown "
           "as \\xNN)\n"
           "    setting: GNSS_MountPTX\n"
           "    stored:  MountPTX=-x\\x80\n"
           "    read:    \"-x\\x80\"\n"
           "    fix:     jkn set -- GNSS_MountPTX -x\n"
           "root0/inf/jkn-gnss.ini:4: bytes that are not code page 932 text: \\x80 (shown "
           "as \\xNN)\n"
           "    stored:  Zz=\\x80\n"
           "    read:    Zz=\\x80\n"
           "    fix:     delete the bytes \\x80 from line 4 of root0/inf/jkn-gnss.ini\n",
       true},
      {gnss, "[GNSS]\nAddress=東é\n",
       "root0/inf/jkn-gnss.ini:2: UTF-8 text, but the application reads code page 932: '東é' reads "
       "as '譚ｱﾃｩ'\n"
       "    setting: GNSS_Address\n"
       "    stored:  Address=東é\n"
       "    read:    \"譚ｱﾃｩ\"\n"
       "    fix:     write line 2 of root0/inf/jkn-gnss.ini in code page 932, which has no 'é'\n",
       true, "", "printf '[GNSS]\\r\\nAddress=\\223\\214e\\r\\n' >" + gnss},
      {gnss, "[GNSS]\n;メモ\n",
       "root0/inf/jkn-gnss.ini:2: UTF-8 text, but the application reads code page 932: ';メモ' "
       "reads as ';繝｡繝｢'\n"
       "    stored:  ;メモ\n"
       "    read:    ;繝｡繝｢\n"
       "    fix:     " +
           toCp932Fix(gnss, "UTF-8") + "\n",
       true, "", resave(gnss, "UTF-8")},
      {gnss, "Page=1\n[GNSS]\nPage=2\npage=3\n[gnss]\nMaskSate=8\n\n[NMEA]\n",
       "root0/inf/jkn-gnss.ini:1: a line before the first section line\n"
       "    fix:     delete line 1 of root0/inf/jkn-gnss.ini\n"
       "root0/inf/jkn-gnss.ini:4: key already set at line 3; only the first is read\n"
       "    setting: GNSS_Page\n"
       "    fix:     delete line 4 of root0/inf/jkn-gnss.ini\n"
       "root0/inf/jkn-gnss.ini:5: section [gnss] already begins at line 2; only the first one is "
       "read\n"
       "    fix:     delete lines 5 to 7 of root0/inf/jkn-gnss.ini\n"
       "root0/inf/jkn-gnss.ini:6: hidden: section [gnss] already begins at line 2, so the "
       "application reads GNSS_MaskSate plain from there (or its default)\n"
       "    setting: GNSS_MaskSate plain\n"
       "    fix:     delete line 6 of root0/inf/jkn-gnss.ini\n"
       "root0/inf/jkn-gnss.ini:8: the application reads section [NMEA] from jkn-nmea.ini, never "
       "from jkn-gnss.ini\n"
       "    fix:     delete line 8 of root0/inf/jkn-gnss.ini\n"},
      {gnss, "[GNSS]\nBTAddr\nBTAddr=00:1A\nImuObs\n",
       "root0/inf/jkn-gnss.ini:2: a key line without '=' reads the default and hides any later "
       "line of this key\n"
       "    setting: GNSS_BTAddr plain\n"
       "    fix:     jkn set GNSS_BTAddr " +
           shellWord("") +
           "\nroot0/inf/jkn-gnss.ini:3: line 2 has this key without '=': it hides this one and "
           "the default is read\n"
           "    setting: GNSS_BTAddr plain\n"
           "    fix:     delete line 3 of root0/inf/jkn-gnss.ini\n"
           "root0/inf/jkn-gnss.ini:4: a key line without '=' reads the default and hides any later "
           "line of this key\n"
           "    setting: GNSS_ImuObs\n"
           "    fix:     jkn reset GNSS_ImuObs\n"},
      {gnss, "[GNSS]\nPage=1\n[NMEA]\nPort=3\n",
       "root0/inf/jkn-gnss.ini:3: the application reads section [NMEA] from jkn-nmea.ini, never "
       "from jkn-gnss.ini\n"
       "    fix:     move lines 3 to 4 of root0/inf/jkn-gnss.ini to the end of "
       "root0/inf/jkn-nmea.ini\n"},
      {gnss, "[GNSS]\nPage=1\n[NMEA]\nPort=3\n",
       "root0/inf/jkn-gnss.ini:3: the application reads section [NMEA] from jkn-nmea.ini, never "
       "from jkn-gnss.ini\n"
       "    fix:     move the keys of lines 3 to 4 of root0/inf/jkn-gnss.ini into [NMEA] of "
       "root0/inf/jkn-nmea.ini and delete the lines\n",
       false, "printf '[NMEA]\\r\\nParity=1\\r\\n' >root0/inf/jkn-nmea.ini",
       "printf '[GNSS]\\r\\nPage=1\\r\\n' >" + gnss +
           " && printf 'Port=3\\r\\n' >>root0/inf/jkn-nmea.ini"},
      {gnss, "[GNSS]\nMaskElv=5\nMaskSat=3\nMaskSate=4\n",
       "root0/inf/jkn-gnss.ini:2: no setting reads key 'MaskElv' of [GNSS]; did you mean "
       "MaskElev?\n"
       "    fix:     rename its key to MaskElev (line 2 of root0/inf/jkn-gnss.ini)\n"
       "root0/inf/jkn-gnss.ini:3: no setting reads key 'MaskSat' of [GNSS]; did you mean "
       "MaskSate?\n"
       "    fix:     delete line 3 of root0/inf/jkn-gnss.ini (MaskSate is at line 4)\n"},
      {ts, "[Mkhy]\n07=1\n+8=2\n8=3\n",
       "root0/inf/def-ts.ini:2: no setting reads key '07' of [Mkhy]; did you mean 7?\n"
       "    fix:     rename its key to 7 (line 2 of root0/inf/def-ts.ini)\n"
       "root0/inf/def-ts.ini:3: no setting reads key '+8' of [Mkhy]; did you mean 8?\n"
       "    fix:     delete line 3 of root0/inf/def-ts.ini (8 is at line 4)\n"},
      {"", "",
       "root0/inf/.jkn-gnss.ini.tmp: temporary file of a write of jkn-gnss.ini that was stopped "
       "before it finished; jkn-gnss.ini itself is whole, and its next write removes this file\n"
       "    fix:     " +
           removeFix("root0/inf/.jkn-gnss.ini.tmp") + "\n" +
           // Windows opens JKN-NMEA.INI as jkn-nmea.ini.
           (jknOnWindows() ? std::string()
                           : "root0/inf/JKN-NMEA.INI: the application opens jkn-nmea.ini, never "
                             "JKN-NMEA.INI (file names differ by case here)\n"
                             "    fix:     move what you need of it into root0/inf/jkn-nmea.ini, "
                             "then rm 'root0/inf/JKN-NMEA.INI'\n") +
           "root0/inf/jkn_ts.ini: the application opens jkn-ts.ini, never jkn_ts.ini\n"
           "    fix:     " +
           moveFix("root0/inf/jkn_ts.ini", "root0/inf/jkn-ts.ini") +
           "\nroot1/inf/jkn-gnss.ini: the application reads jkn-gnss.ini from root 0 (root0/inf/), "
           "never from here\n"
           "    fix:     " +
           moveFix("root1/inf/jkn-gnss.ini", "root0/inf/jkn-gnss.ini") + "\n",
       false,
       "touch root0/inf/.jkn-gnss.ini.tmp root0/inf/JKN-NMEA.INI root0/inf/jkn-nmea.ini "
       "root0/inf/jkn_ts.ini root1/inf/jkn-gnss.ini"},
      {"", "",
       // Wine lists no link to nothing: the application cannot meet one there.
       (jknOnWindows() ? std::string()
                       : "root0/inf/def-nmea.ini: a broken link: the application reads the "
                         "defaults instead\n"
                         "    fix:     rm 'root0/inf/def-nmea.ini'\n") +
           "root0/inf/def-ts.ini: a folder: the application reads the defaults instead\n"
           "    fix:     " +
           removeFix("root0/inf/def-ts.ini", true) + "\n",
       false, "mkdir root0/inf/def-ts.ini && ln -s nowhere root0/inf/def-nmea.ini"},
      {"root0/inf/jkn-nmea.ini", utf16("[NMEA]\nPort=4\n", true),
       "root0/inf/jkn-nmea.ini: saved as UTF-16: the application reads every key of it as missing "
       "(the defaults); save it in code page 932\n"
       "    fix:     " +
           toCp932Fix("root0/inf/jkn-nmea.ini", "UTF-16") + "\n",
       false, "", resave("root0/inf/jkn-nmea.ini", "UTF-16")},
      {"root0/inf/jkn-ts.ini", utf16("[TS]\nVKubun=1\n", false),
       "root0/inf/jkn-ts.ini: saved as UTF-16: the application reads every key of it as missing "
       "(the defaults); save it in code page 932\n"
       "    fix:     " +
           toCp932Fix("root0/inf/jkn-ts.ini", "UTF-16LE") + "\n",
       false, "", resave("root0/inf/jkn-ts.ini", "UTF-16LE")},
  };
  for (const FixCase& c : cases) {
    prepare(c);
    EXPECT_EQ(sh(kJkn + "check " + c.args), 1);
    const std::string found = out_;
    EXPECT_EQ(shown(found, c.full), c.found) << c.path << c.setup;
    // Each finding's fix alone, on the files as they were: its finding goes,
    // and no other comes instead.
    for (std::sregex_iterator it(found.begin(), found.end(), kFinding), end; it != end; ++it) {
      prepare(c);
      apply((*it)[2], c.byHand);
      sh(kJkn + "check " + c.args);
      EXPECT_EQ(out_.find((*it)[1].str() + "\n"), std::string::npos) << (*it)[2] << ": " << out_;
      EXPECT_LT(count(out_), count(found)) << (*it)[2] << ": " << out_;
    }
  }
  // The fix travels in the JSON findings too.
  prepare(cases[0]);
  sh(kJkn + "check --json");
  EXPECT_EQ(nlohmann::json::parse(out_)[0]["fix"], "jkn set GNSS_MaskElev svy 12") << out_;
}

}  // namespace
}  // namespace trasso::test
