#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "survey/PhotoRecord.h"

namespace lumetra {

/// The records of the photos counted in a survey, in the order they were read, kept for recounting
/// without reading the files again. A text that many photos share (a model, "1/125", a label) is stored
/// once and numbered; a row holds fifteen text numbers, the labels and the capture time. A path is kept as its folder,
/// stored once for the photos read from it one after another, and its file name in a block of names.
/// Rows and names sit in blocks that never move, so a million photos are kept without ever being copied.
class PhotoStore {
 public:
  /// The number of a text that is not numbered: a path.
  static constexpr uint32_t kNoTextId = UINT32_MAX;

  void Append(const PhotoRecord& record);
  [[nodiscard]] PhotoRecord Row(size_t index) const;
  /// The path of row `index`, as the record that was appended held it.
  [[nodiscard]] std::string Path(size_t index) const;
  /// The text of field `field` of row `index`; any field but the path (see Path).
  [[nodiscard]] const std::string& Text(size_t index, int field) const {
    return texts_[At(index).texts[static_cast<size_t>(field)]];
  }
  /// The number of the text of field `field` of row `index`: the same for equal texts, below TextCount();
  /// kNoTextId for the path.
  [[nodiscard]] uint32_t TextId(size_t index, int field) const {
    return field == kPath ? kNoTextId : At(index).texts[static_cast<size_t>(field)];
  }
  /// How many different texts are numbered.
  [[nodiscard]] size_t TextCount() const { return texts_.size(); }
  /// The capture time of row `index` (kNoCaptureTime when undetermined).
  [[nodiscard]] int64_t Taken(size_t index) const { return At(index).taken; }
  /// The label of field `field` of row `index` (kNone for a plain value).
  [[nodiscard]] LabelId Label(size_t index, int field) const { return At(index).labels[static_cast<size_t>(field)]; }
  /// Puts a plain value (no label) in field `field` (not the path) of row `index`: the crop dialogs' new
  /// crop factors.
  void SetText(size_t index, int field, std::string_view text);
  [[nodiscard]] size_t size() const { return size_; }
  [[nodiscard]] bool empty() const { return size_ == 0; }
  void clear();
  /// Bytes held, for the memory benchmark: rows, paths, texts and the index of texts.
  [[nodiscard]] size_t MemoryBytes() const;

 private:
  // A view reads a row's numbers straight from it.
  friend class PhotoView;

  struct StoredRow {
    // The path's entry holds the number of its folder in folders_.
    std::array<uint32_t, PhotoRecord::kFieldCount> texts;
    std::array<LabelId, PhotoRecord::kFieldCount> labels;
    int64_t taken;
    // The file name, ended by a NUL, in one of name_blocks_.
    const char* name;
  };
  static constexpr size_t kRowsPerBlock = 4096;
  static constexpr size_t kNameBlockBytes = 64 * 1024;

  [[nodiscard]] const StoredRow& At(size_t index) const {
    return row_blocks_[index / kRowsPerBlock][index % kRowsPerBlock];
  }
  [[nodiscard]] StoredRow& At(size_t index) { return row_blocks_[index / kRowsPerBlock][index % kRowsPerBlock]; }
  uint32_t Intern(std::string_view text);
  void GrowIndex();
  uint32_t FolderId(std::string_view folder);
  const char* KeepName(std::string_view name);

  size_t size_ = 0;
  std::vector<std::unique_ptr<StoredRow[]>> row_blocks_;
  std::vector<std::string> folders_;
  std::vector<std::unique_ptr<char[]>> name_blocks_;
  // Bytes used and held in the last name block, and held in all of them.
  size_t name_used_ = 0;
  size_t name_block_size_ = 0;
  size_t name_bytes_ = 0;
  // A deque never moves its strings, so a text's reference stays valid while others are added.
  std::deque<std::string> texts_;
  // The index of texts_: open addressing by the text's hash, slots holding text numbers (kNoTextId when free),
  // a power of two in size and at most half full. Cheaper than a map of views: no node per text, no division.
  std::vector<uint32_t> slots_;
  static constexpr size_t kFirstIndexSlots = 64;
  // A text of the store with its number.
  struct NumberedText {
    const std::string* text = nullptr;
    uint32_t id = kNoTextId;
  };
  static constexpr size_t kRecentSlots = 64;
  static size_t RecentSlot(std::string_view text);
  // The text each field had in the row appended last: photos read one after another mostly share their camera,
  // lens and labels, and a comparison is cheaper than hashing.
  std::array<NumberedText, PhotoRecord::kFieldCount> last_{};
  // Then the texts each field had lately, in slots by a cheap hash: photos that are not neighbours share them too.
  std::array<std::array<NumberedText, kRecentSlots>, PhotoRecord::kFieldCount> recent_{};
};

}  // namespace lumetra
