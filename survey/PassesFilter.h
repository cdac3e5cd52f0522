#pragma once

#include "survey/FilterCriteria.h"
#include "survey/PhotoRecord.h"
#include "survey/PhotoView.h"

namespace lumetra {

/// Whether a photo takes part in the tallies under `criteria`, as they stand now. `rb_Real` chooses which
/// focal length the focal bounds apply to (the real one, or the 35 mm equivalent). Categories are compared
/// by label, so a photo read in one language is judged the same after a switch. An F-number, focal or ISO
/// bound that does not read as a number admits no photo (exposure bounds read as exposure times do); an
/// F-number that is not a number fails any F-number bound. A date or hour bound that does not read admits no
/// photo; a photo without a capture time fails any date or hour bound and passes when none is set.
[[nodiscard]] bool PassesFilter(const PhotoView& photo, const FilterCriteria& criteria, bool rb_Real);
[[nodiscard]] inline bool PassesFilter(const PhotoRecord& record, const FilterCriteria& criteria, bool rb_Real) {
  return PassesFilter(PhotoView(record), criteria, rb_Real);
}

}  // namespace lumetra
