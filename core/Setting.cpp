#include "Setting.h"

#include <algorithm>
#include <cstring>

#include "CallNotes.h"
#include "Registry.h"
#include "SettingText.h"

namespace trasso {

KeyName::KeyName(const Key& key, int selector) {
  const char* suffix = "";
  switch (key.choice) {
    case KeyChoice::Fixed:
      break;
    case KeyChoice::Mode:
      suffix = selector != 0 ? "_Svy" : "";
      break;
    case KeyChoice::Side:
      suffix = selector != 0 ? "S" : "R";
      break;
  }
  const size_t nameLength = std::strlen(key.name);
  const size_t suffixLength = std::strlen(suffix);
  // Declared names are short; an overlong one is cut rather than overflow.
  const size_t take = std::min(nameLength, sizeof text_ - 1 - suffixLength);
  std::memcpy(text_, key.name, take);
  std::memcpy(text_ + take, suffix, suffixLength + 1);
}

int32_t readSetting(const SettingsReader& file, const IntSetting& s, const char* key) {
  return static_cast<int32_t>(file.intBits(s.key.section, key, s.def));
}

uint8_t readSetting(const SettingsReader& file, const U8Setting& s, const char* key) {
  return static_cast<uint8_t>(file.intBits(s.key.section, key, s.def));
}

uint16_t readSetting(const SettingsReader& file, const U16Setting& s, const char* key) {
  return static_cast<uint16_t>(file.intBits(s.key.section, key, s.def));
}

uint32_t readSetting(const SettingsReader& file, const U32Setting& s, const char* key) {
  return file.intBits(s.key.section, key, static_cast<int32_t>(s.def));
}

int32_t readSetting(const SettingsReader& file, const FlagSetting& s, const char* key) {
  const uint32_t stored = file.intBits(s.key.section, key, s.def);
  switch (s.read) {
    case FlagRead::NonZero:
      return stored != 0 ? 1 : 0;
    case FlagRead::ExactlyOne:
      return stored == 1 ? 1 : 0;
    case FlagRead::Stored:
      break;
  }
  return static_cast<int32_t>(stored);
}

std::string readSetting(const SettingsReader& file, const TextSetting& s, const char* key) {
  return file.text(s.key.section, key, s.def, s.bufferSize);
}

double readSetting(const SettingsReader& file, const DoubleSetting& s, const char* key) {
  return file.doubleA(s.key.section, key, s.def, s.bufferSize);
}

double readSetting(const SettingsReader& file, const DoubleTextSetting& s, const char* key) {
  return file.doubleB(s.key.section, key, s.def, s.bufferSize);
}

uint32_t readSetting(const SettingsReader& file, const ColourSetting& s, const char* key) {
  return ColourFromText(file.text(s.key.section, key, s.def, 20).c_str());
}

std::string storedForm(const IntSetting&, int32_t v) { return formatInt(v); }
std::string storedForm(const U8Setting&, uint8_t v) { return formatInt(v); }
std::string storedForm(const U16Setting&, uint16_t v) { return formatUnsigned(v); }
std::string storedForm(const U32Setting&, uint32_t v) { return formatUnsigned(v); }
std::string storedForm(const FlagSetting&, int32_t v) { return v != 0 ? "1" : "0"; }
std::string storedForm(const DoubleSetting& s, double v) { return formatFixed(v, s.decimals); }
std::string storedForm(const DoubleTextSetting& s, double v) { return formatFixed(v, s.decimals); }
std::string storedForm(const ColourSetting&, uint32_t v) { return colourToText(v); }

namespace {

Value given(int64_t v) { return v; }
Value given(double v) { return v; }
Value given(const char* v) { return std::string(v); }

template <class S, class V>
void note(const S& s, V v, const char* key) noexcept {
  if (!CallNotes::active()) return;
  try {
    noteReadBack(declare(s), given(v), key);
  } catch (...) {  // out of memory: no note
  }
}

}  // namespace

void noteReadBack(const IntSetting& s, int32_t v, const char* key) noexcept {
  note(s, int64_t{v}, key);
}
void noteReadBack(const U8Setting& s, uint8_t v, const char* key) noexcept {
  note(s, int64_t{v}, key);
}
void noteReadBack(const U16Setting& s, uint16_t v, const char* key) noexcept {
  note(s, int64_t{v}, key);
}
void noteReadBack(const U32Setting& s, uint32_t v, const char* key) noexcept {
  note(s, int64_t{v}, key);
}
void noteReadBack(const FlagSetting& s, int32_t v, const char* key) noexcept {
  note(s, int64_t{v}, key);
}
void noteReadBack(const TextSetting& s, const char* v, const char* key) noexcept {
  if (v != nullptr) note(s, v, key);  // a null text removes the key: nothing to read back
}
void noteReadBack(const DoubleSetting& s, double v, const char* key) noexcept { note(s, v, key); }
void noteReadBack(const DoubleTextSetting& s, double v, const char* key) noexcept {
  note(s, v, key);
}
void noteReadBack(const ColourSetting& s, uint32_t v, const char* key) noexcept {
  note(s, int64_t{v}, key);
}

int32_t fallback(const IntSetting& s) { return s.def; }
uint8_t fallback(const U8Setting& s) { return s.def; }
uint16_t fallback(const U16Setting& s) { return s.def; }
uint32_t fallback(const U32Setting& s) { return s.def; }
int32_t fallback(const FlagSetting& s) {
  switch (s.read) {
    case FlagRead::NonZero:
      return s.def != 0 ? 1 : 0;
    case FlagRead::ExactlyOne:
      return s.def == 1 ? 1 : 0;
    case FlagRead::Stored:
      break;
  }
  return s.def;
}
std::string fallback(const TextSetting&) { return std::string(); }
double fallback(const DoubleSetting& s) { return s.def; }
double fallback(const DoubleTextSetting& s) { return textToDouble(s.def ? s.def : ""); }
uint32_t fallback(const ColourSetting& s) { return ColourFromText(s.def); }

}  // namespace trasso
