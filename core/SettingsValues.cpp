#include "SettingsValues.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>

#include "CallNotes.h"
#include "Ini.h"
#include "SettingsFileIo.h"
#include "ThreadBuffers.h"

namespace trasso {
namespace {

bool isCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The text rule on a value that may be missing.
std::string cutText(std::optional<std::string_view> value, const char* def, size_t bufferSize) {
  std::string_view text = value ? *value : std::string_view(def ? def : "");
  const size_t limit = bufferSize == 0 ? 0 : bufferSize - 1;
  return std::string(text.substr(0, limit));
}

// Digits of base from text[i] on, accumulated modulo 2^32; i ends at the first
// byte that is none, and wrapped tells whether the number reached 2^32.
uint32_t accumulateDigits(std::string_view text, size_t& i, unsigned base, bool& wrapped) {
  uint32_t value = 0;
  wrapped = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    unsigned digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      break;
    }
    if (digit >= base) break;
    wrapped = wrapped || value > (UINT32_MAX - digit) / base;
    value = value * base + digit;
  }
  return value;
}

// Skips leading blanks and a sign; returns the position after them.
size_t skipBlanksAndSign(std::string_view text, bool& negative) {
  size_t i = 0;
  while (i < text.size() && isCSpace(text[i])) ++i;
  negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  return i;
}

// A change that cannot be stored, so that it reads back as written: a section
// or key name that the reader would take otherwise, a line break anywhere.
bool storable(const char* section, const char* key, const std::string_view* value) {
  return section != nullptr && key != nullptr && ini::isStorableSection(section) &&
         ini::isStorableKey(key) && (value == nullptr || ini::isStorableValue(*value));
}

// One key set (value given) or removed (null) in the contents of a file.
bool applyToContents(std::string& contents, std::string_view section, std::string_view key,
                     const std::string_view* value) {
  if (value == nullptr) return ini::removeKey(contents, section, key);
  ini::setValue(contents, section, key, *value);
  return true;
}

}  // namespace

// A reader takes its thread's buffer and gives it back, or keeps its own if it
// is larger; a reader made while another one lives gets a buffer of its own.
SettingsReader::SettingsReader(const std::string& path) : spare_(threadBuffers()) {
  try {
    // The thread's path buffer too is kept, so a read allocates nothing.
    std::string own;
    std::string& native = spare_ != nullptr ? spare_->path : own;
    native.assign(path);
    fileio::makeNative(native);
    if (spare_ != nullptr && spare_->snapshot != nullptr &&
        (held_ = spare_->snapshot->file(native)) != nullptr) {
      return;
    }
    if (spare_ != nullptr) bytes_.swap(spare_->bytes);
    fileio::readFile(native, bytes_);
  } catch (...) {  // out of memory: the file reads as missing
    bytes_.setSize(0);
  }
}

SettingsReader::~SettingsReader() {
  if (spare_ != nullptr && bytes_.capacity() > spare_->bytes.capacity()) {
    spare_->bytes.swap(bytes_);
  }
}

std::optional<std::string_view> SettingsReader::raw(const char* section, const char* key) const {
  if (section == nullptr || key == nullptr) return std::nullopt;
  if (held_ != nullptr) return held_->keys.find(section, key);
  const std::optional<size_t> body = sectionBody(section);
  if (!body) return std::nullopt;
  const std::string_view asked(key);
  for (size_t i = 0; i < foundCount_; ++i) {
    if (std::string_view(found_[i].key, found_[i].size) == asked) return found_[i].value;
  }
  return ini::findValueIn(bytes_.view(), *body, asked);
}

void SettingsReader::findTogether(const char* section, const char* const* keys,
                                  size_t count) const {
  if (held_ != nullptr || section == nullptr) return;  // a snapshot's index answers at once
  const std::optional<size_t> body = sectionBody(section);
  if (!body) return;
  std::string_view asked[kMostFound];
  std::optional<std::string_view> values[kMostFound];
  size_t n = 0;
  for (size_t i = 0; i < count && n < kMostFound; ++i) {
    if (keys[i] != nullptr && std::strlen(keys[i]) < sizeof found_[n].key) asked[n++] = keys[i];
  }
  ini::findValuesIn(bytes_.view(), *body, asked, n, values);
  for (size_t i = 0; i < n; ++i) {
    std::memcpy(found_[i].key, asked[i].data(), asked[i].size());
    found_[i].size = asked[i].size();
    found_[i].value = values[i];
  }
  foundCount_ = n;
}

