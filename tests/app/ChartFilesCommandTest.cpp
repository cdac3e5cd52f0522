// lumetra-cli survey --tables --charts as a user runs it: a process without a display writes the
// seventeen tables and the seventeen pictures of the survey.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "testing/DemoFolder.h"
#include "tests/charts/JpegInspection.h"
#include "tests/support/TempFolder.h"

namespace lumetra {
namespace {

// Runs lumetra-cli with no display and no platform chosen, as on a headless machine.
testing::ProcessResult RunCliWithoutDisplay(const std::string& arguments) {
  return testing::RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + std::string(LUMETRA_CLI_PATH) +
                             " " + arguments);
}

TEST(ChartFilesCommandTest, WritesTablesAndPicturesWithoutADisplay) {
  testing::TempFolder photos;
  testing::TempFolder home;
  testing::TempFolder out;
  testing::WriteDemoFolder(photos.path());
  for (const char* axis : {"text", "linear"}) {
    SCOPED_TRACE(axis);
    const std::filesystem::path folder = out.path() / axis;
    const testing::ProcessResult result = RunCliWithoutDisplay(
        "survey --lang ru --axis " + std::string(axis) + " --crop-file '" + (home.path() / "crop.ini").string() +
        "' --tables '" + folder.string() + "' --charts '" + folder.string() + "' '" + photos.path().string() + "'");
    ASSERT_EQ(result.exit_code, 0) << result.output;

    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      names.insert(entry.path().filename().string());
    EXPECT_EQ(names.size(), 34u);
    for (const char* name : {"F Number.txt", "Metering Mode.jpg", "Date.txt", "Weekday.txt", "Hour.jpg"}) {
      EXPECT_TRUE(names.contains(name)) << name;
    }

    const struct {
      const char* name;
      int width;
    } pictures[] = {{"ISO.jpg", 2000},  {"Program.jpg", 1000}, {"Lens.jpg", 1000},
                    {"Date.jpg", 2000}, {"Weekday.jpg", 1000}, {"Hour.jpg", 2000}};
    for (const auto& picture : pictures) {
      SCOPED_TRACE(picture.name);
      const std::string bytes = testing::ReadFileBytes(folder / picture.name);
      const testing::JpegFacts facts = testing::InspectJpeg(bytes);
      EXPECT_EQ(facts.width, picture.width);
      EXPECT_EQ(facts.height, 1000);
      EXPECT_EQ(facts.components, 3);
      ASSERT_FALSE(facts.frame_markers.empty());
      EXPECT_EQ(facts.frame_markers.front(), 0xC0) << "baseline";
    }
  }
}

TEST(ChartFilesCommandTest, APictureThatCannotBeWrittenIsNamed) {
  testing::TempFolder photos;
  testing::TempFolder home;
  testing::TempFolder out;
  testing::WriteDemoFolder(photos.path());
  std::filesystem::create_directory(out.path() / "Exposure.jpg");
  const testing::ProcessResult result =
      RunCliWithoutDisplay("survey --crop-file '" + (home.path() / "crop.ini").string() + "' --charts '" +
                           out.path().string() + "' '" + photos.path().string() + "'");
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.output.find("lumetra-cli survey: " + (out.path() / "Exposure.jpg").string() + ": Is a directory\n"),
            std::string::npos)
      << result.output;
}

TEST(ChartFilesCommandTest, LinksPlantedInTheOutputFolderAreReplacedNotFollowed) {
  testing::TempFolder photos;
  testing::TempFolder home;
  testing::TempFolder out;
  testing::TempFolder elsewhere;
  testing::WriteDemoFolder(photos.path());
  for (const char* name : {"Exposure.txt", "Exposure.jpg"}) {
    std::ofstream(elsewhere.path() / name) << "not ours";
    std::filesystem::create_symlink(elsewhere.path() / name, out.path() / name);
  }
  const testing::ProcessResult result = RunCliWithoutDisplay(
      "survey --crop-file '" + (home.path() / "crop.ini").string() + "' --tables '" + out.path().string() +
      "' --charts '" + out.path().string() + "' '" + photos.path().string() + "'");
  ASSERT_EQ(result.exit_code, 0) << result.output;
  for (const char* name : {"Exposure.txt", "Exposure.jpg"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(testing::ReadFileBytes(elsewhere.path() / name), "not ours");
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(out.path() / name)));
  }
}

// A display named but not there (no X server behind DISPLAY) must not matter, nor a platform named in the
// environment that cannot start: the pictures are drawn off-screen.
TEST(ChartFilesCommandTest, ADisplayThatIsNotThereDoesNotMatter) {
  testing::TempFolder photos;
  testing::TempFolder home;
  testing::WriteDemoFolder(photos.path());
  for (const char* platform : {"-u QT_QPA_PLATFORM", "QT_QPA_PLATFORM=xcb", "QT_QPA_PLATFORM=wayland"}) {
    SCOPED_TRACE(platform);
    testing::TempFolder out;
    const testing::ProcessResult result = testing::RunCommand(
        "(env -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR " + std::string(platform) + " DISPLAY=:99 " +
        std::string(LUMETRA_CLI_PATH) + " survey --crop-file '" + (home.path() / "crop.ini").string() + "' --charts '" +
        out.path().string() + "' '" + photos.path().string() + "' >/dev/null)");
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.output, "") << "nothing on stderr, Qt's runtime-folder warning included";
    EXPECT_TRUE(std::filesystem::is_regular_file(out.path() / "Exposure.jpg"));
  }
}

}  // namespace
}  // namespace lumetra
