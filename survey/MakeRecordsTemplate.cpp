// Makes the bytes of a new, empty records database when the program is built: SQLite runs the schema's
// SQL, as the program runs it where it cannot write these bytes, and the file it leaves is written out as
// the lines of a C++ array. Usage: lumetra-records-template OUTPUT.inc

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "survey/RecordsSchema.h"
#include "survey/SqliteDatabase.h"

namespace {

namespace fs = std::filesystem;

// The database made by the schema's SQL at `path`, with its journal folded in when it is closed.
void MakeDatabase(const fs::path& path) {
  for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path.string() + suffix);
  lumetra::SqliteDatabase db(path.string(), std::chrono::milliseconds(0));
  db.Execute(lumetra::records_schema::NewDatabasePragmasSql());
  db.Execute("BEGIN IMMEDIATE; " + lumetra::records_schema::CreateSchemaSql() + "; COMMIT");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: lumetra-records-template OUTPUT.inc\n");
    return 2;
  }
  const fs::path output = argv[1];
  const fs::path database = output.string() + ".db";
  try {
    MakeDatabase(database);
    if (fs::exists(database.string() + "-wal")) throw std::runtime_error("the journal was not folded in");
    std::ifstream in(database, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto page = static_cast<size_t>(lumetra::records_schema::kPageBytes);
    if (bytes.empty() || bytes.size() % page != 0) throw std::runtime_error("the database is not whole pages");
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    for (size_t i = 0; i < bytes.size(); ++i) {
      out << static_cast<unsigned>(static_cast<unsigned char>(bytes[i])) << ((i + 1) % 32 == 0 ? ",\n" : ",");
    }
    out.close();
    fs::remove(database);
    if (!out) throw std::runtime_error("cannot write " + output.string());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "lumetra-records-template: %s\n", error.what());
    fs::remove(output);
    return 1;
  }
  return 0;
}
