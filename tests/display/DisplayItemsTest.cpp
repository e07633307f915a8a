// Display item switches, tested item by item against the screens' table of codes.
#include <climits>
#include <string>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace {

using trasso::test::listFolder;
using trasso::test::readBytes;
using trasso::test::RootsTest;
using trasso::test::writeBytes;

struct UseRow {
  int code;
  const char* file;
  const char* key;
  int def;
};

const UseRow kUseRows[] = {
    {0, "def-share.ini", "NoNm", 0},  {1, "def-ts.ini", "Mkhy", 1},
    {2, "def-share.ini", "Memo", 1},  {3, "def-share.ini", "Line", 0},
    {4, "def-share.ini", "Pint", 0},  {5, "def-share.ini", "Moji", 0},
    {6, "def-share.ini", "Hsya", 0},  {7, "def-share.ini", "Logg", 1},
    {8, "def-share.ini", "Zoom", 0},  {9, "def-ts.ini", "Kkou", 1},
    {10, "def-ts.ini", "Khou", 0},    {11, "def-ts.ini", "Kkyo", 0},
    {12, "def-ts.ini", "Kmok", 0},    {13, "def-nmea.ini", "Antn", 1},
    {14, "def-nmea.ini", "Gps", 1},   {15, "def-nmea.ini", "DGps", 1},
    {16, "def-nmea.ini", "Rtk", 1},   {17, "def-nmea.ini", "Float", 0},
    {18, "def-share.ini", "OKIK", 1}, {19, "def-share.ini", "OKST", 1},
    {20, "def-share.ini", "OSOK", 1}, {21, "def-share.ini", "OSST", 1},
    {22, "def-share.ini", "OBLN", 1}, {23, "def-share.ini", "OHLN", 1},
    {24, "def-share.ini", "OKLN", 1}, {26, "def-share.ini", "OALL", 1},
    {27, "def-share.ini", "OCAD", 1}, {28, "def-share.ini", "ONOW", 1},
    {29, "def-share.ini", "OCD2", 0}, {30, "def-ts.ini", "Snsr", 0},
    {31, "def-share.ini", "Logp", 0}, {32, "def-share.ini", "ALL", 0},
    {33, "def-share.ini", "RSND", 1}, {34, "def-share.ini", "TSOK", 1},
    {35, "def-share.ini", "INGT", 1}, {36, "def-share.ini", "ADOK", 1},
    {37, "def-share.ini", "NMOK", 1}, {38, "def-share.ini", "CNCT", 1},
    {39, "def-share.ini", "LOCK", 1}, {40, "def-share.ini", "ROTA", 1},
    {41, "def-ts.ini", "Zerb", 0},    {42, "def-share.ini", "PILT", 1},
    {43, "def-share.ini", "DIST", 1}, {44, "def-ts.ini", "TrkR", 1},
    {45, "def-share.ini", "LLON", 1}, {46, "def-share.ini", "LPON", 1},
    {47, "def-share.ini", "SCON", 1}, {48, "def-share.ini", "SWON", 1},
    {49, "def-share.ini", "PSON", 0}, {50, "def-share.ini", "O_TS", 1},
    {51, "def-share.ini", "OGNS", 1}, {52, "def-share.ini", "CHGS", 1},
    {53, "def-share.ini", "OUTD", 1},
};

static_assert(sizeof kUseRows / sizeof kUseRows[0] == 53, "every assigned code has a row");

const char* const kUseFiles[] = {"def-share.ini", "def-ts.ini", "def-nmea.ini"};
const std::string kSeed = "[Use]\r\nOther=5\r\n";

class UseItemTest : public RootsTest, public ::testing::WithParamInterface<UseRow> {};

TEST_P(UseItemTest, DefaultThenWriteLandsInItsOwnFileAndReadsBack) {
  const UseRow& row = GetParam();
  EXPECT_EQ(GetQZJkn_Use(0, row.code), row.def);
  EXPECT_EQ(listFolder(inf("")), "");

  // With all three files present, a write into the wrong one shows.
  for (const char* file : kUseFiles) writeBytes(inf(file), kSeed);
  const int flipped = row.def == 0 ? 1 : 0;
  PutQZJkn_Use(7, row.code, flipped == 1 ? -3 : 0);  // any non-zero value stores "1"
  for (const char* file : kUseFiles) {
    const bool own = std::string(file) == row.file;
    const std::string added = std::string(row.key) + "=" + std::to_string(flipped) + "\r\n";
    EXPECT_EQ(readBytes(inf(file)), own ? kSeed + added : kSeed) << file;
  }
  EXPECT_EQ(listFolder(inf("", 1)), "");
  EXPECT_EQ(GetQZJkn_Use(99, row.code), flipped);

  // The getter returns the stored integer, not a normalised flag.
  writeBytes(inf(row.file), std::string("[Use]\r\n") + row.key + "=2\r\n");
  EXPECT_EQ(GetQZJkn_Use(-5, row.code), 2);
}

INSTANTIATE_TEST_SUITE_P(AllItems, UseItemTest, ::testing::ValuesIn(kUseRows),
                         [](const ::testing::TestParamInfo<UseRow>& info) {
                           return "Item" + std::to_string(info.param.code);
                         });

class UseTest : public RootsTest {};

TEST_F(UseTest, NewFileHoldsExactlyTheSection) {
  PutQZJkn_Use(0, 14, 5);
  EXPECT_EQ(listFolder(inf("")), "def-nmea.ini\n");
  EXPECT_EQ(readBytes(inf("def-nmea.ini")), "[Use]\r\nGps=1\r\n");
  PutQZJkn_Use(0, 14, 0);
  EXPECT_EQ(readBytes(inf("def-nmea.ini")), "[Use]\r\nGps=0\r\n");
}

TEST_F(UseTest, UnassignedCodesReadZeroAndTouchNothing) {
  // Neighbouring keys hold 7, so a code mapped onto one of them would show.
  const std::string share = "[Use]\r\nNoNm=7\r\nOKLN=7\r\nOALL=7\r\nOUTD=7\r\n";
  writeBytes(inf("def-share.ini"), share);
  writeBytes(inf("def-ts.ini"), kSeed);
  writeBytes(inf("def-nmea.ini"), kSeed);
  for (int code : {25, -1, 54, 60, INT_MIN, INT_MAX}) {
    EXPECT_EQ(GetQZJkn_Use(0, code), 0) << code;
    PutQZJkn_Use(0, code, 1);
    PutQZJkn_Use(0, code, 0);
  }
  EXPECT_EQ(readBytes(inf("def-share.ini")), share);
  EXPECT_EQ(readBytes(inf("def-ts.ini")), kSeed);
  EXPECT_EQ(readBytes(inf("def-nmea.ini")), kSeed);
  EXPECT_EQ(listFolder(inf("")), "def-nmea.ini\ndef-share.ini\ndef-ts.ini\n");
  EXPECT_EQ(listFolder(inf("", 1)), "");
}

}  // namespace
