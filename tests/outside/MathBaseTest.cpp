#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "outside/MathBase.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

double marRtn(double value, int decimals, int rule) { return Svy_MarRtn(&value, decimals, rule); }

std::string dtoa(double value, int digits) {
  // Guard bytes after the 20-byte buffer catch a write past its end.
  char buffer[kDtoABufferSize + 8];
  std::memset(buffer, '#', sizeof buffer);
  _DtoA(&value, buffer, digits);
  EXPECT_EQ(std::string(buffer + kDtoABufferSize, 8), std::string(8, '#'));
  return buffer;
}

struct RoundingRow {
  double value;
  int decimals;
  double halfAway;  // rule 0
  double cut;       // rule 1
  double up;        // rule 2
  double halfEven;  // rule 3
};

// Every rule on the same values, so each row shows how the rules differ.
const RoundingRow kRoundingRows[] = {
    {2.5, 0, 3.0, 2.0, 3.0, 2.0},
    {3.5, 0, 4.0, 3.0, 4.0, 4.0},
    {-2.5, 0, -3.0, -2.0, -3.0, -2.0},
    {0.5, 0, 1.0, 0.0, 1.0, 0.0},
    // Not held exactly by a double (2.67499999... and 1.00499999...); the rules
    // act on the decimal text, as a surveyor reads the value.
    {2.675, 2, 2.68, 2.67, 2.68, 2.68},
    {1.005, 2, 1.01, 1.0, 1.01, 1.0},
    {-2.675, 2, -2.68, -2.67, -2.68, -2.68},
    {1.2341, 3, 1.234, 1.234, 1.235, 1.234},
    {1.2349, 3, 1.235, 1.234, 1.235, 1.235},
    // Sums that miss their decimal value (0.30000000000000004, 3.3000000000000003):
    // only up rounds what lies beyond the kept digits, however small.
    {0.1 + 0.2, 1, 0.3, 0.3, 0.4, 0.3},
    {1.1 + 2.2, 2, 3.3, 3.3, 3.31, 3.3},
    // A five followed by more digits is above the half under every rule.
    {2.50001, 0, 3.0, 2.0, 3.0, 3.0},
    // Carries through nines, also into a new leading digit.
    {9.995, 2, 10.0, 9.99, 10.0, 10.0},
    // Nothing to drop: the value comes back unchanged.
    {1.25, 2, 1.25, 1.25, 1.25, 1.25},
    // Large values keep their integer digits.
    {123456789012.345, 2, 123456789012.35, 123456789012.34, 123456789012.35, 123456789012.34},
    {4503599627370495.5, 0, 4503599627370496.0, 4503599627370495.0, 4503599627370496.0,
     4503599627370496.0},
    {1e20, 3, 1e20, 1e20, 1e20, 1e20},
};

TEST(SvyMarRtn, RoundsByEachRule) {
  for (const RoundingRow& row : kRoundingRows) {
    SCOPED_TRACE(testing::Message() << row.value << " to " << row.decimals);
    EXPECT_EQ(marRtn(row.value, row.decimals, 0), row.halfAway);
    EXPECT_EQ(marRtn(row.value, row.decimals, 1), row.cut);
    EXPECT_EQ(marRtn(row.value, row.decimals, 2), row.up);
    EXPECT_EQ(marRtn(row.value, row.decimals, 3), row.halfEven);
  }
}

TEST(SvyMarRtn, UnknownRulesActAsHalfAwayAndNegativeDecimalsAsZero) {
  for (int rule : {-1, 4, 99}) {
    SCOPED_TRACE(rule);
    EXPECT_EQ(marRtn(2.675, 2, rule), 2.68);
    EXPECT_EQ(marRtn(-2.5, 0, rule), -3.0);
  }
  EXPECT_EQ(marRtn(2.5, -3, 0), 3.0);
  EXPECT_EQ(marRtn(2.4, -1, 2), 3.0);
}

TEST(SvyMarRtn, LeavesOperandAndNeverGivesNegativeZero) {
  double value = -0.004;
  const double rounded = Svy_MarRtn(&value, 2, 0);
  EXPECT_EQ(value, -0.004);
  EXPECT_EQ(rounded, 0.0);
  EXPECT_FALSE(std::signbit(rounded));
  EXPECT_FALSE(std::signbit(marRtn(-0.4, 0, 1)));
  EXPECT_EQ(Svy_MarRtn(nullptr, 2, 0), 0.0);
  EXPECT_TRUE(std::isnan(marRtn(NAN, 2, 0)));
  EXPECT_EQ(marRtn(INFINITY, 2, 0), INFINITY);
}

