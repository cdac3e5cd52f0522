#include "survey/OwnDescriptorTable.h"

#ifdef __linux__
#include <sched.h>
#endif

// ThreadSanitizer keeps one table of descriptors for the whole process: the same number open in two tables
// at once looks to it like one file used by two threads without synchronisation.
#if defined(__SANITIZE_THREAD__)
#define LUMETRA_ONE_DESCRIPTOR_TABLE 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define LUMETRA_ONE_DESCRIPTOR_TABLE 1
#endif
#endif

namespace lumetra {

bool TakeOwnDescriptorTable() {
#if defined(__linux__) && !defined(LUMETRA_ONE_DESCRIPTOR_TABLE)
  return ::unshare(CLONE_FILES) == 0;
#else
  return false;
#endif
}

}  // namespace lumetra
