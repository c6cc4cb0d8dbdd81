#include "MainLoop.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <typeinfo>

#include "AppEvents.h"
#include "Clocks.h"
#include "DisplayHooks.h"
#include "DrawGame.h"
#include "Errors.h"
#include "EventPoll.h"
#include "GLFrame.h"
#include "GameAssets.h"
#include "GameGlobals.h"
#include "GameStep.h"
#include "GamePrefs.h"
#include "InputDevices.h"
#include "KVButton.h"
#include "MainWindow.h"
#include "Menus.h"
#include "Music.h"
#include "NumberText.h"
#include "PlayerKeys.h"
#include "Ports.h"
#include "Random.h"
#include "ScreenList.h"
#include "ShellServices.h"
#include "SoundChannels.h"
#include "StartupPhases.h"
#include "Sys.h"
#include "SystemUI.h"
#include "Bundle.h"

UInt8 QuitRequested;
double NextStepTime;
float AnimationPhase;
UInt8 PauseLatch;
StartupObject<KVButton> FullScreenButton;
float FullScreenButtonAlpha;
TimerTask AudioTimer;

namespace {

constexpr UInt8 kQuoteKey = 39;

FILE* gTraceFile;
unsigned long gCompletedSteps;
bool gFirstFrameShown;

bool MouseInside(Point mouse, const Rect& r) {
  return r.left <= mouse.h && mouse.h < r.right && r.top <= mouse.v && mouse.v < r.bottom;
}

void CountInUse(int* ships, int* enemies, int* meteors) {
  *ships = 0;
  *enemies = 0;
  *meteors = 0;
  for (int p = 0; p < kPlayerCount; ++p) *ships += gPlayers[p].active ? 1 : 0;
  for (int i = 0; i < kEnemyCount; ++i) *enemies += gEnemies[i].active ? 1 : 0;
  for (int i = 0; i < kZadadoCount; ++i) *meteors += gZadados[i].active ? 1 : 0;
}

// The class name of the current screen, "-" while none.
void CurrentScreenName(char* buffer, size_t size) {
  std::snprintf(buffer, size, "-");
  if (!currentScreen) return;
  int status = 0;
  char* name = abi::__cxa_demangle(typeid(*currentScreen).name(), nullptr, nullptr, &status);
  if (status == 0 && name) std::snprintf(buffer, size, "%s", name);
  std::free(name);
}

void WriteTrace() {
  ++gCompletedSteps;
  if (!gTraceFile) return;
  char line[512];
  FormatTraceLine(line, sizeof line, gCompletedSteps);
  std::fprintf(gTraceFile, "%s\n", line);
  std::fflush(gTraceFile);
}

// The start-up phases go to the trace once, after the first presented frame.
void NoteFrameShown() {
  if (gFirstFrameShown) return;
  gFirstFrameShown = true;
  MarkStartupPhase("first frame");
  WriteStartupPhases(gTraceFile);
}

}  // namespace

void FormatTraceLine(char* buffer, size_t size, unsigned long step) {
  char screen[128];
  CurrentScreenName(screen, sizeof screen);
  int ships, enemies, meteors;
  CountInUse(&ships, &enemies, &meteors);
  std::snprintf(buffer, size,
                "step=%lu screen=%s phase=%d game=%d paused=%d over=%d level=%d kind=%d budget=%d score0=%d "
                "score1=%d shield0=%d shield1=%d ships=%d enemies=%d meteors=%d fade=%d seed=%u",
                step, screen, static_cast<int>(AnimationPhase), GameFlags.gameOn, GameFlags.paused,
                GameFlags.gameOver, GameFlags.level, GameFlags.levelKind, GameFlags.waveBudget,
                static_cast<int>(GameFlags.score[0]), static_cast<int>(GameFlags.score[1]),
                gPlayers[0].shieldBar.target, gPlayers[1].shieldBar.target, ships, enemies, meteors,
                GetFadeBrightness(), static_cast<unsigned>(RandomSeed));
}

void OpenGameTrace() {
  CloseGameTrace();
  gCompletedSteps = 0;
  std::optional<std::string> path = GetEnvironment("KESTROVA_TRACE");
  if (path && !path->empty()) gTraceFile = std::fopen(path->c_str(), "w");
}

void CloseGameTrace() {
  if (gTraceFile) std::fclose(gTraceFile);
  gTraceFile = nullptr;
}

void ApplySeedFromEnvironment() {
  std::optional<std::string> text = GetEnvironment("KESTROVA_SEED");
  if (text && !text->empty()) RandomSeed = static_cast<UInt32>(std::strtoul(text->c_str(), nullptr, 10));
}

void ResetFrameTimer() { NextStepTime = ElapsedMicroseconds(); }

SInt32 AudioTimerTask(TimerTask*) {
  ServiceMusicPlayers();
  ServiceSoundChannels();
  return 0;
}

void ShowOpenALRequired() {
  SInt32 wasInMenuMode = InMenuMode();
  EnterMenuMode();
  // The platform's box answers OK when it cannot ask: the game goes on silent.
  const bool ok = ShowQuestionBox(
      "OpenAL Required",
      "OpenAL is required for sound playback.  Press \"OK\" to continue without sound. \r\r Press "
      "\"Cancel\" to visit openal-soft.org and download \"OpenAL Installer for Windows\".");
  if (!wasInMenuMode) LeaveMenuMode();
  if (!ok) {
    OpenURLInShell("https://openal-soft.org/#download");
    ShutdownApplication(0);
  }
}

