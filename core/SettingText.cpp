#include "SettingText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "CallNotes.h"
#include "Ini.h"
#include "SettingsFileIo.h"
#include "SettingsPaths.h"

namespace trasso {

namespace {

bool parseInteger(const std::string& text, int64_t& out) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  const auto [ptr, ec] = std::from_chars(begin, end, out);
  return ec == std::errc() && ptr == end && begin != end;
}

std::string number(double v) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, result.ptr);
}

std::string rangeWords(const ValueLimits& l, const Declaration& d) {
  const bool isDouble = d.kind == ValueKind::DoubleA || d.kind == ValueKind::DoubleB;
  if (l.range) {
    if (isDouble) return "from " + number(l.range->min) + " to " + number(l.range->max);
    return "from " + std::to_string(static_cast<int64_t>(l.range->min)) + " to " +
           std::to_string(static_cast<int64_t>(l.range->max));
  }
  return "from " + std::to_string(l.minValue) + " to " + std::to_string(l.maxValue);
}

bool inRange(const ValueLimits& l, double v) {
  return !l.range || (v >= l.range->min && v <= l.range->max);
}

// The blanks the reader skips around a value (as around names).
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; }

// A text read back: why the reader gives something else, in words.
std::string textChanges(const std::string& stored, size_t limit) {
  std::vector<std::string> why;
  if (!stored.empty() && isBlank(stored.front())) {
    why.emplace_back("blanks at the start of a value are not read");
  }
  if (!stored.empty() && isBlank(stored.back())) {
    why.emplace_back("blanks at the end of a value are not read");
  }
  size_t begin = 0;
  size_t end = stored.size();
  while (begin < end && isBlank(stored[begin])) ++begin;
  while (end > begin && isBlank(stored[end - 1])) --end;
  const std::string_view trimmed = std::string_view(stored).substr(begin, end - begin);
  const std::string_view unquoted = ini::valueAsRead(stored);
  if (unquoted != trimmed) {
    why.emplace_back("a value in one pair of quotes (\"...\" or '...') is read without them");
  }
  if (unquoted.size() > limit) {
    why.push_back("the getter reads at most " + std::to_string(limit) + " bytes");
  }
  std::string out;
  for (const std::string& w : why) out += (out.empty() ? "" : "; ") + w;
  return out;
}

}  // namespace

