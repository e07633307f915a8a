// Eight bytes looked at in one step: a text's bytes loaded into a 64-bit word,
// with byte-wise tests that never carry from one byte into the next.
#pragma once

#include <cstdint>
#include <cstring>

namespace trasso::words {

constexpr uint64_t kOnes = 0x0101010101010101u;
constexpr uint64_t kHighs = kOnes * 0x80;

inline uint64_t load(const char* bytes) {
  uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

inline void store(char* bytes, uint64_t word) { std::memcpy(bytes, &word, sizeof word); }

// 0x80 in each byte of the result whose byte in word equals c, 0 elsewhere.
inline uint64_t bytesEqual(uint64_t word, char c) {
  constexpr uint64_t kLows = kOnes * 0x7F;
  const uint64_t x = word ^ (kOnes * static_cast<unsigned char>(c));
  return ~(((x & kLows) + kLows) | x | kLows);
}

}  // namespace trasso::words
