#include "Enemies.h"

#include "GameGlobals.h"

void DoEnemy() {}
void MoveEnemies() {}
void AdjustEnemies() {}
void AnimateEnemies() {}
void BlastEnemy(SInt8, Rect*, UInt8, UInt8) {}
void SeparateWing(SInt8) {}
void ClearEnemies() {}
