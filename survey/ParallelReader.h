#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "survey/PhotoTags.h"
#include "survey/WalkFolder.h"

namespace lumetra {

/// Reads the photos of a folder walk ahead of it, on worker threads, and hands them back in walk order.
///
/// A scout thread walks the same folder as the survey's own walk and queues the path of every photo it
/// meets; worker threads read the queued photos; the walk, when it reaches a photo, takes that photo's
/// tags with `Take`. The walk itself is left as it is: its hooks, its Stop and everything it tallies run on
/// the calling thread in its own order, so the result is the one-threaded walk's. Reading ahead only moves
/// where the file is read. At most `kFilesAheadPerThread` photos per worker are queued or held.
///
/// Photos change hands in batches: the scout queues `kBatch` paths at a time, and a walk that has to wait
/// is woken once `kBatch` photos (or all that are queued) are read, then takes them all at once. Threads
/// are woken only when one of them waits, never once for each photo.
///
/// Destroying the reader stops the scout and the workers and joins them, whether the walk ended, was
/// stopped or left by an exception; photos read ahead but never taken are dropped.
class ParallelReader {
 public:
  using ReadFunction = std::function<PhotoTags(const std::string& path)>;

  static constexpr size_t kFilesAheadPerThread = 32;
  static constexpr size_t kBatch = 8;

  /// Starts the scout on `folder` (walking sub-folders and taking the photo formats as `walk` does; never
  /// tracing) and `threads` workers (at least one) that read with `read`, which is called on several threads at once
  /// and gives in `PhotoTags::file` the identity of the file it opened (not found: the photo is read again when taken).
  ParallelReader(const std::string& folder, const WalkOptions& walk, unsigned threads, ReadFunction read);
  ~ParallelReader();
  ParallelReader(const ParallelReader&) = delete;
  ParallelReader& operator=(const ParallelReader&) = delete;

  /// The tags of the photo at `path`, which the walk has reached: as a worker read them, or read here when
  /// the scout did not meet the file or the file changed since (another file under that name, other size
  /// or time, gone). An exception thrown by a worker's read is thrown here. Called by the walk's thread only.
  [[nodiscard]] PhotoTags Take(const std::string& path);

 private:
  struct Slot;
  using SlotList = std::deque<std::shared_ptr<Slot>>;

  void Scout(const std::string& folder, WalkOptions options);
  void Queue(std::vector<std::string>& paths);
  void Work();
  void Shutdown();
  [[nodiscard]] PhotoTags Finish(Slot& slot, const std::string& path);
  [[nodiscard]] bool RoomForScout() const { return window_.size() <= capacity_ / 2; }
  // The photos read at the front of the window.
  [[nodiscard]] size_t ReadAtFront() const;
  // Whether a waiting walk has a batch to take.
  [[nodiscard]] bool BatchRead() const;

  const ReadFunction read_;
  const size_t capacity_;
  std::mutex mutex_;
  // Each thread waits on its own: the workers for queued photos, the scout for room in the window, the
  // walk for its photos. The scout resumes only when half the window is free.
  std::condition_variable work_queued_;
  std::condition_variable room_made_;
  std::condition_variable photo_ready_;
  // The photos queued by the scout and not yet taken, in walk order.
  SlotList window_;
  bool scout_done_ = false;
  bool scout_waiting_ = false;
  bool walk_waiting_ = false;
  size_t idle_workers_ = 0;
  // Also the scout walk's stop request.
  std::atomic<bool> cancelled_{false};
  // Photos read and moved out of the window in one go, handed to the walk one by one; the walk's own.
  SlotList taken_;
  std::vector<std::thread> threads_;
};

}  // namespace lumetra
