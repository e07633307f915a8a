#include "Registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <mutex>
#include <set>
#include <tuple>
#include <unordered_set>

#include "Ini.h"
#include "ReadSnapshot.h"
#include "SettingsValues.h"
#include "StoreFacts.h"

namespace trasso {

// The area files' runs of entries, one per part of the generated list.
#define TRASSO_PART(area, Part) RegistryPart registryOf##Part();
#include "Parts.def"

namespace {

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

Declaration numberDeclaration(const Key& key, ValueKind kind, int64_t def) {
  return Declaration{key, kind, Value{def}, nullptr};
}

constexpr const char* kScreenColourKeys[] = {"MessBak", "MessFor", "BtnNorm", "BtnPush", "FuncBak"};
constexpr const char* kWhite = "255,255,255";

// Section names made of numbers, kept for the life of the process: a
// declaration names its section by a pointer.
const char* numberedSection(int n) {
  static std::mutex mutex;
  static std::unordered_set<std::string> names;
  const std::lock_guard<std::mutex> lock(mutex);
  return names.insert(formatInt(n)).first->c_str();
}

}  // namespace

const char* screenColourKey(int which) {
  return which >= 0 && which < static_cast<int>(std::size(kScreenColourKeys))
             ? kScreenColourKeys[which]
             : nullptr;
}

std::string standardProfilePath(const SettingEntry& e) {
  const facts::ProfilePlace* place = facts::profilePlace(areaOf(e));
  return SettingsFilePath(place != nullptr ? place->file : SettingsFile::JknZetr);
}

Declaration declare(const IntSetting& s) { return numberDeclaration(s.key, ValueKind::Int, s.def); }
Declaration declare(const U8Setting& s) { return numberDeclaration(s.key, ValueKind::U8, s.def); }
Declaration declare(const U16Setting& s) { return numberDeclaration(s.key, ValueKind::U16, s.def); }
Declaration declare(const U32Setting& s) { return numberDeclaration(s.key, ValueKind::U32, s.def); }
Declaration declare(const FlagSetting& s) {
  Declaration d = numberDeclaration(s.key, ValueKind::Flag, fallback(s));
  d.flagRead = s.read;
  return d;
}
Declaration declare(const TextSetting& s) {
  return Declaration{s.key, ValueKind::Text, Value{std::string(s.def)}, s.def, 0, s.bufferSize};
}
Declaration declare(const DoubleSetting& s) {
  return Declaration{s.key, ValueKind::DoubleA, Value{s.def}, nullptr, s.decimals, s.bufferSize};
}
Declaration declare(const DoubleTextSetting& s) {
  return Declaration{s.key, ValueKind::DoubleB, Value{fallback(s)},
                     s.def, s.decimals,         s.bufferSize};
}
Declaration declare(const ColourSetting& s) {
  return Declaration{s.key, ValueKind::Colour, Value{int64_t{fallback(s)}}, s.def, 0, 20};
}

const std::vector<SettingEntry>& settingsRegistry() {
  static const std::vector<SettingEntry> all = [] {
    std::vector<SettingEntry> entries;
    for (const RegistryPart part : {
#define TRASSO_PART(area, Part) registryOf##Part(),
#include "Parts.def"
         }) {
      entries.insert(entries.end(), part.entries, part.entries + part.size);
    }
    return entries;
  }();
  return all;
}

const SettingEntry* findSetting(std::string_view name) {
  const SettingEntry* folded = nullptr;
  for (const SettingEntry& e : settingsRegistry()) {
    if (name == e.name) return &e;
    if (equalIgnoringCase(name, e.name)) folded = &e;
  }
  return folded;
}

const RecordField* fieldOf(const SettingEntry& e, const Selection& s) {
  if (e.selector != SelectorKind::Field || s.which < 0 ||
      static_cast<size_t>(s.which) >= e.fieldCount) {
    return nullptr;
  }
  return &e.fields[s.which];
}

Declaration declarationOf(const SettingEntry& e, const Selection& s) {
  Declaration d = e.declarationAt != nullptr ? e.declarationAt(s.number) : e.decl;
  switch (e.selector) {
    case SelectorKind::FileId:
      d.key.file = static_cast<SettingsFile>(s.number);
      break;
    case SelectorKind::ScreenColour:
      d = declare(ColourSetting{Key{static_cast<SettingsFile>(s.number), numberedSection(s.section),
                                    screenColourKey(s.which)},
                                kWhite});
      break;
    case SelectorKind::CallerDefault:
      if (s.callerDefault) d.def = *s.callerDefault;
      break;
    case SelectorKind::Field: {
      const RecordField* f = fieldOf(e, s);
      if (f != nullptr) {
        d = f->decl;
      } else {
        d.key.name = nullptr;
      }
      break;
    }
    default:
      break;
  }
  return d;
}

std::string pathOf(const SettingEntry& e, const Selection& s) {
  if (takesProfilePath(e)) return s.path;
  return SettingsFilePath(declarationOf(e, s).key.file);
}

std::string keyOf(const SettingEntry& e, const Selection& s) {
  const Declaration d = declarationOf(e, s);
  if (d.key.name == nullptr) return std::string();
  if (e.selector == SelectorKind::Entry || e.selector == SelectorKind::CallerDefault) {
    return numberedKey(d.key, s.number);
  }
  return KeyName(d.key, s.number).c_str();
}

ValueLimits limitsOf(const SettingEntry& e, const Selection& s) {
  if (const RecordField* f = fieldOf(e, s)) return f->limits;
  return ValueLimits{e.range, e.minValue, e.maxValue, e.isBool};
}

ValueLimits limitsOf(const SettingEntry& e, const Declaration& d) {
  // A field's declaration is its own: its key names it within the record.
  for (size_t i = 0; i < e.fieldCount; ++i) {
    const Key& k = e.fields[i].decl.key;
    if (d.key.name != nullptr && std::strcmp(k.name, d.key.name) == 0 &&
        std::strcmp(k.section, d.key.section) == 0) {
      return e.fields[i].limits;
    }
  }
  return ValueLimits{e.range, e.minValue, e.maxValue, e.isBool};
}

std::optional<Value> readValue(const SettingEntry& e, const Selection& s) {
  if (e.selector != SelectorKind::CallerDefault || s.callerDefault) return e.get(s);
  // Read with two defaults: a value of its own reads the same with both.
  Selection a = s;
  Selection b = s;
  a.callerDefault = 0;
  b.callerDefault = e.decl.kind == ValueKind::Colour ? 0xFFFFFF : 1;
  const Value va = e.get(a);
  if (va != e.get(b)) return std::nullopt;
  return va;
}

namespace {

// Item codes and file ids: 0 to listed - 1, those that name a key.
std::vector<Selection> numberedSelections(const SettingEntry& e) {
  std::vector<Selection> out;
  for (int n = 0; n < e.listed; ++n) {
    if (e.declarationAt == nullptr || e.declarationAt(n).key.name != nullptr) {
      out.push_back(Selection{n, {}});
    }
  }
  return out;
}

// The keys a reader finds in a file: the first section of each name and in it
// the first key of each name, with a value (a key without '=' reads nothing).
template <class Visit>
void forEachStoredKey(const std::string& path, Visit visit) {
  const std::string native = fileio::nativePath(path);
  fileio::ReadSnapshot* snapshot = fileio::ReadSnapshot::current();
  const fileio::ReadSnapshot::File* held = snapshot ? snapshot->file(native) : nullptr;
  std::string read;
  ini::KeyIndex own;
  if (held == nullptr) {
    if (!fileio::readFile(native, read)) return;
    own = ini::KeyIndex(read);
  }
  for (const ini::KeyIndex::Key& k : (held != nullptr ? held->keys : own).inOrder()) {
    if (k.value) visit(k.section, k.name);
  }
}

// The stored entries of a numbered family, by number.
std::vector<Selection> storedEntries(const SettingEntry& e) {
  std::set<int> numbers;
  const Declaration d = e.decl;
  forEachStoredKey(SettingsFilePath(d.key.file),
                   [&](std::string_view section, std::string_view key) {
                     if (!ini::sameName(section, d.key.section)) return;
                     if (const std::optional<int> n = numberAfter(key, d.key.name))
                       numbers.insert(*n);
                   });
  std::vector<Selection> out;
  for (const int n : numbers) out.push_back(Selection{n, {}});
  return out;
}

}  // namespace

std::vector<Selection> storedScreenColours(int id) {
  std::set<std::pair<int, int>> found;
  forEachStoredKey(SettingsFilePath(id), [&](std::string_view section, std::string_view key) {
    const std::optional<int> n = numberAfter(section, "");
    for (int which = 0; n && screenColourKey(which) != nullptr; ++which) {
      if (ini::sameName(key, screenColourKey(which))) found.emplace(*n, which);
    }
  });
  std::vector<Selection> out;
  for (const auto& [section, which] : found) out.push_back(Selection{id, {}, which, section});
  return out;
}

namespace {

// The stored screen colours of every file, by file id, section number, key.
std::vector<Selection> everyStoredScreenColour() {
  std::vector<Selection> out;
  for (int id = 0; SettingsFileName(id) != nullptr; ++id) {
    const std::vector<Selection> inFile = storedScreenColours(id);
    out.insert(out.end(), inFile.begin(), inFile.end());
  }
  return out;
}

// Every field of a record; a side's field for side 0, then side 1.
std::vector<Selection> fieldSelections(const SettingEntry& e) {
  const std::string path = e.inProfile ? standardProfilePath(e) : std::string();
  std::vector<Selection> out;
  for (int side = 0; side < 2; ++side) {
    for (size_t i = 0; i < e.fieldCount; ++i) {
      if (side == 0 || e.fields[i].decl.key.choice == KeyChoice::Side) {
        out.push_back(Selection{side, path, static_cast<int>(i)});
      }
    }
  }
  return out;
}

}  // namespace

int storedSide(const SettingEntry& e, const std::string& path) {
  bool stored[2] = {false, false};
  for (int side = 0; side < 2; ++side) {
    for (size_t i = 0; i < e.fieldCount && !stored[side]; ++i) {
      const Selection s{side, path, static_cast<int>(i)};
      stored[side] = e.fields[i].decl.key.choice == KeyChoice::Side &&
                     readRaw(pathOf(e, s), e.fields[i].decl.key.section, keyOf(e, s).c_str());
    }
  }
  return stored[1] && !stored[0] ? 1 : 0;
}

std::vector<Selection> listedSelections(const SettingEntry& e) {
  switch (e.selector) {
    case SelectorKind::Entry:
    case SelectorKind::CallerDefault:
      return storedEntries(e);
    case SelectorKind::ScreenColour:
      return everyStoredScreenColour();
    case SelectorKind::Field: {
      std::vector<Selection> out = keySelections(e);
      const int side = storedSide(e, e.inProfile ? standardProfilePath(e) : std::string());
      for (Selection& s : out) {
        if (e.fields[s.which].decl.key.choice != KeyChoice::Side) s.number = side;
      }
      return out;
    }
    default:
      return keySelections(e);
  }
}

std::vector<Selection> keySelections(const SettingEntry& e) {
  switch (e.selector) {
    case SelectorKind::None:
      return {Selection{}};
    case SelectorKind::Mode:
    case SelectorKind::Side:
      return {Selection{0, {}}, Selection{1, {}}};
    case SelectorKind::Profile:
      return {Selection{0, standardProfilePath(e)}};
    case SelectorKind::Entry:
    case SelectorKind::CallerDefault:
      return {Selection{}};
    case SelectorKind::Item:
    case SelectorKind::FileId:
      return numberedSelections(e);
    case SelectorKind::ScreenColour:
      return {};
    case SelectorKind::ZoomMode:
      return {Selection{0, {}}, Selection{1, {}}, Selection{2, {}}};
    case SelectorKind::Field:
      return fieldSelections(e);
  }
  return {};
}

std::vector<Selection> writtenSelections(const SettingEntry& e, const Selection& s) {
  if (e.selector != SelectorKind::Field) return {s};
  std::vector<Selection> out(e.fieldCount, s);
  for (size_t i = 0; i < out.size(); ++i) out[i].which = static_cast<int>(i);
  return out;
}

bool takesProfilePath(const SettingEntry& e) {
  return e.selector == SelectorKind::Profile || (e.selector == SelectorKind::Field && e.inProfile);
}

std::string areaOf(const SettingEntry& e) {
  for (const char* area : {"GNSS", "NMEA", "TS", "ZETR", "PL30", "Soku"}) {
    const size_t n = std::strlen(area);
    if (std::strncmp(e.name, area, n) == 0 && e.name[n] == '_') return area;
  }
  return "Display";
}

std::string storedText(const Declaration& d, const Value& v) {
  if (d.emptyForDefault && v == d.def) return std::string();
  switch (d.kind) {
    case ValueKind::Int:
      return formatInt(static_cast<int32_t>(std::get<int64_t>(v)));
    case ValueKind::U8:
      return formatInt(static_cast<uint8_t>(std::get<int64_t>(v)));
    case ValueKind::U16:
      return formatUnsigned(static_cast<uint16_t>(std::get<int64_t>(v)));
    case ValueKind::U32:
      return formatUnsigned(static_cast<uint32_t>(std::get<int64_t>(v)));
    case ValueKind::Flag:
      return std::get<int64_t>(v) != 0 ? "1" : "0";
    case ValueKind::Text:
      return std::get<std::string>(v);
    case ValueKind::DoubleA:
    case ValueKind::DoubleB: {
      const std::string text = formatFixed(std::get<double>(v), d.decimals);
      return d.writtenLimit > 0 ? text.substr(0, d.writtenLimit) : text;
    }
    case ValueKind::Colour:
      return colourToText(static_cast<uint32_t>(std::get<int64_t>(v)));
  }
  return std::string();
}

}  // namespace trasso

