#include <gtest/gtest.h>

#include <functional>

#include "filter/CurrentRangeTexts.h"
#include "filter/FilterSummary.h"

namespace lumetra {
namespace {

FilterCriteria WithThreeModels() {
  FilterCriteria criteria;
  criteria.ModelChecks = {{"Canon EOS 40D", true}, {"NIKON D70", true}, {"iPhone 5", true}};
  criteria.LensChecks = {{"EF24-105mm f/4L IS USM", true}};
  return criteria;
}

struct SummaryCase {
  const char* name;
  Language language;
  std::function<void(FilterCriteria&)> set;
  std::vector<std::pair<std::string, std::string>> labels;
};

TEST(FilterSummaryTest, LabelsNameWhatIsAdmitted) {
  const SummaryCase cases[] = {
      {"no criterion", kEnglish, [](FilterCriteria&) {}, {}},
      {"exposure bounds in Russian",
       kRussian,
       [](FilterCriteria& c) {
         c.ed_from1 = "1/250";
         c.ed_to1 = "1/60";
       },
       {{"lb_ShutterSpeed", "Выдержка от 1/250с до 1/60с"}}},
      {"lower F-number only",
       kEnglish,
       [](FilterCriteria& c) { c.ed_from2 = "2.8"; },
       {{"lb_Fnumber", "F Number from F/2.8"}}},
      {"upper focal length and ISO",
       kEnglish,
       [](FilterCriteria& c) {
         c.ed_to3 = "55";
         c.ed_from4 = "100";
         c.ed_to4 = "800";
       },
       {{"lb_FocalLength", "Focal Length to 55mm"}, {"lb_ISO", "ISO from 100 to 800"}}},
      {"a date range and night hours, below ISO",
       kEnglish,
       [](FilterCriteria& c) {
         c.ed_from4 = "100";
         c.ed_from5 = "2019-03-01";
         c.ed_to5 = "2019-08-31";
         c.ed_from6 = "22";
         c.ed_to6 = "4";
         c.cb_OtherE = false;
       },
       {{"lb_ISO", "ISO from 100"},
        {"lb_Date", "Date from 2019-03-01 to 2019-08-31"},
        {"lb_Hours", "Hours from 22 to 4"},
        {"lb_Meter", "Metering mode:\r   - Average\r   - Spot\r   - Partial\r   - Multi-Segment\r   - Multi-Spot"}}},
      {"an upper date and a lower hour in Russian",
       kRussian,
       [](FilterCriteria& c) {
         c.ed_to5 = "2020-01-01";
         c.ed_from6 = "0";
       },
       {{"lb_Date", "Дата до 2020-01-01"}, {"lb_Hours", "Часы от 0"}}},
      {"manual left out",
       kEnglish,
       [](FilterCriteria& c) { c.cb_Manual = false; },
       {{"lb_Program",
         "Program:\r   - Aperture priority\r   - Shutter priority\r   - Normal\r   - Sport\r   - Portrait\r"
         "   - Landscape\r   - Other"}}},
      {"flash off and vertical in Russian",
       kRussian,
       [](FilterCriteria& c) {
         c.rb_Flash_No = true;
         c.rb_Orientation_V = true;
       },
       {{"lb_Flash", "Вспышка выключена"}, {"lb_Orientation", "Ориентация вертикальная"}}},
      {"one of three models left out",
       kEnglish,
       [](FilterCriteria& c) { c.ModelChecks[1].checked = false; },
       {{"lb_Model", "Models:\r   - Canon EOS 40D\r   - iPhone 5"}}},
      {"metering in Russian, after the lenses",
       kRussian,
       [](FilterCriteria& c) {
         c.cb_Spot = false;
         c.cb_Average = false;
         c.cb_Partial = false;
         c.cb_Multi_Spot = false;
         c.LensChecks[0].checked = false;
       },
       {{"lb_Lens", "Объективы:"}, {"lb_Meter", "Замер экспозициии:\r   - Матричный\r   - Другой"}}},
  };
  for (const SummaryCase& test : cases) {
    SCOPED_TRACE(test.name);
    FilterCriteria criteria = WithThreeModels();
    test.set(criteria);
    std::vector<std::pair<std::string, std::string>> shown;
    for (const SummaryLabel& label : BuildFilterSummary(criteria, test.language)) {
      shown.emplace_back(label.control, label.text);
      EXPECT_EQ(label.list_lines, std::count(label.text.begin(), label.text.end(), '\r'));
    }
    EXPECT_EQ(shown, test.labels);
  }
}

std::vector<SummaryLabel> Rows(std::initializer_list<int> list_lines) {
  std::vector<SummaryLabel> labels;
  for (const int lines : list_lines) labels.push_back({.control = "lb_ISO", .text = "", .list_lines = lines});
  return labels;
}

TEST(FilterSummaryTest, BoxGrowsWithItsLabelsUpToTwoFifthsOfThePanel) {
  struct Case {
    const char* name;
    std::vector<SummaryLabel> labels;
    int64_t koef;
    std::vector<int> tops;
    int box;
  };
  const Case cases[] = {
      {"one bound row", Rows({0}), 10000, {5}, 35},
      {"seven programs at 1.25", Rows({7, 0}), 12500, {5, 137}, 167},
      // Four bounds, seven programs, flash and orientation: y = 236 on a 670 high panel.
      {"just below the limit", Rows({0, 0, 0, 0, 7, 0, 0}), 10000, {5, 25, 45, 65, 85, 196, 216}, 246},
      // With five metering lines y = 321: the box stops at 0.4 x 670 and scrolls.
      {"beyond the limit", Rows({0, 0, 0, 0, 7, 0, 0, 5}), 10000, {5, 25, 45, 65, 85, 196, 216, 236}, 268},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const SummaryLayout layout = LayOutFilterSummary(test.labels, test.koef, 670);
    EXPECT_EQ(layout.tops, test.tops);
    EXPECT_EQ(layout.filter_box_height, test.box);
    EXPECT_EQ(layout.sb_filter_height, test.box - 14);
  }
}

TEST(CurrentRangeTextsTest, RangesOfThePassingPhotos) {
  const std::pair<int64_t, const char*> exposures[] = {{80, "1/125"}, {167, "1/60"}, {20000, "2"}, {15000, "1,5"}};
  for (const auto& [units, text] : exposures) EXPECT_EQ(ExposureRangeText(units, ','), text) << units;

  ValueRanges ranges;
  EXPECT_EQ(
      CurrentRangeTexts(ranges, true, kEnglish, '.'),
      (std::array<std::string, 4>{"Current range:  - ", "Current range: -", "Current range: -", "Current range: -"}));
  ranges.shutter_min = 80;
  ranges.shutter_max = 20000;
  ranges.fnumber_min = 28000;
  ranges.fnumber_max = 110000;
  ranges.focal_min = 18;
  ranges.focal_max = 55;
  ranges.iso_min = 100;
  ranges.iso_max = 3200;
  EXPECT_EQ(CurrentRangeTexts(ranges, true, kRussian, ','),
            (std::array<std::string, 4>{"Текущий диапазон: 1/125 - 2", "Текущий диапазон: 2,8 - 11",
                                        "Текущий диапазон: 18 - 55", "Текущий диапазон: 100 - 3200"}));
  // In 35 mm with no 35 mm value known, the real lengths are not shown in its place.
  EXPECT_EQ(CurrentRangeTexts(ranges, false, kEnglish, '.')[2], "Current range: -");
  ranges.focal35_min = 29;
  ranges.focal35_max = 88;
  EXPECT_EQ(CurrentRangeTexts(ranges, false, kEnglish, '.')[2], "Current range: 29 - 88");
}

TEST(CurrentRangeTextsTest, DaysAndHoursOfThePassingPhotos) {
  ValueRanges ranges;
  EXPECT_EQ(TimeRangeTexts(ranges, kEnglish), (std::array<std::string, 2>{"Current range: -", "Current range: -"}));
  ranges.taken_min = ParseCaptureTime("2019:03:14 23:59:59");
  ranges.taken_max = ParseCaptureTime("2021:07:02 00:00:00");
  ranges.hour_min = 0;
  ranges.hour_max = 23;
  EXPECT_EQ(TimeRangeTexts(ranges, kRussian),
            (std::array<std::string, 2>{"Текущий диапазон: 2019-03-14 - 2021-07-02", "Текущий диапазон: 0 - 23"}));
}

}  // namespace
}  // namespace lumetra
