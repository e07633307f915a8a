#include "Ini.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "BytePairSearch.h"
#include "ByteWords.h"
#include "CodePage932.h"

namespace trasso::ini {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; }

bool isLineBreak(char c) { return c == '\r' || c == '\n'; }

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Byte offsets of one line: content is [begin, end), the line break [end, next).
struct Line {
  size_t begin = 0;
  size_t end = 0;
  size_t next = 0;
  bool hasBreak() const { return next > end; }
};

enum class LineKind { Blank, Section, Key };

// A line taken apart. Offsets are absolute positions in the file.
struct Entry {
  LineKind kind = LineKind::Blank;
  std::string_view name;
  bool hasEquals = false;
  size_t equals = 0;      // position of '='
  size_t valueBegin = 0;  // after the blanks that follow '='
  size_t valueEnd = 0;    // before trailing blanks or a NUL
  size_t contentEnd = 0;  // end of the line without trailing blanks
};

// Position of the first CR or LF at or after from, or the text's size; eight
// bytes at a time.
size_t lineBreakFrom(std::string_view text, size_t from) {
  size_t i = from;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  for (; i + 8 <= text.size(); i += 8) {
    const uint64_t word = words::load(text.data() + i);
    const uint64_t hits = words::bytesEqual(word, '\n') | words::bytesEqual(word, '\r');
    if (hits != 0) return i + static_cast<size_t>(__builtin_ctzll(hits)) / 8;
  }
#endif
  while (i < text.size() && !isLineBreak(text[i])) ++i;
  return i;
}

