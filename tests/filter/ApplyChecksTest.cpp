// Apply's checks of the filter dialog, what a valid Apply stores, Clear, and the bound boxes' input rules.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "filter/ApplyChecks.h"

namespace lumetra {
namespace {

using Setup = std::function<void(FilterCriteria&)>;

Setup Bounds(std::string FilterCriteria::*from_box, std::string FilterCriteria::*to_box, std::string from,
             std::string to) {
  return [=](FilterCriteria& criteria) {
    criteria.*from_box = from;
    criteria.*to_box = to;
  };
}
Setup Exposure(std::string from, std::string to) {
  return Bounds(&FilterCriteria::ed_from1, &FilterCriteria::ed_to1, std::move(from), std::move(to));
}
Setup FNumber(std::string from, std::string to) {
  return Bounds(&FilterCriteria::ed_from2, &FilterCriteria::ed_to2, std::move(from), std::move(to));
}
Setup Focal(std::string from, std::string to) {
  return Bounds(&FilterCriteria::ed_from3, &FilterCriteria::ed_to3, std::move(from), std::move(to));
}
Setup Iso(std::string from, std::string to) {
  return Bounds(&FilterCriteria::ed_from4, &FilterCriteria::ed_to4, std::move(from), std::move(to));
}
Setup Date(std::string from, std::string to) {
  return Bounds(&FilterCriteria::ed_from5, &FilterCriteria::ed_to5, std::move(from), std::move(to));
}
Setup Hours(std::string from, std::string to) {
  return Bounds(&FilterCriteria::ed_from6, &FilterCriteria::ed_to6, std::move(from), std::move(to));
}

std::vector<CheckEntry> Entries(const std::vector<bool>& checked) {
  std::vector<CheckEntry> entries;
  for (const bool state : checked) entries.push_back({"Entry " + std::to_string(entries.size() + 1), state});
  return entries;
}
// The check lists, one flag per entry; the flags are copied, so the setup outlives its arguments.
Setup Lists(std::vector<bool> models, std::vector<bool> lenses) {
  return [models = std::move(models), lenses = std::move(lenses)](FilterCriteria& criteria) {
    criteria.ModelChecks = Entries(models);
    criteria.LensChecks = Entries(lenses);
  };
}

Setup Both(Setup first, Setup second) {
  return [=](FilterCriteria& criteria) {
    first(criteria);
    second(criteria);
  };
}

// The painted boxes by name, so that a failure shows which ones differ.
std::string PaintedNames(const PaintedBoxes& painted) {
  static const std::pair<const char*, bool PaintedBoxes::*> kBoxes[] = {
      {"ed_from1", &PaintedBoxes::ed_from1},
      {"ed_to1", &PaintedBoxes::ed_to1},
      {"ed_from2", &PaintedBoxes::ed_from2},
      {"ed_to2", &PaintedBoxes::ed_to2},
      {"ed_from3", &PaintedBoxes::ed_from3},
      {"ed_to3", &PaintedBoxes::ed_to3},
      {"ed_from4", &PaintedBoxes::ed_from4},
      {"ed_to4", &PaintedBoxes::ed_to4},
      {"ed_from5", &PaintedBoxes::ed_from5},
      {"ed_to5", &PaintedBoxes::ed_to5},
      {"ed_from6", &PaintedBoxes::ed_from6},
      {"ed_to6", &PaintedBoxes::ed_to6},
      {"ScrollBox_Photo", &PaintedBoxes::ScrollBox_Photo},
      {"ScrollBox_Lens", &PaintedBoxes::ScrollBox_Lens},
  };
  std::string names;
  for (const auto& [name, box] : kBoxes) {
    if (!(painted.*box)) continue;
    if (!names.empty()) names += ' ';
    names += name;
  }
  return names;
}

struct ApplyCase {
  const char* what;
  Setup setup;
  bool valid;
  const char* painted = "";
  int32_t processed = 0;
  // The exposure texts after the checks; nullptr when they must be left as they were.
  const char* from1_after = nullptr;
  const char* to1_after = nullptr;
};

TEST(CheckApply, PaintsTheBoxesThatFailAndRewritesExposureFractions) {
  const ApplyCase cases[] = {
      // Exposure time.
      {"1/250 is kept", Exposure("1/250", ""), true},
      {"2/500 is rewritten to 1/250", Exposure("2/500", ""), true, "", 0, "1/250"},
      {"a rewrite rounds halves to even: 2/5 gives 1/2", Exposure("", "2/5"), true, "", 0, nullptr, "1/2"},
      {"a numerator that is not exactly 1 is rewritten: 01/250", Exposure("01/250", ""), true, "", 0, "1/250"},
      {"1/0.5 keeps its numerator 1 and stays", Exposure("1/0.5", ""), true},
      {"decimal seconds 0.5 to 2", Exposure("0.5", "2"), true},
      {"equal bounds", Exposure("1/250", "1/250"), true},
      {"1/60 to 1/250 paints both", Exposure("1/60", "1/250"), false, "ed_from1 ed_to1"},
      {"2 to 0.5 paints both", Exposure("2", "0.5"), false, "ed_from1 ed_to1"},
      {"the order is judged after the rewrite: 4/500 to 1/250 paints both", Exposure("4/500", "1/250"), false,
       "ed_from1 ed_to1", 0, "1/125"},
      {"3/2 would become 1/1: refused", Exposure("3/2", ""), false, "ed_from1", 0, "3/2"},
      {"5/2 would become 1/0: refused", Exposure("", "5/2"), false, "ed_to1", 0, nullptr, "5/2"},
      {"3/4 would become 1/1: refused", Exposure("3/4", ""), false, "ed_from1", 0, "3/4"},
      {"a numerator of 0 is refused: 0/5", Exposure("0/5", ""), false, "ed_from1", 0, "0/5"},
      {"a part that is not a number is refused: ./4", Exposure("./4", ""), false, "ed_from1", 0, "./4"},
      {"a denominator of 0 is refused", Exposure("1/0", ""), false, "ed_from1"},
      {"an empty denominator is refused", Exposure("", "1/"), false, "ed_to1"},
      {"a lone / paints both", Exposure("/", ""), false, "ed_from1 ed_to1"},
      {"a text beginning with / paints its box only", Exposure("", "/250"), false, "ed_to1"},
      {"0 fails without painting", Exposure("0", ""), false},
      {"a lone . fails without painting", Exposure("", "."), false},
      {"0.0 fails without painting", Exposure("0.0", "1/60"), false},
      {"a time too short to count is refused", Exposure(".00001", ""), false, "ed_from1"},
      {"a text the box could not hold is refused: an exponent", Exposure("1e3", ""), false, "ed_from1"},
      {"a text the box could not hold is refused: a blank", Exposure(" 1/250", ""), false, "ed_from1"},
      // F-number.
      {"2.8 to 5.6", FNumber("2.8", "5.6"), true},
      {"5.6 to 2.8 paints both", FNumber("5.6", "2.8"), false, "ed_from2 ed_to2"},
      {"a lone . is painted", FNumber(".", ""), false, "ed_from2"},
      {"a lone . as the upper bound is below the lower: both painted", FNumber("2.8", "."), false, "ed_from2 ed_to2"},
      {"0 fails without painting", FNumber("0", ""), false},
      {"0.0 fails without painting", FNumber("", "0.0"), false},
      {"two points are refused", FNumber("1.2.", ""), false, "ed_from2"},
      {"five characters are refused", FNumber("", "11.25"), false, "ed_to2"},
      // Focal length and ISO.
      {"focal 18 to 55", Focal("18", "55"), true},
      {"focal 55 to 18 paints both", Focal("55", "18"), false, "ed_from3 ed_to3"},
      {"focal 0 fails without painting", Focal("0", ""), false},
      {"focal with a point is refused", Focal("", "5.5"), false, "ed_to3"},
      {"ISO 100 to 1600", Iso("100", "1600"), true},
      {"ISO 1600 to 100 paints both", Iso("1600", "100"), false, "ed_from4 ed_to4"},
      {"ISO 0 fails without painting", Iso("0", ""), false},
      {"ISO with a sign is refused", Iso("-100", ""), false, "ed_from4"},
      {"ISO of seven digits is refused", Iso("", "1000000"), false, "ed_to4"},
      // Capture date and hours.
      {"a date range", Date("2019-03-01", "2019-08-31"), true},
      {"one day", Date("2019-03-14", "2019-03-14"), true},
      {"a date from only", Date("1900-01-01", ""), true},
      {"a date to only", Date("", "2100-12-31"), true},
      {"dates in reverse paint both", Date("2019-08-31", "2019-03-01"), false, "ed_from5 ed_to5"},
      {"a day that does not exist is painted", Date("2019-02-29", ""), false, "ed_from5"},
      {"month 13 is painted", Date("", "2019-13-01"), false, "ed_to5"},
      {"a year before 1900 is painted", Date("1899-12-31", ""), false, "ed_from5"},
      {"an unfinished date is painted", Date("2019-03", ""), false, "ed_from5"},
      {"Exif's colons are painted", Date("2019:03:14", ""), false, "ed_from5"},
      {"hours 6 to 18", Hours("6", "18"), true},
      {"hours 22 to 4 span midnight", Hours("22", "4"), true},
      {"hour 0 is midnight, not a zero bound", Hours("0", "0"), true},
      {"hour 24 is painted", Hours("", "24"), false, "ed_to6"},
      {"an hour with a point is painted", Hours("7.5", ""), false, "ed_from6"},
      {"a negative hour is painted", Hours("-1", ""), false, "ed_from6"},
      // Model and lens lists.
      {"some entries unchecked", Lists({true, false}, {false, true}), true, "", 12},
      {"every model unchecked paints the model list", Lists({false, false}, {true}), false, "ScrollBox_Photo", 12},
      {"every lens unchecked paints the lens list", Lists({true, false}, {false, false}), false, "ScrollBox_Lens", 12},
      {"both unchecked paint the model list", Lists({false}, {false}), false, "ScrollBox_Photo", 12},
      {"no photo processed: the lists are not checked", Lists({false}, {false}), true, "", 0},
      {"an empty model list never fails", Lists({}, {true}), true, "", 12},
      {"an empty model list and every lens unchecked paint the lens list", Lists({}, {false}), false, "ScrollBox_Lens",
       12},
      {"both lists empty after a survey", Lists({}, {}), true, "", 12},
      // Every check runs.
      {"failures in several groups paint every offending box",
       Both(Both(Exposure("1/0", ""), Focal("55", "18")), Lists({false}, {true})), false,
       "ed_from1 ed_from3 ed_to3 ScrollBox_Photo", 3},
      {"a rewrite happens even when another check fails", Both(Exposure("2/500", ""), Iso("0", "")), false, "", 0,
       "1/250"},
  };
  for (const ApplyCase& c : cases) {
    SCOPED_TRACE(c.what);
    FilterCriteria criteria;
    c.setup(criteria);
    const FilterCriteria before = criteria;
    const ApplyCheckResult result = CheckApply(criteria, c.processed);
    EXPECT_EQ(result.valid, c.valid);
    EXPECT_EQ(PaintedNames(result.painted), c.painted);
    EXPECT_EQ(criteria.ed_from1, c.from1_after ? c.from1_after : before.ed_from1);
    EXPECT_EQ(criteria.ed_to1, c.to1_after ? c.to1_after : before.ed_to1);
    for (const auto box :
         {&FilterCriteria::ed_from2, &FilterCriteria::ed_to2, &FilterCriteria::ed_from3, &FilterCriteria::ed_to3,
          &FilterCriteria::ed_from4, &FilterCriteria::ed_to4, &FilterCriteria::ed_from5, &FilterCriteria::ed_to5,
          &FilterCriteria::ed_from6, &FilterCriteria::ed_to6}) {
      EXPECT_EQ(criteria.*box, before.*box);
    }
  }
}

TEST(CheckApply, AppliesAgainCleanlyAfterARewrite) {
  FilterCriteria criteria;
  criteria.ed_from1 = "2/500";
  ASSERT_TRUE(CheckApply(criteria, 0).valid);
  ASSERT_EQ(criteria.ed_from1, "1/250");
  EXPECT_TRUE(CheckApply(criteria, 0).valid);
  EXPECT_EQ(criteria.ed_from1, "1/250");
}

TEST(IsZeroText, ReadsTextsWithAZeroInFront) {
  const std::pair<const char*, bool> cases[] = {
      {"0", true},      {"00", true}, {"0.0", true},     {".", true},    {"0,0", true},
      {"1/250", false}, {"2", false}, {"0.0001", false}, {"0,5", false}, {"0/5", false},
  };
  for (const auto& [text, zero] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(IsZeroText(text), zero);
  }
}

struct EditCase {
  BoundKind kind;
  const char* before;
  const char* after;
  const char* kept;
};

TEST(EditedBoundText, KeepsWhatTheBoxTakesAndUndoesTheRest) {
  constexpr BoundKind kExposure = BoundKind::kExposure;
  constexpr BoundKind kFNumber = BoundKind::kFNumber;
  constexpr BoundKind kFocal = BoundKind::kFocal;
  constexpr BoundKind kIso = BoundKind::kIso;
  const EditCase cases[] = {
      {kExposure, "1/25", "1/250", "1/250"},
      {kExposure, "1/250", "1/250/", "1/250"},
      {kExposure, "0.5", "0.5.", "0.5"},
      {kExposure, "1/2", "1/2.5", "1/2.5"},
      {kExposure, "1/2500", "1/25000", "1/2500"},
      {kExposure, "12", "12a", "12"},
      {kExposure, "", "-1", ""},
      {kExposure, "", "1/250", "1/250"},
      {kExposure, "", "1/ 250", ""},
      {kExposure, "", "1/2/3", ""},
      {kExposure, "", "1234567", ""},
      {kExposure, "1/250", "1/25", "1/25"},
      {kExposure, "1/250", "", ""},
      {kExposure, "12345678", "1234567", "1234567"},
      {kFNumber, "2.", "2.8", "2.8"},
      {kFNumber, "2.8", "2.8.", "2.8"},
      {kFNumber, "", ".", "."},
      {kFNumber, "2.8", "2.85", "2.85"},
      {kFNumber, "2.85", "2.855", "2.85"},
      {kFNumber, "", "1/2", ""},
      {kFNumber, "", "F2.8", ""},
      {kFocal, "5", "55", "55"},
      {kFocal, "5", "5.", "5"},
      {kFocal, "", "1/2", ""},
      {kFocal, "123456", "1234567", "123456"},
      {kFocal, "", "18mm", ""},
      {kIso, "160", "1600", "1600"},
      {kIso, "", "1e3", ""},
      {kIso, "", "100000", "100000"},
      {kIso, "100000", "1000000", "100000"},
      {BoundKind::kDate, "2019-03-1", "2019-03-14", "2019-03-14"},
      {BoundKind::kDate, "2019-03-14", "2019-03-145", "2019-03-14"},
      {BoundKind::kDate, "2019-03", "2019-03-", "2019-03-"},
      {BoundKind::kDate, "2019-03-", "2019-03--", "2019-03-"},
      {BoundKind::kDate, "2019", "2019:", "2019"},
      {BoundKind::kDate, "", "2019/03/14", ""},
      {BoundKind::kHour, "2", "23", "23"},
      {BoundKind::kHour, "23", "234", "23"},
      {BoundKind::kHour, "", "-1", ""},
      {BoundKind::kHour, "", "7.", ""},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.kind)) + ": \"" + c.before + "\" -> \"" + c.after + "\"");
    EXPECT_EQ(EditedBoundText(c.kind, c.before, c.after), c.kept);
  }
}

