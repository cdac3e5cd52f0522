#include "testing/FaultPhotos.h"

#include <utility>

#include "testing/JpegWriter.h"

namespace lumetra::testing {
namespace {

constexpr uint16_t kTagMeteringMode = 0x9207;
constexpr uint16_t kTagFlash = 0x9209;
constexpr uint16_t kTagFocalLength = 0x920A;
constexpr std::string_view kModel = "Canon EOS 40D";

}  // namespace

Ifd FaultPhotoIfd(std::string_view model_bytes, const ProbeEntry& probe) {
  Ifd exif;
  exif.Rationals(0x829A, {{1, 125}}).Rationals(0x829D, {{56, 10}});
  if (probe.add) probe.add(exif);
  if (probe.tag != kTagMeteringMode) exif.Short(kTagMeteringMode, {5});
  if (probe.tag != kTagFlash) exif.Short(kTagFlash, {0x19});
  if (probe.tag != kTagFocalLength) exif.Rationals(kTagFocalLength, {{50, 1}});
  Ifd ifd0;
  ifd0.Ascii(0x010F, "Canon").AsciiExact(0x0110, model_bytes).Sub(0x8769, std::move(exif));
  return ifd0;
}

Ifd ComponentsConfigurationPhoto(std::string_view components) {
  const std::string bytes(components);
  return FaultPhotoIfd(std::string(kModel) + '\0', {0x9101, [bytes](Ifd& exif) { exif.Undefined(0x9101, bytes); }});
}

Ifd FlashPhoto(std::vector<uint16_t> flash) {
  return FaultPhotoIfd(std::string(kModel) + '\0', {kTagFlash, [flash](Ifd& exif) { exif.Short(kTagFlash, flash); }});
}

Ifd ShutterSpeedPhoto(Rational tv) {
  return FaultPhotoIfd(std::string(kModel) + '\0', {0x9201, [tv](Ifd& exif) { exif.SRationals(0x9201, {tv}); }});
}

Ifd ModelPhoto(std::string_view model_bytes) { return FaultPhotoIfd(model_bytes, {}); }

std::string FaultPhotoJpeg(const Ifd& ifd0, ByteOrder order) { return BuildJpeg({ExifSegment(ifd0, order)}); }

std::vector<FaultPhoto> FaultPhotos() {
  return {
      {"fault-components-configuration", ComponentsConfigurationPhoto(std::string("\x00\x03\x02\x01", 4)),
       ByteOrder::kLittle},
      {"fault-flash-two-elements", FlashPhoto({16, 0}), ByteOrder::kBig},
      {"fault-model-after-zero", ModelPhoto(std::string("CAM12\0X", 7)), ByteOrder::kLittle},
      {"fault-shutter-speed-tv40", ShutterSpeedPhoto({40, 1}), ByteOrder::kBig},
  };
}

}  // namespace lumetra::testing
