#include "ShellServices.h"

#include "Backend.h"
#include "DisplayHooks.h"
#include "FixedResults.h"
#include "RefObjects.h"

void* EngineNib = nullptr;

namespace {

void* gScriptInstance = nullptr;
Handle gLinkCursor = nullptr;

}  // namespace

OSStatus OpenURLInShell(const char* text) {
  // Leave full screen first so the desktop's handler is seen.
  SetFullScreen(0);
  GetBackend().OpenExternal(text);
  return 0;
}

SInt32 StartURLService() {
  if (!gScriptInstance) gScriptInstance = OpenComponentByType(FOUR_CHAR_CODE("osa "), FOUR_CHAR_CODE("ascr"));
  return gScriptInstance ? 1 : 0;
}

OSStatus StopURLService() {
  if (!gScriptInstance) return 0;
  const OSStatus status = CloseComponentInstance(gScriptInstance);
  gScriptInstance = nullptr;
  return status;
}

Handle GetCursorByID(SInt16) { return nullptr; }

void InitLinkCursor() { gLinkCursor = GetCursorByID(1000); }

Handle GetLinkCursor() { return gLinkCursor; }

OSStatus OpenEngineNib() {
  StringObject* name = CreateString(nullptr, "DO Duvuvu", kDefaultTextEncoding);
  void* nib = nullptr;
  const OSStatus status = CreateNibReference(name, &nib);
  if (status == 0) EngineNib = nib;
  ReleaseObject(name);
  return status;
}
