// A setting described as data (jkn_describe): everything the registry knows of
// it, as one JSON object.
#pragma once

#include <string>

#include "JsonText.h"
#include "Registry.h"

namespace trasso {

// The JSON object of entry e:
//   name, area, getter, setter (null: read-only)
//   kind      "integer", "flag", "text", "number", "colour" or "record"
//   type      the value's C type: "int32", "uint8", "uint16", "uint32", "bool",
//             "double", "text" (code page 932 bytes) or "colour" (0x00BBGGRR)
//   default   typed: a number, a text (UTF-8), a colour "R,G,B"; null where
//             the caller gives it, the selection chooses it, or for a record
//   range     {"min", "max"} of a number (the validating setter's, else its
//             type's), {"max_bytes"} of a text; null for a colour or record
//   validated whether the setter itself refuses values outside the range
//   accepts   what it takes, in words (as jkn says it)
//   selector  null, or {"kind", "forms" (the selectors as jkn_get takes them;
//             patterns where they are numbers), "default" (what NULL
//             chooses, or null), "text"}
//   file, root, path, section: where the first selection's key lies (null
//             where the selector names the file or section)
//   keys      [{"selector", "file", "section", "key"}] one per key it names
//   fields    records: [{"name", "kind", "type", "default", "range",
//             "validated", "accepts", "keys"}]
//   writes_also  what else its setter writes (the record's other fields, the
//             keys it resets); same_key_as: the other name of the same key
//   description  the comment of its functions in the interface's tables
// Texts that are no code page 932 text (or, for paths, no text of the
// platform's encoding) are {"hex": "..."}.
std::string describeJson(const SettingEntry& e);

// A stored text or name: its UTF-8 text where it is code page 932 text, else
// {"hex": ...}.
JsonValue textValue(std::string_view bytes);
// A library path as the platform's path in UTF-8, else {"hex": ...}.
JsonValue pathText(const std::string& path);
// A value of d's kind as describe gives it: numbers as numbers, colours as
// "R,G,B", texts as textValue.
JsonValue typed(const Declaration& d, const Value& v);

}  // namespace trasso
