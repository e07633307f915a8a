// jkn check's fixes are operations. Each case's fixes, carried out as their
// data says (jkn commands and shell commands as given, edits by their anchors),
// alone and all together in every order, leave the same bytes whatever the
// order, the same as check --fix leaves, nothing check still finds but the
// choices, and every setting no applied fix names reading as before; each
// option of a choice mends its finding.
#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "Ini.h"
#include "JknFixture.h"
#include "Registry.h"
#include "SettingText.h"
#include "SettingsValues.h"
#include "cli/Stored.h"
#include "cli/Values.h"

namespace trasso::test {
namespace {

using nlohmann::json;
using Files = std::vector<std::pair<std::string, std::string>>;  // below the roots' parent

struct FixCase {
  Files files;        // text lines get CR LF; bytes with a zero byte are written as they are
  std::string found;  // the findings, what is stored and read only when full
  Files fixed;        // every file after the fixes that need no choice ({}: not compared)
  bool full = false;
  std::string setup = "";   // shell command run after the files are written
  std::string byHand = "";  // what a step for a person comes to
  std::string args = "";    // profiles to check
};

// UTF-16, little-endian, of UTF-8 text (characters below U+10000) with CR LF
// line ends, with a byte-order mark when bom.
std::string utf16(const std::string& text, bool bom) {
  std::string out = bom ? "\xFF\xFE" : "";
  const std::string utf8 = withCrLf(text);
  for (size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : 3;
    unsigned c = n == 1 ? b : b & (n == 2 ? 0x1F : 0x0F);
    for (size_t k = 1; k < n; ++k) c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    i += n;
  }
  return out;
}

std::string fileBytes(const std::string& text) {
  return text.find('\0') != std::string::npos ? text : withCrLf(text);
}

// check's output without the closing count, and without the lines of what
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

// Names and lines of a finding's data: UTF-8 text, or {"hex": ...} bytes.
std::string bytesOf(const json& j) {
  return j.is_object() ? *jkn::fromHex(j["hex"]) : jkn::toCp932(j).value_or("?");
}

// A word for the shell that runs a command: sh, or cmd on Windows.
std::string word(const std::string& w) {
  if (jknOnWindows()) return "\"" + w + "\"";
  std::string out = "'";
  for (char c : w) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// An edit as a consumer of check --json carries it out, by the reader's own
// line walker: lines by their exact text within the sections of a name.
void applyEdit(const json& e, std::string& bytes) {
  const std::string op = e["op"];
  const std::optional<std::string> section =
      e.value("section", json()).is_null() ? std::nullopt : std::optional(bytesOf(e["section"]));
  if (op == "set-key") return ini::setValue(bytes, *section, bytesOf(e["key"]), bytesOf(e["to"]));
  if (op == "remove-key") return (void)ini::removeKey(bytes, *section, bytesOf(e["key"]));
  struct Line {
    size_t begin, next;
    ini::LineView v;
    int section;   // index of its section line, -1 before the first
    bool inScope;  // in a section of the edit's name
    bool readKey;  // the first of its key in the first section of the name
  };
  std::vector<Line> lines;
  std::map<std::string, int> firstSection;
  std::map<std::string, bool> keys;
  int current = -1;
  bool read = false, scope = !section;
  ini::LineView v;
  for (size_t pos = 0; ini::nextLine(bytes, pos, v);) {
    if (v.kind == ini::LineView::Section) {
      current = static_cast<int>(lines.size());
      read = firstSection.emplace(ini::foldedName(v.name), current).second;
      scope = section && ini::sameName(v.name, *section);
      keys.clear();
    }
    const bool readKey =
        v.kind == ini::LineView::Key && read && keys.emplace(ini::foldedName(v.name), true).second;
    const size_t begin = static_cast<size_t>(v.text.data() - bytes.data());
    lines.push_back(Line{begin, pos, v, current, scope, readKey});
  }
  std::vector<std::pair<size_t, size_t>> gone;
  const auto sectionEnd = [&](size_t i) {
    size_t j = i + 1;
    while (j < lines.size() && lines[j].v.kind != ini::LineView::Section) ++j;
    return j < lines.size() ? lines[j].begin : bytes.size();
  };
  if (op == "delete-section") {
    for (size_t i = 0; i < lines.size(); ++i) {
      const bool first = firstSection[ini::foldedName(lines[i].v.name)] == static_cast<int>(i);
      if (lines[i].v.kind == ini::LineView::Section && lines[i].inScope &&
          !(e["keep_read"] == true && first)) {
        gone.emplace_back(lines[i].begin, sectionEnd(i));
      }
    }
  }
  const std::string text = e.contains("line") ? bytesOf(e["line"]) : "";
  std::map<int, size_t> left;  // key lines left in each section touched
  for (size_t i = 0; op != "delete-section" && i < lines.size(); ++i) {
    const Line& l = lines[i];
    if (!l.inScope || l.v.text != text || (e.value("keep_read", false) && l.readKey)) continue;
    if (op == "replace-line") {
      bytes.replace(l.begin, l.v.text.size(), bytesOf(e["to"]));
      return;
    }
    gone.emplace_back(l.begin, l.next);
    left[l.section] = 0;
  }
  for (auto& [s, n] : left) {
    for (size_t i = s + 1; s >= 0 && i < lines.size() && lines[i].section == s; ++i) {
      const bool deleted = std::any_of(gone.begin(), gone.end(),
                                       [&](const auto& g) { return g.first == lines[i].begin; });
      n += !deleted && lines[i].v.kind == ini::LineView::Key && lines[i].v.name[0] != ';';
    }
    if (s >= 0 && n == 0 && e.value("drop_empty_section", false)) {
      gone.emplace_back(lines[s].begin, sectionEnd(s));
    }
  }
  // From the back, a line inside a section that goes with it erased once.
  std::sort(gone.begin(), gone.end());
  for (size_t k = gone.size(); k-- > 0;) {
    if (k > 0 && gone[k].first < gone[k - 1].second) {
      gone[k - 1].second = std::max(gone[k - 1].second, gone[k].second);
      continue;
    }
    bytes.erase(gone[k].first, gone[k].second - gone[k].first);
  }
}

class JknCheckFix : public JknTest {
 protected:
  // The folder of the roots, where jkn runs; paths jkn prints are relative to it.
  std::string base() const { return root(0).substr(0, root(0).size() - 5); }

  void prepare(const FixCase& c) {
    sh("rm -rf root0/* root1/* p && mkdir root0/inf root1/inf p");
    for (const auto& [path, text] : c.files) writeBytes(base() + path, fileBytes(text));
    if (!c.setup.empty()) sh(c.setup);
  }

  // Every file below the roots' parent that the case may touch, with its bytes.
  std::map<std::string, std::string> tree() {
    sh("find root0 root1 p -type f 2>/dev/null | sort");
    std::map<std::string, std::string> files;
    std::istringstream in(out_);
    for (std::string path; std::getline(in, path);) files[path] = readBytes(base() + path);
    return files;
  }

  // Where a selection's key lies: its file (below the roots' parent when
  // relative), section and key, as the reader tells keys apart.
  std::string keyId(const SettingEntry& e, const Selection& s) const {
    std::string path = fileio::nativePath(pathOf(e, s));
    if (path[0] != '/') path = base() + path;
    return path + "\n" + ini::foldedName(declarationOf(e, s).key.section) + "\n" +
           ini::foldedName(keyOf(e, s));
  }

  // Every setting's value as the application's getters read it now, by the
  // key it reads and its name.
  std::map<std::string, std::string> readings(const std::string& profiles) {
    std::map<std::string, std::string> out;
    for (const SettingEntry& e : settingsRegistry()) {
      std::vector<Selection> each = listedSelections(e);
      std::istringstream paths(profiles);
      for (std::string p; paths >> p;) {
        for (Selection s : keySelections(e)) {
          s.path = base() + p;
          if (e.selector == SelectorKind::Profile || e.inProfile) each.push_back(s);
        }
      }
      for (const Selection& s : each) {
        const std::optional<Value> v = readValue(e, s);
        out[keyId(e, s) + "\n" + e.name] =
            v ? jkn::showValue(declarationOf(e, s), *v, true) : "(caller's)";
      }
    }
    return out;
  }

  // The keys of the settings a fix may change: those its finding names (all
  // fields of a record) and those a repeated section hides.
  std::set<std::string> named(const std::vector<json>& applied) const {
    std::set<std::string> ids;
    for (const json& f : applied) {
      // A finding of a whole file (re-saved, moved where it is read) names all of it.
      if (f["line"].is_null()) ids.insert(base() + f["file"].get<std::string>());
      std::vector<json> names{f};
      if (f.contains("hides")) names.insert(names.end(), f["hides"].begin(), f["hides"].end());
      for (const json& n : names) {
        if (n["name"].is_null()) continue;
        const SettingEntry& e = *findSetting(n["name"].get<std::string>());
        Selection s =
            parseSelector(e, n["selector"].is_string() ? std::optional<std::string>(n["selector"])
                                                       : std::nullopt);
        // A profile's settings name their profile by the finding's file.
        if (e.selector == SelectorKind::Profile || e.inProfile) {
          s.path = base() + f["file"].get<std::string>();
        }
        for (size_t i = 0; i < std::max<size_t>(e.fieldCount, 1); ++i) {
          if (e.selector == SelectorKind::Field) s.which = static_cast<int>(i);
          ids.insert(keyId(e, s));
        }
      }
    }
    return ids;
  }

  void expectOthersAsBefore(const std::map<std::string, std::string>& before,
                            const std::string& profiles, const std::vector<json>& applied,
                            const std::string& what) {
    const std::map<std::string, std::string> after = readings(profiles);
    const std::set<std::string> changing = named(applied);
    std::set<std::string> keys;
    for (const auto& [k, v] : before) keys.insert(k);
    for (const auto& [k, v] : after) keys.insert(k);
    for (const std::string& k : keys) {
      const auto b = before.find(k), a = after.find(k);
      const std::string was = b == before.end() ? "(not stored)" : b->second;
      const std::string now = a == after.end() ? "(not stored)" : a->second;
      const std::string id = k.substr(0, k.rfind('\n'));
      if (was != now && !changing.count(id) && !changing.count(id.substr(0, id.find('\n')))) {
        ADD_FAILURE() << what << ": " << k << " " << was << " -> " << now;
      }
    }
  }

  // Runs a fix's steps as they are given; a step for a person is byHand.
  void apply(const json& fix, const std::string& byHand) {
    for (const json& step : fix["steps"]) {
      if (step.contains("argv")) {
        std::vector<std::string> argv = step["argv"];
        // The command word as it is (cmd takes no quoted built-in), its words quoted.
        std::string line = argv[0] == "jkn" ? "" : " " + argv[0];
        for (size_t i = 1; i < argv.size(); ++i) line += " " + word(argv[i]);
        if (argv[0] == "jkn") {
          EXPECT_EQ(sh(kJkn + line), 0) << fix << ": " << out_;
        } else {
          EXPECT_EQ(jknOnWindows() ? cmd(line.substr(1)) : sh(line), 0) << fix << ": " << out_;
        }
      } else if (step.contains("edit")) {
        const json& e = step["edit"];
        const std::string path = base() + e["file"].get<std::string>();
        if (e["op"] == "re-encode") {
          EXPECT_EQ(sh("iconv -f " + e["from"].get<std::string>() + " -t CP932 " + word(path) +
                       " >new && mv new " + word(path)),
                    0)
              << out_;
          continue;
        }
        std::string bytes = exists(path) ? readBytes(path) : "";
        applyEdit(e, bytes);
        writeBytes(path, bytes);
      } else {
        EXPECT_EQ(sh(byHand), 0) << fix << ": " << out_;
      }
    }
  }

  json findings(const FixCase& c) {
    sh(kJkn + "check --json " + c.args);
    return json::parse(out_);
  }
};

const std::string kGnss = "root0/inf/jkn-gnss.ini", kTs = "root0/inf/def-ts.ini",
                  kShare = "root0/inf/def-share.ini";
const std::string kNineDays =
    "\x93\xfa\x96\x7b\x93\xfa\x96\x7b\x93\xfa\x96\x7b\x93\xfa\x96\x7b"
    "\x93\xfa\x96\x7b\x93\xfa\x96\x7b\x93\xfa\x96\x7b\x93\xfa\x96\x7b"
    "\x93\xfa\x96\x7b";  // 日本 nine times: 36 bytes

std::vector<FixCase> cases() {
  return {
      // The README's file: values mended, a misspelt key that a set one hides
      // goes; a key line without '=' that hides a value, and a repeated section
      // with a value of its own, are choices.
      {{{kGnss,
         "[GNSS]\nMaskElev=12abc\nMaskElv=10\nPortNo=0X10\nBTAddr\nBTAddr=00:1A\n[gnss]\n"
         "MaskSate=8\n"}},
       "root0/inf/jkn-gnss.ini:2: the integer rule stops at the first character that is not a "
       "digit: 'abc' is ignored\n"
       "    setting: GNSS_MaskElev plain\n"
       "    fix:     jkn set GNSS_MaskElev 12\n"
       "root0/inf/jkn-gnss.ini:3: no setting reads key 'MaskElv' of [GNSS]; did you mean "
       "MaskElev (GNSS_MaskElev)?\n"
       "    fix:     delete the line 'MaskElv=10' of [GNSS] from root0/inf/jkn-gnss.ini\n"
       "root0/inf/jkn-gnss.ini:4: only lower-case 0x, 0o and 0b select a base; an upper-case "
       "prefix reads as 0\n"
       "    setting: GNSS_PortNo plain\n"
       "    fix:     jkn set GNSS_PortNo 0\n"
       "root0/inf/jkn-gnss.ini:5: a key line without '=' reads the default and hides the later "
       "line 6 of this key\n"
       "    setting: GNSS_BTAddr plain\n"
       "    choose:  keep \"\" (read now): delete the line 'BTAddr=00:1A' of [GNSS] from "
       "root0/inf/jkn-gnss.ini; then jkn reset GNSS_BTAddr\n"
       "    or:      keep \"00:1A\": jkn set GNSS_BTAddr 00:1A; then delete the line "
       "'BTAddr=00:1A' of [GNSS] from root0/inf/jkn-gnss.ini\n"
       "root0/inf/jkn-gnss.ini:7: section [gnss] already begins at line 1; only the first one "
       "is read\n"
       "    hides:   line 8 MaskSate=8: GNSS_MaskSate plain reads 11\n"
       "    choose:  keep what is read: delete the repeated sections [gnss] with their lines from "
       "root0/inf/jkn-gnss.ini, keeping the first\n"
       "    or:      take the values of the repeats: jkn set GNSS_MaskSate 8; then delete the "
       "repeated sections [gnss] with their lines from root0/inf/jkn-gnss.ini, keeping the "
       "first\n",
       {{kGnss, "[GNSS]\nMaskElev=12\nPortNo=0\nBTAddr\nBTAddr=00:1A\n[gnss]\nMaskSate=8\n"}}},
      // Keys the application reads from other files go there, and a section
      // left with nothing but notes goes too; a key no setting reads goes,
      // with the setting nearest to it named.
      {{{kGnss, "[GNSS]\nPage=1\nFooBarBaz=1\n[TS]\nPort=3\n[Use]\n;note\nAntn=0\n"}},
       "root0/inf/jkn-gnss.ini:3: no setting reads key 'FooBarBaz' of [GNSS]; the closest "
       "setting is GNSS_PortNo (key PortNo)\n"
       "    fix:     delete the line 'FooBarBaz=1' of [GNSS] from root0/inf/jkn-gnss.ini\n"
       "root0/inf/jkn-gnss.ini:5: the application reads TS_Port from [TS] of jkn-ts.ini, never "
       "from jkn-gnss.ini\n"
       "    setting: TS_Port\n"
       "    fix:     jkn set TS_Port 3; then delete the line 'Port=3' of [TS] from "
       "root0/inf/jkn-gnss.ini (and the section once it holds no key)\n"
       "root0/inf/jkn-gnss.ini:8: the application reads Use 13 from [Use] of def-nmea.ini, "
       "never from jkn-gnss.ini\n"
       "    setting: Use 13\n"
       "    fix:     jkn set Use 13 0; then delete the line 'Antn=0' of [Use] from "
       "root0/inf/jkn-gnss.ini (and the section once it holds no key)\n",
       {{kGnss, "[GNSS]\nPage=1\n"},
        {"root0/inf/jkn-ts.ini", "[TS]\nPort=3\n"},
        {"root0/inf/def-nmea.ini", "[Use]\nAntn=0\n"}}},
      // A value of its own in the file a key belongs in is a choice; a line
      // before the first section and an empty section of another file go (an
      // empty screen colour section, as a reset leaves it, and a section this
      // file holds, emptied, stay).
      {{{kGnss, "Page=1\n[GNSS]\nPage=2\n[NMEA]\nPort=3\n[SKYPLOT]\nZzz=1\n[TS]\n"},
        {"root0/inf/jkn-nmea.ini", "[NMEA]\nPort=5\n"},
        {"root0/inf/disp-ts.ini", "[2]\n[Foo]\n"}},
       "root0/inf/jkn-gnss.ini:1: a line before the first section line\n"
       "    fix:     delete the line 'Page=1' before the first section from "
       "root0/inf/jkn-gnss.ini\n"
       "root0/inf/jkn-gnss.ini:5: the application reads NMEA_Port from [NMEA] of jkn-nmea.ini, "
       "never from jkn-gnss.ini\n"
       "    setting: NMEA_Port\n"
       "    choose:  keep '5' of jkn-nmea.ini: delete the line 'Port=3' of [NMEA] from "
       "root0/inf/jkn-gnss.ini (and the section once it holds no key)\n"
       "    or:      keep '3': jkn set NMEA_Port 3; then delete the line 'Port=3' of [NMEA] from "
       "root0/inf/jkn-gnss.ini (and the section once it holds no key)\n"
       "root0/inf/jkn-gnss.ini:7: no setting reads key 'Zzz' of [SKYPLOT]; the closest setting "
       "is GNSS_SkyPlotLClm (key <n>)\n"
       "    fix:     delete the line 'Zzz=1' of [SKYPLOT] from root0/inf/jkn-gnss.ini\n"
       "root0/inf/jkn-gnss.ini:8: the application reads section [TS] from another file, never "
       "from jkn-gnss.ini, and it holds no key here\n"
       "    fix:     delete section [TS] with its lines from root0/inf/jkn-gnss.ini\n",
       {{kGnss, "[GNSS]\nPage=2\n[NMEA]\nPort=3\n[SKYPLOT]\n"},
        {"root0/inf/jkn-nmea.ini", "[NMEA]\nPort=5\n"},
        {"root0/inf/disp-ts.ini", "[2]\n[Foo]\n"}}},
      // Numbers and colours, each made what the application reads and the
      // setter takes; a read-only setting's line changed.
      {{{kShare, "[RCOB]\nWIDE=1.23456x\n[Logg]\nLCOL=300,12\n[SKSG]\nNCOL=1,2\n"}},
       "root0/inf/def-share.ini:2: not a plain number: the application reads its leading number "
       "only (0 when there is none)\n"
       "    setting: RectObsWide\n"
       "    fix:     jkn set RectObsWide 1.235\n"
       "root0/inf/def-share.ini:4: a colour is read as red,green,blue, each 0 to 255 (pieces "
       "missing stay 255, larger numbers keep their low 8 bits, at most 19 bytes are read)\n"
       "    setting: LogColor\n"
       "    fix:     change the line 'LCOL=300,12' of [Logg] in root0/inf/def-share.ini to "
       "'LCOL=44,12,255'\n"
       "root0/inf/def-share.ini:6: a colour is read as red,green,blue, each 0 to 255 (pieces "
       "missing stay 255, larger numbers keep their low 8 bits, at most 19 bytes are read)\n"
       "    setting: SksNormColor\n"
       "    fix:     jkn set SksNormColor 1,2,255\n",
       {{kShare, "[RCOB]\nWIDE=1.235\n[Logg]\nLCOL=44,12,255\n[SKSG]\nNCOL=  1,  2,255\n"}}},
      // A record's fix names every field the setter would refuse; two
      // findings of one record are fixed by one write.
      {{{"p/site.ini", "[DST]\nCEN=99\nHPA=1300x\n[NPR]\nVAL=150\n"}},
       "p/site.ini:2: outside what PutQZJkn_ZETR_Dst_CentigradePress accepts (a number from -70 "
       "to 70); the application still reads it as stored\n"
       "    setting: ZETR_Dst_CentigradePress temperature:p/site.ini\n"
       "    fix:     jkn set ZETR_Dst_CentigradePress temperature:p/site.ini 70 "
       "pressure:p/site.ini 1200\n"
       "p/site.ini:3: not a plain number: the application reads its leading number only (0 when "
       "there is none)\n"
       "    setting: ZETR_Dst_CentigradePress pressure:p/site.ini\n"
       "    fix:     jkn set ZETR_Dst_CentigradePress pressure:p/site.ini 1200 "
       "temperature:p/site.ini 70\n"
       "p/site.ini:5: outside what PutQZJkn_ZETR_Npr_Value accepts (an integer from 1 to 99); "
       "the application still reads it as stored\n"
       "    setting: ZETR_Npr_Value\n"
       "    fix:     jkn set ZETR_Npr_Value p/site.ini 99\n",
       {{"p/site.ini", "[DST]\nCEN=70.000000\nHPA=1200.000000\n[NPR]\nVAL=99\n"}},
       false,
       "",
       "",
       "p/site.ini"},
      // Texts: a cut inside a character, a note that is no comment, a
      // character code page 932 lacks.
      {{{kTs, "[TS]\nBtDevAddr=" + kNineDays + "\n"},
        {kGnss, "[GNSS]\nUserID=K. Abe ; office\nAddress=東é\n"}},
       "root0/inf/def-ts.ini:2: longer than the 31 bytes the application reads, and the cut "
       "falls inside 本 (\\x96\\x7B): the text read ends in its first byte; cut off: '\\x7B日本'\n"
       "    setting: TS_BtDevAddr\n"
       "    stored:  BtDevAddr=日本日本日本日本日本日本日本日本日本\n"
       "    read:    \"日本日本日本日本日本日本日本日\\x96\"\n"
       "    fix:     jkn set TS_BtDevAddr " +
           shellWord("日本日本日本日本日本日本日本日") +
           "\nroot0/inf/jkn-gnss.ini:2: there are no comments: the text after ';' is part of the "
           "value\n"
           "    setting: GNSS_UserID\n"
           "    stored:  UserID=K. Abe ; office\n"
           "    read:    \"K. Abe ; office\"\n"
           "    fix:     jkn set GNSS_UserID " +
           shellWord("K. Abe") +
           "\nroot0/inf/jkn-gnss.ini:3: UTF-8 text, but the application reads code page 932: "
           "'東é' reads as '譚ｱﾃｩ'; code page 932 has no 'é', which the fix leaves out\n"
           "    setting: GNSS_Address\n"
           "    stored:  Address=東é\n"
           "    read:    \"譚ｱﾃｩ\"\n"
           "    fix:     jkn set GNSS_Address " +
           shellWord("東") + "\n",
       {{kTs,
         "[TS]\nBtDevAddr=\x93\xfa\x96\x7b\x93\xfa\x96\x7b\x93\xfa\x96\x7b\x93\xfa\x96\x7b"
         "\x93\xfa\x96\x7b\x93\xfa\x96\x7b\x93\xfa\x96\x7b\x93\xfa\n"},
        {kGnss, "[GNSS]\nUserID=K. Abe\nAddress=\x93\x8c\n"}},
       true},
      // Bytes that are no code page 932 text, UTF-8 in a note, and in a key
      // no setting reads.
      {{{kGnss, "[GNSS]\nMountPTX=-x\x80\n;メモ\nZz=\x80\n"}},
       "root0/inf/jkn-gnss.ini:2: bytes that are not code page 932 text: \\x80 (shown as "
       "\\xNN)\n"
       "    setting: GNSS_MountPTX\n"
       "    stored:  MountPTX=-x\\x80\n"
       "    read:    \"-x\\x80\"\n"
       "    fix:     jkn set -- GNSS_MountPTX -x\n"
       "root0/inf/jkn-gnss.ini:3: UTF-8 text, but the application reads code page 932: "
       "';メモ' reads as ';繝｡繝｢'\n"
       "    stored:  ;メモ\n"
       "    read:    ;繝｡繝｢\n"
       "    fix:     change the line ';メモ' of [GNSS] in root0/inf/jkn-gnss.ini to ';メモ'\n"
       "root0/inf/jkn-gnss.ini:4: no setting reads key 'Zz' of [GNSS]; the closest setting is "
       "GNSS_Page (key Page)\n"
       "    stored:  Zz=\\x80\n"
       "    read:    nothing\n"
       "    fix:     delete the line 'Zz=\\x80' of [GNSS] from root0/inf/jkn-gnss.ini\n",
       {{kGnss, "[GNSS]\nMountPTX=-x\n;\x83\x81\x83\x82\n"}},
       true},
      // A line read otherwise with bytes that are no code page 932 text: both
      // findings have the value's fix.
      {{{kGnss, "[GNSS]\nPage=12\x80\n"}},
       "root0/inf/jkn-gnss.ini:2: the integer rule stops at the first character that is not a "
       "digit: '\\x80' is ignored\n"
       "    setting: GNSS_Page\n"
       "    fix:     jkn set GNSS_Page 12\n"
       "root0/inf/jkn-gnss.ini:2: bytes that are not code page 932 text: \\x80 (shown as "
       "\\xNN)\n"
       "    setting: GNSS_Page\n"
       "    fix:     jkn set GNSS_Page 12\n",
       {{kGnss, "[GNSS]\nPage=12\n"}}},
      // Lines no reader takes: a key again with the value it has, a name no
      // writer stores, a repeat of a section whose value is taken or not, a
      // catalogue's key again (any value kept as it is); a lone key line
      // without '='.
      {{{kGnss, "[GNSS]\nPage=2\npage=2\nImuObs\n[x=1\n[SKYPLOT]\n3=80\n[gnss]\nPage=3x\n\n"},
        {"root1/inf/NTrip.ini", "[NTrip]\nCoCnt=1\ncocnt=2\nCoCnt=1\n"}},
       "root0/inf/jkn-gnss.ini:3: key already set at line 2; only the first is read\n"
       "    setting: GNSS_Page\n"
       "    fix:     delete the line 'page=2' of [GNSS] from root0/inf/jkn-gnss.ini\n"
       "root0/inf/jkn-gnss.ini:4: a key line without '=' reads the default and hides any later "
       "line of this key\n"
       "    setting: GNSS_ImuObs\n"
       "    fix:     jkn reset GNSS_ImuObs\n"
       "root0/inf/jkn-gnss.ini:5: a name no writer can store (an empty key, a key starting with "
       "'[', a NUL byte): no setting reads it, and jkn load refuses it\n"
       "    fix:     delete the line '[x=1' of [GNSS] from root0/inf/jkn-gnss.ini\n"
       "root0/inf/jkn-gnss.ini:8: section [gnss] already begins at line 1; only the first one "
       "is read\n"
       "    hides:   line 9 Page=3x: GNSS_Page reads 2\n"
       "    choose:  keep what is read: delete the repeated sections [gnss] with their lines from "
       "root0/inf/jkn-gnss.ini, keeping the first\n"
       "    or:      take the values of the repeats: set 'Page=3x' in [GNSS] of "
       "root0/inf/jkn-gnss.ini; then delete the repeated sections [gnss] with their lines from "
       "root0/inf/jkn-gnss.ini, keeping the first\n"
       "root1/inf/NTrip.ini:3: key already set at line 2; only the first is read\n"
       "    choose:  keep '1' (read now): delete the line 'cocnt=2' of [NTrip] from "
       "root1/inf/NTrip.ini; then delete the line 'CoCnt=1' of [NTrip] from root1/inf/NTrip.ini, "
       "keeping the first\n"
       "    or:      keep '2': set 'CoCnt=2' in [NTrip] of root1/inf/NTrip.ini; then delete the "
       "line 'cocnt=2' of [NTrip] from root1/inf/NTrip.ini; then delete the line 'CoCnt=1' of "
       "[NTrip] from root1/inf/NTrip.ini, keeping the first\n",
       {{kGnss, "[GNSS]\nPage=2\n[SKYPLOT]\n3=80\n[gnss]\nPage=3x\n\n"},
        {"root1/inf/NTrip.ini", "[NTrip]\nCoCnt=1\ncocnt=2\nCoCnt=1\n"}}},
      // A misspelt key: renaming it is a choice, and a number is meant in
      // decimal; one that another line holds already goes. A value the
      // application reads but the setter refuses.
      {{{kGnss, "[GNSS]\nMaskElv=5\nMaskSat=3\nMaskSate=4\n"},
        {kTs, "[Mkhy]\n07=1\n+8=2\n8=3\n"},
        {kShare, "[Use]\nNoNm=5\n"}},
       "root0/inf/def-share.ini:2: the application reads this, but Use takes 0 or 1: jkn load "
       "refuses it\n"
       "    setting: Use 0\n"
       "    fix:     jkn set Use 0 1\n"
       "root0/inf/def-ts.ini:2: no setting reads key '07' of [Mkhy]; did you mean 7 (Mkhy)?\n"
       "    setting: Mkhy 7\n"
       "    choose:  rename it to 7: change the line '07=1' of [Mkhy] in root0/inf/def-ts.ini to "
       "'7=1'\n"
       "    or:      delete it: delete the line '07=1' of [Mkhy] from root0/inf/def-ts.ini\n"
       "root0/inf/def-ts.ini:3: no setting reads key '+8' of [Mkhy]; did you mean 8 (Mkhy)?\n"
       "    fix:     delete the line '+8=2' of [Mkhy] from root0/inf/def-ts.ini\n"
       "root0/inf/jkn-gnss.ini:2: no setting reads key 'MaskElv' of [GNSS]; did you mean "
       "MaskElev (GNSS_MaskElev)?\n"
       "    setting: GNSS_MaskElev plain\n"
       "    choose:  rename it to MaskElev: change the line 'MaskElv=5' of [GNSS] in "
       "root0/inf/jkn-gnss.ini to 'MaskElev=5'\n"
       "    or:      delete it: delete the line 'MaskElv=5' of [GNSS] from "
       "root0/inf/jkn-gnss.ini\n"
       "root0/inf/jkn-gnss.ini:3: no setting reads key 'MaskSat' of [GNSS]; did you mean "
       "MaskSate (GNSS_MaskSate)?\n"
       "    fix:     delete the line 'MaskSat=3' of [GNSS] from root0/inf/jkn-gnss.ini\n",
       {{kShare, "[Use]\nNoNm=1\n"},
        {kTs, "[Mkhy]\n07=1\n8=3\n"},
        {kGnss, "[GNSS]\nMaskElv=5\nMaskSate=4\n"}}},
      // Whole files: what a stopped write or re-saving left, names the reader
      // never opens, a file of the other root.
      {{},
       "root0/inf/.jkn-gnss.ini.tmp: temporary file of a write of jkn-gnss.ini that was stopped "
       "before it finished; jkn-gnss.ini itself is whole, and its next write removes this file\n"
       "    fix:     " +
           removeFix("root0/inf/.jkn-gnss.ini.tmp") + "\n" +
           // Windows opens JKN-NMEA.INI as jkn-nmea.ini.
           (jknOnWindows() ? std::string()
                           : "root0/inf/JKN-NMEA.INI: the application opens jkn-nmea.ini, never "
                             "JKN-NMEA.INI (file names differ by case here)\n"
                             "    fix:     move what you need of it into root0/inf/jkn-nmea.ini; "
                             "then rm 'root0/inf/JKN-NMEA.INI'\n") +
           "root0/inf/jkn-gnss.ini.new: left beside jkn-gnss.ini by a re-saving of it that did "
           "not finish; jkn-gnss.ini itself is as it was, and the application never reads this "
           "file\n"
           "    fix:     " +
           removeFix("root0/inf/jkn-gnss.ini.new") +
           "\nroot0/inf/jkn_ts.ini: the application opens jkn-ts.ini, never jkn_ts.ini\n"
           "    fix:     " +
           moveFix("root0/inf/jkn_ts.ini", "root0/inf/jkn-ts.ini") +
           "\nroot1/inf/jkn-gnss.ini: the application reads jkn-gnss.ini from root 0 (root0/inf/), "
           "never from here\n"
           "    fix:     " +
           moveFix("root1/inf/jkn-gnss.ini", "root0/inf/jkn-gnss.ini") + "\n",
       {},
       false,
       "touch root0/inf/.jkn-gnss.ini.tmp root0/inf/JKN-NMEA.INI root0/inf/jkn-nmea.ini "
       "root0/inf/jkn_ts.ini root0/inf/jkn-gnss.ini.new && echo '[GNSS]' >root1/inf/jkn-gnss.ini",
       "true"},
      // Folders and links where settings files belong; a file saved in UTF-16
      // with a byte-order mark.
      {{{"root0/inf/jkn-nmea.ini", utf16("[NMEA]\nGEOVER=テ\n", true)}},
       // Wine lists no link to nothing: the application cannot meet one there.
       (jknOnWindows() ? std::string()
                       : "root0/inf/def-nmea.ini: a broken link: the application reads the "
                         "defaults instead\n"
                         "    fix:     rm 'root0/inf/def-nmea.ini'\n") +
           "root0/inf/def-ts.ini: a folder: the application reads the defaults instead\n"
           "    fix:     " +
           removeFix("root0/inf/def-ts.ini", true) +
           "\nroot0/inf/jkn-nmea.ini: saved as UTF-16: the application reads every key of it as "
           "missing (the defaults); save it in code page 932\n"
           "    fix:     " +
           toCp932Fix("root0/inf/jkn-nmea.ini", "UTF-16") + "\n",
       {{"root0/inf/jkn-nmea.ini", "[NMEA]\nGEOVER=\x83\x65\n"}},
       false,
       "mkdir root0/inf/def-ts.ini && ln -s nowhere root0/inf/def-nmea.ini"},
      // A file saved in UTF-8, whose other lines' fixes hold before and after
      // its re-saving, and one in UTF-16 without a byte-order mark.
      {{{"root0/inf/jkn-ts.ini", utf16("[TS]\nVKubun=1\n", false)},
        {kGnss, "[GNSS]\nUserID=測量\nPage=1x\n"}},
       "root0/inf/jkn-gnss.ini: saved as UTF-8, but the application reads code page 932: line 2 "
       "'UserID=測量' reads as 'UserID=貂ｬ驥\\x8F'\n"
       "    fix:     " +
           toCp932Fix(kGnss, "UTF-8") +
           "\nroot0/inf/jkn-gnss.ini:3: the integer rule stops at the first character that is "
           "not a digit: 'x' is ignored\n"
           "    setting: GNSS_Page\n"
           "    fix:     jkn set GNSS_Page 1\n"
           "root0/inf/jkn-ts.ini: saved as UTF-16: the application reads every key of it as "
           "missing (the defaults); save it in code page 932\n"
           "    fix:     " +
           toCp932Fix("root0/inf/jkn-ts.ini", "UTF-16LE") + "\n",
       {{kGnss, "[GNSS]\nUserID=\x91\xaa\x97\xca\nPage=1\n"},
        {"root0/inf/jkn-ts.ini", "[TS]\nVKubun=1\n"}}},
  };
}

// What a finding is about, whatever line it moved to.
std::string identity(const json& f) {
  return f["file"].dump() + f["kind"].dump() + f["section"].dump() + f["key"].dump() +
         f["name"].dump() + f["selector"].dump();
}

// Permutations of 0..n-1: every one up to three fixes (the cases keep fixes
// of one file to three), else the printed order and its reverse.
std::vector<std::vector<size_t>> orders(size_t n) {
  std::vector<size_t> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = i;
  std::vector<std::vector<size_t>> all;
  if (n > 3) return {order, std::vector<size_t>(order.rbegin(), order.rend())};
  do all.push_back(order);
  while (std::next_permutation(order.begin(), order.end()));
  return all;
}

TEST_F(JknCheckFix, FixesHoldInEveryOrderAndAsCheckFixMakesThem) {
  for (const FixCase& c : cases()) {
    prepare(c);
    EXPECT_EQ(sh(kJkn + "check " + c.args), 1);
    EXPECT_EQ(shown(out_, c.full), c.found) << c.setup;
    const json all = findings(c);
    std::vector<json> fixes, choices;
    for (const json& f : all) (f["fix"].is_null() ? choices : fixes).push_back(f);
    // A step for a person: check --fix leaves it.
    const auto byHand = [](const json& f) {
      const json& steps = f["fix"]["steps"];
      return std::any_of(steps.begin(), steps.end(), [](auto& s) { return s.contains("by_hand"); });
    };
    const size_t left = choices.size() + std::count_if(fixes.begin(), fixes.end(), byHand);
    // The fixes that need no choice, in every order: the same bytes, the
    // choices all that is left, every setting they do not name as before.
    std::map<std::string, std::string> fixed;
    for (const std::vector<size_t>& order : orders(fixes.size())) {
      prepare(c);
      const auto before = readings(c.args);
      for (size_t i : order) apply(fixes[i]["fix"], c.byHand);
      expectOthersAsBefore(before, c.args, fixes, c.found.substr(0, 60));
      const auto now = tree();
      if (fixed.empty()) fixed = now;
      EXPECT_EQ(now, fixed) << c.found.substr(0, 60) << " in order "
                            << ::testing::PrintToString(order);
      EXPECT_EQ(findings(c).size(), choices.size()) << out_;
    }
    if (!c.fixed.empty()) {
      std::map<std::string, std::string> expected;
      for (const auto& [path, text] : c.fixed) expected[path] = fileBytes(text);
      EXPECT_EQ(fixed, expected) << c.found.substr(0, 60);
    }
    // check --fix comes to the bytes of the fixes it can make (all but the
    // steps for a person), carried out as printed; it leaves the rest.
    std::map<std::string, std::string> byFix = fixed;
    if (left > choices.size()) {
      prepare(c);
      for (const json& f : fixes) {
        if (!byHand(f)) apply(f["fix"], c.byHand);
      }
      byFix = tree();
    }
    prepare(c);
    EXPECT_EQ(sh(kJkn + "check --fix " + c.args), left == 0 ? 0 : 1) << out_;
    EXPECT_EQ(out_.substr(out_.rfind('\n', out_.size() - 2) + 1),
              std::to_string(all.size() - left) + " fixed, " + std::to_string(left) + " left\n");
    EXPECT_EQ(tree(), byFix) << c.found.substr(0, 60);
    // Each option of each choice, with every other fix: its finding goes.
    for (const json& f : choices) {
      for (const json& option : f["choices"]) {
        prepare(c);
        const auto before = readings(c.args);
        apply(option, c.byHand);
        for (const json& x : fixes) apply(x["fix"], c.byHand);
        std::vector<json> applied = fixes;
        applied.push_back(f);
        expectOthersAsBefore(before, c.args, applied, option["text"]);
        for (const json& left : findings(c))
          EXPECT_NE(identity(left), identity(f)) << option["text"];
      }
    }
  }
}

// The issue's cases as a support engineer meets them: which of two values
// stays is a choice, and either leaves every other setting's line as it was;
// a fix that cannot be made says why, and --fix leaves it; a re-saving that
// cannot succeed fails whole.
TEST_F(JknCheckFix, ChoicesAndFixesThatCannotBeMade) {
  const std::string twice =
      "[GNSS]\nMaskElev=10\nMaskElev=20\nUserID=Taro\nUserID=Jiro\nAddress=Tokyo\n";
  writeBytes(inf("jkn-gnss.ini"), withCrLf(twice));
  const json found = findings(FixCase{});
  ASSERT_EQ(found.size(), 2u) << found;
  EXPECT_EQ(found[0]["choices"][1]["text"],
            "keep 20: jkn set GNSS_MaskElev 20; then delete the line 'MaskElev=20' of [GNSS] from "
            "root0/inf/jkn-gnss.ini");
  EXPECT_EQ(found[1]["choices"][0]["text"],
            "keep \"Taro\" (read now): delete the line 'UserID=Jiro' of [GNSS] from "
            "root0/inf/jkn-gnss.ini");
  for (const bool reverse : {false, true}) {
    writeBytes(inf("jkn-gnss.ini"), withCrLf(twice));
    apply(found[reverse ? 1 : 0]["choices"][reverse ? 0 : 1], "");
    apply(found[reverse ? 0 : 1]["choices"][reverse ? 1 : 0], "");
    EXPECT_EQ(readBytes(inf("jkn-gnss.ini")),
              withCrLf("[GNSS]\nMaskElev=20\nUserID=Taro\nAddress=Tokyo\n"));
  }
  // A read-only file: the finding says so, and --fix leaves it as it is.
  const std::string nmea = withCrLf("[NMEA]\nPort=3x\n");
  writeBytes(inf("jkn-nmea.ini"), nmea);
  makeReadOnly(inf("jkn-nmea.ini"));
  const std::string readOnly =
      "cannot write root0/inf/jkn-nmea.ini: the file is read-only; make it writable (" +
      writableFix("root0/inf/jkn-nmea.ini") + ")";
  run({{"check", 1, "    fix:     jkn set NMEA_Port 3\n    blocked: " + readOnly},
       {"check --fix", 1, "root0/inf/jkn-nmea.ini:2: left: " + readOnly + "\n0 fixed, 1 left\n"}});
  EXPECT_EQ(findings(FixCase{}).back()["blocked"],
            (json{{"file", "root0/inf/jkn-nmea.ini"}, {"status", 4}, {"why", readOnly}}));
  EXPECT_EQ(readBytes(inf("jkn-nmea.ini")), nmea);
  // UTF-16 holding a character code page 932 lacks (beyond U+FFFF, and after
  // a line that leaves no zero bytes to tell UTF-16 by): named, and the
  // re-saving fails whole, leaving the file and nothing beside it.
  sh("rm -f root0/inf/*");
  std::string kana;
  for (int i = 0; i < 31; ++i) kana += "テ";
  const std::string wide =
      utf16(kana + "\n[GNSS]\nUserID=", true) + std::string("\0\xD8\0\xDC\r\0\n\0", 8);  // U+10000
  writeBytes(inf("jkn-gnss.ini"), wide);
  writeBytes(inf("jkn-ts.ini"), "\xFF\xFE");  // a byte-order mark alone
  const std::string lacks = "line 3 holds '𐀀', which code page 932 lacks";
  run({{"check", 1,
        "root0/inf/jkn-gnss.ini: saved as UTF-16: the application reads every key of it as "
        "missing (the defaults); save it in code page 932; " +
            lacks + "\n    fix:     " + toCp932Fix("root0/inf/jkn-gnss.ini", "UTF-16") +
            "\n    blocked: " + lacks +
            ": replace it first\nroot0/inf/jkn-ts.ini: saved as UTF-16: the application reads "
            "every key of it as missing (the defaults); save it in code page 932\n    fix:     " +
            toCp932Fix("root0/inf/jkn-ts.ini", "UTF-16") + "\n2 findings in 2 settings files\n"},
       {"check --fix", 1,
        "root0/inf/jkn-gnss.ini: left: " + lacks +
            ": replace it first\n"
            "root0/inf/jkn-ts.ini: fixed: " +
            toCp932Fix("root0/inf/jkn-ts.ini", "UTF-16") + "\n1 fixed, 1 left\n"}});
  EXPECT_EQ(readBytes(inf("jkn-ts.ini")), "");
  if (!jknOnWindows()) {  // PowerShell is no part of Wine
    EXPECT_NE(sh(toCp932Fix("root0/inf/jkn-gnss.ini", "UTF-16")), 0);
  }
  EXPECT_EQ(listFolder(root(0) + "/inf"), "jkn-gnss.ini\njkn-ts.ini\n");
  EXPECT_EQ(readBytes(inf("jkn-gnss.ini")), wide);
}

// check --json: one shape for a setting (name and selector apart, the value
// read as a number), its place as data, the fix as data beside its text.
TEST_F(JknCheckFix, JsonFindingsAndTheReportsOfFix) {
  writeBytes(inf("jkn-gnss.ini"),
             withCrLf("[GNSS]\nPage=2\nMaskElev=1\nMaskSate=3\nMaskElev_Svy=12abc\nFoo=1\n"));
  run({{"check --json", 1,
        "[\n  {\n    \"blocked\": null,\n    \"choices\": [],\n"
        "    \"file\": \"root0/inf/jkn-gnss.ini\",\n    \"fix\": {\n      \"steps\": [\n"
        "        {\n          \"argv\": [\n            \"jkn\",\n            \"set\",\n"
        "            \"GNSS_MaskElev\",\n            \"svy\",\n            \"12\"\n          ]\n"
        "        }\n      ],\n      \"text\": \"jkn set GNSS_MaskElev svy 12\"\n    },\n"
        "    \"key\": \"MaskElev_Svy\",\n    \"kind\": \"integer\",\n    \"line\": 5,\n"
        "    \"name\": \"GNSS_MaskElev\",\n    \"read\": 12,\n    \"section\": \"GNSS\",\n"
        "    \"selector\": \"svy\",\n    \"stored\": \"MaskElev_Svy=12abc\",\n"
        "    \"why\": \"the integer rule stops at the first character that is not a digit: "
        "'abc' is ignored\"\n  },\n  {\n    \"blocked\": null,\n    \"choices\": [],\n"
        "    \"file\": \"root0/inf/jkn-gnss.ini\",\n    \"fix\": {\n      \"steps\": [\n"
        "        {\n          \"edit\": {\n            \"drop_empty_section\": false,\n"
        "            \"file\": \"root0/inf/jkn-gnss.ini\",\n            \"keep_read\": false,\n"
        "            \"line\": \"Foo=1\",\n            \"op\": \"delete-line\",\n"
        "            \"section\": \"GNSS\"\n          }\n        }\n      ],\n"
        "      \"text\": \"delete the line 'Foo=1' of [GNSS] from root0/inf/jkn-gnss.ini\"\n"
        "    },\n    \"key\": \"Foo\",\n    \"kind\": \"unknown-key\",\n    \"line\": 6,\n"
        "    \"name\": null,\n    \"read\": null,\n    \"section\": \"GNSS\",\n"
        "    \"selector\": null,\n    \"stored\": \"Foo=1\",\n"
        "    \"why\": \"no setting reads key 'Foo' of [GNSS]; the closest setting is GNSS_Page "
        "(key Page)\"\n  }\n]\n"},
       {"check --fix --dry-run", 0,
        "--- root0/inf/jkn-gnss.ini\n+++ root0/inf/jkn-gnss.ini (fixed)\n@@ -2,5 +2,4 @@\n"
        " Page=2\n MaskElev=1\n MaskSate=3\n-MaskElev_Svy=12abc\n-Foo=1\n+MaskElev_Svy=12\n"
        "2 to fix, 0 left (dry run: nothing written)\n"},
       {"check --fix", 0,
        "root0/inf/jkn-gnss.ini:5: fixed: jkn set GNSS_MaskElev svy 12\n"
        "root0/inf/jkn-gnss.ini:6: fixed: delete the line 'Foo=1' of [GNSS] from "
        "root0/inf/jkn-gnss.ini\n2 fixed, 0 left\n"},
       {"check --fix", 0, "no findings in 1 settings file\n"},

       {"check --json --fix", 2, "excludes"}});
  EXPECT_EQ(readBytes(inf("jkn-gnss.ini")),
            withCrLf("[GNSS]\nPage=2\nMaskElev=1\nMaskSate=3\nMaskElev_Svy=12\n"));
  // What a repeated section hides, as data: line, setting, stored, read.
  writeBytes(inf("jkn-gnss.ini"), withCrLf("[GNSS]\nPage=2\n[gnss]\nPage=3\n"));
  EXPECT_EQ(findings(FixCase{})[0]["hides"],
            json::parse(R"([{"line":4,"name":"GNSS_Page","read":2,"selector":null,)"
                        R"("stored":"Page=3"}])"));
  // A whole file's fix in a dry run: what would become of it; clearing what a
  // stopped write left creates no file.
  sh("rm root0/inf/jkn-gnss.ini");
  sh("touch root0/inf/.jkn-gnss.ini.tmp root0/inf/jkn-gnss.ini.new");
  run({{"check --fix --dry-run", 0,
        "would clear what a stopped write left beside root0/inf/jkn-gnss.ini\n"
        "would remove root0/inf/jkn-gnss.ini.new\n2 to fix, 0 left (dry run: nothing written)\n"},
       {"check --fix", 0, "2 fixed, 0 left"}});
  EXPECT_EQ(listFolder(root(0) + "/inf"), "");
}

}  // namespace
}  // namespace trasso::test
