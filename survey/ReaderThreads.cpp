#include "survey/ReaderThreads.h"

#ifdef __linux__
#include <sched.h>
#endif

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
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

// Tasks ready to run now besides the one asking, from the fourth field of /proc/loadavg ("2/431": running
// and total); 0 when it cannot be read.
unsigned OthersRunning() {
  std::ifstream loadavg("/proc/loadavg");
  double one = 0;
  double five = 0;
  double fifteen = 0;
  unsigned running = 0;
  char slash = 0;
  if (!(loadavg >> one >> five >> fifteen >> running >> slash) || slash != '/' || running == 0) return 0;
  return running - 1;
}

}  // namespace

unsigned ReaderThreadsFor(unsigned usable_cores, unsigned others_running) {
  const unsigned free_cores = usable_cores > others_running ? usable_cores - others_running : 0;
  return free_cores >= 2 ? free_cores : 1;
}

unsigned DefaultReaderThreads() {
  unsigned others = OthersRunning();
  for (int sample = 1; sample < 3 && others > 0; ++sample) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    others = std::min(others, OthersRunning());
  }
  return ReaderThreadsFor(UsableCores(), others);
}

}  // namespace lumetra
