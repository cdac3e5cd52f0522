// A whole survey of the demo folder: every photo walked, read, stored and tallied.

#include <gtest/gtest.h>

#include <algorithm>

#include "survey/SurveyRun.h"
#include "testing/DemoFolder.h"
#include "tests/support/TempFolder.h"

namespace lumetra {
namespace {

class SurveyRunTest : public ::testing::Test {
 protected:
  void SetUp() override { photos_ = testing::WriteDemoFolder(folder_.path()); }

  WalkResult Run(const SurveyOptions& options) {
    return RunSurvey(
        folder_.path().string(), options, state_, criteria_,
        [](const std::string& make, const std::string& model) -> int64_t {
          return make == "NIKON" && model == "NIKON D70" ? 15000 : 0;
        },
        WalkHooks{}, stop_);
  }

  const PhotoRecord* Find(const std::string& name) {
    for (size_t i = 0; i < state_.Photos.size(); ++i) {
      if (state_.Photos.Path(i).ends_with("/" + name)) {
        found_ = state_.Photos.Row(i);
        return &found_;
      }
    }
    return nullptr;
  }

  testing::TempFolder folder_;
  size_t photos_ = 0;
  SurveyState state_;
  FilterCriteria criteria_;
  std::atomic<bool> stop_{false};
  PhotoRecord found_;
};

TEST_F(SurveyRunTest, CountsEveryPhotoWithExif) {
  const WalkResult walk = Run(SurveyOptions{});
  EXPECT_EQ(walk.photos, static_cast<int64_t>(photos_));
  // One demo photo has no Exif at all.
  EXPECT_EQ(state_.processedCount, static_cast<int32_t>(photos_) - 1);
  EXPECT_EQ(state_.filteredCount, state_.processedCount);
  EXPECT_EQ(state_.filteredPaths.size(), state_.Photos.size());

  const PhotoRecord* canon = Find("IMG_0001.JPG");
  ASSERT_NE(canon, nullptr);
  EXPECT_EQ(canon->exposure, "1/125");
  EXPECT_EQ(canon->fNumber, "5.6");
  EXPECT_EQ(canon->focal, "50");
  // No store entry: derived from the 35 mm focal length the reader computes from the focal-plane size.
  EXPECT_EQ(canon->crop, "1.6");
  EXPECT_EQ(canon->focal35, "80");
  const PhotoRecord* nikon = Find("DSC_0042.JPG");
  ASSERT_NE(nikon, nullptr);
  EXPECT_EQ(nikon->make, "NIKON");
  EXPECT_EQ(nikon->exposure, "1/125");
  EXPECT_EQ(nikon->crop, "1.5");
  EXPECT_EQ(nikon->focal35, "27");
  const PhotoRecord* night = Find("P7180023.Jpg");
  ASSERT_NE(night, nullptr);
  EXPECT_EQ(night->exposure, "2");
  EXPECT_EQ(night->metering, "Average");  // "Center" is counted with the average

  // The stored NIKON D70 has a factor; every other camera is listed as unknown once.
  const auto& unknown = state_.UnknownCameras;
  EXPECT_TRUE(std::none_of(unknown.begin(), unknown.end(), [](const UnknownCamera& c) { return c.make == "NIKON"; }));
  EXPECT_TRUE(
      std::any_of(unknown.begin(), unknown.end(), [](const UnknownCamera& c) { return c.model == "iPhone 5"; }));
}

TEST_F(SurveyRunTest, WithoutSubFoldersOnlyTheTopPhotosAreRead) {
  SurveyOptions options;
  options.cb_SubFolders = false;
  Run(options);
  for (size_t i = 0; i < state_.Photos.size(); ++i) {
    const std::string relative = state_.Photos.Path(i).substr(folder_.path().string().size() + 1);
    EXPECT_EQ(relative.find('/'), std::string::npos) << relative;
  }
  EXPECT_GT(state_.processedCount, 0);
}

TEST_F(SurveyRunTest, AFilterAndARetallyAgree) {
  criteria_.ed_from2 = "5.6";
  criteria_.ed_to2 = "8";
  Run(SurveyOptions{});
  const int32_t filtered = state_.filteredCount;
  EXPECT_GT(filtered, 0);
  EXPECT_LT(filtered, state_.processedCount);
  criteria_.ed_from2.clear();
  criteria_.ed_to2.clear();
  state_.Retally(criteria_, true);
  EXPECT_EQ(state_.filteredCount, state_.processedCount);
  criteria_.ed_from2 = "5.6";
  criteria_.ed_to2 = "8";
  state_.Retally(criteria_, true);
  EXPECT_EQ(state_.filteredCount, filtered);
}

TEST_F(SurveyRunTest, AStopEndsTheRunEarly) {
  stop_ = true;
  const WalkResult walk = Run(SurveyOptions{});
  EXPECT_TRUE(walk.stopped);
  EXPECT_EQ(state_.processedCount, 0);
}

TEST_F(SurveyRunTest, EventsAreHandledAsOftenAsTheOptionsAsk) {
  // A clock that moves 10 ms for every look at it: with an interval of 10 ms the walk hands over between
  // every two entries, with the default 100 ms far less often.
  const auto calls_with = [this](std::chrono::milliseconds interval) {
    SurveyOptions options;
    options.reader_threads = 1;
    options.event_interval = interval;
    auto now = std::chrono::steady_clock::time_point();
    int calls = 0;
    WalkHooks hooks;
    hooks.now = [&now] { return now += std::chrono::milliseconds(10); };
    hooks.process_events = [&calls](const std::string&) { ++calls; };
    state_ = SurveyState();
    (void)RunSurvey(
        folder_.path().string(), options, state_, criteria_, [](auto&, auto&) -> int64_t { return 0; }, hooks, stop_);
    return calls;
  };
  const int often = calls_with(std::chrono::milliseconds(10));
  const int seldom = calls_with(std::chrono::milliseconds(100));
  EXPECT_GE(often, static_cast<int>(photos_));
  EXPECT_LT(seldom, often);
}

}  // namespace
}  // namespace lumetra
