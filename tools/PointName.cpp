// Station names from a running value: prefix, whole intervals and remainder.
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "Api.h"
#include "CodePage932.h"
#include "outside/MathBase.h"

namespace {

// Values beyond these give station 0 and remainder 0; the limits are inside.
constexpr double kLowest = -999999.9999;
constexpr double kHighest = 9999999.9999;
// Remainders this close to 0 or to the interval count as a whole station.
constexpr double kTolerance = 1e-08;
constexpr size_t kNameBytes = 16;

struct Station {
  int number = 0;
  double remainder = 0.0;
};

// Truncation toward zero; a value that no 32-bit integer holds (NaN included)
// gives INT32_MIN, as the processor's own conversion does, instead of undefined
// behaviour.
int32_t truncateToInt32(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) {
    return std::numeric_limits<int32_t>::min();
  }
  return static_cast<int32_t>(value);
}

int digitCount(unsigned value) {
  int digits = 1;
  while (value >= 10) {
    value /= 10;
    ++digits;
  }
  return digits;
}

std::string fixedText(double value, int decimals) {
  char text[kDtoABufferSize];
  _DtoA(&value, text, decimals);
  return text;
}

// Floored division of the rounded value by interval (interval > 0).
Station divide(double value, unsigned interval, int decimals, int rule) {
  Station station;
  const double v = Svy_MarRtn(&value, decimals, rule);
  const double step = interval;
  if (v >= kLowest && v <= kHighest) {
    station.number = truncateToInt32(v) / static_cast<int>(interval);
    double r = _f_iszero(&step) ? 0.0 : std::fmod(v, step);
    if (std::fabs(r - step) < kTolerance) {
      ++station.number;
      r = 0.0;
    } else if (std::fabs(r) < kTolerance) {
      r = 0.0;
    } else if (r >= step) {
      ++station.number;
      r -= step;
    } else if (r < 0.0) {
      r += step;
      --station.number;
    }
    station.remainder = r;
  }
  station.remainder = Svy_MarRtn(&station.remainder, decimals, rule);
  return station;
}

// The remainder right-aligned so that the remainders of one interval line up:
// decimals, the point and as many integer places as the interval has digits.
std::string remainderText(double remainder, unsigned interval, int decimals, int rule) {
  const double rounded = Svy_MarRtn(&remainder, decimals, rule);
  std::string text = fixedText(rounded, decimals);
  const int width = decimals + 1 + digitCount(interval);
  if (width > static_cast<int>(text.size())) {
    text.insert(0, static_cast<size_t>(width) - text.size(), ' ');
  }
  return text;
}

// The value itself: a whole number when it is a multiple of the interval.
std::string valueText(double value, unsigned interval, int decimals, int rule) {
  const double left = std::fmod(value, static_cast<double>(interval));
  if (_f_iszero(&left)) return std::to_string(truncateToInt32(_Round(&value, 0, 5)));
  return fixedText(Svy_MarRtn(&value, decimals, rule), decimals);
}

// Cuts to at most kNameBytes bytes, before a double-byte character that would
// otherwise lose its second byte.
void cutName(std::string& name) { name.resize(trasso::cp932::wholeLength(name, kNameBytes)); }

}  // namespace

std::string trasso::api::QZJknTool_MakeNoName(int mode, double value, const char* prefix,
                                              uint16_t interval, int16_t decimals,
                                              int16_t rule) noexcept {
  if (mode < 0 || mode > 3 || interval == 0) return std::string();
  std::string name;
  if (mode == 2) {
    name = valueText(value, interval, decimals, rule);
  } else if (mode != 3) {
    const Station station = divide(value, interval, decimals, rule);
    const double check = Svy_MarRtn(&station.remainder, decimals, rule);
    const std::string head = (prefix != nullptr ? prefix : "") + std::to_string(station.number);
    if (_f_iszero(&check)) {
      name = head;
    } else {
      const std::string tail = "+" + remainderText(station.remainder, interval, decimals, rule);
      name = mode == 0 ? head + tail : tail;
    }
  }
  cutName(name);
  return name;
}
