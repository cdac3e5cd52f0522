// The records cache: a survey served from it gives exactly what a fresh survey gives, through every change
// of the folder, opens no photo of an unchanged folder, and survives every fault of its database.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <thread>

#include "fuzz/ReadRecordsCache.h"
#include "metadata/XmpPacket.h"
#include "survey/RecordsCache.h"
#include "testing/DemoFolder.h"
#include "testing/JpegWriter.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"
#include "tests/survey/RecordsTestSupport.h"
#include "tests/survey/SurveyOutcome.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

// Photos written by the test are remembered at once: the clock-tick guard has its own test.
RecordsCacheOptions Immediate() {
  RecordsCacheOptions options;
  options.settle_time = std::chrono::milliseconds(0);
  options.busy_wait = std::chrono::milliseconds(50);
  return options;
}

SurveyOptions Options(RecordsCache* cache, unsigned threads = 1) {
  SurveyOptions options;
  options.reader_threads = threads;
  options.records = cache;
  return options;
}

int64_t SqlInteger(const fs::path& db, const std::string& sql) {
  sqlite3* handle = nullptr;
  int64_t value = -1;
  if (sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
      value = sqlite3_column_int64(statement, 0);
    }
    sqlite3_finalize(statement);
  }
  sqlite3_close(handle);
  return value;
}

std::string SqlText(const fs::path& db, const std::string& sql) {
  sqlite3* handle = nullptr;
  std::string value;
  if (sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
      value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    }
    sqlite3_finalize(statement);
  }
  sqlite3_close(handle);
  return value;
}

void ExecuteSql(const fs::path& db, const std::string& sql) {
  sqlite3* handle = nullptr;
  ASSERT_EQ(sqlite3_open(db.c_str(), &handle), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(handle);
  sqlite3_close(handle);
}

class RecordsCacheTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::WriteDemoFolder(photos()); }

  fs::path photos() const { return folder_.path() / "photos"; }
  fs::path db() const { return home_.path() / kRecordsFileName; }

  std::vector<std::string> Fresh(unsigned threads = 1) const {
    return testing::SurveyOutcome(photos().string(), Options(nullptr, threads));
  }
  std::vector<std::string> Cached(RecordsCacheOptions options = Immediate(), unsigned threads = 1) const {
    RecordsCache cache(db().string(), options);
    return testing::SurveyOutcome(photos().string(), Options(&cache, threads));
  }
  // The photos a cached survey opened.
  size_t OpensOfCachedSurvey(RecordsCacheOptions options = Immediate(), unsigned threads = 1) const {
    testing::OpenCounter counter(photos());
    EXPECT_TRUE(counter.ok());
    EXPECT_EQ(Cached(options, threads), Fresh());
    static_cast<void>(counter.FileOpens());
    const std::vector<std::string> cached = Cached(options, threads);
    const size_t opens = counter.FileOpens();
    EXPECT_EQ(cached, Fresh());
    return opens;
  }

  testing::TempFolder folder_;
  testing::TempFolder home_;
};

void SetTimes(const fs::path& file, const struct stat& before) {
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
}

struct stat StatOf(const fs::path& file) {
  struct stat info {};
  EXPECT_EQ(::stat(file.c_str(), &info), 0);
  return info;
}

