// The capture time: the date texts it is read from, the calendar arithmetic behind it, the filter's date and
// hour bounds, the tag it comes from in a photo, and the real cameras' photos against exiftool.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "survey/CaptureTime.h"
#include "survey/ExtractPhoto.h"
#include "survey/PhotoTags.h"
#include "survey/ReadPhotoTags.h"
#include "testing/ExifWriter.h"
#include "testing/JpegWriter.h"
#include "tests/support/CorpusFolder.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

namespace lumetra {
namespace {

using namespace std::string_literals;

TEST(CaptureTime, ReadsRealMomentsOnly) {
  const struct {
    std::string text;
    const char* expected;  // CaptureTimeText; "" for undetermined
  } cases[] = {
      {"2019:03:14 18:22:05", "2019-03-14T18:22:05"},
      {"1900:01:01 00:00:00", "1900-01-01T00:00:00"},
      {"2100:12:31 23:59:59", "2100-12-31T23:59:59"},
      {"2000:02:29 12:00:00", "2000-02-29T12:00:00"},  // 2000 is a leap year
      {"2024:02:29 06:30:00", "2024-02-29T06:30:00"},
      // Padding a writer leaves: NUL bytes and blanks.
      {"2019:03:14 18:22:05\0\0\0\0"s, "2019-03-14T18:22:05"},
      {"2019:03:14 18:22:05  ", "2019-03-14T18:22:05"},
      // Forms other writers use: "-" in the date, "T" before the time.
      {"2019-03-14 18:22:05", "2019-03-14T18:22:05"},
      {"2019-03-14T18:22:05", "2019-03-14T18:22:05"},
      // A fraction of a second is dropped; a time zone is not applied.
      {"2019:03:14 18:22:05.123", "2019-03-14T18:22:05"},
      {"2019:03:14 18:22:05+02:00", "2019-03-14T18:22:05"},
      {"2019:03:14 18:22:05-0530", "2019-03-14T18:22:05"},
      {"2019:03:14 23:59:59Z", "2019-03-14T23:59:59"},
      {"2019:03:14 18:22:05.5+01:00", "2019-03-14T18:22:05"},
      // Not a moment at all.
      {"", ""},
      {"                   ", ""},
      {"    :  :     :  :  ", ""},
      {"0000:00:00 00:00:00", ""},
      {"\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0"s, ""},
      // Not a real moment.
      {"2019:13:01 12:00:00", ""},
      {"2019:00:10 12:00:00", ""},
      {"2019:04:31 12:00:00", ""},
      {"2019:02:29 12:00:00", ""},  // a common year
      {"1900:02:29 12:00:00", ""},  // divisible by 100, not by 400
      {"2019:03:00 12:00:00", ""},
      {"2019:03:14 24:00:00", ""},
      {"2019:03:14 12:60:00", ""},
      {"2019:03:14 12:00:60", ""},
      {"1899:12:31 23:59:59", ""},
      {"2101:01:01 00:00:00", ""},
      // Malformed.
      {"2019:03:14 18:22:05x", ""},
      {"2019:03:14 18:22:05 PM", ""},
      {"2019:03:14 18:22", ""},
      {"2019:03:14", ""},
      {" 2019:03:14 18:22:05", ""},
      {"2019:3:14 18:22:05", ""},
      {"2019:03-14 18:22:05", ""},
      {"2019:03:14  18:22:05", ""},
      {"2019:03:14 18:22:05.", ""},
      {"2019:03:14 18:22:05+2", ""},
      {"2019:03:14 18:22:05+25:00", ""},
      {"2019:03:14 18:22:05\0junk"s, ""},
      {"+019:03:14 18:22:05", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("[" + c.text + "]");
    const int64_t taken = ParseCaptureTime(c.text);
    EXPECT_EQ(CaptureTimeText(taken), c.expected);
    if (*c.expected == '\0') {
      EXPECT_EQ(taken, kNoCaptureTime);
    }
  }
}

// Every day from 1900 to 2100 follows the one before, and its parts come back as they were written.
TEST(CaptureTime, CountsEveryDayOfTheCaptureYears) {
  int64_t previous_day = -1;
  int64_t previous_month = -1;
  for (int year = kFirstCaptureYear; year <= kLastCaptureYear; ++year) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= 31; ++day) {
        char text[32];
        std::snprintf(text, sizeof text, "%04d:%02d:%02d 13:07:59", year, month, day);
        const int64_t taken = ParseCaptureTime(text);
        if (taken == kNoCaptureTime) continue;
        ASSERT_EQ(CaptureDay(taken), previous_day + 1) << text;
        previous_day = CaptureDay(taken);
        const CaptureMoment moment = MomentOf(taken);
        ASSERT_EQ(moment.year, year) << text;
        ASSERT_EQ(moment.month, month) << text;
        ASSERT_EQ(moment.day, day) << text;
        ASSERT_EQ(moment.hour, 13);
        ASSERT_EQ(moment.minute, 7);
        ASSERT_EQ(moment.second, 59);
        ASSERT_EQ(CaptureMonth(taken) - previous_month, day == 1 ? 1 : 0) << text;
        previous_month = CaptureMonth(taken);
        ASSERT_EQ(MonthText(CaptureMonth(taken)), std::string(text).substr(0, 7).replace(4, 1, "-")) << text;
        ASSERT_EQ(ReadDateBound(CaptureDateText(taken)), CaptureDay(taken)) << text;
      }
    }
  }
  // 200 years of 365 days, 49 leap days (1900 and 2100 are common years) and the last day itself.
  EXPECT_EQ(previous_day + 1, 201 * 365 + 49);
}

