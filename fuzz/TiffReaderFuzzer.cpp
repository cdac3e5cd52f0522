// Fuzz target: a TIFF-structured file's bytes (".tif", ".nef") read as the survey reads a photo: the first
// directory found after the header, its sub-directories and maker note, and the survey's record.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/ReadAsSurvey.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lumetra::fuzz::ReadAsSurvey(std::string_view(reinterpret_cast<const char*>(data), size), ".tif");
  return 0;
}
