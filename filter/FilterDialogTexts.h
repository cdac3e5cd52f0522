#pragma once

#include <array>
#include <string_view>

#include "survey/Labels.h"

namespace lumetra {

/// The caption of one control of the filter dialog, found by its object name.
struct FilterCaption {
  std::string_view control;
  TextPair text;
};

/// The filter dialog's title.
inline constexpr TextPair kFilterDialogTitle{"Фильтр", "Filter"};

/// Every caption of the filter dialog's controls, set each time it is shown.
extern const std::array<FilterCaption, 41> kFilterCaptions;

/// The captions of the date and hour boxes: their group boxes and their "from" and "to" labels.
extern const std::array<FilterCaption, 6> kTimeFilterCaptions;

/// Where the "from" and "to" labels of the bound boxes stand in each language: the Russian words are
/// shorter and stand further right.
struct BoundLabelLefts {
  int from;
  int to;
  int to_fnumber;
};
[[nodiscard]] BoundLabelLefts BoundLabelLeftsIn(Language language);

/// The chart commands that change the filter, written before the bar's label in quotes of the language:
/// "Only “1/250”", "All but “1/250”".
inline constexpr TextPair kOnlyCommand{"Только", "Only"};
inline constexpr TextPair kAllButCommand{"Все, кроме", "All but"};
inline constexpr TextPair kOpeningQuote{"«", "“"};
inline constexpr TextPair kClosingQuote{"»", "”"};
/// The command that puts back the filter applied before the last change.
inline constexpr TextPair kPreviousFilterCommand{"Предыдущий фильтр", "Previous filter"};

}  // namespace lumetra
