#include "survey/PhotoTags.h"

#include <string_view>

#include "metadata/ExifData.h"
#include "metadata/TagSelection.h"
#include "text/TextEncoding.h"

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
    "MakerLensModel",
    "LensSpecification",
    "LensInfo",
    "LensInformation",
    "Focal Units",
    "MinFocalLength",
    "MaxFocalLength",
    "MaxApertureAtMinFocal",
    "MaxApertureAtMaxFocal",
};

}  // namespace

const TagSelection& SurveyTagSelection() {
  static const TagSelection selection(kTagNames);
  return selection;
}

PhotoTags TagsOf(const TimgData& data) {
  PhotoTags tags;
  tags.file = data.File;
  if (!data.HasExif() || !data.ImageInfo) return tags;
  tags.has_exif = true;
  // One pass over the listed tags, the first of each name counting, as a lookup by name finds it. Tag
  // texts become UTF-8 here: bytes that are not UTF-8 are read as Latin-1.
  std::array<bool, kPhotoTagCount> found{};
  for (const TTagEntry& entry : data.ImageInfo->Tags) {
    const int index = SurveyTagSelection().IndexOf(entry.Name);
    if (index < 0 || found[static_cast<size_t>(index)]) continue;
    found[static_cast<size_t>(index)] = true;
    tags.texts[static_cast<size_t>(index)] = TextAsUtf8(entry.Text);
  }
  tags.makerLensText = data.Context.makerLensText;
  return tags;
}

}  // namespace lumetra
