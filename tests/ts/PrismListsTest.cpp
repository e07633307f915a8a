// The prism text form of the prism lists' entries (the lists themselves are
// walked with the registry). Japanese texts are written as their code page 932
// bytes.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "TrassoJkn.h"

namespace {

// "mm" and the full-width colon.
const std::string kMark = "mm\x81\x46";
// "(no name given)", as the lists' default entry carries it.
const std::string kNoName = "(\x96\xBC\x91\x4F\x8E\x77\x92\xE8\x82\xC8\x82\xB5)";
// A katakana word, and a katakana character whose second byte is an "m".
const std::string kPrismWord = "\x83\x76\x83\x8A\x83\x59\x83\x80";
const std::string kKatakanaNo = "\x83\x6D";

struct ParseRow {
  std::optional<std::string> entry;  // none: a null pointer
  int result;
  int value;         // kUntouched when the value must not change
  std::string name;  // "untouched" when the name must not change
};

constexpr int kUntouched = 4242;

const ParseRow kParses[] = {
    {"-000" + kMark + kNoName, 1, 0, kNoName},
    {"  -30" + kMark + "  two words  ", 1, -30, "two"},
    {"-999" + kMark + kPrismWord, 1, -999, kPrismWord},
    {"999" + kMark + "\tX\t", 1, 999, "X"},
    {"30", 1, 30, ""},
    {"30 X", 1, 30, "X"},
    {"5-" + kMark + "a", 1, 5, "a"},
    {"--5" + kMark + "a", 1, 0, "a"},
    {"30" + kMark + "A" + kMark + "B", 1, 30, "A"},
    // A byte-wise search would take the second byte of the katakana for an "m".
    {"30" + kMark + kKatakanaNo + "m\x81\x46", 1, 30, kKatakanaNo + "m\x81\x46"},
    {"12345" + kMark + "X", 0, kUntouched, "untouched"},
    {"1000" + kMark + "X", 0, 1000, "untouched"},
    {"30mm:X", 0, kUntouched, "untouched"},
    {"+5" + kMark + "X", 0, kUntouched, "untouched"},
    {"\x82\x4F" + kMark + "X", 0, kUntouched, "untouched"},
    {"", 0, kUntouched, "untouched"},
    {kMark, 0, kUntouched, "untouched"},
    {std::nullopt, 0, kUntouched, "untouched"},
};

TEST(PrismText, ParsesEntries) {
  for (const ParseRow& row : kParses) {
    SCOPED_TRACE(row.entry.value_or("null"));
    int value = kUntouched;
    std::string name = "untouched";
    EXPECT_EQ(GetQZJkn_TS_Psm_FromStr(row.entry ? row.entry->c_str() : nullptr, value, name),
              row.result);
    EXPECT_EQ(value, row.value);
    EXPECT_EQ(name, row.name);
  }
}

TEST(PrismText, Formats) {
  EXPECT_EQ(PutQZJkn_TS_Psm_ToStr(kPrismWord.c_str(), -30), "-30" + kMark + kPrismWord);
  EXPECT_EQ(PutQZJkn_TS_Psm_ToStr("", 0), "0" + kMark);
  EXPECT_EQ(PutQZJkn_TS_Psm_ToStr("X", 12345), "12345" + kMark + "X");
  EXPECT_EQ(PutQZJkn_TS_Psm_ToStr(nullptr, 7), "7" + kMark);
}

}  // namespace
