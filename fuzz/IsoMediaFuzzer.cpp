// Fuzz target: an ISO base media file's bytes (HEIC, HEIF, AVIF, CR3) given to the Exif locators, and the
// TIFF structures they find read as the survey reads a TIFF photo; then the whole file as the reader reads
// a HEIC or CR3 photo. A failure other than the reader's own
// `ReaderError`, or a result beyond the limits, aborts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/ReadAsSurvey.h"
#include "metadata/ByteSource.h"
#include "metadata/ContainerKind.h"
#include "metadata/IsoMediaExif.h"
#include "metadata/ReaderError.h"

namespace {

void ExpectWithinLimit(const std::string& block, const char* what) {
  if (block.size() > lumetra::iso_media_limits::kMaxExifBytes) {
    std::fprintf(stderr, "%s of %zu bytes is beyond the limit\n", what, block.size());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  lumetra::MemorySource source(bytes);
  static_cast<void>(lumetra::SniffContainer(source));
  try {
    if (const std::optional<std::string> tiff = lumetra::ReadIsoMediaExif(source)) {
      ExpectWithinLimit(*tiff, "the Exif item");
      lumetra::fuzz::ReadAsSurvey(*tiff, ".tif");
    }
  } catch (const lumetra::ReaderError&) {
    // A refused structure: the file has no Exif for the survey.
  }
  try {
    if (const std::optional<lumetra::Cr3ExifBlocks> blocks = lumetra::ReadCr3Exif(source)) {
      for (const std::string* block : {&blocks->ifd0, &blocks->exif, &blocks->maker_note, &blocks->gps}) {
        ExpectWithinLimit(*block, "a CR3 block");
        if (!block->empty()) lumetra::fuzz::ReadAsSurvey(*block, ".tif");
      }
    }
  } catch (const lumetra::ReaderError&) {
  }
  // The same bytes through the reader's own door, where the blocks are walked together.
  lumetra::fuzz::ReadAsSurvey(bytes, ".heic");
  return 0;
}
