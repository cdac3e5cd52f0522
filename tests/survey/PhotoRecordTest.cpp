// Normalizing the reader's texts into a photo record, and reading exposure and number texts.

#include <gtest/gtest.h>

#include "survey/PhotoRecord.h"

namespace lumetra {
namespace {

TEST(NormalizeText, ShrinksBlanksAndFallsBackOnTheDefault) {
  const std::pair<const char*, const char*> cases[] = {
      {"Canon  Inc. ", "Canon Inc."}, {" EOS", " EOS"}, {"", "n/a"}, {" ", "n/a"}, {"   ", "n/a"}, {"a   b", "a b"},
      {"  a  b  ", " a b"},           {"a b  ", "a b"},
  };
  // Into a text that held something longer, as a record made again for each photo is.
  std::string reused = "a text longer than any of the cases";
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(NormalizeText(text, "n/a"), expected);
    NormalizeTextInto(text, "n/a", reused);
    EXPECT_EQ(reused, expected);
  }
}

TEST(NormalizeExposure, WritesTimesAsCamerasShowThem) {
  const std::pair<const char*, const char*> cases[] = {
      {"1/250", "1/250"},
      {"10/2500", "1/250"},
      {"30/1", "30"},
      {"0/1", "n/a"},
      {"10/1250", "1/125"},
      {"10/30", "1/3"},
      {"5/10", "1/2"},
      {"1/3", "1/3"},
      {"10/5", "2"},
      {"13/10", "1.3"},
      {"0.5", "0.5"},
      {"2", "2"},
      {"1/0", "n/a"},
      {"a/5", "n/a"},
      {"5/", "n/a"},
      {"/5", "n/a"},
      {"1/1", "1"},
      // Between half a second and a second: decimal seconds, not a rounded fraction.
      {"6/10", "0.6"},
      // N from the fraction itself: 10/1600 is 1/160, not 1/161.
      {"10/1600", "1/160"},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(NormalizeExposure(text, "n/a"), expected);
  }
}

TEST(ExposureValue, ReadsTimesInTenThousandths) {
  const std::pair<const char*, int64_t> cases[] = {
      {"1/125", 80},        {"2", 20000}, {"1/3", 3333}, {"0.5", 5000}, {"1/60", 167}, {"n/a", 0},
      {"Не определена", 0}, {"1/0", 0},   {"a/b", 0},    {"/4", 0},     {"", 0},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ExposureValue(text), expected);
  }
}

TEST(NumberValue, ReadsDecimalsInTenThousandthsAndLabelsAsZero) {
  EXPECT_EQ(NumberValue("2.8"), 28000);
  EXPECT_EQ(NumberValue("11.0"), 110000);
  EXPECT_EQ(NumberValue(".5"), 5000);
  EXPECT_EQ(NumberValue("n/a"), 0);
}

}  // namespace
}  // namespace lumetra
