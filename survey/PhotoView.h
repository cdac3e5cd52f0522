#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "survey/PhotoRecord.h"
#include "survey/PhotoStore.h"

namespace lumetra {

/// One photo's sixteen texts, labels and capture time as the filter and the tallies read them, wherever they are kept:
/// a PhotoRecord or a row of the PhotoStore. Holds a pointer only, so a re-tally copies nothing; the record or the
/// store must outlive it and not change meanwhile.
class PhotoView {
 public:
  /// A text that has no number in the store (a record that is not stored, or a path).
  static constexpr uint32_t kNoTextId = PhotoStore::kNoTextId;

  explicit PhotoView(const PhotoRecord& record) : record_(&record) {}
  // The row is found once: the filter and the tallies ask for a photo's fields many times.
  PhotoView(const PhotoStore& store, size_t row) : store_(&store), row_(&store.At(row)) {}

  /// The text of `field`; of a stored row any field but the path.
  [[nodiscard]] const std::string& Field(int field) const {
    return record_ != nullptr ? record_->Field(field) : store_->texts_[row_->texts[static_cast<size_t>(field)]];
  }
  [[nodiscard]] LabelId Label(int field) const {
    return (record_ != nullptr ? record_->labels : row_->labels)[static_cast<size_t>(field)];
  }
  /// The capture time (kNoCaptureTime when undetermined).
  [[nodiscard]] int64_t Taken() const { return record_ != nullptr ? record_->taken : row_->taken; }
  /// The store's number of the text of `field`: equal numbers mean equal texts. kNoTextId when the text is
  /// not numbered.
  [[nodiscard]] uint32_t TextId(int field) const {
    return record_ != nullptr || field == kPath ? kNoTextId : row_->texts[static_cast<size_t>(field)];
  }

 private:
  const PhotoRecord* record_ = nullptr;
  const PhotoStore* store_ = nullptr;
  const PhotoStore::StoredRow* row_ = nullptr;
};

}  // namespace lumetra
