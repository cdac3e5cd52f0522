#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "survey/PhotoRecord.h"

namespace lumetra {

/// The records of the photos counted in a survey, in the order they were read, kept for recounting
/// without reading the files again. A text that many photos share (a model, "1/125", a label) is stored
/// once and numbered; a row holds fifteen text numbers and the labels. Paths, which no two photos share,
/// are kept apart, one per row.
class PhotoStore {
 public:
  /// The number of a text that is not numbered: a path.
  static constexpr uint32_t kNoTextId = UINT32_MAX;

  void Append(const PhotoRecord& record);
  [[nodiscard]] PhotoRecord Row(size_t index) const;
  [[nodiscard]] const std::string& Text(size_t index, int field) const {
    return field == kPath ? paths_[index] : texts_[rows_[index].texts[static_cast<size_t>(field)]];
  }
  /// The number of the text of field `field` of row `index`: the same for equal texts, below TextCount();
  /// kNoTextId for the path.
  [[nodiscard]] uint32_t TextId(size_t index, int field) const {
    return field == kPath ? kNoTextId : rows_[index].texts[static_cast<size_t>(field)];
  }
  /// How many different texts are numbered.
  [[nodiscard]] size_t TextCount() const { return texts_.size(); }
  /// The label of field `field` of row `index` (kNone for a plain value).
  [[nodiscard]] LabelId Label(size_t index, int field) const { return rows_[index].labels[static_cast<size_t>(field)]; }
  /// Puts a plain value (no label) in field `field` of row `index`: the crop dialogs' new crop factors.
  void SetText(size_t index, int field, std::string_view text);
  [[nodiscard]] size_t size() const { return rows_.size(); }
  [[nodiscard]] bool empty() const { return rows_.empty(); }
  void clear();
  /// Bytes held, for the memory benchmark: rows, paths, texts and the index of texts.
  [[nodiscard]] size_t MemoryBytes() const;

 private:
  struct StoredRow {
    // The path's entry is unused: paths_ holds it.
    std::array<uint32_t, PhotoRecord::kFieldCount> texts;
    std::array<LabelId, PhotoRecord::kFieldCount> labels;
  };
  uint32_t Intern(std::string_view text);

  std::vector<StoredRow> rows_;
  std::vector<std::string> paths_;
  std::deque<std::string> texts_;
  std::unordered_map<std::string_view, uint32_t> index_;
};

}  // namespace lumetra
