// Handlers for the standard high-level events, each chaining to the one
// installed before it. Installing them is fatal here: the system cannot
// answer the high-level event attribute, so nothing calls it.
#pragma once

#include "FixedResults.h"
#include "MacTypes.h"

struct PreviousHandler {
  AppleEventHandlerProc proc;
  void* refcon;
};
enum AppleEventSlot { kOpenApp, kOpenDocs, kPrintDocs, kQuitApp, kPrefs, kGetURL, kEngineEvent, kAppleEventSlots };
extern PreviousHandler PreviousAppleEventHandlers[kAppleEventSlots];
// Each item of a get-URL event, terminated.
extern char AppleEventURLBuffer[1100];
// The application's hooks (nil in this program).
extern void (*OpenDocumentsHook)();
extern void (*OpenURLHook)(const char* url);

void InstallAppleEventHandlers();
OSErr OpenApplicationHandler(const void* event, void* reply, void* refcon);
OSErr OpenDocumentsHandler(const void* event, void* reply, void* refcon);
OSErr PrintDocumentsHandler(const void* event, void* reply, void* refcon);
OSErr QuitApplicationHandler(const void* event, void* reply, void* refcon);
OSErr PreferencesHandler(const void* event, void* reply, void* refcon);
OSErr GetURLHandler(const void* event, void* reply, void* refcon);
OSErr EngineInteractHandler(const void* event, void* reply, void* refcon);
