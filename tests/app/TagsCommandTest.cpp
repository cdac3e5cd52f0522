// lumetra-cli tags: what it prints for each file, and its exit codes.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "app/cli/TagsCommand.h"
#include "testing/ExifWriter.h"
#include "testing/JpegWriter.h"
#include "tests/support/FileBytes.h"
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
  EXPECT_EQ(cli::RunTagsCommand({with_exif_, without_exif_}, {.json = true}, out, errors), 0);
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
  EXPECT_EQ(cli::RunTagsCommand({with_exif_}, {}, out, errors), 0);
  EXPECT_EQ(out.str(), with_exif_ +
                           "\nMake = Canon\nModel = Café\nExposureTime = 1/250\nFNumber = 5.6\nExifOffset = 62\n"
                           "ErrorText = <none>\n\n");
}

// A file name that tries to forge lines or reach the terminal stays one item on one line. (The reader
// itself shows a control byte of a tag text as ".".)
TEST_F(TagsCommandTest, TextShowsControlCharactersEscaped) {
  Ifd ifd0;
  ifd0.Ascii(0x010F, "Canon\nErrorText = <none>").Ascii(0x0110, "EOS\x1b[2J");
  const std::string photo = (folder_.path() / "a\rb\x1b]0;x\x07.jpg").string();
  testing::WriteFileBytes(photo, testing::BuildJpeg({testing::ExifSegment(ifd0, ByteOrder::kLittle)}));
  const std::string missing = (folder_.path() / "gone\nlumetra-cli: forged.jpg").string();
  std::ostringstream out;
  std::ostringstream errors;
  EXPECT_EQ(cli::RunTagsCommand({photo, missing}, {}, out, errors), 1);
  const std::string folder = folder_.path().string();
  EXPECT_EQ(out.str(), folder +
                           "/a\\rb\\x1b]0;x\\x07.jpg\nMake = Canon.ErrorText = <none>\nModel = EOS.[2J\n"
                           "ErrorText = <none>\n\n" +
                           folder + "/gone\\nlumetra-cli: forged.jpg\nErrorText = \n\n");
  EXPECT_EQ(errors.str(), "lumetra-cli: " + folder + "/gone\\nlumetra-cli: forged.jpg: no such file\n");
}

TEST_F(TagsCommandTest, AMissingFileIsReportedAndTheOthersStillListed) {
  std::ostringstream out;
  std::ostringstream errors;
  const std::string missing = (folder_.path() / "missing.jpg").string();
  EXPECT_EQ(cli::RunTagsCommand({missing, with_exif_}, {.json = true}, out, errors), 1);
  EXPECT_EQ(errors.str(), "lumetra-cli: " + missing + ": no such file\n");
  const auto files = nlohmann::json::parse(out.str());
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0]["error"], "");
  EXPECT_EQ(files[1]["hasExif"], true);
}

// A Photoshop APP13 segment whose IPTC block holds `datasets` (each: 0x1C, record, dataset, 16-bit length,
// data).
testing::Segment IptcSegment(const std::string& datasets) {
  using namespace std::string_literals;
  const auto size = static_cast<char>(datasets.size());
  // The resource block: type, IPTC resource id, an empty name, a 32-bit size.
  const std::string block = "8BIM\x04\x04"s + std::string(5, '\0') + size;
  return {0xED, "Photoshop 3.0"s + '\0' + block + datasets, std::nullopt};
}

std::string Dataset(char dataset, const std::string& data) {
  return std::string("\x1C\x02", 2) + dataset + '\0' + static_cast<char>(data.size()) + data;
}

class TagsIptcTest : public TagsCommandTest {
 protected:
  void SetUp() override {
    TagsCommandTest::SetUp();
    Ifd ifd0;
    ifd0.Ascii(0x010F, "Nikon");
    const testing::Segment exif = testing::ExifSegment(ifd0, ByteOrder::kLittle);
    with_iptc_ = (folder_.path() / "keywords.jpg").string();
    // A Latin-1 "ö" as older editors wrote it.
    testing::WriteFileBytes(
        with_iptc_,
        testing::BuildJpeg({exif, IptcSegment(Dataset(25, "sea") + Dataset(90, "K\xF6ln") + Dataset(25, "sun"))}));
    // The block ends with a dataset marker whose record number is missing.
    broken_iptc_ = (folder_.path() / "broken.jpg").string();
    testing::WriteFileBytes(broken_iptc_,
                            testing::BuildJpeg({exif, {0xED, std::string("Photoshop 3.0\0\x1C", 15), std::nullopt}}));
  }

