#include "outside/MathBase.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

namespace {

// A double's shortest round-trip text in fixed notation, split into its parts.
struct DecimalText {
  bool negative = false;
  std::string digits;  // integer digits followed by fraction digits
  size_t pointAt = 0;  // number of integer digits
};

DecimalText decimalText(double value) {
  char buf[512];
  auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
  DecimalText text;
  const char* p = buf;
  if (p < result.ptr && *p == '-') {
    text.negative = true;
    ++p;
  }
  for (; p < result.ptr; ++p) {
    if (*p == '.') {
      text.pointAt = text.digits.size();
    } else {
      text.digits += *p;
    }
  }
  if (std::memchr(buf, '.', static_cast<size_t>(result.ptr - buf)) == nullptr) {
    text.pointAt = text.digits.size();
  }
  return text;
}

bool anyNonZero(const std::string& s, size_t from) {
  return s.find_first_not_of('0', from) != std::string::npos;
}

// Whether cutting digits after position keep must round the magnitude up.
bool roundsUp(const std::string& digits, size_t keep, int rule) {
  const char first = digits[keep];
  switch (rule) {
    case 1:
      return false;
    case 2:
      return anyNonZero(digits, keep);
    case 3:
      if (first != '5') return first > '5';
      if (anyNonZero(digits, keep + 1)) return true;
      return keep > 0 && (digits[keep - 1] - '0') % 2 == 1;
    default:
      return first >= '5';
  }
}

// Rounds to decimals places by rule on the decimal text of value.
double roundDecimal(double value, int decimals, int rule) {
  if (!std::isfinite(value)) return value;
  if (decimals < 0) decimals = 0;
  DecimalText text = decimalText(value);
  const size_t keep = text.pointAt + static_cast<size_t>(decimals);
  if (keep >= text.digits.size()) return value;
  const bool up = roundsUp(text.digits, keep, rule);
  std::string kept = text.digits.substr(0, keep);
  if (up) {
    size_t i = kept.size();
    while (i > 0 && kept[i - 1] == '9') kept[--i] = '0';
    if (i == 0) {
      kept.insert(kept.begin(), '1');
      ++text.pointAt;
    } else {
      ++kept[i - 1];
    }
  }
  std::string number = kept.substr(0, text.pointAt);
  if (number.empty()) number = "0";
  if (kept.size() > text.pointAt) number += "." + kept.substr(text.pointAt);
  double rounded = 0.0;
  std::from_chars(number.data(), number.data() + number.size(), rounded);
  if (rounded == 0.0) return 0.0;  // no negative zero
  return text.negative ? -rounded : rounded;
}

}  // namespace

double _AtoD(const char* text) {
  if (text == nullptr) return 0.0;
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  const bool digitFirst = *p >= '0' && *p <= '9';
  const bool pointFirst = *p == '.' && p[1] >= '0' && p[1] <= '9';
  if (!digitFirst && !pointFirst) return 0.0;
  double value = 0.0;
  std::from_chars(p, p + std::strlen(p), value, std::chars_format::general);
  return negative ? -value : value;
}

void _DtoA(const double* value, char* buffer, int digits) {
  if (buffer == nullptr) return;
  buffer[0] = '\0';
  if (value == nullptr) return;
  // A double's exact decimal expansion ends within 1074 decimals; more digits
  // only add zeros. The buffer holds any double with that many, so large values
  // and large digit counts are cut below instead of failing.
  constexpr int kMostDecimals = 1074;
  char text[1 + 309 + 1 + kMostDecimals + 1];
  auto result = std::to_chars(text, text + sizeof text, *value, std::chars_format::fixed,
                              std::clamp(digits, 0, kMostDecimals));
  size_t length = result.ec == std::errc() ? static_cast<size_t>(result.ptr - text) : 0;
  if (length > kDtoABufferSize - 1) length = kDtoABufferSize - 1;
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
}

double _Round(const double* value, int decimals, int roundFrom) {
  if (value == nullptr) return 0.0;
  if (roundFrom <= 0) return roundDecimal(*value, decimals, 2);
  if (roundFrom >= 10) return roundDecimal(*value, decimals, 1);
  // Round away from zero when the first dropped digit reaches roundFrom.
  DecimalText text = decimalText(*value);
  const size_t keep = text.pointAt + static_cast<size_t>(decimals < 0 ? 0 : decimals);
  if (keep >= text.digits.size()) return *value;
  const bool up = text.digits[keep] - '0' >= roundFrom;
  return roundDecimal(*value, decimals, up ? 2 : 1);
}

bool _f_iszero(const double* value) { return value != nullptr && std::fabs(*value) < 1e-10; }

double _f_pi() { return 3.14159265358979323846; }

double _DmstoRad(const double* packedDegrees) {
  if (packedDegrees == nullptr) return 0.0;
  const double packed = std::fabs(*packedDegrees);
  // Read the packed fields from the decimal text, so 12.3045 is not taken as
  // 12.30449999... by binary arithmetic.
  DecimalText text = decimalText(packed);
  std::string fraction = text.digits.substr(text.pointAt);
  fraction.resize(std::max<size_t>(fraction.size(), 4), '0');
  const double degrees = std::floor(packed);
  const double minutes = std::stoi(fraction.substr(0, 2));
  std::string secondsText = fraction.substr(2, 2) + "." + fraction.substr(4);
  double seconds = 0.0;
  std::from_chars(secondsText.data(), secondsText.data() + secondsText.size(), seconds);
  double total = degrees + minutes / 60.0 + seconds / 3600.0;
  if (*packedDegrees < 0) total = -total;
  return total * _f_pi() / 180.0;
}

double Svy_MarRtn(const double* value, int decimals, int rule) {
  if (value == nullptr) return 0.0;
  return roundDecimal(*value, decimals, rule);
}
