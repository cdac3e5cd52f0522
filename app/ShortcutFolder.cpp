#include "app/ShortcutFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "files/ReplaceFile.h"
#include "metadata/FileIdentity.h"
#include "text/TextEncoding.h"

namespace lumetra {
namespace {

constexpr std::string_view kShortcutExtension = ".lnk";
// A new shortcut is made under this prefix and then renamed into place.
constexpr std::string_view kTemporaryPrefix = ".new";
// The record is far smaller than this even for a hundred thousand shortcuts.
constexpr off_t kRecordSizeLimit = 256 * 1024 * 1024;

// Windows compares file names without regard to the case of A to Z; so do we, so that the shortcuts
// are the same on every file system.
std::string FoldedName(std::string_view name) { return LowerAscii(name); }

std::string NumberedName(const std::string& photo_name, int number) {
  std::string name = photo_name;
  if (number > 1) name.append(" (").append(std::to_string(number)).append(")");
  return name.append(kShortcutExtension);
}

std::string Failure(const std::filesystem::path& path, const std::string& reason) {
  std::string message = path.string();
  return message.append(": ").append(reason);
}

// A descriptor closed at the end of its scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  [[nodiscard]] int get() const { return fd_; }

 private:
  int fd_;
};

// A shortcut this program made: its name, the link's inode and change time, and the photo it leads to. A
// link is ours only while all of them still hold, so a link the user put there under the same name is never
// taken for ours, even when it was given the inode our removed link had.
struct MadeShortcut {
  std::string name;
  ino_t inode = 0;
  int64_t changed_ns = 0;
  std::string target;
};

std::optional<MadeShortcut> LinkAt(int folder, const std::string& name) {
  struct stat info {};
  if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(info.st_mode)) return {};
  std::string target(static_cast<size_t>(info.st_size) + 1, '\0');
  const ssize_t length = ::readlinkat(folder, name.c_str(), target.data(), target.size());
  if (length < 0 || static_cast<size_t>(length) >= target.size()) return {};
  target.resize(static_cast<size_t>(length));
  const FileIdentity identity = IdentityFromStat(info);
  return MadeShortcut{name, info.st_ino, Nanoseconds(identity.changed_s, identity.changed_ns), std::move(target)};
}

// The record of the shortcuts made, in the folder: "inode:change-time-ns NUL name NUL target NUL" for each. Names and
// targets are bytes and may hold any character but NUL. A missing, foreign or broken record lists nothing,
// so that nothing is taken for ours.
std::vector<MadeShortcut> ReadRecord(int folder) {
  std::vector<MadeShortcut> made;
  const Descriptor fd(
      ::openat(folder, std::string(kShortcutRecordName).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat info {};
  if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kRecordSizeLimit) {
    return made;
  }
  std::string bytes(static_cast<size_t>(info.st_size), '\0');
  size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t count = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return made;
    got += static_cast<size_t>(count);
  }
  std::vector<std::string_view> fields;
  for (size_t start = 0, end = 0; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1) {
    fields.emplace_back(bytes.data() + start, end - start);
  }
  for (size_t i = 0; i + 2 < fields.size(); i += 3) {
    const std::string identity(fields[i]);
    char* end = nullptr;
    const unsigned long long inode = std::strtoull(identity.c_str(), &end, 10);
    if (end == identity.c_str() || *end != ':') return {};
    const char* time = end + 1;
    const long long changed_ns = std::strtoll(time, &end, 10);
    if (end == time || *end != '\0') return {};
    made.push_back(
        MadeShortcut{std::string(fields[i + 1]), static_cast<ino_t>(inode), changed_ns, std::string(fields[i + 2])});
  }
  return made;
}

// Rewrites the record whole: written beside under a temporary name, renamed over the old one.
void WriteRecord(int folder, const std::vector<MadeShortcut>& made) {
  std::string bytes;
  for (const MadeShortcut& shortcut : made) {
    bytes.append(std::to_string(shortcut.inode)).push_back(':');
    bytes.append(std::to_string(shortcut.changed_ns)).push_back('\0');
    bytes.append(shortcut.name).push_back('\0');
    bytes.append(shortcut.target).push_back('\0');
  }
  const std::string temporary = std::string(kShortcutRecordName) + ".new";
  ::unlinkat(folder, temporary.c_str(), 0);
  const Descriptor fd(::openat(folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
  if (fd.get() < 0) return;
  if (WriteAll(fd.get(), bytes) != 0 ||
      ::renameat(folder, temporary.c_str(), folder, std::string(kShortcutRecordName).c_str()) != 0) {
    ::unlinkat(folder, temporary.c_str(), 0);
  }
}

// Opens the shortcut folder, making it when missing (not its parents). A link in its place is refused: the
// shortcuts would land, and old ones be looked for, wherever it leads.
int OpenFolder(const std::filesystem::path& folder, ShortcutListResult& result) {
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) {
    if (errno != ENOENT || ::mkdir(folder.c_str(), 0777) != 0) {
      result.folder_failure = Failure(folder, SystemReason(errno));
      return -1;
    }
  } else if (S_ISLNK(info.st_mode)) {
    result.folder_is_link = true;
    result.folder_failure = Failure(folder, "a symbolic link; nothing was written there or removed");
    return -1;
  } else if (!S_ISDIR(info.st_mode)) {
    // A file of that name is not ours to replace.
    result.folder_failure = Failure(folder, "a file of that name is in the way");
    return -1;
  }
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    result.folder_is_link = errno == ELOOP;
    result.folder_failure =
        Failure(folder, errno == ELOOP ? "a symbolic link; nothing was written there or removed" : SystemReason(errno));
  }
  return fd;
}

