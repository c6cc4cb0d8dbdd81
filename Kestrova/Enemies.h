// The enemy ships: launching, flying, shields, spinning, bursting and blasts.
#pragma once

#include "MacTypes.h"

void DoEnemy();
void MoveEnemies();
void AdjustEnemies();
void AnimateEnemies();
void BlastEnemy(SInt8 index, Rect* hitRect, UInt8 byPlayerShot, UInt8 dropWing);
void SeparateWing(SInt8 index);
// Enemies, wings, pods, explosions and enemy shots out of use.
void ClearEnemies();
