#include "numbers/NumberText.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "numbers/ScaledDecimal.h"

namespace lumetra {

std::optional<double> ReadDecimal(std::string_view text) {
  if (text.empty() || text.front() == '+') return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<double> ReadDecimalAfterZero(std::string_view text) {
  std::string zero_first(1, '0');
  zero_first.append(text);
  return ReadDecimal(zero_first);
}

std::optional<double> ReadRegionalDecimal(std::string_view text, char separator) {
  size_t i = 0;
  const auto skip_blanks = [&] {
    while (i < text.size() && text[i] == ' ') ++i;
  };
  const auto is_digit = [&] { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
  // The number is rebuilt in the form from_chars reads: "-", digits, ".", digits, "e", sign, digits.
  std::string number;
  skip_blanks();
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    if (text[i] == '-') number.push_back('-');
    ++i;
  }
  size_t digits = 0;
  for (; is_digit(); ++i, ++digits) number.push_back(text[i]);
  if (i < text.size() && text[i] == separator) {
    number.push_back('.');
    for (++i; is_digit(); ++i, ++digits) number.push_back(text[i]);
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    number.push_back('e');
    ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) number.push_back(text[i++]);
    if (!is_digit()) return std::nullopt;
    for (; is_digit(); ++i) number.push_back(text[i]);
  }
  skip_blanks();
  if (i != text.size()) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int64_t> ReadInteger64(std::string_view text) {
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string DecimalText(double value) {
  if (value == 0) return "0";
  // A crop factor or a focal length has a decimal or two: written without the general conversion.
  if (const std::optional<ScaledDecimal> few = FewDecimals(value)) return few->Text();
  // Room for the longest double written out in full (309 digits and a sign): a smaller buffer left a
  // huge value's conversion unfinished and its text made of whatever the buffer held.
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  // The general form may choose an exponent for very small or large values: write them out in full.
  if (text.find('e') != std::string::npos) {
    const auto fixed = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    text.assign(buffer, fixed.ptr);
  }
  return text;
}

}  // namespace lumetra
