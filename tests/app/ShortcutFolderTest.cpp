#include <gtest/gtest.h>

#include <algorithm>
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
  // A second use: its own links of the first one, and what the user put there.
  fs::create_directories(folder_ / "Keep");
  fs::create_symlink(photos_ / "Holidays/DSC_0107.JPG", folder_ / "IMG_0001.JPG.lnk");
  fs::create_symlink(photos_ / "IMG_0001.JPG", folder_ / "OLD_0001.JPG.lnk");
  fs::create_symlink(photos_ / "IMG_0001.JPG", folder_ / ".new-OLD.lnk");  // a rename that failed
  fs::create_symlink(photos_ / "IMG_0001.JPG", folder_ / "Keep" / "old.lnk");
  fs::create_symlink(photos_ / "IMG_0001.JPG", folder_ / "link to a photo");
  testing::WriteFileBytes(folder_ / "notes.txt", "mine");
  testing::WriteFileBytes(folder_ / "Copied.lnk", "a Windows shortcut the user copied here");
  testing::WriteFileBytes(folder_ / "Keep" / "inside.txt", "kept");

  const std::vector<std::string> photos = Photos({"IMG_0001.JPG"});
  const ShortcutListResult result = MakeShortcutList(folder_, photos);
  EXPECT_TRUE(result.ok());
  const std::map<std::string, std::string> expected = {
      {"IMG_0001.JPG.lnk", photos[0]},
      {"Keep", "<folder>"},
      {"link to a photo", (photos_ / "IMG_0001.JPG").string()},
      {"notes.txt", "<file>mine"},
      {"Copied.lnk", "<file>a Windows shortcut the user copied here"},
  };
  EXPECT_EQ(Entries(folder_), expected);
  const std::map<std::string, std::string> kept = {{"old.lnk", (photos_ / "IMG_0001.JPG").string()},
                                                   {"inside.txt", "<file>kept"}};
  EXPECT_EQ(Entries(folder_ / "Keep"), kept);
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
  fs::create_directories(folder_);
  fs::create_symlink(photos_ / "IMG_0001.JPG", folder_ / "IMG_0001.JPG.lnk");
  testing::WriteFileBytes(folder_ / "notes.txt", "mine");
  const ShortcutListResult result = MakeShortcutList(folder_, {});
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(result.made, 0);
  const std::map<std::string, std::string> expected = {{"notes.txt", "<file>mine"}};
  EXPECT_EQ(Entries(folder_), expected);
}

}  // namespace
}  // namespace lumetra
