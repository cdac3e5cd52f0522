#include <gtest/gtest.h>

#include <fstream>

#include "app/SettingsFile.h"
#include "tests/support/TempFolder.h"

namespace lumetra {
namespace {

TEST(ParseSettings, ReadsEachLineAsAWholeExactText) {
  const struct {
    const char* trace;
    std::vector<std::string> lines;
    ProgramSettings expected;
  } cases[] = {
      {"all seven written by an exit",
       {"/photos", "Russian", "35mm", "Linear", "KF = yes", "Non SubFolders", "Non Hide"},
       {"/photos", kRussian, false, false, true, false, false}},
      {"the other choice of each line",
       {"", "English", "Real", "Text", "KF = no", "SubFolders", "Hide"},
       {"", kEnglish, true, true, false, true, true}},
      {"six lines: the missing line 7 keeps the panel shown",
       {"", "English", "Real", "Linear", "KF = no", "Non SubFolders"},
       {"", kEnglish, true, false, false, false, false}},
      {"truncated after five lines",
       {"", "English", "35mm", "Linear", "KF = no"},
       {"", kEnglish, false, false, false, true, false}},
      {"case and blanks count: nothing is recognised, each line keeps its default",
       {"x", "english", "35MM", "linear", "KF = Yes", "Non subfolders", "Non Hide "},
       {"x", std::nullopt, true, true, true, true, false}},
      {"random bytes: every choice as at a fresh start",
       {"\x01\x9C\xFF", "\xFE\xFF\x41", "K", "\x7F\x80", "KF = ", "\xC3", "Hid"},
       {"\x01\x9C\xFF", std::nullopt, true, true, true, true, false}},
      {"a folder that is not UTF-8 is kept as its bytes",
       {"/photos/\xC7\xE5\xED\xE8\xF2", "Russian"},
       {"/photos/\xC7\xE5\xED\xE8\xF2", kRussian, true, true, true, true, false}},
      {"an empty file", {}, {"", std::nullopt, true, true, true, true, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.trace);
    const ProgramSettings settings = ParseSettings(c.lines);
    EXPECT_EQ(settings.folder, c.expected.folder);
    EXPECT_EQ(settings.UiLanguage, c.expected.UiLanguage);
    EXPECT_EQ(settings.rb_Real, c.expected.rb_Real);
    EXPECT_EQ(settings.rb_Text, c.expected.rb_Text);
    EXPECT_EQ(settings.cb_CF, c.expected.cb_CF);
    EXPECT_EQ(settings.cb_SubFolders, c.expected.cb_SubFolders);
    EXPECT_EQ(settings.cb_HideLeft, c.expected.cb_HideLeft);
    EXPECT_EQ(settings.formats, c.expected.formats);
  }
}

TEST(ParseSettings, OnlyAnExactEighthLineTurnsTheOtherFormatsOn) {
  const std::vector<std::string> seven = {"/photos", "Russian", "35mm", "Linear", "KF = yes", "SubFolders", "Hide"};
  const struct {
    const char* trace;
    std::optional<std::string> line8;
    PhotoFormats expected;
  } cases[] = {
      {"seven lines, as written before the line existed", std::nullopt, PhotoFormats::kJpeg},
      {"turned on", "All formats", PhotoFormats::kAll},
      {"turned off", "JPEG only", PhotoFormats::kJpeg},
      {"empty", "", PhotoFormats::kJpeg},
      {"another letter case", "all formats", PhotoFormats::kJpeg},
      {"a trailing blank", "All formats ", PhotoFormats::kJpeg},
      {"damaged bytes", "All f\xFFrmats", PhotoFormats::kJpeg},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.trace);
    std::vector<std::string> lines = seven;
    if (c.line8) lines.push_back(*c.line8);
    const ProgramSettings settings = ParseSettings(lines);
    EXPECT_EQ(settings.formats, c.expected);
    // The eighth line changes nothing of the other seven.
    EXPECT_EQ(settings.folder, "/photos");
    EXPECT_EQ(settings.UiLanguage, kRussian);
    EXPECT_TRUE(settings.cb_HideLeft);
  }
}

TEST(ParseSettings, OnlyAnExactNinthLineTurnsTheRecordsCacheOff) {
  const std::vector<std::string> eight = {"/photos",  "Russian",    "35mm", "Linear",
                                          "KF = yes", "SubFolders", "Hide", "All formats"};
  const struct {
    const char* trace;
    std::optional<std::string> line9;
    bool expected;
  } cases[] = {
      {"eight lines, as written before the line existed", std::nullopt, true},
      {"turned on", "Remember photos", true},
      {"turned off", "Forget photos", false},
      {"empty", "", true},
      {"another letter case", "forget photos", true},
      {"a trailing blank", "Forget photos ", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.trace);
    std::vector<std::string> lines = eight;
    if (c.line9) lines.push_back(*c.line9);
    const ProgramSettings settings = ParseSettings(lines);
    EXPECT_EQ(settings.remember_photos, c.expected);
    // The ninth line changes nothing of the other eight.
    EXPECT_EQ(settings.formats, PhotoFormats::kAll);
    EXPECT_TRUE(settings.cb_HideLeft);
  }
}

TEST(SettingsFile, WrittenWholeAndReadBackWithEitherLineEnd) {
  testing::TempFolder folder;
  const auto file = folder.path() / "Lumetra.ini";
  EXPECT_FALSE(ReadSettingsFile(file).has_value());
  const auto file_text = [&file] {
    std::ifstream in(file, std::ios::binary);
    return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  };
  ProgramSettings settings{"/photos/2026", kRussian, false, true, false, true, true, PhotoFormats::kAll};
  ASSERT_FALSE(WriteSettingsFile(file, settings).has_value());
  EXPECT_EQ(
      file_text(),
      "/photos/2026\r\nRussian\r\n35mm\r\nText\r\nKF = no\r\nSubFolders\r\nHide\r\nAll formats\r\nRemember photos\r\n");
  const std::optional<ProgramSettings> read = ReadSettingsFile(file);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->folder, "/photos/2026");
  EXPECT_EQ(read->UiLanguage, kRussian);
  EXPECT_FALSE(read->rb_Real);
  EXPECT_EQ(read->formats, PhotoFormats::kAll);

