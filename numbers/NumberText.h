#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumetra {

/// A decimal number with "." as separator, the whole text: digits with at most one point, an optional
/// leading "-" and exponent ("1e3"). nullopt for blanks, a "+", infinity, NaN, a value beyond the range of
/// double, and any other text.
[[nodiscard]] std::optional<double> ReadDecimal(std::string_view text);

/// `text` read by `ReadDecimal` with "0" put in front, so that ".5" reads as 0.5, "." and the empty text as
/// 0, and any sign makes it unreadable.
[[nodiscard]] std::optional<double> ReadDecimalAfterZero(std::string_view text);

/// A decimal number whose separator is `separator`, as people type it: optional blanks, a sign ("+" or
/// "-"), digits with at most one separator, an optional exponent, optional blanks ("1,6" and " +1e1 " are
/// numbers under ','). At least one digit before the exponent; infinity, NaN and hexadecimal forms are not
/// numbers, nor is a value beyond the range of double.
[[nodiscard]] std::optional<double> ReadRegionalDecimal(std::string_view text, char separator);

/// A whole number within 64 bits, the whole text: digits with an optional leading "-"; nullopt for any
/// other text, "+" and blanks included, and for values that do not fit.
[[nodiscard]] std::optional<int64_t> ReadInteger64(std::string_view text);

/// The shortest text that reads back as `value`, at most 15 significant digits, written out without an
/// exponent ("1.6", "1", "52", "0.0001").
[[nodiscard]] std::string DecimalText(double value);

}  // namespace lumetra
