#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "survey/PhotoRecord.h"
#include "survey/PhotoTags.h"

namespace lumetra {

class TimgData;

/// A camera met in a survey without a crop factor in the store.
struct UnknownCamera {
  std::string make;
  std::string model;
};

/// What reading a photo needs besides the file: the language of the moment, the crop-factor lookup
/// (factor in 1/10000 for a make and model, 0 when the store has none), whether unknown cameras are
/// collected (`cb_CF`), and the list they are collected in.
struct ExtractionContext {
  Language language = kEnglish;
  std::function<int64_t(const std::string& make, const std::string& model)> crop_factor;
  bool cb_CF = true;
  std::vector<UnknownCamera>* UnknownCameras = nullptr;
};

/// Reads the photo at `path` into a record: the tags the survey asks for (ReadPhotoTags), normalized
/// and mapped to labels (RecordFromTags), with the crop factor and 35 mm focal length from the store or
/// derived from the photo. Returns the record when the photo counts (it has an exposure time, F-number,
/// ISO or focal length), with `path` set; nullopt otherwise. Never throws for a broken file.
[[nodiscard]] std::optional<PhotoRecord> ExtractPhoto(const std::string& path, const ExtractionContext& context);

/// The record of a photo that `data` has already read, as `ExtractPhoto` builds it but with `path` left
/// empty; nullopt when the photo has no Exif or does not count.
[[nodiscard]] std::optional<PhotoRecord> ExtractPhotoRecord(const TimgData& data, const ExtractionContext& context);

/// The record made of a photo's tags, as `ExtractPhoto` builds it but with `path` left empty; nullopt when
/// the photo has no Exif or does not count. The crop-factor lookup and the unknown cameras are touched
/// here, so records are made on one thread, in the order the photos are met.
[[nodiscard]] std::optional<PhotoRecord> RecordFromTags(const PhotoTags& tags, const ExtractionContext& context);

/// Makes the records of one survey's photos, one after another, into the one record it keeps: once its texts
/// have grown to their size a photo allocates nothing. What a survey meets again and again is worked out once:
/// each camera's crop factor and its place among the unknown cameras, each exposure text's normalized form; so
/// the crop store must not change while the maker lives. Touches the crop-factor lookup and the unknown cameras
/// as RecordFromTags does: one thread, photos in the order met.
class RecordMaker {
 public:
  explicit RecordMaker(const ExtractionContext& context);
  ~RecordMaker();
  RecordMaker(const RecordMaker&) = delete;
  RecordMaker& operator=(const RecordMaker&) = delete;

  /// The record of `tags` as RecordFromTags makes it, with `path` set; null when the photo has no Exif or does
  /// not count. Valid until the next call.
  [[nodiscard]] const PhotoRecord* Make(const PhotoTags& tags, std::string_view path);

 private:
  struct Memos;

  const ExtractionContext& context_;
  PhotoRecord record_;
  std::unique_ptr<Memos> memos_;
};

}  // namespace lumetra
