// A survey that reads its photos on worker threads ends as the one-threaded survey does: the same records,
// tallies, unknown cameras, filtered paths, status texts after every entry and trace, also when Stop or an
// exception ends it part-way.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "survey/SurveyRun.h"
#include "testing/DemoFolder.h"
#include "tests/support/CorpusFolder.h"
#include "tests/support/TempFolder.h"
#include "tests/survey/SurveyOutcome.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;
using testing::CountLines;
using testing::SurveyInterference;
using testing::SurveyOutcome;

// More threads than this machine has cores are asked for too: the result must not depend on how the
// reads interleave.
constexpr unsigned kThreadCounts[] = {2, 3, 8};

SurveyOptions Options(unsigned threads, Language language = kEnglish) {
  SurveyOptions options;
  options.reader_threads = threads;
  options.language = language;
  return options;
}

// Each test runs on the demo folder, written afresh, and on the shared photo corpus.
class ParallelSurveyTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (std::string(GetParam()) == "demo") {
      testing::WriteDemoFolder(demo_.path());
      folder_ = demo_.path().string();
      return;
    }
    LUMETRA_CORPUS_OR_SKIP(corpus);
    folder_ = corpus->string();
  }

  testing::TempFolder demo_;
  std::string folder_;
};

TEST_P(ParallelSurveyTest, GivesTheOneThreadedResult) {
  for (const Language language : {kEnglish, kRussian}) {
    for (const bool sub_folders : {true, false}) {
      SurveyOptions one = Options(1, language);
      one.cb_SubFolders = sub_folders;
      const std::vector<std::string> expected = SurveyOutcome(folder_, one);
      if (sub_folders) {
        ASSERT_GT(CountLines(expected, "record"), 0u);
      }
      for (const unsigned threads : kThreadCounts) {
        SCOPED_TRACE(std::string(sub_folders ? "with" : "without") + " sub-folders, language " +
                     (language == kRussian ? "ru" : "en") + ", threads " + std::to_string(threads));
        SurveyOptions parallel = one;
        parallel.reader_threads = threads;
        EXPECT_EQ(SurveyOutcome(folder_, parallel), expected);
      }
    }
  }
}

TEST_P(ParallelSurveyTest, StopEndsItAfterTheSameEntry) {
  struct Case {
    const char* name;
    SurveyInterference interference;
  };
  const auto stop_after_entry = [](int64_t at) {
    return SurveyInterference{[at](int64_t n, const std::string&, std::atomic<bool>& stop) {
                                if (n == at) stop = true;
                              },
                              {}};
  };
  const auto stop_on_events = [](int64_t at) {
    return SurveyInterference{{}, [at](int64_t n, const std::string&, std::atomic<bool>& stop) {
                                if (n == at) stop = true;
                              }};
  };
  const Case cases[] = {
      {"after the first entry", stop_after_entry(1)},      {"after the fourth entry", stop_after_entry(4)},
      {"after the tenth entry", stop_after_entry(10)},     {"on entering the first folder", stop_on_events(1)},
      {"on entering the third folder", stop_on_events(3)},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> expected = SurveyOutcome(folder_, Options(1), c.interference);
    ASSERT_EQ(CountLines(expected, "walk"), 1u);
    for (const unsigned threads : kThreadCounts) {
      SCOPED_TRACE(std::string("Stop ") + c.name + ", threads " + std::to_string(threads));
      EXPECT_EQ(SurveyOutcome(folder_, Options(threads), c.interference), expected);
    }
  }
}

TEST_P(ParallelSurveyTest, AnExceptionFromAHookEndsItAlike) {
  // Thrown after the third entry, while workers are still reading ahead: the survey leaves by the
  // exception and every thread it started is joined (a thread left running would end the test program).
  const SurveyInterference interference{[](int64_t n, const std::string& path, std::atomic<bool>&) {
                                          if (n == 3) throw std::runtime_error("hook failed after " + path);
                                        },
                                        {}};
  const std::vector<std::string> expected = SurveyOutcome(folder_, Options(1), interference);
  ASSERT_EQ(CountLines(expected, "exception"), 1u);
  for (const unsigned threads : kThreadCounts) {
    SCOPED_TRACE("threads " + std::to_string(threads));
    EXPECT_EQ(SurveyOutcome(folder_, Options(threads), interference), expected);
  }
}

TEST_P(ParallelSurveyTest, TheTraceIsTheOneThreadedTrace) {
  testing::TempFolder program;
  const fs::path trace = program.path() / "test.txt";
  std::vector<std::string> traces;
  std::vector<std::vector<std::string>> outcomes;
  for (const unsigned threads : {1u, 2u}) {
    SurveyOptions options = Options(threads);
    options.trace_path = trace.string();
    // Stopped part-way, so that the trace names a photo in the middle of the walk.
    outcomes.push_back(SurveyOutcome(folder_, options,
                                     {[](int64_t n, const std::string&, std::atomic<bool>& stop) {
                                        if (n == 5) stop = true;
                                      },
                                      {}}));
    std::ifstream in(trace, std::ios::binary);
    traces.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  EXPECT_EQ(outcomes[1], outcomes[0]);
  EXPECT_TRUE(traces[0].ends_with(" +\r\n")) << traces[0];
  EXPECT_EQ(traces[1], traces[0]);
}

INSTANTIATE_TEST_SUITE_P(Folders, ParallelSurveyTest, ::testing::Values("demo", "corpus"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
}  // namespace lumetra
