// The crop-factor store: factor texts under both decimal separators, the crop file's load and save in a
// temporary folder (seeding, both line forms, LF-only files, bad lines, failed reads and writes, the
// replace through a temporary file), lookups, and the camera sort order.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "crop/CropStore.h"
#include "testing/JpegWriter.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"
#include "text/TextEncoding.h"

namespace lumetra {

// Printed by GoogleTest in failure messages.
void PrintTo(const CropRecord& record, std::ostream* out) {
  *out << "{\"" << record.Make << "\", \"" << record.Model << "\", " << record.Factor << "}";
}

namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr char kSeparators[] = {'.', ','};
constexpr std::string_view kByteOrderMarkForTest = "\xEF\xBB\xBF";

std::vector<std::string> FolderEntries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// Every path under `folder`, relative to it, sorted.
std::vector<std::string> TreeEntries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    names.push_back(fs::relative(entry.path(), folder));
  }
  std::sort(names.begin(), names.end());
  return names;
}

class CropFileTest : public ::testing::Test {
 protected:
  const fs::path& Folder() const { return folder_.path(); }
  fs::path CropFile() const { return Folder() / kCropFileName; }

 private:
  testing::TempFolder folder_;
};

// ---- Factor texts ----

TEST(ParseCropFactor, ReadsEitherSeparatorUnderEitherRegionalSetting) {
  const std::pair<const char*, std::optional<int64_t>> cases[] = {
      {"1.6", 16000},          {"1,6", 16000},
      {"20", 200000},          {"1.0", 10000},
      {"1,0", 10000},          {"14.7", 147000},
      {"1.5384", 15384},       {".5", 5000},
      {"1.", 10000},           {" 1.6 ", 16000},
      {"-1", -10000},          {"+2", 20000},
      {"1e1", 100000},         {"0", 0},
      {"", std::nullopt},      {"abc", std::nullopt},
      {"1.6x", std::nullopt},  {"1.2.3", std::nullopt},
      {"1,2.3", std::nullopt}, {".", std::nullopt},
      {"inf", std::nullopt},   {"nan", std::nullopt},
      {"1e400", std::nullopt}, {"0x10", std::nullopt},
      {"1e", std::nullopt},    {"1 6", std::nullopt},
      {"1e300", std::nullopt},
  };
  for (const char separator : kSeparators) {
    for (const auto& [text, expected] : cases) {
      SCOPED_TRACE(std::string("separator ") + separator + ", text \"" + text + "\"");
      EXPECT_EQ(ParseCropFactor(text, separator), expected);
    }
  }
}

TEST(ParseCropFactor, RoundsHalvesToTheEvenNeighbour) {
  // 1/32 and 3/32 are exact in binary, so their ten-thousandths are exact halves.
  EXPECT_EQ(ParseCropFactor("0.03125", '.'), 312);
  EXPECT_EQ(ParseCropFactor("0.09375", '.'), 938);
  EXPECT_EQ(ParseCropFactor("0,03125", '.'), 312);
}

TEST(IsValidCropFactor, AcceptsOnlyFactorsAboveZeroUpToAHundred) {
  const std::pair<int64_t, bool> cases[] = {
      {0, false}, {-10000, false}, {1, true}, {16000, true}, {1000000, true}, {1000001, false},
  };
  for (const auto& [factor, expected] : cases) {
    SCOPED_TRACE(factor);
    EXPECT_EQ(IsValidCropFactor(factor), expected);
  }
}

TEST(CropFactorText, WritesTheShortestTextWithTheRegionalSeparator) {
  const std::tuple<int64_t, char, const char*> cases[] = {
      {16000, '.', "1.6"}, {16000, ',', "1,6"},   {10000, '.', "1"},      {10000, ',', "1"},
      {200000, ',', "20"}, {147000, '.', "14.7"}, {15384, ',', "1,5384"}, {1000000, '.', "100"},
  };
  for (const auto& [factor, separator, expected] : cases) {
    SCOPED_TRACE(factor);
    EXPECT_EQ(CropFactorText(factor, separator), expected);
  }
}

TEST(CutCropText, KeepsTheFirst255Characters) {
  EXPECT_EQ(CutCropText(std::string(300, 'x')), std::string(255, 'x'));
  EXPECT_EQ(CutCropText(std::string(255, 'x')), std::string(255, 'x'));
  std::string cyrillic;
  for (int i = 0; i < 300; ++i) cyrillic += "Ж";
  std::string expected;
  for (int i = 0; i < 255; ++i) expected += "Ж";
  // Two bytes per letter: cutting bytes would keep 127 letters and half of one.
  EXPECT_EQ(CutCropText(cyrillic), expected);
}

