// Surveys of folder trees that fight back: link loops, FIFOs and devices named like photos, empty and
// cut-short files, names of 255 bytes and of every script, paths longer than the system takes, and files
// and folders that change while the walk is under way. The survey ends, counts what it can read, names the
// folders and files it could not read, and gives the same with one reading thread as with several.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/SettingsFile.h"
#include "crop/CropStore.h"
#include "files/ReadOwnFile.h"
#include "survey/WalkFolder.h"
#include "testing/DemoFolder.h"
#include "testing/JpegWriter.h"
#include "tests/support/TempFolder.h"
#include "tests/survey/SurveyOutcome.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;
using ::testing::IsEmpty;
using testing::SurveyInterference;
using testing::SurveyOutcome;
using ::testing::UnorderedElementsAreArray;

// The demo photos with Exif, each a distinct camera where the list allows.
std::vector<testing::DemoPhoto> CountedPhotos() {
  std::vector<testing::DemoPhoto> photos;
  for (const testing::DemoPhoto& photo : testing::DemoPhotos()) {
    const bool new_model =
        std::none_of(photos.begin(), photos.end(), [&](const testing::DemoPhoto& p) { return p.model == photo.model; });
    if (photo.has_exif && new_model) photos.push_back(photo);
  }
  return photos;
}

// The path and model fields of every record line of an outcome (fields are " |text#label").
std::vector<std::string> RecordPathsAndModels(const std::vector<std::string>& lines) {
  std::vector<std::string> found;
  for (const std::string& line : lines) {
    if (!line.starts_with("record ")) continue;
    std::vector<std::string> fields;
    for (size_t start = line.find(" |"); start != std::string::npos;) {
      const size_t next = line.find(" |", start + 2);
      const std::string field =
          line.substr(start + 2, next == std::string::npos ? std::string::npos : next - start - 2);
      fields.push_back(field.substr(0, field.rfind('#')));
      start = next;
    }
    found.push_back(fields.at(kPath) + " " + fields.at(kModel));
  }
  return found;
}

// A chain of folders with names of 250 bytes, deeper than the longest path the system takes, made and
// removed relative to open folders since no full path reaches its end. `photo_level` gets a photo, and so
// does the bottom.
class DeepChain {
 public:
  static inline const std::string kName = std::string(250, 'd');

  DeepChain(const fs::path& top, int levels, int photo_level, const std::string& photo) : top_(top) {
    int folder = ::open(top.c_str(), O_DIRECTORY | O_CLOEXEC);
    for (int level = 1; level <= levels && folder >= 0; ++level) {
      ::mkdirat(folder, kName.c_str(), 0755);
      const int next = ::openat(folder, kName.c_str(), O_DIRECTORY | O_CLOEXEC);
      ::close(folder);
      folder = next;
      if (level == photo_level || level == levels) WriteAt(folder, photo);
    }
    if (folder >= 0) ::close(folder);
  }
  ~DeepChain() {
    const int folder = ::open(top_.c_str(), O_DIRECTORY | O_CLOEXEC);
    RemoveChain(folder);
    ::close(folder);
  }

