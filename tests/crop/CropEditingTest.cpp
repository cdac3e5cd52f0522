// The crop dialogs' editing rules under both decimal separators (keys, typing, the end of an edit, the
// (0, 100] range), the editor's grid texts and the records a saved grid gives, and what a Save does to
// the stored photos of a run: the crop and 35 mm focal texts, the unknown cameras' merge.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "crop/CropEditing.h"
#include "crop/CropStore.h"
#include "survey/Labels.h"
#include "survey/PhotoRecord.h"
#include "survey/PhotoStore.h"

namespace lumetra {
namespace {

constexpr char kSeparators[] = {'.', ','};

// "1.5" under '.' and "1,5" under ','.
std::string Regional(std::string text, char separator) {
  for (char& character : text) {
    if (character == '.') character = separator;
  }
  return text;
}

TEST(CropEditingTest, GridShowsThreeSignificantDigitsWithTheRegionalSeparator) {
  const struct {
    int64_t factor;
    const char* shown;
  } cases[] = {{16000, "1.6"},  {200000, "20"},   {147000, "14.7"}, {10000, "1"},
               {15384, "1.54"}, {1000000, "100"}, {1, "0.0001"}};
  for (const char separator : kSeparators) {
    for (const auto& c : cases) {
      EXPECT_EQ(CropCellText(c.factor, separator), Regional(c.shown, separator)) << c.factor;
    }
  }
}

TEST(CropEditingTest, PhotoTextsHaveFourSignificantDigitsAndAPoint) {
  EXPECT_EQ(PhotoCropText(16000), "1.6");
  EXPECT_EQ(PhotoCropText(15384), "1.538");
  EXPECT_EQ(PhotoCropText(147000), "14.7");
  EXPECT_EQ(PhotoCropText(200000), "20");
  EXPECT_EQ(PhotoCropText(10000), "1");
}

TEST(CropEditingTest, KeysGiveDigitsAndTheRegionalSeparatorOnly) {
  for (const char separator : kSeparators) {
    for (char32_t digit = U'0'; digit <= U'9'; ++digit) {
      EXPECT_EQ(FactorKeyCharacter(digit, separator), static_cast<char>(digit));
    }
    EXPECT_EQ(FactorKeyCharacter(U'.', separator), separator);
    EXPECT_EQ(FactorKeyCharacter(U',', separator), separator);
    for (const char32_t other : {U'a', U'-', U'+', U'e', U' ', U'/', U'б'}) {
      EXPECT_EQ(FactorKeyCharacter(other, separator), std::nullopt) << static_cast<int>(other);
    }
  }
}

TEST(CropEditingTest, TypingDropsTheCharacterThatMakesTheTextUnreadable) {
  for (const char separator : kSeparators) {
    EXPECT_EQ(TrimFactorTyping("", separator), "");
    EXPECT_EQ(TrimFactorTyping(Regional("1.", separator), separator), Regional("1.", separator));
    EXPECT_EQ(TrimFactorTyping(Regional(".5", separator), separator), Regional(".5", separator));
    // A second separator cannot be typed.
    EXPECT_EQ(TrimFactorTyping(Regional("1.5.", separator), separator), Regional("1.5", separator));
    EXPECT_EQ(TrimFactorTyping("12x", separator), "12");
  }
  // The other separator is not the regional one: it goes too.
  EXPECT_EQ(TrimFactorTyping("1,", '.'), "1");
  EXPECT_EQ(TrimFactorTyping("1.", ','), "1");
}

TEST(CropEditingTest, EndOfAnEditAppendsZeroAndRefusesZeroEmptyAndOutOfRangeValues) {
  for (const char separator : kSeparators) {
    const std::string old_text = Regional("1.6", separator);
    for (const EmptyFactor empty : {EmptyFactor::kRefused, EmptyFactor::kKept}) {
      EXPECT_EQ(FinishFactorEdit(Regional("1.", separator), old_text, separator, empty), Regional("1.0", separator));
      EXPECT_EQ(FinishFactorEdit(Regional("1.5", separator), old_text, separator, empty), Regional("1.5", separator));
      EXPECT_EQ(FinishFactorEdit("20", old_text, separator, empty), "20");
      EXPECT_EQ(FinishFactorEdit("100", old_text, separator, empty), "100");
      // Refused: the previous text comes back.
      EXPECT_EQ(FinishFactorEdit("0", old_text, separator, empty), old_text);
      EXPECT_EQ(FinishFactorEdit(Regional("0.0", separator), old_text, separator, empty), old_text);
      EXPECT_EQ(FinishFactorEdit(Regional("0.", separator), old_text, separator, empty), old_text);
      EXPECT_EQ(FinishFactorEdit(Regional("100.5", separator), old_text, separator, empty), old_text);
      EXPECT_EQ(FinishFactorEdit("250", old_text, separator, empty), old_text);
      EXPECT_EQ(FinishFactorEdit("abc", old_text, separator, empty), old_text);
    }
    // An empty cell: the editor puts the previous text back, the unknown-cameras dialog keeps it empty.
    EXPECT_EQ(FinishFactorEdit("", old_text, separator, EmptyFactor::kRefused), old_text);
    EXPECT_EQ(FinishFactorEdit("", "", separator, EmptyFactor::kKept), "");
    // A zero typed in an empty cell of the unknown-cameras dialog leaves it empty.
    EXPECT_EQ(FinishFactorEdit("0", "", separator, EmptyFactor::kKept), "");
  }
  // Read with either separator: a comma typed elsewhere still counts.
  EXPECT_EQ(FinishFactorEdit("1,5", "1.6", '.', EmptyFactor::kRefused), "1,5");
}

TEST(CropEditingTest, CellFactorsAreReadWithEitherSeparatorWithinTheRange) {
  for (const char separator : kSeparators) {
    EXPECT_EQ(CellCropFactor("1.6", separator), 16000);
    EXPECT_EQ(CellCropFactor("1,6", separator), 16000);
    EXPECT_EQ(CellCropFactor("20", separator), 200000);
    EXPECT_EQ(CellCropFactor("", separator), std::nullopt);
    EXPECT_EQ(CellCropFactor("0", separator), std::nullopt);
    EXPECT_EQ(CellCropFactor("101", separator), std::nullopt);
    EXPECT_EQ(CellCropFactor("x", separator), std::nullopt);
  }
}

TEST(CropEditingTest, GridRowsAndSavedRecordsGoBothWays) {
  for (const char separator : kSeparators) {
    const std::vector<CropRecord> records = {{"Canon", "Canon EOS 7D", 16000}, {"Nokia", "N8-00", 200000}};
    const std::vector<CropGridRow> rows = CropGridRows(records, separator);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (CropGridRow{"Canon", "Canon EOS 7D", Regional("1.6", separator), 16000}));
    EXPECT_EQ(rows[1], (CropGridRow{"Nokia", "N8-00", "20", 200000}));
    EXPECT_EQ(CropRecordsFromGrid(rows, separator), records);
  }
  // The grid shows three digits, but a camera whose cell was not changed keeps its factor whole; a typed
  // factor is the cell's value. An empty cell gives 0; long texts are cut.
  const std::vector<CropGridRow> rows = {{"A", "B", CropCellText(15384, '.'), 15384},
                                         {"A", "C", "1.6", 15384},
                                         {"C", "D", "", 16000},
                                         {std::string(300, 'm'), "E", "2", 0}};
  const std::vector<CropRecord> records = CropRecordsFromGrid(rows, '.');
  EXPECT_EQ(records[0].Factor, 15384);
  EXPECT_EQ(records[1].Factor, 16000);
  EXPECT_EQ(records[2].Factor, 0);
  EXPECT_EQ(records[3].Factor, 20000);
  EXPECT_EQ(records[3].Make.size(), kCropTextLimit);
}

// A stored photo of a camera with a real focal length (or none) and the crop texts a run gave it.
PhotoRecord Photo(std::string make, std::string model, std::string focal, std::string crop = "2",
                  std::string focal35 = "0") {
  PhotoRecord record;
  record.path = "/photos/" + model + ".jpg";
  record.make = std::move(make);
  record.model = std::move(model);
  if (focal.empty()) {
    record.SetLabel(kFocal, LabelId::NotDeterminedN, kEnglish);
  } else {
    record.focal = std::move(focal);
  }
  if (crop.empty()) {
    record.SetLabel(kCrop, LabelId::NotDeterminedM, kEnglish);
    record.SetLabel(kFocal35, LabelId::NotDeterminedN, kEnglish);
  } else {
    record.crop = std::move(crop);
    record.focal35 = std::move(focal35);
  }
  return record;
}

TEST(CropEditingTest, SavedFactorsCorrectTheCropAndFocal35OfTheirCamerasOnly) {
  PhotoStore photos;
  photos.Append(Photo("Canon", "Canon EOS 7D", "35", "1.6", "56"));
  photos.Append(Photo("Canon", "Canon EOS 7D", "", "", ""));
  photos.Append(Photo("NIKON", "NIKON D90", "50", "1.5", "75"));
  photos.Append(Photo("canon", "Canon EOS 7D", "35", "1.6", "56"));
  const std::vector<CropRecord> records = {{"Canon", "Canon EOS 7D", 15000}, {"NIKON", "NIKON D90", 0}};
  EXPECT_EQ(ApplyCropFactors(photos, records), 2u);
  EXPECT_EQ(photos.Text(0, kCrop), "1.5");
  // 35 × 1.5 = 52.5: halves to even.
  EXPECT_EQ(photos.Text(0, kFocal35), "52");
  EXPECT_EQ(photos.Label(0, kCrop), LabelId::kNone);
  // Without a real focal length the 35 mm value stays as it was.
  EXPECT_EQ(photos.Text(1, kCrop), "1.5");
  EXPECT_EQ(photos.Label(1, kCrop), LabelId::kNone);
  EXPECT_EQ(photos.Label(1, kFocal35), LabelId::NotDeterminedN);
  // A factor of 0 is no factor; another make's case is another camera.
  EXPECT_EQ(photos.Text(2, kCrop), "1.5");
  EXPECT_EQ(photos.Text(2, kFocal35), "75");
  EXPECT_EQ(photos.Text(3, kFocal35), "56");
}

TEST(CropEditingTest, TheLaterRecordOfACameraDecides) {
  PhotoStore photos;
  photos.Append(Photo("Canon", "Canon EOS 7D", "50"));
  ApplyCropFactors(photos, {{"Canon", "Canon EOS 7D", 16000}, {"Canon", "Canon EOS 7D", 13000}});
  EXPECT_EQ(photos.Text(0, kCrop), "1.3");
  EXPECT_EQ(photos.Text(0, kFocal35), "65");
}

TEST(CropEditingTest, UndeterminedCamerasAreNeverMatched) {
  PhotoStore photos;
  PhotoRecord record = Photo("", "", "50", "1.5", "75");
  record.SetLabel(kMake, LabelId::NotDeterminedF, kEnglish);
  record.SetLabel(kModel, LabelId::NotDeterminedM, kEnglish);
  photos.Append(record);
  EXPECT_EQ(ApplyCropFactors(photos, {{"n/a", "n/a", 20000}}), 0u);
  EXPECT_EQ(photos.Text(0, kCrop), "1.5");
}

TEST(CropEditingTest, UnknownCamerasSortIntoCameraOrder) {
  std::vector<UnknownCamera> cameras = {
      {"Nokia", "N95"}, {"Canon", "Canon EOS-1D"}, {"NIKON", "D1"}, {"Canon", "Canon EOS 10D"}};
  const std::vector<CropRecord> records = SortUnknownCameras(cameras);
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0], (CropRecord{"Canon", "Canon EOS 10D", 0}));
  EXPECT_EQ(records[1], (CropRecord{"Canon", "Canon EOS-1D", 0}));
  EXPECT_EQ(records[2], (CropRecord{"NIKON", "D1", 0}));
  EXPECT_EQ(records[3], (CropRecord{"Nokia", "N95", 0}));
  EXPECT_EQ(cameras[0].model, "Canon EOS 10D");
  EXPECT_EQ(cameras[3].make, "Nokia");
}

