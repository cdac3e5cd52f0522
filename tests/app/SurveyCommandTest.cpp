// lumetra-cli survey: the JSON object, the filter options, the language, and refused input.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <streambuf>

#include "app/cli/RecordsCsv.h"
#include "app/cli/SurveyCommand.h"
#include "app/cli/TagsCommand.h"
#include "testing/DemoFolder.h"
#include "testing/ExifWriter.h"
#include "testing/JpegWriter.h"
#include "tests/support/CorpusFolder.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"
#include "text/Windows1251.h"

namespace lumetra {
namespace {

class SurveyCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::WriteDemoFolder(photos_.path()); }

  cli::SurveyRequest Request(const std::filesystem::path& folder) {
    cli::SurveyRequest request;
    request.folder = folder.string();
    request.json = true;
    request.crop_file = (home_.path() / "Lumetra_Crop.ini").string();
    request.records_file = (home_.path() / "Lumetra_Records.db").string();
    return request;
  }

  nlohmann::json Survey(const cli::SurveyRequest& request) {
    std::ostringstream out;
    std::ostringstream errors;
    EXPECT_EQ(cli::RunSurveyCommand(request, out, errors), 0) << errors.str();
    return nlohmann::json::parse(out.str());
  }

  std::pair<int, std::string> Refused(const cli::SurveyRequest& request) {
    std::ostringstream out;
    std::ostringstream errors;
    const int code = cli::RunSurveyCommand(request, out, errors);
    EXPECT_EQ(out.str(), "");
    return {code, errors.str()};
  }

  static const nlohmann::json* Record(const nlohmann::json& survey, const std::string& name) {
    for (const auto& record : survey["records"]) {
      if (record["path"].get<std::string>().ends_with("/" + name)) return &record;
    }
    return nullptr;
  }

  testing::TempFolder photos_;
  testing::TempFolder home_;
};

TEST_F(SurveyCommandTest, PrintsTheCountersRecordsAndTallies) {
  const nlohmann::json survey = Survey(Request(photos_.path()));
  EXPECT_EQ(survey["processed"], 35);
  EXPECT_EQ(survey["filtered"], 35);
  EXPECT_EQ(survey["records"].size(), 35u);
  EXPECT_EQ(survey["tallies"].size(), 18u);
  const nlohmann::json* record = Record(survey, "DSC_0042.JPG");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ((*record)["exposure"], "1/125");
  EXPECT_EQ((*record)["make"], "NIKON");
  EXPECT_EQ((*record)["program"], "Normal");
  // The built-in crop list knows the D70.
  EXPECT_EQ((*record)["crop"], "1.5");
  EXPECT_EQ(survey["tallies"]["program"][1], nlohmann::json::array({"Aperture\rpriority", 4}));
  // 1/4000 s is 2.5 in 1/10000 s; read in single precision it lies just above and rounds to 3.
  EXPECT_EQ(survey["ranges"]["shutter"], nlohmann::json::array({3, 300000}));
  // The crop file was created from the built-in list.
  EXPECT_TRUE(std::filesystem::exists(home_.path() / "Lumetra_Crop.ini"));
}

