#include "AppleEvents.h"

#include <cstdio>
#include <cstring>

#include "AppCallbacks.h"
#include "Errors.h"
#include "SystemCalls.h"

PreviousHandler PreviousAppleEventHandlers[kAppleEventSlots];
char AppleEventURLBuffer[1100];
void (*OpenDocumentsHook)() = nullptr;
void (*OpenURLHook)(const char* url) = nullptr;

namespace {

InteractionIdleProc gInteractionIdle = nullptr;

// An opaque descriptor record of the event layer.
struct Descriptor {
  OSType type;
  void* data;
};

OSErr Chain(AppleEventSlot slot, const void* event, void* reply) {
  const PreviousHandler& previous = PreviousAppleEventHandlers[slot];
  return previous.proc ? static_cast<OSErr>(previous.proc(event, reply, previous.refcon)) : 0;
}

[[noreturn]] void ParamFailure(OSErr status) {
  char message[64];
  std::snprintf(message, sizeof message, "(%d)  AEGetParamDesc() failed.", static_cast<int>(status));
  FatalError(message, "");
}

Boolean EngineIdle(const void*, UInt32*, void*) { return 0; }

struct Installed {
  OSType eventClass, eventID;
  AppleEventSlot slot;
  AppleEventHandlerProc handler;
};

}  // namespace

void InstallAppleEventHandlers() {
  SInt32 value = 0;
  if (GetSystemAttribute(FOUR_CHAR_CODE("evnt"), &value) != 0) FatalError("Apple events are not available!", "");
  const Installed events[] = {
      {FOUR_CHAR_CODE("aevt"), FOUR_CHAR_CODE("oapp"), kOpenApp, OpenApplicationHandler},
      {FOUR_CHAR_CODE("aevt"), FOUR_CHAR_CODE("pdoc"), kPrintDocs, PrintDocumentsHandler},
      {FOUR_CHAR_CODE("aevt"), FOUR_CHAR_CODE("quit"), kQuitApp, QuitApplicationHandler},
      {FOUR_CHAR_CODE("aevt"), FOUR_CHAR_CODE("pref"), kPrefs, PreferencesHandler},
      {FOUR_CHAR_CODE("GURL"), FOUR_CHAR_CODE("GURL"), kGetURL, GetURLHandler},
      {FOUR_CHAR_CODE("Dvvu"), FOUR_CHAR_CODE("DVVU"), kEngineEvent, EngineInteractHandler},
  };
  for (const Installed& e : events) {
    if (e.slot == kPrefs && !IsOSXOrLater()) continue;
    PreviousHandler& previous = PreviousAppleEventHandlers[e.slot];
    previous = PreviousHandler{};
    OSErr status = GetAppleEventHandler(e.eventClass, e.eventID, &previous.proc, &previous.refcon, 0);
    if (status != 0 && status != -1717) FatalErrorNum("There was a problem with apple events", status);
    status = InstallAppleEventHandler(e.eventClass, e.eventID, e.handler, nullptr, 0);
    if (status != 0) FatalErrorNum("There was a problem with apple events", status);
  }
  if (AppCallbacks.appleEventsInstalled) AppCallbacks.appleEventsInstalled();
  gInteractionIdle = EngineIdle;
}

OSErr OpenApplicationHandler(const void* event, void* reply, void*) { return Chain(kOpenApp, event, reply); }
OSErr PrintDocumentsHandler(const void* event, void* reply, void*) { return Chain(kPrintDocs, event, reply); }
OSErr QuitApplicationHandler(const void* event, void* reply, void*) { return Chain(kQuitApp, event, reply); }
OSErr PreferencesHandler(const void* event, void* reply, void*) { return Chain(kPrefs, event, reply); }

OSErr OpenDocumentsHandler(const void* event, void* reply, void*) {
  Descriptor list{};
  OSErr status = gSystemCalls.getParamDesc(event, FOUR_CHAR_CODE("----"), FOUR_CHAR_CODE("list"), &list);
  if (status != 0) ParamFailure(status);
  SInt32 count = 0;
  if (gSystemCalls.countItems(&list, &count) != 0) FatalError("AECountItems() failed.", "");
  for (SInt32 i = 1; i <= count; ++i) {
    UInt8 spec[70] = {};
    OSType keyword = 0, type = 0;
    SInt32 size = 0;
    gSystemCalls.getNthItem(&list, i, FOUR_CHAR_CODE("fss "), &keyword, &type, spec, sizeof spec, &size);
  }
  AEDisposeDesc(&list);
  if (OpenDocumentsHook) OpenDocumentsHook();
  return Chain(kOpenDocs, event, reply);
}

OSErr GetURLHandler(const void* event, void* reply, void*) {
  Descriptor list{};
  OSErr status = gSystemCalls.getParamDesc(event, FOUR_CHAR_CODE("----"), FOUR_CHAR_CODE("list"), &list);
  if (status != 0) ParamFailure(status);
  SInt32 count = 0;
  if (gSystemCalls.countItems(&list, &count) != 0) FatalError("AECountItems() failed.", "");
  for (SInt32 i = 1; i <= count; ++i) {
    OSType keyword = 0, type = 0;
    SInt32 size = 0;
    // One byte is kept for the terminator: the hook gets a C string.
    const SInt32 room = sizeof AppleEventURLBuffer - 1;
    if (gSystemCalls.getNthItem(&list, i, FOUR_CHAR_CODE("****"), &keyword, &type, AppleEventURLBuffer, room, &size) != 0)
      continue;
    AppleEventURLBuffer[size < 0 ? 0 : (size > room ? room : size)] = 0;
    if (OpenURLHook) OpenURLHook(AppleEventURLBuffer);
  }
  AEDisposeDesc(&list);
  return Chain(kGetURL, event, reply);
}

OSErr EngineInteractHandler(const void* event, void* reply, void*) {
  if (RequestUserInteraction(-1, nullptr, gInteractionIdle) != -1713) ShowAlertByID(444, nullptr);
  return Chain(kEngineEvent, event, reply);
}
