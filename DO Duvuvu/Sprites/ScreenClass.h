// The older screen model: RunScreen owns the frame loop while a Screen lives;
// screens run from inside others stack, and the outer one restarts after.
#pragma once

#include "MacTypes.h"

class Screen {
 public:
  Screen();
  virtual ~Screen() = default;

  virtual void Setup() {}  // when run and not already stacked
  virtual void Start() {}  // each start or restart
  virtual void Begin();    // per frame in state 0; advances the state
  virtual void Process();  // per frame until state 3; advances the state
  virtual void Finish();   // per frame in state 2; advances the state
  virtual void Stop() {}
  virtual void Cleanup() {}  // after Stop, when Setup ran in this run
  virtual void Redraw() {}

  void GetScreenName(StringPtr outName) const;

  UInt8 menuMode = 0;  // runs in menu mode, else the play state
  UInt8 pollEvents = 1;
  Str31 name = {0};
};

constexpr SInt16 kScreenStackDepth = 20;

// A screen beyond the stack's 20 is refused.
void RunScreen(Screen* screen, UInt8 replace);
SInt16 GetScreenState();
void SetScreenState(SInt16 state);
void AdvanceScreenState();
void EndScreen();
void ResetScreenInput();
Screen* TopScreen();
Screen* GetRunningScreen();
Screen* GetPreviousScreen();
bool HandleScreenUpdate();
// One frame of the top screen; false once its state is 3.
bool RunScreenFrame();
// Screens on the stack, bottom first (count in *outCount).
Screen* const* GetScreenStack(SInt16* outCount);

// Tests only: empties the stack and clears the manager's globals.
void ResetScreenManagerForTesting();
