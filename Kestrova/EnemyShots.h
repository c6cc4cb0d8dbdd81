// The enemies' and the boss's lasers and bolts.
#pragma once

#include "MacTypes.h"

void FireEnemyLaser(SInt8 index);
// 1 when a bolt was placed, 0 when every slot is busy.
UInt8 FireBolt(SInt16 x, SInt16 y, UInt8 kind);
void MoveEnemyShots();
