// POSIX: iconv of the C library.
#include "TextConversion.h"

#include <iconv.h>

namespace trasso::text {
namespace {

std::optional<std::string> convert(const char* to, const char* from, std::string_view in) {
  iconv_t cd = iconv_open(to, from);
  // iconv_open reports failure as (iconv_t)-1.
  // NOLINTNEXTLINE(performance-no-int-to-ptr)
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string source(in);
  std::string out(in.size() * 4 + 8, '\0');
  char* src = source.data();
  size_t srcLeft = source.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  const size_t done = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (done == static_cast<size_t>(-1)) return std::nullopt;
  out.resize(out.size() - dstLeft);
  return out;
}

}  // namespace

std::optional<std::string> cp932ToUtf8(std::string_view cp932) {
  return convert("UTF-8", "CP932", cp932);
}

std::optional<std::string> utf8ToCp932(std::string_view utf8) {
  return convert("CP932", "UTF-8", utf8);
}

std::optional<std::string> pathToUtf8(std::string_view native) {
  if (!isUtf8(native)) return std::nullopt;
  return std::string(native);
}

}  // namespace trasso::text
