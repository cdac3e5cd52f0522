#include "survey/CancellationOff.h"

#include <pthread.h>

namespace lumetra {

// Disabled before the type turns asynchronous, so that a request already made cannot act in between; put
// back in the reverse order for the same reason.
CancellationOff::CancellationOff() {
  ::pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, &old_state_);
  ::pthread_setcanceltype(PTHREAD_CANCEL_ASYNCHRONOUS, &old_type_);
}

CancellationOff::~CancellationOff() {
  int ignored = 0;
  ::pthread_setcanceltype(old_type_, &ignored);
  ::pthread_setcancelstate(old_state_, &ignored);
}

}  // namespace lumetra
