#include "PickUps.h"

void DoPow(SInt16, SInt16, float, float) {}
void MovePows() {}
void AnimatePows() {}
void DoPod(SInt8, SInt16, SInt16) {}
void MovePods() {}
void AnimatePods() {}
void PulseSprite(KVSprite*) {}
void AnimateStatusBars() {}
