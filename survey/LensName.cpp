#include "survey/LensName.h"

#include <cmath>
#include <optional>
#include <vector>

#include "metadata/ValueRendering.h"
#include "numbers/FixedPoint.h"
#include "numbers/NumberText.h"
#include "survey/PhotoTags.h"

namespace lumetra {
namespace {

// Longer than any lens made; Canon writes 65535 for a focal length it does not know.
constexpr double kLongestFocal = 10000;
// f-numbers a lens can have; 0 is what cameras write for an unknown one.
constexpr double kSmallestFNumber = 0.5;
constexpr double kLargestFNumber = 100;
// Olympus writes apertures in steps of 1/256 EV: f = 2^(steps / 512).
constexpr double kOlympusStepsPerDoubling = 512;

// A number as the lens text shows it: one decimal at most, no trailing zeros (5.40625 gives "5.4").
std::string LensNumber(double value) { return DecimalText(Round(value * 10) / 10); }

// "a" or "a-b" when the ends differ once written.
std::string Span(double first, double second) {
  const std::string a = LensNumber(first);
  const std::string b = LensNumber(second);
  return a == b ? a : a + "-" + b;
}

bool RealFocal(double value) { return std::isfinite(value) && Round(value * 10) > 0 && value <= kLongestFocal; }

bool RealFNumber(double value) { return std::isfinite(value) && value >= kSmallestFNumber && value <= kLargestFNumber; }

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A whole or decimal number with blanks around it; nullopt for anything else.
std::optional<double> NumberIn(std::string_view text) {
  const std::string_view trimmed = Trimmed(text);
  if (trimmed.empty()) return std::nullopt;
  return ReadDecimal(trimmed);
}

// Splits `text` at each `separator`.
std::vector<std::string_view> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string_view> parts;
  for (size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator)) {
    parts.push_back(text.substr(0, at));
    text.remove_prefix(at + separator.size());
  }
  parts.push_back(text);
  return parts;
}

// A range the photo's own focal length lies well outside of is not the lens's: Canon's camera settings of
// some bodies hold other numbers where the focal lengths usually stand. A teleconverter's photo is
// passed over with them, rather than named by a range that its focal length contradicts.
constexpr double kFocalTolerance = 0.1;
constexpr double kFocalToleranceMillimetres = 0.5;

bool HoldsFocal(const LensRange& range, std::string_view photo_focal) {
  const std::optional<double> focal = NumberIn(photo_focal);
  if (!focal || *focal <= 0) return true;
  return *focal >= range.short_focal * (1 - kFocalTolerance) - kFocalToleranceMillimetres &&
         *focal <= range.long_focal * (1 + kFocalTolerance) + kFocalToleranceMillimetres;
}

double OlympusFNumber(std::string_view steps) {
  const std::optional<double> value = NumberIn(steps);
  return value && *value > 0 ? std::pow(2.0, *value / kOlympusStepsPerDoubling) : 0;
}

}  // namespace

std::string LensRangeText(const LensRange& range) {
  if (!RealFocal(range.short_focal) || !RealFocal(range.long_focal)) return {};
  if (Round(range.short_focal * 10) > Round(range.long_focal * 10)) return {};
  std::string text = Span(range.short_focal, range.long_focal) + "mm";
  // A zoom is widest at its short end: an aperture that says otherwise is not believed.
  if (RealFNumber(range.aperture_at_short) && RealFNumber(range.aperture_at_long) &&
      Round(range.aperture_at_short * 10) <= Round(range.aperture_at_long * 10)) {
    text += " f/" + Span(range.aperture_at_short, range.aperture_at_long);
  }
  return text;
}

LensRange RangeFromFractions(std::string_view text) {
  const std::vector<std::string_view> parts = Split(text, ",");
  if (parts.size() != 4) return {};
  return {ParseFraction(parts[0]), ParseFraction(parts[1]), ParseFraction(parts[2]), ParseFraction(parts[3])};
}

LensRange RangeFromNikonLensText(std::string_view text) {
  // "<short>-<long>(mm)  F<wide>-F<narrow>"
  const size_t unit = text.find("(mm)");
  if (unit == std::string_view::npos) return {};
  const std::vector<std::string_view> focal = Split(text.substr(0, unit), "-");
  const std::vector<std::string_view> aperture = Split(Trimmed(text.substr(unit + 4)), "-");
  if (focal.size() != 2) return {};
  LensRange range;
  range.short_focal = NumberIn(focal[0]).value_or(0);
  range.long_focal = NumberIn(focal[1]).value_or(0);
  if (aperture.size() == 2 && aperture[0].starts_with('F') && aperture[1].starts_with('F')) {
    range.aperture_at_short = NumberIn(aperture[0].substr(1)).value_or(0);
    range.aperture_at_long = NumberIn(aperture[1].substr(1)).value_or(0);
  }
  return range;
}

LensRange RangeFromCanonFocals(std::string_view short_focal, std::string_view long_focal,
                               std::string_view focal_units) {
  const std::optional<double> units = NumberIn(focal_units);
  const double per_millimetre = units && *units > 0 ? *units : 1;
  LensRange range;
  range.short_focal = NumberIn(short_focal).value_or(0) / per_millimetre;
  range.long_focal = NumberIn(long_focal).value_or(0) / per_millimetre;
  return range;
}

