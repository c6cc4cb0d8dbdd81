// The players' keys sampled once a step, the pause toggle and its check, and
// whether the system cursor shows.
#pragma once

#include "MacTypes.h"

void PollPlayerKeys();
// All ten key flags, the stick values and both pause flags.
void ClearPlayerKeys();
// The ten key flags and the stick values; the pause flags stay for the
// pause check that follows the game step.
void ClearPlayerMoveKeys();
void ClearPauseFlags();
void TogglePause();
void AbortGame();
void UpdateGameCursor();
void SetCursorWanted();
void ClearCursorWanted();
Point LatchCursorPosition();
// Run by the loop after the full-screen button, only while a game is on and
// not paused.
void CheckPause();