// The lines of a text from a given offset on.
class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) { seek(firstLineStart(text)); }
  // Lines from a position inside the text (past any byte-order mark).
  Lines(std::string_view text, size_t pos) : text_(text) { seek(pos); }

  static size_t firstLineStart(std::string_view text) {
    return text.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
  }

  // Continues with the line that starts at pos.
  void seek(size_t pos) { pos_ = pos; }

  bool next(Line& line) {
    const size_t size = text_.size();
    if (pos_ >= size) return false;
    size_t i = lineBreakFrom(text_, pos_);
    line.begin = pos_;
    line.end = i;
    if (i < size) i += (text_[i] == '\r' && i + 1 < size && text_[i + 1] == '\n') ? 2 : 1;
    line.next = pos_ = i;
    return true;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

// The value of a key line from after its '=' (vs) to the line's end without
// its trailing blanks (e): leading blanks skipped, and a NUL ends it.
std::pair<size_t, size_t> valueSpan(std::string_view text, size_t vs, size_t e) {
  while (vs < e && isBlank(text[vs])) ++vs;
  size_t ve = vs;
  while (ve < e && text[ve] != '\0') ++ve;
  if (ve < e) {  // a NUL ends the value
    while (ve > vs && isBlank(text[ve - 1])) --ve;
  }
  return {vs, ve};
}

Entry parse(std::string_view text, const Line& line) {
  Entry entry;
  size_t s = line.begin;
  size_t e = line.end;
  while (s < e && isBlank(text[s])) ++s;
  while (e > s && isBlank(text[e - 1])) --e;
  entry.contentEnd = e;
  if (s == e) return entry;

  if (text[s] == '[') {
    // The name runs to the last ']' that is not the second byte of a character.
    size_t close = e;
    for (size_t i = s + 1; i < e;) {
      if (cp932::isLeadByte(text[i]) && i + 1 < e) {
        i += 2;
        continue;
      }
      if (text[i] == ']') close = i;
      ++i;
    }
    if (close != e) {
      size_t ns = s + 1;
      size_t ne = close;
      while (ns < ne && isBlank(text[ns])) ++ns;
      while (ne > ns && isBlank(text[ne - 1])) --ne;
      entry.kind = LineKind::Section;
      entry.name = text.substr(ns, ne - ns);
      return entry;
    }
  }

  entry.kind = LineKind::Key;
  const void* eq = std::memchr(text.data() + s, '=', e - s);
  if (eq == nullptr) {
    entry.name = text.substr(s, e - s);
    return entry;
  }
  entry.hasEquals = true;
  entry.equals = static_cast<size_t>(static_cast<const char*>(eq) - text.data());
  size_t ne = entry.equals;
  while (ne > s && isBlank(text[ne - 1])) --ne;
  entry.name = text.substr(s, ne - s);
  std::tie(entry.valueBegin, entry.valueEnd) = valueSpan(text, entry.equals + 1, e);
  return entry;
}

// Where a section and a key of it stand in a file.
struct Location {
  bool sectionFound = false;
  Line sectionLine;
  Line sectionEnd;  // first line after the section (begin == file size at the end)
  bool keyFound = false;
  Line keyLine;
  Entry keyEntry;
  bool lastAssignmentFound = false;
  Line lastAssignment;  // last line of the section holding '='
};

// The lines of a text whose first non-blank byte is one of a few bytes. Each
// byte is searched for with memchr, its next hit kept, so a walk over the text
// is linear; a hit counts when only blanks stand before it on its line (blanks
// and line breaks are never part of a double-byte character).
class LinesStartingWith {
 public:
  static constexpr size_t kMax = 8;

  LinesStartingWith(std::string_view text, std::initializer_list<char> bytes)
      : text_(text), first_(Lines::firstLineStart(text)) {
    for (char b : bytes) add(b);
  }
  // Another byte a line may start with; false when kMax are taken already.
  bool add(char b) {
    for (size_t k = 0; k < count_; ++k) {
      if (bytes_[k] == b) return true;
    }
    if (count_ == kMax) return false;
    bytes_[count_++] = b;
    return true;
  }

  // Start of the next such line that begins at or after from; npos when none.
  size_t next(size_t from) {
    for (;;) {
      size_t hit = text_.size();
      for (size_t k = 0; k < count_; ++k) {
        if (at_[k] == kUnknown || at_[k] < from) {
          const void* p = from < text_.size()
                              ? std::memchr(text_.data() + from, bytes_[k], text_.size() - from)
                              : nullptr;
          at_[k] =
              p ? static_cast<size_t>(static_cast<const char*>(p) - text_.data()) : text_.size();
        }
        if (at_[k] < hit) hit = at_[k];
      }
      if (hit >= text_.size()) return std::string_view::npos;
      size_t begin = hit;
      while (begin > first_ && isBlank(text_[begin - 1])) --begin;
      if (begin == first_ || isLineBreak(text_[begin - 1])) {
        if (begin >= from) return begin;
      }
      from = hit + 1;
    }
  }

 private:
  static constexpr size_t kUnknown = static_cast<size_t>(-1);
  std::string_view text_;
  size_t first_;
  char bytes_[kMax] = {};
  size_t at_[kMax] = {kUnknown, kUnknown, kUnknown, kUnknown,
                      kUnknown, kUnknown, kUnknown, kUnknown};
  size_t count_ = 0;
};

// Finds the line of the first section named section, reading only lines whose
// first non-blank byte is '['. Those are found with one forward search for '['
// and a look back over blanks to the line's start. lines is left after that
// line.
bool findSection(std::string_view text, std::string_view section, Lines& lines, Line& found) {
  const size_t first = Lines::firstLineStart(text);
  // A section's name starts at the first non-blank after '[': most lines differ
  // there and need no further look. Setting bit 0x20 folds ASCII letters; the
  // few other bytes it lets through are refused by sameName.
  const auto head = static_cast<unsigned char>(section.empty() ? 0 : section[0] | 0x20);
  size_t from = first;
  while (from < text.size()) {
    size_t begin = bytes::findPair(text, from, '[', head);
    if (begin == text.size()) return false;
    from = begin + 1;
    while (begin > first && isBlank(text[begin - 1])) --begin;
    if (begin != first && !isLineBreak(text[begin - 1])) continue;
    size_t name = from;
    while (name < text.size() && isBlank(text[name])) ++name;
    if (!section.empty() && (text.size() - name < section.size() ||
                             !sameName(text.substr(name, section.size()), section))) {
      continue;
    }
    lines.seek(begin);
    lines.next(found);
    from = found.next;
    // The name's first bytes matched above: it is the section when it ends there.
    const Entry entry = parse(text, found);
    if (entry.kind == LineKind::Section && entry.name.size() == section.size()) return true;
  }
  return false;
}

// Finds the first section named section and, when key is given, the first key of
// that name in it. Stops at the end of that section.
Location locate(std::string_view text, std::string_view section, std::string_view key) {
  Location loc;
  loc.sectionEnd.begin = loc.sectionEnd.end = loc.sectionEnd.next = text.size();
  Lines lines(text);
  if (!findSection(text, section, lines, loc.sectionLine)) return loc;
  loc.sectionFound = true;
  Line line;
  while (lines.next(line)) {
    Entry entry = parse(text, line);
    if (entry.kind == LineKind::Section) {
      loc.sectionEnd = line;
      break;
    }
    if (entry.kind != LineKind::Key) continue;
    if (entry.hasEquals) {
      loc.lastAssignmentFound = true;
      loc.lastAssignment = line;
    }
    if (!loc.keyFound && !key.empty() && sameName(entry.name, key)) {
      loc.keyFound = true;
      loc.keyLine = line;
      loc.keyEntry = entry;
    }
  }
  return loc;
}

// The line break style of a file: that of its first line, CR LF when it has none.
std::string_view lineBreakOf(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') return "\n";
    if (text[i] == '\r') return (i + 1 < text.size() && text[i + 1] == '\n') ? "\r\n" : "\r";
  }
  return "\r\n";
}

