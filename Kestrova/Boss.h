// The two bosses, Boomerang and Blimp: entry, course, weapons and death.
#pragma once

#include "MacTypes.h"

void ResetBoss(UInt8 kind);
void MoveBoss();
void LaunchBurstEnemy(SInt16 x, SInt16 y, float vxUnits, float vyUnits);
void AnimateBoss();
