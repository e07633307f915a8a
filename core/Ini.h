// The INI format: lookups and edits over the bytes of one file.
//
// Reading follows the Windows profile functions: lines end at LF, CR LF or a lone
// CR; blanks and Ctrl-Z around lines, names and after '=' are ignored; names
// compare case-insensitively; only the first section of a name and the first key
// of a name in it count; a value in one matching pair of quotes loses them.
// Editing splices the original bytes, so everything an edit does not touch stays
// exactly as it was. Code page 932 double-byte characters are kept whole.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trasso::ini {

// The value of key in the first section named section, or nullopt when the
// section or key is missing or the key's line has no '='. The view points into
// file; no allocation is made.
std::optional<std::string_view> findValue(std::string_view file, std::string_view section,
                                          std::string_view key);

// Whether a section or key can be stored so that it reads back as the same name,
// and whether a value can be stored at all. Line breaks and NUL are refused
// everywhere; keys must also be non-empty, free of '=' and of surrounding blanks,
// and must not start with '['.
bool isStorableSection(std::string_view section);
bool isStorableKey(std::string_view key);
bool isStorableValue(std::string_view value);

// Sets key of section to value in file, adding the key or the section where
// missing. The value is written as it is, without quoting or escaping, so it
// reads back as a Windows reader gives it: blanks at its edges and one enclosing
// pair of quotes are not part of what is read. The caller checks storability.
void setValue(std::string& file, std::string_view section, std::string_view key,
              std::string_view value);

// Appends key=value as the file's last line, ending as the file's lines end,
// without looking for the key: for building a file key by key whose last
// section is the key's and does not hold it yet. The caller checks storability.
void appendNewEntry(std::string& file, std::string_view key, std::string_view value);

// Removes the first key of that name from the first section of that name.
// Returns false (file unchanged) when there is no such key.
bool removeKey(std::string& file, std::string_view section, std::string_view key);

// Removes the first section of that name: its line and every line up to the
// next section line. Returns false (file unchanged) when there is none.
bool removeSection(std::string& file, std::string_view section);

}  // namespace trasso::ini
