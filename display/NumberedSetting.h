// Settings of the display area whose key is a declared prefix followed by an
// entry number: "COL" and 3 give "COL3", -1 gives "COL-1"; an empty prefix gives
// the bare number ("12"). File, section, kind and default come from the
// declaration, so one declaration serves every entry of a list.
#pragma once

#include <string>

#include "Setting.h"

namespace trasso {

// Like get and put, these never throw: a failure to allocate reads as the
// default and writes nothing.
template <class S>
auto getNumbered(const S& s, int n) {
  try {
    const SettingsReader file(SettingsFilePath(s.key.file));
    return readSetting(file, s, numberedKey(s.key, n).c_str());
  } catch (...) {
    return fallback(s);
  }
}

template <class S, class V>
WriteStatus putNumbered(const S& s, int n, V value) {
  try {
    const std::string path = SettingsFilePath(s.key.file);
    const std::string key = numberedKey(s.key, n);
    noteReadBack(s, value, key.c_str());
    return writeText(path, s.key.section, key.c_str(), storedForm(s, value));
  } catch (...) {
    return WriteReport::note(WriteStatus::IoError);
  }
}

}  // namespace trasso
