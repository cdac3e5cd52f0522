// lumetra-cli tags: what it prints for each file, and its exit codes.

#include "app/cli/TagsCommand.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "testing/ExifWriter.h"
#include "testing/JpegWriter.h"
#include "tests/support/TempFolder.h"

namespace lumetra {
namespace {

using testing::ByteOrder;
using testing::Ifd;

class TagsCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Ifd exif;
    exif.Rationals(0x829A, {{1, 250}}).Rationals(0x829D, {{56, 10}});
    Ifd ifd0;
    // A Latin-1 "é" from a camera that did not write UTF-8.
    // The Exif directory follows IFD0 (3 entries) and its values: TIFF offset 62.
    ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Caf\xE9").Sub(0x8769, exif);
    with_exif_ = (folder_.path() / "IMG_0001.JPG").string();
    testing::WriteFileBytes(with_exif_, testing::BuildJpeg({testing::ExifSegment(ifd0, ByteOrder::kBig)}));
    without_exif_ = (folder_.path() / "plain.jpg").string();
    testing::WriteFileBytes(without_exif_, testing::BuildJpeg({testing::JfifSegment()}));
  }

  testing::TempFolder folder_;
  std::string with_exif_;
  std::string without_exif_;
};

TEST_F(TagsCommandTest, JsonHasOneObjectPerFileWithTagsInListOrder) {
  std::ostringstream out;
  std::ostringstream errors;
  EXPECT_EQ(cli::RunTagsCommand({with_exif_, without_exif_}, true, out, errors), 0);
  EXPECT_EQ(errors.str(), "");
  const auto files = nlohmann::json::parse(out.str());
  ASSERT_EQ(files.size(), 2u);

  const auto& photo = files[0];
  EXPECT_EQ(photo["file"], with_exif_);
  EXPECT_EQ(photo["hasExif"], true);
  EXPECT_EQ(photo["error"], "<none>");
  const auto expected_tags = nlohmann::json::parse(R"([
    {"name": "Make", "tag": 271, "origin": 0, "format": 2, "text": "Canon"},
    {"name": "Model", "tag": 272, "origin": 0, "format": 2, "text": "Café"},
    {"name": "ExposureTime", "tag": 33434, "origin": 0, "format": 5, "text": "1/250"},
    {"name": "FNumber", "tag": 33437, "origin": 0, "format": 5, "text": "5.6"},
    {"name": "ExifOffset", "tag": 34665, "origin": 0, "format": 4, "text": "62"}
  ])");
  EXPECT_EQ(photo["tags"], expected_tags);

  EXPECT_EQ(files[1]["hasExif"], false);
  EXPECT_EQ(files[1]["error"], "Not an EXIF file");
  EXPECT_EQ(files[1]["tags"], nlohmann::json::array());
}

TEST_F(TagsCommandTest, TextHasThePathTheTagsAndTheOutcome) {
  std::ostringstream out;
  std::ostringstream errors;
  EXPECT_EQ(cli::RunTagsCommand({with_exif_}, false, out, errors), 0);
  EXPECT_EQ(out.str(), with_exif_ +
                           "\nMake = Canon\nModel = Café\nExposureTime = 1/250\nFNumber = 5.6\nExifOffset = 62\n"
                           "ErrorText = <none>\n\n");
}

TEST_F(TagsCommandTest, AMissingFileIsReportedAndTheOthersStillListed) {
  std::ostringstream out;
  std::ostringstream errors;
  const std::string missing = (folder_.path() / "missing.jpg").string();
  EXPECT_EQ(cli::RunTagsCommand({missing, with_exif_}, true, out, errors), 1);
  EXPECT_EQ(errors.str(), "lumetra-cli: " + missing + ": no such file\n");
  const auto files = nlohmann::json::parse(out.str());
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0]["error"], "");
  EXPECT_EQ(files[1]["hasExif"], true);
}

struct ProcessResult {
  int exit_code;
  std::string output;
};

ProcessResult RunCli(const std::string& arguments) {
  const std::string command = std::string(LUMETRA_CLI_PATH) + " " + arguments + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  std::string output;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(TagsCommandLine, BadUseExitsWithTwoAndOneLine) {
  for (const char* arguments : {"tags", "tags --bogus x.jpg", "", "survey-nothing"}) {
    SCOPED_TRACE(arguments);
    const ProcessResult result = RunCli(arguments);
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 1) << result.output;
  }
}

TEST_F(TagsCommandTest, TheProgramPrintsJson) {
  const ProcessResult result = RunCli("tags --json '" + with_exif_ + "'");
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(nlohmann::json::parse(result.output)[0]["tags"][1]["text"], "Café");
}

}  // namespace
}  // namespace lumetra
