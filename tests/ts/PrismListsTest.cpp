// Prism lists and the prism text form. Japanese texts are written as their
// code page 932 bytes.
#include <unistd.h>

#include <string>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace {

using trasso::test::exists;
using trasso::test::readBytes;

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
    // The text form the library writes parses back.
    {PutQZJkn_TS_Psm_ToStr(kPrismWord.c_str(), -30), 1, -30, kPrismWord},
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
    {"30mm:X", 0, kUntouched, "untouched"},
    {"+5" + kMark + "X", 0, kUntouched, "untouched"},
    {"\x82\x4F" + kMark + "X", 0, kUntouched, "untouched"},
    {"", 0, kUntouched, "untouched"},
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

TEST(PrismText, Formats) {
  EXPECT_EQ(PutQZJkn_TS_Psm_ToStr(kPrismWord.c_str(), -30), "-30" + kMark + kPrismWord);
  EXPECT_EQ(PutQZJkn_TS_Psm_ToStr("", 0), "0" + kMark);
  EXPECT_EQ(PutQZJkn_TS_Psm_ToStr("X", 12345), "12345" + kMark + "X");
  EXPECT_EQ(PutQZJkn_TS_Psm_ToStr(nullptr, 7), "7" + kMark);
}

using PrismListTest = trasso::test::RootsTest;

struct PrismList {
  const char* section;
  int (*getMax)();
  void (*putMax)(int);
  int (*getCnt)();
  void (*putCnt)(int);
  std::string (*get)(int);
  void (*put)(int, const char*);
};

const PrismList kLists[] = {
    {"Psm", GetQZJkn_TS_PsmMax, PutQZJkn_TS_PsmMax, GetQZJkn_TS_PsmCnt, PutQZJkn_TS_PsmCnt,
     GetQZJkn_TS_Psm, PutQZJkn_TS_Psm},
    {"Psm2", GetQZJkn_TS_Psm2Max, PutQZJkn_TS_Psm2Max, GetQZJkn_TS_Psm2Cnt, PutQZJkn_TS_Psm2Cnt,
     GetQZJkn_TS_Psm2, PutQZJkn_TS_Psm2},
};

TEST_F(PrismListTest, ListsDefaultAndUseTheIndexAsKey) {
  const std::string path = inf("def-ts.ini");
  const std::string entry = "-30" + kMark + kPrismWord;
  const std::string longEntry = "1" + kMark + std::string(50, 'n');
  for (const PrismList& list : kLists) {
    SCOPED_TRACE(list.section);
    ::unlink(path.c_str());
    EXPECT_EQ(list.getMax(), 8);
    EXPECT_EQ(list.getCnt(), 0);
    EXPECT_EQ(list.get(1), kDefaultEntry);
    EXPECT_FALSE(exists(path));

    list.putMax(12);
    list.putCnt(3);
    list.put(0, entry.c_str());
    list.put(-1, longEntry.c_str());
    EXPECT_EQ(readBytes(path), "[" + std::string(list.section) + "]\r\nMax=12\r\nCnt=3\r\n0=" +
                                   entry + "\r\n-1=" + longEntry + "\r\n");
    EXPECT_EQ(list.getMax(), 12);
    EXPECT_EQ(list.getCnt(), 3);
    EXPECT_EQ(list.get(0), entry);
    EXPECT_EQ(list.get(3), kDefaultEntry);
    // Entries are read through a 40-byte buffer; a null text removes the key.
    EXPECT_EQ(list.get(-1), longEntry.substr(0, 39));
    list.put(-1, nullptr);
    EXPECT_EQ(list.get(-1), kDefaultEntry);
  }
}

}  // namespace
