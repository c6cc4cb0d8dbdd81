// The game's part of every fixed step: slow motion, the 20 Hz animation pass,
// the move pass, the ends of waves, levels and the game, and the fades.
#pragma once

void DoGameStep();
