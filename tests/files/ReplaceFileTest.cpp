// Replacing a file of the program's own whole: what the new file keeps of the one it replaces, and what a
// planted link can and cannot reach. Opening the trace file without following a link or waiting on a FIFO.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

#include "files/OverwriteOwnFile.h"
#include "files/ReplaceFile.h"
#include "tests/support/TempFolder.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct stat StatOf(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
  return info;
}

TEST(ReplaceFile, KeepsThePermissionBitsOfTheFileItReplaces) {
  const testing::TempFolder folder;
  for (const mode_t mode : {0600, 0640, 0604, 0666, 0400, 0755}) {
    SCOPED_TRACE(mode);
    const fs::path file = folder.path() / ("settings-" + std::to_string(mode));
    std::ofstream(file) << "old";
    ASSERT_EQ(::chmod(file.c_str(), mode), 0);
    ASSERT_EQ(ReplaceFile(file, "new"), std::nullopt);
    EXPECT_EQ(ReadFile(file), "new");
    EXPECT_EQ(StatOf(file).st_mode & 07777, mode);
  }
}

TEST(ReplaceFile, ThroughTheUsersLinkKeepsTheTargetsModeAndTheLink) {
  const testing::TempFolder folder;
  const fs::path dotfiles = folder.path() / "dotfiles";
  fs::create_directory(dotfiles);
  const fs::path target = dotfiles / "Lumetra.ini";
  std::ofstream(target) << "old";
  ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
  const fs::path link = folder.path() / "Lumetra.ini";
  fs::create_symlink(target, link);
  ASSERT_EQ(ReplaceFile(link, "new"), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(StatOf(target).st_mode & 07777, 0600u);
}

TEST(ReplaceFile, APlantedLinkLendsNeitherModeNorTarget) {
  const testing::TempFolder folder;
  const fs::path elsewhere = folder.path() / "elsewhere";
  std::ofstream(elsewhere) << "not ours";
  ASSERT_EQ(::chmod(elsewhere.c_str(), 0777), 0);
  const fs::path table = folder.path() / "Exposure.txt";
  fs::create_symlink(elsewhere, table);
  ASSERT_EQ(ReplaceFile(table, "table", LinkAtPath::kReplaceTheLink), std::nullopt);
  EXPECT_FALSE(fs::is_symlink(table));
  EXPECT_EQ(ReadFile(table), "table");
  EXPECT_EQ(ReadFile(elsewhere), "not ours");
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(StatOf(table).st_mode & 07777, 0666u & ~mask);
}

// Only a privileged writer can give a file to someone else; an ordinary one keeps what it may.
TEST(ReplaceFile, KeepsTheOwnerWhereAllowed) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
  const testing::TempFolder folder;
  const fs::path file = folder.path() / "Lumetra_Crop.ini";
  std::ofstream(file) << "old";
  ASSERT_EQ(::chown(file.c_str(), 4321, 8765), 0);
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  ASSERT_EQ(ReplaceFile(file, "new"), std::nullopt);
  const struct stat info = StatOf(file);
  EXPECT_EQ(info.st_uid, 4321u);
  EXPECT_EQ(info.st_gid, 8765u);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(OverwriteOwnFile, EmptiesARegularFileAndRefusesEverythingElse) {
  const testing::TempFolder folder;
  const fs::path regular = folder.path() / "regular";
  std::ofstream(regular) << "an old trace, longer than the new one";
  const fs::path missing = folder.path() / "missing";
  const fs::path users_file = folder.path() / "users-file";
  std::ofstream(users_file) << "the user's own";
  const fs::path link = folder.path() / "link";
  fs::create_symlink(users_file, link);
  const fs::path dangling = folder.path() / "dangling";
  fs::create_symlink(folder.path() / "made-through-the-link", dangling);
  const fs::path fifo = folder.path() / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const fs::path directory = folder.path() / "directory";
  fs::create_directory(directory);
  struct Case {
    const char* what;
    fs::path path;
    std::string reason;  // empty: opened
  };
  const Case cases[] = {
      {"a regular file", regular, ""},
      {"no file yet", missing, ""},
      {"a link to the user's file", link, "a symbolic link"},
      {"a link to nothing yet", dangling, "a symbolic link"},
      {"a FIFO nobody reads", fifo, "not a regular file"},
      {"a device", "/dev/null", "not a regular file"},
      {"a folder", directory, "Is a directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const OwnFileOverwrite opened = OverwriteOwnFile(c.path.string());
    EXPECT_EQ(opened.reason, c.reason);
    EXPECT_EQ(opened.fd >= 0, c.reason.empty());
    if (opened.fd < 0) continue;
    ASSERT_EQ(::write(opened.fd, "new", 3), 3);
    ::close(opened.fd);
    EXPECT_EQ(ReadFile(c.path), "new");
  }
  EXPECT_EQ(ReadFile(users_file), "the user's own");
  EXPECT_FALSE(fs::exists(folder.path() / "made-through-the-link"));
}

}  // namespace
}  // namespace lumetra