TEST_F(SurveyCommandTest, FilterOptionsChangeTheTallies) {
  struct Case {
    const char* what;
    void (*set)(cli::SurveyRequest&);
    int filtered;
  };
  const Case cases[] = {
      {"F-number 5.6 to 8", [](cli::SurveyRequest& r) { r.fnumber = "5.6:8"; }, 15},
      {"with flash", [](cli::SurveyRequest& r) { r.flash = "yes"; }, 7},
      {"vertical", [](cli::SurveyRequest& r) { r.orientation = "v"; }, 8},
      {"no normal program", [](cli::SurveyRequest& r) { r.exclude_program = {"Normal"}; }, 14},
      {"no iPhone 5", [](cli::SurveyRequest& r) { r.exclude_model = {"iPhone 5"}; }, 29},
      {"exposure up to 1/125", [](cli::SurveyRequest& r) { r.exposure = ":1/125"; }, 22},
      {"35 mm focal 70 to 90",
       [](cli::SurveyRequest& r) {
         r.focal_range = "70:90";
         r.options.rb_Real = false;
       },
       8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    cli::SurveyRequest request = Request(photos_.path());
    c.set(request);
    const nlohmann::json survey = Survey(request);
    EXPECT_EQ(survey["processed"], 35);
    EXPECT_EQ(survey["filtered"], c.filtered);
  }
}

TEST_F(SurveyCommandTest, ReadsInRussian) {
  cli::SurveyRequest request = Request(photos_.path());
  request.options.language = kRussian;
  const nlohmann::json survey = Survey(request);
  EXPECT_EQ(survey["tallies"]["flash"][0][0], "Вспышка");
  EXPECT_EQ((*Record(survey, "DSC_0042.JPG"))["program"], "Програмный\rЗеленая зона");
  request.json = false;
  std::ostringstream out;
  std::ostringstream errors;
  EXPECT_EQ(cli::RunSurveyCommand(request, out, errors), 0);
  EXPECT_NE(out.str().find(" Обработано 35 фотографий с EXIF"), std::string::npos);
}

TEST_F(SurveyCommandTest, RefusedInputEndsWithAMessage) {
  struct Case {
    const char* what;
    void (*set)(cli::SurveyRequest&);
    const char* message;
  };
  const Case cases[] = {
      {"F-number bounds reversed", [](cli::SurveyRequest& r) { r.fnumber = "8:5.6"; },
       "lumetra-cli survey: --fnumber: refused 8:5.6 (expected F-numbers such as 2.8, the lower not above the "
       "upper)\n"},
      {"an exposure of more than a second as a fraction", [](cli::SurveyRequest& r) { r.exposure = "3/2:"; },
       "lumetra-cli survey: --exposure: refused 3/2: (expected times in seconds (0.5) or as 1/N (1/250), the lower "
       "not above the upper)\n"},
      {"ISO 0", [](cli::SurveyRequest& r) { r.iso = "0:"; }, "lumetra-cli survey: --iso: a bound of 0 is refused\n"},
      {"no colon", [](cli::SurveyRequest& r) { r.iso = "100"; },
       "lumetra-cli survey: --iso: expected FROM:TO, got '100'\n"},
      {"unknown program", [](cli::SurveyRequest& r) { r.exclude_program = {"Sports"}; },
       "lumetra-cli survey: --exclude-program: unknown name 'Sports'\n"},
      {"flash maybe", [](cli::SurveyRequest& r) { r.flash = "maybe"; },
       "lumetra-cli survey: --flash: expected yes or no, got 'maybe'\n"},
      {"a day that does not exist", [](cli::SurveyRequest& r) { r.date = "2019-02-29:"; },
       "lumetra-cli survey: --date: refused 2019-02-29: (expected days as YYYY-MM-DD from 1900 to 2100, the first "
       "not after the last)\n"},
      {"dates in reverse", [](cli::SurveyRequest& r) { r.date = "2020-01-01:2019-01-01"; },
       "lumetra-cli survey: --date: refused 2020-01-01:2019-01-01 (expected days as YYYY-MM-DD from 1900 to 2100, "
       "the first not after the last)\n"},
      {"a date without a colon", [](cli::SurveyRequest& r) { r.date = "2019-03-14"; },
       "lumetra-cli survey: --date: expected FROM:TO, got '2019-03-14'\n"},
      {"hour 24", [](cli::SurveyRequest& r) { r.hours = "20:24"; },
       "lumetra-cli survey: --hours: refused 20:24 (expected whole hours 0 to 23; 22:4 spans midnight)\n"},
      {"a refused hour beside a zero ISO names the hour",
       [](cli::SurveyRequest& r) {
         r.hours = "x:";
         r.iso = "0:";
       },
       "lumetra-cli survey: --hours: refused x: (expected whole hours 0 to 23; 22:4 spans midnight)\n"},
      {"a missing folder", [](cli::SurveyRequest& r) { r.folder += "/missing"; }, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    cli::SurveyRequest request = Request(photos_.path());
    c.set(request);
    const auto [code, message] = Refused(request);
    EXPECT_EQ(code, 2);
    if (c.message != nullptr) {
      EXPECT_EQ(message, c.message);
    } else {
      EXPECT_EQ(message, "lumetra-cli survey: " + request.folder + ": not a folder that can be read\n");
    }
  }
}

// A folder of four photos, three with a capture time.
TEST_F(SurveyCommandTest, RecordsAndTalliesTellWhenAndTheFilterTakesDatesAndHours) {
  const testing::TempFolder timed;
  const char* const times[] = {"2019:03:14 18:22:05", "2019:03:16 23:30:00", "2020:01:05 02:15:00", nullptr};
  for (size_t i = 0; i < std::size(times); ++i) {
    testing::Ifd exif;
    exif.Rationals(0x829A, {{1, 250}}).Rationals(0x829D, {{28, 10}});
    if (times[i] != nullptr) exif.Ascii(0x9003, times[i]);
    testing::Ifd ifd0;
    ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS 40D").Sub(0x8769, exif);
    testing::WriteFileBytes(timed.path() / ("photo" + std::to_string(i) + ".jpg"),
                            testing::BuildJpeg({testing::ExifSegment(ifd0, testing::ByteOrder::kBig)}));
  }
  const nlohmann::json survey = Survey(Request(timed.path()));
  EXPECT_EQ((*Record(survey, "photo0.jpg"))["taken"], "2019-03-14T18:22:05");
  EXPECT_TRUE((*Record(survey, "photo3.jpg"))["taken"].is_null());
  EXPECT_EQ(survey["tallies"]["date"], nlohmann::json::parse(R"([["2019-03", 2], ["2020-01", 1], ["n/a", 1]])"));
  EXPECT_EQ(survey["tallies"]["weekday"],
            nlohmann::json::parse(R"([["Monday", 0], ["Tuesday", 0], ["Wednesday", 0], ["Thursday", 1],
                                      ["Friday", 0], ["Saturday", 1], ["Sunday", 1], ["n/a", 1]])"));
  ASSERT_EQ(survey["tallies"]["hour"].size(), 25u);
  EXPECT_EQ(survey["tallies"]["hour"][2], nlohmann::json::array({"2", 1}));
  EXPECT_EQ(survey["tallies"]["hour"][23], nlohmann::json::array({"23", 1}));

  const struct {
    const char* date;
    const char* hours;
    int filtered;
  } cases[] = {
      {"", "", 4},
      {"2019-03-14:2019-03-16", "", 2},
      {"2019-03-15:", "", 2},
      {":2019-12-31", "", 2},
      {"", "22:4", 2},
      {"", "18:18", 1},
      {"2019-03-01:2019-03-31", "0:23", 2},
      {"", "0:0", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.date) + " " + c.hours);
    cli::SurveyRequest request = Request(timed.path());
    request.date = c.date;
    request.hours = c.hours;
    const nlohmann::json filtered = Survey(request);
    EXPECT_EQ(filtered["processed"], 4);
    EXPECT_EQ(filtered["filtered"], c.filtered);
  }
}

// Fourteen tables named by the charts' English titles, whatever the language, each listing its tally
// as the survey counted it; the focal table follows the focal mode.
TEST_F(SurveyCommandTest, WritesTheChartTables) {
  for (const bool real : {true, false}) {
    SCOPED_TRACE(real ? "real focal length" : "35 mm focal length");
    testing::TempFolder tables;
    cli::SurveyRequest request = Request(photos_.path());
    request.options.language = kRussian;
    request.options.rb_Real = real;
    request.tables_folder = (tables.path() / "new folder").string();
    const nlohmann::json survey = Survey(request);

    const char* const names[] = {"Exposure",      "F Number",    "Focal length", "ISO",        "Program",
                                 "Metering Mode", "Flash",       "Orientation",  "Focus Mode", "Drive mode",
                                 "Make",          "Crop-Factor", "Model",        "Lens"};
    const char* const tallies[] = {"shutter", "fNumber",     real ? "focal" : "focal35",
                                   "iso",     "program",     "metering",
                                   "flash",   "orientation", "focus",
                                   "drive",   "make",        "crop",
                                   "model",   "lens"};
    for (size_t i = 0; i < std::size(names); ++i) {
      SCOPED_TRACE(names[i]);
      const std::string table = testing::ReadFileBytes(tables.path() / "new folder" / (std::string(names[i]) + ".txt"));
      std::string expected_rows;
      for (const auto& row : survey["tallies"][tallies[i]]) {
        expected_rows +=
            Utf8ToWindows1251(row[0].get<std::string>()) + "\t" + std::to_string(row[1].get<int>()) + "\r\n";
      }
      const size_t rows_start = table.find("\r\n", table.find("\r\n") + 2) + 2;
      ASSERT_NE(rows_start, std::string::npos + 2);
      EXPECT_EQ(table.substr(rows_start), expected_rows);
    }
    const std::string exposure = testing::ReadFileBytes(tables.path() / "new folder" / "Exposure.txt");
    EXPECT_EQ(exposure.substr(0, exposure.find("\r\n") + 2),
              Utf8ToWindows1251("Таблица для параметра \"Выдержка\" для фотографий из каталога \"" +
                                photos_.path().string() + "\"\r\n"));
  }
}

TEST_F(SurveyCommandTest, ATableThatCannotBeWrittenIsNamed) {
  testing::TempFolder tables;
  std::filesystem::create_directory(tables.path() / "Exposure.txt");  // a folder where the table should go
  cli::SurveyRequest request = Request(photos_.path());
  request.tables_folder = tables.path().string();
  std::ostringstream out;
  std::ostringstream errors;
  EXPECT_EQ(cli::RunSurveyCommand(request, out, errors), 1);
  EXPECT_EQ(errors.str(), "lumetra-cli survey: " + (tables.path() / "Exposure.txt").string() + ": Is a directory\n");

  request.tables_folder.clear();
  request.charts_folder = tables.path().string();
  const auto [code, message] = Refused(request);
  EXPECT_EQ(code, 2) << "a build without chart views refuses --charts before it surveys";
  EXPECT_EQ(message, "lumetra-cli survey: --charts: this build of lumetra-cli draws no charts\n");
}

// Output that stops arriving after `room` bytes, as on a full disk or a closed pipe.
class FullOutput : public std::streambuf {
 public:
  explicit FullOutput(size_t room) : room_(room) {}

 protected:
  int_type overflow(int_type c) override {
    if (room_ == 0) return traits_type::eof();
    --room_;
    return traits_type::not_eof(c);
  }

 private:
  size_t room_;
};

TEST_F(SurveyCommandTest, OutputThatCannotBeWrittenEndsWithExitCodeOne) {
  for (const bool json : {true, false}) {
    for (const size_t room : {size_t{0}, size_t{100}}) {
      SCOPED_TRACE(std::string(json ? "json" : "text") + ", room " + std::to_string(room));
      cli::SurveyRequest request = Request(photos_.path());
      request.json = json;
      FullOutput full(room);
      std::ostream out(&full);
      std::ostringstream errors;
      EXPECT_EQ(cli::RunSurveyCommand(request, out, errors), 1);
      EXPECT_EQ(errors.str(), "lumetra-cli: the output could not be written\n");
    }
  }
}

TEST_F(SurveyCommandTest, WhatTheSurveyPassesOverIsNamed) {
  // Folders on a virtual file system are passed over, each link by its own name.
  constexpr int kLinks = 23;
  for (int i = 0; i < kLinks; ++i) {
    std::filesystem::create_directory_symlink("/proc", photos_.path() / ("proc" + std::to_string(10 + i)));
  }
  std::ostringstream out;
  std::ostringstream errors;
  EXPECT_EQ(cli::RunSurveyCommand(Request(photos_.path()), out, errors), 0);
  const nlohmann::json survey = nlohmann::json::parse(out.str());
  ASSERT_EQ(survey["skipped"].size(), size_t{kLinks});
  const std::string first = photos_.path().string() + "/proc10/";
  EXPECT_EQ(survey["skipped"][0], nlohmann::json({{"path", first}, {"reason", "a virtual file system"}}));
  std::string expected;
  for (int i = 0; i < 20; ++i) {
    expected += "lumetra-cli survey: not read: " + photos_.path().string() + "/proc" + std::to_string(10 + i) +
                "/: a virtual file system\n";
  }
  expected += "lumetra-cli survey: not read: 3 more folders and files\n";
  EXPECT_EQ(errors.str(), expected);
  EXPECT_GT(survey["processed"].get<int>(), 0);
}

// A photo of the demo folder, for copies under other names.
std::filesystem::path AnyPhoto(const std::filesystem::path& folder) {
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.path().extension() == ".JPG") return entry.path();
  }
  return {};
}

