// jkn dump and jkn load: every stored setting of both roots (and of named
// profiles) as one document, and that document written back. Settings the
// registry knows travel by name and go back through their exported setters;
// every other stored key travels as its file, section, key and bytes, so that
// nothing stored is dropped.
#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <unordered_map>
#include <unordered_set>

#include "CodePage932.h"
#include "Commands.h"
#include "Document.h"
#include "Ini.h"
#include "ReadSnapshot.h"
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

using document::kFormat;
using document::shownName;
using document::takesProfilePath;

// Where a stored key lies, as the document names it: a root's "inf" folder and
// a file name, or a profile path.
json place(const StoredFile& f) {
  if (f.root >= 0) return json{{"root", f.root}, {"file", f.name}};
  return json{{"profile", shownPath(f.path)}};
}

// Texts travel in UTF-8 when they survive the trip, else as hex bytes.
void putText(json& j, const std::string& bytes) {
  if (isShowableCp932(bytes)) {
    j["value"] = toUtf8(bytes);
  } else {
    j["hex"] = toHex(bytes);
  }
}

// Section and key names likewise, as {"hex": ...} (the form of get --raw
// --json): a name shown with \xNN would name another key.
json nameJson(const std::string& bytes) {
  return isShowableCp932(bytes) ? json(toUtf8(bytes)) : json{{"hex", toHex(bytes)}};
}

json settingJson(const StoredFile& f, const KnownKey& k, const Value& v) {
  json j{{"name", k.entry->name}};
  if (takesProfilePath(*k.entry)) j.update(place(f));
  if (k.entry->selector == SelectorKind::Field) {
    j["selector"] = trasso::showField(*k.entry, k.selection);
  } else if (k.entry->selector != SelectorKind::None &&
             k.entry->selector != SelectorKind::Profile) {
    j["selector"] = jkn::showSelector(*k.entry, k.selection);
  }
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

// The fields a dump carries for a record that holds a stored key: every field of
// each of its instances (a side's record) that holds one, the fields of both
// sides once. Load writes them field by field through the record setter,
// which writes the whole record, so carrying fewer would come back as more.
std::vector<trasso::Selection> recordFields(const SettingEntry& e, const std::string& path) {
  const auto sided = [&](size_t i) {
    return e.fields[i].decl.key.choice == trasso::KeyChoice::Side;
  };
  std::vector<int> sides;
  for (const int side : {0, 1}) {
    for (size_t i = 0; i < e.fieldCount; ++i) {
      const trasso::Selection s{side, path, static_cast<int>(i)};
      const trasso::Declaration d = trasso::declarationOf(e, s);
      if (sided(i) &&
          trasso::readRaw(trasso::pathOf(e, s), d.key.section, trasso::keyOf(e, s).c_str())) {
        sides.push_back(side);
        break;
      }
    }
  }
  // Only the keys both sides share: the record of side R.
  if (sides.empty()) sides.push_back(0);
  std::vector<trasso::Selection> out;
  for (size_t k = 0; k < sides.size(); ++k) {
    for (size_t i = 0; i < e.fieldCount; ++i) {
      if (k == 0 || sided(i)) out.push_back(trasso::Selection{sides[k], path, static_cast<int>(i)});
    }
  }
  return out;
}

// The stored keys of every file in the order they stand: what a reader sees
// (the first section of a name, the first key of a name in it). What cannot
// travel is named in notes, one line each.
json dumpDocument(const std::vector<std::string>& profiles, std::vector<std::string>& notes) {
  // An empty document of folders that could not be looked at would load as
  // "nothing stored" on another device.
  if (const std::string why = unreadableRoots(); !why.empty()) {
    throw Failure{kFileError, "cannot dump: " + why};
  }
  const SettingsIndex index;
  // The getters read each file once, not once per key.
  const trasso::fileio::ReadSnapshot snapshot;
  json settings = json::array();
  const auto leaves = [&notes](const std::string& what, const std::string& why) {
    notes.push_back("not carried: " + what + ": " + why);
  };
  for (StoredFile f : storedFiles(profiles)) {
    struct stat st {};
    const std::string shown = shownPath(f.path);
    if (f.root >= 0 && trasso::fileio::isWriteLeftover(f.name)) {
      leaves(shown, "what a stopped write left behind ('jkn check' says how to remove it)");
      continue;
    }
    if (f.root >= 0 && !isIniName(f.name)) {
      leaves(shown, "no settings file (its name does not end in .ini)");
      continue;
    }
    if (::stat(f.path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
      if (f.root < 0) throw Failure{kUsage, "profile " + f.path + " is no file"};
      leaves(shown, "no regular file");
      continue;
    }
    std::string bytes;
    if (!trasso::fileio::readFile(f.path, bytes)) {
      throw Failure{kFileError, "cannot read " + f.path};
    }
    if (f.root >= 0 && readingRoot(f.name) != f.root) {
      notes.push_back(shown + ": the application never opens this file; 'jkn load' writes its " +
                      "keys only with --unread-files");
    }
    if (f.root < 0 && f.profile.empty()) f.profile = index.guessProfileArea(bytes);
    // Names seen so far, folded: time proportional to the file's size.
    std::unordered_map<std::string, size_t> sections;  // -> the line that begins it
    std::unordered_map<std::string, size_t> keys;
    std::unordered_set<const SettingEntry*> records;
    bool inSection = false;
    bool readable = false;
    std::string section;
    std::string hidden;  // a section again: what it holds
    const auto endSection = [&] {
      if (!hidden.empty()) notes.back() += hidden;
      hidden.clear();
    };
    trasso::ini::forEachLine(bytes, [&](const trasso::ini::LineView& l) {
      const std::string line =
          shown + ":" + std::to_string(l.number) + " " + toUtf8(std::string(l.text));
      if (l.kind == trasso::ini::LineView::Section) {
        endSection();
        section = std::string(l.name);
        inSection = true;
        const auto [first, added] = sections.emplace(trasso::ini::foldedName(l.name), l.number);
        readable = added;
        keys.clear();
        if (!readable) {
          leaves(line, "the section again (line " + std::to_string(first->second) +
                           " begins it; the application reads only the first)");
          hidden = ", with ";
        }
        return;
      }
      if (l.kind != trasso::ini::LineView::Key) return;
      if (!readable) {
        if (!inSection) leaves(line, "before any section (no reader reads it)");
        if (inSection) hidden += (hidden == ", with " ? "" : ", ") + toUtf8(std::string(l.name));
        return;
      }
      const auto [first, added] = keys.emplace(trasso::ini::foldedName(l.name), l.number);
      if (!added) {
        leaves(line, "the key again in its section (line " + std::to_string(first->second) +
                         "; the application reads only the first)");
        return;
      }
      if (!l.hasEquals) {
        leaves(line, "a line without '=' (it holds no value; the key reads as a missing one)");
        return;
      }
      const std::optional<KnownKey> known = index.find(f, section, l.name);
      if (known && known->entry->put != nullptr && known->entry->selector == SelectorKind::Field) {
        const SettingEntry& e = *known->entry;
        if (!records.insert(&e).second) return;
        for (const trasso::Selection& s : recordFields(e, known->selection.path)) {
          const KnownKey field{&e, s, trasso::declarationOf(e, s)};
          settings.push_back(settingJson(f, field, e.get(s)));
        }
        return;
      }
      // A value that is the caller's default, none named, travels as its bytes.
      const std::optional<Value> v =
          known ? trasso::readValue(*known->entry, known->selection) : std::nullopt;
      if (known && known->entry->put != nullptr && v) {
        settings.push_back(settingJson(f, *known, *v));
        return;
      }
      json j = place(f);
      j["section"] = nameJson(section);
      j["key"] = nameJson(std::string(l.name));
      putText(j, std::string(l.stored));
      settings.push_back(j);
    });
    endSection();
  }
  return json{{"jkn-dump", kFormat}, {"settings", settings}};
}

void printDump(const json& doc) {
  std::cout << "# Stored settings of " << shownPath(trasso::AppDataRoot(0)) << " and "
            << shownPath(trasso::AppDataRoot(1))
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
             " [" + shownName(j["section"]) + "] " + shownName(j["key"]);
    }
    const json& v = j.contains("hex") ? j["hex"] : j["value"];
    line += j.contains("hex") ? " = (bytes) " + v.get<std::string>()
            : v.is_string()   ? " = \"" + v.get<std::string>() + "\""
                              : " = " + v.dump();
    std::cout << line << "\n";
  }
}

