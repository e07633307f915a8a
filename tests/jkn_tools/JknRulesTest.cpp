// The rules that tie jkn's commands together, walked over every key of the
// registry: what dump writes load takes back, what load would refuse check
// reports, what set refuses nothing touches. Then check, dump and load on
// broken files, held against the getters themselves.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <set>

#include "Ini.h"
#include "JknFixture.h"
#include "SettingText.h"
#include "SettingsFileIo.h"
#include "SettingsValues.h"
#include "StoreFacts.h"
#include "cli/Stored.h"
#include "cli/Values.h"

namespace trasso::test {
namespace {

using nlohmann::json;

// One key of the registry: an entry at one selection.
struct Slot {
  const SettingEntry* e;
  Selection s;
  Declaration d;
  std::string path;  // native, as this process reaches it
  std::string key;
  std::string id;     // the file, section and key as the reader tells keys apart
  std::string title;  // as jkn names it: "NAME" or "NAME SELECTOR"
  Value def;          // what the getter gives on empty roots (walked slots)
};

std::string idOf(const std::string& path, std::string_view section, std::string_view key) {
  return path + "\n" + ini::foldedName(section) + "\n" + ini::foldedName(key);
}

Slot slotOf(const SettingEntry& e, const Selection& s) {
  const Declaration d = declarationOf(e, s);
  const std::string path = fileio::nativePath(pathOf(e, s));
  const std::string key = keyOf(e, s);
  std::string title = e.name;
  if (e.selector != SelectorKind::None && e.selector != SelectorKind::Profile)
    title += " " + showSelector(e, s);
  return Slot{&e, s, d, path, key, idOf(path, d.key.section, key), title, Value{}};
}

// The selections walked: every key an overview lists on empty roots; the
// numbered families (listed only once stored) at entries 0, 1 and 7; the
// screen colours, each key in one of the display files.
std::vector<Selection> walked(const SettingEntry& e) {
  std::vector<Selection> out;
  if (e.selector == SelectorKind::Entry || e.selector == SelectorKind::CallerDefault) {
    for (const int n : {0, 1, 7}) out.emplace_back().number = n;
  } else if (e.selector == SelectorKind::ScreenColour) {
    int which = 0;
    for (int id = 0; SettingsFileName(id) != nullptr; ++id) {
      if (std::strncmp(SettingsFileName(id), "disp-", 5) != 0) continue;
      Selection& s = out.emplace_back();
      s.number = id;
      s.which = which % 5;
      s.section = which++;
    }
  } else {
    out = keySelections(e);
  }
  return out;
}

// A double as a setter with `decimals` writes it, kept inside [lo, hi].
double withDecimals(double v, int decimals, double lo, double hi) {
  char text[400];
  const double step = std::pow(10.0, -decimals);
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  const double x = std::strtod(text, nullptr);
  if (x > hi) std::snprintf(text, sizeof text, "%.*f", decimals, x - step);
  if (x < lo) std::snprintf(text, sizeof text, "%.*f", decimals, x + step);
  return std::strtod(text, nullptr);
}

std::string fixed(double v, int decimals) {
  char text[400];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

// A text of exactly n bytes in code page 932: double-byte characters whose
// second byte is '\' or a letter, a full-width space, half-width kana, '[' and
// '='. With `odd`, also a byte that is no code page 932 text (it travels as hex).
std::string cp932Text(size_t n, bool odd) {
  static const char* const units[] = {"\x83\x5C", "\x83\x41", "\x81\x40", "\xB1",
                                      "[",        "\x83\x61", "=",        "\x95\x5C"};
  std::string t = odd ? "\x83\x5C\x80" : "";
  for (size_t i = 0; t.size() + std::strlen(units[i % 8]) < n; ++i) t += units[i % 8];
  t.resize(n, 'z');
  return t;
}

// Values the setter takes, best first (rotated by n so that the registry
// meets each): the edges of its width or range, a text filling the read
// buffer, doubles with the declared decimals, colours with one-digit parts.
std::vector<Value> settableValues(const Slot& x, size_t n) {
  const ValueLimits l = limitsOf(*x.e, x.s);
  std::vector<Value> c;
  switch (x.d.kind) {
    case ValueKind::Text:
      c = {cp932Text(x.d.bufferSize - 1, n % 2 == 1)};
      break;
    case ValueKind::Colour:
      c = {int64_t{0xFF0005}, int64_t{0x00FF00}, int64_t{0x0A0B0C}};
      break;
    case ValueKind::DoubleA:
    case ValueKind::DoubleB: {
      const double lo = l.range ? l.range->min : -1e6, hi = l.range ? l.range->max : 1e6;
      for (const double v : {hi, lo, lo + (hi - lo) * 0.123456789})
        c.push_back(withDecimals(v, x.d.decimals, lo, hi));
      break;
    }
    default:
      if (takesFlag(*x.e, x.d)) {
        c = {int64_t{0}, int64_t{1}};
      } else {
        const int64_t lo = l.range ? static_cast<int64_t>(l.range->min) : l.minValue;
        const int64_t hi = l.range ? static_cast<int64_t>(l.range->max) : l.maxValue;
        c = {hi, lo, hi - 1, lo + 1};
      }
  }
  std::rotate(c.begin(), c.begin() + static_cast<long>(n % c.size()), c.end());
  return c;
}

// Stored texts no setter of the key writes: numbers beyond the width or range,
// a flag's 2, doubles that are no finite number, colours and texts past their
// buffer or of odd bytes.
std::vector<std::string> unsettableTexts(const Slot& x) {
  const ValueLimits l = limitsOf(*x.e, x.s);
  std::vector<std::string> t;
  switch (x.d.kind) {
    case ValueKind::Text:
      return {std::string(x.d.bufferSize + 5, 'x'), "\x80\xFF", "\"a\""};
    case ValueKind::Colour:
      return {"300,-1,256", "1,2", "x"};
    case ValueKind::DoubleA:
    case ValueKind::DoubleB:
      t = {"nan", "1e999", "-inf"};
      if (l.range) {
        const double step = std::pow(10.0, -x.d.decimals);
        t.push_back(fixed(l.range->max + step, x.d.decimals));
        t.push_back(fixed(l.range->min - step, x.d.decimals));
      }
      return t;
    default:
      t = {"2", "-1", "4294967296"};
      if (l.range) {
        t.push_back(std::to_string(static_cast<int64_t>(l.range->max) + 1));
        t.push_back(std::to_string(static_cast<int64_t>(l.range->min) - 1));
      }
      t.push_back(std::to_string(l.maxValue + 1));
      return t;
  }
}

// Value texts set refuses, as a user types them: one beyond the width or
// range, a flag's 2, no number, a text one byte too long, with a line break or
// outside code page 932, a colour with a piece missing or too large.
std::vector<std::string> refusedTexts(const Slot& x) {
  const ValueLimits l = limitsOf(*x.e, x.s);
  std::vector<std::string> t;
  switch (x.d.kind) {
    case ValueKind::Text:
      return {"あ" + std::string(x.d.bufferSize - 2, 'x'), "a\nb", "😀"};
    case ValueKind::Colour:
      return {"256,0,0", "1,2", "-1,0,0", "1,2,3,4"};
    case ValueKind::DoubleA:
    case ValueKind::DoubleB:
      t = {"nan", "1e999", "1,5"};
      if (l.range) {
        const double step = std::pow(10.0, -x.d.decimals);
        t.push_back(fixed(l.range->max + step, x.d.decimals));
        t.push_back(fixed(l.range->min - step, x.d.decimals));
      }
      return t;
    default:
      if (takesFlag(*x.e, x.d)) return {"2", "-1", "1x"};
      t = {std::to_string(l.maxValue + 1), std::to_string(l.minValue - 1), "1x", "0x10"};
      if (l.range) {
        t.push_back(std::to_string(static_cast<int64_t>(l.range->max) + 1));
        t.push_back(std::to_string(static_cast<int64_t>(l.range->min) - 1));
      }
      return t;
  }
}

// The slot as set and reset take it: the name, and its selector or profile.
std::string words(const Slot& x) {
  if (x.e->selector == SelectorKind::None) return x.e->name;
  return x.e->name +
         (" " +
          posixWord(x.e->selector == SelectorKind::Profile ? x.s.path : showSelector(*x.e, x.s)));
}

// A section or key name of a dump: UTF-8 for code page 932, or its bytes in hex.
std::optional<std::string> nameBytes(const json& name) {
  return name.is_object() ? jkn::fromHex(name["hex"]) : jkn::toCp932(name);
}

// The setting a finding of check --json names, as jkn names it: NAME [SELECTOR].
std::string titleOf(const json& finding) {
  return finding["name"].get<std::string>() +
         (finding["selector"].is_string() ? " " + finding["selector"].get<std::string>() : "");
}

class JknRules : public JknTest {
 protected:
  // Every key once. An entry that names another as the one of its key is
  // walked as that one.
  void SetUp() override {
    JknTest::SetUp();
    std::set<std::string> seen;
    for (const SettingEntry& e : settingsRegistry()) {
      if (e.sameKeyAs != nullptr) continue;
      for (const Selection& s : walked(e)) {
        Slot x = slotOf(e, s);
        x.def = e.get(s);
        if (!x.key.empty() && seen.insert(x.id).second) slots_.push_back(std::move(x));
      }
    }
    for (const Slot& x : slots_) byId_[x.id] = &x;
  }

  // The folder of the roots, where jkn runs; paths jkn prints are relative to it.
  std::string base() const { return root(0).substr(0, root(0).size() - 5); }
  std::string shown(const std::string& native) const { return native.substr(base().size()); }
  std::string placeOf(const json& j) const {
    if (j.contains("profile")) return base() + j["profile"].get<std::string>();
    return j.contains("file") ? inf(j["file"], j["root"]) : std::string();
  }

  // The setting jkn names: NAME [SELECTOR], a profile's settings and fields
  // at `path`.
  std::optional<Slot> setting(const std::string& title, const std::string& path) const {
    const size_t space = title.find(' ');
    const SettingEntry* e = findSetting(title.substr(0, space));
    if (e == nullptr) return std::nullopt;
    Selection s;
    if (e->selector != SelectorKind::Profile) {
      s = parseSelector(
          *e, space == std::string::npos ? std::nullopt : std::optional(title.substr(space + 1)));
    }
    if (e->selector == SelectorKind::Profile || e->inProfile) s.path = path;
    return slotOf(*e, s);
  }
  std::optional<Slot> setting(const json& entry) const {
    const std::string name = entry["name"];
    return setting(
        entry.contains("selector") ? name + " " + entry["selector"].get<std::string>() : name,
        placeOf(entry));
  }
  // The same as a walked slot; null for a key not walked.
  const Slot* walkedSlot(const std::optional<Slot>& x) const {
    const auto it = x ? byId_.find(x->id) : byId_.end();
    return it == byId_.end() ? nullptr : it->second;
  }
  const Slot* named(const std::string& title, const std::string& path) const {
    return walkedSlot(setting(title, path));
  }
  const Slot* named(const json& entry) const { return walkedSlot(setting(entry)); }

  // Stores a value other than the default at every settable slot (setters that
  // write beside their key first); returns how many there are.
  size_t storeEverySlot() {
    std::vector<const Slot*> order;
    for (const Slot& x : slots_) {
      if (x.e->put != nullptr) order.push_back(&x);
    }
    std::stable_partition(order.begin(), order.end(),
                          [](const Slot* x) { return x->e->alsoWrites != nullptr; });
    for (size_t n = 0; n < order.size(); ++n) {
      const Slot& x = *order[n];
      bool differs = false;
      for (const Value& v : settableValues(x, n)) {
        EXPECT_EQ(x.e->put(x.s, v), kWritten) << x.title;
        if ((differs = x.e->get(x.s) != x.def)) break;
      }
      EXPECT_TRUE(differs) << x.title << " reads its default after every value";
    }
    return order.size();
  }

  json runJson(const std::string& args, int status) {
    EXPECT_EQ(sh(kJkn + args + " >doc.json"), status) << args << ": " << out_;
    return json::parse(output("doc.json"));
  }

  // The numbers of the entries load --dry-run --skip-refused refuses, each with why.
  std::vector<std::pair<size_t, std::string>> refusedEntries(const std::string& document) {
    sh(kJkn + "load --dry-run --skip-refused " + document);
    std::vector<std::pair<size_t, std::string>> out;
    for (size_t at = 0; (at = out_.find("jkn: entry ", at)) != std::string::npos;) {
      const size_t number = std::stoul(out_.substr(at += 11));
      out.emplace_back(number, out_.substr(at, out_.find('\n', at) - at));
    }
    return out;
  }

  std::vector<Slot> slots_;
  std::map<std::string, const Slot*> byId_;
};

// Every settable key holds a value other than its default, as its setter
// wrote it: check explains nothing but the bytes of no code page 932 text,
// dump carries every key by name, and load puts the very bytes back into
// empty roots.
TEST_F(JknRules, LoadTakesBackWhatDumpWritesByteForByte) {
  const size_t settable = storeEverySlot();
  const std::string files = snapshot();
  for (const json& f : runJson("check --json", 1)) {
    EXPECT_EQ(f["kind"], "code-page") << f;
    EXPECT_NE(f["stored"]["hex"].get<std::string>().find("80"), std::string::npos) << f;
  }
  const json doc = runJson("dump --json", 0);
  std::set<const Slot*> dumped;
  for (const json& j : doc["settings"]) {
    EXPECT_TRUE(j.contains("name") && dumped.insert(named(j)).second) << j;
  }
  dumped.erase(nullptr);
  EXPECT_EQ(dumped.size(), settable);
  sh("cp doc.json dump.json && rm -r root0/inf/* root1/inf/*");
  run({{"load dump.json", 0, " changed, 0 unchanged"}});
  EXPECT_EQ(snapshot(), files);
  run({{"dump --json", 0, readBytes(base() + "dump.json")}});
}

// Every key the library reads check knows where it belongs: each key a
// function outside the registry reads (both keys of a mode or side, a
// numbered one's entry 1) where it reads it, and the catalogues as delivered
// and merged, are no key of no setting nor of another file.
TEST_F(JknRules, CheckKnowsTheKeysOutsideTheRegistry) {
  for (const facts::OtherKey& k : facts::keysOutsideRegistry()) {
    for (const int selector : {0, 1}) {
      const std::string key = k.numbered ? std::string(k.key.name) + "1"
                                         : std::string(KeyName(k.key, selector).c_str());
      EXPECT_TRUE(
          succeeded(writeText(SettingsFilePath(k.key.file), k.key.section, key.c_str(), "1")))
          << k.function;
    }
  }
  sh("cp " SAMPLE_DATA "/*.ini root1/inf && " + kJkn + "antenna init");
  std::string placed;
  for (const json& f : runJson("check --json", 1)) {
    if (f["kind"] != "integer" && f["kind"] != "colour" && f["kind"] != "range") placed += f.dump();
  }
  EXPECT_EQ(placed, "");
}

// Writes each slot's key=text, grouped by file and section; returns the line
// each key stands on.
std::map<const Slot*, size_t> writeKeys(std::vector<std::pair<const Slot*, std::string>> keys) {
  std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) {
    return std::make_pair(a.first->path, std::string(a.first->d.key.section)) <
           std::make_pair(b.first->path, std::string(b.first->d.key.section));
  });
  std::map<std::string, std::string> files;
  std::map<const Slot*, size_t> lines;
  std::string section;
  size_t line = 0;
  for (const auto& [x, text] : keys) {
    std::string& bytes = files[x->path];
    if (bytes.empty()) line = 0;
    if (bytes.empty() || section != x->d.key.section) {
      section = x->d.key.section;
      bytes += "[" + section + "]\r\n";
      ++line;
    }
    bytes += x->key + "=" + text + "\r\n";
    lines[x] = ++line;
  }
  for (const auto& [path, bytes] : files) writeBytes(path, bytes);
  return lines;
}

// Every key in turn holds texts no setter writes. Whatever of that load
// refuses once dump has carried it (load --dry-run says which), check reports
// at its file, line and setting: a clean check promises a dump that loads.
TEST_F(JknRules, CheckReportsWhatLoadWouldRefuse) {
  std::set<const Slot*> refusedOnce;
  size_t rounds = 0;
  for (const Slot& x : slots_) rounds = std::max(rounds, unsettableTexts(x).size());
  for (size_t round = 0; round < rounds; ++round) {
    std::vector<std::pair<const Slot*, std::string>> keys;
    for (const Slot& x : slots_) {
      const std::vector<std::string> texts = unsettableTexts(x);
      if (round < texts.size()) keys.emplace_back(&x, texts[round]);
    }
    sh("rm -rf root0/inf/* root1/inf/*");
    const std::map<const Slot*, size_t> lines = writeKeys(keys);
    const json doc = runJson("dump --json", 0);
    sh("cp doc.json dump.json");
    const json findings = runJson("check --json", 1);
    for (const auto& [number, why] : refusedEntries("dump.json")) {
      const Slot* x = named(doc["settings"].at(number - 1));
      ASSERT_NE(x, nullptr) << why;
      refusedOnce.insert(x);
      const bool reported = std::any_of(findings.begin(), findings.end(), [&](const json& f) {
        return f["file"] == shown(x->path) && f["line"] == lines.at(x) && !f["name"].is_null() &&
               named(titleOf(f), x->path) == x;
      });
      EXPECT_TRUE(reported) << x->title << " = '" << unsettableTexts(*x)[round]
                            << "': no finding, yet load says " << why;
    }
  }
  // Not vacuous: a value outside a validating setter's range is refused.
  for (const Slot& x : slots_) {
    if (limitsOf(*x.e, x.s).range && x.e->put != nullptr) {
      EXPECT_EQ(refusedOnce.count(&x), 1u) << x.title;
    }
  }
}

// set refuses a value outside a setting's kind, width or range and every value
// of a read-only setting; reset refuses a read-only setting; both refuse a
// selector the setting does not have. None of them changes a byte. Refusals
// follow from what a setting takes: each refused text of each kind of value is
// tried once, at the settings of that kind in turn.
TEST_F(JknRules, WhatSetRefusesNothingTouches) {
  std::vector<std::pair<const Slot*, std::string>> keys;
  for (const Slot& x : slots_) keys.emplace_back(&x, storedText(x.d, settableValues(x, 0)[0]));
  writeKeys(keys);
  const std::string files = snapshot();
  std::string script, expected;
  auto expect = [&](const std::string& label, const std::string& args, int status) {
    script += kJkn + args + " >/dev/null 2>&1; echo \"" + label + " $?\"\n";
    expected += label + " " + std::to_string(status) + "\n";
  };
  std::map<std::string, size_t> tried;  // refused texts tried, by what a setting takes
  std::set<const SettingEntry*> readOnly;
  std::set<SelectorKind> selectors;
  for (const Slot& x : slots_) {
    const std::string name = x.e->name;
    if (x.e->put == nullptr) {
      if (readOnly.insert(x.e).second) {
        expect(x.title + " set", "set " + words(x) + " 1", 1);
        expect(x.title + " reset", "reset " + words(x), 1);
      }
    } else {
      const std::vector<std::string> texts = refusedTexts(x);
      size_t& n = tried[std::to_string(static_cast<int>(x.d.kind)) + acceptedValues(*x.e, x.d)];
      if (n < texts.size()) {
        expect(x.title + " set #" + std::to_string(n),
               "set " + words(x) + " " + posixWord(texts[n]), 1);
        ++n;
      }
    }
    if (!selectors.insert(x.e->selector).second) continue;
    // A selector the setting does not have (the first of a few that its
    // selector refuses); a profile in a folder that does not exist.
    std::string bad;
    int status = 2;
    if (x.e->selector == SelectorKind::Profile) {
      bad = "nowhere/p.ini";
      status = x.e->put == nullptr ? 1 : 3;
    }
    for (const std::string& word : {std::string("1"), std::string("2"), std::string("x1"),
                                    std::to_string(x.e->listed), std::string("25")}) {
      try {
        if (bad.empty()) parseSelector(*x.e, word);
      } catch (const Refusal&) {
        bad = word;
      }
    }
    if (bad.empty()) {
      ADD_FAILURE() << name << " takes every selector tried";
      continue;
    }
    expect(name + " reset " + bad, "reset " + name + " " + bad, status);
  }
  EXPECT_EQ(sh(script), 0);
  EXPECT_EQ(out_, expected);
  EXPECT_EQ(snapshot(), files);
}

// What jkn writes and prints of a value, set takes back: for every setting and
// each kind of value it takes, at a key holding a value its setter wrote, the
// text stored in the file ("%3d" colours, fixed decimals), the selector and
// value list --json gives and the shortest text get prints of a double (the
// others print as list does), each set again, leave every byte as it was.
TEST_F(JknRules, SetTakesBackWhatJknWritesAndPrints) {
  storeEverySlot();
  // Forms of their own: an unsigned setter over a signed key stores its widest
  // value as -1, some setters the default as an empty value.
  for (const Slot& x : slots_) {
    const int64_t widest = limitsOf(*x.e, x.s).maxValue;
    if (x.d.kind == ValueKind::Int && widest > INT32_MAX) {
      EXPECT_EQ(x.e->put(x.s, widest), kWritten) << x.title;
    }
    if (x.d.emptyForDefault) {
      EXPECT_EQ(x.e->put(x.s, x.d.def), kWritten) << x.title;
    }
  }
  const std::string files = snapshot();
  // No bytes of no text come as an argument on Windows: a document brings them.
  const auto settable = [](const SettingEntry* e, bool raw) {
    return e->put != nullptr && !(raw && jknOnWindows());
  };
  std::string script;
  std::set<std::string> tried;  // setting and kind of value
  for (const Slot& x : slots_) {
    const Value v = x.e->get(x.s);
    const bool raw = x.d.kind == ValueKind::Text && !jkn::isShowableCp932(std::get<std::string>(v));
    const std::string kind = std::to_string(static_cast<int>(x.d.kind)) + (raw ? " raw " : " ") +
                             acceptedValues(*x.e, x.d);
    if (!settable(x.e, raw) || !tried.insert(x.e->name + kind).second) continue;
    const std::string args = (raw ? "--raw " : "") + words(x);
    const std::string stored = *readRaw(x.path, x.d.key.section, x.key.c_str());
    script += kJkn + "set " + args + " " + posixWord(raw ? stored : jkn::toUtf8(stored)) +
              " >/dev/null || echo " + posixWord("stored " + x.title + ": " + stored) + "\n";
    if (x.d.kind == ValueKind::DoubleA || x.d.kind == ValueKind::DoubleB) {
      script += "v=$(" + kJkn + "get " + args + ") && " + kJkn + "set " + args +
                " \"$v\" >/dev/null || echo \"get " + x.title + ": $v\"\n";
    }
  }
  for (const json& j : runJson("list --json", 0)) {
    const json& v = j["value"];
    const SettingEntry* e = findSetting(j["name"].get<std::string>());
    // A second name of a key is walked as the first (its setter may write more);
    // an integer without a selector prints as it is stored.
    const bool integer = v.is_number_integer();
    const std::string kind = integer ? "integer" : v.type_name();
    if (!settable(e, v.is_object()) || e->sameKeyAs != nullptr ||
        (integer && j["selector"].is_null()) || !tried.insert(e->name + (" list " + kind)).second) {
      continue;
    }
    const std::string text = v.is_object()   ? *jkn::fromHex(v["hex"])
                             : v.is_string() ? v.get<std::string>()
                                             : v.dump();
    script += kJkn + "set " + (v.is_object() ? "--raw " : "") + j["name"].get<std::string>() +
              (j["selector"].is_null() ? "" : " " + posixWord(j["selector"])) + " " +
              posixWord(text) + " >/dev/null || echo " + posixWord("list " + j.dump()) + "\n";
  }
  writeBytes(base() + "round-trip.sh", script);  // longer than one argument may be
  EXPECT_EQ(sh("sh round-trip.sh"), 0);
  EXPECT_EQ(out_, "");
  EXPECT_EQ(snapshot(), files);
}

// Broken settings files from a seeded generator: a file of the fuzz corpus or
// one of registry keys, then mutated the ways hand-edited and foreign files go
// wrong.
class BrokenFiles {
 public:
  BrokenFiles(uint32_t seed, std::vector<std::string> corpus)
      : rng_(seed), corpus_(std::move(corpus)) {}

