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
