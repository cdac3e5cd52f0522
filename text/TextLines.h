#pragma once

#include <string_view>
#include <vector>

namespace lumetra {

/// One line of a text as it stands: its text without the line end, and the line end itself ("\r\n", "\n",
/// or "" for a last line without one).
struct TextLine {
  std::string_view text;
  std::string_view end;
};

/// `text` cut into lines at each LF, the line ends kept apart, so that a file can be written back byte for
/// byte. A last line without LF is a line; a final LF does not start an empty one. The lines view `text`.
[[nodiscard]] std::vector<TextLine> SplitLinesKeepingEnds(std::string_view text);

/// `text` cut into lines at each LF, one CR before the LF dropped, so that CR LF and LF files read the
/// same. A last line without LF is a line; a final LF does not start an empty one. The lines view `text`.
[[nodiscard]] std::vector<std::string_view> SplitLines(std::string_view text);

}  // namespace lumetra