// Names that try to forge output: line ends, terminal sequences, a C1 control. In the text output, on
// stderr and in a table's header each stays one item on one line, escaped; the JSON keeps them as they are.
TEST_F(SurveyCommandTest, ControlCharactersInNamesAreShownEscaped) {
  testing::TempFolder temp;
  const std::string folder_name = "evil\r\nlumetra-cli survey: not read: forged\x1b[31m";
  const std::filesystem::path folder = temp.path() / folder_name;
  std::filesystem::create_directories(folder);
  const std::string photo_name = "a\nb\x1b]0;title\x07\xc2\x9b.JPG";
  std::filesystem::copy_file(AnyPhoto(photos_.path()), folder / photo_name);
  std::filesystem::create_directory_symlink("/proc", folder / "p\nq");
  testing::TempFolder tables;
  cli::SurveyRequest request = Request(folder);
  request.json = false;
  request.tables_folder = tables.path().string();
  std::ostringstream out;
  std::ostringstream errors;
  ASSERT_EQ(cli::RunSurveyCommand(request, out, errors), 0) << errors.str();
  const std::string escaped_folder = temp.path().string() + "/evil\\r\\nlumetra-cli survey: not read: forged\\x1b[31m";
  EXPECT_EQ(out.str().substr(0, out.str().find('\n')), escaped_folder);
  for (const std::string& text : {out.str(), errors.str()}) {
    EXPECT_EQ(text.find_first_of("\r\x1b\x07"), std::string::npos) << text;
    EXPECT_EQ(text.find("\xc2\x9b"), std::string::npos) << text;
  }
  EXPECT_EQ(errors.str(), "lumetra-cli survey: not read: " + escaped_folder + "/p\\nq/: a virtual file system\n");
  const std::string table = testing::ReadFileBytes(tables.path() / "Exposure.txt");
  EXPECT_EQ(table.substr(0, table.find("\r\n") + 2),
            Utf8ToWindows1251("Таблица для параметра \"Exposure\" для фотографий из каталога \"" + escaped_folder +
                              "\"\r\n"));
  EXPECT_EQ(table.find('\n'), table.find("\r\n") + 1) << "the first line ends at the header's own line end";

  const nlohmann::json survey = Survey(Request(folder));
  ASSERT_EQ(survey["records"].size(), 1u);
  EXPECT_EQ(survey["records"][0]["path"], (folder / photo_name).string());
  EXPECT_EQ(survey["folder"], folder.string());
}

