// The filter a chart command ("Only", "All but") makes: for every chart kind, the same fields as the filter
// dialog makes for the same choice, merged with the applied filter, or a refusal where the dialog's fields
// cannot keep exactly the photos the command means; and the recount that follows.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "filter/ApplyChecks.h"
#include "filter/ChartFilterChange.h"
#include "survey/CaptureTime.h"
#include "survey/Tallies.h"
#include "tests/survey/RecordBuilder.h"

// The case tables leave the trailing fields of a case (its refusal, the focal mode) at their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace lumetra {
namespace {

using Edit = std::function<void(FilterCriteria&)>;
using D = FilterDimension;
constexpr ChartCommand kOnly = ChartCommand::kOnly;
constexpr ChartCommand kAllBut = ChartCommand::kAllBut;

const std::string kNa = LabelText(LabelId::NotDeterminedM, kEnglish);
const std::string kNaF = LabelText(LabelId::NotDeterminedF, kEnglish);

struct Shot {
  std::string exposure, f_number, focal, focal35, iso;
  LabelId program, metering, flash, orientation;
  std::string model, lens;
  std::string taken;
};

// Five photos; the last one lacks most values, and the fourth has no flash reading.
std::vector<PhotoRecord> Library(Language language = kEnglish) {
  using L = LabelId;
  const Shot shots[] = {
      {"1/250", "2.8", "50", "75", "100", L::LabelManual, L::LabelSpot, L::LabelFlashOn, L::LabelHorizontal, "Model A",
       "Lens 1", "2019:03:14 18:22:05"},
      {"1/125", "4", "24", "36", "200", L::LabelAperturePriority, L::LabelAverage, L::LabelFlashOff, L::LabelVertical,
       "Model B", "Lens 2", "2019:03:31 06:05:00"},
      {"1/60", "5.6", "85", "128", "400", L::LabelNormal, L::LabelMultiSegment, L::LabelFlashOff, L::LabelHorizontal,
       "Model A", "Lens 2", "2019:05:01 23:10:00"},
      {"1/60", "8", "200", "300", "800", L::LabelCreative, L::LabelPartial, L::NotDeterminedM, L::LabelHorizontal,
       "Model C", "Lens 3", "2020:02:29 06:30:00"},
      {"", "11", "", "", "", L::NotDeterminedM, L::NotDeterminedM, L::LabelFlashOff, L::NotDeterminedF, "", "", ""},
  };
  std::vector<PhotoRecord> photos;
  for (const Shot& shot : shots) {
    PhotoRecord record = testing::SamplePhoto("/photos/" + std::to_string(photos.size()) + ".jpg");
    record.exposure = shot.exposure;
    record.fNumber = shot.f_number;
    record.focal = shot.focal;
    record.focal35 = shot.focal35;
    record.iso = shot.iso;
    if (shot.exposure.empty()) record.SetLabel(kExposure, LabelId::NotDeterminedF, language);
    if (shot.focal.empty()) record.SetLabel(kFocal, LabelId::NotDeterminedN, language);
    if (shot.focal35.empty()) record.SetLabel(kFocal35, LabelId::NotDeterminedN, language);
    if (shot.iso.empty()) record.SetLabel(kIso, LabelId::NotDeterminedN, language);
    record.SetLabel(kProgram, shot.program, language);
    record.SetLabel(kMetering, shot.metering, language);
    record.SetLabel(kFlash, shot.flash, language);
    record.SetLabel(kOrientation, shot.orientation, language);
    record.model = shot.model;
    record.lens = shot.lens;
    record.taken = ParseCaptureTime(shot.taken);
    if (shot.model.empty()) record.SetLabel(kModel, LabelId::NotDeterminedM, language);
    if (shot.lens.empty()) record.SetLabel(kLens, LabelId::NotDeterminedM, language);
    photos.push_back(record);
  }
  return photos;
}

// ---- What a person does in the filter dialog ----

// Types `text` into a bound box; the box must take it, or the dialog could not make this filter.
Edit Type(std::string FilterCriteria::*box, BoundKind kind, std::string text) {
  return [=](FilterCriteria& criteria) {
    criteria.*box = EditedBoundText(kind, criteria.*box, text);
    ASSERT_EQ(criteria.*box, text);
  };
}
Edit Bounds(std::string FilterCriteria::*from, std::string FilterCriteria::*to, BoundKind kind, std::string low,
            std::string high) {
  return [=](FilterCriteria& criteria) {
    if (!low.empty()) Type(from, kind, low)(criteria);
    if (!high.empty()) Type(to, kind, high)(criteria);
  };
}
Edit Exposure(std::string low, std::string high) {
  return Bounds(&FilterCriteria::ed_from1, &FilterCriteria::ed_to1, BoundKind::kExposure, low, high);
}
Edit FNumber(std::string low, std::string high) {
  return Bounds(&FilterCriteria::ed_from2, &FilterCriteria::ed_to2, BoundKind::kFNumber, low, high);
}
Edit Focal(std::string low, std::string high) {
  return Bounds(&FilterCriteria::ed_from3, &FilterCriteria::ed_to3, BoundKind::kFocal, low, high);
}
Edit Iso(std::string low, std::string high) {
  return Bounds(&FilterCriteria::ed_from4, &FilterCriteria::ed_to4, BoundKind::kIso, low, high);
}
Edit Dates(std::string low, std::string high) {
  return Bounds(&FilterCriteria::ed_from5, &FilterCriteria::ed_to5, BoundKind::kDate, low, high);
}
Edit Hours(std::string low, std::string high) {
  return Bounds(&FilterCriteria::ed_from6, &FilterCriteria::ed_to6, BoundKind::kHour, low, high);
}
Edit Untick(std::vector<bool CategoryBoxes::*> boxes) {
  return [=](FilterCriteria& criteria) {
    for (bool CategoryBoxes::*box : boxes) criteria.*box = false;
  };
}
Edit UntickList(std::vector<CheckEntry> FilterCriteria::*list, std::vector<std::string> texts) {
  return [=](FilterCriteria& criteria) {
    for (const std::string& text : texts) {
      bool found = false;
      for (CheckEntry& entry : criteria.*list) {
        if (entry.text != text) continue;
        entry.checked = false;
        found = true;
      }
      ASSERT_TRUE(found) << "no entry " << text;
    }
  };
}
Edit UntickModels(std::vector<std::string> texts) { return UntickList(&FilterCriteria::ModelChecks, texts); }
Edit UntickLenses(std::vector<std::string> texts) { return UntickList(&FilterCriteria::LensChecks, texts); }
Edit Press(bool FilterCriteria::*button, bool FilterCriteria::*other) {
  return [=](FilterCriteria& criteria) {
    criteria.*button = true;
    criteria.*other = false;
  };
}
const Edit kNothing = [](FilterCriteria&) {};

// Apply as the dialog does it: opened (keepChecks set), edited, checked, stored, recounted.
void ApplyInDialog(SurveyState& state, FilterCriteria& criteria, const Edit& edit, bool rb_Real) {
  criteria.keepChecks = true;
  edit(criteria);
  ASSERT_TRUE(CheckApply(criteria, state.processedCount).valid);
  AppliedChoices choices;
  StoreAppliedFilter(criteria, choices);
  state.Retally(criteria, rb_Real);
}

// Every field of the criteria, so that a difference names the field.
std::string Fields(const FilterCriteria& c) {
  std::ostringstream out;
  out << "exposure " << c.ed_from1 << ".." << c.ed_to1 << "; f " << c.ed_from2 << ".." << c.ed_to2 << "; focal "
      << c.ed_from3 << ".." << c.ed_to3 << "; iso " << c.ed_from4 << ".." << c.ed_to4 << "; date " << c.ed_from5 << ".."
      << c.ed_to5 << "; hours " << c.ed_from6 << ".." << c.ed_to6 << "; flash " << c.rb_Flash_Yes << c.rb_Flash_No
      << "; orientation " << c.rb_Orientation_H << c.rb_Orientation_V << "; boxes";
  for (const CategoryBox& box : kCategoryBoxes) out << ' ' << box.name << '=' << c.*box.box;
  for (const auto* list : {&c.ModelChecks, &c.LensChecks}) {
    out << "; checks";
    for (const CheckEntry& entry : *list) out << " [" << entry.text << '=' << entry.checked << ']';
  }
  for (const auto* list : {&c.ModelExclusions, &c.LensExclusions}) {
    out << "; excluded";
    for (const std::string& text : *list) out << " [" << text << ']';
  }
  out << "; keepChecks " << c.keepChecks;
  return out.str();
}

const std::vector<myRecord>& RowsOf(const SurveyState& state, FilterDimension dimension) {
  switch (dimension) {
    case D::kExposure:
      return state.tallyShutter;
    case D::kFNumber:
      return state.tallyFNumber;
    case D::kFocalReal:
      return state.tallyFocal;
    case D::kFocal35:
      return state.tallyFocal35;
    case D::kIso:
      return state.tallyIso;
    case D::kProgram:
      return state.tallyProgram;
    case D::kMetering:
      return state.tallyMetering;
    case D::kModel:
      return state.tallyModel;
    case D::kLens:
      return state.tallyLens;
    case D::kFlash:
      return state.tallyFlash;
    case D::kOrientation:
      return state.tallyOrientation;
    case D::kMake:
      return state.tallyMake;
    case D::kCrop:
      return state.tallyCrop;
    case D::kFocus:
      return state.tallyFocus;
    case D::kDrive:
      return state.tallyDrive;
    case D::kDate:
      return state.tallyDate;
    case D::kWeekday:
      return state.tallyWeekday;
    case D::kHour:
      return state.tallyHour;
  }
  return state.tallyShutter;
}

std::optional<size_t> RowIndex(const std::vector<myRecord>& rows, const std::string& text) {
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].text == text) return i;
  }
  return std::nullopt;
}

