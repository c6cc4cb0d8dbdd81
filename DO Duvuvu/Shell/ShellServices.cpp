#include "ShellServices.h"

#include "AppGlobals.h"
#include "Backend.h"
#include "DisplayHooks.h"
#include "FileClass.h"
#include "FixedResults.h"
#include "RefObjects.h"
#include "ResultCodes.h"
#include "Strings.h"
#include "SystemCalls.h"

#include <cstring>
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
  if (!instance) return kErrParam;
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

void RevealFileSpecInFinder(const FileSpec* spec) {
  char path[kPathBufferSize];
  path[0] = 0;
  if (spec) GetFilePath(path, spec, sizeof path);
  RevealPathInFinder(path);
}

namespace {

// The bundle's "CFBundleIdentifier" equals the identifier, and fits a
// length-prefixed string; a value of another kind never matches.
bool PaneHasIdentifier(const BundleObject* bundle, ConstStr255Param identifier) {
  StringObject* key = CreateString(nullptr, "CFBundleIdentifier", kDefaultTextEncoding);
  const RefObject* value = gSystemCalls.getBundleInfoValue(bundle, key);
  ReleaseObject(key);
  if (!value || value->type != kStringObjectType) return false;
  Str255 text;
  if (!GetStringPText(static_cast<const StringObject*>(value), text, sizeof text, kDefaultTextEncoding)) return false;
  return PStrEqual(text, identifier) != 0;
}

}  // namespace

OSStatus OpenPreferencePane(ConstStr255Param identifier) {
  if (PreferencePaneSwitch == 0) return 0;
  StringObject* folder = CreateString(nullptr, "/System/Library/PreferencePanes/", kDefaultTextEncoding);
  URLObject* url = CreateURLWithPath(nullptr, folder, 0, 1);
  ReleaseObject(folder);
  if (!url) return kErrFileNotFound;
  void* bundles = gSystemCalls.createBundlesInDirectory(url);
  ReleaseObject(url);
  if (!bundles) return kErrFileNotFound;
  OSStatus status = kErrFileNotFound;
  for (SInt32 i = gSystemCalls.countBundles(bundles) - 1; i >= 0; --i) {
    const BundleObject* bundle = gSystemCalls.getBundleAt(bundles, i);
    if (!bundle || !identifier || !PaneHasIdentifier(bundle, identifier)) continue;
    FileSpec pane{};
    if (!bundle->url || !URLToFileSpec(bundle->url, &pane)) continue;
    status = gSystemCalls.openItem(&pane);
    break;
  }
  gSystemCalls.releaseBundleList(bundles);
  return status;
}

OSErr GetApplicationFileSpec(FileSpec* outSpec) {
  FileSpec spec{};
  // The current resource file is 0 here.
  const OSErr status = GetFileControlBlockSpec(0, &spec);
  if (outSpec) *outSpec = spec;
  return status;
}

OSErr RegisterAppIcon(OSType iconType, SInt16 resourceID) {
  void* icon = nullptr;
  return RegisterIconFromResource(ApplicationCreator, iconType, 0, resourceID, &icon);
}
