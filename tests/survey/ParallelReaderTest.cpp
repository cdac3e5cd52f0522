// The read-ahead pipeline on its own, with a stand-in read that names the file and its content: order,
// files the scout never met, files changed after they were read, failed reads, and shutting down early.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
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

// Reads a file as its "Model" text, "gone" when it cannot be opened; notes which thread read which path.
class StandInRead {
 public:
  ParallelReader::ReadFunction Function() {
    return [this](const std::string& path) {
      PhotoTags tags;
      tags.file = IdentityOfPath(path);
      std::ifstream in(path, std::ios::binary);
      tags.has_exif = in.good();
      tags.texts[static_cast<size_t>(PhotoTag::kModel)] =
          in ? std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()) : "gone";
      tags.texts[static_cast<size_t>(PhotoTag::kMake)] = path;
      if (path.ends_with("throws.jpg")) throw std::runtime_error("cannot read " + path);
      const std::lock_guard lock(mutex_);
      readers_[path].push_back(std::this_thread::get_id());
      return tags;
    };
  }
  std::map<std::string, std::vector<std::thread::id>> Readers() {
    const std::lock_guard lock(mutex_);
    return readers_;
  }

 private:
  std::mutex mutex_;
  std::map<std::string, std::vector<std::thread::id>> readers_;
};

// "p<n>.jpg"; appended, since GCC 12 at -O3 warns falsely about "p" + std::string.
std::string PhotoName(int n) { return std::string("p").append(std::to_string(n)).append(".jpg"); }

std::string Content(const PhotoTags& tags) { return tags.Text(PhotoTag::kModel); }
std::string PathOf(const PhotoTags& tags) { return tags.Text(PhotoTag::kMake); }

TEST(ParallelReader, HandsBackEveryPhotoOfTheWalkInItsOrderReadOnceByAWorker) {
  testing::TempFolder root;
  // More photos than the window holds, over several folders, so that the scout waits for room.
  for (int folder = 0; folder < 5; ++folder) {
    for (int photo = 0; photo < 40; ++photo) {
      const std::string name = std::string("f").append(std::to_string(folder)).append("/").append(PhotoName(photo));
      testing::WriteFileBytes(root.path() / name, "content of " + name);
    }
  }
  for (const unsigned threads : {1u, 2u, 5u}) {
    SCOPED_TRACE(threads);
    StandInRead read;
    std::vector<std::string> walked;
    std::vector<std::string> taken;
    {
      ParallelReader reader(root.path().string(), WalkOptions{}, threads, read.Function());
      WalkHooks hooks;
      hooks.photo = [&](const std::string& path) {
        walked.push_back(path);
        const PhotoTags tags = reader.Take(path);
        EXPECT_EQ(Content(tags), "content of " + path.substr(root.path().string().size() + 1));
        taken.push_back(PathOf(tags));
      };
      const std::atomic<bool> stop{false};
      static_cast<void>(WalkFolder(root.path().string(), WalkOptions{}, hooks, stop));
    }
    ASSERT_EQ(walked.size(), 200u);
    EXPECT_THAT(taken, ElementsAreArray(walked));
    const auto readers = read.Readers();
    EXPECT_EQ(readers.size(), 200u);
    for (const auto& [path, ids] : readers) {
      ASSERT_EQ(ids.size(), 1u) << path;
      EXPECT_NE(ids[0], std::this_thread::get_id()) << path;
    }
  }
}

