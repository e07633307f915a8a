// What a write changed: of the files a write batch changes, every setting
// whose value as the application reads it differs, beside the keys the caller
// wrote itself (a setter such as TS_AutoLoad writes more than its key). jkn set
// and jkn load report them.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "Stored.h"
#include "WriteBatch.h"

namespace jkn {

// One key of one file: the same text for every spelling of its section and key.
std::string keyId(const std::string& nativePath, std::string_view section, std::string_view key);

// The value texts (as stored: blanks trimmed, quotes kept) of the keys a
// reader takes from a file, by keyId; a key line without '=' has none.
std::unordered_map<std::string, std::string> storedValues(const std::string& nativePath,
                                                          std::string_view contents);

// A setting (or a key no setting reads) a write changed.
struct SideEffect {
  std::string path;  // native
  std::string section;
  std::string key;
  std::optional<KnownKey> setting;
  std::optional<std::string> before, after;              // stored value texts; nullopt: not stored
  std::optional<trasso::Value> beforeValue, afterValue;  // as read, of a setting
};

// The keys of the batch's files that read otherwise after its writes, except
// those in own (keyIds): a setting when its getter gives another value (a key
// stored with the default it had read before is no change), another key when
// its stored text differs. Reads through the batch, which must still collect.
std::vector<SideEffect> sideEffects(trasso::fileio::WriteBatch& batch,
                                    const std::unordered_set<std::string>& own);

// A side effect as a report line ("... (also written by the setter of WHO)")
// and as --json gives it: the setting (name and selector, null for a key no
// setting reads), its place, and "before" and "value" as read.
std::string sideEffectLine(const SideEffect& s, const std::string& who);
nlohmann::json sideEffectJson(const SideEffect& s);

// "NAME SELECTOR" as jkn takes a setting back (no selector where it takes none
// or names a profile).
std::string settingLabel(const trasso::SettingEntry& e, const trasso::Selection& s);
// A side effect's setting, or its file, section and key.
std::string label(const SideEffect& s);
// A stored value text as the reports show it: quoted, or "(not stored)".
std::string shownStored(const std::optional<std::string>& stored);

}  // namespace jkn
