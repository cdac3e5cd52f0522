#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <map>

#include "app/ShortcutFolder.h"
#include "testing/JpegWriter.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

// Every entry of `folder` (not below it): its name and, for a link, where it points; "<folder>" for a
// folder, "<file>" and its content for a file.
std::map<std::string, std::string> Entries(const fs::path& folder) {
  std::map<std::string, std::string> entries;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename() == kShortcutRecordName) continue;
    std::string what;
    if (entry.is_symlink()) {
      what = fs::read_symlink(entry.path()).string();
    } else if (entry.is_directory()) {
      what = "<folder>";
    } else {
      what = "<file>" + testing::ReadFileBytes(entry.path());
    }
    entries[entry.path().filename().string()] = what;
  }
  return entries;
}

TEST(ShortcutNames, EveryPhotoGetsANameOfItsOwn) {
  const struct {
    const char* trace;
    std::vector<std::string> photos;
    std::vector<std::string> taken;
    std::vector<std::string> expected;
  } cases[] = {
      {"the photo's name with .lnk",
       {"/p/IMG_0001.JPG", "/p/a/DSC_0042.jpg"},
       {},
       {"IMG_0001.JPG.lnk", "DSC_0042.jpg.lnk"}},
      {"a repeated name is numbered from 2 on",
       {"/p/IMG_0001.JPG", "/p/a/IMG_0001.JPG", "/p/b/IMG_0001.JPG"},
       {},
       {"IMG_0001.JPG.lnk", "IMG_0001.JPG (2).lnk", "IMG_0001.JPG (3).lnk"}},
      {"names differing in case only are one name on Windows",
       {"/p/IMG_0001.JPG", "/p/a/img_0001.jpg"},
       {},
       {"IMG_0001.JPG.lnk", "img_0001.jpg (2).lnk"}},
      {"a photo whose name looks numbered",
       {"/p/A", "/p/a/A", "/p/b/A (2)"},
       {},
       {"A.lnk", "A (2).lnk", "A (2) (2).lnk"}},
      {"a name another file holds is skipped",
       {"/p/IMG_0001.JPG", "/p/a/IMG_0001.JPG"},
       {"img_0001.jpg.lnk", "notes.txt"},
       {"IMG_0001.JPG (2).lnk", "IMG_0001.JPG (3).lnk"}},
      {"no photos", {}, {"x.lnk"}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.trace);
    EXPECT_EQ(ShortcutNames(c.photos, c.taken), c.expected);
  }
}

class MakeShortcutListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* photo : {"IMG_0001.JPG", "Holidays/IMG_0001.JPG", "Holidays/DSC_0107.JPG"}) {
      testing::WriteFileBytes(photos_ / photo, photo);
    }
  }

  std::vector<std::string> Photos(std::initializer_list<const char*> names) const {
    std::vector<std::string> paths;
    for (const char* name : names) paths.push_back((photos_ / name).string());
    return paths;
  }

  testing::TempFolder temp_;
  fs::path photos_ = temp_.path() / "photos";
  fs::path folder_ = temp_.path() / "program" / "TEMP";
};

TEST_F(MakeShortcutListTest, MakesTheFolderAndALinkToEachPhoto) {
  fs::create_directory(temp_.path() / "program");
  const std::vector<std::string> photos = Photos({"IMG_0001.JPG", "Holidays/DSC_0107.JPG", "Holidays/IMG_0001.JPG"});
  const ShortcutListResult result = MakeShortcutList(folder_, photos);
  EXPECT_TRUE(result.ok()) << result.folder_failure;
  EXPECT_EQ(result.made, 3);
  const std::map<std::string, std::string> expected = {
      {"IMG_0001.JPG.lnk", photos[0]}, {"DSC_0107.JPG.lnk", photos[1]}, {"IMG_0001.JPG (2).lnk", photos[2]}};
  EXPECT_EQ(Entries(folder_), expected);
  // Each link leads to its photo.
  EXPECT_EQ(testing::ReadFileBytes(folder_ / "IMG_0001.JPG (2).lnk"), "Holidays/IMG_0001.JPG");
  EXPECT_EQ(ShortcutFolderPath(temp_.path() / "program"), folder_);
}