constexpr bool FilterCriteria::*kRadioButtons[] = {
    &FilterCriteria::rb_Flash_Yes,
    &FilterCriteria::rb_Flash_No,
    &FilterCriteria::rb_Orientation_H,
    &FilterCriteria::rb_Orientation_V,
};
constexpr std::string FilterCriteria::*kBounds[] = {
    &FilterCriteria::ed_from1, &FilterCriteria::ed_to1, &FilterCriteria::ed_from2, &FilterCriteria::ed_to2,
    &FilterCriteria::ed_from3, &FilterCriteria::ed_to3, &FilterCriteria::ed_from4, &FilterCriteria::ed_to4,
    &FilterCriteria::ed_from5, &FilterCriteria::ed_to5, &FilterCriteria::ed_from6, &FilterCriteria::ed_to6,
};

// Every way of setting one criterion, each with a name for the trace.
std::vector<std::pair<std::string, Setup>> OneCriterionEach() {
  std::vector<std::pair<std::string, Setup>> setups;
  int index = 0;
  for (const auto bound : kBounds) {
    setups.emplace_back("bound " + std::to_string(index++),
                        [bound](FilterCriteria& c) { c.*bound = std::string(1, '1'); });
  }
  for (const CategoryBox& box : kCategoryBoxes) {
    setups.emplace_back("category box " + std::string(box.name),
                        [field = box.box](FilterCriteria& c) { c.*field = false; });
  }
  index = 0;
  for (const auto button : kRadioButtons) {
    setups.emplace_back("radio button " + std::to_string(index++), [button](FilterCriteria& c) { c.*button = true; });
  }
  setups.emplace_back("a model unchecked", Lists({true, false}, {true}));
  setups.emplace_back("a lens unchecked", Lists({true}, {false, true}));
  return setups;
}

