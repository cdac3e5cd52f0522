#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/platform/ProgramFolder.h"
#include "tests/support/TempFolder.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable (or unsets it for std::nullopt) and puts the old value back at the end.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~ScopedVariable() { Set(old_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  void Set(const std::optional<std::string>& value) {
    if (value) {
      ::setenv(name_, value->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

  const char* name_;
  std::optional<std::string> old_;
};

void Touch(const fs::path& file) {
  fs::create_directories(file.parent_path());
  std::ofstream(file) << "[Desktop Entry]\n";
}

struct FolderCase {
  const char* what;
  std::vector<const char*> folders;  // made below the temporary folder
  std::vector<const char*> files;    // made below the temporary folder
  const char* executable_folder;     // relative to the temporary folder
  std::optional<std::string> lumetra_home;
  std::optional<std::string> xdg_data_home;  // "@/" stands for the temporary folder
  const char* expected;                      // relative to the temporary folder
};

std::optional<std::string> Rooted(const std::optional<std::string>& text, const fs::path& root) {
  if (!text || text->rfind("@/", 0) != 0) return text;
  return (root / text->substr(2)).string();
}

TEST(ProgramFolder, KeepsFilesBesideABuiltProgramAndInTheUserDataFolderForAnInstalledOne) {
  const FolderCase cases[] = {
      {"a build folder", {"build"}, {}, "build", std::nullopt, std::nullopt, "build"},
      {"an installation's bin folder",
       {"usr/bin"},
       {"usr/share/applications/io.github.lumetra.Lumetra.desktop"},
       "usr/bin",
       std::nullopt,
       std::nullopt,
       "home/.local/share/Lumetra"},
      {"a bin folder of a build, without the desktop entry beside it",
       {"work/bin", "work/share/applications"},
       {"work/share/applications/other.desktop"},
       "work/bin",
       std::nullopt,
       std::nullopt,
       "work/bin"},
      {"a program folder that is gone", {}, {}, "gone", std::nullopt, std::nullopt, "home/.local/share/Lumetra"},
      {"an installation with XDG_DATA_HOME",
       {"usr/bin"},
       {"usr/share/applications/io.github.lumetra.Lumetra.desktop"},
       "usr/bin",
       std::nullopt,
       "@/data",
       "data/Lumetra"},
      {"a relative XDG_DATA_HOME is ignored, as the XDG rules say",
       {},
       {},
       "gone",
       std::nullopt,
       "data",
       "home/.local/share/Lumetra"},
      {"LUMETRA_HOME wins over an installation",
       {"usr/bin", "chosen"},
       {"usr/share/applications/io.github.lumetra.Lumetra.desktop"},
       "usr/bin",
       "@/chosen",
       std::nullopt,
       "chosen"},
  };
  for (const FolderCase& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TempFolder temp;
    for (const char* folder : c.folders) fs::create_directories(temp.path() / folder);
    for (const char* file : c.files) Touch(temp.path() / file);
    ScopedVariable home("HOME", (temp.path() / "home").string());
    ScopedVariable lumetra_home("LUMETRA_HOME", Rooted(c.lumetra_home, temp.path()));
    ScopedVariable xdg("XDG_DATA_HOME", Rooted(c.xdg_data_home, temp.path()));

    const fs::path folder = detail::ProgramFolderFor(temp.path() / c.executable_folder);

    EXPECT_EQ(folder, temp.path() / c.expected);
    EXPECT_TRUE(fs::is_directory(folder)) << "the program's folder was not created";
  }
}

TEST(ProgramFolder, ReadOnlyProgramFolderSendsFilesToTheUserDataFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into a folder whatever its permissions say";
  testing::TempFolder temp;
  const fs::path program = temp.path() / "program";
  fs::create_directories(program);
  fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec);
  ScopedVariable home("HOME", (temp.path() / "home").string());
  ScopedVariable lumetra_home("LUMETRA_HOME", std::nullopt);
  ScopedVariable xdg("XDG_DATA_HOME", std::nullopt);

  const fs::path folder = detail::ProgramFolderFor(program);

  fs::permissions(program, fs::perms::owner_all);
  EXPECT_EQ(folder, temp.path() / "home/.local/share/Lumetra");
  EXPECT_TRUE(fs::is_directory(folder));
}

}  // namespace
}  // namespace lumetra
