// The registry of plain settings: one entry per exported getter/setter pair of a
// declared key, made from the declaration the pair itself uses and pointing at
// the exported functions, so that whoever walks it (the jkn tool, the tests, the
// reference page) reads and writes exactly as the application does.
//
// Each area file adds its entries next to its declarations, from the lines
// that interface/generate.py makes of the area's table (<Part>.entries.inc):
//
//   TRASSO_SETTING(GNSS_MaskElev, kMaskElev)    // GetQZJkn_/PutQZJkn_GNSS_MaskElev
//
// A record's getter and setter make one entry whose selector names a field:
// the field is read through the record getter and written by reading the
// record, changing that field and writing it back through the record setter,
// exactly as the application would. Catalogues, tools and path or file
// operations are not entries; uncoveredFunctions() names them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "Setting.h"
#include "WriteStatus.h"

namespace trasso {

// What the argument of an entry's getter and setter chooses.
enum class SelectorKind {
  None,     // no argument
  Mode,     // 0: the key as declared; any other: the key followed by "_Svy"
  Side,     // 0: the key followed by "R"; any other: followed by "S"
  Entry,    // the entry number, appended to the key in decimal
  Item,     // an item code, each with its own file, key and default
  FileId,   // the id of a catalogue file that holds the key
  Profile,  // the path of a caller-named profile file
  // The settings file (by id), the key (0 to 4: MessBak, MessFor, BtnNorm,
  // BtnPush, FuncBak) and the section number ("%d").
  ScreenColour,
  // The entry number, appended to the key in decimal, and the default the caller
  // passes to the getter (none given: the getter is called with 0, or "").
  CallerDefault,
  ZoomMode,  // an unsigned 16-bit mode, each with its own key and default
  Field,     // a field of a record (with the record's side or profile path)
};

enum class ValueKind { Int, U8, U16, U32, Flag, Text, DoubleA, DoubleB, Colour };

// A value as getters return it and setters take it: integers (also flags and
// colours) as int64_t, doubles as double, texts as their bytes.
using Value = std::variant<int64_t, double, std::string>;

// The arguments given to an entry.
struct Selection {
  // Mode, side, entry number, item code, file id or zoom mode; ScreenColour: the
  // file id; Field: the record's side.
  int number = 0;
  std::string path;  // Profile, and a field of a profile's record
  int which = 0;     // ScreenColour: the key (0 to 4); Field: the field
  int section = 0;   // ScreenColour: the section number
  std::optional<int64_t> callerDefault = std::nullopt;  // CallerDefault: the default passed, if any
};

struct Declaration {
  Key key;
  ValueKind kind = ValueKind::Int;
  Value def;              // what the getter returns when the key is missing
  const char* defText;    // the default as declared (texts, colours, form B)
  int decimals = 0;       // doubles
  size_t bufferSize = 0;  // texts and doubles: the read buffer
  FlagRead flagRead = FlagRead::NonZero;
  size_t writtenLimit = 0;       // the setter cuts its text to this many bytes (0: no cut)
  bool emptyForDefault = false;  // the setter stores the default as an empty value
};

// Closed range a validating setter accepts.
struct Range {
  double min;
  double max;
};

// What a setter takes of one value: the width of its C++ type and the range a
// validating setter checks.
struct ValueLimits {
  std::optional<Range> range;
  int64_t minValue = 0;
  int64_t maxValue = 0;
  bool isBool = false;
};

// One field of a record: its name (as the record's C++ member or argument), the
// declaration of its key (a key chosen by side belongs to the record's side) and
// what the record setter takes of it.
struct RecordField {
  const char* name;
  Declaration decl;
  ValueLimits limits = {};
};

struct SettingEntry {
  const char* name;  // the exported name without Get/Put and "QZJkn_"
  SelectorKind selector;
  Declaration decl;
  std::optional<Range> range;
  // Width of the value the exported setter takes (or the getter returns);
  // integers only.
  int64_t minValue = 0;
  int64_t maxValue = 0;
  bool isBool = false;
  Value (*get)(const Selection&);
  // The setter's status: what its writes came to (WriteReport), or OutOfRange
  // when a validating setter refused the value. Null: read-only.
  WriteStatus (*put)(const Selection&, const Value&);
  // Item codes: the declaration of each code (a null key name: no item).
  Declaration (*declarationAt)(int number) = nullptr;
  int listed = 0;  // Item, FileId: codes 0 to listed - 1 are listed
  // Field: the record's fields in its order; inProfile: its functions take a
  // profile path.
  const RecordField* fields = nullptr;
  size_t fieldCount = 0;
  bool inProfile = false;
  // Field: writes several fields of one record (of the selection's side or
  // profile) in one write of the record, the others as read; null otherwise.
  WriteStatus (*putFields)(const Selection&, const std::vector<std::pair<int, Value>>&) = nullptr;
  // What else the setter writes, in words (describe shows it); load writes such
  // an entry before the others, so that it undoes none of them.
  const char* alsoWrites = nullptr;
  // Another entry that reads and writes the same key (under a name of its
  // profile, as a record's field): tools going by key (dump, check) take that
  // one, never this.
  const char* sameKeyAs = nullptr;
};

Declaration declare(const IntSetting& s);
Declaration declare(const U8Setting& s);
Declaration declare(const U16Setting& s);
Declaration declare(const U32Setting& s);
Declaration declare(const FlagSetting& s);
Declaration declare(const TextSetting& s);
Declaration declare(const DoubleSetting& s);
Declaration declare(const DoubleTextSetting& s);
Declaration declare(const ColourSetting& s);
inline Declaration declare(const Declaration& d) { return d; }

namespace registry_detail {

template <class F>
struct Signature;
template <class R, class... A>
struct Signature<R (*)(A...) noexcept> {
  using Result = R;
  using Args = std::tuple<A...>;
};
template <class R, class... A>
struct Signature<R (*)(A...)> {
  using Result = R;
  using Args = std::tuple<A...>;
};

template <class F>
using Args = typename Signature<F>::Args;
template <class F>
constexpr size_t arity = std::tuple_size_v<Args<F>>;
template <size_t I, class F>
using Arg = std::tuple_element_t<I, Args<F>>;

template <class T>
Value toValue(const T& v) {
  if constexpr (std::is_same_v<T, std::string>) {
    return v;
  } else if constexpr (std::is_floating_point_v<T>) {
    return static_cast<double>(v);
  } else {
    return static_cast<int64_t>(v);
  }
}

template <class T>
T fromValue(const Value& v) {
  if constexpr (std::is_same_v<T, const char*>) {
    return std::get<std::string>(v).c_str();
  } else if constexpr (std::is_same_v<T, std::string>) {
    return std::get<std::string>(v);
  } else if constexpr (std::is_same_v<T, bool>) {
    return std::get<int64_t>(v) != 0;
  } else if constexpr (std::is_floating_point_v<T>) {
    return static_cast<T>(std::get<double>(v));
  } else {
    return static_cast<T>(std::get<int64_t>(v));
  }
}

// Argument I of a function's selector arguments: the path, or the number, the
// key and the section in turn.
template <class A, size_t I>
A selectorArgument(const Selection& s) {
  if constexpr (std::is_same_v<A, const char*>) {
    return s.path.c_str();
  } else {
    return static_cast<A>(I == 0 ? s.number : I == 1 ? s.which : s.section);
  }
}

template <auto F, size_t... I>
Value getWith(const Selection& s, std::index_sequence<I...>) {
  return toValue(F(selectorArgument<Arg<I, decltype(F)>, I>(s)...));
}

template <auto F>
Value getVia(const Selection& s) {
  return getWith<F>(s, std::make_index_sequence<arity<decltype(F)>>{});
}

template <auto F, size_t... I>
void putWith(const Selection& s, const Value& v, std::index_sequence<I...>) {
  using V = Arg<arity<decltype(F)> - 1, decltype(F)>;
  F(selectorArgument<Arg<I, decltype(F)>, I>(s)..., fromValue<V>(v));
}

// The exported setter, with the status its writes reported.
template <auto F>
WriteStatus putVia(const Selection& s, const Value& v) {
  return statusOf([&] { putWith<F>(s, v, std::make_index_sequence<arity<decltype(F)> - 1>{}); });
}

// A getter whose second argument is the caller's default: a colour default goes
// as its text, none given as 0 or the empty text.
template <auto F>
Value getWithCallerDefault(const Selection& s) {
  using D = Arg<1, decltype(F)>;
  if constexpr (std::is_same_v<D, const char*>) {
    const std::string def =
        s.callerDefault ? colourToText(static_cast<uint32_t>(*s.callerDefault)) : std::string();
    return toValue(F(s.number, def.c_str()));
  } else {
    return toValue(F(s.number, static_cast<D>(s.callerDefault.value_or(0))));
  }
}

template <class T>
ValueLimits limitsOfType() {
  ValueLimits l;
  if constexpr (std::is_integral_v<T>) {
    l.minValue = std::numeric_limits<T>::min();
    l.maxValue = std::numeric_limits<T>::max();
    l.isBool = std::is_same_v<T, bool>;
  }
  return l;
}

// Field `index` of a record's values.
template <class Tuple>
Value fieldValue(const Tuple& values, int index) {
  Value out;
  int i = 0;
  std::apply([&](const auto&... v) { ((i++ == index ? (out = toValue(v), 0) : 0), ...); }, values);
  return out;
}

template <class Tuple>
void setField(Tuple& values, int index, const Value& v) {
  int i = 0;
  std::apply(
      [&](auto&... x) {
        ((i++ == index ? (x = fromValue<std::decay_t<decltype(x)>>(v), 0) : 0), ...);
      },
      values);
}

// The fields with the widths of the record's C++ types.
template <class Tuple, size_t... I>
std::vector<RecordField> withTypes(std::vector<RecordField> fields, std::index_sequence<I...>) {
  ((fields.at(I).limits.minValue = limitsOfType<std::tuple_element_t<I, Tuple>>().minValue,
    fields.at(I).limits.maxValue = limitsOfType<std::tuple_element_t<I, Tuple>>().maxValue,
    fields.at(I).limits.isBool = limitsOfType<std::tuple_element_t<I, Tuple>>().isBool),
   ...);
  return fields;
}

template <class R>
Value recordGet(const Selection& s) {
  return fieldValue(R::read(s), s.which);
}

// Reads the record, changes one field and writes the record back.
template <class R>
WriteStatus recordPut(const Selection& s, const Value& v) {
  return statusOf([&] {
    auto values = R::read(s);
    setField(values, s.which, v);
    R::write(s, values);
  });
}

// The same for several fields, by number, written in one write of the record.
template <class R>
WriteStatus recordPutFields(const Selection& s, const std::vector<std::pair<int, Value>>& fields) {
  return statusOf([&] {
    auto values = R::read(s);
    for (const auto& [which, v] : fields) setField(values, which, v);
    R::write(s, values);
  });
}

}  // namespace registry_detail

// An entry for getter G and setter P (nullptr: read-only) of setting s. The
// selector follows from G's argument and the key's choice unless given.
template <auto G, auto P, class S>
SettingEntry settingEntry(const char* name, const S& s, std::optional<SelectorKind> selector = {},
                          std::optional<Range> range = {}, int listed = 0) {
  using namespace registry_detail;
  using GetFn = decltype(G);
  using Type = typename Signature<GetFn>::Result;
  SettingEntry e{name, SelectorKind::None, declare(s), range, 0, 0, false, &getVia<G>, nullptr};
  ValueLimits limits;
  if constexpr (!std::is_same_v<decltype(P), std::nullptr_t>) {
    e.put = &putVia<P>;
    limits = limitsOfType<Arg<arity<decltype(P)> - 1, decltype(P)>>();
  } else {
    limits = limitsOfType<Type>();
  }
  e.minValue = limits.minValue;
  e.maxValue = limits.maxValue;
  e.isBool = limits.isBool;
  if (selector) {
    e.selector = *selector;
  } else if constexpr (arity<GetFn> == 1) {
    if constexpr (std::is_same_v<Arg<0, GetFn>, const char*>) {
      e.selector = SelectorKind::Profile;
    } else {
      e.selector = s.key.choice == KeyChoice::Side ? SelectorKind::Side : SelectorKind::Mode;
    }
  }
  e.listed = listed;
  return e;
}

// A field of a record type's fields(); the widths come from the record's types.
template <class S>
RecordField recordField(const char* name, const S& s, std::optional<Range> range = std::nullopt) {
  return RecordField{name, declare(s), ValueLimits{range}};
}

// An entry of a family whose getter takes the default from its caller:
// G(int n, D def), P(int n, V value).
template <auto G, auto P, class S>
SettingEntry callerDefaultEntry(const char* name, const S& s) {
  SettingEntry e = settingEntry<G, P>(name, s, SelectorKind::CallerDefault);
  e.get = &registry_detail::getWithCallerDefault<G>;
  return e;
}

// A read-only entry G(uint16_t mode) whose key and default follow the mode.
template <auto G>
SettingEntry byModeEntry(const char* name, Declaration (*declarationAt)(int)) {
  SettingEntry e = settingEntry<G, nullptr>(name, declarationAt(0), SelectorKind::ZoomMode);
  e.declarationAt = declarationAt;
  return e;
}

// The entry of a record R: R::Values, a tuple of the fields as the record's
// functions take them; R::read(selection) and R::write(selection, values), which
// call the exported getter and setter; R::fields(), the fields in that order;
// R::kInProfile, whether the functions take a profile path.
template <class R>
SettingEntry recordEntry(const char* name) {
  using Values = typename R::Values;
  static const std::vector<RecordField> fields = registry_detail::withTypes<Values>(
      R::fields(), std::make_index_sequence<std::tuple_size_v<Values>>{});
  SettingEntry e{name,
                 SelectorKind::Field,
                 fields.front().decl,
                 std::nullopt,
                 0,
                 0,
                 false,
                 &registry_detail::recordGet<R>,
                 &registry_detail::recordPut<R>};
  e.fields = fields.data();
  e.fieldCount = fields.size();
  e.putFields = &registry_detail::recordPutFields<R>;
  e.inProfile = R::kInProfile;
  return e;
}

inline SettingEntry alsoWrites(SettingEntry e, const char* what) {
  e.alsoWrites = what;
  return e;
}

inline SettingEntry sameKeyAs(SettingEntry e, const char* entry) {
  e.sameKeyAs = entry;
  return e;
}

// A run of entries kept by one area file.
struct RegistryPart {
  const SettingEntry* entries;
  size_t size;
};

// Every entry, area by area, in declaration order.
const std::vector<SettingEntry>& settingsRegistry();

// The entry of a name (exact, else ignoring case), or null.
const SettingEntry* findSetting(std::string_view name);

// Exported functions that are no entry's getter or setter, each with the reason.
struct Uncovered {
  const char* function;
  const char* reason;
};
const std::vector<Uncovered>& uncoveredFunctions();

// Where an entry's selection lies. A declaration with a null key name means
// the selection names no setting (an unassigned item code).
Declaration declarationOf(const SettingEntry& e, const Selection& s);
std::string pathOf(const SettingEntry& e, const Selection& s);
std::string keyOf(const SettingEntry& e, const Selection& s);

// The side of a record that a field both sides share is read and written with
// when the record lies at path: 1 (S) when only S's own keys are stored there,
// else 0 (R); 0 for a record without sides. A write of the field through that
// side's record adds no key of the other side.
int storedSide(const SettingEntry& e, const std::string& path);

// The selections an overview lists: both keys of a mode or side, every item
// code, file id and listed zoom mode, a profile at its standard place, every
// field of a record (a side's field for both sides; a field both share with
// the stored side), and of the numbered
// families the entries stored now: the keys of the section whose name is the
// prefix and exactly the "%d" of a number (what the getter of that number
// reads; "07" is no entry), for screen colours every stored file, key and
// section.
std::vector<Selection> listedSelections(const SettingEntry& e);
// The screen colours stored in the settings file of an id (listedSelections
// of a screen colour lists those of every file).
std::vector<Selection> storedScreenColours(int fileId);

// One selection per key an entry can name, whatever is stored: a numbered
// family by its entry 0 (the key's prefix); none for screen colours, whose
// sections are numbers. For tools that map stored keys to settings.
std::vector<Selection> keySelections(const SettingEntry& e);
// The selections whose keys a setter of s writes: every field of its record
// for a record's field (the record setter writes the whole record, the other
// fields as they read), else s alone.
std::vector<Selection> writtenSelections(const SettingEntry& e, const Selection& s);
// Whether a selection of e names a profile by its path: a profile's setting or
// a field of a profile's record.
bool takesProfilePath(const SettingEntry& e);

// What the getter returns for a selection; nullopt where the caller gives the
// default, names none and the value read depends on it (nothing stored, or an
// empty integer).
std::optional<Value> readValue(const SettingEntry& e, const Selection& s);

// What a setter takes of the value a selection names (a record's field: that
// field's).
ValueLimits limitsOf(const SettingEntry& e, const Selection& s);
// The same for a declaration an entry gave (declarationOf).
ValueLimits limitsOf(const SettingEntry& e, const Declaration& d);

// The record field a selection names, or null.
const RecordField* fieldOf(const SettingEntry& e, const Selection& s);

// The screen colour keys by number (0 to 4), or null.
const char* screenColourKey(int which);

// Where a profile entry's file lies when the caller names none.
std::string standardProfilePath(const SettingEntry& e);

// "GNSS", "NMEA", "TS", "ZETR", "PL30", "Soku" or "Display".
std::string areaOf(const SettingEntry& e);

// The exact text a setter of declaration d stores for value v.
std::string storedText(const Declaration& d, const Value& v);

}  // namespace trasso

