#include "survey/WalkFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <set>
#include <string>
#include <system_error>
#include <utility>

#include "files/OverwriteOwnFile.h"
#include "files/ReplaceFile.h"
#include "survey/PhotoFormats.h"

namespace lumetra {
namespace detail {
namespace {

// Simple uppercase mapping of one BMP code unit, for the scripts photographers name folders in.
char16_t Upcase(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if (c < 0x80) return c;
  if (c == 0x00B5) return 0x039C;  // micro sign -> capital mu
  if (c >= 0x00E0 && c <= 0x00FE && c != 0x00F7) return static_cast<char16_t>(c - 0x20);
  if (c == 0x00FF) return 0x0178;
  if (c >= 0x0100 && c <= 0x017F) {
    if (c == 0x0131) return u'I';  // dotless i
    if (c == 0x017F) return u'S';  // long s
    if (c == 0x0130 || c == 0x0138 || c == 0x0149 || c == 0x0178) return c;
    // Pairs start on an even code point except in U+0139..U+0148 and U+0179..U+017E.
    const bool odd_start = (c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E);
    const bool is_lower = odd_start ? (c % 2 == 0) : (c % 2 == 1);
    return is_lower ? static_cast<char16_t>(c - 1) : c;
  }
  if (c >= 0x03AC && c <= 0x03CE) {
    if (c == 0x03AC) return 0x0386;
    if (c <= 0x03AF) return static_cast<char16_t>(c - 0x25);
    if (c == 0x03B0) return c;
    if (c == 0x03C2) return 0x03A3;  // final sigma
    if (c <= 0x03CB) return static_cast<char16_t>(c - 0x20);
    if (c == 0x03CC) return 0x038C;
    return static_cast<char16_t>(c - 0x3F);  // U+03CD, U+03CE
  }
  if (c >= 0x0430 && c <= 0x044F) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x0450 && c <= 0x045F) return static_cast<char16_t>(c - 0x50);
  return c;
}

// Length of the well-formed UTF-8 sequence at text[pos] and its code point; 0 when the bytes there are
// not one (stray continuation byte, overlong form, surrogate, beyond U+10FFFF, cut short).
size_t DecodeUtf8(std::string_view text, size_t pos, char32_t& code_point) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    code_point = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (length > text.size() - pos) return 0;
  for (size_t i = 1; i < length; ++i) {
    const unsigned char next = byte(pos + i);
    if ((next & 0xC0) != 0x80) return 0;
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  code_point = value;
  return length;
}

}  // namespace

bool HasJpgExtension(std::string_view name) { return PhotoFileKindOf(name) == PhotoFileKind::kJpeg; }

std::u16string ListingKey(std::string_view name) {
  std::u16string key;
  key.reserve(name.size());
  size_t pos = 0;
  while (pos < name.size()) {
    char32_t code_point = 0;
    const size_t length = DecodeUtf8(name, pos, code_point);
    if (length == 0) {
      key.push_back(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(name[pos])));
      ++pos;
      continue;
    }
    pos += length;
    if (code_point < 0x10000) {
      key.push_back(Upcase(static_cast<char16_t>(code_point)));
    } else {
      const char32_t offset = code_point - 0x10000;
      key.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
      key.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
    }
  }
  return key;
}

bool ListingOrderLess(std::string_view a, std::string_view b) {
  const std::u16string key_a = ListingKey(a);
  const std::u16string key_b = ListingKey(b);
  if (key_a != key_b) return key_a < key_b;
  return a < b;
}

}  // namespace detail

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

struct Entry {
  std::string name;
  std::u16string key;
  unsigned char type = DT_UNKNOWN;
};

struct FolderId {
  dev_t device = 0;
  ino_t inode = 0;
  auto operator<=>(const FolderId&) const = default;
};

enum class EntryKind { kRegular, kDirectory, kOther, kUnknown };

