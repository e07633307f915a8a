#include "Values.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

#include "SettingsFileIo.h"
#include "Stored.h"

namespace jkn {

using trasso::Declaration;
using trasso::SelectorKind;
using trasso::SettingEntry;
using trasso::Value;
using trasso::ValueKind;

namespace {

// One whole conversion; nullopt at the first byte that has no form in `to`.
std::optional<std::string> convert(const char* to, const char* from, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  // iconv_open reports failure as (iconv_t)-1.
  // NOLINTNEXTLINE(performance-no-int-to-ptr)
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(in.size() * 4 + 8, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  const size_t done = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (done == static_cast<size_t>(-1)) return std::nullopt;
  out.resize(out.size() - dstLeft);
  return out;
}

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

}  // namespace

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool takesFlag(const SettingEntry& e, const Declaration& d) {
  return e.isBool || d.kind == ValueKind::Flag;
}

std::string toUtf8(const std::string& cp932) {
  if (auto whole = convert("UTF-8", "CP932", cp932)) return *whole;
  // Character by character: one that converts shows as such, any other byte as \xNN.
  std::string out;
  for (size_t i = 0; i < cp932.size();) {
    std::optional<std::string> piece;
    size_t n = 1;
    for (; n <= 2 && i + n <= cp932.size(); ++n) {
      if ((piece = convert("UTF-8", "CP932", cp932.substr(i, n)))) break;
    }
    if (piece) {
      out += *piece;
      i += n;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(cp932[i]));
      out += hex;
      ++i;
    }
  }
  return out;
}

std::optional<std::string> toCp932(const std::string& utf8) {
  return convert("CP932", "UTF-8", utf8);
}

std::string showValue(const Declaration& d, const Value& v, bool raw) {
  switch (d.kind) {
    case ValueKind::Text:
      return raw ? std::get<std::string>(v) : toUtf8(std::get<std::string>(v));
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

Value parseValue(const SettingEntry& e, const Declaration& d, const std::string& text, bool raw) {
  const std::string refused =
      std::string(e.name) + " takes " + acceptedValues(e, d) + "; got '" + text + "'";
  switch (d.kind) {
    case ValueKind::Text: {
      if (text.find_first_of("\r\n") != std::string::npos) {
        throw Refusal{std::string(e.name) + " takes a text without line breaks"};
      }
      std::string bytes = text;
      if (!raw) {
        auto converted = toCp932(text);
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
      if (ec != std::errc() || ptr != end || begin == end || !std::isfinite(v) ||
          (e.range &&
           !(static_cast<double>(v) >= e.range->min && static_cast<double>(v) <= e.range->max))) {
        throw Refusal{refused};
      }
      return v;
    }
    default: {
      int64_t v = 0;
      if (!parseInteger(text, v) || v < e.minValue || v > e.maxValue ||
          (takesFlag(e, d) && v != 0 && v != 1) ||
          (e.range &&
           !(static_cast<double>(v) >= e.range->min && static_cast<double>(v) <= e.range->max))) {
        throw Refusal{refused};
      }
      return v;
    }
  }
}

trasso::Selection parseSelector(const SettingEntry& e, const std::optional<std::string>& arg) {
  std::vector<trasso::Selection> listed = trasso::listedSelections(e);
  if (!arg) {
    if (e.selector == SelectorKind::None || e.selector == SelectorKind::Mode ||
        e.selector == SelectorKind::Side || e.selector == SelectorKind::Profile) {
      return listed.front();
    }
    throw Refusal{std::string(e.name) + " needs a selector: " + selectorWords(e)};
  }
  const std::string a = lower(*arg);
  int64_t n = 0;
  switch (e.selector) {
    case SelectorKind::None:
      throw Refusal{std::string(e.name) + " takes no selector; got '" + *arg + "'"};
    case SelectorKind::Profile:
      return trasso::Selection{0, *arg};
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
        if (a == lower(trasso::SettingsFileName(id))) return {id, {}};
      }
      [[fallthrough]];
    case SelectorKind::Entry:
    case SelectorKind::Item:
      if (parseInteger(*arg, n) && n >= INT32_MIN && n <= INT32_MAX) {
        trasso::Selection s{static_cast<int>(n), {}};
        if (e.selector == SelectorKind::Entry || keyOf(e, s).size() > 0) {
          if (e.selector != SelectorKind::FileId || (n >= 0 && n < e.listed)) return s;
        }
      }
      break;
  }
  throw Refusal{std::string(e.name) + ": '" + *arg + "' is no selector; " + selectorWords(e)};
}

std::string showSelector(const SettingEntry& e, const trasso::Selection& s) {
  switch (e.selector) {
    case SelectorKind::None:
      return "";
    case SelectorKind::Mode:
      return s.number != 0 ? "svy" : "plain";
    case SelectorKind::Side:
      return s.number != 0 ? "S" : "R";
    case SelectorKind::Profile:
      return trasso::fileio::nativePath(s.path);
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
      return "profile file path (default: " +
             trasso::fileio::nativePath(trasso::standardProfilePath(e)) + ")";
  }
  return "";
}

std::string kindWords(const Declaration& d) {
  switch (d.kind) {
    case ValueKind::Int:
      return "integer (32-bit signed)";
    case ValueKind::U8:
      return "integer (unsigned 8-bit; low 8 bits of the stored number)";
    case ValueKind::U16:
      return "integer (unsigned 16-bit; low 16 bits of the stored number)";
    case ValueKind::U32:
      return "integer (unsigned 32-bit)";
    case ValueKind::Flag:
      switch (d.flagRead) {
        case trasso::FlagRead::NonZero:
          return "flag (any non-zero number reads as 1)";
        case trasso::FlagRead::ExactlyOne:
          return "flag (only a stored 1 reads as 1)";
        case trasso::FlagRead::Stored:
          return "flag (the stored number is returned as it is)";
      }
      break;
    case ValueKind::Text:
      return "text (code page 932, read through a " + std::to_string(d.bufferSize) +
             "-byte buffer)";
    case ValueKind::DoubleA:
      return "number (written with " + std::to_string(d.decimals) +
             " decimals; an empty value reads as the default; " + std::to_string(d.bufferSize) +
             "-byte buffer)";
    case ValueKind::DoubleB:
      return "number (written with " + std::to_string(d.decimals) +
             " decimals; read from the default text \"" + std::string(d.defText) + "\"; " +
             std::to_string(d.bufferSize) + "-byte buffer)";
    case ValueKind::Colour:
      return "colour (red,green,blue; missing pieces read as 255)";
  }
  return "";
}

std::string formatWords(const Declaration& d) {
  switch (d.kind) {
    case ValueKind::Int:
    case ValueKind::U8:
      return "%d";
    case ValueKind::U16:
      return "%u";
    case ValueKind::U32:
      return "%lu";
    case ValueKind::Flag:
      return "1 or 0";
    case ValueKind::Text:
      return "the text as given";
    case ValueKind::DoubleA:
    case ValueKind::DoubleB:
      return "%." + std::to_string(d.decimals) + "f";
    case ValueKind::Colour:
      return "%3d,%3d,%3d";
  }
  return "";
}

std::vector<std::string> closestNames(const std::string& name) {
  const std::string wanted = lower(name);
  std::vector<std::pair<size_t, std::string>> scored;
  for (const SettingEntry& e : trasso::settingsRegistry()) {
    const std::string candidate = lower(e.name);
    size_t d = editDistance(wanted, candidate);
    // A name that contains the given text is close whatever its length.
    if (wanted.size() >= 3 && candidate.find(wanted) != std::string::npos)
      d = std::min<size_t>(d, 2);
    if (d <= std::max<size_t>(3, wanted.size() / 3)) scored.emplace_back(d, e.name);
  }
  std::stable_sort(scored.begin(), scored.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> out;
  for (size_t i = 0; i < scored.size() && i < 5; ++i) out.push_back(scored[i].second);
  return out;
}

}  // namespace jkn
