#include "ScreenClass.h"

#include <algorithm>
#include <cstdint>

#include "BoundedStack.h"
#include "DisplayHooks.h"
#include "EventPoll.h"
#include "Events.h"
#include "GLFrame.h"
#include "Menus.h"
#include "TickRecords.h"
#include "Windows.h"

namespace {

constexpr UInt16 kUpdateEvent = 6;

BoundedStack<Screen*>* gStack = nullptr;
SInt16 gState = 0;
bool gInUpdate = false;
Screen* gNextScreen = nullptr;
Screen* gRunningScreen = nullptr;
Screen* gPreviousScreen = nullptr;

BoundedStack<Screen*>& Stack() {
  if (!gStack) gStack = new BoundedStack<Screen*>(kScreenStackDepth);
  return *gStack;
}

bool StackFull() { return Stack().top >= Stack().capacity - 1; }

void Push(Screen* screen) {
  BoundedStack<Screen*>& stack = Stack();
  if (stack.top < stack.capacity - 1) stack.data[++stack.top] = screen;
}

void Pop() {
  BoundedStack<Screen*>& stack = Stack();
  if (stack.top >= 0) stack.data[stack.top--] = nullptr;
}

void ApplyMenuMode(const Screen* screen) {
  if (screen->menuMode) {
    if (!InMenuMode()) EnterMenuMode();
  } else {
    LeaveMenuMode();
  }
}

bool RectsOverlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// A play-state screen runs without the menu bar when it would cover the game.
void HideMenuBarForPlay(const Screen* screen) {
  if (screen->menuMode) return;
  if (IsFullScreen() || RectsOverlap(gMenuBar.localRect, ScreenRect)) HideMenuBarIfShown();
}

// Runs one screen and every screen that waits after it.
void RunScreenLoop(Screen* screen) {
  while (screen) {
    const bool alreadyStacked = Stack().Contains(&screen) != 0;
    Push(screen);
    gState = 0;
    ResetScreenInput();
    HideMenuBarForPlay(screen);
    if (!alreadyStacked) screen->Setup();
    ApplyMenuMode(screen);
    screen->Start();
    while (RunScreenFrame()) {
    }
    if (Screen* top = TopScreen()) {
      top->Stop();
      if (!alreadyStacked) top->Cleanup();
    }
    Pop();
    screen = gNextScreen;
    gNextScreen = nullptr;
    if (screen) {
      gPreviousScreen = gRunningScreen;
      gRunningScreen = screen;
    }
  }
}

}  // namespace

Screen::Screen() = default;

void Screen::Begin() { AdvanceScreenState(); }
void Screen::Process() { AdvanceScreenState(); }
void Screen::Finish() { AdvanceScreenState(); }

void Screen::GetScreenName(StringPtr outName) const { std::copy(name, name + name[0] + 1, outName); }

SInt16 GetScreenState() { return gState; }

void SetScreenState(SInt16 state) {
  if (!gInUpdate) gState = state;
}

void AdvanceScreenState() {
  if (gInUpdate) return;
  switch (gState) {
    case 0:
      gState = 1;
      break;
    case 1:
      ResetScreenInput();
      gState = 2;
      break;
    default:
      gState = 3;
      break;
  }
}

void EndScreen() {
  if (gInUpdate) return;
  ResetScreenInput();
  if (gState != 3) gState = 2;
}

void ResetScreenInput() {
  DrainEvents(62);
  ClearKeyTables();
}

Screen* TopScreen() {
  BoundedStack<Screen*>& stack = Stack();
  return stack.top >= 0 ? stack.data[stack.top] : nullptr;
}

Screen* GetRunningScreen() { return gRunningScreen; }
Screen* GetPreviousScreen() { return gPreviousScreen; }

bool HandleScreenUpdate() {
  Screen* top = TopScreen();
  if (!top) return false;
  const EventRec* event = GetCurrentEventRec();
  const bool pending = event && event->what == kUpdateEvent &&
                       event->message == static_cast<UInt32>(reinterpret_cast<uintptr_t>(gMainWindow));
  if (pending == (top->menuMode != 0)) return false;
  gInUpdate = true;
  top->Redraw();
  gInUpdate = false;
  return true;
}

bool RunScreenFrame() {
  RecordTickCount();
  Screen* top = TopScreen();
  if (!top) return false;
  if (gState == 0) {
    top->Begin();
    if (gState == 2) top->Finish();
  } else if (gState == 2) {
    top->Finish();
  }
  if (top->pollEvents && gState != 3) {
    PollEvents(0xFFFF, nullptr);
    if (top->menuMode) DispatchCurrentEvent();
  }
  if (gState != 3) top->Process();
  return gState != 3;
}

void RunScreen(Screen* screen, UInt8 replace) {
  if (gInUpdate || !screen) return;
  if (gRunningScreen && replace) {
    gNextScreen = screen;
    EndScreen();
    return;
  }
  // A full stack would leave the new screen unstacked while the frames run
  // the top one: refuse it before anything changes.
  if (StackFull()) return;
  ResetScreenInput();
  Screen* outer = gRunningScreen;
  gPreviousScreen = outer;
  gRunningScreen = screen;
  if (outer) {
    EndScreen();
    while (RunScreenFrame()) {
    }
    outer->Stop();
  }
  RunScreenLoop(screen);
  gPreviousScreen = gRunningScreen;
  gRunningScreen = TopScreen();
  if (Screen* top = TopScreen()) {
    // The outer screen starts over.
    Pop();
    Push(top);
    gState = 0;
    ResetScreenInput();
    ApplyMenuMode(top);
    top->Start();
  }
}

Screen* const* GetScreenStack(SInt16* outCount) {
  BoundedStack<Screen*>& stack = Stack();
  if (outCount) *outCount = static_cast<SInt16>(stack.top + 1);
  return stack.data;
}

void ResetScreenManagerForTesting() {
  delete gStack;
  gStack = nullptr;
  gState = 0;
  gInUpdate = false;
  gNextScreen = nullptr;
  gRunningScreen = nullptr;
  gPreviousScreen = nullptr;
}
