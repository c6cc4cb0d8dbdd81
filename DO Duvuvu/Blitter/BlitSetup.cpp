#include "BlitSetup.h"

#include "Memory.h"

UInt32* ScaleStepBuffer = nullptr;

namespace blitsetup {
UInt32 gScaleStepEntries = 0;
}  // namespace blitsetup

using blitsetup::gScaleStepEntries;

namespace {

constexpr UInt32 kDefaultScaleStepEntries = 1024;

UInt32* MakeScaleStepBuffer(UInt32 entries) {
  DisposeScaleStepBuffer();
  ScaleStepBuffer = reinterpret_cast<UInt32*>(NewPtrBlockClear(entries * sizeof(UInt32)));
  gScaleStepEntries = ScaleStepBuffer ? entries : 0;
  return ScaleStepBuffer;
}

}  // namespace

UInt32* AllocScaleStepBuffer() { return MakeScaleStepBuffer(kDefaultScaleStepEntries); }

void DisposeScaleStepBuffer() {
  if (ScaleStepBuffer) {
    DisposePtrBlock(ScaleStepBuffer);
    ScaleStepBuffer = nullptr;
  }
  gScaleStepEntries = 0;
}

UInt32* EnsureScaleStepBuffer(UInt32 entries) {
  if (ScaleStepBuffer && gScaleStepEntries >= entries) return ScaleStepBuffer;
  if (entries < kDefaultScaleStepEntries) entries = kDefaultScaleStepEntries;
  // The old buffer stays until the new one exists.
  UInt32* grown = reinterpret_cast<UInt32*>(NewPtrBlockClear(entries * sizeof(UInt32)));
  if (!grown) return nullptr;
  DisposeScaleStepBuffer();
  ScaleStepBuffer = grown;
  gScaleStepEntries = entries;
  return grown;
}

UInt32 ScaleStepBufferEntries() { return ScaleStepBuffer ? gScaleStepEntries : 0; }

BlitOrientation OrientBlit(UInt8 flipH, UInt8 flipV, SInt8 rotation) {
  return blitsetup::OrientBlit(flipH, flipV, rotation);
}

void ClipAndOrientBlit(Rect* src, const Rect* dst, const Rect* clipped, Rect* mask, UInt8 flipH,
                       UInt8 flipV, SInt8 rotation, UInt32* startCorner, UInt32* pixelStep,
                       UInt32* rowUndo, UInt32* nextRow, UInt8* shrinkH, UInt8* shrinkV) {
  blitsetup::ClipAndOrientBlit(src, dst, clipped, mask, flipH, flipV, rotation, startCorner,
                               pixelStep, rowUndo, nextRow, shrinkH, shrinkV);
}

void BuildScaleSteps(const Rect* src, const Rect* dst, const Rect* clipped, SInt32 rotation,
                     SInt32 pixelStep, UInt32* table, SInt32* rowError) {
  blitsetup::BuildScaleSteps(src, dst, clipped, rotation, pixelStep, table, rowError);
}