struct DumpOptions {
  bool json = false;
  std::vector<std::string> profiles;
};

}  // namespace

std::string document::shownName(const json& name) {
  if (!name.is_object()) return name.get<std::string>();
  return toUtf8(fromHex(name["hex"].get<std::string>()).value_or(std::string()));
}

void addDumpCommands(CLI::App& app) {
  auto o = std::make_shared<DumpOptions>();
  CLI::App* dump = app.add_subcommand(
      "dump", "Every stored setting of both roots and the named profiles in one document");
  dump->add_option("PROFILE", o->profiles, "Profile files to include");
  dump->add_flag("--json", o->json, "The document 'jkn load' takes");
  dump->footer(
      "Settings go by name and selector, other keys by file, section, key and\n"
      "bytes. Bytes that are no code page 932 text go as hex: a value in \"hex\", a\n"
      "section or key as {\"hex\": ...}. What the application never reads cannot\n"
      "travel and is named on standard error, line by line: a section again (with\n"
      "its keys), a key again in its section, a key line without '=', a line before\n"
      "any section, files that are no settings files. Keys of a file the\n"
      "application never opens travel, and are named too: 'jkn load' takes them\n"
      "with --unread-files. Changes nothing.\n\n"
      "Exit status:\n  0  done (what did not travel is on standard error)\n"
      "  2  usage: a named profile does not exist or is no file\n"
      "  3  a settings file or a root's settings folder cannot be read\n");
  dump->callback([o] {
    finish(guarded([&] {
      std::vector<std::string> notes;
      const json doc = dumpDocument(o->profiles, notes);
      for (const std::string& note : notes) std::cerr << "jkn: " << note << "\n";
      if (o->json) {
        std::cout << doc.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
      } else {
        printDump(doc);
      }
      return kOk;
    }));
  });

  addLoadCommand(app);
}

}  // namespace jkn
