#include "survey/PassesFilter.h"

#include <algorithm>
#include <optional>

#include "numbers/NumberText.h"

namespace lumetra {
namespace {

bool Has(const PhotoRecord& record, int field, LabelId label) {
  return record.labels[static_cast<size_t>(field)] == label;
}

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
  if (text.empty() || undetermined) return from.empty() && to.empty();
  const std::optional<int64_t> value = ReadInteger64(text);
  if (!value) return from.empty() && to.empty();
  return WithinBounds(*value, from, to, [](const std::string& bound) { return ReadInteger64(bound); });
}

bool IsExcluded(const PhotoRecord& record, int field, const std::vector<std::string>& exclusions) {
  const std::string& text = record.Field(field);
  const bool undetermined = Has(record, field, LabelId::NotDeterminedM);
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

}  // namespace

bool PassesFilter(const PhotoRecord& record, const FilterCriteria& criteria, bool rb_Real) {
  // Exposure: an undetermined time reads as 0, so it passes an upper bound and fails a lower one.
  const int64_t exposure = Has(record, kExposure, LabelId::NotDeterminedF) ? 0 : ExposureValue(record.exposure);
  if (!WithinBounds(exposure, criteria.ed_from1, criteria.ed_to1,
                    [](const std::string& bound) { return std::optional<int64_t>(ExposureValue(bound)); })) {
    return false;
  }

  // An undetermined F-number never passes.
  if (Has(record, kFNumber, LabelId::NotDeterminedF) || record.fNumber.empty()) return false;
  if (!criteria.ed_from2.empty() || !criteria.ed_to2.empty()) {
    const std::optional<double> f_number = ReadDecimalAfterZero(record.fNumber);
    if (!f_number || !WithinBounds(*f_number, criteria.ed_from2, criteria.ed_to2, BoundNumber)) return false;
  }

  const int focal_field = rb_Real ? kFocal : kFocal35;
  if (!IntegerWithin(record.Field(focal_field), Has(record, focal_field, LabelId::NotDeterminedN), criteria.ed_from3,
                     criteria.ed_to3)) {
    return false;
  }
  if (!IntegerWithin(record.iso, Has(record, kIso, LabelId::NotDeterminedN), criteria.ed_from4, criteria.ed_to4)) {
    return false;
  }

  if (criteria.rb_Flash_Yes && !Has(record, kFlash, LabelId::LabelFlashOn)) return false;
  if (criteria.rb_Flash_No && !Has(record, kFlash, LabelId::LabelFlashOff)) return false;
  if (criteria.rb_Orientation_H && !Has(record, kOrientation, LabelId::LabelHorizontal)) return false;
  if (criteria.rb_Orientation_V && !Has(record, kOrientation, LabelId::LabelVertical)) return false;

  if (!AdmittedByBoxes(criteria, record.labels[kProgram], BoxGroup::kProgram)) return false;
  if (!AdmittedByBoxes(criteria, record.labels[kMetering], BoxGroup::kMetering)) return false;

  return !IsExcluded(record, kModel, criteria.ModelExclusions) && !IsExcluded(record, kLens, criteria.LensExclusions);
}

}  // namespace lumetra
