#pragma once

namespace lumetra {

/// Makes the calling thread uncancellable while it lives, and puts the thread's cancellation back as it was
/// when it ends (destroyed on the thread that made it).
///
/// A reading thread makes three system calls per photo (open, read, close) that are cancellation points;
/// in a process with more than one thread the C library brackets each with two atomic updates of the
/// thread's cancellation state, about 2 % of a survey's CPU. With cancellation disabled and its type
/// asynchronous there is nothing for those updates to change, and the library skips them. No pthread_cancel
/// can act on the thread meanwhile: a request made then waits, as it would have, for the next cancellation
/// point after the state is put back.
class CancellationOff {
 public:
  CancellationOff();
  ~CancellationOff();
  CancellationOff(const CancellationOff&) = delete;
  CancellationOff& operator=(const CancellationOff&) = delete;

 private:
  int old_state_ = 0;
  int old_type_ = 0;
};

}  // namespace lumetra
