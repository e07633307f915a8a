#include <gtest/gtest.h>

#include <initializer_list>
#include <limits>
#include <string>

#include "TrassoJkn.h"

namespace {

struct NameRow {
  int mode;
  double value;
  const char* prefix;
  uint16_t interval;
  int16_t decimals, rule;
  std::string name;
};

void expectNames(std::initializer_list<NameRow> rows) {
  for (const NameRow& row : rows) {
    EXPECT_EQ(
        QZJknTool_MakeNoName(row.mode, row.value, row.prefix, row.interval, row.decimals, row.rule),
        row.name)
        << row.mode << " " << row.value << " " << row.interval << " " << row.decimals << " "
        << row.rule;
  }
}

TEST(PointName, StationAndRemainderByMode) {
  expectNames({
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
      // Unknown modes and interval 0 give empty text.
      {4, 245, "No.", 20, 3, 0, ""},
      {-1, 245, "No.", 20, 3, 0, ""},
      {0, 245, "No.", 0, 3, 0, ""},
      {2, 245, "No.", 0, 3, 0, ""},
      // The remainder is right-aligned to decimals + 1 + the digits of interval.
      {0, 15, "No.", 7, 2, 0, "No.2+1.00"},
      {0, 105, "No.", 100, 3, 0, "No.1+  5.000"},
      {0, 65536, "No.", 65535, 0, 0, "No.1+     1"},
      // Negative values are floored to the station below.
      {0, -5.5, "No.", 20, 3, 0, "No.-1+14.500"},
      {1, -5.5, "No.", 20, 3, 0, "+14.500"},
      {0, -40, "No.", 20, 3, 0, "No.-2"},
      {0, -45, "No.", 20, 3, 0, "No.-3+15.000"},
      {0, -0.5, "No.", 20, 3, 0, "No.-1+19.500"},
      {2, -240, "No.", 20, 3, 0, "-240"},
  });
}

TEST(PointName, RoundingRulesAndValuesJustUnderAWholeInterval) {
  expectNames({
      // Rounded values that binary doubles hold exactly, so the remainder
      // carries no representation error into the second rounding.
      {0, 245.1245, "No.", 20, 3, 0, "No.12+ 5.125"},  // half away from zero
      {0, 245.1259, "No.", 20, 3, 1, "No.12+ 5.125"},  // cut
      {0, 245.1241, "No.", 20, 3, 2, "No.12+ 5.125"},  // up
      {0, 245.1255, "No.", 20, 3, 3, "No.12+ 5.126"},  // half to even
      {0, 245.1245, "No.", 20, 3, 3, "No.12+ 5.124"},
      {0, 245.0006, "No.", 20, 3, 1, "No.12+ 5.000"},
      {0, 240.0004, "No.", 20, 3, 0, "No.12"},
      {2, 245.0006, "No.", 20, 3, 1, "245.000"},
      {2, 245.4, "No.", 20, 0, 0, "245"},
      // Values just under a whole interval.
      {0, 239.99999999999997, "No.", 20, 3, 0, "No.12"},
      {0, 239.9996, "No.", 20, 3, 0, "No.12"},
      {0, 239.9994, "No.", 20, 3, 0, "No.11+19.999"},
      {0, 239.999999999, "No.", 20, 12, 0, "No.12"},        // within 1e-08 of the interval
      {0, -0.000000001, "No.", 20, 12, 0, "No.0"},          // within 1e-08 below zero
      {2, 239.99999999999997, "No.", 20, 3, 0, "240.000"},  // mode 2 looks unrounded
  });
}

TEST(PointName, RangeLimitsAreInsideAndBeyondGiveStationZero) {
  const double inf = std::numeric_limits<double>::infinity();
  expectNames({
      {0, 9999999.9999, "", 20, 4, 0, "499999+19.9999"},
      {0, -999999.9999, "", 20, 4, 0, "-50000+ 0.0001"},
      {0, 10000000, "No.", 20, 4, 0, "No.0"},
      {1, 10000000.5, "No.", 20, 4, 0, "No.0"},
      {0, -1000000, "No.", 20, 4, 0, "No.0"},
      {0, 9999999.9999, "No.", 20, 3, 0, "No.0"},  // rounding carries it out of range
      {0, inf, "No.", 20, 3, 0, "No.0"},
      {0, -inf, "No.", 20, 3, 0, "No.0"},
      {0, std::numeric_limits<double>::quiet_NaN(), "No.", 20, 3, 0, "No.0"},
      // Mode 2 is not limited; a value no 32-bit integer holds gives the lowest.
      {2, 20000000, "No.", 20, 3, 0, "20000000"},
      {2, 12345678, "No.", 20, 3, 0, "12345678.000"},
      {2, 4e10, "No.", 20, 3, 0, "-2147483648"},
      {2, 2147483646, "", 2, 0, 0, "2147483646"},
      {2, 2147483648, "", 2, 0, 0, "-2147483648"},
      {2, -2147483648.0, "", 2, 0, 0, "-2147483648"},
  });
}

TEST(PointName, CutAtSixteenBytesKeepsDoubleByteCharactersWhole) {
  const std::string dbcs = "\x8B\x9E";  // both bytes lie in the lead-byte range
  std::string seven;
  for (int i = 0; i < 7; ++i) seven += dbcs;
  const std::string cutBefore = "ABCDEFGHIJKLMNO" + dbcs;
  const std::string fits = "AB" + seven;
  const std::string oneOver = "A" + seven + dbcs;
  const std::string leading = dbcs + "No.";
  expectNames({
      {0, 2460, "ABCDEFGHIJKLMN", 20, 3, 0, "ABCDEFGHIJKLMN12"},
      {0, 2460, "ABCDEFGHIJKLMNOP", 20, 3, 0, "ABCDEFGHIJKLMNOP"},
      {0, 245.123456789, "No.", 20, 10, 0, "No.12+ 5.1234567"},
      {0, 20, cutBefore.c_str(), 20, 3, 0, "ABCDEFGHIJKLMNO"},  // bytes 16 and 17
      {0, 240, fits.c_str(), 20, 3, 0, fits},                   // ends at byte 16
      {0, 240, oneOver.c_str(), 20, 3, 0, "A" + seven},
      {0, 20, leading.c_str(), 20, 3, 0, leading + "1"},
  });
}

}  // namespace
