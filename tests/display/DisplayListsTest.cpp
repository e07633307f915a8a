// Lists, screen colours, record sizes, single values, log display and sound names.
#include <cstdint>
#include <string>
#include <utility>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace {

using trasso::test::listFolder;
using trasso::test::readBytes;
using trasso::test::RootsTest;
using trasso::test::writeBytes;

// --- Integer settings ----------------------------------------------------------

struct IntRow {
  const char* name;
  int (*get)();
  void (*put)(int);  // null: read only
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
    {"LogLineW", GetQZJkn_LogLineW, nullptr, "def-share.ini", "Logg", "LLIN", 2},
    {"LogPlotS", GetQZJkn_LogPlotS, nullptr, "def-share.ini", "Logg", "LPNT", 10},
    {"LogOfst1", GetQZJkn_LogOfst1, nullptr, "def-share.ini", "Logg", "LOF1", -2},
    {"LogOfst2", GetQZJkn_LogOfst2, nullptr, "def-share.ini", "Logg", "LOF2", -3},
    {"LogDispCnt", GetQZJkn_LogDispCnt, nullptr, "def-share.ini", "Logg", "LCNT", 100},
    {"LogDispAll", GetQZJkn_LogDispAll, nullptr, "def-share.ini", "Logg", "LALL", 0},
};

class IntSettingTest : public RootsTest, public ::testing::WithParamInterface<IntRow> {};

TEST_P(IntSettingTest, DefaultExactWriteAndReadBack) {
  const IntRow& row = GetParam();
  EXPECT_EQ(row.get(), row.def);
  EXPECT_EQ(listFolder(inf("")), "");
  const std::string bytes = std::string("[") + row.section + "]\r\n" + row.key + "=-5\r\n";
  if (row.put == nullptr) writeBytes(inf(row.file), bytes);  // read only: stored by hand
  if (row.put != nullptr) row.put(-5);
  EXPECT_EQ(listFolder(inf("")), std::string(row.file) + "\n");
  EXPECT_EQ(readBytes(inf(row.file)), bytes);
  EXPECT_EQ(row.get(), -5);
}