  std::string make(const std::vector<const Slot*>& keys) {
    std::vector<std::string> lines;
    if (pick(4) == 0) {
      lines = split(corpus_[pick(corpus_.size())]);
    } else {
      std::vector<const Slot*> chosen;
      for (size_t n = 1 + pick(12); n > 0; --n) chosen.push_back(keys[pick(keys.size())]);
      std::stable_sort(chosen.begin(), chosen.end(), [](const Slot* a, const Slot* b) {
        return std::strcmp(a->d.key.section, b->d.key.section) < 0;
      });
      const char* section = nullptr;
      for (const Slot* x : chosen) {
        if (section == nullptr || std::strcmp(section, x->d.key.section) != 0)
          lines.push_back("[" + std::string(section = x->d.key.section) + "]");
        lines.push_back(x->key + "=" + valueFor(*x));
      }
    }
    for (size_t n = 1 + pick(5); n > 0; --n) mutate(lines, *keys[pick(keys.size())]);
    return join(lines);
  }

 private:
  size_t pick(size_t n) { return rng_() % n; }

  static std::vector<std::string> split(const std::string& bytes) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] != '\r' && bytes[i] != '\n') {
        lines.back() += bytes[i];
      } else if (!(bytes[i] == '\n' && i > 0 && bytes[i - 1] == '\r')) {
        lines.emplace_back();
      }
    }
    return lines;
  }

  std::string valueFor(const Slot& x) {
    static const char* const odd[] = {"0x1F",       "0X1F",  "-0",     "+7",         "070",
                                      "4294967297", "1e3",   " 12abc", "",           "1,2,3",
                                      ",,7",        "\"5\"", "'a'",    "-2147483649"};
    switch (pick(3)) {
      case 0:
        return storedText(x.d, settableValues(x, pick(4))[0]);
      case 1: {
        const std::vector<std::string> t = unsettableTexts(x);
        return t[pick(t.size())];
      }
      default:
        return odd[pick(std::size(odd))];
    }
  }

  void mutate(std::vector<std::string>& lines, const Slot& x) {
    if (lines.empty()) lines.emplace_back();
    const size_t at = pick(lines.size());
    std::string& line = lines[at];
    const size_t equals = line.find('=');
    switch (pick(11)) {
      case 0: {  // a section again, with its lines
        size_t from = at;
        while (from > 0 && lines[from].rfind('[', 0) != 0) --from;
        size_t to = from + 1;
        while (to < lines.size() && lines[to].rfind('[', 0) != 0) ++to;
        const std::vector<std::string> again(lines.begin() + static_cast<long>(from),
                                             lines.begin() + static_cast<long>(to));
        lines.insert(lines.end(), again.begin(), again.end());
        break;
      }
      case 1:  // a key again, or one of another section
        lines.insert(lines.begin() + static_cast<long>(pick(lines.size() + 1)),
                     x.key + "=" + valueFor(x));
        break;
      case 2:  // a key without '='
        lines.insert(lines.begin() + static_cast<long>(at), x.key);
        break;
      case 3: {  // bytes of no text: 0x80 to 0xFF, NUL, Ctrl-Z, VT
        static const char bytes[] = {'\x80', '\xA0', '\xFD', '\xFF', '\x81', '\0', '\x1A', '\v'};
        line.insert(pick(line.size() + 1), 1, bytes[pick(sizeof bytes)]);
        break;
      }
      case 4:  // names in another case
        for (char& c : line) {
          if (std::isalpha(static_cast<unsigned char>(c)) && pick(2)) c ^= 0x20;
        }
        break;
      case 5:  // blanks around names, '=' and the value
        if (equals != std::string::npos) line.replace(equals, 1, pick(2) ? " =\t" : "\t= ");
        line = (pick(2) ? " " : "\t") + line + (pick(2) ? " " : "");
        break;
      case 6:  // a very long value
        line += std::string(200 + pick(400), pick(2) ? 'x' : '7') + cp932Text(20, pick(2));
        break;
      case 7:  // UTF-8 text, or its byte-order mark
        if (pick(3) == 0) {
          lines.front().insert(0, "\xEF\xBB\xBF");
        } else {
          line += "\xC3\xA9\xE6\x9D\xB1";
        }
        break;
      case 8:  // a value in quotes
        if (equals != std::string::npos) {
          line =
              line.substr(0, equals + 1) + "\"" + line.substr(equals + 1) + (pick(2) ? "\"" : "'");
        }
        break;
      case 9:  // a line before the first section
        lines.insert(lines.begin(), x.key + "=" + valueFor(x));
        break;
      default:  // a value of another key
        if (equals != std::string::npos) line = line.substr(0, equals + 1) + valueFor(x);
        break;
    }
  }

  // Lines ended by LF, CR LF, CR or a mix; the last one at times without;
  // now and then the whole file in UTF-16.
  std::string join(const std::vector<std::string>& lines) {
    static const char* const ends[] = {"\n", "\r\n", "\r"};
    const size_t style = pick(4);
    std::string bytes;
    for (size_t i = 0; i < lines.size(); ++i) {
      bytes += lines[i];
      if (i + 1 < lines.size() || pick(2)) bytes += ends[style < 3 ? style : pick(3)];
    }
    if (pick(12) != 0) return bytes;
    const bool little = pick(2);
    std::string wide = pick(2) ? (little ? "\xFF\xFE" : "\xFE\xFF") : "";
    for (char c : bytes) wide += little ? std::string{c, '\0'} : std::string{'\0', c};
    return wide;
  }

  std::mt19937 rng_;
  std::vector<std::string> corpus_;
};

