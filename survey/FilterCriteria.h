#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "survey/Labels.h"

namespace lumetra {

/// One entry of the model or lens check list: a tally row's text and whether its box is checked.
struct CheckEntry {
  std::string text;
  bool checked = true;
};

/// The fourteen category boxes of the filter: the exposure programs and metering modes admitted.
struct CategoryBoxes {
  // Exposure programs admitted.
  bool cb_Manual = true;
  bool cb_Aperture = true;
  bool cb_Shutter = true;
  bool cb_Normal = true;
  bool cb_Action = true;
  bool cb_Portrait = true;
  bool cb_Landscape = true;
  bool cb_OtherP = true;
  // Metering modes admitted.
  bool cb_Average = true;
  bool cb_Spot = true;
  bool cb_Partial = true;
  bool cb_Multi_Segment = true;
  bool cb_Multi_Spot = true;
  bool cb_OtherE = true;
};

/// The filter as the program holds it: the fields the filter dialog shows and edits, read live by the
/// filter test at every tally. Defaults: no bounds, every category admitted, no flash or orientation
/// condition, nothing excluded.
struct FilterCriteria : CategoryBoxes {
  // Exposure-time bounds: decimal seconds (0.5, 2) or a fraction (1/250); empty = no bound.
  std::string ed_from1;
  std::string ed_to1;
  // F-number bounds, decimal with ".".
  std::string ed_from2;
  std::string ed_to2;
  // Focal-length bounds, whole millimetres.
  std::string ed_from3;
  std::string ed_to3;
  // ISO bounds, integers.
  std::string ed_from4;
  std::string ed_to4;
  // Capture-date bounds, "YYYY-MM-DD", both days included.
  std::string ed_from5;
  std::string ed_to5;
  // Capture-hour bounds, 0 to 23, both hours included; a lower bound above the upper spans midnight
  // (22 to 4 is the night).
  std::string ed_from6;
  std::string ed_to6;

  // At most one of each pair is set; neither = no condition.
  bool rb_Flash_Yes = false;
  bool rb_Flash_No = false;
  bool rb_Orientation_H = false;
  bool rb_Orientation_V = false;

  /// One entry per row of the model and lens tallies, rebuilt by the tallies.
  std::vector<CheckEntry> ModelChecks;
  std::vector<CheckEntry> LensChecks;
  /// The texts whose entries were unchecked at the last Apply.
  std::vector<std::string> ModelExclusions;
  std::vector<std::string> LensExclusions;

  /// Set when the filter dialog is opened, cleared by Cancel: while set, a reset of the tallies keeps the
  /// model and lens rows and their check entries.
  bool keepChecks = false;
};

/// The category part of the filter as last applied: the fourteen boxes, the flash choice (0 yes, 1 no,
/// 2 none) and the orientation choice (0 horizontal, 1 vertical, 2 none).
struct AppliedChoices : CategoryBoxes {
  int flash = 2;
  int orientation = 2;
};

/// The two groups of category boxes.
enum class BoxGroup : uint8_t { kProgram, kMetering };

/// One category box of the filter: its name (the control's without "cb_", as the command line takes it),
/// its group, its field, and the labels of the photos it admits (kNone where it admits fewer than two).
struct CategoryBox {
  std::string_view name;
  BoxGroup group;
  bool CategoryBoxes::*box;
  std::array<LabelId, 2> labels;
};

/// The fourteen boxes: the eight exposure programs, then the six metering modes. The last of each group
/// admits what the others do not name: creative and undetermined programs, undetermined metering.
extern const std::array<CategoryBox, 14> kCategoryBoxes;

}  // namespace lumetra