// ---- Loading ----

TEST_F(CropFileTest, MissingFileIsCreatedFromTheBuiltInList) {
  for (const char separator : kSeparators) {
    SCOPED_TRACE(std::string("separator ") + separator);
    fs::remove(CropFile());
    CropStore store;
    store.CropStoreChanged = true;
    const CropFileResult result = LoadCropStore(store, CropFile(), separator);
    ASSERT_TRUE(result.ok()) << result.Message();
    EXPECT_TRUE(result.written);
    EXPECT_FALSE(store.CropStoreChanged);
    EXPECT_FALSE(store.load_failed());
    ASSERT_EQ(store.records.size(), DefaultCropTable.size());

    const std::string file = testing::ReadFileBytes(CropFile());
    EXPECT_TRUE(file.starts_with("CASIO\tEX-Z1000\t4.8\t\r\nCASIO\tEX-Z57\t6.0\t\r\n"));
    EXPECT_THAT(file, HasSubstr("\nCanon\tCanon EOS 5D Mark II\t1.0\t\r\n"));
    EXPECT_THAT(file, HasSubstr("\nSAMSUNG\t<Digimax S800 / Kenox S800>\t4.8\t\r\n"));
    EXPECT_THAT(file, HasSubstr("\nSONY\tDCR-HC30E\t14.7\t\r\n"));
    EXPECT_TRUE(file.ends_with("SONY\tDSC-S730\t6.0\t\r\n"));
    size_t lines = 0;
    for (size_t end = file.find("\t\r\n"); end != std::string::npos; end = file.find("\t\r\n", end + 1)) ++lines;
    EXPECT_EQ(lines, DefaultCropTable.size());
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), static_cast<long>(DefaultCropTable.size()));

    const CropRecord* eos7d = FindCropFactor(store, "Canon", "Canon EOS 7D");
    ASSERT_NE(eos7d, nullptr);
    EXPECT_EQ(eos7d->Factor, 16000);
    ASSERT_NE(FindCropFactor(store, "Nokia", "N8-00"), nullptr);
    EXPECT_EQ(FindCropFactor(store, "Nokia", "N8-00")->Factor, 200000);

    // The seeded file reads back as the same cameras under either separator.
    for (const char reload_separator : kSeparators) {
      CropStore reloaded;
      const CropFileResult reload = LoadCropStore(reloaded, CropFile(), reload_separator);
      EXPECT_TRUE(reload.ok()) << reload.Message();
      EXPECT_FALSE(reload.written);
      EXPECT_THAT(reload.skipped_lines, IsEmpty());
      EXPECT_EQ(reloaded.records, store.records);
    }
  }
}

TEST(DefaultCropTable, EveryFactorIsAValidNumber) {
  for (const CropTableRow& row : DefaultCropTable) {
    SCOPED_TRACE(std::string(row.Make) + " " + std::string(row.Model));
    const std::optional<int64_t> factor = ParseCropFactor(row.Factor, ',');
    ASSERT_TRUE(factor.has_value());
    EXPECT_TRUE(IsValidCropFactor(*factor));
  }
}

TEST_F(CropFileTest, AnExistingEmptyFileIsNotSeeded) {
  testing::WriteFileBytes(CropFile(), "");
  CropStore store;
  const CropFileResult result = LoadCropStore(store, CropFile(), '.');
  EXPECT_TRUE(result.ok()) << result.Message();
  EXPECT_FALSE(result.written);
  EXPECT_THAT(store.records, IsEmpty());
  EXPECT_EQ(testing::ReadFileBytes(CropFile()), "");
}

