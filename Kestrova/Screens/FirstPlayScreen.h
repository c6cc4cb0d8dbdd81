// The first-play greeting: an older software-drawn panel with its own event
// loop. Nothing in the game opens it.
#pragma once

#include "MacTypes.h"
#include "PixMap.h"

struct FirstPlayState {
  SInt8 state;                // the strip shown; 4 and 5 add per-tick work
  PixMapHandle offscreen;     // 16 bits, 480 x 192: eight strips of 24 rows
  Rect strips[9];             // 0 the destination on the panel, 1..8 the sources
  Rect frame;
  Rect panel;                 // 512 x 384, centred on the display
  Rect hot;                   // where states 7 and 8 would change the pointer
  Rect lamps[9];
  SInt8 longCounters[3];      // 0..34
  SInt8 swing;                // 0..4 and back
  SInt8 swingDirection;       // 1 up, -1 down, 0 pausing
  SInt8 swingPause;
  SInt8 shortCounters[5];     // 0..15
};
extern FirstPlayState FirstPlayScreenState;

// Returns when QuitRequested is set, on a key-down event or on a click.
void RunFirstPlayScreen();
void LayoutFirstPlayScreen();
void AnimateFirstPlayScreen();
void PresentFirstPlayScreen(SInt8 state);
