// Writing chart pictures as JPEG files: failures named with the file, existing files replaced whole.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include <QImage>

#include "charts/JpegFile.h"
#include "testing/JpegWriter.h"
#include "tests/charts/JpegInspection.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

namespace lumetra {
namespace {

QImage SmallPicture() {
  QImage picture(64, 32, QImage::Format_RGB32);
  picture.fill(QColor(255, 0, 0));
  return picture;
}

int EntryCount(const std::filesystem::path& folder) {
  return static_cast<int>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(WriteJpegFile, FailureNamesTheFileAndTheReason) {
  const testing::TempFolder folder;
  testing::WriteFileBytes(folder.path() / "plain.txt", "not a folder");
  const struct {
    std::filesystem::path file;
    const char* reason;
  } kCases[] = {
      {folder.path() / "missing" / "chart.jpg", std::strerror(ENOENT)},
      {folder.path() / "plain.txt" / "chart.jpg", std::strerror(ENOTDIR)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.file.string());
    const std::string error = WriteJpegFile(SmallPicture(), c.file);
    EXPECT_EQ(error, c.file.string() + ": " + c.reason);
    EXPECT_FALSE(std::filesystem::exists(c.file));
  }
}

TEST(WriteJpegFile, EmptyPictureIsRefusedNamingTheFile) {
  const testing::TempFolder folder;
  const std::filesystem::path file = folder.path() / "chart.jpg";
  const std::string error = WriteJpegFile(QImage(), file);
  EXPECT_EQ(error.rfind(file.string() + ": ", 0), 0u) << error;
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(WriteJpegFile, ReplacesAnExistingFileWithoutLeavingATemporary) {
  const testing::TempFolder folder;
  const std::filesystem::path file = folder.path() / "chart.jpg";
  testing::WriteFileBytes(file, "an older export");
  ASSERT_EQ(WriteJpegFile(SmallPicture(), file), "");
  const testing::JpegFacts facts = testing::InspectJpeg(testing::ReadFileBytes(file.string()));
  EXPECT_EQ(facts.width, 64);
  EXPECT_EQ(facts.height, 32);
  EXPECT_EQ(EntryCount(folder.path()), 1);
}

TEST(WriteJpegFile, FolderInTheFilesPlaceStaysAndNothingIsLeftBeside) {
  const testing::TempFolder folder;
  const std::filesystem::path file = folder.path() / "chart.jpg";
  std::filesystem::create_directory(file);
  testing::WriteFileBytes(file / "inside.txt", "kept");
  const std::string error = WriteJpegFile(SmallPicture(), file);
  EXPECT_EQ(error.rfind(file.string() + ": ", 0), 0u) << error;
  EXPECT_TRUE(std::filesystem::is_directory(file));
  EXPECT_EQ(testing::ReadFileBytes((file / "inside.txt").string()), "kept");
  EXPECT_EQ(EntryCount(folder.path()), 1);
}

TEST(WriteJpegFile, PictureWithAlphaIsWrittenInColourOnly) {
  QImage picture(40, 20, QImage::Format_ARGB32);
  picture.fill(QColor(0, 0, 255, 128));
  const testing::TempFolder folder;
  const std::filesystem::path file = folder.path() / "alpha.jpg";
  ASSERT_EQ(WriteJpegFile(picture, file), "");
  const std::string bytes = testing::ReadFileBytes(file.string());
  EXPECT_EQ(testing::InspectJpeg(bytes).components, 3);
  EXPECT_EQ(testing::DecodeJpeg(bytes).size(), QSize(40, 20));
}

}  // namespace
}  // namespace lumetra
