// The INI format: lookups and edits over the bytes of one file.
//
// Reading follows the Windows profile functions: lines end at LF, CR LF or a lone
// CR; blanks and Ctrl-Z around lines, names and after '=' are ignored; names
// compare case-insensitively; only the first section of a name and the first key
// of a name in it count; a value in one matching pair of quotes loses them.
// Editing splices the original bytes, so everything an edit does not touch stays
// exactly as it was. Code page 932 double-byte characters are kept whole.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trasso::ini {

// Whether two section or key names are the same to the reader: ASCII letters
// without case, code page 932 double-byte characters exactly.
bool sameName(std::string_view a, std::string_view b);
// The one form of a name that all its same names share (ASCII letters in lower
// case, double-byte characters as they are): a key for sets and maps of names.
std::string foldedName(std::string_view name);

// The value of key in the first section named section, or nullopt when the
// section or key is missing or the key's line has no '='. The view points into
// file; no allocation is made.
std::optional<std::string_view> findValue(std::string_view file, std::string_view section,
                                          std::string_view key);

// The same in two steps, for several keys of one section: where the lines of
// the first section named section start (nullopt: no such section), then the
// value of a key among the lines from there.
std::optional<size_t> findSectionBody(std::string_view file, std::string_view section);
std::optional<std::string_view> findValueIn(std::string_view file, size_t body,
                                            std::string_view key);

// The values of several keys among the lines from body, in one pass over
// them (for a record's fields): values[i] is what findValueIn gives for keys[i].
void findValuesIn(std::string_view file, size_t body, const std::string_view* keys, size_t count,
                  std::optional<std::string_view>* values);

// Every value a reader finds in one file, taken in one pass over it, so that
// looking up many keys of a file costs its size once and not once per key.
// find gives exactly what findValue gives; its views point into the file,
// which must outlive the index. Nothing is allocated per key.
class KeyIndex {
 public:
  // A key as a reader finds it: the first line of its name in the first
  // section of that name; value nullopt when the line has no '='.
  struct Key {
    std::string_view section;
    std::string_view name;
    std::optional<std::string_view> value;
  };

  KeyIndex() = default;
  explicit KeyIndex(std::string_view file);
  std::optional<std::string_view> find(std::string_view section, std::string_view key) const;
  // Every key found, in the file's order.
  const std::vector<Key>& inOrder() const { return keys_; }

 private:
  // A key's place in keys_ plus one (0: an empty slot), and the hash of its names.
  struct Slot {
    uint32_t key = 0;
    uint32_t hash = 0;
  };
  void add(const Key& key, uint32_t hash);
  // The slot that holds the key of these names, or the empty one where it would go.
  size_t slotOf(uint32_t hash, std::string_view section, std::string_view name) const;

  std::vector<Key> keys_;
  // Open addressing by the names as the reader compares them (sameName), at
  // most half full.
  std::vector<Slot> slots_;
};

// What a reader takes from a value written as it stands after '=': blanks at
// its edges and one enclosing pair of quotes are not part of it, a NUL ends it.
std::string_view valueAsRead(std::string_view written);

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

// One key set to a value, for setValues.
struct Assignment {
  std::string section;
  std::string key;
  std::string value;
};

// The same bytes as setValue for each assignment in order, in one pass over
// the file: for the many keys of a load or a batch. Names must be storable.
void setValues(std::string& file, const std::vector<Assignment>& assignments);

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

// One line of a file as the reader takes it apart, for tools that explain a
// file line by line. Lines are counted from 1 (a UTF-8 byte-order mark at the
// start is not part of line 1's text).
struct LineView {
  enum Kind { Blank, Section, Key } kind = Blank;
  size_t number = 0;
  std::string_view text;    // the whole line without its line break
  std::string_view name;    // section or key name
  bool hasEquals = false;   // keys only
  std::string_view stored;  // keys: the value bytes as stored (blanks trimmed)
  std::string_view value;   // keys: what a read gives (enclosing quotes removed)
};

// Calls visit for every line of file, in order, with the reader's own rules.
template <class Visit>
void forEachLine(std::string_view file, Visit&& visit);

// The line at a position: false at the end of file.
bool nextLine(std::string_view file, size_t& pos, LineView& out);

template <class Visit>
void forEachLine(std::string_view file, Visit&& visit) {
  size_t pos = 0;
  LineView line;
  while (nextLine(file, pos, line)) visit(static_cast<const LineView&>(line));
}

}  // namespace trasso::ini
