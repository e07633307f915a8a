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

const char* const kShare = "def-share.ini";
const char* const kTs = "def-ts.ini";
const char* const kNmea = "def-nmea.ini";

const UseRow kUseRows[] = {
    {0, kShare, "NoNm", 0},  {1, kTs, "Mkhy", 1},     {2, kShare, "Memo", 1},
    {3, kShare, "Line", 0},  {4, kShare, "Pint", 0},  {5, kShare, "Moji", 0},
    {6, kShare, "Hsya", 0},  {7, kShare, "Logg", 1},  {8, kShare, "Zoom", 0},
    {9, kTs, "Kkou", 1},     {10, kTs, "Khou", 0},    {11, kTs, "Kkyo", 0},
    {12, kTs, "Kmok", 0},    {13, kNmea, "Antn", 1},  {14, kNmea, "Gps", 1},
    {15, kNmea, "DGps", 1},  {16, kNmea, "Rtk", 1},   {17, kNmea, "Float", 0},
    {18, kShare, "OKIK", 1}, {19, kShare, "OKST", 1}, {20, kShare, "OSOK", 1},
    {21, kShare, "OSST", 1}, {22, kShare, "OBLN", 1}, {23, kShare, "OHLN", 1},
    {24, kShare, "OKLN", 1}, {26, kShare, "OALL", 1}, {27, kShare, "OCAD", 1},
    {28, kShare, "ONOW", 1}, {29, kShare, "OCD2", 0}, {30, kTs, "Snsr", 0},
    {31, kShare, "Logp", 0}, {32, kShare, "ALL", 0},  {33, kShare, "RSND", 1},
    {34, kShare, "TSOK", 1}, {35, kShare, "INGT", 1}, {36, kShare, "ADOK", 1},
    {37, kShare, "NMOK", 1}, {38, kShare, "CNCT", 1}, {39, kShare, "LOCK", 1},
    {40, kShare, "ROTA", 1}, {41, kTs, "Zerb", 0},    {42, kShare, "PILT", 1},
    {43, kShare, "DIST", 1}, {44, kTs, "TrkR", 1},    {45, kShare, "LLON", 1},
    {46, kShare, "LPON", 1}, {47, kShare, "SCON", 1}, {48, kShare, "SWON", 1},
    {49, kShare, "PSON", 0}, {50, kShare, "O_TS", 1}, {51, kShare, "OGNS", 1},
    {52, kShare, "CHGS", 1}, {53, kShare, "OUTD", 1},
};

static_assert(sizeof kUseRows / sizeof kUseRows[0] == 53, "every assigned code has a row");

const char* const kUseFiles[] = {kShare, kTs, kNmea};
const std::string kSeed = "[Use]\r\nOther=5\r\n";

class UseItemTest : public RootsTest, public ::testing::WithParamInterface<UseRow> {};

TEST_P(UseItemTest, DefaultThenWritesLandInItsOwnFileAndReadBack) {
  const UseRow& row = GetParam();
  EXPECT_EQ(GetQZJkn_Use(0, row.code), row.def);
  EXPECT_EQ(listFolder(inf("")), "");

  // With all three files present, a write into the wrong one shows.
  for (const char* file : kUseFiles) writeBytes(inf(file), kSeed);
  for (const int value : {5, 0, -1}) {  // any non-zero value stores "1"
    const int flag = value != 0 ? 1 : 0;
    PutQZJkn_Use(7, row.code, value);
    for (const char* file : kUseFiles) {
      const std::string added = std::string(row.key) + "=" + std::to_string(flag) + "\r\n";
      EXPECT_EQ(readBytes(inf(file)), file == std::string(row.file) ? kSeed + added : kSeed)
          << file << " after " << value;
    }
    EXPECT_EQ(GetQZJkn_Use(99, row.code), flag);
  }
  EXPECT_EQ(listFolder(inf("", 1)), "");

  // The getter returns the stored integer, not a normalised flag.
  writeBytes(inf(row.file), std::string("[Use]\r\n") + row.key + "=2\r\n");
  EXPECT_EQ(GetQZJkn_Use(-5, row.code), 2);
}

INSTANTIATE_TEST_SUITE_P(AllItems, UseItemTest, ::testing::ValuesIn(kUseRows),
                         [](const ::testing::TestParamInfo<UseRow>& info) {
                           return "Item" + std::to_string(info.param.code);
                         });

using UseTest = RootsTest;

TEST_F(UseTest, UnassignedCodesReadZeroAndTouchNothing) {
  // Neighbouring keys hold 7, so a code mapped onto one of them would show.
  const std::string seed = "[Use]\r\nNoNm=7\r\nOKLN=7\r\nOALL=7\r\nOUTD=7\r\nSnsr=7\r\n";
  for (const char* file : kUseFiles) writeBytes(inf(file), seed);
  for (int code : {25, -1, 54, 60, INT_MIN, INT_MAX}) {
    EXPECT_EQ(GetQZJkn_Use(0, code), 0) << code;
    PutQZJkn_Use(0, code, 1);
    PutQZJkn_Use(0, code, 0);
  }
  for (const char* file : kUseFiles) EXPECT_EQ(readBytes(inf(file)), seed) << file;
  EXPECT_EQ(listFolder(inf("")) + listFolder(inf("", 1)),
            "def-nmea.ini\ndef-share.ini\ndef-ts.ini\n");
}

}  // namespace
