// Sparks, flashes, explosions, wings, stars and the banners.
#pragma once

#include "GameTypes.h"
#include "MacTypes.h"

// The number of sparks that found no free slot.
SInt16 DoSparks(SInt16 count, SInt8 spread, const GameColor& colour, SInt16 h, SInt16 v);
void MoveSparks();
// Also ages the flashes and twinkles the stars.
void AnimateSparks();
void DoFlash(SInt16 h, SInt16 v, const GameColor& colour, float scale, float alpha);
// The placed explosion's rect, or nil when every slot is busy.
Rect* DoExplosion(SInt8 kind, SInt16 h, SInt16 v, float vx, float vy, UInt8 withSparks);
void MoveExplosions();
void AnimateExplosions();
void DoWing(SInt8 enemy, SInt16 h, SInt16 v);
void MoveWings();
void AnimateWings();
void BlastWing(SInt8 wing);
void MoveStars();
void MoveBanners();
void BlinkBoss();