TEST(CropEditingTest, MergeAppendsTheCamerasCorrectsTheirPhotosAndEmptiesTheList) {
  CropStore store;
  store.records = {{"Canon", "Canon EOS 7D", 16000}};
  PhotoStore photos;
  photos.Append(Photo("Apple", "iPhone 5", "4", "7.4", "30"));
  photos.Append(Photo("Canon", "Canon EOS 7D", "50", "1.6", "80"));
  std::vector<UnknownCamera> unknown = {{"Apple", "iPhone 5"}};
  MergeUnknownCameras(store, {{"Apple", "iPhone 5", 76923}}, photos, unknown);
  ASSERT_EQ(store.records.size(), 2u);
  EXPECT_EQ(store.records[1], (CropRecord{"Apple", "iPhone 5", 76923}));
  EXPECT_TRUE(store.CropStoreChanged);
  EXPECT_TRUE(unknown.empty());
  EXPECT_EQ(photos.Text(0, kCrop), "7.692");
  EXPECT_EQ(photos.Text(0, kFocal35), "31");
  EXPECT_EQ(photos.Text(1, kFocal35), "80");
}

}  // namespace
}  // namespace lumetra

namespace lumetra {
namespace {

TEST(CropEditingTest, DialogsSizeToTheirRowsWithinNineTenthsOfTheScreen) {
  // The 89 built-in cameras on a 768-pixel-high screen: round(0.9 × 768) = 691, and whole rows only.
  const CropDialogSizes many = SizeCropDialog(89, 40, 768, 20, 30);
  EXPECT_EQ(many.first_height, 691);
  EXPECT_EQ(many.grid_height, ((691 - 30 - 40 - 95) / 26) * 26 + 46);
  EXPECT_EQ((many.grid_height - 46) % 26, 0);
  EXPECT_EQ(many.button_top, 20 + many.grid_height + 20);
  EXPECT_EQ(many.height, many.button_top + 40 + 50);
  EXPECT_EQ(many.grid_height, 20 * 26 + 46);
  EXPECT_EQ(many.height, 696);
  // Three cameras: room for the three rows.
  const CropDialogSizes few = SizeCropDialog(3, 40, 768, 20, 30);
  EXPECT_EQ(few.first_height, 26 * 3 + 40 + 125);
  EXPECT_EQ(few.grid_height, 46 + 3 * 26);
  EXPECT_EQ(few.height, 20 + few.grid_height + 20 + 40 + 50);
}

}  // namespace
}  // namespace lumetra
