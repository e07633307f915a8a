// Stake-out graphics, rectangle observation, zoom and observation screen settings.
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

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

TEST_F(StakeOutTest, EntryKeysArePrefixAndNumberWithTheCallersDefault) {
  EXPECT_EQ(GetQZJkn_SksWidth(3, 17), 17);
  EXPECT_EQ(GetQZJkn_SksType(3, -4), -4);
  EXPECT_EQ(GetQZJkn_SksColor(3, "0,128"), 0xFF8000u);
  EXPECT_EQ(GetQZJkn_SksColor(3, ""), kWhite);
  EXPECT_EQ(GetQZJkn_SksColor(3, nullptr), kWhite);
  EXPECT_EQ(GetQZJkn_SksColor(3, "1,2,0000000000000007"), 0x000201u);  // cut at 19 bytes
  EXPECT_EQ(listFolder(inf("")), "");

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
}

// --- Doubles read from texts --------------------------------------------------

struct TextDoubleRow {
  double (*get)();
  void (*put)(double);  // null: read only
  const char* section;
  const char* key;
  double def;
};

const TextDoubleRow kTextDoubleRows[] = {
    {GetQZJkn_RectObsWide, PutQZJkn_RectObsWide, "RCOB", "WIDE", 0.5},
    {[] { return GetQZJkn_ZoomModeScale(0); }, nullptr, "GZPROP", "SML", 1.0},
    {[] { return GetQZJkn_ZoomModeScale(1); }, nullptr, "GZPROP", "MDL", 1.2},
    {[] { return GetQZJkn_ZoomModeScale(2); }, nullptr, "GZPROP", "LRG", 1.4},
    {[] { return GetQZJkn_AssistMainZoomModeScale(0); }, nullptr, "GZPROP", "A_SML", 0.8},
    {[] { return GetQZJkn_AssistMainZoomModeScale(1); }, nullptr, "GZPROP", "A_MDL", 1.0},
    {[] { return GetQZJkn_AssistMainZoomModeScale(2); }, nullptr, "GZPROP", "A_LRG", 1.2},
};

class TextDoubleTest : public StakeOutTest, public ::testing::WithParamInterface<TextDoubleRow> {};

TEST_P(TextDoubleTest, DefaultTextAndWhatIsStoredAreConverted) {
  const TextDoubleRow& row = GetParam();
  EXPECT_EQ(row.get(), row.def);
  EXPECT_EQ(listFolder(inf("")), "");
  if (row.put != nullptr) {
    // Three decimals, rounded: value written, its text, the value read back.
    const std::tuple<double, const char*, double> writes[] = {
        {0.25, "0.250", 0.25}, {1.23456, "1.235", 1.235}, {-2.0, "-2.000", -2.0}};
    for (const auto& [value, text, readBack] : writes) {
      row.put(value);
      EXPECT_EQ(readBytes(share()),
                std::string("[") + row.section + "]\r\n" + row.key + "=" + text + "\r\n");
      EXPECT_EQ(row.get(), readBack) << text;
    }
  }
  const std::pair<std::string, double> cases[] = {
      {"", 0.0},  // present but empty: converted, not the default
      {"2.5m", 2.5},
      // Only the first 31 bytes are read: a number that ends later is cut.
      {std::string(28, '0') + "1.5", 1.5},
      {std::string(29, '0') + "1.5", 1.0},
      {std::string(31, '0') + "1.5", 0.0},
  };
  for (const auto& [stored, value] : cases) {
    store(row.section, row.key + ("=" + stored) + "\r\n");
    EXPECT_EQ(row.get(), value) << stored;
  }
}

INSTANTIATE_TEST_SUITE_P(All, TextDoubleTest, ::testing::ValuesIn(kTextDoubleRows),
                         [](const auto& info) { return std::string(info.param.key); });

TEST_F(StakeOutTest, ZoomModesOutsideTheTableReadTheirViewsDefaultMode) {
  for (const uint16_t mode : {3, 7, 65535}) {
    writeBytes(share(), "");
    EXPECT_EQ(GetQZJkn_ZoomModeScale(mode), 1.0) << mode;
    EXPECT_EQ(GetQZJkn_AssistMainZoomModeScale(mode), 1.0) << mode;
    store("GZPROP", "SML=2.5\r\nMDL=3.5\r\nLRG=4.5\r\nA_SML=5.5\r\nA_MDL=6.5\r\nA_LRG=7.5\r\n");
    EXPECT_EQ(GetQZJkn_ZoomModeScale(mode), 2.5) << mode;
    EXPECT_EQ(GetQZJkn_AssistMainZoomModeScale(mode), 6.5) << mode;
  }
}

}  // namespace
