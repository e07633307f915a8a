// Whole-text conversions between code page 932 and UTF-8 (the library's own,
// by the platform's converter), and on Windows the console's wide texts.
#pragma once

#include <optional>
#include <string>

namespace jkn {

// nullopt when any byte sequence has no form in the other encoding.
std::optional<std::string> cp932ToUtf8(const std::string& cp932);
std::optional<std::string> utf8ToCp932(const std::string& utf8);

#ifdef _WIN32
// UTF-16 to UTF-8 and back (lone surrogates and bad bytes are replaced).
std::string wideToUtf8(const std::wstring& wide);
std::wstring utf8ToWide(const std::string& utf8);
#endif

}  // namespace jkn