// The entries only one of two documents has, each marked with the document's
// sign; empty when both have the same, in any order.
std::string differences(std::vector<std::string> a, std::vector<std::string> b) {
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  std::vector<std::string> onlyA, onlyB;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(onlyA));
  std::set_difference(b.begin(), b.end(), a.begin(), a.end(), std::back_inserter(onlyB));
  std::string out;
  for (const std::string& x : onlyA) out += "- " + x + "\n";
  for (const std::string& x : onlyB) out += "+ " + x + "\n";
  return out;
}

// The record a dump entry is a field of: its name and place ("" for no field).
std::string recordOf(const json& j) {
  const SettingEntry* e = j.contains("name") ? findSetting(j["name"].get<std::string>()) : nullptr;
  if (e == nullptr || e->selector != SelectorKind::Field) return std::string();
  return "record " + j["name"].get<std::string>() + " " + j.value("profile", "") +
         j.value("file", "");
}

// The line a reader takes a key from: the first of its name in the first
// section of that name.
size_t lineOf(const std::string& file, const std::string& section, const std::string& key) {
  size_t found = 0;
  bool seen = false, inIt = false;
  ini::forEachLine(file, [&](const ini::LineView& l) {
    if (l.kind == ini::LineView::Section) {
      inIt = !seen && ini::sameName(l.name, section);
      seen = seen || inIt;
    } else if (inIt && !found && l.kind == ini::LineView::Key && ini::sameName(l.name, key)) {
      found = l.number;
    }
  });
  return found;
}

