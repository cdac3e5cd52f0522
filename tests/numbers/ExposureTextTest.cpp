// Exposure times written as fractions or decimal seconds.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <utility>

#include "numbers/ExposureText.h"

namespace lumetra {
namespace {

struct Parts {
  const char* numerator_text;
  double numerator;
  double denominator;
};

struct FractionCase {
  const char* text;
  std::optional<Parts> expected;
};

TEST(ReadExposureFraction, SplitsAtTheFirstSlashAndNeedsADigitInEachPart) {
  const FractionCase cases[] = {
      {"10/1250", Parts{"10", 10, 1250}},
      {".5/2", Parts{".5", 0.5, 2}},
      {"1e3/1", Parts{"1e3", 1000, 1}},
      // Zero parts are read; whether they mean anything is the caller's choice.
      {"1/0", Parts{"1", 1, 0}},
      {"0/0", Parts{"0", 0, 0}},
      {"1/", std::nullopt},
      {"/2", std::nullopt},
      {"1//2", std::nullopt},
      {"./4", std::nullopt},
      {"4/.", std::nullopt},
      {"-1/2", std::nullopt},
      {"+1/2", std::nullopt},
      {"1 /2", std::nullopt},
      {"1/inf", std::nullopt},
      {"1", std::nullopt},
      {"", std::nullopt},
      {"\xD9\xA1/2", std::nullopt},  // ARABIC-INDIC DIGIT ONE
  };
  for (const FractionCase& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<ExposureFraction> fraction = ReadExposureFraction(c.text);
    ASSERT_EQ(fraction.has_value(), c.expected.has_value());
    if (!fraction) continue;
    EXPECT_EQ(fraction->numerator_text, c.expected->numerator_text);
    EXPECT_EQ(fraction->numerator, c.expected->numerator);
    EXPECT_EQ(fraction->denominator, c.expected->denominator);
  }
}

TEST(ExposureUnits, ReadsTimesInTenThousandthsOfASecondInSinglePrecision) {
  const std::pair<const char*, int64_t> cases[] = {
      {"1/125", 80},
      {"10/1250", 80},
      {"2", 20000},
      {".5", 5000},
      {"1.", 10000},
      {"1e3", 10'000'000},
      // 2.5 in double, just above it in single precision.
      {"1/4000", 3},
      {"1/0", 0},
      {"0/0", 0},
      {"./4", 0},
      {"1//2", 0},
      {"", 0},
      {".", 0},
      {"+1", 0},
      {"-1", 0},
      {" 1", 0},
      {"inf", 0},
      {"9223372036854775808", 0},
      {"\xD9\xA1", 0},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ExposureUnits(text), expected);
  }
}

}  // namespace
}  // namespace lumetra
