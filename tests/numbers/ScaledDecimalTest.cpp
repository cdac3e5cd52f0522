// The short ways of writing a number give, for every value they take, the text of the exact conversions
// they spare: std::to_chars fixed to N decimals, and the general form to fifteen digits.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "numbers/NumberFormat.h"
#include "numbers/NumberText.h"

namespace lumetra {
namespace {

std::string ExactFixed(double value, int decimals) {
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return std::string(buffer, result.ptr);
}

std::string ExactDecimalText(double value) {
  if (value == 0) return "0";
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  if (text.find('e') != std::string::npos) {
    result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    text.assign(buffer, result.ptr);
  }
  return text;
}

// Values as photos give them (rationals of small numbers, their halves and ties), then values of every size
// and sign, the edges of the short ways (2^40, 1e-4, ties within 2^-12) and values they refuse.
std::vector<double> Values() {
  std::vector<double> values = {0.0,
                                -0.0,
                                0.5,
                                1.5,
                                2.5,
                                0.125,
                                0.375,
                                -0.001,
                                -0.004,
                                -0.005,
                                -2.5,
                                1e-4,
                                9.99999e-5,
                                1.0000001e-4,
                                1e15,
                                1e20,
                                1e300,
                                -1e300,
                                0x1p40,
                                0x1p40 - 1,
                                0x1p40 - 0.5,
                                0x1p39,
                                1e12,
                                4.35,
                                2.675,
                                1.005,
                                0.1 + 0.2,
                                1.0 / 3,
                                2.0 / 3,
                                1e-7,
                                5e-324,
                                0x1p-20,
                                123456.789,
                                9.9999999e8,
                                999999999.5,
                                std::numeric_limits<double>::infinity(),
                                -std::numeric_limits<double>::infinity(),
                                std::numeric_limits<double>::quiet_NaN()};
  for (int numerator = -300; numerator <= 3000; ++numerator) {
    for (const int denominator : {1, 2, 3, 4, 7, 8, 10, 16, 25, 32, 60, 100, 125, 1000, 10000}) {
      values.push_back(static_cast<double>(numerator) / denominator);
    }
  }
  std::mt19937_64 random(28);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-12, 16);
  for (int i = 0; i < 20000; ++i) {
    const double value = mantissa(random) * std::pow(10.0, exponent(random));
    values.push_back(i % 2 == 0 ? value : -value);
  }
  // Values one step either side of a tie at 2 and 3 decimals.
  for (const double tie : {0.005, 0.015, 1.125, 2.675, 12.345, 0.0005}) {
    values.push_back(std::nextafter(tie, 0.0));
    values.push_back(std::nextafter(tie, 1.0));
  }
  return values;
}

TEST(ScaledDecimal, FixedDecimalsWritesWhatTheExactConversionWrites) {
  const std::vector<double> values = Values();
  for (int decimals = 0; decimals <= 12; ++decimals) {
    for (const double value : values) {
      if (!std::isfinite(value)) continue;  // FixedDecimals' callers never give one: the conversion writes "inf"
      ASSERT_EQ(FixedDecimals(value, decimals), ExactFixed(value, decimals)) << value << " to " << decimals;
    }
  }
}

TEST(ScaledDecimal, DecimalTextWritesWhatTheGeneralConversionWrites) {
  for (const double value : Values()) {
    if (!std::isfinite(value)) continue;
    ASSERT_EQ(DecimalText(value), ExactDecimalText(value)) << value;
  }
}

}  // namespace
}  // namespace lumetra