// The getter's value as check shows what the application reads.
std::string shownRead(const Slot& x, const Value& v) {
  const std::string text = jkn::showValue(x.d, v, false);
  return x.d.kind == ValueKind::Text ? "\"" + text + "\"" : text;
}

// A dump entry's value against the getter's.
bool sameValue(const Slot& x, const json& j, const Value& v) {
  switch (x.d.kind) {
    case ValueKind::Text: {
      const std::optional<std::string> bytes =
          j.contains("hex") ? jkn::fromHex(j["hex"]) : jkn::toCp932(j["value"]);
      return bytes == std::get<std::string>(v);
    }
    case ValueKind::Colour:
      return j["value"] == jkn::showValue(x.d, v, false);
    case ValueKind::DoubleA:
    case ValueKind::DoubleB:
      return j["value"].is_number() && j["value"].get<double>() == std::get<double>(v);
    default:
      return j["value"] == std::get<int64_t>(v);
  }
}

// Broken files at every file the registry reads and in three named profiles.
// Every value dump --json or check --json says the application reads is what
// the getter of that setting returns on the same roots; a key dump carries as
// bytes reads as those bytes; a key the dump leaves out reads its default;
// whatever of the dump load refuses, check reports in that file; and the rest
// load writes back so that a dump of it says the same.
TEST_F(JknRules, CheckAndDumpTellWhatTheGettersRead) {
  std::vector<std::string> corpus;
  for (const auto& f : std::filesystem::directory_iterator(FUZZ_CORPUS))
    corpus.push_back(readBytes(f.path().string()));
  std::sort(corpus.begin(), corpus.end());
  ASSERT_FALSE(corpus.empty());
  std::map<std::string, std::vector<const Slot*>> byFile;
  // Profiles named by path lie in folder "p" under their standard names.
  std::string profiles;
  sh("mkdir p");
  for (const Slot& x : slots_) {
    byFile[x.path].push_back(&x);
    if (x.e->selector == SelectorKind::Profile || x.e->inProfile) {
      const std::string named = "p" + x.path.substr(x.path.rfind('/'));
      if (byFile[base() + named].empty()) profiles += " " + named;
      byFile[base() + named].push_back(&x);
    }
  }
  BrokenFiles broken(20260307, corpus);
  size_t values = 0;
  for (int round = 0; round < 12; ++round) {
    sh("rm -rf root0/inf/* root1/inf/*");
    for (const auto& [path, keys] : byFile) writeBytes(path, broken.make(keys));
    const json doc = runJson("dump --json" + profiles, 0);
    sh("cp doc.json dump.json");
    std::set<const Slot*> dumped;
    for (const json& j : doc["settings"]) {
      if (j.contains("name")) {
        const std::optional<Slot> x = setting(j);
        ASSERT_TRUE(x) << j;
        const Value read = x->e->get(x->s);
        EXPECT_TRUE(sameValue(*x, j, read)) << j << " read " << shownRead(*x, read);
        EXPECT_TRUE(dumped.insert(walkedSlot(x)).second || !walkedSlot(x)) << j;
        ++values;
        continue;
      }
      const std::string path = placeOf(j);
      const std::optional<std::string> section = nameBytes(j["section"]);
      const std::optional<std::string> key = nameBytes(j["key"]);
      const std::optional<std::string> bytes =
          j.contains("hex") ? jkn::fromHex(j["hex"]) : jkn::toCp932(j["value"]);
      ASSERT_TRUE(section && key && bytes) << j;
      EXPECT_EQ(ini::findValue(readBytes(path), *section, *key), ini::valueAsRead(*bytes)) << j;
      const auto it = byId_.find(idOf(path, *section, *key));
      if (it == byId_.end()) continue;
      // A setting travels by name, unless its caller gives the value read.
      const Slot& x = *it->second;
      EXPECT_TRUE(x.e->put == nullptr || !readValue(*x.e, x.s)) << j;
      dumped.insert(&x);
    }
    for (const Slot& x : slots_) {
      if (!dumped.count(&x)) {
        EXPECT_EQ(x.e->get(x.s), x.def) << x.title << " is left out";
      }
    }
    sh(kJkn + "check --json" + profiles + " >doc.json");
    const json findings = json::parse(output("doc.json"));
    for (const json& f : findings) {
      // A code-page finding shows the line as the application shows its text.
      // A key in the wrong file names the setting of the file it belongs in.
      if (f["read"].is_null() || f["kind"] == "wrong-file") continue;
      const std::optional<Slot> x = setting(titleOf(f), base() + f["file"].get<std::string>());
      ASSERT_TRUE(x) << f;
      EXPECT_EQ(f["file"], shown(x->path)) << f;
      const json read = f["read"].is_object() ? f["read"] : json{{"value", f["read"]}};
      EXPECT_TRUE(sameValue(*x, read, x->e->get(x->s)))
          << f << " read " << shownRead(*x, x->e->get(x->s));
      ++values;
    }
    // What load refuses of the dump, check reports in that file: the setting,
    // or for a key of none, its line or the whole file.
    std::set<std::string> refused;  // entries, and records of which a field is refused
    for (const auto& [number, why] : refusedEntries("dump.json")) {
      const json& j = doc["settings"].at(number - 1);
      const std::optional<Slot> x = j.contains("name") ? setting(j) : std::nullopt;
      refused.insert(x && x->e->selector == SelectorKind::Field ? recordOf(j) : j.dump());
      const std::string path = x ? x->path : placeOf(j);
      const json line =
          x ? json(nullptr)
            : json(lineOf(readBytes(path), *nameBytes(j["section"]), *nameBytes(j["key"])));
      const auto reports = [&](const json& f) {
        if (f["file"] != shown(path)) return false;
        if (!x) return f["line"].is_null() || f["line"] == line;
        return !f["name"].is_null() && setting(titleOf(f), path)->id == x->id;
      };
      EXPECT_TRUE(std::any_of(findings.begin(), findings.end(), reports))
          << j << " refused (" << why << "), but no finding";
    }
    // The rest load writes into empty roots so that a dump of them says the
    // same, a number as its setter writes it. A record is written whole: one
    // with a refused field comes back with that field's default.
    std::vector<std::string> rest, again;
    for (json j : doc["settings"]) {
      if (refused.count(j.dump()) || refused.count(recordOf(j))) continue;
      const std::optional<Slot> x = j.contains("name") ? setting(j) : std::nullopt;
      if (x && (x->d.kind == ValueKind::DoubleA || x->d.kind == ValueKind::DoubleB)) {
        const std::string text = storedText(x->d, j["value"].get<double>());
        j["value"] = text.empty() ? std::get<double>(x->d.def) : std::strtod(text.c_str(), nullptr);
      }
      rest.push_back(j.dump());
    }
    sh("rm -rf root0/inf/* root1/inf/* p/* && " + kJkn + "load --skip-refused dump.json");
    std::string loaded;
    for (const auto& [path, keys] : byFile) {
      if (path.rfind(base() + "p/", 0) == 0 && exists(path)) loaded += " " + shown(path);
    }
    const json reloaded = runJson("dump --json" + loaded, 0);
    for (const json& j : reloaded["settings"]) {
      if (!refused.count(recordOf(j))) again.push_back(j.dump());
    }
    // Setting a record's field writes the whole record where the first stored
    // field stood: the order of a file's keys may change.
    EXPECT_EQ(differences(rest, again), "");
  }
  EXPECT_GT(values, 500u);
}

}  // namespace
}  // namespace trasso::test