TEST_F(CropFileTest, ReadsBothLineFormsWithCrLfOrLf) {
  const std::pair<const char*, std::string> cases[] = {
      {"CR LF", "Canon\tCanon EOS 7D\t1.6\r\nNIKON\tNIKON D90\t1.5\t\r\n\r\nNokia\tN95 8GB\t20\r\n"},
      {"LF only", "Canon\tCanon EOS 7D\t1.6\nNIKON\tNIKON D90\t1.5\t\n\nNokia\tN95 8GB\t20\n"},
      {"no end on the last line", "Canon\tCanon EOS 7D\t1.6\nNIKON\tNIKON D90\t1.5\t\r\nNokia\tN95 8GB\t20"},
      {"byte order mark",
       "\xEF\xBB\xBF"
       "Canon\tCanon EOS 7D\t1,6\r\nNIKON\tNIKON D90\t1,5\tmore\r\nNokia\tN95 8GB\t20"},
  };
  for (const auto& [name, bytes] : cases) {
    for (const char separator : kSeparators) {
      SCOPED_TRACE(std::string(name) + ", separator " + separator);
      testing::WriteFileBytes(CropFile(), bytes);
      CropStore store;
      const CropFileResult result = LoadCropStore(store, CropFile(), separator);
      EXPECT_TRUE(result.ok()) << result.Message();
      EXPECT_THAT(result.skipped_lines, IsEmpty());
      EXPECT_THAT(store.records,
                  ElementsAre(CropRecord{"Canon", "Canon EOS 7D", 16000}, CropRecord{"NIKON", "NIKON D90", 15000},
                              CropRecord{"Nokia", "N95 8GB", 200000}));
    }
  }
}

TEST_F(CropFileTest, FieldsAreTakenAsTheyStand) {
  testing::WriteFileBytes(CropFile(), " Canon \tCanon EOS 5D\t1,0\r\n\t\t2\r\nRICOH\xE9\tGR\t1.5\r\n" +
                                          std::string(300, 'M') + "\t" + std::string(260, 'm') + "\t1.6\r\n");
  for (const char separator : kSeparators) {
    SCOPED_TRACE(std::string("separator ") + separator);
    CropStore store;
    const CropFileResult result = LoadCropStore(store, CropFile(), separator);
    EXPECT_TRUE(result.ok()) << result.Message();
    EXPECT_THAT(store.records, ElementsAre(CropRecord{" Canon ", "Canon EOS 5D", 10000}, CropRecord{"", "", 20000},
                                           // A byte that is not UTF-8 is read as Latin-1, as in photos.
                                           CropRecord{"RICOH\xC3\xA9", "GR", 15000},
                                           CropRecord{std::string(255, 'M'), std::string(255, 'm'), 16000}));
  }
}

TEST_F(CropFileTest, BadLinesAreSkippedAndTheOthersLoad) {
  testing::WriteFileBytes(CropFile(),
                          "Canon\tCanon EOS 7D\t1.6\r\n"    // 1
                          "no tabs at all\r\n"              // 2
                          "Canon\tonly one tab\r\n"         // 3
                          "Canon\tnot a number\tabc\r\n"    // 4
                          "\r\n"                            // 5: empty, not reported
                          "Canon\tzero\t0\r\n"              // 6
                          "Canon\tnegative\t-1.6\r\n"       // 7
                          "Canon\ttoo large\t100.01\r\n"    // 8
                          "Canon\tempty factor\t\t\r\n"     // 9
                          "Canon\tlargest\t100\r\n"         // 10
                          "Canon\tsmallest\t0.0001\r\n"     // 11
                          "Canon\tto nothing\t0.00004\r\n"  // 12: rounds to 0
                          "NIKON\tNIKON D90\t1,5\r\n");     // 13
  for (const char separator : kSeparators) {
    SCOPED_TRACE(std::string("separator ") + separator);
    CropStore store;
    const CropFileResult result = LoadCropStore(store, CropFile(), separator);
    EXPECT_TRUE(result.ok()) << result.Message();
    EXPECT_FALSE(store.load_failed());
    EXPECT_THAT(result.skipped_lines, ElementsAre(2, 3, 4, 6, 7, 8, 9, 12));
    EXPECT_THAT(store.records,
                ElementsAre(CropRecord{"Canon", "Canon EOS 7D", 16000}, CropRecord{"Canon", "largest", 1000000},
                            CropRecord{"Canon", "smallest", 1}, CropRecord{"NIKON", "NIKON D90", 15000}));
  }
}

