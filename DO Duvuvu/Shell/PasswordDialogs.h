// The password dialogs' record; their event handlers are in DialogItems.h.
#pragma once

#include "MacTypes.h"
#include "SystemCalls.h"

// One layout for both dialogs; every text starts empty.
struct PasswordDialogRecord {
  ControlRef firstField;
  ControlRef secondField;
  ControlRef defaultButton;
  Str31 firstEntry;
  Str31 storedPassword;
  Str31 secondEntry;
  UInt8 triesLeft;
  OSType result;
  Str31 confirmation;
};
