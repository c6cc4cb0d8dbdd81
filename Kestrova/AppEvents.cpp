#include "AppEvents.h"

#include "EventPoll.h"
#include "GameGlobals.h"
#include "MainLoop.h"
#include "PlayerKeys.h"
#include "Screens/AboutScreen.h"
#include "Screens/ConfirmScreen.h"
#include "TextField.h"

UInt8 PausedBySuspension;

namespace {

constexpr SInt16 kEditMenuID = 130;
constexpr SInt16 kPasteItem = 5;

// The Quit command and the close box mean the same.
void RequestQuit() {
  if (GameFlags.gameOn)
    ConfirmQuit();
  else
    QuitRequested = 1;
}

}  // namespace

UInt8 HasPendingClick() { return GetMouseSnapshot(nullptr, nullptr) ? 1 : 0; }

UInt8 HandleSuspend() {
  if (!IsSuspendRedraw()) return 0;
  if (GameFlags.gameOn && !GameFlags.paused) {
    TogglePause();
    PausedBySuspension = 1;
  }
  return 1;
}

UInt8 HandleResume() { return IsResumeRedraw() ? 1 : 0; }

StringObject* GetClipboardText() { return CreateString(nullptr, "", GetDefaultTextEncoding()); }

void HandleEditMenu() {
  SInt16 menu = 0;
  SInt16 item = 0;
  if (!GetMenuSelection(&menu, &item)) return;
  if (menu != kEditMenuID || item != kPasteItem) return;
  StringObject* text = GetClipboardText();
  PasteIntoFocusedField(text ? text->text.c_str() : "");
  if (text) ReleaseObject(text);
}

// A close request comes as an event of its own, not as a click on a box in
// the window: it is taken whatever the current event is, once.
void HandleCloseBox() {
  if (!MenuDispatchFlags.closeBox) return;
  MenuDispatchFlags.closeBox = 0;
  RequestQuit();
}

void HandleAppEvent() {
  MenuDispatchFlags.secondCommand = 0;
  if (MenuDispatchFlags.quitCommand) {
    RequestQuit();
    MenuDispatchFlags.quitCommand = 0;
  }
  if (HasPendingClick()) return;
  if (HandleSuspend()) return;
  if (HandleResume()) return;
  HandleEditMenu();
  if (!MenuDispatchFlags.inMenuCommand) HandleCloseBox();
  if (QuitRequested) AbortGame();
}

void HandleAboutCommand() { AboutScreen::Open(gAboutScreen.Pointer()); }

void ConfirmQuit() {
  if (gConfirmScreen->active) return;
  SetCursorWanted();
  ++GameFlags.quitQuestionOpen;
  ConfirmScreen::Open(gConfirmScreen.Pointer(), "Are you sure you want to quit the game in progress?", kConfirmQuit);
}
