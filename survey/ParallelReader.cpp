#include "survey/ParallelReader.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <utility>

#include "survey/CancellationOff.h"
#include "survey/OwnDescriptorTable.h"

namespace lumetra {
namespace {

// How long the walk waits for a helper still reading the photo it has reached: a read takes some ten
// microseconds from the page cache, so a helper still busy after this has most likely lost its core to
// another program, and the walk reads the photo itself rather than wait for the scheduler.
constexpr std::chrono::microseconds kWalkPatience{50};
// How long a helper with nothing to read looks for more before it sleeps: about what the walk needs to take
// a photo and put a new one in the slot it freed. Looking costs a core the walk's cache lines; a longer look
// spent about 2 % more CPU and saved no wake-up.
constexpr std::chrono::microseconds kHelperPatience{2};

void Pause() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

}  // namespace

ParallelReader::ParallelReader(unsigned threads, ReadFunction read, Descriptors descriptors)
    : read_(std::move(read)),
      descriptors_(descriptors),
      slots_(std::make_unique<Slot[]>(kSlots)),
      helpers_wanted_(threads > 1 ? threads - 1 : 0) {}

ParallelReader::~ParallelReader() { Shutdown(); }

void ParallelReader::Shutdown() {
  stopping_.store(true);
  WakeHelpers();
  for (std::thread& helper : helpers_) helper.join();
  helpers_.clear();
}

void ParallelReader::Listed(const std::string& folder, const std::vector<std::string_view>& names) {
  Release();
  DropUntaken();
  folder_ = folder;
  names_ = &names;
  first_listed_ = taken_.load(std::memory_order_relaxed);
  listed_end_ = first_listed_ + names.size();
  Feed();
}

// The slot handed out by the last Take is the walk's until the next: only then can it take another photo.
void ParallelReader::Release() {
  if (handed_out_ == nullptr) return;
  const uint64_t word = handed_out_->word.load(std::memory_order_relaxed);
  handed_out_->word.store(Word(word >> kStateBits, kFree), std::memory_order_release);
  handed_out_ = nullptr;
}

// Photos put in slots but never taken (a walk stopped part-way): a helper reading one finishes and lets the
// slot go itself.
void ParallelReader::DropUntaken() {
  const uint64_t fed = fed_.load(std::memory_order_relaxed);
  for (uint64_t photo = taken_.load(std::memory_order_relaxed); photo < fed; ++photo) {
    Slot& slot = SlotOf(photo);
    uint64_t expected = Word(photo, kQueued);
    if (slot.word.compare_exchange_strong(expected, Word(photo, kFree))) continue;
    if (StateOf(expected) == kReading && slot.word.compare_exchange_strong(expected, Word(photo, kAbandoned))) {
      continue;
    }
    if (StateOf(expected) == kDone) slot.word.store(Word(photo, kFree), std::memory_order_release);
  }
  taken_.store(fed);
}

// Puts the next listed photos in the slots ahead of the walk, in order, up to a full ring or a slot a helper
// still holds.
void ParallelReader::Feed() {
  const uint64_t taken = taken_.load(std::memory_order_relaxed);
  uint64_t fed = std::max(fed_.load(std::memory_order_relaxed), taken);
  while (fed < listed_end_ && fed < taken + kSlots) {
    Slot& slot = SlotOf(fed);
    if (StateOf(slot.word.load(std::memory_order_acquire)) != kFree) break;
    slot.path.assign(folder_).append((*names_)[fed - first_listed_]);
    slot.error = nullptr;
    slot.word.store(Word(fed, kQueued), std::memory_order_release);
    ++fed;
  }
  fed_.store(fed);
  WakeHelpersForBatch();
}

// Photos put in slots that only a helper would start: those the walk will not reach for a while, fed since a
// helper last found nothing to claim. Counted, not looked at one by one: the walk asks after every photo
// while a helper sleeps.
size_t ParallelReader::WaitingForHelpers() {
  const uint64_t fed = fed_.load(std::memory_order_relaxed);
  const uint64_t first =
      std::max(taken_.load(std::memory_order_relaxed) + kLead, idle_from_.load(std::memory_order_relaxed));
  return fed > first ? fed - first : 0;
}

void ParallelReader::WakeHelpersForBatch() {
  if (helpers_.size() < helpers_wanted_) {
    if (WaitingForHelpers() >= kWakeBatch) StartHelpers();
    return;
  }
  if (sleeping_.load() != 0 && WaitingForHelpers() >= kWakeBatch) WakeHelpers();
}

void ParallelReader::StartHelpers() {
  try {
    while (helpers_.size() < helpers_wanted_) helpers_.emplace_back([this] { Help(); });
  } catch (const std::system_error&) {
    // No more threads to be had: the walk reads the share of those missing.
    helpers_wanted_ = static_cast<unsigned>(helpers_.size());
  }
}

void ParallelReader::WakeHelpers() {
  {
    const std::lock_guard lock(sleep_mutex_);
    if (sleeping_.load() == 0 && !stopping_.load()) return;
    sleeping_.store(0);
    ++wake_ups_;
  }
  woken_.notify_all();
}

// Counted as asleep before the last look for work, so that a walk feeding photos meanwhile sees the sleeper.
void ParallelReader::Sleep(uint64_t next_unseen) {
  std::unique_lock lock(sleep_mutex_);
  sleeping_.fetch_add(1);
  idle_from_.store(fed_.load());
  if (stopping_.load() || SomethingToClaim(next_unseen)) {
    sleeping_.fetch_sub(1);
    return;
  }
  const uint64_t asleep_at = wake_ups_;
  woken_.wait(lock, [&] { return wake_ups_ != asleep_at || stopping_.load(); });
}

PhotoTags& ParallelReader::Take(const std::string& path) {
  Release();
  const uint64_t photo = taken_.load(std::memory_order_relaxed);
  if (photo < fed_.load(std::memory_order_relaxed)) {
    Slot& slot = SlotOf(photo);
    if (slot.path == path) return TakeListed(slot, path);
  } else if (photo < listed_end_) {
    // Listed, but its slot was still held by a helper when its turn to be put in one came.
    const std::string_view name = (*names_)[photo - first_listed_];
    if (path.size() == folder_.size() + name.size() && path.starts_with(folder_) && path.ends_with(name)) {
      taken_.store(photo + 1);
      Feed();
    }
  }
  return ReadHere(path);
}

PhotoTags& ParallelReader::TakeListed(Slot& slot, const std::string& path) {
  const uint64_t photo = taken_.load(std::memory_order_relaxed);
  taken_.store(photo + 1);
  uint64_t expected = Word(photo, kQueued);
  // No helper has started it: the walk reads it, and the slot is free for the next photo at once.
  if (slot.word.compare_exchange_strong(expected, Word(photo, kFree))) {
    Feed();
    return ReadHere(path);
  }
  if (StateOf(expected) == kReading && !WaitWhileReading(slot, photo)) {
    Feed();
    return ReadHere(path);
  }
  handed_out_ = &slot;
  Feed();
  if (slot.error) std::rethrow_exception(slot.error);
  return slot.tags;
}

// True once the helper has finished the photo; false when the walk gave up waiting and the helper's read is
// to be dropped.
bool ParallelReader::WaitWhileReading(Slot& slot, uint64_t photo) {
  const auto deadline = std::chrono::steady_clock::now() + kWalkPatience;
  for (unsigned spins = 1;; ++spins) {
    if (StateOf(slot.word.load(std::memory_order_acquire)) == kDone) return true;
    if (spins % 16 == 0 && std::chrono::steady_clock::now() >= deadline) {
      uint64_t expected = Word(photo, kReading);
      return !slot.word.compare_exchange_strong(expected, Word(photo, kAbandoned));
    }
    Pause();
  }
}

PhotoTags& ParallelReader::ReadHere(const std::string& path) {
  read_(path, own_);
  return own_;
}

// A helper's loop: read a photo claimed from the slots, else look for one a little longer, else sleep until
// the walk has a batch.
void ParallelReader::Help() {
  const CancellationOff cancellation_off;
  if (descriptors_ == Descriptors::kOwnFilesOnly) static_cast<void>(TakeOwnDescriptorTable());
  // Photos before this one were claimed or taken when this helper last looked: it looks at each slot once.
  uint64_t next_unseen = 0;
  while (!stopping_.load()) {
    Slot* slot = Claim(next_unseen);
    if (slot == nullptr) slot = ClaimNearTheWalk();
    if (slot != nullptr) {
      const uint64_t photo = slot->word.load(std::memory_order_relaxed) >> kStateBits;
      try {
        read_(slot->path, slot->tags);
        slot->error = nullptr;
      } catch (...) {
        slot->error = std::current_exception();
      }
      uint64_t expected = Word(photo, kReading);
      if (!slot->word.compare_exchange_strong(expected, Word(photo, kDone))) {
        // The walk read the photo itself meanwhile.
        slot->word.store(Word(photo, kFree), std::memory_order_release);
      }
      continue;
    }
    const auto deadline = std::chrono::steady_clock::now() + kHelperPatience;
    bool found = false;
    for (unsigned spins = 1; !found && !stopping_.load(); ++spins) {
      Pause();
      found = SomethingToClaim(next_unseen);
      if (spins % 16 == 0 && std::chrono::steady_clock::now() >= deadline) break;
    }
    if (!found) Sleep(next_unseen);
  }
}

// Photos are fed in order and never queued again, so one that was not queued when a helper looked (claimed by
// another, taken by the walk) never needs a second look.
uint64_t ParallelReader::FirstClaimable(uint64_t next_unseen) const {
  return std::max(next_unseen, taken_.load() + kLead);
}

bool ParallelReader::SomethingToClaim(uint64_t next_unseen) const {
  const uint64_t fed = fed_.load();
  for (uint64_t photo = FirstClaimable(next_unseen); photo < fed; ++photo) {
    if (slots_[photo % kSlots].word.load(std::memory_order_relaxed) == Word(photo, kQueued)) return true;
  }
  return false;
}

ParallelReader::Slot* ParallelReader::Claim(uint64_t& next_unseen) {
  const uint64_t fed = fed_.load();
  for (uint64_t photo = FirstClaimable(next_unseen); photo < fed; ++photo) {
    Slot& slot = SlotOf(photo);
    uint64_t expected = Word(photo, kQueued);
    if (slot.word.load(std::memory_order_relaxed) != expected) continue;
    if (slot.word.compare_exchange_strong(expected, Word(photo, kReading))) {
      next_unseen = photo + 1;
      return &slot;
    }
  }
  next_unseen = std::max(next_unseen, fed);
  return nullptr;
}

// With nothing beyond the lead (the walk has listed no further photos yet), the photos the walk would read
// itself at the end of a folder: from the farthest on, so that the two meet about halfway and the walk seldom
// reaches one still being read. The next two are left to the walk, which is about to take them.
ParallelReader::Slot* ParallelReader::ClaimNearTheWalk() {
  const uint64_t taken = taken_.load();
  const uint64_t nearest = taken + kLeftToTheWalk;
  for (uint64_t photo = std::min(fed_.load(), taken + kLead); photo > nearest;) {
    --photo;
    Slot& slot = SlotOf(photo);
    uint64_t expected = Word(photo, kQueued);
    if (slot.word.load(std::memory_order_relaxed) != expected) continue;
    if (slot.word.compare_exchange_strong(expected, Word(photo, kReading))) return &slot;
  }
  return nullptr;
}

}  // namespace lumetra
