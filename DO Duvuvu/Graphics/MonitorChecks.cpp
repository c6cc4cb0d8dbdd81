#include "MonitorChecks.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "AppGlobals.h"
#include "Backend.h"
#include "Clocks.h"
#include "Errors.h"
#include "FixedResults.h"
#include "MainPrefs.h"
#include "Ports.h"
#include "ResultCodes.h"
#include "Strings.h"
#include "Sys.h"
#include "System.h"
#include "SystemUI.h"
#include "WindowRecords.h"
#include "Windows.h"

namespace {

constexpr SInt16 kAlertStyleOKOther = 2;
constexpr OSType kAlertOK = FOUR_CHAR_CODE("ok  ");
constexpr SInt32 kTimeTaskDelay = 16;
constexpr UInt32 kSixtyHertz = 60u << 16;
constexpr int kBeamPositionFunction = 27;
constexpr int kCurrentModeFunction = 2;

OSType DefaultRunAlert(const char*, SInt16) { return 0; }

Rect DefaultCenterDialogRect(SInt16 width, SInt16 height, SInt16 extraHeight) {
  Rect screen;
  GetMainScreenRect(&screen);
  const SInt32 h = height + extraHeight;
  const SInt32 left = screen.left + (screen.right - screen.left - width) / 2;
  const SInt32 top = screen.top + (screen.bottom - screen.top - h) / 3;
  return Rect{static_cast<SInt16>(top), static_cast<SInt16>(left), static_cast<SInt16>(top + h),
              static_cast<SInt16>(left + width)};
}

void DefaultAddDialogItem(WindowRef, const Rect*, SInt16, ConstStr255Param) {}
void DefaultRunModalWindow(WindowRef) {}
OSType DefaultRunTextAlert(ConstStr255Param, SInt16, SInt16, SInt16) { return FOUR_CHAR_CODE("not!"); }

const MonitorDialogSeam kDefaultSeam = {DefaultRunAlert, DefaultCenterDialogRect, DefaultAddDialogItem,
                                        DefaultRunModalWindow};
TextAlertProc gTextAlert = DefaultRunTextAlert;
MonitorDialogSeam gSeam = kDefaultSeam;

void ApplicationNameC(char* out) { PToCStr(ApplicationName, out); }

std::atomic_ref<SInt32> StopWord(DisplayRecord* record) { return std::atomic_ref<SInt32>(record->vbl.stopWord); }

SInt32 BeamPosition(UInt32 display) {
  if (!DisplayFunctionsBound()) return 0;
  return reinterpret_cast<DisplayBeamPositionProc>(DisplayFunctions[kBeamPositionFunction])(display);
}

}  // namespace

void SetMonitorDialogSeam(const MonitorDialogSeam* seam) { gSeam = seam ? *seam : kDefaultSeam; }

void SetTextAlertSeam(TextAlertProc alert) { gTextAlert = alert ? alert : DefaultRunTextAlert; }

OSType RunDialogTextAlert(ConstStr255Param message, SInt16 width, SInt16 option1, SInt16 option2) {
  return gTextAlert(message, width, option1, option2);
}

UInt8 AskToChangeResolution(SInt16 width, SInt16 height) {
  const UInt8 mode = gMainPrefs.monitorMode;
  if (mode == 0) return 1;
  if (mode != 1) return 0;
  char name[256];
  ApplicationNameC(name);
  char message[512];
  std::snprintf(message, sizeof message, "%s will look better displayed at a resolution of %dx%d.  Is it OK to change?",
                name, width, height);
  message[255] = 0;  // the question is cut at 255 characters
  return gSeam.runAlert(message, kAlertStyleOKOther) == kAlertOK;
}

void ShowMonitorRequirement(SInt16 width, SInt16 height, SInt16 depth) {
  SystemBeep();
  char depthText[64];
  if (depth > 8)
    std::snprintf(depthText, sizeof depthText, "%d bit color", depth);
  else
    std::snprintf(depthText, sizeof depthText, "%ld colors/grays", 1L << (depth < 0 ? 0 : depth));
  char name[256];
  ApplicationNameC(name);
  char text[512];
  std::snprintf(text, sizeof text, "Sorry, %s requires a monitor at least %dx%d capable of displaying %s.", name,
                width, height, depthText);
  text[255] = 0;
  Str255 message;
  CToPStr(text, message);

  const Rect frame = gSeam.centerDialogRect(384, 104, 0);
  WindowRef window = nullptr;
  CreateWindowRef(1, 0x2000000, &frame, &window);
  if (window) SetNewWindowOption(window, 3, 0);
  const SInt16 w = frame.right - frame.left;
  const SInt16 h = frame.bottom - frame.top;
  const Rect button = {static_cast<SInt16>(h - 40), static_cast<SInt16>(w - 90), static_cast<SInt16>(h - 20),
                       static_cast<SInt16>(w - 20)};
  const Rect icon = {10, 20, 42, 52};
  const Rect textRect = {10, 74, static_cast<SInt16>(h - 48), static_cast<SInt16>(w - 20)};
  static const unsigned char kOK[] = "\002OK";
  static const unsigned char kEmpty[] = "";
  gSeam.addDialogItem(window, &button, kDialogItemButton, kOK);
  gSeam.addDialogItem(window, &icon, kDialogItemIcon, kEmpty);
  gSeam.addDialogItem(window, &textRect, kDialogItemStaticText, message);

  if (!gCursorVisible) ShowCursorOnce();
  gSeam.runModalWindow(window);
  if (gCursorVisible) {
    GetBackend().ShowCursor(false);
    gCursorVisible = 0;
  }
  if (window) DisposeWindowRef(window);
  // The user was told the program cannot run: a failure's status.
  ShutdownApplication(1);
  ExitProcess(1);
}

