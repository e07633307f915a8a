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
// Records, catalogues, tools and getters of several values are not entries;
// uncoveredFunctions() names them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
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
};

enum class ValueKind { Int, U8, U16, U32, Flag, Text, DoubleA, DoubleB, Colour };

// A value as getters return it and setters take it: integers (also flags and
// colours) as int64_t, doubles as double, texts as their bytes.
using Value = std::variant<int64_t, double, std::string>;

// The argument given to an entry: number for every kind but Profile.
struct Selection {
  int number = 0;
  std::string path;
};

struct Declaration {
  Key key;
  ValueKind kind = ValueKind::Int;
  Value def;              // what the getter returns when the key is missing
  const char* defText;    // the default as declared (texts, colours, form B)
  int decimals = 0;       // doubles
  size_t bufferSize = 0;  // texts and doubles: the read buffer
  FlagRead flagRead = FlagRead::NonZero;
};

// Closed range a validating setter accepts.
struct Range {
  double min;
  double max;
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
  int listed = 0;  // Entry: numbers 0 to listed - 1 are listed; Item, FileId: codes 0 to listed - 1
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
  } else if constexpr (std::is_floating_point_v<T>) {
    return static_cast<T>(std::get<double>(v));
  } else {
    return static_cast<T>(std::get<int64_t>(v));
  }
}

template <class A>
A selectorArgument(const Selection& s) {
  if constexpr (std::is_same_v<A, const char*>) {
    return s.path.c_str();
  } else {
    return static_cast<A>(s.number);
  }
}

template <auto F>
Value getVia(const Selection& s) {
  using Fn = decltype(F);
  if constexpr (arity<Fn> == 0) {
    return toValue(F());
  } else {
    return toValue(F(selectorArgument<Arg<0, Fn>>(s)));
  }
}

// The exported setter, with the status its writes reported.
template <auto F>
WriteStatus putVia(const Selection& s, const Value& v) {
  using Fn = decltype(F);
  using V = Arg<arity<Fn> - 1, Fn>;
  return statusOf([&] {
    if constexpr (arity<Fn> == 1) {
      F(fromValue<V>(v));
    } else {
      F(selectorArgument<Arg<0, Fn>>(s), fromValue<V>(v));
    }
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
  if constexpr (!std::is_same_v<decltype(P), std::nullptr_t>) {
    e.put = &putVia<P>;
    using V = Arg<arity<decltype(P)> - 1, decltype(P)>;
    if constexpr (std::is_integral_v<V>) {
      e.minValue = std::numeric_limits<V>::min();
      e.maxValue = std::numeric_limits<V>::max();
      e.isBool = std::is_same_v<V, bool>;
    }
  } else if constexpr (std::is_integral_v<Type>) {
    e.minValue = std::numeric_limits<Type>::min();
    e.maxValue = std::numeric_limits<Type>::max();
    e.isBool = std::is_same_v<Type, bool>;
  }
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

// The selections an overview lists: both keys of a mode or side, every item
// code and file id, the listed entry numbers, a profile at its standard place.
std::vector<Selection> listedSelections(const SettingEntry& e);

// Where a profile entry's file lies when the caller names none.
std::string standardProfilePath(const SettingEntry& e);

// "GNSS", "NMEA", "TS", "ZETR", "PL30", "Soku" or "Display".
std::string areaOf(const SettingEntry& e);

// The exact text a setter of declaration d stores for value v.
std::string storedText(const Declaration& d, const Value& v);

}  // namespace trasso

// Entry of GetQZJkn_<name> and PutQZJkn_<name> on declaration setting.
#define TRASSO_SETTING(name, setting)                                                       \
  ::trasso::settingEntry<&::trasso::api::GetQZJkn_##name, &::trasso::api::PutQZJkn_##name>( \
      #name, setting)
// The same for a numbered entry; an overview lists numbers 0 to listed - 1.
#define TRASSO_NUMBERED(name, setting, listed)                                              \
  ::trasso::settingEntry<&::trasso::api::GetQZJkn_##name, &::trasso::api::PutQZJkn_##name>( \
      #name, setting, ::trasso::SelectorKind::Entry, std::nullopt, listed)
// Entry of a getter without setter.
#define TRASSO_READ_ONLY(name, setting) \
  ::trasso::settingEntry<&::trasso::api::GetQZJkn_##name, nullptr>(#name, setting)
// The same for a numbered entry.
#define TRASSO_READ_ONLY_NUMBERED(name, setting, listed)            \
  ::trasso::settingEntry<&::trasso::api::GetQZJkn_##name, nullptr>( \
      #name, setting, ::trasso::SelectorKind::Entry, std::nullopt, listed)
// Entry whose argument is a settings file id; codes 0 to listed - 1 are listed.
#define TRASSO_FILE_ID(name, setting, listed)                                               \
  ::trasso::settingEntry<&::trasso::api::GetQZJkn_##name, &::trasso::api::PutQZJkn_##name>( \
      #name, setting, ::trasso::SelectorKind::FileId, std::nullopt, listed)
// Entry of a validating setter: the range comes from its Ranged declaration.
#define TRASSO_RANGED(name, ranged)                                                         \
  ::trasso::settingEntry<&::trasso::api::GetQZJkn_##name, &::trasso::api::PutQZJkn_##name>( \
      #name, (ranged).setting, std::nullopt,                                                \
      ::trasso::Range{static_cast<double>((ranged).min), static_cast<double>((ranged).max)})
