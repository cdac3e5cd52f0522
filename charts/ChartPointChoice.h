#pragma once

#include "charts/ChartModel.h"
#include "filter/ChartFilterChange.h"
#include "survey/Tallies.h"

namespace lumetra {

/// What a chart command on `point`, a bar or slice of `chart` as built from `state`, asks of the filter:
/// the chart's filter dimension (the focal length in the mode `rb_Real` shows), the tally the chart was
/// built from and the point's row of it, and the photos that passed the filter.
[[nodiscard]] ChartChoice ChoiceOfPoint(const SurveyState& state, ChartId chart, const ChartPoint& point,
                                        ChartCommand command, bool rb_Real);

}  // namespace lumetra
