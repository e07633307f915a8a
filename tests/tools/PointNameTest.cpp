#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "TrassoJkn.h"

namespace {

struct NameRow {
  int mode;
  double value;
  const char* prefix;
  uint16_t interval;
  int16_t decimals;
  int16_t rule;
  const char* name;
};

void expectNames(const NameRow* begin, const NameRow* end) {
  for (const NameRow* row = begin; row != end; ++row) {
    EXPECT_EQ(QZJknTool_MakeNoName(row->mode, row->value, row->prefix, row->interval, row->decimals,
                                   row->rule),
              row->name)
        << "mode " << row->mode << " value " << row->value << " interval " << row->interval
        << " decimals " << row->decimals << " rule " << row->rule;
  }
}

template <size_t N>
void expectNames(const NameRow (&rows)[N]) {
  expectNames(rows, rows + N);
}

TEST(PointName, StationAndRemainderByMode) {
  const NameRow rows[] = {
      {0, 245, "No.", 20, 3, 0, "No.12+ 5.000"},
      {0, 240, "No.", 20, 3, 0, "No.12"},
      {0, 0, "No.", 20, 3, 0, "No.0"},
      {0, 259.9, "No.", 20, 3, 0, "No.12+19.900"},
      {1, 245, "No.", 20, 3, 0, "+ 5.000"},
      {1, 240, "No.", 20, 3, 0, "No.12"},
      {2, 240, "No.", 20, 3, 0, "240"},
      {2, 245.5, "No.", 20, 3, 0, "245.500"},
      {3, 245, "No.", 20, 3, 0, ""},
      {0, 245, nullptr, 20, 3, 0, "12+ 5.000"},
      {0, 245, "", 20, 3, 0, "12+ 5.000"},
  };
  expectNames(rows);
}

TEST(PointName, UnknownModesAndZeroIntervalGiveEmptyText) {
  const NameRow rows[] = {
      {4, 245, "No.", 20, 3, 0, ""},    {-1, 245, "No.", 20, 3, 0, ""},
      {1000, 245, "No.", 20, 3, 0, ""}, {0, 245, "No.", 0, 3, 0, ""},
      {2, 245, "No.", 0, 3, 0, ""},
  };
  expectNames(rows);
}

TEST(PointName, NegativeValuesAreFlooredToTheStationBelow) {
  const NameRow rows[] = {
      {0, -5.5, "No.", 20, 3, 0, "No.-1+14.500"}, {1, -5.5, "No.", 20, 3, 0, "+14.500"},
      {0, -40, "No.", 20, 3, 0, "No.-2"},         {0, -45, "No.", 20, 3, 0, "No.-3+15.000"},
      {2, -240, "No.", 20, 3, 0, "-240"},         {2, -245.5, "No.", 20, 3, 0, "-245.500"},
  };
  expectNames(rows);
}

TEST(PointName, RemainderFieldWidthFollowsTheInterval) {
  const NameRow rows[] = {
      {0, 15, "No.", 7, 2, 0, "No.2+1.00"},        // width 4
      {0, 105, "No.", 100, 3, 0, "No.1+  5.000"},  // width 7
      {0, 150.5, "No.", 100, 3, 0, "No.1+ 50.500"},
      {0, 65536, "No.", 65535, 0, 0, "No.1+     1"},             // width 6, no decimals
      {0, 245.123456789, "No.", 20, 10, 0, "No.12+ 5.1234567"},  // cut at 16 bytes
  };
  expectNames(rows);
}

TEST(PointName, RoundingRuleAppliesToValueAndRemainder) {
  const NameRow rows[] = {
      // Rounded values that binary doubles hold exactly, so the remainder
      // carries no representation error into the second rounding.
      {0, 245.1246, "No.", 20, 3, 0, "No.12+ 5.125"},  // half away from zero
      {0, 245.1245, "No.", 20, 3, 0, "No.12+ 5.125"},
      {0, 245.1259, "No.", 20, 3, 1, "No.12+ 5.125"},  // cut
      {0, 245.1241, "No.", 20, 3, 2, "No.12+ 5.125"},  // up
      {0, 245.1255, "No.", 20, 3, 3, "No.12+ 5.126"},  // half to even
      {0, 245.1245, "No.", 20, 3, 3, "No.12+ 5.124"},
      {0, 245.0006, "No.", 20, 3, 1, "No.12+ 5.000"},
      {0, 240.0004, "No.", 20, 3, 0, "No.12"},
      {2, 245.0006, "No.", 20, 3, 1, "245.000"},
      {2, 245.4, "No.", 20, 0, 0, "245"},
  };
  expectNames(rows);
}

TEST(PointName, ValuesJustUnderAWholeInterval) {
  const NameRow rows[] = {
      {0, 239.99999999999997, "No.", 20, 3, 0, "No.12"},
      {0, 239.9996, "No.", 20, 3, 0, "No.12"},
      {0, 239.9994, "No.", 20, 3, 0, "No.11+19.999"},
      // Within 1e-08 of the interval after rounding: the next station.
      {0, 239.999999999, "No.", 20, 12, 0, "No.12"},
      // Within 1e-08 below zero: station 0, not the one below.
      {0, -0.000000001, "No.", 20, 12, 0, "No.0"},
      // The unrounded value is no multiple, so mode 2 shows the decimals.
      {2, 239.99999999999997, "No.", 20, 3, 0, "240.000"},
  };
  expectNames(rows);
}

TEST(PointName, RangeLimitsAreInsideAndBeyondGiveStationZero) {
  const NameRow rows[] = {
      {0, 9999999.9999, "", 20, 4, 0, "499999+19.9999"},
      {0, -999999.9999, "", 20, 4, 0, "-50000+ 0.0001"},
      {0, 10000000, "No.", 20, 4, 0, "No.0"},
      {1, 10000000.5, "No.", 20, 4, 0, "No.0"},
      {0, -1000000, "No.", 20, 4, 0, "No.0"},
      // Rounding to three decimals carries the upper limit out of range.
      {0, 9999999.9999, "No.", 20, 3, 0, "No.0"},
      // Mode 2 is not limited.
      {2, 20000000, "No.", 20, 3, 0, "20000000"},
      {2, 12345678, "No.", 20, 3, 0, "12345678.000"},
  };
  expectNames(rows);
}

TEST(PointName, ValuesNoIntegerHoldsGiveStationZeroOrTheLowestInteger) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(QZJknTool_MakeNoName(0, inf, "No.", 20, 3, 0), "No.0");
  EXPECT_EQ(QZJknTool_MakeNoName(0, -inf, "No.", 20, 3, 0), "No.0");
  EXPECT_EQ(QZJknTool_MakeNoName(2, 4e10, "No.", 20, 3, 0), "-2147483648");
  // No crash and no undefined conversion for a value that is not a number.
  EXPECT_LE(QZJknTool_MakeNoName(0, nan, "No.", 20, 3, 0).size(), 16u);
}

