// Every plain setting through its registry entry, and so through the exported
// getter and setter: default on empty roots, the exact line a setter writes,
// stored lines read by the rule of their kind, refused values of validating
// setters. The one place for such per-key facts.

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "ReadSnapshot.h"
#include "Registry.h"
#include "SettingsFileIo.h"
#include "StoreFacts.h"
#include "TestRoots.h"

namespace trasso::test {
namespace {

class RegistryWalk : public RootsTest {
 protected:
  // The selections walked: one per key an entry names, plus numbers no list
  // reaches; screen colours in a file of each root; a profile in root 0's
  // "inf" folder.
  std::vector<Selection> walked(const SettingEntry& e) const {
    const SelectorKind k = e.selector;
    if (k == SelectorKind::Profile) return {Selection{0, inf("profile.ini")}};
    if (k == SelectorKind::ScreenColour) return {Selection{4, {}, 1, 2}, Selection{3, {}, 4, -1}};
    std::vector<Selection> out = keySelections(e);
    for (Selection& s : out) s.path = e.inProfile ? inf("profile.ini") : s.path;
    const bool numbered = k == SelectorKind::Entry || k == SelectorKind::CallerDefault;
    if (numbered) out.push_back(Selection{25, {}});
    if (numbered || k == SelectorKind::Mode || k == SelectorKind::Side) out.push_back({-3, {}});
    if (k == SelectorKind::ZoomMode) out.push_back(Selection{7, {}});
    return out;
  }

  std::string infFolders() const { return listFolder(inf("")) + "|" + listFolder(inf("", 1)); }