TEST_F(CropFileTest, AFileThatCannotBeReadIsReportedNotSeededAndNeverSavedOver) {
  struct Case {
    const char* name;
    void (*make)(const fs::path& file);
    const char* reason;
  };
  const Case cases[] = {
      {"a folder in its place",
       [](const fs::path& file) {
         fs::create_directory(file);
         testing::WriteFileBytes(file / "inside", "kept");
       },
       "Is a directory"},
      {"a link to itself", [](const fs::path& file) { fs::create_symlink(file.filename(), file); },
       "Too many levels of symbolic links"},
  };
  for (const Case& test_case : cases) {
    SCOPED_TRACE(test_case.name);
    fs::remove_all(CropFile());
    test_case.make(CropFile());
    const auto before = fs::symlink_status(CropFile()).type();

    CropStore store;
    const CropFileResult load = LoadCropStore(store, CropFile(), '.');
    EXPECT_FALSE(load.ok());
    EXPECT_EQ(load.Message(), CropFile().string() + ": cannot be read: " + test_case.reason);
    EXPECT_TRUE(store.load_failed());
    EXPECT_FALSE(load.written);
    EXPECT_THAT(store.records, IsEmpty());

    store.records.push_back({"Canon", "Canon EOS 7D", 16000});
    store.CropStoreChanged = true;
    const CropFileResult save = SaveCropStore(store, CropFile(), '.');
    EXPECT_FALSE(save.ok());
    EXPECT_FALSE(save.written);
    EXPECT_THAT(save.Message(), HasSubstr(CropFile().string() + ": not saved"));
    EXPECT_EQ(fs::symlink_status(CropFile()).type(), before);
    EXPECT_THAT(FolderEntries(Folder()), ElementsAre(std::string(kCropFileName)));
    if (fs::is_directory(fs::symlink_status(CropFile()))) {
      EXPECT_EQ(testing::ReadFileBytes(CropFile() / "inside"), "kept");
    }
  }
}

TEST_F(CropFileTest, ASeedThatCannotBeWrittenIsReportedAndTheBuiltInListStillServes) {
  const fs::path file = Folder() / "missing folder" / kCropFileName;
  CropStore store;
  const CropFileResult result = LoadCropStore(store, file, '.');
  EXPECT_EQ(result.Message(), file.string() + ": cannot be created: No such file or directory");
  EXPECT_FALSE(result.written);
  EXPECT_FALSE(store.load_failed());
  EXPECT_EQ(store.records.size(), DefaultCropTable.size());
  EXPECT_THAT(FolderEntries(Folder()), IsEmpty());
}

// ---- Saving ----

TEST_F(CropFileTest, SavedFileReadsBackUnderEitherSeparator) {
  const std::vector<CropRecord> records = {
      {"Canon", "Canon EOS 7D", 16000}, {"Canon", "Canon EOS 5D Mark II", 10000},
      {"Nokia", "N8-00", 200000},       {"SONY", "DCR-HC30E", 147000},
      {"Зенит", "Зенит-М", 15384},      {"Canon", "Canon EOS 7D", 15000},
  };
  const std::pair<char, const char*> expected_files[] = {
      {'.',
       "Canon\tCanon EOS 7D\t1.6\r\nCanon\tCanon EOS 5D Mark II\t1\r\nNokia\tN8-00\t20\r\nSONY\tDCR-HC30E\t14.7\r\n"
       "Зенит\tЗенит-М\t1.5384\r\nCanon\tCanon EOS 7D\t1.5\r\n"},
      {',',
       "Canon\tCanon EOS 7D\t1,6\r\nCanon\tCanon EOS 5D Mark II\t1\r\nNokia\tN8-00\t20\r\nSONY\tDCR-HC30E\t14,7\r\n"
       "Зенит\tЗенит-М\t1,5384\r\nCanon\tCanon EOS 7D\t1,5\r\n"},
  };
  for (const auto& [separator, expected_file] : expected_files) {
    SCOPED_TRACE(std::string("saved under ") + separator);
    fs::remove(CropFile());
    CropStore store;
    store.records = records;
    store.CropStoreChanged = true;
    const CropFileResult save = SaveCropStore(store, CropFile(), separator);
    ASSERT_TRUE(save.ok()) << save.Message();
    EXPECT_TRUE(save.written);
    EXPECT_FALSE(store.CropStoreChanged);
    EXPECT_EQ(testing::ReadFileBytes(CropFile()), expected_file);
    // Written whole under its own name: no temporary file stays behind.
    EXPECT_THAT(FolderEntries(Folder()), ElementsAre(std::string(kCropFileName)));

    for (const char load_separator : kSeparators) {
      SCOPED_TRACE(std::string("loaded under ") + load_separator);
      CropStore loaded;
      const CropFileResult load = LoadCropStore(loaded, CropFile(), load_separator);
      EXPECT_TRUE(load.ok()) << load.Message();
      EXPECT_THAT(load.skipped_lines, IsEmpty());
      EXPECT_EQ(loaded.records, records);
    }
  }
}