  std::string with_iptc_;
  std::string broken_iptc_;
};

std::vector<std::string> Keys(const nlohmann::ordered_json& object) {
  std::vector<std::string> keys;
  for (const auto& item : object.items()) keys.push_back(item.key());
  return keys;
}

TEST_F(TagsIptcTest, JsonAddsTheDatasetsAfterTheTags) {
  std::ostringstream out;
  std::ostringstream errors;
  EXPECT_EQ(cli::RunTagsCommand({with_iptc_, broken_iptc_, without_exif_}, {.json = true, .iptc = true}, out, errors),
            0);
  EXPECT_EQ(errors.str(), "");
  const auto files = nlohmann::ordered_json::parse(out.str());
  ASSERT_EQ(files.size(), 3u);

  const auto& photo = files[0];
  EXPECT_EQ(Keys(photo), (std::vector<std::string>{"file", "hasExif", "error", "tags", "iptc"}));
  EXPECT_EQ(photo["tags"][0]["text"], "Nikon");
  const auto expected_iptc = nlohmann::ordered_json::parse(R"([
    {"name": "Keywords", "record": 2, "dataset": 25, "text": "sea,sun"},
    {"name": "City", "record": 2, "dataset": 90, "text": "Köln"}
  ])");
  EXPECT_EQ(photo["iptc"], expected_iptc);

  // A broken block is reported beside the file's other output.
  const auto& broken = files[1];
  EXPECT_EQ(Keys(broken), (std::vector<std::string>{"file", "hasExif", "error", "tags", "iptc", "iptcError"}));
  EXPECT_EQ(broken["error"], "<none>");
  EXPECT_EQ(broken["tags"][0]["text"], "Nikon");
  EXPECT_EQ(broken["iptc"], nlohmann::ordered_json::array());
  EXPECT_EQ(broken["iptcError"], "IPTC dataset header byte at position 18 lies outside the 17 bytes");

  EXPECT_EQ(files[2]["iptc"], nlohmann::ordered_json::array());
  EXPECT_FALSE(files[2].contains("iptcError"));
}

TEST_F(TagsIptcTest, WithoutTheOptionNoIptcIsRead) {
  std::ostringstream json;
  std::ostringstream text;
  std::ostringstream errors;
  EXPECT_EQ(cli::RunTagsCommand({with_iptc_, broken_iptc_}, {.json = true}, json, errors), 0);
  EXPECT_EQ(cli::RunTagsCommand({broken_iptc_}, {}, text, errors), 0);
  for (const auto& file : nlohmann::ordered_json::parse(json.str())) {
    EXPECT_EQ(Keys(file), (std::vector<std::string>{"file", "hasExif", "error", "tags"}));
  }
  EXPECT_EQ(text.str(), broken_iptc_ + "\nMake = Nikon\nErrorText = <none>\n\n");
}

TEST_F(TagsIptcTest, TextAddsAnIptcSectionAfterTheOutcome) {
  std::ostringstream out;
  std::ostringstream errors;
  EXPECT_EQ(cli::RunTagsCommand({with_iptc_, broken_iptc_, without_exif_}, {.iptc = true}, out, errors), 0);
  EXPECT_EQ(out.str(), with_iptc_ + "\nMake = Nikon\nErrorText = <none>\nIPTC:\nKeywords = sea,sun\nCity = Köln\n\n" +
                           broken_iptc_ +
                           "\nMake = Nikon\nErrorText = <none>\nIPTC:\n"
                           "IPTC error: IPTC dataset header byte at position 18 lies outside the 17 bytes\n\n" +
                           without_exif_ + "\nErrorText = Not an EXIF file\nIPTC:\n\n");
}

testing::ProcessResult RunCli(const std::string& arguments) {
  return testing::RunCommand(std::string(LUMETRA_CLI_PATH) + " " + arguments);
}

