// Reading decimal and whole-number texts, and writing decimals back.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>

#include "numbers/NumberText.h"

namespace lumetra {
namespace {

constexpr std::nullopt_t kNo = std::nullopt;

// Each reader's answer to texts that photos, crop files and typed bounds may hold.
struct HostileText {
  const char* text;
  std::optional<double> decimal;
  std::optional<double> after_zero;
  std::optional<int64_t> integer;
  std::optional<double> regional;  // with "." as separator
};

const HostileText kHostileTexts[] = {
    // text, ReadDecimal, ReadDecimalAfterZero, ReadInteger64, ReadRegionalDecimal with '.'
    {"1", 1, 1, 1, 1},
    {"-1", -1, kNo, -1, -1},
    {"+1", kNo, kNo, kNo, 1},
    {"1e3", 1000, 1000, kNo, 1000},
    {"1e", kNo, kNo, kNo, kNo},
    {"1e400", kNo, kNo, kNo, kNo},
    {"inf", kNo, kNo, kNo, kNo},
    {"nan", kNo, kNo, kNo, kNo},
    {"0x10", kNo, kNo, kNo, kNo},
    {" 1", kNo, kNo, kNo, 1},
    {"1 ", kNo, kNo, kNo, 1},
    {"", kNo, 0, kNo, kNo},
    {"-", kNo, kNo, kNo, kNo},
    {".", kNo, 0, kNo, kNo},
    {"1.", 1, 1, kNo, 1},
    {".5", 0.5, 0.5, kNo, 0.5},
    {"1,5", kNo, kNo, kNo, kNo},
    {"1.5.", kNo, kNo, kNo, kNo},
    {"9223372036854775807", 9223372036854775807.0, 9223372036854775807.0, std::numeric_limits<int64_t>::max(),
     9223372036854775807.0},
    {"9223372036854775808", 9223372036854775808.0, 9223372036854775808.0, kNo, 9223372036854775808.0},
    {"-9223372036854775808", -9223372036854775808.0, kNo, std::numeric_limits<int64_t>::min(), -9223372036854775808.0},
    {"1/0", kNo, kNo, kNo, kNo},
    {"0/0", kNo, kNo, kNo, kNo},
    {"1/", kNo, kNo, kNo, kNo},
    {"/2", kNo, kNo, kNo, kNo},
    {"1//2", kNo, kNo, kNo, kNo},
    {"\xD9\xA1", kNo, kNo, kNo, kNo},  // ARABIC-INDIC DIGIT ONE
};

TEST(NumberText, EachReaderTakesOnlyItsOwnForms) {
  for (const HostileText& c : kHostileTexts) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ReadDecimal(c.text), c.decimal);
    EXPECT_EQ(ReadDecimalAfterZero(c.text), c.after_zero);
    EXPECT_EQ(ReadInteger64(c.text), c.integer);
    EXPECT_EQ(ReadRegionalDecimal(c.text, '.'), c.regional);
  }
}

TEST(ReadRegionalDecimal, TakesOnlyTheGivenSeparator) {
  const struct {
    const char* text;
    char separator;
    std::optional<double> expected;
  } cases[] = {
      {"1,6", ',', 1.6}, {"1,6", '.', kNo}, {"1.6", ',', kNo}, {" -1,5e1 ", ',', -15},
      {"1,", ',', 1},    {",5", ',', 0.5},  {",", ',', kNo},   {"1e+2", '.', 100},
      {"1e-", '.', kNo}, {"1 6", '.', kNo}, {"+-1", '.', kNo}, {"1E2", '.', 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " with " + c.separator);
    EXPECT_EQ(ReadRegionalDecimal(c.text, c.separator), c.expected);
  }
}

TEST(DecimalText, IsTheShortestTextThatReadsBackWithoutExponent) {
  const std::pair<double, const char*> cases[] = {
      {1.6, "1.6"}, {1.0, "1"},  {52, "52"},         {0.0001, "0.0001"},  {-2.5, "-2.5"},
      {0.0, "0"},   {-0.0, "0"}, {0.1 + 0.2, "0.3"}, {1e-7, "0.0000001"}, {1e20, "100000000000000000000"},
  };
  for (const auto& [value, expected] : cases) {
    SCOPED_TRACE(expected);
    EXPECT_EQ(DecimalText(value), expected);
  }
}

}  // namespace
}  // namespace lumetra