TEST_F(CropFileTest, AnUnchangedStoreIsNotWritten) {
  const std::string seeded_form = "Canon\tCanon EOS 7D\t1.6\t\r\nNIKON\tNIKON D90\t1.5\t\r\n";
  testing::WriteFileBytes(CropFile(), seeded_form);
  CropStore store;
  ASSERT_TRUE(LoadCropStore(store, CropFile(), '.').ok());
  // The editor's opening sort reorders the store without marking it changed.
  SortCameras(store.records);
  store.records.pop_back();
  const CropFileResult save = SaveCropStore(store, CropFile(), '.');
  EXPECT_TRUE(save.ok());
  EXPECT_FALSE(save.written);
  EXPECT_EQ(testing::ReadFileBytes(CropFile()), seeded_form);
}

TEST_F(CropFileTest, AnEmptiedStoreIsSavedAsAnEmptyFileAndStaysEmpty) {
  CropStore store;
  ASSERT_TRUE(LoadCropStore(store, CropFile(), '.').ok());
  ASSERT_FALSE(store.records.empty());
  store.records.clear();
  store.CropStoreChanged = true;
  const CropFileResult save = SaveCropStore(store, CropFile(), '.');
  EXPECT_TRUE(save.ok()) << save.Message();
  EXPECT_TRUE(save.written);
  EXPECT_EQ(testing::ReadFileBytes(CropFile()), "");

  CropStore next_start;
  const CropFileResult load = LoadCropStore(next_start, CropFile(), '.');
  EXPECT_TRUE(load.ok());
  EXPECT_FALSE(load.written);
  EXPECT_THAT(next_start.records, IsEmpty());
}