INSTANTIATE_TEST_SUITE_P(All, IntSettingTest, ::testing::ValuesIn(kIntRows),
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

class TextSettingTest : public RootsTest, public ::testing::WithParamInterface<TextRow> {};

TEST_P(TextSettingTest, DefaultExactWriteRemovalAndCuts) {
  const TextRow& row = GetParam();
  EXPECT_EQ(row.get(-12), row.def);
  EXPECT_EQ(listFolder(inf("", 0)) + listFolder(inf("", 1)), "");
  const std::string section = std::string("[") + row.section + "]\r\n";
  const std::string key = row.fixedKey ? row.fixedKey : "-12";
  if (row.put != nullptr) {
    row.put(-12, "1.250");
    EXPECT_EQ(listFolder(inf("", 0)) + listFolder(inf("", 1)), std::string(row.file) + "\n");
    EXPECT_EQ(readBytes(inf(row.file)), section + key + "=1.250\r\n");
    EXPECT_EQ(row.get(-12), "1.250");
    row.put(-12, nullptr);  // a null text removes the key
    EXPECT_EQ(readBytes(inf(row.file)), section);
    EXPECT_EQ(row.get(-12), row.def);
  }
  const size_t keep = row.buffer - 1;  // 19, 80 or 259 bytes
  for (const size_t length : {keep, keep + 1, size_t{300}}) {
    writeBytes(inf(row.file, row.root), section + key + "=" + std::string(length, 'x') + "\r\n");
    EXPECT_EQ(row.get(-12), std::string(keep, 'x')) << length;
  }
  writeBytes(inf(row.file, row.root), section + key + "=\r\n");
  EXPECT_EQ(row.get(-12), "");  // present but empty: not the default
}

INSTANTIATE_TEST_SUITE_P(All, TextSettingTest, ::testing::ValuesIn(kTextRows),
                         [](const auto& info) { return std::string(info.param.name); });

class DisplayListsTest : public RootsTest {};

TEST_F(DisplayListsTest, EntryNumbersAreKeysWhateverMaxAndCnt) {
  writeBytes(inf("def-ts.ini"), "[Mkhy]\r\nMax=8\r\nCnt=0\r\n25=2.500\r\n");
  EXPECT_EQ(GetQZJkn_Mkhy(25), "2.500");
}

TEST_F(DisplayListsTest, RecordSizesKeepTheLowEightBits) {
  EXPECT_EQ(GetQZJkn_RecMax(), 0);
  writeBytes(inf("def-share.ini"), "[Rec]\r\nMax=300\r\n");
  writeBytes(inf("disp-gnss.ini"), "[0]\r\nRecSize=300\r\n");
  EXPECT_EQ(GetQZJkn_RecMax(), 44);
  EXPECT_EQ(GetQZJkn_RecSize(11), 44);
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
  EXPECT_EQ(listFolder(inf("", row.root)) + listFolder(inf("", 1 - row.root)),
            std::string(row.file) + "\n");
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
  PutQZJkn_Color(4, 0, 2, 0x0A0B0C);
  PutQZJkn_Color(4, 2, -3, 0x101010);
  PutQZJkn_Color(4, 3, -3, kGreen);
  PutQZJkn_Color(4, 4, -3, 0xFFFFFFFF);  // the top byte is not stored
  PutQZJkn_Color(4, 5, 2, kRed);         // no key: nothing written
  PutQZJkn_Color(4, -1, 2, kRed);
  EXPECT_EQ(readBytes(inf("disp-ts.ini")),
            "[2]\r\nMessFor=255,  0,  0\r\nMessBak= 12, 11, 10\r\n"
            "[-3]\r\nBtnNorm= 16, 16, 16\r\nBtnPush=  0,255,  0\r\nFuncBak=255,255,255\r\n");
  EXPECT_EQ(GetQZJkn_Color(4, 1, 2), kRed);
  EXPECT_EQ(GetQZJkn_Color(4, 1, 0), kWhite);
  EXPECT_EQ(GetQZJkn_Color(4, 0, 2), 0x0A0B0Cu);
  EXPECT_EQ(GetQZJkn_Color(4, 2, -3), 0x101010u);
  EXPECT_EQ(GetQZJkn_Color(4, 3, -3), kGreen);
  EXPECT_EQ(GetQZJkn_Color(4, 4, -3), kWhite);
  EXPECT_EQ(GetQZJkn_Color(4, 5, 2), kWhite);  // no key is read, whatever is stored
  EXPECT_EQ(GetQZJkn_Color(4, 7, 2), kWhite);
}

TEST_F(DisplayListsTest, ColourTextsWithMissingOrExtraPieces) {
  EXPECT_EQ(GetQZJkn_LogColor(), 0xFF8080u);
  EXPECT_EQ(listFolder(inf("")), "");
  const std::pair<const char*, uint32_t> cases[] = {
      {"0,128", 0xFF8000},       {"", kWhite},
      {",,7", 0xFFFF07},         {"1,2,3,4,5", 0x030201},
      {"  1,  2,  3", 0x030201}, {"300,-1,256", 0x00FF2C},
      {"a,b,c", 0x000000},       {"1,2,0000000000000007", 0x000201},  // cut at 19 bytes
  };
  for (const auto& [stored, colour] : cases) {
    writeBytes(inf("disp-tsh.ini"), std::string("[0]\r\nBtnPush=") + stored + "\r\n");
    EXPECT_EQ(GetQZJkn_Color(9, 3, 0), colour) << stored;
    writeBytes(inf("def-share.ini"), std::string("[Logg]\r\nLCOL=") + stored + "\r\n");
    EXPECT_EQ(GetQZJkn_LogColor(), colour) << stored;
  }
}

}  // namespace
