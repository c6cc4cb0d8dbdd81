// The meteors: showers in the game, the boss's drops, bursts, and the slow
// background meteors of the main screen.
#pragma once

#include "MacTypes.h"

void ClearZadados();
// One launch attempt into the lowest free slot.
void DoZadado();
void MoveZadados();
void AnimateZadados();
void LaunchZadado();
// kind picks the spark colour: 0, 1 the shooter; 2 a pellet; 3..5 plasma.
void BlastZadado(SInt8 index, Rect* hitRect, UInt8 kind, UInt8 force);
void NewZadado_Title(UInt8 anywhere);
void MoveTitleZadados();
