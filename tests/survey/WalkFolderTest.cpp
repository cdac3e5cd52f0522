// The folder walk on real folder trees in a temporary folder: listing order, sub-folders, links, special
// files, unreadable folders, Stop, the hooks, the trace file; and the two status texts.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "survey/PhotoFormats.h"
#include "survey/SurveyTexts.h"
#include "survey/WalkFolder.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// Creates the tree: a path ending in "/" is a folder, any other a small file (its parents are created).
void MakeTree(const fs::path& root, const std::vector<std::string>& paths) {
  for (const std::string& relative : paths) {
    if (relative.ends_with('/')) {
      fs::create_directories(root / relative);
      continue;
    }
    fs::create_directories((root / relative).parent_path());
    std::ofstream(root / relative) << "not read by the walk";
  }
}

// Records every hook call as "enter X", "photo X" or "entry X", X relative to the tree's root ("" for the
// root itself, folders ending in "/"), and can raise Stop when a given call is made.
class Recorder {
 public:
  explicit Recorder(const fs::path& root) : root_(root.string() + "/") {}

  WalkHooks Hooks() {
    WalkHooks hooks;
    hooks.process_events = [this](const std::string& folder) { Note("enter " + Relative(folder)); };
    hooks.photo = [this](const std::string& path) { Note("photo " + Relative(path)); };
    hooks.entry_done = [this](const std::string& path) { Note("entry " + Relative(path)); };
    return hooks;
  }

  // Sets Stop when the call `event` is recorded.
  void StopAt(std::string event) { stop_at_ = std::move(event); }

  // The recorded calls of one kind ("photo", "entry", "enter"), without the kind.
  std::vector<std::string> Calls(const std::string& kind) const {
    std::vector<std::string> found;
    for (const std::string& call : log) {
      if (call.starts_with(kind + " ")) found.push_back(call.substr(kind.size() + 1));
    }
    return found;
  }

  std::vector<std::string> log;
  std::atomic<bool> stop{false};

 private:
  std::string Relative(const std::string& path) const {
    if (path.starts_with(root_)) return path.substr(root_.size());
    return "outside:" + path;
  }
  void Note(std::string call) {
    if (call == stop_at_) stop = true;
    log.push_back(std::move(call));
  }

  std::string root_;
  std::string stop_at_;
};

WalkOptions Options(bool sub_folders = true) {
  WalkOptions options;
  options.cb_SubFolders = sub_folders;
  return options;
}

