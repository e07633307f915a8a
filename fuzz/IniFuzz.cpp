// Fuzz target of the INI layer: arbitrary file bytes and a sequence of reads,
// writes, key removals and section removals. Checks that a write reads back, a
// removed key reads as missing, and every line an operation does not touch
// stays byte for byte as it was.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Ini.h"

namespace {

using trasso::ini::findValue;

// What the current operation works on, shown when a check fails.
struct Trace {
  const std::string* before = nullptr;
  const std::string* after = nullptr;
  const std::string* section = nullptr;
  const std::string* key = nullptr;
  const std::string* value = nullptr;
} trace;

void dump(const char* label, const std::string* text) {
  if (text == nullptr) return;
  std::fprintf(stderr, "%s (%zu bytes): ", label, text->size());
  for (unsigned char c : *text) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      std::fputc(c, stderr);
    } else {
      std::fprintf(stderr, "\\x%02X", c);
    }
  }
  std::fputc('\n', stderr);
}

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "INI check failed: %s\n", what);
  dump("section", trace.section);
  dump("key", trace.key);
  dump("value", trace.value);
  dump("before", trace.before);
  dump("after", trace.after);
  std::abort();
}

// Start offsets of the lines of a text (with a final entry at its size).
std::vector<size_t> lineStarts(const std::string& text) {
  std::vector<size_t> starts{0};
  // A byte-order mark at the very start is not part of the first line.
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) starts.push_back(3);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
      starts.push_back(i + 1);
    }
  }
  if (starts.back() != text.size()) starts.push_back(text.size());
  return starts;
}

// The bytes of before that differ from after, as a range [from, to) of before
// after taking off the longest common prefix and suffix.
void changedRange(const std::string& before, const std::string& after, size_t& from, size_t& to) {
  size_t prefix = 0;
  while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) {
    ++prefix;
  }
  size_t suffix = 0;
  while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
    ++suffix;
  }
  from = prefix;
  to = before.size() - suffix;
}

// A write may change bytes inside one line's content and insert new lines, but
// never alter another line or any existing line break.
void checkWriteTouchedOneLine(const std::string& before, const std::string& after) {
  size_t from, to;
  changedRange(before, after, from, to);
  for (size_t i = from; i < to; ++i) {
    if (before[i] == '\r' || before[i] == '\n') fail("a write changed a line break");
  }
}

// Removal must leave before with whole lines cut out: some window [s, s + cut)
// that starts at a line start and ends at one (or at the end). Such a window
// gives after exactly when s is within the common prefix and s + cut within the
// common suffix.
void checkWholeLinesRemoved(const std::string& before, const std::string& after, bool oneLine) {
  if (after.size() >= before.size()) fail("a removal did not shorten the file");
  const size_t cut = before.size() - after.size();
  size_t prefix = 0;
  while (prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
  size_t suffix = 0;
  while (suffix < after.size() &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
    ++suffix;
  }
  const size_t lowest = after.size() - suffix;
  const std::vector<size_t> starts = lineStarts(before);
  for (size_t a = 0; a + 1 < starts.size(); ++a) {
    if (starts[a] < lowest || starts[a] > prefix) continue;
    for (size_t b = a + 1; b < starts.size() && starts[b] <= starts[a] + cut; ++b) {
      if (starts[b] == starts[a] + cut && (!oneLine || b == a + 1)) return;
    }
  }
  fail("a removal did more than cut out whole lines");
}

// What a reader gets of a written value: the blanks at its edges and then one
// enclosing pair of quotes are not part of it.
std::string asRead(std::string value) {
  auto blank = [](char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A';
  };
  while (!value.empty() && blank(value.back())) value.pop_back();
  size_t lead = 0;
  while (lead < value.size() && blank(value[lead])) ++lead;
  value.erase(0, lead);
  if (value.size() >= 2 && value.front() == value.back() &&
      (value.front() == '"' || value.front() == '\'')) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

// The reading rules applied line by line, the plain way: what findValue, which
// skips most lines, must agree with.
bool blankByte(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; }

bool leadByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && blankByte(s.front())) s.remove_prefix(1);
  while (!s.empty() && blankByte(s.back())) s.remove_suffix(1);
  return s;
}

char folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool namesMatch(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (leadByte(a[i]) && i + 1 < a.size()) {
      if (a.substr(i, 2) != b.substr(i, 2)) return false;
      ++i;
    } else if (folded(a[i]) != folded(b[i])) {
      return false;
    }
  }
  return true;
}

