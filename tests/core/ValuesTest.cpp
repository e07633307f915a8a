// Value kinds, paths and the file rules seen through the INI reads and writes.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "Setting.h"
#include "SettingsPaths.h"
#include "SettingsValues.h"
#include "TestRoots.h"
#include "TrassoJkn.h"

namespace trasso {
namespace {

using test::exists;
using test::listFolder;
using test::readBytes;
using test::writeBytes;

TEST(IntegerRule, ConvertsStoredTexts) {
  struct Case {
    const char* text;
    uint32_t expected;
  } cases[] = {
      {"20", 20u},
      {"-5", 0u - 5u},
      {"12abc", 12u},
      {"abc", 0u},
      {"+7", 7u},
      {"  42", 42u},
      {"4294967295", 0xFFFFFFFFu},
      {"4294967296", 0u},
      {"4294967301", 5u},
      {"-2147483648", 0x80000000u},
      {"010", 10u},
      {"0x1F", 31u},
      {"0X1F", 0u},
      {"0o17", 15u},
      {"0b101", 5u},
      {"-0x10", 0u - 16u},
      {"0x", 0u},
      {"1 ; note", 1u},
  };
  for (const auto& c : cases) EXPECT_EQ(parseIntBits(c.text), c.expected) << c.text;
}

TEST(DoubleRule, TakesTheLongestDecimalPrefix) {
  struct Case {
    const char* text;
    double expected;
  } cases[] = {{"2.5m", 2.5}, {"  -1.25", -1.25}, {"+.5", 0.5}, {"1e3x", 1000.0},
               {"abc", 0.0},  {"", 0.0},          {"inf", 0.0}, {"nan", 0.0},
               {"0x10", 0.0}, {".", 0.0},         {"7.", 7.0},  {"-0.000001", -0.000001}};
  for (const auto& c : cases) EXPECT_EQ(textToDouble(c.text), c.expected) << c.text;
}

TEST(DoubleRule, FormatsWithTheKeysDecimalsWhateverTheLocale) {
  // A decimal comma locale must not leak into the files.
  const char* previous = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  EXPECT_EQ(formatFixed(1.5, 6), "1.500000");
  EXPECT_EQ(formatFixed(1.5, 3), "1.500");
  EXPECT_EQ(formatFixed(-0.0005, 3), "-0.001");
  EXPECT_EQ(formatFixed(2.0005, 3), "2.001");  // 2.0005 is held as 2.000500000000000078...
  EXPECT_EQ(formatFixed(1e20, 6), "100000000000000000000.000000");
  EXPECT_EQ(textToDouble("3.25"), 3.25);
  if (previous) std::setlocale(LC_NUMERIC, "C");
}

TEST(ColourRule, ReadsPiecesAndWritesPaddedTriples) {
  struct Case {
    const char* text;
    uint32_t expected;
  } cases[] = {
      {"255,255,255", 0xFFFFFFu}, {"", 0xFFFFFFu},      {"0,128", 0xFF8000u},   {"  5,  0,  0", 5u},
      {",,7", 0xFFFF07u},         {"300,0,0", 44u},     {"1,2,3,4", 0x030201u}, {"-1,0,0", 0xFFu},
      {"0,,,0", 0xFF0000u},       {"x,1,2", 0x020100u},
  };
  for (const auto& c : cases) EXPECT_EQ(ColourFromText(c.text), c.expected) << c.text;
  EXPECT_EQ(ColourFromText(nullptr), 0xFFFFFFu);
  EXPECT_EQ(colourToText(0x0000FF), "255,  0,  0");
  EXPECT_EQ(colourToText(0x00FF00), "  0,255,  0");
  EXPECT_EQ(colourToText(0xFF030205), "  5,  2,  3");
  EXPECT_EQ(ColourFromText(colourToText(0x123456).c_str()), 0x123456u);
}

class SettingsPathsTest : public test::RootsTest {};

TEST_F(SettingsPathsTest, ComposesPathsFromTheRoots) {
  const std::string r0 = root(0);
  const std::string r1 = root(1);
  EXPECT_EQ(SettingsFilePath(8), r1 + "\\inf\\sound.ini");
  EXPECT_EQ(SettingsFilePath(3), r1 + "\\inf\\disp-navi.ini");
  EXPECT_EQ(SettingsFilePath(13), r1 + "\\inf\\NTrip.ini");
  EXPECT_EQ(SettingsFilePath(12), r0 + "\\inf\\jkn-gnss.ini");
  EXPECT_EQ(SettingsFilePath(0), r0 + "\\inf\\def-share.ini");
  EXPECT_EQ(SettingsFilePath(18), r0 + "\\inf\\");
  EXPECT_EQ(SettingsFilePath(-1), r0 + "\\inf\\");
  EXPECT_EQ(GetQZInf_Path(0), r0 + "\\inf\\");
  EXPECT_EQ(GetQZImg_Path(1), r1 + "\\img\\");
  EXPECT_EQ(GetQZWav_Path(0), r0 + "\\wav\\");
  EXPECT_EQ(GetQZGeoidFile_Path(), r0 + "\\geoid");
  EXPECT_EQ(GetQZGeoidFile_FullPath(), r0 + "\\geoid\\geoidn.dat");
  EXPECT_EQ(GetQZJkn_ZETR_Path(), SettingsFilePath(17));
  EXPECT_EQ(GetQZJkn_ZETR_Path(), GetQZInf_Path(0) + "jkn-zetr.ini");
  EXPECT_EQ(GetQZJkn_PL30_Path(), r0 + "\\inf\\jkn-pl30.ini");
  EXPECT_EQ(GetQZJkn_Soku_Path(), r0 + "\\inf\\jkn-soku.ini");
  trasso::test::setEnv("KORVEL_APPDATA_5", "/elsewhere");
  EXPECT_EQ(GetQZInf_Path(5), "/elsewhere\\inf\\");
  trasso::test::setEnv("KORVEL_APPDATA_5", "");
  // The root is asked anew on every call.
  trasso::test::setEnv("KORVEL_APPDATA_0", "/moved");
  EXPECT_EQ(SettingsFilePath(12), "/moved\\inf\\jkn-gnss.ini");
}

TEST_F(SettingsPathsTest, FlushAndReadsThroughNoFileCreateNothing) {
  Flush_QZJkn_ZETR_File(SettingsFilePath(17).c_str());
  Flush_QZJkn_PL30_File(nullptr);
  Flush_QZJkn_Soku_File(GetQZInf_Path(0).c_str());
  EXPECT_EQ(readIntBits(SettingsFilePath(18), "A", "x", -1), 0xFFFFFFFFu);
  EXPECT_FALSE(writeText(SettingsFilePath(18), "A", "x", "1"));
  EXPECT_EQ(listFolder(inf("")), "");
}

class ValueFiles : public test::RootsTest {
 protected:
  std::string path() const { return inf("v.ini"); }
  std::string backslashPath() const { return root(0) + "\\inf\\v.ini"; }
};

TEST_F(ValueFiles, ReadsOfAMissingFileGiveDefaultsAndCreateNothing) {
  EXPECT_EQ(readIntBits(path(), "A", "x", -1), 0xFFFFFFFFu);
  EXPECT_EQ(readText(path(), "A", "x", "dflt"), "dflt");
  EXPECT_EQ(readDoubleA(path(), "A", "x", 2.5), 2.5);
  EXPECT_EQ(readDoubleB(path(), "A", "x", "0.5"), 0.5);
  EXPECT_FALSE(readRaw(path(), "A", "x").has_value());
  EXPECT_FALSE(exists(path()));
  EXPECT_EQ(listFolder(inf("")), "");
}

TEST_F(ValueFiles, LargeFilesAreReadWholeAndOddFilesGiveDefaults) {
  std::string big = "[A]\r\n";
  for (int i = 0; i < 3000; ++i) big += "k" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
  ASSERT_GT(big.size(), 32768u);  // beyond the first read buffers
  writeBytes(path(), big);
  EXPECT_EQ(readIntBits(path(), "A", "k2999", -1), 2999u);

  // A FIFO (a console on Windows) or a folder in a file's place reads as
  // missing, without waiting.
  const std::string fifo = trasso::test::makeFifo(inf("fifo.ini"));
  ASSERT_FALSE(fifo.empty());
  EXPECT_EQ(readText(fifo, "A", "x", "dflt"), "dflt");
  EXPECT_EQ(readText(inf(""), "A", "x", "dflt"), "dflt");
}

TEST_F(ValueFiles, EmptyValuesAndCuts) {
  writeBytes(path(), "[A]\r\nempty=\r\nlong=" + std::string(300, 'x') + "\r\n");
  EXPECT_EQ(readIntBits(path(), "A", "empty", 9), 9u);
  EXPECT_EQ(readText(path(), "A", "empty", "dflt"), "");
  EXPECT_EQ(readDoubleA(path(), "A", "empty", 2.5), 2.5);
  EXPECT_EQ(readDoubleB(path(), "A", "empty", "0.5"), 0.0);
  EXPECT_EQ(readText(path(), "A", "long", ""), std::string(259, 'x'));
  EXPECT_EQ(readText(path(), "A", "long", "", 20), std::string(19, 'x'));
  EXPECT_EQ(readText(path(), "A", "missing", "abcdefgh", 4), "abc");
}

TEST_F(ValueFiles, WritesCreateRemoveAndKeepEveryOtherByte) {
  ASSERT_TRUE(writeText(backslashPath(), "A", "x", "1"));
  EXPECT_EQ(readBytes(path()), "[A]\r\nx=1\r\n");
  const std::string handEdited = "; kept\n[A]\nx=1\n\n[B]\ny=\x95\x5C\xFF\n";
  writeBytes(path(), handEdited);
  ASSERT_TRUE(writeText(path(), "A", "z", "2"));
  EXPECT_EQ(readBytes(path()), "; kept\n[A]\nx=1\nz=2\n\n[B]\ny=\x95\x5C\xFF\n");
  ASSERT_TRUE(writeText(path(), "A", "z", static_cast<const char*>(nullptr)));
  EXPECT_EQ(readBytes(path()), handEdited);
  ASSERT_TRUE(removeSection(path(), "B"));
  EXPECT_EQ(readBytes(path()), "; kept\n[A]\nx=1\n\n");
  ASSERT_TRUE(writeText(path(), "C", "k", "  5,  0,  0"));
  EXPECT_EQ(readBytes(path()), "; kept\n[A]\nx=1\n\n[C]\nk=  5,  0,  0\n");
  EXPECT_EQ(readText(path(), "C", "k", ""), "5,  0,  0");
  EXPECT_EQ(listFolder(inf("")), "v.ini\n");
}

TEST_F(ValueFiles, RemovingFromAMissingFileCreatesNothing) {
  EXPECT_TRUE(writeText(path(), "A", "x", static_cast<const char*>(nullptr)));
  EXPECT_TRUE(removeSection(path(), "A"));
  EXPECT_FALSE(exists(path()));
}

TEST_F(ValueFiles, RefusedWritesChangeNothing) {
  writeBytes(path(), "[A]\r\nx=1\r\n");
  EXPECT_FALSE(writeText(path(), "A", "x", "1\r\n[B]\r\ny=2"));
  EXPECT_FALSE(writeText(path(), "A", "x\ny", "1"));
  EXPECT_FALSE(writeText(path(), "A\r", "x", "1"));
  EXPECT_FALSE(writeText(path(), nullptr, "x", "1"));
  EXPECT_EQ(readBytes(path()), "[A]\r\nx=1\r\n");

  // A missing folder is not created.
  const std::string nowhere = root(0) + "/missing/v.ini";
  EXPECT_FALSE(writeText(nowhere, "A", "x", "1"));
  EXPECT_FALSE(exists(root(0) + "/missing"));

  // A path naming a folder fails and leaves it as it was.
  EXPECT_FALSE(writeText(inf(""), "A", "x", "1"));
  EXPECT_FALSE(writeText(root(0) + "/inf", "A", "x", "1"));
  EXPECT_EQ(listFolder(inf("")), "v.ini\n");
}

TEST_F(ValueFiles, ALeftoverTemporaryFileGoesWithTheNextWrite) {
  writeBytes(inf(".v.ini.tmp"), "[A]\r\nx=half");
  ASSERT_TRUE(writeText(path(), "A", "x", "1"));
  EXPECT_EQ(listFolder(inf("")), "v.ini\n");
  EXPECT_EQ(readBytes(path()), "[A]\r\nx=1\r\n");
}

}  // namespace
}  // namespace trasso