TEST(WalkFolder, ReadsJpgFilesBeforeSubFoldersInListingOrder) {
  struct Case {
    const char* name;
    std::vector<std::string> tree;
    bool sub_folders;
    std::vector<std::string> photos;
    std::vector<std::string> entries;
  };
  const Case cases[] = {
      {"any case of .jpg and .jpeg, other names ignored",
       {"b.jpg", "a.JPG", "C.Jpg", "d.jpeg", "e.jpg.txt", "f.jPg", "jpg", "g.JPE", "h.JPEG", "i.jpeg.bak"},
       true,
       {"a.JPG", "b.jpg", "C.Jpg", "d.jpeg", "f.jPg", "h.JPEG"},
       {"a.JPG", "b.jpg", "C.Jpg", "d.jpeg", "f.jPg", "h.JPEG"}},
      {"a sub-folder named x.jpg is an entry, not a photo, and is walked",
       {"a.JPG", "b.jpg", "x.jpg/inner.jpg"},
       true,
       {"a.JPG", "b.jpg", "x.jpg/inner.jpg"},
       {"a.JPG", "b.jpg", "x.jpg", "x.jpg/inner.jpg"}},
      {"sub-folder option off: x.jpg still an entry, nothing below read",
       {"a.JPG", "b.jpg", "x.jpg/inner.jpg", "sub/c.jpg"},
       false,
       {"a.JPG", "b.jpg"},
       {"a.JPG", "b.jpg", "x.jpg"}},
      {"files of a folder before its sub-folders, each sub-folder finished first",
       {"a/1.jpg", "z.jpg", "b/2.jpg", "a/c/3.jpg", "a/4.jpg"},
       true,
       {"z.jpg", "a/1.jpg", "a/4.jpg", "a/c/3.jpg", "b/2.jpg"},
       {"z.jpg", "a/1.jpg", "a/4.jpg", "a/c/3.jpg", "b/2.jpg"}},
      {"sub-folders in listing order too",
       {"b/1.jpg", "A/2.jpg", "_c/3.jpg"},
       true,
       {"A/2.jpg", "b/1.jpg", "_c/3.jpg"},
       {"A/2.jpg", "b/1.jpg", "_c/3.jpg"}},
      {"letters compare upper-cased: b after A, before _ (0x5F lies between the cases)",
       {"_a.jpg", "b.jpg", "A.jpg"},
       true,
       {"A.jpg", "b.jpg", "_a.jpg"},
       {"A.jpg", "b.jpg", "_a.jpg"}},
      {"Cyrillic names upper-cased too",
       {"я.jpg", "Б.jpg", "а.jpg", "Ё.jpg"},
       true,
       {"Ё.jpg", "а.jpg", "Б.jpg", "я.jpg"},
       {"Ё.jpg", "а.jpg", "Б.jpg", "я.jpg"}},
      {"hidden names included",
       {".hidden.jpg", ".jpg", ".cache/p.jpg"},
       true,
       {".hidden.jpg", ".jpg", ".cache/p.jpg"},
       {".hidden.jpg", ".jpg", ".cache/p.jpg"}},
      {"empty folders", {"empty/", "deeper/still/"}, true, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempFolder root;
    MakeTree(root.path(), c.tree);
    Recorder recorder(root.path());
    const WalkResult result = WalkFolder(root.path().string(), Options(c.sub_folders), recorder.Hooks(), recorder.stop);
    EXPECT_THAT(recorder.Calls("photo"), ElementsAreArray(c.photos));
    EXPECT_THAT(recorder.Calls("entry"), ElementsAreArray(c.entries));
    EXPECT_EQ(result.photos, static_cast<int64_t>(c.photos.size()));
    EXPECT_EQ(result.entries, static_cast<int64_t>(c.entries.size()));
    EXPECT_FALSE(result.stopped);
    EXPECT_THAT(result.skipped_folders, IsEmpty());
  }
}

TEST(WalkFolder, HooksAreCalledOnEnteringFoldersAndAfterEveryEntry) {
  testing::TempFolder root;
  MakeTree(root.path(), {"b.jpg", "a.JPG", "notes.txt", "x.jpg/", "sub/c.jpg", "sub/deep/"});
  // The starting folder is given without a "/" at the end, then with one: the paths are the same.
  for (const std::string& start : {root.path().string(), root.path().string() + "/"}) {
    SCOPED_TRACE(start);
    Recorder recorder(root.path());
    const WalkResult result = WalkFolder(start, Options(), recorder.Hooks(), recorder.stop);
    EXPECT_THAT(recorder.log,
                ElementsAre("enter ", "photo a.JPG", "entry a.JPG", "photo b.jpg", "entry b.jpg", "entry x.jpg",
                            "enter sub/", "photo sub/c.jpg", "entry sub/c.jpg", "enter sub/deep/", "enter x.jpg/"));
    EXPECT_EQ(result.entries, 4);
    EXPECT_EQ(result.photos, 3);
  }
}

TEST(WalkFolder, ProcessesEventsBetweenEntriesOnceTheIntervalHasPassed) {
  testing::TempFolder root;
  MakeTree(root.path(), {"1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg", "6.jpg", "7.jpg", "sub/8.jpg"});
  Recorder recorder(root.path());
  // Each photo takes 40 ms on this clock; nothing else takes time.
  std::chrono::steady_clock::time_point clock{};
  WalkHooks hooks = recorder.Hooks();
  const auto photo = hooks.photo;
  hooks.photo = [&](const std::string& path) {
    photo(path);
    clock += std::chrono::milliseconds(40);
  };
  hooks.now = [&] { return clock; };
  const WalkResult result = WalkFolder(root.path().string(), Options(), hooks, recorder.stop);
  EXPECT_EQ(result.photos, 8);
  // 120 ms after entering: after the third photo; again after the sixth; entering sub/ restarts the count.
  std::vector<std::string> events_after;
  std::string last_entry;
  for (const std::string& call : recorder.log) {
    if (call.starts_with("entry ")) last_entry = call.substr(6);
    if (call.starts_with("enter ")) events_after.push_back(last_entry + " -> " + call.substr(6));
  }
  EXPECT_THAT(events_after, ElementsAre(" -> ", "3.jpg -> ", "6.jpg -> ", "7.jpg -> sub/"));
}

TEST(WalkFolder, LinksAreFollowedButNeverLoop) {
  testing::TempFolder root;
  MakeTree(root.path(), {"a/1.jpg", "b/2.jpg", "top.jpg"});
  fs::create_directory_symlink("..", root.path() / "a" / "up");
  fs::create_directory_symlink(".", root.path() / "a" / "self");
  fs::create_directory_symlink("../a", root.path() / "b" / "to_a");
  fs::create_symlink("a/1.jpg", root.path() / "linked.jpg");
  Recorder recorder(root.path());
  WalkHooks hooks = recorder.Hooks();
  const auto enter = hooks.process_events;
  int folders = 0;
  // A walk caught in the loops would go on until the paths grew too long; it is stopped well before.
  hooks.process_events = [&](const std::string& folder) {
    enter(folder);
    if (++folders > 20) recorder.stop = true;
  };
  const WalkResult result = WalkFolder(root.path().string(), Options(), hooks, recorder.stop);
  // a/up, a/self and b/to_a lead to folders already walked and are not entered again; a linked file is a
  // photo of its own.
  EXPECT_THAT(recorder.Calls("photo"), ElementsAre("linked.jpg", "top.jpg", "a/1.jpg", "b/2.jpg"));
  EXPECT_THAT(recorder.Calls("enter"), ElementsAre("", "a/", "b/"));
  EXPECT_FALSE(result.stopped);
}

TEST(WalkFolder, OnlyRegularFilesAreReadAsPhotos) {
  testing::TempFolder root;
  MakeTree(root.path(), {"a.jpg", "z.jpg"});
  ASSERT_EQ(::mkfifo((root.path() / "fifo.jpg").c_str(), 0644), 0);
  fs::create_symlink("/dev/null", root.path() / "device.jpg");
  fs::create_symlink("nowhere.jpg", root.path() / "dangling.jpg");
  fs::create_directory_symlink("/nonexistent-folder", root.path() / "dangling_folder");
  Recorder recorder(root.path());
  const WalkResult result = WalkFolder(root.path().string(), Options(), recorder.Hooks(), recorder.stop);
  EXPECT_THAT(recorder.Calls("photo"), ElementsAre("a.jpg", "z.jpg"));
  // Each is still an entry: the status texts are rewritten after it.
  EXPECT_THAT(recorder.Calls("entry"), ElementsAre("a.jpg", "dangling.jpg", "device.jpg", "fifo.jpg", "z.jpg"));
  EXPECT_THAT(recorder.Calls("enter"), ElementsAre(""));
  EXPECT_THAT(result.skipped_folders, IsEmpty());
}

WalkOptions FormatOptions(PhotoFormats formats) {
  WalkOptions options;
  options.formats = formats;
  return options;
}

TEST(WalkFolder, OtherPhotoFormatsAreTakenOnlyWhenAsked) {
  testing::TempFolder root;
  // Every extension once, in lower, upper or mixed case, beside names that only look like photos.
  const std::vector<std::string> others = {"a.heic", "b.HEIF", "c.Hif", "d.avif", "e.NEF", "f.nrw", "g.Cr2", "h.CR3",
                                           "i.dng",  "j.ARW",  "k.sr2", "l.SRF",  "m.pef", "n.sRw", "o.iiq", "p.3FR",
                                           "q.erf",  "r.MEF",  "s.rwl", "t.ORF",  "u.rw2", "v.RAF"};
  std::vector<std::string> tree = {"photo.jpg", "heic", "notes.heic.txt", "scan.tif", "x.cr2x", "y.png", "z.raw"};
  tree.insert(tree.end(), others.begin(), others.end());
  MakeTree(root.path(), tree);

  Recorder jpeg_only(root.path());
  const WalkResult jpeg_result =
      WalkFolder(root.path().string(), FormatOptions(PhotoFormats::kJpeg), jpeg_only.Hooks(), jpeg_only.stop);
  EXPECT_THAT(jpeg_only.Calls("photo"), ElementsAre("photo.jpg"));
  EXPECT_THAT(jpeg_only.Calls("entry"), ElementsAre("photo.jpg"));
  EXPECT_EQ(jpeg_result.entries, 1);

  Recorder all(root.path());
  const WalkResult all_result =
      WalkFolder(root.path().string(), FormatOptions(PhotoFormats::kAll), all.Hooks(), all.stop);
  std::vector<std::string> expected = others;
  expected.push_back("photo.jpg");
  std::sort(expected.begin(), expected.end(), detail::ListingOrderLess);
  EXPECT_THAT(all.Calls("photo"), ElementsAreArray(expected));
  EXPECT_THAT(all.Calls("entry"), ElementsAreArray(expected));
  EXPECT_EQ(all_result.photos, static_cast<int64_t>(expected.size()));
}

TEST(WalkFolder, ARawFileBesideAJpegOfTheSameBaseNameIsPassedOver) {
  struct Case {
    const char* name;
    std::vector<std::string> tree;
    std::vector<std::string> photos;
  };
  const Case cases[] = {
      {"RAW beside its JPEG", {"IMG_0001.CR2", "IMG_0001.JPG"}, {"IMG_0001.JPG"}},
      {"either name in any case, and .jpeg", {"img_0001.cr2", "IMG_0001.Jpeg"}, {"IMG_0001.Jpeg"}},
      {"Cyrillic base names compared ignoring case too", {"снимок.NEF", "СНИМОК.jpg"}, {"СНИМОК.jpg"}},
      {"every RAW of that name", {"DSC_1.NEF", "DSC_1.ARW", "DSC_1.jpg", "DSC_2.ARW"}, {"DSC_1.jpg", "DSC_2.ARW"}},
      {"RAW alone", {"IMG_0002.CR2", "IMG_0003.JPG"}, {"IMG_0002.CR2", "IMG_0003.JPG"}},
      {"HEIC and AVIF beside a JPEG are their own photos",
       {"IMG_0004.HEIC", "IMG_0004.JPG", "IMG_0005.avif", "IMG_0005.jpg"},
       {"IMG_0004.HEIC", "IMG_0004.JPG", "IMG_0005.avif", "IMG_0005.jpg"}},
      {"RAW beside a HEIC only", {"IMG_0006.DNG", "IMG_0006.HEIC"}, {"IMG_0006.DNG", "IMG_0006.HEIC"}},
      {"a JPEG in another folder does not pair",
       {"IMG_0007.JPG", "raw/IMG_0007.CR2", "jpeg/IMG_0008.JPG", "IMG_0008.CR2"},
       {"IMG_0007.JPG", "IMG_0008.CR2", "jpeg/IMG_0008.JPG", "raw/IMG_0007.CR2"}},
      {"only the last extension is cut off: no pairs here",
       {"IMG_0009.CR2.JPG", "IMG_0009.CR2", "IMG_0010.jpg.cr2", "IMG_0010.jpg"},
       {"IMG_0009.CR2", "IMG_0009.CR2.JPG", "IMG_0010.jpg", "IMG_0010.jpg.cr2"}},
      {"a folder named like the JPEG is no photo of it", {"IMG_0011.CR2", "IMG_0011.JPG/"}, {"IMG_0011.CR2"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempFolder root;
    MakeTree(root.path(), c.tree);
    Recorder recorder(root.path());
    const WalkResult result =
        WalkFolder(root.path().string(), FormatOptions(PhotoFormats::kAll), recorder.Hooks(), recorder.stop);
    EXPECT_THAT(recorder.Calls("photo"), ElementsAreArray(c.photos));
    // A RAW file passed over is no entry either: nothing of it reaches the status texts.
    const std::vector<std::string> entries = recorder.Calls("entry");
    for (const std::string& path : c.tree) {
      const bool passed_over = std::find(c.photos.begin(), c.photos.end(), path) == c.photos.end();
      if (PhotoFileKindOf(path) == PhotoFileKind::kRaw && passed_over) {
        EXPECT_THAT(entries, ::testing::Not(::testing::Contains(path)));
      }
    }
    EXPECT_THAT(result.skipped, IsEmpty());
  }
}

TEST(WalkFolder, ALinkToAJpegPairsLikeTheJpeg) {
  testing::TempFolder root;
  MakeTree(root.path(), {"store/IMG_0001.JPG", "IMG_0001.CR2", "IMG_0002.CR2"});
  fs::create_symlink("store/IMG_0001.JPG", root.path() / "IMG_0001.JPG");
  fs::create_symlink("nowhere.jpg", root.path() / "IMG_0002.JPG");
  Recorder recorder(root.path());
  const WalkResult result =
      WalkFolder(root.path().string(), FormatOptions(PhotoFormats::kAll), recorder.Hooks(), recorder.stop);
  EXPECT_THAT(recorder.Calls("photo"), ElementsAre("IMG_0001.JPG", "IMG_0002.CR2", "store/IMG_0001.JPG"));
  EXPECT_EQ(result.entries, 4);
}

// Readers ahead of the walk take their work from this hook: every name it gives must reach `photo`, in that
// order, and nothing that is not a plain file may be among them.
TEST(WalkFolder, NamesEachFoldersPlainPhotoFilesBeforeHandlingThem) {
  testing::TempFolder root;
  MakeTree(root.path(), {"b.jpg", "A.JPG", "c.CR2", "c.jpg", "d.NEF", "notes.txt", "x.jpg/", "sub/e.jpg", "empty/"});
  fs::create_symlink("b.jpg", root.path() / "link.jpg");
  ASSERT_EQ(::mkfifo((root.path() / "fifo.jpg").c_str(), 0644), 0);
  Recorder recorder(root.path());
  WalkHooks hooks = recorder.Hooks();
  hooks.photos_listed = [&](const std::string& folder, const std::vector<std::string_view>& names) {
    std::string call = "listed " + folder.substr(root.path().string().size() + 1) + ":";
    for (const std::string_view name : names) call.append(" ").append(name);
    recorder.log.push_back(call);
  };
  const WalkResult result = WalkFolder(root.path().string(), FormatOptions(PhotoFormats::kAll), hooks, recorder.stop);
  // The link is read as a photo without being named; the FIFO and the folder x.jpg are neither.
  EXPECT_THAT(
      recorder.log,
      ElementsAre("enter ", "listed : A.JPG b.jpg c.jpg d.NEF", "photo A.JPG", "entry A.JPG", "photo b.jpg",
                  "entry b.jpg", "photo c.jpg", "entry c.jpg", "photo d.NEF", "entry d.NEF", "entry fifo.jpg",
                  "photo link.jpg", "entry link.jpg", "entry x.jpg", "enter empty/", "listed empty/:", "enter sub/",
                  "listed sub/: e.jpg", "photo sub/e.jpg", "entry sub/e.jpg", "enter x.jpg/", "listed x.jpg/:"));
  EXPECT_EQ(result.photos, 6);
}

TEST(WalkFolder, AFolderThatCannotBeListedIsSkipped) {
  testing::TempFolder root;
  MakeTree(root.path(), {"a/1.jpg", "b/2.jpg", "c/3.jpg"});
  Recorder recorder(root.path());
  WalkHooks hooks = recorder.Hooks();
  const auto enter = hooks.process_events;
  // b vanishes between the parent's listing and its own, which fails as an unreadable folder's does.
  hooks.process_events = [&](const std::string& folder) {
    enter(folder);
    if (folder == root.path().string() + "/b/") fs::remove_all(folder);
  };
  const WalkResult result = WalkFolder(root.path().string(), Options(), hooks, recorder.stop);
  EXPECT_THAT(recorder.Calls("photo"), ElementsAre("a/1.jpg", "c/3.jpg"));
  EXPECT_THAT(result.skipped_folders, ElementsAre(root.path().string() + "/b/"));
  EXPECT_THAT(result.skipped,
              ElementsAre(SkippedEntry{.path = root.path().string() + "/b/", .reason = "No such file or directory"}));
  EXPECT_FALSE(result.stopped);
  // A sub-folder that cannot be listed leaves the walk's result to show.
  EXPECT_FALSE(result.root_unreadable);
}

TEST(WalkFolder, AFolderWithoutReadPermissionIsSkipped) {
  if (::geteuid() == 0) GTEST_SKIP() << "root lists a folder whatever its permission bits";
  testing::TempFolder root;
  MakeTree(root.path(), {"a/1.jpg", "b/2.jpg", "c/3.jpg"});
  fs::permissions(root.path() / "b", fs::perms::none);
  Recorder recorder(root.path());
  const WalkResult result = WalkFolder(root.path().string(), Options(), recorder.Hooks(), recorder.stop);
  fs::permissions(root.path() / "b", fs::perms::owner_all);
  EXPECT_THAT(recorder.Calls("photo"), ElementsAre("a/1.jpg", "c/3.jpg"));
  EXPECT_THAT(result.skipped_folders, ElementsAre(root.path().string() + "/b/"));
}

TEST(WalkFolder, AStartingFolderThatCannotBeListedIsReported) {
  testing::TempFolder root;
  MakeTree(root.path(), {"file.jpg"});
  struct Case {
    std::string start;
    std::string skipped;
  };
  const Case cases[] = {
      {(root.path() / "missing").string(), (root.path() / "missing").string() + "/"},
      {(root.path() / "file.jpg").string(), (root.path() / "file.jpg").string() + "/"},
      // An empty path would otherwise become "/", the whole file system.
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    Recorder recorder(root.path());
    const WalkResult result = WalkFolder(c.start, Options(), recorder.Hooks(), recorder.stop);
    EXPECT_TRUE(result.root_unreadable);
    EXPECT_THAT(result.skipped_folders, ElementsAre(c.skipped));
    EXPECT_THAT(recorder.Calls("photo"), IsEmpty());
    EXPECT_EQ(result.entries, 0);
  }
}

TEST(WalkFolder, StopEndsEveryOpenListingAfterTheEntryInProgress) {
  const std::vector<std::string> tree = {"a.jpg",       "b.jpg",       "x.jpg/", "s1/s2/c.jpg",
                                         "s1/s2/d.jpg", "s1/s3/e.jpg", "t/f.jpg"};
  struct Case {
    const char* stop_at;
    std::vector<std::string> photos;
    std::vector<std::string> entries;
    const char* last_call;
  };
  const Case cases[] = {
      // Seen on entering a folder: not even its first entry is started.
      {"enter ", {}, {}, "enter "},
      {"enter s1/s2/", {"a.jpg", "b.jpg"}, {"a.jpg", "b.jpg", "x.jpg"}, "enter s1/s2/"},
      // Set while a photo is read: that entry is finished (its status update included), no other starts.
      {"photo a.jpg", {"a.jpg"}, {"a.jpg"}, "entry a.jpg"},
      {"photo s1/s2/c.jpg",
       {"a.jpg", "b.jpg", "s1/s2/c.jpg"},
       {"a.jpg", "b.jpg", "x.jpg", "s1/s2/c.jpg"},
       "entry s1/s2/c.jpg"},
      // Set after an entry, a sub-folder named x.jpg included.
      {"entry b.jpg", {"a.jpg", "b.jpg"}, {"a.jpg", "b.jpg"}, "entry b.jpg"},
      {"entry x.jpg", {"a.jpg", "b.jpg"}, {"a.jpg", "b.jpg", "x.jpg"}, "entry x.jpg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stop_at);
    testing::TempFolder root;
    MakeTree(root.path(), tree);
    Recorder recorder(root.path());
    recorder.StopAt(c.stop_at);
    const WalkResult result = WalkFolder(root.path().string(), Options(), recorder.Hooks(), recorder.stop);
    EXPECT_THAT(recorder.Calls("photo"), ElementsAreArray(c.photos));
    EXPECT_THAT(recorder.Calls("entry"), ElementsAreArray(c.entries));
    EXPECT_EQ(recorder.log.back(), c.last_call) << "the walk went on after Stop";
    EXPECT_TRUE(result.stopped);
  }
}

TEST(WalkFolder, StopClickedWhileEventsAreProcessedInsideALargeFolder) {
  testing::TempFolder root;
  MakeTree(root.path(), {"1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg", "sub/6.jpg"});
  Recorder recorder(root.path());
  // Each photo takes 40 ms: the first call after entering comes after the third photo, and Stop is
  // clicked there.
  std::chrono::steady_clock::time_point clock{};
  WalkHooks hooks = recorder.Hooks();
  const auto photo = hooks.photo;
  hooks.photo = [&](const std::string& path) {
    photo(path);
    clock += std::chrono::milliseconds(40);
  };
  hooks.now = [&] { return clock; };
  int calls = 0;
  const auto enter = hooks.process_events;
  hooks.process_events = [&](const std::string& folder) {
    enter(folder);
    if (++calls == 2) recorder.stop = true;
  };
  const WalkResult result = WalkFolder(root.path().string(), Options(), hooks, recorder.stop);
  EXPECT_TRUE(result.stopped);
  EXPECT_THAT(recorder.Calls("photo"), ElementsAre("1.jpg", "2.jpg", "3.jpg"));
  EXPECT_EQ(recorder.log.back(), "enter ");
}

TEST(WalkFolder, TraceNamesThePhotoBeingReadAndMarksItDone) {
  testing::TempFolder root;
  testing::TempFolder program;
  MakeTree(root.path(), {"1.jpg", "2.jpg", "x.jpg/", "sub/3.jpg"});
  ASSERT_EQ(::mkfifo((root.path() / "4.jpg").c_str(), 0644), 0);
  const fs::path trace = program.path() / "test.txt";
  std::ofstream(trace) << "an old trace, longer than any of the paths above, from a previous run of the program";
  WalkOptions options = Options();
  options.trace_path = trace.string();
  std::vector<std::string> seen_while_reading;
  WalkHooks hooks;
  hooks.photo = [&](const std::string&) { seen_while_reading.push_back(testing::ReadFileBytes(trace)); };
  hooks.trace_failed = [](const std::string& message) { ADD_FAILURE() << message; };
  std::atomic<bool> stop{false};
  const WalkResult result = WalkFolder(root.path().string(), options, hooks, stop);
  const std::string base = root.path().string() + "/";
  // While a photo is read the trace holds its path alone; afterwards only the last one, marked done.
  EXPECT_THAT(seen_while_reading, ElementsAre(base + "1.jpg", base + "2.jpg", base + "sub/3.jpg"));
  EXPECT_EQ(testing::ReadFileBytes(trace), base + "sub/3.jpg +\r\n");
  EXPECT_THAT(result.trace_failure, IsEmpty());
}

TEST(WalkFolder, TraceFailureIsReportedOnceAndTheWalkGoesOn) {
  testing::TempFolder root;
  testing::TempFolder program;
  MakeTree(root.path(), {"1.jpg", "2.jpg", "sub/3.jpg"});
  // Planted under the trace's name: a FIFO (nobody reads it: opening it for writing would wait for ever)
  // and a link to a file of the user's, which must come through untouched.
  const fs::path fifo = program.path() / "fifo" / "test.txt";
  fs::create_directories(fifo.parent_path());
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const fs::path users_file = program.path() / "users-file";
  std::ofstream(users_file) << "the user's own";
  const fs::path link = program.path() / "link" / "test.txt";
  fs::create_directories(link.parent_path());
  fs::create_symlink(users_file, link);
  const fs::path dangling = program.path() / "dangling" / "test.txt";
  fs::create_directories(dangling.parent_path());
  fs::create_symlink(program.path() / "made-through-the-link", dangling);
  struct Case {
    const char* name;
    std::string trace_path;
    const char* reason;
  };
  const Case cases[] = {
      {"cannot be created", (root.path() / "no-such-folder" / "test.txt").string(), "cannot create"},
      {"a device", "/dev/full", "not a regular file"},
      {"a FIFO", fifo.string(), "not a regular file"},
      {"a link to a file", link.string(), "a symbolic link"},
      {"a link to nothing yet", dangling.string(), "a symbolic link"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.trace_path == "/dev/full" && !fs::exists("/dev/full")) continue;
    WalkOptions options = Options();
    options.trace_path = c.trace_path;
    Recorder recorder(root.path());
    WalkHooks hooks = recorder.Hooks();
    std::vector<std::string> reports;
    hooks.trace_failed = [&](const std::string& message) { reports.push_back(message); };
    const WalkResult result = WalkFolder(root.path().string(), options, hooks, recorder.stop);
    EXPECT_THAT(recorder.Calls("photo"), ElementsAre("1.jpg", "2.jpg", "sub/3.jpg"));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_THAT(reports[0], HasSubstr(c.reason));
    EXPECT_THAT(reports[0], HasSubstr(c.trace_path));
    EXPECT_EQ(result.trace_failure, reports[0]);
  }
  EXPECT_EQ(testing::ReadFileBytes(users_file), "the user's own");
  EXPECT_FALSE(fs::exists(program.path() / "made-through-the-link"));
  EXPECT_TRUE(fs::is_symlink(link));
}

TEST(ListingOrder, ComparesUpperCasedUtf16CodeUnits) {
  struct Case {
    const char* a;
    const char* b;
    bool equal_keys;
  };
  // Each a lists before b.
  const Case cases[] = {
      {"A.JPG", "a.jpg", true},  // equal ignoring case: the bytes decide
      {"a.jpg", "B.jpg", false},
      {"B.jpg", "_a.jpg", false},
      {"z.jpg", "é.jpg", false},  // U+00E9 upper-cases to U+00C9, still above 'Z'
      {"É.jpg", "ö.jpg", false},  // U+00C9 < U+00D6
      {"ÿ.jpg", "Ÿ.jpg", true},   // U+00FF upper-cases to U+0178; its bytes C3 BF come before C5 B8
      {"Ÿ.jpg", "Ź.jpg", false},  // U+0178 < U+0179
      {"ł.jpg", "Ń.jpg", false},  // U+0142 -> U+0141 < U+0143
      {"α.jpg", "Β.jpg", false},  // Greek
      {"ς.jpg", "Τ.jpg", false},  // final sigma upper-cases to U+03A3
      {"Ё.jpg", "а.jpg", false},  // U+0401 < U+0410
      {"а.jpg", "Б.jpg", false},  // U+0430 -> U+0410 < U+0411
      {"ё.jpg", "я.jpg", false},  // U+0451 -> U+0401 < U+042F, though its UTF-8 bytes are greater
      {"\xf0\x9f\x93\xb7.jpg", "\xee\x80\x80.jpg", false},  // a surrogate pair (D83D) before U+E000
      {"\xe4\xb8\x80.jpg", "\xff.jpg", false},              // U+4E00 before the stray byte 0xFF (code unit 0xDCFF)
      {"\xc3.jpg", "\xee\x80\x80.jpg", false},              // a cut-short sequence is a stray byte: 0xDCC3 < U+E000
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " < " + c.b);
    EXPECT_TRUE(detail::ListingOrderLess(c.a, c.b));
    EXPECT_FALSE(detail::ListingOrderLess(c.b, c.a));
    EXPECT_EQ(detail::ListingKey(c.a) == detail::ListingKey(c.b), c.equal_keys);
  }
}

TEST(ListingOrder, KeysAreUtf16UpperCase) {
  EXPECT_EQ(detail::ListingKey("aZ.jpg"), u"AZ.JPG");
  EXPECT_EQ(detail::ListingKey("фото µ.jpg"), u"ФОТО Μ.JPG");
  EXPECT_EQ(detail::ListingKey("\xf0\x9f\x93\xb7"), std::u16string({0xD83D, 0xDCF7}));
  // Stray, overlong and surrogate-encoding bytes each become 0xDC00 + byte.
  EXPECT_EQ(detail::ListingKey("\x80"), std::u16string({0xDC80}));
  EXPECT_EQ(detail::ListingKey("\xc0\xaf"), std::u16string({0xDCC0, 0xDCAF}));
  EXPECT_EQ(detail::ListingKey("\xed\xa0\x80"), std::u16string({0xDCED, 0xDCA0, 0xDC80}));
}

TEST(ListingOrder, JpgAndJpegExtensionsInAnyCase) {
  struct Case {
    const char* name;
    bool matches;
  };
  const Case cases[] = {{"a.jpg", true},  {"a.JPG", true},   {"a.jPg", true},  {".jpg", true},       {"a.jpeg", true},
                        {"a.JpEg", true}, {".jpeg", true},   {"a.jpe", false}, {"a.jpg.txt", false}, {"jpg", false},
                        {"jpeg", false},  {"a_jpeg", false}, {"a_jpg", false}, {"", false},          {"a.jpgx", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(detail::HasJpgExtension(c.name), c.matches);
  }
}

TEST(SurveyTexts, CountsWithTheirWordsInBothLanguages) {
  struct Case {
    int64_t n;
    const char* processed_ru;
    const char* filtered_ru;
  };
  const Case cases[] = {
      {0, " Обработано 0 фотографий с EXIF", " Отфильтровано 0 фотографий"},
      {1, " Обработано 1 фотография с EXIF", " Отфильтровано 1 фотография"},
      {2, " Обработано 2 фотографии с EXIF", " Отфильтровано 2 фотографии"},
      {3, " Обработано 3 фотографии с EXIF", " Отфильтровано 3 фотографии"},
      {4, " Обработано 4 фотографии с EXIF", " Отфильтровано 4 фотографии"},
      {5, " Обработано 5 фотографий с EXIF", " Отфильтровано 5 фотографий"},
      {10, " Обработано 10 фотографий с EXIF", " Отфильтровано 10 фотографий"},
      // 11 to 14 take the plural of 5, whatever their last digit.
      {11, " Обработано 11 фотографий с EXIF", " Отфильтровано 11 фотографий"},
      {12, " Обработано 12 фотографий с EXIF", " Отфильтровано 12 фотографий"},
      {14, " Обработано 14 фотографий с EXIF", " Отфильтровано 14 фотографий"},
      {21, " Обработано 21 фотография с EXIF", " Отфильтровано 21 фотография"},
      {22, " Обработано 22 фотографии с EXIF", " Отфильтровано 22 фотографии"},
      {25, " Обработано 25 фотографий с EXIF", " Отфильтровано 25 фотографий"},
      {101, " Обработано 101 фотография с EXIF", " Отфильтровано 101 фотография"},
      {111, " Обработано 111 фотографий с EXIF", " Отфильтровано 111 фотографий"},
      {112, " Обработано 112 фотографий с EXIF", " Отфильтровано 112 фотографий"},
      {1000, " Обработано 1000 фотографий с EXIF", " Отфильтровано 1000 фотографий"},
      {1234, " Обработано 1234 фотографии с EXIF", " Отфильтровано 1234 фотографии"},
      {10011, " Обработано 10011 фотографий с EXIF", " Отфильтровано 10011 фотографий"},
      {-1, " Обработано -1 фотография с EXIF", " Отфильтровано -1 фотография"},
      {INT64_MIN, " Обработано -9223372036854775808 фотографий с EXIF",
       " Отфильтровано -9223372036854775808 фотографий"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    EXPECT_EQ(ProcessedText(c.n, kRussian), c.processed_ru);
    EXPECT_EQ(FilteredText(c.n, kRussian), c.filtered_ru);
    // English has one word for every count, 1 included.
    EXPECT_EQ(ProcessedText(c.n, kEnglish), " Processed " + std::to_string(c.n) + " photos with EXIF");
    EXPECT_EQ(FilteredText(c.n, kEnglish), " Filtered " + std::to_string(c.n) + " photos");
  }
}

}  // namespace
}  // namespace lumetra
