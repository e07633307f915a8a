// Display settings the registry walk does not reach: item switches, screen
// colours of unknown files and keys, and zoom scales chosen by mode.
#include <climits>
#include <cstdint>

#include "TestRoots.h"

namespace trasso::test {
namespace {

class DisplayListsTest : public RootsTest {
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

constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0x0000FF;

// Colours live in the file the id names, section "%d", key chosen by "which";
// ids outside the catalogue and unknown keys read white and write nothing.
TEST_F(DisplayListsTest, ColoursByFileIdKeyAndNumberedSection) {
  for (int id : {-1, 18, 1000}) {
    EXPECT_EQ(GetQZJkn_Color(id, 1, 0), kWhite) << id;
    EXPECT_EQ(GetQZJkn_RecSize(id), 0) << id;
    PutQZJkn_Color(id, 1, 0, kRed);
    PutQZJkn_RecSize(id, 9);
  }
  // File id, which, section, colour: the top byte of 0xFFFFFFFF is not stored;
  // "which" 5 and -1 name no key: written last, with a colour of their own,
  // they would show in any file.
  const std::tuple<int, int, int, uint32_t> writes[] = {
      {3, 0, 7, 0x0302C8},  {4, 1, 2, kRed},        {4, 0, 2, 0x0A0B0C}, {4, 2, -3, 0x101010},
      {4, 3, -3, 0x00FF00}, {4, 4, -3, 0xFFFFFFFF}, {4, 5, 2, 0x123456}, {4, -1, 2, 0x123456}};
  for (const auto& [id, which, section, colour] : writes)
    PutQZJkn_Color(id, which, section, colour);
  EXPECT_EQ(folders(), "disp-ts.ini\ndisp-navi.ini\n");
  EXPECT_EQ(readBytes(inf("disp-navi.ini", 1)), "[7]\r\nMessBak=200,  2,  3\r\n");
  EXPECT_EQ(readBytes(inf("disp-ts.ini")),
            "[2]\r\nMessFor=255,  0,  0\r\nMessBak= 12, 11, 10\r\n"
            "[-3]\r\nBtnNorm= 16, 16, 16\r\nBtnPush=  0,255,  0\r\nFuncBak=255,255,255\r\n");
  // file id, which, section, colour read
  const std::tuple<int, int, int, uint32_t> reads[] = {{3, 0, 7, 0x0302C8}, {4, 1, 2, kRed},
                                                       {4, 1, 0, kWhite},   {4, 3, -3, 0x00FF00},
                                                       {4, 4, -3, kWhite},  {4, 5, 2, kWhite}};
  for (const auto& [id, which, section, colour] : reads)
    EXPECT_EQ(GetQZJkn_Color(id, which, section), colour) << id << " " << which << " " << section;
}

using StakeOutTest = RootsTest;

// A mode outside the table reads the key of its view's default mode: the small
// scale for the main view, the middle one for the assist view.
TEST_F(StakeOutTest, ZoomScalesByModeAndTheDefaultModeBeyondTheTable) {
  // The mode, then the scale of the main and of the assist view: the default,
  // then the one stored below.
  const double rows[][5] = {{0, 1.0, 2.5, 0.8, 5.5},
                            {1, 1.2, 3.5, 1.0, 6.5},
                            {2, 1.4, 4.5, 1.2, 7.5},
                            {3, 1.0, 2.5, 1.0, 6.5},
                            {65535, 1.0, 2.5, 1.0, 6.5}};
  const std::string share = inf("def-share.ini");
  const std::string values =
      "[GZPROP]\r\nSML=2.5\r\nMDL=3.5\r\nLRG=4.5\r\nA_SML=5.5\r\nA_MDL=6.5\r\nA_LRG=7.5\r\n";
  for (const int stored : {0, 1}) {
    if (stored) writeBytes(share, values);
    for (const auto& row : rows) {
      const auto mode = static_cast<uint16_t>(row[0]);
      EXPECT_EQ(GetQZJkn_ZoomModeScale(mode), row[1 + stored]) << mode;
      EXPECT_EQ(GetQZJkn_AssistMainZoomModeScale(mode), row[3 + stored]) << mode;
    }
    EXPECT_EQ(listFolder(inf("")), stored ? "def-share.ini\n" : "");
  }
  // Scales are read through 32 bytes: a number that ends later is cut.
  const std::string zeros(28, '0');
  writeBytes(share, "[GZPROP]\r\nSML=" + zeros + "1.5\r\nA_LRG=0" + zeros + "1.5\r\n");
  EXPECT_EQ(GetQZJkn_ZoomModeScale(0), 1.5);
  EXPECT_EQ(GetQZJkn_AssistMainZoomModeScale(2), 1.0);
}

}  // namespace
}  // namespace trasso::test
