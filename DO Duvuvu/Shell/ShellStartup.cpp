#include "DialogDefaults.h"
#include "EventPoll.h"
#include "Joystick.h"
#include "NibWindows.h"
#include "Replay.h"
#include "ShellServices.h"
#include "Startup.h"
#include "Windows.h"

void RegisterShellStartup() {
  AddStartupEntry({"Window class", RegisterWindowClass, UnregisterWindowClass});
  AddStartupEntry({"EventRec stack", InitEventRecStack, ExitEventRecStack});
  AddStartupEntry({"Dialog defaults", InitDialogDefaults, nullptr});
  AddStartupEntry({"Link cursor", InitLinkCursor, nullptr});
  AddStartupEntry({"Nib handlers", InitNibHandlers, nullptr});
  AddStartupEntry({"Joystick lists", InitJoystickLists, ExitJoystickLists});
  AddStartupEntry({"Replay", InitReplay, ExitReplay});
}