 private:
  static void WriteAt(int folder, const std::string& bytes) {
    const int file = ::openat(folder, "deep.jpg", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(file, 0);
    ASSERT_EQ(::write(file, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(file);
  }
  // Iterative in depth order: open down to the bottom, then remove upwards.
  static void RemoveChain(int top) {
    std::vector<int> folders = {top};
    for (int next; (next = ::openat(folders.back(), kName.c_str(), O_DIRECTORY | O_CLOEXEC)) >= 0;) {
      folders.push_back(next);
    }
    for (size_t i = folders.size(); i-- > 1;) {
      ::unlinkat(folders[i], "deep.jpg", 0);
      ::close(folders[i]);
      ::unlinkat(folders[i - 1], kName.c_str(), AT_REMOVEDIR);
    }
  }

  fs::path top_;
};

TEST(HostileFolder, TheSurveyEndsAndCountsWhatItCanRead) {
  const std::vector<testing::DemoPhoto> photos = CountedPhotos();
  ASSERT_GE(photos.size(), 4u);
  const std::string jpeg = testing::DemoPhotoBytes(photos[0]);
  testing::TempFolder root;
  const fs::path& top = root.path();
  const std::string base = top.string() + "/";

  std::vector<std::string> counted;
  const auto photo = [&](const std::string& relative, const testing::DemoPhoto& demo) {
    testing::WriteFileBytes(top / relative, testing::DemoPhotoBytes(demo));
    counted.push_back(base + relative + " " + demo.model);
  };
  photo("plain.jpg", photos[0]);
  // Names of 255 bytes, the most a name may have: ASCII, Cyrillic (two bytes a letter), and a folder.
  photo(std::string(251, 'n') + ".jpg", photos[1]);
  std::string cyrillic;
  for (int i = 0; i < 125; ++i) cyrillic += "ф";
  photo(cyrillic + ".JPG", photos[2]);
  photo(std::string(255, 'f') + "/" + std::string(251, 'n') + ".jpg", photos[3]);
  // Names that are not UTF-8, and characters beyond the Basic Multilingual Plane.
  photo("\xff\xfe stray bytes.jpg", photos[0]);
  photo("\xf0\x9f\x93\xb7 camera.jpg", photos[1]);

  // Not photos, each still an entry: nothing is counted, nothing blocks.
  testing::WriteFileBytes(top / "empty.jpg", "");
  testing::WriteFileBytes(top / "text.jpg", "not a JPEG at all");
  testing::WriteFileBytes(top / "cut short.jpg", jpeg.substr(0, 20));
  ASSERT_EQ(::mkfifo((top / "fifo.jpg").c_str(), 0644), 0);
  fs::create_symlink("/dev/zero", top / "zero.jpg");
  fs::create_symlink("self.jpg", top / "self.jpg");
  // Links back up the tree: to the top, and to the folder itself.
  fs::create_directories(top / "loops");
  fs::create_directory_symlink("..", top / "loops" / "up");
  fs::create_directory_symlink(".", top / "loops" / "here");
  fs::create_directory_symlink(top, top / "loops" / "absolute");

  // A chain of folders longer than PATH_MAX: its photo near the top is read, the one at the bottom cannot be.
  const int levels = PATH_MAX / (DeepChain::kName.size() + 1) + 2;
  const DeepChain chain(top, levels, 3, testing::DemoPhotoBytes(photos[2]));
  const std::string level = DeepChain::kName + "/";
  counted.push_back(base + level + level + level + "deep.jpg " + photos[2].model);

  std::vector<std::string> one_threaded;
  for (const unsigned threads : {1u, 2u, 8u}) {
    SCOPED_TRACE(threads);
    SurveyOptions options;
    options.reader_threads = threads;
    const std::vector<std::string> outcome = SurveyOutcome(top.string(), options);
    // Entered once each: the top, the folder of 255 bytes, loops/ but none of its links, and the chain as far
    // as its paths can be opened.
    std::vector<std::string> entered;
    for (const std::string& line : outcome) {
      if (line.starts_with("events ") && !line.starts_with("events " + base + level)) entered.push_back(line.substr(7));
    }
    EXPECT_THAT(entered, ::testing::ElementsAre(base, base + std::string(255, 'f') + "/", base + "loops/"));
    EXPECT_GE(testing::CountLines(outcome, "events") - entered.size(), 3u);
    EXPECT_THAT(RecordPathsAndModels(outcome), UnorderedElementsAreArray(counted));
    std::vector<std::string> walk;
    for (const std::string& line : outcome) {
      if (line.starts_with("walk ") || line.starts_with("exception ")) walk.push_back(line);
    }
    ASSERT_EQ(walk.size(), 1u);
    // Thirteen entries; all but the FIFO, the device and the self-link are read, seven of them as photos.
    EXPECT_TRUE(walk[0].starts_with("walk stopped=0 entries=13 photos=10 ")) << walk[0].substr(0, 100);
    // The chain's folder where the path grows too long is named as passed over, and nothing else is.
    std::vector<std::string> not_read;
    for (const std::string& line : outcome) {
      if (line.starts_with("not read ")) not_read.push_back(line);
    }
    ASSERT_EQ(not_read.size(), 1u) << ::testing::PrintToString(not_read);
    EXPECT_TRUE(not_read[0].starts_with("not read " + base + level + level + level + level)) << not_read[0];
    EXPECT_TRUE(not_read[0].ends_with("/: File name too long")) << not_read[0];
    // Only the chain can be left unlisted, where its path grows too long.
    const std::string skipped = walk[0].substr(walk[0].find("skipped:") + 8);
    EXPECT_TRUE(skipped.empty() ||
                (skipped.find(base + level + level + level + level) == 1 && skipped.size() > PATH_MAX - level.size() &&
                 skipped.find(' ', 1) == std::string::npos))
        << skipped;
    if (threads == 1) {
      one_threaded = outcome;
    } else {
      EXPECT_EQ(outcome, one_threaded);
    }
  }
}

TEST(HostileFolder, FilesThatChangeDuringTheWalk) {
  const std::vector<testing::DemoPhoto> photos = CountedPhotos();
  ASSERT_GE(photos.size(), 5u);
  struct Case {
    const char* name;
    // Done after the walk's first entry, a.jpg, to the tree under `top`.
    std::function<void(const fs::path& top)> change;
    // Relative paths and models of the photos counted.
    std::vector<std::string> counted;
    // What the survey names as not read, relative: "path: reason".
    std::vector<std::string> not_read = {};
  };
  const std::string a = "a.jpg " + photos[0].model;
  const std::string b = "b.jpg " + photos[1].model;
  const std::string c = "c.jpg " + photos[2].model;
  const std::string d = "sub/d.jpg " + photos[3].model;
  const Case cases[] = {
      {"nothing changes", [](const fs::path&) {}, {a, b, c, d}},
      {"a later photo vanishes",
       [](const fs::path& top) { fs::remove(top / "c.jpg"); },
       {a, b, d},
       {"c.jpg: No such file or directory"}},
      {"a later photo becomes a FIFO",
       [](const fs::path& top) {
         fs::remove(top / "c.jpg");
         ASSERT_EQ(::mkfifo((top / "c.jpg").c_str(), 0644), 0);
       },
       {a, b, d},
       {"c.jpg: not a regular file"}},
      {"a later photo is emptied", [](const fs::path& top) { fs::resize_file(top / "c.jpg", 0); }, {a, b, d}},
      {"a later photo is replaced by another camera's",
       [&](const fs::path& top) {
         testing::WriteFileBytes(top / "c.new", testing::DemoPhotoBytes(photos[4]));
         fs::rename(top / "c.new", top / "c.jpg");
       },
       {a, b, "c.jpg " + photos[4].model, d}},
      {"a photo appears in a later folder",
       [&](const fs::path& top) { testing::WriteFileBytes(top / "sub" / "e.jpg", testing::DemoPhotoBytes(photos[4])); },
       {a, b, c, d, "sub/e.jpg " + photos[4].model}},
      {"a later folder vanishes",
       [](const fs::path& top) { fs::remove_all(top / "sub"); },
       {a, b, c},
       {"sub/: No such file or directory"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> one_threaded;
    for (const unsigned threads : {1u, 2u, 8u}) {
      SCOPED_TRACE(std::string(c.name) + ", threads " + std::to_string(threads));
      testing::TempFolder root;
      const fs::path& top = root.path();
      testing::WriteFileBytes(top / "a.jpg", testing::DemoPhotoBytes(photos[0]));
      testing::WriteFileBytes(top / "b.jpg", testing::DemoPhotoBytes(photos[1]));
      testing::WriteFileBytes(top / "c.jpg", testing::DemoPhotoBytes(photos[2]));
      testing::WriteFileBytes(top / "sub" / "d.jpg", testing::DemoPhotoBytes(photos[3]));
      SurveyOptions options;
      options.reader_threads = threads;
      const SurveyInterference interference{[&](int64_t n, const std::string&, std::atomic<bool>&) {
                                              if (n == 1) c.change(top);
                                            },
                                            {}};
      std::vector<std::string> outcome = SurveyOutcome(top.string(), options, interference);
      std::vector<std::string> expected;
      for (const std::string& photo : c.counted) expected.push_back(top.string() + "/" + photo);
      EXPECT_THAT(RecordPathsAndModels(outcome), UnorderedElementsAreArray(expected));
      std::vector<std::string> not_read;
      for (const std::string& line : outcome) {
        if (line.starts_with("not read ")) not_read.push_back(line.substr(9 + top.string().size() + 1));
      }
      EXPECT_THAT(not_read, ::testing::ElementsAreArray(c.not_read));
      // The temporary folder's name differs from run to run.
      for (std::string& line : outcome) {
        for (size_t at; (at = line.find(top.string())) != std::string::npos;)
          line.replace(at, top.string().size(), "TOP");
      }
      if (threads == 1) {
        one_threaded = outcome;
      } else {
        EXPECT_EQ(outcome, one_threaded);
      }
    }
  }
}

TEST(HostileFolder, AnUnreadableFolderOrPhotoIsPassedBy) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root, which reads whatever the permission bits say";
  const std::vector<testing::DemoPhoto> photos = CountedPhotos();
  testing::TempFolder root;
  const fs::path& top = root.path();
  testing::WriteFileBytes(top / "a.jpg", testing::DemoPhotoBytes(photos[0]));
  testing::WriteFileBytes(top / "locked.jpg", testing::DemoPhotoBytes(photos[1]));
  testing::WriteFileBytes(top / "closed" / "b.jpg", testing::DemoPhotoBytes(photos[2]));
  fs::permissions(top / "locked.jpg", fs::perms::none);
  fs::permissions(top / "closed", fs::perms::none);
  for (const unsigned threads : {1u, 2u}) {
    SCOPED_TRACE(threads);
    SurveyOptions options;
    options.reader_threads = threads;
    const std::vector<std::string> outcome = SurveyOutcome(top.string(), options);
    EXPECT_THAT(RecordPathsAndModels(outcome), UnorderedElementsAreArray({top.string() + "/a.jpg " + photos[0].model}));
    std::vector<std::string> not_read;
    for (const std::string& line : outcome) {
      if (line.starts_with("not read ")) not_read.push_back(line);
    }
    EXPECT_THAT(not_read, ::testing::ElementsAre("not read " + top.string() + "/closed/: Permission denied",
                                                 "not read " + top.string() + "/locked.jpg: Permission denied"));
  }
  fs::permissions(top / "closed", fs::perms::owner_all);
}

// The photos a plain walk of `top` reads and what it passes over, paths relative to `top`.
struct WalkedPhotos {
  std::vector<std::string> photos;
  std::vector<std::string> skipped;
  WalkResult result;
};

WalkedPhotos WalkPhotos(const fs::path& top, const std::string& start) {
  WalkedPhotos walked;
  const std::string base = top.string() + "/";
  const auto relative = [&](const std::string& path) {
    return path.starts_with(base) ? path.substr(base.size()) : path;
  };
  WalkHooks hooks;
  hooks.photo = [&](const std::string& path) { walked.photos.push_back(relative(path)); };
  const std::atomic<bool> stop{false};
  walked.result = WalkFolder(start, WalkOptions{}, hooks, stop);
  for (const SkippedEntry& entry : walked.result.skipped)
    walked.skipped.push_back(relative(entry.path) + ": " + entry.reason);
  return walked;
}

TEST(HostileFolder, EveryFolderIsWalkedOnceHoweverItIsReached) {
  struct Case {
    const char* name;
    // Builds the tree under `top`; returns the folder to walk, relative to `top`.
    std::function<std::string(const fs::path& top)> build;
    std::vector<std::string> photos;
    std::vector<std::string> skipped;
  };
  const Case cases[] = {
      {"two links per level to the next folder, 24 levels deep",
       [](const fs::path& top) {
         constexpr int kLevels = 24;
         for (int level = 0; level < kLevels; ++level) {
           const fs::path next = top / ("level" + std::to_string(level + 1));
           fs::create_directories(next);
           fs::create_directories(top / ("level" + std::to_string(level)));
           fs::create_directory_symlink(next, top / ("level" + std::to_string(level)) / "a");
           fs::create_directory_symlink(next, top / ("level" + std::to_string(level)) / "b");
         }
         testing::WriteFileBytes(top / ("level" + std::to_string(kLevels)) / "p.jpg", "x");
         return std::string("level0");
       },
       {"level0/a/a/a/a/a/a/a/a/a/a/a/a/a/a/a/a/a/a/a/a/a/a/a/a/p.jpg"},
       {}},
      {"two aliases of a sub-folder beside it",
       [](const fs::path& top) {
         testing::WriteFileBytes(top / "photos" / "sub" / "p.jpg", "x");
         fs::create_directory_symlink("sub", top / "photos" / "alias1");
         fs::create_directory_symlink(top / "photos" / "sub", top / "photos" / "alias2");
         return std::string("photos");
       },
       {"photos/alias1/p.jpg"},
       {}},
      {"hard links of one file stay two photos, as a copy would",
       [](const fs::path& top) {
         testing::WriteFileBytes(top / "photos" / "a.jpg", "x");
         fs::create_hard_link(top / "photos" / "a.jpg", top / "photos" / "b.jpg");
         return std::string("photos");
       },
       {"photos/a.jpg", "photos/b.jpg"},
       {}},
      {"links to virtual file systems are not entered",
       [](const fs::path& top) {
         testing::WriteFileBytes(top / "photos" / "a.jpg", "x");
         fs::create_directory_symlink("/proc", top / "photos" / "proc");
         fs::create_directory_symlink("/sys", top / "photos" / "sys");
         return std::string("photos");
       },
       {"photos/a.jpg"},
       {"photos/proc/: a virtual file system", "photos/sys/: a virtual file system"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempFolder root;
    const std::string start = c.build(root.path());
    const WalkedPhotos walked = WalkPhotos(root.path(), root.path().string() + "/" + start);
    EXPECT_THAT(walked.photos, ::testing::ElementsAreArray(c.photos));
    EXPECT_THAT(walked.skipped, ::testing::ElementsAreArray(c.skipped));
  }
}

TEST(HostileFolder, OwnFilesThatAreNotOursAreNeitherReadNorReplaced) {
  struct Case {
    const char* name;
    std::function<void(const fs::path& file)> make;
    const char* reason;
  };
  const Case cases[] = {
      {"a FIFO, which would block a read", [](const fs::path& file) { ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0); },
       "not a regular file"},
      {"an endless device", [](const fs::path& file) { fs::create_symlink("/dev/zero", file); }, "not a regular file"},
      {"a file above the size limit",
       [](const fs::path& file) {
         testing::WriteFileBytes(file, "");
         fs::resize_file(file, kOwnFileSizeLimit + 1);
       },
       "larger than 16 MiB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempFolder root;
    const fs::path crop_file = root.path() / "Lumetra_Crop.ini";
    const fs::path settings_file = root.path() / "Lumetra.ini";
    c.make(crop_file);
    c.make(settings_file);
    const auto kind = [](const fs::path& file) {
      const fs::file_status status = fs::symlink_status(file);
      return std::to_string(static_cast<int>(status.type())) +
             (fs::is_regular_file(status) ? " " + std::to_string(fs::file_size(file)) : "");
    };
    const std::string crop_before = kind(crop_file);

    CropStore crops;
    const CropFileResult loaded = LoadCropStore(crops, crop_file, '.');
    EXPECT_EQ(loaded.Message(), crop_file.string() + ": not read (" + c.reason +
                                    "): the built-in list is used and the file is left as it is");
    EXPECT_EQ(crops.records.size(), DefaultCropTable.size());
    crops.CropStoreChanged = true;
    EXPECT_FALSE(SaveCropStore(crops, crop_file, '.').written);
    EXPECT_EQ(kind(crop_file), crop_before);

    std::string refused;
    EXPECT_FALSE(ReadSettingsFile(settings_file, &refused).has_value());
    EXPECT_EQ(refused, settings_file.string() + ": not read (" + c.reason +
                           "): the settings are the defaults and the file is left as it is");
  }
}

}  // namespace
}  // namespace lumetra
