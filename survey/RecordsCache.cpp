#include "survey/RecordsCache.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string_view>
#include <system_error>

#include "survey/SqliteDatabase.h"

#ifndef LUMETRA_READER_SOURCES_DIGEST
#define LUMETRA_READER_SOURCES_DIGEST 0
#endif

namespace lumetra {
namespace {

// Bumped with every change of what the reader gives for a photo that its sources' digest may not show (a
// rule moved into a table read from elsewhere, say); every row written before is then read again.
constexpr uint32_t kReaderRulesVersion = 1;
// Bumped with every change of the table's columns; an older table is replaced by an empty one.
constexpr int64_t kSchemaVersion = 5;
// "LMTR": the database belongs to Lumetra.
constexpr int64_t kApplicationId = 0x4C4D5452;
// Rows kept before they are written in one transaction.
constexpr size_t kBatchRows = 1024;
// A row's path and facts, as most photos' are: the room a batch's text is given at its start.
constexpr size_t kRowBytesExpected = 320;
// The journal's size once it has been folded into the database.
constexpr int64_t kJournalLimitBytes = int64_t{4} << 20;

// The columns of the facts, in PhotoTag order; a new fact is one more column here and a schema bump.
constexpr std::array<std::string_view, kPhotoTagCount> kTagColumns = {"model",
                                                                      "make",
                                                                      "focal_length",
                                                                      "focal_length_35mm",
                                                                      "exposure_time",
                                                                      "f_number",
                                                                      "iso",
                                                                      "program",
                                                                      "metering",
                                                                      "flash",
                                                                      "orientation",
                                                                      "lens_model",
                                                                      "short_focal",
                                                                      "long_focal",
                                                                      "focus_mode",
                                                                      "drive_mode",
                                                                      "maker_lens_model",
                                                                      "lens_specification",
                                                                      "dng_lens_info",
                                                                      "nikon_lens_information",
                                                                      "focal_units",
                                                                      "olympus_short_focal",
                                                                      "olympus_long_focal",
                                                                      "olympus_aperture_at_short",
                                                                      "olympus_aperture_at_long"};
// The texts kept after the tags, in this order: the maker note's lens text as it stands, and the XMP packet's
// lens name and LensInfo.
constexpr std::array<std::string_view, 3> kLensTextColumns = {"maker_lens", "xmp_lens", "xmp_lens_info"};
constexpr std::array<std::string PhotoTags::*, kLensTextColumns.size()> kLensTexts = {
    &PhotoTags::makerLensText, &PhotoTags::xmp_lens, &PhotoTags::xmp_lens_info};
// A tag added to PhotoTag without its column would be kept under an empty name.
static_assert(std::none_of(kTagColumns.begin(), kTagColumns.end(), [](std::string_view name) { return name.empty(); }),
              "every survey tag needs its column in the records cache");

// The facts are kept in one text column, joined by this character (the unit separator): one value for
// SQLite to encode and decode instead of one per fact. A photo whose texts hold it is not remembered.
constexpr char kFactSeparator = '\x1f';

// The columns of a row after its path, as Find and the folder scan read them.
constexpr const char* kRowColumns =
    "device, inode, size, modified_ns, changed_ns, rules, has_exif, taken, facts, checksum";
constexpr int kIntegerColumns = detail::kRowIntegerColumns;
constexpr int kFactsColumn = kIntegerColumns;
constexpr int kChecksumColumn = kIntegerColumns + 1;

// Rows written by one INSERT statement, and the values each row binds.
constexpr size_t kRowsPerInsert = 32;
constexpr size_t kColumnsPerRow = 11;

// A folder with more rows than this is looked up photo by photo rather than held in memory whole.
constexpr size_t kMaxFolderRows = 2048;
// Folders whose rows are held at once: reading threads ahead of the walk may be one folder further on.
constexpr size_t kHeldFolders = 2;

std::string CreateTableSql() {
  return "CREATE TABLE IF NOT EXISTS photos (path TEXT PRIMARY KEY NOT NULL, device INTEGER NOT NULL, inode INTEGER "
         "NOT NULL, size INTEGER NOT NULL, modified_ns INTEGER NOT NULL, changed_ns INTEGER NOT NULL, rules INTEGER "
         "NOT NULL, has_exif INTEGER NOT NULL, taken INTEGER NOT NULL, facts TEXT NOT NULL, checksum INTEGER NOT NULL) "
         "WITHOUT ROWID";
}

// A view with one column per fact, for sqlite3 and other tools: the facts text split at its separators.
std::string CreateFactsViewSql() {
  std::string sql =
      "CREATE VIEW IF NOT EXISTS photo_facts AS WITH RECURSIVE split(path, has_exif, n, field, rest) AS (SELECT "
      "path, has_exif, -1, NULL, facts || char(31) FROM photos UNION ALL SELECT path, has_exif, n + 1, substr(rest, "
      "1, instr(rest, char(31)) - 1), substr(rest, instr(rest, char(31)) + 1) FROM split WHERE rest <> '') SELECT "
      "path, has_exif";
  int n = 0;
  const auto column = [&](std::string_view name) {
    sql.append(", max(CASE n WHEN ").append(std::to_string(n++)).append(" THEN field END) AS ").append(name);
  };
  for (const std::string_view name : kTagColumns) column(name);
  for (const std::string_view name : kLensTextColumns) column(name);
  return sql + " FROM split GROUP BY path";
}

// Appends the facts of `tags` to `facts` as one text; false, with nothing appended, when a text holds the
// separator.
bool AppendFacts(const PhotoTags& tags, std::string& facts) {
  const size_t start = facts.size();
  const size_t separators = tags.texts.size() + kLensTexts.size() - 1;
  size_t size = separators;
  for (const std::string& text : tags.texts) size += text.size();
  for (std::string PhotoTags::*text : kLensTexts) size += (tags.*text).size();
  facts.resize(start + size);
  char* out = facts.data() + start;
  for (const std::string& text : tags.texts) {
    out = std::copy(text.begin(), text.end(), out);
    *out++ = kFactSeparator;
  }
  for (size_t i = 0; i < kLensTexts.size(); ++i) {
    const std::string& text = tags.*kLensTexts[i];
    out = std::copy(text.begin(), text.end(), out);
    if (i + 1 < kLensTexts.size()) *out++ = kFactSeparator;
  }
  // One count over the whole text instead of a search in each of its texts.
  if (std::count(facts.begin() + static_cast<std::ptrdiff_t>(start), facts.end(), kFactSeparator) !=
      static_cast<std::ptrdiff_t>(separators)) {
    facts.resize(start);
    return false;
  }
  return true;
}

// Fills the texts of `tags` from `facts`; false unless it holds exactly the facts AppendFacts writes.
bool SplitFacts(std::string_view facts, PhotoTags& tags) {
  const auto take = [&facts](std::string& text) {
    const size_t end = facts.find(kFactSeparator);
    if (end == std::string_view::npos) return false;
    text.assign(facts.substr(0, end));
    facts.remove_prefix(end + 1);
    return true;
  };
  for (std::string& text : tags.texts) {
    if (!take(text)) return false;
  }
  for (size_t i = 0; i + 1 < kLensTexts.size(); ++i) {
    if (!take(tags.*kLensTexts[i])) return false;
  }
  if (facts.find(kFactSeparator) != std::string_view::npos) return false;
  tags.*kLensTexts.back() = facts;
  return true;
}

// A 64-bit checksum: a row whose bytes were altered (a damaged page, a hand edit) no longer matches.
class Checksum {
 public:
  void Add(std::string_view bytes) {
    Add(static_cast<int64_t>(bytes.size()));
    // Eight bytes a step: a row's key and facts are a few hundred bytes, checked on every find.
    for (; bytes.size() >= 8; bytes.remove_prefix(8)) {
      uint64_t word = 0;
      std::memcpy(&word, bytes.data(), 8);
      Word(word);
    }
    uint64_t tail = 0;
    std::memcpy(&tail, bytes.data(), bytes.size());
    Word(tail);
  }
  void Add(int64_t value) { Word(static_cast<uint64_t>(value)); }
  [[nodiscard]] int64_t value() const { return static_cast<int64_t>(hash_); }

