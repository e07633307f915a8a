// jkn dump and jkn load: every stored setting of both roots (and of named
// profiles) as one document, and that document written back. Settings the
// registry knows travel by name and go back through their exported setters;
// every other stored key travels as its file, section, key and bytes, so that
// nothing stored is dropped.
#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>

#include "Commands.h"
#include "Ini.h"
#include "SettingsFileIo.h"
#include "SettingsPaths.h"
#include "SettingsValues.h"
#include "StoreFacts.h"
#include "Stored.h"
#include "Values.h"

namespace jkn {
namespace {

using nlohmann::json;
using trasso::SelectorKind;
using trasso::SettingEntry;
using trasso::Value;
using trasso::ValueKind;

constexpr int kFormat = 1;
// Where a stored key lies, as the document names it: a root's "inf" folder and
// a file name, or a profile path.
json place(const StoredFile& f) {
  if (f.root >= 0) return json{{"root", f.root}, {"file", f.name}};
  return json{{"profile", f.path}};
}

// Texts travel in UTF-8 when they survive the trip, else as hex bytes.
void putText(json& j, const std::string& bytes) {
  if (isShowableCp932(bytes)) {
    j["value"] = toUtf8(bytes);
  } else {
    j["hex"] = toHex(bytes);
  }
}

json settingJson(const StoredFile& f, const KnownKey& k) {
  json j{{"name", k.entry->name}};
  if (k.entry->selector == SelectorKind::Profile) {
    j.update(place(f));
  } else if (k.entry->selector != SelectorKind::None) {
    j["selector"] = showSelector(*k.entry, k.selection);
  }
  const Value v = k.entry->get(k.selection);
  switch (k.decl.kind) {
    case ValueKind::Text:
      putText(j, std::get<std::string>(v));
      break;
    case ValueKind::Colour:
      j["value"] = showValue(k.decl, v, false);
      break;
    case ValueKind::DoubleA:
    case ValueKind::DoubleB:
      j["value"] = std::get<double>(v);
      break;
    default:
      j["value"] = std::get<int64_t>(v);
  }
  return j;
}

// The stored keys of every file in the order they stand; only what a reader
// sees (the first section of a name, the first key of a name in it).
json dumpDocument(const std::vector<std::string>& profiles) {
  const SettingsIndex index;
  json settings = json::array();
  for (StoredFile f : storedFiles(profiles)) {
    struct stat st {};
    if (f.root >= 0 && (!isIniName(f.name) || trasso::fileio::isWriteLeftover(f.name))) continue;
    if (::stat(f.path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
      if (f.root < 0) throw Failure{kUsage, "profile " + f.path + " is no file"};
      continue;
    }
    std::string bytes;
    if (!trasso::fileio::readFile(f.path, bytes)) {
      throw Failure{kFileError, "cannot read " + f.path};
    }
    if (f.root < 0 && f.profile.empty()) f.profile = index.guessProfileArea(bytes);
    std::vector<std::string> sections;
    std::vector<std::string> keys;
    bool readable = false;
    std::string section;
    trasso::ini::forEachLine(bytes, [&](const trasso::ini::LineView& l) {
      auto seen = [](const std::vector<std::string>& names, std::string_view name) {
        for (const std::string& n : names) {
          if (trasso::ini::sameName(n, name)) return true;
        }
        return false;
      };
      if (l.kind == trasso::ini::LineView::Section) {
        section = std::string(l.name);
        readable = !seen(sections, l.name);
        if (readable) sections.push_back(section);
        keys.clear();
        return;
      }
      if (!readable || l.kind != trasso::ini::LineView::Key || seen(keys, l.name)) return;
      keys.push_back(std::string(l.name));
      if (!l.hasEquals) return;
      const std::optional<KnownKey> known = index.find(f, section, l.name);
      if (known && known->entry->put != nullptr) {
        settings.push_back(settingJson(f, *known));
        return;
      }
      json j = place(f);
      j["section"] = toUtf8(section);
      j["key"] = toUtf8(std::string(l.name));
      putText(j, std::string(l.stored));
      settings.push_back(j);
    });
  }
  return json{{"jkn-dump", kFormat}, {"settings", settings}};
}

void printDump(const json& doc) {
  std::cout << "# Stored settings of " << trasso::fileio::nativePath(trasso::AppDataRoot(0))
            << " and " << trasso::fileio::nativePath(trasso::AppDataRoot(1))
            << ".\n# 'jkn dump --json' gives the document that 'jkn load' takes.\n";
  for (const json& j : doc["settings"]) {
    std::string line;
    if (j.contains("name")) {
      line = j["name"].get<std::string>();
      if (j.contains("selector")) line += " " + j["selector"].get<std::string>();
      if (j.contains("file")) line += " (" + j["file"].get<std::string>() + ")";
      if (j.contains("profile")) line += " " + j["profile"].get<std::string>();
    } else {
      line = (j.contains("profile") ? j["profile"].get<std::string>()
                                    : "root " + std::to_string(j["root"].get<int>()) + " " +
                                          j["file"].get<std::string>()) +
             " [" + j["section"].get<std::string>() + "] " + j["key"].get<std::string>();
    }
    const json& v = j.contains("hex") ? j["hex"] : j["value"];
    line += j.contains("hex") ? " = (bytes) " + v.get<std::string>()
            : v.is_string()   ? " = \"" + v.get<std::string>() + "\""
                              : " = " + v.dump();
    std::cout << line << "\n";
  }
}

// One entry of a document, checked and ready to write.
struct Change {
  std::string label;
  std::string path;
  std::string section;
  std::string key;
  std::string stored;  // the bytes the key will hold
  const SettingEntry* entry = nullptr;
  trasso::Selection selection;
  Value value;
};

std::string textOf(const json& j, const char* field) {
  if (!j.contains(field) || !j[field].is_string()) {
    throw Failure{kRefused, std::string("needs a text \"") + field + "\""};
  }
  return j[field].get<std::string>();
}

// The file an entry's place names.
std::string pathOf(const json& j) {
  if (j.contains("profile")) return trasso::fileio::nativePath(textOf(j, "profile"));
  const std::string file = textOf(j, "file");
  if (!j.contains("root") || !j["root"].is_number_integer() || (j["root"] != 0 && j["root"] != 1)) {
    throw Failure{kRefused, "needs \"root\" 0 or 1, or a \"profile\" path"};
  }
  if (file.empty() || file == "." || file == ".." ||
      file.find_first_of("/\\") != std::string::npos) {
    throw Failure{kRefused, "\"file\" must be a file name of the \"inf\" folder"};
  }
  return trasso::fileio::nativePath(trasso::AppDataFolder(j["root"].get<int>(), "inf")) + file;
}

// The bytes an entry carries: "value" in UTF-8 (stored in code page 932) or "hex".
std::string bytesOf(const json& j) {
  if (j.contains("hex")) {
    const std::optional<std::string> bytes = fromHex(textOf(j, "hex"));
    if (!bytes) throw Failure{kRefused, "\"hex\" is no hex text"};
    return *bytes;
  }
  const std::string text = textOf(j, "value");
  const std::optional<std::string> bytes = toCp932(text);
  if (!bytes) throw Failure{kRefused, "'" + text + "' cannot be stored in code page 932"};
  return *bytes;
}

Change knownChange(const json& j) {
  const std::string name = textOf(j, "name");
  const SettingEntry* e = trasso::findSetting(name);
  if (e == nullptr) {
    std::string message = "unknown setting '" + name + "'";
    const std::vector<std::string> near = closestNames(name);
    for (size_t i = 0; i < near.size(); ++i) message += (i == 0 ? "; closest: " : " ") + near[i];
    throw Failure{kRefused, message};
  }
  if (e->put == nullptr) throw Failure{kRefused, name + " is read-only"};
  Change c;
  c.entry = e;
  try {
    if (e->selector == SelectorKind::Profile) {
      c.selection = trasso::Selection{0, pathOf(j)};
    } else {
      c.selection = parseSelector(*e, j.contains("selector")
                                          ? std::optional<std::string>(textOf(j, "selector"))
                                          : std::nullopt);
    }
    const trasso::Declaration d = trasso::declarationOf(*e, c.selection);
    const bool raw = j.contains("hex");
    const json& v = raw ? j["hex"] : j.contains("value") ? j["value"] : json();
    std::string text;
    if (raw) {
      text = bytesOf(j);
    } else if (v.is_string()) {
      text = v.get<std::string>();
    } else if (v.is_number()) {
      text = v.dump();
    } else if (v.is_boolean()) {
      text = v.get<bool>() ? "1" : "0";
    } else {
      throw Failure{kRefused, "needs a \"value\""};
    }
    if ((d.kind == ValueKind::Text) != (raw || v.is_string()) && d.kind != ValueKind::Colour) {
      throw Failure{kRefused, name + " takes " + acceptedValues(*e, d)};
    }
    c.value = parseValue(*e, d, text, raw);
    c.path = trasso::fileio::nativePath(trasso::pathOf(*e, c.selection));
    c.section = d.key.section;
    c.key = trasso::keyOf(*e, c.selection);
    c.stored = trasso::storedText(d, c.value);
    const std::string selector = showSelector(*e, c.selection);
    c.label = name + (e->selector == SelectorKind::None || e->selector == SelectorKind::Profile
                          ? ""
                          : " " + selector);
  } catch (const Refusal& r) {
    // A document gives bytes as "hex", not with --raw.
    std::string message = r.message;
    const size_t hint = message.find("use --raw for bytes");
    if (hint != std::string::npos) message.replace(hint, 19, "give the bytes as \"hex\"");
    throw Failure{kRefused, message};
  }
  return c;
}

Change rawChange(const json& j) {
  Change c;
  c.path = pathOf(j);
  const std::optional<std::string> section = toCp932(textOf(j, "section"));
  const std::optional<std::string> key = toCp932(textOf(j, "key"));
  if (!section || !trasso::ini::isStorableSection(*section)) {
    throw Failure{kRefused, "section '" + textOf(j, "section") + "' cannot be stored"};
  }
  if (!key || !trasso::ini::isStorableKey(*key)) {
    throw Failure{kRefused, "key '" + textOf(j, "key") + "' cannot be stored"};
  }
  c.section = *section;
  c.key = *key;
  c.stored = bytesOf(j);
  if (!trasso::ini::isStorableValue(c.stored)) {
    throw Failure{kRefused, "a value with a line break cannot be stored"};
  }
  c.label =
      trasso::fileio::nativePath(c.path) + " [" + textOf(j, "section") + "] " + textOf(j, "key");
  return c;
}

// The value bytes a key holds now (as stored, quotes kept), or nullopt.
std::optional<std::string> storedNow(const Change& c) {
  std::string bytes;
  if (!trasso::fileio::readFile(c.path, bytes)) return std::nullopt;
  std::optional<std::string> out;
  bool inSection = false;
  bool done = false;
  trasso::ini::forEachLine(bytes, [&](const trasso::ini::LineView& l) {
    if (done) return;
    if (l.kind == trasso::ini::LineView::Section) {
      done = inSection;
      inSection = !done && trasso::ini::sameName(l.name, c.section);
    } else if (inSection && l.kind == trasso::ini::LineView::Key &&
               trasso::ini::sameName(l.name, c.key)) {
      if (l.hasEquals) out = std::string(l.stored);
      done = true;
    }
  });
  return out;
}

int runLoad(const std::string& file) {
  json doc;
  try {
    if (file == "-") {
      doc = json::parse(std::cin);
    } else {
      std::ifstream in(file, std::ios::binary);
      if (!in) throw Failure{kUsage, "cannot read " + file};
      doc = json::parse(in);
    }
  } catch (const json::exception& e) {
    throw Failure{kUsage, file + " is no JSON document ('jkn dump --json' makes one): " + e.what()};
  }
  if (!doc.is_object() || doc.value("jkn-dump", 0) != kFormat || !doc.contains("settings") ||
      !doc["settings"].is_array()) {
    throw Failure{kUsage, file + " is no document of 'jkn dump --json'"};
  }
  // Everything is checked before anything is written.
  std::vector<Change> changes;
  std::vector<std::string> refused;
  size_t n = 0;
  for (const json& j : doc["settings"]) {
    ++n;
    try {
      if (!j.is_object()) throw Failure{kRefused, "is no object"};
      changes.push_back(j.contains("name") ? knownChange(j) : rawChange(j));
    } catch (const Failure& f) {
      refused.push_back("entry " + std::to_string(n) + ": " + f.message);
    }
  }
  if (!refused.empty()) {
    for (const std::string& r : refused) std::cerr << "jkn: " << r << "\n";
    std::cerr << "jkn: nothing written\n";
    return kRefused;
  }
  // Every file is checked before anything is written: a missing folder or a
  // read-only file fails the load with nothing written.
  for (const Change& c : changes) {
    const std::string native = trasso::fileio::nativePath(c.path);
    const trasso::WriteStatus status = trasso::facts::probeWrite(native);
    if (!trasso::succeeded(status)) {
      Failure f = writeFailure(status, native);
      f.message += "; nothing written";
      throw f;
    }
  }
  auto readsAs = [](const std::string& text) {
    return std::string(trasso::ini::valueAsRead(text));
  };
  size_t changed = 0;
  for (const Change& c : changes) {
    const std::optional<std::string> before = storedNow(c);
    if (before == readsAs(c.stored)) continue;
    const trasso::WriteStatus status =
        c.entry ? c.entry->put(c.selection, c.value)
                : trasso::writeText(c.path, c.section.c_str(), c.key.c_str(), c.stored);
    if (!trasso::succeeded(status)) {
      Failure f = writeFailure(status, trasso::fileio::nativePath(c.path));
      f.message += " (" + std::to_string(changed) + " entries before it are written)";
      throw f;
    }
    ++changed;
    std::cout << c.label << ": "
              << (before ? "'" + toUtf8(*before) + "'" : std::string("(not stored)")) << " -> '"
              << toUtf8(c.stored) << "'\n";
  }
  std::cout << changed << " changed, " << changes.size() - changed << " unchanged\n";
  return kOk;
}

struct DumpOptions {
  bool json = false;
  std::vector<std::string> profiles;
  std::string file;
};

}  // namespace

void addDumpCommands(CLI::App& app) {
  auto o = std::make_shared<DumpOptions>();
  const char* statuses =
      "Exit status:\n  0  done\n  1  an entry refused (unknown name, wrong kind, out of range,\n"
      "     not in code page 932); nothing written\n  2  usage, no dump document\n"
      "  3  file problem: missing \"inf\" folder, failed write\n";
  CLI::App* dump = app.add_subcommand(
      "dump", "Every stored setting of both roots and the named profiles in one document");
  dump->add_option("PROFILE", o->profiles, "Profile files to include");
  dump->add_flag("--json", o->json, "The document 'jkn load' takes");
  dump->footer(
      std::string("Settings go by name and selector, other keys by file, section, key and\n"
                  "bytes, so nothing stored is dropped. Changes nothing.\n\n") +
      statuses);
  dump->callback([o] {
    finish(guarded([&] {
      const json doc = dumpDocument(o->profiles);
      if (o->json) {
        std::cout << doc.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
      } else {
        printDump(doc);
      }
      return kOk;
    }));
  });

  CLI::App* load =
      app.add_subcommand("load", "Write a document of 'jkn dump --json' through the setters");
  load->add_option("FILE", o->file, "The document ('-': standard input)")->required();
  load->footer(
      std::string("Every entry is checked first and nothing is written if one is refused;\n"
                  "then prints what changed.\n\n") +
      statuses);
  load->callback([o] { finish(guarded([&] { return runLoad(o->file); })); });
}

}  // namespace jkn
