#pragma once

#include <cstddef>
#include <string>

#include "survey/PhotoStore.h"

namespace lumetra::cli {

/// Appends row `row` of `photos` to `out` as `survey --json` prints a record: one compact object of the
/// path (by the paths' rule, see AddJsonPath), the fifteen texts and "taken" (the capture time or null),
/// written straight from the store. Byte for byte what the JSON library prints for the same object.
void AppendRecordJson(const PhotoStore& photos, size_t row, std::string& out);

}  // namespace lumetra::cli