TEST(Round, RoundsFromTheGivenDigit) {
  struct Row {
    double value;
    int decimals;
    int roundFrom;
    double expected;
  } const rows[] = {
      {2.5, 0, 5, 3.0},    {2.4999, 0, 5, 2.0},    {-2.5, 0, 5, -3.0},     {-2.4, 0, 5, -2.0},
      {2.675, 2, 5, 2.68}, {1.005, 2, 5, 1.01},    {2.6, 0, 7, 2.0},       {2.7, 0, 7, 3.0},
      {2.9, 0, 10, 2.0},   {-2.9, 0, 10, -2.0},    {2.01, 0, 0, 3.0},      {2.0, 0, 0, 2.0},
      {9.5, 0, 5, 10.0},   {3000.0, 0, 5, 3000.0}, {1.5e15, 0, 5, 1.5e15},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.value << " " << row.decimals << " " << row.roundFrom);
    double value = row.value;
    EXPECT_EQ(_Round(&value, row.decimals, row.roundFrom), row.expected);
    EXPECT_EQ(value, row.value);
  }
  // Whole multiples, as point-name generation passes them: the multiple comes back.
  double multiple = 0.1 * 30;  // 3.0000000000000004
  EXPECT_EQ(static_cast<int>(_Round(&multiple, 0, 5)), 3);
  double almost = 2.9999999999999996;
  EXPECT_EQ(static_cast<int>(_Round(&almost, 0, 5)), 3);
}

TEST(AtoD, ReadsLeadingDecimalNumber) {
  struct Row {
    const char* text;
    double expected;
  } const rows[] = {
      {"0.062", 0.062},   {"-1.25", -1.25}, {"+3", 3.0},
      {"  \t12.5", 12.5}, {".5", 0.5},      {"-.5", -0.5},
      {"5.", 5.0},        {"1e3", 1000.0},  {"2.5m", 2.5},
      {"1.5.7", 1.5},     {"", 0.0},        {"abc", 0.0},
      {"-", 0.0},         {".", 0.0},       {"inf", 0.0},
      {"nan", 0.0},       {"0x10", 0.0},    {"12345678901234567890", 12345678901234567890.0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(_AtoD(row.text), row.expected);
  }
  EXPECT_EQ(_AtoD(nullptr), 0.0);
}

TEST(DtoA, PrintsFixedDecimals) {
  EXPECT_EQ(dtoa(0.062, 10), "0.0620000000");
  EXPECT_EQ(dtoa(-1.5, 3), "-1.500");
  EXPECT_EQ(dtoa(12.0, 0), "12");
  EXPECT_EQ(dtoa(12.0, -2), "12");
  // The binary value decides, as with printf: 2.675 is 2.67499999...
  EXPECT_EQ(dtoa(2.675, 2), "2.67");
  EXPECT_EQ(dtoa(1.005, 2), "1.00");
  // Round with the survey rule first to print the decimal reading.
  EXPECT_EQ(dtoa(marRtn(2.675, 2, 0), 2), "2.68");
  EXPECT_EQ(dtoa(0.1 + 0.2, 10), "0.3000000000");
}

TEST(DtoA, CutsToNineteenCharacters) {
  EXPECT_EQ(dtoa(12345678.0, 10), "12345678.0000000000");  // exactly 19: fits
  EXPECT_EQ(dtoa(123456789.0, 10), "123456789.000000000");
  EXPECT_EQ(dtoa(-123456789.0, 10), "-123456789.00000000");
  EXPECT_EQ(dtoa(1e20, 2), "1000000000000000000");
  // Long texts are cut, not dropped: many digits, or a long integer part.
  EXPECT_EQ(dtoa(1e300, 300), "1000000000000000052");
  EXPECT_EQ(dtoa(1.5, 1000), "1.50000000000000000");
  EXPECT_EQ(dtoa(-5e-324, 2000), "-0." + std::string(16, '0'));
  char buffer[kDtoABufferSize] = "unchanged";
  _DtoA(nullptr, buffer, 3);
  EXPECT_STREQ(buffer, "");
  _DtoA(nullptr, nullptr, 3);  // nothing to write into: no crash
}

TEST(FIsZero, AbsoluteTolerance) {
  for (double zero : {0.0, -0.0, 1e-11, -1e-11, 5e-324, 0.3 - (0.1 + 0.2)}) {
    SCOPED_TRACE(zero);
    EXPECT_TRUE(_f_iszero(&zero));
  }
  for (double nonZero : {1e-9, -1e-9, 2e-10, 1.0, -1e300, static_cast<double>(NAN)}) {
    SCOPED_TRACE(nonZero);
    EXPECT_FALSE(_f_iszero(&nonZero));
  }
  EXPECT_FALSE(_f_iszero(nullptr));
}

TEST(Angles, PiAndPackedDegrees) {
  EXPECT_EQ(_f_pi(), kPi);
  // Whole degrees give exactly degrees * pi / 180.
  for (double degrees : {0.0, 2.0, 10.0, 30.0, 90.0, 180.0, 360.0}) {
    SCOPED_TRACE(degrees);
    EXPECT_EQ(_DmstoRad(&degrees), degrees * kPi / 180.0);
  }
  struct Row {
    double packed;
    double degrees;
  } const rows[] = {
      {12.3045, 12.0 + 30.0 / 60 + 45.0 / 3600},
      {12.30456, 12.0 + 30.0 / 60 + 45.6 / 3600},
      {0.0030, 30.0 / 3600},
      {45.59599, 45.0 + 59.0 / 60 + 59.9 / 3600},
      {12.5, 12.0 + 50.0 / 60},
      {-12.3045, -(12.0 + 30.0 / 60 + 45.0 / 3600)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.packed);
    double packed = row.packed;
    EXPECT_NEAR(_DmstoRad(&packed), row.degrees * kPi / 180.0, 1e-13);
    EXPECT_EQ(packed, row.packed);
  }
  EXPECT_EQ(_DmstoRad(nullptr), 0.0);
}

}  // namespace