// The command on the bar labelled `bar` of the chart of `dimension` (the "Other" slice when `bar` is empty), as
// the window gives it.
FilterChange CommandOn(const SurveyState& state, const FilterCriteria& applied, FilterDimension dimension,
                       const std::string& bar, ChartCommand command, bool rb_Real = true) {
  const std::vector<myRecord>& rows = RowsOf(state, dimension);
  return ChartFilterChange(applied,
                           {.dimension = dimension,
                            .rows = rows,
                            .row = bar.empty() ? std::nullopt : RowIndex(rows, bar),
                            .command = command,
                            .filtered_count = state.filteredCount,
                            .rb_Real = rb_Real},
                           state.processedCount);
}

struct Case {
  const char* name;
  Edit applied;  // what was applied before, through the dialog
  FilterDimension dimension;
  std::string bar;  // the bar's label; empty for the "Other" slice
  ChartCommand command;
  Edit dialog;          // what the dialog does for the same choice; empty when refused
  int kept = 0;         // photos counted after the change
  std::string refusal;  // the English reason when refused
  bool rb_Real = true;
};

void Check(const Case& c, const std::vector<PhotoRecord>& photos) {
  SCOPED_TRACE(c.name);
  SurveyState state;
  FilterCriteria applied;
  for (const PhotoRecord& photo : photos) state.AddPhoto(photo, applied, c.rb_Real);
  ApplyInDialog(state, applied, c.applied, c.rb_Real);
  ASSERT_TRUE(c.bar.empty() || RowIndex(RowsOf(state, c.dimension), c.bar)) << "no bar " << c.bar;
  const FilterChange change = CommandOn(state, applied, c.dimension, c.bar, c.command, c.rb_Real);
  if (!c.dialog) {
    ASSERT_FALSE(change.criteria) << Fields(*change.criteria);
    EXPECT_EQ(change.reason.english, c.refusal);
    EXPECT_FALSE(change.reason.russian.empty());
    return;
  }
  ASSERT_TRUE(change.criteria) << change.reason.english;
  FilterCriteria by_dialog = applied;
  ApplyInDialog(state, by_dialog, c.dialog, c.rb_Real);
  EXPECT_EQ(Fields(*change.criteria), Fields(by_dialog));
  FilterCriteria by_chart = *change.criteria;
  state.Retally(by_chart, c.rb_Real);
  EXPECT_EQ(state.filteredCount, c.kept);
}

