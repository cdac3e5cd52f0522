#pragma once

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace lumetra {

/// A failed SQLite call: its primary result code (SQLITE_CORRUPT, SQLITE_BUSY, ...) and SQLite's message.
class DatabaseError : public std::runtime_error {
 public:
  DatabaseError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  /// The primary result code (the low byte of SQLite's extended code).
  [[nodiscard]] int code() const { return code_; }

 private:
  int code_;
};

/// One prepared statement of a `SqliteDatabase`; finalized when destroyed. Parameters and columns count
/// from 1 and 0, as in SQLite.
class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, std::string_view sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  void Bind(int index, int64_t value);
  /// Binds the bytes of `text` as they are, without copying them: they must stay until the statement has
  /// been stepped for the last time or reset. A path need not be UTF-8.
  void Bind(int index, std::string_view text);
  void BindNull(int index);
  /// Binds `size` bytes at `bytes` as a blob, without copying them (they must stay as for a text).
  void BindBlob(int index, const void* bytes, size_t size);
  /// True while a row is there to read, false when the statement is done; throws DatabaseError.
  [[nodiscard]] bool Step();
  /// Makes the statement ready to run again with new parameters.
  void Reset();
  /// Makes the statement ready to run again, its parameters kept: for a statement whose every parameter is
  /// bound anew before each run (clearing hundreds of them costs as much as binding them).
  void Rewind();
  [[nodiscard]] int64_t Integer(int column) const;
  /// The column's bytes as text; a NULL gives the empty text.
  [[nodiscard]] std::string Text(int column) const;
  /// The column's bytes, valid until the next step, reset or read of the column as another type.
  [[nodiscard]] std::string_view TextView(int column) const;
  /// Whether the column holds an integer (not text, a blob or NULL): a row altered by hand may not.
  [[nodiscard]] bool IsInteger(int column) const;
  [[nodiscard]] bool IsText(int column) const;
  [[nodiscard]] bool IsBlob(int column) const;

 private:
  sqlite3* db_;
  sqlite3_stmt* statement_ = nullptr;
};

/// An SQLite connection, closed when destroyed. Every failure is a DatabaseError.
class SqliteDatabase {
 public:
  /// Opens (creating when missing) the database at `path` for reading and writing. A symbolic link at
  /// `path` is refused (SQLITE_CANTOPEN). Waits up to `busy_wait` for a lock another connection holds.
  SqliteDatabase(const std::string& path, std::chrono::milliseconds busy_wait);
  ~SqliteDatabase();
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  /// Runs statements that return no rows worth reading.
  void Execute(const std::string& sql);
  /// The integer the one-row statement `sql` gives (a PRAGMA's value).
  [[nodiscard]] int64_t QueryInteger(const std::string& sql);
  [[nodiscard]] bool IsReadOnly() const;
  [[nodiscard]] sqlite3* handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

/// Throws DatabaseError for a result code of `db` that is neither SQLITE_OK, SQLITE_ROW nor SQLITE_DONE.
void CheckSqlite(sqlite3* db, int result);

}  // namespace lumetra