// What the program did not write or did not understand survives a save: only the lines of edited and
// deleted cameras change, and new cameras are appended.
TEST_F(CropFileTest, SaveKeepsEveryLineItDidNotChange) {
  const std::string zenit = "\xC7\xE5\xED\xE8\xF2";  // "Зенит" in Windows-1251, from an older installation
  const std::string file = std::string(kByteOrderMarkForTest) +
                           "; cameras of the club\r\n"
                           "Canon\tCanon EOS 7D\t6.0\r\n"
                           "Olympus\r\n"
                           "NIKON\tNIKON D90\tabc\r\n"
                           "\r\n"
                           "Canon\tCanon EOS 7D\t1.60\tsecond of two\r\n" +
                           zenit + "\t" + zenit + "-M\t1,5384\n" + zenit + "\tKMZ\t1.5\r\n" +
                           "SONY\tDSC-RX100\t2.7\t\r\n"
                           "Leica\tM8\t1.33";
  struct Case {
    const char* what;
    std::function<void(std::vector<CropRecord>&)> edit;
    std::string expected;
  };
  const std::string head = std::string(kByteOrderMarkForTest) +
                           "; cameras of the club\r\n"
                           "Canon\tCanon EOS 7D\t6.0\r\n"
                           "Olympus\r\n"
                           "NIKON\tNIKON D90\tabc\r\n"
                           "\r\n"
                           "Canon\tCanon EOS 7D\t1.60\tsecond of two\r\n";
  const auto find = [](std::vector<CropRecord>& records, std::string_view model) {
    return std::find_if(records.begin(), records.end(), [&](const CropRecord& r) { return r.Model == model; });
  };
  const Case cases[] = {
      {"saved as loaded, after the editor's sort", [](std::vector<CropRecord>& records) { SortCameras(records); },
       file},
      {"one factor edited: only its factor text changes",
       [&](std::vector<CropRecord>& records) {
         SortCameras(records);
         find(records, "DSC-RX100")->Factor = 28000;
       },
       head + zenit + "\t" + zenit + "-M\t1,5384\n" + zenit +
           "\tKMZ\t1.5\r\nSONY\tDSC-RX100\t2.8\t\r\nLeica\tM8\t1.33"},
      {"a Windows-1251 camera edited keeps its bytes",
       [&](std::vector<CropRecord>& records) { find(records, TextAsUtf8(zenit + "-M"))->Factor = 15000; },
       head + zenit + "\t" + zenit + "-M\t1.5\n" + zenit + "\tKMZ\t1.5\r\nSONY\tDSC-RX100\t2.7\t\r\nLeica\tM8\t1.33"},
      {"the second of two duplicates edited",
       [&](std::vector<CropRecord>& records) {
         std::find_if(records.begin(), records.end(), [](const CropRecord& r) { return r.Factor == 16000; })->Factor =
             17000;
       },
       std::string(kByteOrderMarkForTest) +
           "; cameras of the club\r\nCanon\tCanon EOS 7D\t6.0\r\nOlympus\r\nNIKON\tNIKON D90\tabc\r\n\r\n"
           "Canon\tCanon EOS 7D\t1.7\tsecond of two\r\n" +
           zenit + "\t" + zenit + "-M\t1,5384\n" + zenit + "\tKMZ\t1.5\r\nSONY\tDSC-RX100\t2.7\t\r\nLeica\tM8\t1.33"},
      {"a camera deleted, one added after a last line without a line end",
       [&](std::vector<CropRecord>& records) {
         records.erase(find(records, "KMZ"));
         records.push_back({"Pentax", "K-5", 15000});
       },
       head + zenit + "\t" + zenit + "-M\t1,5384\nSONY\tDSC-RX100\t2.7\t\r\nLeica\tM8\t1.33\r\nPentax\tK-5\t1.5\r\n"},
      {"every camera deleted: what is no camera stays", [](std::vector<CropRecord>& records) { records.clear(); },
       std::string(kByteOrderMarkForTest) + "; cameras of the club\r\nOlympus\r\nNIKON\tNIKON D90\tabc\r\n\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::WriteFileBytes(CropFile(), file);
    CropStore store;
    ASSERT_TRUE(LoadCropStore(store, CropFile(), '.').ok());
    ASSERT_EQ(store.records.size(), 6u);
    c.edit(store.records);
    store.CropStoreChanged = true;
    ASSERT_TRUE(SaveCropStore(store, CropFile(), '.').ok());
    EXPECT_EQ(testing::ReadFileBytes(CropFile()), c.expected);
    // A second save after another change starts from the file as it was saved.
    CropStore reloaded;
    ASSERT_TRUE(LoadCropStore(reloaded, CropFile(), '.').ok());
    reloaded.CropStoreChanged = true;
    ASSERT_TRUE(SaveCropStore(reloaded, CropFile(), '.').ok());
    EXPECT_EQ(testing::ReadFileBytes(CropFile()), c.expected);
  }
}

TEST_F(CropFileTest, TabsAndLineEndsInsideTextsDoNotBreakTheLine) {
  CropStore store;
  store.records = {{"Odd\tMaker", "Line\r\nModel", 16000}};
  store.CropStoreChanged = true;
  ASSERT_TRUE(SaveCropStore(store, CropFile(), '.').ok());
  EXPECT_EQ(testing::ReadFileBytes(CropFile()), "Odd Maker\tLine  Model\t1.6\r\n");
}

TEST_F(CropFileTest, ALinkToTheCropFileStaysALink) {
  const fs::path real = Folder() / "elsewhere.ini";
  testing::WriteFileBytes(real, "Canon\tCanon EOS 7D\t1.6\r\n");
  fs::create_symlink(real.filename(), CropFile());
  CropStore store;
  ASSERT_TRUE(LoadCropStore(store, CropFile(), '.').ok());
  store.records.push_back({"NIKON", "NIKON D90", 15000});
  store.CropStoreChanged = true;
  ASSERT_TRUE(SaveCropStore(store, CropFile(), '.').ok());
  EXPECT_TRUE(fs::is_symlink(CropFile()));
  EXPECT_EQ(testing::ReadFileBytes(real), "Canon\tCanon EOS 7D\t1.6\r\nNIKON\tNIKON D90\t1.5\r\n");
  EXPECT_THAT(FolderEntries(Folder()), ElementsAre("Lumetra_Crop.ini", "elsewhere.ini"));
}

TEST_F(CropFileTest, AFailedSaveIsReportedAndLeavesTheOldFile) {
  // Root passes permission checks, so the failures come from the paths themselves.
  struct Case {
    const char* name;
    fs::path file;
    void (*make)(const fs::path& file);
    const char* reason;
  };
  const Case cases[] = {
      {"folder is a regular file", Folder() / "plain" / kCropFileName,
       [](const fs::path& file) { testing::WriteFileBytes(file.parent_path(), "a file, not a folder"); },
       "Not a directory"},
      {"a folder with content in the file's place", Folder() / "taken" / kCropFileName,
       [](const fs::path& file) {
         fs::create_directories(file);
         testing::WriteFileBytes(file / "inside", "kept");
       },
       "Is a directory"},
  };
  for (const Case& test_case : cases) {
    SCOPED_TRACE(test_case.name);
    test_case.make(test_case.file);
    const std::vector<std::string> before = TreeEntries(Folder());
    CropStore store;
    store.records = {{"Canon", "Canon EOS 7D", 16000}};
    store.CropStoreChanged = true;
    const CropFileResult save = SaveCropStore(store, test_case.file, '.');
    EXPECT_FALSE(save.ok());
    EXPECT_FALSE(save.written);
    EXPECT_TRUE(store.CropStoreChanged);
    EXPECT_THAT(save.Message(), HasSubstr(test_case.file.string() + ": cannot be written: "));
    EXPECT_THAT(save.Message(), HasSubstr(test_case.reason));
    // No temporary file stays behind, and what stood at the file's place is untouched.
    EXPECT_EQ(TreeEntries(Folder()), before);
    if (fs::is_directory(test_case.file)) {
      EXPECT_EQ(testing::ReadFileBytes(test_case.file / "inside"), "kept");
    }
  }
}

// Lowers the largest size a file of this process may grow to, as a full disk would stop a write; a write
// past it fails with EFBIG (the signal it would raise is ignored meanwhile).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    saved_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved_;
    lowered.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lowered);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, saved_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*saved_handler_)(int) = nullptr;
};