const char* const kOthersToo = "The filter cannot do this without leaving out other photos too";
const char* const kNothingLeft = "No photo would be left";
const char* const kUndeterminedAlone = "The filter cannot choose only the photos without this value";
const char* const kInsideRange = "The filter holds one range: \"All but\" works on the first or the last bar";
const char* const kNoCondition = "The filter has no condition for this chart";
const char* const kOneChoice = "The filter can choose only one of these values";

const Edit kNoUnknownCamera = UntickModels({kNa});
const Edit kIso100To400 = Iso("100", "400");

TEST(ChartFilterChange, RangeChartsMakeTheDialogsBoundsOrSayWhyNot) {
  const Case cases[] = {
      {"exposure only", kNothing, D::kExposure, "1/125", kOnly, Exposure("1/125", "1/125"), 1},
      {"exposure all but the shortest, n/a shown", kNothing, D::kExposure, "1/250", kAllBut, {}, 0, kOthersToo},
      {"exposure all but the shortest", kNoUnknownCamera, D::kExposure, "1/250", kAllBut,
       [](FilterCriteria& c) {
         kNoUnknownCamera(c);
         Exposure("1/125", "")(c);
       },
       3},
      {"exposure all but the longest keeps the unknown times", kNothing, D::kExposure, "1/60", kAllBut,
       Exposure("", "1/125"), 3},
      {"exposure all but a middle bar", kNothing, D::kExposure, "1/125", kAllBut, {}, 0, kInsideRange},
      {"exposure only unknown", kNothing, D::kExposure, kNaF, kOnly, {}, 0, kUndeterminedAlone},
      {"exposure all but unknown", kNothing, D::kExposure, kNaF, kAllBut, Exposure("1/250", ""), 4},
      {"exposure merged with ISO bounds", kIso100To400, D::kExposure, "1/60", kAllBut,
       [](FilterCriteria& c) {
         kIso100To400(c);
         Exposure("", "1/125")(c);
       },
       2},
      {"exposure all but the only bar", Iso("100", "100"), D::kExposure, "1/250", kAllBut, {}, 0, kNothingLeft},
      {"f-number only", kNothing, D::kFNumber, "5.6", kOnly, FNumber("5.6", "5.6"), 1},
      {"f-number all but the largest", kNothing, D::kFNumber, "11", kAllBut, FNumber("", "8"), 4},
      {"f-number all but the smallest", kNothing, D::kFNumber, "2.8", kAllBut, FNumber("4", ""), 4},
      {"focal only", kNothing, D::kFocalReal, "85", kOnly, Focal("85", "85"), 1},
      {"focal all but the longest drops the unknown focal", kNothing, D::kFocalReal, "200", kAllBut, {}, 0, kOthersToo},
      {"focal all but the longest", kNoUnknownCamera, D::kFocalReal, "200", kAllBut,
       [](FilterCriteria& c) {
         kNoUnknownCamera(c);
         Focal("", "85")(c);
       },
       3},
      {"focal all but unknown", kNothing, D::kFocalReal, LabelText(LabelId::NotDeterminedN, kEnglish), kAllBut,
       Focal("24", ""), 4},
      {"focal only unknown",
       kNothing,
       D::kFocalReal,
       LabelText(LabelId::NotDeterminedN, kEnglish),
       kOnly,
       {},
       0,
       kUndeterminedAlone},
      {"35 mm focal while 35 mm is chosen", kNothing, D::kFocal35, "128", kOnly, Focal("128", "128"), 1, "", false},
      {"35 mm chart while real focal is chosen",
       kNothing,
       D::kFocal35,
       "128",
       kOnly,
       {},
       0,
       "The focal bounds apply to the other focal length"},
      {"iso only within applied bounds", kIso100To400, D::kIso, "200", kOnly, Iso("200", "200"), 1},
      {"iso all but the lowest", kIso100To400, D::kIso, "100", kAllBut, Iso("200", "400"), 2},
      // A month bar bounds the days of its month; a photo without a capture time fails any date or hour bound.
      {"date only a month", kNothing, D::kDate, "2019-03", kOnly, Dates("2019-03-01", "2019-03-31"), 2},
      {"date only a leap February", kNothing, D::kDate, "2020-02", kOnly, Dates("2020-02-01", "2020-02-29"), 1},
      {"date all but the latest, unknown times shown", kNothing, D::kDate, "2020-02", kAllBut, {}, 0, kOthersToo},
      {"date all but the latest", kNoUnknownCamera, D::kDate, "2020-02", kAllBut,
       [](FilterCriteria& c) {
         kNoUnknownCamera(c);
         Dates("", "2019-05-31")(c);
       },
       3},
      {"date all but the earliest", kNoUnknownCamera, D::kDate, "2019-03", kAllBut,
       [](FilterCriteria& c) {
         kNoUnknownCamera(c);
         Dates("2019-05-01", "")(c);
       },
       2},
      {"date all but unknown", kNothing, D::kDate, kNaF, kAllBut, Dates("2019-03-01", ""), 4},
      {"date all but a middle month", kNothing, D::kDate, "2019-05", kAllBut, {}, 0, kInsideRange},
      {"hour only", kNothing, D::kHour, "6", kOnly, Hours("6", "6"), 2},
      {"hour only midnight's neighbour", kNothing, D::kHour, "23", kOnly, Hours("23", "23"), 1},
      {"hour all but a middle hour", kNothing, D::kHour, "18", kAllBut, {}, 0, kInsideRange},
  };
  const std::vector<PhotoRecord> photos = Library();
  for (const Case& c : cases) Check(c, photos);
}