// Each change is made to the folder the cache has already seen, and the cached survey must then give
// exactly the fresh survey's outcome: records, counters, tallies, filtered paths, unknown cameras, skipped.
TEST_F(RecordsCacheTest, ThroughEveryChangeTheCachedSurveyIsTheFreshOne) {
  const fs::path root = photos();
  const struct {
    const char* change;
    std::function<void()> make;
  } changes[] = {
      {"nothing", [] {}},
      {"file touched",
       [&] {
         const timespec times[2] = {{0, UTIME_OMIT}, {1'600'000'000, 5}};
         ASSERT_EQ(::utimensat(AT_FDCWD, (root / "IMG_0001.JPG").c_str(), times, 0), 0);
       }},
      {"replaced with the same size and modification time",
       [&] {
         const fs::path file = root / "IMG_0002.JPG";
         const struct stat before = StatOf(file);
         ASSERT_TRUE(testing::PatchInPlace(file, "Canon EOS 40D", "Canon EOS 41D"));
         SetTimes(file, before);
         ASSERT_EQ(StatOf(file).st_size, before.st_size);
         ASSERT_EQ(StatOf(file).st_mtim.tv_nsec, before.st_mtim.tv_nsec);
       }},
      {"photo edited in place",
       [&] { ASSERT_TRUE(testing::PatchInPlace(root / "DSC_0043.JPG", "NIKON D70", "NIKON D7X")); }},
      {"truncated", [&] { fs::resize_file(root / "IMG_0003.JPG", fs::file_size(root / "IMG_0003.JPG") / 3); }},
      {"deleted", [&] { fs::remove(root / "IMG_0004.JPG"); }},
      {"renamed", [&] { fs::rename(root / "IMG_0005.JPG", root / "IMG_0500.JPG"); }},
      {"new file", [&] { fs::copy_file(root / "DSC_0044.JPG", root / "Family" / "DSC_9044.JPG"); }},
      {"folder moved", [&] { fs::rename(root / "Holidays" / "Piter", root / "Family" / "Piter"); }},
      {"a photo re-added under the name of one deleted",
       [&] { fs::copy_file(root / "IMG_0001.JPG", root / "IMG_0004.JPG"); }},
      {"a folder renamed onto another's old path, a photo under one of the old names",
       [&] {
         // The old folder's row and rows stay under that path until the survey finds its photos gone.
         fs::rename(root / "Holidays" / "Moscow", root / "Holidays" / "Moscow-old");
         fs::rename(root / "Family" / "2012", root / "Holidays" / "Moscow");
         fs::copy_file(root / "DSC_0043.JPG", root / "Holidays" / "Moscow" / "IMG_0101.JPG");
       }},
      {"another file under the name, same size",
       [&] {
         // Same size, new inode: written beside and renamed over, as editors save.
         const fs::path file = root / "IMG_1254.JPG";
         std::string bytes = testing::ReadFileBytes(file);
         const size_t at = bytes.find("iPhone 5");
         ASSERT_NE(at, std::string::npos);
         bytes.replace(at, 8, "iPhone 6");
         std::ofstream(root / "new.tmp", std::ios::binary) << bytes;
         fs::rename(root / "new.tmp", file);
       }},
      {"new photo whose lens only its XMP packet names",
       [&] {
         testing::Ifd exif;
         exif.Rationals(0x829A, {{1, 60}}).Rationals(0x829D, {{24, 10}}).Rationals(0x920A, {{43, 10}});
         exif.Ascii(0x9003, "2020:10:27 13:23:33");
         // Saved again by an editor, which wrote the packet after the Exif segment.
         testing::Ifd ifd0;
         ifd0.Ascii(0x010F, "samsung").Ascii(0x0110, "SM-G965W").Ascii(0x0132, "2020:11:22 10:27:41").Sub(0x8769, exif);
         const testing::Segment xmp{
             0xE1, std::string(kXmpHeader) + R"(<rdf:Description aux:Lens="Samsung Galaxy S9+ Rear Camera"/>)",
             std::nullopt};
         testing::WriteFileBytes(root / "Family" / "S9.JPG",
                                 testing::BuildJpeg({testing::ExifSegment(ifd0, testing::ByteOrder::kLittle), xmp}));
         const std::vector<std::string> fresh = Fresh();
         ASSERT_TRUE(std::any_of(fresh.begin(), fresh.end(), [](const std::string& line) {
           return line.find("|Samsung Galaxy S9+ Rear Camera#") != std::string::npos;
         }));
       }},
      {"permission lost",
       [&] {
         // As root the files stay readable; both surveys see the same either way.
         fs::permissions(root / "Family" / "IMGP0001.JPG", fs::perms::none);
         fs::permissions(root / "Holidays" / "Moscow", fs::perms::none);
       }},
  };
  for (const auto& change : changes) {
    SCOPED_TRACE(change.change);
    change.make();
    EXPECT_EQ(Cached(), Fresh());
    // And once more, now served from what the last survey kept.
    EXPECT_EQ(Cached(), Fresh());
    EXPECT_EQ(Cached(Immediate(), 3), Fresh());
  }
  fs::permissions(root / "Holidays" / "Moscow", fs::perms::owner_all);
}

TEST_F(RecordsCacheTest, AnUnchangedFolderIsSurveyedWithoutOpeningAPhoto) {
  for (const unsigned threads : {1u, 3u}) {
    SCOPED_TRACE(threads);
    EXPECT_EQ(OpensOfCachedSurvey(Immediate(), threads), 0u);
  }
}

TEST_F(RecordsCacheTest, OnlyTheChangedPhotoIsOpenedAgain) {
  static_cast<void>(Cached());
  testing::OpenCounter counter(photos());
  ASSERT_TRUE(testing::PatchInPlace(photos() / "DSC_0043.JPG", "NIKON D70", "NIKON D7X"));
  static_cast<void>(counter.FileOpens());
  EXPECT_EQ(Cached(), Fresh());
  // The cached survey opened the changed photo once; the fresh one opened all of them.
  const size_t photos_in_folder = testing::DemoPhotos().size();
  EXPECT_EQ(counter.FileOpens(), 1 + photos_in_folder);
}

// A photo changed just before the survey may be changed again within the same tick of a coarse file
// system clock, leaving all its times as they were: it is read, not remembered.
TEST_F(RecordsCacheTest, PhotosChangedJustBeforeTheSurveyAreNotRemembered) {
  RecordsCacheOptions settling = Immediate();
  settling.settle_time = std::chrono::hours(1);
  EXPECT_EQ(OpensOfCachedSurvey(settling), testing::DemoPhotos().size());
  EXPECT_EQ(SqlInteger(db(), "SELECT count(*) FROM photos"), 0);
}

TEST_F(RecordsCacheTest, RowsOfAnotherReaderAreNeverServed) {
  RecordsCacheOptions first = Immediate();
  first.rules_stamp = 1;
  static_cast<void>(Cached(first));
  RecordsCacheOptions other = Immediate();
  other.rules_stamp = 2;
  testing::OpenCounter counter(photos());
  ASSERT_TRUE(testing::PatchInPlace(photos() / "DSC_0043.JPG", "NIKON D70", "NIKON D7X"));
  static_cast<void>(counter.FileOpens());
  EXPECT_EQ(Cached(other), Fresh());
  EXPECT_EQ(counter.FileOpens(), 2 * testing::DemoPhotos().size());

  // The stamp follows the rules' version and the reader's sources.
  const uint32_t stamp = RulesStampOf(1, 0xABC);
  EXPECT_NE(RulesStampOf(2, 0xABC), stamp);
  EXPECT_NE(RulesStampOf(1, 0xABD), stamp);
  EXPECT_EQ(RulesStampOf(1, 0xABC), stamp);
}

TEST_F(RecordsCacheTest, RowsOfGoneFilesAreDroppedOthersKept) {
  static_cast<void>(Cached());
  const int64_t rows = SqlInteger(db(), "SELECT count(*) FROM photos");
  EXPECT_EQ(rows, static_cast<int64_t>(testing::DemoPhotos().size()));
  fs::remove(photos() / "IMG_0001.JPG");
  fs::remove_all(photos() / "Holidays" / "Piter");
  // A survey of a sub-folder only drops rows under it.
  {
    RecordsCache cache(db().string(), Immediate());
    static_cast<void>(testing::SurveyOutcome((photos() / "Family").string(), Options(&cache)));
  }
  EXPECT_EQ(SqlInteger(db(), "SELECT count(*) FROM photos"), rows);
  static_cast<void>(Cached());
  // IMG_0001.JPG and the four photos of Piter.
  EXPECT_EQ(SqlInteger(db(), "SELECT count(*) FROM photos"), rows - 5);
}

TEST_F(RecordsCacheTest, TwoSurveysAtOnceBothGetTheFreshResult) {
  const std::vector<std::string> fresh = Fresh();
  for (int round = 0; round < 3; ++round) {
    std::vector<std::string> first, second;
    std::thread other([&] { first = Cached(Immediate(), 2); });
    RecordsCacheOptions patient = Immediate();
    patient.busy_wait = std::chrono::milliseconds(1500);
    second = Cached(patient);
    other.join();
    EXPECT_EQ(first, fresh);
    EXPECT_EQ(second, fresh);
  }
}

// Every fault of the database leaves the survey exact; a damaged file is kept aside, never deleted.
TEST_F(RecordsCacheTest, EveryFaultOfTheDatabaseLeavesTheSurveyExact) {
  const std::string garbage(5000, 'x');
  const struct {
    const char* fault;
    std::function<void(const fs::path& db)> make;
    const char* problem;  // in the one line the user sees
    bool kept_aside;      // the file was renamed aside and a new one started
  } faults[] = {
      {"not a database", [&](const fs::path& db) { std::ofstream(db, std::ios::binary) << garbage; }, "kept as", true},
      {"another program's database", [](const fs::path& db) { ExecuteSql(db, "CREATE TABLE notes (t TEXT)"); },
       "another program", true},
      // The journal a survey leaves would otherwise stand in for the file's own pages.
      {"replaced while its journal stays",
       [&](const fs::path& db) {
         static_cast<void>(Cached());
         ASSERT_TRUE(fs::exists(db.string() + "-wal"));
         std::ofstream(db, std::ios::binary) << garbage;
       },
       "kept as", true},
      {"a newer Lumetra's",
       [](const fs::path& db) {
         ExecuteSql(db, "PRAGMA application_id=1280136274; PRAGMA user_version=99; CREATE TABLE photos (x)");
       },
       "newer Lumetra", false},
      {"a symbolic link",
       [](const fs::path& db) {
         const fs::path target = db.parent_path() / "elsewhere.db";
         std::ofstream(target) << "";
         fs::create_symlink(target, db);
       },
       "symbolic link", false},
      {"a link planted as its journal",
       [](const fs::path& db) { fs::create_symlink(db.parent_path() / "journal", db.string() + "-wal"); },
       "symbolic link", false},
  };
  const std::vector<std::string> fresh = Fresh();
  for (const auto& fault : faults) {
    SCOPED_TRACE(fault.fault);
    for (const auto& entry : fs::directory_iterator(home_.path())) fs::remove_all(entry.path());
    fault.make(db());
    const std::string before = testing::ReadFileBytes(db());
    {
      RecordsCache cache(db().string(), Immediate());
      EXPECT_NE(cache.problem().find(fault.problem), std::string::npos) << cache.problem();
      EXPECT_EQ(testing::SurveyOutcome(photos().string(), Options(&cache)), fresh);
      EXPECT_EQ(cache.IsOpen(), fault.kept_aside);
    }
    if (fault.kept_aside) {
      EXPECT_EQ(testing::ReadFileBytes(home_.path() / "Lumetra_Records.broken-1.db"), before);
      EXPECT_EQ(OpensOfCachedSurvey(), 0u);
    } else if (!fs::is_symlink(db())) {
      EXPECT_EQ(testing::ReadFileBytes(db()), before);
    }
  }
}

TEST_F(RecordsCacheTest, ADatabaseDamagedUnderRowsIsKeptAsideAndTheSurveyStaysExact) {
  static_cast<void>(Cached());
  // The rows folded into the file, which is then cut after its first page: the rows' pages are gone.
  ExecuteSql(db(), "PRAGMA wal_checkpoint(TRUNCATE)");
  const uintmax_t size = fs::file_size(db());
  ASSERT_GT(size, 4096u * 2);
  fs::resize_file(db(), 4096);
  RecordsCache cache(db().string(), Immediate());
  EXPECT_EQ(testing::SurveyOutcome(photos().string(), Options(&cache)), Fresh());
  EXPECT_NE(cache.problem(), "");
  EXPECT_TRUE(fs::exists(home_.path() / "Lumetra_Records.broken-1.db"));
}

TEST_F(RecordsCacheTest, ADatabaseLockedByAnotherProgramIsDoneWithout) {
  static_cast<void>(Cached());
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(db().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; DELETE FROM photos WHERE 0", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  {
    RecordsCache cache(db().string(), Immediate());
    EXPECT_EQ(testing::SurveyOutcome(photos().string(), Options(&cache)), Fresh());
    EXPECT_NE(cache.problem().find("in use"), std::string::npos) << cache.problem();
  }
  sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_FALSE(fs::exists(home_.path() / "Lumetra_Records.broken-1.db"));
  EXPECT_EQ(SqlInteger(db(), "SELECT count(*) FROM photos"), static_cast<int64_t>(testing::DemoPhotos().size()));
}

TEST_F(RecordsCacheTest, AFullDiskCostsOnlyTheRowsNotWritten) {
  // More rows than the new database's own pages hold, and room for not one page more.
  for (int copy = 0; copy < 4; ++copy) testing::WriteDemoFolder(photos() / ("more-" + std::to_string(copy)));
  RecordsCacheOptions small = Immediate();
  small.max_pages = static_cast<int64_t>(NewRecordsDatabaseBytes().size() / 8192);
  RecordsCache cache(db().string(), small);
  EXPECT_EQ(testing::SurveyOutcome(photos().string(), Options(&cache)), Fresh());
  EXPECT_NE(cache.problem().find("full"), std::string::npos) << cache.problem();
  EXPECT_EQ(SqlText(db(), "PRAGMA integrity_check"), "ok");
}

TEST_F(RecordsCacheTest, AReadOnlyDatabaseIsDoneWithout) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes read-only files: run as another user to see this case";
  static_cast<void>(Cached());
  fs::permissions(db(), fs::perms::owner_read);
  const std::string before = testing::ReadFileBytes(db());
  RecordsCache cache(db().string(), Immediate());
  EXPECT_EQ(testing::SurveyOutcome(photos().string(), Options(&cache)), Fresh());
  EXPECT_NE(cache.problem().find("cannot be written"), std::string::npos) << cache.problem();
  EXPECT_EQ(testing::ReadFileBytes(db()), before);
}

TEST_F(RecordsCacheTest, RowsAlteredByHandAreReadAgain) {
  static_cast<void>(Cached());
  ExecuteSql(db(),
             "UPDATE photos SET data = data || CAST('Hand Edited' AS BLOB) WHERE name = 'IMG_0001.JPG'; "
             "UPDATE photos SET data = substr(data, 1, 56) || CAST('7' AS BLOB) || substr(data, 58) "
             "WHERE name = 'IMG_0002.JPG'; "
             "UPDATE photos SET data = 'big' WHERE name = 'IMG_0003.JPG'; "
             "UPDATE photos SET data = substr(data, 1, 55) WHERE name = 'IMG_0004.JPG'");
  testing::OpenCounter counter(photos());
  EXPECT_EQ(Cached(), Fresh());
  EXPECT_EQ(counter.FileOpens(), 4 + testing::DemoPhotos().size());
}

// The facts of made-up photo `i`, with an identity from long ago.
PhotoTags MadeUpPhoto(int i) {
  PhotoTags tags;
  tags.has_exif = true;
  for (size_t tag = 0; tag < kPhotoTagCount; ++tag) tags.texts[tag] = std::to_string(i * 31 + static_cast<int>(tag));
  tags.file.found = true;
  tags.file.device = 1;
  tags.file.inode = static_cast<uint64_t>(i);
  tags.file.size = 1000 + i;
  tags.file.modified_s = tags.file.changed_s = 1'500'000'000;
  return tags;
}

std::string MadeUpPath(int i) { return "/library/" + std::to_string(i % 97) + "/IMG_" + std::to_string(i) + ".JPG"; }

// A program killed while it writes leaves a valid database holding whole batches, every row as written.
TEST(RecordsCacheCrash, AProgramKilledWhileWritingLeavesWholeBatches) {
  testing::TempFolder home;
  const fs::path db = home.path() / kRecordsFileName;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    RecordsCache cache(db.string(), Immediate());
    for (int i = 0; i < 10'000'000; ++i) cache.Remember(MadeUpPath(i), MadeUpPhoto(i));
    ::_exit(0);
  }
  // Killed once a few batches are written, most likely in the middle of the next.
  for (int wait = 0; wait < 2000 && SqlInteger(db, "SELECT count(*) FROM photos") < 3 * 1024; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_EQ(SqlText(db, "PRAGMA integrity_check"), "ok");
  const int64_t rows = SqlInteger(db, "SELECT count(*) FROM photos");
  EXPECT_GE(rows, 3 * 1024);
  EXPECT_EQ(rows % 1024, 0);
  RecordsCache cache(db.string(), Immediate());
  EXPECT_EQ(cache.problem(), "");
  for (int i = 0; i < rows; ++i) {
    const PhotoTags written = MadeUpPhoto(i);
    const std::optional<PhotoTags> found = cache.Find(MadeUpPath(i), written.file);
    ASSERT_TRUE(found.has_value()) << i;
    EXPECT_EQ(found->texts, written.texts) << i;
  }
}

// A survey leaves its rows in the journal rather than writing every page twice at its end: another
// connection (sqlite3) reads them all, and the journal does not grow with the library, being folded in
// and cut back as it passes its limit.
TEST(RecordsCacheJournal, RowsLeftInTheJournalAreReadAndItStaysBounded) {
  testing::TempFolder home;
  const fs::path db = home.path() / kRecordsFileName;
  const fs::path journal = db.string() + "-wal";
  // Some 8 MiB of rows, twice the journal's limit.
  constexpr int kRows = 40'000;
  {
    RecordsCache cache(db.string(), Immediate());
    for (int i = 0; i < kRows; ++i) cache.Remember(MadeUpPath(i), MadeUpPhoto(i));
  }
  ASSERT_TRUE(fs::exists(journal));
  EXPECT_LE(fs::file_size(journal), uintmax_t{5} << 20);
  EXPECT_GT(fs::file_size(db), uintmax_t{4} << 20);
  EXPECT_EQ(SqlInteger(db, "SELECT count(*) FROM photos"), kRows);
  EXPECT_EQ(SqlText(db, "PRAGMA integrity_check"), "ok");
  RecordsCache cache(db.string(), Immediate());
  for (const int i : {0, kRows / 2, kRows - 1}) {
    const PhotoTags written = MadeUpPhoto(i);
    const std::optional<PhotoTags> found = cache.Find(MadeUpPath(i), written.file);
    ASSERT_TRUE(found.has_value()) << i;
    EXPECT_EQ(found->texts, written.texts) << i;
  }
}

// Rows are read a folder at a time: a folder's photos are found beside its sub-folders' (which sort among
// them), in a folder too large to hold (looked up one by one), in any order and after a folder was let go,
// while a photo whose texts hold the facts' separator is read again rather than served split wrongly. Each is
// asked for twice: the walk asks again for a photo a reading thread was too slow on.
TEST(RecordsCacheFolders, EveryRowIsFoundWhateverTheFoldersShape) {
  testing::TempFolder home;
  const fs::path db = home.path() / kRecordsFileName;
  std::vector<std::pair<std::string, PhotoTags>> rows;
  int i = 0;
  for (const std::string folder : {"/lib/a", "/lib/a/b", "/lib/a/b/c", "/lib/a-b", "/lib/a.b", "/lib/a0"}) {
    // Names before and after the sub-folders' ("IMG_" < "b/" < "z_").
    for (int n = 0; n < 6; ++n, ++i) {
      rows.emplace_back(folder + (n % 2 == 0 ? "/IMG_" : "/z_") + std::to_string(i) + ".JPG", MadeUpPhoto(i));
    }
  }
  for (int n = 0; n < 4200; ++n, ++i) rows.emplace_back("/lib/big/IMG_" + std::to_string(i) + ".JPG", MadeUpPhoto(i));
  rows.emplace_back("/lib/a/IMG_z.JPG", MadeUpPhoto(++i));
  rows.back().second.texts[3] = "split\x1fhere";
  {
    RecordsCache cache(db.string(), Immediate());
    for (const auto& [path, tags] : rows) cache.Remember(path, tags);
  }
  EXPECT_EQ(SqlInteger(db, "SELECT count(*) FROM photos"), static_cast<int64_t>(rows.size()) - 1);
  EXPECT_EQ(SqlText(db, "SELECT focal_length_35mm FROM photo_facts WHERE path = '/lib/a/b/z_7.JPG'"),
            MadeUpPhoto(7).texts[3]);
  RecordsCache cache(db.string(), Immediate());
  std::mt19937 random(7);
  std::shuffle(rows.begin(), rows.end(), random);
  for (const auto& [path, tags] : rows) {
    for (int ask = 1; ask <= 2; ++ask) {
      const std::optional<PhotoTags> found = cache.Find(path, tags.file);
      if (path == "/lib/a/IMG_z.JPG") {
        EXPECT_FALSE(found.has_value());
        continue;
      }
      ASSERT_TRUE(found.has_value()) << path << ", asked for " << ask << " times";
      EXPECT_EQ(found->texts, tags.texts) << path;
      EXPECT_EQ(found->has_exif, tags.has_exif) << path;
    }
  }
  EXPECT_FALSE(cache.Find("/lib/a/IMG_absent.JPG", MadeUpPhoto(1).file).has_value());
  EXPECT_EQ(cache.problem(), "");
}

// Whether a photo has Exif and its capture time are kept in its facts text: each comes back as written,
// and the view gives both to SQL as integers beside the texts.
TEST(RecordsCacheFolders, ExifAndTheCaptureTimeComeBackAsWritten) {
  testing::TempFolder home;
  const fs::path db = home.path() / kRecordsFileName;
  struct Case {
    bool has_exif;
    int64_t taken;
    const char* view;  // has_exif, taken, the type of taken and model, as the view gives them
  };
  const std::vector<Case> cases = {
      {false, kNoCaptureTime, "0 -1 integer 0"},
      {true, kNoCaptureTime, "1 -1 integer 31"},
      {true, 0, "1 0 integer 62"},
      {true, 3'786'825'600, "1 3786825600 integer 93"},
      {true, INT64_MAX, "1 9223372036854775807 integer 124"},
      // Digits made two at a time: an even and an odd count, each side of a hundred.
      {true, 42, "1 42 integer 155"},
      {true, 100, "1 100 integer 186"},
  };
  const auto path = [](size_t i) { return "/lib/times/IMG_" + std::to_string(i) + ".JPG"; };
  const auto photo = [&cases](size_t i) {
    PhotoTags tags = MadeUpPhoto(static_cast<int>(i));
    tags.has_exif = cases[i].has_exif;
    tags.taken = cases[i].taken;
    return tags;
  };
  {
    RecordsCache cache(db.string(), Immediate());
    for (size_t i = 0; i < cases.size(); ++i) cache.Remember(path(i), photo(i));
  }
  RecordsCache cache(db.string(), Immediate());
  for (size_t i = 0; i < cases.size(); ++i) {
    const std::optional<PhotoTags> found = cache.Find(path(i), photo(i).file);
    ASSERT_TRUE(found.has_value()) << i;
    EXPECT_EQ(found->has_exif, cases[i].has_exif) << i;
    EXPECT_EQ(found->taken, cases[i].taken) << i;
    EXPECT_EQ(found->texts, photo(i).texts) << i;
    EXPECT_EQ(SqlText(db,
                      "SELECT has_exif || ' ' || taken || ' ' || typeof(taken) || ' ' || model FROM photo_facts "
                      "WHERE path = '" +
                          path(i) + "'"),
              cases[i].view)
        << i;
  }
}

// Texts of every length up to well past sixteen bytes (a photo's texts are copied by length classes) come
// back whole, each beside texts of other lengths.
TEST(RecordsCacheFolders, TextsOfEveryLengthComeBackWhole) {
  testing::TempFolder home;
  const fs::path db = home.path() / kRecordsFileName;
  constexpr int kLongest = 40;
  const auto photo = [](int length) {
    PhotoTags tags = MadeUpPhoto(length);
    for (size_t tag = 0; tag < kPhotoTagCount; ++tag) {
      std::string text;
      for (int i = 0; i < (length + static_cast<int>(tag)) % (kLongest + 1); ++i) {
        text += static_cast<char>('a' + (i * 7 + static_cast<int>(tag)) % 26);
      }
      tags.texts[tag] = text;
    }
    tags.makerLensText = tags.texts[0];
    tags.xmp_lens = tags.texts[1];
    tags.xmp_lens_info = tags.texts[2];
    return tags;
  };
  const auto path = [](int length) { return "/lib/lengths/IMG_" + std::to_string(length) + ".JPG"; };
  {
    RecordsCache cache(db.string(), Immediate());
    for (int length = 0; length <= kLongest; ++length) cache.Remember(path(length), photo(length));
  }
  RecordsCache cache(db.string(), Immediate());
  for (int length = 0; length <= kLongest; ++length) {
    const PhotoTags written = photo(length);
    const std::optional<PhotoTags> found = cache.Find(path(length), written.file);
    ASSERT_TRUE(found.has_value()) << length;
    EXPECT_EQ(found->texts, written.texts) << length;
    EXPECT_EQ(found->makerLensText, written.makerLensText) << length;
    EXPECT_EQ(found->xmp_lens, written.xmp_lens) << length;
    EXPECT_EQ(found->xmp_lens_info, written.xmp_lens_info) << length;
  }
}

// The view gives each text as the photo had it, byte for byte, whatever it holds: quotes, backslashes,
// control characters, bytes that are not UTF-8, a text that reads as JSON, nothing at all.
TEST(RecordsCacheFolders, TheViewGivesEveryTextAsWritten) {
  testing::TempFolder home;
  const fs::path db = home.path() / kRecordsFileName;
  const std::vector<std::string> texts = {"Canon EOS 40D",
                                          "a \"quoted\" text",
                                          "back\\slash \\u001f",
                                          "\x01\x02\x1e\x7f",
                                          "\xff\xfe not UTF-8",
                                          "\xc3\xbc \xe6\x97\xa5\xe6\x9c\xac",
                                          "[1, 2]",
                                          "null",
                                          ""};
  const auto path = [](size_t i) { return "/lib/texts/IMG_" + std::to_string(i) + ".JPG"; };
  {
    RecordsCache cache(db.string(), Immediate());
    for (size_t i = 0; i < texts.size(); ++i) {
      PhotoTags tags = MadeUpPhoto(static_cast<int>(i));
      tags.texts[0] = texts[i];
      tags.texts[11] = texts[i] + "!";
      tags.xmp_lens_info = texts[i];
      cache.Remember(path(i), tags);
    }
  }
  const auto hex = [](std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
      out += "0123456789ABCDEF"[static_cast<unsigned char>(c) >> 4];
      out += "0123456789ABCDEF"[static_cast<unsigned char>(c) & 0xF];
    }
    return out;
  };
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(SqlText(db,
                      "SELECT hex(model) || ' ' || hex(lens_model) || ' ' || hex(xmp_lens_info) || ' ' || "
                      "typeof(model) FROM photo_facts WHERE path = '" +
                          path(i) + "'"),
              hex(texts[i]) + " " + hex(texts[i] + "!") + " " + hex(texts[i]) + " text")
        << i;
  }
}

