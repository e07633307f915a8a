// Windows: the system's code page functions. Windows gives the single bytes
// 0x80, 0xA0 and 0xFD to 0xFF characters of their own; they are no code page
// 932 text (iconv refuses them too), so they are refused here as well.
#include <windows.h>

#include "CodePage932.h"
#include "TextConversion.h"

namespace trasso::text {
namespace {

constexpr UINT kCp932 = 932;

std::optional<std::wstring> toWide(UINT codePage, std::string_view in) {
  if (in.empty()) return std::wstring();
  const int size = static_cast<int>(in.size());
  const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), size, nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), size, out.data(), n);
  return out;
}

// Refuses a character without a form of its own (no best fit, no default).
std::optional<std::string> fromWide(UINT codePage, const std::wstring& in) {
  if (in.empty()) return std::string();
  const int size = static_cast<int>(in.size());
  const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* used = codePage == CP_UTF8 ? nullptr : &usedDefault;
  const int n = WideCharToMultiByte(codePage, flags, in.data(), size, nullptr, 0, nullptr, used);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, flags, in.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

bool hasStrayByte(std::string_view cp932) {
  for (size_t i = 0; i < cp932.size(); i += cp932::charWidth(cp932, i)) {
    const auto b = static_cast<unsigned char>(cp932[i]);
    if (!cp932::isLeadByte(cp932[i]) && (b == 0x80 || b == 0xA0 || b >= 0xFD)) return true;
  }
  return false;
}

}  // namespace

std::optional<std::string> cp932ToUtf8(std::string_view cp932) {
  if (hasStrayByte(cp932)) return std::nullopt;
  const std::optional<std::wstring> wide = toWide(kCp932, cp932);
  if (!wide) return std::nullopt;
  return fromWide(CP_UTF8, *wide);
}

std::optional<std::string> utf8ToCp932(std::string_view utf8) {
  const std::optional<std::wstring> wide = toWide(CP_UTF8, utf8);
  if (!wide) return std::nullopt;
  // The way back must give the same characters: no silent substitutes.
  std::optional<std::string> out = fromWide(kCp932, *wide);
  if (!out || hasStrayByte(*out) || toWide(kCp932, *out) != wide) return std::nullopt;
  return out;
}

std::optional<std::string> pathToUtf8(std::string_view native) { return cp932ToUtf8(native); }

}  // namespace trasso::text
