#include "survey/PassesFilter.h"

#include <algorithm>
#include <optional>

#include "numbers/NumberText.h"
#include "survey/CaptureTime.h"

namespace lumetra {
namespace {

bool Has(const PhotoView& photo, int field, LabelId label) { return photo.Label(field) == label; }

std::optional<double> BoundNumber(const std::string& bound) { return ReadDecimalAfterZero(bound); }

// A value between two optional bounds, both inclusive; an unreadable bound admits nothing.
template <typename Number, typename Read>
bool WithinBounds(Number value, const std::string& from, const std::string& to, Read read) {
  if (!from.empty()) {
    const auto low = read(from);
    if (!low || *low > value) return false;
  }
  if (!to.empty()) {
    const auto high = read(to);
    if (!high || *high < value) return false;
  }
  return true;
}

// A whole-number field between bounds; an undetermined value fails only when a bound is set.
bool IntegerWithin(const std::string& text, bool undetermined, const std::string& from, const std::string& to) {
  if (from.empty() && to.empty()) return true;
  if (text.empty() || undetermined) return false;
  const std::optional<int64_t> value = ReadInteger64(text);
  if (!value) return false;
  return WithinBounds(*value, from, to, [](const std::string& bound) { return ReadInteger64(bound); });
}

bool IsExcluded(const PhotoView& photo, int field, const std::vector<std::string>& exclusions) {
  if (exclusions.empty()) return false;
  const std::string& text = photo.Field(field);
  const bool undetermined = Has(photo, field, LabelId::NotDeterminedM);
  return std::any_of(exclusions.begin(), exclusions.end(), [&](const std::string& excluded) {
    // An undetermined model or lens is excluded by its label in either language.
    return excluded == text || (undetermined && (excluded == LabelText(LabelId::NotDeterminedM, kRussian) ||
                                                 excluded == LabelText(LabelId::NotDeterminedM, kEnglish)));
  });
}

// A photo is left out by an unchecked box of `group` that names its label.
bool AdmittedByBoxes(const FilterCriteria& criteria, LabelId label, BoxGroup group) {
  return std::none_of(kCategoryBoxes.begin(), kCategoryBoxes.end(), [&](const CategoryBox& box) {
    return box.group == group && !(criteria.*box.box) && label != LabelId::kNone &&
           std::find(box.labels.begin(), box.labels.end(), label) != box.labels.end();
  });
}

// The capture time between the date and hour bounds; a photo without one fails any bound that is set.
bool TimeWithin(int64_t taken, const FilterCriteria& criteria) {
  const bool date_bound = !criteria.ed_from5.empty() || !criteria.ed_to5.empty();
  const bool hour_bound = !criteria.ed_from6.empty() || !criteria.ed_to6.empty();
  if (!date_bound && !hour_bound) return true;
  if (taken == kNoCaptureTime) return false;
  if (date_bound && !WithinBounds(CaptureDay(taken), criteria.ed_from5, criteria.ed_to5, ReadDateBound)) return false;
  if (!hour_bound) return true;
  const int hour = CaptureHour(taken);
  const std::optional<int> from = criteria.ed_from6.empty() ? 0 : ReadHourBound(criteria.ed_from6);
  const std::optional<int> to = criteria.ed_to6.empty() ? 23 : ReadHourBound(criteria.ed_to6);
  if (!from || !to) return false;
  return *from <= *to ? (*from <= hour && hour <= *to) : (hour >= *from || hour <= *to);
}

}  // namespace

bool PassesFilter(const PhotoView& photo, const FilterCriteria& criteria, bool rb_Real) {
  // Exposure: an undetermined time reads as 0, so it passes an upper bound and fails a lower one. Without
  // bounds every time passes, and the text is not read.
  if (!criteria.ed_from1.empty() || !criteria.ed_to1.empty()) {
    const int64_t exposure = Has(photo, kExposure, LabelId::NotDeterminedF) ? 0 : ExposureValue(photo.Field(kExposure));
    if (!WithinBounds(exposure, criteria.ed_from1, criteria.ed_to1,
                      [](const std::string& bound) { return std::optional<int64_t>(ExposureValue(bound)); })) {
      return false;
    }
  }

  // An undetermined F-number never passes.
  const std::string& f_number_text = photo.Field(kFNumber);
  if (Has(photo, kFNumber, LabelId::NotDeterminedF) || f_number_text.empty()) return false;
  if (!criteria.ed_from2.empty() || !criteria.ed_to2.empty()) {
    const std::optional<double> f_number = ReadDecimalAfterZero(f_number_text);
    if (!f_number || !WithinBounds(*f_number, criteria.ed_from2, criteria.ed_to2, BoundNumber)) return false;
  }

  const int focal_field = rb_Real ? kFocal : kFocal35;
  if (!IntegerWithin(photo.Field(focal_field), Has(photo, focal_field, LabelId::NotDeterminedN), criteria.ed_from3,
                     criteria.ed_to3)) {
    return false;
  }
  if (!IntegerWithin(photo.Field(kIso), Has(photo, kIso, LabelId::NotDeterminedN), criteria.ed_from4,
                     criteria.ed_to4)) {
    return false;
  }

  if (criteria.rb_Flash_Yes && !Has(photo, kFlash, LabelId::LabelFlashOn)) return false;
  if (criteria.rb_Flash_No && !Has(photo, kFlash, LabelId::LabelFlashOff)) return false;
  if (criteria.rb_Orientation_H && !Has(photo, kOrientation, LabelId::LabelHorizontal)) return false;
  if (criteria.rb_Orientation_V && !Has(photo, kOrientation, LabelId::LabelVertical)) return false;

  if (!AdmittedByBoxes(criteria, photo.Label(kProgram), BoxGroup::kProgram)) return false;
  if (!AdmittedByBoxes(criteria, photo.Label(kMetering), BoxGroup::kMetering)) return false;
  if (!TimeWithin(photo.Taken(), criteria)) return false;

  return !IsExcluded(photo, kModel, criteria.ModelExclusions) && !IsExcluded(photo, kLens, criteria.LensExclusions);
}

}  // namespace lumetra