void SetupEditMenu() {
  static const unsigned char kEdit[] = "\x04" "Edit";
  static const unsigned char* const kItems[] = {
      reinterpret_cast<const unsigned char*>("\x07" "Undo/Z("), reinterpret_cast<const unsigned char*>("\x01" "-"),
      reinterpret_cast<const unsigned char*>("\x05" "Cut/X"), reinterpret_cast<const unsigned char*>("\x06" "Copy/C"),
      reinterpret_cast<const unsigned char*>("\x07" "Paste/V"), reinterpret_cast<const unsigned char*>("\x05" "Clear")};
  MenuRef menu = NewMenu(130, kEdit);
  InsertMenu(menu, 0);
  MenuItemIndex index = 0;
  for (const unsigned char* item : kItems) InsertMenuItem(menu, item, index++);
  MenuRef found = nullptr;
  MenuItemIndex foundItem = 0;
  OSStatus error = FindMenuCommand(FOUR_CHAR_CODE("pref"), &found, &foundItem);
  if (error != 0) {
    Str255 number;
    NumToPStr(error, number);
    static const unsigned char kMessage[] = "\x24GetIndMenuItemWithCommandID() failed";
    FatalErrorP(kMessage, number);
  }
  DisableMenuItem(found, foundItem);
  BuildWindowMenu(131);
}

void UpdateGameMenus() {
  MenuRef menu = GetMenuByID(131);
  if (!menu) return;
  Boolean ticked = 0;
  GetMenuItemCheck(menu, 2, &ticked);
  Boolean want = IsFullScreen() != 0;
  if (ticked != want) CheckMenuItem(menu, 2, want);
}

void FinishStartup() {
  if (!IsFullScreen()) SetFullScreen(0);
  if (ScreenRect.right - ScreenRect.left == 640 && ScreenRect.bottom - ScreenRect.top == 480) HideMenuBarIfShown();
  SetFadeDark();
  FadeInScreen(8);
  DrainEvents(62);
  EnterMenuMode();
  while (!QuitRequested && IsFrontProcess()) {
  }
}

void UpdateFullScreenButton() {
  KVButton& button = *FullScreenButton;
  Rect hover = button.rect;
  hover.left = static_cast<SInt16>(hover.left - 32);
  hover.top = static_cast<SInt16>(hover.top - 32);
  hover.right = static_cast<SInt16>(hover.right + 32);
  hover.bottom = static_cast<SInt16>(hover.bottom + 32);
  bool inside = MouseInside(GetPortMouse(), hover);
  // Summed in double, stored in single: ten steps from 0 to 1.
  if (inside && (!GameFlags.gameOn || GameFlags.paused))
    FullScreenButtonAlpha = static_cast<float>(std::min(static_cast<double>(FullScreenButtonAlpha) + 0.1, 1.0));
  else
    FullScreenButtonAlpha = static_cast<float>(std::max(static_cast<double>(FullScreenButtonAlpha) - 0.1, 0.0));
  if (AnimationPhase == 0 && button.latched != 0) --button.latched;

  MouseState mouse;
  GetMouseState(&mouse);
  if (!button.TrackMouse(&mouse, 4, 0)) return;
  if (IsFullScreen()) {
    gWindowSizes[1] = WindowSizePair{640, 480};
    SetFullScreen(0);
  } else if (gWindowSizes[1].width == 640) {
    gWindowSizes[1] = WindowSizePair{1024, 768};
    SetWindowContentSize(1024, 768);
  } else {
    SetFullScreen(1);
  }
}

bool RunGameStep() {
  PollEvents(0xFFFF, nullptr);
  if (InMenuMode()) DispatchCurrentEvent();
  // Outside menu mode no event reaches the hook: a close request still must.
  if (MenuDispatchFlags.closeBox) {
    HandleAppEvent();
    MenuDispatchFlags.closeBox = 0;
  }
  PollPlayerKeys();
  DoGameStep();
  UpdateGameCursor();
  ProcessScreens();
  if (QuitRequested) return false;
  UpdateFullScreenButton();
  if (GameFlags.gameOn && !GameFlags.paused) CheckPause();
  // The pause keys live until the pause check has read them.
  ClearPauseFlags();
  AnimationPhase += 1;
  if (AnimationPhase >= 3) AnimationPhase = 0;
  WriteTrace();
  ReleaseImagePool();
  return true;
}

int RunLoopPass() {
  if (IsKeyCodeDown(kQuoteKey)) DelayTicks(3);
  double now = ElapsedMicroseconds();
  if (now < NextStepTime) return 0;
  // After a stall, one step runs and the backlog is dropped rather than
  // played unseen.
  if (now - NextStepTime > kMaxCatchUpMicroseconds) NextStepTime = now;
  int steps = 0;
  do {
    if (!RunGameStep()) break;
    ++steps;
    NextStepTime += kStepMicroseconds;
    now = ElapsedMicroseconds();
  } while (now >= NextStepTime);
  if (steps > 0) {
    DrawGameFrame();
    NoteFrameShown();
  }
  return steps;
}

void QuitForShutdownSignal() {
  if (GameFlags.gameOn) GameFlags.gameOver = 1;
  QuitRequested = 1;
}

void RunMainLoop() {
  while (!QuitRequested) {
    if (ShutdownSignal() != 0) {
      QuitForShutdownSignal();
      break;
    }
    RunLoopPass();
  }
}
