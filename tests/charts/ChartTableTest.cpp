#include <gtest/gtest.h>

#include <fstream>

#include "charts/ChartTable.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"
#include "text/Windows1251.h"

namespace lumetra {
namespace {

TEST(Windows1251Test, EncodesCyrillicAndReplacesWhatThePageLacks) {
  const struct {
    const char* utf8;
    const char* expected;
  } cases[] = {
      {"Exposure 1/125", "Exposure 1/125"}, {"Аяёё", "\xC0\xFF\xB8\xB8"},
      {"№ «»—", "\xB9 \xAB\xBB\x97"},       {"日本 é", "?? ?"},
      {"bad \xFF byte", "bad ? byte"},      {"cut \xD0", "cut ?"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToWindows1251(c.utf8), c.expected) << c.utf8;
}

// The table of the program chart: Russian headers whatever the language, all nine rows, counts of 0
// included, and the CR inside the two-line labels.
TEST(ChartTableTest, ProgramTableBytes) {
  SurveyState state(kEnglish);
  state.tallyProgram[1].count = 42;
  state.tallyProgram[3].count = 7;
  const std::string table = ChartTableText("Program", "/photos/2024", ChartTally(state, ChartId::Chart_Program, true));
  const std::string expected = Utf8ToWindows1251(
      "Таблица для параметра \"Program\" для фотографий из каталога \"/photos/2024\"\r\n"
      "Значение\tКоличество\r\n"
      "Manual\t0\r\n"
      "Aperture\rpriority\t42\r\n"
      "Shutter\rpriority\t0\r\n"
      "Normal\t7\r\n"
      "Sport\t0\r\n"
      "Portrait\t0\r\n"
      "Landscape\t0\r\n"
      "Creative\t0\r\n"
      "n/a\t0\r\n");
  EXPECT_EQ(table, expected);
  EXPECT_EQ(table.substr(0, 8), "\xD2\xE0\xE1\xEB\xE8\xF6\xE0 ") << "\"Таблица \" in Windows-1251";
}

TEST(ChartTableTest, EachChartListsItsWholeTally) {
  SurveyState state(kRussian);
  state.tallyFocal = {{"50", 3, LabelId::kNone, 0}};
  state.tallyFocal35 = {{"80", 3, LabelId::kNone, 0}};
  for (int i = 0; i < 150; ++i) state.tallyModel.push_back({"Model " + std::to_string(i), 1, LabelId::kNone, 0});
  EXPECT_EQ(&ChartTally(state, ChartId::Chart_FocalLength, true), &state.tallyFocal);
  EXPECT_EQ(&ChartTally(state, ChartId::Chart_FocalLength, false), &state.tallyFocal35);
  const std::string models = ChartTableText("Фотоаппарат", "/p", ChartTally(state, ChartId::Chart_Model, true));
  // Two header lines and every model, also those a pie would group.
  EXPECT_EQ(std::count(models.begin(), models.end(), '\n'), 152);
  const std::string fixed_sizes[] = {
      ChartTableText("", "", state.tallyMetering), ChartTableText("", "", state.tallyFlash),
      ChartTableText("", "", state.tallyOrientation), ChartTableText("", "", state.tallyFocus),
      ChartTableText("", "", state.tallyDrive)};
  const int expected_lines[] = {2 + 6, 2 + 2, 2 + 3, 2 + 5, 2 + 3};
  for (size_t i = 0; i < std::size(fixed_sizes); ++i) {
    EXPECT_EQ(std::count(fixed_sizes[i].begin(), fixed_sizes[i].end(), '\n'), expected_lines[i]);
  }
}

TEST(ChartTableTest, WritesTheFileAndNamesItWhenItCannot) {
  testing::TempFolder folder;
  SurveyState state(kEnglish);
  state.tallyShutter = {{"1/125", 42, LabelId::kNone, 80}};
  const std::filesystem::path file = folder.path() / "Exposure.txt";
  {
    std::ofstream old(file);
    old << "an older and much longer table that is replaced whole";
  }
  ASSERT_EQ(WriteChartTable(file, state, ChartId::Chart_ShutterSpeed, "Exposure", "D:\\Photos", true), "");
  EXPECT_EQ(testing::ReadFileBytes(file),
            Utf8ToWindows1251("Таблица для параметра \"Exposure\" для фотографий из каталога "
                              "\"D:\\Photos\"\r\nЗначение\tКоличество\r\n1/125\t42\r\n"));

  const std::filesystem::path missing = folder.path() / "no such folder" / "Exposure.txt";
  const std::string error = WriteChartTable(missing, state, ChartId::Chart_ShutterSpeed, "Exposure", "/p", true);
  EXPECT_EQ(error, missing.string() + ": No such file or directory");
}

TEST(WithExtensionTest, AppendsOnlyWhenTheNameLacksIt) {
  const struct {
    const char* name;
    const char* extension;
    const char* expected;
  } cases[] = {
      {"/out/table", ".txt", "/out/table.txt"},     {"/out/table.txt", ".txt", "/out/table.txt"},
      {"/out/TABLE.TXT", ".txt", "/out/TABLE.TXT"}, {"/out/chart.jpg.txt", ".jpg", "/out/chart.jpg.txt.jpg"},
      {"/out/Chart.Jpg", ".jpg", "/out/Chart.Jpg"}, {"/out.txt/chart", ".txt", "/out.txt/chart.txt"},
  };
  for (const auto& c : cases) EXPECT_EQ(WithExtension(c.name, c.extension).string(), c.expected) << c.name;
}

}  // namespace
}  // namespace lumetra
