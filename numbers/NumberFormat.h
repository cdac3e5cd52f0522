#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lumetra {

/// A number that a printf-style format cannot write: an unsupported conversion, a "%d" beyond 32 bits,
/// a number too long to write.
class NumberFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// A whole decimal number within 32 bits (optional sign, blanks and control characters around it
/// allowed); nullopt otherwise.
[[nodiscard]] std::optional<int32_t> ParseInteger(std::string_view text);

/// "w num/den" or "num/den" as a number; 0 when a part is not an integer, "/" is missing or den is 0.
[[nodiscard]] double ParseFraction(std::string_view text);

/// Nearest integer, halves to even; nullopt for a value outside the 32-bit range, infinite or NaN.
[[nodiscard]] std::optional<int32_t> RoundedInt32(double value);

/// `value` with `precision` decimals and "." as separator; throws `NumberFormatError` when it is too long.
[[nodiscard]] std::string FixedDecimals(double value, int precision);

/// `format` ("%5.2f", "F%0.1f", "%4.4f sec", ...: one %f, %d or %s conversion with optional width and
/// precision) applied to a number, always with "." as decimal separator. Throws `NumberFormatError` for
/// another conversion, and for a "%d" of a value outside the 32-bit range.
[[nodiscard]] std::string ApplyNumberFormat(std::string_view format, double value);

/// Whether `ApplyNumberFormat(format, value)` writes a text rather than throwing; in most cases answered
/// without writing it.
[[nodiscard]] bool NumberFormatApplies(std::string_view format, double value);

/// `format` with its "%s" replaced by `text`.
[[nodiscard]] std::string FormatText(std::string_view format, std::string_view text);

}  // namespace lumetra
