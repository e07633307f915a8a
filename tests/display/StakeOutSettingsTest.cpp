// Stake-out graphics, rectangle observation, zoom and observation screen settings.
#include <cstdint>
#include <string>

#include "SettingsValues.h"
#include "TestRoots.h"
#include "TrassoJkn.h"

namespace {

using trasso::test::listFolder;
using trasso::test::readBytes;
using trasso::test::RootsTest;
using trasso::test::writeBytes;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;

class StakeOutTest : public RootsTest {
 protected:
  std::string share() const { return inf("def-share.ini"); }
  void store(const std::string& section, const std::string& lines) {
    writeBytes(share(), "[" + section + "]\r\n" + lines);
  }
};

// --- Numbered stake-out entries ------------------------------------------------

TEST_F(StakeOutTest, EntriesTakeTheCallersDefault) {
  EXPECT_EQ(GetQZJkn_SksWidth(3, 17), 17);
  EXPECT_EQ(GetQZJkn_SksType(3, -4), -4);
  EXPECT_EQ(GetQZJkn_SksColor(3, "0,128"), 0xFF8000u);
  EXPECT_EQ(GetQZJkn_SksColor(3, ""), kWhite);
  EXPECT_EQ(GetQZJkn_SksColor(3, nullptr), kWhite);
  EXPECT_EQ(GetQZJkn_SksColor(3, "1,2,0000000000000007"), 0x000201u);  // cut at 19 bytes
  EXPECT_EQ(listFolder(inf("")), "");
}

TEST_F(StakeOutTest, EntryKeysArePrefixAndNumber) {
  PutQZJkn_SksWidth(3, 2);
  PutQZJkn_SksType(12, -4);
  PutQZJkn_SksColor(-1, kRed);
  PutQZJkn_SksColor(0, 0x0A0B0C);
  EXPECT_EQ(readBytes(share()),
            "[SKSG]\r\nWDT3=2\r\nTYP12=-4\r\nCOL-1=255,  0,  0\r\nCOL0= 12, 11, 10\r\n");
  EXPECT_EQ(GetQZJkn_SksWidth(3, 99), 2);
  EXPECT_EQ(GetQZJkn_SksType(12, 99), -4);
  EXPECT_EQ(GetQZJkn_SksColor(-1, "1,1,1"), kRed);
  EXPECT_EQ(GetQZJkn_SksColor(0, "1,1,1"), 0x0A0B0Cu);
  // Entries of other numbers and kinds stay with their defaults.
  EXPECT_EQ(GetQZJkn_SksWidth(12, 5), 5);
  EXPECT_EQ(GetQZJkn_SksType(3, 6), 6);
  EXPECT_EQ(GetQZJkn_SksColor(1, "1,1,1"), 0x010101u);
}

// --- Fixed colours --------------------------------------------------------------

struct ColourRow {
  const char* name;
  uint32_t (*get)();
  void (*put)(uint32_t);
  const char* key;
  uint32_t def;
};

const ColourRow kColourRows[] = {
    {"Norm", GetQZJkn_SksNormColor, PutQZJkn_SksNormColor, "NCOL", 0xFF9999},
    {"Err", GetQZJkn_SksErrColor, PutQZJkn_SksErrColor, "WCOL", 0xFF99FF},
    {"Over", GetQZJkn_SksOverColor, PutQZJkn_SksOverColor, "HCOL", 0x99FF99},
};

class FixedColourTest : public StakeOutTest, public ::testing::WithParamInterface<ColourRow> {};

TEST_P(FixedColourTest, DefaultExactTextsAndReadBack) {
  const ColourRow& row = GetParam();
  EXPECT_EQ(row.get(), row.def);
  EXPECT_EQ(listFolder(inf("")), "");

  row.put(kRed);
  EXPECT_EQ(readBytes(share()), std::string("[SKSG]\r\n") + row.key + "=255,  0,  0\r\n");
  EXPECT_EQ(row.get(), kRed);

  // Leading blanks are part of the text; the file layer quotes them to keep them.
  row.put(kGreen);
  EXPECT_EQ(trasso::readRaw(share(), "SKSG", row.key).value_or("missing"), "0,255,  0");
  EXPECT_EQ(readBytes(share()), std::string("[SKSG]\r\n") + row.key + "=  0,255,  0\r\n");
  EXPECT_EQ(row.get(), kGreen);

  store("SKSG", std::string(row.key) + "=0,128\r\n");
  EXPECT_EQ(row.get(), 0xFF8000u);
}

INSTANTIATE_TEST_SUITE_P(All, FixedColourTest, ::testing::ValuesIn(kColourRows),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Unsigned 16-bit values ------------------------------------------------------

struct U16Row {
  const char* name;
  uint16_t (*get)();
  void (*put)(uint16_t);
  const char* section;
  const char* key;
  uint16_t def;
};

const U16Row kU16Rows[] = {
    {"RectObsKanCode", GetQZJkn_RectObsKanCode, PutQZJkn_RectObsKanCode, "RCOB", "CODE", 9998},
    {"RectObsMode", GetQZJkn_RectObsMode, PutQZJkn_RectObsMode, "RCOB", "MODE", 0},
    {"ObsMainZoomMode", GetQZJkn_ObsMainZoomMode, PutQZJkn_ObsMainZoomMode, "GZPROP", "OMZ", 0},
    {"ObsCtrlZoomMode", GetQZJkn_ObsCtrlZoomMode, PutQZJkn_ObsCtrlZoomMode, "GZPROP", "OCZ", 0},
    {"AssistMainZoomMode", GetQZJkn_AssistMainZoomMode, PutQZJkn_AssistMainZoomMode, "GZPROP",
     "ASZ", 1},
    {"ObsStkDispMode", GetQZJkn_ObsStkDispMode, PutQZJkn_ObsStkDispMode, "OBSSEC", "STKDSPMODE", 0},
};

class U16Test : public StakeOutTest, public ::testing::WithParamInterface<U16Row> {};

TEST_P(U16Test, DefaultExactWriteAndLowBits) {
  const U16Row& row = GetParam();
  EXPECT_EQ(row.get(), row.def);
  EXPECT_EQ(listFolder(inf("")), "");
  row.put(65535);
  EXPECT_EQ(readBytes(share()), std::string("[") + row.section + "]\r\n" + row.key + "=65535\r\n");
  EXPECT_EQ(row.get(), 65535);
  store(row.section, std::string(row.key) + "=70000\r\n");
  EXPECT_EQ(row.get(), 4464);
  store(row.section, std::string(row.key) + "=-5\r\n");
  EXPECT_EQ(row.get(), 65531);
}

INSTANTIATE_TEST_SUITE_P(All, U16Test, ::testing::ValuesIn(kU16Rows),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Flags ------------------------------------------------------------------------

struct FlagRow {
  const char* name;
  bool (*get)();
  void (*put)(bool);
  const char* section;
  const char* key;
  bool def;
};

const FlagRow kFlagRows[] = {
    {"StartEndCmdMode", GetQZJkn_ObsZokExStartEndCmdMode, PutQZJkn_ObsZokExStartEndCmdMode, "ZOKEX",
     "STEDMODE", true},
    {"StockNonDelete", GetQZJkn_ObsZokStockNonDelete, PutQZJkn_ObsZokStockNonDelete, "OBSSEC",
     "STKNNONDELETE", false},
};

class FlagTest : public StakeOutTest, public ::testing::WithParamInterface<FlagRow> {};

TEST_P(FlagTest, DefaultExactWriteAndNonZeroIsTrue) {
  const FlagRow& row = GetParam();
  const std::string head = std::string("[") + row.section + "]\r\n" + row.key + "=";
  EXPECT_EQ(row.get(), row.def);
  EXPECT_EQ(listFolder(inf("")), "");
  row.put(!row.def);
  EXPECT_EQ(readBytes(share()), head + (row.def ? "0" : "1") + "\r\n");
  EXPECT_EQ(row.get(), !row.def);
  row.put(row.def);
  EXPECT_EQ(readBytes(share()), head + (row.def ? "1" : "0") + "\r\n");
  EXPECT_EQ(row.get(), row.def);
  for (const char* stored : {"7", "-1", "65536"}) {
    store(row.section, std::string(row.key) + "=" + stored + "\r\n");
    EXPECT_TRUE(row.get()) << stored;
  }
  store(row.section, std::string(row.key) + "=abc\r\n");
  EXPECT_FALSE(row.get());
}

INSTANTIATE_TEST_SUITE_P(All, FlagTest, ::testing::ValuesIn(kFlagRows),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Doubles read from texts ----------------------------------------------------------

TEST_F(StakeOutTest, RectangleWidthWritesThreeDecimals) {
  EXPECT_EQ(GetQZJkn_RectObsWide(), 0.5);
  EXPECT_EQ(listFolder(inf("")), "");
  struct {
    double value;
    const char* text;
    double readBack;
  } const cases[] = {
      {0.25, "0.250", 0.25},
      {1.23456, "1.235", 1.235},
      {-2.0, "-2.000", -2.0},
      {0.0004, "0.000", 0.0},
      {12345.6789, "12345.679", 12345.679},
  };
  for (const auto& c : cases) {
    PutQZJkn_RectObsWide(c.value);
    EXPECT_EQ(readBytes(share()), std::string("[RCOB]\r\nWIDE=") + c.text + "\r\n");
    EXPECT_EQ(GetQZJkn_RectObsWide(), c.readBack) << c.text;
  }
}

TEST_F(StakeOutTest, RectangleWidthConvertsWhatIsStored) {
  struct {
    const char* stored;
    double value;
  } const cases[] = {
      {"", 0.0},  // present but empty: converted, not the default
      {"2.5m", 2.5},
      {"abc", 0.0},
      {"  -1.5e1", -15.0},
  };
  for (const auto& c : cases) {
    store("RCOB", std::string("WIDE=") + c.stored + "\r\n");
    EXPECT_EQ(GetQZJkn_RectObsWide(), c.value) << c.stored;
  }
  // Only the first 31 bytes are read: a number that ends later is lost.
  store("RCOB", "WIDE=" + std::string(28, '0') + "1.5\r\n");
  EXPECT_EQ(GetQZJkn_RectObsWide(), 1.5);
  store("RCOB", "WIDE=" + std::string(29, '0') + "1.5\r\n");
  EXPECT_EQ(GetQZJkn_RectObsWide(), 1.0);
  store("RCOB", "WIDE=" + std::string(31, '0') + "1.5\r\n");
  EXPECT_EQ(GetQZJkn_RectObsWide(), 0.0);
}

// --- Zoom scales ------------------------------------------------------------------

struct ScaleRow {
  uint16_t mode;
  double main;    // empty file
  double assist;  // empty file
  double mainStored;
  double assistStored;
};

// Stored: SML 2.5, MDL 3.5, LRG 4.5, A_SML 5.5, A_MDL 6.5, A_LRG 7.5.
const ScaleRow kScaleRows[] = {
    {0, 1.0, 0.8, 2.5, 5.5}, {1, 1.2, 1.0, 3.5, 6.5}, {2, 1.4, 1.2, 4.5, 7.5},
    {3, 1.0, 1.0, 2.5, 6.5}, {7, 1.0, 1.0, 2.5, 6.5}, {65535, 1.0, 1.0, 2.5, 6.5},
};

class ZoomScaleTest : public StakeOutTest, public ::testing::WithParamInterface<ScaleRow> {};

TEST_P(ZoomScaleTest, ModesAndFallbacks) {
  const ScaleRow& row = GetParam();
  EXPECT_EQ(GetQZJkn_ZoomModeScale(row.mode), row.main);
  EXPECT_EQ(GetQZJkn_AssistMainZoomModeScale(row.mode), row.assist);
  EXPECT_EQ(listFolder(inf("")), "");
  store("GZPROP", "SML=2.5\r\nMDL=3.5\r\nLRG=4.5\r\nA_SML=5.5\r\nA_MDL=6.5\r\nA_LRG=7.5\r\n");
  EXPECT_EQ(GetQZJkn_ZoomModeScale(row.mode), row.mainStored);
  EXPECT_EQ(GetQZJkn_AssistMainZoomModeScale(row.mode), row.assistStored);
}

INSTANTIATE_TEST_SUITE_P(All, ZoomScaleTest, ::testing::ValuesIn(kScaleRows),
                         [](const auto& info) { return "Mode" + std::to_string(info.param.mode); });

TEST_F(StakeOutTest, ZoomScalesReadEmptyAndLongTextsByFormB) {
  store("GZPROP", "MDL=1.5\r\n");
  EXPECT_EQ(GetQZJkn_ZoomModeScale(1), 1.5);
  EXPECT_EQ(GetQZJkn_ZoomModeScale(0), 1.0);
  EXPECT_EQ(GetQZJkn_ZoomModeScale(3), 1.0);

  store("GZPROP", "SML=\r\nA_MDL=\r\nLRG=x\r\nA_LRG=" + std::string(31, '0') + "2\r\n");
  EXPECT_EQ(GetQZJkn_ZoomModeScale(0), 0.0);
  EXPECT_EQ(GetQZJkn_ZoomModeScale(9), 0.0);
  EXPECT_EQ(GetQZJkn_AssistMainZoomModeScale(1), 0.0);
  EXPECT_EQ(GetQZJkn_AssistMainZoomModeScale(9), 0.0);
  EXPECT_EQ(GetQZJkn_ZoomModeScale(2), 0.0);
  EXPECT_EQ(GetQZJkn_AssistMainZoomModeScale(2), 0.0);  // the 2 lies past byte 31
  EXPECT_EQ(GetQZJkn_AssistMainZoomModeScale(0), 0.8);
}

}  // namespace