// A value in one matching pair of quotes is read without them.
std::string_view unquoted(std::string_view value) {
  if (value.size() >= 2 && value.front() == value.back() &&
      (value.front() == '"' || value.front() == '\'')) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

bool hasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// Blanks around the names asked for are ignored, as Windows does.
std::string_view askedName(std::string_view name) {
  while (!name.empty() && isBlank(name.front())) name.remove_prefix(1);
  while (!name.empty() && isBlank(name.back())) name.remove_suffix(1);
  return name;
}

// FNV-1a over the form of a name that all its same names share (foldedName),
// without making it.
uint64_t foldedHash(std::string_view name, uint64_t hash = 14695981039346656037u) {
  constexpr uint64_t kPrime = 1099511628211u;
  for (size_t i = 0; i < name.size(); ++i) {
    char c = asciiLower(name[i]);
    if (cp932::isLeadByte(name[i]) && i + 1 < name.size()) {
      hash = (hash ^ static_cast<unsigned char>(name[i])) * kPrime;
      c = name[++i];  // the second byte stays as it is
    }
    hash = (hash ^ static_cast<unsigned char>(c)) * kPrime;
  }
  return hash;
}

// The hash of a key's names, from its section's foldedHash.
uint32_t keyHash(uint64_t section, std::string_view name) {
  const uint64_t hash = foldedHash(name, section);
  return static_cast<uint32_t>(hash ^ (hash >> 32));
}

// Names in sets, as the reader compares them.
struct NameHash {
  size_t operator()(std::string_view name) const { return foldedHash(name); }
};
struct SameName {
  bool operator()(std::string_view a, std::string_view b) const { return sameName(a, b); }
};

}  // namespace

std::string_view valueAsRead(std::string_view written) {
  size_t e = written.size();
  while (e > 0 && isBlank(written[e - 1])) --e;
  const auto [vs, ve] = valueSpan(written, 0, e);
  return unquoted(written.substr(vs, ve - vs));
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a == b) return true;  // most names are asked as they are written
  for (size_t i = 0; i < a.size(); ++i) {
    if (cp932::isLeadByte(a[i]) && i + 1 < a.size()) {
      // A double-byte character compares exactly: its second byte may be a letter.
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (asciiLower(a[i]) != asciiLower(b[i])) {
      return false;
    }
  }
  return true;
}

std::string foldedName(std::string_view name) {
  std::string out(name);
  for (size_t i = 0; i < out.size(); ++i) {
    if (cp932::isLeadByte(out[i]) && i + 1 < out.size()) {
      ++i;  // the second byte stays as it is
    } else {
      out[i] = asciiLower(out[i]);
    }
  }
  return out;
}

std::optional<std::string_view> findValue(std::string_view file, std::string_view section,
                                          std::string_view key) {
  const std::optional<size_t> body = findSectionBody(file, section);
  return body ? findValueIn(file, *body, key) : std::nullopt;
}

std::optional<size_t> findSectionBody(std::string_view file, std::string_view section) {
  Lines lines(file);
  Line line;
  if (!findSection(file, askedName(section), lines, line)) return std::nullopt;
  return line.next;
}

