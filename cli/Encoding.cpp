#include "Encoding.h"

#ifdef _WIN32
#include <windows.h>

#include "CodePage932.h"
#else
#include <iconv.h>
#endif

namespace jkn {

#ifdef _WIN32

namespace {

constexpr UINT kCp932 = 932;

// flags: MB_ERR_INVALID_CHARS to refuse, 0 to replace.
std::optional<std::wstring> toWide(UINT codePage, DWORD flags, const std::string& in) {
  if (in.empty()) return std::wstring();
  const int size = static_cast<int>(in.size());
  const int n = MultiByteToWideChar(codePage, flags, in.data(), size, nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, flags, in.data(), size, out.data(), n);
  return out;
}

// exact: refuse a character without a form (no best fit, no default character).
std::optional<std::string> fromWide(UINT codePage, bool exact, const std::wstring& in) {
  if (in.empty()) return std::string();
  const int size = static_cast<int>(in.size());
  const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* used = codePage == CP_UTF8 || !exact ? nullptr : &usedDefault;
  const int n = WideCharToMultiByte(codePage, flags, in.data(), size, nullptr, 0, nullptr, used);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, flags, in.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

// Windows gives the single bytes 0x80, 0xA0 and 0xFD to 0xFF characters of
// their own (U+0080 and private use); they are no code page 932 text, and iconv
// refuses them too.
bool hasStrayByte(const std::string& cp932) {
  for (size_t i = 0; i < cp932.size(); i += trasso::cp932::charWidth(cp932, i)) {
    const auto b = static_cast<unsigned char>(cp932[i]);
    if (!trasso::cp932::isLeadByte(cp932[i]) && (b == 0x80 || b == 0xA0 || b >= 0xFD)) return true;
  }
  return false;
}

}  // namespace

std::optional<std::string> cp932ToUtf8(const std::string& cp932) {
  if (hasStrayByte(cp932)) return std::nullopt;
  std::optional<std::wstring> wide = toWide(kCp932, MB_ERR_INVALID_CHARS, cp932);
  if (!wide) return std::nullopt;
  return fromWide(CP_UTF8, true, *wide);
}

std::optional<std::string> utf8ToCp932(const std::string& utf8) {
  std::optional<std::wstring> wide = toWide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8);
  if (!wide) return std::nullopt;
  // The way back must give the same characters: no silent substitutes.
  std::optional<std::string> out = fromWide(kCp932, true, *wide);
  if (!out || hasStrayByte(*out) || toWide(kCp932, MB_ERR_INVALID_CHARS, *out) != wide) {
    return std::nullopt;
  }
  return out;
}

std::string wideToUtf8(const std::wstring& wide) {
  return fromWide(CP_UTF8, false, wide).value_or(std::string());
}

std::wstring utf8ToWide(const std::string& utf8) {
  return toWide(CP_UTF8, 0, utf8).value_or(std::wstring());
}

#else

namespace {

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

}  // namespace

std::optional<std::string> cp932ToUtf8(const std::string& cp932) {
  return convert("UTF-8", "CP932", cp932);
}

std::optional<std::string> utf8ToCp932(const std::string& utf8) {
  return convert("CP932", "UTF-8", utf8);
}

#endif

}  // namespace jkn
