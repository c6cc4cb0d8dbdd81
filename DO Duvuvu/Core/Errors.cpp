#include "Errors.h"

#include "DisplayHooks.h"
#include "NumberText.h"
#include "Strings.h"
#include "Sys.h"

namespace {

// "prefix" + message, 255 characters in all, captioned with the location.
void ShowBox(const char* prefix, ConstStr255Param message, ConstStr255Param location) {
  CStr caption(location);
  CStr messageText(message);
  char text[256];
  JoinCStrs(text, prefix, messageText.GetPtr(), static_cast<const char*>(nullptr));
  ShowMessageBox(caption.GetPtr(), text);
}

}  // namespace

void FatalError(const char* message, const char* location, UInt8 flag1, UInt8 flag2) {
  PStr messageString(message);
  PStr locationString(location);
  FatalErrorP(messageString.GetPtr(), locationString.GetPtr(), flag1, flag2);
}

void FatalErrorP(ConstStr255Param message, ConstStr255Param location, UInt8, UInt8) {
  // Out of play first, so the user has the cursor back for the box.
  EnterMenuMode();
  ShowBox("Error: ", message, location);
  ExitProcess(1);
}

void FatalErrorNum(const char* message, SInt16 code, UInt8 flag1, UInt8 flag2) {
  PStr messageString(message);
  FatalErrorNumP(messageString.GetPtr(), code, flag1, flag2);
}

void FatalErrorNumP(ConstStr255Param message, SInt16 code, UInt8 flag1, UInt8 flag2) {
  char number[256];
  CStrNum(number, "%d", code);
  PStr location(number);
  FatalErrorP(message, location.GetPtr(), flag1, flag2);
}

SInt32 AlertMessage(const char* message, const char* location, const char* button) {
  PStr messageString(message);
  PStr locationString(location);
  return AlertMessageP(messageString.GetPtr(), locationString.GetPtr(), button);
}

SInt32 AlertMessageP(ConstStr255Param message, ConstStr255Param location, const char*) {
  // An alert raised in menu mode must leave the program there.
  SInt32 wasInMenuMode = InMenuMode();
  EnterMenuMode();
  ShowBox("Alert: ", message, location);
  if (!wasInMenuMode) LeaveMenuMode();
  return 1;
}
