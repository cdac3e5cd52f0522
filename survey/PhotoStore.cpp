#include "survey/PhotoStore.h"

#include <algorithm>
#include <cstring>

namespace lumetra {

uint32_t PhotoStore::Intern(std::string_view text) {
  if (const auto found = index_.find(text); found != index_.end()) return found->second;
  const auto id = static_cast<uint32_t>(texts_.size());
  // A deque never moves its strings, so the views the index keeps stay valid.
  texts_.emplace_back(text);
  index_.emplace(texts_.back(), id);
  return id;
}

uint32_t PhotoStore::LabelOrTextId(LabelId label, std::string_view text) {
  if (label == LabelId::kNone) return Intern(text);
  uint32_t& id = label_ids_[static_cast<size_t>(label)];
  if (id == kNoTextId || texts_[id] != text) id = Intern(text);
  return id;
}

// A walk hands over the photos of one folder one after another, so only the last folder is compared; a
// folder met again later is simply kept again.
uint32_t PhotoStore::FolderId(std::string_view folder) {
  if (folders_.empty() || folders_.back() != folder) folders_.emplace_back(folder);
  return static_cast<uint32_t>(folders_.size() - 1);
}

const char* PhotoStore::KeepName(std::string_view name) {
  const size_t needed = name.size() + 1;
  if (name_blocks_.empty() || needed > name_block_size_ - name_used_) {
    name_block_size_ = std::max(needed, kNameBlockBytes);
    name_blocks_.push_back(std::make_unique_for_overwrite<char[]>(name_block_size_));
    name_bytes_ += name_block_size_;
    name_used_ = 0;
  }
  char* kept = name_blocks_.back().get() + name_used_;
  if (!name.empty()) std::memcpy(kept, name.data(), name.size());
  kept[name.size()] = '\0';
  name_used_ += needed;
  return kept;
}

void PhotoStore::Append(const PhotoRecord& record) {
  if (size_ == row_blocks_.size() * kRowsPerBlock) {
    row_blocks_.push_back(std::make_unique_for_overwrite<StoredRow[]>(kRowsPerBlock));
  }
  StoredRow& row = At(size_);
  const std::string_view path = record.path;
  const size_t name_start = path.rfind('/') + 1;  // 0 when there is no folder
  std::string_view folder = path.substr(0, name_start);
  std::string_view name = path.substr(name_start);
  // A name is kept up to its NUL; one holding a NUL stays whole as the folder part.
  if (name.find('\0') != std::string_view::npos) {
    folder = path;
    name = {};
  }
  row.texts[kPath] = FolderId(folder);
  row.name = KeepName(name);
  for (int field = kPath + 1; field < PhotoRecord::kFieldCount; ++field) {
    const std::string& text = record.Field(field);
    uint32_t& last = last_ids_[static_cast<size_t>(field)];
    if (last == kNoTextId || texts_[last] != text)
      last = LabelOrTextId(record.labels[static_cast<size_t>(field)], text);
    row.texts[static_cast<size_t>(field)] = last;
  }
  row.labels = record.labels;
  row.taken = record.taken;
  ++size_;
}

std::string PhotoStore::Path(size_t index) const {
  const StoredRow& row = At(index);
  const std::string& folder = folders_[row.texts[kPath]];
  const size_t name_length = std::strlen(row.name);
  std::string path;
  path.reserve(folder.size() + name_length);
  path.append(folder).append(row.name, name_length);
  return path;
}

PhotoRecord PhotoStore::Row(size_t index) const {
  PhotoRecord record;
  const StoredRow& row = At(index);
  record.path = Path(index);
  for (int field = kPath + 1; field < PhotoRecord::kFieldCount; ++field) {
    record.Field(field) = texts_[row.texts[static_cast<size_t>(field)]];
  }
  record.labels = row.labels;
  record.taken = row.taken;
  return record;
}

void PhotoStore::SetText(size_t index, int field, std::string_view text) {
  StoredRow& row = At(index);
  row.texts[static_cast<size_t>(field)] = Intern(text);
  row.labels[static_cast<size_t>(field)] = LabelId::kNone;
}

void PhotoStore::clear() {
  size_ = 0;
  row_blocks_.clear();
  folders_.clear();
  name_blocks_.clear();
  name_used_ = 0;
  name_block_size_ = 0;
  name_bytes_ = 0;
  texts_.clear();
  index_.clear();
  last_ids_ = FreshLastIds();
  label_ids_ = FreshIds<kLabelSlots>();
}

size_t PhotoStore::MemoryBytes() const {
  const auto string_bytes = [](const std::string& text) {
    return sizeof(std::string) + (text.capacity() > 15 ? text.capacity() + 1 : size_t{0});
  };
  size_t bytes = row_blocks_.size() * kRowsPerBlock * sizeof(StoredRow) +
                 row_blocks_.capacity() * sizeof(std::unique_ptr<StoredRow[]>) + name_bytes_ +
                 name_blocks_.capacity() * sizeof(std::unique_ptr<char[]>);
  bytes += (folders_.capacity() - folders_.size()) * sizeof(std::string);
  for (const std::string& folder : folders_) bytes += string_bytes(folder);
  for (const std::string& text : texts_) bytes += string_bytes(text);
  // An unordered_map node holds the key, the value and a next pointer; the table holds one pointer per bucket.
  bytes += index_.size() * (sizeof(std::string_view) + sizeof(uint32_t) + 2 * sizeof(void*));
  bytes += index_.bucket_count() * sizeof(void*);
  return bytes;
}

}  // namespace lumetra
