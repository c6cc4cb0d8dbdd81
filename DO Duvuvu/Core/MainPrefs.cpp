#include "MainPrefs.h"

#include <cstdio>
#include <cstring>

#include "AppGlobals.h"
#include "AudioPrefsHooks.h"
#include "Bundle.h"
#include "Errors.h"
#include "NumberText.h"
#include "PlistTag.h"
#include "ResultCodes.h"
#include "SafeSave.h"
#include "Strings.h"

MainPrefs gMainPrefs;

namespace {


void CheckArguments(const MainPrefs& prefs, PlistTag* root) {
  if (prefs.fileName[0] == 0) FatalError("Must call MainPrefs::SetFileName() before MainPrefs:Load()", "");
  if (!root) FatalError("MainPrefs:Load() requires a valid PLIST dictionary to return custom prefs.", "");
}

const char* BooleanText(UInt8 flag) {
  return flag ? "true/" : "false/";
}

// "true/" sets, "false/" clears, anything else leaves the flag.
void ReadFlag(PlistTag* root, const char* key, UInt8* flag) {
  PlistTag* tag = PlistTag::FindTag(root, "boolean", key, 0);
  if (!tag) return;
  if (PStrEqualsCStr(tag->value, "true/"))
    *flag = 1;
  else if (PStrEqualsCStr(tag->value, "false/"))
    *flag = 0;
}

}  // namespace

void MainPrefs::SetFileName(const char* text) {
  CStrCopy255(fileName, text ? text : "");
}

bool MainPrefs::GetFilePath(char* path, UInt32 size) const {
  char folder[4096];
  GetPreferencesFolderPath(folder, sizeof folder);
  const int n = std::snprintf(path, size, "%s/%s.plist", folder, fileName);
  return n >= 0 && static_cast<UInt32>(n) < size;
}

OSErr MainPrefs::Save(PlistTag* root) {
  CheckArguments(*this, root);
  char path[4096];
  if (!GetFilePath(path, sizeof path)) return kErrPrefsFile;
  // The new text goes to a temporary file first, so a failed save leaves the
  // old preferences whole.
  SafeSave save;
  FILE* file = save.Open(path);
  if (!file) return kErrPrefsFile;
  Str255 number;
  NumToPStr(monitorMode, number);
  PStrCopy(number, PlistTag::FindTag(root, "integer", "Monitor Mode", 1)->value);
  PlistTag::FindTag(root, "boolean", "Full Screen", 1)->SetString(BooleanText(fullScreen));
  PlistTag::FindTag(root, "boolean", "Graphics Mode", 1)->SetString(BooleanText(graphicsMode));
  if (EngineSettings[kSettingOnlinePrefs]) GetOnlinePrefs(root);
  CallWriteAudioPrefs(root);
  if (PlistTag::WriteStdFile(root, file) != noErr) return kErrPrefsFile;
  if (save.Commit() != noErr) return kErrPrefsFile;
  return noErr;
}

OSErr MainPrefs::Load(PlistTag* root) {
  CheckArguments(*this, root);
  char path[4096];
  FILE* file = GetFilePath(path, sizeof path) ? std::fopen(path, "rb") : nullptr;
  if (!file) {
    monitorMode = 1;
    fullScreen = 1;
    graphicsMode = 1;
    return kErrPrefsFile;
  }
  PlistTag::ReadStdFile(root, file);
  Str255 value;
  if (PlistTag::FindTagValue(root, "integer", "Monitor Mode", value, 0))
    monitorMode = static_cast<UInt8>(PStrToNum(value) & 0xFF);
  ReadFlag(root, "Full Screen", &fullScreen);
  ReadFlag(root, "Graphics Mode", &graphicsMode);
  if (EngineSettings[kSettingOnlinePrefs]) GetOnlinePrefs(root);
  CallReadAudioPrefs(root);
  std::fclose(file);
  return noErr;
}

void MainPrefs::SetDefaults(UInt8 fullScreenOn) {
  monitorMode = 1;
  graphicsMode = 1;
  if (fullScreenOn) fullScreen = 1;
}

PlistTag* MainPrefs::GetOnlinePrefs(PlistTag* root) {
  return PlistTag::FindTag(root, "dict", "Online Prefs", 1);
}
