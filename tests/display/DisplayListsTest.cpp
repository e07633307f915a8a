// Lists, screen colours, record sizes, single values, log display and sound names.
#include <cstdint>
#include <string>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace {

using trasso::test::exists;
using trasso::test::listFolder;
using trasso::test::readBytes;
using trasso::test::RootsTest;
using trasso::test::writeBytes;

// A text whose every byte differs from its neighbour's, so a cut shows where it fell.
std::string pattern(size_t length) {
  std::string text;
  for (size_t i = 0; i < length; ++i) text += static_cast<char>('a' + i % 26);
  return text;
}

// --- Integer settings with setters -------------------------------------------

struct IntRow {
  const char* name;
  int (*get)();
  void (*put)(int);
  const char* file;
  const char* section;
  const char* key;
  int def;
};

const IntRow kIntRows[] = {
    {"MkhyMax", GetQZJkn_MkhyMax, PutQZJkn_MkhyMax, "def-ts.ini", "Mkhy", "Max", 8},
    {"MkhyCnt", GetQZJkn_MkhyCnt, PutQZJkn_MkhyCnt, "def-ts.ini", "Mkhy", "Cnt", 0},
    {"AntnMax", GetQZJkn_AntnMax, PutQZJkn_AntnMax, "def-nmea.ini", "Antn", "Max", 8},
    {"AntnCnt", GetQZJkn_AntnCnt, PutQZJkn_AntnCnt, "def-nmea.ini", "Antn", "Cnt", 0},
    {"GnssAntnMax", GetQZJkn_GnssAntnMax, PutQZJkn_GnssAntnMax, "def-gnss.ini", "Antn", "Max", 8},
    {"GnssAntnCnt", GetQZJkn_GnssAntnCnt, PutQZJkn_GnssAntnCnt, "def-gnss.ini", "Antn", "Cnt", 0},
    {"MemoMax", GetQZJkn_MemoMax, PutQZJkn_MemoMax, "def-share.ini", "Memo", "Max", 10},
    {"MemoCnt", GetQZJkn_MemoCnt, PutQZJkn_MemoCnt, "def-share.ini", "Memo", "Cnt", 0},
    {"SUPtInfoForm", GetQZJkn_SUPtInfoForm, PutQZJkn_SUPtInfoForm, "def-share.ini", "SU", "FORM",
     7},
    {"CadSetDef", GetQZJkn_CadSetDef, PutQZJkn_CadSetDef, "def-share.ini", "CAD", "Def", 0},
};

class IntSettingTest : public RootsTest, public ::testing::WithParamInterface<IntRow> {};

TEST_P(IntSettingTest, DefaultExactWriteAndReadBack) {
  const IntRow& row = GetParam();
  EXPECT_EQ(row.get(), row.def);
  EXPECT_EQ(listFolder(inf("")), "");
  row.put(-5);
  EXPECT_EQ(listFolder(inf("")), std::string(row.file) + "\n");
  EXPECT_EQ(readBytes(inf(row.file)),
            std::string("[") + row.section + "]\r\n" + row.key + "=-5\r\n");
  EXPECT_EQ(row.get(), -5);
}

