#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace lumetra {

/// An exposure time written as a fraction, its two parts read as decimals.
struct ExposureFraction {
  /// The numerator as written ("10" in "10/1250"); a view into the text that was read.
  std::string_view numerator_text;
  double numerator = 0;
  double denominator = 0;
};

/// `text` split at its first "/", each part read by `ReadDecimalAfterZero` in double precision ("10/1250",
/// ".5/2"). nullopt when there is no "/" or a part is empty, holds no digit (a lone ".") or is not a
/// number. Zero parts are returned as they are: each caller decides what a zero numerator or
/// denominator means.
[[nodiscard]] std::optional<ExposureFraction> ReadExposureFraction(std::string_view text);

/// An exposure text (decimal seconds, or a fraction as `ReadExposureFraction` reads it) in fixed-point
/// units of a second: 1/125 gives 80, 2 gives 20000. The time is taken in single precision before it is
/// scaled, as bounds and tallies compare times (1/4000 lies just above 2.5 and gives 3). 0 for a text that
/// is not a time, a zero denominator, and a time too large for 64 bits.
[[nodiscard]] int64_t ExposureUnits(std::string_view text);

}  // namespace lumetra