TEST(ChartFilterChange, CategoryChartsMakeTheDialogsBoxesAndListsOrSayWhyNot) {
  using C = CategoryBoxes;
  const Edit all_programs_but_manual = Untick({&C::cb_Aperture, &C::cb_Shutter, &C::cb_Normal, &C::cb_Action,
                                               &C::cb_Portrait, &C::cb_Landscape, &C::cb_OtherP});
  const Case cases[] = {
      {"program only", kNothing, D::kProgram, "Manual", kOnly, all_programs_but_manual, 1},
      {"program all but", kNothing, D::kProgram, "Aperture\rpriority", kAllBut, Untick({&C::cb_Aperture}), 4},
      {"program all but unknown also drops creative", kNothing, D::kProgram, kNa, kAllBut, {}, 0, kOthersToo},
      {"program only creative when no unknown is shown", kNoUnknownCamera, D::kProgram, "Creative", kOnly,
       [](FilterCriteria& c) {
         kNoUnknownCamera(c);
         Untick({&C::cb_Manual, &C::cb_Aperture, &C::cb_Shutter, &C::cb_Normal, &C::cb_Action, &C::cb_Portrait,
                 &C::cb_Landscape})(c);
       },
       1},
      {"program only a bar without photos", kIso100To400, D::kProgram, "Creative", kOnly, {}, 0, kNothingLeft},
      {"program merged with an unticked box", Untick({&C::cb_Normal}), D::kProgram, "Manual", kOnly,
       all_programs_but_manual, 1},
      {"metering only", kNothing, D::kMetering, "Spot", kOnly,
       Untick({&C::cb_Average, &C::cb_Partial, &C::cb_Multi_Segment, &C::cb_Multi_Spot, &C::cb_OtherE}), 1},
      {"metering all but unknown", kNothing, D::kMetering, kNa, kAllBut, Untick({&C::cb_OtherE}), 4},
      {"model only", kNothing, D::kModel, "Model A", kOnly, UntickModels({"Model B", "Model C", kNa}), 2},
      {"model all but unknown", kNothing, D::kModel, kNa, kAllBut, UntickModels({kNa}), 4},
      {"model all but, beside an excluded one", UntickModels({"Model C"}), D::kModel, "Model B", kAllBut,
       UntickModels({"Model C", "Model B"}), 3},
      {"model all but the only one left",
       UntickModels({"Model B", "Model C", kNa}),
       D::kModel,
       "Model A",
       kAllBut,
       {},
       0,
       kNothingLeft},
      {"lens only", kNothing, D::kLens, "Lens 2", kOnly, UntickLenses({"Lens 1", "Lens 3", kNa}), 2},
      {"lens merged with a model", UntickModels({"Model A"}), D::kLens, "Lens 3", kAllBut,
       [](FilterCriteria& c) {
         UntickModels({"Model A"})(c);
         UntickLenses({"Lens 3"})(c);
       },
       2},
      {"other slice", kNothing, D::kModel, "", kOnly, {}, 0, "This slice joins several values: choose one of them"},
  };
  const std::vector<PhotoRecord> photos = Library();
  for (const Case& c : cases) Check(c, photos);
}

