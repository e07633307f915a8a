#include "BytePairSearch.h"

#include <cstdint>
#include <cstring>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define TRASSO_AVX2_SCAN 1
#endif

namespace trasso::bytes {
namespace {

bool secondFits(unsigned char c, unsigned char folded) {
  return folded == 0 || c <= 0x20 || (c | 0x20) == folded;
}

size_t findPairBytewise(std::string_view text, size_t from, char first, unsigned char folded) {
  const char* data = text.data();
  while (from < text.size()) {
    const void* hit = std::memchr(data + from, first, text.size() - from);
    if (hit == nullptr) break;
    const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - data);
    if (at + 1 == text.size() || secondFits(static_cast<unsigned char>(data[at + 1]), folded)) {
      return at;
    }
    from = at + 1;
  }
  return text.size();
}

#ifdef TRASSO_AVX2_SCAN
using Vector = __m256i;

__attribute__((target("avx2"))) Vector load(const char* p) {
  return _mm256_loadu_si256(reinterpret_cast<const Vector*>(p));
}

__attribute__((target("avx2"))) uint64_t bits(Vector low, Vector high) {
  return static_cast<uint32_t>(_mm256_movemask_epi8(low)) |
         static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(high))) << 32;
}

// 0xFF in each byte that is up to 0x20 or folds to folded.
__attribute__((target("avx2"))) Vector fits(Vector bytes, Vector folded, Vector bit) {
  const Vector low = _mm256_cmpeq_epi8(_mm256_max_epu8(bytes, bit), bit);
  return _mm256_or_si256(low, _mm256_cmpeq_epi8(_mm256_or_si256(bytes, bit), folded));
}

// 128 bytes a step while the next byte of the last one can be loaded too; the
// rest bytewise.
__attribute__((target("avx2"))) size_t findPairAvx2(std::string_view text, size_t from, char first,
                                                    unsigned char folded) {
  const Vector wanted = _mm256_set1_epi8(first);
  const Vector fold = _mm256_set1_epi8(static_cast<char>(folded));
  const Vector bit = _mm256_set1_epi8(0x20);
  const char* data = text.data();
  for (; from + 129 <= text.size(); from += 128) {
    const char* p = data + from;
    Vector hit[4];
    for (size_t i = 0; i < 4; ++i) hit[i] = _mm256_cmpeq_epi8(load(p + 32 * i), wanted);
    const Vector any =
        _mm256_or_si256(_mm256_or_si256(hit[0], hit[1]), _mm256_or_si256(hit[2], hit[3]));
    if (_mm256_testz_si256(any, any)) continue;
    for (size_t half = 0; half < 2; ++half) {
      uint64_t found = bits(hit[2 * half], hit[2 * half + 1]);
      if (found == 0) continue;
      if (folded != 0) {
        const char* next = p + 64 * half + 1;
        found &= bits(fits(load(next), fold, bit), fits(load(next + 32), fold, bit));
      }
      if (found != 0) return from + 64 * half + static_cast<size_t>(__builtin_ctzll(found));
    }
  }
  return findPairBytewise(text, from, first, folded);
}
#endif

}  // namespace

bool vectorScanAvailable() {
#ifdef TRASSO_AVX2_SCAN
  static const bool available = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return available;
#else
  return false;
#endif
}

size_t findPair(std::string_view text, size_t from, char first, unsigned char folded, bool vector) {
#ifdef TRASSO_AVX2_SCAN
  if (vector) return findPairAvx2(text, from, first, folded);
#else
  (void)vector;
#endif
  return findPairBytewise(text, from, first, folded);
}

}  // namespace trasso::bytes
