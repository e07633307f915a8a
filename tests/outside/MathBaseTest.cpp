
#include <cmath>
#include <cstdio>
#include <cstring>

#include "TestRoots.h"
#include "outside/MathBase.h"

namespace trasso::test {
namespace {

// "%.17g" reads back as the same double and keeps the sign of a zero: an exact
// comparison that also tells 0.0 from -0.0 and matches NaN with NaN.
std::string exact(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

TEST(SvyMarRtn, RoundsByEachRuleOnTheDecimalText) {
  // Value, decimals, then the result by rule: half away from zero, cut, up, half to even;
  // a negated value gives the negated result. The rules act on the decimal text: 2.675
  // and 1.005 are held as 2.67499999... and 1.00499999..., 2.345 as 2.34500000...02;
  // 0.1 + 0.2 is 0.30000000000000004 and 1.1 + 2.2 is 3.3000000000000003, which only up
  // rounds. 9.995 carries into a new leading digit; negative decimals count as 0.
  // b + .345, b + .35 and b + .34 are the doubles nearest 123456789012.345, .35 and .34.
  const double b = 123456789012.0;
  const double rows[][6] = {
      {2.675, 2, 2.68, 2.67, 2.68, 2.68},  {2.5, 0, 3.0, 2.0, 3.0, 2.0},
      {1.005, 2, 1.01, 1.0, 1.01, 1.0},    {3.5, 0, 4.0, 3.0, 4.0, 4.0},
      {2.345, 2, 2.35, 2.34, 2.35, 2.34},  {0.5, 0, 1.0, 0.0, 1.0, 0.0},
      {0.1 + 0.2, 1, 0.3, 0.3, 0.4, 0.3},  {1.2341, 3, 1.234, 1.234, 1.235, 1.234},
      {1.1 + 2.2, 2, 3.3, 3.3, 3.31, 3.3}, {1.2349, 3, 1.235, 1.234, 1.235, 1.235},
      {2.50001, 0, 3.0, 2.0, 3.0, 3.0},    {b + .345, 2, b + .35, b + .34, b + .35, b + .34},
      {9.995, 2, 10.0, 9.99, 10.0, 10.0},  {0x1p52 - 0.5, 0, 0x1p52, 0x1p52 - 1, 0x1p52, 0x1p52},
      {1.25, 2, 1.25, 1.25, 1.25, 1.25},   {0.4, 0, 0.0, 0.0, 1.0, 0.0},
      {1e20, 3, 1e20, 1e20, 1e20, 1e20},   {NAN, 2, NAN, NAN, NAN, NAN},
      {2.4, -1, 2.0, 2.0, 3.0, 2.0},       {INFINITY, 2, INFINITY, INFINITY, INFINITY, INFINITY},
      {0.004, 2, 0.0, 0.0, 0.01, 0.0}};
  for (const auto& row : rows)
    for (int rule : {0, 1, 2, 3, -1, 4, 99})  // any other rule acts as the first
      for (double sign : {1.0, -1.0}) {
        const double value = sign * row[0];
        // + 0.0 makes -0.0 a 0.0: no result is a negative zero.
        EXPECT_EQ(exact(Svy_MarRtn(&value, static_cast<int>(row[1]), rule)),
                  exact(sign * row[2 + (rule >= 0 && rule < 4 ? rule : 0)] + 0.0))
            << value << " to " << row[1] << " by rule " << rule;
      }
  EXPECT_EQ(Svy_MarRtn(nullptr, 2, 0), 0.0);
}

TEST(Round, RoundsFromTheGivenDigitAndLeavesTheOperand) {
  // Value, decimals, roundFrom, result. The last two are whole multiples as point
  // names pass them: 0.1 * 30 and a hair under 3.
  const double rows[][4] = {
      {2.5, 0, 5, 3.0},     {2.4999, 0, 5, 2.0},    {-2.5, 0, 5, -3.0},
      {-2.4, 0, 5, -2.0},   {2.675, 2, 5, 2.68},    {1.005, 2, 5, 1.01},
      {2.6, 0, 7, 2.0},     {2.7, 0, 7, 3.0},       {2.9, 0, 10, 2.0},
      {2.01, 0, 0, 3.0},    {9.5, 0, 5, 10.0},      {3000.0, 0, 5, 3000.0},
      {2.5, -1, 5, 3.0},    {1.5e15, 0, 5, 1.5e15}, {2.9999999999999996, 0, 5, 3.0},
      {0.1 * 30, 0, 5, 3.0}};
  for (const auto& row : rows) {
    double value = row[0];
    EXPECT_EQ(exact(_Round(&value, static_cast<int>(row[1]), static_cast<int>(row[2]))),
              exact(row[3]))
        << row[0] << " " << row[1] << " " << row[2];
    EXPECT_EQ(exact(value), exact(row[0]));
  }
  EXPECT_EQ(_Round(nullptr, 0, 5), 0.0);
}

TEST(AtoD, ReadsLeadingDecimalNumber) {
  for (const auto& [text, value] : kDecimalTexts) EXPECT_EQ(_AtoD(text), value) << text;
  EXPECT_EQ(_AtoD(nullptr), 0.0);
}

TEST(DtoA, PrintsFixedDecimalsCutToNineteenCharacters) {
  const auto dtoa = [](double value, int digits) {
    char buffer[kDtoABufferSize + 8];  // guard bytes catch a write past the end
    std::memset(buffer, '#', sizeof buffer);
    _DtoA(&value, buffer, digits);
    EXPECT_EQ(std::string(buffer + kDtoABufferSize, 8), std::string(8, '#'));
    return std::string(buffer);
  };
  // 2.675 gives "2.67": the binary value decides, as with printf; 12345678.0 with
  // 10 decimals is exactly 19 characters and fits.
  const std::tuple<double, int, const char*> rows[] = {
      {12345678.0, 10, "12345678.0000000000"},   {0.062, 10, "0.0620000000"},
      {-123456789.0, 10, "-123456789.00000000"}, {-1.5, 3, "-1.500"},
      {1e300, 300, "1000000000000000052"},       {12.0, -2, "12"},
      {1.5, 1000, "1.50000000000000000"},        {2.675, 2, "2.67"},
      {-5e-324, 2000, "-0.0000000000000000"}};
  for (const auto& [value, digits, text] : rows) EXPECT_EQ(dtoa(value, digits), text) << value;
  char buffer[kDtoABufferSize] = "unchanged";
  _DtoA(nullptr, buffer, 3);
  EXPECT_STREQ(buffer, "");
  _DtoA(nullptr, nullptr, 3);  // nothing to write into: no crash
}

TEST(FIsZero, AbsoluteTolerance) {
  for (double zero : {0.0, -0.0, 1e-11, -9.9e-11, 5e-324, 0.3 - (0.1 + 0.2)})
    EXPECT_TRUE(_f_iszero(&zero)) << zero;
  for (double nonZero : {1e-10, -1e-10, 1.0, -1e300, static_cast<double>(NAN)})
    EXPECT_FALSE(_f_iszero(&nonZero)) << nonZero;
  EXPECT_FALSE(_f_iszero(nullptr));
}

TEST(Angles, PackedDegreesInRadians) {
  // Radians of the exact angles, rounded once; whole degrees as the profiles pass them.
  const std::pair<double, double> rows[] = {
      {30.0, 0.5235987755982989},      {10.0, 0.17453292519943295},
      {2.0, 0.03490658503988659},      {180.0, 3.141592653589793},
      {12.3045, 0.2183843226557905},   {12.30456, 0.21838723153787715},
      {0.0030, 0.0001454441043328608}, {45.59599, 0.8028509711037105},
      {12.5, 0.22398392067260564},     {-12.3045, -0.2183843226557905}};
  for (auto [packed, radians] : rows) EXPECT_DOUBLE_EQ(_DmstoRad(&packed), radians) << packed;
  const double zero = 0.0;
  EXPECT_EQ(exact(_DmstoRad(&zero)), "0");
  EXPECT_EQ(_DmstoRad(nullptr), 0.0);
}

}  // namespace
}  // namespace trasso::test
