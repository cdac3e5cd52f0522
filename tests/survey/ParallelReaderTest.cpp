// The read-ahead ring on its own, with a stand-in read that names the file and its content: walk order,
// photos read by helpers and by the walk, paths the listing did not name, a new folder before the last one's
// photos were taken, failed reads, helpers that stall, and shutting down early.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "metadata/FileIdentity.h"
#include "survey/ParallelReader.h"
#include "survey/WalkFolder.h"
#include "testing/JpegWriter.h"
#include "tests/support/TempFolder.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAreArray;

// Reads a file as its "Model" text, "gone" when it cannot be opened, and notes which thread read which path.
// Reads on the walk's thread can be slowed down, so that helpers get photos to read; reads on helpers can be
// held until `Unblock`, as when a helper has lost its core.
class StandInRead {
 public:
  explicit StandInRead(std::chrono::microseconds walk_read_time = {}, bool block_helpers = false)
      : walk_thread_(std::this_thread::get_id()), walk_read_time_(walk_read_time), helpers_blocked_(block_helpers) {}

  ParallelReader::ReadFunction Function() {
    return [this](const std::string& path, PhotoTags& tags) {
      if (std::this_thread::get_id() == walk_thread_) {
        std::this_thread::sleep_for(walk_read_time_);
      } else {
        while (helpers_blocked_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      tags = PhotoTags();
      std::ifstream in(path, std::ios::binary);
      tags.has_exif = in.good();
      tags.texts[static_cast<size_t>(PhotoTag::kModel)] =
          in ? std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()) : "gone";
      tags.texts[static_cast<size_t>(PhotoTag::kMake)] = path;
      const std::lock_guard lock(mutex_);
      readers_[path].push_back(std::this_thread::get_id());
      if (path.ends_with("throws.jpg")) throw std::runtime_error("cannot read " + path);
    };
  }
  void Unblock() { helpers_blocked_ = false; }
  std::map<std::string, std::vector<std::thread::id>> Readers() {
    const std::lock_guard lock(mutex_);
    return readers_;
  }
  // Photos some helper read, whether or not the walk used that read.
  size_t ReadByHelpers() {
    const std::lock_guard lock(mutex_);
    size_t count = 0;
    for (const auto& [path, ids] : readers_) {
      for (const std::thread::id id : ids) count += id != walk_thread_ ? 1 : 0;
    }
    return count;
  }

 private:
  const std::thread::id walk_thread_;
  const std::chrono::microseconds walk_read_time_;
  std::atomic<bool> helpers_blocked_;
  std::mutex mutex_;
  std::map<std::string, std::vector<std::thread::id>> readers_;
};

// "p<n>.jpg"; appended, since GCC 12 at -O3 warns falsely about "p" + std::string.
std::string PhotoName(int n) { return std::string("p").append(std::to_string(n)).append(".jpg"); }

std::string Content(const PhotoTags& tags) { return tags.Text(PhotoTag::kModel); }

// Photos p0.jpg ... in `folder`, each holding its own name.
std::vector<std::string> WritePhotos(const fs::path& folder, int count) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) {
    names.push_back(PhotoName(i));
    testing::WriteFileBytes(folder / names.back(), names.back());
  }
  return names;
}

// The walk of `root` with the reader in its hooks: the content of every photo taken, in walk order.
std::vector<std::string> WalkWithReader(const fs::path& root, ParallelReader& reader,
                                        std::vector<std::string>& walked) {
  std::vector<std::string> contents;
  WalkHooks hooks;
  hooks.photos_listed = [&](const std::string& folder, const std::vector<std::string_view>& names) {
    reader.Listed(folder, names);
  };
  hooks.photo = [&](const std::string& path) {
    walked.push_back(path);
    contents.push_back(Content(reader.Take(path)));
  };
  const std::atomic<bool> stop{false};
  static_cast<void>(WalkFolder(root.string(), WalkOptions{}, hooks, stop));
  return contents;
}

