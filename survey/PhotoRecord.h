#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "survey/CaptureTime.h"
#include "survey/Labels.h"

namespace lumetra {

/// How one photo was taken: its capture time and sixteen normalized texts in the language of the moment it was read,
/// and beside each text the label it stands for (kNone for values that are not labels), so that its category survives a
/// language switch.
struct PhotoRecord {
  std::string path;
  std::string exposure;
  std::string fNumber;
  std::string focal;
  std::string focal35;
  std::string iso;
  std::string program;
  std::string metering;
  std::string flash;
  std::string orientation;
  std::string model;
  std::string lens;
  std::string make;
  std::string crop;
  std::string drive;
  std::string focus;

  /// The label of each field, in field order.
  std::array<LabelId, 16> labels{};
  /// When the photo was taken, by the camera's clock (CaptureTime.h); kNoCaptureTime when it tells no
  /// real moment. A number, so it costs a few bytes and no language.
  int64_t taken = kNoCaptureTime;

  static constexpr int kFieldCount = 16;
  [[nodiscard]] std::string& Field(int index) { return this->*kFields[index]; }
  [[nodiscard]] const std::string& Field(int index) const { return this->*kFields[index]; }
  /// Sets field `index` to `label`'s text in `language` and remembers the label.
  void SetLabel(int index, LabelId label, Language language) {
    Field(index).assign(LabelView(label, language));
    labels[static_cast<size_t>(index)] = label;
  }

 private:
  // The fields in field order; inline, as records are made and stored field by field for every photo.
  static constexpr std::string PhotoRecord::*kFields[kFieldCount] = {
      &PhotoRecord::path,    &PhotoRecord::exposure,    &PhotoRecord::fNumber, &PhotoRecord::focal,
      &PhotoRecord::focal35, &PhotoRecord::iso,         &PhotoRecord::program, &PhotoRecord::metering,
      &PhotoRecord::flash,   &PhotoRecord::orientation, &PhotoRecord::model,   &PhotoRecord::lens,
      &PhotoRecord::make,    &PhotoRecord::crop,        &PhotoRecord::drive,   &PhotoRecord::focus};
};

/// Field numbers, in the order of the record and of the stored rows.
enum PhotoField : int {
  kPath,
  kExposure,
  kFNumber,
  kFocal,
  kFocal35,
  kIso,
  kProgram,
  kMetering,
  kFlash,
  kOrientation,
  kModel,
  kLens,
  kMake,
  kCrop,
  kDrive,
  kFocus,
};

/// Runs of blanks shrink to one and a trailing blank goes; an empty or single-blank result gives
/// `default_text`.
[[nodiscard]] std::string NormalizeText(std::string_view text, std::string_view default_text);
/// The same into `result`, which keeps its capacity: a record made again for each photo allocates nothing once its
/// texts have grown. `text` must not view `result`.
void NormalizeTextInto(std::string_view text, std::string_view default_text, std::string& result);

/// A rendered exposure time as the record keeps it: decimal seconds stay, "10/1250" becomes "1/125",
/// times of a second or more and between half a second and a second become decimal seconds, and a text
/// that is not a time gives `undetermined`.
[[nodiscard]] std::string NormalizeExposure(std::string_view text, std::string_view undetermined);

/// An exposure text in units of 1/10000 s as `ExposureUnits` reads it (1/125 gives 80, 2 gives 20000); 0 for
/// an undetermined label of either language and for a text whose parts are not numbers or whose denominator
/// is 0.
[[nodiscard]] int64_t ExposureValue(std::string_view text);

/// A decimal text in units of 1/10000 (2.8 gives 28000), read with "0" in front and taken in single
/// precision before it is scaled, as exposure times are; 0 when it is not a number.
[[nodiscard]] int64_t NumberValue(std::string_view text);

}  // namespace lumetra
