#include "survey/OwnDescriptorTable.h"

#ifdef __linux__
#include <sched.h>
#endif

namespace lumetra {

bool TakeOwnDescriptorTable() {
#ifdef __linux__
  return ::unshare(CLONE_FILES) == 0;
#else
  return false;
#endif
}

}  // namespace lumetra