// File names that are not UTF-8 keep every byte in the JSON of both commands, by one rule: the text with
// U+FFFD and the bytes in hex beside it. A name that really holds U+FFFD is told apart from them.
TEST_F(SurveyCommandTest, NamesThatAreNotUtf8KeepEveryByteInJson) {
  testing::TempFolder temp;
  const std::string bad = "bad\xff\xfe.JPG";
  const std::string lookalike = "bad\xef\xbf\xbd\xef\xbf\xbd.JPG";
  std::filesystem::copy_file(AnyPhoto(photos_.path()), temp.path() / bad);
  std::filesystem::copy_file(AnyPhoto(photos_.path()), temp.path() / lookalike);
  const auto from_hex = [](const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
      bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
  };
  const nlohmann::json survey = Survey(Request(temp.path()));
  ASSERT_EQ(survey["records"].size(), 2u);
  std::map<std::string, nlohmann::json> by_bytes;
  for (const nlohmann::json& record : survey["records"]) {
    const std::string path =
        record.value("pathBytes", "").empty() ? record["path"].get<std::string>() : from_hex(record["pathBytes"]);
    by_bytes[path] = record;
  }
  const std::string bad_path = (temp.path() / bad).string();
  const std::string lookalike_path = (temp.path() / lookalike).string();
  ASSERT_EQ(by_bytes.count(bad_path), 1u);
  ASSERT_EQ(by_bytes.count(lookalike_path), 1u);
  EXPECT_FALSE(by_bytes[lookalike_path].contains("pathBytes"));
  EXPECT_EQ(by_bytes[bad_path]["path"], lookalike_path) << "the text shows each stray byte as U+FFFD";
  EXPECT_TRUE(std::filesystem::is_regular_file(from_hex(by_bytes[bad_path]["pathBytes"])));

  std::ostringstream out;
  std::ostringstream errors;
  ASSERT_EQ(cli::RunTagsCommand({bad_path, lookalike_path}, {.json = true}, out, errors), 0);
  const nlohmann::json files = nlohmann::json::parse(out.str());
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0]["file"], by_bytes[bad_path]["path"]);
  EXPECT_EQ(files[0]["fileBytes"], by_bytes[bad_path]["pathBytes"]);
  EXPECT_EQ(files[1]["file"], lookalike_path);
  EXPECT_FALSE(files[1].contains("fileBytes"));
}

