#include <gtest/gtest.h>

#include "BlitSetup.h"
#include "PixelOps.h"
#include "Startup.h"

namespace {

TEST(BlitterStartup, MakesTheStepBufferAndReleasesItAtShutdown) {
  ResetStartupListForTesting();
  DisposeScaleStepBuffer();
  RotateMaskTable[0] = 0;
  RegisterBlitterStartup();
  RunStartup();
  EXPECT_NE(ScaleStepBuffer, nullptr);
  EXPECT_EQ(ScaleStepBufferEntries(), 1024u);
  EXPECT_EQ(RotateMaskTable[0], 0x80000000u);
  RunShutdown();
  EXPECT_EQ(ScaleStepBuffer, nullptr);
  ResetStartupListForTesting();
  AllocScaleStepBuffer();
}

}  // namespace
