#include "RefObjects.h"

#include <cstring>

#include "FileClass.h"
#include "Sys.h"

namespace {

char gAppExePath[kPathBufferSize];

constexpr OSStatus kBadSizeStatus = static_cast<OSStatus>(FOUR_CHAR_CODE("!siz"));
constexpr OSStatus kUnknownSelectorStatus = static_cast<OSStatus>(FOUR_CHAR_CODE("who?"));
constexpr OSStatus kFrameworkNotFound = -4960;

template <typename T>
T* NewObject(FourCharCode type) {
  T* object = new T;
  object->refCount = 1;
  object->type = type;
  return object;
}

URLObject* NewURL(const std::string& text, const std::string* base) {
  URLObject* url = NewObject<URLObject>(kURLObjectType);
  url->string = new StringObject(text.c_str());
  url->base = base ? new StringObject(base->c_str()) : nullptr;
  return url;
}

bool URLPathText(const URLObject* url, std::string* out) {
  const std::string& text = url->string->text;
  if (text.compare(0, 7, "file://") == 0) {
    *out = text.substr(7);
    return true;
  }
  if (!url->base) return false;
  *out = url->base->text + text;
  return true;
}

void DoNothing() {}

}  // namespace

StringObject::StringObject(const char* value) : RefObject{1, kStringObjectType}, text(value ? value : "") {}

RefObject* RetainObject(RefObject* object) {
  if (object) ++object->refCount;
  return object;
}

void ReleaseObject(RefObject* object) {
  if (!object) return;
  if (object->refCount > 1) {
    --object->refCount;
    return;
  }
  switch (object->type) {
    case kStringObjectType:
      delete static_cast<StringObject*>(object);
      break;
    case kURLObjectType: {
      URLObject* url = static_cast<URLObject*>(object);
      ReleaseObject(url->string);
      ReleaseObject(url->base);
      delete url;
      break;
    }
    case kBundleObjectType: {
      BundleObject* bundle = static_cast<BundleObject*>(object);
      ReleaseObject(bundle->url);
      delete bundle;
      break;
    }
    default:
      break;
  }
}

StringObject* CreateString(void*, const char* text, UInt32) {
  if (!text) return nullptr;
  return new StringObject(text);
}

StringObject* CreateStringFromPText(void*, ConstStr255Param text, UInt32) {
  if (!text) return nullptr;
  std::string value(reinterpret_cast<const char*>(text + 1), text[0]);
  return new StringObject(value.c_str());
}

StringObject* CopyString(void*, const StringObject* string) {
  if (!string) return nullptr;
  return new StringObject(string->text.c_str());
}

SInt32 GetStringLength(const StringObject* string) { return string ? static_cast<SInt32>(string->text.size()) : 0; }

SInt32 GetMaximumSizeForEncoding(SInt32 length, UInt32) { return length * 2; }

Boolean GetStringCText(const StringObject* string, char* buffer, SInt32 size, UInt32) {
  SInt32 length = GetStringLength(string);
  if (!string || size < 0 || size <= length) return 0;
  std::memcpy(buffer, string->text.c_str(), static_cast<size_t>(length) + 1);
  return 1;
}

Boolean GetStringPText(const StringObject* string, StringPtr buffer, SInt32 size, UInt32) {
  if (size > 256) size = 256;
  SInt32 length = GetStringLength(string);
  if (!string || size < 0 || length >= size) return 0;
  std::memcpy(buffer + 1, string->text.data(), static_cast<size_t>(length));
  buffer[0] = static_cast<UInt8>(length);
  return 1;
}

UInt32 GetDefaultTextEncoding() { return kDefaultTextEncoding; }

void StringFromCText(std::string* out, const char* text) {
  StringObject* string = CreateString(nullptr, text, GetDefaultTextEncoding());
  if (!string) {
    out->clear();
    return;
  }
  SInt32 size = GetMaximumSizeForEncoding(GetStringLength(string), GetDefaultTextEncoding()) + 1;
  std::string scratch(static_cast<size_t>(size), '\0');
  GetStringCText(string, scratch.data(), size, GetDefaultTextEncoding());
  *out = scratch.c_str();
  ReleaseObject(string);
}

const StringObject* GetURLString(const URLObject* url) { return url ? url->string : nullptr; }

Boolean GetURLPath(const URLObject* url, Boolean, char* buffer, SInt32 size) {
  std::string path;
  if (!url || !URLPathText(url, &path)) return 0;
  // A path that does not fit is refused rather than cut.
  if (size <= 0 || path.size() > static_cast<size_t>(size) - 1) {
    if (size > 0) buffer[0] = 0;
    return 0;
  }
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return 1;
}

Boolean URLToFileSpec(const URLObject* url, FileSpec* outSpec) {
  char path[kPathBufferSize];
  if (!GetURLPath(url, 0, path, sizeof path)) return 0;
  return MakeFileSpecFromPath(path, outSpec) == noErr ? 1 : 0;
}

StringObject* CopyURLPathString(const URLObject* url) {
  char path[kPathBufferSize];
  if (!GetURLPath(url, 0, path, sizeof path)) return nullptr;
  return new StringObject(path);
}

URLObject* CreateURLWithString(void*, const StringObject* text, const URLObject* base) {
  if (!text) return nullptr;
  if (text->text.find("://") != std::string::npos) return NewURL(text->text, nullptr);
  if (base) {
    std::string baseText = (base->base ? base->base->text : std::string()) + base->string->text;
    return NewURL(text->text, &baseText);
  }
  return NewURL("file://" + text->text, nullptr);
}

URLObject* CreateURLWithPath(void* allocator, const StringObject* path, SInt32, Boolean) {
  return CreateURLWithString(allocator, path, nullptr);
}

