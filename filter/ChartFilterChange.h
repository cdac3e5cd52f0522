#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "survey/FilterCriteria.h"
#include "survey/Labels.h"
#include "survey/Tallies.h"

namespace lumetra {

/// What the bars of a chart stand for, as far as the filter is concerned. The focal length is named with
/// the mode the chart shows. Make, crop factor, focus and drive have no condition in the filter.
/// The time-of-shooting charts join here once the filter holds date and hour bounds.
enum class FilterDimension : uint8_t {
  kExposure,
  kFNumber,
  kFocalReal,
  kFocal35,
  kIso,
  kProgram,
  kMetering,
  kModel,
  kLens,
  kFlash,
  kOrientation,
  kMake,
  kCrop,
  kFocus,
  kDrive,
  kDate,
  kWeekday,
  kHour,
};

/// The two commands a bar or slice offers: keep only its photos, or leave its photos out.
enum class ChartCommand : uint8_t { kOnly, kAllBut };

/// The bar or slice a chart command is given, with what the chart was drawn from.
struct ChartChoice {
  FilterDimension dimension;
  /// The tally the chart shows (for the focal length, the one of the mode the chart shows).
  std::span<const myRecord> rows;
  /// The bar's or slice's row of `rows`; empty for the "Other" slice of a grouped pie.
  std::optional<size_t> row;
  ChartCommand command;
  /// The photos that passed the applied filter (`filteredCount`): the flash chart leaves out photos without
  /// a flash reading, and this tells whether there are any.
  int32_t filtered_count = 0;
  /// The focal length the filter's focal bounds apply to: real (true) or 35 mm.
  bool rb_Real = true;
};

/// The filter a chart command makes, or why it cannot make one.
struct FilterChange {
  /// The new filter, merged with the applied one; empty when the filter cannot express the command exactly.
  std::optional<FilterCriteria> criteria;
  /// Why not, for the status bar.
  TextPair reason;
};

/// The filter that `choice` makes of `applied`: exactly what the filter dialog could make for the same
/// choice and Apply would store (a bound pair for exposure, F-number, focal length and ISO; the category
/// boxes for program and metering; the check lists and exclusions for model and lens; a radio button for
/// flash and orientation), with the applied criteria kept beside it. The new filter keeps exactly the
/// photos of the applied one that the command keeps; where the dialog's fields cannot say that — a value
/// inside a range left out, the photos without a value chosen alone, a box that also admits another shown
/// value, a value the bound boxes cannot hold, a command that would leave no photo — the change is refused
/// with a reason. `processedCount` is the number of stored photos, as Apply's checks take it. The result has
/// `keepChecks` set, as after an Apply; its choices for the dialog are `ChoicesOf` the result.
[[nodiscard]] FilterChange ChartFilterChange(const FilterCriteria& applied, const ChartChoice& choice,
                                             int32_t processedCount);

/// The caption of a chart command for a bar or slice labelled `label`: "Only “1/250”", "All but “1/250”"; a
/// two-line label is written on one line.
[[nodiscard]] std::string ChartCommandCaption(ChartCommand command, std::string_view label, Language language);

}  // namespace lumetra