TEST_F(CropFileTest, AWriteThatFailsHalfwayLeavesTheOldFileWhole) {
  const std::string old_file = "Canon\tCanon EOS 7D\t1.6\t\r\nNIKON\tNIKON D90\t1.5\t\r\n";
  testing::WriteFileBytes(CropFile(), old_file);
  CropStore store;
  ASSERT_TRUE(LoadCropStore(store, CropFile(), '.').ok());
  for (int i = 0; i < 100; ++i) store.records.push_back({"Maker", "Model " + std::to_string(i), 16000});
  store.CropStoreChanged = true;
  CropFileResult save;
  {
    const FileSizeLimit limit(64);
    save = SaveCropStore(store, CropFile(), '.');
  }
  EXPECT_EQ(save.Message(), CropFile().string() + ": cannot be written: File too large");
  EXPECT_TRUE(store.CropStoreChanged);
  EXPECT_EQ(testing::ReadFileBytes(CropFile()), old_file);
  EXPECT_THAT(FolderEntries(Folder()), ElementsAre(std::string(kCropFileName)));

  // Once the write can go through, the same store is saved.
  const CropFileResult retry = SaveCropStore(store, CropFile(), '.');
  EXPECT_TRUE(retry.ok()) << retry.Message();
  CropStore reloaded;
  ASSERT_TRUE(LoadCropStore(reloaded, CropFile(), '.').ok());
  EXPECT_EQ(reloaded.records, store.records);
}

// ---- Lookups ----

TEST(FindCropFactor, FindsTheFirstUsableRecordOfTheExactCamera) {
  CropStore store;
  store.records = {
      {"Canon", "Canon EOS 7D", 16000},
      {"Canon", "Canon EOS 7D", 15000},
      {"NIKON", "NIKON D90", 0},
      {"NIKON", "NIKON D90", 15000},
      {"Nokia", "N8-00", 0},
      {"Canon", "Canon EOS 5D", 10000},
  };
  struct Case {
    const char* make;
    const char* model;
    std::optional<int64_t> factor;
  };
  const Case cases[] = {
      {"Canon", "Canon EOS 7D", 16000},  // duplicates: the earlier one
      {"NIKON", "NIKON D90", 15000},     // factor 0 means unknown: passed over
      {"Nokia", "N8-00", std::nullopt},  // only an unknown factor
      {"canon", "Canon EOS 7D", std::nullopt},
      {"Canon", "canon eos 7d", std::nullopt},
      {"NIKON", "Canon EOS 5D", std::nullopt},
      {"Canon", "Canon EOS 5", std::nullopt},
      {"Canon", "Canon EOS 5D ", std::nullopt},
      {"Canon", "Canon EOS 5D", 10000},
  };
  for (const Case& test_case : cases) {
    SCOPED_TRACE(std::string(test_case.make) + " / " + test_case.model);
    const CropRecord* found = FindCropFactor(store, test_case.make, test_case.model);
    EXPECT_EQ(found ? std::optional<int64_t>(found->Factor) : std::nullopt, test_case.factor);
  }
}

// ---- Camera order ----

TEST(CameraSortRank, PunctuationBeforeLettersBeforeDigitsOthersAsQ) {
  const std::pair<char32_t, int> cases[] = {
      {U' ', 1},  {U'-', 2},  {U'_', 3},  {U',', 4},  {U'.', 5},  {U'a', 6},  {U'A', 6},  {U'q', 22},  {U'z', 31},
      {U'Z', 31}, {U'0', 32}, {U'9', 41}, {U'/', 22}, {U'<', 22}, {U'Ж', 22}, {U'ж', 22}, {U'\t', 22}, {U'é', 22},
  };
  for (const auto& [character, rank] : cases) {
    SCOPED_TRACE(static_cast<uint32_t>(character));
    EXPECT_EQ(CameraSortRank(character), rank);
  }
}