URLObject* CreateURLFromFileSpec(void*, const FileSpec* spec) {
  char path[kPathBufferSize];
  if (!spec || GetFileSpecPath(spec, path, sizeof path) != noErr) return nullptr;
  return NewURL(std::string("file://") + path, nullptr);
}

URLObject* CreateURLAppendingComponent(void*, const URLObject* folder, const StringObject* component, Boolean) {
  char path[kPathBufferSize];
  if (!folder || !component || !GetURLPath(folder, 0, path, sizeof path) || !IsFolderPath(path)) return nullptr;
  std::string text(path);
  if (text.empty() || text.back() != '/') text += '/';
  text += component->text;
  if (IsFolderPath(text.c_str()) && text.back() != '/') text += '/';
  // The folder's path is already whole: a base in front of it would name
  // another place.
  return NewURL("file://" + text, nullptr);
}

BundleObject* CreateBundleObject(void*, URLObject* folder) {
  if (!folder) return nullptr;
  BundleObject* bundle = NewObject<BundleObject>(kBundleObjectType);
  bundle->url = static_cast<URLObject*>(RetainObject(folder));
  return bundle;
}

URLObject* CopyBundleURL(const BundleObject* bundle) {
  if (!bundle) return nullptr;
  return static_cast<URLObject*>(RetainObject(bundle->url));
}

BundleObject* CFBundleGetMainBundle() {
  std::string path(GetAppExePath());
  for (int i = 0; i < 3; ++i) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0) return nullptr;
    path.resize(slash);
  }
  path += '/';
  StringObject* text = new StringObject(path.c_str());
  URLObject* url = CreateURLWithPath(nullptr, text, 0, 1);
  ReleaseObject(text);
  BundleObject* bundle = CreateBundleObject(nullptr, url);
  ReleaseObject(url);
  return bundle;
}

URLObject* CFBundleCopyResourcesDirectoryURL(const BundleObject* bundle) {
  if (!bundle || !bundle->url) return nullptr;
  std::string base;
  if (!URLPathText(bundle->url, &base)) return nullptr;
  return NewURL("Contents/Resources/", &base);
}

OSStatus LoadFrameworkBundle(const StringObject* name, BundleObject** outBundle) {
  *outBundle = nullptr;
  FileSpec frameworks;
  OSErr err = FindSpecialFolder(kOnAppropriateDisk, FOUR_CHAR_CODE("fram"), 0, &frameworks);
  if (err != noErr) return err;
  URLObject* folder = CreateURLFromFileSpec(nullptr, &frameworks);
  URLObject* framework = folder ? CreateURLAppendingComponent(nullptr, folder, name, 1) : nullptr;
  BundleObject* bundle = framework ? CreateBundleObject(nullptr, framework) : nullptr;
  ReleaseObject(folder);
  ReleaseObject(framework);
  if (!bundle) return kFrameworkNotFound;
  // Loading its executable always succeeds here.
  *outBundle = bundle;
  return noErr;
}

OSStatus AudioHardwareGetProperty(UInt32 selector, UInt32* ioSize, void* outValue) {
  if (selector != FOUR_CHAR_CODE("dOut")) return kUnknownSelectorStatus;
  if (!ioSize || *ioSize != 4) return kBadSizeStatus;
  UInt32 device = 0;
  std::memcpy(outValue, &device, sizeof device);
  return noErr;
}

OSStatus AudioDeviceGetProperty(UInt32, UInt32, Boolean, UInt32 selector, UInt32* ioSize, void* outValue) {
  if (selector != FOUR_CHAR_CODE("nsrt")) return kUnknownSelectorStatus;
  if (!ioSize || *ioSize != 8) return kBadSizeStatus;
  double rate = 44100.0;
  std::memcpy(outValue, &rate, sizeof rate);
  return noErr;
}

OSStatus AudioDeviceSetProperty(UInt32, const void*, UInt32, Boolean, UInt32 selector, UInt32 size, const void*) {
  if (selector != FOUR_CHAR_CODE("nsrt")) return kUnknownSelectorStatus;
  if (size != 8) return kBadSizeStatus;
  return noErr;
}

SInt32 CGAssociateMouseAndMouseCursorPosition(SInt32 connected) {
  SetPointerAssociated(connected != 0);
  return 0;
}

ProcPtr LookupFunctionByName(const BundleObject*, const StringObject* name) {
  if (!name) return nullptr;
  struct Entry {
    const char* name;
    ProcPtr routine;
  };
  const Entry table[] = {
      {"AudioHardwareGetProperty", reinterpret_cast<ProcPtr>(&AudioHardwareGetProperty)},
      {"AudioDeviceGetProperty", reinterpret_cast<ProcPtr>(&AudioDeviceGetProperty)},
      {"AudioDeviceSetProperty", reinterpret_cast<ProcPtr>(&AudioDeviceSetProperty)},
      {"CGAssociateMouseAndMouseCursorPosition",
       reinterpret_cast<ProcPtr>(&CGAssociateMouseAndMouseCursorPosition)},
      {"CGWarpMouseCursorPosition", &DoNothing},
      {"CGGetLastMouseDelta", &DoNothing},
      {"CGInhibitLocalEvents", &DoNothing},
      {"CGSetLocalEventsSuppressionInterval", &DoNothing},
      {"CGPostKeyboardEvent", &DoNothing},
  };
  for (const Entry& entry : table)
    if (name->text == entry.name) return entry.routine;
  return nullptr;
}

const char* GetAppExePath() {
  const std::string& path = ExecutablePath();
  size_t length = path.size() < kPathBufferSize ? path.size() : 0;  // a path that cannot fit is none
  std::memcpy(gAppExePath, path.data(), length);
  gAppExePath[length] = 0;
  return gAppExePath;
}

void InitExecutablePath() { GetAppExePath(); }
