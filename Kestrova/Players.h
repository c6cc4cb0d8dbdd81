// The two player ships: steering, firing, joining, placing and burning out,
// and keeping ships and the boss inside the play field.
#pragma once

#include "MacTypes.h"

void MovePlayers();
void AnimatePlayers();
void DoPlayers();
void BouncePlayers();
void FirePlayerShot(SInt8 player);
void ResetPlayer(SInt8 player);
void JoinPlayer(SInt8 player);
void BounceBoss();
