#include "metadata/ReaderError.h"

namespace lumetra {

ReaderError::ReaderError(const std::string& message) : std::runtime_error(message) {}

}  // namespace lumetra