TEST_F(MakeShortcutListTest, ReplacesOnlyItsOwnShortcuts) {
  // A first use, then what the user put there beside its links.
  fs::create_directories(folder_.parent_path());
  ASSERT_TRUE(MakeShortcutList(folder_, Photos({"Holidays/DSC_0107.JPG", "IMG_0001.JPG"})).ok());
  fs::create_directories(folder_ / "Keep");
  fs::create_symlink(photos_ / "IMG_0001.JPG", folder_ / "Keep" / "old.lnk");
  fs::create_symlink(photos_ / "IMG_0001.JPG", folder_ / "link to a photo");
  fs::create_symlink(photos_ / "IMG_0001.JPG", folder_ / "Mine.lnk");
  fs::create_symlink(photos_ / "Holidays", folder_ / "Folder.LNK");
  testing::WriteFileBytes(folder_ / "notes.txt", "mine");
  testing::WriteFileBytes(folder_ / "Copied.lnk", "a Windows shortcut the user copied here");
  testing::WriteFileBytes(folder_ / "Keep" / "inside.txt", "kept");

  const std::vector<std::string> photos = Photos({"Holidays/IMG_0001.JPG"});
  const ShortcutListResult result = MakeShortcutList(folder_, photos);
  EXPECT_TRUE(result.ok());
  const std::map<std::string, std::string> expected = {
      {"IMG_0001.JPG.lnk", photos[0]},
      {"Keep", "<folder>"},
      {"link to a photo", (photos_ / "IMG_0001.JPG").string()},
      {"Mine.lnk", (photos_ / "IMG_0001.JPG").string()},
      {"Folder.LNK", (photos_ / "Holidays").string()},
      {"notes.txt", "<file>mine"},
      {"Copied.lnk", "<file>a Windows shortcut the user copied here"},
  };
  EXPECT_EQ(Entries(folder_), expected);
  const std::map<std::string, std::string> kept = {{"old.lnk", (photos_ / "IMG_0001.JPG").string()},
                                                   {"inside.txt", "<file>kept"}};
  EXPECT_EQ(Entries(folder_ / "Keep"), kept);
}

// Links named as shortcuts that this program did not make: planted before any use, or put in the place of
// one of ours after it was made (same name, another link). None of them is removed, now or later.
TEST_F(MakeShortcutListTest, NeverRemovesALinkItDidNotMake) {
  fs::create_directories(folder_);
  fs::create_symlink(photos_ / "IMG_0001.JPG", folder_ / "Before.JPG.lnk");
  ASSERT_TRUE(MakeShortcutList(folder_, Photos({"Holidays/DSC_0107.JPG", "IMG_0001.JPG"})).ok());
  // The user replaces our two links by links of theirs: one to another photo, one to the same photo.
  fs::remove(folder_ / "DSC_0107.JPG.lnk");
  fs::create_symlink(photos_ / "Holidays", folder_ / "DSC_0107.JPG.lnk");
  fs::remove(folder_ / "IMG_0001.JPG.lnk");
  fs::create_symlink(photos_ / "IMG_0001.JPG", folder_ / "IMG_0001.JPG.lnk");  // may take the freed inode
  for (int use = 0; use < 2; ++use) {
    SCOPED_TRACE(use);
    ASSERT_TRUE(MakeShortcutList(folder_, {}).ok());
    const std::map<std::string, std::string> expected = {
        {"Before.JPG.lnk", (photos_ / "IMG_0001.JPG").string()},
        {"DSC_0107.JPG.lnk", (photos_ / "Holidays").string()},
        {"IMG_0001.JPG.lnk", (photos_ / "IMG_0001.JPG").string()},
    };
    EXPECT_EQ(Entries(folder_), expected);
  }
}

// A record that does not describe the link as it is makes nothing ours: broken, of the link's inode at
// another change time (a link that took the inode of one we removed), or of another inode.
TEST_F(MakeShortcutListTest, ABrokenOrStaleRecordMakesNothingOurs) {
  const std::vector<std::string> photos = Photos({"IMG_0001.JPG"});
  const std::string entry = std::string("IMG_0001.JPG.lnk") + '\0' + photos[0] + '\0';
  const auto identity = [](const fs::path& link, int64_t changed_ns_offset) {
    struct stat info {};
    EXPECT_EQ(::lstat(link.c_str(), &info), 0);
    const int64_t changed_ns = static_cast<int64_t>(info.st_ctim.tv_sec) * 1'000'000'000 + info.st_ctim.tv_nsec;
    return std::to_string(info.st_ino) + ':' + std::to_string(changed_ns + changed_ns_offset) + '\0';
  };
  struct Case {
    const char* what;
    std::function<std::string(const fs::path&)> record;
  };
  const std::vector<Case> cases = {
      {"garbage", [](const fs::path&) { return std::string("garbage"); }},
      {"empty", [](const fs::path&) { return std::string(); }},
      {"inode without time", [&](const fs::path&) { return "12" + std::string(1, '\0') + entry; }},
      {"junk after the time", [&](const fs::path&) { return "12:5x" + std::string(1, '\0') + entry; }},
      {"another inode", [&](const fs::path&) { return "1:0" + std::string(1, '\0') + entry; }},
      {"another change time", [&](const fs::path& link) { return identity(link, 1) + entry; }},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    fs::create_symlink(photos[0], folder_ / "IMG_0001.JPG.lnk");
    testing::WriteFileBytes(folder_ / std::string(kShortcutRecordName), test.record(folder_ / "IMG_0001.JPG.lnk"));
    ASSERT_TRUE(MakeShortcutList(folder_, {}).ok());
    EXPECT_TRUE(fs::is_symlink(folder_ / "IMG_0001.JPG.lnk"));
  }
  // The same record with the link's own identity: the link is ours and goes.
  fs::remove_all(folder_);
  fs::create_directories(folder_);
  fs::create_symlink(photos[0], folder_ / "IMG_0001.JPG.lnk");
  testing::WriteFileBytes(folder_ / std::string(kShortcutRecordName),
                          identity(folder_ / "IMG_0001.JPG.lnk", 0) + entry);
  ASSERT_TRUE(MakeShortcutList(folder_, {}).ok());
  EXPECT_FALSE(fs::is_symlink(folder_ / "IMG_0001.JPG.lnk"));
}

