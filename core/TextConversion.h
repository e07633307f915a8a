// Code page 932 texts and the library's paths as UTF-8, for what the C
// interface hands to people and programs as text (jkn_last_error's messages,
// jkn_describe's JSON), by the platform's own converter: iconv on POSIX, the
// code page functions on Windows. The settings themselves are never converted.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace trasso::text {

// The UTF-8 form of a code page 932 text, or nullopt when a byte sequence is
// no character of the code page.
std::optional<std::string> cp932ToUtf8(std::string_view cp932);
// The code page 932 form of UTF-8, or nullopt when a character has none.
std::optional<std::string> utf8ToCp932(std::string_view utf8);

// A native path as UTF-8: on POSIX its bytes when they are UTF-8, on Windows
// its code page 932 text converted; nullopt otherwise.
std::optional<std::string> pathToUtf8(std::string_view native);

// Whether bytes are well-formed UTF-8.
bool isUtf8(std::string_view bytes);
// The code point of the UTF-8 sequence at s[i] and its length in bytes
// (length 0: malformed, an overlong form, a surrogate or beyond U+10FFFF).
std::pair<uint32_t, size_t> utf8At(std::string_view s, size_t i);

// A stored text that survives the trip to UTF-8 and back byte for byte (a
// character with two codes does not), as UTF-8; nullopt otherwise.
std::optional<std::string> showable(std::string_view cp932);

// A stored text for a message: UTF-8 where it converts, each other byte as
// \xNN; a path likewise.
std::string shownText(std::string_view cp932);
std::string shownPath(std::string_view native);

}  // namespace trasso::text
