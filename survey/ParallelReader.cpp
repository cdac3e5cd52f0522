#include "survey/ParallelReader.h"

#include <sys/stat.h>

#include <algorithm>
#include <exception>
#include <utility>

#include "survey/WalkFolder.h"

namespace lumetra {
namespace {

// Which file a path named when it was read: another file put under the name, a rewrite or a removal
// since then makes the read-ahead stale.
struct FileStamp {
  bool found = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  int64_t modified_s = 0;
  int64_t modified_ns = 0;
  bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  return {true, info.st_dev, info.st_ino, info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

}  // namespace

struct ParallelReader::Slot {
  enum class State { kQueued, kReading, kDone };
  explicit Slot(std::string p) : path(std::move(p)) {}
  const std::string path;
  State state = State::kQueued;
  FileStamp stamp;
  PhotoTags tags;
  std::exception_ptr error;
};

ParallelReader::ParallelReader(const std::string& folder, bool sub_folders, unsigned threads, ReadFunction read)
    : read_(std::move(read)), capacity_(kFilesAheadPerThread * std::max(threads, 1u)) {
  try {
    threads_.emplace_back([this, folder, sub_folders] { Scout(folder, sub_folders); });
    for (unsigned i = 0; i < std::max(threads, 1u); ++i) threads_.emplace_back([this] { Work(); });
  } catch (...) {
    Shutdown();
    throw;
  }
}

ParallelReader::~ParallelReader() { Shutdown(); }

void ParallelReader::Shutdown() {
  {
    const std::lock_guard lock(mutex_);
    cancelled_ = true;
  }
  work_queued_.notify_all();
  room_made_.notify_all();
  photo_ready_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
}

// The scout is a walk of its own, with the same listing order, sub-folder option and loop guard as the
// survey's walk, so it meets the photos in the same order; its only hook queues them.
void ParallelReader::Scout(const std::string& folder, bool sub_folders) {
  WalkOptions options;
  options.cb_SubFolders = sub_folders;
  WalkHooks hooks;
  hooks.photo = [this](const std::string& path) { Queue(path); };
  try {
    static_cast<void>(WalkFolder(folder, options, hooks, cancelled_));
  } catch (...) {
    // A scout that fails only stops reading ahead: the walk reads the rest itself.
  }
  {
    const std::lock_guard lock(mutex_);
    scout_done_ = true;
  }
  photo_ready_.notify_one();
}

void ParallelReader::Queue(const std::string& path) {
  std::unique_lock lock(mutex_);
  if (window_.size() >= capacity_) {
    // A walk that waits for a photo not in the window must learn that no more are coming for now.
    scout_waiting_ = true;
    photo_ready_.notify_one();
    room_made_.wait(lock, [this] { return cancelled_ || RoomForScout(); });
    scout_waiting_ = false;
  }
  if (cancelled_) return;
  window_.push_back(std::make_shared<Slot>(path));
  lock.unlock();
  work_queued_.notify_one();
  photo_ready_.notify_one();
}

void ParallelReader::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    std::shared_ptr<Slot> slot;
    work_queued_.wait(lock, [&] {
      if (cancelled_) return true;
      const auto queued =
          std::find_if(window_.begin(), window_.end(), [](const auto& s) { return s->state == Slot::State::kQueued; });
      if (queued != window_.end()) slot = *queued;
      return slot != nullptr;
    });
    if (cancelled_) return;
    slot->state = Slot::State::kReading;
    lock.unlock();
    // Stamped before the read: a change during the read makes the stamp stale too.
    FileStamp stamp = StampOf(slot->path);
    PhotoTags tags;
    std::exception_ptr error;
    try {
      tags = read_(slot->path);
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    // The slot may have been dropped from the window meanwhile; it is then simply let go.
    slot->stamp = stamp;
    slot->tags = std::move(tags);
    slot->error = error;
    slot->state = Slot::State::kDone;
    photo_ready_.notify_one();
  }
}

PhotoTags ParallelReader::Take(const std::string& path) {
  std::unique_lock lock(mutex_);
  auto found = window_.end();
  photo_ready_.wait(lock, [&] {
    found = std::find_if(window_.begin(), window_.end(), [&](const auto& slot) { return slot->path == path; });
    // A scout that waits for room while there is room is about to go on.
    return found != window_.end() || scout_done_ || (scout_waiting_ && !RoomForScout());
  });
  if (found == window_.end()) {
    // The scout did not meet this file: the tree changed between the two walks' listings. The window then
    // holds files the walk passed by or meets in another order; it is dropped so that the scout moves on.
    window_.clear();
    lock.unlock();
    room_made_.notify_one();
    return read_(path);
  }
  // Photos queued before this one are files the walk did not read (they vanished or stopped being files).
  window_.erase(window_.begin(), found);
  photo_ready_.wait(lock, [&] { return window_.front()->state == Slot::State::kDone; });
  const std::shared_ptr<Slot> slot = std::move(window_.front());
  window_.pop_front();
  const bool room = RoomForScout();
  lock.unlock();
  if (room) room_made_.notify_one();
  if (slot->error) std::rethrow_exception(slot->error);
  if (!slot->stamp.found || !(slot->stamp == StampOf(path))) return read_(path);
  return std::move(slot->tags);
}

}  // namespace lumetra
