// Value kinds, paths and the file rules seen through the INI reads and writes.
#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <utility>

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

TEST(ValueRules, IntegersWrapAndTakeLowercasePrefixes) {
  using Case = std::pair<const char*, uint32_t>;
  const Case cases[] = {
      {"20", 20u},         {"-5", 0u - 5u},    {"+7", 7u},
      {" \t42", 42u},      {"9z", 9u},         {"z", 0u},                  // decimal
      {"4294967295", ~0u}, {"4294967301", 5u}, {"-2147483648", 1u << 31},  // modulo 2^32
      {"010", 10u},        {"0x1F", 31u},      {"0xaF", 175u},
      {"0o17", 15u},       {"0b101", 5u},  // prefixes
      {"0X1F", 0u},        {"0o8", 0u},        {"0b102", 2u},
      {"-0x10", 0u - 16},  {"0x", 0u},         {"1 ; x", 1u}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(parseIntBits(text), expected) << text;
  EXPECT_EQ(textToIntBits("0x10"), 0u);
  EXPECT_EQ(textToIntBits(" -7z"), 0u - 7u);
}

TEST(ValueRules, DoublesReadTheLongestDecimalPrefixAndWriteWhateverTheLocale) {
  for (const auto& [text, value] : test::kDecimalTexts)
    EXPECT_EQ(textToDouble(text), value) << text;
  // A decimal comma locale must not leak into the files.
  const char* previous = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  EXPECT_EQ(formatFixed(1.5, 6), "1.500000");
  EXPECT_EQ(formatFixed(-0.0005, 3), "-0.001");
  EXPECT_EQ(formatFixed(2.0005, 3), "2.001");  // held as 2.000500000000000078...
  EXPECT_EQ(formatFixed(1e20, 6), "100000000000000000000.000000");
  EXPECT_EQ(textToDouble("3.25"), 3.25);
  if (previous) std::setlocale(LC_NUMERIC, "C");
}

TEST(ValueRules, ColoursReadPiecesAndWritePaddedTriples) {
  const std::pair<const char*, uint32_t> cases[] = {
      {"255,255,255", 0xFFFFFFu}, {"", 0xFFFFFFu},     {"0,128", 0xFF8000u},   {"  5,  0,  0", 5u},
      {",,7", 0xFFFF07u},         {"300,0,0", 44u},    {"1,2,3,4", 0x030201u}, {"-1,0,0", 0xFFu},
      {"0,,,0", 0xFF0000u},       {"x,1,2", 0x020100u}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(ColourFromText(text), expected) << text;
  EXPECT_EQ(ColourFromText(nullptr), 0xFFFFFFu);
  EXPECT_EQ(colourToText(0x0000FF), "255,  0,  0");
  EXPECT_EQ(colourToText(0xFF030205), "  5,  2,  3");
}

class ValueFiles : public test::RootsTest {
 protected:
  std::string path() const { return inf("v.ini"); }
};

TEST_F(ValueFiles, CatalogueFilesAndFoldersComeFromTheRootsOfTheMoment) {
  using F = SettingsFile;
  const std::pair<F, const char*> catalogue[] = {// in the order of the ids
                                                 {F::DefShare, "def-share.ini"},
                                                 {F::DefTs, "def-ts.ini"},
                                                 {F::DefNmea, "def-nmea.ini"},
                                                 {F::DispNavi, "disp-navi.ini"},
                                                 {F::DispTs, "disp-ts.ini"},
                                                 {F::DispNmea, "disp-nmea.ini"},
                                                 {F::JknTs, "jkn-ts.ini"},
                                                 {F::JknNmea, "jkn-nmea.ini"},
                                                 {F::Sound, "sound.ini"},
                                                 {F::DispTsh, "disp-tsh.ini"},
                                                 {F::DefGnss, "def-gnss.ini"},
                                                 {F::DispGnss, "disp-gnss.ini"},
                                                 {F::JknGnss, "jkn-gnss.ini"},
                                                 {F::NTrip, "NTrip.ini"},
                                                 {F::JknGnssRtk, "jkn-gnss-rtk.ini"},
                                                 {F::JknPl30, "jkn-pl30.ini"},
                                                 {F::JknSoku, "jkn-soku.ini"},
                                                 {F::JknZetr, "jkn-zetr.ini"}};
  for (int id = 0; id < 18; ++id) {
    const auto [file, name] = catalogue[id];
    const int rootNumber = id == 3 || id == 8 || id == 13 ? 1 : 0;
    EXPECT_EQ(static_cast<int>(file), id) << name;
    EXPECT_EQ(SettingsFilePath(file), root(rootNumber) + "\\inf\\" + name);
    EXPECT_EQ(SettingsFileName(id), std::string(name));
  }
  const std::string inf0 = root(0) + "\\inf\\";
  EXPECT_EQ(SettingsFilePath(18) + SettingsFilePath(-1) + GetQZInf_Path(0), inf0 + inf0 + inf0);
  EXPECT_EQ(GetQZImg_Path(1), root(1) + "\\img\\");
  EXPECT_EQ(GetQZWav_Path(0), root(0) + "\\wav\\");
  EXPECT_EQ(GetQZGeoidFile_FullPath(), root(0) + "\\geoid\\geoidn.dat");
  EXPECT_EQ(GetQZJkn_ZETR_Path() + GetQZJkn_PL30_Path() + GetQZJkn_Soku_Path(),
            inf0 + "jkn-zetr.ini" + inf0 + "jkn-pl30.ini" + inf0 + "jkn-soku.ini");
  test::setEnv("KORVEL_APPDATA_5", "/elsewhere");
  EXPECT_EQ(GetQZInf_Path(5), "/elsewhere\\inf\\");
  test::setEnv("KORVEL_APPDATA_5", "");
  test::setEnv("KORVEL_APPDATA_0", "/moved");
  EXPECT_EQ(GetQZGeoidFile_Path(), "/moved\\geoid");
}

TEST_F(ValueFiles, ReadsGiveDefaultsWhereNothingIsAndCreateNothing) {
  const std::string fifo = test::makeFifo(inf("fifo.ini"));
  ASSERT_FALSE(fifo.empty());
  // Missing, an id without file, a FIFO (a console on Windows: no waiting) and a
  // folder read as missing.
  for (const std::string& p : {path(), SettingsFilePath(18), fifo, inf("")}) {
    EXPECT_EQ(readIntBits(p, "A", "x", -1), 0xFFFFFFFFu) << p;
    EXPECT_EQ(readText(p, "A", "x", "dflt"), "dflt");
    EXPECT_EQ(readDoubleA(p, "A", "x", 2.5), 2.5);
    EXPECT_EQ(readDoubleB(p, "A", "x", "0.5"), 0.5);
    EXPECT_FALSE(readRaw(p, "A", "x").has_value());
  }
  Flush_QZJkn_ZETR_File(GetQZJkn_ZETR_Path().c_str());
  Flush_QZJkn_PL30_File(nullptr);
  Flush_QZJkn_Soku_File(inf("").c_str());
  EXPECT_FALSE(writeText(SettingsFilePath(18), "A", "x", "1"));
  EXPECT_EQ(listFolder(inf("")), fifo == inf("fifo.ini") ? "fifo.ini\n" : "");
}

TEST_F(ValueFiles, EmptyValuesCutsAndFilesLargerThanTheFirstBuffer) {
  std::string big = "[A]\r\nempty=\r\nlong=" + std::string(300, 'x') + "\r\n";
  for (int i = 0; i < 3000; ++i) big += "k" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
  writeBytes(path(), big);
  EXPECT_EQ(readIntBits(path(), "A", "k2999", -1), 2999u);
  EXPECT_EQ(readIntBits(path(), "A", "empty", 9), 9u);
  EXPECT_EQ(readText(path(), "A", "empty", "dflt"), "");
  EXPECT_EQ(readDoubleA(path(), "A", "empty", 2.5), 2.5);
  EXPECT_EQ(readDoubleB(path(), "A", "empty", "0.5"), 0.0);
  EXPECT_EQ(readText(path(), "A", "long", ""), std::string(259, 'x'));
  EXPECT_EQ(readText(path(), "A", "long", "", 20), std::string(19, 'x'));
  EXPECT_EQ(readText(path(), "A", "missing", "abcdefgh", 4), "abc");
  EXPECT_EQ(readText(path(), "A", "missing", "abcdefgh", 0), "");
}

TEST_F(ValueFiles, WritesAndRemovalsKeepEveryOtherByte) {
  // Removing from a missing file succeeds and creates nothing.
  EXPECT_TRUE(writeText(path(), "A", "x", static_cast<const char*>(nullptr)));
  EXPECT_TRUE(removeSection(path(), "A"));
  EXPECT_FALSE(exists(path()));
  ASSERT_TRUE(writeText(root(0) + "\\inf\\v.ini", "A", "x", "1"));
  EXPECT_EQ(readBytes(path()), "[A]\r\nx=1\r\n");
  const std::string handEdited = "; kept\n[A]\nx=1\n\n[B]\ny=\x95\x5C\xFF\n";
  writeBytes(path(), handEdited);
  ASSERT_TRUE(writeText(path(), "A", "z", "2"));
  EXPECT_EQ(readBytes(path()), "; kept\n[A]\nx=1\nz=2\n\n[B]\ny=\x95\x5C\xFF\n");
  ASSERT_TRUE(writeText(path(), "A", "z", static_cast<const char*>(nullptr)));
  EXPECT_EQ(readBytes(path()), handEdited);
  ASSERT_TRUE(writeText(path(), "A", "gone", static_cast<const char*>(nullptr)));
  ASSERT_TRUE(removeSection(path(), "C"));
  EXPECT_EQ(readBytes(path()), handEdited);
  ASSERT_TRUE(removeSection(path(), "B"));
  EXPECT_EQ(readBytes(path()), "; kept\n[A]\nx=1\n\n");
  EXPECT_EQ(listFolder(inf("")), "v.ini\n");
}

TEST_F(ValueFiles, RefusedWritesChangeAndCreateNothing) {
  writeBytes(path(), "[A]\r\nx=1\r\n");
  EXPECT_FALSE(writeText(path(), "A", "x", "1\r\n[B]\r\ny=2"));
  EXPECT_FALSE(writeText(path(), "A", "x\ny", "1"));
  EXPECT_FALSE(writeText(path(), "A\r", "x", "1"));
  EXPECT_FALSE(writeText(path(), nullptr, "x", "1"));
  EXPECT_FALSE(writeText(path(), "A", nullptr, "1"));
  EXPECT_FALSE(removeSection(path(), nullptr));
  EXPECT_EQ(readBytes(path()), "[A]\r\nx=1\r\n");
  EXPECT_FALSE(writeText(root(0) + "/missing/v.ini", "A", "x", "1"));
  EXPECT_FALSE(writeText(root(0) + "/inf", "A", "x", "1"));
  EXPECT_EQ(listFolder(root(0)), "inf\n");
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
