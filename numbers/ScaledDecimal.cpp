#include "numbers/ScaledDecimal.h"

namespace lumetra {

std::string ScaledDecimal::Text() const {
  char digits[24];
  int count = 0;
  uint64_t rest = units;
  // At least one digit before the point.
  while (rest != 0 || count <= decimals) {
    digits[count++] = static_cast<char>('0' + rest % 10);
    rest /= 10;
  }
  std::string text;
  text.reserve(static_cast<size_t>(count) + 2);
  if (negative) text.push_back('-');
  for (int i = count - 1; i >= 0; --i) {
    text.push_back(digits[i]);
    if (i == decimals && decimals > 0) text.push_back('.');
  }
  return text;
}

std::optional<ScaledDecimal> FewDecimals(double value) {
  constexpr double kSmallest = 1e-4;  // below it the general conversion writes an exponent
  const double magnitude = std::fabs(value);
  if (!(magnitude >= kSmallest)) return std::nullopt;
  for (int decimals = 0; decimals <= kMostScaledDecimals; ++decimals) {
    const double scaled = magnitude * kScaledPowersOfTen[decimals];
    if (!(scaled < kLargestScaled)) return std::nullopt;
    if (scaled != std::floor(scaled)) continue;
    // The scaling may land on a whole number one decimal late (4.35 scaled by 100 is 434.99999999999994,
    // by 1000 4350): the general form drops trailing zeros.
    ScaledDecimal few{std::signbit(value), static_cast<uint64_t>(scaled), decimals};
    while (few.decimals > 0 && few.units % 10 == 0) {
      few.units /= 10;
      --few.decimals;
    }
    return few;
  }
  return std::nullopt;
}

}  // namespace lumetra