// The names of everything in the folder but the record; false when it could not be listed whole.
bool ListFolder(int folder, std::vector<std::string>& names) {
  DIR* listing = ::fdopendir(::dup(folder));
  if (listing == nullptr) return false;
  errno = 0;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != ".." && name != kShortcutRecordName) names.emplace_back(name);
    errno = 0;
  }
  const bool listed = errno == 0;
  ::closedir(listing);
  return listed;
}

// True when the entry `name` is a shortcut the record lists, still the same link to the same photo.
bool IsOurs(int folder, const std::string& name, const std::unordered_map<std::string, MadeShortcut>& recorded) {
  const auto record = recorded.find(name);
  if (record == recorded.end()) return false;
  const std::optional<MadeShortcut> link = LinkAt(folder, name);
  return link && link->inode == record->second.inode && link->changed_ns == record->second.changed_ns &&
         link->target == record->second.target;
}

// A temporary name for `name` that nothing in the folder holds and no new shortcut will take.
std::string TemporaryName(const std::string& name, const std::unordered_set<std::string>& occupied) {
  std::string temporary;
  for (int attempt = 0; temporary.empty() || occupied.contains(FoldedName(temporary)); ++attempt) {
    temporary = std::string(kTemporaryPrefix);
    if (attempt > 0) temporary.append(std::to_string(attempt));
    temporary.append("-").append(name);
  }
  return temporary;
}

}  // namespace

std::filesystem::path ShortcutFolderPath(const std::filesystem::path& program_folder) {
  return program_folder / "TEMP";
}

std::vector<std::string> ShortcutNames(const std::vector<std::string>& photo_paths,
                                       const std::vector<std::string>& taken) {
  std::unordered_set<std::string> used;
  for (const std::string& name : taken) used.insert(FoldedName(name));
  // The next number to try for each photo name, so that many photos of one name cost no more than one.
  std::unordered_map<std::string, int> next_number;
  std::vector<std::string> names;
  names.reserve(photo_paths.size());
  for (const std::string& path : photo_paths) {
    const std::string photo_name = std::filesystem::path(path).filename().string();
    int& number = next_number.try_emplace(FoldedName(photo_name), 1).first->second;
    std::string name = NumberedName(photo_name, number);
    while (!used.insert(FoldedName(name)).second) name = NumberedName(photo_name, ++number);
    ++number;
    names.push_back(std::move(name));
  }
  return names;
}

ShortcutListResult MakeShortcutList(const std::filesystem::path& folder, const std::vector<std::string>& photo_paths) {
  ShortcutListResult result;
  const Descriptor folder_fd(OpenFolder(folder, result));
  if (folder_fd.get() < 0) return result;
  const int dir = folder_fd.get();

  // Our shortcuts of earlier uses, as the record lists them and as they still are; every other name
  // belongs to something else. Without the whole listing a new shortcut might land on a file not ours.
  std::vector<std::string> entries;
  if (!ListFolder(dir, entries)) {
    result.folder_failure = Failure(folder, SystemReason(errno));
    return result;
  }
  std::unordered_map<std::string, MadeShortcut> recorded;
  for (MadeShortcut& shortcut : ReadRecord(dir)) recorded.insert_or_assign(shortcut.name, std::move(shortcut));
  std::vector<std::string> old_shortcuts;
  std::vector<std::string> taken;
  for (const std::string& name : entries) (IsOurs(dir, name, recorded) ? old_shortcuts : taken).push_back(name);

  const std::vector<std::string> names = ShortcutNames(photo_paths, taken);
  const std::unordered_set<std::string> new_names(names.begin(), names.end());
  std::unordered_set<std::string> occupied;  // folded: every name that a temporary one must not take
  for (const std::string& name : entries) occupied.insert(FoldedName(name));
  for (const std::string& name : names) occupied.insert(FoldedName(name));
  // Shortcuts of an earlier use that this one does not replace by name. One that cannot be removed stays
  // in the record, to be removed at the next use.
  std::vector<MadeShortcut> made;
  for (const std::string& name : old_shortcuts) {
    if (!new_names.contains(name) && ::unlinkat(dir, name.c_str(), 0) != 0) made.push_back(recorded[name]);
  }

  for (size_t i = 0; i < names.size(); ++i) {
    const std::string temporary = TemporaryName(names[i], occupied);
    if (::symlinkat(photo_paths[i].c_str(), dir, temporary.c_str()) != 0) {
      result.failures.push_back(Failure(folder / names[i], SystemReason(errno)));
      continue;
    }
    if (::renameat(dir, temporary.c_str(), dir, names[i].c_str()) != 0) {
      result.failures.push_back(Failure(folder / names[i], SystemReason(errno)));
      ::unlinkat(dir, temporary.c_str(), 0);
      continue;
    }
    if (std::optional<MadeShortcut> link = LinkAt(dir, names[i])) made.push_back(std::move(*link));
    ++result.made;
  }
  WriteRecord(dir, made);
  return result;
}

}  // namespace lumetra
