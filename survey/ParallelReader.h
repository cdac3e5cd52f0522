#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "survey/PhotoTags.h"

namespace lumetra {

/// Reads the photos of a folder walk on helper threads alongside the walk, and hands them back in walk order.
///
/// The walk lists each folder once and names its photos to `Listed` before handling them; the reader puts
/// them, in order, into a fixed ring of slots, and the walk, when it reaches a photo, takes it with `Take`.
/// Helpers read photos a few places ahead of the walk; a photo no helper has started the walk reads itself,
/// so the two share the work and the walk never waits for a helper that is not running: a photo a helper has
/// been reading too long (its core taken by another program) is read again by the walk, and the helper's
/// result is dropped. Everything the walk tallies stays on its own thread in its own order, so the result is
/// the one-threaded walk's; reading ahead only moves where a file is read.
///
/// The slots are made once and reused: handing a photo over allocates nothing, and each slot's tags are read
/// into again, keeping their texts' storage, by the helper that reads the slot's next photo. The helpers are
/// started when a folder first has a batch of photos for them (a survey of small folders starts none); with
/// nothing to read they take the last photos of the walk's folder from its far end, spin briefly, then sleep
/// until the walk has another batch; the walk wakes them only then, never once for each photo.
///
/// Destroying the reader stops the helpers and joins them, whether the walk ended, was stopped or left by an
/// exception; photos read ahead but never taken are dropped.
class ParallelReader {
 public:
  /// Makes `tags` those of the photo at `path`, whatever they held: a slot's tags are read into again and
  /// again, so that their texts keep their storage.
  using ReadFunction = std::function<void(const std::string& path, PhotoTags& tags)>;

  /// Slots in the ring: how far ahead of the walk photos are read at most. A helper reads faster than the walk
  /// takes photos whenever the walk is held up (its core taken a while, a slow record); with a ring this long it
  /// rarely runs out of room, and sleeps about once per folder rather than every few dozen photos.
  static constexpr size_t kSlots = 256;
  /// Helpers start no photo closer to the walk than this: the walk reads those itself, so that it rarely
  /// reaches a photo that is still being read.
  static constexpr size_t kLead = 8;
  /// Photos just ahead of the walk that a helper never starts, even at the end of a folder.
  static constexpr size_t kLeftToTheWalk = 2;
  /// Sleeping helpers are woken when at least this many photos wait for them.
  static constexpr size_t kWakeBatch = 8;

  /// What the read does with file descriptors.
  enum class Descriptors {
    /// It may use a descriptor opened on another thread (a database's) or leave one open: the helpers share
    /// the process's descriptor table.
    kShared,
    /// It opens only files it closes before it returns, and uses no other descriptor: each helper takes a
    /// table of its own (TakeOwnDescriptorTable), so that the threads' opens and closes do not contend.
    kOwnFilesOnly,
  };

  /// Reads with `threads - 1` helpers (the walk's own thread is the first reader), started when first needed,
  /// that read with `read`, which is called on several threads at once. Helpers that cannot be started are
  /// done without: the walk reads their share.
  ParallelReader(unsigned threads, ReadFunction read, Descriptors descriptors = Descriptors::kShared);
  ~ParallelReader();
  ParallelReader(const ParallelReader&) = delete;
  ParallelReader& operator=(const ParallelReader&) = delete;

  /// The walk's `photos_listed` hook: the photos of `folder` (its path ends in "/") the walk is about to take,
  /// in order. `names` must stay valid until the walk has taken them or listed another folder. Photos of an
  /// earlier folder not taken yet are dropped.
  void Listed(const std::string& folder, const std::vector<std::string_view>& names);

  /// The tags of the photo at `path`, which the walk has reached: as a helper read them, or read here. A path
  /// that is not the next listed photo (a link the listing did not name as a file) is read here. An exception
  /// thrown by the read is thrown here. The tags stay valid, and may be moved from, until the next `Take`.
  /// Called by the walk's thread only.
  [[nodiscard]] PhotoTags& Take(const std::string& path);

 private:
  // A slot's state and the number of the photo it holds, in one word so that a helper claims both at once.
  enum State : uint64_t { kFree, kQueued, kReading, kDone, kAbandoned };
  static constexpr uint64_t kStateBits = 3;
  static constexpr uint64_t Word(uint64_t photo, State state) { return (photo << kStateBits) | state; }
  static constexpr State StateOf(uint64_t word) { return static_cast<State>(word & ((1u << kStateBits) - 1)); }

  struct alignas(64) Slot {
    std::atomic<uint64_t> word{Word(0, kFree)};
    // Written by the walk while the slot is free; read by the helper that claimed it.
    std::string path;
    // Written by the helper that read the photo; read by the walk once the slot is done.
    PhotoTags tags;
    std::exception_ptr error;
  };

  Slot& SlotOf(uint64_t photo) { return slots_[photo % kSlots]; }
  [[nodiscard]] uint64_t FirstClaimable(uint64_t next_unseen) const;
  void Release();
  void Feed();
  void DropUntaken();
  [[nodiscard]] size_t WaitingForHelpers();
  void WakeHelpersForBatch();
  void StartHelpers();
  void WakeHelpers();
  void Sleep(uint64_t next_unseen);
  [[nodiscard]] PhotoTags& TakeListed(Slot& slot, const std::string& path);
  [[nodiscard]] bool WaitWhileReading(Slot& slot, uint64_t photo);
  [[nodiscard]] PhotoTags& ReadHere(const std::string& path);
  void Help();
  [[nodiscard]] bool SomethingToClaim(uint64_t next_unseen) const;
  [[nodiscard]] Slot* Claim(uint64_t& next_unseen);
  [[nodiscard]] Slot* ClaimNearTheWalk();
  void Shutdown();

  const ReadFunction read_;
  const Descriptors descriptors_;
  // Made once, on the heap: the ring is too large for the stack of the thread that surveys.
  const std::unique_ptr<Slot[]> slots_;
  // The walk's own: the folder listed last and its photos' names, the number of the first of them, and the
  // slot handed out by the last Take (released by the next).
  std::string folder_;
  const std::vector<std::string_view>* names_ = nullptr;
  uint64_t first_listed_ = 0;
  Slot* handed_out_ = nullptr;
  // The photo read here last: tags made on the walk's thread are freed there too.
  PhotoTags own_;
  // Photo numbers count on across folders, so that a slot's number never repeats. `taken_`: the next photo
  // the walk takes; `fed_`: the next photo to be put in a slot; `listed_end_`: one past the last listed.
  std::atomic<uint64_t> taken_{0};
  std::atomic<uint64_t> fed_{0};
  uint64_t listed_end_ = 0;
  std::atomic<bool> stopping_{false};
  // Helpers asleep and not yet woken: counted up by each helper that goes to sleep, set to 0 by the one wake-up
  // that ends their sleep (changed under `sleep_mutex_`, read without it by the walk's quick look).
  std::atomic<uint32_t> sleeping_{0};
  // The first photo not yet fed when a helper last went to sleep: photos fed from here on, beyond the lead, are
  // the ones that wait for the helpers.
  std::atomic<uint64_t> idle_from_{0};
  std::mutex sleep_mutex_;
  std::condition_variable woken_;
  uint64_t wake_ups_ = 0;
  unsigned helpers_wanted_;
  std::vector<std::thread> helpers_;
};

}  // namespace lumetra
