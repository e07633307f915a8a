// jkn: lists, reads, changes and describes every plain setting of the store by
// name, through the registry and so through the library's own exported getters
// and setters (each write replaces its file atomically).
#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "Commands.h"
#include "Console.h"
#include "Ini.h"
#include "Registry.h"
#include "SettingsFileIo.h"
#include "StoreFacts.h"
#include "Stored.h"
#include "Values.h"

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

std::string native(const std::string& path) { return trasso::fileio::nativePath(path); }

std::string baseName(const std::string& path) {
  const std::string n = native(path);
  const size_t slash = jkn::lastSeparator(n);
  return slash == std::string::npos ? n : n.substr(slash + 1);
}

const SettingEntry& lookUp(const std::string& name) {
  if (const SettingEntry* e = trasso::findSetting(name)) return *e;
  std::string message = "unknown setting '" + name + "'";
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

// One setting at one selection, as read now.
struct Row {
  const SettingEntry* e;
  Selection s;
  Declaration d;
  Value value;
  bool stored;
};

Row readRow(const SettingEntry& e, const Selection& s) {
  const Declaration d = trasso::declarationOf(e, s);
  const bool stored =
      trasso::readRaw(trasso::pathOf(e, s), d.key.section, trasso::keyOf(e, s).c_str()).has_value();
  return Row{&e, s, d, e.get(s), stored};
}

json valueJson(const Row& r, const Value& v, bool raw) {
  // Stored bytes need not be UTF-8, which JSON texts are: raw texts go as hex.
  if (raw && r.d.kind == ValueKind::Text)
    return json{{"hex", jkn::toHex(std::get<std::string>(v))}};
  if (r.d.kind == ValueKind::Text || r.d.kind == ValueKind::Colour) {
    return jkn::showValue(r.d, v, raw);
  }
  if (std::holds_alternative<double>(v)) return std::get<double>(v);
  return std::get<int64_t>(v);
}

json rowJson(const Row& r, bool raw) {
  const std::string selector = jkn::showSelector(*r.e, r.s);
  return json{{"name", r.e->name},
              {"selector", selector.empty() ? json(nullptr) : json(selector)},
              {"value", valueJson(r, r.value, raw)},
              {"default", valueJson(r, r.d.def, raw)},
              {"differs", r.value != r.d.def},
              {"stored", r.stored},
              {"file", native(trasso::pathOf(*r.e, r.s))},
              {"section", r.d.key.section},
              {"key", trasso::keyOf(*r.e, r.s)}};
}

void print(const json& j) {
  std::cout << j.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
}

// "name selector" as a user types it.
std::string title(const Row& r, bool inList) {
  std::string t = r.e->name;
  if (r.e->selector != SelectorKind::None && !(inList && r.e->selector == SelectorKind::Profile)) {
    t += " " + jkn::showSelector(*r.e, r.s);
  }
  return t;
}

void printRow(const Row& r, bool raw) {
  const bool differs = r.value != r.d.def;
  auto shown = [&](const Value& v) {
    const std::string text = jkn::showValue(r.d, v, raw);
    return r.d.kind == ValueKind::Text ? "\"" + text + "\"" : text;
  };
  std::string line = jkn::padRight((differs ? "* " : r.stored ? "= " : "  ") + title(r, true), 36);
  line += " " + shown(r.value);
  if (differs) line += " (default " + shown(r.d.def) + ")";
  line = jkn::padRight(line, 60);
  std::cout << line << "  " << baseName(trasso::pathOf(*r.e, r.s)) << " [" << r.d.key.section
            << "] " << trasso::keyOf(*r.e, r.s) << "\n";
}

int list(const Options& o) {
  std::vector<Row> rows;
  bool matched = o.filter.empty();
  for (const SettingEntry& e : trasso::settingsRegistry()) {
    for (const Selection& s : trasso::listedSelections(e)) {
      const bool inArea = jkn::lower(trasso::areaOf(e)) == jkn::lower(o.filter);
      const bool inFile = jkn::lower(baseName(trasso::pathOf(e, s))) == jkn::lower(o.filter);
      if (!o.filter.empty() && !inArea && !inFile) continue;
      matched = true;
      Row r = readRow(e, s);
      if (o.changed && r.value == r.d.def) continue;
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

// What set and reset report: the setting as it reads now.
int report(const Options& o, const SettingEntry& e, const Selection& s, const char* note) {
  const Row r = readRow(e, s);
  if (o.json) {
    print(rowJson(r, o.raw));
  } else {
    std::cout << title(r, false) << " = " << jkn::showValue(r.d, r.value, o.raw) << note << "\n";
  }
  return kOk;
}

int get(const Options& o) {
  const SettingEntry& e = lookUp(o.words.at(0));
  const Row r = readRow(e, selectionOf(e, selectorWord(o, 1)));
  if (o.json) {
    print(rowJson(r, o.raw));
  } else {
    std::cout << jkn::showValue(r.d, r.value, o.raw) << "\n";
  }
  return kOk;
}

void refuseReadOnly(const SettingEntry& e) {
  if (e.put == nullptr) {
    throw Failure{kRefused,
                  std::string(e.name) + " is read-only: the library has no setter for it"};
  }
}

int set(const Options& o) {
  const SettingEntry& e = lookUp(o.words.at(0));
  if (o.words.size() < 2) throw Failure{kUsage, "set needs NAME [SELECTOR] VALUE"};
  const Selection s = selectionOf(e, selectorWord(o, 2));
  const Declaration d = trasso::declarationOf(e, s);
  refuseReadOnly(e);
  Value v;
  try {
    v = jkn::parseValue(e, d, o.words.back(), o.raw);
  } catch (const jkn::Refusal& r) {
    throw Failure{kRefused, r.message};
  }
  const trasso::WriteStatus status = e.put(s, v);
  if (!trasso::succeeded(status)) throw jkn::writeFailure(status, native(trasso::pathOf(e, s)));
  return report(o, e, s, "");
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
  if (!trasso::succeeded(status)) throw jkn::writeFailure(status, native(path));
  return report(o, e, s, " (default)");
}

std::string rangeText(const SettingEntry& e, const Declaration& d) {
  return e.put == nullptr ? "read-only" : jkn::acceptedValues(e, d);
}

int describe(const Options& o) {
  const SettingEntry& e = lookUp(o.words.at(0));
  const Selection s = trasso::listedSelections(e).front();
  const Declaration d = trasso::declarationOf(e, s);
  std::vector<std::string> keys;
  for (const Selection& each : trasso::listedSelections(e)) {
    if (e.selector == SelectorKind::Mode || e.selector == SelectorKind::Side) {
      keys.push_back(trasso::keyOf(e, each) + " (" + jkn::showSelector(e, each) + ")");
    }
  }
  std::string key = trasso::keyOf(e, s);
  if (!keys.empty()) key = keys[0] + ", " + keys[1];
  if (e.selector == SelectorKind::Entry) key = std::string(e.decl.key.name) + "<entry number>";
  if (e.selector == SelectorKind::Item) key = "one per item code ('jkn list Display' shows each)";
  std::string file = baseName(trasso::pathOf(e, s)) + " (" + native(trasso::pathOf(e, s)) + ")";
  if (e.selector == SelectorKind::FileId) file = "the settings file the selector names";
  if (e.selector == SelectorKind::Profile) file = "the profile file the selector names, " + file;
  const std::string getter = std::string("GetQZJkn_") + e.name;
  const std::string setter = e.put ? std::string("PutQZJkn_") + e.name : std::string("(none)");
  const json j{{"name", e.name},
               {"area", trasso::areaOf(e)},
               {"getter", getter},
               {"setter", setter},
               {"selector", jkn::selectorWords(e)},
               {"file", file},
               {"section", d.key.section},
               {"key", key},
               {"kind", jkn::kindWords(e, d)},
               {"default", jkn::showValue(d, d.def, o.raw)},
               {"format", jkn::formatWords(d)},
               {"accepts", rangeText(e, d)},
               {"validated", e.range.has_value()}};
  if (o.json) {
    print(j);
    return kOk;
  }
  std::cout << e.name << "\n";
  for (const char* field : {"area", "getter", "setter", "selector", "file", "section", "key",
                            "kind", "default", "format", "accepts"}) {
    std::string label = std::string(field) + ":";
    label.resize(11, ' ');
    std::cout << "  " << label << j[field].get<std::string>() << "\n";
  }
  if (e.range) std::cout << "  The setter itself refuses values outside this range.\n";
  return kOk;
}

int files(const Options& o) {
  json all = json::array();
  for (int id = 0;; ++id) {
    const char* name = trasso::SettingsFileName(id);
    if (name == nullptr) break;
    const std::string path = native(trasso::SettingsFilePath(id));
    struct stat st;
    const bool exists = ::stat(path.c_str(), &st) == 0;
    const bool writable = trasso::succeeded(trasso::facts::probeWrite(path));
    all.push_back(json{{"id", id},
                       {"name", name},
                       {"path", path},
                       {"exists", exists},
                       {"size", exists ? json(static_cast<int64_t>(st.st_size)) : json(nullptr)},
                       {"writable", writable}});
  }
  if (o.json) {
    print(all);
    return kOk;
  }
  for (const json& f : all) {
    char line[64];
    std::snprintf(line, sizeof line, "%2d  %-17s %-8s %-9s ", f["id"].get<int>(),
                  f["name"].get<std::string>().c_str(),
                  f["exists"].get<bool>() ? (std::to_string(f["size"].get<int64_t>()) + "B").c_str()
                                          : "missing",
                  f["writable"].get<bool>() ? "writable" : "read-only");
    std::cout << line << f["path"].get<std::string>() << "\n";
  }
  for (int root = 0; root < 2; ++root) {
    const std::string folder = native(trasso::AppDataFolder(root, "inf"));
    if (!isFolder(folder)) {
      std::cout << "folder " << folder << " does not exist: create it before the first write\n";
    }
  }
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
  if (e.range) {
    const bool isDouble = d.kind == ValueKind::DoubleA || d.kind == ValueKind::DoubleB;
    const auto end = [&](double v) {
      return isDouble ? jkn::showValue(d, v, false) : std::to_string(static_cast<int64_t>(v));
    };
    return end(e.range->min) + " to " + end(e.range->max) + ", checked by the setter";
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
                 : std::to_string(e.minValue) + " to " + std::to_string(e.maxValue);
  }
}

// The numbers an overview takes for a numbered setting, as " 0 to N".
std::string listedNumbers(const SettingEntry& e) {
  return e.listed > 0 ? " 0 to " + std::to_string(e.listed - 1) : "";
}

// The reference page: every setting by area, with where it lies and what it takes.
int reference(const Options&) {
  std::cout
      << "# Settings reference\n\n"
         "Made by `jkn reference` from the settings registry; CI checks that it is current.\n"
         "Selector `mode` chooses the plain key (0) or the key with `_Svy` (1); `item N`\n"
         "is one item code of `Use`; `entry` appends the entry number to the key; `file id`\n"
         "names a settings file; `profile` is a file the caller names (its standard place\n"
         "is shown). `list`, `dump` and `check` go through the numbers shown after `entry` and\n"
         "`file id`. Paths below are relative to the application-data root (`jkn files`).\n";
  std::string area;
  for (const SettingEntry& e : trasso::settingsRegistry()) {
    if (trasso::areaOf(e) != area) {
      area = trasso::areaOf(e);
      std::cout << "\n## " << area << "\n\n"
                << "| name | file | section | key | selector | kind | default | range |\n"
                << "|---|---|---|---|---|---|---|---|\n";
    }
    std::vector<Selection> rows = {trasso::listedSelections(e).front()};
    if (e.selector == SelectorKind::Item) rows = trasso::listedSelections(e);
    for (const Selection& s : rows) {
      const Declaration d = trasso::declarationOf(e, s);
      std::string key = trasso::keyOf(e, s);
      std::string selector;
      std::string file = trasso::SettingsFileName(static_cast<int>(d.key.file));
      switch (e.selector) {
        case SelectorKind::None:
          break;
        case SelectorKind::Mode:
          selector = "mode";
          key += " / " + trasso::keyOf(e, Selection{1, {}});
          break;
        case SelectorKind::Side:
          selector = "side";
          key += " / " + trasso::keyOf(e, Selection{1, {}});
          break;
        case SelectorKind::Entry:
          selector = "entry" + listedNumbers(e);
          key = std::string(d.key.name) + "*n*";
          break;
        case SelectorKind::Item:
          selector = "item " + std::to_string(s.number);
          break;
        case SelectorKind::FileId:
          selector = "file id" + listedNumbers(e);
          file = "(file id)";
          break;
        case SelectorKind::Profile:
          selector = "profile";
          file = baseName(trasso::standardProfilePath(e));
          break;
      }
      std::cout << "| " << e.name << " | " << file << " | " << cell(d.key.section) << " | "
                << cell(key) << " | " << selector << " | " << cell(jkn::kindWords(e, d)) << " | "
                << cell(jkn::showValue(d, d.def, false)) << " | " << cell(rangeShort(e, d))
                << " |\n";
    }
  }
  std::cout << "\n## Exported functions that are not settings of their own\n\n"
               "| function | why |\n|---|---|\n";
  for (const trasso::Uncovered& u : trasso::uncoveredFunctions()) {
    std::cout << "| " << u.function << " | " << u.reason << " |\n";
  }
  return kOk;
}

const char* const kReadStatuses =
    "Exit status:\n"
    "  0  done\n"
    "  2  usage: unknown command, option, setting name or selector\n";

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
      "code page 932; --raw shows and takes the stored bytes as they are.",
      "jkn"};
  app.require_subcommand(1);
  app.footer(std::string(jkn::kExitStatuses) +
             "check: 0 no findings, 1 findings, 2 a settings folder it cannot look at.\n");
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
      "'=' stored with the default value, none: not stored (the default shows)");
  listCmd->add_option("AREA|FILE", o.filter,
                      "Only one area (GNSS, NMEA, TS, ZETR, PL30, Soku, Display) or one file");
  listCmd->add_flag("--changed", o.changed, "Only settings whose value differs from the default");
  addJson(listCmd);
  addRaw(listCmd);

  CLI::App* getCmd = app.add_subcommand("get", "The current value of a setting");
  addWords(getCmd, o.words,
           {{"NAME", "Setting name"}, {"SELECTOR", "Selector, where it takes one"}}, 1);
  addJson(getCmd);
  addRaw(getCmd);

  CLI::App* setCmd = app.add_subcommand("set", "Store a value (checked first; nothing half-done)");
  addWords(setCmd, o.words,
           {{"NAME", "Setting name"},
            {"SELECTOR|VALUE", "Selector, where it takes one; else the value"},
            {"VALUE", "The value, after a selector"}},
           2);
  addJson(setCmd);
  addRaw(setCmd);

  CLI::App* resetCmd =
      app.add_subcommand("reset", "Remove the stored key, so that the default shows again");
  addWords(resetCmd, o.words,
           {{"NAME", "Setting name"}, {"SELECTOR", "Selector, where it takes one"}}, 1);
  addJson(resetCmd);

  CLI::App* describeCmd = app.add_subcommand("describe", "Everything known about a setting");
  describeCmd->add_option("NAME", o.words, "Setting name")->required()->expected(1);
  addJson(describeCmd);

  CLI::App* filesCmd =
      app.add_subcommand("files", "The settings files: path, existence, size, writability");
  addJson(filesCmd);

  CLI::App* referenceCmd =
      app.add_subcommand("reference", "The reference page of every setting (Markdown)");

  // Commands that write can end in any status; those that only read in two.
  for (CLI::App* c : app.get_subcommands({})) {
    c->footer(c == setCmd || c == resetCmd ? jkn::kExitStatuses : kReadStatuses);
  }
  jkn::addCheckCommand(app);
  jkn::addDumpCommands(app);
  jkn::addCatalogueCommands(app);
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