TEST(CaptureTime, WeekdaysAndHours) {
  const struct {
    const char* text;
    int weekday;  // 0 Monday
    int hour;
  } cases[] = {
      {"1900:01:01 00:00:00", 0, 0},  {"2019:03:14 18:22:05", 3, 18}, {"2000:02:29 23:59:59", 1, 23},
      {"2024:12:29 12:00:00", 6, 12}, {"2100:12:31 06:00:00", 4, 6},  {"1970:01:01 00:59:59", 3, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const int64_t taken = ParseCaptureTime(c.text);
    ASSERT_NE(taken, kNoCaptureTime);
    EXPECT_EQ(CaptureWeekday(taken), c.weekday);
    EXPECT_EQ(CaptureHour(taken), c.hour);
  }
}

TEST(CaptureTime, FilterBoundsReadOnlyTheirForm) {
  const struct {
    const char* text;
    bool date_reads;
  } dates[] = {
      {"2019-03-14", true},  {"1900-01-01", true},  {"2100-12-31", true},  {"2019-02-29", false},
      {"2019-3-14", false},  {"2019:03:14", false}, {"20190314", false},   {"2019-03-14 ", false},
      {"1899-12-31", false}, {"", false},           {"2019-03-1a", false}, {"2019-04-31", false},
  };
  for (const auto& c : dates) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ReadDateBound(c.text).has_value(), c.date_reads);
  }
  const struct {
    const char* text;
    std::optional<int> hour;
  } hours[] = {
      {"0", 0},
      {"00", 0},
      {"7", 7},
      {"07", 7},
      {"23", 23},
      {"24", std::nullopt},
      {"", std::nullopt},
      {"-1", std::nullopt},
      {"123", std::nullopt},
      {"1.5", std::nullopt},
      {" 1", std::nullopt},
  };
  for (const auto& c : hours) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ReadHourBound(c.text), c.hour);
  }
}

