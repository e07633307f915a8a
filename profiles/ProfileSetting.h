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

// Writes value when the range accepts it; OutOfRange writes nothing.
template <class S, class V>
WriteStatus putChecked(const std::string& path, const Ranged<S, V>& r, V value) {
  if (!r.accepts(value)) return WriteReport::note(WriteStatus::OutOfRange);
  return putIn(path, r.setting, value);
}

// Writes first, then second, in one update of the file: the second is written
// also when the first cannot be stored.
template <class S, class V>
WriteStatus putPair(const std::string& path, const S& first, V a, const S& second, V b) {
  return writeTogether(path, [&](FileEdit& edit) {
    stage(edit, first, a);
    stage(edit, second, b);
  });
}

// Both values are checked, the first first, before anything is written.
template <class S, class V>
WriteStatus putPairChecked(const std::string& path, const Ranged<S, V>& first, V a,
                           const Ranged<S, V>& second, V b) {
  if (!first.accepts(a) || !second.accepts(b)) return WriteReport::note(WriteStatus::OutOfRange);
  return putPair(path, first.setting, a, second.setting, b);
}

// Two values of one file, from one read of it.
template <class S, class V>
void getPair(const std::string& path, const S& first, V& a, const S& second, V& b) {
  readTogether(path, [&](const SettingsReader& file) {
    a = getFrom(file, first);
    b = getFrom(file, second);
  });
}

}  // namespace trasso::profile
