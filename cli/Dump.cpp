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
#include <unordered_set>

#include "CodePage932.h"
#include "Commands.h"
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

constexpr int kFormat = 1;
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

// A name of the document as a person reads it.
std::string shownName(const json& name) {
  if (!name.is_object()) return name.get<std::string>();
  return toUtf8(fromHex(name["hex"].get<std::string>()).value_or(std::string()));
}

// A profile's settings and the fields of its records name the profile by its
// place, not in the selector.
bool inProfile(const SettingEntry& e) {
  return e.selector == SelectorKind::Profile || (e.selector == SelectorKind::Field && e.inProfile);
}

json settingJson(const StoredFile& f, const KnownKey& k, const Value& v) {
  json j{{"name", k.entry->name}};
  if (inProfile(*k.entry)) j.update(place(f));
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

// The stored keys of every file in the order they stand; only what a reader
// sees (the first section of a name, the first key of a name in it).
json dumpDocument(const std::vector<std::string>& profiles) {
  // An empty document of folders that could not be looked at would load as
  // "nothing stored" on another device.
  if (const std::string why = unreadableRoots(); !why.empty()) {
    throw Failure{kFileError, "cannot dump: " + why};
  }
  const SettingsIndex index;
  // The getters read each file once, not once per key.
  const trasso::fileio::ReadSnapshot snapshot;
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
    // Names seen so far, folded: time proportional to the file's size.
    std::unordered_set<std::string> sections;
    std::unordered_set<std::string> keys;
    std::unordered_set<const SettingEntry*> records;
    bool readable = false;
    std::string section;
    trasso::ini::forEachLine(bytes, [&](const trasso::ini::LineView& l) {
      if (l.kind == trasso::ini::LineView::Section) {
        section = std::string(l.name);
        readable = sections.insert(trasso::ini::foldedName(l.name)).second;
        keys.clear();
        return;
      }
      if (!readable || l.kind != trasso::ini::LineView::Key ||
          !keys.insert(trasso::ini::foldedName(l.name)).second) {
        return;
      }
      if (!l.hasEquals) return;
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

// One entry of a document, checked and ready to write.
struct Change {
  size_t number = 0;  // the entry's number in the document, from 1
  std::string label;
  std::string path;
  std::string section;
  std::string key;
  std::string stored;  // the bytes the key will hold
  const SettingEntry* entry = nullptr;
  trasso::Selection selection;
  Value value;
};

Failure refused(std::string message) { return Failure{kRefused, std::move(message)}; }

// A JSON value as a message shows it, cut short (at a character's start).
std::string got(const json& v) {
  std::string text = v.dump(-1, ' ', false, json::error_handler_t::replace);
  if (text.size() <= 40) return text;
  size_t cut = 37;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return text.substr(0, cut) + "...";
}

// A field no entry (or document) has: the known one it is likely a slip for,
// else all of them.
std::string unknownField(const std::string& field, const std::vector<std::string>& known) {
  std::string best;
  size_t distance = SIZE_MAX;
  for (const std::string& k : known) {
    const size_t d = editDistance(lowerAscii(field), k);
    if (d < distance) {
      best = k;
      distance = d;
    }
  }
  std::string message = "unknown field '" + field + "'";
  if (distance <= 2 && distance < field.size()) return message + "; did you mean '" + best + "'?";
  for (size_t i = 0; i < known.size(); ++i) {
    message += (i == 0 ? "; the fields are " : ", ") + known[i];
  }
  return message;
}

const std::vector<std::string> kEntryFields = {"name", "selector", "value",   "hex", "root",
                                               "file", "profile",  "section", "key"};

// Refuses a field this kind of entry does not take, and fields given twice over.
void takesOnly(const json& j, std::initializer_list<std::string_view> fields,
               const std::string& what) {
  for (auto it = j.begin(); it != j.end(); ++it) {
    if (std::find(fields.begin(), fields.end(), it.key()) == fields.end()) {
      throw refused(what + " takes no '" + it.key() + "'");
    }
  }
  if (j.contains("value") && j.contains("hex")) {
    throw refused("give \"value\" or \"hex\", not both");
  }
  if (j.contains("profile") && (j.contains("root") || j.contains("file"))) {
    throw refused("give \"root\" and \"file\", or \"profile\", not both");
  }
}

std::string textOf(const json& j, const char* field) {
  if (!j.contains(field)) throw refused(std::string("needs a text \"") + field + "\"");
  if (!j[field].is_string()) {
    throw refused(std::string("\"") + field + "\" must be a JSON text; got " + got(j[field]));
  }
  return j[field].get<std::string>();
}

// The file an entry's place names.
std::string pathOf(const json& j) {
  if (j.contains("profile")) return trasso::fileio::nativePath(pathArgument(textOf(j, "profile")));
  const std::string file = textOf(j, "file");
  if (!j.contains("root") || !j["root"].is_number_integer() || (j["root"] != 0 && j["root"] != 1)) {
    throw refused("needs \"root\" 0 or 1, or a \"profile\" path");
  }
  if (file.empty() || file == "." || file == ".." ||
      file.find_first_of("/\\") != std::string::npos) {
    throw refused("\"file\" must be a file name of the \"inf\" folder");
  }
  return trasso::fileio::nativePath(trasso::AppDataFolder(j["root"].get<int>(), "inf")) + file;
}

// The bytes an entry carries: "value" in UTF-8 (stored in code page 932) or "hex".
std::string bytesOf(const json& j) {
  if (j.contains("hex")) {
    const std::optional<std::string> bytes = fromHex(textOf(j, "hex"));
    if (!bytes) throw refused("\"hex\" is no hex text");
    return *bytes;
  }
  const std::string text = textOf(j, "value");
  const std::optional<std::string> bytes = toCp932(text);
  if (!bytes) throw refused("'" + text + "' cannot be stored in code page 932");
  return *bytes;
}

Change knownChange(const json& j) {
  const std::string name = textOf(j, "name");
  const SettingEntry* e = trasso::findSetting(name);
  if (e == nullptr) {
    std::string message = "unknown setting '" + name + "'";
    const std::vector<std::string> near = closestNames(name);
    for (size_t i = 0; i < near.size(); ++i) message += (i == 0 ? "; closest: " : " ") + near[i];
    throw refused(message);
  }
  if (e->put == nullptr) throw refused(name + " is read-only");
  if (e->selector == SelectorKind::Profile) {
    takesOnly(j, {"name", "value", "hex", "root", "file", "profile"}, name);
  } else if (inProfile(*e)) {
    takesOnly(j, {"name", "selector", "value", "hex", "root", "file", "profile"}, name);
  } else if (e->selector == SelectorKind::None) {
    takesOnly(j, {"name", "value", "hex"}, name);
  } else {
    takesOnly(j, {"name", "selector", "value", "hex"}, name);
  }
  Change c;
  c.entry = e;
  try {
    if (e->selector == SelectorKind::Profile) {
      c.selection = trasso::Selection{};
      c.selection.path = pathOf(j);
    } else {
      c.selection = jkn::parseSelector(*e, j.contains("selector")
                                               ? std::optional<std::string>(textOf(j, "selector"))
                                               : std::nullopt);
      if (inProfile(*e)) c.selection.path = pathOf(j);
    }
    const trasso::Declaration d = trasso::declarationOf(*e, c.selection);
    // Texts and colours come as JSON texts, numbers as JSON numbers: true is
    // no 1, "10" no 10.
    const bool wantsText = d.kind == ValueKind::Text || d.kind == ValueKind::Colour;
    const bool raw = j.contains("hex");
    std::string text;
    if (raw) {
      if (d.kind != ValueKind::Text) {
        throw refused("\"hex\" gives the bytes of a text; " + name + " takes " +
                      acceptedValues(*e, d));
      }
      text = bytesOf(j);
    } else if (!j.contains("value")) {
      throw refused("needs a \"value\"");
    } else {
      const json& v = j["value"];
      if (wantsText ? !v.is_string() : !v.is_number()) {
        throw refused("\"value\" of " + name + " must be a JSON " +
                      (wantsText ? "text" : "number") + " (" + acceptedValues(*e, d) + "); got " +
                      got(v));
      }
      text = v.is_string() ? v.get<std::string>() : v.dump();
    }
    c.value = parseValue(*e, d, text, raw);
    c.path = trasso::fileio::nativePath(trasso::pathOf(*e, c.selection));
    c.section = d.key.section;
    c.key = trasso::keyOf(*e, c.selection);
    c.stored = trasso::storedText(d, c.value);
    const std::string selector = e->selector == SelectorKind::Field
                                     ? trasso::showField(*e, c.selection)
                                     : jkn::showSelector(*e, c.selection);
    c.label = name + (e->selector == SelectorKind::None || e->selector == SelectorKind::Profile
                          ? ""
                          : " " + selector);
  } catch (const Refusal& r) {
    // A document gives bytes as "hex", not with --raw.
    std::string message = r.message;
    const size_t hint = message.find("use --raw for bytes");
    if (hint != std::string::npos) message.replace(hint, 19, "give the bytes as \"hex\"");
    throw refused(message);
  }
  return c;
}

// A section or key name: a UTF-8 text (stored in code page 932) or {"hex": bytes}.
std::optional<std::string> nameOf(const json& j, const char* field) {
  if (!j.contains(field) || !j[field].is_object()) return toCp932(textOf(j, field));
  const json& name = j[field];
  if (name.size() != 1 || !name.contains("hex") || !name["hex"].is_string()) {
    throw refused(std::string("\"") + field + "\" must be a JSON text or {\"hex\": ...}; got " +
                  got(name));
  }
  const std::optional<std::string> bytes = fromHex(name["hex"].get<std::string>());
  if (!bytes) throw refused(std::string("\"") + field + "\" is no hex text");
  return bytes;
}

Change rawChange(const json& j) {
  takesOnly(j, {"root", "file", "profile", "section", "key", "value", "hex"},
            "an entry without \"name\"");
  Change c;
  c.path = pathOf(j);
  const std::optional<std::string> section = nameOf(j, "section");
  const std::optional<std::string> key = nameOf(j, "key");
  if (!section || !trasso::ini::isStorableSection(*section)) {
    throw refused("section '" + shownName(j["section"]) + "' cannot be stored");
  }
  if (!key || !trasso::ini::isStorableKey(*key)) {
    throw refused("key '" + shownName(j["key"]) + "' cannot be stored");
  }
  c.section = *section;
  c.key = *key;
  c.stored = bytesOf(j);
  if (!trasso::ini::isStorableValue(c.stored)) {
    throw refused("a value with a line break cannot be stored");
  }
  c.label = trasso::fileio::nativePath(c.path) + " [" + shownName(j["section"]) + "] " +
            shownName(j["key"]);
  return c;
}

// The key a change sets, the same for every spelling of its file's folder.
std::string keyIdentity(const Change& c) {
  const std::string folder = folderOf(c.path);
  std::string id = fileIdentity(folder);
  if (id.empty()) id = folder;
  std::string name = c.path.substr(lastSeparator(c.path) + 1);
#ifdef _WIN32
  name = lowerAscii(name);  // one file whatever the case of its name
#endif
  return id + "/" + name + "\n" + trasso::ini::foldedName(c.section) + "\n" +
         trasso::ini::foldedName(c.key);
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

// A file as it was before the load: its bytes, or that there was none.
struct Kept {
  std::string path;
  bool existed = false;
  std::string bytes;
};

// Puts a file back byte for byte through the library's own write (the whole
// file replaced in one step), or removes the file the load created.
trasso::WriteStatus putBack(const Kept& k) {
  if (!k.existed) return trasso::fileio::removeFile(k.path);
  return trasso::fileio::updateFile(k.path, [&k](std::string& contents, bool exists) {
    if (exists && contents == k.bytes) return trasso::WriteStatus::Unchanged;
    contents = k.bytes;
    return trasso::WriteStatus::Written;
  });
}

struct LoadOptions {
  std::string file;
  bool dryRun = false;
  bool skipRefused = false;
};

json readDocument(const std::string& file, const std::string& name) {
  if (file != "-" && isFolder(file)) {
    throw Failure{kUsage, file + " is a folder, not a document ('jkn dump --json' makes one)"};
  }
  std::string text;
  try {
    std::ifstream in;
    if (file != "-") {
      in.open(file, std::ios::binary);
      if (!in) throw Failure{kUsage, "cannot read " + file + ": " + std::strerror(errno)};
    }
    std::istream& from = file == "-" ? std::cin : in;
    text.assign(std::istreambuf_iterator<char>(from), std::istreambuf_iterator<char>());
  } catch (const std::ios_base::failure&) {
    throw Failure{kUsage, "cannot read " + name};
  }
  json doc;
  try {
    doc = json::parse(text);
  } catch (const json::exception& e) {
    throw Failure{kUsage, name + " is no JSON document ('jkn dump --json' makes one): " + e.what()};
  }
  if (doc.is_object()) {
    for (auto it = doc.begin(); it != doc.end(); ++it) {
      if (it.key() != "jkn-dump" && it.key() != "settings") {
        throw Failure{kUsage, name + ": " + unknownField(it.key(), {"jkn-dump", "settings"})};
      }
    }
  }
  if (!doc.is_object() || !doc.contains("jkn-dump") || !doc["jkn-dump"].is_number_integer() ||
      doc["jkn-dump"] != kFormat || !doc.contains("settings") || !doc["settings"].is_array()) {
    throw Failure{kUsage, name + " is no document of 'jkn dump --json'"};
  }
  return doc;
}

int runLoad(const LoadOptions& o) {
  const json doc = readDocument(pathArgument(o.file), o.file == "-" ? "standard input" : o.file);
  // Every entry is checked before anything is written.
  std::vector<Change> changes;
  std::vector<std::string> refusals;
  std::map<std::string, size_t> keys;  // key identity -> index in changes
  size_t n = 0;
  for (const json& j : doc["settings"]) {
    ++n;
    try {
      if (!j.is_object()) throw refused("is no object");
      for (auto it = j.begin(); it != j.end(); ++it) {
        if (std::find(kEntryFields.begin(), kEntryFields.end(), it.key()) == kEntryFields.end()) {
          throw refused(unknownField(it.key(), kEntryFields));
        }
      }
      Change c = j.contains("name") ? knownChange(j) : rawChange(j);
      c.number = n;
      const auto [at, added] = keys.emplace(keyIdentity(c), changes.size());
      if (!added) {
        const Change& first = changes[at->second];
        throw refused("sets the same key as entry " + std::to_string(first.number) + ": " +
                      first.path + " [" + toUtf8(first.section) + "] " + toUtf8(first.key));
      }
      changes.push_back(std::move(c));
    } catch (const Failure& f) {
      refusals.push_back("entry " + std::to_string(n) + (o.skipRefused ? " skipped: " : ": ") +
                         f.message);
    }
  }
  for (const std::string& r : refusals) std::cerr << "jkn: " << r << "\n";
  if (!refusals.empty() && !o.skipRefused) {
    std::cerr << "jkn: nothing changed: " << refusals.size()
              << (refusals.size() == 1 ? " entry" : " entries")
              << " refused (--skip-refused loads the others)\n";
    return kRefused;
  }
  // What changes, and every file it changes checked: a missing folder or a
  // read-only file fails the load before anything is written.
  std::vector<const Change*> writes;
  std::vector<std::string> lines;
  std::vector<Kept> kept;
  for (const Change& c : changes) {
    const std::optional<std::string> before = storedNow(c);
    if (before == std::string(trasso::ini::valueAsRead(c.stored))) continue;
    writes.push_back(&c);
    lines.push_back(c.label + ": " +
                    (before ? "'" + toUtf8(*before) + "'" : std::string("(not stored)")) + " -> '" +
                    toUtf8(c.stored) + "'\n");
    if (std::any_of(kept.begin(), kept.end(), [&](const Kept& k) { return k.path == c.path; })) {
      continue;
    }
    const trasso::WriteStatus status = trasso::facts::probeWrite(c.path);
    if (!trasso::succeeded(status)) {
      Failure f = writeFailure(status, c.path);
      f.message = "nothing changed: " + f.message;
      throw f;
    }
    kept.push_back(Kept{c.path, false, std::string()});
  }
  std::string summary = std::to_string(writes.size()) + (o.dryRun ? " to change, " : " changed, ") +
                        std::to_string(changes.size() - writes.size()) + " unchanged";
  if (!refusals.empty()) summary += ", " + std::to_string(refusals.size()) + " skipped";
  const int status = refusals.empty() ? kOk : kRefused;
  if (o.dryRun) {
    for (const std::string& line : lines) std::cout << line;
    std::cout << summary << " (dry run: nothing written)\n";
    return status;
  }
  // The bytes of every file to change are kept; a write that fails puts every
  // file back as it was.
  for (Kept& k : kept) {
    struct stat st {};
    k.existed = ::stat(k.path.c_str(), &st) == 0;
    if (k.existed && !trasso::fileio::readFile(k.path, k.bytes)) {
      throw Failure{kFileError, "nothing changed: cannot read " + k.path + " to keep its bytes"};
    }
  }
  // A setter that writes more than its key (TS_AutoLoad) goes first, so that
  // what it writes beside its key does not undo another entry.
  std::stable_partition(writes.begin(), writes.end(), [](const Change* c) {
    return c->entry != nullptr && c->entry->alsoWrites != nullptr;
  });
  for (const Change* c : writes) {
    const trasso::WriteStatus written =
        c->entry ? c->entry->put(c->selection, c->value)
                 : trasso::writeText(c->path, c->section.c_str(), c->key.c_str(), c->stored);
    if (trasso::succeeded(written)) continue;
    Failure f = writeFailure(written, c->path);
    std::string notBack;
    for (const Kept& k : kept) {
      const trasso::WriteStatus back = putBack(k);
      if (!trasso::succeeded(back)) {
        notBack += "\njkn: not put back as it was: " + writeFailure(back, k.path).message;
      }
    }
    f.message = notBack.empty() ? "nothing changed: " + f.message : f.message + notBack;
    throw f;
  }
  for (const std::string& line : lines) std::cout << line;
  std::cout << summary << "\n";
  return status;
}

struct DumpOptions {
  bool json = false;
  std::vector<std::string> profiles;
};

}  // namespace

void addDumpCommands(CLI::App& app) {
  auto o = std::make_shared<DumpOptions>();
  CLI::App* dump = app.add_subcommand(
      "dump", "Every stored setting of both roots and the named profiles in one document");
  dump->add_option("PROFILE", o->profiles, "Profile files to include");
  dump->add_flag("--json", o->json, "The document 'jkn load' takes");
  dump->footer(
      "Settings go by name and selector, other keys by file, section, key and\n"
      "bytes, so nothing stored is dropped. Bytes that are no code page 932 text go\n"
      "as hex: a value in \"hex\", a section or key as {\"hex\": ...}. Changes nothing.\n\n"
      "Exit status:\n  0  done\n  2  usage: a named profile does not exist or is no file\n"
      "  3  a settings file or a root's settings folder cannot be read\n");
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

  auto l = std::make_shared<LoadOptions>();
  CLI::App* load =
      app.add_subcommand("load", "Write a document of 'jkn dump --json' through the setters");
  load->add_option("FILE", l->file, "The document ('-': standard input)")->required();
  load->add_flag("--dry-run", l->dryRun,
                 "Check everything and print what would change; write nothing");
  load->add_flag("--skip-refused", l->skipRefused,
                 "Skip refused entries (each listed with its reason) and load the rest");
  load->footer(
      "All or nothing. Every entry is checked first: its fields, the JSON type\n"
      "and range of its value, that no two entries set one key. Then every file\n"
      "to change is checked and its bytes kept, and the entries are written; if\n"
      "a write fails, every file is put back byte for byte (\"nothing changed\").\n"
      "Prints what changed.\n\n"
      "Exit status:\n"
      "  0  done\n"
      "  1  an entry refused (an unknown setting or field, a value of the wrong\n"
      "     JSON type or one the setting does not take, two entries for one key);\n"
      "     nothing written. With --skip-refused: entries skipped, the rest loaded\n"
      "  2  FILE cannot be read, is a folder, no JSON or no document of\n"
      "     'jkn dump --json'; nothing written\n"
      "  3  a file's place: its folder is missing, or a folder or device stands there\n"
      "  4  a file is read-only or access is denied\n"
      "  5  the disk is full or a file too large\n"
      "  6  another program holds a file; try again\n"
      "  7  the disk reported an I/O error\n"
      "  3 to 7: nothing changed; a file written before the failure is put back.\n"
      "  With --dry-run: the status the load would end with; nothing is written.\n");
  load->callback([l] { finish(guarded([&] { return runLoad(*l); })); });
}

}  // namespace jkn
