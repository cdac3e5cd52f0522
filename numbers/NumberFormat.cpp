#include "numbers/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "numbers/ScaledDecimal.h"
#include "text/TrimmedText.h"

namespace lumetra {
namespace {

// One printf-style conversion inside a format: what stands before and after it, and its parts.
struct Conversion {
  std::string_view prefix;
  std::string_view suffix;
  bool left_justify = false;
  int width = 0;
  int precision = -1;
  char kind = 0;
};

Conversion ParseConversion(std::string_view format) {
  Conversion conversion;
  const size_t percent = format.find('%');
  if (percent == std::string_view::npos) {
    conversion.prefix = format;
    return conversion;
  }
  conversion.prefix = format.substr(0, percent);
  size_t i = percent + 1;
  while (i < format.size() && (format[i] == '-' || format[i] == '0' || format[i] == '+' || format[i] == ' ')) {
    if (format[i] == '-') conversion.left_justify = true;
    ++i;
  }
  while (i < format.size() && format[i] >= '0' && format[i] <= '9')
    conversion.width = conversion.width * 10 + (format[i++] - '0');
  if (i < format.size() && format[i] == '.') {
    ++i;
    conversion.precision = 0;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
      conversion.precision = conversion.precision * 10 + (format[i++] - '0');
    }
  }
  if (i < format.size()) conversion.kind = format[i++];
  conversion.suffix = format.substr(i);
  return conversion;
}

// The conversion's text padded to its width, between the format's prefix and suffix, built in one string:
// every rendered number of every photo passes here.
std::string Framed(std::string_view body, const Conversion& conversion) {
  const size_t fill =
      static_cast<int>(body.size()) < conversion.width ? static_cast<size_t>(conversion.width) - body.size() : 0;
  std::string text;
  text.reserve(conversion.prefix.size() + fill + body.size() + conversion.suffix.size());
  text.append(conversion.prefix);
  if (!conversion.left_justify) text.append(fill, ' ');
  text.append(body);
  if (conversion.left_justify) text.append(fill, ' ');
  text.append(conversion.suffix);
  return text;
}

}  // namespace

std::optional<int32_t> ParseInteger(std::string_view text) {
  text = TrimmedText(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

double ParseFraction(std::string_view text) {
  text = TrimmedText(text);
  int32_t whole = 0;
  const size_t blank = text.find(' ');
  if (blank != std::string_view::npos) {
    const std::optional<int32_t> parsed = ParseInteger(text.substr(0, blank));
    if (!parsed) return 0;
    whole = *parsed;
    text = TrimmedText(text.substr(blank + 1));
  }
  const size_t slash = text.find('/');
  if (slash == std::string_view::npos) return 0;
  const std::optional<int32_t> numerator = ParseInteger(text.substr(0, slash));
  const std::optional<int32_t> denominator = ParseInteger(text.substr(slash + 1));
  if (!numerator || !denominator || *denominator == 0) return 0;
  return (static_cast<double>(whole) * *denominator + *numerator) / *denominator;
}

std::optional<int32_t> RoundedInt32(double value) {
  // Checked before converting: an infinite or too large value never reaches an integer conversion.
  const double rounded = std::nearbyint(value);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return std::nullopt;
  return static_cast<int32_t>(rounded);
}

std::string FixedDecimals(double value, int precision) {
  // Nearly every value of a photo is written from its rounded scaled value; a tie or a huge value goes
  // through the exact conversion.
  if (const std::optional<ScaledDecimal> rounded = RoundedToDecimals(value, precision)) return rounded->Text();
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
  if (result.ec != std::errc()) throw NumberFormatError("number too long to write");
  return std::string(buffer, result.ptr);
}

std::string ApplyNumberFormat(std::string_view format, double value) {
  const Conversion conversion = ParseConversion(format);
  std::string body;
  if (conversion.kind == 'f') {
    body = FixedDecimals(value, conversion.precision < 0 ? 6 : conversion.precision);
  } else if (conversion.kind == 'd') {
    const std::optional<int32_t> rounded = RoundedInt32(value);
    if (!rounded) throw NumberFormatError("value " + FixedDecimals(value, 2) + " is outside the 32-bit range");
    body = std::to_string(*rounded);
  } else if (conversion.kind != 0) {
    throw NumberFormatError("unsupported format " + std::string(format));
  }
  return Framed(body, conversion);
}

bool NumberFormatApplies(std::string_view format, double value) {
  const Conversion conversion = ParseConversion(format);
  if (conversion.kind == 0) return true;
  if (conversion.kind == 'd') return RoundedInt32(value).has_value();
  if (conversion.kind != 'f') return false;
  // Fifteen digits before the point and a few hundred after it always fit FixedDecimals' buffer; a larger
  // number or precision is written to find out.
  constexpr double kSurelyShort = 1e15;
  constexpr int kSurelyShortPrecision = 300;
  const int precision = conversion.precision < 0 ? 6 : conversion.precision;
  if ((!std::isfinite(value) || std::fabs(value) < kSurelyShort) && precision <= kSurelyShortPrecision) return true;
  try {
    static_cast<void>(FixedDecimals(value, precision));
    return true;
  } catch (const NumberFormatError&) {
    return false;
  }
}

std::string FormatText(std::string_view format, std::string_view text) {
  const size_t at = format.find("%s");
  if (at == std::string_view::npos) return std::string(format);
  std::string result;
  result.reserve(format.size() - 2 + text.size());
  result.append(format.substr(0, at)).append(text).append(format.substr(at + 2));
  return result;
}

}  // namespace lumetra
