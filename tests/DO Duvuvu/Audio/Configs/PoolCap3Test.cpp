// Runs with OpenAL Soft capped at 3 sources.
#include <gtest/gtest.h>

#include "AudioTestSupport.h"
#include "SourcePool.h"

namespace {

TEST(PoolCap3, ReservedIndexIsSkippedButUsesATry) {
  StartOpenAL();
  ASSERT_EQ(CreateSourcePool(), 3u);
  EXPECT_EQ(gSourcePool.sources[3], 0u);
  SetSourceReserved(1, 1);
  gSourcePool.lastPicked = 0;
  EXPECT_EQ(PickSoundSource(0), gSourcePool.sources[2]);
  EXPECT_EQ(PickSoundSource(0), gSourcePool.sources[0]);
  EXPECT_EQ(PickSoundSource(0), gSourcePool.sources[2]);
  // Idle sources are found the same way.
  EXPECT_EQ(FindIdleSource(), gSourcePool.sources[0]);
  for (UInt32 i = 0; i < 3; ++i) SetSourceReserved(i, 1);
  EXPECT_EQ(PickSoundSource(1), 0u);
  ShutdownAudioForTesting();
}

}  // namespace