TEST_F(SurveyCommandTest, AnUnreadableFolderIsRefusedWithOrWithoutATrailingSlash) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root, which lists a folder whatever its permission bits";
  std::filesystem::permissions(photos_.path(), std::filesystem::perms::owner_exec);
  for (const std::string& suffix : {std::string(), std::string("/")}) {
    SCOPED_TRACE(suffix);
    cli::SurveyRequest request = Request(photos_.path());
    request.folder += suffix;
    EXPECT_EQ(Refused(request).first, 2);
  }
  std::filesystem::permissions(photos_.path(), std::filesystem::perms::owner_all);
}

// Records of the photo corpus checked by hand against `exiftool -n` (ExposureTime, FNumber, FocalLength,
// ISO, ExposureProgram, MeteringMode, Flash, Orientation, Make, Model; the Canon lens from its maker note's
// focal range).
TEST_F(SurveyCommandTest, SurveysTheCorpus) {
  LUMETRA_CORPUS_OR_SKIP(corpus);
  const nlohmann::json survey = Survey(Request(*corpus));
  // 111 files: two have no Exif, nine more have none of exposure, F-number, ISO and focal length.
  EXPECT_EQ(survey["processed"], 102);
  EXPECT_EQ(survey["filtered"], 95);
  const std::pair<const char*, nlohmann::json> expected[] = {
      {"Canon EOS 1000D.jpg",
       {{"exposure", "1/250"},
        {"fNumber", "5.6"},
        {"focal", "34"},
        {"focal35", "54"},
        {"iso", "100"},
        {"program", "Aperture\rpriority"},
        {"metering", "Multi-Segment"},
        {"flash", "No Flash"},
        {"orientation", "Vertical"},
        {"model", "Canon EOS 1000D"},
        {"lens", "18-55 mm"},
        {"make", "Canon"},
        {"crop", "1.6"},
        {"drive", "Single"},
        {"focus", "One-Shot"}}},
      {"Canon EOS 30D (4).jpg",
       {{"exposure", "1/80"},
        {"focal", "240"},
        {"metering", "Partial"},
        {"lens", "EF75-300mm f/4-5.6"},
        {"focus", "AI Focus"}}},
      {"Nikon D70.jpg",
       {{"exposure", "1/60"},
        {"fNumber", "4.5"},
        {"iso", "n/a"},
        {"program", "n/a"},
        {"flash", "Flash"},
        {"make", "NIKON"},
        {"crop", "1.5"},
        {"focal35", "105"}}},
      {"ultrahdr.jpg",
       {{"exposure", "1/25"},
        {"fNumber", "1.9"},
        {"focal", "6"},
        {"iso", "89"},
        {"metering", "Average"},
        {"crop", "4"},
        {"lens", "Pixel 6 back camera 6.81mm f/1.85"}}},
  };
  for (const auto& [name, fields] : expected) {
    SCOPED_TRACE(name);
    const nlohmann::json* record = Record(survey, name);
    ASSERT_NE(record, nullptr);
    for (const auto& [field, value] : fields.items()) EXPECT_EQ((*record)[field], value) << field;
  }
}

}  // namespace
}  // namespace lumetra

