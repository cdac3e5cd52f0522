// The way back through applied filters: its limit of steps, what counts as a step, how an earlier filter is
// fitted to the lists of now, and a recount going back through changes made by the dialog, a chart and Clear.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "filter/ApplyChecks.h"
#include "filter/ChartFilterChange.h"
#include "filter/FilterHistory.h"
#include "survey/Tallies.h"
#include "tests/survey/RecordBuilder.h"

namespace lumetra {
namespace {

FilterCriteria WithIsoFrom(int from) {
  FilterCriteria criteria;
  if (from > 0) criteria.ed_from4 = std::to_string(from);
  return criteria;
}

TEST(FilterHistory, KeepsTheLastTwentyStepsNewestFirst) {
  FilterHistory history;
  EXPECT_FALSE(history.Back(FilterCriteria{}));
  // Filters 0 (none), 1, ..., 25 applied one after another.
  for (int step = 1; step <= 25; ++step) history.Record(WithIsoFrom(step - 1), WithIsoFrom(step));
  EXPECT_EQ(history.size(), FilterHistory::kFilterHistorySteps);
  FilterCriteria current = WithIsoFrom(25);
  for (int expected = 24; expected >= 5; --expected) {
    const std::optional<FilterCriteria> previous = history.Back(current);
    ASSERT_TRUE(previous) << "step back to " << expected;
    EXPECT_EQ(previous->ed_from4, std::to_string(expected));
    current = *previous;
  }
  EXPECT_TRUE(history.empty());
  EXPECT_FALSE(history.Back(current));
}

TEST(FilterHistory, AnApplyThatChangesNothingIsNoStep) {
  FilterCriteria before;
  before.ModelExclusions = {"Model A", "Model B"};
  before.ModelChecks = {{"Model A", false}, {"Model B", false}};
  const std::vector<std::pair<const char*, std::function<void(FilterCriteria&)>>> changes = {
      {"exclusions in another order",
       [](FilterCriteria& c) {
         c.ModelExclusions = {"Model B", "Model A"};
       }},
      {"check list rebuilt",
       [](FilterCriteria& c) {
         c.ModelChecks.push_back({"Model C", true});
       }},
      {"keepChecks", [](FilterCriteria& c) { c.keepChecks = !c.keepChecks; }},
  };
  for (const auto& [name, change] : changes) {
    SCOPED_TRACE(name);
    FilterCriteria after = before;
    change(after);
    FilterHistory history;
    history.Record(before, after);
    EXPECT_TRUE(history.empty());
  }
}

TEST(FilterHistory, EveryCriterionMakesAStep) {
  const std::vector<std::pair<const char*, std::function<void(FilterCriteria&)>>> changes = {
      {"exposure", [](FilterCriteria& c) { c.ed_to1 = "1/60"; }},
      {"f-number", [](FilterCriteria& c) { c.ed_from2 = "2.8"; }},
      {"focal", [](FilterCriteria& c) { c.ed_to3 = "50"; }},
      {"iso", [](FilterCriteria& c) { c.ed_to4 = "800"; }},
      {"a box", [](FilterCriteria& c) { c.cb_Multi_Spot = false; }},
      {"flash", [](FilterCriteria& c) { c.rb_Flash_No = true; }},
      {"orientation", [](FilterCriteria& c) { c.rb_Orientation_V = true; }},
      {"a model", [](FilterCriteria& c) { c.ModelExclusions.push_back("Model C"); }},
      {"a lens", [](FilterCriteria& c) { c.LensExclusions.push_back("Lens 1"); }},
  };
  for (const auto& [name, change] : changes) {
    SCOPED_TRACE(name);
    FilterCriteria after;
    change(after);
    FilterHistory history;
    history.Record(FilterCriteria{}, after);
    EXPECT_EQ(history.size(), 1u);
    EXPECT_FALSE(SameFilter(after, FilterCriteria{}));
  }
}

TEST(FilterHistory, BackFitsTheEarlierExclusionsToTodaysLists) {
  FilterCriteria earlier;
  earlier.ModelChecks = {{"Model A", true}, {"Model B", false}};
  earlier.ModelExclusions = {"Model B"};
  earlier.keepChecks = false;
  FilterCriteria now;
  now.ModelChecks = {{"Model A", false}, {"Model C", true}, {"Model B", true}};
  now.ModelExclusions = {"Model A"};
  now.LensChecks = {{"Lens 1", true}};
  now.keepChecks = true;
  FilterHistory history;
  history.Record(earlier, now);
  const std::optional<FilterCriteria> back = history.Back(now);
  ASSERT_TRUE(back);
  const std::vector<CheckEntry> expected = {{"Model A", true}, {"Model C", true}, {"Model B", false}};
  ASSERT_EQ(back->ModelChecks.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(back->ModelChecks[i].text, expected[i].text);
    EXPECT_EQ(back->ModelChecks[i].checked, expected[i].checked) << expected[i].text;
  }
  EXPECT_EQ(back->ModelExclusions, std::vector<std::string>{"Model B"});
  EXPECT_EQ(back->LensChecks.size(), 1u);
  EXPECT_TRUE(back->keepChecks);
}

// Dialog, chart command, Clear; then back step by step, recounting as the window does.
TEST(FilterHistory, GoingBackRecountsEachEarlierFilter) {
  SurveyState state;
  FilterCriteria criteria;
  for (const char* iso : {"100", "200", "400"}) {
    PhotoRecord photo = testing::SamplePhoto(std::string("/photos/") + iso + ".jpg");
    photo.iso = iso;
    state.AddPhoto(photo, criteria, true);
  }
  FilterHistory history;
  const auto apply = [&](FilterCriteria next) {
    history.Record(criteria, next);
    criteria = std::move(next);
    state.Retally(criteria, true);
  };

  FilterCriteria by_dialog = criteria;
  by_dialog.ed_from4 = "200";
  ASSERT_TRUE(CheckApply(by_dialog, state.processedCount).valid);
  apply(by_dialog);
  ASSERT_EQ(state.filteredCount, 2);
  const FilterChange only = ChartFilterChange(criteria,
                                              {.dimension = FilterDimension::kIso,
                                               .rows = state.tallyIso,
                                               .row = 1,
                                               .command = ChartCommand::kOnly,
                                               .filtered_count = state.filteredCount},
                                              state.processedCount);
  ASSERT_TRUE(only.criteria) << only.reason.english;
  apply(*only.criteria);
  ASSERT_EQ(state.filteredCount, 1);
  FilterCriteria cleared = criteria;
  ClearCriteria(cleared);
  apply(cleared);
  ASSERT_EQ(state.filteredCount, 3);

  for (const int expected : {1, 2, 3}) {
    std::optional<FilterCriteria> previous = history.Back(criteria);
    ASSERT_TRUE(previous) << "back to " << expected << " photos";
    criteria = std::move(*previous);
    state.Retally(criteria, true);
    EXPECT_EQ(state.filteredCount, expected);
  }
  EXPECT_FALSE(history.Back(criteria));
}

}  // namespace
}  // namespace lumetra
