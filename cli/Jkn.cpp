// jkn: lists, reads, changes and describes every setting of the store by name,
// through the registry and so through the library's own exported getters and
// setters (each write replaces its file atomically).
#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "Changes.h"
#include "Commands.h"
#include "Console.h"
#include "Describe.h"
#include "Ini.h"
#include "Json.h"
#include "ReadSnapshot.h"
#include "Registry.h"
#include "SettingsFileIo.h"
#include "StoreFacts.h"
#include "Stored.h"
#include "Values.h"
#include "WriteBatch.h"

namespace {

using jkn::Failure;
using jkn::folderOf;
using jkn::guarded;
using jkn::isFolder;
using jkn::kFileError;
using jkn::kOk;
using jkn::kRefused;
using jkn::kUsage;
using nlohmann::json;
using trasso::Declaration;
using trasso::Selection;
using trasso::SelectorKind;
using trasso::SettingEntry;
using trasso::Value;
using trasso::ValueKind;

struct Options {
  bool json = false;
  bool raw = false;
  bool changed = false;
  std::string filter;
  std::vector<std::string> words;
  std::vector<std::string> more;  // set: a record's further FIELD VALUE pairs
};

// Positional words, each taken as given: a vector option would read "[a,b]"
// as a list and drop the brackets of "[A]".
void addWords(CLI::App* cmd, std::vector<std::string>& words,
              std::initializer_list<std::pair<const char*, const char*>> names, size_t required) {
  size_t n = 0;
  for (const auto& [name, help] : names) {
    CLI::Option* word = cmd->add_option_function<std::string>(
        name, [&words](const std::string& w) { words.push_back(w); }, help);
    if (n++ < required) word->required();
  }
}

// A path as jkn shows it.
std::string native(const std::string& path) { return jkn::shownPath(path); }

std::string baseName(const std::string& path) {
  const std::string n = trasso::fileio::nativePath(path);
  const size_t slash = jkn::lastSeparator(n);
  return native(slash == std::string::npos ? n : n.substr(slash + 1));
}

// "key [SECTION] KEY of FILE: the setting NAME SELECTOR reads it".
std::string readerWords(const jkn::KeyReader& r) {
  const std::string section = r.section.empty() ? "[SECTION] " : "[" + r.section + "] ";
  const std::string file = r.file.empty() ? "a settings file (FILE)" : r.file;
  return "key " + section + r.key + " of " + file + ": the setting " + r.setting + " reads it";
}

const SettingEntry& lookUp(const std::string& name) {
  if (const SettingEntry* e = trasso::findSetting(name)) return *e;
  // A key from a file, also after its area ("NMEA_BTAddr"): the settings that read it.
  std::string key = name;
  std::vector<jkn::KeyReader> readers = jkn::readersOfKey(key);
  for (const std::string area : {"GNSS", "NMEA", "TS", "ZETR", "PL30", "Soku"}) {
    if (!readers.empty() || jkn::lower(name).rfind(jkn::lower(area + "_"), 0) != 0) continue;
    key = name.substr(area.size() + 1);
    readers = jkn::readersOfKey(key);
    // Those of the area named, where there are some.
    std::vector<jkn::KeyReader> ofArea;
    for (const jkn::KeyReader& r : readers) {
      if (trasso::areaOf(*r.entry) == area) ofArea.push_back(r);
    }
    if (!ofArea.empty()) readers = ofArea;
  }
  std::string message = "'" + name + "' is no setting";
  message += key == name ? " but " : "; " + key + " is ";
  if (readers.size() == 1) {
    throw Failure{kUsage, message + readerWords(readers[0])};
  } else if (!readers.empty()) {
    message += "a key that " + std::to_string(readers.size()) + " settings read:";
    for (const jkn::KeyReader& r : readers) message += "\n  " + readerWords(r);
    throw Failure{kUsage, message};
  }
  message = "unknown setting '" + name + "'";
  const std::vector<std::string> near = jkn::closestNames(name);
  if (!near.empty()) {
    message += "; closest:";
    for (const std::string& n : near) message += " " + n;
  } else {
    message += "; 'jkn list' shows every setting";
  }
  throw Failure{kUsage, message};
}

Selection selectionOf(const SettingEntry& e, const std::optional<std::string>& arg) {
  try {
    return jkn::parseSelector(e, arg);
  } catch (const jkn::Refusal& r) {
    throw Failure{kUsage, r.message};
  }
}

// One setting at one selection, as read now. No value: the caller gives the
// default, none was named and nothing of its own is stored.
struct Row {
  const SettingEntry* e;
  Selection s;
  Declaration d;
  std::optional<Value> value;
  bool stored;
};

Row readRow(const SettingEntry& e, const Selection& s) {
  const Declaration d = trasso::declarationOf(e, s);
  const bool stored =
      trasso::readRaw(trasso::pathOf(e, s), d.key.section, trasso::keyOf(e, s).c_str()).has_value();
  return Row{&e, s, d, trasso::readValue(e, s), stored};
}

// The default is the caller's, and none was named.
bool noDefault(const Row& r) {
  return r.e->selector == SelectorKind::CallerDefault && !r.s.callerDefault;
}

// A stored value of a family whose caller gives the default replaces whatever
// default the caller passes.
bool differs(const Row& r) { return r.value && (noDefault(r) ? r.stored : *r.value != r.d.def); }

constexpr const char* kCallersDefault =
    "nothing of its own stored: the application reads the default it passes";

json valueJson(const Row& r, const Value& v, bool raw) {
  // Stored bytes need not be UTF-8, which JSON texts are: raw texts go as hex.
  if (raw && r.d.kind == ValueKind::Text)
    return json{{"hex", jkn::toHex(std::get<std::string>(v))}};
  return jkn::out::value(r.d, v);
}

json rowJson(const Row& r, bool raw) {
  json j = jkn::out::setting(*r.e, r.s);
  j["value"] = r.value ? valueJson(r, *r.value, raw) : json(nullptr);
  j["default"] = noDefault(r) ? json(nullptr) : valueJson(r, r.d.def, raw);
  j["differs"] = differs(r);
  j["stored"] = r.stored;
  j.update(jkn::out::place(trasso::pathOf(*r.e, r.s), r.d.key.section, trasso::keyOf(*r.e, r.s)));
  if (!r.value) j["note"] = kCallersDefault;
  return j;
}

using jkn::out::print;

// "name selector" as a user types it.
std::string title(const Row& r, bool inList) {
  // A listing shows the file in a column of its own.
  const std::string selector =
      inList ? jkn::selectorBesideFile(*r.e, r.s) : jkn::showSelector(*r.e, r.s);
  return selector.empty() ? r.e->name : r.e->name + (" " + selector);
}

// A value as a line shows it; no value: the caller's default, in words.
std::string shownValue(const Row& r, const std::optional<Value>& v, bool raw) {
  if (!v) return "(" + std::string(kCallersDefault) + ")";
  const std::string text = jkn::showValue(r.d, *v, raw);
  return r.d.kind == ValueKind::Text ? "\"" + text + "\"" : text;
}

void printRow(const Row& r, bool raw) {
  const bool changed = differs(r);
  std::string line = jkn::padRight((changed ? "* " : r.stored ? "= " : "  ") + title(r, true), 36);
  line += " " + shownValue(r, r.value, raw);
  if (changed) {
    line += noDefault(r) ? std::string(" (default: the caller's)")
                         : " (default " + shownValue(r, r.d.def, raw) + ")";
  }
  line = jkn::padRight(line, 60);
  std::cout << line << "  " << baseName(trasso::pathOf(*r.e, r.s)) << " [" << r.d.key.section
            << "] " << trasso::keyOf(*r.e, r.s) << "\n";
}

int list(const Options& o) {
  // Folders that could not be looked at would pass for settings left at their defaults.
  if (o.changed) {
    if (const std::string why = jkn::unreadableRoots(); !why.empty()) {
      throw Failure{kFileError, "cannot list changed settings: " + why};
    }
  }
  // Each file read once, not once per setting: time linear in what is stored.
  const trasso::fileio::ReadSnapshot snapshot;
  std::vector<Row> rows;
  bool matched = o.filter.empty();
  for (const SettingEntry& e : trasso::settingsRegistry()) {
    for (const Selection& s : trasso::listedSelections(e)) {
      const bool inArea = jkn::lower(trasso::areaOf(e)) == jkn::lower(o.filter);
      const bool inFile = jkn::lower(baseName(trasso::pathOf(e, s))) == jkn::lower(o.filter);
      if (!o.filter.empty() && !inArea && !inFile) continue;
      matched = true;
      Row r = readRow(e, s);
      if (o.changed && !differs(r)) continue;
      rows.push_back(std::move(r));
    }
  }
  if (!matched) {
    throw Failure{kUsage, "'" + o.filter +
                              "' is no area (GNSS, NMEA, TS, ZETR, PL30, Soku, Display) and no "
                              "settings file ('jkn files' lists them)"};
  }
  if (o.json) {
    json all = json::array();
    for (const Row& r : rows) all.push_back(rowJson(r, o.raw));
    print(all);
  } else {
    for (const Row& r : rows) printRow(r, o.raw);
  }
  return kOk;
}

// The selector word of NAME [SELECTOR] (VALUE): present when there are more
// than `without` words.
std::optional<std::string> selectorWord(const Options& o, size_t without) {
  return o.words.size() > without ? std::optional<std::string>(o.words[1]) : std::nullopt;
}

// What set and reset report: the setting as it reads now, and the settings
// its setter changed beside it.
int report(const Options& o, const SettingEntry& e, const Selection& s, const char* note,
           const std::vector<jkn::SideEffect>* also = nullptr) {
  const Row r = readRow(e, s);
  if (o.json) {
    json j = rowJson(r, o.raw);
    if (also != nullptr) {
      j["also"] = json::array();
      for (const jkn::SideEffect& x : *also) j["also"].push_back(jkn::sideEffectJson(x));
    }
    print(j);
  } else {
    std::cout << title(r, false) << " = "
              << (r.value ? jkn::showValue(r.d, *r.value, o.raw) + note : shownValue(r, {}, o.raw))
              << "\n";
    if (also != nullptr) {
      for (const jkn::SideEffect& x : *also) std::cout << jkn::sideEffectLine(x, e.name) << "\n";
    }
  }
  return kOk;
}

int get(const Options& o) {
  const SettingEntry& e = lookUp(o.words.at(0));
  const Row r = readRow(e, selectionOf(e, selectorWord(o, 1)));
  if (o.json) {
    print(rowJson(r, o.raw));
  } else if (r.value) {
    std::cout << jkn::showValue(r.d, *r.value, o.raw) << "\n";
  } else {
    std::cerr << "jkn: " << title(r, false) << ": " << kCallersDefault << " ('jkn get " << e.name
              << " " << r.s.number << ":DEFAULT' reads as with that default)\n";
  }
  return r.value ? kOk : jkn::kNoValue;
}

void refuseReadOnly(const SettingEntry& e) {
  if (e.put == nullptr) {
    throw Failure{kRefused,
                  std::string(e.name) + " is read-only: the library has no setter for it"};
  }
}

Value parsedValue(const Options& o, const SettingEntry& e, const Selection& s,
                  const std::string& text) {
  try {
    return jkn::parseValue(e, trasso::declarationOf(e, s), text, o.raw);
  } catch (const jkn::Refusal& r) {
    throw Failure{kRefused, r.message};
  }
}

// Further FIELD VALUE pairs after a record's first: the fields of one record
// (one side, one profile), written in one write of it, so that fields which
// must change together do.
int setFields(const Options& o, const SettingEntry& e, const Selection& s, const Value& v) {
  if (e.selector != SelectorKind::Field || o.words.size() < 3) {
    throw Failure{kUsage, "unexpected '" + o.more.front() +
                              "': only a record's fields come in pairs (set NAME FIELD VALUE "
                              "FIELD VALUE ...)"};
  }
  if (o.more.size() % 2 != 0) throw Failure{kUsage, "field '" + o.more.back() + "' has no value"};
  const auto sided = [&](const Selection& f) {
    return trasso::declarationOf(e, f).key.choice == trasso::KeyChoice::Side;
  };
  std::vector<Selection> each{s};
  std::vector<std::pair<int, Value>> fields{{s.which, v}};
  Selection record = s;
  for (size_t i = 0; i < o.more.size(); i += 2) {
    const Selection f = selectionOf(e, o.more[i]);
    const bool otherSide = sided(f) && std::any_of(each.begin(), each.end(), [&](auto& x) {
                             return sided(x) && x.number != f.number;
                           });
    if (f.path != s.path || otherSide) {
      throw Failure{kUsage, "'" + o.more[i] + "' is a field of another record than '" + o.words[1] +
                                "': give the fields of one record"};
    }
    if (sided(f)) record.number = f.number;
    each.push_back(f);
    fields.emplace_back(f.which, parsedValue(o, e, f, o.more[i + 1]));
  }
  const trasso::WriteStatus status = e.putFields(record, fields);
  if (!trasso::succeeded(status)) throw jkn::writeFailure(status, trasso::pathOf(e, s));
  for (const Selection& f : each) report(o, e, f, "");
  return kOk;
}

// A record's setter checks every field it writes: a field given in range is
// refused when another field holds a value outside its own. Says which, and
// how to give them together.
void refuseForOtherFields(const Options& o, const SettingEntry& e, const Selection& s) {
  if (e.selector != SelectorKind::Field) return;
  std::string held;
  std::string together = "jkn set " + std::string(e.name) + " " + o.words[1] + " " + o.words.back();
  for (size_t i = 0; i < e.fieldCount; ++i) {
    Selection f = s;
    f.which = static_cast<int>(i);
    const std::optional<trasso::Range> range = trasso::limitsOf(e, f).range;
    const std::optional<Value> value = trasso::readValue(e, f);
    if (f.which == s.which || !range || !value) continue;
    const double x = std::holds_alternative<double>(*value)
                         ? std::get<double>(*value)
                         : static_cast<double>(std::get<int64_t>(*value));
    if (x >= range->min && x <= range->max) continue;
    const Declaration d = trasso::declarationOf(e, f);
    held += std::string(held.empty() ? "" : "; ") + trasso::showField(e, f) + " holds " +
            jkn::showValue(d, *value, false) + ", outside what it takes (" +
            jkn::acceptedValues(e, d) + ")";
    // The other field as the given one was typed: with its profile, or without.
    const bool withPath = o.words[1].find(':') != std::string::npos;
    together += " " + (withPath ? jkn::showSelector(e, f) : trasso::showField(e, f)) + " VALUE";
  }
  if (held.empty()) return;
  throw Failure{kRefused, std::string(e.name) +
                              ": the record's setter checks every field it writes, and " + held +
                              "; give them together: " + together};
}

int set(const Options& o) {
  const SettingEntry& e = lookUp(o.words.at(0));
  if (o.words.size() < 2) throw Failure{kUsage, "set needs NAME [SELECTOR] VALUE"};
  const Selection s = selectionOf(e, selectorWord(o, 2));
  refuseReadOnly(e);
  const Value v = parsedValue(o, e, s, o.words.back());
  if (!o.more.empty()) return setFields(o, e, s, v);
  const Declaration d = trasso::declarationOf(e, s);
  // Collected first, to say what else the setter changes (TS_AutoLoad resets
  // four other settings); then written, one replacement per file.
  trasso::fileio::WriteBatch batch;
  trasso::WriteStatus status = e.put(s, v);
  if (status == trasso::WriteStatus::OutOfRange) refuseForOtherFields(o, e, s);
  if (!trasso::succeeded(status)) throw jkn::writeFailure(status, trasso::pathOf(e, s));
  const std::vector<jkn::SideEffect> also =
      jkn::sideEffects(batch, {jkn::keyId(trasso::fileio::nativePath(trasso::pathOf(e, s)),
                                          d.key.section, trasso::keyOf(e, s))});
  status = batch.commit();
  if (!trasso::succeeded(status)) throw jkn::writeFailure(status, batch.failedPath());
  return report(o, e, s, "", &also);
}

int reset(const Options& o) {
  const SettingEntry& e = lookUp(o.words.at(0));
  const Selection s = selectionOf(e, selectorWord(o, 1));
  const Declaration d = trasso::declarationOf(e, s);
  refuseReadOnly(e);  // what the application cannot write, jkn does not remove
  const std::string path = trasso::pathOf(e, s);
  // A missing file already gives the default: nothing is created.
  const trasso::WriteStatus status =
      trasso::writeText(path, d.key.section, trasso::keyOf(e, s).c_str(), nullptr);
  if (!trasso::succeeded(status)) throw jkn::writeFailure(status, path);
  // Only the first line of a key goes: a later one of the same key reads now.
  const bool still = trasso::readRaw(path, d.key.section, trasso::keyOf(e, s).c_str()).has_value();
  return report(
      o, e, s,
      still ? " (another line of this key reads now; reset again to remove it)" : " (default)");
}

std::string rangeText(const SettingEntry& e, const Declaration& d) {
  if (e.put == nullptr) return "read-only";
  return jkn::acceptedValues(e, d) + (d.kind == ValueKind::Colour ? ", or #rrggbb" : "");
}

// A record's field as describe prints it (a side's key for both sides).
json fieldText(const SettingEntry& e, const Selection& s) {
  const Declaration d = trasso::declarationOf(e, s);
  std::string key = trasso::keyOf(e, s);
  if (d.key.choice == trasso::KeyChoice::Side) {
    Selection other = s;
    other.number = 1;
    key = "R." + std::string(trasso::fieldOf(e, s)->name) + ": " + key + ", S." +
          trasso::fieldOf(e, s)->name + ": " + trasso::keyOf(e, other);
  }
  return json{{"field", trasso::fieldOf(e, s)->name},
              {"key", key},
              {"kind", jkn::kindWords(e, d)},
              {"default", jkn::showValue(d, d.def, false)},
              {"format", jkn::formatWords(d)},
              {"accepts", rangeText(e, d)},
              {"validated", trasso::limitsOf(e, s).range.has_value()}};
}

// describe --json prints the library's own description of the setting (what
// jkn_describe gives), so that programs and people read one account of it.
int describe(const Options& o) {
  const SettingEntry& e = lookUp(o.words.at(0));
  if (o.json) {
    print(json::parse(trasso::describeJson(e)));
    return kOk;
  }
  const std::vector<Selection> each = trasso::keySelections(e);
  const Selection s = each.empty() ? Selection{} : each.front();
  const Declaration d = trasso::declarationOf(e, s);
  const std::string getter = std::string("GetQZJkn_") + e.name;
  const std::string setter = e.put ? std::string("PutQZJkn_") + e.name : std::string("(none)");
  std::string key = trasso::keyOf(e, s);
  std::string section = d.key.section;
  std::string def = jkn::showValue(d, d.def, false);
  std::string kind = jkn::kindWords(e, d);
  std::string format = jkn::formatWords(d);
  std::string accepts = rangeText(e, d);
  switch (e.selector) {
    case SelectorKind::Mode:
    case SelectorKind::Side:
      key = trasso::keyOf(e, each[0]) + " (" + jkn::showSelector(e, each[0]) + "), " +
            trasso::keyOf(e, each[1]) + " (" + jkn::showSelector(e, each[1]) + ")";
      break;
    case SelectorKind::Entry:
      key = std::string(e.decl.key.name) + "<entry number>";
      break;
    case SelectorKind::CallerDefault:
      key = std::string(e.decl.key.name) + "<entry number>";
      def = "the one the application passes (" + std::string(kCallersDefault) +
            "; N:DEFAULT reads as with that default)";
      break;
    case SelectorKind::Item:
      key = "one per item code ('jkn list Display' shows each)";
      break;
    case SelectorKind::ZoomMode: {
      key.clear();
      def.clear();
      for (const Selection& m : each) {
        const Declaration dm = trasso::declarationOf(e, m);
        key += (m.number == 0 ? "" : ", ") + trasso::keyOf(e, m) + " (" + std::to_string(m.number) +
               ")";
        def += (m.number == 0 ? "" : ", ") + jkn::showValue(dm, dm.def, false) + " (" +
               std::to_string(m.number) + ")";
      }
      key += "; any other mode: " + std::string(e.declarationAt(UINT16_MAX).key.name);
      break;
    }
    case SelectorKind::ScreenColour:
      key =
          "MessBak (0), MessFor (1), BtnNorm (2), BtnPush (3) or FuncBak (4): the selector's "
          "WHICH";
      section = "the selector's SECTION in decimal";
      break;
    case SelectorKind::Field:
      key = def = format = accepts = "per field (below)";
      kind = "record of " + std::to_string(e.fieldCount) + " fields; a field is read through " +
             getter +
             ", and written by reading the record, changing the field and writing the "
             "whole record through " +
             setter;
      break;
    default:
      break;
  }
  std::string file = baseName(trasso::pathOf(e, s)) + " (" + native(trasso::pathOf(e, s)) + ")";
  if (e.selector == SelectorKind::FileId || e.selector == SelectorKind::ScreenColour) {
    file = "the settings file the selector names";
  }
  if (trasso::takesProfilePath(e)) {
    const std::string standard = trasso::standardProfilePath(e);
    file = "the profile file the selector names, " + baseName(standard) + " (" + native(standard) +
           ")";
  }
  json text{{"selector", jkn::selectorWords(e)},
            {"file", file},
            {"section", section},
            {"key", key},
            {"kind", kind},
            {"default", def},
            {"format", format},
            {"accepts", accepts}};
  if (e.alsoWrites) text["also"] = "the setter also writes " + std::string(e.alsoWrites);
  if (e.sameKeyAs) {
    text["same key"] =
        std::string(e.sameKeyAs) + " reads and writes this key too; dump and check go by that one";
  }
  json fields = json::array();
  if (e.selector == SelectorKind::Field) {
    for (const Selection& f : each) {
      if (f.number == 0) fields.push_back(fieldText(e, f));
    }
  }
  const auto line = [](const char* label, const json& value, size_t width) {
    std::string l = std::string(label) + ":";
    l.resize(width, ' ');
    return l + value.get<std::string>() + "\n";
  };
  std::cout << e.name << "\n";
  std::cout << "  " << line("area", trasso::areaOf(e), 11);
  std::cout << "  " << line("getter", getter, 11);
  std::cout << "  " << line("setter", setter, 11);
  for (const char* field : {"selector", "file", "section", "key", "kind", "default", "format",
                            "accepts", "also", "same key"}) {
    if (text.contains(field)) std::cout << "  " << line(field, text[field], 11);
  }
  if (e.range) std::cout << "  The setter itself refuses values outside this range.\n";
  for (const json& f : fields) {
    std::cout << "  field " << f["field"].get<std::string>() << ":\n";
    for (const char* field : {"key", "kind", "default", "format", "accepts"}) {
      std::cout << "    " << line(field, f[field], 10);
    }
    if (f["validated"].get<bool>()) {
      std::cout << "    The setter itself refuses values outside this range.\n";
    }
  }
  return kOk;
}

// Whether a write of a settings file would be made, in a word.
const char* writability(trasso::WriteStatus s) {
  using trasso::WriteStatus;
  switch (s) {
    case WriteStatus::Written:
    case WriteStatus::Unchanged:
      return "writable";
    case WriteStatus::ReadOnly:
      return "read-only";
    case WriteStatus::AccessDenied:
      return "no access";
    case WriteStatus::Busy:
      return "busy";
    case WriteStatus::FolderMissing:
    case WriteStatus::NotAFolder:
      return "no folder";
    default:
      return "blocked";  // a folder, device or link to nothing in the file's place
  }
}

int files(const Options& o) {
  json all = json::array();
  std::vector<std::string> whys;  // why a file cannot be written, each once
  for (int id = 0;; ++id) {
    const char* name = trasso::SettingsFileName(id);
    if (name == nullptr) break;
    const std::string path = trasso::fileio::nativePath(trasso::SettingsFilePath(id));
    const std::string kind = jkn::entryKind(path);
    struct stat st {};
    const bool isFile = kind == "file" && ::stat(path.c_str(), &st) == 0;
    const trasso::WriteStatus probe = trasso::facts::probeWrite(path);
    json f{{"id", id},
           {"name", name},
           {"path", native(path)},
           {"exists", !kind.empty()},
           {"kind", kind.empty() ? json(nullptr) : json(kind)},
           {"size", isFile ? json(static_cast<int64_t>(st.st_size)) : json(nullptr)},
           {"writable", trasso::succeeded(probe)},
           {"access", writability(probe)}};
    if (!trasso::succeeded(probe)) {
      f["why"] = jkn::writeFailure(probe, path).message;
      // The column says enough of a read-only file.
      if (probe != trasso::WriteStatus::ReadOnly &&
          std::find(whys.begin(), whys.end(), f["why"]) == whys.end()) {
        whys.push_back(f["why"]);
      }
    }
    all.push_back(std::move(f));
  }
  if (o.json) {
    print(all);
    return kOk;
  }
  for (const json& f : all) {
    const std::string kind = f["kind"].is_null() ? "missing" : f["kind"].get<std::string>();
    const std::string shown =
        kind == "file" ? std::to_string(f["size"].get<int64_t>()) + "B" : kind;
    char line[64];
    std::snprintf(line, sizeof line, "%2d  %-17s %-8s %-9s ", f["id"].get<int>(),
                  f["name"].get<std::string>().c_str(), shown.c_str(),
                  f["access"].get<std::string>().c_str());
    std::cout << line << f["path"].get<std::string>() << "\n";
  }
  std::cout.flush();  // the table, then what stands in the way
  for (const std::string& why : whys) std::cerr << "jkn: " << why << "\n";
  return kOk;
}

std::string cell(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '|' ? std::string("\\|") : std::string(1, c);
  return out.empty() ? "\"\"" : out;
}

// The range column: what a setter takes, briefly.
std::string rangeShort(const SettingEntry& e, const Declaration& d) {
  if (e.put == nullptr) return "read-only";
  const trasso::ValueLimits l = trasso::limitsOf(e, d);
  if (l.range) {
    const bool isDouble = d.kind == ValueKind::DoubleA || d.kind == ValueKind::DoubleB;
    const auto end = [&](double v) {
      return isDouble ? jkn::showValue(d, v, false) : std::to_string(static_cast<int64_t>(v));
    };
    return end(l.range->min) + " to " + end(l.range->max) + ", checked by the setter";
  }
  switch (d.kind) {
    case ValueKind::Text:
      return "up to " + std::to_string(d.bufferSize - 1) + " bytes";
    case ValueKind::Colour:
      return "0 to 255 each";
    case ValueKind::DoubleA:
    case ValueKind::DoubleB:
      return "any number";
    default:
      return jkn::takesFlag(e, d)
                 ? "0 or 1"
                 : std::to_string(l.minValue) + " to " + std::to_string(l.maxValue);
  }
}

// The rows of an entry on the reference page: one for most, one per item code,
// zoom mode and record field.
std::vector<Selection> referenceRows(const SettingEntry& e) {
  std::vector<Selection> each = trasso::keySelections(e);
  switch (e.selector) {
    case SelectorKind::Item:
    case SelectorKind::ZoomMode:
      return each;
    case SelectorKind::Field: {
      std::vector<Selection> rows;
      for (const Selection& s : each) {
        if (s.number == 0) rows.push_back(s);
      }
      return rows;
    }
    default:
      return {each.empty() ? Selection{} : each.front()};
  }
}

// The reference page: every setting by area, with where it lies and what it takes.
int reference(const Options&) {
  std::cout << "# Settings reference\n\n"
               "Made by `jkn reference` from the settings registry; CI checks that it is current.\n"
               "Selector `mode` chooses the plain key (0) or the key with `_Svy` (1); `item N`\n"
               "is one item code of `Use`; `entry` appends the entry number to the key (any\n"
               "number; `list` shows those stored); `file id` names a settings file; `profile`\n"
               "is a file the caller names (its standard place is shown). `colour` is\n"
               "`FILE,WHICH,SECTION`: a file id or name, the key by number or name, the section\n"
               "number. `entry:default` is an entry whose default the application passes\n"
               "(`3:80`; without one, a key not stored has no value of its own). `zoom mode N`\n"
               "is one mode (any other mode reads a fallback row). `field F` is one field of a\n"
               "record: read through the record getter, written by writing the whole record as\n"
               "read with the field changed; `R.`/`S.` before a side's field chooses the side.\n"
               "Paths below are relative to the application-data root (`jkn files`).\n";
  std::string area;
  for (const SettingEntry& e : trasso::settingsRegistry()) {
    if (trasso::areaOf(e) != area) {
      area = trasso::areaOf(e);
      std::cout << "\n## " << area << "\n\n"
                << "| name | file | section | key | selector | kind | default | range |\n"
                << "|---|---|---|---|---|---|---|---|\n";
    }
    for (const Selection& s : referenceRows(e)) {
      const Declaration d = trasso::declarationOf(e, s);
      std::string key = trasso::keyOf(e, s);
      std::string section = d.key.section;
      std::string selector;
      std::string def = jkn::showValue(d, d.def, false);
      std::string file = trasso::SettingsFileName(static_cast<int>(d.key.file));
      Selection other = s;
      other.number = 1;
      switch (e.selector) {
        case SelectorKind::None:
          break;
        case SelectorKind::Mode:
          selector = "mode";
          key += " / " + trasso::keyOf(e, other);
          break;
        case SelectorKind::Side:
          selector = "side";
          key += " / " + trasso::keyOf(e, other);
          break;
        case SelectorKind::Entry:
          selector = "entry";
          key = std::string(d.key.name) + "*n*";
          break;
        case SelectorKind::CallerDefault:
          selector = "entry:default";
          key = std::string(d.key.name) + "*n*";
          def = "the caller's";
          break;
        case SelectorKind::Item:
          selector = "item " + std::to_string(s.number);
          break;
        case SelectorKind::FileId:
          selector = "file id 0 to " + std::to_string(e.listed - 1);
          file = "(file id)";
          break;
        case SelectorKind::Profile:
          selector = "profile";
          file = baseName(trasso::standardProfilePath(e));
          break;
        case SelectorKind::ScreenColour:
          selector = "colour";
          file = "(file id)";
          section = "*section*";
          key = "MessBak / MessFor / BtnNorm / BtnPush / FuncBak";
          break;
        case SelectorKind::ZoomMode:
          selector = "zoom mode " + std::to_string(s.number);
          if (d.key.name == std::string(e.declarationAt(UINT16_MAX).key.name)) {
            selector += " and any other";
          }
          break;
        case SelectorKind::Field: {
          const bool sided = d.key.choice == trasso::KeyChoice::Side;
          selector = "field " + std::string(sided ? "R." : "") + trasso::fieldOf(e, s)->name;
          if (sided) {
            selector += " / S." + std::string(trasso::fieldOf(e, s)->name);
            key += " / " + trasso::keyOf(e, other);
          }
          if (e.inProfile) file = baseName(trasso::standardProfilePath(e));
          break;
        }
      }
      std::string kind = jkn::kindWords(e, d);
      if (e.alsoWrites) kind += "; the setter also writes " + std::string(e.alsoWrites);
      if (e.sameKeyAs) kind += "; the key of " + std::string(e.sameKeyAs) + " too";
      std::cout << "| " << e.name << " | " << file << " | " << cell(section) << " | " << cell(key)
                << " | " << selector << " | " << cell(kind) << " | " << cell(def) << " | "
                << cell(rangeShort(e, d)) << " |\n";
    }
  }
  std::cout << "\n## Exported functions that are not settings of their own\n\n"
               "| function | why |\n|---|---|\n";
  for (const trasso::Uncovered& u : trasso::uncoveredFunctions()) {
    std::cout << "| " << u.function << " | " << u.reason << " |\n";
  }
  return kOk;
}

// The exit statuses of each command, for its --help.
const char* const kListStatuses =
    "Exit status:\n"
    "  0  done\n"
    "  2  usage: unknown option, area or file\n"
    "  3  --changed: a root's settings folder is missing, is no folder or cannot be\n"
    "     read (as for 'jkn check'), so that nothing could look changed\n";
const char* const kGetStatuses =
    "Exit status:\n"
    "  0  the value printed\n"
    "  2  usage: unknown option, setting name or selector\n"
    "  8  no value of its own: nothing is stored where the application passes the\n"
    "     default (N:DEFAULT reads as with that default); said on stderr, and\n"
    "     with --json the value is null\n";
const char* const kResetStatuses =
    "Exit status:\n"
    "  0  removed, or nothing was stored\n"
    "  1  a read-only setting (the library has no setter); nothing written\n"
    "  2  usage: unknown option, setting name or selector\n";
const char* const kDescribeStatuses =
    "Exit status:\n"
    "  0  done\n"
    "  2  usage: unknown option or setting name\n";
const char* const kShowStatuses =
    "Exit status:\n"
    "  0  done\n"
    "  2  usage: unknown option\n";

// For a word that names no command: "; did you mean 'x'?" (or "" for a command).
std::string nearestCommand(CLI::App& app, const std::string& word) {
  std::string best;
  size_t distance = SIZE_MAX;
  for (const CLI::App* c : app.get_subcommands({})) {
    if (c->get_name() == word) return "";
    const size_t d = jkn::editDistance(word, c->get_name());
    if (d < distance) {
      distance = d;
      best = c->get_name();
    }
  }
  return distance <= 2 ? "; did you mean '" + best + "'?" : "; the commands are in 'jkn --help'";
}

int run(int argc, char** argv) {
  CLI::App app{
      "jkn: list, read, change and describe the settings of the TrassoJkn store.\n"
      "Settings lie below the roots KORVEL_APPDATA_0 and KORVEL_APPDATA_1\n"
      "(see 'jkn files'). Texts are shown and taken in UTF-8 and stored in\n"
      "code page 932; --raw shows and takes the stored bytes as they are.\n"
      "Colours are shown as red,green,blue and #rrggbb and taken in either form.\n"
      "Selectors: plain or svy, R or S, a number, a file name or id, a profile path;\n"
      "FILE,WHICH,SECTION of a screen colour (Color disp-ts.ini,MessFor,2); N or\n"
      "N:DEFAULT where the application passes the default (SksWidth 3:80); a record's\n"
      "field, R. or S. before a side's field, :PROFILE after a profile's field\n"
      "(GNSS_RTKConnectProp S.PortNo). 'jkn describe NAME' says what a setting takes.\n"
      "On Windows, arguments are taken as typed, and what jkn prints to a console\n"
      "shows right whatever the console's code page; redirected output is UTF-8.",
      "jkn"};
  app.require_subcommand(1);
  // A value or path may start with '/': no "/option" forms (subcommands inherit this).
  app.allow_windows_style_options(false);
  app.footer(jkn::kExitStatuses +
             "  8  get: no value of its own (the application passes the default)\n"
             "Each command's --help lists the statuses it ends with; check: 0 no findings,\n"
             "1 findings, 2 a settings folder it cannot look at; check --fix: 0 none left,\n"
             "1 findings left, 3-7 a write failed as above.\n");
  Options o;
  auto addJson = [&](CLI::App* c) { c->add_flag("--json", o.json, "Print JSON"); };
  auto addRaw = [&](CLI::App* c) {
    c->add_flag(
        "--raw", o.raw,
        "Texts as the stored bytes (no code page conversion; with --json as {\"hex\": ...})");
  };

  CLI::App* listCmd = app.add_subcommand(
      "list",
      "Every setting with its value and where it lies. Marks: '*' differs from the default,\n"
      "'=' stored with the default value, none: not stored (the default shows).\n"
      "Numbered entries and screen colours: those stored");
  listCmd->add_option("AREA|FILE", o.filter,
                      "Only one area (GNSS, NMEA, TS, ZETR, PL30, Soku, Display) or one file");
  listCmd->add_flag("--changed", o.changed, "Only settings whose value differs from the default");
  addJson(listCmd);
  addRaw(listCmd);
  listCmd->footer(kListStatuses);

  CLI::App* getCmd = app.add_subcommand("get", "The current value of a setting");
  addWords(getCmd, o.words,
           {{"NAME", "Setting name"},
            {"SELECTOR", "Selector, where it takes one (N:DEFAULT: read as with that default)"}},
           1);
  addJson(getCmd);
  addRaw(getCmd);
  getCmd->footer(kGetStatuses);

  CLI::App* setCmd = app.add_subcommand(
      "set",
      "Store a value (checked first; nothing half-done). A record's fields:\n"
      "NAME FIELD VALUE [FIELD VALUE ...], written together in one write of the record");
  addWords(setCmd, o.words,
           {{"NAME", "Setting name"},
            {"SELECTOR|VALUE", "Selector, where it takes one; else the value"},
            {"VALUE", "The value, after a selector"}},
           2);
  // A record's further FIELD VALUE pairs, taken as given (see addWords).
  setCmd->allow_extras();
  addJson(setCmd);
  addRaw(setCmd);
  setCmd->footer(jkn::kExitStatuses);

  CLI::App* resetCmd =
      app.add_subcommand("reset", "Remove the stored key, so that the default shows again");
  addWords(resetCmd, o.words,
           {{"NAME", "Setting name"}, {"SELECTOR", "Selector, where it takes one"}}, 1);
  addJson(resetCmd);
  resetCmd->footer(kResetStatuses + std::string(jkn::kWriteFailureStatuses));

  CLI::App* describeCmd = app.add_subcommand("describe", "Everything known about a setting");
  describeCmd->add_option("NAME", o.words, "Setting name")->required()->expected(1);
  addJson(describeCmd);
  describeCmd->footer(kDescribeStatuses);

  CLI::App* filesCmd = app.add_subcommand(
      "files",
      "The settings files: path, what is there (a file's size, missing, a folder, ...)\n"
      "and whether a write can be made (why not: on stderr)");
  addJson(filesCmd);
  filesCmd->footer(kShowStatuses);

  CLI::App* referenceCmd =
      app.add_subcommand("reference", "The reference page of every setting (Markdown)");
  referenceCmd->footer(kShowStatuses);
  jkn::addCheckCommand(app);
  jkn::addDumpCommands(app);
  jkn::addCatalogueCommands(app);
  jkn::addWatchCommand(app);
  app.set_version_flag("--version", "jkn " TRASSOJKN_VERSION);

  try {
    // "jkn help" is "jkn --help"; a command that does not exist gets the nearest.
    std::vector<char*> args(argv, argv + argc);
    std::string help = "--help";
    if (args.size() > 1 && std::string(args[1]) == "help") args[1] = help.data();
    if (args.size() > 1 && args[1][0] != '-') {
      if (const std::string near = nearestCommand(app, args[1]); !near.empty()) {
        std::cerr << "jkn: unknown command '" << args[1] << "'" << near << "\n"
                  << "Run with --help for more information.\n";
        return kUsage;
      }
    }
    app.parse(static_cast<int>(args.size()), args.data());
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? kOk : kUsage;
  }
  o.more = setCmd->remaining();
  // A "--" before the words ends the options; it is no field.
  if (const auto dash = std::find(o.more.begin(), o.more.end(), "--"); dash != o.more.end()) {
    o.more.erase(dash);
  }
  return guarded([&] {
    if (listCmd->parsed()) return list(o);
    if (getCmd->parsed()) return get(o);
    if (setCmd->parsed()) return set(o);
    if (resetCmd->parsed()) return reset(o);
    if (describeCmd->parsed()) return describe(o);
    if (filesCmd->parsed()) return files(o);
    if (referenceCmd->parsed()) return reference(o);
    return static_cast<int>(kUsage);
  });
}

}  // namespace

int main(int argc, char** argv) {
  try {
    jkn::Arguments args(argc, argv);
    jkn::setUpOutput();
    return run(args.count(), args.values());
  } catch (const std::exception& e) {
    std::cerr << "jkn: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "jkn: unexpected failure\n";
  }
  return kFileError;
}
