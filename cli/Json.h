// How every --json output of jkn spells a setting, a value and a place, so that
// list, get, set, describe, dump, load and check agree and what one command
// prints another takes back:
//   setting: "name" (the registry name) and "selector" (the text 'jkn get NAME
//            SELECTOR' takes; a profile is no part of it but the "file" of
//            its place; null when the setting has none);
//   value:   numbers as JSON numbers, texts as strings in UTF-8, colours as
//            "R,G,B #rrggbb", stored bytes that do not survive the trip to
//            UTF-8 and back as {"hex": "..."}; null when there is none;
//   place:   "file" (the path as shown), "section" and "key" as data, names that
//            are no code page 932 text as {"hex": "..."};
//   fix:     {"text": ..., "steps": [...]}, each step {"argv": [...]} (a command),
//            {"edit": {"op": ..., "file": ...}} (Fixes.h) or {"by_hand": true}.
// Prose goes only into fields named for it ("why", "note", "message", "text").
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "Registry.h"

namespace jkn::out {

using nlohmann::json;

json value(const trasso::Declaration& d, const trasso::Value& v);
json value(const trasso::Declaration& d, const std::optional<trasso::Value>& v);

// A section or key name (or any stored text) as a string or {"hex": ...}.
json name(std::string_view bytes);

// {"name": ..., "selector": ...} of an entry at a selection.
json setting(const trasso::SettingEntry& e, const trasso::Selection& s);

// {"file": ..., "section": ..., "key": ...}.
json place(const std::string& path, std::string_view section, std::string_view key);

// Prints j indented, bytes that are no UTF-8 replaced.
void print(const json& j);

}  // namespace jkn::out
