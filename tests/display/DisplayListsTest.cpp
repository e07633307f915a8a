// Display item switches and screen colours: codes, file ids and colour keys that
// the registry walk does not reach.
#include <climits>
#include <cstdint>
#include <string>
#include <tuple>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace {

using trasso::test::listFolder;
using trasso::test::readBytes;
using trasso::test::writeBytes;

class DisplayListsTest : public trasso::test::RootsTest {
 protected:
  std::string folders() const { return listFolder(inf("")) + listFolder(inf("", 1)); }
};

using UseTest = DisplayListsTest;

TEST_F(UseTest, UnassignedCodesReadZeroAndTouchNothing) {
  // Neighbouring keys hold 7, so a code mapped onto one of them would show.
  const std::string seed = "[Use]\r\nNoNm=7\r\nOKLN=7\r\nOALL=7\r\nOUTD=7\r\nSnsr=7\r\n";
  const char* const files[] = {"def-share.ini", "def-ts.ini", "def-nmea.ini"};
  for (const char* file : files) writeBytes(inf(file), seed);
  for (int code : {25, -1, 54, 60, INT_MIN, INT_MAX}) {
    EXPECT_EQ(GetQZJkn_Use(0, code), 0) << code;
    PutQZJkn_Use(0, code, 0);
  }
  for (const char* file : files) EXPECT_EQ(readBytes(inf(file)), seed) << file;
  EXPECT_EQ(folders(), "def-nmea.ini\ndef-share.ini\ndef-ts.ini\n");
}

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0x0000FF;

// Colours live in the file the id names, section "%d", key chosen by "which";
// ids outside the catalogue and unknown keys read white and write nothing.
TEST_F(DisplayListsTest, ColoursByFileIdKeyAndNumberedSection) {
  for (int id : {-1, 18, 1000}) {
    EXPECT_EQ(GetQZJkn_Color(id, 1, 0), kWhite) << id;
    EXPECT_EQ(GetQZJkn_RecSize(id), 0) << id;
    PutQZJkn_Color(id, 1, 0, kRed);
    PutQZJkn_RecSize(id, 9);
  }
  PutQZJkn_Color(4, 5, 2, kRed);
  PutQZJkn_Color(4, -1, 2, kRed);
  EXPECT_EQ(folders(), "");

  PutQZJkn_Color(3, 0, 7, 0x0302C8);
  PutQZJkn_Color(4, 1, 2, kRed);
  PutQZJkn_Color(4, 0, 2, 0x0A0B0C);
  PutQZJkn_Color(4, 2, -3, 0x101010);
  PutQZJkn_Color(4, 3, -3, 0x00FF00);
  PutQZJkn_Color(4, 4, -3, 0xFFFFFFFF);  // the top byte is not stored
  EXPECT_EQ(folders(), "disp-ts.ini\ndisp-navi.ini\n");
  EXPECT_EQ(readBytes(inf("disp-navi.ini", 1)), "[7]\r\nMessBak=200,  2,  3\r\n");
  EXPECT_EQ(readBytes(inf("disp-ts.ini")),
            "[2]\r\nMessFor=255,  0,  0\r\nMessBak= 12, 11, 10\r\n"
            "[-3]\r\nBtnNorm= 16, 16, 16\r\nBtnPush=  0,255,  0\r\nFuncBak=255,255,255\r\n");
  // file id, which, section, colour read
  const std::tuple<int, int, int, uint32_t> reads[] = {{3, 0, 7, 0x0302C8}, {4, 1, 2, kRed},
                                                       {4, 1, 0, kWhite},   {4, 3, -3, 0x00FF00},
                                                       {4, 4, -3, kWhite},  {4, 5, 2, kWhite}};
  for (const auto& [id, which, section, colour] : reads) {
    EXPECT_EQ(GetQZJkn_Color(id, which, section), colour) << id << " " << which << " " << section;
  }
}

}  // namespace
