#include "Bundle.h"

#include <cstring>
#include <string>

#include "Errors.h"
#include "FileClass.h"
#include "PlistTag.h"
#include "RefObjects.h"
#include "ResultCodes.h"

VersionNumber gApplicationVersion;
Str255 gApplicationVersionLong;
Str255 gApplicationVersionShort;
WindowSizePair gWindowSizes[2];
UInt8 gUseBundle;

namespace {

FontFolderHook gFontFolderHook = nullptr;

// What ActivateBundleResources keeps until the display shuts down.
struct BundleResources {
  BundleObject* mainBundle;
  URLObject* bundleURL;
  URLObject* resourcesURL;
  URLObject* folderURLs[4];  // Fonts, Sounds, Music, Layouts
  FileSpec bundleSpec;
};
BundleResources gResources;

void CopyOut(char* out, size_t size, const std::string& text) {
  if (!size) return;
  if (text.size() + 1 > size) {
    out[0] = 0;  // a cut path would name another place
    return;
  }
  std::memcpy(out, text.c_str(), text.size() + 1);
}

void SetPText(StringPtr out, const std::string& text) {
  size_t length = text.size() < 255 ? text.size() : 255;
  std::memcpy(out + 1, text.data(), length);
  out[0] = static_cast<UInt8>(length);
}

UInt8 Major(VersionNumber v) { return static_cast<UInt8>(v >> 24); }
UInt8 Minor(VersionNumber v) { return static_cast<UInt8>((v >> 20) & 0xF); }
UInt8 FixLevel(VersionNumber v) { return static_cast<UInt8>((v >> 16) & 0xF); }
UInt8 Stage(VersionNumber v) { return static_cast<UInt8>(v >> 8); }
UInt8 Revision(VersionNumber v) { return static_cast<UInt8>(v); }

}  // namespace

void SetFontFolderHook(FontFolderHook hook) { gFontFolderHook = hook; }

FontFolderHook GetFontFolderHook() { return gFontFolderHook; }

const char* GetPathSeparatorString() { return "/"; }

void GetApplicationBundlePath(char* outPath, size_t size) {
  if (size) outPath[0] = 0;
  BundleObject* bundle = CFBundleGetMainBundle();
  URLObject* url = bundle ? CopyBundleURL(bundle) : nullptr;
  FileSpec spec;
  char path[kPathBufferSize];
  bool made = url && URLToFileSpec(url, &spec) && GetFileSpecPath(&spec, path, sizeof path) == noErr;
  ReleaseObject(url);
  ReleaseObject(bundle);
  if (!made) return;
  StripTrailingBackslashes(path);
  CopyOut(outPath, size, path);
}

void GetBundleResourcesPath(char* outPath, size_t size) {
  char bundle[kPathBufferSize];
  GetApplicationBundlePath(bundle, sizeof bundle);
  CopyOut(outPath, size, std::string(bundle) + "/Contents/Resources");
}

void GetPreferencesFolderPath(char* outPath, size_t size) {
  FileClass folder;
  std::memset(&folder, 0, sizeof folder);
  FindPreferencesFolder(&folder, 0);
  GetFilePath(outPath, folder.spec(), size);
}

void GetPathFileName(char* outName, const char* path, Boolean keepExtension, size_t size) {
  const char* slash = std::strrchr(path, '/');
  std::string name(slash ? slash + 1 : path);
  if (!keepExtension) {
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
  }
  CopyOut(outName, size, name);
}

VersionNumber ParseVersionText(const char* text) {
  UInt32 fields[4] = {0, 0, 0, 0};
  int field = 0;
  UInt32 current = 0;
  UInt8 stage = kFinalStage;
  for (const char* p = text;; ++p) {
    char c = *p;
    if (c >= '0' && c <= '9') {
      current = current * 10 + static_cast<UInt32>(c - '0');
      continue;
    }
    if (c == 'c') continue;
    // Numbers after the fourth are ignored.
    if (field < 4) fields[field] = current;
    ++field;
    current = 0;
    if (c == 0) break;
    if (c != '.') {
      field = 3;  // what follows a stage letter is the revision
      if (c == 'd') stage = kDevelopmentStage;
      if (c == 'a') stage = kAlphaStage;
      if (c == 'b') stage = kBetaStage;
      if (c == 'f') stage = kFinalStage;
    }
  }
  UInt32 second = (fields[1] * 16 + fields[2]) & 0xFF;
  return ((fields[0] & 0xFF) << 24) | (second << 16) | (static_cast<UInt32>(stage) << 8) | (fields[3] & 0xFF);
}

void GetApplicationVersion(VersionNumber* outVersion, StringPtr outText, Boolean longForm) {
  char bundle[kPathBufferSize];
  GetApplicationBundlePath(bundle, sizeof bundle);
  std::string path = std::string(bundle) + "/Contents/Info.plist";
  PlistTag root;
  FileClass file;
  std::memset(&file, 0, sizeof file);
  FileClassFromPath(&file, path.c_str());
  // The reference test always passes, so a missing file shows at the open.
  if (!FileExists(&file) || FileClass::Open(&file, 0) != noErr)
    FatalError("Unable to determine the application version.", "FSRefIsValid()");
  PlistTag::ReadFileClass(&root, &file);
  FileClass::Close(&file);
  unsigned char value[256];
  value[0] = 0;
  PlistTag::FindTagValue(&root, "string", "CFBundleVersion", value, 0);
  size_t length = value[0] > 31 ? 31 : value[0];
  char text[32];
  std::memcpy(text, value + 1, length);
  text[length] = 0;
  *outVersion = ParseVersionText(text);
  VersionToString(*outVersion, outText, longForm);
}

