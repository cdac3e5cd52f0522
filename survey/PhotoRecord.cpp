#include "survey/PhotoRecord.h"

#include <charconv>
#include <cmath>

namespace lumetra {

std::string& PhotoRecord::Field(int index) {
  std::string* const fields[kFieldCount] = {&path,    &exposure, &fNumber, &focal,       &focal35, &iso,
                                            &program, &metering, &flash,   &orientation, &model,   &lens,
                                            &make,    &crop,     &drive,   &focus};
  return *fields[index];
}

const std::string& PhotoRecord::Field(int index) const { return const_cast<PhotoRecord*>(this)->Field(index); }

void PhotoRecord::SetLabel(int index, LabelId label, int language) {
  Field(index) = LabelText(label, language);
  labels[static_cast<size_t>(index)] = label;
}

void ClearPhotoRecord(PhotoRecord& record) { record = PhotoRecord{}; }

std::string NormalizeText(std::string_view text, std::string_view default_text) {
  std::string result;
  result.reserve(text.size());
  for (const char c : text) {
    if (c == ' ' && !result.empty() && result.back() == ' ') continue;
    result += c;
  }
  if (!result.empty() && result.back() == ' ') result.pop_back();
  if (result.empty() || result == " ") return std::string(default_text);
  return result;
}

std::optional<double> ReadDecimal(std::string_view text) {
  if (text.empty() || text.front() == '+') return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int64_t> ReadInteger64(std::string_view text) {
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

double Round(double value) { return std::nearbyint(value); }

std::string DecimalText(double value) {
  if (value == 0) return "0";
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  // The general form may choose an exponent for very small or large values: write them out in full.
  if (text.find('e') != std::string::npos) {
    const auto fixed = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    text.assign(buffer, fixed.ptr);
  }
  return text;
}

std::optional<double> ReadDecimalAfterZero(std::string_view text) {
  std::string zero_first(1, '0');
  zero_first.append(text);
  return ReadDecimal(zero_first);
}

namespace {

std::optional<double> ReadFractionPart(std::string_view text) {
  if (text.empty()) return std::nullopt;
  return ReadDecimalAfterZero(text);
}

}  // namespace

std::string NormalizeExposure(std::string_view text, std::string_view undetermined) {
  if (ReadDecimalAfterZero(text)) return std::string(text);
  const size_t slash = text.find('/');
  const std::string_view numerator_text = text.substr(0, slash);
  const std::string_view denominator_text =
      slash == std::string_view::npos ? std::string_view() : text.substr(slash + 1);
  const std::optional<double> numerator = ReadFractionPart(numerator_text);
  const std::optional<double> denominator = ReadFractionPart(denominator_text);
  if (!numerator || !denominator || *numerator == 0 || *denominator == 0) return std::string(undetermined);
  const double v = Round(*numerator / *denominator * 10000);
  if (v == 0) return std::string(undetermined);
  // A second or longer, and times between half a second and a second, read best as decimal seconds.
  if (v > 5000) return DecimalText(v / 10000);
  if (numerator_text == "1") return std::string(text);
  // N comes from the fraction itself, not from the time rounded to 1/10000 s: 10/1600 is 1/160.
  return "1/" + DecimalText(Round(*denominator / *numerator));
}

int64_t ExposureValue(std::string_view text) {
  if (text == LabelText(LabelId::NotDeterminedF, kRussian) || text == LabelText(LabelId::NotDeterminedF, kEnglish)) {
    return 0;
  }
  double x = 0;
  if (const std::optional<double> decimal = ReadDecimalAfterZero(text)) {
    x = *decimal;
  } else {
    const size_t slash = text.find('/');
    if (slash == std::string_view::npos) return 0;
    const std::optional<double> numerator = ReadFractionPart(text.substr(0, slash));
    const std::optional<double> denominator = ReadFractionPart(text.substr(slash + 1));
    if (!numerator || !denominator || *denominator == 0) return 0;
    x = *numerator / *denominator;
  }
  const double scaled = Round(static_cast<double>(static_cast<float>(x)) * 10000);
  if (!(std::fabs(scaled) < 9.0e18)) return 0;
  return static_cast<int64_t>(scaled);
}

int64_t NumberValue(std::string_view text) {
  const std::optional<double> x = ReadDecimalAfterZero(text);
  if (!x) return 0;
  const double scaled = Round(static_cast<double>(static_cast<float>(*x)) * 10000);
  if (!(std::fabs(scaled) < 9.0e18)) return 0;
  return static_cast<int64_t>(scaled);
}

}  // namespace lumetra
