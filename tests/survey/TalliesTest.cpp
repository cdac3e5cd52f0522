// The tallies: where rows go, the ranges, the check lists, re-tallies and language switches.

#include <gtest/gtest.h>

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
