#include "survey/ExtractPhoto.h"

#include <algorithm>
#include <array>
#include <unordered_map>

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
std::string_view WholeMillimetres(std::string_view rendered) {
  std::string_view text = rendered.size() > 3 ? rendered.substr(0, rendered.size() - 3) : std::string_view();
  if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

void DropTrailingDots(std::string& text) {
  while (!text.empty() && text.back() == '.') text.pop_back();
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

// What a survey's photos share, worked out once per survey (see RecordMaker).
struct RecordMemos {
  struct Camera {
    int64_t factor = 0;
    bool listed = false;
  };
  struct DerivedCrop {
    bool undetermined = false;
    std::string crop;
    std::string focal35;
  };
  // Past this many distinct cameras, exposure texts or pairs of focal length texts of a kind, and for keys
  // longer than this, the rest are worked out each time: a folder of odd files keeps the memos small.
  static constexpr size_t kMostTexts = 4096;
  static constexpr size_t kLongestKey = 128;
  static bool Keeps(size_t entries, size_t key_size) { return entries < kMostTexts && key_size <= kLongestKey; }

  // By make, a NUL and model.
  std::unordered_map<std::string, Camera> cameras;
  // Each exposure text met, normalized.
  std::unordered_map<std::string, std::string> exposures;
  // By the focal length text, a NUL and the 35 mm focal length text.
  std::unordered_map<std::string, DerivedCrop> derived_crops;
  std::string key;
};

class PhotoReader {
 public:
  // The record is written in place: a record is sixteen strings, too many to build afresh for each photo.
  PhotoReader(const PhotoTags& tags, const ExtractionContext& context, PhotoRecord& record, RecordMemos* memos)
      : tags_(tags), context_(context), record_(record), memos_(memos) {}

  void Read() {
    const Language language = context_.language;
    const auto undetermined = [language](LabelId id) { return LabelView(id, language); };
    previous_labels_ = record_.labels;
    record_.labels.fill(LabelId::kNone);

    NormalizeTextInto(Tag(PhotoTag::kModel), undetermined(LabelId::NotDeterminedM), record_.model);
    DropTrailingDots(record_.model);
    if (record_.model == undetermined(LabelId::NotDeterminedM)) {
      record_.labels[kModel] = LabelId::NotDeterminedM;
    }
    ReadMake();
    ReadFocal();
    ReadCropAndFocal35();
    const std::string& exposure = Tag(PhotoTag::kExposureTime);
    if (exposure.empty()) {
      record_.SetLabel(kExposure, LabelId::NotDeterminedF, language);
    } else {
      ReadExposure(exposure);
      if (record_.exposure == undetermined(LabelId::NotDeterminedF)) {
        record_.labels[kExposure] = LabelId::NotDeterminedF;
      }
    }
    ReadFNumber();
    ReadIso();
    SetCategory(kProgram, MapText(Tag(PhotoTag::kExposureProgram), kPrograms, LabelId::NotDeterminedM));
    SetCategory(kMetering, MapText(Tag(PhotoTag::kMeteringMode), kMeterings, LabelId::NotDeterminedM));
    SetCategory(kFlash, MapText(Tag(PhotoTag::kFlash), kFlashes, LabelId::NotDeterminedM));
    SetCategory(kOrientation, MapText(Tag(PhotoTag::kOrientation), kOrientations, LabelId::NotDeterminedF));
    ReadLens();
    SetCategory(kFocus, MapText(Tag(PhotoTag::kFocusMode), kFocusModes, LabelId::NotDeterminedM));
    SetCategory(kDrive, MapText(Tag(PhotoTag::kDriveMode), kDriveModes, LabelId::NotDeterminedM));
    record_.taken = tags_.taken;
  }

 private:
  const std::string& Tag(PhotoTag tag) const { return tags_.Text(tag); }

  bool Is(int field, LabelId label) const { return record_.labels[static_cast<size_t>(field)] == label; }

  // A field that is always a label, written nowhere else: a record made again for the next photo of the
  // same kind holds that label's text already.
  void SetCategory(int field, LabelId label) {
    if (previous_labels_[static_cast<size_t>(field)] == label) {
      record_.labels[static_cast<size_t>(field)] = label;
    } else {
      record_.SetLabel(field, label, context_.language);
    }
  }

  void ReadMake() {
    const std::string_view undetermined = LabelView(LabelId::NotDeterminedF, context_.language);
    std::string& make = record_.make;
    NormalizeTextInto(Tag(PhotoTag::kMake), undetermined, make);
    if (make == undetermined) {
      record_.labels[kMake] = LabelId::NotDeterminedF;
      return;
    }
    if (const size_t blank = make.find(' '); blank != std::string::npos) make.resize(blank);
    // Zero-padded fields end in dots ("SONY." is "SONY"), as models do.
    DropTrailingDots(make);
  }

  void ReadFocal() {
    const std::string_view focal = WholeMillimetres(Tag(PhotoTag::kFocalLength));
    const std::optional<int64_t> value = ReadInteger64(focal);
    if (focal.empty() || focal == "0" || !value) {
      record_.SetLabel(kFocal, LabelId::NotDeterminedN, context_.language);
    } else {
      record_.focal.assign(focal);
      focal_ = *value;
    }
  }

  void SetCropUndetermined() {
    record_.SetLabel(kCrop, LabelId::NotDeterminedM, context_.language);
    record_.SetLabel(kFocal35, LabelId::NotDeterminedN, context_.language);
  }

  void ReadExposure(const std::string& exposure) {
    const std::string_view undetermined = LabelView(LabelId::NotDeterminedF, context_.language);
    if (memos_ == nullptr) {
      record_.exposure = NormalizeExposure(exposure, undetermined);
      return;
    }
    auto& known = memos_->exposures;
    if (const auto found = known.find(exposure); found != known.end()) {
      record_.exposure.assign(found->second);
      return;
    }
    record_.exposure = NormalizeExposure(exposure, undetermined);
    if (RecordMemos::Keeps(known.size(), exposure.size())) known.emplace(exposure, record_.exposure);
  }

  // The photo's camera as the memos know it; null without memos or when they keep no more cameras.
  RecordMemos::Camera* Camera() {
    if (memos_ == nullptr) return nullptr;
    std::string& key = memos_->key;
    key.assign(record_.make).push_back('\0');
    key.append(record_.model);
    auto found = memos_->cameras.find(key);
    if (found == memos_->cameras.end()) {
      if (!RecordMemos::Keeps(memos_->cameras.size(), key.size())) return nullptr;
      const int64_t factor = context_.crop_factor ? context_.crop_factor(record_.make, record_.model) : 0;
      found = memos_->cameras.emplace(key, RecordMemos::Camera{factor, false}).first;
    }
    return &found->second;
  }

  // The store's factor of the photo's camera: 0 when it has none.
  int64_t StoredFactor(const RecordMemos::Camera* camera) const {
    if (camera != nullptr) return camera->factor;
    return context_.crop_factor ? context_.crop_factor(record_.make, record_.model) : 0;
  }

  void ListUnknownCamera(RecordMemos::Camera* camera) {
    if (!context_.cb_CF || context_.UnknownCameras == nullptr) return;
    if (camera != nullptr && camera->listed) return;
    auto& unknown = *context_.UnknownCameras;
    const bool listed = std::any_of(unknown.begin(), unknown.end(), [this](const UnknownCamera& known) {
      return known.make == record_.make && known.model == record_.model;
    });
    if (!listed) unknown.push_back({record_.make, record_.model});
    if (camera != nullptr) camera->listed = true;
  }

  void ReadCropAndFocal35() {
    if (Is(kModel, LabelId::NotDeterminedM) || Is(kMake, LabelId::NotDeterminedF) ||
        Is(kFocal, LabelId::NotDeterminedN)) {
      SetCropUndetermined();
      return;
    }
    // A factor of 0 in the store means the factor is not known yet.
    RecordMemos::Camera* const camera = Camera();
    const int64_t stored = StoredFactor(camera);
    if (stored > 0) {
      record_.crop = DecimalText(static_cast<double>(stored) / kFixedPointUnit);
      if (const std::optional<int64_t> focal35 = MultiplyByFixedPoint(focal_, stored)) {
        record_.focal35 = std::to_string(*focal35);
      } else {
        record_.SetLabel(kFocal35, LabelId::NotDeterminedN, context_.language);
      }
      return;
    }
    ReadDerivedCrop();
    ListUnknownCamera(camera);
  }

  // A camera the store has no factor for: crop factor and 35 mm focal length follow from the two focal
  // length texts alone, so each pair of them is worked out once.
  void ReadDerivedCrop() {
    if (memos_ == nullptr) {
      DeriveCrop();
      return;
    }
    std::string& key = memos_->key;
    key.assign(Tag(PhotoTag::kFocalLength)).push_back('\0');
    key.append(Tag(PhotoTag::kFocalLengthIn35mm));
    auto& known = memos_->derived_crops;
    if (const auto found = known.find(key); found != known.end()) {
      if (found->second.undetermined) {
        SetCropUndetermined();
      } else {
        record_.crop.assign(found->second.crop);
        record_.focal35.assign(found->second.focal35);
      }
      return;
    }
    DeriveCrop();
    if (RecordMemos::Keeps(known.size(), key.size())) {
      known.emplace(key, RecordMemos::DerivedCrop{Is(kCrop, LabelId::NotDeterminedM), record_.crop, record_.focal35});
    }
  }

  // Derived from the photo's own 35 mm focal length, to one decimal.
  void DeriveCrop() {
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
  }

  void ReadFNumber() {
    std::string& text = record_.fNumber;
    text.assign(Tag(PhotoTag::kFNumber));
    std::replace(text.begin(), text.end(), ',', '.');
    const std::optional<double> value = ReadDecimal(text);
    if (text.empty() || (value && *value == 0)) record_.SetLabel(kFNumber, LabelId::NotDeterminedF, context_.language);
  }

  void ReadIso() {
    // Only the leading digits count: "100, 100" is 100.
    const std::string_view text = Tag(PhotoTag::kIsoSpeedRatings);
    const std::string_view digits = text.substr(0, text.find_first_not_of("0123456789"));
    const std::optional<int64_t> value = ReadInteger64(digits);
    if (!value || *value == 0) {
      record_.SetLabel(kIso, LabelId::NotDeterminedN, context_.language);
    } else {
      record_.iso.assign(digits);
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
        const std::string& short_focal = Tag(PhotoTag::kShortFocal);
        const std::string& long_focal = Tag(PhotoTag::kLongFocal);
        lens = (short_focal.empty() ? "" : short_focal.substr(1)) + "-" +
               (long_focal.empty() ? "" : long_focal.substr(1)) + " mm";
        if (lens == kNoFocalRange || lens == kEmptyFocalRange) lens.clear();
      }
    }
    // Then whatever else describes the lens: "n/a" means nothing in the photo does.
    if (lens.empty()) lens = DescribedLensName(tags_);
    if (lens.empty()) lens = XmpLensName(tags_);
    const std::string_view undetermined = LabelView(LabelId::NotDeterminedM, context_.language);
    NormalizeTextInto(lens, undetermined, record_.lens);
    if (record_.lens == undetermined) record_.labels[kLens] = LabelId::NotDeterminedM;
  }

  const PhotoTags& tags_;
  const ExtractionContext& context_;
  PhotoRecord& record_;
  RecordMemos* memos_;
  // The labels the record held when this photo's reading began.
  std::array<LabelId, PhotoRecord::kFieldCount> previous_labels_{};
  int64_t focal_ = 0;
};

bool Known(const PhotoRecord& record, int field) {
  return !record.Field(field).empty() && record.labels[static_cast<size_t>(field)] == LabelId::kNone;
}

// Fills `record` (all but its path) from `tags`, which have Exif; whether the photo counts: it tells at least one
// of exposure time, F-number, ISO and focal length.
bool ReadRecord(const PhotoTags& tags, const ExtractionContext& context, PhotoRecord& record, RecordMemos* memos) {
  PhotoReader(tags, context, record, memos).Read();
  return Known(record, kExposure) || Known(record, kFNumber) || Known(record, kIso) || Known(record, kFocal);
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
  if (!ReadRecord(tags, context, record.emplace(), nullptr)) record.reset();
  return record;
}

struct RecordMaker::Memos : RecordMemos {};

RecordMaker::RecordMaker(const ExtractionContext& context) : context_(context), memos_(std::make_unique<Memos>()) {}

RecordMaker::~RecordMaker() = default;

const PhotoRecord* RecordMaker::Make(const PhotoTags& tags, std::string_view path) {
  if (!tags.has_exif || !ReadRecord(tags, context_, record_, memos_.get())) return nullptr;
  record_.path.assign(path);
  return &record_;
}

}  // namespace lumetra
