#include "Boss.h"

void ResetBoss(UInt8) {}
void MoveBoss() {}
void LaunchBurstEnemy(SInt16, SInt16, float, float) {}
void AnimateBoss() {}
