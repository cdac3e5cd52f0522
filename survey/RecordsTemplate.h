#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace lumetra {

/// The bytes of a new, empty records database of the current schema: made when the program was built, by
/// running the schema's SQL in SQLite itself.
[[nodiscard]] std::string_view NewRecordsDatabaseBytes();

/// What a test may put in the way of a new database being linked into place.
struct NewDatabaseHooks {
  /// Called after the look for a file at the database's path and before the new one is linked there.
  std::function<void()> before_link;
  /// Links `from` to `to` as link(2) does (its result, errno set on failure); link(2) itself when empty.
  std::function<int(const char* from, const char* to)> link;
};

/// What became of a new database at a path.
enum class NewDatabase {
  kWritten,     // written and linked into place
  kFoundThere,  // a file stood there already (another survey may have made it meanwhile): it is used
  kNotWritten   // it could not be written or linked (a file system without links, a read-only folder, a
                // full disk): SQLite makes it instead and meets the same fault itself
};

/// Writes a new, empty records database at `path` when nothing stands there: whole, under a temporary name
/// beside it, then linked into place, so no other survey ever sees it half written and no file is ever
/// overwritten.
NewDatabase WriteNewRecordsDatabase(const std::string& path, const NewDatabaseHooks& hooks = {});

}  // namespace lumetra
