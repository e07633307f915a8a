#include "Values.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "CodePage932.h"
#include "SettingsFileIo.h"
#include "Stored.h"
#include "TextConversion.h"

namespace jkn {

using trasso::Declaration;
using trasso::SelectorKind;
using trasso::SettingEntry;
using trasso::Value;
using trasso::ValueKind;

std::string toUtf8(const std::string& cp932) { return trasso::text::shownText(cp932); }

std::optional<std::string> toCp932(const std::string& utf8) {
  return trasso::text::utf8ToCp932(utf8);
}

trasso::Selection parseSelector(const SettingEntry& e, const std::optional<std::string>& arg) {
  const bool path = trasso::takesProfilePath(e);
  try {
    if (arg && path) return trasso::parseSelector(e, nativeForm(*arg));
  } catch (const Refusal& r) {
    throw Refusal{trasso::stored::typedForm(r.message)};  // the path as typed
  }
  return trasso::parseSelector(e, arg);
}

std::string showSelector(const SettingEntry& e, const trasso::Selection& s) {
  return trasso::stored::typedForm(trasso::showSelector(e, s));
}

std::string selectorBesideFile(const SettingEntry& e, const trasso::Selection& s) {
  if (e.selector == SelectorKind::Profile) return "";
  return e.selector == SelectorKind::Field ? trasso::showField(e, s) : jkn::showSelector(e, s);
}

std::string showValue(const Declaration& d, const Value& v, bool raw) {
  if (d.kind == ValueKind::Text && !raw) return toUtf8(std::get<std::string>(v));
  if (d.kind == ValueKind::Colour) {
    return trasso::valueText(d, v) + " " +
           trasso::hexColour(static_cast<uint32_t>(std::get<int64_t>(v)));
  }
  return trasso::valueText(d, v);
}

Value parseValue(const SettingEntry& e, const Declaration& d, const std::string& text, bool raw) {
  return trasso::parseValue(e, d, text, raw ? nullptr : &toCp932);
}

namespace {

bool isWide(uint32_t c) {
  // The East Asian Wide and Fullwidth blocks that code page 932 texts reach,
  // and the planes of the ideographs.
  static constexpr std::pair<uint32_t, uint32_t> kWide[] = {
      {0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF},
      {0x4E00, 0x9FFF}, {0xA000, 0xA4CF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
      {0xFE30, 0xFE4F}, {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x20000, 0x3FFFD}};
  for (const auto& [first, last] : kWide) {
    if (c >= first && c <= last) return true;
  }
  return false;
}

}  // namespace

size_t displayWidth(std::string_view utf8) {
  size_t width = 0;
  for (size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 1;
    if (n == 1 || i + n > utf8.size()) {
      ++width;
      ++i;
      continue;
    }
    uint32_t c = b & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    width += isWide(c) ? 2 : 1;
    i += n;
  }
  return width;
}

std::string padRight(const std::string& text, size_t width) {
  const size_t has = displayWidth(text);
  return has >= width ? text : text + std::string(width - has, ' ');
}

std::string kindWords(const SettingEntry& e, const Declaration& d) {
  switch (d.kind) {
    case ValueKind::Int:
      // An unsigned setter over a signed key: what it reads is what it was given.
      if (trasso::limitsOf(e, d).maxValue > INT32_MAX) {
        return "integer (unsigned 32-bit; written as a signed decimal, so values above "
               "2147483647 are stored negative)";
      }
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
      return "number (written with " + std::to_string(d.decimals) + " decimals" +
             (d.writtenLimit > 0 ? ", cut to " + std::to_string(d.writtenLimit) + " characters"
                                 : "") +
             (d.emptyForDefault ? "; the default is written as an empty value" : "") +
             "; an empty value reads as the default; " + std::to_string(d.bufferSize) +
             "-byte buffer)";
    case ValueKind::DoubleB:
      return "number (written with " + std::to_string(d.decimals) +
             " decimals; read from the default text \"" + std::string(d.defText) + "\"; " +
             std::to_string(d.bufferSize) + "-byte buffer)";
    case ValueKind::Colour:
      return "colour (red,green,blue or #rrggbb; missing pieces read as 255)";
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
      return "%." + std::to_string(d.decimals) + "f" +
             (d.writtenLimit > 0 ? ", cut to " + std::to_string(d.writtenLimit) + " characters"
                                 : "") +
             (d.emptyForDefault ? "; the default as an empty value" : "");
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

std::vector<KeyReader> readersOfKey(const std::string& key) {
  const std::string wanted = lower(key);
  std::vector<KeyReader> out;
  const auto add = [&](const SettingEntry& e, const trasso::Selection& s) {
    if (!out.empty() && out.back().entry == &e) return;  // the same key in another file
    const std::string selector = selectorBesideFile(e, s);
    const std::string path = trasso::fileio::nativePath(trasso::pathOf(e, s));
    out.push_back({&e, trasso::keyOf(e, s), trasso::declarationOf(e, s).key.section,
                   shownPath(path.substr(lastSeparator(path) + 1)),
                   e.name + (selector.empty() ? "" : " " + selector)});
  };
  for (const SettingEntry& e : trasso::settingsRegistry()) {
    if (e.sameKeyAs != nullptr) continue;  // the other name goes by the key
    if (e.selector == SelectorKind::Entry || e.selector == SelectorKind::CallerDefault) {
      // The prefix and the "%d" of an entry number.
      const std::string prefix = lower(e.decl.key.name);
      const std::string number = wanted.substr(std::min(prefix.size(), wanted.size()));
      int n = 0;
      const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), n);
      if (!prefix.empty() && wanted.compare(0, prefix.size(), prefix) == 0 &&
          error == std::errc() && end == number.data() + number.size() &&
          std::to_string(n) == number) {
        trasso::Selection s;
        s.number = n;
        add(e, s);
      }
    } else if (e.selector == SelectorKind::ScreenColour) {
      for (int which = 0; trasso::screenColourKey(which) != nullptr; ++which) {
        if (lower(trasso::screenColourKey(which)) != wanted) continue;
        out.push_back(
            {&e, trasso::screenColourKey(which), "", "",
             e.name + std::string(" FILE,") + trasso::screenColourKey(which) + ",SECTION"});
      }
    } else {
      for (const trasso::Selection& s : trasso::keySelections(e)) {
        if (trasso::declarationOf(e, s).key.name != nullptr &&
            lower(trasso::keyOf(e, s)) == wanted) {
          add(e, s);
        }
      }
    }
  }
  return out;
}

bool isShowableCp932(const std::string& bytes) {
  return trasso::cp932::isText(bytes) && trasso::text::showable(bytes);
}

std::string toHex(std::string_view bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

std::optional<std::string> fromHex(const std::string& hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string out;
  for (size_t i = 0; i < hex.size(); i += 2) {
    int v = 0;
    for (size_t k = i; k < i + 2; ++k) {
      const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(hex[k])));
      if (c >= '0' && c <= '9') {
        v = v * 16 + (c - '0');
      } else if (c >= 'a' && c <= 'f') {
        v = v * 16 + (c - 'a' + 10);
      } else {
        return std::nullopt;
      }
    }
    out += static_cast<char>(v);
  }
  return out;
}

}  // namespace jkn