TEST(PointName, CutAtSixteenBytesKeepsDoubleByteCharactersWhole) {
  const std::string dbcs = "\x8B\x9E";  // both bytes lie in the lead-byte range
  const NameRow rows[] = {
      {0, 2460, "ABCDEFGHIJKLMN", 20, 3, 0, "ABCDEFGHIJKLMN12"},
      {0, 2460, "ABCDEFGHIJKLMNOP", 20, 3, 0, "ABCDEFGHIJKLMNOP"},
  };
  expectNames(rows);
  // A character at bytes 15 and 16 is left out whole.
  EXPECT_EQ(QZJknTool_MakeNoName(0, 20, ("ABCDEFGHIJKLMNO" + dbcs).c_str(), 20, 3, 0),
            "ABCDEFGHIJKLMNO");
  // Seven characters after two letters end exactly at byte 16.
  std::string seven;
  for (int i = 0; i < 7; ++i) seven += dbcs;
  EXPECT_EQ(QZJknTool_MakeNoName(0, 240, ("AB" + seven).c_str(), 20, 3, 0), "AB" + seven);
  EXPECT_EQ(QZJknTool_MakeNoName(0, 240, ("A" + seven + dbcs).c_str(), 20, 3, 0), "A" + seven);
  // Fits without a cut: nothing is removed.
  EXPECT_EQ(QZJknTool_MakeNoName(0, 20, (dbcs + "No.").c_str(), 20, 3, 0), dbcs + "No.1");
}

}  // namespace