namespace lumetra {
namespace {

// The JSON of a survey served from the records cache is byte for byte the JSON of a fresh one.
TEST_F(SurveyCommandTest, TheCachedSurveyPrintsTheSameJson) {
  cli::SurveyRequest request = Request(photos_.path());
  // The photos were written a moment ago: remembered at once all the same.
  request.records_options.settle_time = std::chrono::milliseconds(0);
  std::string outputs[3];
  for (std::string& output : outputs) {
    std::ostringstream out;
    std::ostringstream errors;
    EXPECT_EQ(cli::RunSurveyCommand(request, out, errors), 0);
    EXPECT_EQ(errors.str(), "");
    output = out.str();
  }
  EXPECT_EQ(outputs[1], outputs[0]);
  EXPECT_EQ(outputs[2], outputs[0]);
  // Every photo was remembered, so the last two were served from the cache.
  const testing::ProcessResult rows =
      testing::RunCommand("sqlite3 '" + request.records_file + "' 'SELECT count(*) FROM photos'");
  EXPECT_EQ(rows.output, std::to_string(testing::DemoPhotos().size()) + "\n");
}

TEST_F(SurveyCommandTest, NoCacheLeavesTheDatabaseAsItIs) {
  cli::SurveyRequest request = Request(photos_.path());
  request.no_cache = true;
  const nlohmann::json fresh = Survey(request);
  EXPECT_FALSE(std::filesystem::exists(request.records_file));
  request.no_cache = false;
  EXPECT_EQ(Survey(request), fresh);
  const std::string kept = testing::ReadFileBytes(request.records_file);
  ASSERT_NE(kept, "");
  request.no_cache = true;
  std::filesystem::remove(photos_.path() / "IMG_0001.JPG");
  static_cast<void>(Survey(request));
  EXPECT_EQ(testing::ReadFileBytes(request.records_file), kept);
}

TEST_F(SurveyCommandTest, ABrokenCacheCostsOneWarningNotTheExitCode) {
  cli::SurveyRequest request = Request(photos_.path());
  request.no_cache = true;
  const nlohmann::json fresh = Survey(request);
  request.no_cache = false;
  std::ofstream(request.records_file, std::ios::binary) << std::string(3000, '\x5A');
  std::ostringstream out;
  std::ostringstream errors;
  EXPECT_EQ(cli::RunSurveyCommand(request, out, errors), 0);
  EXPECT_EQ(nlohmann::json::parse(out.str()), fresh);
  const std::string warning = errors.str();
  EXPECT_TRUE(warning.starts_with("lumetra-cli survey: warning: records cache ")) << warning;
  EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;
  EXPECT_TRUE(std::filesystem::exists(home_.path() / "Lumetra_Records.broken-1.db"));
}

TEST_F(SurveyCommandTest, WritesTheRecordsAsCsv) {
  cli::SurveyRequest request = Request(photos_.path());
  request.csv_file = (home_.path() / "records.csv").string();
  request.options.language = kRussian;
  const nlohmann::json survey = Survey(request);
  const std::string csv = testing::ReadFileBytes(request.csv_file);
  EXPECT_TRUE(
      csv.starts_with("path,exposure,fNumber,focal,focal35,iso,program,metering,flash,orientation,model,lens,"
                      "make,crop,drive,focus,taken\r\n"));
  // One row per record; a two-line label keeps its carriage return inside quotes.
  size_t rows = 0;
  for (size_t at = 0; (at = csv.find("\r\n", at)) != std::string::npos; at += 2) ++rows;
  EXPECT_EQ(rows, 1 + survey["records"].size());
  EXPECT_NE(csv.find("\"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xBE\xD1\x80\xD0\xB8\xD1\x82\xD0\xB5\xD1\x82\r"), std::string::npos)
      << csv.substr(0, 600);
}

TEST(RecordsCsv, FieldsAreQuotedOnlyWhenTheyMustBe) {
  const struct {
    const char* text;
    const char* field;
  } cases[] = {
      {"plain", "plain"},
      {"", ""},
      {"a,b", "\"a,b\""},
      {"say \"x\"", "\"say \"\"x\"\"\""},
      {"two\rlines", "\"two\rlines\""},
      {"line\nfeed", "\"line\nfeed\""},
      {"\xD0\x9C", "\xD0\x9C"},
  };
  for (const auto& c : cases) EXPECT_EQ(cli::CsvField(c.text), c.field) << c.text;
}

}  // namespace
}  // namespace lumetra
