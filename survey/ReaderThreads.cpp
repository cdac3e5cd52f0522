#include "survey/ReaderThreads.h"

#ifdef __linux__
#include <sched.h>
#endif

#include <algorithm>
#include <thread>

namespace lumetra {
namespace {

// The cores this process may run on: a process bound to one core (taskset, a container's cpuset) gains
// nothing from reading threads.
unsigned UsableCores() {
#ifdef __linux__
  cpu_set_t cores;
  CPU_ZERO(&cores);
  if (::sched_getaffinity(0, sizeof(cores), &cores) == 0) return static_cast<unsigned>(std::max(CPU_COUNT(&cores), 1));
#endif
  return std::max(std::thread::hardware_concurrency(), 1u);
}

}  // namespace

unsigned ReaderThreadsFor(unsigned usable_cores) { return std::clamp(usable_cores, 1u, kMostDefaultReaders); }

unsigned DefaultReaderThreads() { return ReaderThreadsFor(UsableCores()); }

}  // namespace lumetra