// The shortcut folder as a link to the user's folder: nothing made there, nothing removed, one failure.
TEST_F(MakeShortcutListTest, RefusesAFolderThatIsASymbolicLink) {
  const fs::path users_folder = temp_.path() / "users-folder";
  ASSERT_TRUE(MakeShortcutList(users_folder, Photos({"IMG_0001.JPG"})).ok());  // links and a record of ours
  fs::create_symlink(photos_ / "IMG_0001.JPG", users_folder / "Mine.lnk");
  const std::map<std::string, std::string> before = Entries(users_folder);
  fs::create_directories(folder_.parent_path());
  fs::create_directory_symlink(users_folder, folder_);
  const ShortcutListResult result = MakeShortcutList(folder_, Photos({"Holidays/DSC_0107.JPG"}));
  EXPECT_TRUE(result.folder_is_link);
  EXPECT_EQ(result.folder_failure, folder_.string() + ": a symbolic link; nothing was written there or removed");
  EXPECT_EQ(result.made, 0);
  EXPECT_EQ(Entries(users_folder), before);
}

TEST_F(MakeShortcutListTest, ANameHeldByAFileOrFolderOfTheUserIsSkipped) {
  testing::WriteFileBytes(folder_ / "IMG_0001.JPG.lnk", "the user's");
  fs::create_directories(folder_ / "IMG_0001.JPG (2).lnk");
  const std::vector<std::string> photos = Photos({"IMG_0001.JPG", "Holidays/IMG_0001.JPG"});
  const ShortcutListResult result = MakeShortcutList(folder_, photos);
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(result.made, 2);
  const std::map<std::string, std::string> expected = {
      {"IMG_0001.JPG.lnk", "<file>the user's"},
      {"IMG_0001.JPG (2).lnk", "<folder>"},
      {"IMG_0001.JPG (3).lnk", photos[0]},
      {"IMG_0001.JPG (4).lnk", photos[1]},
  };
  EXPECT_EQ(Entries(folder_), expected);
}

TEST_F(MakeShortcutListTest, AFolderThatCannotBeMadeIsReportedAndNothingTouched) {
  const struct {
    const char* trace;
    fs::path folder;
    std::string reason;
  } cases[] = {
      {"its parent is missing", temp_.path() / "missing" / "TEMP", "No such file or directory"},
      {"a file holds its name", temp_.path() / "TEMP", "a file of that name is in the way"},
  };
  testing::WriteFileBytes(temp_.path() / "TEMP", "a file");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.trace);
    const ShortcutListResult result = MakeShortcutList(c.folder, Photos({"IMG_0001.JPG"}));
    EXPECT_EQ(result.folder_failure, c.folder.string() + ": " + c.reason);
    EXPECT_EQ(result.made, 0);
    EXPECT_FALSE(result.ok());
  }
  EXPECT_FALSE(fs::exists(temp_.path() / "missing"));
  EXPECT_EQ(testing::ReadFileBytes(temp_.path() / "TEMP"), "a file");
}

TEST_F(MakeShortcutListTest, AShortcutThatCannotBeMadeIsListedAndTheOthersAreMade) {
  // A photo name of 250 characters is allowed; with ".lnk" its shortcut's is not.
  const std::string long_name = std::string(246, 'a') + ".JPG";
  testing::WriteFileBytes(photos_ / long_name, "long");
  fs::create_directories(folder_);
  const std::vector<std::string> photos = Photos({"IMG_0001.JPG", long_name.c_str(), "Holidays/DSC_0107.JPG"});
  const ShortcutListResult result = MakeShortcutList(folder_, photos);
  EXPECT_TRUE(result.folder_failure.empty());
  EXPECT_EQ(result.made, 2);
  EXPECT_EQ(result.failures,
            std::vector<std::string>{(folder_ / (long_name + ".lnk")).string() + ": File name too long"});
  const std::map<std::string, std::string> expected = {{"IMG_0001.JPG.lnk", photos[0]},
                                                       {"DSC_0107.JPG.lnk", photos[2]}};
  EXPECT_EQ(Entries(folder_), expected);
}

TEST_F(MakeShortcutListTest, NoPhotosLeavesOnlyWhatIsNotOurs) {
  fs::create_directories(folder_.parent_path());
  ASSERT_TRUE(MakeShortcutList(folder_, Photos({"IMG_0001.JPG", "Holidays/IMG_0001.JPG"})).ok());
  testing::WriteFileBytes(folder_ / "notes.txt", "mine");
  const ShortcutListResult result = MakeShortcutList(folder_, {});
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(result.made, 0);
  const std::map<std::string, std::string> expected = {{"notes.txt", "<file>mine"}};
  EXPECT_EQ(Entries(folder_), expected);
}

}  // namespace
}  // namespace lumetra
