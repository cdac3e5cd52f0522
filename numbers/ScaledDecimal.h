#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

namespace lumetra {

/// A number the photos' values nearly always are: written from a whole number of units of its last decimal,
/// without the general conversion (which works through the exact binary value and costs far more).
struct ScaledDecimal {
  bool negative = false;
  /// The value in units of its last decimal.
  uint64_t units = 0;
  int decimals = 0;

  /// "-", the digits of `units` with a "." before its last `decimals` digits, and as many zeros in front as
  /// the point needs.
  [[nodiscard]] std::string Text() const;
};

/// Powers of ten that a double holds exactly, up to the most decimals the fast paths take.
inline constexpr int kMostScaledDecimals = 9;
inline constexpr double kScaledPowersOfTen[kMostScaledDecimals + 1] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
/// Below this a scaled value's rounding error is at most 2^-14 and its whole part fits 64 bits with room.
inline constexpr double kLargestScaled = 1099511627776.0;  // 2^40

/// `value` rounded to `decimals` decimals, as the exact conversion rounds it, when that is certain from its
/// scaled double: a finite value whose scaled magnitude is below 2^40 and not within 2^-12 of a half.
/// Nothing otherwise (a tie, a huge or non-finite value, too many decimals).
[[nodiscard]] inline std::optional<ScaledDecimal> RoundedToDecimals(double value, int decimals) {
  if (decimals < 0 || decimals > kMostScaledDecimals || !std::isfinite(value)) return std::nullopt;
  const double scaled = std::fabs(value) * kScaledPowersOfTen[decimals];
  if (!(scaled < kLargestScaled)) return std::nullopt;
  const double whole = std::floor(scaled);
  const double fraction = scaled - whole;  // exact: the whole part of a double below 2^52 comes off unrounded
  constexpr double kNearHalf = 1.0 / 4096;
  if (std::fabs(fraction - 0.5) < kNearHalf) return std::nullopt;
  return ScaledDecimal{std::signbit(value), static_cast<uint64_t>(whole) + (fraction > 0.5 ? 1 : 0), decimals};
}

/// `value` as the general conversion to fifteen significant digits writes it (trailing zeros dropped), when
/// its magnitude is at least 1e-4 and it has few enough decimals that its value scaled by a power of ten is
/// a whole double below 2^40: the scaling's error is then far below the fifteenth digit. Nothing otherwise.
[[nodiscard]] std::optional<ScaledDecimal> FewDecimals(double value);

}  // namespace lumetra
