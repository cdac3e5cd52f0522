#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace lumetra {

/// Bytes written one after another, as the records cache keeps a batch of rows: room is made at the end
/// without setting it (a string's resize zeroes what it adds, all of which is then written again), and the
/// storage is kept when the bytes are cleared.
class RowBytes {
 public:
  /// Room for `count` more bytes at the end, not yet set. Pointers into the bytes stay valid until the next
  /// call.
  char* Extend(size_t count) {
    if (count > capacity_ - size_) Grow(size_ + count);
    char* room = bytes_.get() + size_;
    size_ += count;
    return room;
  }
  /// Storage for `capacity` bytes in all, so that the bytes grow that far without being moved.
  void Reserve(size_t capacity) {
    if (capacity > capacity_) Grow(capacity);
  }
  /// Drops the bytes from `size` on.
  void Truncate(size_t size) { size_ = std::min(size, size_); }
  void Clear() { size_ = 0; }
  [[nodiscard]] size_t size() const { return size_; }
  /// The byte at `at`, to be written.
  [[nodiscard]] char* At(size_t at) { return bytes_.get() + at; }
  [[nodiscard]] std::string_view View(size_t at, size_t count) const { return {bytes_.get() + at, count}; }

 private:
  void Grow(size_t needed) {
    const size_t capacity = std::max(needed, 2 * capacity_);
    auto bytes = std::make_unique_for_overwrite<char[]>(capacity);
    if (size_ > 0) std::memcpy(bytes.get(), bytes_.get(), size_);
    bytes_ = std::move(bytes);
    capacity_ = capacity;
  }

  std::unique_ptr<char[]> bytes_;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

}  // namespace lumetra