TEST(ChartFilterChange, FlashAndOrientationChooseTheOtherValueOnlyWhenNothingElseIsShown) {
  using F = FilterCriteria;
  const Case cases[] = {
      {"flash only with flash", kNothing, D::kFlash, "Flash", kOnly, Press(&F::rb_Flash_Yes, &F::rb_Flash_No), 1},
      {"flash all but flash, with a photo without reading", kNothing, D::kFlash, "Flash", kAllBut, {}, 0, kOthersToo},
      {"flash all but flash is no flash", UntickModels({"Model C"}), D::kFlash, "Flash", kAllBut,
       [](FilterCriteria& c) {
         UntickModels({"Model C"})(c);
         Press(&F::rb_Flash_No, &F::rb_Flash_Yes)(c);
       },
       3},
      {"flash all but the only value shown",
       Press(&F::rb_Flash_Yes, &F::rb_Flash_No),
       D::kFlash,
       "Flash",
       kAllBut,
       {},
       0,
       kNothingLeft},
      {"orientation only vertical", kNothing, D::kOrientation, "Vertical", kOnly,
       Press(&F::rb_Orientation_V, &F::rb_Orientation_H), 1},
      {"orientation all but H, n/a shown", kNothing, D::kOrientation, "Horizontal", kAllBut, {}, 0, kOthersToo},
      {"orientation all but horizontal", kNoUnknownCamera, D::kOrientation, "Horizontal", kAllBut,
       [](FilterCriteria& c) {
         kNoUnknownCamera(c);
         Press(&F::rb_Orientation_V, &F::rb_Orientation_H)(c);
       },
       1},
      {"orientation all but unknown", kNothing, D::kOrientation, kNaF, kAllBut, {}, 0, kOneChoice},
      {"orientation only unknown", kNothing, D::kOrientation, kNaF, kOnly, {}, 0, kUndeterminedAlone},
      {"orientation all but unknown with one value left", Untick({&CategoryBoxes::cb_Aperture}), D::kOrientation, kNaF,
       kAllBut,
       [](FilterCriteria& c) {
         Untick({&CategoryBoxes::cb_Aperture})(c);
         Press(&F::rb_Orientation_H, &F::rb_Orientation_V)(c);
       },
       3},
  };
  const std::vector<PhotoRecord> photos = Library();
  for (const Case& c : cases) Check(c, photos);
}

