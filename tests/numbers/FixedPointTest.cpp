// Fixed-point values: rounding, scaling decimals, and multiplying by a fixed-point factor.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

#include "numbers/FixedPoint.h"

namespace lumetra {
namespace {

TEST(Round, SendsHalvesToTheEvenNeighbour) {
  const std::pair<double, double> cases[] = {
      {52.5, 52}, {53.5, 54}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {2.5001, 3},
  };
  for (const auto& [value, expected] : cases) {
    SCOPED_TRACE(value);
    EXPECT_EQ(Round(value), expected);
  }
}

TEST(ToFixedPoint, ScalesAndRefusesWhatDoesNotFit) {
  const std::pair<double, std::optional<int64_t>> cases[] = {
      {1.6, 16000},
      {-1.6, -16000},
      {0.00004, 0},
      {0.00006, 1},
      {8.9e14, 8'900'000'000'000'000'000},
      {9e14, std::nullopt},
      {-9e14, std::nullopt},
      {std::numeric_limits<double>::infinity(), std::nullopt},
      {std::nan(""), std::nullopt},
  };
  for (const auto& [value, expected] : cases) {
    SCOPED_TRACE(value);
    EXPECT_EQ(ToFixedPoint(value), expected);
  }
}

TEST(MultiplyByFixedPoint, RoundsHalvesToEvenInIntegers) {
  const struct {
    int64_t value;
    int64_t factor;
    std::optional<int64_t> expected;
  } cases[] = {
      // 35 mm × 1.5 is 52.5: the even 52, which a product taken in double might not reach exactly.
      {35, 15000, 52},
      {37, 15000, 56},
      {50, 16000, 80},
      {3, 5000, 2},
      {1, 5000, 0},
      {35, 0, 0},
      {std::numeric_limits<int64_t>::max(), 2, std::nullopt},
      {std::numeric_limits<int64_t>::min(), 10000, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " x " << c.factor);
    EXPECT_EQ(MultiplyByFixedPoint(c.value, c.factor), c.expected);
  }
}

}  // namespace
}  // namespace lumetra
