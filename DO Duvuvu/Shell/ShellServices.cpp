#include "ShellServices.h"

#include "Backend.h"
#include "DisplayHooks.h"
#include "FixedResults.h"
#include "RefObjects.h"
#include "SystemCalls.h"

#include <string>

void* EngineNib = nullptr;
UInt8 PreferencePaneSwitch = 1;

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

namespace {

OSErr RunWith(void* instance, const char* text, SInt32 length) {
  void* script = nullptr;
  OSErr status = gSystemCalls.compileScript(instance, text, length, &script);
  void* value = nullptr;
  if (status == 0) status = gSystemCalls.executeScript(instance, script, &value);
  return status;
}

}  // namespace

OSErr RunScriptText(const char* text, SInt32 length, void*) {
  if (!gScriptInstance) StartURLService();
  return RunWith(gScriptInstance, text, length);
}

OSErr RunScriptCString(const char* text) {
  return RunScriptText(text, static_cast<SInt32>(std::char_traits<char>::length(text ? text : "")), nullptr);
}

OSErr RunScriptForResult(const char* text, SInt32 length, void*, void*) {
  void* instance = OpenComponentByType(FOUR_CHAR_CODE("osa "), FOUR_CHAR_CODE("ascr"));
  if (!instance) return -50;
  const OSErr status = RunWith(instance, text, length);
  CloseComponentInstance(instance);
  return status;
}

OSErr RevealPathInFinder(const char* path) {
  std::string script = "tell application \"Finder\"\n  activate\n  set filePath to \"";
  script += path ? path : "";
  script += "\"\n  reveal filePath as POSIX file\nend tell";
  return RunScriptCString(script.c_str());
}

OSStatus OpenPreferencePane(ConstStr255Param) {
  if (PreferencePaneSwitch == 0) return 0;
  StringObject* folder = CreateString(nullptr, "/System/Library/PreferencePanes/", kDefaultTextEncoding);
  URLObject* url = CreateURLWithPath(nullptr, folder, 0, 1);
  ReleaseObject(folder);
  if (!url) return -43;
  void* bundles = CreateBundlesInDirectory(nullptr, url, nullptr);
  ReleaseObject(url);
  // No bundle listing here: no pane is ever found.
  if (!bundles) return -43;
  return -43;
}
