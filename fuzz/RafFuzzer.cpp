// Fuzz target: a Fujifilm RAF file's bytes: the header's JPEG range located and checked, and the embedded
// JPEG read as the survey reads a photo. A failure other than `ReaderError`, or a range outside the
// input, aborts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "fuzz/ReadAsSurvey.h"
#include "metadata/ByteSource.h"
#include "metadata/RafExif.h"
#include "metadata/ReaderError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // The whole file as the reader reads a RAF photo, then the locator's range checked on its own.
  lumetra::fuzz::ReadAsSurvey(bytes, ".raf");
  lumetra::MemorySource source(bytes);
  std::optional<lumetra::ByteRange> jpeg;
  try {
    jpeg = lumetra::LocateRafJpeg(source);
  } catch (const lumetra::ReaderError&) {
    return 0;  // a header cut short or a range outside the file: no Exif
  }
  if (!jpeg) return 0;
  if (jpeg->offset > size || jpeg->length > size - jpeg->offset) {
    std::fprintf(stderr, "the JPEG range %llu+%llu lies outside %zu bytes\n",
                 static_cast<unsigned long long>(jpeg->offset), static_cast<unsigned long long>(jpeg->length), size);
    std::abort();
  }
  lumetra::fuzz::ReadAsSurvey(bytes.substr(jpeg->offset, jpeg->length), ".jpg");
  return 0;
}
