#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "metadata/FileIdentity.h"
#include "metadata/TagList.h"
#include "survey/CaptureTime.h"

namespace lumetra {

class TimgData;
class TagSelection;

/// The tags a photo record is made of, as the survey asks the reader for them by name.
enum class PhotoTag : int {
  kModel,
  kMake,
  kFocalLength,
  kFocalLengthIn35mm,
  kExposureTime,
  kFNumber,
  kIsoSpeedRatings,
  kExposureProgram,
  kMeteringMode,
  kFlash,
  kOrientation,
  kLensModel,
  kShortFocal,
  kLongFocal,
  kFocusMode,
  kDriveMode,
  // What describes the lens when LensModel does not: the maker note's lens text, then the lens's focal
  // and aperture range as the Exif, DNG and maker notes write it.
  kMakerLensModel,
  kLensSpecification,
  kDngLensInfo,
  kNikonLensInformation,
  kFocalUnits,
  kOlympusShortFocal,
  kOlympusLongFocal,
  kOlympusApertureAtShort,
  kOlympusApertureAtLong,
};
inline constexpr size_t kPhotoTagCount = 25;

/// What one photo's record is made of: whether it has an Exif block, the rendered text of each tag (UTF-8,
/// empty when the photo lacks it), the maker note's lens text as it stands and the capture time, with the file they
/// were read from. Reading them touches nothing shared, so several photos can be read at once on different threads.
/// A field added here is reset by `Clear` too.
struct PhotoTags {
  bool has_exif = false;
  std::array<std::string, kPhotoTagCount> texts;
  std::string makerLensText;
  /// The lens the JPEG's XMP packet names (exifEX:LensModel, else aux:Lens) and its aux:LensInfo, decoded;
  /// read only when nothing else in the photo describes its lens, empty otherwise.
  std::string xmp_lens;
  std::string xmp_lens_info;
  /// When the photo was taken (CaptureTime.h): the first of DateTimeOriginal, DateTimeDigitized and DateTime
  /// that holds a real moment; kNoCaptureTime when none does.
  int64_t taken = kNoCaptureTime;
  /// The file as it was when opened for this read; not found when it could not be opened.
  FileIdentity file;
  /// Why the file could not be opened ("Permission denied"); empty when it was.
  std::string unread_reason;
  /// Served from the records cache: the file was not opened.
  bool remembered = false;

  [[nodiscard]] const std::string& Text(PhotoTag tag) const { return texts[static_cast<size_t>(tag)]; }
  /// Makes these tags as new ones are, keeping the texts' storage for the next photo's.
  void Clear();
  bool operator==(const PhotoTags&) const = default;
};

/// The names the survey reads (`kPhotoTagCount` of them), for a selective read (`TimgData(SurveyTagSelection())`),
/// which gives the same `PhotoTags` as a full read at a fraction of its work.
[[nodiscard]] const TagSelection& SurveyTagSelection();

/// The tags of a photo that `data` has already read.
[[nodiscard]] PhotoTags TagsOf(const TimgData& data);
/// The same into `tags`, which holds nothing yet: a caller that keeps its own PhotoTags fills it in place.
/// `spent`, the read's own tag list when its caller is done with it, gives up the texts that are UTF-8
/// already instead of having them copied.
void FillTagsOf(const TimgData& data, PhotoTags& tags, TagList* spent = nullptr);

}  // namespace lumetra
