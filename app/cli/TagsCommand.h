#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace lumetra::cli {

/// How `tags` prints each file.
struct TagsOptions {
  /// One JSON array with an object per file instead of text.
  bool json = false;
  /// Also the IPTC datasets of the file's first APP13 segment.
  bool iptc = false;
};

/// Prints what the metadata reader sees in each file: the listed tags in list order and the reader's
/// outcome text, as text or as a JSON array; with `iptc`, the IPTC datasets too. A broken IPTC block is
/// reported in that file's output, with the datasets read before the damage. Returns the process exit code:
/// 0 when every file could be looked at, 1 when a file does not exist or cannot be opened (one line on
/// `errors` with the reason: "no such file", "Permission denied", "Is a directory") or the output could
/// not be written.
int RunTagsCommand(const std::vector<std::string>& files, const TagsOptions& options, std::ostream& out,
                   std::ostream& errors);

}  // namespace lumetra::cli
