#include "filter/ApplyChecks.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "numbers/ExposureText.h"
#include "numbers/FixedPoint.h"
#include "numbers/NumberText.h"
#include "survey/CaptureTime.h"

namespace lumetra {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

size_t MaxLength(BoundKind kind) {
  switch (kind) {
    case BoundKind::kFNumber:
      return 4;
    case BoundKind::kDate:
      return 10;
    case BoundKind::kHour:
      return 2;
    default:
      return 6;
  }
}

// The characters a box takes, and at most one "." and one "/" (two "-" in a date) where they are taken.
bool HasAllowedCharacters(BoundKind kind, std::string_view text) {
  const bool takes_point = kind == BoundKind::kExposure || kind == BoundKind::kFNumber;
  const bool takes_slash = kind == BoundKind::kExposure;
  const bool takes_dash = kind == BoundKind::kDate;
  int points = 0;
  int slashes = 0;
  int dashes = 0;
  for (const char c : text) {
    if (IsDigit(c)) continue;
    if (c == '.' && takes_point) {
      ++points;
    } else if (c == '/' && takes_slash) {
      ++slashes;
    } else if (c == '-' && takes_dash) {
      ++dashes;
    } else {
      return false;
    }
  }
  return points <= 1 && slashes <= 1 && dashes <= 2;
}

class Checker {
 public:
  void Fail() { result_.valid = false; }
  void Paint(bool PaintedBoxes::*box) {
    result_.valid = false;
    result_.painted.*box = true;
  }
  [[nodiscard]] ApplyCheckResult Result() const { return result_; }