TEST(HasNoCriteria, IsTrueForTheDefaultsAndCheckedListsOnly) {
  FilterCriteria defaults;
  EXPECT_TRUE(HasNoCriteria(defaults));
  Lists({true, true}, {true})(defaults);
  defaults.ModelExclusions = {"Left from an earlier Apply"};
  EXPECT_TRUE(HasNoCriteria(defaults));
  for (const auto& [what, setup] : OneCriterionEach()) {
    SCOPED_TRACE(what);
    FilterCriteria criteria;
    setup(criteria);
    EXPECT_FALSE(HasNoCriteria(criteria));
  }
}

TEST(ClearCriteria, UndoesEveryCriterionAndKeepsTheEntries) {
  FilterCriteria criteria;
  for (const auto& [what, setup] : OneCriterionEach()) setup(criteria);
  Lists({false, true}, {false})(criteria);
  criteria.ModelExclusions = {"Entry 1"};
  criteria.LensExclusions = {"Entry 1"};
  criteria.keepChecks = true;

  ClearCriteria(criteria);

  EXPECT_TRUE(HasNoCriteria(criteria));
  for (const auto bound : kBounds) EXPECT_EQ(criteria.*bound, "");
  EXPECT_EQ(criteria.ModelChecks.size(), 2u);
  EXPECT_EQ(criteria.LensChecks.size(), 1u);
  EXPECT_TRUE(criteria.ModelExclusions.empty());
  EXPECT_TRUE(criteria.LensExclusions.empty());
  EXPECT_TRUE(criteria.keepChecks);
}

