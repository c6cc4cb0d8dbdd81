#include "EnemyShots.h"

void FireEnemyLaser(SInt8) {}
UInt8 FireBolt(SInt16, SInt16, UInt8) { return 0; }
void MoveEnemyShots() {}
