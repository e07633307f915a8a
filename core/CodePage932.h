// Code page 932 (Shift-JIS) texts are byte strings; these helpers keep a
// double-byte character whole when a text is scanned or cut.
#pragma once

#include <cstddef>
#include <string_view>

namespace trasso::cp932 {

// First byte of a double-byte character.
constexpr bool isLeadByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Bytes of the character that starts at text[i]: 2 for a lead byte with a byte
// after it, else 1.
constexpr size_t charWidth(std::string_view text, size_t i) {
  return isLeadByte(text[i]) && i + 1 < text.size() ? 2 : 1;
}

// The length of the longest start of text within max bytes that cuts no
// double-byte character in two.
constexpr size_t wholeLength(std::string_view text, size_t max) {
  size_t i = 0;
  while (i < text.size() && i + charWidth(text, i) <= max) i += charWidth(text, i);
  return i;
}

// Whether bytes are characters of the code page: single bytes below 0x80 or
// from 0xA1 to 0xDF, and pairs of a lead byte and a second byte from 0x40 to
// 0xFC other than 0x7F.
constexpr bool isText(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) continue;
    if (!isLeadByte(bytes[i]) || i + 1 >= bytes.size()) return false;
    const auto t = static_cast<unsigned char>(bytes[++i]);
    if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
  }
  return true;
}

}  // namespace trasso::cp932
