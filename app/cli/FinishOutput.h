#pragma once

#include <ostream>

namespace lumetra::cli {

/// Flushes `out` and checks that everything written to it arrived. Returns `exit_code` when it did;
/// otherwise writes one line on `errors` ("lumetra-cli: the output could not be written: No space left on
/// device") and returns 1, so that a full disk or a closed pipe is never reported as success.
[[nodiscard]] int FinishOutput(std::ostream& out, std::ostream& errors, int exit_code);

}  // namespace lumetra::cli
