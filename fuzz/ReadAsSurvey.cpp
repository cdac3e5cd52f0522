#include "fuzz/ReadAsSurvey.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "crop/CropStore.h"
#include "fuzz/ReadBothWays.h"
#include "metadata/ExifData.h"
#include "metadata/ReaderError.h"
#include "survey/ExtractPhoto.h"
#include "survey/PhotoTags.h"
#include "survey/ReadPhotoTags.h"
#include "text/TextEncoding.h"

namespace lumetra::fuzz {
namespace {

// Turns every listed text into UTF-8 as the JSON output of lumetra-cli does, so that the conversion sees
// the bytes the reader let through.
size_t ConvertTexts(std::span<const TTagEntry> tags) {
  size_t size = 0;
  for (const TTagEntry& entry : tags) size += TextAsUtf8(entry.Name).size() + TextAsUtf8(entry.Text).size();
  return size;
}

}  // namespace

void ReadAsSurvey(std::string_view bytes, std::string_view extension) {
  TimgData data(BuildAll);
  data.ProcessBytes(bytes, extension);
  // Bytes in memory cannot fail to open, so this text means some other exception escaped a walk.
  if (data.ErrorText == "Illegal Exif construction") {
    std::fprintf(stderr, "an exception other than ReaderError reached ProcessBytes\n");
    std::abort();
  }
  if (data.ImageInfo) static_cast<void>(ConvertTexts(data.ImageInfo->Tags));

  // The survey reads selectively; whatever the bytes, that read must give what the full one gives, the
  // lens of the XMP packet included.
  PhotoTags full = TagsOf(data);
  AddXmpLens(data, full);
  const std::string difference = DifferenceBetweenReads(full, SelectiveRead(bytes, extension));
  if (!difference.empty()) {
    std::fprintf(stderr, "the survey's selective read differs from the full read: %s\n", difference.c_str());
    std::abort();
  }

  if (data.IptcInfo) {
    try {
      data.IptcInfo->ParseIptc(data.Sections[static_cast<size_t>(data.IptcSection)].Data);
    } catch (const ReaderError&) {
      // A dataset header cut off by the end: the list is empty, as the caller expects.
    }
    static_cast<void>(ConvertTexts(data.IptcInfo->Tags));
  }

  std::vector<UnknownCamera> unknown_cameras;
  ExtractionContext context;
  context.UnknownCameras = &unknown_cameras;
  // A camera missing from the store (its factor derived from the photo) and one the store knows with the
  // largest factor it accepts.
  for (const int64_t stored : {int64_t{0}, kMaxCropFactor}) {
    context.crop_factor = [stored](const std::string&, const std::string&) { return stored; };
    for (const Language language : {kRussian, kEnglish}) {
      context.language = language;
      static_cast<void>(ExtractPhotoRecord(data, context));
    }
  }
}

}  // namespace lumetra::fuzz