// File systems made up by the kernel: their trees are endless or huge (/proc/self/root leads back to "/")
// and hold no photos.
bool IsVirtualFileSystem(int folder_fd) {
  struct statfs info {};
  if (::fstatfs(folder_fd, &info) != 0) return false;
  constexpr decltype(info.f_type) kVirtual[] = {
      0x9fa0,      // proc
      0x62656572,  // sysfs
      0x64626720,  // debugfs
      0x74726163,  // tracefs
      0x73636673,  // securityfs
      0x27e0eb,    // cgroup
      0x63677270,  // cgroup2
      0x1cd1,      // devpts
      0x6165676c,  // pstore
      0xcafe4a11,  // bpf
      0x62656570,  // configfs
      0xde5e81e4,  // efivarfs
      0xf97cff8c,  // selinuxfs
      0x42494e4d,  // binfmt_misc
      0x65735543,  // fusectl
      0x19800202,  // mqueue
  };
  return std::find(std::begin(kVirtual), std::end(kVirtual), info.f_type) != std::end(kVirtual);
}

// One walk: the options and hooks, the folders walked so far, the clock of the event calls and the trace
// file.
class Walker {
 public:
  Walker(const WalkOptions& options, const WalkHooks& hooks, const std::atomic<bool>& stop_requested)
      : options_(options), hooks_(hooks), stop_requested_(stop_requested) {}

  void Walk(std::string folder);
  WalkResult TakeResult() { return std::move(result_); }

 private:
  [[nodiscard]] bool StopSeen();
  [[nodiscard]] std::chrono::steady_clock::time_point Now() const;
  void ProcessEvents(const std::string& folder);
  void ProcessEventsWhenDue(const std::string& folder);
  [[nodiscard]] bool Walked(const FolderId& id) const { return walked_.contains(id); }
  [[nodiscard]] bool List(const std::string& folder, std::vector<Entry>& entries);
  [[nodiscard]] std::set<std::u16string> JpegPhotoBases(const std::string& folder,
                                                        const std::vector<Entry>& entries) const;
  [[nodiscard]] bool Takes(const Entry& entry, const std::set<std::u16string>& jpeg_bases) const;
  void AnnouncePhotos(const std::string& folder, const std::vector<Entry>& entries,
                      const std::set<std::u16string>& jpeg_bases);
  void SkipFolder(const std::string& folder, int error);
  void ReadPhoto(const std::string& path);
  void TraceFailed(const char* what, std::string reason = {});

  const WalkOptions& options_;
  const WalkHooks& hooks_;
  const std::atomic<bool>& stop_requested_;
  WalkResult result_;
  // Every folder listed so far: one reached again through a link is not walked twice, so that links
  // cannot multiply the photos or make the walk exponential.
  std::set<FolderId> walked_;
  std::chrono::steady_clock::time_point last_events_{};
  // The names handed to `photos_listed`, kept so that its storage is reused from folder to folder.
  std::vector<std::string_view> listed_photos_;
};

// kUnknown, with errno set, when the entry could not be looked at.
EntryKind KindOf(const std::string& path, unsigned char type, FolderId* id) {
  if (type == DT_REG) return EntryKind::kRegular;
  // Directories are looked at too: a bind mount of a folder higher up is a DT_DIR with that folder's inode.
  if (type != DT_DIR && type != DT_LNK && type != DT_UNKNOWN) return EntryKind::kOther;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return EntryKind::kUnknown;
  if (S_ISREG(info.st_mode)) return EntryKind::kRegular;
  if (!S_ISDIR(info.st_mode)) return EntryKind::kOther;
  if (id != nullptr) *id = FolderId{info.st_dev, info.st_ino};
  return EntryKind::kDirectory;
}

bool Walker::StopSeen() {
  if (stop_requested_.load()) result_.stopped = true;
  return result_.stopped;
}

std::chrono::steady_clock::time_point Walker::Now() const {
  return hooks_.now ? hooks_.now() : std::chrono::steady_clock::now();
}

void Walker::ProcessEvents(const std::string& folder) {
  if (hooks_.process_events) hooks_.process_events(folder);
  last_events_ = Now();
}

void Walker::ProcessEventsWhenDue(const std::string& folder) {
  if (Now() - last_events_ >= options_.event_interval) ProcessEvents(folder);
}