std::optional<std::string_view> findValueIn(std::string_view file, size_t body,
                                            std::string_view key) {
  key = askedName(key);
  // Only lines that start with '[' (the section may end there) or with the
  // key's first byte, in either case, can matter; a line of an empty name
  // starts with '='.
  const char head = key.empty() ? '=' : key[0];
  const char upper = head >= 'a' && head <= 'z' ? static_cast<char>(head - 'a' + 'A') : head;
  LinesStartingWith candidates(file, {'[', asciiLower(head), upper});
  Lines lines(file);
  Line line;
  for (size_t begin; (begin = candidates.next(body)) != std::string_view::npos;) {
    lines.seek(begin);
    lines.next(line);
    body = line.next;
    const Entry entry = parse(file, line);
    if (entry.kind == LineKind::Section) return std::nullopt;
    if (entry.kind != LineKind::Key || !sameName(entry.name, key)) continue;
    if (!entry.hasEquals) return std::nullopt;
    return unquoted(file.substr(entry.valueBegin, entry.valueEnd - entry.valueBegin));
  }
  return std::nullopt;
}

void findValuesIn(std::string_view file, size_t body, const std::string_view* keys, size_t count,
                  std::optional<std::string_view>* values) {
  // The lines that can matter start with '[' or with a key's first byte, in
  // either case; with too many keys or first bytes each key is looked for alone.
  constexpr size_t kMostKeys = 16;
  LinesStartingWith candidates(file, {'['});
  bool together = count <= kMostKeys;
  for (size_t i = 0; i < count && together; ++i) {
    const std::string_view key = askedName(keys[i]);
    const char head = key.empty() ? '=' : key[0];
    const char upper = head >= 'a' && head <= 'z' ? static_cast<char>(head - 'a' + 'A') : head;
    together = candidates.add(asciiLower(head)) && candidates.add(upper);
  }
  if (!together) {
    for (size_t i = 0; i < count; ++i) values[i] = findValueIn(file, body, keys[i]);
    return;
  }
  size_t open = count;  // keys whose line is not found yet
  bool found[kMostKeys] = {};
  for (size_t i = 0; i < count; ++i) values[i] = std::nullopt;
  Lines lines(file);
  Line line;
  for (size_t begin; open > 0 && (begin = candidates.next(body)) != std::string_view::npos;) {
    lines.seek(begin);
    lines.next(line);
    body = line.next;
    const Entry entry = parse(file, line);
    if (entry.kind == LineKind::Section) return;
    if (entry.kind != LineKind::Key) continue;
    for (size_t i = 0; i < count; ++i) {
      if (found[i] || !sameName(entry.name, askedName(keys[i]))) continue;
      found[i] = true;
      --open;
      if (entry.hasEquals) {
        values[i] = unquoted(file.substr(entry.valueBegin, entry.valueEnd - entry.valueBegin));
      }
    }
  }
}

// Only the first section of a name counts, and in it the first line of a key
// name, with '=' or without.
KeyIndex::KeyIndex(std::string_view file) {
  std::unordered_set<std::string_view, NameHash, SameName> sections;
  std::string_view section;
  uint64_t sectionHash = 0;
  bool readable = false;
  forEachLine(file, [&](const LineView& l) {
    if (l.kind == LineView::Section) {
      section = l.name;
      sectionHash = foldedHash(l.name);
      readable = sections.insert(l.name).second;
    } else if (l.kind == LineView::Key && readable) {
      add(Key{section, l.name, l.hasEquals ? std::optional(l.value) : std::nullopt},
          keyHash(sectionHash, l.name));
    }
  });
}

void KeyIndex::add(const Key& key, uint32_t hash) {
  if (2 * (keys_.size() + 1) > slots_.size()) {
    std::vector<Slot> held(std::max<size_t>(8, 2 * slots_.size()));
    held.swap(slots_);
    const size_t mask = slots_.size() - 1;
    for (const Slot& s : held) {
      if (s.key == 0) continue;
      size_t i = s.hash & mask;
      while (slots_[i].key != 0) i = (i + 1) & mask;  // the names all differ: no comparing
      slots_[i] = s;
    }
  }
  Slot& slot = slots_[slotOf(hash, key.section, key.name)];
  if (slot.key != 0) return;  // a later line of the name
  keys_.push_back(key);
  slot = Slot{static_cast<uint32_t>(keys_.size()), hash};
}

size_t KeyIndex::slotOf(uint32_t hash, std::string_view section, std::string_view name) const {
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& s = slots_[i];
    if (s.key == 0 || (s.hash == hash && sameName(keys_[s.key - 1].name, name) &&
                       sameName(keys_[s.key - 1].section, section))) {
      return i;
    }
  }
}

std::optional<std::string_view> KeyIndex::find(std::string_view section,
                                               std::string_view key) const {
  if (slots_.empty()) return std::nullopt;
  section = askedName(section);
  key = askedName(key);
  const Slot& s = slots_[slotOf(keyHash(foldedHash(section), key), section, key)];
  return s.key == 0 ? std::nullopt : keys_[s.key - 1].value;
}

