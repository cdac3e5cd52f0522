#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "survey/FilterCriteria.h"

namespace lumetra {

/// The six pairs of bound boxes; each pair has its own input rules.
enum class BoundKind { kExposure, kFNumber, kFocal, kIso, kDate, kHour };

/// Whether a bound box of `kind` may hold `text`: exposure digits with at most one "." and at most one "/",
/// at most 6 characters; F-number digits with at most one ".", at most 4; focal length and ISO digits only,
/// at most 6; a date digits with at most two "-", at most 10; an hour digits only, at most 2. The empty text
/// is allowed everywhere.
[[nodiscard]] bool IsBoundTextAllowed(BoundKind kind, std::string_view text);

/// The text a bound box of `kind` keeps when an edit (a keystroke, a paste, a deletion or a cut) would turn
/// `before`, its last accepted text, into `after`: `after` when the box's rules allow it, otherwise `before`
/// (the edit is undone silently). A second "/" or "." is undone, a character the box does not take is
/// refused, and so is a character beyond the length limit; an edit that only shortens a text is never
/// refused for its length. Typed and pasted text are judged alike.
[[nodiscard]] std::string EditedBoundText(BoundKind kind, std::string_view before, std::string_view after);

/// Whether `text`, with "0" put in front and every "," taken as ".", reads as a decimal number equal to 0 in
/// single precision: "0", "00", "0.0" and a lone "." are zero; "1/250" and "2" are not.
[[nodiscard]] bool IsZeroText(std::string_view text);

/// The boxes of the filter dialog that Apply paints in the invalid colour.
struct PaintedBoxes {
  bool ed_from1 = false;
  bool ed_to1 = false;
  bool ed_from2 = false;
  bool ed_to2 = false;
  bool ed_from3 = false;
  bool ed_to3 = false;
  bool ed_from4 = false;
  bool ed_to4 = false;
  bool ed_from5 = false;
  bool ed_to5 = false;
  bool ed_from6 = false;
  bool ed_to6 = false;
  bool ScrollBox_Photo = false;
  bool ScrollBox_Lens = false;
};

/// The outcome of Apply's checks: `valid` when every check passed; otherwise the boxes to paint (a zero
/// bound fails without painting anything).
struct ApplyCheckResult {
  bool valid = true;
  PaintedBoxes painted;
};

/// Apply's checks of `criteria`, all of them run, in the order the dialog shows the boxes:
/// - An exposure bound reads as decimal seconds or as a fraction. A fraction whose numerator is not
///   exactly "1" is rewritten in `criteria` as "1/N", N = Round(1 / value) (2/500 becomes 1/250), even when
///   another check fails. Refused and painted: a text the box may not hold, a fraction with an empty,
///   zero or unreadable part (1/0, 0/5, ./4), a fraction of a second or more that would be rewritten as
///   1/1 or 1/0 (3/2, 5/2), and a time shorter than 1/10000 s would count as. A text that is "/" paints
///   both boxes; a lower bound above the upper paints both.
/// - F-number, focal-length and ISO bounds: a text the box may not hold is painted, a lower bound above the
///   upper paints both, a lone "." is painted.
/// - Date bounds: a text that is not a day "YYYY-MM-DD" of the years 1900..2100 is painted, a lower bound
///   after the upper paints both. Hour bounds: a text that is not a whole hour 0..23 is painted; a lower
///   bound above the upper is a range across midnight, not a fault.
/// - Any exposure, F-number, focal-length or ISO bound that reads as 0 fails without painting (hour 0 is
///   midnight, a bound like any other).
/// - When photos were processed, a non-empty model or lens check list with no entry checked fails: the
///   model list is painted, or else the lens list. An empty list (no photo passed) never fails.
[[nodiscard]] ApplyCheckResult CheckApply(FilterCriteria& criteria, int32_t processedCount);

/// Whether `criteria` sets no criterion: all twelve bounds empty, no radio button checked, all 14 category
/// boxes checked and every model and lens entry checked. The exclusion lists are not looked at; Apply
/// rebuilds them.
[[nodiscard]] bool HasNoCriteria(const FilterCriteria& criteria);

/// The Clear command on the criteria: empties the bounds, checks the 14 boxes, unchecks the radio buttons,
/// checks every model and lens entry (keeping the entries) and empties the exclusion lists. `keepChecks`
/// is left alone; the dialog resets its own last accepted texts and backgrounds.
void ClearCriteria(FilterCriteria& criteria);

/// The 14 category boxes and the two radio-button choices of `criteria` (flash and orientation: 0 the first
/// button, 1 the second, 2 neither).
[[nodiscard]] AppliedChoices ChoicesOf(const FilterCriteria& criteria);

/// Sets the 14 category boxes and the four radio buttons of `criteria` from `applied`, as the dialog does
/// each time it is shown; a choice other than 0 or 1 unchecks both buttons of its pair.
void RestoreAppliedChoices(FilterCriteria& criteria, const AppliedChoices& applied);

/// Replaces `ModelExclusions` and `LensExclusions` with the texts of the unchecked `ModelChecks` and
/// `LensChecks` entries, in list order.
void BuildExclusions(FilterCriteria& criteria);

/// What a valid Apply stores: with no criterion set, clears `criteria` and resets `applied` to its initial
/// value and returns false (no filter is active); otherwise rebuilds the exclusion lists, stores the choices
/// in `applied` and returns true.
bool StoreAppliedFilter(FilterCriteria& criteria, AppliedChoices& applied);

}  // namespace lumetra
