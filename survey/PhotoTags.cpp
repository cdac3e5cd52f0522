#include "survey/PhotoTags.h"

#include <algorithm>
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

// The tags the capture time is taken from, in the order they are tried.
constexpr std::array<std::string_view, 3> kCaptureTimeNames = {"DateTimeOriginal", "DateTimeDigitized", "DateTime"};

// A tag that holds no real moment (zeros, blanks) gives way to the next, as a missing one does. `first` is
// where each name's first entry stands (-1: none), found while the record's tags were taken.
int64_t CaptureTimeOf(const TImageInfo& info, const std::array<int, kCaptureTimeNames.size()>& first) {
  for (const int index : first) {
    if (index < 0) continue;
    if (const int64_t taken = ParseCaptureTime(info.Tags[static_cast<size_t>(index)].Text); taken != kNoCaptureTime) {
      return taken;
    }
  }
  return kNoCaptureTime;
}

}  // namespace

const TagSelection& SurveyTagSelection() {
  static const TagSelection selection([] {
    std::array<std::string_view, kPhotoTagCount + kCaptureTimeNames.size()> names{};
    std::copy(kCaptureTimeNames.begin(), kCaptureTimeNames.end(),
              std::copy(kTagNames.begin(), kTagNames.end(), names.begin()));
    return names;
  }());
  return selection;
}

PhotoTags TagsOf(const TimgData& data) {
  PhotoTags tags;
  FillTagsOf(data, tags);
  return tags;
}

void PhotoTags::Clear() {
  has_exif = false;
  for (std::string& text : texts) text.clear();
  makerLensText.clear();
  xmp_lens.clear();
  xmp_lens_info.clear();
  taken = kNoCaptureTime;
  file = FileIdentity{};
  unread_reason.clear();
  remembered = false;
}

void FillTagsOf(const TimgData& data, PhotoTags& tags, TagList* spent) {
  tags.file = data.File;
  if (!data.HasExif() || !data.ImageInfo) return;
  tags.has_exif = true;
  tags.makerLensText = data.Context.makerLensText;
  // One pass over the listed tags, the first of each name counting, as a lookup by name finds it. Tag
  // texts become UTF-8 here: bytes that are not UTF-8 are read as Latin-1.
  std::array<bool, kPhotoTagCount> found{};
  std::array<int, kCaptureTimeNames.size()> capture_time_at{-1, -1, -1};
  const TagSelection& selection = SurveyTagSelection();
  const TagList& entries = data.ImageInfo->Tags;
  // A read with this very selection found where it holds most entries' names as it listed them.
  const bool indexes_known = data.Selection == &selection;
  for (size_t i = 0; i < entries.size(); ++i) {
    const int16_t known = indexes_known ? entries[i].SelectionIndex : kSelectionUnknown;
    const int index = known == kSelectionUnknown ? selection.IndexOf(entries[i].Name) : known;
    if (index < 0) continue;
    // The selection lists the capture time's names after the record's tags.
    if (static_cast<size_t>(index) >= kPhotoTagCount) {
      int& at = capture_time_at[static_cast<size_t>(index) - kPhotoTagCount];
      if (at < 0) at = static_cast<int>(i);
      continue;
    }
    if (found[static_cast<size_t>(index)]) continue;
    found[static_cast<size_t>(index)] = true;
    std::string& text = tags.texts[static_cast<size_t>(index)];
    if (spent != nullptr && IsValidUtf8(entries[i].Text)) {
      text = std::move((*spent)[i].Text);
    } else {
      text = TextAsUtf8(entries[i].Text);
    }
  }
  tags.taken = CaptureTimeOf(*data.ImageInfo, capture_time_at);
}

}  // namespace lumetra