// Entry of GetQZJkn_<name> and PutQZJkn_<name> on declaration setting.
// Generated lines use these macros, one per annotation of the area's table.
#define TRASSO_SETTING(name, setting)                                                       \
  ::trasso::settingEntry<&::trasso::api::GetQZJkn_##name, &::trasso::api::PutQZJkn_##name>( \
      #name, setting)
// The same for a numbered entry.
#define TRASSO_NUMBERED(name, setting)                                                      \
  ::trasso::settingEntry<&::trasso::api::GetQZJkn_##name, &::trasso::api::PutQZJkn_##name>( \
      #name, setting, ::trasso::SelectorKind::Entry)
// Entry of a getter without setter.
#define TRASSO_READ_ONLY(name, setting) \
  ::trasso::settingEntry<&::trasso::api::GetQZJkn_##name, nullptr>(#name, setting)
// The same for a numbered entry.
#define TRASSO_READ_ONLY_NUMBERED(name, setting)                                   \
  ::trasso::settingEntry<&::trasso::api::GetQZJkn_##name, nullptr>(#name, setting, \
                                                                   ::trasso::SelectorKind::Entry)
// Entry whose argument is a settings file id; codes 0 to listed - 1 are listed.
#define TRASSO_FILE_ID(name, setting, listed)                                               \
  ::trasso::settingEntry<&::trasso::api::GetQZJkn_##name, &::trasso::api::PutQZJkn_##name>( \
      #name, setting, ::trasso::SelectorKind::FileId, std::nullopt, listed)
