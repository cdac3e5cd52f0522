#include "filter/ChartFilterChange.h"

#include <algorithm>
#include <iterator>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "filter/ApplyChecks.h"
#include "filter/FilterDialogTexts.h"
#include "numbers/NumberText.h"
#include "survey/CaptureTime.h"
#include "survey/PhotoRecord.h"

namespace lumetra {
namespace {

constexpr TextPair kNoCondition{"В фильтре нет условия для этой диаграммы",
                                "The filter has no condition for this chart"};
constexpr TextPair kSeveralValues{"Этот сектор объединяет несколько значений: выберите одно из них",
                                  "This slice joins several values: choose one of them"};
constexpr TextPair kUndeterminedAlone{"Фильтр не может выбрать только снимки без этого значения",
                                      "The filter cannot choose only the photos without this value"};
constexpr TextPair kInsideRange{"Фильтр задаёт один диапазон: «Все, кроме» действует на крайние столбцы",
                                "The filter holds one range: \"All but\" works on the first or the last bar"};
constexpr TextPair kOthersToo{"Фильтр не может сделать это, не исключив и другие снимки",
                              "The filter cannot do this without leaving out other photos too"};
constexpr TextPair kNothingLeft{"Не осталось бы ни одного снимка", "No photo would be left"};
constexpr TextPair kOneChoice{"Фильтр выбирает только одно из этих значений",
                              "The filter can choose only one of these values"};
constexpr TextPair kBoxesCannotHold{"Поля фильтра не вмещают это значение",
                                    "The filter's boxes cannot hold this value"};
constexpr TextPair kOtherFocalLength{"Границы фокусного расстояния относятся к другому фокусному расстоянию",
                                     "The focal bounds apply to the other focal length"};

FilterChange Refused(TextPair reason) { return {std::nullopt, reason}; }

int64_t TotalCount(std::span<const myRecord> rows) {
  return std::accumulate(rows.begin(), rows.end(), int64_t{0},
                         [](int64_t sum, const myRecord& row) { return sum + row.count; });
}

// The kept photos of a command on `target`, out of `total` shown.
int64_t KeptCount(ChartCommand command, const myRecord& target, int64_t total) {
  return command == ChartCommand::kOnly ? target.count : total - target.count;
}

// ---- Bound pairs ----

std::string RowText(const myRecord& row) { return row.text; }
// A month bar of the date chart bounds the days of its month.
std::string FirstDayOf(const myRecord& row) { return MonthFirstDayText(row.value); }
std::string LastDayOf(const myRecord& row) { return MonthLastDayText(row.value); }

// One bound pair and how the filter test reads a photo's value against it; the bound texts that take in
// exactly a row's photos, from below and from above.
struct RangeField {
  BoundKind kind;
  std::string FilterCriteria::*from;
  std::string FilterCriteria::*to;
  std::string (*from_text)(const myRecord&) = RowText;
  std::string (*to_text)(const myRecord&) = RowText;
};

// A row's value as the filter test compares it with a bound; empty for a value that fails every bound. An
// exposure time without a value reads as 0: it passes an upper bound and fails a lower one.
std::optional<long double> RangeKey(BoundKind kind, const myRecord& row) {
  if (kind == BoundKind::kExposure) return static_cast<long double>(ExposureValue(row.text));
  if (row.label != LabelId::kNone) return std::nullopt;
  // A month bar holds its month's number.
  if (kind == BoundKind::kDate) return static_cast<long double>(row.value);
  if (kind == BoundKind::kFNumber) {
    const std::optional<double> value = ReadDecimalAfterZero(row.text);
    return value ? std::optional<long double>(*value) : std::nullopt;
  }
  const std::optional<int64_t> value = ReadInteger64(row.text);
  return value ? std::optional<long double>(static_cast<long double>(*value)) : std::nullopt;
}

bool Undetermined(BoundKind kind, const std::optional<long double>& key) {
  return !key || (kind == BoundKind::kExposure && *key == 0);
}

// The shown rows of a range chart, split into those with a value and those without.
struct RangeRows {
  std::vector<std::pair<long double, const myRecord*>> determined;
  std::vector<const myRecord*> undetermined;
};

RangeRows SplitRows(BoundKind kind, std::span<const myRecord> rows) {
  RangeRows split;
  for (const myRecord& row : rows) {
    if (row.count <= 0) continue;
    const std::optional<long double> key = RangeKey(kind, row);
    if (Undetermined(kind, key)) {
      split.undetermined.push_back(&row);
    } else {
      split.determined.emplace_back(*key, &row);
    }
  }
  std::sort(split.determined.begin(), split.determined.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  return split;
}

// "All but" the photos without a value: a lower bound at the lowest value shown drops exactly them.
FilterChange AllButUndetermined(FilterCriteria criteria, const RangeField& field, const RangeRows& split) {
  if (split.determined.empty()) return Refused(kNothingLeft);
  // Every shown row without a value goes with it (exposure: an unreadable time counts as none).
  if (split.undetermined.size() > 1) return Refused(kOthersToo);
  criteria.*field.from = field.from_text(*split.determined.front().second);
  return {std::move(criteria), {}};
}

FilterChange RangeChange(FilterCriteria criteria, const RangeField& field, std::span<const myRecord> rows,
                         const myRecord& target, ChartCommand command) {
  const RangeRows split = SplitRows(field.kind, rows);
  const std::optional<long double> key = RangeKey(field.kind, target);
  if (Undetermined(field.kind, key)) {
    if (command == ChartCommand::kOnly) return Refused(kUndeterminedAlone);
    return AllButUndetermined(std::move(criteria), field, split);
  }
  // Another shown text with the same value cannot be told apart by a bound.
  const auto same_value = [&](const auto& entry) { return entry.first == *key && entry.second != &target; };
  if (std::any_of(split.determined.begin(), split.determined.end(), same_value)) return Refused(kOthersToo);
  if (command == ChartCommand::kOnly) {
    criteria.*field.from = field.from_text(target);
    criteria.*field.to = field.to_text(target);
    return {std::move(criteria), {}};
  }
  std::vector<std::pair<long double, const myRecord*>> others;
  std::copy_if(split.determined.begin(), split.determined.end(), std::back_inserter(others),
               [&](const auto& entry) { return entry.second != &target; });
  if (others.empty()) return Refused(split.undetermined.empty() ? kNothingLeft : kUndeterminedAlone);
  // An upper bound keeps exposure times without a value; any other bound drops the photos without one.
  const bool undetermined_shown = !split.undetermined.empty();
  if (*key > others.back().first) {
    if (undetermined_shown && field.kind != BoundKind::kExposure) return Refused(kOthersToo);
    criteria.*field.to = field.to_text(*others.back().second);
    return {std::move(criteria), {}};
  }
  if (*key < others.front().first) {
    if (undetermined_shown) return Refused(kOthersToo);
    criteria.*field.from = field.from_text(*others.front().second);
    return {std::move(criteria), {}};
  }
  return Refused(kInsideRange);
}

// ---- Category boxes ----

const CategoryBox* BoxOf(BoxGroup group, LabelId label) {
  for (const CategoryBox& box : kCategoryBoxes) {
    if (box.group == group && std::find(box.labels.begin(), box.labels.end(), label) != box.labels.end()) return &box;
  }
  return nullptr;
}

FilterChange BoxChange(FilterCriteria criteria, BoxGroup group, std::span<const myRecord> rows, const myRecord& target,
                       ChartCommand command) {
  const CategoryBox* box = target.label == LabelId::kNone ? nullptr : BoxOf(group, target.label);
  if (box == nullptr) return Refused(kNoCondition);
  // A box that admits two labels moves both: only when the other has no photo shown is that exact.
  for (const myRecord& row : rows) {
    if (&row != &target && row.count > 0 && BoxOf(group, row.label) == box) return Refused(kOthersToo);
  }
  if (command == ChartCommand::kAllBut) {
    criteria.*box->box = false;
  } else {
    for (const CategoryBox& other : kCategoryBoxes) {
      if (other.group == group && &other != box) criteria.*other.box = false;
    }
  }
  return {std::move(criteria), {}};
}

// ---- Model and lens check lists ----

// The exclusions of the check lists, as Apply builds them, keeping an exclusion whose text the list no
// longer shows (its photos are still left out).
void RebuildExclusions(FilterCriteria& criteria, const FilterCriteria& applied) {
  BuildExclusions(criteria);
  const auto keep_unlisted = [](std::vector<std::string>& exclusions, const std::vector<CheckEntry>& checks,
                                const std::vector<std::string>& before) {
    for (const std::string& text : before) {
      const bool listed =
          std::any_of(checks.begin(), checks.end(), [&](const CheckEntry& entry) { return entry.text == text; });
      if (!listed && std::find(exclusions.begin(), exclusions.end(), text) == exclusions.end()) {
        exclusions.push_back(text);
      }
    }
  };
  keep_unlisted(criteria.ModelExclusions, criteria.ModelChecks, applied.ModelExclusions);
  keep_unlisted(criteria.LensExclusions, criteria.LensChecks, applied.LensExclusions);
}

FilterChange CheckListChange(FilterCriteria criteria, std::vector<CheckEntry> FilterCriteria::*list,
                             const myRecord& target, ChartCommand command) {
  std::vector<CheckEntry>& entries = criteria.*list;
  const auto entry =
      std::find_if(entries.begin(), entries.end(), [&](const CheckEntry& e) { return e.text == target.text; });
  if (entry == entries.end()) return Refused(kNoCondition);
  if (command == ChartCommand::kAllBut) {
    entry->checked = false;
  } else {
    for (auto other = entries.begin(); other != entries.end(); ++other) {
      if (other != entry) other->checked = false;
    }
  }
  return {std::move(criteria), {}};
}

// ---- Flash and orientation ----

struct RadioChoice {
  LabelId label;
  bool FilterCriteria::*button;
};
constexpr RadioChoice kFlashChoices[] = {{LabelId::LabelFlashOn, &FilterCriteria::rb_Flash_Yes},
                                         {LabelId::LabelFlashOff, &FilterCriteria::rb_Flash_No}};
constexpr RadioChoice kOrientationChoices[] = {{LabelId::LabelHorizontal, &FilterCriteria::rb_Orientation_H},
                                               {LabelId::LabelVertical, &FilterCriteria::rb_Orientation_V}};

FilterChange RadioChange(FilterCriteria criteria, std::span<const RadioChoice> choices, std::span<const myRecord> rows,
                         const myRecord& target, const ChartChoice& choice) {
  const auto choice_of = [&](LabelId label) -> const RadioChoice* {
    const auto found =
        std::find_if(choices.begin(), choices.end(), [&](const RadioChoice& c) { return c.label == label; });
    return found == choices.end() ? nullptr : &*found;
  };
  const RadioChoice* chosen = nullptr;
  if (choice.command == ChartCommand::kOnly) {
    chosen = choice_of(target.label);
    if (chosen == nullptr) return Refused(kUndeterminedAlone);
  } else {
    // "All but" one value is the other value, when nothing else is shown: photos without a reading (which
    // the chart may not draw) would be left out too.
    const int64_t unseen = choice.filtered_count - TotalCount(rows);
    std::vector<const myRecord*> remaining;
    for (const myRecord& row : rows) {
      if (&row != &target && row.count > 0) remaining.push_back(&row);
    }
    if (remaining.empty() && unseen <= 0) return Refused(kNothingLeft);
    const bool undetermined_left = unseen > 0 || std::any_of(remaining.begin(), remaining.end(), [&](const auto* row) {
                                     return choice_of(row->label) == nullptr;
                                   });
    if (undetermined_left) return Refused(remaining.empty() ? kUndeterminedAlone : kOthersToo);
    if (remaining.size() > 1) return Refused(kOneChoice);
    chosen = choice_of(remaining.front()->label);
  }
  for (const RadioChoice& c : choices) criteria.*c.button = &c == chosen;
  return {std::move(criteria), {}};
}

bool SameBounds(const FilterCriteria& a, const FilterCriteria& b) {
  return a.ed_from1 == b.ed_from1 && a.ed_to1 == b.ed_to1 && a.ed_from2 == b.ed_from2 && a.ed_to2 == b.ed_to2 &&
         a.ed_from3 == b.ed_from3 && a.ed_to3 == b.ed_to3 && a.ed_from4 == b.ed_from4 && a.ed_to4 == b.ed_to4 &&
         a.ed_from5 == b.ed_from5 && a.ed_to5 == b.ed_to5 && a.ed_from6 == b.ed_from6 && a.ed_to6 == b.ed_to6;
}

// ---- Dispatch ----

FilterChange ChangeFor(const FilterCriteria& applied, const ChartChoice& choice, const myRecord& target) {
  using D = FilterDimension;
  switch (choice.dimension) {
    case D::kExposure:
      return RangeChange(applied, {BoundKind::kExposure, &FilterCriteria::ed_from1, &FilterCriteria::ed_to1},
                         choice.rows, target, choice.command);
    case D::kFNumber:
      return RangeChange(applied, {BoundKind::kFNumber, &FilterCriteria::ed_from2, &FilterCriteria::ed_to2},
                         choice.rows, target, choice.command);
    case D::kFocalReal:
    case D::kFocal35:
      if ((choice.dimension == D::kFocalReal) != choice.rb_Real) return Refused(kOtherFocalLength);
      return RangeChange(applied, {BoundKind::kFocal, &FilterCriteria::ed_from3, &FilterCriteria::ed_to3}, choice.rows,
                         target, choice.command);
    case D::kIso:
      return RangeChange(applied, {BoundKind::kIso, &FilterCriteria::ed_from4, &FilterCriteria::ed_to4}, choice.rows,
                         target, choice.command);
    case D::kProgram:
      return BoxChange(applied, BoxGroup::kProgram, choice.rows, target, choice.command);
    case D::kMetering:
      return BoxChange(applied, BoxGroup::kMetering, choice.rows, target, choice.command);
    case D::kModel:
      return CheckListChange(applied, &FilterCriteria::ModelChecks, target, choice.command);
    case D::kLens:
      return CheckListChange(applied, &FilterCriteria::LensChecks, target, choice.command);
    case D::kFlash:
      return RadioChange(applied, kFlashChoices, choice.rows, target, choice);
    case D::kOrientation:
      return RadioChange(applied, kOrientationChoices, choice.rows, target, choice);
    case D::kDate:
      return RangeChange(applied,
                         {BoundKind::kDate, &FilterCriteria::ed_from5, &FilterCriteria::ed_to5, FirstDayOf, LastDayOf},
                         choice.rows, target, choice.command);
    case D::kHour:
      return RangeChange(applied, {BoundKind::kHour, &FilterCriteria::ed_from6, &FilterCriteria::ed_to6}, choice.rows,
                         target, choice.command);
    case D::kMake:
    case D::kCrop:
    case D::kFocus:
    case D::kDrive:
    case D::kWeekday:
      break;
  }
  return Refused(kNoCondition);
}

}  // namespace

FilterChange ChartFilterChange(const FilterCriteria& applied, const ChartChoice& choice, int32_t processedCount) {
  switch (choice.dimension) {
    case FilterDimension::kMake:
    case FilterDimension::kCrop:
    case FilterDimension::kFocus:
    case FilterDimension::kDrive:
    case FilterDimension::kWeekday:
      return Refused(kNoCondition);
    default:
      break;
  }
  if (!choice.row) return Refused(kSeveralValues);
  if (*choice.row >= choice.rows.size()) return Refused(kNoCondition);
  const myRecord& target = choice.rows[*choice.row];
  const int64_t total = choice.dimension == FilterDimension::kFlash ? choice.filtered_count : TotalCount(choice.rows);
  if (KeptCount(choice.command, target, total) <= 0) return Refused(kNothingLeft);

  FilterChange change = ChangeFor(applied, choice, target);
  if (!change.criteria) return change;
  FilterCriteria& criteria = *change.criteria;
  // Apply's own checks decide what the boxes can hold (a text too long, a time too short); a bound that Apply
  // would rewrite (a fraction as 1/N) would no longer say this bar.
  const FilterCriteria made = criteria;
  if (!CheckApply(criteria, processedCount).valid || !SameBounds(criteria, made)) return Refused(kBoxesCannotHold);
  RebuildExclusions(criteria, applied);
  criteria.keepChecks = true;
  return change;
}

std::string ChartCommandCaption(ChartCommand command, std::string_view label, Language language) {
  std::string one_line(label);
  std::replace(one_line.begin(), one_line.end(), '\r', ' ');
  const TextPair& verb = command == ChartCommand::kOnly ? kOnlyCommand : kAllButCommand;
  return std::string(verb.In(language)) + " " + std::string(kOpeningQuote.In(language)) + one_line +
         std::string(kClosingQuote.In(language));
}

}  // namespace lumetra