// A name is storable when the line the writer makes of it reads back as exactly
// the same name: no line breaks or NUL, no blanks the reader would trim, no '='
// in a key, no key starting with '[', no section name whose last byte would
// pair with the closing ']' as a double-byte character.
bool isStorableSection(std::string_view section) {
  if (hasLineBreak(section) || section.find('\0') != std::string_view::npos) return false;
  const std::string line = "[" + std::string(section) + "]";
  const Line whole{0, line.size(), line.size()};
  const Entry entry = parse(line, whole);
  return entry.kind == LineKind::Section && entry.name == section;
}

bool isStorableKey(std::string_view key) {
  // A line starting with '[' reads as a section line whenever a ']' follows,
  // which a value may bring.
  if (key.empty() || key.front() == '[') return false;
  if (hasLineBreak(key) || key.find('\0') != std::string_view::npos) return false;
  const std::string line = std::string(key) + "=";
  const Line whole{0, line.size(), line.size()};
  const Entry entry = parse(line, whole);
  return entry.kind == LineKind::Key && entry.hasEquals && entry.name == key;
}

bool isStorableValue(std::string_view value) {
  return !hasLineBreak(value) && value.find('\0') == std::string_view::npos;
}

bool nextLine(std::string_view file, size_t& pos, LineView& out) {
  if (pos == 0) {
    out = LineView{};
    if (file.substr(0, kUtf8Bom.size()) == kUtf8Bom) pos = kUtf8Bom.size();
  }
  Lines lines(file, pos);
  Line line;
  if (!lines.next(line)) return false;
  pos = line.next;
  const Entry entry = parse(file, line);
  const size_t number = out.number + 1;
  out = LineView{};
  out.number = number;
  out.text = file.substr(line.begin, line.end - line.begin);
  out.name = entry.name;
  if (entry.kind == LineKind::Section) out.kind = LineView::Section;
  if (entry.kind != LineKind::Key) return true;
  out.kind = LineView::Key;
  out.hasEquals = entry.hasEquals;
  if (!entry.hasEquals) return true;
  out.stored = file.substr(entry.valueBegin, entry.valueEnd - entry.valueBegin);
  out.value = unquoted(out.stored);
  return true;
}

void setValue(std::string& file, std::string_view section, std::string_view key,
              std::string_view value) {
  const std::string_view lineBreak = lineBreakOf(file);
  Location loc = locate(file, section, key);

  if (loc.keyFound) {
    if (loc.keyEntry.hasEquals) {
      const size_t from = loc.keyEntry.equals + 1;
      file.replace(from, loc.keyLine.end - from, value);
    } else {
      file.insert(loc.keyEntry.contentEnd, "=" + std::string(value));
    }
    return;
  }

  std::string entryText;
  entryText.reserve(key.size() + value.size() + 3);
  entryText.append(key).append("=").append(value);
  if (loc.sectionFound) {
    const Line& anchor = loc.lastAssignmentFound ? loc.lastAssignment : loc.sectionLine;
    if (anchor.hasBreak()) {
      file.insert(anchor.next, entryText.append(lineBreak));
    } else {
      file.insert(anchor.next, std::string(lineBreak) + entryText);
    }
    return;
  }

  const bool hasContent = file.size() > (file.rfind(kUtf8Bom, 0) == 0 ? kUtf8Bom.size() : 0);
  if (hasContent && !isLineBreak(file.back())) file.append(lineBreak);
  file.append("[").append(section).append("]").append(lineBreak);
  file.append(entryText).append(lineBreak);
}

void appendNewEntry(std::string& file, std::string_view key, std::string_view value) {
  const std::string_view lineBreak = lineBreakOf(file);
  if (!file.empty() && !isLineBreak(file.back())) file.append(lineBreak);
  file.append(key).append("=").append(value).append(lineBreak);
}

