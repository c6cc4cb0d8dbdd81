// The motion routines every moving thing of the game shares.
#pragma once

#include "GameTypes.h"
#include "MacTypes.h"

// x += vx, y += vy; the rect follows with its size kept.
void MoveSprite(KVSprite* sprite);
void OffsetSprite(KVSprite* sprite, SInt16 dh, SInt16 dv);
// x, y := the rect's centre (integer halves).
void CenterSpritePosition(KVSprite* sprite);
// 1 when the rect had to be moved back inside bounds.
UInt8 KeepSpriteInside(KVSprite* sprite, const Rect* bounds);

// The game's overlap: half-open on both axes, so touching edges do not meet.
inline bool GameRectsOverlap(const Rect& a, const Rect& b) {
  bool h = (a.left >= b.left && a.left < b.right) || (b.left >= a.left && b.left < a.right);
  bool v = (a.top >= b.top && a.top < b.bottom) || (b.top >= a.top && b.top < a.bottom);
  return h && v;
}

inline SInt16 RectCentreH(const Rect& r) { return static_cast<SInt16>(r.left + (r.right - r.left) / 2); }
inline SInt16 RectCentreV(const Rect& r) { return static_cast<SInt16>(r.top + (r.bottom - r.top) / 2); }