INSTANTIATE_TEST_SUITE_P(All, IntSettingTest, ::testing::ValuesIn(kIntRows),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Read-only log display values ---------------------------------------------

struct LogRow {
  const char* name;
  int (*get)();
  const char* key;
  int def;
};

const LogRow kLogRows[] = {
    {"LogLineW", GetQZJkn_LogLineW, "LLIN", 2},
    {"LogPlotS", GetQZJkn_LogPlotS, "LPNT", 10},
    {"LogOfst1", GetQZJkn_LogOfst1, "LOF1", -2},
    {"LogOfst2", GetQZJkn_LogOfst2, "LOF2", -3},
    {"LogDispCnt", GetQZJkn_LogDispCnt, "LCNT", 100},
    {"LogDispAll", GetQZJkn_LogDispAll, "LALL", 0},
};

class LogSettingTest : public RootsTest, public ::testing::WithParamInterface<LogRow> {};

TEST_P(LogSettingTest, DefaultAndStoredValue) {
  const LogRow& row = GetParam();
  EXPECT_EQ(row.get(), row.def);
  EXPECT_EQ(listFolder(inf("")), "");
  writeBytes(inf("def-share.ini"), std::string("[Logg]\r\n") + row.key + "=-77\r\n");
  EXPECT_EQ(row.get(), -77);
}

INSTANTIATE_TEST_SUITE_P(All, LogSettingTest, ::testing::ValuesIn(kLogRows),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Texts: list entries, "Kkou", sound names ----------------------------------

struct TextRow {
  const char* name;
  std::string (*get)(int n);
  void (*put)(int n, const char* text);  // null: read only
  const char* file;
  int root;
  const char* section;
  const char* fixedKey;  // null: the key is the entry number
  const char* def;
  size_t buffer;
};

const TextRow kTextRows[] = {
    {"Kihi", [](int) { return GetQZJkn_Kihi(); },
     [](int, const char* text) { PutQZJkn_Kihi(text); }, "def-ts.ini", 0, "Kkou", "Kkou", "0.000",
     20},
    {"Mkhy", GetQZJkn_Mkhy, PutQZJkn_Mkhy, "def-ts.ini", 0, "Mkhy", nullptr, "0.000", 20},
    {"Antn", GetQZJkn_Antn, PutQZJkn_Antn, "def-nmea.ini", 0, "Antn", nullptr, "0.000", 20},
    {"GnssAntn", GetQZJkn_GnssAntn, PutQZJkn_GnssAntn, "def-gnss.ini", 0, "Antn", nullptr, "0.000",
     20},
    {"Memo", GetQZJkn_Memo, PutQZJkn_Memo, "def-share.ini", 0, "Memo", nullptr, "", 81},
    {"WavName", GetQZJkn_WavName, nullptr, "sound.ini", 1, "Wav", nullptr, "", 260},
};

class TextSettingTest : public RootsTest, public ::testing::WithParamInterface<TextRow> {
 protected:
  std::string key(int n) const {
    return GetParam().fixedKey ? GetParam().fixedKey : std::to_string(n);
  }
  void store(int n, const std::string& value) {
    const TextRow& row = GetParam();
    writeBytes(inf(row.file, row.root),
               std::string("[") + row.section + "]\r\n" + key(n) + "=" + value + "\r\n");
  }
};

TEST_P(TextSettingTest, DefaultExactWriteAndRemoval) {
  const TextRow& row = GetParam();
  EXPECT_EQ(row.get(12), row.def);
  EXPECT_EQ(listFolder(inf("", 0)) + listFolder(inf("", 1)), "");
  if (row.put == nullptr) return;

  row.put(12, "1.250");
  EXPECT_EQ(listFolder(inf("", 0)) + listFolder(inf("", 1)), std::string(row.file) + "\n");
  const std::string section = std::string("[") + row.section + "]\r\n";
  EXPECT_EQ(readBytes(inf(row.file)), section + key(12) + "=1.250\r\n");
  EXPECT_EQ(row.get(12), "1.250");

  row.put(12, nullptr);  // a null text removes the key
  EXPECT_EQ(readBytes(inf(row.file)), section);
  EXPECT_EQ(row.get(12), row.def);
}

TEST_P(TextSettingTest, LongTextsAreCutToTheBufferLessOne) {
  const TextRow& row = GetParam();
  const size_t keep = row.buffer - 1;  // 19, 80 or 259 bytes
  store(3, pattern(keep));
  EXPECT_EQ(row.get(3), pattern(keep));
  store(3, pattern(keep + 1));
  EXPECT_EQ(row.get(3), pattern(keep));
  store(3, pattern(300));
  EXPECT_EQ(row.get(3), pattern(keep));
}

TEST_P(TextSettingTest, PresentEmptyValueIsNotTheDefault) {
  store(-1, "");
  EXPECT_EQ(GetParam().get(-1), "");
}

INSTANTIATE_TEST_SUITE_P(All, TextSettingTest, ::testing::ValuesIn(kTextRows),
                         [](const auto& info) { return std::string(info.param.name); });

class DisplayListsTest : public RootsTest {};

TEST_F(DisplayListsTest, EntryNumbersAreKeysWhateverMaxAndCnt) {
  writeBytes(inf("def-ts.ini"), "[Mkhy]\r\nMax=8\r\nCnt=0\r\n25=2.500\r\n-1=x\r\n0=y\r\n");
  EXPECT_EQ(GetQZJkn_Mkhy(25), "2.500");
  EXPECT_EQ(GetQZJkn_Mkhy(-1), "x");
  EXPECT_EQ(GetQZJkn_Mkhy(0), "y");
  EXPECT_EQ(GetQZJkn_Mkhy(1), "0.000");
}

TEST_F(DisplayListsTest, TheTwoAntnListsAreSeparateFiles) {
  PutQZJkn_Antn(2, "1.500");
  PutQZJkn_AntnMax(4);
  EXPECT_FALSE(exists(inf("def-gnss.ini")));
  EXPECT_EQ(GetQZJkn_GnssAntn(2), "0.000");
  EXPECT_EQ(GetQZJkn_GnssAntnMax(), 8);
  PutQZJkn_GnssAntn(2, "2.000");
  EXPECT_EQ(readBytes(inf("def-nmea.ini")), "[Antn]\r\n2=1.500\r\nMax=4\r\n");
  EXPECT_EQ(readBytes(inf("def-gnss.ini")), "[Antn]\r\n2=2.000\r\n");
}

TEST_F(DisplayListsTest, SingleValuesOfShareFile) {
  EXPECT_EQ(GetQZJkn_RecMax(), 0);
  writeBytes(inf("def-share.ini"), "[Rec]\r\nMax=300\r\n");
  EXPECT_EQ(GetQZJkn_RecMax(), 44);
}

// --- Screen colours and record sizes by file id ----------------------------------

struct FileRow {
  int id;
  int root;
  const char* file;
};

const FileRow kCatalogue[] = {
    {0, 0, "def-share.ini"}, {1, 0, "def-ts.ini"},    {2, 0, "def-nmea.ini"},
    {3, 1, "disp-navi.ini"}, {4, 0, "disp-ts.ini"},   {5, 0, "disp-nmea.ini"},
    {6, 0, "jkn-ts.ini"},    {7, 0, "jkn-nmea.ini"},  {8, 1, "sound.ini"},
    {9, 0, "disp-tsh.ini"},  {10, 0, "def-gnss.ini"}, {11, 0, "disp-gnss.ini"},
    {12, 0, "jkn-gnss.ini"}, {13, 1, "NTrip.ini"},    {14, 0, "jkn-gnss-rtk.ini"},
    {15, 0, "jkn-pl30.ini"}, {16, 0, "jkn-soku.ini"}, {17, 0, "jkn-zetr.ini"},
};

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;

class ScreenFileTest : public RootsTest, public ::testing::WithParamInterface<FileRow> {};

TEST_P(ScreenFileTest, ColourAndRecordSizeLandInTheNamedFile) {
  const FileRow& row = GetParam();
  EXPECT_EQ(GetQZJkn_Color(row.id, 0, 0), kWhite);
  EXPECT_EQ(GetQZJkn_RecSize(row.id), 0);
  PutQZJkn_Color(row.id, 0, 0, 0x0302C8);
  PutQZJkn_RecSize(row.id, 255);
  EXPECT_EQ(listFolder(inf("", row.root)), std::string(row.file) + "\n");
  EXPECT_EQ(listFolder(inf("", 1 - row.root)), "");
  EXPECT_EQ(readBytes(inf(row.file, row.root)), "[0]\r\nMessBak=200,  2,  3\r\nRecSize=255\r\n");
  EXPECT_EQ(GetQZJkn_Color(row.id, 0, 0), 0x0302C8u);
  EXPECT_EQ(GetQZJkn_RecSize(row.id), 255);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, ScreenFileTest, ::testing::ValuesIn(kCatalogue),
                         [](const auto& info) { return "Id" + std::to_string(info.param.id); });

TEST_F(DisplayListsTest, IdsOutsideTheCatalogueNameNoFile) {
  for (int id : {-1, 18, 1000}) {
    EXPECT_EQ(GetQZJkn_Color(id, 1, 0), kWhite) << id;
    EXPECT_EQ(GetQZJkn_RecSize(id), 0) << id;
    PutQZJkn_Color(id, 1, 0, kRed);
    PutQZJkn_RecSize(id, 9);
  }
  EXPECT_EQ(listFolder(inf("", 0)) + listFolder(inf("", 1)), "");
}

TEST_F(DisplayListsTest, ColourKeysBySelectorAndNumberedSection) {
  PutQZJkn_Color(4, 1, 2, kRed);
  EXPECT_EQ(readBytes(inf("disp-ts.ini")), "[2]\r\nMessFor=255,  0,  0\r\n");
  EXPECT_EQ(GetQZJkn_Color(4, 1, 2), kRed);
  EXPECT_EQ(GetQZJkn_Color(4, 1, 0), kWhite);

  PutQZJkn_Color(4, 0, -3, 0x0A0B0C);
  PutQZJkn_Color(4, 2, -3, 0x101010);
  PutQZJkn_Color(4, 3, -3, kGreen);
  PutQZJkn_Color(4, 4, -3, 0xFFFFFFFF);  // the top byte is not stored
  PutQZJkn_Color(4, 5, -3, kRed);        // no key: nothing written
  PutQZJkn_Color(4, -1, -3, kRed);
  // Texts with leading blanks are quoted by the file layer so they read back whole.
  const std::string expected =
      "[2]\r\nMessFor=255,  0,  0\r\n"
      "[-3]\r\nMessBak= 12, 11, 10\r\nBtnNorm= 16, 16, 16\r\nBtnPush=  0,255,  0\r\n"
      "FuncBak=255,255,255\r\n";
  EXPECT_EQ(readBytes(inf("disp-ts.ini")), expected);
  EXPECT_EQ(GetQZJkn_Color(4, 0, -3), 0x0A0B0Cu);
  EXPECT_EQ(GetQZJkn_Color(4, 2, -3), 0x101010u);
  EXPECT_EQ(GetQZJkn_Color(4, 3, -3), kGreen);
  EXPECT_EQ(GetQZJkn_Color(4, 4, -3), kWhite);
  // An unknown selector reads no key, even where keys hold colours.
  EXPECT_EQ(GetQZJkn_Color(4, 5, -3), kWhite);
  EXPECT_EQ(GetQZJkn_Color(4, 7, 2), kWhite);
}

TEST_F(DisplayListsTest, ColourTextsWithMissingOrExtraPieces) {
  struct {
    const char* stored;
    uint32_t colour;
  } const cases[] = {
      {"0,128", 0xFF8000},      {"", kWhite},
      {",,7", 0xFFFF07},        {"7", 0xFFFF07},
      {"1,2,3,4,5", 0x030201},  {"  1,  2,  3", 0x030201},
      {"300,-1,256", 0x00FF2C}, {"a,b,c", 0x000000},
      {"12x,,,34y", 0xFF220C},  {",", kWhite},
      {"1, ,3", 0x030001},      {"1,2,0000000000000007", 0x000201},  // cut at 19 bytes
  };
  for (const auto& c : cases) {
    writeBytes(inf("disp-tsh.ini"), std::string("[0]\r\nBtnPush=") + c.stored + "\r\n");
    EXPECT_EQ(GetQZJkn_Color(9, 3, 0), c.colour) << c.stored;
    writeBytes(inf("def-share.ini"), std::string("[Logg]\r\nLCOL=") + c.stored + "\r\n");
    EXPECT_EQ(GetQZJkn_LogColor(), c.colour) << c.stored;
  }
}

TEST_F(DisplayListsTest, LogColourDefault) {
  EXPECT_EQ(GetQZJkn_LogColor(), 0xFF8080u);
  EXPECT_EQ(listFolder(inf("")), "");
}

TEST_F(DisplayListsTest, RecordSizeKeepsTheLowEightBits) {
  writeBytes(inf("disp-gnss.ini"), "[0]\r\nRecSize=300\r\n");
  EXPECT_EQ(GetQZJkn_RecSize(11), 44);
  writeBytes(inf("disp-gnss.ini"), "[0]\r\nRecSize=-1\r\n");
  EXPECT_EQ(GetQZJkn_RecSize(11), 255);
  PutQZJkn_RecSize(11, 0);
  EXPECT_EQ(readBytes(inf("disp-gnss.ini")), "[0]\r\nRecSize=0\r\n");
}

}  // namespace
