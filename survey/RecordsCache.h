#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "metadata/FileIdentity.h"
#include "survey/PhotoTags.h"
#include "survey/RecordsTemplate.h"
#include "survey/RowBytes.h"

namespace lumetra {

class SqliteDatabase;
class SqliteStatement;

namespace detail {
/// The integers of a stored row: device, inode, size, modified_ns, changed_ns, rules.
inline constexpr int kRowIntegerColumns = 6;
/// Rows written by one INSERT statement: each statement run costs SQLite as much again as the row it writes.
inline constexpr size_t kRowsPerInsert = 32;
}  // namespace detail

/// The records cache's file in the program's folder.
inline constexpr const char* kRecordsFileName = "Lumetra_Records.db";

/// The stamp of the reader's rules: rows written by a reader whose output may differ are never served. It
/// is derived from a version number bumped with every change of what the reader gives, the names of the
/// facts kept, and a digest of the reader's sources taken when the program is built.
[[nodiscard]] uint32_t ReaderRulesStamp();

/// The stamp of `version`, the fact column names and `sources_digest`, as ReaderRulesStamp combines them.
[[nodiscard]] uint32_t RulesStampOf(uint32_t version, uint64_t sources_digest);

/// How the cache is opened and when it remembers a photo.
struct RecordsCacheOptions {
  /// How long a lock held by another survey (another Lumetra) is waited for.
  std::chrono::milliseconds busy_wait{1500};
  /// A photo whose change time is less than this before the survey began is read but not remembered: a
  /// write within the same tick of a file system's coarse clock would leave all its times as they were.
  std::chrono::milliseconds settle_time{2000};
  /// Largest size of the database in pages; 0: no limit. Reaching it is a full disk.
  int64_t max_pages = 0;
  uint32_t rules_stamp = ReaderRulesStamp();
  /// What a test puts in the way of a new database's bytes being linked into place.
  NewDatabaseHooks new_database;
  /// Called, when the tables are to be made with SQL, between the read of the database's marks and the
  /// transaction that makes them: a test opens the database from another survey there.
  std::function<void()> before_create;
};

/// A memory of what was read: per photo file, the facts its record is made of (whether it has Exif, the
/// survey's tag texts, the maker note's lens text; never texts of one language, crop factors or 35 mm
/// values), kept in an SQLite database with the file's device, inode, size, modification and change
/// times. A photo is served from it only when all of these and the reader's rules stamp are equal and the
/// row's checksum holds; anything else reads the file.
///
/// It never costs correctness: every fault of the database (corrupt, of another program, locked beyond
/// `busy_wait`, read-only, full, a symbolic link) ends its use for the rest of the survey, and `problem()`
/// says why in one line. A damaged file or one of another program is renamed aside (never deleted) and a
/// fresh database takes its place. `Find` may be called from several threads at once; the rest from the
/// survey's own thread.
class RecordsCache {
 public:
  /// Opens or creates the database at `path`. Never throws: on a fault the cache is closed and `problem()`
  /// tells why.
  explicit RecordsCache(std::string path, RecordsCacheOptions options = {});
  /// Writes the rows not yet written; a database found damaged is renamed aside once it is closed.
  ~RecordsCache();
  RecordsCache(const RecordsCache&) = delete;
  RecordsCache& operator=(const RecordsCache&) = delete;

  /// Whether rows are served and written.
  [[nodiscard]] bool IsOpen() const;
  /// The first fault met, one line naming the file; empty when there was none.
  [[nodiscard]] std::string problem() const;

  /// Marks the start of a survey of `folder`: files changed from here on (and within `settle_time` before)
  /// are not remembered, and no path is yet seen. When the database holds no row under `folder`, `MayServe`
  /// is false for this survey; an empty `folder` leaves it true.
  void BeginSurvey(const std::string& folder = {});
  /// Whether a row may be found for a photo of this survey: a first survey of a folder spares itself the
  /// look-up (and the `stat` it needs) for every photo.
  [[nodiscard]] bool MayServe() const;
  /// The photo's facts when the row of `path` belongs to `file` (as stat gave it now) and to this reader;
  /// `file` and the facts are returned as PhotoTags. Nothing when there is no such row.
  [[nodiscard]] std::optional<PhotoTags> Find(const std::string& path, const FileIdentity& file);
  /// Notes that the walk reached `path`, so its row is not dropped.
  void Seen(const std::string& path);
  /// Keeps the facts of a photo that was read (not served): written with others in one transaction.
  /// Photos not opened, changed since the survey began or read from a file other than the one that now
  /// stands at `path` are not kept.
  void Remember(const std::string& path, const PhotoTags& tags);
  /// Writes the rows kept so far.
  void Flush();
  /// Drops the rows of files under `folder` (its sub-folders too with `subfolders`) that the survey did not
  /// see and that no longer exist.
  void DropGone(const std::string& folder, bool subfolders);

