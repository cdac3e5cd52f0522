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
/// once; a row holds sixteen text numbers and the labels.
class PhotoStore {
 public:
  void Append(const PhotoRecord& record);
  [[nodiscard]] PhotoRecord Row(size_t index) const;
  [[nodiscard]] const std::string& Text(size_t index, int field) const;
  /// The label of field `field` of row `index` (kNone for a plain value).
  [[nodiscard]] LabelId Label(size_t index, int field) const;
  /// Puts a plain value (no label) in field `field` of row `index`: the crop dialogs' new crop factors.
  void SetText(size_t index, int field, std::string_view text);
  [[nodiscard]] size_t size() const { return rows_.size(); }
  [[nodiscard]] bool empty() const { return rows_.empty(); }
  void clear();
  /// Bytes held, for the memory benchmark: rows, texts and the index of texts.
  [[nodiscard]] size_t MemoryBytes() const;

 private:
  struct StoredRow {
    std::array<uint32_t, PhotoRecord::kFieldCount> texts;
    std::array<LabelId, PhotoRecord::kFieldCount> labels;
  };
  uint32_t Intern(std::string_view text);

  std::vector<StoredRow> rows_;
  std::deque<std::string> texts_;
  std::unordered_map<std::string_view, uint32_t> index_;
};

}  // namespace lumetra