  void emptyFolders() const {
    for (int n = 0; n < 2; ++n) {
      std::filesystem::remove_all(inf("", n));
      std::filesystem::create_directory(inf("", n));
    }
  }
};

std::string fileOf(const SettingEntry& e, const Selection& s) {
  return fileio::nativePath(pathOf(e, s));
}

// The key a selection names, by the rule of its selector.
std::string keyFor(const SettingEntry& e, const Selection& s) {
  static const std::array<const char*, 5> colours{"MessBak", "MessFor", "BtnNorm", "BtnPush",
                                                  "FuncBak"};
  if (e.selector == SelectorKind::ScreenColour) return colours.at(s.which);
  const Declaration d = declarationOf(e, s);
  const std::string base = d.key.name;
  if (e.selector == SelectorKind::Mode) return s.number != 0 ? base + "_Svy" : base;
  if (e.selector == SelectorKind::Side || d.key.choice == KeyChoice::Side) {
    return base + (s.number != 0 ? "S" : "R");
  }
  const bool numbered =
      e.selector == SelectorKind::Entry || e.selector == SelectorKind::CallerDefault;
  return numbered ? base + std::to_string(s.number) : base;
}

// The lines a setter writes into an empty file: its key's, or for a record
// every field of the selection's side, in order, the others as read.
std::string writtenLines(const SettingEntry& e, const Selection& s, const std::string& written) {
  std::string lines = std::string("[") + declarationOf(e, s).key.section + "]\r\n";
  for (const Selection& f : writtenSelections(e, s)) {
    const Declaration d = declarationOf(e, f);
    lines += keyFor(e, f) + "=" + (f.which == s.which ? written : storedText(d, d.def)) + "\r\n";
  }
  return lines;
}

// Stores "key=text" amid a line before any section, another section with the
// same key, a lookalike key, the key again, and the section again in lower
// case with the key.
void store(const SettingEntry& e, const Selection& s, const std::string& text) {
  const std::string key = keyFor(e, s), section = declarationOf(e, s).key.section;
  std::string lower = section;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  writeBytes(fileOf(e, s), "x=9\n[Other]\n" + key + "=0\n[" + section + "]\n" + key + "X=0\n" +
                               key + "=" + text + "\n" + key + "=1\n[" + lower + "]\n" + key +
                               "=1\n");
}

// What the getter reads, and the same within a read snapshot.
Value read(const SettingEntry& e, const Selection& s) {
  Value plain = e.get(s);
  const fileio::ReadSnapshot snapshot;
  EXPECT_EQ(e.get(s), plain) << "within a snapshot";
  return plain;
}

// A value the setter takes, the text it must store and the value read back.
// Integers away from 0 and 1 so that a flag's normalisation shows; doubles
// that need decimals.
std::tuple<Value, std::string, Value> sample(const ValueLimits& e, const Declaration& d) {
  char text[64];
  switch (d.kind) {
    case ValueKind::Text:
      return {std::string("A b\x82\xA0z"), "A b\x82\xA0z", std::string("A b\x82\xA0z")};
    case ValueKind::Colour:
      return {int64_t{0x332211}, " 17, 34, 51", int64_t{0x332211}};
    case ValueKind::DoubleA:
    case ValueKind::DoubleB: {
      const double v = e.range && e.range->min > 1.25 ? e.range->max : 1.25;
      std::snprintf(text, sizeof text, "%.*f", d.decimals, v);
      return {v, text, std::strtod(text, nullptr)};
    }
    default:
      break;
  }
  int64_t v = e.minValue < 0 ? -12345 : std::min<int64_t>(e.maxValue, 54321);
  if (e.isBool) v = 1;
  if (e.range) v = static_cast<int64_t>(e.range->max);
  if (d.kind == ValueKind::Flag) return {v, v != 0 ? "1" : "0", int64_t{v != 0}};
  return {v, std::to_string(v), v};
}

// Each selection on empty roots: its default, with nothing created; stored
// texts a setter would never write, read by the rule of the kind (low bits of
// a wider number, flags by their read rule, colours and doubles from the start
// of the text, texts and numbers cut to their buffer); then the one line its
// setter writes in the one file of the root the catalogue gives.
TEST_F(RegistryWalk, EverySelectionDefaultsReadsByItsKindAndWritesOneLine) {
  for (const SettingEntry& e : settingsRegistry()) {
    for (const Selection& s : walked(e)) {
      SCOPED_TRACE(std::string(e.name) + " #" + std::to_string(s.number));
      const Declaration d = declarationOf(e, s);
      const ValueLimits limits = limitsOf(e, s);
      EXPECT_EQ(keyOf(e, s), keyFor(e, s));
      const bool screen = e.selector == SelectorKind::ScreenColour;
      EXPECT_TRUE(!screen || d.key.section == std::to_string(s.section)) << d.key.section;
      const Value def = limits.isBool ? Value{int64_t{std::get<int64_t>(d.def) != 0}} : d.def;
      EXPECT_EQ(e.get(s), def);
      // A null or empty profile path names no file.
      EXPECT_EQ(e.selector == SelectorKind::Profile ? e.get(Selection{}) : def, def);
      EXPECT_EQ(infFolders(), "|");

      const std::string cut(d.bufferSize > 0 ? d.bufferSize - 1 : 0, 'x');
      const std::map<ValueKind, std::pair<std::string, Value>> stored = {
          {ValueKind::Int, {"12abc", int64_t{12}}},
          {ValueKind::U8, {"300", int64_t{44}}},
          {ValueKind::U16, {"70000", int64_t{4464}}},
          {ValueKind::U32, {"-1", int64_t{4294967295}}},
          {ValueKind::Flag,
           {"2", int64_t{d.flagRead == FlagRead::Stored && !limits.isBool ? 2
                         : d.flagRead == FlagRead::ExactlyOne             ? 0
                                                                          : 1}}},
          {ValueKind::Colour, {"300,-1,256", int64_t{0x00FF2C}}},
          {ValueKind::DoubleA, {"-2.5m", -2.5}},
          {ValueKind::DoubleB, {"-2.5m", -2.5}},
          {ValueKind::Text, {cut + "yz", cut}},
      };
      const auto& [text, value] = stored.at(d.kind);
      store(e, s, text);
      EXPECT_EQ(read(e, s), value);
      // Present but empty: a number reads as its default, a text as empty.
      store(e, s, "");
      EXPECT_EQ(read(e, s), d.kind == ValueKind::Text      ? Value{std::string()}
                            : d.kind == ValueKind::DoubleB ? Value{0.0}
                            : d.kind == ValueKind::Colour  ? Value{int64_t{0xFFFFFF}}
                                                           : def);
      if (d.kind == ValueKind::DoubleA || d.kind == ValueKind::DoubleB) {
        const std::string seen = "0." + std::string(d.bufferSize - 4, '0') + "5";
        store(e, s, seen + "5");
        EXPECT_EQ(read(e, s), Value{std::strtod(seen.c_str(), nullptr)});
      }
      emptyFolders();

      if (e.put == nullptr) continue;
      const auto [put, written, read] = sample(limits, d);
      EXPECT_EQ(e.put(s, put), kWritten) << e.name;
      // A setter that also writes other keys writes its own first.
      const std::string lines = writtenLines(e, s, written);
      EXPECT_EQ(readBytes(fileOf(e, s)).substr(0, e.alsoWrites ? lines.size() : std::string::npos),
                lines);
      EXPECT_EQ(e.get(s), read);
      EXPECT_EQ(storedText(d, put), written);
      // Exactly one file, in the root the catalogue gives.
      const std::filesystem::path path = fileOf(e, s);
      const std::string name = path.filename().string() + "\n";
      const bool rootOne = path.parent_path().parent_path().filename() == "root1";
      EXPECT_EQ(infFolders(), rootOne ? "|" + name : name + "|");
      emptyFolders();
    }
  }
}

// Both ends are accepted, one step beyond either and NaN refused with nothing
// written; a failed write of an accepted value is reported. A record's field
// is checked by the record setter.
TEST_F(RegistryWalk, ValidatingSettersRefuseOutsideTheirRangeAndWriteNothing) {
  int checked = 0;
  for (const SettingEntry& e : settingsRegistry()) {
    for (Selection s : walked(e)) {
      const std::optional<Range> range = limitsOf(e, s).range;
      if (!range) continue;
      ++checked;
      const bool isDouble = declarationOf(e, s).kind == ValueKind::DoubleA;
      auto value = [&](double v) { return isDouble ? Value{v} : Value{static_cast<int64_t>(v)}; };
      const double step = isDouble ? 1e-9 : 1;
      Selection none = s;
      none.path.clear();
      EXPECT_EQ(e.put(none, value(range->min)), WriteStatus::NotAFile) << e.name;
      s.path = inf("profile.ini");
      for (const double outside :
           {range->min - step, range->max + step, isDouble ? std::nan("") : -2147483648.0})
        EXPECT_EQ(e.put(s, value(outside)), WriteStatus::OutOfRange) << e.name << " " << outside;
      EXPECT_EQ(infFolders(), "|") << e.name;
      for (const double inside : {range->min, range->max})
        EXPECT_EQ(e.put(s, value(inside)), kWritten) << e.name << " " << inside;
      emptyFolders();
    }
  }
  EXPECT_EQ(checked, 25);
}

// Numbered families list the entries their getter reads now: the first
// section of the name, the first key of a name and with '=', exactly the "%d"
// of a 32-bit number. A second name's key is the key of the entry it names.
TEST_F(RegistryWalk, ListedEntriesAreThoseStoredAndSecondNamesShareKeys) {
  writeBytes(inf("def-ts.ini"),
             withCrLf("[Mkhy]\n07=a\n3\n3=b\n+5=c\nmkhy=d\n-2147483648=e\n2147483648=f\n1=g\n"
                      "1=h\n[mkhy]\n9=i\n"));
  writeBytes(inf("disp-ts.ini"), withCrLf("[2]\nmessfor=1\nBtnNorm\n[02]\nFuncBak=1\n[-7]\n"
                                          "FuncBak=2\nMessBak=3\nMessBak2=4\n[2]\nBtnPush=5\n"));
  writeBytes(inf("disp-navi.ini", 1), withCrLf("[0]\nFUNCBAK=1\n"));
  auto listed = [](const char* name) {
    std::string out;
    for (const Selection& s : listedSelections(*findSetting(name)))
      out += std::to_string(s.number) + "," + std::to_string(s.which) + "," +
             std::to_string(s.section) + " ";
    return out;
  };
  EXPECT_EQ(listed("Mkhy"), "-2147483648,0,0 1,0,0 ");
  EXPECT_EQ(listed("Color"), "3,4,0 4,0,-7 4,4,-7 4,1,2 ");
  EXPECT_EQ(listed("SksColor"), "");
  for (const SettingEntry& e : settingsRegistry()) {
    if (e.sameKeyAs == nullptr) continue;
    const Selection s = keySelections(e).front();
    const auto place = [](const SettingEntry& x, const Selection& at) {
      return fileio::nativePath(pathOf(x, at)) + " [" + declarationOf(x, at).key.section + "] " +
             keyOf(x, at);
    };
    const SettingEntry* other = findSetting(e.sameKeyAs);
    ASSERT_NE(other, nullptr) << e.name;
    std::string places;
    for (const Selection& o : keySelections(*other)) places += place(*other, o) + "\n";
    EXPECT_NE(places.find(place(e, s) + "\n"), std::string::npos) << e.name << ": " << places;
  }
}

// What tools learn of the files beyond the registry: the root a file is read
// from, the keys outside the registry, whether a write could be made.
TEST_F(RegistryWalk, StoreFactsSeeTheFilesAsTheFunctionsDo) {
  using namespace facts;
  const std::pair<const char*, int> roots[] = {
      {"Antenna.ini", 1},  {"AntennaSensor.ini", 1}, {"AntennaLocal.ini", 0},
      {"NTrip.ini", 1},    {"sound.ini", 1},         {"jkn-gnss.ini", 0},
      {"jkn-zetr.ini", 0}, {"JKN-GNSS.INI", -1},     {"notes.ini", -1}};
  for (const auto& [name, root] : roots) EXPECT_EQ(readingRoot(name), root) << name;
  for (const ProfilePlace& p : profilePlaces())
    EXPECT_EQ(readingRoot(SettingsFileName(static_cast<int>(p.file))), 0) << p.area;
  EXPECT_EQ(profilePlace("Display"), nullptr);
  const std::tuple<const char*, const char*, const char*> keys[] = {
      {"SKSG", "COL12", "SksColor"},
      {"sksg", "col-3", "SksColor"},
      {"GNSS", "RTKPortNoS", "GNSS_RTKConnectProp"},
      {"GNSS", "rtkportnor", "GNSS_RTKConnectProp"},
      {"SKYPLOT", "-1", "GNSS_SkyPlotLClm"},
      {"NPR", "RMX", "ZETR_Npr_RangeValue"}};
  for (const auto& [section, key, function] : keys) {
    const OtherKey* k = findKeyOutsideRegistry(section, key);
    ASSERT_NE(k, nullptr) << key;
    EXPECT_STREQ(k->function, function);
  }
  for (const char* key : {"COL", "COL012", "COLx", "COL99999999999", "RTKPortNo"})
    EXPECT_EQ(findKeyOutsideRegistry(key[0] == 'C' ? "SKSG" : "GNSS", key), nullptr) << key;
  std::string target;
  EXPECT_TRUE(fileio::isWriteLeftover(".jkn-gnss.ini.tmp", &target));
  EXPECT_EQ(target, "jkn-gnss.ini");
  for (const char* name : {".tmp", "a.tmp", ".a.ini", "jkn-gnss.ini"})
    EXPECT_FALSE(fileio::isWriteLeftover(name)) << name;
  writeBytes(inf("ro.ini"), "[A]\r\n");
  makeReadOnly(inf("ro.ini"));
  const std::pair<std::string, WriteStatus> probes[] = {
      {inf("new.ini"), kWritten},
      {inf("ro.ini"), WriteStatus::ReadOnly},
      {inf("missing/x.ini"), WriteStatus::FolderMissing},
      {inf(""), WriteStatus::NotAFile},
      {inf("ro.ini/x.ini"), WriteStatus::NotAFolder},
      {inf("ro.ini/deeper/x.ini"), WriteStatus::NotAFolder}};
  for (const auto& [path, status] : probes) EXPECT_EQ(probeWrite(path), status) << path;
  EXPECT_EQ(probeWrite(root(0) + "/inf"), WriteStatus::FileIsFolder);
  EXPECT_EQ(listFolder(inf("")), "ro.ini\n");
}

// Every exported function of the header is an entry's getter or setter or is
// named, once, as not covered; every getter and setter pair is an entry, and
// what is not covered is no setting: a catalogue, a tool, a path or a file
// operation, never one half of a pair.
TEST(Registry, CoversEveryExportedFunctionOrSaysWhyNot) {
  const std::string all = readBytes(TRASSOJKN_HEADER);
  std::set<std::string> exported;
  const std::regex declaration(
      R"(\ninline\s+(?:const\s+)?[\w:<>]+[\s*&]+(\w+)\([^;{]*\) noexcept;)");
  for (auto it = std::sregex_iterator(all.begin(), all.end(), declaration);
       it != std::sregex_iterator(); ++it)
    exported.insert((*it)[1]);
  ASSERT_GT(exported.size(), 380u);

  std::multiset<std::string> named;
  for (const SettingEntry& e : settingsRegistry()) {
    named.insert(std::string("GetQZJkn_") + e.name);
    if (e.put != nullptr) named.insert(std::string("PutQZJkn_") + e.name);
    EXPECT_EQ(findSetting(e.name), &e);
  }
  for (const Uncovered& u : uncoveredFunctions()) {
    named.insert(u.function);
    EXPECT_TRUE(
        std::set<std::string>({"catalogue", "tool", "path or file operation"}).count(u.reason))
        << u.function << ": " << u.reason;
    const std::string f = u.function;
    const std::string other = f.rfind("GetQZJkn_", 0) == 0   ? "PutQZJkn_" + f.substr(9)
                              : f.rfind("PutQZJkn_", 0) == 0 ? "GetQZJkn_" + f.substr(9)
                                                             : std::string();
    EXPECT_EQ(exported.count(other), 0u) << f << " has its pair " << other;
  }
  for (const std::string& f : exported) {
    EXPECT_EQ(named.count(f), 1u) << f;
    if (f.rfind("GetQZJkn_", 0) == 0 && exported.count("PutQZJkn_" + f.substr(9))) {
      const SettingEntry* e = findSetting(f.substr(9));
      EXPECT_TRUE(e != nullptr && e->name == f.substr(9) && e->put != nullptr) << f;
    }
  }
  for (const std::string& f : named) EXPECT_EQ(exported.count(f), 1u) << f;
  EXPECT_EQ(findSetting("gnss_maskelev"), findSetting("GNSS_MaskElev"));
  EXPECT_EQ(findSetting("GNSS_MaskElevX"), nullptr);
}

}  // namespace
}  // namespace trasso::test
