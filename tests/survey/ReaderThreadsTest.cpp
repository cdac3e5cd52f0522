// The default number of reading threads: a second core must really be free before photos are handed
// between threads.

#include <gtest/gtest.h>

#include "survey/ReaderThreads.h"

namespace lumetra {
namespace {

TEST(ReaderThreadsFor, ReadsOnTheWalksThreadUnlessTwoCoresAreFree) {
  const struct {
    unsigned cores;
    unsigned others_running;
    unsigned threads;
  } cases[] = {
      {1, 0, 1},  // bound to one core
      {2, 0, 2},  // an idle two-core machine
      {2, 1, 1},  // one core busy elsewhere: the threads would share the other
      {2, 5, 1},  // more busy tasks than cores
      {8, 0, 8}, {8, 3, 5}, {8, 7, 1}, {8, 6, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.cores << " cores, " << c.others_running << " others running");
    EXPECT_EQ(ReaderThreadsFor(c.cores, c.others_running), c.threads);
  }
}

}  // namespace
}  // namespace lumetra
