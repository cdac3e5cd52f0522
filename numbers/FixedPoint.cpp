#include "numbers/FixedPoint.h"

#include <cmath>

namespace lumetra {

double Round(double value) { return std::nearbyint(value); }

std::optional<int64_t> ToFixedPoint(double value) {
  const double scaled = Round(value * kFixedPointUnit);
  if (!(std::fabs(scaled) < 9.0e18)) return std::nullopt;
  return static_cast<int64_t>(scaled);
}

std::optional<int64_t> MultiplyByFixedPoint(int64_t value, int64_t factor) {
  // In integers, so that 35 × 1.5 is exactly 52.5 and goes to the even 52.
  int64_t product = 0;
  if (__builtin_mul_overflow(value, factor, &product)) return std::nullopt;
  int64_t quotient = product / kFixedPointUnit;
  const int64_t remainder = product % kFixedPointUnit;
  if (remainder * 2 > kFixedPointUnit || (remainder * 2 == kFixedPointUnit && quotient % 2 != 0)) ++quotient;
  return quotient;
}

}  // namespace lumetra
