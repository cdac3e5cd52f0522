#include "survey/PhotoRecord.h"

#include <optional>

#include "numbers/ExposureText.h"
#include "numbers/FixedPoint.h"
#include "numbers/NumberText.h"

namespace lumetra {

std::string NormalizeText(std::string_view text, std::string_view default_text) {
  std::string result;
  result.reserve(text.size());
  NormalizeTextInto(text, default_text, result);
  return result;
}

void NormalizeTextInto(std::string_view text, std::string_view default_text, std::string& result) {
  result.clear();
  // Copied in stretches up to each run of blanks, which keeps one of them.
  size_t start = 0;
  while (start < text.size()) {
    const size_t pair = text.find("  ", start);
    if (pair == std::string_view::npos) {
      result.append(text.substr(start));
      break;
    }
    result.append(text.substr(start, pair + 1 - start));
    start = text.find_first_not_of(' ', pair);
    if (start == std::string_view::npos) break;
  }
  if (!result.empty() && result.back() == ' ') result.pop_back();
  if (result.empty() || result == " ") result.assign(default_text);
}

std::string NormalizeExposure(std::string_view text, std::string_view undetermined) {
  if (ReadDecimalAfterZero(text)) return std::string(text);
  const std::optional<ExposureFraction> fraction = ReadExposureFraction(text);
  if (!fraction || fraction->numerator == 0 || fraction->denominator == 0) return std::string(undetermined);
  // Double precision: this only chooses how the text is written; times are compared by ExposureValue.
  const double v = Round(fraction->numerator / fraction->denominator * kFixedPointUnit);
  if (v == 0) return std::string(undetermined);
  // A second or longer, and times between half a second and a second, read best as decimal seconds.
  if (v > kFixedPointUnit / 2) return DecimalText(v / kFixedPointUnit);
  if (fraction->numerator_text == "1") return std::string(text);
  // N comes from the fraction itself, not from the time rounded to 1/10000 s: 10/1600 is 1/160.
  return "1/" + DecimalText(Round(fraction->denominator / fraction->numerator));
}

int64_t ExposureValue(std::string_view text) {
  static const std::string undetermined_russian = LabelText(LabelId::NotDeterminedF, kRussian);
  static const std::string undetermined_english = LabelText(LabelId::NotDeterminedF, kEnglish);
  if (text == undetermined_russian || text == undetermined_english) {
    return 0;
  }
  return ExposureUnits(text);
}

int64_t NumberValue(std::string_view text) {
  const std::optional<double> x = ReadDecimalAfterZero(text);
  if (!x) return 0;
  // Single precision, as exposure times are taken, so that F-numbers sort as their tally compares them.
  return ToFixedPoint(static_cast<float>(*x)).value_or(0);
}

}  // namespace lumetra