// The facts' separator is found wherever it stands in a photo's facts, which are counted sixteen bytes at a
// time and the last few as the sixteen ending the facts: in the first text, past the first 255 bytes, on
// either side of a block's end, in the last text, and 4,096 times in one text (as many in each of a block's
// bytes as a byte's count wraps at). Such a photo is read again rather than served split wrongly; long facts
// without it are kept whole, texts of a block's length and one byte more, and a text longer than a batch's room.
TEST(RecordsCacheFolders, ASeparatorAnywhereInTheFactsKeepsThePhotoOut) {
  testing::TempFolder home;
  const fs::path db = home.path() / kRecordsFileName;
  struct Case {
    const char* name;
    std::string PhotoTags::*text;  // nullptr: a survey tag's text
    size_t tag;
    std::string value;
    bool kept;
  };
  const std::string kLong(600, 'x');
  const auto with_separator_at = [&kLong](size_t at) {
    std::string text = kLong;
    text[at] = '\x1f';
    return text;
  };
  const std::vector<Case> cases = {
      {"first text, first byte", nullptr, 0, std::string("\x1f") + "Canon", false},
      {"past the first block", nullptr, 2, with_separator_at(400), false},
      {"a block's last byte", nullptr, 0, with_separator_at(254), false},
      {"a block's first byte", nullptr, 0, with_separator_at(255), false},
      {"the last text", &PhotoTags::xmp_lens_info, 0, "24-70\x1f", false},
      {"long facts without it", nullptr, 1, kLong, true},
      {"a long last text without it", &PhotoTags::xmp_lens_info, 0, kLong + kLong, true},
      {"4,096 separators in one text", nullptr, 3, std::string(4096, '\x1f'), false},
      {"a block's last byte of a short text", nullptr, 4, "fifteen letters\x1f", false},
      {"a text of a block's length", nullptr, 5, "sixteen letters!", true},
      {"a text a byte longer than a block", &PhotoTags::makerLensText, 0, "seventeen letters", true},
      {"a text longer than a batch's room", nullptr, 6, std::string(400'000, 'y'), true},
  };
  std::vector<std::pair<std::string, PhotoTags>> rows;
  for (size_t i = 0; i < cases.size(); ++i) {
    PhotoTags tags = MadeUpPhoto(static_cast<int>(i));
    const Case& c = cases[i];
    (c.text != nullptr ? tags.*c.text : tags.texts[c.tag]) = c.value;
    rows.emplace_back("/lib/separators/IMG_" + std::to_string(i) + ".JPG", std::move(tags));
  }
  {
    RecordsCache cache(db.string(), Immediate());
    for (const auto& [path, tags] : rows) cache.Remember(path, tags);
  }
  RecordsCache cache(db.string(), Immediate());
  for (size_t i = 0; i < cases.size(); ++i) {
    const std::optional<PhotoTags> found = cache.Find(rows[i].first, rows[i].second.file);
    EXPECT_EQ(found.has_value(), cases[i].kept) << cases[i].name;
    // Not written at all: a row whose facts split wrongly would be refused by a find, but not by other tools.
    EXPECT_EQ(SqlInteger(db, "SELECT count(*) FROM photos WHERE name = 'IMG_" + std::to_string(i) + ".JPG'"),
              cases[i].kept ? 1 : 0)
        << cases[i].name;
    if (found) {
      EXPECT_EQ(found->texts, rows[i].second.texts) << cases[i].name;
      EXPECT_EQ(found->makerLensText, rows[i].second.makerLensText) << cases[i].name;
      EXPECT_EQ(found->xmp_lens_info, rows[i].second.xmp_lens_info) << cases[i].name;
    }
  }
  EXPECT_EQ(cache.problem(), "");
}

// A folder's rows are numbered in a range of their own, each new photo the next number: a folder whose last
// number is taken gives a new photo the lowest number a dropped row left free, and rows numbered by hand
// into another range or out of any are never served.
TEST(RecordsCacheFolders, ANewPhotoTakesAFreeNumberWhenItsFolderHasNoNextOne) {
  testing::TempFolder home;
  const fs::path db = home.path() / kRecordsFileName;
  const auto path = [](int i) { return "/lib/full/IMG_" + std::to_string(i) + ".JPG"; };
  {
    RecordsCache cache(db.string(), Immediate());
    for (int i = 0; i < 5; ++i) cache.Remember(path(i), MadeUpPhoto(i));
  }
  const int64_t first = SqlInteger(db, "SELECT min(id) FROM photos");
  ASSERT_EQ(first % (int64_t{1} << 24), 0);
  // A gap at the third number, and the fifth row moved to the range's last number.
  ExecuteSql(db, "DELETE FROM photos WHERE id = " + std::to_string(first + 2) + "; UPDATE photos SET id = " +
                     std::to_string(first + (int64_t{1} << 24) - 1) + " WHERE id = " + std::to_string(first + 4));
  {
    RecordsCache cache(db.string(), Immediate());
    cache.Remember(path(2), MadeUpPhoto(2));
    cache.Remember(path(5), MadeUpPhoto(5));
  }
  EXPECT_EQ(SqlInteger(db, "SELECT id FROM photos WHERE name = 'IMG_2.JPG'"), first + 2);
  EXPECT_EQ(SqlInteger(db, "SELECT id FROM photos WHERE name = 'IMG_5.JPG'"), first + 4);
  EXPECT_EQ(SqlInteger(db, "SELECT count(*) FROM photos"), 6);
  RecordsCache cache(db.string(), Immediate());
  for (int i = 0; i < 6; ++i) {
    const std::optional<PhotoTags> found = cache.Find(path(i), MadeUpPhoto(i).file);
    ASSERT_TRUE(found.has_value()) << i;
    EXPECT_EQ(found->texts, MadeUpPhoto(i).texts) << i;
  }
  EXPECT_EQ(cache.problem(), "");
}

TEST(RecordsCacheFolders, RowsMovedToAnotherFolderByHandAreNotServed) {
  testing::TempFolder home;
  const fs::path db = home.path() / kRecordsFileName;
  {
    RecordsCache cache(db.string(), Immediate());
    cache.Remember("/lib/a/IMG_1.JPG", MadeUpPhoto(1));
    cache.Remember("/lib/b/IMG_1.JPG", MadeUpPhoto(1));
  }
  // The row of a/IMG_1.JPG put in b's range in place of b's own.
  ExecuteSql(db,
             "DELETE FROM photos WHERE id >> 24 = (SELECT id FROM folders WHERE path = '/lib/b/'); "
             "UPDATE photos SET id = (SELECT id FROM folders WHERE path = '/lib/b/') << 24");
  RecordsCache cache(db.string(), Immediate());
  EXPECT_FALSE(cache.Find("/lib/b/IMG_1.JPG", MadeUpPhoto(1).file).has_value());
  EXPECT_FALSE(cache.Find("/lib/a/IMG_1.JPG", MadeUpPhoto(1).file).has_value());
  EXPECT_EQ(cache.problem(), "");
}

// A folder number whose rows could not be numbered (a hand edit) is damage: the file is set aside.
TEST(RecordsCacheFolders, AFolderNumberOutOfRangeSetsTheFileAside) {
  testing::TempFolder home;
  const fs::path db = home.path() / kRecordsFileName;
  {
    RecordsCache cache(db.string(), Immediate());
    cache.Remember("/lib/a/IMG_1.JPG", MadeUpPhoto(1));
  }
  ExecuteSql(db, "UPDATE folders SET id = 9223372036854775807");
  {
    RecordsCache cache(db.string(), Immediate());
    EXPECT_FALSE(cache.Find("/lib/a/IMG_1.JPG", MadeUpPhoto(1).file).has_value());
    EXPECT_NE(cache.problem().find("out of range"), std::string::npos) << cache.problem();
  }
  EXPECT_TRUE(fs::exists(home.path() / "Lumetra_Records.broken-1.db"));
}

// Damaged files of every kind: cut anywhere, bytes changed in the header, the schema, the rows and the
// Every row of `sql`'s answer, each value with its type, one line a row.
std::string SqlRows(const fs::path& db, const std::string& sql) {
  sqlite3* handle = nullptr;
  std::string rows;
  if (sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
      while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int column = 0; column < sqlite3_column_count(statement); ++column) {
          const auto* text = sqlite3_column_blob(statement, column);
          rows += std::to_string(sqlite3_column_type(statement, column)) + ":";
          if (text != nullptr) rows.append(static_cast<const char*>(text), sqlite3_column_bytes(statement, column));
          rows += '|';
        }
        rows += '\n';
      }
    } else {
      rows = std::string("cannot run: ") + sqlite3_errmsg(handle);
    }
    sqlite3_finalize(statement);
  }
  sqlite3_close(handle);
  return rows;
}

