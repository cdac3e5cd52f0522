#include "filter/CurrentRangeTexts.h"

#include <algorithm>

#include "numbers/FixedPoint.h"
#include "numbers/NumberText.h"
#include "survey/CaptureTime.h"

namespace lumetra {
namespace {

// A fixed-point value in its shortest decimal form, with the user's separator.
std::string FixedPointText(int64_t value, char separator) {
  std::string text = DecimalText(static_cast<double>(value) / kFixedPointUnit);
  std::replace(text.begin(), text.end(), '.', separator);
  return text;
}

std::string RangeText(const std::string& min, const std::string& max) { return min + " - " + max; }

}  // namespace

std::string ExposureRangeText(int64_t units, char separator) {
  if (units >= kFixedPointUnit) return FixedPointText(units, separator);
  if (units <= 0) return "-";
  return "1/" + DecimalText(Round(static_cast<double>(kFixedPointUnit) / static_cast<double>(units)));
}

std::array<std::string, 4> CurrentRangeTexts(const ValueRanges& ranges, bool rb_Real, Language language,
                                             char separator) {
  const std::string prefix(kCurrentRangePrefix.In(language));
  std::array<std::string, 4> texts;
  texts.fill(prefix + "-");
  if (ranges.shutter_max > 0) {
    texts[0] = prefix + RangeText(ExposureRangeText(ranges.shutter_min, separator),
                                  ExposureRangeText(ranges.shutter_max, separator));
  } else {
    texts[0] = prefix + " - ";
  }
  if (ranges.fnumber_max > 0) {
    texts[1] = prefix +
               RangeText(FixedPointText(ranges.fnumber_min, separator), FixedPointText(ranges.fnumber_max, separator));
  }
  if (rb_Real && ranges.focal_max > 0) {
    texts[2] = prefix + RangeText(std::to_string(ranges.focal_min), std::to_string(ranges.focal_max));
  } else if (ranges.focal35_max > 0) {
    texts[2] = prefix + RangeText(std::to_string(ranges.focal35_min), std::to_string(ranges.focal35_max));
  }
  if (ranges.iso_max > 0) {
    texts[3] = prefix + RangeText(std::to_string(ranges.iso_min), std::to_string(ranges.iso_max));
  }
  return texts;
}

std::array<std::string, 2> TimeRangeTexts(const ValueRanges& ranges, Language language) {
  const std::string prefix(kCurrentRangePrefix.In(language));
  if (ranges.taken_max == kNoCaptureTime) return {prefix + "-", prefix + "-"};
  return {prefix + RangeText(CaptureDateText(ranges.taken_min), CaptureDateText(ranges.taken_max)),
          prefix + RangeText(std::to_string(ranges.hour_min), std::to_string(ranges.hour_max))};
}

}  // namespace lumetra
