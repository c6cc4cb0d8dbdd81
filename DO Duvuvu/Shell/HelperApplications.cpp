// Handing work to other programs: helper-application preferences, the
// open-link request to a browser, launching, finding and quitting processes,
// and control panels. Every platform call goes through gSystemCalls.
#include <cstring>

#include "AppGlobals.h"
#include "FileClass.h"
#include "ProcessBundle.h"
#include "ResultCodes.h"
#include "ShellServices.h"
#include "System.h"
#include "SystemCalls.h"

namespace {

constexpr UInt32 kAnyAttributes = 0xFFFFFFFF;  // a written preference keeps its attributes
constexpr SInt32 kNoReplySendMode = 1;
constexpr SInt16 kAutoReturnID = -1;
constexpr SInt32 kAnyTransaction = 0;
constexpr SInt32 kDefaultTimeout = -1;

// "Helper" + U+2022 (UTF-8) + scheme; false when it would not fit 255.
bool MakeHelperKey(ConstStr255Param scheme, Str255 key) {
  static const UInt8 prefix[] = {'H', 'e', 'l', 'p', 'e', 'r', 0xE2, 0x80, 0xA2};
  const size_t schemeLength = scheme ? scheme[0] : 0;
  if (sizeof prefix + schemeLength > 255) return false;
  key[0] = static_cast<UInt8>(sizeof prefix + schemeLength);
  std::memcpy(key + 1, prefix, sizeof prefix);
  if (schemeLength) std::memcpy(key + 1 + sizeof prefix, scheme + 1, schemeLength);
  return true;
}

// The store is opened for this application and closed again by the caller.
struct HelperLookup {
  void* store = nullptr;
  Str255 key{};
  HelperApplicationRecord record{};
  OSStatus status = 0;
};

// Opens the store and reads the scheme's record; false when the store did not
// open or the key does not fit (status says which).
bool ReadHelper(ConstStr255Param scheme, HelperLookup& lookup) {
  if (!MakeHelperKey(scheme, lookup.key)) {
    lookup.status = kErrParam;
    return false;
  }
  lookup.status = gSystemCalls.openInternetPrefs(ApplicationCreator, &lookup.store);
  if (lookup.status != 0) return false;
  UInt32 attributes = 0;
  SInt32 size = sizeof lookup.record;
  lookup.status = gSystemCalls.getInternetPref(lookup.store, lookup.key, &attributes, &lookup.record, &size);
  return true;
}

// A stored name's length byte may claim more than its field: always cut.
void CopyCapped(ConstStr255Param source, StringPtr destination, UInt8 limit) {
  const UInt8 length = source[0] < limit ? source[0] : limit;
  destination[0] = length;
  std::memcpy(destination + 1, source + 1, length);
}

}  // namespace

OSStatus GetHelperApplication(ConstStr255Param scheme, StringPtr outName, OSType* outCreator) {
  HelperLookup lookup;
  if (!ReadHelper(scheme, lookup)) return lookup.status;
  if (lookup.status == 0) {
    if (outName) CopyCapped(lookup.record.name, outName, 31);
    if (outCreator) *outCreator = lookup.record.creator;
  }
  gSystemCalls.closeInternetPrefs(lookup.store);
  return lookup.status;
}

OSStatus SetHelperApplication(ConstStr255Param scheme, ConstStr255Param name, OSType creator) {
  HelperLookup lookup;
  if (!ReadHelper(scheme, lookup)) return lookup.status;
  const OSType wanted = creator ? creator : ApplicationCreator;
  const bool keep = lookup.status == 0 && lookup.record.creator == wanted;
  if (keep || (lookup.status != 0 && lookup.status != kErrPrefNotFound)) {
    gSystemCalls.closeInternetPrefs(lookup.store);
    return lookup.status;
  }
  HelperApplicationRecord record{};
  record.creator = wanted;
  if (name) {
    CopyCapped(name, record.name, sizeof record.name - 1);
  } else {
    if (wanted == ApplicationCreator) {
      // Our own entry: take the application file as the process sees it now.
      ProcessSerialNumber self{};
      GetCurrentProcessSerial(&self);
      ProcessInfoRec info{nullptr, gApplicationFile.spec()};
      GetProcessInfo(&self, &info);
    }
    CopyCapped(ApplicationName, record.name, sizeof record.name - 1);
  }
  const OSStatus status =
      gSystemCalls.setInternetPref(lookup.store, lookup.key, kAnyAttributes, &record, sizeof record);
  gSystemCalls.closeInternetPrefs(lookup.store);
  return status;
}

OSStatus DeleteHelperApplication(ConstStr255Param scheme) {
  HelperLookup lookup;
  if (!ReadHelper(scheme, lookup)) return lookup.status;
  if (lookup.status == 0) lookup.status = gSystemCalls.deleteInternetPref(lookup.store, lookup.key);
  gSystemCalls.closeInternetPrefs(lookup.store);
  return lookup.status;
}