void setValues(std::string& file, const std::vector<Assignment>& assignments) {
  const auto oneByOne = [&] {
    for (const Assignment& a : assignments) setValue(file, a.section, a.key, a.value);
  };
  if (assignments.size() < 8) return oneByOne();  // one by one is as fast

  // What setValue would find of each section named: the first section of the
  // name, the first line of each key in it, and its last line holding '='.
  struct Found {
    Line line;
    Entry entry;
    const std::string* value = nullptr;  // the last one set
  };
  struct Added {
    const std::string* key;  // spelled as first set
    const std::string* value;
  };
  struct Section {
    const std::string* name = nullptr;  // spelled as first set
    bool found = false;
    Line anchor;  // the last line holding '=', else the section's line
    std::unordered_map<std::string, Found> keys;
    std::vector<Added> added;
    std::unordered_map<std::string, size_t> addedAt;
  };
  std::vector<Section> sections;
  std::unordered_map<std::string, size_t> byName;
  for (const Assignment& a : assignments) {
    if (byName.emplace(foldedName(a.section), sections.size()).second) {
      sections.emplace_back();
      sections.back().name = &a.section;
    }
  }
  Lines lines(file);
  Line line;
  std::unordered_set<std::string> seen;
  Section* in = nullptr;
  while (lines.next(line)) {
    const Entry entry = parse(file, line);
    if (entry.kind == LineKind::Section) {
      in = nullptr;
      std::string name = foldedName(entry.name);
      const auto it = byName.find(name);
      if (seen.insert(std::move(name)).second && it != byName.end()) {
        in = &sections[it->second];
        in->found = true;
        in->anchor = line;
      }
    } else if (entry.kind == LineKind::Key && in != nullptr) {
      if (entry.hasEquals) in->anchor = line;
      in->keys.emplace(foldedName(entry.name), Found{line, entry, nullptr});
    }
  }

  for (const Assignment& a : assignments) {
    Section& section = sections[byName.at(foldedName(a.section))];
    std::string key = foldedName(a.key);
    const auto it = section.keys.find(key);
    if (it == section.keys.end()) {
      const auto at = section.addedAt.emplace(std::move(key), section.added.size());
      if (at.second) section.added.push_back(Added{&a.key, &a.value});
      section.added[at.first->second].value = &a.value;
    } else if (it->second.entry.hasEquals) {
      it->second.value = &a.value;
    } else {
      // Its '=' would make it the last assignment, before which later keys go.
      return oneByOne();
    }
  }

  // The new text: the file with each change at its place, in file order, then
  // the sections it did not hold.
  struct Change {
    size_t from, to;  // the bytes replaced
    bool insert;      // after a replacement that ends where it starts
    std::string text;
  };
  const std::string_view lineBreak = lineBreakOf(file);
  std::vector<Change> changes;
  for (const Section& section : sections) {
    if (!section.found) continue;
    for (const auto& [name, found] : section.keys) {
      if (found.value != nullptr) {
        changes.push_back(Change{found.entry.equals + 1, found.line.end, false, *found.value});
      }
    }
    if (section.added.empty()) continue;
    std::string text;
    for (const Added& a : section.added) {
      // After a last line without a line break each entry starts with one.
      if (!section.anchor.hasBreak()) text.append(lineBreak);
      text.append(*a.key).append("=").append(*a.value);
      if (section.anchor.hasBreak()) text.append(lineBreak);
    }
    changes.push_back(Change{section.anchor.next, section.anchor.next, true, std::move(text)});
  }
  std::sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) {
    return std::tie(a.from, a.insert) < std::tie(b.from, b.insert);
  });
  std::string out;
  out.reserve(file.size());
  size_t pos = 0;
  for (const Change& c : changes) {
    out.append(file, pos, c.from - pos).append(c.text);
    pos = c.to;
  }
  out.append(file, pos, std::string::npos);
  for (const Section& section : sections) {
    if (section.found) continue;
    const bool hasContent = out.size() > (out.rfind(kUtf8Bom, 0) == 0 ? kUtf8Bom.size() : 0);
    if (hasContent && !isLineBreak(out.back())) out.append(lineBreak);
    out.append("[").append(*section.name).append("]").append(lineBreak);
    for (const Added& a : section.added) {
      out.append(*a.key).append("=").append(*a.value).append(lineBreak);
    }
  }
  file = std::move(out);
}

bool removeKey(std::string& file, std::string_view section, std::string_view key) {
  Location loc = locate(file, section, key);
  if (!loc.keyFound) return false;
  file.erase(loc.keyLine.begin, loc.keyLine.next - loc.keyLine.begin);
  return true;
}

bool removeSection(std::string& file, std::string_view section) {
  Location loc = locate(file, section, std::string_view());
  if (!loc.sectionFound) return false;
  file.erase(loc.sectionLine.begin, loc.sectionEnd.begin - loc.sectionLine.begin);
  return true;
}

}  // namespace trasso::ini
