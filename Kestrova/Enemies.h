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

// The v of the 1-in-v chance that a player's kill drops a pod: the stored
// pick-up value, halved with both ships in use, at least 2.
UInt32 EnemyPodChance();

// A chance of 1 in n on a fresh draw; a divisor of 0 always hits (no draw).
bool ChanceOneIn(UInt32 n);
// ((r AND 3) + 1) x 0.33334 on a fresh draw: a drift of 0.33 to 1.33 px a step.
float RandomDrift();
// RandomDrift, negated with a chance of 1 in 2 on a second draw.
float RandomSignedDrift();
