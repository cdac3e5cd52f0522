#include "survey/PhotoTags.h"

#include <string_view>

#include "metadata/ExifData.h"
#include "metadata/TextEncoding.h"

namespace lumetra {
namespace {

// The reader's names of the tags, in PhotoTag order; looked up ignoring case.
constexpr std::array<std::string_view, kPhotoTagCount> kTagNames = {
    "Model",
    "Make",
    "FocalLength",
    "FocalLengthin35mmFilm",
    "ExposureTime",
    "FNumber",
    "ISOSpeedRatings",
    "ExposureProgram",
    "MeteringMode",
    "Flash",
    "Orientation",
    "LensModel",
    "Short focal",
    "Long focal",
    "Focus Mode",
    "Drive Mode",
    "DateTimeOriginal",
    "DateTimeDigitized",
    "DateTime",
};

}  // namespace

const TagSelection& SurveyTagSelection() {
  static const TagSelection selection(kTagNames);
  return selection;
}

PhotoTags ReadPhotoTags(const std::string& path) {
  TimgData data(SurveyTagSelection());
  data.ProcessFile(path);
  PhotoTags tags = TagsOf(data);
  tags.unread_reason = data.open_failure;
  return tags;
}

PhotoTags TagsOf(const TimgData& data) {
  PhotoTags tags;
  tags.file = data.File;
  if (!data.HasExif() || !data.ImageInfo) return tags;
  tags.has_exif = true;
  // Tag texts become UTF-8 here: bytes that are not UTF-8 are read as Latin-1.
  for (size_t i = 0; i < kPhotoTagCount; ++i) tags.texts[i] = TextAsUtf8(data.ImageInfo->TagText(kTagNames[i]));
  tags.makerLensText = data.Context.makerLensText;
  return tags;
}

}  // namespace lumetra