 private:
  ApplyCheckResult result_;
};

// One exposure bound in units of 1/10000 s, as the filter test will read it: 0 for a zero bound (failed
// elsewhere), nullopt for a text that is refused. A fraction whose numerator is not "1" is rewritten in
// place as 1/N.
std::optional<int64_t> ReadExposureBound(std::string& text) {
  if (!IsBoundTextAllowed(BoundKind::kExposure, text)) return std::nullopt;
  if (const std::optional<double> seconds = ReadDecimalAfterZero(text)) {
    if (static_cast<float>(*seconds) == 0) return 0;
  } else {
    const std::optional<ExposureFraction> fraction = ReadExposureFraction(text);
    if (!fraction) return std::nullopt;
    // The bounds are single-precision numbers: each part is rounded to float and divided in float, which
    // decides the borderline cases of the 1/N rewrite and of the too-short check.
    const auto numerator = static_cast<float>(fraction->numerator);
    const auto denominator = static_cast<float>(fraction->denominator);
    // 0/5 has no 1/N form and would read as no time at all.
    if (numerator == 0 || denominator == 0) return std::nullopt;
    const float value = numerator / denominator;
    if (fraction->numerator_text != "1") {
      // Too short a time to count is refused below; checking it first keeps 1 / value small.
      if (Round(static_cast<double>(value) * kFixedPointUnit) == 0) return std::nullopt;
      const double n = Round(1.0f / value);
      // A second or more has no 1/N form: 3/2 would become 1/1 and 5/2 1/0.
      if (!(n >= 2)) return std::nullopt;
      text = "1/" + DecimalText(n);
    }
  }
  // A time that reads as 0 in 1/10000 s (.00001) would act as no bound; a bound of 0 is refused anyway.
  const int64_t units = ExposureUnits(text);
  if (units <= 0) return std::nullopt;
  return units;
}

void CheckExposure(FilterCriteria& criteria, Checker& checker) {
  std::optional<int64_t> from;
  std::optional<int64_t> to;
  if (!criteria.ed_from1.empty()) {
    from = ReadExposureBound(criteria.ed_from1);
    if (!from) checker.Paint(&PaintedBoxes::ed_from1);
  }
  if (!criteria.ed_to1.empty()) {
    to = ReadExposureBound(criteria.ed_to1);
    if (!to) checker.Paint(&PaintedBoxes::ed_to1);
  }
  if (from && to && *from > 0 && *to > 0 && *from > *to) {
    checker.Paint(&PaintedBoxes::ed_from1);
    checker.Paint(&PaintedBoxes::ed_to1);
  }
  if (criteria.ed_from1 == "/" || criteria.ed_to1 == "/") {
    checker.Paint(&PaintedBoxes::ed_from1);
    checker.Paint(&PaintedBoxes::ed_to1);
  }
  if (criteria.ed_from1.starts_with('/')) checker.Paint(&PaintedBoxes::ed_from1);
  if (criteria.ed_to1.starts_with('/')) checker.Paint(&PaintedBoxes::ed_to1);
  for (const std::string* text : {&criteria.ed_from1, &criteria.ed_to1}) {
    if (!text->empty() && IsZeroText(*text)) checker.Fail();
  }
}

struct NumericPair {
  BoundKind kind;
  std::string FilterCriteria::*from;
  std::string FilterCriteria::*to;
  bool PaintedBoxes::*paint_from;
  bool PaintedBoxes::*paint_to;
};

constexpr NumericPair kNumericPairs[] = {
    {BoundKind::kFNumber, &FilterCriteria::ed_from2, &FilterCriteria::ed_to2, &PaintedBoxes::ed_from2,
     &PaintedBoxes::ed_to2},
    {BoundKind::kFocal, &FilterCriteria::ed_from3, &FilterCriteria::ed_to3, &PaintedBoxes::ed_from3,
     &PaintedBoxes::ed_to3},
    {BoundKind::kIso, &FilterCriteria::ed_from4, &FilterCriteria::ed_to4, &PaintedBoxes::ed_from4,
     &PaintedBoxes::ed_to4},
};

// F-numbers read as decimals with "0" in front (so "." is 0), focal lengths and ISO as whole numbers, the
// way the filter test reads them.
std::optional<double> ReadNumericBound(BoundKind kind, const std::string& text) {
  if (!IsBoundTextAllowed(kind, text)) return std::nullopt;
  if (kind == BoundKind::kFNumber) return ReadDecimalAfterZero(text);
  const std::optional<int64_t> whole = ReadInteger64(text);
  if (!whole) return std::nullopt;
  return static_cast<double>(*whole);
}

void CheckNumericPair(const FilterCriteria& criteria, const NumericPair& pair, Checker& checker) {
  struct Bound {
    const std::string& text;
    bool PaintedBoxes::*box;
    std::optional<double> value;
  };
  Bound bounds[] = {{criteria.*pair.from, pair.paint_from, std::nullopt},
                    {criteria.*pair.to, pair.paint_to, std::nullopt}};
  for (Bound& bound : bounds) {
    if (bound.text.empty()) continue;
    bound.value = ReadNumericBound(pair.kind, bound.text);
    if (!bound.value) checker.Paint(bound.box);
  }
  const Bound& from = bounds[0];
  const Bound& to = bounds[1];
  if (from.value && to.value && *to.value < *from.value) {
    checker.Paint(from.box);
    checker.Paint(to.box);
  }
  for (const Bound& bound : bounds) {
    if (bound.text == ".") {
      checker.Paint(bound.box);
    } else if (bound.value && *bound.value == 0) {
      checker.Fail();
    }
  }
}

// Dates must be days that exist, in order; hours whole hours, in any order (22 to 4 spans midnight).
void CheckTimeBounds(const FilterCriteria& criteria, Checker& checker) {
  std::optional<int64_t> from_day;
  std::optional<int64_t> to_day;
  if (!criteria.ed_from5.empty() && !(from_day = ReadDateBound(criteria.ed_from5))) {
    checker.Paint(&PaintedBoxes::ed_from5);
  }
  if (!criteria.ed_to5.empty() && !(to_day = ReadDateBound(criteria.ed_to5))) checker.Paint(&PaintedBoxes::ed_to5);
  if (from_day && to_day && *from_day > *to_day) {
    checker.Paint(&PaintedBoxes::ed_from5);
    checker.Paint(&PaintedBoxes::ed_to5);
  }
  if (!criteria.ed_from6.empty() && !ReadHourBound(criteria.ed_from6)) checker.Paint(&PaintedBoxes::ed_from6);
  if (!criteria.ed_to6.empty() && !ReadHourBound(criteria.ed_to6)) checker.Paint(&PaintedBoxes::ed_to6);
}

bool NoneChecked(const std::vector<CheckEntry>& entries) {
  return std::none_of(entries.begin(), entries.end(), [](const CheckEntry& entry) { return entry.checked; });
}

bool AllChecked(const std::vector<CheckEntry>& entries) {
  return std::all_of(entries.begin(), entries.end(), [](const CheckEntry& entry) { return entry.checked; });
}

constexpr std::string FilterCriteria::*kBounds[] = {
    &FilterCriteria::ed_from1, &FilterCriteria::ed_to1, &FilterCriteria::ed_from2, &FilterCriteria::ed_to2,
    &FilterCriteria::ed_from3, &FilterCriteria::ed_to3, &FilterCriteria::ed_from4, &FilterCriteria::ed_to4,
    &FilterCriteria::ed_from5, &FilterCriteria::ed_to5, &FilterCriteria::ed_from6, &FilterCriteria::ed_to6,
};

int RadioChoice(bool first, bool second) { return first ? 0 : second ? 1 : 2; }

std::vector<std::string> UncheckedTexts(const std::vector<CheckEntry>& entries) {
  std::vector<std::string> texts;
  for (const CheckEntry& entry : entries) {
    if (!entry.checked) texts.push_back(entry.text);
  }
  return texts;
}

}  // namespace

