// Runs with OpenAL Soft capped at 5 sources.
#include <gtest/gtest.h>

#include "AudioTestSupport.h"
#include "SourcePool.h"

namespace {

TEST(PoolCap5, PoolEndsAtTheFirstRefusal) {
  StartOpenAL();
  EXPECT_EQ(CreateSourcePool(), 5u);
  EXPECT_EQ(GetSourceCount(), 5u);
  EXPECT_EQ(gSourcePool.sources[5], 0u);
  EXPECT_EQ(IsSourceReserved(5), 0);
  DeleteSourcePool();
  EXPECT_EQ(GetSourceCount(), 0u);
  // Deleted sources come back for a new pool.
  EXPECT_EQ(CreateSourcePool(), 5u);
  ShutdownAudioForTesting();
  // And after a full close OpenAL starts again.
  StartOpenAL();
  EXPECT_EQ(CreateSourcePool(), 5u);
  ShutdownAudioForTesting();
}

}  // namespace
