#pragma once

#include <string_view>
#include <vector>

namespace lumetra {

/// `text` cut into lines at each LF, one CR before the LF dropped, so that CR LF and LF files read the
/// same. A last line without LF is a line; a final LF does not start an empty one. The lines view `text`.
[[nodiscard]] std::vector<std::string_view> SplitLines(std::string_view text);

}  // namespace lumetra