TEST(ChartFilterChange, ChartsWithoutAFilterConditionAreGreyed) {
  for (const FilterDimension dimension : {D::kMake, D::kCrop, D::kFocus, D::kDrive, D::kWeekday}) {
    for (const ChartCommand command : {kOnly, kAllBut}) {
      const std::vector<PhotoRecord> photos = Library();
      SurveyState state;
      FilterCriteria criteria;
      for (const PhotoRecord& photo : photos) state.AddPhoto(photo, criteria, true);
      const std::vector<myRecord>& rows = RowsOf(state, dimension);
      ASSERT_FALSE(rows.empty());
      const FilterChange change = ChartFilterChange(
          criteria, {.dimension = dimension, .rows = rows, .row = 0, .command = command, .filtered_count = 5},
          state.processedCount);
      EXPECT_FALSE(change.criteria);
      EXPECT_EQ(change.reason.english, kNoCondition);
    }
  }
}

// Values the bound boxes cannot tell apart or cannot hold.
TEST(ChartFilterChange, BoundsThatCannotSayExactlyThisBarAreRefused) {
  const auto photo = [](std::string exposure, std::string f_number) {
    PhotoRecord record = testing::SamplePhoto();
    record.exposure = std::move(exposure);
    record.fNumber = std::move(f_number);
    return record;
  };
  const Case cases[] = {
      {"an exposure too long for the box",
       kNothing,
       D::kExposure,
       "1/16000",
       kOnly,
       {},
       0,
       "The filter's boxes cannot hold this value"},
      {"f-numbers written two ways", kNothing, D::kFNumber, "4", kOnly, {}, 0, kOthersToo},
      {"a time Apply would rewrite",
       kNothing,
       D::kExposure,
       "3/500",
       kOnly,
       {},
       0,
       "The filter's boxes cannot hold this value"},
      {"the other bar's text is the bound", kNothing, D::kExposure, "1/16000", kAllBut, Exposure("1/250", ""), 3},
  };
  const std::vector<PhotoRecord> photos = {photo("1/16000", "4"), photo("1/250", "4.0"), photo("1/250", "5.6"),
                                           photo("3/500", "8")};
  for (const Case& c : cases) Check(c, photos);
}

