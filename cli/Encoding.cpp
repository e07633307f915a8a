#include "Encoding.h"

#include "TextConversion.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace jkn {

std::optional<std::string> cp932ToUtf8(const std::string& cp932) {
  return trasso::text::cp932ToUtf8(cp932);
}

std::optional<std::string> utf8ToCp932(const std::string& utf8) {
  return trasso::text::utf8ToCp932(utf8);
}

#ifdef _WIN32

// Lone surrogates and bad bytes are replaced, as a console shows them.
std::string wideToUtf8(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring utf8ToWide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int size = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), n);
  return out;
}

#endif

}  // namespace jkn