TEST(ParallelReader, HandsBackEveryPhotoOfTheWalkInItsOrder) {
  testing::TempFolder root;
  // More photos in a folder than the ring holds, small folders, and a link the listing does not name.
  constexpr int kLarge = 3 * static_cast<int>(ParallelReader::kSlots);
  for (int folder = 0; folder < 4; ++folder) {
    const int count = folder == 0 ? kLarge : folder * 3;
    const fs::path path = root.path() / std::string("f").append(std::to_string(folder));
    fs::create_directories(path);
    WritePhotos(path, count);
  }
  fs::create_symlink("f0/p0.jpg", root.path() / "link.jpg");
  for (const unsigned threads : {2u, 3u, 5u}) {
    SCOPED_TRACE(threads);
    // The walk's own reads are slow, so that helpers read most of the large folder.
    StandInRead read(std::chrono::microseconds(300));
    std::vector<std::string> walked;
    std::vector<std::string> contents;
    {
      ParallelReader reader(threads, read.Function());
      contents = WalkWithReader(root.path(), reader, walked);
    }
    ASSERT_EQ(walked.size(), 1u + kLarge + 3 + 6 + 9);
    for (size_t i = 0; i < walked.size(); ++i) {
      EXPECT_EQ(contents[i],
                fs::path(walked[i]).filename() == "link.jpg" ? "p0.jpg" : fs::path(walked[i]).filename().string())
          << walked[i];
    }
    // The helpers fill the ring long before the slow walk empties it; they are woken again as it frees slots.
    EXPECT_GT(read.ReadByHelpers(), ParallelReader::kSlots);
    // A helper's read is used or dropped, never repeated by it: at most the walk reads a photo a second time.
    for (const auto& [path, ids] : read.Readers()) EXPECT_LE(ids.size(), 2u) << path;
  }
}

TEST(ParallelReader, AFolderTooSmallToShareIsReadByTheWalkAlone) {
  testing::TempFolder root;
  // Fewer photos than the helpers' lead and one batch: no helper would have a batch to read.
  const std::vector<std::string> names =
      WritePhotos(root.path(), static_cast<int>(ParallelReader::kLead + ParallelReader::kWakeBatch) - 1);
  StandInRead read(std::chrono::microseconds(300));
  std::vector<std::string> walked;
  ParallelReader reader(3, read.Function());
  static_cast<void>(WalkWithReader(root.path(), reader, walked));
  ASSERT_EQ(walked.size(), names.size());
  EXPECT_EQ(read.ReadByHelpers(), 0u);
}

TEST(ParallelReader, AtAFoldersEndHelpersTakeTheWalksLastPhotosFromTheFarEnd) {
  testing::TempFolder root;
  std::vector<std::string> names =
      WritePhotos(root.path(), static_cast<int>(ParallelReader::kLead + ParallelReader::kWakeBatch));
  std::sort(names.begin(), names.end(), detail::ListingOrderLess);
  StandInRead read(std::chrono::microseconds(2000));
  std::vector<std::string> walked;
  ParallelReader reader(2, read.Function());
  EXPECT_THAT(WalkWithReader(root.path(), reader, walked), ElementsAreArray(names));
  const std::thread::id walk = std::this_thread::get_id();
  const auto readers = read.Readers();
  const auto first_read_by = [&](size_t index) { return readers.at(walked[index]).front(); };
  // The photos the walk is about to take stay its own; the last before the lead is a helper's.
  for (size_t i = 0; i < ParallelReader::kLeftToTheWalk; ++i) EXPECT_EQ(first_read_by(i), walk) << walked[i];
  EXPECT_NE(first_read_by(ParallelReader::kLead - 1), walk) << walked[ParallelReader::kLead - 1];
}

TEST(ParallelReader, AHelperThatStallsNeverStallsTheWalk) {
  testing::TempFolder root;
  std::vector<std::string> names = WritePhotos(root.path(), 100);
  std::sort(names.begin(), names.end(), detail::ListingOrderLess);
  for (const unsigned threads : {2u, 4u}) {
    SCOPED_TRACE(threads);
    StandInRead read(std::chrono::microseconds(0), /*block_helpers=*/true);
    std::vector<std::string> walked;
    ParallelReader reader(threads, read.Function());
    // Helpers hold their photos until the walk is over: the walk gives up on them and reads every photo itself.
    EXPECT_THAT(WalkWithReader(root.path(), reader, walked), ElementsAreArray(names));
    for (const auto& [path, ids] : read.Readers()) {
      ASSERT_EQ(ids.size(), 1u) << path;
      EXPECT_EQ(ids[0], std::this_thread::get_id()) << path;
    }
    read.Unblock();
  }
}

