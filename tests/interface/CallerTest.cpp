// What a caller of the C interface meets when something is wrong: misuse
// refused with nothing written, values that would read back otherwise judged
// by one rule at both entry points, a per-thread message that names the
// setting, the value, the file and what to do; and what it can learn: the
// version and every setting described as data.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <limits>
#include <thread>
#include <tuple>

#include "CallNotes.h"
#include "Registry.h"
#include "SettingText.h"
#include "SettingsFileIo.h"
#include "TestRoots.h"
#include "TrassoJknC.h"

namespace trasso::test {
namespace {

class Caller : public RootsTest {};

std::string lastError() {
  std::string text(jkn_last_error(nullptr, 0) + 1, '\0');
  text.resize(jkn_last_error(&text[0], text.size()));
  return text;
}

std::string byName(const char* name, const char* selector = nullptr) {
  char buffer[400];
  size_t length = 0;
  const JknStatus s = jkn_get(name, selector, buffer, sizeof buffer, &length);
  return s == JKN_OK ? std::string(buffer, length) : "status " + std::to_string(s);
}

// The folder of root 0's settings files as messages show it.
std::string infFolder() {
  std::string path = fileio::nativePath(GetQZInf_Path(0));
  path.pop_back();
  return path;
}

// Whether text holds part; both said when not.
testing::AssertionResult holds(const std::string& text, const std::string& part) {
  if (text.find(part) != std::string::npos) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "no '" << part << "' in: " << text;
}

// A text argument as a message shows it: quoted, cut after 40 bytes.
std::string shown(const std::string& text) {
  if (text.size() <= 40) return "\"" + text + "\"";
  return "\"" + text.substr(0, 40) + "\" (" + std::to_string(text.size()) + " bytes)";
}

// The commands messages suggest differ by platform.
#ifdef _WIN32
constexpr char kSep = '\\';
std::string mkdirCommand(const std::string& f) { return "mkdir \"" + f + "\""; }
std::string writableCommand(const std::string& f) { return "attrib -r \"" + f + "\""; }
#else
constexpr char kSep = '/';
std::string mkdirCommand(const std::string& f) { return "mkdir -p '" + f + "'"; }
std::string writableCommand(const std::string& f) { return "chmod u+w '" + f + "'"; }
#endif

// A NULL record, name or buffer and a selector number that names nothing are
// misuse: refused, nothing written, the outputs untouched, and said why.
TEST_F(Caller, MisuseWritesNothingAndSaysWhy) {
  const JknRtkConnectProp record{1, 3, 0, 5, 4800, 2};
  ASSERT_EQ(jkn_PutQZJkn_GNSS_RTKConnectProp(1, &record), JKN_OK);
  const std::string stored = readBytes(inf("jkn-gnss-rtk.ini"));
  char buffer[8] = "keep";
  size_t length = 99;
  const std::string null = "the setting's name is NULL";
  const std::string items = " names no item (0 to 53; 25 is unassigned); nothing written";
  const std::string files = " names no settings file (0 to 17); nothing written";
  const std::pair<std::function<JknStatus()>, std::string> rows[] = {
      {[] { return jkn_PutQZJkn_GNSS_RTKConnectProp(1, nullptr); },
       "PutQZJkn_GNSS_RTKConnectProp: prop is NULL, and the function takes a record there; "
       "nothing written"},
      {[] { return jkn_PutQZJkn_Use(7, -1, 0); }, "PutQZJkn_Use(7, -1, 0): item code -1" + items},
      {[] { return jkn_PutQZJkn_Use(0, 54, 1); }, "PutQZJkn_Use(0, 54, 1): item code 54" + items},
      {[] { return jkn_PutQZJkn_Color(2, 5, 0, 0xFF00); },
       "PutQZJkn_Color(2, 5, 0, 65280): key number 5 names no colour key (0 to 4: MessBak, "
       "MessFor, BtnNorm, BtnPush, FuncBak); nothing written"},
      {[] { return jkn_PutQZJkn_Color(18, 0, 0, 1); },
       "PutQZJkn_Color(18, 0, 0, 1): file id 18" + files},
      {[] { return jkn_PutQZJkn_RecSize(-1, 4); }, "PutQZJkn_RecSize(-1, 4): file id -1" + files},
      {[] { return jkn_set(nullptr, nullptr, "1"); }, null},
      {[] { return jkn_reset(nullptr, "svy"); }, null},
      {[&] { return jkn_get(nullptr, nullptr, buffer, sizeof buffer, &length); }, null},
      {[&] { return jkn_describe(nullptr, buffer, sizeof buffer, &length); }, null},
      {[&] { return jkn_get("GNSS_Page", nullptr, nullptr, 4, &length); },
       "jkn_get: buffer is NULL with capacity 4 (NULL goes with capacity 0)"},
      {[&] { return jkn_describe("GNSS_Page", nullptr, 1, &length); },
       "jkn_describe: buffer is NULL with capacity 1 (NULL goes with capacity 0)"},
  };
  for (const auto& [call, message] : rows) {
    EXPECT_EQ(call(), JKN_MISUSE) << message;
    EXPECT_EQ(lastError(), message);
  }
  EXPECT_EQ(std::string(buffer), "keep");
  EXPECT_EQ(length, 99u);
  EXPECT_EQ(listFolder(inf("")), "jkn-gnss-rtk.ini\n");
  EXPECT_EQ(readBytes(inf("jkn-gnss-rtk.ini")), stored);
  // A call that succeeds keeps the message of the last one that did not.
  EXPECT_EQ(jkn_get("GNSS_Page", nullptr, buffer, sizeof buffer, &length), JKN_OK);
  EXPECT_EQ(lastError(), rows[std::size(rows) - 1].second);
}

// Blanks at either end, enclosing quotes, a text past its read buffer: jkn_set
// refuses them and writes nothing; the setter of the function keeps its write
// and says it reads back altered. A NULL text removes the key at both.
TEST_F(Caller, ValuesThatReadBackOtherwiseAreRefusedByNameAndReportedByFunction) {
  const std::string quotes =
      "a value in one pair of quotes (\"...\" or '...') is read without them";
  const std::string end = "blanks at the end of a value are not read";
  const auto password = jkn_PutQZJkn_GNSS_Password;
  const auto user = jkn_PutQZJkn_GNSS_UserID;
  // Password with a blank at the start: the C consumer's case.
  const std::tuple<std::string, JknStatus (*)(const char*), std::string, std::string, std::string>
      rows[] = {
          {"GNSS_Password", password, "\"secret\"", "secret", quotes},
          {"GNSS_Password", password, "secret\t", "secret", end},
          {"GNSS_Password", password, "'x'", "x", quotes},
          {"GNSS_UserID", user, "\x83 ", "\x83", end},  // a blank is no second byte
          {"GNSS_UserID", user, std::string(99999, 'u'), std::string(259, 'u'),
           "the getter reads at most 259 bytes"},
          {"TS_BtDevAddr", jkn_PutQZJkn_TS_BtDevAddr, "' " + std::string(31, 'a') + "'",
           " " + std::string(30, 'a'), quotes + "; the getter reads at most 31 bytes"},
      };
  for (const auto& [name, put, value, read, why] : rows) {
    SCOPED_TRACE(name + " " + value.substr(0, 12));
    EXPECT_EQ(jkn_set(name.c_str(), nullptr, value.c_str()), JKN_BAD_VALUE);
    EXPECT_TRUE(holds(lastError(), "which would read back as '"));
    EXPECT_TRUE(holds(lastError(), "(" + why + "); nothing written to "));
    EXPECT_EQ(listFolder(inf("")), "");

    EXPECT_EQ(put(value.c_str()), JKN_READS_BACK_ALTERED);
    // The area is the section, the rest of the name the key.
    const std::string section = name.substr(0, name.find('_')),
                      key = name.substr(section.size() + 1);
    const std::string file = section == "TS" ? "def-ts.ini" : "jkn-gnss.ini";
    EXPECT_EQ(readBytes(inf(file)), "[" + section + "]\r\n" + key + "=" + value + "\r\n");
    EXPECT_EQ(byName(name.c_str()), read);
    EXPECT_EQ(lastError().rfind("PutQZJkn_" + name + "(", 0), 0u) << lastError();
    EXPECT_TRUE(holds(lastError(),
                      ": written, but the application reads it back otherwise: " + key + " of [" +
                          section + "] in " + infFolder() + kSep + file + " reads '"));
    EXPECT_TRUE(holds(lastError(), "' (" + why +
                                       "); give a value that reads back as given (jkn describe " +
                                       name + " says what it takes)"));
    EXPECT_EQ(jkn_reset(name.c_str(), nullptr), JKN_OK);
    std::remove(inf(file).c_str());
  }
  // What reads back as given is written and reported done by both.
  for (const std::string& value :
       {std::string(259, 'u'), std::string("a \"b\" c"), std::string("'x"), std::string()}) {
    EXPECT_EQ(jkn_set("GNSS_UserID", nullptr, value.c_str()), JKN_OK);
    EXPECT_EQ(jkn_PutQZJkn_GNSS_UserID(value.c_str()), JKN_OK);
    EXPECT_EQ(readBytes(inf("jkn-gnss.ini")), "[GNSS]\r\nUserID=" + value + "\r\n");
  }
  // One rule for a NULL text: the key goes, by name as by function.
  EXPECT_EQ(jkn_set("GNSS_UserID", nullptr, nullptr), JKN_OK);
  EXPECT_EQ(readBytes(inf("jkn-gnss.ini")), "[GNSS]\r\n");
  EXPECT_EQ(jkn_PutQZJkn_GNSS_Password("p"), JKN_OK);
  EXPECT_EQ(jkn_PutQZJkn_GNSS_Password(nullptr), JKN_OK);
  EXPECT_EQ(readBytes(inf("jkn-gnss.ini")), "[GNSS]\r\n");
  EXPECT_EQ(jkn_set("LogColor", nullptr, nullptr), JKN_NOT_SETTABLE);
}

// Values of each kind that the reader takes otherwise, and some it keeps:
// for every setter, the value read back after its write differs exactly when
// the setter noted it (JKN_READS_BACK_ALTERED of its C function), and jkn_set
// refuses exactly those (or what a validating setter refuses).
TEST_F(Caller, OneRuleJudgesWhatReadsBackForEverySetterAndForJknSet) {
  const auto values = [](const Declaration& d, const ValueLimits& l) -> std::vector<Value> {
    const size_t n = d.bufferSize - 1;
    switch (d.kind) {
      case ValueKind::Text:
        return {std::string(" a"),   std::string("a "),       std::string("'a'"),
                std::string(n, 'x'), std::string(n + 1, 'x'), std::string("\x83 ")};
      case ValueKind::DoubleA:
      case ValueKind::DoubleB:
        return {(l.range ? l.range->max : 1.25) + 1e-12, 1e300, std::nan("")};
      case ValueKind::Colour:
        return {int64_t{0x030201}};
      default:
        break;
    }
    // Only a flag reads a number back otherwise.
    std::vector<Value> out;
    const bool flag = d.kind == ValueKind::Flag;
    for (const int64_t v : flag ? std::vector<int64_t>{0, 1, 2, -1} : std::vector<int64_t>{7}) {
      if (v >= l.minValue && v <= l.maxValue &&
          (!l.range ||
           (static_cast<double>(v) >= l.range->min && static_cast<double>(v) <= l.range->max)))
        out.emplace_back(v);
    }
    return out;
  };
  int judged = 0, altered = 0;
  for (const SettingEntry& e : settingsRegistry()) {
    if (e.put == nullptr) continue;
    std::vector<Selection> each = keySelections(e);
    if (e.selector == SelectorKind::ScreenColour) each = {Selection{4, {}, 1, 2}};
    for (Selection s : each) {
      if (e.selector == SelectorKind::Profile || e.inProfile) s.path = inf("p.ini");
      const Declaration d = declarationOf(e, s);
      for (const Value& v : values(d, limitsOf(e, s))) {
        const bool nan = std::holds_alternative<double>(v) && std::isnan(std::get<double>(v));
        const std::string text = nan ? "nan" : valueText(d, v);
        SCOPED_TRACE(std::string(e.name) + " " + showSelector(e, s) + " = " + text.substr(0, 20));
        const JknStatus named = jkn_set(e.name, showSelector(e, s).c_str(), text.c_str());
        const auto [status, noted] = [&] {
          const CallNotes notes;
          const WriteStatus w = e.put(s, v);
          return std::pair{w, !notes.alterations().empty()};
        }();
        const ReadBack r = readBack(d, v);
        if (succeeded(status)) {
          EXPECT_EQ(noted, !r.why.empty());
          // Integers at the getter's own width; the others as the reader takes them.
          const bool integer = std::holds_alternative<int64_t>(v) && d.kind != ValueKind::Colour;
          EXPECT_EQ(integer ? Value{e.get(s) != v} : e.get(s), integer ? Value{noted} : r.value);
        }
        EXPECT_EQ(named != JKN_OK, noted || !succeeded(status)) << jkn_status_text(named);
        ++judged;
        altered += noted;
      }
    }
  }
  EXPECT_GT(judged, 600);
  EXPECT_GT(altered, 200);
}

// The C header says, above each setter of a text, how many bytes the getter
// reads back (and so where a longer text reads back altered).
TEST(CallerHeader, EveryTextSetterStatesItsLimit) {
  const std::string header = readBytes(TRASSOJKN_C_HEADER);
  int texts = 0;
  for (const SettingEntry& e : settingsRegistry()) {
    const Declaration d = e.decl;
    if (e.put == nullptr || d.kind != ValueKind::Text || e.selector == SelectorKind::Field)
      continue;
    ++texts;
    const size_t at = header.find("jkn_PutQZJkn_" + std::string(e.name) + "(");
    ASSERT_NE(at, std::string::npos) << e.name;
    std::string comment = header.substr(header.rfind("/*", at), at - header.rfind("/*", at));
    for (size_t wrap; (wrap = comment.find("\n *")) != std::string::npos;) comment.erase(wrap, 3);
    EXPECT_TRUE(holds(comment, "up to " + std::to_string(d.bufferSize - 1) + " bytes")) << e.name;
  }
  EXPECT_GT(texts, 15);
}

// Each failure says what was asked, why it was not done and what to do, in
// the thread that asked; a thread of its own starts with no message.
TEST_F(Caller, LastErrorNamesSettingValueFileAndWhatToDoPerThread) {
  const std::string gnss = infFolder() + kSep + "jkn-gnss.ini";
  ASSERT_EQ(jkn_set("GNSS_Page", nullptr, "1"), JKN_OK);
  makeReadOnly(inf("jkn-gnss.ini"));
  const std::string profile = inf("p.ini");
  const std::string readOnly = "cannot write " + gnss +
                               ": the file is read-only; make it writable (" +
                               writableCommand(gnss) + ")";
  const std::string into = "; nothing written to " + gnss + " [GNSS] ";
  JknStatus status = JKN_OK;
  const std::tuple<std::function<JknStatus()>, JknStatus, std::string> rows[] = {
      {[] { return jkn_reset("GNSS_Page", nullptr); }, JKN_READ_ONLY,
       "cannot reset GNSS_Page: " + readOnly},
      {[] { return jkn_PutQZJkn_GNSS_MaskElev(1, 20); }, JKN_READ_ONLY,
       "PutQZJkn_GNSS_MaskElev(1, 20): " + readOnly},
      {[] { return jkn_get("GNSS_Pag", nullptr, nullptr, 0, nullptr); }, JKN_UNKNOWN_SETTING,
       "unknown setting 'GNSS_Pag'; jkn_setting_name lists every setting ('jkn list' shows them)"},
      {[] { return jkn_reset("GNSS_MaskElev", "both"); }, JKN_BAD_SELECTOR,
       "GNSS_MaskElev: 'both' is no selector: it is neither plain (0) nor svy (1); closest: svy"},
      {[] { return jkn_set("GNSS_MaskSate", "svy", "70000"); }, JKN_BAD_VALUE,
       "GNSS_MaskSate takes an integer from 0 to 65535; got '70000'" + into + "MaskSate_Svy"},
      {[] { return jkn_set("GNSS_Address", nullptr, "a\nb"); }, JKN_REFUSED,
       "cannot set GNSS_Address to \"a\\x0Ab\": no value can hold a line break" + into + "Address"},
      {[&] {
         return jkn_PutQZJkn_ZETR_Ang_DispMode(profile.c_str(), 4, &status) ? JKN_OK : status;
       },
       JKN_OUT_OF_RANGE,
       "PutQZJkn_ZETR_Ang_DispMode(" + shown(profile) +
           ", 4): a value outside what the setter takes (ZETR_Ang_DispMode: an integer from 1 to "
           "3); nothing written"},
      {[] { return jkn_set("LogColor", nullptr, "1,2,3"); }, JKN_NOT_SETTABLE,
       "LogColor is read-only: the library has no setter for it"},
  };
  for (const auto& [call, want, message] : rows) {
    EXPECT_EQ(call(), want) << message;
    EXPECT_EQ(lastError(), message);
  }
  setEnv("KORVEL_APPDATA_0", root(0) + "/missing");
  const std::string missing = infFolder();
  const std::string because =
      ": folder " + missing + " does not exist; create it first (" + mkdirCommand(missing) + ")";
  EXPECT_EQ(jkn_set("GNSS_MaskElev", "svy", "20"), JKN_FOLDER_MISSING);
  EXPECT_EQ(lastError(), "cannot set GNSS_MaskElev svy to \"20\"" + because);

  std::string other;
  std::thread([&] {
    other = lastError();
    EXPECT_EQ(jkn_PutQZJkn_GNSS_Page(3), JKN_FOLDER_MISSING);
    other += "|" + lastError();
  }).join();
  EXPECT_EQ(other, "|PutQZJkn_GNSS_Page(3)" + because);
  EXPECT_EQ(lastError(), "cannot set GNSS_MaskElev svy to \"20\"" + because);
  // snprintf-like: cut to the capacity, the full length returned.
  char cut[8];
  EXPECT_EQ(jkn_last_error(cut, sizeof cut), lastError().size());
  EXPECT_EQ(std::string(cut), lastError().substr(0, 7));
}

// The version is the project's, in the macros and the library alike; a
// setting described is one JSON object with everything the registry knows.
TEST_F(Caller, VersionAndDescribe) {
  EXPECT_STREQ(jkn_version(), TRASSOJKN_VERSION);  // the C consumer compares the macros

  std::string path = infFolder() + kSep + "jkn-gnss.ini";
  for (size_t i = 0; (i = path.find('\\', i)) != std::string::npos; i += 2) path.insert(i, "\\");
  const std::string key = R"(
    {
      "selector": "%s",
      "file": "jkn-gnss.ini",
      "section": "GNSS",
      "key": "%s",
      "default": 15
    })";
  const auto keyOf = [&](const char* selector, const char* name) {
    std::string k = key;
    k.replace(k.find("%s"), 2, selector);
    return k.replace(k.find("%s"), 2, name);
  };
  const std::string described = R"json({
  "name": "GNSS_MaskElev",
  "area": "GNSS",
  "getter": "GetQZJkn_GNSS_MaskElev",
  "setter": "PutQZJkn_GNSS_MaskElev",
  "kind": "integer",
  "type": "int32",
  "default": 15,
  "range": {
    "min": -2147483648,
    "max": 2147483647
  },
  "validated": false,
  "accepts": "an integer from -2147483648 to 2147483647",
  "selector": {
    "kind": "mode",
    "forms": [
      "plain",
      "svy"
    ],
    "default": "plain",
    "text": "mode: plain (0, the default) or svy (1, the key with \"_Svy\")"
  },
  "file": "jkn-gnss.ini",
  "root": 0,
  "path": ")json" + path + R"json(",
  "section": "GNSS",
  "keys": [)json" + keyOf("plain", "MaskElev") +
                                "," + keyOf("svy", "MaskElev_Svy") + R"json(
  ],
  "writes_also": [],
  "same_key_as": null,
  "description": "\"MaskElev[_Svy]\", 15"
})json";
  size_t length = 0;
  char small[10];
  EXPECT_EQ(jkn_describe("gnss_maskelev", small, sizeof small, &length), JKN_OK);
  EXPECT_EQ(length, described.size());
  EXPECT_EQ(std::string(small), described.substr(0, 9));
  std::string json(length + 1, '\0');
  EXPECT_EQ(jkn_describe("GNSS_MaskElev", &json[0], json.size(), nullptr), JKN_OK);
  EXPECT_EQ(json.c_str(), described);

  // Code page 932 texts as \u escapes; bytes no encoding knows as hex.
  const auto describe = [](const char* name) {
    std::string out(20000, '\0');
    size_t n = 0;
    EXPECT_EQ(jkn_describe(name, &out[0], out.size(), &n), JKN_OK);
    out.resize(n);
    return out;
  };
  EXPECT_TRUE(holds(describe("TS_Psm"),
                    "\"default\": \"-000mm\\uff1a(\\u540d\\u524d\\u6307\\u5b9a\\u306a\\u3057)\""));
  EXPECT_TRUE(holds(describe("TS_AutoLoad"), "\"writes_also\": [\n    \"AutoLoadKno=0, "));
  const std::string record = describe("GNSS_RTKConnectProp");
  EXPECT_TRUE(holds(record, "\"kind\": \"record\""));
  EXPECT_TRUE(holds(
      record, "with that field changed: Radio, Hosei, FlowCTS, PortNo, BaudRate, Parity\"\n  ]"));
#ifndef _WIN32
  std::filesystem::create_directories(root(0) + "/\xff/inf");
  setEnv("KORVEL_APPDATA_0", root(0) + "/\xff");
  const std::string hex = describe("GNSS_Page");
  EXPECT_TRUE(holds(hex, "\"path\": {\n    \"hex\": \""));
#endif
  EXPECT_EQ(jkn_describe("GNSS_Pag", small, sizeof small, &length), JKN_UNKNOWN_SETTING);
}

}  // namespace
}  // namespace trasso::test
