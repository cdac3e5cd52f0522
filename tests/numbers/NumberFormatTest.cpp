// The number rules of the tag texts: whole numbers and fractions read from rendered values, and numbers
// written through printf-style formats.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "numbers/NumberFormat.h"
#include "tests/support/ExpectThrow.h"

namespace lumetra {
namespace {

constexpr std::nullopt_t kNo = std::nullopt;

TEST(ParseInteger, ReadsA32BitNumberBetweenBlanks) {
  const struct {
    const char* text;
    std::optional<int32_t> expected;
  } cases[] = {
      {"42", 42},
      {" -7 ", -7},
      {"+5", 5},
      {"\t\r9\n", 9},
      {"2147483647", 2147483647},
      {"-2147483648", std::numeric_limits<int32_t>::min()},
      {"2147483648", kNo},
      {"", kNo},
      {"   ", kNo},
      {"+", kNo},
      {"++1", kNo},
      {"1 2", kNo},
      {"1.5", kNo},
      {"0x10", kNo},
      {"abc", kNo},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseInteger(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ParseFraction, ReadsWholeAndFraction) {
  struct Case {
    const char* text;
    double expected;
  };
  const Case cases[] = {
      {"1/4", 0.25}, {" 3/2 ", 1.5}, {"2 1/2", 2.5}, {"-5/1", -5}, {"8/1", 8},
      {"1/0", 0},    {"abc", 0},     {"4", 0},       {"x 1/2", 0}, {"1/b", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_DOUBLE_EQ(ParseFraction(c.text), c.expected);
  }
}

TEST(RoundedInt32, RoundsHalvesToEvenWithinTheRange) {
  const struct {
    double value;
    std::optional<int32_t> expected;
  } cases[] = {
      {2.5, 2},
      {3.5, 4},
      {-2.5, -2},
      {2.4999, 2},
      {2147483647.4, 2147483647},
      {-2147483648.4, std::numeric_limits<int32_t>::min()},
      {2147483647.5, kNo},
      {-2147483649.0, kNo},
      {std::numeric_limits<double>::infinity(), kNo},
      {std::nan(""), kNo},
  };
  for (const auto& c : cases) EXPECT_EQ(RoundedInt32(c.value), c.expected) << c.value;
}

TEST(ApplyNumberFormat, WritesTheTagTablesFormats) {
  const struct {
    const char* format;
    double value;
    const char* expected;
  } cases[] = {
      {"%5.2f", 3.14159, " 3.14"},
      {"F%0.1f", 2.8, "F2.8"},
      {"%4.4f sec", 0.00390625, "0.0039 sec"},
      {"%f", 1.5, "1.500000"},
      {"%-6.1f|", 1.26, "1.3   |"},
      {"%d mm", 52.5, "52 mm"},
      {"%d", 53.5, "54"},
      {"%3d", -1, " -1"},
      {"no conversion", 7, "no conversion"},
      {"%.0f", 1e20, "100000000000000000000"},
  };
  for (const auto& c : cases) EXPECT_EQ(ApplyNumberFormat(c.format, c.value), c.expected) << c.format;
}

TEST(ApplyNumberFormat, RefusesWhatItCannotWrite) {
  const struct {
    const char* format;
    double value;
    const char* message;
  } cases[] = {
      {"%x", 1, "unsupported format %x"},
      {"%s", 1, "unsupported format %s"},
      {"%d", 3e9, "value 3000000000.00 is outside the 32-bit range"},
      {"%d", -3e9, "value -3000000000.00 is outside the 32-bit range"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    testing::ExpectThrowWithMessage<NumberFormatError>([&] { (void)ApplyNumberFormat(c.format, c.value); }, c.message);
  }
}

// The reader checks an entry it does not render with this instead of writing its text: the two must agree on
// every format and value, the edges of the 32-bit range and of the write buffer included.
TEST(NumberFormatApplies, AgreesWithApplyNumberFormat) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const char* const formats[] = {"%5.2f",  "F%0.1f", "%4.4f sec", "%f", "%.350f", "%d",
                                 "%5d mm", "%x",     "%s",        "%%", "plain",  ""};
  const double values[] = {0,    1.5,  -2.5,  2147483647.4, 2147483647.6, -2147483648.4, -2147483648.6,
                           1e14, 1e15, 1e300, -1e308,       inf,          -inf,          nan};
  for (const char* format : formats) {
    for (const double value : values) {
      bool writes = true;
      try {
        (void)ApplyNumberFormat(format, value);
      } catch (const NumberFormatError&) {
        writes = false;
      }
      EXPECT_EQ(NumberFormatApplies(format, value), writes) << format << " of " << value;
    }
  }
}

TEST(FormatText, PutsTheTextInPlaceOfTheFirstPercentS) {
  EXPECT_EQ(FormatText("%s mm", "50"), "50 mm");
  EXPECT_EQ(FormatText("[%s] %s", "a"), "[a] %s");
  EXPECT_EQ(FormatText("no place", "a"), "no place");
}

}  // namespace
}  // namespace lumetra
