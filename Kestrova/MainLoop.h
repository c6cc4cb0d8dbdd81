// The program's fixed-step loop: 60 steps a second on the microsecond clock,
// catch-up after a slow pass, a frame after every pass that stepped.
#pragma once

#include "GameGlobals.h"
#include "MacTypes.h"
#include "TimerTasks.h"

class KVButton;

extern UInt8 QuitRequested;
extern double NextStepTime;  // microseconds
extern float AnimationPhase; // 0, 1, 2; a step at 0 is a 20 Hz tick
extern UInt8 PauseLatch;
extern StartupObject<KVButton> FullScreenButton;
extern float FullScreenButtonAlpha;
extern TimerTask AudioTimer;

constexpr float kStepMicroseconds = 16667.0f;
// A pass that finds the clock this far behind drops the backlog.
constexpr double kMaxCatchUpMicroseconds = 250000.0;

void ResetFrameTimer();
SInt32 AudioTimerTask(TimerTask* task);
void ShowOpenALRequired();
void SetupEditMenu();
void UpdateGameMenus();
// The second start-up tail; the game does not call it.
void FinishStartup();

// One step of the loop; false when QuitRequested ended it early (nothing
// after the screens ran).
bool RunGameStep();
// The full-screen button's part of a step.
void UpdateFullScreenButton();
// One pass: the quote-key delay, the steps due, a frame when one ran. The
// number of steps that completed.
int RunLoopPass();
// A shut-down signal ends the program as a confirmed Quit does: a game in
// progress is abandoned, its score never recorded.
void QuitForShutdownSignal();
// The loop until QuitRequested or a shut-down signal.
void RunMainLoop();

// The test hooks: when KESTROVA_TRACE names a file, one line per completed
// step goes there, flushed per line.
void OpenGameTrace();
void CloseGameTrace();
// The trace line of the step just completed (without the newline); steps
// counts the completed steps.
void FormatTraceLine(char* buffer, size_t size, unsigned long step);
// Seeds RandomSeed from KESTROVA_SEED when it is set.
void ApplySeedFromEnvironment();
