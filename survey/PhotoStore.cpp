#include "survey/PhotoStore.h"

namespace lumetra {

uint32_t PhotoStore::Intern(std::string_view text) {
  if (const auto found = index_.find(text); found != index_.end()) return found->second;
  const auto id = static_cast<uint32_t>(texts_.size());
  // A deque never moves its strings, so the views the index keeps stay valid.
  texts_.emplace_back(text);
  index_.emplace(texts_.back(), id);
  return id;
}

void PhotoStore::Append(const PhotoRecord& record) {
  StoredRow row{};
  row.texts[kPath] = kNoTextId;
  for (int field = kPath + 1; field < PhotoRecord::kFieldCount; ++field) {
    row.texts[static_cast<size_t>(field)] = Intern(record.Field(field));
  }
  row.labels = record.labels;
  rows_.push_back(row);
  paths_.push_back(record.path);
}

PhotoRecord PhotoStore::Row(size_t index) const {
  PhotoRecord record;
  const auto& row = rows_[index];
  record.path = paths_[index];
  for (int field = kPath + 1; field < PhotoRecord::kFieldCount; ++field) {
    record.Field(field) = texts_[row.texts[static_cast<size_t>(field)]];
  }
  record.labels = row.labels;
  return record;
}

void PhotoStore::SetText(size_t index, int field, std::string_view text) {
  auto& row = rows_[index];
  if (field == kPath) {
    paths_[index] = text;
  } else {
    row.texts[static_cast<size_t>(field)] = Intern(text);
  }
  row.labels[static_cast<size_t>(field)] = LabelId::kNone;
}

void PhotoStore::clear() {
  rows_.clear();
  paths_.clear();
  texts_.clear();
  index_.clear();
}

size_t PhotoStore::MemoryBytes() const {
  const auto string_bytes = [](const std::string& text) {
    return text.capacity() > 15 ? text.capacity() + 1 : size_t{0};
  };
  size_t bytes = rows_.capacity() * sizeof(StoredRow) + paths_.capacity() * sizeof(std::string);
  for (const std::string& path : paths_) bytes += string_bytes(path);
  for (const std::string& text : texts_) bytes += sizeof(std::string) + string_bytes(text);
  // An unordered_map node holds the key, the value and a next pointer; the table holds one pointer per bucket.
  bytes += index_.size() * (sizeof(std::string_view) + sizeof(uint32_t) + 2 * sizeof(void*));
  bytes += index_.bucket_count() * sizeof(void*);
  return bytes;
}

}  // namespace lumetra