TEST(CameraKeyAfter, ComparesRanksThenLength) {
  struct Case {
    const char* a;
    const char* b;
    bool after;
  };
  const Case cases[] = {
      // "-" (2) against a space (1) after the common prefix.
      {"Canon Canon EOS-1D", "Canon Canon EOS 10D", true},
      {"Canon Canon EOS 10D", "Canon Canon EOS-1D", false},
      // Letters compare case-folded: i before o.
      {"NIKON NIKON D90", "Nokia N95 8GB", false},
      {"Nokia N95 8GB", "NIKON NIKON D90", true},
      {"Canon Canon EOS 5D Mark II", "Canon Canon EOS 5D", true},
      {"Canon Canon EOS 5D", "Canon Canon EOS 5D Mark II", false},
      {"a9", "az", true},
      {"a.", "a-", true},
      {"CANON X", "canon x", false},
      {"canon x", "CANON X", false},
      {"", "", false},
      {"a", "", true},
      // Every other character ranks as q: "<" after p, before r.
      {"<", "p", true},
      {"<", "r", false},
      // A Cyrillic letter is one character ranked as q, whatever its length in bytes.
      {"Ж", "q", false},
      {"q", "Ж", false},
      {"Жa", "q", true},
      {"Зенит", "qqqqq", false},
  };
  for (const Case& test_case : cases) {
    SCOPED_TRACE(std::string(test_case.a) + " | " + test_case.b);
    EXPECT_EQ(CameraKeyAfter(test_case.a, test_case.b), test_case.after);
  }
}

TEST(SortCameras, OrdersByKeyAndKeepsEqualKeysInPlace) {
  std::vector<CropRecord> records = {
      {"Nokia", "N95 8GB", 200000},
      {"Canon", "Canon EOS-1D", 13000},
      {"NIKON", "NIKON D90", 15000},
      {"Canon", "Canon EOS 10D", 16000},
      {"CANON", "CANON EOS 10D", 1},
      {"Canon", "Canon EOS 10D", 2},
      {"SAMSUNG", "<Digimax S800 / Kenox S800>", 48000},
      {"SAMSUNG", "Samsung L73", 60000},
  };
  SortCameras(records);
  EXPECT_THAT(records, ElementsAre(CropRecord{"Canon", "Canon EOS 10D", 16000}, CropRecord{"CANON", "CANON EOS 10D", 1},
                                   CropRecord{"Canon", "Canon EOS 10D", 2}, CropRecord{"Canon", "Canon EOS-1D", 13000},
                                   CropRecord{"NIKON", "NIKON D90", 15000}, CropRecord{"Nokia", "N95 8GB", 200000},
                                   CropRecord{"SAMSUNG", "<Digimax S800 / Kenox S800>", 48000},
                                   CropRecord{"SAMSUNG", "Samsung L73", 60000}));
}

// Exchanging neighbours pass after pass: the plain definition of the camera order.
void ExchangeSort(std::vector<CropRecord>& records) {
  for (size_t pass = 1; pass < records.size(); ++pass) {
    for (size_t j = 0; j + pass < records.size(); ++j) {
      if (CameraKeyAfter(CameraKey(records[j]), CameraKey(records[j + 1]))) std::swap(records[j], records[j + 1]);
    }
  }
}

TEST(SortCameras, GivesTheSameOrderAsExchangingNeighbours) {
  std::vector<CropRecord> records;
  for (const CropTableRow& row : DefaultCropTable) {
    records.push_back({std::string(row.Make), std::string(row.Model), ParseCropFactor(row.Factor, '.').value()});
  }
  // Equal keys in other spellings, Cyrillic names and a prefix of another key, spread through the list.
  records.insert(records.begin() + 3, {"canon", "canon eos 7d", 1});
  records.insert(records.begin() + 40, {"CANON", "CANON EOS 7D", 2});
  records.push_back({"Зенит", "Зенит-М", 3});
  records.push_back({"Зоркий", "Зоркий 4", 4});
  records.push_back({"Canon", "Canon EOS", 5});
  std::vector<CropRecord> expected = records;
  ExchangeSort(expected);
  SortCameras(records);
  EXPECT_EQ(records, expected);
}

}  // namespace
}  // namespace lumetra
