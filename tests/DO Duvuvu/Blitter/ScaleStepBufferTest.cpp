#include <gtest/gtest.h>

#include <random>

#include "BlitHarness.h"
#include "BlitSetup.h"
#include "Memory.h"

namespace {

class ScaleStepBufferTest : public testing::Test {
 protected:
  void TearDown() override { AllocScaleStepBuffer(); }
};

TEST_F(ScaleStepBufferTest, AllocMakes1024ZeroedEntriesAndDisposeForgetsThem) {
  UInt32* buffer = AllocScaleStepBuffer();
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer, ScaleStepBuffer);
  EXPECT_EQ(ScaleStepBufferEntries(), 1024u);
  EXPECT_EQ(GetPtrBlockSize(buffer), 4096);
  for (int i = 0; i < 1024; ++i) ASSERT_EQ(buffer[i], 0u) << i;
  DisposeScaleStepBuffer();
  EXPECT_EQ(ScaleStepBuffer, nullptr);
  EXPECT_EQ(ScaleStepBufferEntries(), 0u);
  DisposeScaleStepBuffer();  // a second time does nothing
  EXPECT_EQ(ScaleStepBuffer, nullptr);
}

TEST_F(ScaleStepBufferTest, GrowsOnDemandAndNeverShrinks) {
  AllocScaleStepBuffer();
  EXPECT_EQ(EnsureScaleStepBuffer(10), ScaleStepBuffer);
  EXPECT_EQ(ScaleStepBufferEntries(), 1024u);
  ASSERT_NE(EnsureScaleStepBuffer(3000), nullptr);
  EXPECT_EQ(ScaleStepBufferEntries(), 3000u);
  EnsureScaleStepBuffer(1500);
  EXPECT_EQ(ScaleStepBufferEntries(), 3000u);
}

struct WideCase {
  blitref::Family family;
  int sw, sh, dw, dh;
};

// Rows wider than the default buffer match the model, guards intact.
TEST_F(ScaleStepBufferTest, WideRowsMatchTheReference) {
  const WideCase cases[] = {
      {blitref::Family::SCALE16, 1000, 3, 2000, 4},
      {blitref::Family::SCALE16, 1024, 768, 1024, 600},
      {blitref::Family::SCALE32, 2048, 2, 1100, 3},
      {blitref::Family::SCALE8, 1500, 2, 2001, 2},
  };
  for (bool startWithoutBuffer : {false, true}) {
    for (const WideCase& c : cases) {
      AllocScaleStepBuffer();
      if (startWithoutBuffer) DisposeScaleStepBuffer();
      std::mt19937 rng(77);
      const int depth = blitref::DepthOf(c.family);
      auto src = blitref::TestMap::Random(depth, c.sw, c.sh, rng, {});
      auto dst = blitref::TestMap::Random(depth, c.dw, c.dh, rng, {});
      blitref::Blit b;
      b.family = c.family;
      b.src = src.get();
      b.dst = dst.get();
      b.srcRect = src->bounds();
      b.dstRect = dst->bounds();
      b.mode = 0;
      SCOPED_TRACE(b.Describe());
      blitref::ModelWorld model(b);
      model.Dispatch(b);
      blitref::RunDispatcher(b);
      EXPECT_EQ(model.Diff(b), "");
      EXPECT_GE(ScaleStepBufferEntries(), static_cast<UInt32>(c.dw + 1));
    }
  }
}

}  // namespace