TEST(ParallelReader, TheScoutTakesThePhotoFilesTheWalkTakes) {
  testing::TempFolder root;
  for (const char* name : {"a.jpg", "b.NEF", "c.cr2", "c.jpg", "d.heic", "e.txt"}) {
    testing::WriteFileBytes(root.path() / name, name);
  }
  WalkOptions options;
  options.formats = PhotoFormats::kAll;
  StandInRead read;
  std::vector<std::string> walked;
  {
    ParallelReader reader(root.path().string(), options, 2, read.Function());
    WalkHooks hooks;
    hooks.photo = [&](const std::string& path) {
      walked.push_back(path.substr(root.path().string().size() + 1));
      static_cast<void>(reader.Take(path));
    };
    const std::atomic<bool> stop{false};
    static_cast<void>(WalkFolder(root.path().string(), options, hooks, stop));
  }
  EXPECT_THAT(walked, ElementsAreArray({"a.jpg", "b.NEF", "c.jpg", "d.heic"}));
  const auto readers = read.Readers();
  EXPECT_EQ(readers.size(), walked.size());
  for (const auto& [path, ids] : readers) {
    ASSERT_EQ(ids.size(), 1u) << path;
    // Read ahead by a worker, not by the walk when it got there.
    EXPECT_NE(ids[0], std::this_thread::get_id()) << path;
  }
}

TEST(ParallelReader, AFileTheScoutDidNotMeetIsReadByTheCaller) {
  testing::TempFolder root;
  testing::TempFolder elsewhere;
  testing::WriteFileBytes(root.path() / "a.jpg", "a");
  testing::WriteFileBytes(root.path() / "b.jpg", "b");
  testing::WriteFileBytes(elsewhere.path() / "new.jpg", "new");
  StandInRead read;
  ParallelReader reader(root.path().string(), WalkOptions{}, 2, read.Function());
  const std::string a = root.path().string() + "/a.jpg";
  const std::string added = elsewhere.path().string() + "/new.jpg";
  const std::string b = root.path().string() + "/b.jpg";
  EXPECT_EQ(Content(reader.Take(a)), "a");
  EXPECT_EQ(Content(reader.Take(added)), "new");
  EXPECT_EQ(Content(reader.Take(b)), "b");
  EXPECT_EQ(read.Readers()[added], std::vector<std::thread::id>{std::this_thread::get_id()});
}

