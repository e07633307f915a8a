#include "SettingText.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <vector>

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

std::string rangeWords(const SettingEntry& e, const Declaration& d) {
  const bool isDouble = d.kind == ValueKind::DoubleA || d.kind == ValueKind::DoubleB;
  if (e.range) {
    if (isDouble) return "from " + number(e.range->min) + " to " + number(e.range->max);
    return "from " + std::to_string(static_cast<int64_t>(e.range->min)) + " to " +
           std::to_string(static_cast<int64_t>(e.range->max));
  }
  return "from " + std::to_string(e.minValue) + " to " + std::to_string(e.maxValue);
}

bool inRange(const SettingEntry& e, double v) {
  return !e.range || (v >= e.range->min && v <= e.range->max);
}

}  // namespace

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool takesFlag(const SettingEntry& e, const Declaration& d) {
  return e.isBool || d.kind == ValueKind::Flag;
}

std::string acceptedValues(const SettingEntry& e, const Declaration& d) {
  switch (d.kind) {
    case ValueKind::Text:
      return "a text of at most " + std::to_string(d.bufferSize - 1) +
             " bytes in code page 932, without line breaks";
    case ValueKind::Colour:
      return "a colour: red,green,blue, each from 0 to 255";
    case ValueKind::DoubleA:
    case ValueKind::DoubleB:
      return e.range ? "a number " + rangeWords(e, d) : "a number";
    default:
      if (takesFlag(e, d)) return "0 or 1";
      return "an integer " + rangeWords(e, d);
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

Value parseValue(const SettingEntry& e, const Declaration& d, const std::string& text,
                 ToStored toStored) {
  const std::string refused =
      std::string(e.name) + " takes " + acceptedValues(e, d) + "; got '" + text + "'";
  switch (d.kind) {
    case ValueKind::Text: {
      if (text.find_first_of("\r\n") != std::string::npos) {
        throw Refusal{std::string(e.name) + " takes a text without line breaks"};
      }
      std::string bytes = text;
      if (toStored) {
        auto converted = toStored(text);
        if (!converted) {
          throw Refusal{"'" + text + "' cannot be stored in code page 932 (use --raw for bytes)"};
        }
        bytes = *converted;
      }
      if (bytes.size() > d.bufferSize - 1) {
        throw Refusal{std::string(e.name) + " reads at most " + std::to_string(d.bufferSize - 1) +
                      " bytes; '" + text + "' is " + std::to_string(bytes.size()) + " bytes"};
      }
      return bytes;
    }
    case ValueKind::Colour: {
      int64_t parts[3];
      size_t start = 0;
      for (int i = 0; i < 3; ++i) {
        const size_t comma = i < 2 ? text.find(',', start) : text.size();
        if (comma == std::string::npos ||
            !parseInteger(text.substr(start, comma - start), parts[i]) || parts[i] < 0 ||
            parts[i] > 255) {
          throw Refusal{refused};
        }
        start = comma + 1;
      }
      return parts[0] | parts[1] << 8 | parts[2] << 16;
    }
    case ValueKind::DoubleA:
    case ValueKind::DoubleB: {
      double v = 0;
      const char* begin = text.data();
      const char* end = begin + text.size();
      if (begin != end && *begin == '+') ++begin;
      const auto [ptr, ec] = std::from_chars(begin, end, v);
      if (ec != std::errc() || ptr != end || begin == end || !std::isfinite(v) || !inRange(e, v)) {
        throw Refusal{refused};
      }
      return v;
    }
    default: {
      int64_t v = 0;
      if (!parseInteger(text, v) || v < e.minValue || v > e.maxValue ||
          (takesFlag(e, d) && v != 0 && v != 1) || !inRange(e, static_cast<double>(v))) {
        throw Refusal{refused};
      }
      return v;
    }
  }
}

Selection parseSelector(const SettingEntry& e, const std::optional<std::string>& arg) {
  if (!arg) {
    if (e.selector == SelectorKind::None || e.selector == SelectorKind::Mode ||
        e.selector == SelectorKind::Side || e.selector == SelectorKind::Profile) {
      return listedSelections(e).front();
    }
    throw Refusal{std::string(e.name) + " needs a selector: " + selectorWords(e)};
  }
  const std::string a = lower(*arg);
  int64_t n = 0;
  switch (e.selector) {
    case SelectorKind::None:
      throw Refusal{std::string(e.name) + " takes no selector; got '" + *arg + "'"};
    case SelectorKind::Profile:
      return Selection{0, *arg};
    case SelectorKind::Mode:
      if (a == "plain" || a == "0") return {0, {}};
      if (a == "svy" || a == "1") return {1, {}};
      break;
    case SelectorKind::Side:
      if (a == "r" || a == "0") return {0, {}};
      if (a == "s" || a == "1") return {1, {}};
      break;
    case SelectorKind::FileId:
      for (int id = 0; id < e.listed; ++id) {
        if (a == lower(SettingsFileName(id))) return {id, {}};
      }
      [[fallthrough]];
    case SelectorKind::Entry:
    case SelectorKind::Item:
      if (parseInteger(*arg, n) && n >= INT32_MIN && n <= INT32_MAX) {
        Selection s{static_cast<int>(n), {}};
        if (e.selector == SelectorKind::Entry || keyOf(e, s).size() > 0) {
          if (e.selector != SelectorKind::FileId || (n >= 0 && n < e.listed)) return s;
        }
      }
      break;
  }
  throw Refusal{std::string(e.name) + ": '" + *arg + "' is no selector; " + selectorWords(e)};
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
  }
  return "";
}

}  // namespace trasso
