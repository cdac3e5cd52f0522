#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "survey/PhotoFormats.h"

namespace lumetra {

/// How a walk runs.
struct WalkOptions {
  /// Walk the sub-folders too ("Search in subfolders").
  bool cb_SubFolders = true;
  /// The photo files taken: JPEG only, or also HEIC/HEIF, AVIF and RAW. A RAW file beside a JPEG of the
  /// same base name (IMG_0001.CR2 and IMG_0001.JPG, compared as the listing compares names, ignoring case)
  /// is passed over: the camera wrote one photo twice, and the JPEG stands for it.
  PhotoFormats formats = PhotoFormats::kJpeg;
  /// Trace mode: the file that names the photo being read ("test.txt" in the program's folder). Before a
  /// photo is read the file is created anew holding its path without a line end, flushed to disk; after
  /// the photo, " +" and CR LF are appended. Empty: no trace.
  std::string trace_path;
  /// Longest time between two calls of `process_events` while a folder is listed and its entries handled.
  std::chrono::steady_clock::duration event_interval = std::chrono::milliseconds(100);
};

/// What a walk calls; every hook may be left empty. Paths are the folder path as given, a "/" added when
/// it lacks one, followed by the entry names: "/photos" gives "/photos/a.jpg" and "/photos/sub/".
struct WalkHooks {
  /// Called on entering each folder (with its path, ending in "/") before it is listed, and again between
  /// entries once `event_interval` has passed since the last call. The interface processes its pending
  /// events here; a Stop clicked here is seen before the walk starts another entry.
  std::function<void(const std::string& folder)> process_events;
  /// Reads one photo: called for each regular file (directory links followed) whose name the walk takes: one
  /// ending in ".jpg" or ".jpeg", any case, and with `PhotoFormats::kAll` the other extensions of
  /// `PhotoFileKind`. Never called for a directory, FIFO, device or socket, nor for a link that leads nowhere.
  std::function<void(const std::string& path)> photo;
  /// Called once a folder is listed, before any of its entries is handled, with the names of the entries the walk
  /// will hand to `photo` without looking at them again (regular files by the listing's own account, of the photo
  /// formats taken), in the order it will, unless Stop ends the walk first. A link or an entry of unknown type may
  /// still become a photo without being named here. The names stay valid until the walk turns to the folder's
  /// sub-folders; readers ahead of the walk take their work from here, so the tree is listed once.
  std::function<void(const std::string& folder, const std::vector<std::string_view>& names)> photos_listed;
  /// Called after every entry whose name the walk takes, whether or not it was read as a photo (a sub-folder
  /// named x.jpg included): the status texts are rewritten here. A RAW file passed over for its JPEG is no
  /// entry.
  std::function<void(const std::string& path)> entry_done;
  /// Called once in a walk, at the first failure to create, write or close the trace file, with the
  /// trace file's path and the system's reason. The walk goes on and keeps trying to trace.
  std::function<void(const std::string& message)> trace_failed;
  /// The clock for `event_interval`; empty: std::chrono::steady_clock::now.
  std::function<std::chrono::steady_clock::time_point()> now;
};

/// An entry the walk passed over without reading it, and the reason ("Permission denied", "a virtual file
/// system").
struct SkippedEntry {
  /// A folder's path ends in "/".
  std::string path;
  std::string reason;
  bool operator==(const SkippedEntry&) const = default;
};

/// What a walk did.
struct WalkResult {
  /// The walk saw `stopRequested` set and ended before handling every entry.
  bool stopped = false;
  /// Entries whose name the walk takes (each got one `entry_done`), and those read as photos.
  int64_t entries = 0;
  int64_t photos = 0;
  /// The starting folder itself could not be listed (missing, unreadable, path too long, an empty path):
  /// nothing was walked, and the survey has no result to show.
  bool root_unreadable = false;
  /// Folders that could not be listed (missing, unreadable, path too long), ending in "/"; the first is
  /// the starting folder itself when it could not be listed. An empty starting path is never walked.
  std::vector<std::string> skipped_folders;
  /// Every folder and file the walk passed over, in walk order: the folders of `skipped_folders`, folders
  /// on a virtual file system, and entries that could not be looked at (a sub-folder or photo that
  /// vanished, a path too long). Folders already walked and entries that are not files (FIFOs, devices,
  /// links that lead nowhere) are not listed. Photos the `photo` hook could not open are its caller's.
  std::vector<SkippedEntry> skipped;
  /// The first trace failure, as passed to `trace_failed`; empty when the trace was written throughout.
  std::string trace_failure;
};

/// Visits `folder` and, with `cb_SubFolders`, its sub-folders, depth-first: in each folder first the
/// entries whose name the walk takes (see `WalkOptions::formats`; any case, hidden ones included), then the
/// sub-folders, each in
/// listing order (see detail::ListingOrderLess) and each finished before the next starts. Directory links
/// are followed, but a folder already walked in this walk (same device and inode), however it is reached,
/// is not walked again, and folders on virtual file systems (proc, sysfs, ...) are not entered. Photos are
/// counted per entry: two hard links of one file are two photos. A folder that cannot be listed is skipped.
///
/// `stopRequested` belongs to the caller, who clears it before the run; the walk tests it before every
/// entry of every listing, including the first one after entering a folder, and once it is set starts
/// nothing new: the entry in progress is finished and every open listing ends.
[[nodiscard]] WalkResult WalkFolder(const std::string& folder, const WalkOptions& options, const WalkHooks& hooks,
                                    const std::atomic<bool>& stopRequested);

namespace detail {

/// Whether `name` ends in ".jpg" or ".jpeg" in any mix of upper and lower case.
[[nodiscard]] bool HasJpgExtension(std::string_view name);

/// The key names are listed by: the name as UTF-16 code units, each upper-cased by the Unicode simple
/// uppercase mapping for Basic Latin, Latin-1, Latin Extended-A, the Greek letters and Cyrillic
/// U+0400..U+045F (others stay as they are). Characters beyond U+FFFF become surrogate pairs; a byte
/// that is not part of well-formed UTF-8 becomes the code unit 0xDC00 + byte.
[[nodiscard]] std::u16string ListingKey(std::string_view name);

/// The order in which a folder is listed, as NTFS lists names: by ListingKey compared code unit by code
/// unit (ordinal, case-insensitive), and names with equal keys by their bytes, so that "a.jpg" and
/// "A.JPG" side by side keep one fixed order.
[[nodiscard]] bool ListingOrderLess(std::string_view a, std::string_view b);

}  // namespace detail

}  // namespace lumetra