TEST(ParallelReader, AFileChangedAfterItWasReadIsReadAgain) {
  struct Case {
    const char* name;
    std::function<void(const fs::path&)> change;
    std::string content;
  };
  const Case cases[] = {
      {"removed", [](const fs::path& file) { fs::remove(file); }, "gone"},
      {"rewritten", [](const fs::path& file) { testing::WriteFileBytes(file, "rewritten, and longer"); },
       "rewritten, and longer"},
      {"replaced by another file",
       [](const fs::path& file) {
         testing::WriteFileBytes(file.string() + ".new", "other");
         fs::rename(file.string() + ".new", file);
       },
       "other"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempFolder root;
    testing::WriteFileBytes(root.path() / "a.jpg", "a");
    testing::WriteFileBytes(root.path() / "b.jpg", "b");
    testing::WriteFileBytes(root.path() / "c.jpg", "c");
    StandInRead read;
    ParallelReader reader(root.path().string(), WalkOptions{}, 2, read.Function());
    EXPECT_EQ(Content(reader.Take(root.path().string() + "/a.jpg")), "a");
    // Wait until b has been read ahead, so that it is the stale read that is refused.
    while (read.Readers().count(root.path().string() + "/b.jpg") == 0) std::this_thread::yield();
    c.change(root.path() / "b.jpg");
    EXPECT_EQ(Content(reader.Take(root.path().string() + "/b.jpg")), c.content);
    EXPECT_EQ(Content(reader.Take(root.path().string() + "/c.jpg")), "c");
  }
}

TEST(ParallelReader, APhotoWhoseReadNamesNoOpenedFileIsReadAgainByTheCaller) {
  testing::TempFolder root;
  for (const char* name : {"a.jpg", "b.jpg"}) testing::WriteFileBytes(root.path() / name, name);
  StandInRead read;
  // As when the file could not be opened: there is nothing to tell that the name still leads to it.
  ParallelReader reader(root.path().string(), WalkOptions{}, 2, [inner = read.Function()](const std::string& path) {
    PhotoTags tags = inner(path);
    tags.file = FileIdentity{};
    return tags;
  });
  for (const char* name : {"a.jpg", "b.jpg"}) {
    const std::string path = root.path().string() + "/" + name;
    EXPECT_EQ(Content(reader.Take(path)), name);
    const std::vector<std::thread::id> readers = read.Readers()[path];
    ASSERT_EQ(readers.size(), 2u) << path;
    EXPECT_NE(readers[0], std::this_thread::get_id()) << path;
    EXPECT_EQ(readers[1], std::this_thread::get_id()) << path;
  }
}

TEST(ParallelReader, AFileTheScoutDidNotMeetInALargeFolderNeverStallsTheWalk) {
  testing::TempFolder root;
  testing::TempFolder elsewhere;
  testing::WriteFileBytes(elsewhere.path() / "new.jpg", "new");
  for (int i = 0; i < 200; ++i) testing::WriteFileBytes(root.path() / PhotoName(1000 + i), std::to_string(i));
  StandInRead read;
  // One worker: the scout fills the window, then waits until half of it is free.
  ParallelReader reader(root.path().string(), WalkOptions{}, 1, read.Function());
  const auto take = [&](int i) { return Content(reader.Take(root.path().string() + "/" + PhotoName(1000 + i))); };
  for (int i = 0; i < 5; ++i) EXPECT_EQ(take(i), std::to_string(i));
  while (read.Readers().size() < ParallelReader::kFilesAheadPerThread) std::this_thread::yield();
  EXPECT_EQ(Content(reader.Take(elsewhere.path().string() + "/new.jpg")), "new");
  for (int i = 5; i < 200; ++i) EXPECT_EQ(take(i), std::to_string(i));
}

TEST(ParallelReader, AFileTheWalkPassesByIsDropped) {
  testing::TempFolder root;
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) testing::WriteFileBytes(root.path() / name, name);
  StandInRead read;
  ParallelReader reader(root.path().string(), WalkOptions{}, 2, read.Function());
  // b and c are queued but the walk no longer reads them (they vanished between the two listings).
  EXPECT_EQ(Content(reader.Take(root.path().string() + "/a.jpg")), "a.jpg");
  EXPECT_EQ(Content(reader.Take(root.path().string() + "/d.jpg")), "d.jpg");
}

TEST(ParallelReader, AFailedReadIsThrownByTakeAndTheRestGoOn) {
  testing::TempFolder root;
  for (const char* name : {"a.jpg", "b throws.jpg", "c.jpg"}) testing::WriteFileBytes(root.path() / name, name);
  StandInRead read;
  ParallelReader reader(root.path().string(), WalkOptions{}, 2, read.Function());
  const std::string base = root.path().string() + "/";
  EXPECT_EQ(Content(reader.Take(base + "a.jpg")), "a.jpg");
  try {
    static_cast<void>(reader.Take(base + "b throws.jpg"));
    ADD_FAILURE() << "the failed read was not thrown";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(std::string(error.what()), "cannot read " + base + "b throws.jpg");
  }
  EXPECT_EQ(Content(reader.Take(base + "c.jpg")), "c.jpg");
}

TEST(ParallelReader, EndsAtOnceWhenDestroyedEarly) {
  testing::TempFolder root;
  for (int i = 0; i < 300; ++i) testing::WriteFileBytes(root.path() / PhotoName(i), "x");
  // Destroyed with nothing taken (the scout waits for room), and after a few photos: every thread is
  // joined, none hangs.
  for (const int take : {0, 3}) {
    SCOPED_TRACE(take);
    StandInRead read;
    ParallelReader reader(root.path().string(), WalkOptions{}, 2, read.Function());
    for (int i = 0; i < take; ++i) static_cast<void>(reader.Take(root.path().string() + "/" + PhotoName(i)));
  }
}

}  // namespace
}  // namespace lumetra