// A file system that refuses links, as FAT and some network shares do.
int RefuseLink(const char*, const char*) {
  errno = EPERM;
  return -1;
}

// The files in `folder` other than the database and its journal: a temporary one left behind.
std::vector<std::string> OtherFiles(const fs::path& folder) {
  std::vector<std::string> others;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with(kRecordsFileName) || name.size() > std::string_view(kRecordsFileName).size() + 4) {
      others.push_back(name);
    }
  }
  return others;
}

// A new database is written from the bytes made when the program was built; where links fail it is made
// with SQL. Both are the same database: schema, marks, journal mode, page size, and what the view gives.
TEST(RecordsCacheNew, TheWrittenDatabaseIsTheOneSqlMakes) {
  testing::TempFolder written_home;
  testing::TempFolder made_home;
  const fs::path written = written_home.path() / kRecordsFileName;
  const fs::path made = made_home.path() / kRecordsFileName;
  int links = 0;
  RecordsCacheOptions linking = Immediate();
  linking.new_database.link = [&links](const char* from, const char* to) {
    ++links;
    return ::link(from, to);
  };
  RecordsCacheOptions refused = Immediate();
  refused.new_database.link = RefuseLink;
  for (const auto& [db, options] : {std::pair{written, linking}, std::pair{made, refused}}) {
    RecordsCache cache(db.string(), options);
    EXPECT_EQ(cache.problem(), "") << db;
    for (int i = 0; i < 5; ++i) {
      PhotoTags tags = MadeUpPhoto(i);
      tags.makerLensText = "(lens " + std::to_string(i) + ")";
      tags.taken = 3'800'000'000 + i;
      cache.Remember(MadeUpPath(i), tags);
    }
  }
  EXPECT_EQ(links, 1);
  EXPECT_EQ(OtherFiles(written_home.path()), std::vector<std::string>{});
  EXPECT_EQ(OtherFiles(made_home.path()), std::vector<std::string>{});
  for (const std::string sql :
       {"SELECT type, name, tbl_name, rootpage, sql FROM sqlite_schema ORDER BY name", "PRAGMA page_size",
        "PRAGMA journal_mode", "PRAGMA application_id", "PRAGMA user_version", "PRAGMA encoding", "PRAGMA auto_vacuum",
        "SELECT * FROM photo_facts ORDER BY path"}) {
    const std::string rows = SqlRows(written, sql);
    EXPECT_EQ(rows, SqlRows(made, sql)) << sql;
    EXPECT_FALSE(rows.empty()) << sql;
  }
  EXPECT_EQ(SqlInteger(written, "PRAGMA page_size"), 8192);
  EXPECT_EQ(SqlText(written, "PRAGMA journal_mode"), "wal");
  EXPECT_EQ(SqlInteger(written, "PRAGMA user_version"), 7);
  EXPECT_EQ(SqlInteger(written, "SELECT count(*) FROM photo_facts"), 5);
}