ReadBack readBack(const Declaration& d, const Value& v) {
  const std::string stored = storedText(d, v);
  const std::string_view raw = ini::valueAsRead(stored);
  const size_t limit = d.bufferSize > 0 ? d.bufferSize - 1 : 0;
  switch (d.kind) {
    case ValueKind::Text: {
      const std::string read(raw.substr(0, limit));
      return {read, read == std::get<std::string>(v) ? "" : textChanges(stored, limit)};
    }
    case ValueKind::DoubleA:
    case ValueKind::DoubleB: {
      const std::string_view text = raw.substr(0, limit);
      const double given = std::get<double>(v);
      const double read = d.kind == ValueKind::DoubleA && text.empty() ? std::get<double>(d.def)
                                                                       : textToDouble(text);
      if (!std::isfinite(given)) return {read, "only finite numbers can be stored"};
      // Written with its decimals, a number reads back rounded to them: that
      // is its precision, not another value.
      const double unit = std::pow(10.0, -d.decimals);
      if (std::fabs(read - given) <= unit / 2 * (1 + 1e-9)) return {read, ""};
      return {read, "it is written as '" + stored + "'" +
                        (d.writtenLimit > 0
                             ? " (at most " + std::to_string(d.writtenLimit) + " characters)"
                             : "")};
    }
    case ValueKind::Colour: {
      const auto given = static_cast<uint32_t>(std::get<int64_t>(v));
      const uint32_t read = ColourFromText(std::string(raw.substr(0, 19)).c_str());
      return {int64_t{read}, read == given ? "" : "a colour keeps red, green and blue only"};
    }
    default:
      break;
  }
  // Integers: the stored number's bits at the kind's width, against the value
  // given at that width (the setters' own types).
  const int64_t given = std::get<int64_t>(v);
  const uint32_t bits = parseIntBits(raw);
  int64_t read = 0;
  int64_t want = given;
  switch (d.kind) {
    case ValueKind::Int:
      read = static_cast<int32_t>(bits);
      want = static_cast<int32_t>(given);
      break;
    case ValueKind::U8:
      read = static_cast<uint8_t>(bits);
      want = static_cast<uint8_t>(given);
      break;
    case ValueKind::U16:
      read = static_cast<uint16_t>(bits);
      want = static_cast<uint16_t>(given);
      break;
    case ValueKind::U32:
      read = bits;
      want = static_cast<uint32_t>(given);
      break;
    default:  // flags
      read = d.flagRead == FlagRead::NonZero      ? bits != 0
             : d.flagRead == FlagRead::ExactlyOne ? bits == 1
                                                  : static_cast<int32_t>(bits);
      break;
  }
  return {read, read == want ? "" : "a flag is written as 1 for any number but 0"};
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

size_t editDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

bool takesFlag(const SettingEntry& e, const Declaration& d) {
  return limitsOf(e, d).isBool || d.kind == ValueKind::Flag;
}

std::string acceptedValues(const SettingEntry& e, const Declaration& d) {
  const ValueLimits l = limitsOf(e, d);
  switch (d.kind) {
    case ValueKind::Text:
      return "a text of at most " + std::to_string(d.bufferSize - 1) +
             " bytes in code page 932, without line breaks";
    case ValueKind::Colour:
      return "a colour: red,green,blue, each from 0 to 255";
    case ValueKind::DoubleA:
    case ValueKind::DoubleB:
      return l.range ? "a number " + rangeWords(l, d) : "a number";
    default:
      if (takesFlag(e, d)) return "0 or 1";
      return "an integer " + rangeWords(l, d);
  }
}

std::string valueText(const Declaration& d, const Value& v) {
  switch (d.kind) {
    case ValueKind::Text:
      return std::get<std::string>(v);
    case ValueKind::DoubleA:
    case ValueKind::DoubleB:
      return number(std::get<double>(v));
    case ValueKind::Colour: {
      const auto c = static_cast<uint32_t>(std::get<int64_t>(v));
      return std::to_string(c & 0xFF) + "," + std::to_string((c >> 8) & 0xFF) + "," +
             std::to_string((c >> 16) & 0xFF);
    }
    default:
      return std::to_string(std::get<int64_t>(v));
  }
}

void noteReadBack(const Declaration& d, const Value& v, const char* key) noexcept {
  if (!CallNotes::active()) return;
  try {
    const ReadBack r = readBack(d, v);
    if (r.why.empty()) return;
    CallNotes::altered(
        CallNotes::Altered{"", d.key.section, key, valueText(d, v), valueText(d, r.value), r.why});
  } catch (...) {  // out of memory: no note
  }
}

namespace {

// A value in a message: a long one by its start and its length.
std::string shortened(const std::string& text) {
  if (text.size() <= 64) return text;
  return text.substr(0, 40) + "... (" + std::to_string(text.size()) + " bytes)";
}

// v, unless it would read back otherwise: then refused saying so.
Value readingBack(const std::string& refused, const Declaration& d, const Value& v) {
  const ReadBack r = readBack(d, v);
  if (r.why.empty()) return v;
  throw Refusal{refused + ", which would read back as '" + shortened(valueText(d, r.value)) +
                "' (" + r.why + ")"};
}

}  // namespace

Value parseValue(const SettingEntry& e, const Declaration& d, const std::string& text,
                 ToStored toStored, bool checkRange) {
  ValueLimits l = limitsOf(e, d);
  if (!checkRange) l.range.reset();
  const std::string refused =
      std::string(e.name) + " takes " + acceptedValues(e, d) + "; got '" + shortened(text) + "'";
  switch (d.kind) {
    case ValueKind::Text: {
      if (text.find_first_of("\r\n") != std::string::npos) {
        throw Refusal{std::string(e.name) + " takes a text without line breaks"};
      }
      std::string bytes = text;
      if (toStored) {
        auto converted = toStored(text);
        if (!converted) {
          throw Refusal{"'" + shortened(text) +
                        "' cannot be stored in code page 932 (use --raw for bytes)"};
        }
        bytes = *converted;
      }
      return readingBack(refused, d, bytes);
    }
    case ValueKind::Colour: {
      const std::optional<uint32_t> c = parseColour(text);
      if (!c) {
        throw Refusal{std::string(e.name) + " takes " + acceptedValues(e, d) +
                      ", or #rrggbb; got '" + text + "'"};
      }
      return readingBack(refused, d, int64_t{*c});
    }
    case ValueKind::DoubleA:
    case ValueKind::DoubleB: {
      if (text.empty() && d.emptyForDefault) return d.def;  // the setter's form of the default
      double v = 0;
      const char* begin = text.data();
      const char* end = begin + text.size();
      if (begin != end && *begin == '+') ++begin;
      const auto [ptr, ec] = std::from_chars(begin, end, v);
      if (ec != std::errc() || ptr != end || begin == end || !std::isfinite(v) || !inRange(l, v)) {
        throw Refusal{refused};
      }
      return readingBack(refused, d, v);
    }
    default: {
      int64_t v = 0;
      const bool number = parseInteger(text, v);
      // An unsigned setter over a signed key writes values above 2^31 - 1 as
      // negative numbers: that form is taken back as the value it reads as.
      if (number && d.kind == ValueKind::Int && l.maxValue > INT32_MAX && v < 0 && v >= INT32_MIN) {
        v += int64_t{1} << 32;
      }
      if (!number || v < l.minValue || v > l.maxValue || !inRange(l, static_cast<double>(v))) {
        throw Refusal{refused};
      }
      return readingBack(refused, d, v);
    }
  }
}

namespace {

std::optional<int> parseInt32(const std::string& text) {
  int64_t n = 0;
  if (!parseInteger(text, n) || n < INT32_MIN || n > INT32_MAX) return std::nullopt;
  return static_cast<int>(n);
}

// The integer a text starts with ("2a": 2), if it starts with one.
std::optional<int> leadingInt32(const std::string& text) {
  if (text.empty()) return std::nullopt;
  const size_t sign = text[0] == '-' || text[0] == '+' ? 1 : 0;
  return parseInt32(text.substr(0, text.find_first_not_of("0123456789", sign)));
}

// A selector that names nothing: which part is wrong, and the nearest selector
// that names something.
[[noreturn]] void wrongPart(const std::string& why, const std::string& closest) {
  throw Refusal{why + "; closest: " + closest};
}

// Which of names (ASCII letters in any case) or of their numbers a text is, or -1.
int indexOf(const std::string& text, const std::vector<std::string>& names) {
  const std::optional<int> n = parseInt32(text);
  for (size_t i = 0; i < names.size(); ++i) {
    if ((n && *n == static_cast<int>(i)) || lower(text) == lower(names[i])) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

// The one of names nearest to a text: by number (out of range: the nearer end)
// or by spelling.
const std::string& nearest(const std::string& text, const std::vector<std::string>& names) {
  if (const std::optional<int> n = parseInt32(text)) {
    return names[static_cast<size_t>(std::clamp(*n, 0, static_cast<int>(names.size()) - 1))];
  }
  size_t best = 0;
  for (size_t i = 1; i < names.size(); ++i) {
    if (editDistance(lower(text), lower(names[i])) <
        editDistance(lower(text), lower(names[best]))) {
      best = i;
    }
  }
  return names[best];
}

std::vector<std::string> split(const std::string& text, char at) {
  std::vector<std::string> parts;
  for (size_t start = 0;;) {
    const size_t end = text.find(at, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

std::vector<std::string> fileNames(int count) {
  std::vector<std::string> names;
  for (int id = 0; id < count && SettingsFileName(id) != nullptr; ++id) {
    names.emplace_back(SettingsFileName(id));
  }
  return names;
}

// FILE,WHICH,SECTION: a file id or name, a key number or name, a section number;
// WHICH and SECTION may be left out (0).
Selection parseScreenColour(const std::string& arg) {
  const std::vector<std::string> parts = split(arg, ',');
  const std::vector<std::string> files = fileNames(INT32_MAX);
  std::vector<std::string> keys;
  for (int k = 0; screenColourKey(k) != nullptr; ++k) keys.emplace_back(screenColourKey(k));
  const std::string which = parts.size() > 1 ? parts[1] : "0";
  const std::string section = parts.size() > 2 ? parts[2] : "0";
  Selection s;
  s.number = indexOf(parts[0], files);
  s.which = indexOf(which, keys);
  const std::optional<int> number = parseInt32(section);
  if (parts.size() <= 3 && s.number >= 0 && s.which >= 0 && number) {
    s.section = *number;
    return s;
  }
  const std::string closest = nearest(parts[0], files) + "," + nearest(which, keys) + "," +
                              std::to_string(number.value_or(leadingInt32(section).value_or(0)));
  if (parts.size() > 3) {
    wrongPart("it has " + std::to_string(parts.size()) + " parts, not the three FILE,WHICH,SECTION",
              closest);
  }
  if (s.number < 0) {
    wrongPart("FILE '" + parts[0] + "' is no settings file (an id from 0 to " +
                  std::to_string(files.size() - 1) + " or a file name)",
              closest);
  }
  if (s.which < 0) {
    wrongPart("WHICH '" + which +
                  "' is no key (0 to 4 or MessBak, MessFor, BtnNorm, BtnPush, "
                  "FuncBak)",
              closest);
  }
  wrongPart("SECTION '" + section + "' is no integer", closest);
}

// N or N:DEFAULT, the default an integer or a colour as the entry's kind is.
Selection parseCallerDefault(const SettingEntry& e, const std::string& arg) {
  const size_t colon = arg.find(':');
  const std::string entry = arg.substr(0, colon);
  const std::optional<int> n = parseInt32(entry);
  Selection s;
  s.number = n.value_or(0);
  const bool colour = e.decl.kind == ValueKind::Colour;
  std::string def;  // the closest default, ":DEFAULT"
  if (colon != std::string::npos) {
    const std::string given = arg.substr(colon + 1);
    if (colour) {
      const std::optional<uint32_t> c = parseColour(given);
      if (c) s.callerDefault = *c;
    } else if (const std::optional<int> d = parseInt32(given)) {
      s.callerDefault = *d;
    }
    if (!s.callerDefault) {
      // The integer the default starts with; a colour that is none is left out.
      const std::optional<int> lead = colour ? std::nullopt : leadingInt32(given);
      if (lead) def = ":" + std::to_string(*lead);
      if (n) {
        wrongPart("DEFAULT '" + given + "', the default the application passes, is no " +
                      (colour ? "colour (red,green,blue or #rrggbb)" : "integer"),
                  std::to_string(*n) + def);
      }
    } else {
      def = arg.substr(colon);
    }
  }
  if (!n) {
    wrongPart("N '" + entry + "' is no integer (the entry number)",
              std::to_string(leadingInt32(entry).value_or(0)) + def);
  }
  return s;
}

std::vector<std::string> fieldNames(const SettingEntry& e) {
  std::vector<std::string> names;
  for (size_t i = 0; i < e.fieldCount; ++i) names.emplace_back(e.fields[i].name);
  return names;
}

std::string joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& n : names) text += (text.empty() ? "" : ", ") + n;
  return text;
}

// [R.|S.]FIELD[:PROFILE]: a field by name (any case) or number; a side's record
// for a field of both (R when none is given); a profile's path.
Selection parseField(const SettingEntry& e, const std::string& arg) {
  const size_t colon = arg.find(':');
  std::string field = arg.substr(0, colon);
  Selection s;
  s.path = colon == std::string::npos ? standardProfilePath(e) : arg.substr(colon + 1);
  if (!e.inProfile) s.path.clear();
  const bool sided = std::any_of(e.fields, e.fields + e.fieldCount, [](const RecordField& f) {
    return f.decl.key.choice == KeyChoice::Side;
  });
  const size_t dot = field.find('.');
  const std::string side = dot == std::string::npos ? "" : lower(field.substr(0, dot));
  if (dot != std::string::npos) field = field.substr(dot + 1);
  s.number = side == "s" ? 1 : 0;
  const std::vector<std::string> names = fieldNames(e);
  s.which = indexOf(field, names);
  const bool sideKnown = side.empty() || (sided && (side == "r" || side == "s"));
  const bool pathKnown = colon == std::string::npos || (e.inProfile && !s.path.empty());
  if (s.which >= 0 && sideKnown && pathKnown) return s;
  const std::string closest =
      (sided && !side.empty() ? (s.number != 0 ? "S." : "R.") : "") + nearest(field, names) +
      (pathKnown && e.inProfile && colon != std::string::npos ? ":" + s.path : "");
  if (!sideKnown) {
    wrongPart(sided ? "side '" + arg.substr(0, dot) + "' is neither R nor S"
                    : std::string(e.name) + " is a record of no sides: no R. or S. before a field",
              closest);
  }
  if (!pathKnown) {
    wrongPart(e.inProfile
                  ? "the profile path after ':' is empty (without ':' the field is the one of " +
                        fileio::nativePath(standardProfilePath(e)) + ")"
                  : std::string(e.name) + " lies in no profile: no ':' after a field",
              closest);
  }
  wrongPart("field '" + field + "' is none of " + joined(names) + " (or 0 to " +
                std::to_string(names.size() - 1) + ")",
            closest);
}

// The item code nearest to n that names an item.
int nearestItem(const SettingEntry& e, int n) {
  n = std::clamp(n, 0, e.listed - 1);
  for (int d = 0; d < e.listed; ++d) {
    for (const int c : {n - d, n + d}) {
      if (c >= 0 && c < e.listed && e.declarationAt(c).key.name != nullptr) return c;
    }
  }
  return 0;
}

}  // namespace

std::string hexColour(uint32_t colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", colour & 0xFF, (colour >> 8) & 0xFF,
                (colour >> 16) & 0xFF);
  return text;
}

std::optional<uint32_t> parseColour(const std::string& text) {
  const size_t hash = text.find('#');
  const size_t first = text.find_first_not_of(" \t");
  if (hash != std::string::npos && hash != first) {
    // Both forms, as jkn shows a colour: they must name the same one.
    const std::optional<uint32_t> rgb = parseColour(text.substr(0, hash));
    const std::optional<uint32_t> hex = parseColour(text.substr(hash));
    if (!rgb || !hex || *rgb != *hex || (text[hash - 1] != ' ' && text[hash - 1] != '\t')) {
      return std::nullopt;
    }
    return rgb;
  }
  // Blanks around a part: the "%3d,%3d,%3d" the setters write.
  const auto part = [&](size_t begin, size_t end) {
    const auto blank = [&](size_t at) { return text[at] == ' ' || text[at] == '\t'; };
    while (begin < end && blank(begin)) ++begin;
    while (end > begin && blank(end - 1)) --end;
    return text.substr(begin, end - begin);
  };
  if (hash != std::string::npos) {
    const std::string h = part(hash, text.size());
    if (h.size() != 7 || h.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos) {
      return std::nullopt;
    }
    const auto byte = [&](size_t at) {
      return static_cast<uint32_t>(std::stoul(h.substr(at, 2), nullptr, 16));
    };
    return byte(1) | byte(3) << 8 | byte(5) << 16;
  }
  int64_t parts[3];
  size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    const size_t comma = i < 2 ? text.find(',', start) : text.size();
    if (comma == std::string::npos || !parseInteger(part(start, comma), parts[i]) || parts[i] < 0 ||
        parts[i] > 255) {
      return std::nullopt;
    }
    start = comma + 1;
  }
  return static_cast<uint32_t>(parts[0] | parts[1] << 8 | parts[2] << 16);
}

Selection parseSelector(const SettingEntry& e, const std::optional<std::string>& arg) {
  if (!arg) {
    if (e.selector == SelectorKind::None || e.selector == SelectorKind::Mode ||
        e.selector == SelectorKind::Side || e.selector == SelectorKind::Profile) {
      return keySelections(e).front();
    }
    throw Refusal{std::string(e.name) + " needs a selector: " + selectorWords(e)};
  }
  const std::optional<int> n = parseInt32(*arg);
  const int near = n.value_or(leadingInt32(*arg).value_or(0));
  const auto number = [](int v) {
    Selection out;
    out.number = v;
    return out;
  };
  try {
    switch (e.selector) {
      case SelectorKind::None:
        throw Refusal{std::string(e.name) + " takes no selector; got '" + *arg + "'"};
      case SelectorKind::Profile: {
        Selection s;
        s.path = *arg;
        return s;
      }
      case SelectorKind::Mode:
      case SelectorKind::Side: {
        const std::vector<std::string> names = e.selector == SelectorKind::Mode
                                                   ? std::vector<std::string>{"plain", "svy"}
                                                   : std::vector<std::string>{"R", "S"};
        const int at = indexOf(*arg, names);
        if (at >= 0) return number(at);
        wrongPart("it is neither " + names[0] + " (0) nor " + names[1] + " (1)",
                  nearest(*arg, names));
      }
      case SelectorKind::FileId: {
        const std::vector<std::string> names = fileNames(e.listed);
        const int at = indexOf(*arg, names);
        if (at >= 0) return number(at);
        wrongPart("it is no settings file id (0 to " + std::to_string(e.listed - 1) +
                      ") and no name of one",
                  nearest(*arg, names));
      }
      case SelectorKind::Entry:
        if (n) return number(*n);
        wrongPart("it is no entry number (an integer)", std::to_string(near));
      case SelectorKind::Item:
        if (n && !keyOf(e, number(*n)).empty()) return number(*n);
        wrongPart("it is no item code (0 to " + std::to_string(e.listed - 1) +
                      ", each with a key; 25 is unassigned)",
                  std::to_string(nearestItem(e, near)));
      case SelectorKind::ZoomMode:
        if (n && *n >= 0 && *n <= UINT16_MAX) return number(*n);
        wrongPart("it is no zoom mode (0 to 65535)",
                  std::to_string(std::clamp(near, 0, static_cast<int>(UINT16_MAX))));
      case SelectorKind::ScreenColour:
        return parseScreenColour(*arg);
      case SelectorKind::CallerDefault:
        return parseCallerDefault(e, *arg);
      case SelectorKind::Field:
        return parseField(e, *arg);
    }
  } catch (const Refusal& r) {
    if (e.selector == SelectorKind::None) throw;
    throw Refusal{std::string(e.name) + ": '" + *arg + "' is no selector: " + r.message};
  }
  return Selection{};
}

std::string showField(const SettingEntry& e, const Selection& s) {
  const RecordField* f = fieldOf(e, s);
  if (f == nullptr) return std::to_string(s.which);
  const bool sided = f->decl.key.choice == KeyChoice::Side;
  return (sided || s.number != 0 ? (s.number != 0 ? "S." : "R.") : "") + std::string(f->name);
}

std::string showSelector(const SettingEntry& e, const Selection& s) {
  switch (e.selector) {
    case SelectorKind::None:
      return "";
    case SelectorKind::Mode:
      return s.number != 0 ? "svy" : "plain";
    case SelectorKind::Side:
      return s.number != 0 ? "S" : "R";
    case SelectorKind::Profile:
      return fileio::nativePath(s.path);
    case SelectorKind::ScreenColour: {
      const char* file = SettingsFileName(s.number);
      const char* key = screenColourKey(s.which);
      return (file ? file : std::to_string(s.number)) + "," +
             (key ? key : std::to_string(s.which)) + "," + std::to_string(s.section);
    }
    case SelectorKind::CallerDefault: {
      std::string text = std::to_string(s.number);
      if (s.callerDefault) {
        text += ":" + (e.decl.kind == ValueKind::Colour
                           ? hexColour(static_cast<uint32_t>(*s.callerDefault))
                           : std::to_string(*s.callerDefault));
      }
      return text;
    }
    case SelectorKind::Field:
      return showField(e, s) + (e.inProfile ? ":" + fileio::nativePath(s.path) : "");
    default:
      return std::to_string(s.number);
  }
}

std::string selectorWords(const SettingEntry& e) {
  switch (e.selector) {
    case SelectorKind::None:
      return "none";
    case SelectorKind::Mode:
      return "mode: plain (0, the default) or svy (1, the key with \"_Svy\")";
    case SelectorKind::Side:
      return "side: R (0, the default, the key with \"R\") or S (1, the key with \"S\")";
    case SelectorKind::Entry:
      return "entry number (any integer; the key is the number in decimal after \"" +
             std::string(e.decl.key.name) + "\")";
    case SelectorKind::Item:
      return "item code (0 to " + std::to_string(e.listed - 1) +
             ", each with its own file and key; 25 is unassigned)";
    case SelectorKind::FileId:
      return "settings file id (0 to " + std::to_string(e.listed - 1) + ") or its file name";
    case SelectorKind::Profile:
      return "profile file path (default: " + fileio::nativePath(standardProfilePath(e)) + ")";
    case SelectorKind::ScreenColour:
      return "FILE,WHICH,SECTION: FILE a settings file id or its file name, WHICH 0 to 4 or its "
             "key (MessBak, MessFor, BtnNorm, BtnPush, FuncBak), SECTION any integer, the section "
             "in decimal; WHICH and SECTION may be left out (0)";
    case SelectorKind::CallerDefault:
      return "N or N:DEFAULT: the entry number (any integer; the key is the number in decimal "
             "after \"" +
             std::string(e.decl.key.name) + "\") and the default the application passes (" +
             (e.decl.kind == ValueKind::Colour ? "a colour, red,green,blue or #rrggbb"
                                               : "an integer") +
             "); without one, a key that is not stored has no value of its own";
    case SelectorKind::ZoomMode: {
      const std::string fallback = e.declarationAt(UINT16_MAX).key.name;
      int row = 0;
      while (row < 2 && e.declarationAt(row).key.name != fallback) ++row;
      return "zoom mode: 0 small, 1 medium, 2 large; any other up to 65535 reads as mode " +
             std::to_string(row);
    }
    case SelectorKind::Field: {
      const bool sided = std::any_of(e.fields, e.fields + e.fieldCount, [](const RecordField& f) {
        return f.decl.key.choice == KeyChoice::Side;
      });
      std::string words = "field: " + joined(fieldNames(e)) + " (or its number)";
      if (sided) {
        words +=
            "; R. or S. before it chooses the side's record (R, side 0, when none is given: "
            "a field of a side's own key is that side's)";
      }
      if (e.inProfile) {
        words += "; :PROFILE after it names the profile file (default: " +
                 fileio::nativePath(standardProfilePath(e)) + ")";
      }
      return words;
    }
  }
  return "";
}

}  // namespace trasso
