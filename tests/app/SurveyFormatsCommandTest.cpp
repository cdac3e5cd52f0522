// lumetra-cli survey --formats: the choice on the command line, and a JPEG-only survey that does not see the
// other photo files at all.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "testing/ExifWriter.h"
#include "testing/JpegWriter.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

namespace lumetra {
namespace {

using testing::ByteOrder;
using testing::Ifd;

// The shooting values of one photo, with a model to tell the photos apart.
Ifd PhotoIfd(const std::string& model) {
  Ifd exif;
  exif.Rationals(0x829A, {{1, 250}}).Rationals(0x829D, {{56, 10}});
  Ifd ifd0;
  ifd0.Ascii(0x010F, "NIKON CORPORATION").Ascii(0x0110, model).Sub(0x8769, exif);
  return ifd0;
}

class SurveyFormatsCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::WriteFileBytes(photos_.path() / "DSC_0001.JPG",
                            testing::BuildJpeg({testing::ExifSegment(PhotoIfd("NIKON D7000"), ByteOrder::kBig)}));
  }

  // The survey's standard output and error, joined, and its exit code.
  testing::ProcessResult Survey(const std::string& options) {
    const std::string crop_file = (home_.path() / "Lumetra_Crop.ini").string();
    return testing::RunCommand(std::string(LUMETRA_CLI_PATH) + " survey --json --crop-file '" + crop_file + "' " +
                               options + " '" + photos_.path().string() + "'");
  }

  // A RAW file the reader reads today: TIFF-structured, its Exif in IFD0.
  void WriteNef(const std::string& name, const std::string& model) {
    testing::WriteFileBytes(photos_.path() / name, testing::BuildTiff(PhotoIfd(model), ByteOrder::kLittle));
  }

  testing::TempFolder photos_;
  testing::TempFolder home_;
};

TEST_F(SurveyFormatsCommandTest, AWrongValueIsRefusedLikeOtherBadOptions) {
  for (const char* value : {"bogus", "JPEG", "ALL", "raw", "''"}) {
    SCOPED_TRACE(value);
    const testing::ProcessResult result = Survey(std::string("--formats ") + value);
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 1) << result.output;
    EXPECT_THAT(result.output, ::testing::HasSubstr("--formats"));
  }
  const testing::ProcessResult help = testing::RunCommand(std::string(LUMETRA_CLI_PATH) + " survey --help");
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_THAT(help.output, ::testing::HasSubstr("--formats"));
}

TEST_F(SurveyFormatsCommandTest, AJpegSurveyOfAMixedFolderIsTheSurveyWithoutTheOtherFiles) {
  const testing::ProcessResult jpeg_alone = Survey("");
  ASSERT_EQ(jpeg_alone.exit_code, 0) << jpeg_alone.output;
  EXPECT_THAT(jpeg_alone.output, ::testing::HasSubstr("\"processed\": 1"));

  const char* const others[] = {"IMG_0001.heic", "IMG_0002.HEIC", "IMG_0003.CR2", "DSCF0004.raf", "DSC_0001.NEF"};
  for (const char* name : others) testing::WriteFileBytes(photos_.path() / name, "not a photo of any kind");
  WriteNef("DSC_0002.NEF", "NIKON D750");
  for (const char* options : {"", "--formats jpeg"}) {
    SCOPED_TRACE(options);
    const testing::ProcessResult mixed = Survey(options);
    EXPECT_EQ(mixed.exit_code, 0);
    EXPECT_EQ(mixed.output, jpeg_alone.output);
  }
  // The other files are there to be seen: all formats read the NEF as a photo of its own.
  const testing::ProcessResult all = Survey("--formats all");
  EXPECT_EQ(all.exit_code, 0);
  EXPECT_NE(all.output, jpeg_alone.output);
}

TEST_F(SurveyFormatsCommandTest, ARawFileBesideItsJpegCountsOnce) {
  WriteNef("dsc_0001.nef", "NIKON D7000");
  WriteNef("DSC_0002.NEF", "NIKON D750");
  const testing::ProcessResult result = Survey("--formats all 2>/dev/null");
  ASSERT_EQ(result.exit_code, 0) << result.output;
  const nlohmann::json survey = nlohmann::json::parse(result.output);
  // DSC_0001.JPG and the lone DSC_0002.NEF; dsc_0001.nef is the JPEG's own RAW file.
  EXPECT_EQ(survey["processed"], 2);
  std::vector<std::string> paths;
  for (const auto& record : survey["records"]) {
    paths.push_back(std::filesystem::path(record["path"].get<std::string>()).filename().string());
  }
  EXPECT_THAT(paths, ::testing::ElementsAre("DSC_0001.JPG", "DSC_0002.NEF"));
}

}  // namespace
}  // namespace lumetra