TEST(TagsCommandLine, BadUseExitsWithTwoAndOneLine) {
  for (const char* arguments : {"tags", "tags --bogus x.jpg", "", "survey-nothing",
                                // Words with line ends in them, made by the shell (sh has no $'...').
                                "\"$(printf 'bad\\nfake line')\"", "survey --lang \"$(printf 'x\\nfake line')\" .",
                                "survey \"$(printf -- '--bogus\\r\\nfake')\" ."}) {
    SCOPED_TRACE(arguments);
    const testing::ProcessResult result = RunCli(arguments);
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 1) << result.output;
  }
}

TEST_F(TagsCommandTest, OutputToAFullDeviceEndsWithExitCodeOne) {
  const std::string crop_file = (folder_.path() / "crop.ini").string();
  // Output far larger than the standard output's buffer fails part-way, long before its end.
  const std::filesystem::path many = folder_.path() / "many";
  std::filesystem::create_directories(many);
  for (int i = 0; i < 200; ++i) std::filesystem::copy_file(with_exif_, many / ("IMG_" + std::to_string(i) + ".JPG"));
  for (const std::string& arguments :
       {"tags '" + with_exif_ + "'", "tags --json '" + with_exif_ + "'",
        "survey --crop-file '" + crop_file + "' '" + folder_.path().string() + "'",
        "survey --json --crop-file '" + crop_file + "' '" + folder_.path().string() + "'",
        "survey --json --crop-file '" + crop_file + "' '" + many.string() + "'"}) {
    SCOPED_TRACE(arguments);
    // Only the standard output goes to the full device; the error output is kept.
    const testing::ProcessResult result =
        testing::RunCommand("(" + std::string(LUMETRA_CLI_PATH) + " " + arguments + " >/dev/full)");
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_THAT(result.output,
                ::testing::EndsWith("lumetra-cli: the output could not be written: No space left on device\n"));
  }
}

TEST_F(TagsCommandTest, EachRefusalNamesItsReason) {
  const std::string folder = folder_.path().string();
  std::filesystem::create_directories(folder_.path() / "closed");
  std::ofstream(folder_.path() / "closed" / "inside.jpg") << "x";
  std::ofstream(folder_.path() / "locked.jpg") << "x";
  std::filesystem::permissions(folder_.path() / "locked.jpg", std::filesystem::perms::none);
  std::filesystem::permissions(folder_.path() / "closed", std::filesystem::perms::none);
  struct Case {
    std::string arguments;
    int exit_code;
    std::string message;
    // Root opens whatever the permission bits say.
    bool needs_permissions = false;
  };
  const Case cases[] = {
      {"tags '" + folder + "/locked.jpg'", 1, "lumetra-cli: " + folder + "/locked.jpg: Permission denied\n", true},
      {"tags '" + folder + "/closed/inside.jpg'", 1,
       "lumetra-cli: " + folder + "/closed/inside.jpg: Permission denied\n", true},
      {"tags '" + folder + "'", 1, "lumetra-cli: " + folder + ": Is a directory\n"},
      {"tags '" + folder + "/missing.jpg'", 1, "lumetra-cli: " + folder + "/missing.jpg: no such file\n"},
      {"bogus", 2, "lumetra-cli: unknown command 'bogus' (try --help)\n"},
      {"survey --threads abc '" + folder + "'", 2,
       "lumetra-cli: --threads: expected a whole number from 0 to 64, got 'abc' (try --help)\n"},
      {"survey ''", 2, "lumetra-cli survey: the folder to survey is an empty text\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    if (c.needs_permissions && ::geteuid() == 0) continue;
    const testing::ProcessResult result =
        testing::RunCommand("(" + std::string(LUMETRA_CLI_PATH) + " " + c.arguments + " >/dev/null)");
    EXPECT_EQ(result.exit_code, c.exit_code);
    EXPECT_EQ(result.output, c.message);
  }
  std::filesystem::permissions(folder_.path() / "closed", std::filesystem::perms::owner_all);
}

TEST_F(TagsCommandTest, TheProgramPrintsJson) {
  const testing::ProcessResult result = RunCli("tags --json '" + with_exif_ + "'");
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(nlohmann::json::parse(result.output)[0]["tags"][1]["text"], "Café");
}

TEST_F(TagsIptcTest, TheProgramPrintsTheDatasetsWithTheOption) {
  const testing::ProcessResult result = RunCli("tags --json --iptc '" + with_iptc_ + "'");
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(nlohmann::json::parse(result.output)[0]["iptc"][1]["text"], "Köln");
}

}  // namespace
}  // namespace lumetra