// Entry of a validating setter: the range comes from its Ranged declaration.
#define TRASSO_RANGED(name, ranged)                                                         \
  ::trasso::settingEntry<&::trasso::api::GetQZJkn_##name, &::trasso::api::PutQZJkn_##name>( \
      #name, (ranged).setting, std::nullopt,                                                \
      ::trasso::Range{static_cast<double>((ranged).min), static_cast<double>((ranged).max)})
// Entry of a getter and setter of one screen colour: file id, key and section.
#define TRASSO_SCREEN_COLOUR(name, setting)                                                 \
  ::trasso::settingEntry<&::trasso::api::GetQZJkn_##name, &::trasso::api::PutQZJkn_##name>( \
      #name, setting, ::trasso::SelectorKind::ScreenColour)
// Entry of a numbered family whose getter takes the caller's default.
#define TRASSO_CALLER_DEFAULT(name, setting)                                                      \
  ::trasso::callerDefaultEntry<&::trasso::api::GetQZJkn_##name, &::trasso::api::PutQZJkn_##name>( \
      #name, setting)
// Entry of a getter of a mode; declarationAt gives each mode's declaration.
#define TRASSO_BY_MODE(name, declarationAt) \
  (::trasso::byModeEntry<&::trasso::api::GetQZJkn_##name>(#name, &(declarationAt)))
// Entry of a record's getter and setter, described by type R (recordEntry).
#define TRASSO_RECORD(name, R) ::trasso::recordEntry<R>(#name)