void Walker::SkipFolder(const std::string& folder, int error) {
  // Nothing listed yet: this is the starting folder, since sub-folders are only reached through it.
  if (walked_.empty()) result_.root_unreadable = true;
  result_.skipped_folders.push_back(folder);
  result_.skipped.push_back(SkippedEntry{.path = folder, .reason = SystemReason(error)});
}

// Reads the whole listing of `folder` and marks the folder walked; false when it cannot be listed, is on
// a virtual file system, was walked before, or Stop was seen while listing.
bool Walker::List(const std::string& folder, std::vector<Entry>& entries) {
  const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
  struct stat info {};
  if (!dir || ::fstat(::dirfd(dir.get()), &info) != 0) {
    SkipFolder(folder, errno);
    return false;
  }
  const FolderId id{info.st_dev, info.st_ino};
  // Checked before entering too; this catches a folder swapped for a link between that check and here.
  if (Walked(id)) return false;
  if (IsVirtualFileSystem(::dirfd(dir.get()))) {
    result_.skipped.push_back(SkippedEntry{.path = folder, .reason = "a virtual file system"});
    return false;
  }
  for (errno = 0; const dirent* entry = ::readdir(dir.get()); errno = 0) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") {
      entries.push_back(Entry{std::string(name), detail::ListingKey(name), entry->d_type});
    }
    ProcessEventsWhenDue(folder);
    if (StopSeen()) return false;
  }
  if (errno != 0) {
    // A listing broken off part-way would hand over some entries and silently drop the rest.
    SkipFolder(folder, errno);
    return false;
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    if (a.key != b.key) return a.key < b.key;
    return a.name < b.name;
  });
  walked_.insert(id);
  return true;
}

// The base names, as listing keys, of the JPEG files of a folder that the walk will read as photos. A
// folder named x.jpg stands for no RAW file.
std::set<std::u16string> Walker::JpegPhotoBases(const std::string& folder, const std::vector<Entry>& entries) const {
  std::set<std::u16string> bases;
  if (options_.formats != PhotoFormats::kAll) return bases;
  for (const Entry& entry : entries) {
    if (PhotoFileKindOf(entry.name) != PhotoFileKind::kJpeg) continue;
    if (KindOf(folder + entry.name, entry.type, nullptr) != EntryKind::kRegular) continue;
    bases.insert(detail::ListingKey(BaseName(entry.name)));
  }
  return bases;
}

// Whether the walk takes the entry as a photo file by its name: one of the formats taken, and no RAW file
// beside a JPEG of the same base name.
bool Walker::Takes(const Entry& entry, const std::set<std::u16string>& jpeg_bases) const {
  const PhotoFileKind file_kind = PhotoFileKindOf(entry.name);
  if (!SurveyTakes(options_.formats, file_kind)) return false;
  return file_kind != PhotoFileKind::kRaw || !jpeg_bases.contains(detail::ListingKey(BaseName(entry.name)));
}

// Only entries the listing calls regular files are named: every one of them is handed to `photo` without a
// further look, so a reader ahead of the walk never opens a FIFO or a folder.
void Walker::AnnouncePhotos(const std::string& folder, const std::vector<Entry>& entries,
                            const std::set<std::u16string>& jpeg_bases) {
  if (!hooks_.photos_listed) return;
  listed_photos_.clear();
  for (const Entry& entry : entries) {
    if (entry.type == DT_REG && Takes(entry, jpeg_bases)) listed_photos_.push_back(entry.name);
  }
  hooks_.photos_listed(folder, listed_photos_);
}

