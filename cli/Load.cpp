// jkn load: a document of 'jkn dump --json' written back through the setters,
// all of it or nothing. Every entry is checked first; then the setters run
// into one write batch (nothing is written yet, and a setter that reads sees
// the entries before it), the report is made from what the batch would
// write, and the batch is committed: one locked replacement per file. A
// failed file, or a stop signal, takes back what the load wrote and nothing
// that others wrote meanwhile.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "Changes.h"
#include "Commands.h"
#include "Console.h"
#include "Document.h"
#include "Ini.h"
#include "Json.h"
#include "SettingsFileIo.h"
#include "SettingsPaths.h"
#include "SettingsValues.h"
#include "Stored.h"
#include "Values.h"
#include "WriteBatch.h"

namespace jkn {
namespace {

using document::shownName;
using document::takesProfilePath;
using nlohmann::json;
using trasso::SelectorKind;
using trasso::SettingEntry;
using trasso::Value;
using trasso::ValueKind;

struct LoadOptions {
  std::string file;
  bool dryRun = false;
  bool skipRefused = false;
  bool unreadFiles = false;
  bool json = false;
};

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

// The hex text of {"hex": "..."}, the form every --json output gives bytes in.
std::optional<std::string> hexObject(const json& v) {
  if (!v.is_object() || v.size() != 1 || !v.contains("hex") || !v["hex"].is_string()) {
    return std::nullopt;
  }
  return v["hex"].get<std::string>();
}

struct Place {
  std::string path;
  int root = -1;  // -1: a profile
  std::string file;
};

// The file an entry's place names.
Place placeOf(const json& j) {
  if (j.contains("profile")) {
    return Place{trasso::fileio::nativePath(nativeForm(textOf(j, "profile"))), -1, ""};
  }
  const std::string file = textOf(j, "file");
  if (!j.contains("root") || !j["root"].is_number_integer() || (j["root"] != 0 && j["root"] != 1)) {
    throw refused("needs \"root\" 0 or 1, or a \"profile\" path");
  }
  if (file.empty() || file == "." || file == ".." ||
      file.find_first_of("/\\") != std::string::npos) {
    throw refused("\"file\" must be a file name of the \"inf\" folder");
  }
  const int root = j["root"].get<int>();
  return Place{trasso::fileio::nativePath(trasso::AppDataFolder(root, "inf")) + file, root, file};
}

// The bytes an entry carries: "value" in UTF-8 (stored in code page 932), or
// hex: "hex", or "value" as {"hex": ...}.
std::string bytesOf(const json& j) {
  const std::optional<std::string> hex =
      j.contains("hex") ? textOf(j, "hex") : hexObject(j.value("value", json()));
  if (hex) {
    const std::optional<std::string> bytes = fromHex(*hex);
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
  // "selector": null is what --json prints for a setting that takes none.
  const bool selector = j.contains("selector") && !j["selector"].is_null();
  if (e->selector == SelectorKind::Profile) {
    takesOnly(j, {"name", "value", "hex", "root", "file", "profile"}, name);
  } else if (takesProfilePath(*e)) {
    takesOnly(j, {"name", "selector", "value", "hex", "root", "file", "profile"}, name);
  } else if (e->selector == SelectorKind::None) {
    if (selector) throw refused(name + " takes no 'selector'");
    takesOnly(j, {"name", "selector", "value", "hex"}, name);
  } else {
    takesOnly(j, {"name", "selector", "value", "hex"}, name);
  }
  Change c;
  c.entry = e;
  try {
    if (e->selector == SelectorKind::Profile) {
      c.selection = trasso::Selection{};
      c.selection.path = placeOf(j).path;
    } else {
      c.selection = jkn::parseSelector(
          *e, selector ? std::optional<std::string>(textOf(j, "selector")) : std::nullopt);
      if (takesProfilePath(*e)) c.selection.path = placeOf(j).path;
    }
    const trasso::Declaration d = trasso::declarationOf(*e, c.selection);
    // Texts and colours come as JSON texts, numbers as JSON numbers: true is
    // no 1, "10" no 10.
    const bool wantsText = d.kind == ValueKind::Text || d.kind == ValueKind::Colour;
    const bool raw = j.contains("hex") || (j.contains("value") && hexObject(j["value"]));
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
    c.label = settingLabel(*e, c.selection);
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
  const std::optional<std::string> hex = hexObject(j[field]);
  if (!hex) {
    throw refused(std::string("\"") + field + "\" must be a JSON text or {\"hex\": ...}; got " +
                  got(j[field]));
  }
  std::optional<std::string> bytes = fromHex(*hex);
  if (!bytes) throw refused(std::string("\"") + field + "\" is no hex text");
  return bytes;
}

Change rawChange(const json& j, bool unreadFiles) {
  takesOnly(j, {"root", "file", "profile", "section", "key", "value", "hex"},
            "an entry without \"name\"");
  Change c;
  const Place place = placeOf(j);
  c.path = place.path;
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
  if (j.contains("value") && !j["value"].is_string() && !hexObject(j["value"])) {
    throw refused("\"value\" must be a JSON text or {\"hex\": ...}; got " + got(j["value"]));
  }
  c.stored = bytesOf(j);
  if (!trasso::ini::isStorableValue(c.stored)) {
    throw refused("a value with a line break cannot be stored");
  }
  if (place.root >= 0 && readingRoot(place.file) != place.root && !unreadFiles) {
    const int reader = readingRoot(place.file);
    throw refused("the application never opens " + shownPath(c.path) +
                  (reader >= 0
                       ? " (it reads " + place.file + " from root " + std::to_string(reader) + ")"
                       : " (no setting reads a file of this name)") +
                  "; --unread-files writes it all the same");
  }
  c.label = shownPath(c.path) + " [" + shownName(j["section"]) + "] " + shownName(j["key"]);
  return c;
}

// The key a change sets, the same for every spelling of its file's folder;
// folders holds the folders looked at so far (a load names few).
std::string keyIdentity(const Change& c, std::map<std::string, std::string>& folders) {
  const std::string folder = folderOf(c.path);
  auto [at, added] = folders.emplace(folder, std::string());
  if (added) at->second = fileIdentity(folder);
  const std::string& id = at->second.empty() ? folder : at->second;
  return keyId(id + "/" + c.path.substr(lastSeparator(c.path) + 1), c.section, c.key);
}

// --- The document --------------------------------------------------------

// Line and column of a byte of text, counted from 1.
std::string lineAndColumn(const std::string& text, size_t byte) {
  byte = std::min(byte, text.size());
  const size_t lineStart = text.rfind('\n', byte == 0 ? 0 : byte - 1);
  const auto end = text.begin() + static_cast<std::ptrdiff_t>(byte);
  const size_t line = static_cast<size_t>(std::count(text.begin(), end, '\n')) + 1;
  const size_t column = lineStart == std::string::npos || byte == 0 ? byte + 1 : byte - lineStart;
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// Why text is no JSON, in words a person can act on.
std::string whyNoJson(const std::string& text, const json::parse_error& e) {
  // The parser reports the byte after the one it stopped at.
  const size_t at = e.byte == 0 ? 0 : std::min<size_t>(e.byte - 1, text.size());
  if (json::accept(text, true)) {
    return "JSON has no comments ('//' or '/* */'): remove the comment at " +
           lineAndColumn(text, at);
  }
  size_t before = at;
  while (before > 0 && std::isspace(static_cast<unsigned char>(text[before - 1]))) --before;
  if (at < text.size() && (text[at] == ']' || text[at] == '}') && before > 0 &&
      text[before - 1] == ',') {
    return "a comma before the '" + std::string(1, text[at]) + "' at " + lineAndColumn(text, at) +
           ": JSON takes none after the last element";
  }
  if (text.find_first_not_of(" \t\r\n") == std::string::npos) return "it is empty";
  std::string what = e.what();
  const size_t colon = what.find(": ");  // "[json.exception...] parse error at line L, column C: "
  return lineAndColumn(text, at) + ": " +
         (colon == std::string::npos ? what : what.substr(colon + 2));
}

// Parses text, refusing a key given twice in one object (JSON readers differ
// on which one counts).
json parseDocument(const std::string& text, const std::string& name) {
  const auto fail = [&name](const std::string& why) {
    return Failure{kUsage, name + " is no JSON document ('jkn dump --json' makes one): " + why};
  };
  std::vector<std::set<std::string>> objects;
  size_t entries = 0;  // objects of the "settings" list so far
  std::string twice;
  const json::parser_callback_t noKeyTwice = [&](int depth, json::parse_event_t event,
                                                 json& parsed) {
    if (event == json::parse_event_t::object_start) {
      objects.emplace_back();
      if (depth == 2) ++entries;
    } else if (event == json::parse_event_t::object_end) {
      objects.pop_back();
    } else if (event == json::parse_event_t::key && twice.empty() && !objects.empty() &&
               !objects.back().insert(parsed.get<std::string>()).second) {
      twice = "\"" + parsed.get<std::string>() + "\" is given twice " +
              (objects.size() == 1   ? std::string("in the document")
               : objects.size() == 2 ? "in entry " + std::to_string(entries)
                                     : "in an object of entry " + std::to_string(entries)) +
              "; each key goes once";
    }
    return true;
  };
  json doc;
  try {
    doc = json::parse(text, noKeyTwice);
  } catch (const json::parse_error& e) {
    throw fail(whyNoJson(text, e));
  } catch (const json::exception& e) {
    throw fail(e.what());
  }
  if (!twice.empty()) throw fail(twice);
  return doc;
}

// Why a JSON value is no document of 'jkn dump --json', or "".
std::string whyNoDocument(const json& doc) {
  if (!doc.is_object()) {
    return std::string("it is a JSON ") + doc.type_name() +
           ", not an object {\"jkn-dump\": 1, \"settings\": [...]}";
  }
  for (auto it = doc.begin(); it != doc.end(); ++it) {
    if (it.key() != "jkn-dump" && it.key() != "settings") {
      return unknownField(it.key(), {"jkn-dump", "settings"});
    }
  }
  if (!doc.contains("jkn-dump")) {
    return "no \"jkn-dump\": 1 (the format, first in what 'jkn dump --json' writes)";
  }
  const json& format = doc["jkn-dump"];
  if (!format.is_number_integer()) return "\"jkn-dump\" must be the number 1; got " + got(format);
  if (format != document::kFormat) {
    return "\"jkn-dump\": " + format.dump() + " is a format this jkn does not read (it reads 1)";
  }
  if (!doc.contains("settings")) return "no \"settings\" list";
  if (!doc["settings"].is_array()) {
    return "\"settings\" must be a JSON list of entries; got " + got(doc["settings"]);
  }
  return std::string();
}

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
  json doc = parseDocument(text, name);
  if (const std::string why = whyNoDocument(doc); !why.empty()) {
    throw Failure{kUsage, name + " is no document of 'jkn dump --json': " + why};
  }
  return doc;
}

// --- Stop signals --------------------------------------------------------

volatile std::sig_atomic_t stopSignal = 0;

void onStopSignal(int s) {
  stopSignal = s;
  std::signal(s, onStopSignal);  // some systems reset it before calling
}

// While it lives, the stop signals end the load at its next step (before the
// commit, or by taking back what the commit wrote), never inside a write.
class StopSignals {
 public:
  // A signal the load was started to ignore (nohup, a background job) stays so.
  // A write past the process's file size limit fails (as a full disk) instead
  // of ending the process in the middle of the load.
  StopSignals() {
    for (const StopSignal& k : stopSignals()) {
      before_.push_back(std::signal(k.number, onStopSignal));
      if (before_.back() == SIG_IGN) std::signal(k.number, SIG_IGN);
    }
    keepRunningPastFileSizeLimit();
  }
  ~StopSignals() {
    for (size_t i = 0; i < before_.size(); ++i) {
      std::signal(stopSignals()[i].number, before_[i] == SIG_ERR ? SIG_DFL : before_[i]);
    }
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // Throws the failure of a stopped load when a signal came.
  static void check(const std::string& what) {
    if (stopSignal == 0) return;
    const int s = stopSignal;
    const char* name = "a signal";
    for (const StopSignal& k : stopSignals()) name = k.number == s ? k.name : name;
    throw Failure{128 + s, std::string("stopped by ") + name + ": " + what};
  }

 private:
  std::vector<void (*)(int)> before_;
};

// --- The load ------------------------------------------------------------

// A line of the report: an entry's key, or another key a setter wrote beside
// its own (by that entry, if known).
struct Line {
  std::string text;
  json j;
  const Change* entry = nullptr;
  const Change* by = nullptr;
};

// The value of a change as --json gives it: typed as read, or the stored text.
json typed(const Change& c, const std::optional<Value>& read, const std::optional<std::string>& s) {
  if (c.entry != nullptr) return out::value(trasso::declarationOf(*c.entry, c.selection), read);
  return s ? out::name(*s) : json(nullptr);
}

// Checks every entry of a document.
std::vector<Change> checkEntries(const json& doc, const LoadOptions& o,
                                 std::vector<std::pair<size_t, std::string>>& refusals) {
  std::vector<Change> changes;
  std::map<std::string, size_t> keys;  // key identity -> index in changes
  std::map<std::string, std::string> folders;
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
      Change c = j.contains("name") ? knownChange(j) : rawChange(j, o.unreadFiles);
      c.number = n;
      const auto [at, added] = keys.emplace(keyIdentity(c, folders), changes.size());
      if (!added) {
        const Change& first = changes[at->second];
        throw refused("sets the same key as entry " + std::to_string(first.number) + ": " +
                      shownPath(first.path) + " [" + toUtf8(first.section) + "] " +
                      toUtf8(first.key));
      }
      changes.push_back(std::move(c));
    } catch (const Failure& f) {
      refusals.emplace_back(n, f.message);
    }
  }
  return changes;
}

using Stored = std::unordered_map<std::string, std::string>;  // keyId -> stored text

std::optional<std::string> storedAt(const Stored& values, const std::string& id) {
  const auto at = values.find(id);
  return at == values.end() ? std::nullopt : std::optional<std::string>(at->second);
}

const trasso::fileio::BatchFile* batchFile(trasso::fileio::WriteBatch& batch,
                                           const std::string& path) {
  for (const trasso::fileio::BatchFile& f : batch.files()) {
    if (f.path == path) return &f;
  }
  return nullptr;
}

// Runs every entry's setter into the batch, except where the key already
// reads as given. Returns the keys a setter wrote beside its own, each with the
// entry; fills before with the files' keys as they were.
std::unordered_map<std::string, const Change*> collect(
    trasso::fileio::WriteBatch& batch, const std::vector<Change>& changes,
    std::unordered_map<std::string, Stored>& before) {
  // A setter that writes more than its key (TS_AutoLoad) goes first, so that
  // what it writes beside its key does not undo another entry.
  std::vector<const Change*> order;
  for (const Change& c : changes) order.push_back(&c);
  std::stable_partition(order.begin(), order.end(), [](const Change* c) {
    return c->entry != nullptr && c->entry->alsoWrites != nullptr;
  });
  std::unordered_map<std::string, const Change*> beside;
  for (const Change* c : order) {
    const std::string id = keyId(c->path, c->section, c->key);
    auto file = before.find(c->path);
    if (file == before.end()) {
      std::string bytes;
      trasso::fileio::readFile(c->path, bytes);
      file = before.emplace(c->path, storedValues(c->path, bytes)).first;
    }
    // A key another setter wrote is read from the batch.
    const trasso::fileio::BatchFile* pending =
        beside.count(id) ? batchFile(batch, c->path) : nullptr;
    const std::optional<std::string> now =
        pending ? storedAt(storedValues(c->path, pending->after), id) : storedAt(file->second, id);
    if (now && trasso::ini::valueAsRead(*now) == trasso::ini::valueAsRead(c->stored)) continue;
    // What a setter of several keys writes beside its own. (A record's setter
    // writes its other fields as they read: what they read does not change.)
    const bool several = c->entry != nullptr && c->entry->alsoWrites != nullptr;
    const trasso::fileio::BatchFile* was = several ? batchFile(batch, c->path) : nullptr;
    const std::string wasBytes = was != nullptr ? was->after : std::string();
    const trasso::WriteStatus status =
        c->entry ? c->entry->put(c->selection, c->value)
                 : trasso::writeText(c->path, c->section.c_str(), c->key.c_str(), c->stored);
    if (!trasso::succeeded(status)) {
      Failure f = writeFailure(status, c->path);
      f.message = "nothing changed: " + f.message;
      throw f;
    }
    const trasso::fileio::BatchFile* is = several ? batchFile(batch, c->path) : nullptr;
    if (is == nullptr) continue;
    for (const trasso::fileio::KeyChange& k : trasso::fileio::changedKeys(wasBytes, is->after)) {
      beside[keyId(c->path, k.section, k.key)] = c;
    }
  }
  return beside;
}

int runLoad(const LoadOptions& o) {
  const StopSignals stops;
  const json doc = readDocument(nativeForm(o.file), o.file == "-" ? "standard input" : o.file);
  std::vector<std::pair<size_t, std::string>> refusals;
  const std::vector<Change> changes = checkEntries(doc, o, refusals);
  json refusedJson = json::array();
  for (const auto& [number, why] : refusals) {
    std::cerr << "jkn: entry " << number << (o.skipRefused ? " skipped: " : ": ") << why << "\n";
    refusedJson.push_back(json{{"entry", number}, {"message", why}});
  }
  if (!refusals.empty() && !o.skipRefused) {
    std::cerr << "jkn: nothing changed: " << refusals.size()
              << (refusals.size() == 1 ? " entry" : " entries")
              << " refused (--skip-refused loads the others)\n";
    if (o.json) {
      out::print(json{{"changes", json::array()},
                      {"refused", refusedJson},
                      {"unchanged", 0},
                      {"written", false}});
    }
    return kRefused;
  }

  trasso::fileio::WriteBatch batch;
  std::unordered_map<std::string, Stored> before;  // native path -> keys before the load
  const std::unordered_map<std::string, const Change*> beside = collect(batch, changes, before);

  // The report, from what the batch holds; every entry must read back as given.
  std::unordered_map<std::string, Stored> after;
  for (const trasso::fileio::BatchFile& f : batch.files()) {
    before[f.path] = storedValues(f.path, f.before);
    after[f.path] = storedValues(f.path, f.after);
  }
  std::vector<Line> lines;
  std::unordered_set<std::string> own;
  for (const Change& c : changes) {
    const std::string id = keyId(c.path, c.section, c.key);
    own.insert(id);
    const std::optional<std::string> was = storedAt(before[c.path], id);
    const auto file = after.find(c.path);
    const std::optional<std::string> is = file != after.end() ? storedAt(file->second, id) : was;
    if (!is || trasso::ini::valueAsRead(*is) != trasso::ini::valueAsRead(c.stored)) {
      throw refused("nothing changed: entry " + std::to_string(c.number) + " (" + c.label +
                    ") would read " + shownStored(is) + ", not '" + toUtf8(c.stored) +
                    "': the setter of another entry writes its key too; load the two apart");
    }
    if (was == is) continue;
    json j;
    if (o.json) {
      j = c.entry ? out::setting(*c.entry, c.selection)
                  : json{{"name", nullptr}, {"selector", nullptr}};
      j.update(out::place(c.path, c.section, c.key));
      j["entry"] = c.number;
      std::optional<Value> old;
      if (c.entry != nullptr) {
        batch.showBefore(true);
        old = trasso::readValue(*c.entry, c.selection);
        batch.showBefore(false);
      }
      j["before"] = typed(c, old, was);
      j["value"] = typed(c, c.value, is);
    }
    lines.push_back(Line{c.label + ": " + shownStored(was) + " -> " + shownStored(is), j, &c});
  }
  const size_t written = lines.size();
  for (const SideEffect& s : sideEffects(batch, own)) {
    const auto at = beside.find(keyId(s.path, s.section, s.key));
    const Change* by = at != beside.end() ? at->second : nullptr;
    json j;
    if (o.json) {
      j = sideEffectJson(s);
      j["entry"] = nullptr;
      j["by"] = by ? json(by->number) : json(nullptr);
    }
    lines.push_back(
        Line{sideEffectLine(s, by ? "entry " + std::to_string(by->number) + ", " + by->label
                                  : std::string("an entry")),
             j, nullptr, by});
  }

  StopSignals::check(o.dryRun ? "nothing written" : "nothing changed");
  if (!o.dryRun) {
    const trasso::WriteStatus s = batch.commit();
    if (!trasso::succeeded(s)) {
      Failure f = writeFailure(s, batch.failedPath());
      std::string notBack;
      for (const auto& [path, why] : batch.notUndone()) {
        notBack += "\njkn: not put back as it was: " + writeFailure(why, path).message;
      }
      f.message = notBack.empty() ? "nothing changed: " + f.message : f.message + notBack;
      throw f;
    }
    if (stopSignal != 0) {
      std::string notBack;
      for (const auto& [path, why] : batch.undo()) {
        notBack += "; not put back as it was: " + writeFailure(why, path).message;
      }
      StopSignals::check(notBack.empty() ? "nothing changed" : "written" + notBack);
    }
  }

  // What a setter wrote beside its key follows its entry's line.
  std::vector<const Line*> shown;
  std::vector<bool> done(lines.size(), false);
  for (size_t i = 0; i < written; ++i) {
    shown.push_back(&lines[i]);
    for (size_t k = written; k < lines.size(); ++k) {
      if (!done[k] && lines[k].by == lines[i].entry) {
        shown.push_back(&lines[k]);
        done[k] = true;
      }
    }
  }
  for (size_t k = written; k < lines.size(); ++k) {
    if (!done[k]) shown.push_back(&lines[k]);
  }
  const int status = refusals.empty() ? kOk : kRefused;
  if (o.json) {
    json all = json::array();
    for (const Line* l : shown) all.push_back(l->j);
    out::print(json{{"changes", all},
                    {"refused", refusedJson},
                    {"unchanged", changes.size() - written},
                    {"written", !o.dryRun}});
    return status;
  }
  for (const Line* l : shown) std::cout << l->text << "\n";
  std::cout << written << (o.dryRun ? " to change, " : " changed, ") << changes.size() - written
            << " unchanged";
  if (lines.size() > written) std::cout << ", " << lines.size() - written << " more by setters";
  if (!refusals.empty()) std::cout << ", " << refusals.size() << " skipped";
  std::cout << (o.dryRun ? " (dry run: nothing written)" : "") << "\n";
  return status;
}

}  // namespace

void addLoadCommand(CLI::App& app) {
  auto l = std::make_shared<LoadOptions>();
  CLI::App* load =
      app.add_subcommand("load", "Write a document of 'jkn dump --json' through the setters");
  load->add_option("FILE", l->file, "The document ('-': standard input)")->required();
  load->add_flag("--dry-run", l->dryRun,
                 "Check everything and print what would change; write nothing");
  load->add_flag("--skip-refused", l->skipRefused,
                 "Skip refused entries (each listed with its reason) and load the rest");
  load->add_flag("--unread-files", l->unreadFiles,
                 "Also write keys into files of a root that the application never opens");
  load->add_flag("--json", l->json, "Print what changed as JSON");
  load->footer(
      "All or nothing. Every entry is checked first: its fields, the JSON type\n"
      "and range of its value, that no two entries set one key, that its file is\n"
      "one the application opens. Then the setters run without writing (a\n"
      "setter that reads sees the entries before it), and each file is written\n"
      "once, under its lock, keeping what other programs wrote meanwhile. If a\n"
      "file cannot be written, or a signal stops the load, what it wrote is\n"
      "taken back key by key (\"nothing changed\"); a key written again since\n"
      "stays. Prints every setting that changed, also those a setter writes\n"
      "beside its own key (TS_AutoLoad); --json gives the same as data.\n\n"
      "Exit status:\n"
      "  0  done\n"
      "  1  an entry refused (an unknown setting or field, a value of the wrong\n"
      "     JSON type or one the setting does not take, two entries for one key,\n"
      "     a file the application never opens without --unread-files); nothing\n"
      "     written. With --skip-refused: entries skipped, the rest loaded\n"
      "  2  FILE cannot be read, is a folder, no JSON (it says why: JSON has no\n"
      "     comments and no comma after a last element; a key goes once in an\n"
      "     object) or no document of 'jkn dump --json'; nothing written\n"
      "  3  a file's place: its folder is missing, or a folder or device stands there\n"
      "  4  a file is read-only or access is denied\n"
      "  5  the disk is full or a file too large\n"
      "  6  another program holds a file; try again\n"
      "  7  the disk reported an I/O error\n"
      "  3 to 7: nothing changed; a file written before the failure is taken back.\n"
      "  129, 130, 143: stopped by SIGHUP, SIGINT (Ctrl-C) or SIGTERM; nothing\n"
      "     changed.\n"
      "  With --dry-run: the status the load would end with; nothing is written.\n");
  load->callback([l] { finish(guarded([&] { return runLoad(*l); })); });
}

}  // namespace jkn
