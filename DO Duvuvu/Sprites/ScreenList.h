// The screen list: every shown screen steps and draws once per step and frame,
// in the order shown; only the current screen takes input.
#pragma once

#include "Lists.h"
#include "MacTypes.h"

class ScreenGL {
 public:
  ScreenGL();
  virtual ~ScreenGL() = default;

  virtual void Process() {}  // one logic step
  virtual void Draw() {}     // one frame

  // Lists the screen (made current when modal), activates it and drops the
  // pending mouse and key events, so the input that showed it does not reach it.
  void Show(UInt8 modal);
  void Hide();
  bool IsCurrent() const;

  UInt8 active = 0;
  UInt8 secondFlag = 0;  // free for derived screens
  Rect rect = {32, 32, 272, 352};
};

// Nil until the first screen is listed. A node whose value is nil was removed
// during a pass and is unlinked when the pass ends.
extern PtrList<ScreenGL>* screenLIST;
extern ScreenGL* currentScreen;

// Every active screen's Process; then the system's text input is on only
// while a text field has the focus.
void ProcessScreens();
void DrawScreens();
bool AnyScreenActive();
// A screen already listed moves to the tail: one node per screen.
void AddScreen(ScreenGL* screen);
void RemoveScreen(ScreenGL* screen);
void BringScreenToFront(ScreenGL* screen);
void RecomputeCurrentScreen();

// Tests only: frees the list and forgets the current screen.
void ResetScreenListForTesting();