void VersionToString(VersionNumber version, StringPtr outText, Boolean longForm) {
  std::string text = std::to_string(Major(version)) + "." + std::to_string(Minor(version));
  if (FixLevel(version)) text += "." + std::to_string(FixLevel(version));
  if (Revision(version)) {
    std::string revision = std::to_string(Revision(version));
    const char* name = nullptr;
    const char* letter = nullptr;
    switch (Stage(version)) {
      case kDevelopmentStage:
        name = "Developer";
        letter = "d";
        break;
      case kAlphaStage:
        name = "Alpha";
        letter = "a";
        break;
      case kBetaStage:
        name = "Beta";
        letter = "b";
        break;
      case kFinalStage:
        name = "Final Candidate";
        letter = "fc";
        break;
      default:
        break;
    }
    if (longForm)
      text += std::string(" - ") + (name ? name : "") + " " + revision;
    else
      text += std::string(letter ? letter : "") + revision;
  }
  SetPText(outText, text);
}

VersionNumber StringToVersion(ConstStr255Param text) {
  size_t length = text[0];
  const unsigned char* c = text + 1;
  bool good = (length == 1) || (length == 3 && c[1] == '.') || (length == 5 && c[1] == '.' && c[3] == '.');
  if (!good) FatalError("Version string must be in the format \"X\" or \"X.X\" or \"X.X.X\"", "");
  UInt8 major = static_cast<UInt8>(c[0] - '0');
  UInt8 minor = length >= 3 ? static_cast<UInt8>(c[2] - '0') : 0;
  UInt8 fix = length == 5 ? static_cast<UInt8>(c[4] - '0') : 0;
  return (static_cast<UInt32>(MakeVersion(major, minor, fix, 0)) & 0xFFFF0000u);
}

SInt32 CompareVersions(const VersionNumber* a, const VersionNumber* b) {
  UInt8 fieldsA[3] = {Major(*a), Minor(*a), FixLevel(*a)};
  UInt8 fieldsB[3] = {Major(*b), Minor(*b), FixLevel(*b)};
  for (int i = 0; i < 3; ++i) {
    if (fieldsA[i] > fieldsB[i]) return 1;
    if (fieldsA[i] < fieldsB[i]) return -1;
  }
  return 0;
}

VersionNumber MakeVersion(UInt8 major, UInt8 minor, UInt8 fixLevel, UInt8 stage) {
  UInt32 second = ((static_cast<UInt32>(minor) * 16) | fixLevel) & 0xFF;
  return (static_cast<UInt32>(major) << 24) | (second << 16) | (static_cast<UInt32>(stage) << 8);
}

OSErr ActivateBundleResources(BundleObject* bundle) {
  ReleaseBundleResources();
  gResources.mainBundle = CFBundleGetMainBundle();
  if (!bundle) bundle = gResources.mainBundle;
  if (!bundle) FatalError("CFBundleGetMainBundle() failed.", "ActivateBundleResources()");
  gResources.bundleURL = CopyBundleURL(bundle);
  URLToFileSpec(gResources.bundleURL, &gResources.bundleSpec);
  gResources.resourcesURL = CFBundleCopyResourcesDirectoryURL(bundle);
  if (!gResources.resourcesURL)
    FatalError("CFBundleCopyResourcesDirectoryURL() failed.", "ActivateBundleResources()");
  FileClass::Clear(&gResourcesFolder);
  URLToFileSpec(gResources.resourcesURL, gResourcesFolder.spec());
  gResourcesFolder.isFolder = 1;
  gResourcesFolder.isValid = 1;
  SetWorkingFolder(&gResourcesFolder);
  static const char* const kFolders[4] = {"Fonts", "Sounds", "Music", "Layouts"};
  for (int i = 0; i < 4; ++i) {
    StringObject name(kFolders[i]);
    gResources.folderURLs[i] = CreateURLAppendingComponent(nullptr, gResources.resourcesURL, &name, 1);
  }
  FileSpec fonts;
  std::memset(&fonts, 0, sizeof fonts);
  FileSpec fontsFolder;
  OSErr err = kErrFileNotFound;
  if (URLToFileSpec(gResources.folderURLs[0], &fontsFolder))
    err = FSGetCatalogInfo(&fontsFolder, 0, nullptr, nullptr, &fonts);
  if (err == noErr && gFontFolderHook) gFontFolderHook(&fonts);
  return err;
}

void ReleaseBundleResources() {
  for (URLObject*& url : gResources.folderURLs) {
    ReleaseObject(url);
    url = nullptr;
  }
  ReleaseObject(gResources.resourcesURL);
  ReleaseObject(gResources.bundleURL);
  ReleaseObject(gResources.mainBundle);
  gResources.resourcesURL = nullptr;
  gResources.bundleURL = nullptr;
  gResources.mainBundle = nullptr;
}

OSErr RegisterBundleIconFile(UInt32, const char* name, UInt32, UInt32) {
  char resources[kPathBufferSize];
  GetBundleResourcesPath(resources, sizeof resources);
  std::string path = std::string(resources) + "/" + (name ? name : "");
  FileClass file;
  std::memset(&file, 0, sizeof file);
  FileClassSetPath(&file, path.c_str());
  if (!FileExists(&file)) return kErrFailed;
  FileSpec spec;
  FSGetCatalogInfo(file.spec(), 0, nullptr, nullptr, &spec);
  return noErr;  // the icon registration has nothing to do here
}

void InitBundleDefaults() {
  for (WindowSizePair& pair : gWindowSizes) pair = WindowSizePair{640, 480};
  gUseBundle = 1;
}

void ExitBundleDefaults() { ReleaseBundleResources(); }
