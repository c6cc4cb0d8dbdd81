// Blit set-up shared by every dispatcher: orientation and proportional clip,
// the scale step table and its shared buffer.
#pragma once

#include "MacTypes.h"

// Walk codes and edge swaps for one orientation.
struct BlitOrientation {
  UInt32 startCorner;  // 0 top-left, 1 bottom-left, 2 bottom-right, 3 top-right
  UInt32 pixelStep;    // 0 right, 1 up a row, 2 left, 3 down a row
  UInt32 rowUndo;      // 0 -(w), 1 +(h) rows, 2 +(w), 3 -(h) rows
  UInt32 nextRow;      // 0 down a row, 1 right, 2 up a row, 3 left
  bool swapV;          // destination's top/bottom trim the source's far side
  bool swapH;          // likewise left/right
};

// The walk codes of ClipAndOrientBlit alone (rotation 0..3).
BlitOrientation OrientBlit(UInt8 flipH, UInt8 flipV, SInt8 rotation);

// Works out the walk codes and shrink flags, trims src by the share of dst that
// clipped removes and moves mask (when given) by the unscaled clip distance.
// All rectangles are relative to their maps' bounds.
void ClipAndOrientBlit(Rect* src, const Rect* dst, const Rect* clipped, Rect* mask, UInt8 flipH,
                       UInt8 flipV, SInt8 rotation, UInt32* startCorner, UInt32* pixelStep,
                       UInt32* rowUndo, UInt32* nextRow, UInt8* shrinkH, UInt8* shrinkV);

// Fills the horizontal step table for src (untrimmed) onto dst clipped to
// clipped (nil: unclipped) and gives the first vertical error. Needs the
// clipped width + 1 entries.
void BuildScaleSteps(const Rect* src, const Rect* dst, const Rect* clipped, SInt32 rotation,
                     SInt32 pixelStep, UInt32* table, SInt32* rowError);

// The one step table every scaled blit fills and reads; nil until made.
extern UInt32* ScaleStepBuffer;

// Remakes the buffer with 1024 zero-filled entries; nil when memory ran out.
UInt32* AllocScaleStepBuffer();
// Releases the buffer, when there is one, and forgets it.
void DisposeScaleStepBuffer();
// Makes sure the buffer holds at least `entries` entries, growing it (never
// shrinking) through the memory manager; nil when it cannot be made.
UInt32* EnsureScaleStepBuffer(UInt32 entries);
// Entries the present buffer holds (0 when there is none).
UInt32 ScaleStepBufferEntries();
