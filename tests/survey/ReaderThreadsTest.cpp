// The default number of reading threads: one per usable core, within bounds.

#include <gtest/gtest.h>

#include "survey/ReaderThreads.h"

namespace lumetra {
namespace {

TEST(ReaderThreadsFor, OnePerUsableCoreUpToTheMostThatHelp) {
  const struct {
    unsigned cores;
    unsigned threads;
  } cases[] = {
      {0, 1},  // the count could not be read
      {1, 1},  // bound to one core: every photo read on the walk's thread
      {2, 2}, {3, 3}, {4, kMostDefaultReaders}, {64, kMostDefaultReaders},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.cores << " cores");
    EXPECT_EQ(ReaderThreadsFor(c.cores), c.threads);
  }
}

}  // namespace
}  // namespace lumetra