TEST(StoreAppliedFilter, StoresTheChoicesAndTheUncheckedEntries) {
  FilterCriteria criteria;
  criteria.cb_Portrait = false;
  criteria.cb_Multi_Spot = false;
  criteria.rb_Flash_No = true;
  criteria.rb_Orientation_H = true;
  criteria.ModelChecks = {{"Canon EOS 5D", true}, {"NIKON D70", false}, {"Undetermined", false}};
  criteria.LensChecks = {{"EF 50mm", false}, {"AF-S 18-70", true}};
  criteria.ModelExclusions = {"From an earlier Apply"};
  AppliedChoices applied;

  EXPECT_TRUE(StoreAppliedFilter(criteria, applied));

  EXPECT_EQ(criteria.ModelExclusions, (std::vector<std::string>{"NIKON D70", "Undetermined"}));
  EXPECT_EQ(criteria.LensExclusions, (std::vector<std::string>{"EF 50mm"}));
  EXPECT_FALSE(applied.cb_Portrait);
  EXPECT_FALSE(applied.cb_Multi_Spot);
  EXPECT_TRUE(applied.cb_Multi_Segment);
  EXPECT_EQ(applied.flash, 1);
  EXPECT_EQ(applied.orientation, 0);
}

TEST(StoreAppliedFilter, WithoutCriteriaClearsAndResetsTheApplied) {
  FilterCriteria criteria;
  criteria.ModelChecks = Entries({true, true});
  criteria.ModelExclusions = {"Entry 2"};
  criteria.LensExclusions = {"Gone"};
  AppliedChoices applied;
  applied.cb_Spot = false;
  applied.flash = 0;
  applied.orientation = 1;

  EXPECT_FALSE(StoreAppliedFilter(criteria, applied));

  EXPECT_TRUE(criteria.ModelExclusions.empty());
  EXPECT_TRUE(criteria.LensExclusions.empty());
  EXPECT_TRUE(applied.cb_Spot);
  EXPECT_EQ(applied.flash, 2);
  EXPECT_EQ(applied.orientation, 2);
}