std::optional<size_t> SettingsReader::sectionBody(std::string_view section) const {
  if (sectionSize_ == 0 || section != std::string_view(section_, sectionSize_)) {
    body_ = ini::findSectionBody(bytes_.view(), section);
    foundCount_ = 0;
    const bool keep = !section.empty() && section.size() <= sizeof(section_);
    if (keep) std::memcpy(section_, section.data(), section.size());
    sectionSize_ = keep ? section.size() : 0;
  }
  return body_;
}

uint32_t SettingsReader::intBits(const char* section, const char* key, int32_t def) const {
  auto value = raw(section, key);
  return value && !value->empty() ? parseIntBits(*value) : static_cast<uint32_t>(def);
}

std::string SettingsReader::text(const char* section, const char* key, const char* def,
                                 size_t bufferSize) const {
  return cutText(raw(section, key), def, bufferSize);
}

double SettingsReader::doubleA(const char* section, const char* key, double def,
                               size_t bufferSize) const {
  const std::string value = text(section, key, "", bufferSize);
  return value.empty() ? def : textToDouble(value);
}

double SettingsReader::doubleB(const char* section, const char* key, const char* defText,
                               size_t bufferSize) const {
  return textToDouble(text(section, key, defText, bufferSize));
}

std::optional<std::string> readRaw(const std::string& path, const char* section, const char* key) {
  const SettingsReader reader(path);
  auto value = reader.raw(section, key);
  if (!value) return std::nullopt;
  return std::string(*value);
}

uint32_t parseIntBits(std::string_view text) { return readInteger(text).bits(); }

IntReading readInteger(std::string_view text) {
  IntReading r;
  const size_t start = skipBlanksAndSign(text, r.negative);
  if (start + 1 < text.size() && text[start] == '0') {
    static constexpr std::pair<char, unsigned> kPrefixes[] = {{'x', 16}, {'o', 8}, {'b', 2}};
    for (const auto& [letter, base] : kPrefixes) r.base = text[start + 1] == letter ? base : r.base;
  }
  size_t i = start + (r.base == 10 ? 0 : 2);
  r.magnitude = accumulateDigits(text, i, r.base, r.wrapped);
  if (r.base != 10 && i == start + 2) {
    r.base = 10;  // a prefix without digits: its 0 alone is read
    i = start + 1;
  }
  r.digits = i - start - (r.base == 10 ? 0 : 2);
  r.stop = i;
  return r;
}

uint32_t textToIntBits(std::string_view text) {
  bool negative, wrapped;
  size_t i = skipBlanksAndSign(text, negative);
  uint32_t value = accumulateDigits(text, i, 10, wrapped);
  return negative ? 0u - value : value;
}

uint32_t readIntBits(const std::string& path, const char* section, const char* key, int32_t def) {
  return SettingsReader(path).intBits(section, key, def);
}

std::string readText(const std::string& path, const char* section, const char* key, const char* def,
                     size_t bufferSize) {
  return SettingsReader(path).text(section, key, def, bufferSize);
}

double textToDouble(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && isCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Only decimal numbers: no "inf", "nan" or hexadecimal forms.
  const bool digitFirst = i < text.size() && text[i] >= '0' && text[i] <= '9';
  const bool pointFirst =
      i + 1 < text.size() && text[i] == '.' && text[i + 1] >= '0' && text[i + 1] <= '9';
  if (!digitFirst && !pointFirst) return 0.0;
  double value = 0.0;
  std::from_chars(text.data() + i, text.data() + text.size(), value, std::chars_format::general);
  return negative ? -value : value;
}

double readDoubleA(const std::string& path, const char* section, const char* key, double def,
                   size_t bufferSize) {
  return SettingsReader(path).doubleA(section, key, def, bufferSize);
}

double readDoubleB(const std::string& path, const char* section, const char* key,
                   const char* defText, size_t bufferSize) {
  return SettingsReader(path).doubleB(section, key, defText, bufferSize);
}

uint32_t ColourFromText(const char* text) {
  uint32_t parts[3] = {255, 255, 255};
  std::string_view rest = text ? text : "";
  for (uint32_t& part : parts) {
    size_t start = rest.find_first_not_of(',');
    if (start == std::string_view::npos) break;
    rest.remove_prefix(start);
    size_t end = rest.find(',');
    part = textToIntBits(rest.substr(0, end)) & 0xFFu;
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
  }
  return parts[0] | (parts[1] << 8) | (parts[2] << 16);
}

