#include "PlayerKeys.h"

#include <cstring>

#include "DisplayHooks.h"
#include "EventPoll.h"
#include "GLFrame.h"
#include "GameAssets.h"
#include "GameGlobals.h"
#include "GameSound.h"
#include "InputDevices.h"
#include "InterfaceFrames.h"
#include "MainLoop.h"
#include "PortDrawing.h"
#include "ScreenList.h"
#include "Screens/PauseScreen.h"
#include "Scoring.h"
#include "Windows.h"

namespace {

constexpr UInt8 kReturnKey = 36;
constexpr UInt8 kEscapeKey = 53;
constexpr UInt8 kCapsLockKey = 138;

Point gLatchedCursor;
Point gPreviousCursor;

bool InsideRect(Point point, const Rect& r) {
  return r.left <= point.h && point.h < r.right && r.top <= point.v && point.v < r.bottom;
}

}  // namespace

void PollPlayerKeys() {
  for (int p = kPlayerCount - 1; p >= 0; --p)
    for (int k = 0; k < 5; ++k)
      if (IsKeyCodeDown(KeyBindings[p][k])) PlayerKeyFlags[p][k] = 1;
  if (IsKeyDownEvent(kReturnKey, 0, nullptr)) ReturnKeyFlag = 1;
  if (IsKeyDownEvent(kEscapeKey, 0, nullptr)) EscapeKeyFlag = 1;
}

void ClearPlayerMoveKeys() {
  std::memset(PlayerKeyFlags, 0, sizeof PlayerKeyFlags);
  std::memset(PlayerStick, 0, sizeof PlayerStick);
}

void ClearPauseFlags() {
  EscapeKeyFlag = 0;
  ReturnKeyFlag = 0;
}

void ClearPlayerKeys() {
  ClearPlayerMoveKeys();
  ClearPauseFlags();
}

void TogglePause() {
  if (AnyScreenActive() || GameFlags.gameOver || GetFadeBrightness() != 255) return;
  GameFlags.paused = !GameFlags.paused;
  if (GameFlags.paused) {
    PauseScreen::Open(gPauseScreen.Pointer());
    SetCursorWanted();
  } else {
    gPauseScreen->Hide();
  }
  PlayGameSound(&gSounds->blip, GetGameSource(), nullptr, 1.0f, 1.0f, 0);
  if (GameFlags.paused) ClearPlayerKeys();
}

void AbortGame() {
  UInt8 current = GameFlags.scoringPlayer & 1;
  const UInt8 order[2] = {static_cast<UInt8>(current ^ 1), current};
  for (UInt8 p : order) {
    Player& player = gPlayers[p];
    if (player.active && player.state == PlayerFlying) AddShield(static_cast<SInt8>(p), -12);
  }
  GameFlags.gameOver = 1;
}

void UpdateGameCursor() {
  Point mouse = GetPortMouse();
  if (!IsFrontProcess()) {
    CursorOutside = 1;
    return;
  }
  MoveImageToPoint(&GameCursor, &mouse);
  bool inside = InsideRect(mouse, ScreenRect) && !(IsTaskbarVisible() && IsFullScreen());
  if (inside) {
    if (SystemCursorShown) {
      HideMouseCursor();
      SystemCursorShown = 0;
    }
    CursorOutside = 0;
  } else {
    CursorOutside = 1;
    if (!SystemCursorShown) {
      ShowMouseCursor();
      SystemCursorShown = 1;
    }
  }
}

void SetCursorWanted() {
  CursorWanted = 1;
  CursorOutside = 0;
}

void ClearCursorWanted() { CursorWanted = 0; }

Point LatchCursorPosition() {
  if (!CursorOutside) {
    CursorOutside = 1;
    gLatchedCursor = GetPortMouse();
    gPreviousCursor = gLatchedCursor;
  }
  return gLatchedCursor;
}

void CheckPause() {
  bool trigger = EscapeKeyFlag || ReturnKeyFlag || IsKeyCodeDown(kCapsLockKey) ||
                 GetMouseDownPortLocation(nullptr, nullptr);
  if (!trigger) {
    PauseLatch = 0;
    return;
  }
  if (!PauseLatch && GetFadeBrightness() == 255) TogglePause();
  PauseLatch = 1;
}