namespace trasso {

const std::vector<Uncovered>& uncoveredFunctions() {
  static const std::vector<Uncovered> list = {
      // catalogue
      {"AntennaInit", "catalogue"},
      {"GetAntennaRec", "catalogue"},
      {"GetGNSSSensorBmp", "catalogue"},
      {"GetGNSSSensorBmpAntennaOffset", "catalogue"},
      {"GetHmnZaKei", "catalogue"},
      {"GetHmnZaKeiCnt", "catalogue"},
      {"GetHmnZaKeiInfo", "catalogue"},
      {"SetHmnZaKei", "catalogue"},
      {"GetNTrip_Co_Cnt", "catalogue"},
      {"GetNTrip_Co_Info", "catalogue"},
      {"GetNTrip_Protcol_Cnt", "catalogue"},
      {"GetNTrip_Protocol_Info", "catalogue"},
      // tool
      {"QZJknTool_GetGeoidFileVer", "tool"},
      {"QZJknTool_IsGeoidFileISG", "tool"},
      {"QZJknTool_MakeNoName", "tool"},
      {"GetQZJkn_TS_Psm_FromStr", "tool"},
      {"PutQZJkn_TS_Psm_ToStr", "tool"},
      // path or file operation
      {"GetQZGeoidFile_FullPath", "path or file operation"},
      {"GetQZGeoidFile_Path", "path or file operation"},
      {"GetQZImg_Path", "path or file operation"},
      {"GetQZInf_Path", "path or file operation"},
      {"GetQZWav_Path", "path or file operation"},
      {"GetQZJkn_ZETR_Path", "path or file operation"},
      {"GetQZJkn_PL30_Path", "path or file operation"},
      {"GetQZJkn_Soku_Path", "path or file operation"},
      {"Flush_QZJkn_PL30_File", "path or file operation"},
      {"Flush_QZJkn_Soku_File", "path or file operation"},
      {"Flush_QZJkn_ZETR_File", "path or file operation"},
      {"ClearQZJkn_ZETR_OBS", "path or file operation"},
  };
  return list;
}

}  // namespace trasso