LensRange RangeFromOlympusEquipment(std::string_view short_focal, std::string_view long_focal,
                                    std::string_view aperture_at_short, std::string_view aperture_at_long) {
  return {NumberIn(short_focal).value_or(0), NumberIn(long_focal).value_or(0), OlympusFNumber(aperture_at_short),
          OlympusFNumber(aperture_at_long)};
}

LensRange RangeFromXmpLensInfo(std::string_view text) {
  text = Trimmed(text);
  const size_t unit = text.find("mm");
  if (unit == std::string_view::npos) {
    std::vector<std::string_view> parts;
    for (const std::string_view part : Split(text, " ")) {
      if (!part.empty()) parts.push_back(part);
    }
    if (parts.size() != 4) return {};
    return {ParseFraction(parts[0]), ParseFraction(parts[1]), ParseFraction(parts[2]), ParseFraction(parts[3])};
  }
  // "<short>-<long>mm f/<wide>-<narrow>", ends that are equal written once.
  const std::vector<std::string_view> focal = Split(text.substr(0, unit), "-");
  if (focal.size() > 2) return {};
  LensRange range;
  range.short_focal = NumberIn(focal.front()).value_or(0);
  range.long_focal = NumberIn(focal.back()).value_or(0);
  std::string_view aperture = Trimmed(text.substr(unit + 2));
  if (!aperture.starts_with("f/")) return range;
  const std::vector<std::string_view> ends = Split(aperture.substr(2), "-");
  if (ends.size() > 2) return range;
  range.aperture_at_short = NumberIn(ends.front()).value_or(0);
  range.aperture_at_long = NumberIn(ends.back()).value_or(0);
  return range;
}

std::string WithoutPointZeros(std::string text) {
  if (text.size() < 2) return text;
  size_t i = text.size() - 1;
  while (i >= 1) {
    if (i < text.size() && text[i - 1] == '.' && text[i] == '0') {
      text.erase(i - 1, 2);
      --i;
      continue;
    }
    --i;
  }
  return text;
}

std::string MakerLensName(std::string_view rendered) {
  if (rendered.starts_with('"')) rendered.remove_prefix(1);
  if (rendered.ends_with('"')) rendered.remove_suffix(1);
  const std::string_view name = Trimmed(rendered);
  // Cameras fill the entry with blanks, dashes or zeros when no lens reports itself.
  if (name.find_first_not_of("-0. ") == std::string_view::npos) return {};
  return WithoutPointZeros(std::string(name));
}

std::string DescribedLensName(const PhotoTags& tags) {
  std::string name = MakerLensName(tags.Text(PhotoTag::kMakerLensModel));
  if (!name.empty()) return name;
  // The range sources in their order, each with the tag it cannot be without: most photos have none of
  // them, and are passed over at the cost of a test for an empty text.
  struct RangeSource {
    PhotoTag needed;
    LensRange (*read)(const PhotoTags& tags);
  };
  static constexpr RangeSource kRangeSources[] = {
      {PhotoTag::kLensSpecification,
       [](const PhotoTags& t) { return RangeFromFractions(t.Text(PhotoTag::kLensSpecification)); }},
      {PhotoTag::kDngLensInfo, [](const PhotoTags& t) { return RangeFromFractions(t.Text(PhotoTag::kDngLensInfo)); }},
      {PhotoTag::kNikonLensInformation,
       [](const PhotoTags& t) { return RangeFromNikonLensText(t.Text(PhotoTag::kNikonLensInformation)); }},
      {PhotoTag::kLongFocal,
       [](const PhotoTags& t) {
         return RangeFromCanonFocals(t.Text(PhotoTag::kShortFocal), t.Text(PhotoTag::kLongFocal),
                                     t.Text(PhotoTag::kFocalUnits));
       }},
      {PhotoTag::kOlympusLongFocal,
       [](const PhotoTags& t) {
         return RangeFromOlympusEquipment(t.Text(PhotoTag::kOlympusShortFocal), t.Text(PhotoTag::kOlympusLongFocal),
                                          t.Text(PhotoTag::kOlympusApertureAtShort),
                                          t.Text(PhotoTag::kOlympusApertureAtLong));
       }},
  };
  for (const RangeSource& source : kRangeSources) {
    if (tags.Text(source.needed).empty()) continue;
    const LensRange range = source.read(tags);
    if (!HoldsFocal(range, tags.Text(PhotoTag::kFocalLength))) continue;
    name = LensRangeText(range);
    if (!name.empty()) return name;
  }
  return {};
}

std::string XmpLensName(const PhotoTags& tags) {
  std::string name = MakerLensName(tags.xmp_lens);
  if (!name.empty() || tags.xmp_lens_info.empty()) return name;
  const LensRange range = RangeFromXmpLensInfo(tags.xmp_lens_info);
  return HoldsFocal(range, tags.Text(PhotoTag::kFocalLength)) ? LensRangeText(range) : std::string();
}

}  // namespace lumetra
