// Scores and shields: every change of either goes through here.
#pragma once

#include "MacTypes.h"

// Points may be negative; the total stays within 0..9,999,999.
void AddScore(SInt8 player, SInt16 points);
// A shield that reaches 0 destroys the ship.
void AddShield(SInt8 player, SInt8 delta);
void BlastPlayer(SInt8 player);
