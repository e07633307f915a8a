// Settings as texts: the selector and value forms that jkn and the by-name C
// interface share. Texts here are the stored bytes; converting them to and from
// other encodings is the caller's business.
#pragma once

#include <optional>
#include <string>

#include "Registry.h"

namespace trasso {

// A refused selector or value: the message says what would be accepted.
struct Refusal {
  std::string message;
};

// ASCII letters in lower case.
std::string lower(std::string s);

// How many single-byte insertions, removals and changes make a into b.
size_t editDistance(const std::string& a, const std::string& b);

// Flags take 0 or 1, also where the setter would turn any other number into 1.
bool takesFlag(const SettingEntry& e, const Declaration& d);

// What values entry e takes, in words ("an integer from 0 to 65535").
std::string acceptedValues(const SettingEntry& e, const Declaration& d);

// What the selector of e chooses, in words.
std::string selectorWords(const SettingEntry& e);

// A value as text: texts as their bytes, numbers in decimal (doubles in their
// shortest form), colours as "red,green,blue".
std::string valueText(const Declaration& d, const Value& v);

// A colour as "#rrggbb".
std::string hexColour(uint32_t colour);
// A colour given as "red,green,blue" (each 0 to 255; blanks around a part, as
// in the "%3d,%3d,%3d" the setters write), as "#rrggbb", or as both
// ("red,green,blue #rrggbb", naming one colour), or nullopt.
std::optional<uint32_t> parseColour(const std::string& text);

// What the getter of d returns once its setter has stored v: the text the
// setter writes, taken by the reader's rules for d's kind (blanks at the ends of
// a value and one pair of quotes are not read, a text is cut to its buffer, a
// flag's number reads as its rule says, a double as its written text, a colour
// without the bits above blue). The one judge of "reads back as given":
// parseValue refuses what it reports, and the setters of the C interface
// report it as JKN_READS_BACK_ALTERED. A double that reads back rounded to its
// written decimals reads back as given: those decimals are its precision.
struct ReadBack {
  Value value;      // what the getter returns
  std::string why;  // empty when that is v (at the width of d's kind); else why not
};
ReadBack readBack(const Declaration& d, const Value& v);

// For the C interface's caller: notes to the call's scope (CallNotes) a value
// v that d's setter stores at key so that the getter returns something else.
// Setters of the settings kinds do so themselves (Setting.h); one that stores
// a value through another kind (a distance as its text) says it with this.
void noteReadBack(const Declaration& d, const Value& v, const char* key) noexcept;

// The value that text gives entry e, checked against the setter's kind, width and
// range (a record field's own; checkRange false: the width alone), and
// refused unless it reads back as given (readBack). A text is taken through
// toStored when given (nullopt: it has no stored form) and as its bytes
// otherwise. Throws Refusal.
using ToStored = std::optional<std::string> (*)(const std::string&);
Value parseValue(const SettingEntry& e, const Declaration& d, const std::string& text,
                 ToStored toStored = nullptr, bool checkRange = true);

// The selection a selector text names; none given: mode 0, side "R", the profile
// at its standard place (the other kinds need one). Throws Refusal. Forms beyond
// a number: a screen colour "FILE,WHICH,SECTION" (disp-ts.ini,MessFor,2); a
// family whose caller gives the default "N" or "N:DEFAULT" (3:80, 3:#ff0000); a
// record's field "[R.|S.]FIELD", ":PROFILE" after it for a profile's record.
Selection parseSelector(const SettingEntry& e, const std::optional<std::string>& arg);

// The selector as a user writes it ("svy", "S", "12", a path); empty for none.
std::string showSelector(const SettingEntry& e, const Selection& s);
// A record field's selector without the profile: "Radio", "S.PortNo".
std::string showField(const SettingEntry& e, const Selection& s);

// What a write the library could not make comes to, for people: the cause
// with the file's path and what to do ("cannot write F: the file is read-only;
// make it writable (chmod u+w 'F')"). jkn and jkn_last_error say it alike.
std::string writeFailureWords(WriteStatus s, const std::string& libraryPath);

}  // namespace trasso
