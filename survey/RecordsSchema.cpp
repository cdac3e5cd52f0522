#include "survey/RecordsSchema.h"

namespace lumetra::records_schema {
namespace {

// Folders by number, each path ending in '/'; photos by row number, the folder's number in its high bits.
std::string CreateTablesSql() {
  // No NOT NULL on the photos' columns: SQLite would check each value of each row as it is written, while
  // a row is only used when every value has its type and the checksum holds.
  return "CREATE TABLE folders (id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE); "
         "CREATE TABLE photos (id INTEGER PRIMARY KEY, name TEXT, data BLOB)";
}

// A view with the full path and one column per fact, for sqlite3 and other tools: the facts text split at
// its separators into a JSON array, one element a step, and each column taken from it. SQLite parses it at
// every open: one short expression a column costs a fifth fewer instructions than picking each column out
// of a row per fact with max(CASE ...).
std::string CreateFactsViewSql() {
  std::string sql =
      "CREATE VIEW photo_facts AS WITH RECURSIVE split(path, facts, rest) AS (SELECT f.path || p.name, '[]', "
      "CAST(substr(p.data, " +
      std::to_string(kFileBytes + 1) + ") AS TEXT) || char(31) FROM photos p JOIN folders f ON f.id = p.id >> " +
      std::to_string(kSequenceBits) +
      " UNION ALL SELECT path, json_insert(facts, '$[#]', substr(rest, 1, instr(rest, char(31)) - 1)), "
      "substr(rest, instr(rest, char(31)) + 1) FROM split WHERE rest <> '') SELECT path, CAST(json_extract(facts, "
      "'$[0]') AS INTEGER) AS has_exif, CAST(json_extract(facts, '$[1]') AS INTEGER) AS taken";
  size_t n = kLeadingFacts;
  const auto column = [&](std::string_view name) {
    sql.append(", json_extract(facts, '$[").append(std::to_string(n++)).append("]') AS ").append(name);
  };
  for (const std::string_view name : kTagColumns) column(name);
  for (const std::string_view name : kLensTextColumns) column(name);
  return sql + " FROM split WHERE rest = ''";
}

}  // namespace

std::string NewDatabasePragmasSql() {
  return "PRAGMA page_size=" + std::to_string(kPageBytes) + "; PRAGMA journal_mode=WAL";
}

std::string CreateSchemaSql() {
  // Rows of an older layout are only a cache: they are replaced by empty tables of this one.
  return "DROP VIEW IF EXISTS photo_facts; DROP TABLE IF EXISTS photos; DROP TABLE IF EXISTS folders; " +
         CreateTablesSql() + "; " + CreateFactsViewSql() + "; PRAGMA application_id=" + std::to_string(kApplicationId) +
         "; PRAGMA user_version=" + std::to_string(kSchemaVersion);
}

}  // namespace lumetra::records_schema
