// The flush behind every fade loop, window switch and the shut-down: a frame
// begun for a GWorld, optionally the GWorld drawn into it as textured tiles,
// and the frame ended with the fade overlay and the swap.
#pragma once

#include "GLFrame.h"
#include "GWorld.h"
#include "MacTypes.h"

// While set, a flush presents nothing (nothing in the game sets it).
extern UInt8 FlushHoldFlag;

// Slot 7: nothing until the displays are ready; the flush-source callback's
// world or buildWORLD (fatal when nil). The window is not used.
void FlushToScreen_Displays(WindowRef window);
void FlushGWorldToWindow(GWorldPtr world, WindowRef window);
// Tiles of at most 256 texels overlapping by two; "Graphics Mode" 0 copies
// from the frame buffer, anything else uploads from the world's memory.
void DrawGWorldToWindowGL(GWorldPtr world, WindowRef window, GLWindowRecord* record);
// glTexSubImage2D clipped to the bound texture's level; a negative x or y
// skips that many pixels or rows of the source.
void UploadTexSubImageClipped(UInt32 target, SInt32 level, SInt32 x, SInt32 y, SInt32 width, SInt32 height,
                              UInt32 format, UInt32 type, const void* pixels);

// The tile layout of a world: sides, step, count and last origins.
struct GWorldTiling {
  SInt32 tileWidth;
  SInt32 tileHeight;
  SInt32 columns;
  SInt32 rows;
  SInt32 lastX;
  SInt32 lastY;
};
GWorldTiling TileGWorld(SInt32 width, SInt32 height);

// The key sampler (no callers).
void ResetKeySampler();
void SampleKeyPresses();
UInt8 TakeKeyPress(UInt8 key);
