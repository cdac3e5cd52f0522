// The tallies: where rows go, the ranges, the check lists, re-tallies and language switches.

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "survey/Tallies.h"
#include "tests/survey/RecordBuilder.h"

namespace lumetra {
namespace {

using testing::SamplePhoto;
using testing::Undetermined;

std::vector<std::string> Texts(const std::vector<myRecord>& rows) {
  std::vector<std::string> texts;
  for (const myRecord& row : rows) texts.push_back(row.text);
  return texts;
}

std::vector<int32_t> Counts(const std::vector<myRecord>& rows) {
  std::vector<int32_t> counts;
  for (const myRecord& row : rows) counts.push_back(row.count);
  return counts;
}

// Every tally's rows (text, count, label) with the counters and the filtered paths, for comparing two surveys.
std::vector<std::string> Snapshot(const SurveyState& state) {
  std::vector<std::string> lines;
  for (const auto& [name, rows] : state.AllTallies()) {
    for (const myRecord& row : *rows) {
      lines.push_back(std::string(name) + " " + row.text + " " + std::to_string(row.count) + " " +
                      std::to_string(static_cast<int>(row.label)));
    }
  }
  lines.push_back("filtered " + std::to_string(state.filteredCount));
  const std::vector<std::string> paths = state.FilteredPathList();
  lines.insert(lines.end(), paths.begin(), paths.end());
  return lines;
}

// A photo with its model and make, the other fields as SamplePhoto gives them.
PhotoRecord Camera(const std::string& path, const std::string& make, const std::string& model) {
  PhotoRecord record = SamplePhoto(path);
  record.make = make;
  record.model = model;
  return record;
}

// Photos of one camera with these exposures and ISO values, in turn.
std::vector<PhotoRecord> ValuesPhotos(const std::vector<std::string>& exposures, const std::vector<std::string>& isos) {
  std::vector<PhotoRecord> photos;
  for (size_t i = 0; i < exposures.size(); ++i) {
    PhotoRecord photo = Camera("/v/" + std::to_string(i), "Canon", "A");
    photo.Field(kExposure) = exposures[i];
    photo.Field(kIso) = isos[i];
    photos.push_back(photo);
  }
  return photos;
}

class TalliesTest : public ::testing::Test {
 protected:
  void Add(const PhotoRecord& record) { state_.AddPhoto(record, criteria_, true); }