std::string colourToText(uint32_t colour) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%3d,%3d,%3d", static_cast<int>(colour & 0xFF),
                static_cast<int>((colour >> 8) & 0xFF), static_cast<int>((colour >> 16) & 0xFF));
  return buf;
}

std::string formatInt(int32_t value) { return std::to_string(value); }

std::optional<int> numberAfter(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || !ini::sameName(name.substr(0, prefix.size()), prefix)) {
    return std::nullopt;
  }
  const std::string_view digits = name.substr(prefix.size());
  if (digits.size() > 11) return std::nullopt;
  int64_t n = 0;
  size_t i = digits[0] == '-' ? 1 : 0;
  if (i == digits.size()) return std::nullopt;
  for (; i < digits.size(); ++i) {
    if (digits[i] < '0' || digits[i] > '9') return std::nullopt;
    n = n * 10 + (digits[i] - '0');
  }
  if (digits[0] == '-') n = -n;
  if (n < INT32_MIN || n > INT32_MAX || formatInt(static_cast<int32_t>(n)) != digits) {
    return std::nullopt;
  }
  return static_cast<int>(n);
}

std::string formatUnsigned(uint32_t value) { return std::to_string(value); }

std::string formatFixed(double value, int decimals) {
  // Large enough for any double in fixed notation.
  char buf[400];
  auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  return std::string(buf, result.ptr);
}

// A single write is an edit of one change.
WriteStatus writeText(const std::string& path, const char* section, const char* key,
                      const char* value) {
  FileEdit edit(path);
  edit.set(section, key, value);
  return edit.commit();
}

WriteStatus writeText(const std::string& path, const char* section, const char* key,
                      std::string_view value) {
  FileEdit edit(path);
  edit.set(section, key, value);
  return edit.commit();
}

WriteStatus removeSection(const std::string& path, const char* section) {
  FileEdit edit(path);
  edit.removeSection(section);
  return edit.commit();
}

void FileEdit::set(const char* section, const char* key, const char* value) {
  if (value != nullptr) return set(section, key, std::string_view(value));
  changes_.push_back(Change{Op::RemoveKey, storable(section, key, nullptr), section ? section : "",
                            key ? key : "", std::string()});
}

void FileEdit::set(const char* section, const char* key, std::string_view value) {
  changes_.push_back(Change{Op::Set, storable(section, key, &value), section ? section : "",
                            key ? key : "", std::string(value)});
}

void FileEdit::removeSection(const char* section) {
  changes_.push_back(
      Change{Op::RemoveSection, section != nullptr, section ? section : "", "", std::string()});
}

WriteStatus FileEdit::commit() {
  const WriteStatus s = apply();
  // For the C interface's caller: where the values staged went, and where a
  // write failed.
  CallNotes::wentTo(path_);
  if (!succeeded(s)) CallNotes::failedWrite(path_);
  return s;
}

WriteStatus FileEdit::apply() {
  const size_t refused = static_cast<size_t>(
      std::count_if(changes_.begin(), changes_.end(), [](const Change& c) { return !c.storable; }));
  if (refused == changes_.size()) {
    return WriteReport::note(refused > 0 ? WriteStatus::Refused : WriteStatus::Unchanged);
  }
  // Sets alone are assignments that a write batch may make with others at once.
  std::vector<ini::Assignment> assignments;
  for (const Change& c : changes_) {
    if (c.op != Op::Set) {
      assignments.clear();
      break;
    }
    if (c.storable) assignments.push_back(ini::Assignment{c.section, c.key, c.value});
  }
  // The edit owns the changes: a write batch keeps it beyond this call.
  const fileio::Edit edit = [changes = std::move(changes_)](std::string& contents, bool exists) {
    bool changed = false;
    for (const Change& c : changes) {
      // A removal from a file that does not exist (yet) has nothing to do.
      if (!c.storable || (c.op != Op::Set && !exists && !changed)) continue;
      const std::string_view value(c.value);
      if (c.op == Op::RemoveSection) {
        changed = ini::removeSection(contents, c.section) || changed;
      } else {
        changed = applyToContents(contents, c.section, c.key, c.op == Op::Set ? &value : nullptr) ||
                  changed;
      }
    }
    return changed ? WriteStatus::Written : WriteStatus::Unchanged;
  };
  const std::string native = fileio::nativePath(path_);
  const WriteStatus s = assignments.empty() ? fileio::updateFile(native, edit)
                                            : fileio::assignKeys(native, edit, assignments);
  return refused > 0 && succeeded(s) ? WriteReport::note(WriteStatus::Refused) : s;
}

}  // namespace trasso