 private:
  // FNV-1a's step on a word, the word's high bits folded down first so that every bit reaches the whole hash.
  void Word(uint64_t word) {
    hash_ ^= word ^ (word >> 29);
    hash_ *= 0x100000001b3ULL;
    hash_ ^= hash_ >> 32;
  }
  uint64_t hash_ = 0xcbf29ce484222325ULL;
};

struct RowIdentity {
  int64_t device, inode, size, modified_ns, changed_ns;
};

RowIdentity IdentityColumns(const FileIdentity& file) {
  return {static_cast<int64_t>(file.device), static_cast<int64_t>(file.inode), file.size,
          Nanoseconds(file.modified_s, file.modified_ns), Nanoseconds(file.changed_s, file.changed_ns)};
}

int64_t RowChecksum(std::string_view key, const RowIdentity& id, int64_t rules, int64_t has_exif, int64_t taken,
                    std::string_view facts) {
  Checksum sum;
  sum.Add(key);
  for (const int64_t value : {id.device, id.inode, id.size, id.modified_ns, id.changed_ns, rules, has_exif, taken}) {
    sum.Add(value);
  }
  sum.Add(facts);
  return sum.value();
}

bool IsDamage(int code) { return code == SQLITE_CORRUPT || code == SQLITE_NOTADB; }

std::string Reason(const DatabaseError& error) {
  switch (error.code()) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "in use by another survey";
    case SQLITE_FULL:
      return "the disk is full";
    case SQLITE_READONLY:
    case SQLITE_PERM:
      return "cannot be written";
    default:
      return error.what();
  }
}

// The first free name "<stem>.broken-N<extension>" beside `path`.
bool RenameAside(const std::string& path, std::string& aside) {
  const std::filesystem::path original(path);
  for (int n = 1; n < 1000; ++n) {
    const std::filesystem::path candidate =
        original.parent_path() /
        (original.stem().string() + ".broken-" + std::to_string(n) + original.extension().string());
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, candidate.c_str(), RENAME_NOREPLACE) == 0) {
      aside = candidate.string();
      // The journal files follow their database, so that the pair still opens as it was.
      for (const char* suffix : {"-wal", "-shm"}) {
        const std::string from = path + suffix;
        const std::string to = aside + suffix;
        static_cast<void>(::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE));
      }
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

// Why the file at `path` is not opened: a symbolic link or something other than a file; empty when it may be.
std::string Refusal(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return {};
  if (S_ISLNK(info.st_mode)) return "is a symbolic link";
  if (!S_ISREG(info.st_mode)) return "is not a file";
  return {};
}

// Whether the database at `path` has a journal beside it but bytes of its own that do not begin as every
// SQLite database does. A survey leaves its journal beside the database, and SQLite reads a page from the
// journal rather than from the file: a file replaced while its journal stays would look whole, its own
// bytes never read. Without a journal SQLite reads the file's header itself (and a database being made by
// another survey at this moment, its header not yet written, is left to it).
bool HoldsOtherBytes(const std::string& path) {
  struct stat journal {};
  if (::stat((path + "-wal").c_str(), &journal) != 0 || journal.st_size == 0) return false;
  static constexpr std::string_view kHeader("SQLite format 3\0", 16);
  const int file = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (file < 0) return false;
  std::array<char, kHeader.size()> bytes{};
  const ssize_t read = ::pread(file, bytes.data(), bytes.size(), 0);
  ::close(file);
  return read > 0 && std::string_view(bytes.data(), static_cast<size_t>(read)) != kHeader;
}

// Ends a transaction that failed part-way, so that none of its rows are written.
void RollBack(SqliteDatabase& db) {
  if (sqlite3_get_autocommit(db.handle()) == 0) sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

// Resets a statement when a step leaves the scope, so that no read stays open between calls.
struct ResetOnExit {
  SqliteStatement& statement;
  ~ResetOnExit() { statement.Reset(); }
};

}  // namespace

uint32_t RulesStampOf(uint32_t version, uint64_t sources_digest) {
  Checksum sum;
  sum.Add(static_cast<int64_t>(version));
  sum.Add(kSchemaVersion);
  for (const std::string_view name : kTagColumns) sum.Add(name);
  for (const std::string_view name : kLensTextColumns) sum.Add(name);
  sum.Add(static_cast<int64_t>(sources_digest));
  const auto hash = static_cast<uint64_t>(sum.value());
  return static_cast<uint32_t>(hash ^ (hash >> 32));
}

uint32_t ReaderRulesStamp() {
  return RulesStampOf(kReaderRulesVersion, static_cast<uint64_t>(LUMETRA_READER_SOURCES_DIGEST));
}

RecordsCache::RecordsCache(std::string path, RecordsCacheOptions options) : path_(std::move(path)), options_(options) {
  Open();
}

RecordsCache::~RecordsCache() { Flush(); }

bool RecordsCache::IsOpen() const {
  const std::lock_guard lock(mutex_);
  return db_ != nullptr;
}

std::string RecordsCache::problem() const {
  const std::lock_guard lock(mutex_);
  return problem_;
}

void RecordsCache::Open() {
  BeginSurvey();
  std::error_code error;
  working_folder_ = std::filesystem::current_path(error).string();
  for (const std::string& file : {path_, path_ + "-wal", path_ + "-shm"}) {
    if (const std::string refusal = Refusal(file); !refusal.empty()) {
      problem_ = "records cache " + file + ": " + refusal + "; photos are read without it";
      return;
    }
  }
  try {
    OpenDatabase();
  } catch (const DatabaseError& first) {
    CloseStatements();
    db_.reset();
    std::string aside;
    if (!IsDamage(first.code()) || !RenameAside(path_, aside)) {
      problem_ = "records cache " + path_ + ": " + Reason(first) + "; photos are read without it";
      return;
    }
    problem_ = "records cache " + path_ + ": " + Reason(first) + "; kept as " + aside + ", a new one is started";
    try {
      OpenDatabase();
    } catch (const DatabaseError& second) {
      CloseStatements();
      db_.reset();
      problem_ = "records cache " + path_ + ": " + Reason(second) + "; photos are read without it";
    }
  }
}

void RecordsCache::OpenDatabase() {
  if (HoldsOtherBytes(path_)) throw DatabaseError(SQLITE_NOTADB, "file is not a database");
  db_ = std::make_unique<SqliteDatabase>(path_, options_.busy_wait);
  if (db_->IsReadOnly()) throw DatabaseError(SQLITE_READONLY, "cannot be written");
  const int64_t application = db_->QueryInteger("PRAGMA application_id");
  const int64_t version = db_->QueryInteger("PRAGMA user_version");
  const int64_t tables = db_->QueryInteger("SELECT count(*) FROM sqlite_master");
  const bool ours = application == kApplicationId;
  if (!ours && (application != 0 || tables != 0)) {
    throw DatabaseError(SQLITE_NOTADB, "holds the data of another program");
  }
  if (ours && version > kSchemaVersion) throw DatabaseError(SQLITE_MISMATCH, "was written by a newer Lumetra");
  const bool create = !ours || version < kSchemaVersion;
  // A new database is made without waiting for the disk: one cut short by a power loss is found damaged
  // and set aside next time. Afterwards a crash or power loss may lose the last batches, never a whole row.
  db_->Execute(create ? "PRAGMA synchronous=OFF; PRAGMA journal_mode=WAL" : "PRAGMA journal_mode=WAL");
  if (options_.max_pages > 0) db_->Execute("PRAGMA max_page_count=" + std::to_string(options_.max_pages));
  if (create) {
    // Rows of an older layout are only a cache: they are replaced by an empty table of this one.
    db_->Execute("BEGIN IMMEDIATE; DROP VIEW IF EXISTS photo_facts; DROP TABLE IF EXISTS photos; " + CreateTableSql() +
                 "; " + CreateFactsViewSql() + "; PRAGMA application_id=" + std::to_string(kApplicationId) +
                 "; PRAGMA user_version=" + std::to_string(kSchemaVersion) + "; COMMIT");
  }
  // Under WAL, NORMAL syncs at checkpoints only: a power loss may lose the last transactions, never make a
  // row half written. A survey reads each page once, in folder scans, and a batch of rows dirties less than
  // half a MiB: a smaller page cache than SQLite's 2 MiB keeps a re-survey's memory near a fresh survey's.
  // The journal is left as it is when the survey closes the database: folding it in there would write every
  // page a second time and wait for the disk three times, a fifth of what remembering a first survey costs.
  // The journal is a valid state of the database (sqlite3 reads it; a crash or power loss keeps only whole
  // transactions of it); it is folded in by the write that takes it past 1000 pages (4 MiB), and cut back to
  // 4 MiB then.
  db_->Execute("PRAGMA synchronous=NORMAL; PRAGMA cache_size=-512; PRAGMA journal_size_limit=" +
               std::to_string(kJournalLimitBytes));
  CheckSqlite(db_->handle(), sqlite3_db_config(db_->handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr));
  const std::string columns = kRowColumns;
  try {
    find_ = std::make_unique<SqliteStatement>(db_->handle(), "SELECT " + columns + " FROM photos WHERE path = ?");
    scan_ = std::make_unique<SqliteStatement>(
        db_->handle(), "SELECT path, " + columns + " FROM photos WHERE path >= ? AND path < ? ORDER BY path");
  } catch (const DatabaseError& error) {
    // Lumetra's mark on a table that is not Lumetra's: altered by another tool.
    if (error.code() == SQLITE_ERROR) throw DatabaseError(SQLITE_CORRUPT, "has a photos table of another layout");
    throw;
  }
}

void RecordsCache::PrepareWrites() {
  // Prepared with the first row to write: a survey served whole never needs them.
  if (write_group_) return;
  const std::string insert = "INSERT OR REPLACE INTO photos (path, " + std::string(kRowColumns) + ") VALUES ";
  std::string values = "(?";
  for (size_t column = 1; column < kColumnsPerRow; ++column) values.append(", ?");
  values.append(")");
  write_ = std::make_unique<SqliteStatement>(db_->handle(), insert + values);
  std::string group = insert + values;
  for (size_t i = 1; i < kRowsPerInsert; ++i) group.append(", ").append(values);
  write_group_ = std::make_unique<SqliteStatement>(db_->handle(), group);
}

void RecordsCache::CloseStatements() {
  find_.reset();
  scan_.reset();
  write_.reset();
  write_group_.reset();
  held_.clear();
}

void RecordsCache::Fail(const std::string& action, const std::exception& error) {
  const auto* database_error = dynamic_cast<const DatabaseError*>(&error);
  const bool damaged = database_error != nullptr && IsDamage(database_error->code());
  const std::string reason = database_error != nullptr ? Reason(*database_error) : error.what();
  CloseStatements();
  db_.reset();
  pending_.Clear();
  std::string aside;
  std::string line = "records cache " + path_ + ": cannot " + action + ": " + reason;
  if (damaged && RenameAside(path_, aside)) {
    line += "; kept as " + aside + ", a new one is started next time";
  } else {
    line += "; the rest of this survey reads every photo";
  }
  if (problem_.empty()) problem_ = line;
}

std::string RecordsCache::Key(const std::string& path) const {
  if (path.starts_with('/') || working_folder_.empty()) return path;
  return working_folder_ + (working_folder_.ends_with('/') ? "" : "/") + path;
}

void RecordsCache::BeginSurvey(const std::string& folder) {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const std::lock_guard lock(mutex_);
  survey_start_ns_ = Nanoseconds(now.tv_sec, now.tv_nsec);
  seen_.clear();
  held_.clear();
  may_serve_ = true;
  if (folder.empty() || !db_) return;
  const auto [prefix, end] = PathRange(folder);
  try {
    SqliteStatement any(db_->handle(), "SELECT 1 FROM photos WHERE path >= ? AND path < ? LIMIT 1");
    any.Bind(1, prefix);
    any.Bind(2, end);
    may_serve_ = any.Step();
  } catch (const DatabaseError& error) {
    Fail("read", error);
  }
}

bool RecordsCache::MayServe() const {
  const std::lock_guard lock(mutex_);
  return db_ != nullptr && may_serve_;
}

std::pair<std::string, std::string> RecordsCache::PathRange(const std::string& folder) const {
  std::string prefix = Key(folder);
  if (!prefix.ends_with('/')) prefix += '/';
  // Every path under the folder sorts from "<folder>/" up to, not including, "<folder>0".
  std::string end = prefix;
  end.back() = static_cast<char>('/' + 1);
  return {prefix, end};
}

namespace {

// The row the statement stands on, from `first` (device) on; nothing when a column has the wrong type (a
// row altered by hand).
std::optional<std::array<int64_t, kIntegerColumns>> RowIntegers(const SqliteStatement& row, int first) {
  std::array<int64_t, kIntegerColumns> integers{};
  for (int column = 0; column < kIntegerColumns; ++column) {
    if (!row.IsInteger(first + column)) return std::nullopt;
    integers[static_cast<size_t>(column)] = row.Integer(first + column);
  }
  if (!row.IsText(first + kFactsColumn) || !row.IsInteger(first + kChecksumColumn)) return std::nullopt;
  return integers;
}

}  // namespace

std::optional<PhotoTags> RecordsCache::Find(const std::string& path, const FileIdentity& file) {
  if (!file.found) return std::nullopt;
  const std::string key = Key(path);
  const size_t slash = key.rfind('/');
  std::optional<StoredRow> row;
  {
    const std::lock_guard lock(mutex_);
    if (!find_) return std::nullopt;
    try {
      // A path without a folder (a relative one when the working folder is unknown) is looked up alone.
      FolderRows* folder = slash == std::string::npos ? nullptr : &RowsOf(key.substr(0, slash + 1));
      if (folder == nullptr || !folder->whole) {
        row = LookUp(key);
      } else if (const auto found = folder->rows.find(key.substr(slash + 1)); found != folder->rows.end()) {
        // Each photo is asked for once in a survey.
        row = std::move(found->second);
        folder->rows.erase(found);
      }
    } catch (const DatabaseError& error) {
      Fail("read", error);
      return std::nullopt;
    }
  }
  if (!row) return std::nullopt;
  // The same file, read by the same rules, and a row whose bytes are as written.
  const RowIdentity id = IdentityColumns(file);
  const std::array<int64_t, 6> expected = {id.device,      id.inode,      id.size,
                                           id.modified_ns, id.changed_ns, options_.rules_stamp};
  if (!std::equal(expected.begin(), expected.end(), row->integers.begin())) return std::nullopt;
  const int64_t has_exif = row->integers[6];
  if (has_exif != 0 && has_exif != 1) return std::nullopt;
  const int64_t taken = row->integers[7];
  if (taken < kNoCaptureTime) return std::nullopt;
  if (row->checksum != RowChecksum(key, id, options_.rules_stamp, has_exif, taken, row->facts)) return std::nullopt;
  PhotoTags tags;
  tags.has_exif = has_exif == 1;
  tags.taken = taken;
  if (!SplitFacts(row->facts, tags)) return std::nullopt;
  tags.file = file;
  return tags;
}

RecordsCache::FolderRows& RecordsCache::RowsOf(const std::string& folder) {
  for (FolderRows& held : held_) {
    if (held.folder == folder) return held;
  }
  if (held_.size() >= kHeldFolders) held_.pop_front();
  FolderRows& rows = held_.emplace_back();
  rows.folder = folder;
  ScanFolder(rows);
  return rows;
}

void RecordsCache::ScanFolder(FolderRows& folder) {
  const std::string& prefix = folder.folder;
  std::string from = prefix;
  std::string to = prefix;
  // Every path under the folder sorts from "<folder>/" up to, not including, "<folder>0".
  to.back() = static_cast<char>('/' + 1);
  bool more = true;
  while (more) {
    const ResetOnExit reset{*scan_};
    scan_->Bind(1, from);
    scan_->Bind(2, to);
    more = false;
    while (scan_->Step()) {
      const std::string_view key = scan_->TextView(0);
      if (!key.starts_with(prefix)) continue;
      const std::string_view name = key.substr(prefix.size());
      if (const size_t slash = name.find('/'); slash != std::string_view::npos) {
        // A sub-folder's rows: the scan goes on after the last of them.
        from.assign(key.substr(0, prefix.size() + slash)).push_back(static_cast<char>('/' + 1));
        more = true;
        break;
      }
      const std::optional<std::array<int64_t, kIntegerColumns>> integers = RowIntegers(*scan_, 1);
      if (!integers) continue;
      if (folder.rows.size() >= kMaxFolderRows) {
        folder.rows.clear();
        folder.whole = false;
        return;
      }
      folder.rows.emplace(std::string(name), StoredRow{*integers, std::string(scan_->TextView(1 + kFactsColumn)),
                                                       scan_->Integer(1 + kChecksumColumn)});
    }
  }
}

std::optional<RecordsCache::StoredRow> RecordsCache::LookUp(const std::string& key) {
  const ResetOnExit reset{*find_};
  find_->Bind(1, key);
  if (!find_->Step()) return std::nullopt;
  const std::optional<std::array<int64_t, kIntegerColumns>> integers = RowIntegers(*find_, 0);
  if (!integers) return std::nullopt;
  return StoredRow{*integers, std::string(find_->TextView(kFactsColumn)), find_->Integer(kChecksumColumn)};
}

void RecordsCache::Seen(const std::string& path) {
  const size_t hash = std::hash<std::string>{}(Key(path));
  const std::lock_guard lock(mutex_);
  seen_.insert(hash);
}

void RecordsCache::Remember(const std::string& path, const PhotoTags& tags) {
  if (!tags.file.found || !tags.unread_reason.empty()) return;
  const int64_t settle_ns = std::chrono::nanoseconds(options_.settle_time).count();
  const std::lock_guard lock(mutex_);
  if (!db_) return;
  if (Nanoseconds(tags.file.changed_s, tags.file.changed_ns) >= survey_start_ns_ - settle_ns) return;
  std::string& text = pending_.text;
  if (pending_.rows.empty()) {
    // A batch's rows are a few hundred bytes each: its storage grows once, not row by row.
    text.reserve(kBatchRows * kRowBytesExpected);
    pending_.rows.reserve(kBatchRows);
  }
  const size_t key_at = text.size();
  if (path.starts_with('/') || working_folder_.empty()) {
    text.append(path);
  } else {
    text.append(Key(path));
  }
  const size_t facts_at = text.size();
  // A batch's text stays far below 4 GiB: a row is a path and a few hundred bytes of facts.
  if (!AppendFacts(tags, text) || text.size() > UINT32_MAX) {
    text.resize(key_at);
    return;
  }
  pending_.rows.push_back(PendingRow{.key_at = static_cast<uint32_t>(key_at),
                                     .key_size = static_cast<uint32_t>(facts_at - key_at),
                                     .facts_size = static_cast<uint32_t>(text.size() - facts_at),
                                     .file = tags.file,
                                     .has_exif = tags.has_exif,
                                     .taken = tags.taken});
  if (pending_.rows.size() >= kBatchRows) WriteRows();
}

void RecordsCache::Flush() {
  const std::lock_guard lock(mutex_);
  WriteRows();
}

void RecordsCache::BindRow(SqliteStatement& statement, int first, const PendingRow& row) const {
  const RowIdentity id = IdentityColumns(row.file);
  const auto rules = static_cast<int64_t>(options_.rules_stamp);
  const auto has_exif = static_cast<int64_t>(row.has_exif);
  const std::string_view key = pending_.Key(row);
  const std::string_view facts = pending_.Facts(row);
  int index = first;
  statement.Bind(index++, key);
  for (const int64_t value :
       {id.device, id.inode, id.size, id.modified_ns, id.changed_ns, rules, has_exif, row.taken}) {
    statement.Bind(index++, value);
  }
  statement.Bind(index++, facts);
  statement.Bind(index, RowChecksum(key, id, rules, has_exif, row.taken, facts));
}

void RecordsCache::WriteRows() {
  const std::vector<PendingRow>& rows = pending_.rows;
  if (rows.empty() || !db_) return;
  try {
    PrepareWrites();
    db_->Execute("BEGIN IMMEDIATE");
    try {
      // Rows go in groups of kRowsPerInsert, one statement each, the rest one by one: each statement run
      // costs SQLite as much again as the row it writes.
      size_t row = 0;
      for (; row + kRowsPerInsert <= rows.size(); row += kRowsPerInsert) {
        const ResetOnExit reset{*write_group_};
        for (size_t i = 0; i < kRowsPerInsert; ++i) {
          BindRow(*write_group_, static_cast<int>(i * kColumnsPerRow) + 1, rows[row + i]);
        }
        static_cast<void>(write_group_->Step());
      }
      for (; row < rows.size(); ++row) {
        const ResetOnExit reset{*write_};
        BindRow(*write_, 1, rows[row]);
        static_cast<void>(write_->Step());
      }
      db_->Execute("COMMIT");
    } catch (const DatabaseError&) {
      // The rows of a failed batch are never half written.
      RollBack(*db_);
      throw;
    }
    // The batch's storage is kept for the next rows.
    pending_.Clear();
  } catch (const DatabaseError& error) {
    Fail("write", error);
  }
}

void RecordsCache::DropGone(const std::string& folder, bool subfolders) {
  Flush();
  const std::lock_guard lock(mutex_);
  if (!db_) return;
  const auto [prefix, end] = PathRange(folder);
  try {
    std::vector<std::string> gone;
    {
      SqliteStatement under(db_->handle(), "SELECT path FROM photos WHERE path >= ? AND path < ?");
      under.Bind(1, prefix);
      under.Bind(2, end);
      while (under.Step()) {
        std::string key = under.Text(0);
        if (seen_.contains(std::hash<std::string>{}(key))) continue;
        if (!subfolders && key.find('/', prefix.size()) != std::string::npos) continue;
        struct stat info {};
        // Only a file that is really gone loses its row; one behind a folder that cannot be read now keeps it.
        if (::stat(key.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) gone.push_back(std::move(key));
      }
    }
    if (gone.empty()) return;
    SqliteStatement drop(db_->handle(), "DELETE FROM photos WHERE path = ?");
    db_->Execute("BEGIN IMMEDIATE");
    try {
      for (const std::string& key : gone) {
        const ResetOnExit reset{drop};
        drop.Bind(1, key);
        static_cast<void>(drop.Step());
      }
      db_->Execute("COMMIT");
    } catch (const DatabaseError&) {
      RollBack(*db_);
      throw;
    }
  } catch (const DatabaseError& error) {
    Fail("write", error);
  }
}

}  // namespace lumetra