std::optional<std::string_view> referenceRead(std::string_view file, std::string_view section,
                                              std::string_view key) {
  section = trimmed(section);  // blanks around the names asked for do not count
  key = trimmed(key);
  const std::vector<size_t> starts = lineStarts(std::string(file));
  bool inSection = false;
  for (size_t n = 0; n + 1 < starts.size(); ++n) {
    std::string_view line = file.substr(starts[n], starts[n + 1] - starts[n]);
    if (n == 0 && starts[1] == 3 && file.substr(0, 3) == "\xEF\xBB\xBF") continue;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    line = trimmed(line);
    if (line.empty()) continue;
    if (line.front() == '[') {
      size_t close = std::string_view::npos;
      for (size_t i = 1; i < line.size(); i += (leadByte(line[i]) && i + 1 < line.size()) ? 2 : 1) {
        if (line[i] == ']') close = i;
      }
      if (close != std::string_view::npos) {
        if (inSection) return std::nullopt;
        inSection = namesMatch(trimmed(line.substr(1, close - 1)), section);
        continue;
      }
    }
    if (!inSection) continue;
    const size_t eq = line.find('=');
    if (!namesMatch(trimmed(line.substr(0, eq)), key)) continue;
    if (eq == std::string_view::npos) return std::nullopt;
    std::string_view value = line.substr(eq + 1);
    while (!value.empty() && blankByte(value.front())) value.remove_prefix(1);
    if (value.find('\0') != std::string_view::npos)
      value = trimmed(value.substr(0, value.find('\0')));
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == '"' || value.front() == '\'')) {
      value = value.substr(1, value.size() - 2);
    }
    return value;
  }
  return std::nullopt;
}

size_t occurrences(std::string file, const std::string& section, const std::string& key) {
  size_t n = 0;
  while (trasso::ini::removeKey(file, section, key)) ++n;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const int operations = input.ConsumeIntegralInRange(1, 6);
  struct Op {
    int kind;
    std::string section, key, value;
  };
  std::vector<Op> ops;
  for (int i = 0; i < operations; ++i) {
    Op op;
    op.kind = input.ConsumeIntegralInRange(0, 3);
    op.section = input.ConsumeRandomLengthString(12);
    op.key = input.ConsumeRandomLengthString(12);
    op.value = input.ConsumeRandomLengthString(24);
    ops.push_back(op);
  }
  std::string file = input.ConsumeRemainingBytesAsString();

  for (const Op& op : ops) {
    const std::string before = file;
    trace = Trace{&before, &file, &op.section, &op.key, &op.value};
    switch (op.kind) {
      case 0: {  // read: a view into the file, never past its end
        auto value = findValue(file, op.section, op.key);
        if (value && (value->data() < file.data() ||
                      value->data() + value->size() > file.data() + file.size())) {
          fail("a read returned bytes outside the file");
        }
        if (value != referenceRead(file, op.section, op.key)) {
          fail("a read differs from the line-by-line reading");
        }
        break;
      }
      case 1: {  // write
        if (!trasso::ini::isStorableSection(op.section) || !trasso::ini::isStorableKey(op.key) ||
            !trasso::ini::isStorableValue(op.value)) {
          break;
        }
        trasso::ini::setValue(file, op.section, op.key, op.value);
        checkWriteTouchedOneLine(before, file);
        auto back = findValue(file, op.section, op.key);
        if (!back || *back != asRead(op.value)) fail("a written value did not read back");
        break;
      }
      case 2: {  // remove a key
        const size_t count = occurrences(file, op.section, op.key);
        const bool removed = trasso::ini::removeKey(file, op.section, op.key);
        if (removed != (count > 0)) fail("removal disagreed with the key's presence");
        if (!removed) {
          if (file != before) fail("a failed removal changed the file");
          break;
        }
        checkWholeLinesRemoved(before, file, true);
        if (count == 1 && findValue(file, op.section, op.key)) fail("a removed key still reads");
        break;
      }
      default: {  // remove a section
        if (!trasso::ini::removeSection(file, op.section)) {
          if (file != before) fail("a failed section removal changed the file");
          break;
        }
        checkWholeLinesRemoved(before, file, false);
        break;
      }
    }
  }
  return 0;
}
