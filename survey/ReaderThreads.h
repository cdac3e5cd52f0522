#pragma once

namespace lumetra {

/// Threads that read photos in a survey when none are asked for: one per core that no other task is
/// running on, and one (every photo read on the walk's own thread) unless at least two cores are free.
/// Handing photos between threads costs a little CPU, which pays only where a second core is really idle;
/// on a busy machine one thread is as fast or faster. `others_running`: tasks of other programs that are
/// ready to run now.
[[nodiscard]] unsigned ReaderThreadsFor(unsigned usable_cores, unsigned others_running);

/// ReaderThreadsFor this process's usable cores (its affinity mask) and the tasks running now, sampled a
/// few times over two milliseconds (the fewest counts, so that a passing kernel task does not count).
[[nodiscard]] unsigned DefaultReaderThreads();

}  // namespace lumetra