 private:
  // A row kept to be written: its path and its data (identity, stamp, checksum and facts) are spans of its
  // batch's `bytes`, the data right after the path.
  struct PendingRow {
    uint32_t key_at = 0;
    uint32_t key_size = 0;
    // Where the file name starts in the path.
    uint32_t name_at = 0;
    uint32_t data_size = 0;
  };
  // Rows written in one transaction. Its storage is kept from batch to batch: a survey that writes
  // thousands of rows allocates for the first batches only.
  struct PendingBatch {
    RowBytes bytes;
    std::vector<PendingRow> rows;
    // The row number each row is written under, found when the batch is written; whether it is the
    // table's next (SQLite finds it at the table's end without a look-up).
    std::vector<int64_t> ids;
    std::vector<bool> appended;
    [[nodiscard]] std::string_view Folder(const PendingRow& row) const { return bytes.View(row.key_at, row.name_at); }
    [[nodiscard]] std::string_view Name(const PendingRow& row) const {
      return bytes.View(row.key_at + row.name_at, row.key_size - row.name_at);
    }
    [[nodiscard]] std::string_view Data(const PendingRow& row) const {
      return bytes.View(row.key_at + row.key_size, row.data_size);
    }
    void Clear() {
      bytes.Clear();
      rows.clear();
      ids.clear();
      appended.clear();
    }
  };
  // Looks a name up without making a string of it.
  struct NameHashing {
    using is_transparent = void;
    size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
  };
  // A row as stored, not yet checked against the file.
  struct StoredRow {
    std::array<int64_t, detail::kRowIntegerColumns> integers{};
    std::string facts;
    int64_t checksum = 0;
  };
  // The rows of one folder's photos, by file name; a folder with too many rows to hold keeps only each
  // name's hash and row number (`index`, sorted), and its photos' rows are read one by one.
  struct FolderRows {
    std::string folder;
    std::unordered_map<std::string, StoredRow, NameHashing, std::equal_to<>> rows;
    std::vector<std::pair<uint64_t, int64_t>> index;
    bool whole = true;
  };
  // A folder that rows are being written to: its row numbers, the next free one, and the row number of
  // each name that has a row (by the name's hash: a collision only costs the other photo its row).
  struct WritingFolder {
    std::string folder;
    int64_t first = 0;
    int64_t last = 0;
    int64_t next = 0;
    // Whether `ids` holds the folder's rows: false for a folder this survey made, whose rows are all new.
    bool known = false;
    std::unordered_map<uint64_t, int64_t> ids;
  };
  // The rows of files gone from the surveyed folders, and the folders left without rows.
  struct GoneRows {
    std::vector<int64_t> rows;
    std::vector<int64_t> folders;
  };
  void Open();
  void OpenDatabase();
  // Makes the tables of this schema unless another survey has made them since `OpenDatabase` looked.
  void CreateSchema();
  void PrepareWrites();
  void Fail(const std::string& action, const std::exception& error);
  void CloseStatements();
  // Ends the unsynced first write of a database written here: later writes sync as SQLite's NORMAL does.
  void AfterWrite();
  [[nodiscard]] std::string Key(const std::string& path) const;
  // The folder texts of `folder` and under it: from the first (included) to the second (excluded).
  [[nodiscard]] std::pair<std::string, std::string> FolderRange(const std::string& folder) const;
  // Writes the pending rows in one transaction; called with `mutex_` held.
  void WriteRows();
  // Finds the row number of every pending row; -1 for a row of a folder with no free number.
  void NumberRows();
  [[nodiscard]] int64_t RowNumber(std::string_view folder, std::string_view name);
  WritingFolder& WritingFolderOf(std::string_view folder);
  [[nodiscard]] int64_t FreeNumber(WritingFolder& folder) const;
  // Binds the values of `row` from parameter `first` on; `id_null` tells whether the row number's parameter
  // holds NULL from the statement's last run, and is updated.
  void BindRow(SqliteStatement& statement, int first, size_t row, bool& id_null);
  // The number of the folder row of `folder`; 0 when there is none.
  [[nodiscard]] int64_t FolderNumber(std::string_view folder);
  // The held rows of `folder` (its text, ending in '/'), read in one scan when not yet held.
  FolderRows& RowsOf(std::string_view folder);
  void ScanFolder(FolderRows& folder, int64_t folder_number);
  [[nodiscard]] std::optional<StoredRow> LookUp(const FolderRows& folder, std::string_view name);
  // The rows under `folder` (with `subfolders`, under its sub-folders too) that the survey did not see and
  // whose files no longer exist, and the folders all of whose rows are such.
  [[nodiscard]] GoneRows CollectGone(const std::string& folder, bool subfolders);
  // Deletes the rows and folders of `gone` in one transaction.
  void DeleteGone(const GoneRows& gone);

  const std::string path_;
  const RecordsCacheOptions options_;
  std::string working_folder_;
  mutable std::mutex mutex_;
  std::unique_ptr<SqliteDatabase> db_;
  std::unique_ptr<SqliteStatement> find_folder_;
  std::unique_ptr<SqliteStatement> find_;
  std::unique_ptr<SqliteStatement> scan_;
  std::unique_ptr<SqliteStatement> add_folder_;
  std::unique_ptr<SqliteStatement> scan_names_;
  std::unique_ptr<SqliteStatement> data_version_;
  std::unique_ptr<SqliteStatement> last_row_;
  std::unique_ptr<SqliteStatement> write_;
  std::unique_ptr<SqliteStatement> write_group_;
  // Whether each row number's parameter of `write_group_` (and `write_`'s) holds NULL.
  std::array<bool, detail::kRowsPerInsert> group_ids_null_{};
  bool write_id_null_ = false;
  // The folders whose rows were read in this survey, the latest last.
  std::deque<FolderRows> held_;
  // The folders last written to; valid while no other connection has written (`data_version`).
  std::deque<WritingFolder> writing_;
  int64_t data_version_seen_ = -1;
  // Whether the database was written here and has not yet been written to: its journal is not yet started.
  bool first_write_unsynced_ = false;
  std::string problem_;
  bool may_serve_ = true;
  int64_t survey_start_ns_ = 0;
  PendingBatch pending_;
  // Hashes of the paths seen in this survey: a collision only keeps a row that could have been dropped.
  std::unordered_set<size_t> seen_;
};

}  // namespace lumetra
