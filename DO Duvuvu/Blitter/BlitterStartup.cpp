#include "BlitSetup.h"
#include "PixelOps.h"
#include "Startup.h"

namespace {

void StartBlitter() {
  BuildRotateMaskTable();
  AllocScaleStepBuffer();  // a nil result is mended by the first scaled blit
}

void StopBlitter() { DisposeScaleStepBuffer(); }

}  // namespace

void RegisterBlitterStartup() { AddStartupEntry({"Blitter", StartBlitter, StopBlitter}); }
