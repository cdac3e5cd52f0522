#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "survey/Labels.h"
#include "survey/Tallies.h"

namespace lumetra {

/// The prefix of the four current-range labels of the filter dialog.
inline constexpr TextPair kCurrentRangePrefix{"Текущий диапазон: ", "Current range: "};

/// An exposure time `units` in 1/10000 s as the range labels show it: a second or more in decimal seconds
/// with `separator` (20000 gives "2", 15000 "1.5"), shorter times as "1/N" with N = Round(10000 / units)
/// (80 gives "1/125", 167 "1/60").
[[nodiscard]] std::string ExposureRangeText(int64_t units, char separator);

/// The texts of `lb_Now1` to `lb_Now4`: the ranges of exposure, F-number, focal length (real when `rb_Real`
/// and a real focal length is known, else 35 mm) and ISO of the photos that passed, after the prefix. A
/// range that no passing photo has keeps "-" (the exposure range " - ").
[[nodiscard]] std::array<std::string, 4> CurrentRangeTexts(const ValueRanges& ranges, bool rb_Real, Language language,
                                                           char separator);

/// The current ranges of the date and hour boxes, after the prefix: the first and last day ("2019-03-14 -
/// 2021-07-02") and the earliest and latest hour ("6 - 23") of the photos that passed; "-" when none of them
/// has a capture time.
[[nodiscard]] std::array<std::string, 2> TimeRangeTexts(const ValueRanges& ranges, Language language);

}  // namespace lumetra
