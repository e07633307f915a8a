// Helpers for files the caller names (instrument and setting-out profiles) and
// for the range-checked setters of the instrument profiles.
#pragma once

#include <cstddef>
#include <string>

#include "Setting.h"

namespace trasso::profile {

// A null path is taken as the empty text, which names no file: reads give
// defaults and writes fail.
inline std::string pathText(const char* path) { return path != nullptr ? path : ""; }

inline bool readFlag(const std::string& path, const FlagSetting& s) { return getIn(path, s) != 0; }

// A setting with the closed range its setter accepts.
template <class S, class V>
struct Ranged {
  S setting;
  V min;
  V max;
  // Written so that NaN is outside every range.
  bool accepts(V value) const { return value >= min && value <= max; }
};
using RangedInt = Ranged<IntSetting, int32_t>;
using RangedDouble = Ranged<DoubleSetting, double>;

// Writes value when the range accepts it. False when refused (nothing written)
// or when the write failed.
template <class S, class V>
bool putChecked(const std::string& path, const Ranged<S, V>& r, V value) {
  return r.accepts(value) && putIn(path, r.setting, value);
}

// Writes first, then second, whatever became of the first write; true only when
// both writes succeeded.
template <class S, class V>
bool putPair(const std::string& path, const S& first, V a, const S& second, V b) {
  const bool firstWritten = putIn(path, first, a);
  const bool secondWritten = putIn(path, second, b);
  return firstWritten && secondWritten;
}

// Both values are checked, the first first, before anything is written.
template <class S, class V>
bool putPairChecked(const std::string& path, const Ranged<S, V>& first, V a,
                    const Ranged<S, V>& second, V b) {
  if (!first.accepts(a) || !second.accepts(b)) return false;
  return putPair(path, first.setting, a, second.setting, b);
}

}  // namespace trasso::profile
