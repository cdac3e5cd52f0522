#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "metadata/TagEntry.h"

namespace lumetra {

/// A reader's tag list: entries in walk order. Emptied for the next file, it keeps the entries it held, so
/// that a reader kept from file to file makes its entries in the earlier file's, their strings keeping
/// their storage, instead of making, moving and freeing them.
class TagList {
 public:
  [[nodiscard]] size_t size() const { return count_; }
  [[nodiscard]] bool empty() const { return count_ == 0; }
  [[nodiscard]] TTagEntry* data() { return entries_.data(); }
  [[nodiscard]] const TTagEntry* data() const { return entries_.data(); }
  [[nodiscard]] TTagEntry* begin() { return entries_.data(); }
  [[nodiscard]] TTagEntry* end() { return entries_.data() + count_; }
  [[nodiscard]] const TTagEntry* begin() const { return entries_.data(); }
  [[nodiscard]] const TTagEntry* end() const { return entries_.data() + count_; }
  [[nodiscard]] TTagEntry& operator[](size_t index) { return entries_[index]; }
  [[nodiscard]] const TTagEntry& operator[](size_t index) const { return entries_[index]; }
  [[nodiscard]] TTagEntry& front() { return entries_.front(); }
  [[nodiscard]] const TTagEntry& front() const { return entries_.front(); }
  [[nodiscard]] TTagEntry& back() { return entries_[count_ - 1]; }
  [[nodiscard]] const TTagEntry& back() const { return entries_[count_ - 1]; }

  /// A new entry at the end, as a default one is; made in a kept entry when there is one.
  TTagEntry& Append() {
    if (count_ == entries_.size()) {
      ++count_;
      return entries_.emplace_back();
    }
    TTagEntry& entry = entries_[count_++];
    Reset(entry);
    return entry;
  }
  /// The entry the next `Append` would make, as a default one is, without listing it yet: a value is
  /// rendered into it where it stands, and `KeepStaged` lists it (a failed rendering lists nothing).
  /// Nothing may be appended between the two.
  TTagEntry& Stage() {
    if (count_ == entries_.size()) return entries_.emplace_back();
    TTagEntry& entry = entries_[count_];
    Reset(entry);
    return entry;
  }
  /// Lists the entry `Stage` gave.
  void KeepStaged() { ++count_; }
  /// Appends `entry`, moved into a kept entry when there is one.
  void push_back(TTagEntry&& entry) {
    if (count_ == entries_.size()) {
      entries_.push_back(std::move(entry));
    } else {
      entries_[count_] = std::move(entry);
    }
    ++count_;
  }
  /// Empties the list; its entries are kept for the next ones.
  void clear() { count_ = 0; }
  void reserve(size_t capacity) { entries_.reserve(capacity); }

 private:
  /// As a default entry is, with its strings keeping their storage (a field added to entries is set here
  /// too).
  static void Reset(TTagEntry& entry) {
    entry.Origin = 0;
    entry.Format = 0;
    entry.IptcRecord = 0;
    entry.Tag = 0;
    entry.SelectionIndex = kSelectionUnknown;
    entry.Name.clear();
    entry.Desc.clear();
    entry.CodeList = {};
    entry.Text.clear();
    entry.Raw.clear();
    entry.Offset = 0;
    entry.FormatString = {};
    entry.Size = 0;
    entry.Renderer = nullptr;
  }

  std::vector<TTagEntry> entries_;
  size_t count_ = 0;
};

}  // namespace lumetra
