#include "numbers/ExposureText.h"

#include <algorithm>

#include "numbers/FixedPoint.h"
#include "numbers/NumberText.h"

namespace lumetra {
namespace {

// A part of a fraction; "0" is put in front, so ".5" is a half, but a part without a digit is not a number.
std::optional<double> ReadFractionPart(std::string_view text) {
  if (std::none_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
  return ReadDecimalAfterZero(text);
}

}  // namespace

std::optional<ExposureFraction> ReadExposureFraction(std::string_view text) {
  const size_t slash = text.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const std::string_view numerator_text = text.substr(0, slash);
  const std::optional<double> numerator = ReadFractionPart(numerator_text);
  const std::optional<double> denominator = ReadFractionPart(text.substr(slash + 1));
  if (!numerator || !denominator) return std::nullopt;
  return ExposureFraction{numerator_text, *numerator, *denominator};
}

int64_t ExposureUnits(std::string_view text) {
  double seconds = 0;
  if (const std::optional<double> decimal = ReadDecimalAfterZero(text)) {
    seconds = *decimal;
  } else {
    const std::optional<ExposureFraction> fraction = ReadExposureFraction(text);
    if (!fraction || fraction->denominator == 0) return 0;
    seconds = fraction->numerator / fraction->denominator;
  }
  return ToFixedPoint(static_cast<float>(seconds)).value_or(0);
}

}  // namespace lumetra
