#pragma once

#include <stdexcept>
#include <string>

namespace lumetra {

/// The metadata reader's one failure: a read outside a buffer, a value that cannot be parsed or converted,
/// a file that cannot be opened. It is caught at fixed levels (a sub-directory, a maker note, the whole
/// file) and never leaves the per-file entry point `TimgData::ProcessFile`.
class ReaderError : public std::runtime_error {
 public:
  explicit ReaderError(const std::string& message);
};

}  // namespace lumetra
