// GNSS settings: defaults, exact written texts, read-back and conversions.
#include <gtest/gtest.h>

#include <string>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace {

using trasso::test::exists;
using trasso::test::listFolder;
using trasso::test::readBytes;
using trasso::test::writeBytes;

class GnssSettings : public trasso::test::RootsTest {
 protected:
  std::string file() const { return inf("jkn-gnss.ini"); }
};

TEST_F(GnssSettings, ModeKeysAreIndependent) {
  // The two keys are independent.
  PutQZJkn_GNSS_PortNo(0, 3);
  PutQZJkn_GNSS_PortNo(1, 4);
  EXPECT_EQ(GetQZJkn_GNSS_PortNo(0), 3);
  EXPECT_EQ(GetQZJkn_GNSS_PortNo(-7), 4);
  EXPECT_EQ(readBytes(file()), "[GNSS]\r\nPortNo=3\r\nPortNo_Svy=4\r\n");
}

// Texts: code page 932 bytes as they are, a null text removes the key, reads
// are cut to 259 bytes.
TEST_F(GnssSettings, TextKeysKeepBytesNullRemovesAndReadsAreCut) {
  const std::string sjis = "\x93\x8c\x8b\x9e\x95\x5c";  // ends in a 0x5C byte
  PutQZJkn_GNSS_BTAddr(-3, sjis.c_str());
  EXPECT_EQ(readBytes(file()), "[GNSS]\r\nBTAddr_Svy=" + sjis + "\r\n");
  EXPECT_EQ(GetQZJkn_GNSS_BTAddr(3), sjis);
  PutQZJkn_GNSS_BTAddr(1, nullptr);
  EXPECT_EQ(readBytes(file()), "[GNSS]\r\n");
  EXPECT_EQ(GetQZJkn_GNSS_BTAddr(1), "");
  writeBytes(file(), "[GNSS]\r\nAddress=" + std::string(300, 'a') + "\r\nUserID=\r\n");
  EXPECT_EQ(GetQZJkn_GNSS_Address(), std::string(259, 'a'));
  EXPECT_EQ(GetQZJkn_GNSS_UserID(), "");
}

TEST_F(GnssSettings, SkyPlotColumnsUseTheColumnNumberAsKey) {
  EXPECT_EQ(GetQZJkn_GNSS_SkyPlotLClm(3, 80), 80);
  EXPECT_FALSE(exists(file()));
  PutQZJkn_GNSS_SkyPlotLClm(-1, 5);
  PutQZJkn_GNSS_SkyPlotLClm(12, -40);
  EXPECT_EQ(readBytes(file()), "[SKYPLOT]\r\n-1=5\r\n12=-40\r\n");
  EXPECT_EQ(GetQZJkn_GNSS_SkyPlotLClm(-1, 80), 5);
  EXPECT_EQ(GetQZJkn_GNSS_SkyPlotLClm(12, 80), -40);
  EXPECT_EQ(GetQZJkn_GNSS_SkyPlotLClm(3, -7), -7);
}

TEST_F(GnssSettings, OtherKeysOfTheFileStayAsTheyWere) {
  const std::string before =
      "[GNSS]\r\nAntenna=3\r\naOffset=0.0000000000\r\n; hand note\r\n\r\n[SKYPLOT]\r\n1=2\r\n";
  writeBytes(file(), before);
  PutQZJkn_GNSS_MaskElev(0, 10);
  EXPECT_EQ(readBytes(file()),
            "[GNSS]\r\nAntenna=3\r\naOffset=0.0000000000\r\nMaskElev=10\r\n; hand note\r\n\r\n"
            "[SKYPLOT]\r\n1=2\r\n");
}

TEST_F(GnssSettings, WritesIntoAMissingFolderStoreNothing) {
  trasso::test::setEnv("KORVEL_APPDATA_0", root(0) + "/absent");
  PutQZJkn_GNSS_Page(4);
  PutQZJkn_GNSS_Address("x");
  EXPECT_EQ(GetQZJkn_GNSS_Page(), 0);
  EXPECT_FALSE(exists(root(0) + "/absent"));
}

TEST_F(GnssSettings, TextsWithLineBreaksAreRefusedAndOtherBytesKept) {
  writeBytes(file(), "[GNSS]\r\nAddress=host\r\n");
  for (const char* hostile : {"x\r\n[GNSS]\r\nPage=9", "x\nPage=9", "x\rPage=9", "\n", "\r"}) {
    PutQZJkn_GNSS_Address(hostile);
    PutQZJkn_GNSS_BTAddr(1, hostile);
  }
  EXPECT_EQ(readBytes(file()), "[GNSS]\r\nAddress=host\r\n");

  std::string every;  // every byte but NUL, CR and LF
  for (int b = 1; b < 256; ++b) {
    if (b != '\r' && b != '\n') every += static_cast<char>(b);
  }
  // Bytes are stored as given; blanks at the edges and one enclosing pair of
  // quotes are not part of what a reader gets, as with the Windows functions.
  const std::pair<std::string, std::string> cases[] = {
      {every.substr(0, 259), every.substr(0, 259)},
      {every.substr(100, 259), every.substr(100, 259)},
      {"=[x]\x81\x40\x95\x5C\x83\x5D\"", "=[x]\x81\x40\x95\x5C\x83\x5D\""},
      {"  0,255,  0 \t\x1A", "0,255,  0"},
      {"\"quoted\"", "quoted"}};
  for (const auto& [written, read] : cases) {
    PutQZJkn_GNSS_Address(written.c_str());
    EXPECT_EQ(readBytes(file()), "[GNSS]\r\nAddress=" + written + "\r\n");
    EXPECT_EQ(GetQZJkn_GNSS_Address(), read);
  }
}

}  // namespace