// After a Cancel the lists are rebuilt from the photos that pass, so an excluded camera has no entry: its
// exclusion must outlive the next change all the same.
TEST(ChartFilterChange, KeepsAnExclusionTheListNoLongerShows) {
  SurveyState state;
  FilterCriteria criteria;
  for (const PhotoRecord& photo : Library()) state.AddPhoto(photo, criteria, true);
  ApplyInDialog(state, criteria, UntickModels({"Model C"}), true);
  criteria.keepChecks = false;
  state.Retally(criteria, true);
  ASSERT_FALSE(RowIndex(state.tallyModel, "Model C"));
  const FilterChange change = CommandOn(state, criteria, D::kModel, "Model B", kAllBut);
  ASSERT_TRUE(change.criteria) << change.reason.english;
  EXPECT_EQ(change.criteria->ModelExclusions, (std::vector<std::string>{"Model B", "Model C"}));
  FilterCriteria changed = *change.criteria;
  state.Retally(changed, true);
  EXPECT_EQ(state.filteredCount, 3);
}

// A survey read in Russian: the bars carry Russian labels, and the filter they make keeps working after a
// switch to English.
TEST(ChartFilterChange, RussianBarsMakeFiltersThatHoldAfterASwitch) {
  const struct {
    FilterDimension dimension;
    LabelId bar;
    std::string text;
    ChartCommand command;
    int kept;
  } cases[] = {
      {D::kModel, LabelId::NotDeterminedM, "", kAllBut, 4},    {D::kLens, LabelId::kNone, "Lens 2", kOnly, 2},
      {D::kProgram, LabelId::LabelManual, "", kOnly, 1},       {D::kMetering, LabelId::NotDeterminedM, "", kAllBut, 4},
      {D::kOrientation, LabelId::LabelVertical, "", kOnly, 1}, {D::kFocalReal, LabelId::NotDeterminedN, "", kAllBut, 4},
      {D::kExposure, LabelId::NotDeterminedF, "", kAllBut, 4},
  };
  for (const auto& c : cases) {
    const std::string bar = c.bar == LabelId::kNone ? c.text : LabelText(c.bar, kRussian);
    SCOPED_TRACE(bar);
    SurveyState state(kRussian);
    FilterCriteria criteria;
    for (const PhotoRecord& photo : Library(kRussian)) state.AddPhoto(photo, criteria, true);
    ASSERT_TRUE(RowIndex(RowsOf(state, c.dimension), bar));
    const FilterChange change = CommandOn(state, criteria, c.dimension, bar, c.command);
    ASSERT_TRUE(change.criteria) << change.reason.english;
    criteria = *change.criteria;
    state.Retally(criteria, true);
    EXPECT_EQ(state.filteredCount, c.kept);
    state.RelabelTallies(kEnglish, criteria);
    state.Retally(criteria, true);
    EXPECT_EQ(state.filteredCount, c.kept) << "after the switch to English";
  }
}

TEST(ChartCommandCaption, NamesTheBarInBothLanguagesOnOneLine) {
  const struct {
    ChartCommand command;
    std::string label;
    Language language;
    std::string caption;
  } cases[] = {
      {kOnly, "1/250", kEnglish, "Only “1/250”"},
      {kAllBut, "1/250", kEnglish, "All but “1/250”"},
      {kOnly, "1/250", kRussian, "Только «1/250»"},
      {kAllBut, "Canon\rEOS 40D", kRussian, "Все, кроме «Canon EOS 40D»"},
  };
  for (const auto& c : cases) EXPECT_EQ(ChartCommandCaption(c.command, c.label, c.language), c.caption);
}

}  // namespace
}  // namespace lumetra