void Walker::Walk(std::string folder) {
  if (folder.empty()) {
    SkipFolder(folder, ENOENT);
    return;
  }
  if (folder.back() != '/') folder += '/';
  ProcessEvents(folder);
  if (StopSeen()) return;

  std::vector<Entry> entries;
  if (!List(folder, entries)) return;

  const std::set<std::u16string> jpeg_bases = JpegPhotoBases(folder, entries);
  AnnouncePhotos(folder, entries, jpeg_bases);
  for (const Entry& entry : entries) {
    if (!Takes(entry, jpeg_bases)) continue;
    if (StopSeen()) return;
    const std::string path = folder + entry.name;
    const EntryKind kind = KindOf(path, entry.type, nullptr);
    if (kind == EntryKind::kRegular) ReadPhoto(path);
    // A link that leads nowhere or in a circle is not a photo that could not be read.
    if (kind == EntryKind::kUnknown && (entry.type != DT_LNK || (errno != ENOENT && errno != ELOOP))) {
      result_.skipped.push_back(SkippedEntry{.path = path, .reason = SystemReason(errno)});
    }
    ++result_.entries;
    if (hooks_.entry_done) hooks_.entry_done(path);
    ProcessEventsWhenDue(folder);
  }

  if (!options_.cb_SubFolders) return;
  for (const Entry& entry : entries) {
    if (StopSeen()) return;
    const std::string path = folder + entry.name;
    FolderId id;
    const EntryKind kind = KindOf(path, entry.type, &id);
    if (kind == EntryKind::kDirectory && !Walked(id)) Walk(path + '/');
    // Only an entry known to be a folder is reported: any other could be a file of any name.
    if (kind == EntryKind::kUnknown && entry.type == DT_DIR) {
      result_.skipped.push_back(SkippedEntry{.path = path + '/', .reason = SystemReason(errno)});
    }
    ProcessEventsWhenDue(folder);
  }
}

// The trace file is a plain POSIX descriptor so that the path reaches the disk before the photo is read:
// when the reader brings the program down, "test.txt" names the photo without " +" behind it.
class TraceFile {
 public:
  TraceFile() = default;
  TraceFile(const TraceFile&) = delete;
  TraceFile& operator=(const TraceFile&) = delete;
  ~TraceFile() { Abandon(); }

  // Refuses a link, a FIFO or a device under the trace's name, so a run neither writes elsewhere nor
  // waits for a reader; `reason` says why.
  [[nodiscard]] bool Create(const std::string& path, std::string& reason) {
    OwnFileOverwrite opened = OverwriteOwnFile(path);
    fd_ = opened.fd;
    reason = std::move(opened.reason);
    return fd_ >= 0;
  }
  [[nodiscard]] bool Write(std::string_view text) { return WriteAll(fd_, text) == 0; }
  // A trace sent to a device that cannot be synchronized (EINVAL) has still been written.
  [[nodiscard]] bool Flush() { return ::fdatasync(fd_) == 0 || errno == EINVAL; }
  [[nodiscard]] bool Close() { return ::close(std::exchange(fd_, -1)) == 0; }
  // Releases the descriptor after a failure that has already been reported.
  void Abandon() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
  }
  [[nodiscard]] bool IsOpen() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

void Walker::TraceFailed(const char* what, std::string reason) {
  const int error = errno;
  if (!result_.trace_failure.empty()) return;
  if (reason.empty()) reason = std::error_code(error, std::generic_category()).message();
  result_.trace_failure = "cannot " + std::string(what) + " " + options_.trace_path + ": " + reason;
  if (hooks_.trace_failed) hooks_.trace_failed(result_.trace_failure);
}

void Walker::ReadPhoto(const std::string& path) {
  TraceFile trace;
  if (!options_.trace_path.empty()) {
    if (std::string reason; !trace.Create(options_.trace_path, reason)) {
      TraceFailed("create", std::move(reason));
    } else if (!trace.Write(path) || !trace.Flush()) {
      TraceFailed("write");
      trace.Abandon();
    }
  }
  ++result_.photos;
  if (hooks_.photo) hooks_.photo(path);
  if (!trace.IsOpen()) return;
  if (!trace.Write(" +\r\n")) {
    TraceFailed("write");
  } else if (!trace.Close()) {
    TraceFailed("close");
  }
}

}  // namespace

WalkResult WalkFolder(const std::string& folder, const WalkOptions& options, const WalkHooks& hooks,
                      const std::atomic<bool>& stopRequested) {
  Walker walker(options, hooks, stopRequested);
  walker.Walk(folder);
  return walker.TakeResult();
}

}  // namespace lumetra
