#include "survey/Tallies.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "metadata/TextEncoding.h"
#include "numbers/FixedPoint.h"
#include "numbers/NumberText.h"
#include "survey/PassesFilter.h"

namespace lumetra {
namespace {

// The row of a tally that a photo's value falls in: a label row by its label, whatever language its text
// is in; a plain row by its exact text.
myRecord* FindRow(std::vector<myRecord>& rows, const std::string& text, LabelId label) {
  for (myRecord& row : rows) {
    if (row.label != LabelId::kNone ? row.label == label : (label == LabelId::kNone && row.text == text)) return &row;
  }
  return nullptr;
}

myRecord* FindMakeRow(std::vector<myRecord>& rows, const std::string& text, LabelId label) {
  const std::string upper = UpperAscii(text);
  for (myRecord& row : rows) {
    if (row.label != LabelId::kNone ? row.label == label : (label == LabelId::kNone && UpperAscii(row.text) == upper)) {
      return &row;
    }
  }
  return nullptr;
}

double NumberOf(const myRecord& row) { return ReadDecimal(row.text).value_or(0); }

// Moves the last row towards the front while `before(row, previous)` holds, down to index `lowest`.
template <typename Before>
void InsertLast(std::vector<myRecord>& rows, size_t lowest, Before before) {
  if (rows.empty()) return;
  for (size_t i = rows.size() - 1; i >= std::max<size_t>(lowest, 1) && before(rows[i], rows[i - 1]); --i) {
    std::swap(rows[i], rows[i - 1]);
  }
}

// Focal lengths and ISO: an undetermined row first, the others ascending.
void PlaceNumeric(std::vector<myRecord>& rows, LabelId undetermined) {
  for (size_t i = 1; i < rows.size(); ++i) {
    if (rows[i].label == undetermined) {
      std::swap(rows[i], rows[0]);
      break;
    }
  }
  const size_t lowest = rows[0].label == undetermined ? 2 : 1;
  InsertLast(rows, lowest,
             [](const myRecord& row, const myRecord& previous) { return NumberOf(row) < NumberOf(previous); });
}

// Crop factors: ascending, an undetermined row last.
void PlaceCrop(std::vector<myRecord>& rows) {
  for (myRecord& row : rows) {
    if (row.label == LabelId::NotDeterminedM) {
      std::swap(row, rows.back());
      break;
    }
  }
  if (rows.back().label != LabelId::NotDeterminedM) {
    InsertLast(rows, 1,
               [](const myRecord& row, const myRecord& previous) { return NumberOf(row) < NumberOf(previous); });
    return;
  }
  // Sort the row before the undetermined one into place.
  myRecord undetermined = std::move(rows.back());
  rows.pop_back();
  InsertLast(rows, 1, [](const myRecord& row, const myRecord& previous) { return NumberOf(row) < NumberOf(previous); });
  rows.push_back(std::move(undetermined));
}

// Makes, models and lenses: a new row moves in front of the rows with a lower count.
void PlaceByCount(std::vector<myRecord>& rows) {
  InsertLast(rows, 1, [](const myRecord& row, const myRecord& previous) { return previous.count < row.count; });
}

void UpdateRange(int64_t value, int64_t& minimum, int64_t& maximum) {
  if (maximum < value) maximum = value;
  if (value > 0 && minimum > value) minimum = value;
}

// The check list of a model or lens tally: one entry per row, checked unless its text is excluded.
std::vector<CheckEntry> CheckList(const std::vector<myRecord>& rows, const std::vector<std::string>& exclusions) {
  std::vector<CheckEntry> checks;
  checks.reserve(rows.size());
  for (const myRecord& row : rows) {
    const bool excluded = std::find(exclusions.begin(), exclusions.end(), row.text) != exclusions.end();
    checks.push_back({row.text, !excluded});
  }
  return checks;
}

std::vector<myRecord> FixedRows(std::initializer_list<LabelId> labels, int language) {
  std::vector<myRecord> rows;
  for (const LabelId label : labels) rows.push_back({LabelText(label, language), 0, label, 0});
  return rows;
}

const ValueRanges kResetRanges{};

}  // namespace

SurveyState::SurveyState(int language) : language_(language) { SetFixedRows(language); }

void SurveyState::SetFixedRows(int language) {
  using L = LabelId;
  tallyProgram = FixedRows({L::LabelManual, L::LabelAperturePriority, L::LabelShutterPriority, L::LabelNormal,
                            L::LabelSport, L::LabelPortrait, L::LabelLandscape, L::LabelCreative, L::NotDeterminedM},
                           language);
  tallyMetering = FixedRows(
      {L::LabelAverage, L::LabelPartial, L::LabelSpot, L::LabelMultiSegment, L::LabelMultiSpot, L::NotDeterminedM},
      language);
  tallyFlash = FixedRows({L::LabelFlashOn, L::LabelFlashOff}, language);
  tallyOrientation = FixedRows({L::LabelHorizontal, L::LabelVertical, L::NotDeterminedF}, language);
  tallyDrive = FixedRows({L::LabelSingle, L::LabelSerial, L::NotDeterminedM}, language);
  tallyFocus =
      FixedRows({L::FocusOneShot, L::FocusAIFocus, L::FocusAIServo, L::FocusManual, L::NotDeterminedM}, language);
}

void SurveyState::AddPhoto(const PhotoRecord& record, FilterCriteria& criteria, bool rb_Real) {
  ++processedCount;
  Photos.Append(record);
  TallyPhoto(record, criteria, rb_Real);
}

void SurveyState::TallyPhoto(const PhotoRecord& record, FilterCriteria& criteria, bool rb_Real) {
  if (!PassesFilter(record, criteria, rb_Real)) return;
  ++filteredCount;
  filteredPaths.push_back(record.path);
  const auto label = [&record](int field) { return record.labels[static_cast<size_t>(field)]; };

  // Counts the photo in an existing row; otherwise appends one and says so.
  const auto count_in = [&](std::vector<myRecord>& rows, int field) {
    if (myRecord* row = FindRow(rows, record.Field(field), label(field))) {
      ++row->count;
      return false;
    }
    rows.push_back({record.Field(field), 1, label(field), 0});
    return true;
  };

  if (count_in(tallyShutter, kExposure)) {
    myRecord& row = tallyShutter.back();
    row.value = ExposureValue(row.text);
    UpdateRange(row.value, CurrentRanges.shutter_min, CurrentRanges.shutter_max);
    InsertLast(tallyShutter, 1, [](const myRecord& a, const myRecord& b) { return a.value < b.value; });
  }
  if (count_in(tallyFNumber, kFNumber)) {
    if (label(kFNumber) == LabelId::kNone) {
      if (const std::optional<double> x = ReadDecimal(record.fNumber)) {
        const auto rounded = static_cast<int64_t>(Round(Round(*x * 10) / 10 * kFixedPointUnit));
        if (CurrentRanges.fnumber_max < *x * kFixedPointUnit) CurrentRanges.fnumber_max = rounded;
        if (*x > 0 && CurrentRanges.fnumber_min > *x * kFixedPointUnit) CurrentRanges.fnumber_min = rounded;
      }
    }
    InsertLast(tallyFNumber, 1,
               [](const myRecord& a, const myRecord& b) { return NumberValue(a.text) < NumberValue(b.text); });
  }
  const struct {
    std::vector<myRecord>& rows;
    int field;
    int64_t& minimum;
    int64_t& maximum;
  } numeric[] = {
      {tallyFocal, kFocal, CurrentRanges.focal_min, CurrentRanges.focal_max},
      {tallyFocal35, kFocal35, CurrentRanges.focal35_min, CurrentRanges.focal35_max},
      {tallyIso, kIso, CurrentRanges.iso_min, CurrentRanges.iso_max},
  };
  for (const auto& tally : numeric) {
    if (!count_in(tally.rows, tally.field)) continue;
    if (label(tally.field) != LabelId::NotDeterminedN) {
      if (const std::optional<int64_t> v = ReadInteger64(record.Field(tally.field))) {
        UpdateRange(*v, tally.minimum, tally.maximum);
      }
    }
    PlaceNumeric(tally.rows, LabelId::NotDeterminedN);
  }
  if (count_in(tallyModel, kModel)) {
    PlaceByCount(tallyModel);
    criteria.ModelChecks = CheckList(tallyModel, criteria.ModelExclusions);
  }
  if (count_in(tallyLens, kLens)) {
    PlaceByCount(tallyLens);
    criteria.LensChecks = CheckList(tallyLens, criteria.LensExclusions);
  }
  if (count_in(tallyCrop, kCrop)) PlaceCrop(tallyCrop);
  // Makes match without regard to case; a row keeps the spelling of the photo that created it.
  if (myRecord* row = FindMakeRow(tallyMake, record.make, label(kMake))) {
    ++row->count;
  } else {
    tallyMake.push_back({record.make, 1, label(kMake), 0});
    PlaceByCount(tallyMake);
  }

  // Fixed rows: programs and metering modes fall back on their last row, the others count only a match.
  const auto count_fixed = [&](std::vector<myRecord>& rows, int field, bool last_row_catches) {
    for (myRecord& row : rows) {
      if (row.label == label(field)) {
        ++row.count;
        return;
      }
    }
    if (last_row_catches) ++rows.back().count;
  };
  count_fixed(tallyProgram, kProgram, true);
  count_fixed(tallyMetering, kMetering, true);
  count_fixed(tallyFlash, kFlash, false);
  count_fixed(tallyOrientation, kOrientation, false);
  count_fixed(tallyDrive, kDrive, false);
  count_fixed(tallyFocus, kFocus, false);
}

void SurveyState::ResetTallies(bool full, FilterCriteria& criteria) {
  if (full) {
    Photos.clear();
    processedCount = 0;
  }
  if (criteria.keepChecks) {
    for (myRecord& row : tallyModel) row.count = 0;
    for (myRecord& row : tallyLens) row.count = 0;
  } else {
    tallyModel.clear();
    tallyLens.clear();
    criteria.ModelChecks.clear();
    criteria.LensChecks.clear();
  }
  filteredCount = 0;
  filteredPaths.clear();
  CurrentRanges = kResetRanges;
  for (auto* rows : {&tallyShutter, &tallyFNumber, &tallyFocal, &tallyFocal35, &tallyIso, &tallyMake, &tallyCrop}) {
    rows->clear();
  }
  for (auto* rows : {&tallyProgram, &tallyMetering, &tallyFlash, &tallyOrientation, &tallyDrive, &tallyFocus}) {
    for (myRecord& row : *rows) row.count = 0;
  }
}

void SurveyState::Retally(FilterCriteria& criteria, bool rb_Real) {
  ResetTallies(false, criteria);
  for (size_t i = 0; i < Photos.size(); ++i) TallyPhoto(Photos.Row(i), criteria, rb_Real);
}

void SurveyState::RelabelTallies(int language, FilterCriteria& criteria) {
  language_ = language;
  for (auto* rows :
       {&tallyShutter, &tallyFNumber, &tallyFocal, &tallyFocal35, &tallyIso, &tallyMake, &tallyModel, &tallyLens,
        &tallyCrop, &tallyProgram, &tallyMetering, &tallyFlash, &tallyOrientation, &tallyDrive, &tallyFocus}) {
    for (myRecord& row : *rows) {
      if (row.label != LabelId::kNone) row.text = LabelText(row.label, language);
    }
  }
  // The check entries follow their rows' texts and keep their check marks.
  const auto relabel_checks = [](std::vector<CheckEntry>& checks, const std::vector<myRecord>& rows) {
    for (size_t i = 0; i < checks.size() && i < rows.size(); ++i) checks[i].text = rows[i].text;
  };
  relabel_checks(criteria.ModelChecks, tallyModel);
  relabel_checks(criteria.LensChecks, tallyLens);
}

std::vector<std::pair<const char*, const std::vector<myRecord>*>> SurveyState::AllTallies() const {
  return {{"shutter", &tallyShutter},
          {"fNumber", &tallyFNumber},
          {"focal", &tallyFocal},
          {"focal35", &tallyFocal35},
          {"iso", &tallyIso},
          {"make", &tallyMake},
          {"model", &tallyModel},
          {"lens", &tallyLens},
          {"crop", &tallyCrop},
          {"program", &tallyProgram},
          {"metering", &tallyMetering},
          {"flash", &tallyFlash},
          {"orientation", &tallyOrientation},
          {"drive", &tallyDrive},
          {"focus", &tallyFocus}};
}

}  // namespace lumetra