bool IsBoundTextAllowed(BoundKind kind, std::string_view text) {
  return text.size() <= MaxLength(kind) && HasAllowedCharacters(kind, text);
}

std::string EditedBoundText(BoundKind kind, std::string_view before, std::string_view after) {
  if (!HasAllowedCharacters(kind, after)) return std::string(before);
  if (after.size() > MaxLength(kind) && after.size() >= before.size()) return std::string(before);
  return std::string(after);
}

bool IsZeroText(std::string_view text) {
  std::string zero_first = "0";
  zero_first.append(text);
  std::replace(zero_first.begin(), zero_first.end(), ',', '.');
  const std::optional<double> value = ReadDecimal(zero_first);
  return value && static_cast<float>(*value) == 0;
}

ApplyCheckResult CheckApply(FilterCriteria& criteria, int32_t processedCount) {
  Checker checker;
  CheckExposure(criteria, checker);
  for (const NumericPair& pair : kNumericPairs) CheckNumericPair(criteria, pair, checker);
  CheckTimeBounds(criteria, checker);

  // An empty list means no photo passed the last filter; refusing it would block every Apply, Clear too.
  if (processedCount > 0) {
    const bool models_fail = !criteria.ModelChecks.empty() && NoneChecked(criteria.ModelChecks);
    const bool lenses_fail = !criteria.LensChecks.empty() && NoneChecked(criteria.LensChecks);
    if (models_fail) {
      checker.Paint(&PaintedBoxes::ScrollBox_Photo);
    } else if (lenses_fail) {
      checker.Paint(&PaintedBoxes::ScrollBox_Lens);
    }
  }
  return checker.Result();
}

bool HasNoCriteria(const FilterCriteria& criteria) {
  return std::all_of(std::begin(kBounds), std::end(kBounds), [&](auto bound) { return (criteria.*bound).empty(); }) &&
         !criteria.rb_Flash_Yes && !criteria.rb_Flash_No && !criteria.rb_Orientation_H && !criteria.rb_Orientation_V &&
         std::all_of(std::begin(kCategoryBoxes), std::end(kCategoryBoxes),
                     [&](const CategoryBox& box) { return criteria.*box.box; }) &&
         AllChecked(criteria.ModelChecks) && AllChecked(criteria.LensChecks);
}

void ClearCriteria(FilterCriteria& criteria) {
  for (const auto bound : kBounds) (criteria.*bound).clear();
  for (const CategoryBox& box : kCategoryBoxes) criteria.*box.box = true;
  criteria.rb_Flash_Yes = false;
  criteria.rb_Flash_No = false;
  criteria.rb_Orientation_H = false;
  criteria.rb_Orientation_V = false;
  for (CheckEntry& entry : criteria.ModelChecks) entry.checked = true;
  for (CheckEntry& entry : criteria.LensChecks) entry.checked = true;
  criteria.ModelExclusions.clear();
  criteria.LensExclusions.clear();
}

AppliedChoices ChoicesOf(const FilterCriteria& criteria) {
  AppliedChoices choices;
  static_cast<CategoryBoxes&>(choices) = criteria;
  choices.flash = RadioChoice(criteria.rb_Flash_Yes, criteria.rb_Flash_No);
  choices.orientation = RadioChoice(criteria.rb_Orientation_H, criteria.rb_Orientation_V);
  return choices;
}

void RestoreAppliedChoices(FilterCriteria& criteria, const AppliedChoices& applied) {
  static_cast<CategoryBoxes&>(criteria) = applied;
  criteria.rb_Flash_Yes = applied.flash == 0;
  criteria.rb_Flash_No = applied.flash == 1;
  criteria.rb_Orientation_H = applied.orientation == 0;
  criteria.rb_Orientation_V = applied.orientation == 1;
}

void BuildExclusions(FilterCriteria& criteria) {
  criteria.ModelExclusions = UncheckedTexts(criteria.ModelChecks);
  criteria.LensExclusions = UncheckedTexts(criteria.LensChecks);
}

bool StoreAppliedFilter(FilterCriteria& criteria, AppliedChoices& applied) {
  if (HasNoCriteria(criteria)) {
    ClearCriteria(criteria);
    applied = AppliedChoices{};
    return false;
  }
  BuildExclusions(criteria);
  applied = ChoicesOf(criteria);
  return true;
}

}  // namespace lumetra
