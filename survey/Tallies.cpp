#include "survey/Tallies.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "numbers/FixedPoint.h"
#include "numbers/NumberText.h"
#include "survey/CaptureTime.h"
#include "survey/PassesFilter.h"
#include "text/TextEncoding.h"

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

bool SameUpperCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
}

myRecord* FindMakeRow(std::vector<myRecord>& rows, const std::string& text, LabelId label) {
  for (myRecord& row : rows) {
    if (row.label != LabelId::kNone ? row.label == label : (label == LabelId::kNone && SameUpperCase(row.text, text))) {
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

// The same for rows ordered by `key` ascending: the moving row's key is read once, not at every step.
template <typename Key>
void InsertLastByKey(std::vector<myRecord>& rows, size_t lowest, Key key) {
  if (rows.empty()) return;
  const auto moving = key(rows.back());
  for (size_t i = rows.size() - 1; i >= std::max<size_t>(lowest, 1) && moving < key(rows[i - 1]); --i) {
    std::swap(rows[i], rows[i - 1]);
  }
}

// Focal lengths and ISO: an undetermined row first, the others ascending. Called for the row just added
// at the end: every other row is in its place already, so only that one can be a new undetermined row (a
// search of all rows for it made thousands of distinct values cost time growing with their square).
void PlaceNumeric(std::vector<myRecord>& rows, LabelId undetermined) {
  if (rows.size() > 1 && rows.back().label == undetermined) std::swap(rows.back(), rows[0]);
  const size_t lowest = rows[0].label == undetermined ? 2 : 1;
  InsertLastByKey(rows, lowest, NumberOf);
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
    InsertLastByKey(rows, 1, NumberOf);
    return;
  }
  // Sort the row before the undetermined one into place.
  myRecord undetermined = std::move(rows.back());
  rows.pop_back();
  InsertLastByKey(rows, 1, NumberOf);
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

// Makes `checks` the check list of a model or lens tally: one entry per row, checked unless its text is
// excluded. Rewritten in place, as it is for every new row: the entries keep their strings' room.
void RefreshCheckList(std::vector<CheckEntry>& checks, const std::vector<myRecord>& rows,
                      const std::vector<std::string>& exclusions) {
  checks.resize(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const std::string& text = rows[i].text;
    checks[i].text.assign(text);
    checks[i].checked = std::find(exclusions.begin(), exclusions.end(), text) == exclusions.end();
  }
}

std::vector<myRecord> FixedRows(std::initializer_list<LabelId> labels, Language language) {
  std::vector<myRecord> rows;
  for (const LabelId label : labels) rows.push_back({LabelText(label, language), 0, label, 0});
  return rows;
}

const ValueRanges kResetRanges{};

}  // namespace

myRecord* SurveyState::RowHints::Find(std::vector<myRecord>& rows, const PhotoView& photo, int field, Match match) {
  const std::string& text = photo.Field(field);
  const LabelId label = photo.Label(field);
  const uint32_t id = photo.TextId(field);
  const auto matches = [&](const myRecord& row) {
    // A make spelt as its row is, the usual case, needs no comparison letter by letter.
    return row.label == LabelId::kNone &&
           (row.text == text || (match == Match::kUpperCase && SameUpperCase(row.text, text)));
  };
  // A value has at most one row it matches (a row is added only when none matched), so a remembered row that
  // still matches is the row a scan would find. A label's row is remembered while it still holds that label.
  LabelRow& label_row = label_rows[static_cast<size_t>(field)];
  if (label != LabelId::kNone) {
    if (label_row.label == label && label_row.row < rows.size() && rows[label_row.row].label == label) {
      return &rows[label_row.row];
    }
    myRecord* row = match == Match::kExact ? FindRow(rows, text, label) : FindMakeRow(rows, text, label);
    if (row != nullptr) label_row = {label, static_cast<uint32_t>(row - rows.data())};
    return row;
  }
  std::vector<uint32_t>& hints = row_of_text[static_cast<size_t>(field)];
  const bool hinted = id != PhotoView::kNoTextId;
  if (hinted && id < hints.size() && hints[id] < rows.size()) {
    myRecord& row = rows[hints[id]];
    if (row.label == LabelId::kNone && row.text_id == id) return &row;
    if (matches(row)) {
      if (row.text == text) row.text_id = id;
      return &row;
    }
  }
  const bool never_hinted = id >= hints.size() || hints[id] == UINT32_MAX;
  if (hinted && match == Match::kExact && complete[static_cast<size_t>(field)] && never_hinted) return nullptr;
  myRecord* row = match == Match::kExact ? FindRow(rows, text, label) : FindMakeRow(rows, text, label);
  if (hinted && row != nullptr) {
    if (id >= hints.size()) hints.resize(std::max<size_t>(id + 1, hints.size() * 2), UINT32_MAX);
    hints[id] = static_cast<uint32_t>(row - rows.data());
  }
  return row;
}

void SurveyState::RowHints::Made(const PhotoView& photo, int field, size_t row) {
  const uint32_t id = photo.TextId(field);
  if (photo.Label(field) != LabelId::kNone) {
    label_rows[static_cast<size_t>(field)] = {photo.Label(field), static_cast<uint32_t>(row)};
    return;
  }
  if (id == PhotoView::kNoTextId) {
    // A row of a text without a number cannot be hinted.
    complete[static_cast<size_t>(field)] = false;
    return;
  }
  std::vector<uint32_t>& hints = row_of_text[static_cast<size_t>(field)];
  if (id >= hints.size()) hints.resize(std::max<size_t>(id + 1, hints.size() * 2), UINT32_MAX);
  hints[id] = static_cast<uint32_t>(row);
}

void SurveyState::RowHints::Reset(int field, bool rows_kept) {
  if (rows_kept) {
    complete[static_cast<size_t>(field)] = false;
    return;
  }
  row_of_text[static_cast<size_t>(field)].clear();
  complete[static_cast<size_t>(field)] = true;
}

bool SurveyState::CountIn(std::vector<myRecord>& rows, const PhotoView& photo, int field, RowHints::Match match) {
  if (myRecord* row = hints_.Find(rows, photo, field, match)) {
    ++row->count;
    return false;
  }
  const LabelId label = photo.Label(field);
  rows.push_back(
      {photo.Field(field), 1, label, 0, label == LabelId::kNone ? photo.TextId(field) : PhotoView::kNoTextId});
  hints_.Made(photo, field, rows.size() - 1);
  return true;
}

namespace {

// Counts the photo in the fixed row of its label; programs and metering modes fall back on their last
// row, the others count only a match.
void CountFixed(std::vector<myRecord>& rows, LabelId label, bool last_row_catches) {
  for (myRecord& row : rows) {
    if (row.label == label) {
      ++row.count;
      return;
    }
  }
  if (last_row_catches) ++rows.back().count;
}

// The eighteen tallies in `TallyId` order, with their names and whether their rows are fixed.
struct TallyInfo {
  TallyId id;
  const char* name;
  std::vector<myRecord> SurveyState::*rows;
  bool fixed;
};
constexpr TallyInfo kTallies[] = {
    {TallyId::kShutter, "shutter", &SurveyState::tallyShutter, false},
    {TallyId::kFNumber, "fNumber", &SurveyState::tallyFNumber, false},
    {TallyId::kFocal, "focal", &SurveyState::tallyFocal, false},
    {TallyId::kFocal35, "focal35", &SurveyState::tallyFocal35, false},
    {TallyId::kIso, "iso", &SurveyState::tallyIso, false},
    {TallyId::kMake, "make", &SurveyState::tallyMake, false},
    {TallyId::kModel, "model", &SurveyState::tallyModel, false},
    {TallyId::kLens, "lens", &SurveyState::tallyLens, false},
    {TallyId::kCrop, "crop", &SurveyState::tallyCrop, false},
    {TallyId::kProgram, "program", &SurveyState::tallyProgram, true},
    {TallyId::kMetering, "metering", &SurveyState::tallyMetering, true},
    {TallyId::kFlash, "flash", &SurveyState::tallyFlash, true},
    {TallyId::kOrientation, "orientation", &SurveyState::tallyOrientation, true},
    {TallyId::kDrive, "drive", &SurveyState::tallyDrive, true},
    {TallyId::kFocus, "focus", &SurveyState::tallyFocus, true},
    {TallyId::kDate, "date", &SurveyState::tallyDate, false},
    {TallyId::kWeekday, "weekday", &SurveyState::tallyWeekday, true},
    {TallyId::kHour, "hour", &SurveyState::tallyHour, true},
};
static_assert(std::size(kTallies) == kTallyCount);
constexpr bool InIdOrder() {
  for (size_t i = 0; i < std::size(kTallies); ++i) {
    if (kTallies[i].id != static_cast<TallyId>(i)) return false;
  }
  return true;
}
static_assert(InIdOrder(), "kTallies lists the tallies in TallyId order");

// The hour tally's rows: "0" to "23", then the undetermined row.
std::vector<myRecord> HourRows(Language language) {
  std::vector<myRecord> rows;
  for (int hour = 0; hour < 24; ++hour) rows.push_back({std::to_string(hour), 0, LabelId::kNone, hour});
  rows.push_back({LabelText(LabelId::NotDeterminedM, language), 0, LabelId::NotDeterminedM, 0});
  return rows;
}

}  // namespace

const std::vector<myRecord>& SurveyState::Tally(TallyId id) const {
  return this->*kTallies[static_cast<size_t>(id)].rows;
}

SurveyState::SurveyState(Language language) : language_(language) { SetFixedRows(language); }

void SurveyState::SetFixedRows(Language language) {
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
  tallyWeekday = FixedRows({L::WeekdayMonday, L::WeekdayTuesday, L::WeekdayWednesday, L::WeekdayThursday,
                            L::WeekdayFriday, L::WeekdaySaturday, L::WeekdaySunday, L::NotDeterminedM},
                           language);
  for (size_t day = 0; day < 7; ++day) tallyWeekday[day].value = static_cast<int64_t>(day);
  tallyHour = HourRows(language);
}

void SurveyState::AddPhoto(const PhotoRecord& record, FilterCriteria& criteria, bool rb_Real) {
  ++processedCount;
  Photos.Append(record);
  // The stored row has the same texts and labels, and numbered texts find their rows faster.
  TallyPhoto(Photos.size() - 1, criteria, rb_Real);
}

void SurveyState::TallyPhoto(size_t row, FilterCriteria& criteria, bool rb_Real) {
  TallyPhoto(PhotoView(Photos, row), row, criteria, rb_Real);
}

void SurveyState::TallyPhoto(const PhotoRecord& record, size_t row, FilterCriteria& criteria, bool rb_Real) {
  TallyPhoto(PhotoView(record), row, criteria, rb_Real);
}

std::vector<std::string> SurveyState::FilteredPathList() const {
  std::vector<std::string> paths;
  paths.reserve(filteredPaths.size());
  for (const uint32_t row : filteredPaths) paths.push_back(Photos.Path(row));
  return paths;
}

void SurveyState::TallyPhoto(const PhotoView& photo, size_t row, FilterCriteria& criteria, bool rb_Real) {
  if (!PassesFilter(photo, criteria, rb_Real)) return;
  ++filteredCount;
  filteredPaths.push_back(static_cast<uint32_t>(row));
  CountExposureAndFNumber(photo);
  CountFocalAndIso(photo);
  CountCamera(photo, criteria);
  CountFixed(tallyProgram, photo.Label(kProgram), true);
  CountFixed(tallyMetering, photo.Label(kMetering), true);
  CountFixed(tallyFlash, photo.Label(kFlash), false);
  CountFixed(tallyOrientation, photo.Label(kOrientation), false);
  CountFixed(tallyDrive, photo.Label(kDrive), false);
  CountFixed(tallyFocus, photo.Label(kFocus), false);
  CountTime(photo);
}

void SurveyState::CountExposureAndFNumber(const PhotoView& photo) {
  if (CountIn(tallyShutter, photo, kExposure)) {
    myRecord& row = tallyShutter.back();
    row.value = ExposureValue(row.text);
    UpdateRange(row.value, CurrentRanges.shutter_min, CurrentRanges.shutter_max);
    InsertLast(tallyShutter, 1, [](const myRecord& a, const myRecord& b) { return a.value < b.value; });
  }
  if (CountIn(tallyFNumber, photo, kFNumber)) {
    if (photo.Label(kFNumber) == LabelId::kNone) {
      if (const std::optional<double> x = ReadDecimal(photo.Field(kFNumber))) {
        const auto rounded = static_cast<int64_t>(Round(Round(*x * 10) / 10 * kFixedPointUnit));
        if (CurrentRanges.fnumber_max < *x * kFixedPointUnit) CurrentRanges.fnumber_max = rounded;
        if (*x > 0 && CurrentRanges.fnumber_min > *x * kFixedPointUnit) CurrentRanges.fnumber_min = rounded;
      }
    }
    InsertLastByKey(tallyFNumber, 1, [](const myRecord& row) { return NumberValue(row.text); });
  }
}

void SurveyState::CountFocalAndIso(const PhotoView& photo) {
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
    if (!CountIn(tally.rows, photo, tally.field)) continue;
    if (photo.Label(tally.field) != LabelId::NotDeterminedN) {
      if (const std::optional<int64_t> v = ReadInteger64(photo.Field(tally.field))) {
        UpdateRange(*v, tally.minimum, tally.maximum);
      }
    }
    PlaceNumeric(tally.rows, LabelId::NotDeterminedN);
  }
}

void SurveyState::CountCamera(const PhotoView& photo, FilterCriteria& criteria) {
  if (CountIn(tallyModel, photo, kModel)) {
    PlaceByCount(tallyModel);
    RefreshCheckList(criteria.ModelChecks, tallyModel, criteria.ModelExclusions);
  }
  if (CountIn(tallyLens, photo, kLens)) {
    PlaceByCount(tallyLens);
    RefreshCheckList(criteria.LensChecks, tallyLens, criteria.LensExclusions);
  }
  if (CountIn(tallyCrop, photo, kCrop)) PlaceCrop(tallyCrop);
  // Makes match without regard to case; a row keeps the spelling of the photo that created it.
  if (CountIn(tallyMake, photo, kMake, RowHints::Match::kUpperCase)) PlaceByCount(tallyMake);
}

void SurveyState::CountTime(const PhotoView& photo) {
  const int64_t taken = photo.Taken();
  // The date tally's months, in time order, and after them its undetermined row when it has one.
  const bool has_undetermined = !tallyDate.empty() && tallyDate.back().label != LabelId::kNone;
  const auto months_end = tallyDate.end() - (has_undetermined ? 1 : 0);
  if (taken == kNoCaptureTime) {
    ++tallyWeekday.back().count;
    ++tallyHour.back().count;
    if (has_undetermined) {
      ++tallyDate.back().count;
    } else {
      tallyDate.push_back({LabelText(LabelId::NotDeterminedF, language_), 1, LabelId::NotDeterminedF, 0});
    }
    return;
  }
  ++tallyWeekday[static_cast<size_t>(CaptureWeekday(taken))].count;
  const int hour = CaptureHour(taken);
  ++tallyHour[static_cast<size_t>(hour)].count;
  ValueRanges& ranges = CurrentRanges;
  if (ranges.taken_min == kNoCaptureTime || taken < ranges.taken_min) ranges.taken_min = taken;
  if (taken > ranges.taken_max) ranges.taken_max = taken;
  if (ranges.hour_min < 0 || hour < ranges.hour_min) ranges.hour_min = hour;
  if (hour > ranges.hour_max) ranges.hour_max = hour;
  const int64_t month = CaptureMonth(taken);
  const auto row = std::lower_bound(tallyDate.begin(), months_end, month,
                                    [](const myRecord& row, int64_t value) { return row.value < value; });
  if (row != months_end && row->value == month) {
    ++row->count;
  } else {
    tallyDate.insert(row, {MonthText(month), 1, LabelId::kNone, month});
  }
}

void SurveyState::ResetTallies(bool full, FilterCriteria& criteria) {
  if (full) {
    Photos.clear();
    processedCount = 0;
  }
  if (criteria.keepChecks) {
    // A kept row's text may have another number in the photos stored next.
    for (std::vector<myRecord>* rows : {&tallyModel, &tallyLens}) {
      for (myRecord& row : *rows) {
        row.count = 0;
        row.text_id = PhotoStore::kNoTextId;
      }
    }
  } else {
    tallyModel.clear();
    tallyLens.clear();
    criteria.ModelChecks.clear();
    criteria.LensChecks.clear();
  }
  for (int field = 0; field < PhotoRecord::kFieldCount; ++field) {
    hints_.Reset(field, criteria.keepChecks && (field == kModel || field == kLens));
  }
  filteredCount = 0;
  filteredPaths.clear();
  CurrentRanges = kResetRanges;
  for (const TallyInfo& tally : kTallies) {
    std::vector<myRecord>& rows = this->*tally.rows;
    if (tally.fixed) {
      for (myRecord& row : rows) row.count = 0;
    } else if (&rows != &tallyModel && &rows != &tallyLens) {
      rows.clear();
    }
  }
}

void SurveyState::Retally(FilterCriteria& criteria, bool rb_Real) {
  ResetTallies(false, criteria);
  for (size_t i = 0; i < Photos.size(); ++i) TallyPhoto(i, criteria, rb_Real);
}

void SurveyState::RelabelTallies(Language language, FilterCriteria& criteria) {
  language_ = language;
  for (const TallyInfo& tally : kTallies) {
    for (myRecord& row : this->*tally.rows) {
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
  std::vector<std::pair<const char*, const std::vector<myRecord>*>> tallies;
  for (const TallyInfo& tally : kTallies) tallies.emplace_back(tally.name, &(this->*tally.rows));
  return tallies;
}

}  // namespace lumetra
