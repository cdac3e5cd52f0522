// Fuzz target: a JPEG file's bytes read as the survey reads a photo (segments, Exif and GPS directories,
// maker notes, IPTC datasets, the survey's record).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/ReadAsSurvey.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lumetra::fuzz::ReadAsSurvey(std::string_view(reinterpret_cast<const char*>(data), size), ".jpg");
  return 0;
}
