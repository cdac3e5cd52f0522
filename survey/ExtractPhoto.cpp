#include "survey/ExtractPhoto.h"

#include <algorithm>

#include "numbers/FixedPoint.h"
#include "numbers/NumberText.h"
#include "survey/LensName.h"
#include "survey/ReadPhotoTags.h"
#include "text/TextEncoding.h"

namespace lumetra {
namespace {

// A crop factor derived from the photo's own focal lengths is believed up to this value; beyond it the
// 35 mm focal length is taken for a wrong one.
constexpr double kMostDerivedCrop = 10;
// Cameras with a crop factor up to this (full frame, APS, Four Thirds) take interchangeable lenses: when
// the photo names no lens, the lens is named by the focal range the maker note gives.
constexpr double kMostCropForFocalRange = 2;
// The focal range of a camera that does not know it (0 to the largest 16-bit value), or of none at all.
constexpr std::string_view kNoFocalRange = "0-65535 mm";
constexpr std::string_view kEmptyFocalRange = "- mm";

// A rendered focal length without its decimals and leading blank: " 6.30" gives "6", "105.00" "105".
std::string WholeMillimetres(const std::string& rendered) {
  std::string text = rendered.size() > 3 ? rendered.substr(0, rendered.size() - 3) : std::string();
  if (!text.empty() && text.front() == ' ') text.erase(0, 1);
  return text;
}

std::string WithoutTrailingDots(std::string text) {
  while (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

struct TextMap {
  std::string_view rendered;
  LabelId label;
};

constexpr TextMap kPrograms[] = {
    {"Manual", LabelId::LabelManual},
    {"Aperture", LabelId::LabelAperturePriority},
    {"Shutter", LabelId::LabelShutterPriority},
    {"Normal", LabelId::LabelNormal},
    {"Action", LabelId::LabelSport},
    {"Portrait", LabelId::LabelPortrait},
    {"Landscape", LabelId::LabelLandscape},
    {"Creative", LabelId::LabelCreative},
};
constexpr TextMap kMeterings[] = {
    {"Average", LabelId::LabelAverage},           {"Center", LabelId::LabelAverage},
    {"Partial", LabelId::LabelPartial},           {"Spot", LabelId::LabelSpot},
    {"MultiSegment", LabelId::LabelMultiSegment}, {"MultiSpot", LabelId::LabelMultiSpot},
};
constexpr TextMap kFlashes[] = {{"On", LabelId::LabelFlashOn}, {"Off", LabelId::LabelFlashOff}};
constexpr TextMap kOrientations[] = {
    {"Normal", LabelId::LabelHorizontal},
    {"Rotated 180\u00B0", LabelId::LabelHorizontal},
    {"CounterClockwise 90\u00B0", LabelId::LabelVertical},
    {"Clockwise 90\u00B0", LabelId::LabelVertical},
};
constexpr TextMap kFocusModes[] = {
    {"One-Shot", LabelId::FocusOneShot},    {"AI Servo", LabelId::FocusAIServo}, {"AI Focus", LabelId::FocusAIFocus},
    {"Manual Focus", LabelId::FocusManual}, {"MF", LabelId::FocusManual},
};
constexpr TextMap kDriveModes[] = {{"Single", LabelId::LabelSingle}, {"Continuous", LabelId::LabelSerial}};

template <size_t N>
LabelId MapText(std::string_view text, const TextMap (&map)[N], LabelId otherwise) {
  for (const TextMap& entry : map) {
    if (text == entry.rendered) return entry.label;
  }
  return otherwise;
}

class PhotoReader {
 public:
  // The record is written where it will be returned: a record is sixteen strings, too many to move twice.
  PhotoReader(const PhotoTags& tags, const ExtractionContext& context, PhotoRecord& record)
      : tags_(tags), context_(context), record_(record) {}

  void Read() {
    const Language language = context_.language;
    const auto undetermined = [language](LabelId id) { return LabelView(id, language); };

    record_.model = WithoutTrailingDots(NormalizeText(Tag(PhotoTag::kModel), undetermined(LabelId::NotDeterminedM)));
    if (record_.model == undetermined(LabelId::NotDeterminedM)) {
      record_.SetLabel(kModel, LabelId::NotDeterminedM, language);
    }
    ReadMake();
    ReadFocal();
    ReadCropAndFocal35();
    const std::string& exposure = Tag(PhotoTag::kExposureTime);
    if (exposure.empty()) {
      record_.SetLabel(kExposure, LabelId::NotDeterminedF, language);
    } else {
      record_.exposure = NormalizeExposure(exposure, undetermined(LabelId::NotDeterminedF));
      if (record_.exposure == undetermined(LabelId::NotDeterminedF)) {
        record_.SetLabel(kExposure, LabelId::NotDeterminedF, language);
      }
    }
    ReadFNumber();
    ReadIso();
    record_.SetLabel(kProgram, MapText(Tag(PhotoTag::kExposureProgram), kPrograms, LabelId::NotDeterminedM), language);
    record_.SetLabel(kMetering, MapText(Tag(PhotoTag::kMeteringMode), kMeterings, LabelId::NotDeterminedM), language);
    record_.SetLabel(kFlash, MapText(Tag(PhotoTag::kFlash), kFlashes, LabelId::NotDeterminedM), language);
    record_.SetLabel(kOrientation, MapText(Tag(PhotoTag::kOrientation), kOrientations, LabelId::NotDeterminedF),
                     language);
    ReadLens();
    record_.SetLabel(kFocus, MapText(Tag(PhotoTag::kFocusMode), kFocusModes, LabelId::NotDeterminedM), language);
    record_.SetLabel(kDrive, MapText(Tag(PhotoTag::kDriveMode), kDriveModes, LabelId::NotDeterminedM), language);
    record_.taken = tags_.taken;
  }

 private:
  const std::string& Tag(PhotoTag tag) const { return tags_.Text(tag); }

  bool Is(int field, LabelId label) const { return record_.labels[static_cast<size_t>(field)] == label; }

  void ReadMake() {
    const Language language = context_.language;
    std::string make = NormalizeText(Tag(PhotoTag::kMake), LabelView(LabelId::NotDeterminedF, language));
    if (make == LabelView(LabelId::NotDeterminedF, language)) {
      record_.SetLabel(kMake, LabelId::NotDeterminedF, language);
      return;
    }
    make = make.substr(0, make.find(' '));
    // Zero-padded fields end in dots ("SONY." is "SONY"), as models do.
    record_.make = WithoutTrailingDots(make);
  }

  void ReadFocal() {
    const std::string focal = WholeMillimetres(Tag(PhotoTag::kFocalLength));
    const std::optional<int64_t> value = ReadInteger64(focal);
    if (focal.empty() || focal == "0" || !value) {
      record_.SetLabel(kFocal, LabelId::NotDeterminedN, context_.language);
    } else {
      record_.focal = focal;
      focal_ = *value;
    }
  }

  void SetCropUndetermined() {
    record_.SetLabel(kCrop, LabelId::NotDeterminedM, context_.language);
    record_.SetLabel(kFocal35, LabelId::NotDeterminedN, context_.language);
  }

  void ReadCropAndFocal35() {
    if (Is(kModel, LabelId::NotDeterminedM) || Is(kMake, LabelId::NotDeterminedF) ||
        Is(kFocal, LabelId::NotDeterminedN)) {
      SetCropUndetermined();
      return;
    }
    // A factor of 0 in the store means the factor is not known yet.
    const int64_t stored = context_.crop_factor ? context_.crop_factor(record_.make, record_.model) : 0;
    if (stored > 0) {
      record_.crop = DecimalText(static_cast<double>(stored) / kFixedPointUnit);
      if (const std::optional<int64_t> focal35 = MultiplyByFixedPoint(focal_, stored)) {
        record_.focal35 = std::to_string(*focal35);
      } else {
        record_.SetLabel(kFocal35, LabelId::NotDeterminedN, context_.language);
      }
      return;
    }
    // Not in the store: derived from the photo's own 35 mm focal length, to one decimal.
    const std::optional<double> fl = ReadDecimalAfterZero(WholeMillimetres(Tag(PhotoTag::kFocalLength)));
    const std::optional<double> fl35 = ReadDecimalAfterZero(WholeMillimetres(Tag(PhotoTag::kFocalLengthIn35mm)));
    double crop = 0;
    if (fl && fl35 && *fl > 0 && *fl35 > 0) crop = Round(10 * *fl35 / *fl) / 10;
    if (crop > 0 && crop <= kMostDerivedCrop) {
      record_.crop = DecimalText(crop);
      record_.focal35 = DecimalText(Round(static_cast<double>(focal_) * crop));
    } else {
      SetCropUndetermined();
    }
    if (context_.cb_CF && context_.UnknownCameras != nullptr) {
      auto& unknown = *context_.UnknownCameras;
      const bool listed = std::any_of(unknown.begin(), unknown.end(), [this](const UnknownCamera& camera) {
        return camera.make == record_.make && camera.model == record_.model;
      });
      if (!listed) unknown.push_back({record_.make, record_.model});
    }
  }

  void ReadFNumber() {
    std::string text = Tag(PhotoTag::kFNumber);
    std::replace(text.begin(), text.end(), ',', '.');
    const std::optional<double> value = ReadDecimal(text);
    if (text.empty() || (value && *value == 0)) {
      record_.SetLabel(kFNumber, LabelId::NotDeterminedF, context_.language);
    } else {
      record_.fNumber = text;
    }
  }

  void ReadIso() {
    // Only the leading digits count: "100, 100" is 100.
    const std::string& text = Tag(PhotoTag::kIsoSpeedRatings);
    const std::string digits = text.substr(0, text.find_first_not_of("0123456789"));
    const std::optional<int64_t> value = ReadInteger64(digits);
    if (!value || *value == 0) {
      record_.SetLabel(kIso, LabelId::NotDeterminedN, context_.language);
    } else {
      record_.iso = digits;
    }
  }

  void ReadLens() {
    std::string lens = WithoutPointZeros(Tag(PhotoTag::kLensModel));
    if (lens.empty()) {
      // The maker note's lens entry, without the quotes around it, when it looks like a lens name.
      const std::string& maker_lens = tags_.makerLensText;
      lens = maker_lens.size() >= 2 ? TextAsUtf8(maker_lens.substr(1, maker_lens.size() - 2)) : std::string();
      if (lens.find("f/") == std::string::npos) lens.clear();
    }
    if (lens.empty() && !Is(kCrop, LabelId::NotDeterminedM)) {
      const std::optional<double> crop = ReadDecimal(record_.crop);
      if (crop && *crop <= kMostCropForFocalRange) {
        const std::string short_focal = Tag(PhotoTag::kShortFocal);
        const std::string long_focal = Tag(PhotoTag::kLongFocal);
        lens = (short_focal.empty() ? "" : short_focal.substr(1)) + "-" +
               (long_focal.empty() ? "" : long_focal.substr(1)) + " mm";
        if (lens == kNoFocalRange || lens == kEmptyFocalRange) lens.clear();
      }
    }
    // Then whatever else describes the lens: "n/a" means nothing in the photo does.
    if (lens.empty()) lens = DescribedLensName(tags_);
    if (lens.empty()) lens = XmpLensName(tags_);
    const std::string_view undetermined = LabelView(LabelId::NotDeterminedM, context_.language);
    if (lens.empty()) {
      record_.lens = undetermined;
    } else {
      record_.lens = NormalizeText(lens, undetermined);
    }
    if (record_.lens == undetermined) record_.labels[kLens] = LabelId::NotDeterminedM;
  }

  const PhotoTags& tags_;
  const ExtractionContext& context_;
  PhotoRecord& record_;
  int64_t focal_ = 0;
};

bool Known(const PhotoRecord& record, int field) {
  return !record.Field(field).empty() && record.labels[static_cast<size_t>(field)] == LabelId::kNone;
}

}  // namespace

std::optional<PhotoRecord> ExtractPhoto(const std::string& path, const ExtractionContext& context) {
  std::optional<PhotoRecord> record = RecordFromTags(ReadPhotoTags(path), context);
  if (record) record->path = path;
  return record;
}

std::optional<PhotoRecord> ExtractPhotoRecord(const TimgData& data, const ExtractionContext& context) {
  PhotoTags tags = TagsOf(data);
  AddXmpLens(data, tags);
  return RecordFromTags(tags, context);
}

std::optional<PhotoRecord> RecordFromTags(const PhotoTags& tags, const ExtractionContext& context) {
  std::optional<PhotoRecord> record;
  if (!tags.has_exif) return record;
  PhotoReader(tags, context, record.emplace()).Read();
  // A photo counts when it tells at least one of exposure time, F-number, ISO and focal length.
  if (!Known(*record, kExposure) && !Known(*record, kFNumber) && !Known(*record, kIso) && !Known(*record, kFocal)) {
    record.reset();
  }
  return record;
}

}  // namespace lumetra
