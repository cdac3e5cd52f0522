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

}  // namespace lumetra
