#pragma once

#include <cstdint>
#include <optional>

namespace lumetra {

/// Fixed-point values (crop factors, exposure times, F-numbers, scale factors) are `int64_t` counts of
/// 1/kFixedPointUnit: 1.6 is 16000.
inline constexpr int64_t kFixedPointUnit = 10000;

/// Nearest integer, halves to the even neighbour (52.5 gives 52, 53.5 gives 54).
[[nodiscard]] double Round(double value);

/// `value` in fixed-point units, rounded with `Round` (1.6 gives 16000); nullopt when the result is not
/// within ±9e18 (too large for 64 bits, infinite or NaN).
[[nodiscard]] std::optional<int64_t> ToFixedPoint(double value);

/// `value` × `factor` / kFixedPointUnit for a fixed-point `factor`, rounded to the nearest integer with
/// halves to even, computed in integers (35 × 15000 gives 52); nullopt when the product does not fit in
/// 64 bits.
[[nodiscard]] std::optional<int64_t> MultiplyByFixedPoint(int64_t value, int64_t factor);

}  // namespace lumetra