TEST(ChoicesOf, NumbersTheRadioButtonsOfEachPair) {
  struct RadioCase {
    bool first;
    bool second;
    int choice;
  };
  const RadioCase cases[] = {{true, false, 0}, {false, true, 1}, {false, false, 2}};
  for (const RadioCase& c : cases) {
    SCOPED_TRACE(c.choice);
    FilterCriteria criteria;
    criteria.rb_Flash_Yes = c.first;
    criteria.rb_Flash_No = c.second;
    criteria.rb_Orientation_H = c.first;
    criteria.rb_Orientation_V = c.second;
    const AppliedChoices choices = ChoicesOf(criteria);
    EXPECT_EQ(choices.flash, c.choice);
    EXPECT_EQ(choices.orientation, c.choice);

    FilterCriteria restored;
    restored.rb_Flash_Yes = !c.first;
    restored.rb_Orientation_V = !c.second;
    RestoreAppliedChoices(restored, choices);
    EXPECT_EQ(restored.rb_Flash_Yes, c.first);
    EXPECT_EQ(restored.rb_Flash_No, c.second);
    EXPECT_EQ(restored.rb_Orientation_H, c.first);
    EXPECT_EQ(restored.rb_Orientation_V, c.second);
  }
}

TEST(ChoicesOf, EachCategoryBoxGoesToItsOwnChoiceAndBack) {
  for (const CategoryBox& unchecked : kCategoryBoxes) {
    SCOPED_TRACE(unchecked.name);
    FilterCriteria criteria;
    criteria.*unchecked.box = false;
    const AppliedChoices choices = ChoicesOf(criteria);
    FilterCriteria restored;
    RestoreAppliedChoices(restored, choices);
    // Only this box comes back unchecked: no two boxes share a choice.
    for (const CategoryBox& box : kCategoryBoxes) {
      EXPECT_EQ(choices.*box.box, &box != &unchecked) << box.name;
      EXPECT_EQ(restored.*box.box, &box != &unchecked) << box.name;
    }
  }
}

