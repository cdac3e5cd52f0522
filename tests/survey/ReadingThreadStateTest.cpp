// What a reading thread changes about itself: cancellation held off while it reads and put back after, and a
// descriptor table of its own that neither sees the other threads' new files nor shows them its own.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "survey/CancellationOff.h"
#include "survey/OwnDescriptorTable.h"

namespace lumetra {
namespace {

// Runs on a thread of its own: a cancellation requested while the guard lives must not end the thread at
// the cancellation points inside it, and must end it at the first one after.
struct CancelScene {
  std::atomic<bool> guarded{false};
  std::atomic<bool> requested{false};
  std::atomic<bool> survived_guard{false};
  int state_after = -1;
  int type_after = -1;
};

void* RunGuarded(void* argument) {
  auto& scene = *static_cast<CancelScene*>(argument);
  {
    const CancellationOff off;
    scene.guarded = true;
    while (!scene.requested) ::usleep(100);
    ::usleep(1000);
    ::pthread_testcancel();
    scene.survived_guard = true;
  }
  ::pthread_setcancelstate(PTHREAD_CANCEL_ENABLE, &scene.state_after);
  ::pthread_setcanceltype(PTHREAD_CANCEL_DEFERRED, &scene.type_after);
  ::pthread_testcancel();
  return nullptr;
}

TEST(CancellationOff, ARequestMadeMeanwhileActsOnlyAfterTheStateIsPutBack) {
  CancelScene scene;
  pthread_t thread;
  ASSERT_EQ(::pthread_create(&thread, nullptr, RunGuarded, &scene), 0);
  while (!scene.guarded) std::this_thread::yield();
  ASSERT_EQ(::pthread_cancel(thread), 0);
  scene.requested = true;
  void* result = nullptr;
  ASSERT_EQ(::pthread_join(thread, &result), 0);
  EXPECT_TRUE(scene.survived_guard);
  EXPECT_EQ(result, PTHREAD_CANCELED);
  EXPECT_EQ(scene.state_after, PTHREAD_CANCEL_ENABLE);
  EXPECT_EQ(scene.type_after, PTHREAD_CANCEL_DEFERRED);
}

TEST(CancellationOff, PutsBackTheStateAndTypeItFound) {
  struct Case {
    int state;
    int type;
  };
  for (const Case& start :
       {Case{PTHREAD_CANCEL_ENABLE, PTHREAD_CANCEL_DEFERRED}, Case{PTHREAD_CANCEL_DISABLE, PTHREAD_CANCEL_DEFERRED},
        Case{PTHREAD_CANCEL_DISABLE, PTHREAD_CANCEL_ASYNCHRONOUS}}) {
    SCOPED_TRACE(testing::Message() << "state " << start.state << ", type " << start.type);
    int ignored = 0;
    ::pthread_setcancelstate(start.state, &ignored);
    ::pthread_setcanceltype(start.type, &ignored);
    { const CancellationOff off; }
    int type = -1;
    int state = -1;
    ::pthread_setcanceltype(PTHREAD_CANCEL_DEFERRED, &type);
    ::pthread_setcancelstate(PTHREAD_CANCEL_ENABLE, &state);
    EXPECT_EQ(state, start.state);
    EXPECT_EQ(type, start.type);
  }
}

// The device a descriptor of this thread's table leads to; 0 when it is not open here.
dev_t DeviceOf(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 ? info.st_rdev : 0;
}

TEST(OwnDescriptorTable, FilesOpenedOnEitherSideStayOnThatSide) {
  const int null_before = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  ASSERT_GE(null_before, 0);
  const dev_t null_device = DeviceOf(null_before);
  std::atomic<int> stage{0};
  bool had_own_table = false;
  bool sees_before = false;
  int zero = -1;
  int null_after = -1;
  bool sees_after = true;
  std::thread helper([&] {
    had_own_table = TakeOwnDescriptorTable();
    sees_before = DeviceOf(null_before) == null_device;
    zero = ::open("/dev/zero", O_RDONLY | O_CLOEXEC);
    stage = 1;
    while (stage != 2) std::this_thread::yield();
    sees_after = DeviceOf(null_after) == null_device;
    ::close(zero);
  });
  while (stage != 1) std::this_thread::yield();
  const bool main_sees_zero = zero >= 0 && DeviceOf(zero) != 0;
  null_after = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  stage = 2;
  helper.join();
  ::close(null_after);
  ::close(null_before);
  if (!had_own_table) GTEST_SKIP() << "this system keeps every thread in the process's descriptor table";
  EXPECT_TRUE(sees_before) << "the table's copy holds what was open before";
  EXPECT_GE(zero, 0);
  EXPECT_FALSE(main_sees_zero) << "the helper's file is in the process's table";
  EXPECT_FALSE(sees_after) << "a file opened after the copy is in the helper's table";
}

}  // namespace
}  // namespace lumetra