// Fixture photos with some of the three date tags: the first that holds a real moment wins.
TEST(CaptureTime, ComesFromTheOriginalThenTheDigitizedThenTheFileTime) {
  const struct {
    const char* name;
    const char* original;   // 0x9003, Exif directory; null: absent
    const char* digitized;  // 0x9004, Exif directory
    const char* file_time;  // 0x0132, IFD0
    const char* expected;
  } cases[] = {
      {"all three", "2019:03:14 18:22:05", "2019:03:14 18:22:06", "2020:01:01 10:00:00", "2019-03-14T18:22:05"},
      {"no original", nullptr, "2019:03:14 18:22:06", "2020:01:01 10:00:00", "2019-03-14T18:22:06"},
      {"file time only", nullptr, nullptr, "2020:01:01 10:00:00", "2020-01-01T10:00:00"},
      {"original only", "2019:03:14 18:22:05", nullptr, nullptr, "2019-03-14T18:22:05"},
      {"zeroed original", "0000:00:00 00:00:00", "2019:03:14 18:22:06", nullptr, "2019-03-14T18:22:06"},
      {"blank original and digitized", "    :  :     :  :  ", "", "2020:01:01 10:00:00", "2020-01-01T10:00:00"},
      {"none real", "0000:00:00 00:00:00", "2019:02:29 00:00:00", "junk", ""},
      {"none", nullptr, nullptr, nullptr, ""},
  };
  testing::TempFolder folder;
  int count = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (const testing::ByteOrder order : {testing::ByteOrder::kLittle, testing::ByteOrder::kBig}) {
      testing::Ifd exif;
      exif.Rationals(0x829A, {{1, 125}});
      if (c.original != nullptr) exif.Ascii(0x9003, c.original);
      if (c.digitized != nullptr) exif.Ascii(0x9004, c.digitized);
      testing::Ifd ifd0;
      ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS 40D");
      if (c.file_time != nullptr) ifd0.Ascii(0x0132, c.file_time);
      ifd0.Sub(0x8769, exif);
      const std::string path = (folder.path() / ("photo" + std::to_string(++count) + ".jpg")).string();
      testing::WriteFileBytes(path, testing::BuildJpeg({testing::ExifSegment(ifd0, order)}));
      const std::optional<PhotoRecord> record = ExtractPhoto(path, ExtractionContext{});
      ASSERT_TRUE(record.has_value());
      EXPECT_EQ(CaptureTimeText(record->taken), c.expected);
    }
  }
}

// exiftool's Exif date tags of every photo of both corpora, one tab-separated line per file: path,
// DateTimeOriginal, CreateDate (0x9004), IFD0's ModifyDate (0x0132); "-" for a tag the file lacks.
std::map<std::string, std::vector<std::string>> ExiftoolDates(const std::filesystem::path& folder) {
  const testing::ProcessResult result = testing::RunCommand(
      "exiftool -q -q -r -T -Directory -FileName -ExifIFD:DateTimeOriginal -ExifIFD:CreateDate "
      "-IFD0:ModifyDate '" +
      folder.string() + "'");
  std::map<std::string, std::vector<std::string>> dates;
  std::istringstream lines(result.output);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> columns;
    std::istringstream cut(line);
    for (std::string column; std::getline(cut, column, '\t');) columns.push_back(column);
    if (columns.size() != 5) continue;
    dates[columns[0] + "/" + columns[1]] = {columns[2], columns[3], columns[4]};
  }
  return dates;
}

TEST(CaptureTime, IsExiftoolsDateTimeOriginalOnEveryCorpusPhoto) {
  if (testing::RunCommand("exiftool -ver").exit_code != 0) GTEST_SKIP() << "exiftool is not installed";
  const std::optional<std::filesystem::path> corpus = testing::CorpusFolder();
  const std::optional<std::filesystem::path> formats = testing::FormatsCorpusFolder();
  if (!corpus && !formats) GTEST_SKIP() << testing::kNoCorpus;
  int compared = 0;
  int timed = 0;
  for (const std::optional<std::filesystem::path>& folder : {corpus, formats}) {
    if (!folder) continue;
    for (const auto& [path, tags] : ExiftoolDates(*folder)) {
      SCOPED_TRACE(path);
      int64_t expected = kNoCaptureTime;
      for (const std::string& text : tags) {
        if (text != "-" && (expected = ParseCaptureTime(text)) != kNoCaptureTime) break;
      }
      EXPECT_EQ(CaptureTimeText(ReadPhotoTags(path).taken), CaptureTimeText(expected));
      ++compared;
      if (expected != kNoCaptureTime) ++timed;
    }
  }
  // The photo corpus alone holds over a hundred photos, most with a capture time.
  if (corpus) {
    EXPECT_GT(compared, 100);
  }
  EXPECT_GT(timed, compared / 2);
}

}  // namespace
}  // namespace lumetra
