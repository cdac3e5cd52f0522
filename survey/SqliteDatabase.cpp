#include "survey/SqliteDatabase.h"

#include <sqlite3.h>

namespace lumetra {
namespace {

// Once per process, before SQLite's first use: no memory statistics. Kept, they take a global mutex at
// every allocation SQLite makes (a lock and an unlock per value bound, per record made), and nothing here
// reads them. SQLite takes settings only before it is initialized; once another user in the process has
// initialized it the call is refused and changes nothing, so the refusal is ignored.
void ConfigureSqlite() {
  static const bool configured = [] {
    static_cast<void>(sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0));
    return sqlite3_initialize() == SQLITE_OK;
  }();
  static_cast<void>(configured);
}

}  // namespace

void CheckSqlite(sqlite3* db, int result) {
  if (result == SQLITE_OK || result == SQLITE_ROW || result == SQLITE_DONE) return;
  const char* message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(result);
  throw DatabaseError(result & 0xFF, message != nullptr ? message : sqlite3_errstr(result));
}

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) : db_(db) {
  CheckSqlite(db_, sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr));
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(statement_); }

void SqliteStatement::Bind(int index, int64_t value) { CheckSqlite(db_, sqlite3_bind_int64(statement_, index, value)); }

void SqliteStatement::Bind(int index, std::string_view text) {
  CheckSqlite(db_, sqlite3_bind_text64(statement_, index, text.data(), text.size(), SQLITE_STATIC, SQLITE_UTF8));
}

void SqliteStatement::BindNull(int index) { CheckSqlite(db_, sqlite3_bind_null(statement_, index)); }

void SqliteStatement::BindBlob(int index, const void* bytes, size_t size) {
  CheckSqlite(db_, sqlite3_bind_blob64(statement_, index, bytes, size, SQLITE_STATIC));
}

bool SqliteStatement::Step() {
  const int result = sqlite3_step(statement_);
  CheckSqlite(db_, result);
  return result == SQLITE_ROW;
}

void SqliteStatement::Reset() {
  // The step's own failure was thrown by Step; reset only repeats it.
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

void SqliteStatement::Rewind() { sqlite3_reset(statement_); }

int64_t SqliteStatement::Integer(int column) const { return sqlite3_column_int64(statement_, column); }

std::string SqliteStatement::Text(int column) const {
  const auto* bytes = sqlite3_column_blob(statement_, column);
  const int size = sqlite3_column_bytes(statement_, column);
  if (bytes == nullptr || size <= 0) return {};
  return std::string(static_cast<const char*>(bytes), static_cast<size_t>(size));
}

std::string_view SqliteStatement::TextView(int column) const {
  const auto* bytes = sqlite3_column_blob(statement_, column);
  const int size = sqlite3_column_bytes(statement_, column);
  if (bytes == nullptr || size <= 0) return {};
  return {static_cast<const char*>(bytes), static_cast<size_t>(size)};
}

bool SqliteStatement::IsInteger(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_INTEGER; }

bool SqliteStatement::IsText(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_TEXT; }

bool SqliteStatement::IsBlob(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_BLOB; }

SqliteDatabase::SqliteDatabase(const std::string& path, std::chrono::milliseconds busy_wait) {
  ConfigureSqlite();
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX;
  const int result = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
  if (result != SQLITE_OK) {
    const std::string message = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(result);
    sqlite3_close(db_);
    db_ = nullptr;
    throw DatabaseError(result & 0xFF, message);
  }
  sqlite3_extended_result_codes(db_, 0);
  sqlite3_busy_timeout(db_, static_cast<int>(busy_wait.count()));
}

SqliteDatabase::~SqliteDatabase() { sqlite3_close_v2(db_); }

void SqliteDatabase::Execute(const std::string& sql) {
  char* message = nullptr;
  const int result = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message);
  if (result != SQLITE_OK) {
    const std::string text = message != nullptr ? message : sqlite3_errstr(result);
    sqlite3_free(message);
    throw DatabaseError(result & 0xFF, text);
  }
}

int64_t SqliteDatabase::QueryInteger(const std::string& sql) {
  SqliteStatement statement(db_, sql);
  return statement.Step() ? statement.Integer(0) : 0;
}

bool SqliteDatabase::IsReadOnly() const { return sqlite3_db_readonly(db_, "main") == 1; }

}  // namespace lumetra
