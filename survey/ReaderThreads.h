#pragma once

namespace lumetra {

/// Threads that read photos in a survey when none are asked for: one per core the process may run on, the
/// walk's own thread included, at most `kMostDefaultReaders`. A helper costs little even when another program
/// holds its core (the walk never waits for it), and gains wall time on a busy machine as on an idle one; the
/// walk's own share of the work (records, tallies) leaves nothing for more than about three readers to do.
inline constexpr unsigned kMostDefaultReaders = 4;
[[nodiscard]] unsigned ReaderThreadsFor(unsigned usable_cores);

/// ReaderThreadsFor this process's usable cores (its affinity mask).
[[nodiscard]] unsigned DefaultReaderThreads();

}  // namespace lumetra