TEST(ParallelReader, APathTheListingDidNotNameIsReadByTheWalk) {
  testing::TempFolder root;
  testing::TempFolder elsewhere;
  const std::vector<std::string> names = WritePhotos(root.path(), 3);
  testing::WriteFileBytes(elsewhere.path() / "new.jpg", "new");
  StandInRead read;
  ParallelReader reader(2, read.Function());
  const std::vector<std::string_view> listed(names.begin(), names.end());
  const std::string folder = root.path().string() + "/";
  reader.Listed(folder, listed);
  const std::string added = elsewhere.path().string() + "/new.jpg";
  EXPECT_EQ(Content(reader.Take(folder + "p0.jpg")), "p0.jpg");
  EXPECT_EQ(Content(reader.Take(added)), "new");
  EXPECT_EQ(Content(reader.Take(folder + "p1.jpg")), "p1.jpg");
  EXPECT_EQ(Content(reader.Take(folder + "p2.jpg")), "p2.jpg");
  EXPECT_EQ(read.Readers()[added], std::vector<std::thread::id>{std::this_thread::get_id()});
}

TEST(ParallelReader, ANewFolderDropsThePhotosOfTheLastNotTaken) {
  testing::TempFolder first;
  testing::TempFolder second;
  const std::vector<std::string> first_names = WritePhotos(first.path(), 90);
  std::vector<std::string> second_names;
  for (int i = 0; i < 90; ++i) {
    second_names.push_back(std::string("q").append(std::to_string(i)).append(".jpg"));
    testing::WriteFileBytes(second.path() / second_names.back(), second_names.back());
  }
  StandInRead read(std::chrono::microseconds(100));
  ParallelReader reader(3, read.Function());
  const std::vector<std::string_view> first_listed(first_names.begin(), first_names.end());
  const std::vector<std::string_view> second_listed(second_names.begin(), second_names.end());
  // As after a walk stopped part-way through the first folder: the helpers may be reading its photos.
  reader.Listed(first.path().string() + "/", first_listed);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(Content(reader.Take(first.path().string() + "/" + first_names[static_cast<size_t>(i)])),
              first_names[static_cast<size_t>(i)]);
  }
  reader.Listed(second.path().string() + "/", second_listed);
  for (const std::string& name : second_names) {
    EXPECT_EQ(Content(reader.Take(second.path().string() + "/" + name)), name);
  }
}

TEST(ParallelReader, AFailedReadIsThrownByTakeAndTheRestGoOn) {
  // The failing photo near the walk (read by the walk itself) and far ahead of it (most likely by a helper).
  for (const int failing : {0, 2, 20}) {
    SCOPED_TRACE(failing);
    testing::TempFolder root;
    std::vector<std::string> names = WritePhotos(root.path(), 30);
    names[static_cast<size_t>(failing)] = "p throws.jpg";
    testing::WriteFileBytes(root.path() / names[static_cast<size_t>(failing)], "x");
    StandInRead read(std::chrono::microseconds(200));
    ParallelReader reader(2, read.Function());
    const std::vector<std::string_view> listed(names.begin(), names.end());
    const std::string folder = root.path().string() + "/";
    reader.Listed(folder, listed);
    for (const std::string& name : names) {
      if (name != "p throws.jpg") {
        EXPECT_EQ(Content(reader.Take(folder + name)), name);
        continue;
      }
      try {
        static_cast<void>(reader.Take(folder + name));
        ADD_FAILURE() << "the failed read was not thrown";
      } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), "cannot read " + folder + name);
      }
    }
  }
}

TEST(ParallelReader, EndsAtOnceWhenDestroyedEarly) {
  testing::TempFolder root;
  const std::vector<std::string> names = WritePhotos(root.path(), 300);
  const std::vector<std::string_view> listed(names.begin(), names.end());
  // Destroyed with nothing taken (the helpers have filled the ring and wait), and after a few photos: every
  // helper is joined, none hangs.
  for (const int take : {0, 3}) {
    SCOPED_TRACE(take);
    StandInRead read;
    ParallelReader reader(3, read.Function());
    reader.Listed(root.path().string() + "/", listed);
    for (int i = 0; i < take; ++i) static_cast<void>(reader.Take(root.path().string() + "/" + PhotoName(i)));
  }
}

}  // namespace
}  // namespace lumetra