  // A seven-line file read and written again gains the eighth line, off, and the ninth, on.
  std::ofstream(file, std::ios::binary) << "/a\r\nRussian\r\nReal\r\nText\r\nKF = yes\r\nSubFolders\r\nNon Hide\r\n";
  const std::optional<ProgramSettings> seven = ReadSettingsFile(file);
  ASSERT_TRUE(seven.has_value());
  EXPECT_EQ(seven->formats, PhotoFormats::kJpeg);
  ASSERT_FALSE(WriteSettingsFile(file, *seven).has_value());
  EXPECT_EQ(file_text(),
            "/a\r\nRussian\r\nReal\r\nText\r\nKF = yes\r\nSubFolders\r\nNon Hide\r\nJPEG only\r\nRemember photos\r\n");

  // Turned off, the ninth line is written and read back.
  settings.remember_photos = false;
  ASSERT_FALSE(WriteSettingsFile(file, settings).has_value());
  EXPECT_TRUE(file_text().ends_with("All formats\r\nForget photos\r\n"));
  EXPECT_FALSE(ReadSettingsFile(file)->remember_photos);

  std::ofstream(file, std::ios::binary) << "/a\nRussian\n";
  EXPECT_EQ(ReadSettingsFile(file)->folder, "/a");
  EXPECT_EQ(ReadSettingsFile(file)->UiLanguage, kRussian);
}

TEST(SettingsFile, EveryCombinationOfChoicesIsReadBackAsWritten) {
  for (unsigned mask = 0; mask < (1u << 7); ++mask) {
    const auto bit = [mask](unsigned n) { return (mask >> n & 1u) != 0; };
    const ProgramSettings written{"/photos", bit(0) ? kRussian : kEnglish,
                                  bit(1),    bit(2),
                                  bit(3),    bit(4),
                                  bit(5),    bit(6) ? PhotoFormats::kAll : PhotoFormats::kJpeg};
    SCOPED_TRACE(SettingsText(written));
    std::vector<std::string> lines;
    const std::string text = SettingsText(written);
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
      lines.push_back(text.substr(start, end - start));
    }
    const ProgramSettings read = ParseSettings(lines);
    EXPECT_EQ(read.UiLanguage, written.UiLanguage);
    EXPECT_EQ(read.rb_Real, written.rb_Real);
    EXPECT_EQ(read.rb_Text, written.rb_Text);
    EXPECT_EQ(read.cb_CF, written.cb_CF);
    EXPECT_EQ(read.cb_SubFolders, written.cb_SubFolders);
    EXPECT_EQ(read.cb_HideLeft, written.cb_HideLeft);
    EXPECT_EQ(read.formats, written.formats);
  }
}

TEST(SettingsFile, AFolderWithALineBreakIsWrittenAsNoFolder) {
  for (const char* folder : {"/photos\r\nRussian", "/a\nb", "/a\rb"}) {
    SCOPED_TRACE(folder);
    ProgramSettings settings;
    settings.folder = folder;
    const std::string text = SettingsText(settings);
    EXPECT_EQ(text,
              "\r\nEnglish\r\nReal\r\nText\r\nKF = yes\r\nSubFolders\r\nNon Hide\r\nJPEG only\r\nRemember photos\r\n");
  }
}

TEST(SettingsFile, AFailedWriteNamesTheFileAndKeepsTheOldOne) {
  testing::TempFolder folder;
  const auto file = folder.path() / "missing" / "Lumetra.ini";
  const std::optional<std::string> failure = WriteSettingsFile(file, {});
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->rfind(file.string() + ": ", 0), 0u) << *failure;
}

TEST(IsSelectableFolder, OnlyExistingAbsoluteFoldersThatAreNotTheUsersSpecialOnes) {
  testing::TempFolder folder;
  const std::string existing = folder.path().string();
  const std::string desktop = (folder.path() / "Desktop").string();
  std::filesystem::create_directory(desktop);
  std::ofstream(folder.path() / "file.jpg") << "x";
  const std::vector<std::string> special = {desktop};
  EXPECT_TRUE(IsSelectableFolder(existing, special));
  EXPECT_FALSE(IsSelectableFolder(desktop, special));
  EXPECT_FALSE(IsSelectableFolder("", special));
  EXPECT_FALSE(IsSelectableFolder("relative/folder", special));
  EXPECT_FALSE(IsSelectableFolder((folder.path() / "gone").string(), special));
  EXPECT_FALSE(IsSelectableFolder((folder.path() / "file.jpg").string(), special));
}

}  // namespace
}  // namespace lumetra
