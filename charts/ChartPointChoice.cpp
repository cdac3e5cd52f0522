#include "charts/ChartPointChoice.h"

#include "charts/ChartTable.h"

namespace lumetra {

ChartChoice ChoiceOfPoint(const SurveyState& state, ChartId chart, const ChartPoint& point, ChartCommand command,
                          bool rb_Real) {
  FilterDimension dimension = RowOf(chart).filter_dimension;
  if (dimension == FilterDimension::kFocalReal && !rb_Real) dimension = FilterDimension::kFocal35;
  return ChartChoice{.dimension = dimension,
                     .rows = ChartTally(state, chart, rb_Real),
                     .row = point.row,
                     .command = command,
                     .filtered_count = state.filteredCount,
                     .rb_Real = rb_Real};
}

}  // namespace lumetra
