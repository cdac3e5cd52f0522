#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "testing/ExifWriter.h"

namespace lumetra::testing {

/// The entry a fault photo is built around: its tag, and how it is added to a directory.
struct ProbeEntry {
  uint16_t tag = 0;
  std::function<void(Ifd&)> add;
};

/// A camera photo of about 200 bytes as JPEG bytes take it: IFD0 holds Make "Canon", Model with exactly
/// `model_bytes` (ASCII) and ExifOffset; the Exif directory holds ExposureTime 1/125, FNumber 5.6, the
/// probe, MeteringMode 5 (MultiSegment), Flash 0x19 (fired) and FocalLength 50 mm, in this order. A probe
/// with the tag of one of the last three stands in its place, right after FNumber.
[[nodiscard]] Ifd FaultPhotoIfd(std::string_view model_bytes, const ProbeEntry& probe);

/// The photo with ComponentsConfiguration (0x9101) holding `components` as UNDEFINED bytes.
[[nodiscard]] Ifd ComponentsConfigurationPhoto(std::string_view components);
/// The photo with Flash (0x9209) holding `flash` as SHORT values.
[[nodiscard]] Ifd FlashPhoto(std::vector<uint16_t> flash);
/// The photo with ShutterSpeedValue (0x9201) holding `tv` as an SRATIONAL, and Model "Canon EOS 40D".
[[nodiscard]] Ifd ShutterSpeedPhoto(Rational tv);
/// The photo whose Model holds exactly `model_bytes`, without a probe in the Exif directory.
[[nodiscard]] Ifd ModelPhoto(std::string_view model_bytes);

/// A structural JPEG holding only the Exif segment of `ifd0`.
[[nodiscard]] std::string FaultPhotoJpeg(const Ifd& ifd0, ByteOrder order);

/// One reproducer photo of a value the reader lost, by the file stem it is saved under.
struct FaultPhoto {
  std::string name;
  Ifd ifd0;
  ByteOrder order = ByteOrder::kLittle;
};

/// The reproducers: ComponentsConfiguration 00 03 02 01, Flash 16, 0, Model "CAM12\0X" and
/// ShutterSpeedValue 40/1.
[[nodiscard]] std::vector<FaultPhoto> FaultPhotos();

}  // namespace lumetra::testing