void InstallVBLTask(DisplayRecord* record, void (*client)()) {
  if (record->vblInstalled) return;
  record->vbl.client = client;
  StopWord(record).store(0);
  record->vbl.running = 0;
  record->vbl.taskRoutine = VBLTimeTaskProc;
  record->vbl.timeTask.routine = VBLTimeTaskProc;
  record->vbl.timeTask.wakeUp = 0;
  record->vbl.timeTask.reserved = 0;
  InstallTimeTask(&record->vbl.timeTask);
  PrimeTimeTask(&record->vbl.timeTask, kTimeTaskDelay);
  if (const SInt32 err = StopWord(record).load())
    FatalErrorNum("A problem occurred during a vbl task", static_cast<SInt16>(err));
  record->vblInstalled = 1;
}

void RemoveVBLTask(DisplayRecord* record) {
  if (!record->vblInstalled) return;
  if (!record->vbl.running) {
    RemoveTimeTask(&record->vbl.timeTask);
  } else {
    if (StopWord(record).load() == 0) {
      StopWord(record).store(-1);
      while (StopWord(record).load() != 0) SleepMilliseconds(1);
    }
    record->vbl.running = 0;
  }
  record->vblInstalled = 0;
  record->vbl.client = nullptr;
}

void VBLTimeTaskProc(TimeTaskRecord* task) {
  // The time task is the first member of the VBL state.
  auto* state = reinterpret_cast<VBLTaskState*>(task);
  if (state->client) state->client();
  PrimeTimeTask(task, kTimeTaskDelay);
}

SInt32 RunVBLTimer(DisplayRecord* record) {
  if (!record) return kErrFailed;
  DisplayMode mode{};
  SInt32 status = 2;  // no display functions
  if (DisplayFunctionsBound()) {
    const void* current =
        reinterpret_cast<DisplayModeQueryProc>(DisplayFunctions[kCurrentModeFunction])(record->displayID);
    status = current ? ReadDisplayMode(current, &mode) : 2;
  }
  StopWord(record).store(status);

  const double lines = mode.height;
  const UInt32 refresh = mode.refreshRate ? mode.refreshRate : kSixtyHertz;
  const double period = 65536.0 / refresh;
  const double lineRate = refresh * lines / 65536.0;

  UInt64 next = GetUpTime();
  DelayUntilNanoseconds(&next);
  SInt32 beam = BeamPosition(record->displayID);
  if (beam > static_cast<SInt32>(mode.height)) beam = 0;
  if (lineRate > 0) next = GetUpTime() + SecondsToUpTime((lines - beam) / lineRate);

  while (StopWord(record).load() == 0) {
    DelayUntilNanoseconds(&next);
    double b = BeamPosition(record->displayID);
    const SInt64 late = static_cast<SInt64>(GetUpTime() - next);
    double correction = 0;
    if (lineRate > 0 && UpTimeToSeconds(static_cast<UInt64>(late < 0 ? -late : late)) < period * 0.1) {
      if (b > lines * 0.5) b -= lines;
      correction = b * 0.3 / lineRate;
    }
    next += SecondsToUpTime(period - correction);
    if (record->vbl.client) record->vbl.client();
  }
  const SInt32 result = StopWord(record).load();
  StopWord(record).store(0);
  record->vbl.running = 0;
  return result;
}

double UpTimeToSeconds(UInt64 upTime) { return static_cast<double>(upTime) * 1e-9; }

UInt64 SecondsToUpTime(double seconds) { return static_cast<UInt64>(static_cast<SInt64>(seconds * 1e9)); }

void DisplayVBLTask() {}

void InstallDisplayVBLTasks() {
  if (!DisplayList || DisplayList->count == 0) FatalError("InitDisplays() must be called before InitDisplays().", "");
  InstallVBLTask(&DisplayList->data[0], DisplayVBLTask);
}

void RemoveDisplayVBLTasks() {
  if (DisplayList && DisplayList->count != 0) RemoveVBLTask(&DisplayList->data[0]);
}
