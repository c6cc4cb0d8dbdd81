#include "Effects.h"

SInt16 DoSparks(SInt16, SInt8, const GameColor&, SInt16, SInt16) { return 0; }
void MoveSparks() {}
void AnimateSparks() {}
void DoFlash(SInt16, SInt16, const GameColor&, float, float) {}
Rect* DoExplosion(SInt8, SInt16, SInt16, float, float, UInt8) { return nullptr; }
void MoveExplosions() {}
void AnimateExplosions() {}
void DoWing(SInt8, SInt16, SInt16) {}
void MoveWings() {}
void AnimateWings() {}
void MoveStars() {}
void MoveBanners() {}
void BlinkBoss() {}
