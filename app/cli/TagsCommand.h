#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace lumetra::cli {

/// Prints what the metadata reader sees in each file: the listed tags in list order and the reader's
/// outcome text, as text or as a JSON array. Returns the process exit code: 0 when every file could be
/// looked at, 1 when a file does not exist (reported on `errors`).
int RunTagsCommand(const std::vector<std::string>& files, bool json, std::ostream& out, std::ostream& errors);

}  // namespace lumetra::cli
