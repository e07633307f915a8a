// Total-station settings the registry walk does not reach: the Bluetooth radio
// record, automatic loading with the "no value" of "AutoLoadKH", and the prism
// text form of the prism lists' entries. Japanese texts are written as their
// code page 932 bytes.
#include <cmath>
#include <optional>

#include "TestRoots.h"

namespace trasso::test {
namespace {

std::string tsFile(const std::string& lines) { return "[TS]\r\n" + lines; }

using TsTest = RootsTest;

// A missing key gives its default over what the caller had; the keys the
// record writes and reads are RegistryWalk's.
TEST_F(TsTest, BluetoothRadioDefaultsOverStaleFields) {
  bool use = true;
  int channel = -7, network = -7;
  GetQZJkn_TS_ZETRBtRadio(use, channel, network);
  EXPECT_EQ(std::make_tuple(use, channel, network), std::make_tuple(false, 1, 1));
}

// on, kno, bno, kh, pane as GetQZJkn_TS_AutoLoad_Ex reports them.
std::tuple<int, uint32_t, uint32_t, double, int> autoLoadSetUp() {
  uint32_t kno = 7, bno = 7;
  double kh = -7.0;
  int pane = -7;
  const int on = GetQZJkn_TS_AutoLoad_Ex(&kno, &bno, &kh, &pane);
  return {on, kno, bno, kh, pane};
}

TEST_F(TsTest, AutoLoadExWritesFiveKeysInOrder) {
  const std::string path = inf("jkn-ts.ini");
  EXPECT_EQ(GetQZJkn_TS_AutoLoad(), 0);
  EXPECT_EQ(autoLoadSetUp(), std::make_tuple(0, 0u, 0u, 1e-16, 99));
  EXPECT_EQ(GetQZJkn_TS_AutoLoad_Ex(nullptr, nullptr, nullptr, nullptr), 0);
  // on, kno, bno, kh, pane; "AutoLoadKH" as stored and as read. Only exactly
  // 1e-16, the "no value", empties "AutoLoadKH"; NaN is formatted.
  const std::tuple<int, uint32_t, uint32_t, double, int, const char*, double> rows[] = {
      {2, 15, 16, 1.5, 1, "1.500", 1.5},
      {0, 4294967295u, 0, 1e-16, -3, "", 1e-16},
      {-1, 1, 2, 1.23456, 3, "1.235", 1.235},
      {1, 1, 2, 0.0, 3, "0.000", 0.0},
      {1, 1, 2, std::nan(""), 3, "nan", 0.0}};
  for (const auto& [on, kno, bno, kh, pane, khText, khRead] : rows) {
    PutQZJkn_TS_AutoLoad_Ex(on, kno, bno, kh, pane);
    EXPECT_EQ(readBytes(path),
              tsFile("AutoLoad=" + std::to_string(on) + "\r\nAutoLoadKno=" + std::to_string(kno) +
                     "\r\nAutoLoadBno=" + std::to_string(bno) + "\r\nAutoLoadKH=" + khText +
                     "\r\nAutoLoadObsPane=" + std::to_string(pane) + "\r\n"));
    EXPECT_EQ(autoLoadSetUp(), std::make_tuple(on != 0 ? 1 : 0, kno, bno, khRead, pane));
    EXPECT_EQ(GetQZJkn_TS_AutoLoad(), on);
  }
}

// Switching automatic loading on or off forgets the set-up and keeps other keys.
TEST_F(TsTest, AutoLoadResetsTheSetUpUnlessTheFileIsReadOnly) {
  const std::string path = inf("jkn-ts.ini");
  // "AutoLoadKH" is read through 32 bytes: its last digit here is not seen.
  writeBytes(path, tsFile("AutoLoadKH=0." + std::string(28, '0') + "55\r\nAutoLoadKno=44\r\n"));
  EXPECT_EQ(std::get<3>(autoLoadSetUp()), 5e-29);
  PutQZJkn_TS_AutoLoad(5);
  EXPECT_EQ(readBytes(path),
            tsFile("AutoLoadKH=\r\nAutoLoadKno=0\r\nAutoLoad=5\r\nAutoLoadBno=0\r\n"
                   "AutoLoadObsPane=99\r\n"));
  EXPECT_EQ(autoLoadSetUp(), std::make_tuple(1, 0u, 0u, 1e-16, 99));
  // A read-only file is left as it is.
  const std::string before = readBytes(path);
  makeReadOnly(path);
  PutQZJkn_TS_AutoLoad(1);
  EXPECT_EQ(readBytes(path), before);
}

// "mm" and the full-width colon.
const std::string kMark = "mm\x81\x46";
// "(no name given)", as the lists' default entry carries it.
const std::string kNoName = "(\x96\xBC\x91\x4F\x8E\x77\x92\xE8\x82\xC8\x82\xB5)";
// A katakana word; a katakana character whose second byte is an "m", then "mm"
// and the colon: a byte-wise search would take its second byte for an "m".
const std::string kPrismWord = "\x83\x76\x83\x8A\x83\x59\x83\x80", kNoMark = "\x83\x6Dm\x81\x46";

constexpr int kKept = 4242;

// The entry (none: a null pointer); the result, the value (kKept when it must
// not change) and the name ("kept" when it must not change).
const std::tuple<std::optional<std::string>, int, int, std::string> kParses[] = {
    {"-000" + kMark + kNoName, 1, 0, kNoName}, {"  -30" + kMark + "  two words  ", 1, -30, "two"},
    {"999" + kMark + "\tX\t", 1, 999, "X"},    {"-999" + kMark + kPrismWord, 1, -999, kPrismWord},
    {"5-" + kMark + "a", 1, 5, "a"},           {"30" + kMark + "A" + kMark + "B", 1, 30, "A"},
    {"--5" + kMark + "a", 1, 0, "a"},          {"30", 1, 30, ""},
    {"30" + kMark + kNoMark, 1, 30, kNoMark},  {"30 X", 1, 30, "X"},
    {"12345" + kMark + "X", 0, kKept, "kept"}, {"\x82\x4F" + kMark + "X", 0, kKept, "kept"},
    {"1000" + kMark + "X", 0, 1000, "kept"},   {"30mm:X", 0, kKept, "kept"},
    {"+5" + kMark + "X", 0, kKept, "kept"},    {"", 0, kKept, "kept"},
    {std::nullopt, 0, kKept, "kept"},          {kMark, 0, kKept, "kept"}};

TEST(PrismText, ParsesEntries) {
  for (const auto& [entry, result, expectedValue, expectedName] : kParses) {
    int value = kKept;
    std::string name = "kept";
    const int got = GetQZJkn_TS_Psm_FromStr(entry ? entry->c_str() : nullptr, value, name);
    EXPECT_EQ(std::tie(got, value, name), std::tie(result, expectedValue, expectedName))
        << entry.value_or("null");
  }
}

TEST(PrismText, Formats) {
  EXPECT_EQ(PutQZJkn_TS_Psm_ToStr(kPrismWord.c_str(), -30), "-30" + kMark + kPrismWord);
  EXPECT_EQ(PutQZJkn_TS_Psm_ToStr("", 0), "0" + kMark);
  EXPECT_EQ(PutQZJkn_TS_Psm_ToStr("X", 12345), "12345" + kMark + "X");
  EXPECT_EQ(PutQZJkn_TS_Psm_ToStr(nullptr, 7), "7" + kMark);
}

}  // namespace
}  // namespace trasso::test
