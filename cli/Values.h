// Values as jkn shows and takes them: texts in UTF-8 (stored in code page 932),
// numbers in decimal, colours as "red,green,blue #rrggbb" (taken in either form
// or both), selectors by name or number.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Registry.h"
#include "SettingText.h"

namespace jkn {

using trasso::acceptedValues;
using trasso::lower;
using trasso::Refusal;
using trasso::selectorWords;
using trasso::takesFlag;

// Selectors as the user types and sees them: a profile's path in UTF-8 on
// Windows, where the library takes code page 932.
trasso::Selection parseSelector(const trasso::SettingEntry& e,
                                const std::optional<std::string>& arg);
std::string showSelector(const trasso::SettingEntry& e, const trasso::Selection& s);
// The selector where the file is named apart (a listing's file column, the
// "file" of JSON): a record's field without its profile, none for a profile's
// own settings, else as showSelector; empty for none.
std::string selectorBesideFile(const trasso::SettingEntry& e, const trasso::Selection& s);

// Code page 932 bytes as UTF-8; bytes that are no code page 932 text are shown
// as \xNN.
std::string toUtf8(const std::string& cp932);
// UTF-8 as code page 932, or nullopt when a character has no code page 932 form
// (or the input is no UTF-8).
std::optional<std::string> toCp932(const std::string& utf8);

// How a value is shown: texts converted unless raw.
std::string showValue(const trasso::Declaration& d, const trasso::Value& v, bool raw);

// The value text given for entry e, checked against the setter's kind, width
// and range; a text is converted unless raw. Throws Refusal.
trasso::Value parseValue(const trasso::SettingEntry& e, const trasso::Declaration& d,
                         const std::string& text, bool raw);

// Columns a UTF-8 text takes on a terminal: East Asian wide and fullwidth
// characters two, others one (an invalid byte one).
size_t displayWidth(std::string_view utf8);
// text followed by blanks up to width columns (none when it is as wide already).
std::string padRight(const std::string& text, size_t width);

// Kind and write format in words.
std::string kindWords(const trasso::SettingEntry& e, const trasso::Declaration& d);
std::string formatWords(const trasso::Declaration& d);

// Names of the registry nearest to an unknown one, best first.
std::vector<std::string> closestNames(const std::string& name);

// A stored key of a name and the setting that reads it.
struct KeyReader {
  const trasso::SettingEntry* entry;
  std::string key;      // as the registry spells it
  std::string section;  // "" for a screen colour's (its number)
  std::string file;     // the file's name (a profile's standard one); "" for any
  std::string setting;  // the setting as get takes it: "NAME [SELECTOR]"
};
// The settings that read a key of this name (ASCII letters in any case, as the
// reader compares them), one per setting (the first file of one whose
// selector names the file).
std::vector<KeyReader> readersOfKey(const std::string& key);

// Texts that survive the trip to UTF-8 and back unchanged can be shown and
// taken in UTF-8; any other bytes travel as hex.
bool isShowableCp932(const std::string& bytes);
std::string toHex(std::string_view bytes);
std::optional<std::string> fromHex(const std::string& hex);

}  // namespace jkn
