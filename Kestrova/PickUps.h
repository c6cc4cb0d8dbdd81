// Pick-ups, pods and the status bars' animation.
#pragma once

#include "GameTypes.h"
#include "MacTypes.h"

void DoPow(SInt16 h, SInt16 v, float vx, float vy);
void MovePows();
void AnimatePows();
void DoPod(SInt8 enemy, SInt16 h, SInt16 v);
void MovePods();
void AnimatePods();
void PulseSprite(KVSprite* sprite);
void AnimateStatusBars();
