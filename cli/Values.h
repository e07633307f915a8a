// Values as jkn shows and takes them: texts in UTF-8 (stored in code page 932),
// numbers in decimal, colours as "red,green,blue", selectors by name or number.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Registry.h"

namespace jkn {

// A refused input: the message says what would be accepted.
struct Refusal {
  std::string message;
};

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

// Flags take 0 or 1 from jkn, also where the setter would turn any other
// number into 1.
bool takesFlag(const trasso::SettingEntry& e, const trasso::Declaration& d);

// What values entry e takes, in words ("an integer from 0 to 65535").
std::string acceptedValues(const trasso::SettingEntry& e, const trasso::Declaration& d);

// The selection a selector argument names; none given: the first listed (mode
// 0, side "R", the profile at its standard place). Throws Refusal.
trasso::Selection parseSelector(const trasso::SettingEntry& e,
                                const std::optional<std::string>& arg);
// The selector as a user writes it ("svy", "S", "12", a path); empty for none.
std::string showSelector(const trasso::SettingEntry& e, const trasso::Selection& s);
// What the selector chooses, in words.
std::string selectorWords(const trasso::SettingEntry& e);
// Kind and write format in words.
std::string kindWords(const trasso::Declaration& d);
std::string formatWords(const trasso::Declaration& d);

// ASCII letters in lower case.
std::string lower(std::string s);

// Names of the registry nearest to an unknown one, best first.
std::vector<std::string> closestNames(const std::string& name);

}  // namespace jkn