// A database another survey makes between the look for the file and the link is used as it is, its rows
// kept; where links fail, the survey still gets a database.
TEST(RecordsCacheNew, AFileMadeMeanwhileIsUsedAndWithoutLinksOneIsMade) {
  const auto path = [](int i) { return "/library/new/IMG_" + std::to_string(i) + ".JPG"; };
  const struct {
    bool links;
    bool other_meanwhile;
    std::string paths;
  } cases[] = {{true, true, path(1) + " " + path(2)}, {false, false, path(2)}, {false, true, path(1) + " " + path(2)}};
  for (const auto& [links, other_meanwhile, paths] : cases) {
    SCOPED_TRACE(std::string(links ? "links" : "no links") + (other_meanwhile ? ", another survey" : ""));
    testing::TempFolder home;
    const fs::path db = home.path() / kRecordsFileName;
    RecordsCacheOptions options = Immediate();
    if (other_meanwhile) {
      options.new_database.before_link = [&] {
        {
          RecordsCache other(db.string(), Immediate());
          other.Remember(path(1), MadeUpPhoto(1));
        }
        // The other survey's row in the file itself, not only in the journal beside it.
        ExecuteSql(db, "PRAGMA wal_checkpoint(TRUNCATE)");
      };
    }
    if (!links) options.new_database.link = RefuseLink;
    {
      RecordsCache cache(db.string(), options);
      EXPECT_EQ(cache.problem(), "");
      cache.Remember(path(2), MadeUpPhoto(2));
    }
    EXPECT_EQ(OtherFiles(home.path()), std::vector<std::string>{});
    EXPECT_EQ(SqlText(db, "SELECT group_concat(path, ' ') FROM (SELECT path FROM photo_facts ORDER BY path)"), paths);
    EXPECT_EQ(SqlText(db, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(SqlInteger(db, "PRAGMA user_version"), 7);
  }
}

// Two surveys making the same new database with SQL at once: the second, having read the file's marks
// before the first made its tables and wrote a row, must not replace them with empty ones.
TEST(RecordsCacheNew, TwoSurveysMakingOneDatabaseKeepEachOthersRows) {
  testing::TempFolder home;
  const fs::path db = home.path() / kRecordsFileName;
  const auto path = [](int i) { return "/library/race/IMG_" + std::to_string(i) + ".JPG"; };
  RecordsCacheOptions without_links = Immediate();
  without_links.new_database.link = RefuseLink;
  RecordsCacheOptions late = without_links;
  int others = 0;
  late.before_create = [&] {
    ++others;
    RecordsCache other(db.string(), without_links);
    EXPECT_EQ(other.problem(), "");
    other.Remember(path(1), MadeUpPhoto(1));
  };
  {
    RecordsCache cache(db.string(), late);
    EXPECT_EQ(cache.problem(), "");
    cache.Remember(path(2), MadeUpPhoto(2));
  }
  EXPECT_EQ(others, 1);
  RecordsCache cache(db.string(), Immediate());
  for (const int i : {1, 2}) {
    const PhotoTags written = MadeUpPhoto(i);
    const std::optional<PhotoTags> found = cache.Find(path(i), written.file);
    ASSERT_TRUE(found.has_value()) << i;
    EXPECT_EQ(found->texts, written.texts) << i;
  }
}

// overflow pages. A row served from them must be exactly the row written.
TEST(RecordsCacheReplay, DamagedDatabasesServeNoWrongRecord) {
  std::mt19937 random(20261211);
  for (int round = 0; round < 250; ++round) {
    std::string mutation;
    const unsigned cut = round % 4 == 0 ? random() % 40000 : 0xFFFF;
    mutation += static_cast<char>(cut & 0xFF);
    mutation += static_cast<char>(cut >> 8);
    const int changes = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < changes; ++i) {
      const unsigned offset = random() % 65536;
      mutation += static_cast<char>(offset & 0xFF);
      mutation += static_cast<char>(offset >> 8);
      mutation += static_cast<char>(1 + random() % 255);
    }
    SCOPED_TRACE(round);
    EXPECT_EQ(fuzz::CheckMutatedDatabase(mutation), "");
  }
  // Undamaged, every row is served: the check above is not passed by serving nothing.
  size_t served = 0;
  EXPECT_EQ(fuzz::CheckMutatedDatabase(std::string("\xFF\xFF", 2), &served), "");
  EXPECT_EQ(served, 48u);
}

}  // namespace
}  // namespace lumetra
