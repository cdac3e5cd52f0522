#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumetra {

/// The interface language; the numbers are the ones the program has always used for them.
enum class Language : int { kRussian = 1, kEnglish = 2 };
using enum Language;

/// A text of the interface in both languages.
struct TextPair {
  std::string_view russian;
  std::string_view english;

  /// The member for `language`.
  [[nodiscard]] std::string_view In(Language language) const { return language == kRussian ? russian : english; }
};

/// Every label a photo record can hold, independent of the language; kNone for a value that is not a
/// label (a number, a camera name). Stored beside the texts so that a photo keeps its category whatever
/// language it was read in.
enum class LabelId : uint8_t {
  kNone,
  NotDeterminedM,
  NotDeterminedF,
  NotDeterminedN,
  LabelManual,
  LabelAperturePriority,
  LabelShutterPriority,
  LabelNormal,
  LabelSport,
  LabelPortrait,
  LabelLandscape,
  LabelCreative,
  LabelAverage,
  LabelPartial,
  LabelSpot,
  LabelMultiSegment,
  LabelMultiSpot,
  LabelFlashOn,
  LabelFlashOff,
  LabelHorizontal,
  LabelVertical,
  LabelSingle,
  LabelSerial,
  // The focus-mode labels read the same in both languages.
  FocusOneShot,
  FocusAIServo,
  FocusAIFocus,
  FocusManual,
  // The days of the week, Monday first.
  WeekdayMonday,
  WeekdayTuesday,
  WeekdayWednesday,
  WeekdayThursday,
  WeekdayFriday,
  WeekdaySaturday,
  WeekdaySunday,
};

/// The label's text in `language` ("\r" breaks two-line labels on chart axes); empty for kNone.
[[nodiscard]] std::string LabelText(LabelId id, Language language);
/// The same text as a view of the built-in table (static), for the survey's records: no string is made.
[[nodiscard]] std::string_view LabelView(LabelId id, Language language);

}  // namespace lumetra
