#include "survey/PhotoStore.h"

#include <algorithm>
#include <cstring>

namespace lumetra {

namespace {

// FNV-1a, its high half folded into the low bits the table is indexed by.
uint64_t HashText(std::string_view text) {
  uint64_t hash = 0xCBF29CE484222325;
  for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3;
  return hash ^ (hash >> 32);
}

}  // namespace

// Cheap to work out and spread enough for the texts of one field: their lengths and ends differ.
size_t PhotoStore::RecentSlot(std::string_view text) {
  const size_t ends =
      text.empty() ? 0 : static_cast<unsigned char>(text.front()) + 7 * static_cast<unsigned char>(text.back());
  return (text.size() * 31 + ends) & (kRecentSlots - 1);
}

uint32_t PhotoStore::Intern(std::string_view text) {
  if ((texts_.size() + 1) * 2 > slots_.size()) GrowIndex();
  const size_t mask = slots_.size() - 1;
  for (size_t slot = HashText(text) & mask;; slot = (slot + 1) & mask) {
    const uint32_t id = slots_[slot];
    if (id == kNoTextId) {
      slots_[slot] = static_cast<uint32_t>(texts_.size());
      texts_.emplace_back(text);
      return slots_[slot];
    }
    if (texts_[id] == text) return id;
  }
}

void PhotoStore::GrowIndex() {
  slots_.assign(std::max<size_t>(kFirstIndexSlots, slots_.size() * 2), kNoTextId);
  const size_t mask = slots_.size() - 1;
  for (uint32_t id = 0; id < texts_.size(); ++id) {
    size_t slot = HashText(texts_[id]) & mask;
    while (slots_[slot] != kNoTextId) slot = (slot + 1) & mask;
    slots_[slot] = id;
  }
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
    NumberedText& last = last_[static_cast<size_t>(field)];
    if (last.text == nullptr || *last.text != text) {
      NumberedText& recent = recent_[static_cast<size_t>(field)][RecentSlot(text)];
      if (recent.text == nullptr || *recent.text != text) {
        const uint32_t id = Intern(text);
        recent = {&texts_[id], id};
      }
      last = recent;
    }
    row.texts[static_cast<size_t>(field)] = last.id;
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
  slots_.clear();
  last_ = {};
  recent_ = {};
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
  bytes += slots_.capacity() * sizeof(uint32_t);
  return bytes;
}

}  // namespace lumetra
