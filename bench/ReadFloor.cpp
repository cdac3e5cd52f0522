// The floor under a survey's time: the same folder walk as a survey (WalkFolder: the ".jpg" names, any
// case, in listing order, sub-folders included), but each photo is only opened and its first 64 KiB read,
// nothing parsed. Whatever a survey spends beyond this program's time is the reader, the records and the
// tallies.
//
// Usage: read_floor [--threads N] FOLDER
//   N threads read the files (default: one per core, as many as the survey's reading pool); the walk lists
//   every photo first, then the threads share the list. Prints the photos and bytes read.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "survey/WalkFolder.h"

namespace lumetra {
namespace {

constexpr size_t kHeadBytes = 64 * 1024;

// Bytes read from the start of the file, at most kHeadBytes; 0 when it cannot be opened.
int64_t ReadHead(const std::string& path, char* buffer) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  size_t total = 0;
  while (total < kHeadBytes) {
    const ssize_t n = ::read(fd, buffer + total, kHeadBytes - total);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    total += static_cast<size_t>(n);
  }
  ::close(fd);
  return static_cast<int64_t>(total);
}

int64_t ReadAll(const std::vector<std::string>& paths, unsigned threads) {
  std::atomic<size_t> next{0};
  std::atomic<int64_t> bytes{0};
  const auto work = [&] {
    const std::unique_ptr<char[]> buffer(new char[kHeadBytes]);
    int64_t own = 0;
    for (size_t i = next++; i < paths.size(); i = next++) own += ReadHead(paths[i], buffer.get());
    bytes += own;
  };
  std::vector<std::thread> pool;
  for (unsigned i = 1; i < threads; ++i) pool.emplace_back(work);
  work();
  for (std::thread& thread : pool) thread.join();
  return bytes;
}

int Run(int argc, char** argv) {
  unsigned threads = std::max(1u, std::thread::hardware_concurrency());
  std::string folder;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--threads" && i + 1 < argc) {
      threads = static_cast<unsigned>(std::max(1, std::atoi(argv[++i])));
    } else if (folder.empty() && !argument.empty() && argument[0] != '-') {
      folder = argument;
    } else {
      folder.clear();
      break;
    }
  }
  if (folder.empty()) {
    std::cerr << "usage: read_floor [--threads N] FOLDER\n";
    return 2;
  }

  std::vector<std::string> paths;
  WalkHooks hooks;
  hooks.photo = [&paths](const std::string& path) { paths.push_back(path); };
  const std::atomic<bool> never_stopped{false};
  const WalkResult walk = WalkFolder(folder, WalkOptions{}, hooks, never_stopped);
  if (walk.root_unreadable) {
    std::cerr << "read_floor: cannot list " << folder << '\n';
    return 1;
  }
  const int64_t bytes = ReadAll(paths, threads);
  std::cout << paths.size() << " photos, " << bytes << " bytes read on " << threads << " thread(s)\n";
  return 0;
}

}  // namespace
}  // namespace lumetra

int main(int argc, char** argv) { return lumetra::Run(argc, argv); }
