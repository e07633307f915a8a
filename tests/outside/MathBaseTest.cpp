#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "TestRoots.h"
#include "outside/MathBase.h"

namespace {

double marRtn(double value, int decimals, int rule) { return Svy_MarRtn(&value, decimals, rule); }

std::string dtoa(double value, int digits) {
  // Guard bytes after the 20-byte buffer catch a write past its end.
  char buffer[kDtoABufferSize + 8];
  std::memset(buffer, '#', sizeof buffer);
  _DtoA(&value, buffer, digits);
  EXPECT_EQ(std::string(buffer + kDtoABufferSize, 8), std::string(8, '#'));
  return buffer;
}

TEST(SvyMarRtn, RoundsByEachRule) {
  // Every rule on the same values: half away from zero, cut, up, half to even.
  struct Row {
    double value;
    int decimals;
    double byRule[4];
  } const rows[] = {
      {2.5, 0, {3.0, 2.0, 3.0, 2.0}},
      {3.5, 0, {4.0, 3.0, 4.0, 4.0}},
      {-2.5, 0, {-3.0, -2.0, -3.0, -2.0}},
      {0.5, 0, {1.0, 0.0, 1.0, 0.0}},
      // Held as 2.67499999... and 1.00499999...: the rules act on the decimal text.
      {2.675, 2, {2.68, 2.67, 2.68, 2.68}},
      {1.005, 2, {1.01, 1.0, 1.01, 1.0}},
      {-2.675, 2, {-2.68, -2.67, -2.68, -2.68}},
      {1.2341, 3, {1.234, 1.234, 1.235, 1.234}},
      {1.2349, 3, {1.235, 1.234, 1.235, 1.235}},
      // 0.30000000000000004 and 3.3000000000000003: only up rounds what lies beyond.
      {0.1 + 0.2, 1, {0.3, 0.3, 0.4, 0.3}},
      {1.1 + 2.2, 2, {3.3, 3.3, 3.31, 3.3}},
      {2.50001, 0, {3.0, 2.0, 3.0, 3.0}},
      {9.995, 2, {10.0, 9.99, 10.0, 10.0}},  // carries into a new leading digit
      {1.25, 2, {1.25, 1.25, 1.25, 1.25}},
      {123456789012.345, 2, {123456789012.35, 123456789012.34, 123456789012.35, 123456789012.34}},
      {4503599627370495.5,
       0,
       {4503599627370496.0, 4503599627370495.0, 4503599627370496.0, 4503599627370496.0}},
      {1e20, 3, {1e20, 1e20, 1e20, 1e20}},
  };
  for (const Row& row : rows) {
    for (int rule = 0; rule < 4; ++rule) {
      EXPECT_EQ(marRtn(row.value, row.decimals, rule), row.byRule[rule])
          << row.value << " to " << row.decimals << " by rule " << rule;
    }
  }
  for (int rule : {-1, 4, 99}) {
    EXPECT_EQ(marRtn(-2.5, 0, rule), -3.0) << rule;
    EXPECT_EQ(marRtn(1.2341, 3, rule), 1.234) << rule;
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
  // The last two are whole multiples as point names pass them: 0.1 * 30 and a hair under 3.
  struct Row {
    double value;
    int decimals, roundFrom;
    double expected;
  } const rows[] = {{2.5, 0, 5, 3.0},      {2.4999, 0, 5, 2.0},
                    {-2.5, 0, 5, -3.0},    {-2.4, 0, 5, -2.0},
                    {2.675, 2, 5, 2.68},   {1.005, 2, 5, 1.01},
                    {2.6, 0, 7, 2.0},      {2.7, 0, 7, 3.0},
                    {2.9, 0, 10, 2.0},     {2.01, 0, 0, 3.0},
                    {9.5, 0, 5, 10.0},     {3000.0, 0, 5, 3000.0},
                    {2.5, -1, 5, 3.0},     {1.5e15, 0, 5, 1.5e15},
                    {0.1 * 30, 0, 5, 3.0}, {2.9999999999999996, 0, 5, 3.0}};
  for (const Row& row : rows) {
    double value = row.value;
    EXPECT_EQ(_Round(&value, row.decimals, row.roundFrom), row.expected)
        << row.value << " " << row.decimals << " " << row.roundFrom;
    EXPECT_EQ(value, row.value);
  }
  EXPECT_EQ(_Round(nullptr, 0, 5), 0.0);
}

TEST(AtoD, ReadsLeadingDecimalNumber) {
  for (const auto& [text, value] : trasso::test::kDecimalTexts)
    EXPECT_EQ(_AtoD(text), value) << text;
  EXPECT_EQ(_AtoD(nullptr), 0.0);
}

TEST(DtoA, PrintsFixedDecimalsCutToNineteenCharacters) {
  EXPECT_EQ(dtoa(0.062, 10), "0.0620000000");
  EXPECT_EQ(dtoa(-1.5, 3), "-1.500");
  EXPECT_EQ(dtoa(12.0, -2), "12");
  EXPECT_EQ(dtoa(2.675, 2), "2.67");  // the binary value decides, as with printf
  EXPECT_EQ(dtoa(12345678.0, 10), "12345678.0000000000");  // exactly 19: fits
  EXPECT_EQ(dtoa(-123456789.0, 10), "-123456789.00000000");
  EXPECT_EQ(dtoa(1e300, 300), "1000000000000000052");
  EXPECT_EQ(dtoa(1.5, 1000), "1.50000000000000000");
  EXPECT_EQ(dtoa(-5e-324, 2000), "-0." + std::string(16, '0'));
  char buffer[kDtoABufferSize] = "unchanged";
  _DtoA(nullptr, buffer, 3);
  EXPECT_STREQ(buffer, "");
  _DtoA(nullptr, nullptr, 3);  // nothing to write into: no crash
}

TEST(FIsZero, AbsoluteTolerance) {
  for (double zero : {0.0, -0.0, 1e-11, -9.9e-11, 5e-324, 0.3 - (0.1 + 0.2)}) {
    EXPECT_TRUE(_f_iszero(&zero)) << zero;
  }
  for (double nonZero : {1e-10, -1e-10, 1.0, -1e300, static_cast<double>(NAN)}) {
    EXPECT_FALSE(_f_iszero(&nonZero)) << nonZero;
  }
  EXPECT_FALSE(_f_iszero(nullptr));
}

TEST(Angles, PiAndPackedDegrees) {
  EXPECT_DOUBLE_EQ(_f_pi(), 3.141592653589793);
  // The whole degrees the profiles pass.
  const std::pair<double, double> whole[] = {
      {30.0, 0.5235987755982988}, {10.0, 0.17453292519943295}, {2.0, 0.03490658503988659}};
  for (auto [degrees, radians] : whole) EXPECT_DOUBLE_EQ(_DmstoRad(&degrees), radians);
  const std::pair<double, double> packed[] = {{12.3045, 12.0 + 30.0 / 60 + 45.0 / 3600},
                                              {12.30456, 12.0 + 30.0 / 60 + 45.6 / 3600},
                                              {0.0030, 30.0 / 3600},
                                              {45.59599, 45.0 + 59.0 / 60 + 59.9 / 3600},
                                              {12.5, 12.0 + 50.0 / 60},
                                              {-12.3045, -(12.0 + 30.0 / 60 + 45.0 / 3600)}};
  for (auto [value, degrees] : packed) {
    EXPECT_NEAR(_DmstoRad(&value), degrees * 3.141592653589793 / 180.0, 1e-13) << value;
  }
  EXPECT_EQ(_DmstoRad(nullptr), 0.0);
}

}  // namespace
