#include "survey/RecordsTemplate.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/ReplaceFile.h"

namespace lumetra {
namespace {

// An empty database made by the schema's own SQL when the program was built (survey/MakeRecordsTemplate.cpp).
constexpr unsigned char kNewDatabase[] = {
#include "survey/RecordsTemplateBytes.inc"
};

// A file of its own beside `path`, opened for writing; -1 when the folder takes none.
int OpenTemporary(const std::string& path, std::string& temporary) {
  // Surveys in other processes differ by their process number, those of one process by the count.
  for (int n = 0; n < 100; ++n) {
    temporary = path + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(n);
    // The permissions SQLite gives a database it makes.
    const int file = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (file >= 0 || errno != EEXIST) return file;
  }
  return -1;
}

}  // namespace

std::string_view NewRecordsDatabaseBytes() {
  return {reinterpret_cast<const char*>(kNewDatabase), sizeof kNewDatabase};
}

NewDatabase WriteNewRecordsDatabase(const std::string& path, const NewDatabaseHooks& hooks) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0) return NewDatabase::kFoundThere;
  if (errno != ENOENT) return NewDatabase::kNotWritten;
  std::string temporary;
  const int file = OpenTemporary(path, temporary);
  if (file < 0) return NewDatabase::kNotWritten;
  // Not synced, as SQLite does not sync a database it makes with synchronous=OFF: one cut short by a power
  // loss is found damaged (or empty) and set aside (or made anew) next time.
  const bool written = WriteAll(file, NewRecordsDatabaseBytes()) == 0;
  const bool closed = ::close(file) == 0;
  NewDatabase outcome = NewDatabase::kNotWritten;
  if (written && closed) {
    if (hooks.before_link) hooks.before_link();
    // A link, unlike a rename, never replaces a file another survey put there meanwhile.
    const int linked =
        hooks.link ? hooks.link(temporary.c_str(), path.c_str()) : ::link(temporary.c_str(), path.c_str());
    if (linked == 0) {
      outcome = NewDatabase::kWritten;
    } else if (errno == EEXIST) {
      outcome = NewDatabase::kFoundThere;
    }
  }
  ::unlink(temporary.c_str());
  return outcome;
}

}  // namespace lumetra
