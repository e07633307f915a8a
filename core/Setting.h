// Declared settings: each key is declared once with its file, section, name, kind
// and default; exported getters and setters are one-line wrappers over get/put.
//
//   constexpr IntSetting kPage{{SettingsFile::JknGnss, "GNSS", "Page"}, 0};
//   int GetQZJkn_GNSS_Page() { return get(kPage); }
//   void PutQZJkn_GNSS_Page(int value) { put(kPage, value); }
//
// A key may be chosen by an argument (KeyChoice); the selector argument of
// get/put is that argument. getIn/putIn take a caller-named file instead of the
// catalogue file (profiles whose path the caller passes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "SettingsPaths.h"
#include "SettingsValues.h"

namespace trasso {

enum class KeyChoice {
  Fixed,  // the name as declared
  Mode,   // selector 0: the name; any other: the name followed by "_Svy"
  Side,   // selector other than 0: the name followed by "S"; 0: followed by "R"
};

struct Key {
  SettingsFile file;
  const char* section;
  const char* name;
  KeyChoice choice = KeyChoice::Fixed;
};

// The key name a selector chooses, held in a small buffer.
class KeyName {
 public:
  KeyName(const Key& key, int selector);
  const char* c_str() const { return text_; }

 private:
  char text_[64];
};

// The key of a numbered entry: the declared name followed by n in decimal
// ("COL" and -1 give "COL-1"; an empty name gives the bare number).
inline std::string numberedKey(const Key& key, int n) { return key.name + formatInt(n); }

// How a flag's stored integer is returned.
enum class FlagRead {
  NonZero,     // 1 for any value other than 0
  ExactlyOne,  // 1 only for a stored 1
  Stored,      // the stored integer unchanged
};

struct IntSetting {
  Key key;
  int32_t def;
};  // "%d"
struct U8Setting {
  Key key;
  uint8_t def;
};  // low 8 bits, "%d"
struct U16Setting {
  Key key;
  uint16_t def;
};  // low 16 bits, "%u"
struct U32Setting {
  Key key;
  uint32_t def;
};  // all 32 bits, "%lu"
struct FlagSetting {
  Key key;
  int32_t def;
  FlagRead read = FlagRead::NonZero;
};  // "1"/"0"
struct TextSetting {
  Key key;
  const char* def;
  size_t bufferSize = 260;
};
// Doubles are read through a text buffer of bufferSize bytes, then converted.
struct DoubleSetting {
  Key key;
  double def;
  int decimals = 6;
  size_t bufferSize = 260;
};  // form A
struct DoubleTextSetting {
  Key key;
  const char* def;
  int decimals = 3;
  size_t bufferSize = 260;
};  // form B
struct ColourSetting {
  Key key;
  const char* def;
};  // 20-byte text, "%3d,%3d,%3d"

// A setting read from a file read once (key: the name the selector chose).
int32_t readSetting(const SettingsReader& file, const IntSetting& s, const char* key);
uint8_t readSetting(const SettingsReader& file, const U8Setting& s, const char* key);
uint16_t readSetting(const SettingsReader& file, const U16Setting& s, const char* key);
uint32_t readSetting(const SettingsReader& file, const U32Setting& s, const char* key);
int32_t readSetting(const SettingsReader& file, const FlagSetting& s, const char* key);
std::string readSetting(const SettingsReader& file, const TextSetting& s, const char* key);
double readSetting(const SettingsReader& file, const DoubleSetting& s, const char* key);
double readSetting(const SettingsReader& file, const DoubleTextSetting& s, const char* key);
uint32_t readSetting(const SettingsReader& file, const ColourSetting& s, const char* key);

// The text a setter stores for a value; a text setting passes the caller's
// text through (a null one removes the key).
std::string storedForm(const IntSetting& s, int32_t v);
std::string storedForm(const U8Setting& s, uint8_t v);
std::string storedForm(const U16Setting& s, uint16_t v);
std::string storedForm(const U32Setting& s, uint32_t v);
std::string storedForm(const FlagSetting& s, int32_t v);
inline const char* storedForm(const TextSetting&, const char* v) { return v; }
std::string storedForm(const DoubleSetting& s, double v);
std::string storedForm(const DoubleTextSetting& s, double v);
std::string storedForm(const ColourSetting& s, uint32_t v);

// For the C interface's caller (CallNotes): notes a value v that the setter of
// s stores at key so that the getter returns something else (a text with blanks
// at its ends or in quotes or too long, a flag other than 0 or 1, a double its
// written text does not hold, a colour with bits above blue). No scope: nothing.
void noteReadBack(const IntSetting& s, int32_t v, const char* key) noexcept;
void noteReadBack(const U8Setting& s, uint8_t v, const char* key) noexcept;
void noteReadBack(const U16Setting& s, uint16_t v, const char* key) noexcept;
void noteReadBack(const U32Setting& s, uint32_t v, const char* key) noexcept;
void noteReadBack(const FlagSetting& s, int32_t v, const char* key) noexcept;
void noteReadBack(const TextSetting& s, const char* v, const char* key) noexcept;
void noteReadBack(const DoubleSetting& s, double v, const char* key) noexcept;
void noteReadBack(const DoubleTextSetting& s, double v, const char* key) noexcept;
void noteReadBack(const ColourSetting& s, uint32_t v, const char* key) noexcept;

// What a getter returns when it cannot even compose its path or buffer (out of
// memory): the declared default, made without allocating.
int32_t fallback(const IntSetting& s);
uint8_t fallback(const U8Setting& s);
uint16_t fallback(const U16Setting& s);
uint32_t fallback(const U32Setting& s);
int32_t fallback(const FlagSetting& s);
std::string fallback(const TextSetting& s);  // empty: copying the default could fail too
double fallback(const DoubleSetting& s);
double fallback(const DoubleTextSetting& s);
uint32_t fallback(const ColourSetting& s);

// Looks for the keys of several settings of one section, at one selector, in
// one pass over the section: a record's getter calls it before reading them.
template <class... S>
void findTogether(const SettingsReader& file, int selector, const S&... settings) {
  const KeyName names[] = {KeyName(settings.key, selector)...};
  const char* keys[sizeof...(S)];
  for (size_t i = 0; i < sizeof...(S); ++i) keys[i] = names[i].c_str();
  const char* sections[] = {settings.key.section...};
  file.findTogether(sections[0], keys, sizeof...(S));
}

// Getters never throw: a failure to allocate reads as the default. getFrom
// reads a file already read, so that a record's keys come from one version.
template <class S>
auto getFrom(const SettingsReader& file, const S& s, int selector = 0) {
  try {
    return readSetting(file, s, KeyName(s.key, selector).c_str());
  } catch (...) {
    return fallback(s);
  }
}

template <class S>
auto getIn(const std::string& path, const S& s, int selector = 0) {
  try {
    return getFrom(SettingsReader(path), s, selector);
  } catch (...) {
    return fallback(s);
  }
}

template <class S>
auto get(const S& s, int selector = 0) {
  try {
    return getIn(SettingsFilePath(s.key.file), s, selector);
  } catch (...) {
    return fallback(s);
  }
}

// Setters never throw: a failure to allocate writes nothing (IoError).
template <class S, class V>
WriteStatus putIn(const std::string& path, const S& s, V value, int selector = 0) {
  try {
    const KeyName key(s.key, selector);
    noteReadBack(s, value, key.c_str());
    return writeText(path, s.key.section, key.c_str(), storedForm(s, value));
  } catch (...) {
    return WriteReport::note(WriteStatus::IoError);
  }
}

template <class S, class V>
WriteStatus put(const S& s, V value, int selector = 0) {
  try {
    return putIn(SettingsFilePath(s.key.file), s, value, selector);
  } catch (...) {
    return WriteReport::note(WriteStatus::IoError);
  }
}

// Adds the write put would make to an edit of the setting's file, for setters
// that write several keys of one file in one update. May throw (out of memory)
// before anything is written.
template <class S, class V>
void stage(FileEdit& edit, const S& s, V value, int selector = 0) {
  const KeyName key(s.key, selector);
  noteReadBack(s, value, key.c_str());
  edit.set(s.key.section, key.c_str(), storedForm(s, value));
}

// Several keys of one file read from one read of it, so that they all come
// from one version of the file: readAll(file) reads them. Out of memory: what
// readAll has not read yet stays as it was.
template <class F>
void readTogether(const std::string& path, F readAll) noexcept {
  try {
    const SettingsReader file(path);
    readAll(file);
  } catch (...) {
  }
}

template <class F>
void readTogether(SettingsFile file, F readAll) noexcept {
  try {
    readTogether(SettingsFilePath(file), readAll);
  } catch (...) {
  }
}

// Several writes to one file made as one update (FileEdit): stageAll(edit)
// stages them in order. Out of memory: nothing is written.
template <class F>
WriteStatus writeTogether(const std::string& path, F stageAll) noexcept {
  try {
    FileEdit edit(path);
    stageAll(edit);
    return edit.commit();
  } catch (...) {
    return WriteReport::note(WriteStatus::IoError);
  }
}

template <class F>
WriteStatus writeTogether(SettingsFile file, F stageAll) noexcept {
  try {
    return writeTogether(SettingsFilePath(file), stageAll);
  } catch (...) {
    return WriteReport::note(WriteStatus::IoError);
  }
}

}  // namespace trasso
