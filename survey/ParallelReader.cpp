#include "survey/ParallelReader.h"

#include <algorithm>
#include <cstddef>
#include <exception>
#include <iterator>
#include <utility>

#include "metadata/FileIdentity.h"
#include "survey/WalkFolder.h"

namespace lumetra {

struct ParallelReader::Slot {
  enum class State { kQueued, kReading, kDone };
  explicit Slot(std::string p) : path(std::move(p)) {}
  const std::string path;
  State state = State::kQueued;
  PhotoTags tags;
  std::exception_ptr error;
};

ParallelReader::ParallelReader(const std::string& folder, const WalkOptions& walk, unsigned threads, ReadFunction read)
    : read_(std::move(read)), capacity_(kFilesAheadPerThread * std::max(threads, 1u)) {
  // The scout only lists: it neither traces nor waits on the interface.
  WalkOptions scout;
  scout.cb_SubFolders = walk.cb_SubFolders;
  scout.formats = walk.formats;
  try {
    threads_.emplace_back([this, folder, scout] { Scout(folder, scout); });
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

// The scout is a walk of its own, with the same listing order, sub-folder option, photo formats and loop
// guard as the survey's walk, so it meets the photos in the same order; its only hook queues them, a batch
// at a time.
void ParallelReader::Scout(const std::string& folder, WalkOptions options) {
  std::vector<std::string> batch;
  batch.reserve(kBatch);
  WalkHooks hooks;
  hooks.photo = [&](const std::string& path) {
    batch.push_back(path);
    if (batch.size() >= kBatch) Queue(batch);
  };
  try {
    static_cast<void>(WalkFolder(folder, options, hooks, cancelled_));
    Queue(batch);
  } catch (...) {
    // A scout that fails only stops reading ahead: the walk reads the rest itself.
  }
  {
    const std::lock_guard lock(mutex_);
    scout_done_ = true;
  }
  photo_ready_.notify_one();
}

void ParallelReader::Queue(std::vector<std::string>& paths) {
  if (paths.empty()) return;
  std::unique_lock lock(mutex_);
  if (window_.size() >= capacity_) {
    // A walk that waits for a photo not in the window must learn that no more are coming for now.
    scout_waiting_ = true;
    if (walk_waiting_) photo_ready_.notify_one();
    room_made_.wait(lock, [this] { return cancelled_ || RoomForScout(); });
    scout_waiting_ = false;
  }
  if (cancelled_) return;
  for (std::string& path : paths) window_.push_back(std::make_shared<Slot>(std::move(path)));
  paths.clear();
  const bool wake_workers = idle_workers_ > 0;
  const bool wake_walk = walk_waiting_;
  lock.unlock();
  if (wake_workers) work_queued_.notify_all();
  if (wake_walk) photo_ready_.notify_one();
}

void ParallelReader::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    std::shared_ptr<Slot> slot;
    const auto find_queued = [&] {
      const auto queued =
          std::find_if(window_.begin(), window_.end(), [](const auto& s) { return s->state == Slot::State::kQueued; });
      if (queued != window_.end()) slot = *queued;
      return slot != nullptr;
    };
    if (!find_queued()) {
      ++idle_workers_;
      work_queued_.wait(lock, [&] { return cancelled_ || find_queued(); });
      --idle_workers_;
    }
    if (cancelled_) return;
    slot->state = Slot::State::kReading;
    lock.unlock();
    PhotoTags tags;
    std::exception_ptr error;
    try {
      tags = read_(slot->path);
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    // The slot may have been dropped from the window meanwhile; it is then simply let go.
    slot->tags = std::move(tags);
    slot->error = error;
    slot->state = Slot::State::kDone;
    if (walk_waiting_ && BatchRead()) photo_ready_.notify_one();
  }
}

size_t ParallelReader::ReadAtFront() const {
  const auto unread =
      std::find_if(window_.begin(), window_.end(), [](const auto& s) { return s->state != Slot::State::kDone; });
  return static_cast<size_t>(unread - window_.begin());
}

bool ParallelReader::BatchRead() const { return !window_.empty() && ReadAtFront() >= std::min(kBatch, window_.size()); }

PhotoTags ParallelReader::Take(const std::string& path) {
  // The photos taken last time come first; one the walk passes by (it vanished or stopped being a file
  // since the scout met it) is dropped.
  const auto in_taken =
      std::find_if(taken_.begin(), taken_.end(), [&](const auto& slot) { return slot->path == path; });
  if (in_taken != taken_.end()) {
    taken_.erase(taken_.begin(), in_taken);
    const std::shared_ptr<Slot> slot = std::move(taken_.front());
    taken_.pop_front();
    return Finish(*slot, path);
  }
  taken_.clear();

  std::unique_lock lock(mutex_);
  auto found = window_.end();
  walk_waiting_ = true;
  photo_ready_.wait(lock, [&] {
    found = std::find_if(window_.begin(), window_.end(), [&](const auto& slot) { return slot->path == path; });
    // A scout that waits for room while there is room is about to go on.
    return found != window_.end() || scout_done_ || (scout_waiting_ && !RoomForScout());
  });
  if (found == window_.end()) {
    walk_waiting_ = false;
    // The scout did not meet this file: the tree changed between the two walks' listings. The window then
    // holds files the walk passed by or meets in another order; it is dropped so that the scout moves on.
    window_.clear();
    lock.unlock();
    room_made_.notify_one();
    return read_(path);
  }
  // Photos queued before this one are files the walk did not read.
  window_.erase(window_.begin(), found);
  photo_ready_.wait(lock, [this] { return BatchRead(); });
  walk_waiting_ = false;
  const auto read_end = window_.begin() + static_cast<std::ptrdiff_t>(ReadAtFront());
  std::move(window_.begin(), read_end, std::back_inserter(taken_));
  window_.erase(window_.begin(), read_end);
  const bool room = scout_waiting_ && RoomForScout();
  lock.unlock();
  if (room) room_made_.notify_one();
  const std::shared_ptr<Slot> slot = std::move(taken_.front());
  taken_.pop_front();
  return Finish(*slot, path);
}

PhotoTags ParallelReader::Finish(Slot& slot, const std::string& path) {
  if (slot.error) std::rethrow_exception(slot.error);
  // The read took the file's identity from the file it opened; one stat by path tells whether the name
  // still leads to that file, unchanged.
  if (!slot.tags.file.found || !(slot.tags.file == IdentityOfPath(path))) return read_(path);
  return std::move(slot.tags);
}

}  // namespace lumetra