  SurveyState state_{kEnglish};
  FilterCriteria criteria_;
};

TEST_F(TalliesTest, ShutterRowsAscendByTime) {
  for (const char* exposure : {"1/60", "1/125", "2"}) {
    PhotoRecord record = SamplePhoto();
    record.exposure = exposure;
    Add(record);
  }
  EXPECT_EQ(Texts(state_.tallyShutter), (std::vector<std::string>{"1/125", "1/60", "2"}));
  EXPECT_EQ(state_.tallyShutter[0].value, 80);
  EXPECT_EQ(state_.tallyShutter[1].value, 167);
  EXPECT_EQ(state_.tallyShutter[2].value, 20000);
  EXPECT_EQ(state_.CurrentRanges.shutter_min, 80);
  EXPECT_EQ(state_.CurrentRanges.shutter_max, 20000);
  Add(Undetermined(SamplePhoto(), kExposure, LabelId::NotDeterminedF));
  EXPECT_EQ(state_.tallyShutter.front().text, "n/a");
  EXPECT_EQ(state_.tallyShutter.front().value, 0);
  EXPECT_EQ(state_.CurrentRanges.shutter_min, 80);
}

TEST_F(TalliesTest, NumericRowsPutTheUndeterminedFirstAndCropsLast) {
  for (const char* focal : {"50", "", "18", "200"}) {
    PhotoRecord record = SamplePhoto();
    if (*focal == '\0') {
      record = Undetermined(record, kFocal, LabelId::NotDeterminedN);
    } else {
      record.focal = focal;
    }
    Add(record);
  }
  EXPECT_EQ(Texts(state_.tallyFocal), (std::vector<std::string>{"n/a", "18", "50", "200"}));
  EXPECT_EQ(state_.CurrentRanges.focal_min, 18);
  EXPECT_EQ(state_.CurrentRanges.focal_max, 200);
  for (const char* crop : {"1.6", "", "1"}) {
    PhotoRecord record = SamplePhoto();
    if (*crop == '\0') {
      record = Undetermined(record, kCrop, LabelId::NotDeterminedM);
    } else {
      record.crop = crop;
    }
    Add(record);
  }
  EXPECT_EQ(Texts(state_.tallyCrop), (std::vector<std::string>{"1", "1.6", "n/a"}));
}

TEST_F(TalliesTest, FNumbersAscendAndSetTheRange) {
  for (const char* f : {"8.0", "2.8", "11.0", "2.8"}) {
    PhotoRecord record = SamplePhoto();
    record.fNumber = f;
    Add(record);
  }
  EXPECT_EQ(Texts(state_.tallyFNumber), (std::vector<std::string>{"2.8", "8.0", "11.0"}));
  EXPECT_EQ(Counts(state_.tallyFNumber), (std::vector<int32_t>{2, 1, 1}));
  EXPECT_EQ(state_.CurrentRanges.fnumber_min, 28000);
  EXPECT_EQ(state_.CurrentRanges.fnumber_max, 110000);
}

TEST_F(TalliesTest, MakesMatchIgnoringCaseAndNewRowsMoveByCount) {
  PhotoRecord canon = SamplePhoto();
  PhotoRecord upper = SamplePhoto();
  upper.make = "CANON";
  Add(canon);
  Add(upper);
  EXPECT_EQ(Texts(state_.tallyMake), std::vector<std::string>{"Canon"});
  EXPECT_EQ(state_.tallyMake[0].count, 2);

  PhotoRecord nikon = SamplePhoto();
  nikon.model = "NIKON D70";
  Add(nikon);
  EXPECT_EQ(Texts(state_.tallyModel), (std::vector<std::string>{"Canon EOS 40D", "NIKON D70"}));
  ASSERT_EQ(criteria_.ModelChecks.size(), 2u);
  EXPECT_EQ(criteria_.ModelChecks[1].text, "NIKON D70");
  EXPECT_TRUE(criteria_.ModelChecks[1].checked);
}

TEST_F(TalliesTest, FixedRowsKeepTheirPlace) {
  PhotoRecord creative = SamplePhoto();
  creative.SetLabel(kProgram, LabelId::LabelCreative, kEnglish);
  Add(creative);
  Add(Undetermined(SamplePhoto(), kProgram, LabelId::NotDeterminedM));
  Add(Undetermined(SamplePhoto(), kFlash, LabelId::NotDeterminedM));
  EXPECT_EQ(Counts(state_.tallyProgram), (std::vector<int32_t>{0, 0, 0, 1, 0, 0, 0, 1, 1}));
  // An undetermined flash is counted in no flash row.
  EXPECT_EQ(Counts(state_.tallyFlash), (std::vector<int32_t>{0, 2}));
  EXPECT_EQ(state_.filteredCount, 3);
  EXPECT_EQ(state_.processedCount, 3);
}

TEST_F(TalliesTest, RetallyRecountsWithoutChangingAnything) {
  for (const char* model : {"A", "B", "A", "C"}) {
    PhotoRecord record = SamplePhoto(std::string("/p/") + model);
    record.model = model;
    Add(record);
  }
  const auto models = Texts(state_.tallyModel);
  const auto counts = Counts(state_.tallyModel);
  state_.Retally(criteria_, true);
  state_.Retally(criteria_, true);
  EXPECT_EQ(Texts(state_.tallyModel), models);
  EXPECT_EQ(Counts(state_.tallyModel), counts);
  EXPECT_EQ(state_.filteredCount, 4);
  EXPECT_EQ(state_.filteredPaths.size(), 4u);
}

// The stored photos find their rows by the store's text numbers; records that are not stored are matched
// by a scan alone. Both must give the same tallies however rows move, and after the store is emptied and
// its numbers go to other texts.
// Undetermined values among new values that move the rows around (ascending numbers, the crop tally's last
// row, lenses by count): every photo lands in the one row of its text.
TEST_F(TalliesTest, UndeterminedValuesKeepFallingInTheirRowWhileRowsMove) {
  const struct {
    int field;
    const std::vector<myRecord>* rows;
    LabelId undetermined;
  } tallies[] = {
      {kFocal, &state_.tallyFocal, LabelId::NotDeterminedN},
      {kCrop, &state_.tallyCrop, LabelId::NotDeterminedM},
      {kLens, &state_.tallyLens, LabelId::NotDeterminedM},
      {kIso, &state_.tallyIso, LabelId::NotDeterminedN},
  };
  std::vector<std::map<std::string, int>> expected(std::size(tallies));
  constexpr int kPhotos = 60;
  for (int i = 0; i < kPhotos; ++i) {
    PhotoRecord record = SamplePhoto("/p/" + std::to_string(i));
    record.focal = std::to_string(10 + (i * 7) % 40);
    record.crop = "1." + std::to_string(i % 9);
    record.lens = "Lens " + std::to_string(i % 6);
    record.iso = std::to_string(100 * (1 + i % 5));
    for (size_t t = 0; t < std::size(tallies); ++t) {
      if (i % static_cast<int>(t + 2) == 0) record.SetLabel(tallies[t].field, tallies[t].undetermined, kEnglish);
      ++expected[t][record.Field(tallies[t].field)];
    }
    Add(record);
  }
  for (size_t t = 0; t < std::size(tallies); ++t) {
    SCOPED_TRACE(tallies[t].field);
    ASSERT_EQ(tallies[t].rows->size(), expected[t].size());
    for (const myRecord& row : *tallies[t].rows) EXPECT_EQ(row.count, expected[t][row.text]) << row.text;
  }
}

TEST(TalliesStoredPhotos, FallInTheSameRowsAsRecordsTalliedOneByOne) {
  const PhotoRecord undetermined_model = Undetermined(Camera("/p/u", "Canon", ""), kModel, LabelId::NotDeterminedM);
  const struct {
    const char* name;
    std::vector<PhotoRecord> first_survey;
    std::vector<PhotoRecord> second_survey;  // after a full reset with the model rows kept
  } cases[] = {
      {"rows overtaken by counts",
       {Camera("/p/1", "Canon", "A"), Camera("/p/2", "Nikon", "B"), Camera("/p/3", "Nikon", "B"),
        Camera("/p/4", "Sony", "C"), Camera("/p/5", "Sony", "C"), Camera("/p/6", "Sony", "C")},
       {}},
      {"makes differing in case",
       {Camera("/p/1", "nikon", "D70"), Camera("/p/2", "Canon", "A"), Camera("/p/3", "NIKON", "D70"),
        Camera("/p/4", "CANON", "A"), Camera("/p/5", "Nikon", "D80")},
       {}},
      {"a plain value spelt like a label",
       {Camera("/p/1", "Canon", "n/a"), undetermined_model, Camera("/p/3", "Canon", "n/a"), undetermined_model},
       {}},
      {"distinct exposures and ISO values, then each again in another order, a new model after the reset",
       ValuesPhotos({"1/100", "1/250", "1/60", "1/250", "1/100"}, {"100", "800", "200", "100", "800"}),
       [] {
         std::vector<PhotoRecord> photos = ValuesPhotos({"1/60", "1/2000", "1/60"}, {"6400", "200", "6400"});
         photos[1].model = "New";
         // One text fewer before the model's: the kept model row's text comes back under another number.
         photos[0].Field(kIso) = photos[0].Field(kFocal);
         return photos;
       }()},
      {"the store's numbers reused for other texts",
       {Camera("/p/1", "Canon", "X"), Camera("/p/2", "Nikon", "Y")},
       {Camera("/p/3", "Nikon", "Y"), Camera("/p/4", "Canon", "X"), Camera("/p/5", "Canon", "X")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SurveyState stored(kEnglish);
    SurveyState reference(kEnglish);
    FilterCriteria stored_criteria;
    FilterCriteria reference_criteria;
    stored_criteria.keepChecks = reference_criteria.keepChecks = true;
    const auto survey = [&](const std::vector<PhotoRecord>& photos) {
      stored.ResetTallies(true, stored_criteria);
      reference.ResetTallies(true, reference_criteria);
      for (const PhotoRecord& photo : photos) {
        stored.AddPhoto(photo, stored_criteria, true);
        // The reference keeps the photo only for its path and tallies the record by its texts.
        reference.Photos.Append(photo);
        reference.TallyPhoto(photo, reference.Photos.size() - 1, reference_criteria, true);
      }
      EXPECT_EQ(Snapshot(stored), Snapshot(reference));
    };
    survey(c.first_survey);
    if (!c.second_survey.empty()) survey(c.second_survey);

    // A re-tally that leaves the first model out, then one with the filter open again.
    const std::vector<PhotoRecord>& last = c.second_survey.empty() ? c.first_survey : c.second_survey;
    for (const std::vector<std::string>& exclusions : {std::vector<std::string>{last[0].model}, {}}) {
      stored_criteria.ModelExclusions = reference_criteria.ModelExclusions = exclusions;
      stored.Retally(stored_criteria, true);
      reference.ResetTallies(false, reference_criteria);
      for (size_t row = 0; row < last.size(); ++row) reference.TallyPhoto(last[row], row, reference_criteria, true);
      EXPECT_EQ(Snapshot(stored), Snapshot(reference));
    }
  }
}

TEST_F(TalliesTest, FilteredPathsNameThePhotosThatPassedInTallyOrder) {
  const std::vector<PhotoRecord> photos = {Camera("/a/1.jpg", "Canon", "A"), Camera("/a/2.jpg", "Nikon", "B"),
                                           Camera("/b/3.jpg", "Canon", "A"), Camera("/b/4.jpg", "Nikon", "B"),
                                           Camera("/a/5.jpg", "Sony", "C")};
  const struct {
    const char* name;
    std::vector<std::string> excluded_models;
    std::vector<std::string> paths;
  } cases[] = {
      {"nothing excluded", {}, {"/a/1.jpg", "/a/2.jpg", "/b/3.jpg", "/b/4.jpg", "/a/5.jpg"}},
      {"one model left out", {"B"}, {"/a/1.jpg", "/b/3.jpg", "/a/5.jpg"}},
      {"all but one left out", {"A", "C"}, {"/a/2.jpg", "/b/4.jpg"}},
      {"everything left out", {"A", "B", "C"}, {}},
  };
  for (const PhotoRecord& photo : photos) Add(photo);
  criteria_.keepChecks = true;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    criteria_.ModelExclusions = c.excluded_models;
    state_.Retally(criteria_, true);
    EXPECT_EQ(state_.FilteredPathList(), c.paths);
    ASSERT_EQ(state_.filteredPaths.size(), c.paths.size());
    EXPECT_EQ(static_cast<size_t>(state_.filteredCount), c.paths.size());
    for (size_t i = 0; i < c.paths.size(); ++i) EXPECT_EQ(state_.FilteredPath(i), c.paths[i]);
  }
  // A full reset empties the list with the store.
  state_.ResetTallies(true, criteria_);
  EXPECT_TRUE(state_.FilteredPathList().empty());
}

TEST_F(TalliesTest, KeptChecksSurviveARetallyInWhichAModelNoLongerPasses) {
  for (const char* model : {"A", "B"}) {
    PhotoRecord record = SamplePhoto();
    record.model = model;
    Add(record);
  }
  criteria_.keepChecks = true;
  criteria_.ModelExclusions = {"B"};
  state_.Retally(criteria_, true);
  EXPECT_EQ(Texts(state_.tallyModel), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(Counts(state_.tallyModel), (std::vector<int32_t>{1, 0}));
  // A model seen for the first time moves in front of the rows with count 0 directly before it; the
  // excluded entry is rebuilt unchecked.
  PhotoRecord record = SamplePhoto();
  record.model = "C";
  Add(record);
  EXPECT_EQ(Texts(state_.tallyModel), (std::vector<std::string>{"A", "C", "B"}));
  ASSERT_EQ(criteria_.ModelChecks.size(), 3u);
  EXPECT_TRUE(criteria_.ModelChecks[1].checked);
  EXPECT_EQ(criteria_.ModelChecks[2].text, "B");
  EXPECT_FALSE(criteria_.ModelChecks[2].checked);
}

TEST_F(TalliesTest, ALanguageSwitchRelabelsAndRetalliesUnderTheSameCategories) {
  Add(Undetermined(SamplePhoto(), kFocal, LabelId::NotDeterminedN));
  Add(SamplePhoto());
  const auto counts_before = Counts(state_.tallyProgram);
  state_.RelabelTallies(kRussian, criteria_);
  EXPECT_EQ(state_.tallyFocal[0].text, "Не определено");
  EXPECT_EQ(state_.tallyProgram[3].text, "Програмный\rЗеленая зона");
  state_.Retally(criteria_, true);
  EXPECT_EQ(Counts(state_.tallyProgram), counts_before);
  EXPECT_EQ(Counts(state_.tallyFocal), (std::vector<int32_t>{1, 1}));
  // A photo read in Russian after the switch falls in the same rows as those read in English.
  PhotoRecord russian = Undetermined(SamplePhoto(), kFocal, LabelId::NotDeterminedN, kRussian);
  russian.SetLabel(kProgram, LabelId::LabelNormal, kRussian);
  Add(russian);
  EXPECT_EQ(Counts(state_.tallyFocal), (std::vector<int32_t>{2, 1}));
  EXPECT_EQ(state_.tallyProgram[3].count, 3);
}

TEST_F(TalliesTest, AFullResetEmptiesTheStoreButKeepsUnknownCameras) {
  Add(SamplePhoto());
  state_.UnknownCameras.push_back({"Canon", "Canon EOS 40D"});
  state_.ResetTallies(true, criteria_);
  EXPECT_EQ(state_.processedCount, 0);
  EXPECT_TRUE(state_.Photos.empty());
  EXPECT_TRUE(state_.tallyModel.empty());
  EXPECT_TRUE(criteria_.ModelChecks.empty());
  EXPECT_EQ(state_.UnknownCameras.size(), 1u);
  EXPECT_EQ(state_.CurrentRanges.shutter_min, 10000000);
}

}  // namespace
}  // namespace lumetra

namespace lumetra {
namespace {

PhotoRecord TakenAt(const char* exif_time) {
  PhotoRecord record = testing::SamplePhoto(std::string("/p/") + exif_time);
  record.taken = ParseCaptureTime(exif_time);
  return record;
}

std::vector<int32_t> RowCounts(const std::vector<myRecord>& rows) {
  std::vector<int32_t> counts;
  for (const myRecord& row : rows) counts.push_back(row.count);
  return counts;
}

std::vector<std::string> RowTexts(const std::vector<myRecord>& rows) {
  std::vector<std::string> texts;
  for (const myRecord& row : rows) texts.push_back(row.text);
  return texts;
}

class TimeTalliesTest : public ::testing::Test {
 protected:
  void Add(const PhotoRecord& record) { state_.AddPhoto(record, criteria_, true); }

