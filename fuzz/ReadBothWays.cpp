#include "fuzz/ReadBothWays.h"

#include <optional>
#include <vector>

#include "crop/CropStore.h"
#include "metadata/ExifData.h"
#include "survey/ExtractPhoto.h"
#include "survey/ReadPhotoTags.h"

namespace lumetra::fuzz {
namespace {

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string DifferenceBetweenRecords(const std::optional<PhotoRecord>& full,
                                     const std::optional<PhotoRecord>& selective) {
  if (full.has_value() != selective.has_value()) {
    return std::string("the full read ") + (full ? "counts" : "does not count") + " the photo, the selective one " +
           (selective ? "does" : "does not");
  }
  if (!full) return {};
  for (int field = 0; field < PhotoRecord::kFieldCount; ++field) {
    if (full->Field(field) != selective->Field(field)) {
      return "record field " + std::to_string(field) + ": " + Quoted(full->Field(field)) + " against " +
             Quoted(selective->Field(field));
    }
  }
  if (full->labels != selective->labels) return "the records' labels differ";
  return {};
}

}  // namespace

PhotoTags FullRead(std::string_view bytes, std::string_view extension) {
  TimgData data(BuildAll);
  data.ProcessBytes(bytes, extension);
  PhotoTags tags = TagsOf(data);
  AddXmpLens(data, tags);
  return tags;
}

PhotoTags SelectiveRead(std::string_view bytes, std::string_view extension) {
  return ReadPhotoTagsOfBytes(bytes, extension);
}

std::string DifferenceBetweenReads(const PhotoTags& full, const PhotoTags& selective) {
  if (full.has_exif != selective.has_exif) return "has_exif differs";
  for (size_t i = 0; i < kPhotoTagCount; ++i) {
    if (full.texts[i] != selective.texts[i]) {
      return "tag " + std::to_string(i) + ": " + Quoted(full.texts[i]) + " against " + Quoted(selective.texts[i]);
    }
  }
  if (full.taken != selective.taken) {
    return "capture time: " + CaptureTimeText(full.taken) + " against " + CaptureTimeText(selective.taken);
  }
  if (full.makerLensText != selective.makerLensText) {
    return "maker lens text: " + Quoted(full.makerLensText) + " against " + Quoted(selective.makerLensText);
  }
  if (full.xmp_lens != selective.xmp_lens || full.xmp_lens_info != selective.xmp_lens_info) {
    return "XMP lens: " + Quoted(full.xmp_lens + " " + full.xmp_lens_info) + " against " +
           Quoted(selective.xmp_lens + " " + selective.xmp_lens_info);
  }
  for (const int64_t stored : {int64_t{0}, kMaxCropFactor}) {
    for (const Language language : {kRussian, kEnglish}) {
      std::vector<UnknownCamera> full_unknown;
      std::vector<UnknownCamera> selective_unknown;
      ExtractionContext context;
      context.language = language;
      context.crop_factor = [stored](const std::string&, const std::string&) { return stored; };
      context.UnknownCameras = &full_unknown;
      const std::optional<PhotoRecord> full_record = RecordFromTags(full, context);
      context.UnknownCameras = &selective_unknown;
      const std::optional<PhotoRecord> selective_record = RecordFromTags(selective, context);
      if (std::string difference = DifferenceBetweenRecords(full_record, selective_record); !difference.empty()) {
        return difference;
      }
      if (full_unknown.size() != selective_unknown.size()) return "the unknown-camera notes differ";
    }
  }
  return {};
}

}  // namespace lumetra::fuzz
