// Value kinds, paths and the file rules seen through the INI reads and writes.

#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "JsonText.h"
#include "SettingsPaths.h"
#include "SettingsValues.h"
#include "TestRoots.h"

namespace trasso::test {
namespace {

// Decimal, modulo 2^32, with lowercase prefixes only.
TEST(ValueRules, IntegersWrapAndTakeLowercasePrefixes) {
  const std::pair<const char*, uint32_t> cases[] = {
      {"20", 20u},         {"-5", 0u - 5u},    {"+7", 7u},
      {" \t42", 42u},      {"9z", 9u},         {"z", 0u},
      {"4294967295", ~0u}, {"4294967301", 5u}, {"-2147483648", 1u << 31},
      {"010", 10u},        {"0x1F", 31u},      {"0xaF", 175u},
      {"0o17", 15u},       {"0b101", 5u},      {"0X1F", 0u},
      {"0o8", 0u},         {"0b102", 2u},      {"-0x10", 0u - 16},
      {"0x", 0u},          {"1 ; x", 1u}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(parseIntBits(text), expected) << text;
  EXPECT_EQ(textToIntBits("0x10"), 0u);
  EXPECT_EQ(textToIntBits(" -7z"), 0u - 7u);
}

// Where the integer rule stops reading and what it took, as jkn check explains it.
TEST(ValueRules, IntegerReadingSaysWhereItStopped) {
  // Text, negative, base, digits, stop, magnitude, wrapped.
  using Row = std::tuple<const char*, bool, unsigned, size_t, size_t, uint32_t, bool>;
  const Row rows[] = {
      {"42", false, 10, 2, 2, 42, false},         {"-0x1g", true, 16, 1, 4, 1, false},
      {"0x", false, 10, 1, 1, 0, false},          {"0b2", false, 10, 1, 1, 0, false},
      {"0X1F", false, 10, 1, 1, 0, false},        {"12ab", false, 10, 2, 2, 12, false},
      {"+", false, 10, 0, 1, 0, false},           {"x5", false, 10, 0, 0, 0, false},
      {" 7", false, 10, 1, 2, 7, false},          {"4294967295", false, 10, 10, 10, ~0u, false},
      {"4294967296", false, 10, 10, 10, 0, true}, {"0o777", false, 8, 3, 5, 511, false},
      {"0x100000000", false, 16, 9, 11, 0, true}, {"", false, 10, 0, 0, 0, false}};
  for (const Row& row : rows) {
    const char* text = std::get<0>(row);
    const IntReading r = readInteger(text);
    EXPECT_EQ(Row(text, r.negative, r.base, r.digits, r.stop, r.magnitude, r.wrapped), row);
    EXPECT_EQ(r.bits(), parseIntBits(text)) << text;
  }
}

TEST(ValueRules, DoublesReadTheLongestDecimalPrefixAndWriteWhateverTheLocale) {
  for (const auto& [text, value] : kDecimalTexts) EXPECT_EQ(textToDouble(text), value) << text;
  // A decimal comma locale must not leak into the files.
  const char* previous = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  EXPECT_EQ(formatFixed(1.5, 6), "1.500000");
  EXPECT_EQ(formatFixed(-0.0005, 3), "-0.001");
  EXPECT_EQ(formatFixed(2.0005, 3), "2.001");  // held as 2.000500000000000078...
  EXPECT_EQ(formatFixed(1e20, 6), "100000000000000000000.000000");
  EXPECT_EQ(textToDouble("3.25"), 3.25);
  if (previous) std::setlocale(LC_NUMERIC, "C");
}

// The JSON writer writes only JSON: a number JSON cannot hold is null, an
// empty object or array its braces.
TEST(JsonText, NonFiniteNumbersAreNullAndEmptyContainersBraces) {
  JsonValue v = JsonValue::object();
  v.set("a", std::nan(""));
  v.set("b", -HUGE_VAL);
  v.set("c", JsonValue::object());
  v.set("d", JsonValue::array());
  EXPECT_EQ(v.dumpLine(), R"({"a": null, "b": null, "c": {}, "d": []})");
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

class ValueFiles : public RootsTest {
 protected:
  std::string path() const { return inf("v.ini"); }
};

TEST_F(ValueFiles, CatalogueFilesAndFoldersComeFromTheRootsOfTheMoment) {
  using F = SettingsFile;
  // In the order of the ids; ids 3, 8 and 13 lie in root 1.
  const F files[] = {F::DefShare, F::DefTs,   F::DefNmea,    F::DispNavi, F::DispTs,  F::DispNmea,
                     F::JknTs,    F::JknNmea, F::Sound,      F::DispTsh,  F::DefGnss, F::DispGnss,
                     F::JknGnss,  F::NTrip,   F::JknGnssRtk, F::JknPl30,  F::JknSoku, F::JknZetr};
  std::istringstream names(
      "def-share.ini def-ts.ini def-nmea.ini disp-navi.ini disp-ts.ini disp-nmea.ini jkn-ts.ini "
      "jkn-nmea.ini sound.ini disp-tsh.ini def-gnss.ini disp-gnss.ini jkn-gnss.ini NTrip.ini "
      "jkn-gnss-rtk.ini jkn-pl30.ini jkn-soku.ini jkn-zetr.ini");
  std::string name;
  for (int id = 0; names >> name; ++id) {
    EXPECT_EQ(static_cast<int>(files[id]), id) << name;
    EXPECT_EQ(SettingsFilePath(files[id]), root(id == 3 || id == 8 || id == 13) + "\\inf\\" + name);
    EXPECT_EQ(SettingsFileName(id), name);
  }
  for (const int id : {18, -1, INT_MAX, INT_MIN}) EXPECT_EQ(SettingsFileName(id), nullptr) << id;
  const std::string inf0 = root(0) + "\\inf\\";
  EXPECT_EQ(SettingsFilePath(18) + SettingsFilePath(-1) + GetQZInf_Path(0), inf0 + inf0 + inf0);
  EXPECT_EQ(GetQZImg_Path(1) + GetQZWav_Path(0), root(1) + "\\img\\" + root(0) + "\\wav\\");
  EXPECT_EQ(GetQZGeoidFile_FullPath(), root(0) + "\\geoid\\geoidn.dat");
  EXPECT_EQ(GetQZJkn_ZETR_Path() + GetQZJkn_PL30_Path() + GetQZJkn_Soku_Path(),
            inf0 + "jkn-zetr.ini" + inf0 + "jkn-pl30.ini" + inf0 + "jkn-soku.ini");
  setEnv("KORVEL_APPDATA_0", "/moved");
  EXPECT_EQ(GetQZGeoidFile_Path(), "/moved\\geoid");
}

#ifndef _WIN32
// Root n is $KORVEL_APPDATA_<n> when set and not empty; otherwise root 0 lies
// in the XDG configuration folder, the others in the XDG data folder, numbered
// above 1; without those folders, under the home folder.
TEST_F(ValueFiles, RootsFromTheEnvironment) {
  const char* const names[] = {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "HOME"};
  std::string saved[3];
  for (int i = 0; i < 3; ++i) saved[i] = std::getenv(names[i]) ? std::getenv(names[i]) : "";
  auto roots = [] {
    std::string out;
    for (const int n : {0, 1, 2, 13, 12, -1}) out += GetQZInf_Path(n) + "|";
    return out;
  };
  setEnv("KORVEL_APPDATA_12", "/twelve");
  setEnv("KORVEL_APPDATA_-1", "/minus");
  ::setenv("KORVEL_APPDATA_0", "", 1);  // set but empty
  setEnv("KORVEL_APPDATA_1", "");
  setEnv("XDG_CONFIG_HOME", "/xc");
  setEnv("XDG_DATA_HOME", "/xd");
  EXPECT_EQ(roots(),
            "/xc/TrassoJkn\\inf\\|/xd/TrassoJkn\\inf\\|/xd/TrassoJkn2\\inf\\|"
            "/xd/TrassoJkn13\\inf\\|/twelve\\inf\\|/minus\\inf\\|");
  ::setenv("XDG_CONFIG_HOME", "", 1);
  setEnv("XDG_DATA_HOME", "");
  setEnv("KORVEL_APPDATA_12", "");
  setEnv("HOME", "/h");
  EXPECT_EQ(roots(),
            "/h/.config/TrassoJkn\\inf\\|/h/.local/share/TrassoJkn\\inf\\|"
            "/h/.local/share/TrassoJkn2\\inf\\|/h/.local/share/TrassoJkn13\\inf\\|"
            "/h/.local/share/TrassoJkn12\\inf\\|/minus\\inf\\|");
  setEnv("KORVEL_APPDATA_-1", "");
  for (int i = 0; i < 3; ++i) setEnv(names[i], saved[i]);
}
#endif

TEST_F(ValueFiles, ReadsGiveDefaultsWhereNothingIsAndCreateNothing) {
  const std::string fifo = makeFifo(inf("fifo.ini"));
  ASSERT_FALSE(fifo.empty());
  // Missing, an id without file, a FIFO (a console on Windows: no waiting) and a
  // folder read as missing; a default is cut to the buffer too.
  for (const std::string& p : {path(), SettingsFilePath(18), fifo, inf("")})
    EXPECT_EQ(readText(p, "A", "x", "dflt", 4) + readText(p, "A", "x", "dflt", 0) +
                  readRaw(p, "A", "x").value_or("none"),
              "dflnone");
  Flush_QZJkn_ZETR_File(GetQZJkn_ZETR_Path().c_str());
  Flush_QZJkn_PL30_File(nullptr);
  Flush_QZJkn_Soku_File(inf("").c_str());
  EXPECT_EQ(writeText(SettingsFilePath(18), "A", "x", "1"), WriteStatus::NotAFile);
  EXPECT_EQ(listFolder(inf("")), fifo == inf("fifo.ini") ? "fifo.ini\n" : "");
  // A file larger than the first read buffer is read whole.
  std::string big = "[A]\r\n";
  for (int i = 0; i < 3000; ++i) big += "k" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
  writeBytes(path(), big);
  EXPECT_EQ(readIntBits(path(), "A", "k2999", -1), 2999u);
}

// A temporary file a killed writer left goes with the next write; removing
// from a missing file succeeds and creates nothing.
TEST_F(ValueFiles, WritesAndRemovalsKeepEveryOtherByte) {
  writeBytes(inf(".v.ini.tmp"), "[A]\r\nx=half");
  EXPECT_EQ(writeText(path(), "A", "x", static_cast<const char*>(nullptr)), kUnchanged);
  EXPECT_EQ(removeSection(path(), "A"), kUnchanged);
  EXPECT_FALSE(exists(path()));
  ASSERT_EQ(writeText(root(0) + "\\inf\\v.ini", "A", "x", "1"), kWritten);
  EXPECT_EQ(readBytes(path()), "[A]\r\nx=1\r\n");
  const std::string handEdited = "; kept\n[A]\nx=1\n\n[B]\ny=\x95\x5C\xFF\n";
  writeBytes(path(), handEdited);
  ASSERT_EQ(writeText(path(), "A", "z", "2"), kWritten);
  EXPECT_EQ(readBytes(path()), "; kept\n[A]\nx=1\nz=2\n\n[B]\ny=\x95\x5C\xFF\n");
  ASSERT_EQ(writeText(path(), "A", "z", static_cast<const char*>(nullptr)), kWritten);
  EXPECT_EQ(writeText(path(), "A", "z", static_cast<const char*>(nullptr)), kUnchanged);
  EXPECT_EQ(readBytes(path()), handEdited);
  ASSERT_EQ(removeSection(path(), "B"), kWritten);
  EXPECT_EQ(readBytes(path()), "; kept\n[A]\nx=1\n\n");
  EXPECT_EQ(listFolder(inf("")), "v.ini\n");
}

// Names and values that would not read back as written are refused, leaving
// the file as it was; what would is stored as given.
TEST_F(ValueFiles, RefusedWritesChangeAndCreateNothing) {
  writeBytes(path(), "[A]\r\nx=1\r\n");
  // Section, key, value.
  const std::tuple<const char*, const char*, std::string_view> refused[] = {
      {"A", "", "1"},      {"A", " x", "1"},     {"A", "x ", "1"},    {"A", "x", "1\r\n[B]\r\ny=2"},
      {" A", "x", "1"},    {"A", "a=b", "1"},    {"A", "[x]", "1"},   {"A", "x", {"a\0b", 3}},
      {"A\t", "x", "1"},   {"A", "x", "a\rb"},   {"A", "x", "a\nb"},  {"A", "a\nb", "1"},
      {"A", "a\rb", "1"},  {"\x83", "x", "1"},   {"A\x1A", "x", "1"}, {nullptr, "x", "1"},
      {"A", nullptr, "1"}, {"A\r\n[B", "x", "1"}};
  for (const auto& [section, key, value] : refused)
    EXPECT_EQ(writeText(path(), section, key, value), WriteStatus::Refused)
        << section << " " << key << " " << value;
  EXPECT_EQ(removeSection(path(), nullptr), WriteStatus::Refused);
  EXPECT_EQ(readBytes(path()), "[A]\r\nx=1\r\n");
  EXPECT_EQ(writeText(root(0) + "/missing/v.ini", "A", "x", "1"), WriteStatus::FolderMissing);
  EXPECT_EQ(writeText(root(0) + "/inf", "A", "x", "1"), WriteStatus::FileIsFolder);
  EXPECT_EQ(listFolder(root(0)), "inf\n");
  EXPECT_EQ(listFolder(inf("")), "v.ini\n");
  ASSERT_EQ(writeText(path(), "A] [B", "x]", "\x81\x40 \x01\x7F\xFF\t"), kWritten);
  ASSERT_EQ(writeText(path(), "\x83\x40", "\x83\x5B", "1"), kWritten);
  ASSERT_EQ(writeText(path(), "", "Page", "2"), kWritten);
  EXPECT_EQ(
      readBytes(path()),
      "[A]\r\nx=1\r\n[A] [B]\r\nx]=\x81\x40 \x01\x7F\xFF\t\r\n[\x83\x40]\r\n\x83\x5B=1\r\n[]\r\n"
      "Page=2\r\n");
  EXPECT_EQ(readRaw(path(), "", "Page").value_or("missing"), "2");
}

}  // namespace
}  // namespace trasso::test