  SurveyState state_{kEnglish};
  FilterCriteria criteria_;
};

TEST_F(TimeTalliesTest, MonthsInTimeOrderWeekdaysAndHoursAllThereUndeterminedLast) {
  EXPECT_TRUE(state_.tallyDate.empty());
  EXPECT_EQ(RowTexts(state_.tallyWeekday), (std::vector<std::string>{"Monday", "Tuesday", "Wednesday", "Thursday",
                                                                     "Friday", "Saturday", "Sunday", "n/a"}));
  ASSERT_EQ(state_.tallyHour.size(), 25u);
  EXPECT_EQ(state_.tallyHour[0].text, "0");
  EXPECT_EQ(state_.tallyHour[23].text, "23");
  EXPECT_EQ(state_.tallyHour[24].text, "n/a");

  // Out of order, an undetermined one among them, and a month that arrives after the undetermined row.
  Add(TakenAt("2019:03:14 18:22:05"));  // Thursday
  Add(TakenAt(""));
  Add(TakenAt("2018:12:31 23:59:59"));  // Monday
  Add(TakenAt("2019:03:01 06:00:00"));  // Friday
  Add(TakenAt("2019:11:30 06:30:00"));  // Saturday
  Add(TakenAt("1999:12:31 00:00:00"));  // Friday
  EXPECT_EQ(RowTexts(state_.tallyDate), (std::vector<std::string>{"1999-12", "2018-12", "2019-03", "2019-11", "n/a"}));
  EXPECT_EQ(RowCounts(state_.tallyDate), (std::vector<int32_t>{1, 1, 2, 1, 1}));
  // The months count on, so that a linear axis can place them and fill the gaps.
  EXPECT_EQ(state_.tallyDate[1].value, (2018 - 1900) * 12 + 11);
  EXPECT_EQ(state_.tallyDate[2].value - state_.tallyDate[1].value, 3);
  EXPECT_EQ(state_.tallyDate.back().label, LabelId::NotDeterminedF);
  EXPECT_EQ(RowCounts(state_.tallyWeekday), (std::vector<int32_t>{1, 0, 0, 1, 2, 1, 0, 1}));
  std::vector<int32_t> hours(25, 0);
  hours[18] = hours[23] = hours[0] = 1;
  hours[6] = 2;
  hours[24] = 1;
  EXPECT_EQ(RowCounts(state_.tallyHour), hours);
  EXPECT_EQ(CaptureTimeText(state_.CurrentRanges.taken_min), "1999-12-31T00:00:00");
  EXPECT_EQ(CaptureTimeText(state_.CurrentRanges.taken_max), "2019-11-30T06:30:00");
  EXPECT_EQ(state_.CurrentRanges.hour_min, 0);
  EXPECT_EQ(state_.CurrentRanges.hour_max, 23);
}

TEST_F(TimeTalliesTest, RetallyCountsOnlyWhatPassesAndALanguageSwitchKeepsTheRows) {
  for (const char* time : {"2019:03:14 18:22:05", "2019:03:15 09:00:00", "", "2019:05:01 23:00:00"}) {
    Add(TakenAt(time));
  }
  criteria_.ed_from5 = "2019-03-15";
  criteria_.ed_from6 = "20";
  criteria_.ed_to6 = "10";
  state_.Retally(criteria_, true);
  EXPECT_EQ(state_.filteredCount, 2);
  EXPECT_EQ(RowTexts(state_.tallyDate), (std::vector<std::string>{"2019-03", "2019-05"}));
  EXPECT_EQ(state_.tallyHour[9].count + state_.tallyHour[23].count, 2);
  EXPECT_EQ(state_.tallyHour[24].count, 0);
  EXPECT_EQ(CaptureTimeText(state_.CurrentRanges.taken_min), "2019-03-15T09:00:00");
  EXPECT_EQ(state_.CurrentRanges.hour_min, 9);

  criteria_ = FilterCriteria{};
  state_.Retally(criteria_, true);
  state_.RelabelTallies(kRussian, criteria_);
  EXPECT_EQ(RowTexts(state_.tallyWeekday),
            (std::vector<std::string>{"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс", "Не определен"}));
  EXPECT_EQ(state_.tallyDate.back().text, "Не определена");
  EXPECT_EQ(state_.tallyHour.back().text, "Не определен");
  const std::vector<int32_t> weekdays = RowCounts(state_.tallyWeekday);
  state_.Retally(criteria_, true);
  EXPECT_EQ(RowCounts(state_.tallyWeekday), weekdays);
  EXPECT_EQ(RowCounts(state_.tallyDate), (std::vector<int32_t>{2, 1, 1}));
  EXPECT_EQ(state_.tallyDate.back().text, "Не определена");
}

}  // namespace
}  // namespace lumetra
