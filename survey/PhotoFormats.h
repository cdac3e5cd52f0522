#pragma once

#include <string_view>

namespace lumetra {

/// Which photo files a survey takes: JPEG only (.jpg, .jpeg), or also HEIC/HEIF, AVIF and camera RAW.
enum class PhotoFormats { kJpeg, kAll };

/// What a file name says its photo is, by its last extension in any letter case.
enum class PhotoFileKind {
  /// Not a photo the survey knows.
  kNone,
  /// .jpg, .jpeg
  kJpeg,
  /// .heic, .heif, .hif, .avif
  kHeif,
  /// A camera's RAW file: .nef .nrw .cr2 .cr3 .dng .arw .sr2 .srf .pef .srw .iiq .3fr .erf .mef .rwl .orf .rw2
  /// .raf
  kRaw,
};

/// The kind of photo `name` (a file name, or a path) names by its extension; kNone without one.
[[nodiscard]] PhotoFileKind PhotoFileKindOf(std::string_view name);

/// Whether a survey of `formats` takes a file of `kind`.
[[nodiscard]] bool SurveyTakes(PhotoFormats formats, PhotoFileKind kind);

/// The file name `name` without its last extension: "IMG_0001.CR2" gives "IMG_0001", ".jpg" gives "",
/// "notes" stays "notes".
[[nodiscard]] std::string_view BaseName(std::string_view name);

}  // namespace lumetra
