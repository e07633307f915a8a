// Every plain setting through its registry entry, and so through the exported
// getter and setter: default on empty roots, the exact line a setter writes,
// a hand-stored line read back, refused values of validating setters.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "Registry.h"
#include "SettingsFileIo.h"
#include "TestRoots.h"

namespace trasso {
namespace {

using test::listFolder;
using test::readBytes;
using test::writeBytes;

class RegistryWalk : public test::RootsTest {
 protected:
  // The selections walked: those an overview lists, plus numbers no list
  // reaches; a profile in root 0's "inf" folder.
  std::vector<Selection> walked(const SettingEntry& e) const {
    if (e.selector == SelectorKind::Profile) return {Selection{0, inf("profile.ini")}};
    std::vector<Selection> out = listedSelections(e);
    if (e.selector == SelectorKind::Entry) {
      out.push_back(Selection{-1, {}});
      out.push_back(Selection{25, {}});
    }
    return out;
  }

  std::string infFolders() const { return listFolder(inf("")) + "|" + listFolder(inf("", 1)); }

  void emptyFolders() const {
    for (int n = 0; n < 2; ++n) {
      for (const auto& f : std::filesystem::directory_iterator(inf("", n))) {
        std::filesystem::remove(f.path());
      }
    }
  }
};

std::string fileOf(const SettingEntry& e, const Selection& s) {
  return fileio::nativePath(pathOf(e, s));
}

std::string what(const SettingEntry& e, const Selection& s) {
  return std::string(e.name) + " #" + std::to_string(s.number);
}

// A value the setter takes, and the text it must store. Integers away from 0
// and 1 so that a flag's normalisation shows; doubles that need decimals.
std::pair<Value, std::string> sample(const SettingEntry& e, const Declaration& d) {
  char text[64];
  switch (d.kind) {
    case ValueKind::Text:
      return {std::string("A b\x82\xA0z"), "A b\x82\xA0z"};
    case ValueKind::Colour:
      return {int64_t{0x332211}, " 17, 34, 51"};
    case ValueKind::DoubleA:
    case ValueKind::DoubleB: {
      const double v = e.range && e.range->min > 1.25 ? e.range->max : 1.25;
      std::snprintf(text, sizeof text, "%.*f", d.decimals, v);
      return {v, text};
    }
    default:
      break;
  }
  int64_t v = e.minValue < 0 ? -12345 : std::min<int64_t>(e.maxValue, 54321);
  if (e.isBool) v = 1;
  if (e.range) v = static_cast<int64_t>(e.range->max);
  if (d.kind == ValueKind::Flag) return {v, v != 0 ? "1" : "0"};
  return {v, std::to_string(v)};
}

// The value a getter returns for stored text, by the read rule of the kind.
Value readBack(const SettingEntry& e, const Declaration& d, const std::string& text) {
  switch (d.kind) {
    case ValueKind::Text:
      return text;
    case ValueKind::Colour:
      return int64_t{0x332211};
    case ValueKind::DoubleA:
    case ValueKind::DoubleB:
      return std::strtod(text.c_str(), nullptr);
    default:
      break;
  }
  int64_t v = std::stoll(text);
  if (e.isBool) v = v != 0;
  return v;
}

TEST_F(RegistryWalk, GettersOnEmptyRootsGiveDefaultsAndCreateNothing) {
  for (const SettingEntry& e : settingsRegistry()) {
    for (const Selection& s : walked(e)) {
      Value expected = declarationOf(e, s).def;
      if (e.isBool) expected = int64_t{std::get<int64_t>(expected) != 0};
      EXPECT_EQ(e.get(s), expected) << what(e, s);
      // A null or empty profile path names no file.
      if (e.selector == SelectorKind::Profile) {
        EXPECT_EQ(e.get(Selection{}), expected) << e.name;
      }
    }
  }
  EXPECT_EQ(infFolders(), "|");
}

TEST_F(RegistryWalk, SettersOnEmptyRootsWriteOneLineThatReadsBack) {
  for (const SettingEntry& e : settingsRegistry()) {
    if (e.put == nullptr) continue;
    for (const Selection& s : walked(e)) {
      const Declaration d = declarationOf(e, s);
      const auto [value, text] = sample(e, d);
      const std::string key = keyOf(e, s);
      EXPECT_TRUE(e.put(s, value)) << what(e, s);
      EXPECT_EQ(readBytes(fileOf(e, s)),
                std::string("[") + d.key.section + "]\r\n" + key + "=" + text + "\r\n")
          << what(e, s);
      EXPECT_EQ(e.get(s), readBack(e, d, text)) << what(e, s);
      EXPECT_EQ(storedText(d, value), text) << what(e, s);
      // Exactly one file, in the root the catalogue gives.
      const std::filesystem::path path = fileOf(e, s);
      const int root = path.parent_path().parent_path().filename() == "root1" ? 1 : 0;
      EXPECT_EQ(listFolder(inf("", root)), path.filename().string() + "\n") << what(e, s);
      EXPECT_EQ(listFolder(inf("", 1 - root)), "") << what(e, s);
      emptyFolders();
    }
  }
}

TEST_F(RegistryWalk, KeysFollowTheirSelector) {
  for (const SettingEntry& e : settingsRegistry()) {
    const std::string base = e.decl.key.name;
    switch (e.selector) {
      case SelectorKind::Mode:
        EXPECT_EQ(keyOf(e, {0, {}}), base) << e.name;
        EXPECT_EQ(keyOf(e, {-3, {}}), base + "_Svy") << e.name;
        break;
      case SelectorKind::Side:
        EXPECT_EQ(keyOf(e, {0, {}}), base + "R") << e.name;
        EXPECT_EQ(keyOf(e, {2, {}}), base + "S") << e.name;
        break;
      case SelectorKind::Entry:
        EXPECT_EQ(keyOf(e, {-12, {}}), base + "-12") << e.name;
        break;
      default:
        EXPECT_EQ(keyOf(e, {1, {}}), e.declarationAt ? e.declarationAt(1).key.name : base)
            << e.name;
    }
  }
}

TEST_F(RegistryWalk, HandStoredLinesAreReadBack) {
  for (const SettingEntry& e : settingsRegistry()) {
    for (const Selection& s : walked(e)) {
      const Declaration d = declarationOf(e, s);
      const std::string text = d.kind == ValueKind::Text      ? "hand \x81\x40"
                               : d.kind == ValueKind::Colour  ? "17,34,51"
                               : d.kind == ValueKind::DoubleA ? "-2.5"
                               : d.kind == ValueKind::DoubleB ? "-2.5"
                                                              : "1";
      // Comments, other sections and a lookalike key around the line.
      writeBytes(fileOf(e, s), "x=9\n[Other]\n" + keyOf(e, s) + "=0\n[" + d.key.section + "]\n" +
                                   keyOf(e, s) + "X=0\n" + keyOf(e, s) + "=" + text + "\n");
      EXPECT_EQ(e.get(s), readBack(e, d, text)) << what(e, s);
      emptyFolders();
    }
  }
}

// Stored texts a setter would never write, read by the rule of the kind: low
// bits of a wider number, flags by their read rule, colours and doubles from
// the start of the text, texts cut to their buffer.
TEST_F(RegistryWalk, StoredTextsAreReadByTheRuleOfTheirKind) {
  for (const SettingEntry& e : settingsRegistry()) {
    for (const Selection& s : walked(e)) {
      const Declaration d = declarationOf(e, s);
      const std::string cut(d.bufferSize > 0 ? d.bufferSize - 1 : 0, 'x');
      const std::map<ValueKind, std::pair<std::string, Value>> stored = {
          {ValueKind::Int, {"12abc", int64_t{12}}},
          {ValueKind::U8, {"300", int64_t{44}}},
          {ValueKind::U16, {"70000", int64_t{4464}}},
          {ValueKind::U32, {"-1", int64_t{4294967295}}},
          {ValueKind::Flag,
           {"2", int64_t{d.flagRead == FlagRead::Stored && !e.isBool ? 2
                         : d.flagRead == FlagRead::ExactlyOne        ? 0
                                                                     : 1}}},
          {ValueKind::Colour, {"300,-1,256", int64_t{0x00FF2C}}},
          {ValueKind::DoubleA, {"2.5m", 2.5}},
          {ValueKind::DoubleB, {"2.5m", 2.5}},
          {ValueKind::Text, {cut + "yz", cut}},
      };
      const auto& [text, value] = stored.at(d.kind);
      writeBytes(fileOf(e, s),
                 "[" + std::string(d.key.section) + "]\n" + keyOf(e, s) + "=" + text + "\n");
      EXPECT_EQ(e.get(s), value) << what(e, s);
      // Present but empty: a number reads as its default, a text as empty.
      writeBytes(fileOf(e, s), "[" + std::string(d.key.section) + "]\n" + keyOf(e, s) + "=\n");
      const Value empty = d.kind == ValueKind::Text      ? Value{std::string()}
                          : d.kind == ValueKind::DoubleB ? Value{0.0}
                          : d.kind == ValueKind::Colour  ? Value{int64_t{0xFFFFFF}}
                          : e.isBool ? Value{int64_t{std::get<int64_t>(d.def) != 0}}
                                     : d.def;
      EXPECT_EQ(e.get(s), empty) << what(e, s);
      // A number as long as the buffer: its last digit is not seen.
      if (d.kind == ValueKind::DoubleA || d.kind == ValueKind::DoubleB) {
        const std::string seen = "0." + std::string(d.bufferSize - 4, '0') + "5";
        writeBytes(fileOf(e, s),
                   "[" + std::string(d.key.section) + "]\n" + keyOf(e, s) + "=" + seen + "5\n");
        EXPECT_EQ(e.get(s), Value{std::strtod(seen.c_str(), nullptr)}) << what(e, s);
      }
      emptyFolders();
    }
  }
}

TEST_F(RegistryWalk, ValidatingSettersRefuseOutsideTheirRangeAndWriteNothing) {
  int checked = 0;
  for (const SettingEntry& e : settingsRegistry()) {
    if (!e.range) continue;
    ++checked;
    const Selection s{0, inf("profile.ini")};
    const bool isDouble = e.decl.kind == ValueKind::DoubleA;
    for (const double outside :
         {e.range->min - (isDouble ? 1e-9 : 1), e.range->max + (isDouble ? 1e-9 : 1)}) {
      const Value v = isDouble ? Value{outside} : Value{static_cast<int64_t>(outside)};
      EXPECT_FALSE(e.put(s, v)) << e.name << " " << outside;
    }
    for (const double inside : {e.range->min, e.range->max}) {
      const Value v = isDouble ? Value{inside} : Value{static_cast<int64_t>(inside)};
      EXPECT_TRUE(e.put(s, v)) << e.name << " " << inside;
    }
    emptyFolders();
    EXPECT_FALSE(
        e.put(s, isDouble ? Value{std::nan("")} : Value{static_cast<int64_t>(e.range->max) + 1}));
    EXPECT_EQ(infFolders(), "|") << e.name;
  }
  EXPECT_EQ(checked, 17);
}

// The ranges themselves, stated once more: the walk above only holds the
// setters to what the registry says.
TEST(Registry, RangesOfValidatingSetters) {
  const std::map<std::string, std::pair<double, double>> expected = {
      {"ZETR_Ang_DispMode", {1, 3}},
      {"ZETR_Tgt1_PsmType", {1, 5}},
      {"ZETR_Tgt1_PsmValue", {-999, 999}},
      {"ZETR_Tgt1_HowAutolock", {1, 2}},
      {"ZETR_Tgt1_ID", {0, 8}},
      {"ZETR_Tgt2_PsmValue", {-999, 999}},
      {"ZETR_Npr_Value", {1, 99}},
      {"ZETR_Aut_Time", {0, 3}},
      {"ZETR_Rti_Percent", {0, 100}},
      {"PL30_Ang_DispMode", {1, 3}},
      {"PL30_Tgt_PsmType", {1, 3}},
      {"PL30_Tgt_PsmValue", {-999, 999}},
      {"PL30_Tgt_PsmValue2", {-999, 999}},
      {"PL30_Npr_Value", {1, 99}},
      {"PL30_Aut_Time", {0, 3}},
      {"PL30_Sch_HRangeRad", {0, M_PI}},
      {"PL30_Sch_VRangeRad", {0, M_PI}},
  };
  std::map<std::string, std::pair<double, double>> actual;
  for (const SettingEntry& e : settingsRegistry()) {
    if (e.range) actual[e.name] = {e.range->min, e.range->max};
  }
  EXPECT_EQ(actual, expected);
}

// Every exported function of the header is an entry's getter or setter or is
// named, once, as not covered.
TEST(Registry, CoversEveryExportedFunctionOrSaysWhyNot) {
  std::ifstream header(TRASSOJKN_HEADER);
  std::stringstream text;
  text << header.rdbuf();
  const std::string all = text.str();
  std::set<std::string> exported;
  const std::regex declaration(R"(TRASSOJKN_API\s+(?:const\s+)?[\w:<>]+[\s*&]+(\w+)\()");
  for (auto it = std::sregex_iterator(all.begin(), all.end(), declaration);
       it != std::sregex_iterator(); ++it) {
    exported.insert((*it)[1]);
  }
  ASSERT_GT(exported.size(), 380u);

  std::multiset<std::string> named;
  for (const SettingEntry& e : settingsRegistry()) {
    named.insert(std::string("GetQZJkn_") + e.name);
    if (e.put != nullptr) named.insert(std::string("PutQZJkn_") + e.name);
    EXPECT_EQ(findSetting(e.name), &e);
  }
  for (const Uncovered& u : uncoveredFunctions()) named.insert(u.function);
  for (const std::string& f : exported) EXPECT_EQ(named.count(f), 1u) << f;
  for (const std::string& f : named) EXPECT_EQ(exported.count(f), 1u) << f;
  EXPECT_EQ(findSetting("gnss_maskelev"), findSetting("GNSS_MaskElev"));
  EXPECT_EQ(findSetting("GNSS_MaskElevX"), nullptr);
}

}  // namespace
}  // namespace trasso
