// jkn check's fixes are operations. Each case's fixes, carried out as their
// data says (jkn commands and shell commands as given, edits by their anchors),
// alone and all together in every order, leave the same bytes whatever the
// order, the same as check --fix leaves, nothing check still finds but the
// choices, and every setting no applied fix names reading as before; each
// option of a choice mends its finding.
#include <algorithm>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
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
  std::string title;
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
    if (s >= 0 && n == 0 && e.value("drop_empty_section", false))
      gone.emplace_back(lines[s].begin, sectionEnd(s));
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
        if (e.selector == SelectorKind::Profile || e.inProfile)
          s.path = base() + f["file"].get<std::string>();
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
        for (size_t i = 1; i < argv.size(); ++i) line += " " + shellWord(argv[i]);
        if (argv[0] == "jkn") {
          EXPECT_EQ(sh(kJkn + line), 0) << fix << ": " << out_;
        } else {
          EXPECT_EQ(jknOnWindows() ? cmd(line.substr(1)) : sh(line), 0) << fix << ": " << out_;
        }
      } else if (step.contains("edit")) {
        const json& e = step["edit"];
        const std::string path = base() + e["file"].get<std::string>();
        if (e["op"] == "re-encode") {
          EXPECT_EQ(sh("iconv -f " + e["from"].get<std::string>() + " -t CP932 " + shellWord(path) +
                       " >new && mv new " + shellWord(path)),
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

// A file's lines in a case, "\xNN" for a byte.
std::string caseBytes(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool hex = text.compare(i, 2, "\\x") == 0 && i + 3 < text.size();
    out += hex ? static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16)) : text[i];
    i += hex ? 3 : 0;
  }
  return out;
}

// check's output in a case: the lines marked {posix} there only, the commands
// of fixes in the shell of the jkn under test.
std::string caseFound(const std::string& text) {
  std::istringstream in(text);
  std::string lines, out;
  for (std::string line; std::getline(in, line);) {
    const bool posix = line.rfind("{posix}", 0) == 0;
    if (!(posix && jknOnWindows())) lines += line.substr(posix ? 7 : 0) + "\n";
  }
  static const std::regex command(R"(\{(word|rm|rmdir|mv|cp932) (([^ }]*) ?([^}]*))\})");
  std::smatch m;
  for (; std::regex_search(lines, m, command); lines = m.suffix()) {
    const std::string op = m[1], arg = m[2], first = m[3], second = m[4];
    out += m.prefix().str() + (op == "word"    ? shellWord(arg)
                               : op == "mv"    ? moveFix(first, second)
                               : op == "cp932" ? toCp932Fix(first, second)
                                               : removeFix(arg, op == "rmdir"));
  }
  return out + lines;
}

// The cases of check_fix_cases.txt (its head tells their form).
std::vector<FixCase> cases() {
  std::ifstream in(CHECK_FIX_CASES, std::ios::binary);
  std::vector<FixCase> all;
  std::string* body = nullptr;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("== ", 0) == 0) {
      all.emplace_back().title = line.substr(3);
      body = nullptr;
    } else if (line.rfind("-- ", 0) == 0) {
      FixCase& c = all.back();
      const std::string block = line.substr(3), word = block.substr(0, block.find(' ')),
                        path = block.substr(block.find(' ') + 1);
      c.full |= block == "full";
      body = block == "found"     ? &c.found
             : block == "setup"   ? &c.setup
             : block == "by-hand" ? &c.byHand
             : block == "args"    ? &c.args
             : word == "fixed"    ? &c.fixed.emplace_back(path, "").second
             : block == "full"    ? nullptr
                                  : &c.files.emplace_back(block, "").second;
    } else if (body != nullptr) {
      *body += line + "\n";
    }
  }
  for (FixCase& c : all) {
    for (std::string* one : {&c.setup, &c.byHand, &c.args}) {
      if (!one->empty()) one->pop_back();
    }
    c.found = caseFound(c.found);
    for (auto& [path, text] : c.files) {
      const bool utf16Text = path.rfind("utf16", 0) == 0, bom = path.rfind("utf16-bom ", 0) == 0;
      text = utf16Text ? utf16(text, bom) : caseBytes(text);
      if (utf16Text) path.erase(0, path.find(' ') + 1);
    }
    for (auto& file : c.fixed) file.second = caseBytes(file.second);
  }
  return all;
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
    EXPECT_EQ(shown(out_, c.full), c.found) << c.title;
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
      expectOthersAsBefore(before, c.args, fixes, c.title);
      const auto now = tree();
      if (fixed.empty()) fixed = now;
      EXPECT_EQ(now, fixed) << c.title << " in order " << ::testing::PrintToString(order);
      EXPECT_EQ(findings(c).size(), choices.size()) << out_;
    }
    if (!c.fixed.empty()) {
      std::map<std::string, std::string> expected;
      for (const auto& [path, text] : c.fixed) expected[path] = fileBytes(text);
      EXPECT_EQ(fixed, expected) << c.title;
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
    EXPECT_EQ(tree(), byFix) << c.title;
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
  run({{"check --json", 1, document(R"j([
{"blocked":null,"choices":[],"file":"root0/inf/jkn-gnss.ini","fix":{"steps":[{"argv":["jkn","set",
"GNSS_MaskElev","svy","12"]}],"text":"jkn set GNSS_MaskElev svy 12"},"key":"MaskElev_Svy",
"kind":"integer","line":5,"name":"GNSS_MaskElev","read":12,"section":"GNSS","selector":"svy",
"stored":"MaskElev_Svy=12abc",
"why":"the integer rule stops at the first character that is not a digit: 'abc' is ignored"},
{"blocked":null,"choices":[],"file":"root0/inf/jkn-gnss.ini","fix":{"steps":[{"edit":{
"drop_empty_section":false,"file":"root0/inf/jkn-gnss.ini","keep_read":false,"line":"Foo=1",
"op":"delete-line","section":"GNSS"}}],
"text":"delete the line 'Foo=1' of [GNSS] from root0/inf/jkn-gnss.ini"},"key":"Foo",
"kind":"unknown-key","line":6,"name":null,"read":null,"section":"GNSS","selector":null,
"stored":"Foo=1",
"why":"no setting reads key 'Foo' of [GNSS]; the closest setting is GNSS_Page (key Page)"}])j")},
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
