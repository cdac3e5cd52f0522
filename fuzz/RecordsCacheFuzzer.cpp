// Fuzz target: a records database cut and altered byte by byte is opened and read as the survey reads it;
// a row it serves must be exactly the row written (see ReadRecordsCache.h for the input's layout).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/ReadRecordsCache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!lumetra::fuzz::CheckMutatedDatabase(std::string_view(reinterpret_cast<const char*>(data), size)).empty()) {
    __builtin_trap();
  }
  return 0;
}
