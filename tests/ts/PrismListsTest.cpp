// Prism lists and the prism text form. Japanese texts are written as their
// code page 932 bytes.
#include <string>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace {

using trasso::test::exists;
using trasso::test::readBytes;
using trasso::test::writeBytes;

// "mm" and the full-width colon.
const std::string kMark = "mm\x81\x46";
// "(no name given)" and the default entry that carries it.
const std::string kNoName = "(\x96\xBC\x91\x4F\x8E\x77\x92\xE8\x82\xC8\x82\xB5)";
const std::string kDefaultEntry = "-000" + kMark + kNoName;
// A katakana word, and a katakana character whose second byte is an "m".
const std::string kPrismWord = "\x83\x76\x83\x8A\x83\x59\x83\x80";
const std::string kKatakanaNo = "\x83\x6D";

struct ParseRow {
  std::string entry;
  int result;
  int value;         // kUntouched when the value must not change
  std::string name;  // "untouched" when the name must not change
};

constexpr int kUntouched = 4242;

const ParseRow kParses[] = {
    {kDefaultEntry, 1, 0, kNoName},
    {"-30" + kMark + "Prism", 1, -30, "Prism"},
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
    {"-1000" + kMark + "X", 0, kUntouched, "untouched"},
    {"1000" + kMark + "X", 0, 1000, "untouched"},
    {"-1000", 0, kUntouched, "untouched"},
    {"30mm:X", 0, kUntouched, "untouched"},
    {"+5" + kMark + "X", 0, kUntouched, "untouched"},
    {"\x82\x4F" + kMark + "X", 0, kUntouched, "untouched"},
    {"", 0, kUntouched, "untouched"},
    {"    ", 0, kUntouched, "untouched"},
    {kMark, 0, kUntouched, "untouched"},
};

TEST(PrismText, ParsesEntries) {
  for (const ParseRow& row : kParses) {
    SCOPED_TRACE(row.entry);
    int value = kUntouched;
    std::string name = "untouched";
    EXPECT_EQ(GetQZJkn_TS_Psm_FromStr(row.entry.c_str(), value, name), row.result);
    EXPECT_EQ(value, row.value);
    EXPECT_EQ(name, row.name);
  }
  int value = kUntouched;
  std::string name = "untouched";
  EXPECT_EQ(GetQZJkn_TS_Psm_FromStr(nullptr, value, name), 0);
  EXPECT_EQ(value, kUntouched);
}

TEST(PrismText, FormatsAndParsesBack) {
  EXPECT_EQ(PutQZJkn_TS_Psm_ToStr(kPrismWord.c_str(), -30), "-30" + kMark + kPrismWord);
  EXPECT_EQ(PutQZJkn_TS_Psm_ToStr("", 0), "0" + kMark);
  EXPECT_EQ(PutQZJkn_TS_Psm_ToStr("X", 12345), "12345" + kMark + "X");
  EXPECT_EQ(PutQZJkn_TS_Psm_ToStr(nullptr, 7), "7" + kMark);

  int value = 0;
  std::string name;
  EXPECT_EQ(
      GetQZJkn_TS_Psm_FromStr(PutQZJkn_TS_Psm_ToStr(kPrismWord.c_str(), -30).c_str(), value, name),
      1);
  EXPECT_EQ(value, -30);
  EXPECT_EQ(name, kPrismWord);
}

using PrismListTest = trasso::test::RootsTest;

TEST_F(PrismListTest, DefaultsOfBothLists) {
  EXPECT_EQ(GetQZJkn_TS_PsmMax(), 8);
  EXPECT_EQ(GetQZJkn_TS_PsmCnt(), 0);
  EXPECT_EQ(GetQZJkn_TS_Psm(1), kDefaultEntry);
  EXPECT_EQ(GetQZJkn_TS_Psm2Max(), 8);
  EXPECT_EQ(GetQZJkn_TS_Psm2Cnt(), 0);
  EXPECT_EQ(GetQZJkn_TS_Psm2(1), kDefaultEntry);
  EXPECT_FALSE(exists(inf("def-ts.ini")));
}

TEST_F(PrismListTest, EntriesUseTheIndexAsKey) {
  const std::string path = inf("def-ts.ini");
  const std::string entry = "-30" + kMark + kPrismWord;
  PutQZJkn_TS_PsmMax(12);
  PutQZJkn_TS_PsmCnt(3);
  PutQZJkn_TS_Psm(0, entry.c_str());
  PutQZJkn_TS_Psm(-1, "x");
  PutQZJkn_TS_Psm2Max(4);
  PutQZJkn_TS_Psm2Cnt(9);
  PutQZJkn_TS_Psm2(3, "y");
  EXPECT_EQ(readBytes(path), "[Psm]\r\nMax=12\r\nCnt=3\r\n0=" + entry +
                                 "\r\n-1=x\r\n[Psm2]\r\nMax=4\r\nCnt=9\r\n3=y\r\n");
  EXPECT_EQ(GetQZJkn_TS_PsmMax(), 12);
  EXPECT_EQ(GetQZJkn_TS_PsmCnt(), 3);
  EXPECT_EQ(GetQZJkn_TS_Psm(0), entry);
  EXPECT_EQ(GetQZJkn_TS_Psm(-1), "x");
  EXPECT_EQ(GetQZJkn_TS_Psm(3), kDefaultEntry);
  EXPECT_EQ(GetQZJkn_TS_Psm2Max(), 4);
  EXPECT_EQ(GetQZJkn_TS_Psm2Cnt(), 9);
  EXPECT_EQ(GetQZJkn_TS_Psm2(3), "y");
  EXPECT_EQ(GetQZJkn_TS_Psm2(0), kDefaultEntry);

  // Entries are read through a 40-byte buffer; a null text removes the key.
  const std::string longEntry = "1" + kMark + std::string(50, 'n');
  PutQZJkn_TS_Psm2(3, longEntry.c_str());
  EXPECT_EQ(GetQZJkn_TS_Psm2(3), longEntry.substr(0, 39));
  PutQZJkn_TS_Psm2(3, nullptr);
  EXPECT_EQ(GetQZJkn_TS_Psm2(3), kDefaultEntry);
}

}  // namespace
