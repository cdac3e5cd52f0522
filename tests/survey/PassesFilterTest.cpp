// The filter test: bounds, categories, exclusions, and undetermined values.

#include <gtest/gtest.h>

#include <functional>

#include "survey/PassesFilter.h"
#include "tests/survey/RecordBuilder.h"

namespace lumetra {
namespace {

using testing::SamplePhoto;
using testing::Undetermined;

struct Case {
  const char* what;
  std::function<void(PhotoRecord&)> photo;
  std::function<void(FilterCriteria&)> criteria;
  bool real = true;
  bool passes;
};

TEST(PassesFilter, AppliesEveryCondition) {
  const auto exposure = [](const char* text) { return [text](PhotoRecord& r) { r.exposure = text; }; };
  const auto bounds1 = [](const char* from, const char* to) {
    return [from, to](FilterCriteria& c) {
      c.ed_from1 = from;
      c.ed_to1 = to;
    };
  };
  const auto f_number = [](const char* text) { return [text](PhotoRecord& r) { r.fNumber = text; }; };
  const auto bounds2 = [](const char* from, const char* to) {
    return [from, to](FilterCriteria& c) {
      c.ed_from2 = from;
      c.ed_to2 = to;
    };
  };
  const auto focal = [](const char* real, const char* equivalent) {
    return [real, equivalent](PhotoRecord& r) {
      r.focal = real;
      r.focal35 = equivalent;
    };
  };
  const auto bounds3 = [](const char* from, const char* to) {
    return [from, to](FilterCriteria& c) {
      c.ed_from3 = from;
      c.ed_to3 = to;
    };
  };
  const auto none = [](auto&) {};
  const Case cases[] = {
      {"defaults admit a photo", none, none, true, true},
      {"defaults reject an undetermined F-number",
       [](PhotoRecord& r) { r = Undetermined(r, kFNumber, LabelId::NotDeterminedF); }, none, true, false},
      {"1/250 within 1/250..1/60", exposure("1/250"), bounds1("1/250", "1/60"), true, true},
      {"1/125 within 1/250..1/60", exposure("1/125"), bounds1("1/250", "1/60"), true, true},
      {"1/60 within 1/250..1/60", exposure("1/60"), bounds1("1/250", "1/60"), true, true},
      {"1/500 below 1/250", exposure("1/500"), bounds1("1/250", "1/60"), true, false},
      {"1/30 above 1/60", exposure("1/30"), bounds1("1/250", "1/60"), true, false},
      {"undetermined exposure passes an upper bound",
       [](PhotoRecord& r) { r = Undetermined(r, kExposure, LabelId::NotDeterminedF); }, bounds1("", "1/60"), true,
       true},
      {"undetermined exposure fails a lower bound",
       [](PhotoRecord& r) { r = Undetermined(r, kExposure, LabelId::NotDeterminedF); }, bounds1("1/1000", ""), true,
       false},
      {"2.8 within 2.8..5.6", f_number("2.8"), bounds2("2.8", "5.6"), true, true},
      {"5.6 within 2.8..5.6", f_number("5.6"), bounds2("2.8", "5.6"), true, true},
      {"2.0 below 2.8", f_number("2.0"), bounds2("2.8", "5.6"), true, false},
      {"8.0 above 5.6", f_number("8.0"), bounds2("2.8", "5.6"), true, false},
      {"an F-number that is not a number fails a bound", f_number("F?"), bounds2("2.8", ""), true, false},
      {"an F-number that is not a number passes without bounds", f_number("F?"), none, true, true},
      {"real 18 within 18..55", focal("18", "29"), bounds3("18", "55"), true, true},
      {"35 mm 29 within 24..35", focal("18", "29"), bounds3("24", "35"), false, true},
      {"35 mm 29 outside 18..24", focal("18", "29"), bounds3("18", "24"), false, false},
      {"undetermined 35 mm fails a focal bound",
       [](PhotoRecord& r) { r = Undetermined(r, kFocal35, LabelId::NotDeterminedN); }, bounds3("18", ""), false, false},
      {"undetermined 35 mm passes without focal bounds",
       [](PhotoRecord& r) { r = Undetermined(r, kFocal35, LabelId::NotDeterminedN); }, none, false, true},
      {"ISO 0 is a bound", none,
       [](FilterCriteria& c) {
         c.ed_from4 = "0";
         c.ed_to4 = "0";
       },
       true, false},
      {"flash required, photo without", none, [](FilterCriteria& c) { c.rb_Flash_Yes = true; }, true, false},
      {"no flash, undetermined flash", [](PhotoRecord& r) { r = Undetermined(r, kFlash, LabelId::NotDeterminedM); },
       [](FilterCriteria& c) { c.rb_Flash_No = true; }, true, false},
      {"vertical required, photo horizontal", none, [](FilterCriteria& c) { c.rb_Orientation_V = true; }, true, false},
      {"Other programs off: Creative fails",
       [](PhotoRecord& r) { r.SetLabel(kProgram, LabelId::LabelCreative, kEnglish); },
       [](FilterCriteria& c) { c.cb_OtherP = false; }, true, false},
      {"Other programs off: undetermined program fails",
       [](PhotoRecord& r) { r = Undetermined(r, kProgram, LabelId::NotDeterminedM); },
       [](FilterCriteria& c) { c.cb_OtherP = false; }, true, false},
      {"Normal off: Manual still passes", [](PhotoRecord& r) { r.SetLabel(kProgram, LabelId::LabelManual, kEnglish); },
       [](FilterCriteria& c) { c.cb_Normal = false; }, true, true},
      {"Normal off: Normal fails", none, [](FilterCriteria& c) { c.cb_Normal = false; }, true, false},
      {"Other metering off: undetermined metering fails",
       [](PhotoRecord& r) { r = Undetermined(r, kMetering, LabelId::NotDeterminedM); },
       [](FilterCriteria& c) { c.cb_OtherE = false; }, true, false},
      {"an excluded model", none, [](FilterCriteria& c) { c.ModelExclusions = {"Canon EOS 40D"}; }, true, false},
      {"an excluded lens", none, [](FilterCriteria& c) { c.LensExclusions = {"18-55 mm"}; }, true, false},
      {"a label read in Russian is judged by its category",
       [](PhotoRecord& r) { r.SetLabel(kFlash, LabelId::LabelFlashOff, kRussian); },
       [](FilterCriteria& c) { c.rb_Flash_No = true; }, true, true},
      {"an undetermined model excluded in the other language",
       [](PhotoRecord& r) { r = Undetermined(r, kModel, LabelId::NotDeterminedM, kRussian); },
       [](FilterCriteria& c) { c.ModelExclusions = {"n/a"}; }, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PhotoRecord record = SamplePhoto();
    c.photo(record);
    FilterCriteria criteria;
    c.criteria(criteria);
    EXPECT_EQ(PassesFilter(record, criteria, c.real), c.passes);
  }
}

}  // namespace
}  // namespace lumetra

namespace lumetra {
namespace {

// The capture-time bounds: days inclusive at both ends, hours across midnight, and photos without a time.
TEST(PassesFilter, DateAndHourBounds) {
  const struct {
    const char* taken;  // Exif text; "" for a photo without a capture time
    const char* date_from;
    const char* date_to;
    const char* hour_from;
    const char* hour_to;
    bool passes;
  } cases[] = {
      {"2019:03:14 18:22:05", "", "", "", "", true},
      {"", "", "", "", "", true},
      {"", "2019-01-01", "", "", "", false},
      {"", "", "", "", "23", false},
      {"2019:03:14 00:00:00", "2019-03-14", "2019-03-14", "", "", true},
      {"2019:03:14 23:59:59", "2019-03-14", "2019-03-14", "", "", true},
      {"2019:03:15 00:00:00", "2019-03-14", "2019-03-14", "", "", false},
      {"2019:03:13 23:59:59", "2019-03-14", "", "", "", false},
      {"2019:03:13 23:59:59", "", "2019-03-14", "", "", true},
      {"2020:01:01 00:00:00", "", "2019-12-31", "", "", false},
      {"2019:03:14 18:22:05", "2019-02-30", "", "", "", false},  // a bound that does not read admits nothing
      {"2019:03:14 18:22:05", "", "", "18", "18", true},
      {"2019:03:14 18:59:59", "", "", "6", "18", true},
      {"2019:03:14 19:00:00", "", "", "6", "18", false},
      {"2019:03:14 05:59:59", "", "", "6", "18", false},
      {"2019:03:14 23:10:00", "", "", "22", "4", true},
      {"2019:03:14 00:10:00", "", "", "22", "4", true},
      {"2019:03:14 04:59:00", "", "", "22", "4", true},
      {"2019:03:14 05:00:00", "", "", "22", "4", false},
      {"2019:03:14 21:59:59", "", "", "22", "4", false},
      {"2019:03:14 21:00:00", "", "", "21", "", true},
      {"2019:03:14 20:00:00", "", "", "21", "", false},
      {"2019:03:14 00:00:00", "", "", "", "0", true},
      {"2019:03:14 01:00:00", "", "", "", "0", false},
      {"2019:03:14 01:00:00", "", "", "", "24", false},
      {"2019:03:14 22:00:00", "2019-03-01", "2019-03-31", "22", "4", true},
      {"2019:04:01 01:00:00", "2019-03-01", "2019-03-31", "22", "4", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.taken) + " " + c.date_from + ":" + c.date_to + " " + c.hour_from + ":" + c.hour_to);
    PhotoRecord record = SamplePhoto();
    record.taken = ParseCaptureTime(c.taken);
    FilterCriteria criteria;
    criteria.ed_from5 = c.date_from;
    criteria.ed_to5 = c.date_to;
    criteria.ed_from6 = c.hour_from;
    criteria.ed_to6 = c.hour_to;
    EXPECT_EQ(PassesFilter(record, criteria, true), c.passes);
  }
}

}  // namespace
}  // namespace lumetra
