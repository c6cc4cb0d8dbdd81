// The game's hooks into the engine's event dispatch: quit, suspend, resume,
// the Edit menu's Paste, the window's close box and the About command.
#pragma once

#include "MacTypes.h"
#include "RefObjects.h"

// Set when going to the background paused a running game; nothing reads it.
extern UInt8 PausedBySuspension;

// The per-event hook the engine calls after an event or a menu command.
void HandleAppEvent();
void HandleAboutCommand();
// Opens the quit question once, however often it is asked for.
void ConfirmQuit();

// The steps of HandleAppEvent.
UInt8 HasPendingClick();
UInt8 HandleSuspend();
UInt8 HandleResume();
void HandleEditMenu();
void HandleCloseBox();
// The clipboard's text; always empty here. The caller releases it.
StringObject* GetClipboardText();
