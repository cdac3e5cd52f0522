#include "fuzz/ReadRecordsCache.h"

#include <sqlite3.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "survey/RecordsCache.h"

namespace lumetra::fuzz {
namespace {

struct ReferenceRow {
  std::string path;
  PhotoTags tags;
};

RecordsCacheOptions Options() {
  RecordsCacheOptions options;
  options.settle_time = std::chrono::milliseconds(0);
  options.busy_wait = std::chrono::milliseconds(0);
  options.rules_stamp = 0x5EED;
  return options;
}

const std::vector<ReferenceRow>& ReferenceRows() {
  static const std::vector<ReferenceRow> rows = [] {
    std::vector<ReferenceRow> made;
    for (int i = 0; i < 48; ++i) {
      ReferenceRow row;
      row.path = "/library/" + std::to_string(2000 + i % 7) + "/IMG_" + std::to_string(1000 + i) + ".JPG";
      row.tags.has_exif = i % 11 != 0;
      row.tags.taken = i % 5 == 0 ? kNoCaptureTime : 3'600'000'000 + int64_t{i} * 86'399;
      for (size_t tag = 0; tag < kPhotoTagCount; ++tag) {
        row.tags.texts[tag] = (i + tag) % 5 == 0 ? "" : "t" + std::to_string(tag) + "-" + std::to_string(i * 37 % 101);
      }
      row.tags.makerLensText = i == 5 ? std::string(6000, 'L') : "(EF50mm f/1.8)";
      if (i % 3 == 0) row.tags.xmp_lens = "Samsung Galaxy S9+ Rear Camera";
      if (i % 4 == 0) row.tags.xmp_lens_info = "180/10 550/10 35/10 56/10";
      row.tags.file.found = true;
      row.tags.file.device = 2049;
      row.tags.file.inode = 7000 + static_cast<uint64_t>(i);
      row.tags.file.size = 100000 + i;
      row.tags.file.modified_s = 1600000000 + i;
      row.tags.file.modified_ns = i * 1000;
      row.tags.file.changed_s = 1600000100 + i;
      row.tags.file.changed_ns = i;
      made.push_back(std::move(row));
    }
    return made;
  }();
  return rows;
}

// A folder of its own under the temporary folder, removed with what is left in it when the program ends.
class WorkFolderHolder {
 public:
  WorkFolderHolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumetra-records-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~WorkFolderHolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  WorkFolderHolder(const WorkFolderHolder&) = delete;
  WorkFolderHolder& operator=(const WorkFolderHolder&) = delete;
  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

const std::filesystem::path& WorkFolder() {
  static const WorkFolderHolder folder;
  return folder.path();
}

void EmptyWorkFolder() {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(WorkFolder(), ignored)) {
    std::filesystem::remove_all(entry.path(), ignored);
  }
}

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream stream(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
}

const std::string& ReferenceDatabase() {
  static const std::string bytes = [] {
    EmptyWorkFolder();
    const std::filesystem::path db = WorkFolder() / "reference.db";
    {
      RecordsCache cache(db.string(), Options());
      for (const ReferenceRow& row : ReferenceRows()) cache.Remember(row.path, row.tags);
    }
    // A survey leaves its rows in the journal: folded into the file here, so that the damage falls on them.
    sqlite3* handle = nullptr;
    if (sqlite3_open(db.c_str(), &handle) == SQLITE_OK) {
      sqlite3_exec(handle, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    }
    sqlite3_close(handle);
    std::string made = ReadBytes(db);
    EmptyWorkFolder();
    return made;
  }();
  return bytes;
}

std::string Damaged(std::string_view mutation) {
  std::string bytes = ReferenceDatabase();
  if (mutation.size() < 2) return bytes;
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(mutation[i]); };
  const size_t cut = byte(0) | (byte(1) << 8);
  if (cut != 0xFFFF) bytes.resize(cut % (bytes.size() + 1));
  for (size_t i = 2; i + 3 <= mutation.size() && !bytes.empty(); i += 3) {
    const size_t offset = (byte(i) | (byte(i + 1) << 8)) % bytes.size();
    bytes[offset] = static_cast<char>(bytes[offset] ^ mutation[i + 2]);
  }
  return bytes;
}

bool SameFacts(const PhotoTags& a, const PhotoTags& b) {
  return a.has_exif == b.has_exif && a.taken == b.taken && a.texts == b.texts && a.makerLensText == b.makerLensText &&
         a.xmp_lens == b.xmp_lens && a.xmp_lens_info == b.xmp_lens_info && a.file == b.file;
}

}  // namespace

std::string CheckMutatedDatabase(std::string_view mutation, size_t* served) {
  const std::string bytes = Damaged(mutation);
  const std::filesystem::path db = WorkFolder() / kRecordsFileName;
  std::ofstream(db, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  std::string wrong;
  if (served != nullptr) *served = 0;
  {
    RecordsCache cache(db.string(), Options());
    for (const ReferenceRow& row : ReferenceRows()) {
      const std::optional<PhotoTags> found = cache.Find(row.path, row.tags.file);
      if (found && served != nullptr) ++*served;
      if (found && !SameFacts(*found, row.tags) && wrong.empty()) wrong = "a wrong record for " + row.path;
    }
    cache.Remember(ReferenceRows().front().path, ReferenceRows().front().tags);
    cache.DropGone("/library", true);
  }
  EmptyWorkFolder();
  return wrong;
}

}  // namespace lumetra::fuzz