OSErr SendOpenURLEvent(const char* url, const EventDescriptor* target, OSType signature, UInt8 newWindow) {
  const bool mosaic = signature == FOUR_CHAR_CODE("MOS!");
  const OSType browser = mosaic ? signature : FOUR_CHAR_CODE("WWW!");
  const OSType eventID = mosaic ? FOUR_CHAR_CODE("ourl") : FOUR_CHAR_CODE("OURL");
  EventDescriptor ownTarget{};
  OSErr status = 0;
  if (!target) {
    status = gSystemCalls.createDescriptor(FOUR_CHAR_CODE("sign"), &browser, sizeof browser, &ownTarget);
    if (status != 0) return status;
    target = &ownTarget;
  }
  EventDescriptor event{};
  status = gSystemCalls.createAppleEvent(browser, eventID, target, kAutoReturnID, kAnyTransaction, &event);
  if (status == 0) {
    const char* text = url ? url : "";
    status = gSystemCalls.putParam(&event, FOUR_CHAR_CODE("----"), FOUR_CHAR_CODE("utf8"), text,
                                   static_cast<SInt32>(std::strlen(text)));
  }
  if (status == 0) {
    const SInt32 window = newWindow ? 0 : -1;
    status = gSystemCalls.putParam(&event, FOUR_CHAR_CODE("WIND"), FOUR_CHAR_CODE("long"), &window, sizeof window);
  }
  // Built but never sent, the request would report success for nothing.
  if (status == 0) status = gSystemCalls.sendAppleEvent(&event, nullptr, kNoReplySendMode, 0, kDefaultTimeout);
  gSystemCalls.disposeDescriptor(&event);
  if (target == &ownTarget) gSystemCalls.disposeDescriptor(&ownTarget);
  return status;
}

OSErr LaunchApplicationFile(SInt16 volume, UInt32 directoryID, ConstStr255Param name) {
  FileClass application;
  std::memset(&application, 0, sizeof application);
  FileClass::Clear(&application);
  const OSErr status = MakeFileSpec(volume, directoryID, name, application.spec());
  if (status != 0) return status;
  return gSystemCalls.launchApplication(&application);
}

OSErr OpenControlPanel(OSType creator) {
  SInt32 folderServices = 0;
  if (gSystemCalls.getSystemAttribute(FOUR_CHAR_CODE("fold"), &folderServices) != 0 || !(folderServices & 1)) {
    return 1;
  }
  FileSpec panels{};
  const OSErr status = FindSpecialFolder(kOnSystemDisk, FOUR_CHAR_CODE("ctrl"), 0, &panels);
  if (status != 0) return status;
  FileClass folder;
  std::memset(&folder, 0, sizeof folder);
  folder.reference.spec = panels;
  folder.isFolder = 1;
  FileClass panel;
  std::memset(&panel, 0, sizeof panel);
  if (FindFileInFolder(&panel, nullptr, &folder, creator, FOUR_CHAR_CODE("APPC"), kFindFilesOnly) == 0 &&
      gSystemCalls.openItem(panel.spec()) == 0) {
    return 0;
  }
  return kErrFileNotFound;
}

OSErr FindProcessBySignature(OSType creator, ProcessSerialNumber* outSerial) {
  ProcessSerialNumber serial{0, 0};
  for (;;) {
    const ProcessSerialNumber previous = serial;
    if (gSystemCalls.getNextProcess(&serial) != 0) return kErrProcessNotFound;
    // A list that does not move on has ended; going round again would hang.
    if ((serial.high == 0 && serial.low == 0) || (serial.high == previous.high && serial.low == previous.low)) {
      return kErrProcessNotFound;
    }
    OSType type = 0, signature = 0;
    if (gSystemCalls.getProcessTypeAndSignature(&serial, &type, &signature) != 0) continue;
    if (signature == creator && type == FOUR_CHAR_CODE("APPL")) {
      if (outSerial) *outSerial = serial;
      return 0;
    }
  }
}

OSErr QuitApplicationBySignature(OSType creator) {
  ProcessSerialNumber serial{0, 0};
  OSErr status = FindProcessBySignature(creator, &serial);
  if (status != 0) return status;
  EventDescriptor target{};
  EventDescriptor event{};
  status = gSystemCalls.createDescriptor(FOUR_CHAR_CODE("psn "), &serial, sizeof serial, &target);
  if (status == 0) {
    status = gSystemCalls.createAppleEvent(FOUR_CHAR_CODE("aevt"), FOUR_CHAR_CODE("quit"), &target, kAutoReturnID,
                                           kAnyTransaction, &event);
  }
  if (status == 0) status = gSystemCalls.sendAppleEvent(&event, nullptr, kNoReplySendMode, 0, kDefaultTimeout);
  gSystemCalls.disposeDescriptor(&event);
  gSystemCalls.disposeDescriptor(&target);
  return status;
}

OSErr LaunchByPathUnavailable() { return kErrFailed; }
OSErr LaunchByURLUnavailable() { return kErrFailed; }
void LaunchServicesUnavailable() {}
