// Numeric helpers of the outside math and survey libraries. A double operand is
// passed by pointer and left unchanged; results are returned by value.
#pragma once

// Size of the text buffers _DtoA writes into.
constexpr int kDtoABufferSize = 20;

// The number written in text as a decimal number (leading blanks, sign, digits,
// point, exponent); an empty or non-numeric text gives 0.0.
double _AtoD(const char* text);

// Writes *value with digits digits after the decimal point (negative digits
// count as 0) into buffer, which holds kDtoABufferSize bytes; a longer text is
// cut to kDtoABufferSize - 1 characters. Always NUL-terminated.
void _DtoA(const double* value, char* buffer, int digits);

// *value rounded to decimals digits after the point; a dropped part whose first
// digit is at least roundFrom goes away from zero (roundFrom 5: half away from
// zero; 10: cut). _Round(&v, 0, 5) rounds to a whole number.
double _Round(const double* value, int decimals, int roundFrom);

// True when *value is zero within an absolute tolerance of 1e-10.
bool _f_iszero(const double* value);

// The number pi.
double _f_pi();

// Packed degrees ddd.mmss... (12.3045 is 12 degrees 30 minutes 45 seconds) in
// radians. Whole degrees give exactly degrees * pi / 180.
double _DmstoRad(const double* packedDegrees);

// *value rounded to decimals digits after the point by a rule: 0 half away from
// zero, 1 toward zero (cut), 2 away from zero (up), 3 half to even; any other rule
// acts as 0. The decision is made on the shortest decimal text that reads back as
// the same double, so 2.675 to two decimals under rule 0 gives 2.68. Negative
// decimals count as 0.
double Svy_MarRtn(const double* value, int decimals, int rule);