TEST(CategoryBoxes, EveryLabelOfAProgramOrMeteringHasOneBox) {
  // What a photo's exposure program or metering can be labelled, and the one box that admits it.
  const std::pair<LabelId, std::string_view> programs[] = {
      {LabelId::LabelManual, "Manual"},
      {LabelId::LabelAperturePriority, "Aperture"},
      {LabelId::LabelShutterPriority, "Shutter"},
      {LabelId::LabelNormal, "Normal"},
      {LabelId::LabelSport, "Action"},
      {LabelId::LabelPortrait, "Portrait"},
      {LabelId::LabelLandscape, "Landscape"},
      {LabelId::LabelCreative, "OtherP"},
      {LabelId::NotDeterminedM, "OtherP"},
  };
  const std::pair<LabelId, std::string_view> meterings[] = {
      {LabelId::LabelAverage, "Average"},
      {LabelId::LabelPartial, "Partial"},
      {LabelId::LabelSpot, "Spot"},
      {LabelId::LabelMultiSegment, "Multi_Segment"},
      {LabelId::LabelMultiSpot, "Multi_Spot"},
      {LabelId::NotDeterminedM, "OtherE"},
  };
  const auto boxes_of = [](BoxGroup group, LabelId label) {
    std::vector<std::string_view> names;
    for (const CategoryBox& box : kCategoryBoxes) {
      if (box.group == group && std::find(box.labels.begin(), box.labels.end(), label) != box.labels.end()) {
        names.push_back(box.name);
      }
    }
    return names;
  };
  for (const auto& [label, name] : programs) {
    EXPECT_EQ(boxes_of(BoxGroup::kProgram, label), std::vector<std::string_view>{name}) << LabelText(label, kEnglish);
  }
  for (const auto& [label, name] : meterings) {
    EXPECT_EQ(boxes_of(BoxGroup::kMetering, label), std::vector<std::string_view>{name}) << LabelText(label, kEnglish);
  }
}

}  // namespace
}  // namespace lumetra
