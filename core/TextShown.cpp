// What both platforms share of TextConversion.h.
#include <cstdio>

#include "TextConversion.h"

namespace trasso::text {

std::pair<uint32_t, size_t> utf8At(std::string_view s, size_t i) {
  const auto b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) return {b, 1};
  const size_t n = (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
  if (n == 0 || i + n > s.size()) return {0, 0};
  uint32_t c = b & (0x7F >> n);
  for (size_t k = 1; k < n; ++k) {
    const auto t = static_cast<unsigned char>(s[i + k]);
    if ((t & 0xC0) != 0x80) return {0, 0};
    c = c << 6 | (t & 0x3F);
  }
  static constexpr uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kLeast[n] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return {0, 0};
  return {c, n};
}

bool isUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const size_t n = utf8At(bytes, i).second;
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::optional<std::string> showable(std::string_view cp932) {
  std::optional<std::string> utf8 = cp932ToUtf8(cp932);
  if (!utf8 || utf8ToCp932(*utf8) != std::string(cp932)) return std::nullopt;
  return utf8;
}

namespace {

// Character by character: each one that converts as such, any other byte as \xNN.
std::string escaped(std::string_view bytes,
                    std::optional<std::string> (*convert)(std::string_view)) {
  if (std::optional<std::string> whole = convert(bytes)) return *whole;
  std::string out;
  for (size_t i = 0; i < bytes.size();) {
    std::optional<std::string> piece;
    size_t n = 1;
    for (; n <= 4 && i + n <= bytes.size(); ++n) {
      if ((piece = convert(bytes.substr(i, n)))) break;
    }
    if (piece) {
      out += *piece;
      i += n;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(bytes[i]));
      out += hex;
      ++i;
    }
  }
  return out;
}

}  // namespace

std::string shownText(std::string_view cp932) { return escaped(cp932, &cp932ToUtf8); }

std::string shownPath(std::string_view native) { return escaped(native, &pathToUtf8); }

}  // namespace trasso::text
