#pragma once

#include <array>

#include "charts/ChartModel.h"
#include "survey/Tallies.h"

namespace lumetra {

/// The display settings a build reads: real or 35 mm focal length, text or linear axis, and the
/// language of the short undetermined label and of the grouped slice.
struct ChartSettings {
  bool rb_Real = true;
  bool rb_Text = true;
  Language language = kEnglish;
};

/// Which charts a build refills.
enum class RebuildMode : int {
  /// Every chart: after a run, an Apply of the filter, an axis or language switch.
  kAll = 0,
  /// The focal-length chart: after a switch of real/35 mm or the unknown-cameras merge.
  kFocal = 1,
  /// The focal-length and crop-factor charts: after the crop database editor.
  kFocalAndCrop = 2,
};

/// Refills the series of the charts `mode` names from the tallies of `state`. With no filtered photo
/// (`filteredCount` 0) those charts are emptied, never divided by zero.
void BuildChartSeries(ChartSet& charts, const SurveyState& state, RebuildMode mode, const ChartSettings& settings);

/// The display reset: every series emptied, each pie given one point of value 0 in its fixed colour so
/// that an empty pie draws a coloured disc.
void ResetChartSeries(ChartSet& charts);

/// The 19 slice colours, entry 1 first.
extern const std::array<ChartColour, 19> SlicePalette;
/// Entry ((n - 1) mod 19) + 1 of `SlicePalette`, the modulo taken mathematically: 0 gives entry 19,
/// 20 entry 1.
[[nodiscard]] ChartColour PaletteColour(int n);

}  // namespace lumetra
