// Stake-out entries whose default the caller gives, and zoom scales chosen by
// mode: the functions the registry walk does not reach.
#include <cstdint>
#include <string>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace {

using trasso::test::listFolder;
using trasso::test::readBytes;
using trasso::test::writeBytes;

using StakeOutTest = trasso::test::RootsTest;

TEST_F(StakeOutTest, EntryKeysArePrefixAndNumberWithTheCallersDefault) {
  EXPECT_EQ(GetQZJkn_SksWidth(3, 17), 17);
  EXPECT_EQ(GetQZJkn_SksType(3, -4), -4);
  EXPECT_EQ(GetQZJkn_SksColor(3, "0,128"), 0xFF8000u);
  EXPECT_EQ(GetQZJkn_SksColor(3, nullptr), 0xFFFFFFu);
  EXPECT_EQ(GetQZJkn_SksColor(3, "1,2,0000000000000007"), 0x000201u);  // cut at 19 bytes
  EXPECT_EQ(listFolder(inf("")), "");

  PutQZJkn_SksWidth(3, 2);
  PutQZJkn_SksType(12, -4);
  PutQZJkn_SksColor(-1, 0x0000FF);
  PutQZJkn_SksColor(0, 0x0A0B0C);
  // The registry walk takes a double's decimals from its declaration: three here.
  PutQZJkn_RectObsWide(1.23456);
  EXPECT_EQ(readBytes(inf("def-share.ini")),
            "[SKSG]\r\nWDT3=2\r\nTYP12=-4\r\nCOL-1=255,  0,  0\r\nCOL0= 12, 11, 10\r\n"
            "[RCOB]\r\nWIDE=1.235\r\n");
  EXPECT_EQ(GetQZJkn_SksWidth(3, 99), 2);
  EXPECT_EQ(GetQZJkn_SksType(12, 99), -4);
  EXPECT_EQ(GetQZJkn_SksColor(-1, "1,1,1"), 0x0000FFu);
  EXPECT_EQ(GetQZJkn_SksColor(0, "1,1,1"), 0x0A0B0Cu);
}

// A mode outside the table reads the key of its view's default mode: the small
// scale for the main view, the middle one for the assist view.
TEST_F(StakeOutTest, ZoomScalesByModeAndTheDefaultModeBeyondTheTable) {
  // The mode, then the scale of the main and of the assist view: the default,
  // then the one stored below.
  const struct {
    uint16_t mode;
    double main[2], assist[2];
  } rows[] = {{0, {1.0, 2.5}, {0.8, 5.5}},
              {1, {1.2, 3.5}, {1.0, 6.5}},
              {2, {1.4, 4.5}, {1.2, 7.5}},
              {3, {1.0, 2.5}, {1.0, 6.5}},
              {65535, {1.0, 2.5}, {1.0, 6.5}}};
  const std::string share = inf("def-share.ini");
  const std::string values =
      "[GZPROP]\r\nSML=2.5\r\nMDL=3.5\r\nLRG=4.5\r\nA_SML=5.5\r\nA_MDL=6.5\r\nA_LRG=7.5\r\n";
  for (const int stored : {0, 1}) {
    if (stored) writeBytes(share, values);
    for (const auto& row : rows) {
      EXPECT_EQ(GetQZJkn_ZoomModeScale(row.mode), row.main[stored]) << row.mode;
      EXPECT_EQ(GetQZJkn_AssistMainZoomModeScale(row.mode), row.assist[stored]) << row.mode;
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
