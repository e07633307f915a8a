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

}  // namespace trasso::cp932
