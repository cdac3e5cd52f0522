// The engine's part of a chart command ("Only" or "All but" a bar) on a survey of 100,000 photos: the new
// filter made from the bar, then the recount, next to the recount alone in the same process. What is left of
// the command's time goal (under 100 ms until the charts are painted) is the charts' rebuild and paint, which
// filter_apply_bench measures for Apply.
//
// Usage: chart_filter_bench [ROUNDS]
//   Each round, for each command below, times the change alone and the change with its recount, starting
//   from no filter; ROUNDS (default 5) recounts without a filter are timed alone.
//
// Output, one line per measurement, fields as key=value:
//   retally round=N ms= filtered=
//   command round=N chart= command=only|all-but change_ms= total_ms= filtered=
//   summary photos= median_retally_ms= median_change_ms= median_total_ms= total_to_retally=

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/BenchTiming.h"
#include "bench/PhotoLibrary.h"
#include "filter/ChartFilterChange.h"

namespace lumetra {
namespace {

using bench::Clock;
using bench::Median;
using bench::Milliseconds;

// The bar a person would pick: the tallest one.
size_t TallestBar(const std::vector<myRecord>& rows) {
  return static_cast<size_t>(std::max_element(rows.begin(), rows.end(),
                                              [](const myRecord& a, const myRecord& b) { return a.count < b.count; }) -
                             rows.begin());
}

struct Command {
  const char* chart;
  FilterDimension dimension;
  std::vector<myRecord> SurveyState::*rows;
  ChartCommand command;
};

constexpr Command kCommands[] = {
    {"shutter", FilterDimension::kExposure, &SurveyState::tallyShutter, ChartCommand::kOnly},
    {"model", FilterDimension::kModel, &SurveyState::tallyModel, ChartCommand::kOnly},
    {"program", FilterDimension::kProgram, &SurveyState::tallyProgram, ChartCommand::kAllBut},
    {"model", FilterDimension::kModel, &SurveyState::tallyModel, ChartCommand::kAllBut},
};

int Main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  if (bench::CorpusRecords().empty()) {
    std::fprintf(stderr, "no photo of the corpus gave a record: %s (set LUMETRA_CORPUS)\n",
                 bench::CorpusFolder().c_str());
    return 1;
  }
  SurveyState survey;
  FilterCriteria none;
  bench::FillSurvey(survey, none);
  none.keepChecks = true;
  const FilterCriteria unfiltered = none;

  std::vector<double> retally_ms;
  for (int round = 1; round <= rounds; ++round) {
    FilterCriteria criteria = unfiltered;
    const Clock::time_point start = Clock::now();
    survey.Retally(criteria, true);
    retally_ms.push_back(Milliseconds(Clock::now() - start));
    std::printf("retally round=%d ms=%.1f filtered=%d\n", round, retally_ms.back(), survey.filteredCount);
  }

  std::vector<double> change_ms;
  std::vector<double> total_ms;
  for (int round = 1; round <= rounds; ++round) {
    for (const Command& command : kCommands) {
      FilterCriteria criteria = unfiltered;
      survey.Retally(criteria, true);
      const std::vector<myRecord>& rows = survey.*command.rows;
      const Clock::time_point start = Clock::now();
      const FilterChange change = ChartFilterChange(criteria,
                                                    {.dimension = command.dimension,
                                                     .rows = rows,
                                                     .row = TallestBar(rows),
                                                     .command = command.command,
                                                     .filtered_count = survey.filteredCount},
                                                    survey.processedCount);
      const Clock::time_point changed = Clock::now();
      if (!change.criteria) {
        std::fprintf(stderr, "%s: refused: %s\n", command.chart, std::string(change.reason.english).c_str());
        return 1;
      }
      criteria = *change.criteria;
      survey.Retally(criteria, true);
      const Clock::time_point counted = Clock::now();
      change_ms.push_back(Milliseconds(changed - start));
      total_ms.push_back(Milliseconds(counted - start));
      std::printf("command round=%d chart=%s command=%s change_ms=%.3f total_ms=%.1f filtered=%d\n", round,
                  command.chart, command.command == ChartCommand::kOnly ? "only" : "all-but", change_ms.back(),
                  total_ms.back(), survey.filteredCount);
    }
  }
  const double median_retally = Median(retally_ms);
  const double median_total = Median(total_ms);
  std::printf(
      "summary photos=%d median_retally_ms=%.1f median_change_ms=%.3f median_total_ms=%.1f total_to_retally=%.2f\n",
      survey.processedCount, median_retally, Median(change_ms), median_total,
      median_retally > 0 ? median_total / median_retally : 0);
  return 0;
}

}  // namespace
}  // namespace lumetra

int main(int argc, char** argv) { return lumetra::Main(argc, argv); }
