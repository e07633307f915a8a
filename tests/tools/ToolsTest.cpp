// Point names (station and remainder by mode, rounding, range limits, the
// sixteen-byte cut) and geoid model files (ISG headers, version texts of ISG
// files and text grids).
#include <cfenv>
#include <initializer_list>
#include <limits>

#include "TestRoots.h"
#include "outside/DatumShiftLib.h"

namespace trasso::test {
namespace {

// Most rows name stations of 20 with three decimals, rounded half away from zero.
struct NameRow {
  int mode;
  double value;
  std::string name;
  int16_t decimals = 3;
  int16_t rule = 0;
  uint16_t interval = 20;
  const char* prefix = "No.";
};

void expectNames(std::initializer_list<NameRow> rows) {
  for (const NameRow& r : rows) {
    EXPECT_EQ(QZJknTool_MakeNoName(r.mode, r.value, r.prefix, r.interval, r.decimals, r.rule),
              r.name)
        << r.value;
  }
}

TEST(PointName, StationAndRemainderByMode) {
  expectNames({{0, 245, "No.12+ 5.000"},
               {0, 240, "No.12"},
               {0, 259.9, "No.12+19.900"},
               {1, 245, "+ 5.000"},
               {1, 240, "No.12"},
               {2, 240, "240"},
               {2, 245.5, "245.500"},
               {3, 245, ""},
               {0, 245, "12+ 5.000", 3, 0, 20, nullptr},
               // Unknown modes and interval 0 give empty text.
               {4, 245, ""},
               {-1, 245, ""},
               {0, 245, "", 3, 0, 0},
               // The remainder is right-aligned to decimals + 1 + the digits of interval.
               {0, 15, "No.2+1.00", 2, 0, 7},
               {0, 105, "No.1+  5.000", 3, 0, 100},
               {0, 65536, "No.1+     1", 0, 0, 65535},
               // Negative values are floored to the station below.
               {0, -5.5, "No.-1+14.500"},
               {0, -40, "No.-2"},
               {0, -45, "No.-3+15.000"},
               {2, -240, "-240"}});
}

TEST(PointName, RoundingRulesAndValuesJustUnderAWholeInterval) {
  // Rounded values that binary doubles hold exactly, so the remainder carries no
  // representation error into the second rounding. Rules: 0 half away from
  // zero, 1 cut, 2 up, 3 half to even.
  expectNames({{0, 245.1245, "No.12+ 5.125"},
               {0, 245.1259, "No.12+ 5.125", 3, 1},
               {0, 245.1241, "No.12+ 5.125", 3, 2},
               {0, 245.1245, "No.12+ 5.124", 3, 3},
               {0, 240.0004, "No.12"},
               {2, 245.0006, "245.000", 3, 1},
               {2, 245.4, "245", 0},
               // Values just under a whole interval.
               {0, 239.99999999999997, "No.12"},
               {0, 239.9996, "No.12"},
               {0, 239.9994, "No.11+19.999"},
               {0, 239.999999999, "No.12", 12},       // within 1e-08 of the interval
               {0, -0.000000001, "No.0", 12},         // within 1e-08 below zero
               {2, 239.99999999999997, "240.000"}});  // mode 2 looks unrounded
}

TEST(PointName, RangeLimitsAreInsideAndBeyondGiveStationZero) {
  const double inf = std::numeric_limits<double>::infinity();
  expectNames({{0, 9999999.9999, "499999+19.9999", 4, 0, 20, ""},
               {0, -999999.9999, "-50000+ 0.0001", 4, 0, 20, ""},
               {0, 10000000, "No.0", 4},
               {0, -1000000, "No.0", 4},
               {0, 9999999.9999, "No.0"},  // rounding carries it out of range
               {0, inf, "No.0"},
               {0, -inf, "No.0"},
               {0, std::numeric_limits<double>::quiet_NaN(), "No.0"},
               // Mode 2 is not limited; a value no 32-bit integer holds gives the
               // lowest, on both sides of the range.
               {2, 20000000, "20000000"},
               {2, 12345678, "12345678.000"},
               {2, 2147483646, "2147483646", 0, 0, 2},
               {2, 2147483648, "-2147483648", 0, 0, 2},
               {2, -2147483648.0, "-2147483648", 0, 0, 2},
               {2, -2147483649.0, "-2147483648", 0, 0, 1}});
  // Just beyond either end the lowest comes from the range test: converting
  // would raise FE_INVALID here and give other results on other processors.
  for (const double beyond : {2147483648.0, -2147483649.0}) {
    std::feclearexcept(FE_ALL_EXCEPT);
    EXPECT_EQ(QZJknTool_MakeNoName(2, beyond, "", 1, 0, 0), "-2147483648");
    EXPECT_FALSE(std::fetestexcept(FE_INVALID)) << beyond;
  }
}

TEST(PointName, CutAtSixteenBytesKeepsDoubleByteCharactersWhole) {
  const std::string dbcs = "\x8B\x9E";  // both bytes lie in the lead-byte range
  const std::string seven = dbcs + dbcs + dbcs + dbcs + dbcs + dbcs + dbcs;
  const std::string cutBefore = "ABCDEFGHIJKLMNO" + dbcs;
  const std::string fits = "AB" + seven;
  const std::string oneOver = "A" + seven + dbcs;
  const std::string leading = dbcs + "No.";
  expectNames({{0, 2460, "ABCDEFGHIJKLMN12", 3, 0, 20, "ABCDEFGHIJKLMN"},
               {0, 2460, "ABCDEFGHIJKLMNOP", 3, 0, 20, "ABCDEFGHIJKLMNOP"},
               {0, 245.123456789, "No.12+ 5.1234567", 10},
               {0, 20, "ABCDEFGHIJKLMNO", 3, 0, 20, cutBefore.c_str()},  // bytes 16 and 17
               {0, 240, fits, 3, 0, 20, fits.c_str()},                   // ends at byte 16
               {0, 240, "A" + seven, 3, 0, 20, oneOver.c_str()},
               {0, 20, leading + "1", 3, 0, 20, leading.c_str()}});
}

// A small ISG header in its usual layout, with the given lines before its end.
std::string isgFile(const std::string& fields, const std::string& eol = "\n") {
  return "begin_of_head ================================================" + eol +
         "model name     : HANDMADE" + eol + "model type     : gravimetric" + eol + fields +
         "end_of_head ==================================================" + eol +
         "   1.000   2.000" + eol;
}

class GeoidFileTest : public RootsTest {
 protected:
  // Writes a file into root 0; its path is given as callers write it, with a
  // backslash.
  std::string put(const std::string& name, const std::string& bytes) {
    writeBytes(root(0) + "/" + name, bytes);
    return root(0) + "\\" + name;
  }
};

TEST_F(GeoidFileTest, IsgTestAndVersionOfEachKindOfFile) {
  const std::string seven = "20.0 120.0 0.016667 0.025 1801 1201 1";
  // bytes, whether an ISG file, version
  const std::tuple<std::string, bool, const char*> rows[] = {
      // ISG files: the version gets "ver" unless it holds it in any case.
      {isgFile("ISG format     =          2.0\n"), true, "ver2.0"},
      {isgFile("ISG format     = Ver2.0\n"), true, "Ver2.0"},
      {isgFile("ISG format     = VER2\n"), true, "VER2"},
      {isgFile("ISG format = 2.0ver\nISG format = 3.0\n"), true, "2.0ver"},  // the first counts
      {isgFile("model version  : 2020a\nISG format     = 2.0\n"), true, "ver2020a"},
      {isgFile("ISG format     = 2.0\nMODEL VERSION  = rev. 3 \n"), true, "verrev. 3"},
      {isgFile("model version  : \nISG format     = 2.0\n"), true, ""},  // present but empty
      {isgFile("data units     : meters\n"), true, ""},
      {"\r\n  \r\n" + isgFile("ISG format = 1.0\r\n", "\r\n"), true, "ver1.0"},
      {"BEGIN_OF_HEAD\nISG FORMAT = 2.0\nEND_OF_HEAD\n", true, "ver2.0"},
      {"\xEF\xBB\xBF" + std::string("begin_of_head\nISG format = 2.0\nend_of_head\n"), true,
       "ver2.0"},
      // Header markers out of place: no ISG file, and no text grid either.
      {"begin_of_head\nISG format = 2.0\n", false, ""},
      {"comment\n" + isgFile("ISG format = 2.0\n"), false, ""},
      // Text grids: the space-separated fields of the first line.
      {"20.0 120.0 0.016667 0.025 1801 1201\n1 2 3 4 5 6 7 8\n", false, ""},
      {seven + "\n1 2 3\n", false, "ver1.0"},
      {seven + " ver2.1\n", false, "ver2.1"},
      {seven + " ver2.2 extra\n", false, "ver2.2"},
      {"  20.0   120.0 0.016667 0.025 1801 1201 1   Ver-2.1a  \r\n", false, "Ver-2.1a"},
      {seven + " 2.1\n", false, "2.1"},  // taken as it stands
      {"20.0\t120.0\t0.016667\t0.025\t1801\t1201\t1\tver2.1\n", false, ""},
      {"20.0\t120.0 0.016667 0.025 1801 1201 1 ver2.1\n", false, "ver1.0"},  // tab joins two
      {"\n" + seven + " ver2.1\n", false, ""},
      {seven + " ver4", false, "ver4"},  // no line break
      // Only the first 254 characters of the line are read.
      {seven + std::string(254 - seven.size() - 5, ' ') + " ver3\n", false, "ver3"},
      {seven + std::string(254 - seven.size(), ' ') + "ver3\n", false, "ver1.0"},
      {"", false, ""},
  };
  for (const auto& [bytes, isg, version] : rows) {
    const std::string path = put("model.dat", bytes);
    EXPECT_EQ(QZJknTool_IsGeoidFileISG(path.c_str()), isg) << bytes;
    EXPECT_EQ(QZJknTool_GetGeoidFileVer(path.c_str()), version) << bytes;
  }
}

TEST_F(GeoidFileTest, LibraryHandsOutHeaderValuesOnlyForIsgFiles) {
  const std::string longVersion(200, '7');
  const std::string isg = put("model.isg", isgFile("ISG format = " + longVersion + "\n"));
  char name[kGeoTextSize] = {}, type[kGeoTextSize] = {};
  std::string version(kGeoTextSize, 'x');  // shows a missing terminator
  DatumShiftLib geoid;
  EXPECT_EQ(geoid.GeoFile_IsGeoidFileISGEx(isg.c_str(), name, type, version.data()),
            DatumShiftLib::kIsgFile);
  EXPECT_STREQ(name, "HANDMADE");
  EXPECT_STREQ(type, "gravimetric");
  EXPECT_EQ(std::string(version.c_str()), longVersion.substr(0, 127));
  EXPECT_EQ(QZJknTool_GetGeoidFileVer(isg.c_str()), "ver" + longVersion.substr(0, 127));

  char untouched[kGeoTextSize] = "kept";
  const std::string grid = put("grid.dat", "1 2 3 4 5 6 7 ver2.1\n");
  EXPECT_EQ(geoid.GeoFile_IsGeoidFileISGEx(grid.c_str(), nullptr, nullptr, untouched),
            DatumShiftLib::kNotIsgFile);
  EXPECT_STREQ(untouched, "kept");
  // Missing files, folders and empty paths give nothing.
  const std::string folder = root(0), missing = folder + "/absent.dat";
  for (const char* path :
       {missing.c_str(), folder.c_str(), "", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(geoid.GeoFile_IsGeoidFileISG(path), DatumShiftLib::kNoFile) << (path ? path : "null");
    EXPECT_FALSE(QZJknTool_IsGeoidFileISG(path)) << (path ? path : "null");
    EXPECT_EQ(QZJknTool_GetGeoidFileVer(path), "") << (path ? path : "null");
  }
}

}  // namespace
}  // namespace trasso::test
