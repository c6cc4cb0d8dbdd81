// Reference-counted text, URL and bundle objects, the main bundle found from
// the executable's path, and the by-name lookup of platform routines.
#pragma once

#include <string>

#include "FileSpec.h"
#include "MacTypes.h"

struct RefObject {
  UInt32 refCount;  // 1 at creation
  FourCharCode type;
};

struct StringObject : RefObject {
  // Builds in place: count 1, type 'strn', its own copy of the text.
  explicit StringObject(const char* text);
  std::string text;
};

struct URLObject : RefObject {
  StringObject* string;  // owned
  StringObject* base;    // owned, or nil
};

struct BundleObject : RefObject {
  URLObject* url;  // retained
};

constexpr FourCharCode kStringObjectType = FOUR_CHAR_CODE("strn");
constexpr FourCharCode kURLObjectType = FOUR_CHAR_CODE("url ");
constexpr FourCharCode kBundleObjectType = FOUR_CHAR_CODE("bndl");
constexpr UInt32 kDefaultTextEncoding = 0x500;

RefObject* RetainObject(RefObject* object);
// At 0 the object goes, with what it holds.
void ReleaseObject(RefObject* object);

// Nil text: nil.
StringObject* CreateString(void* allocator, const char* text, UInt32 encoding);
StringObject* CreateStringFromPText(void* allocator, ConstStr255Param text, UInt32 encoding);
StringObject* CopyString(void* allocator, const StringObject* string);
SInt32 GetStringLength(const StringObject* string);
SInt32 GetMaximumSizeForEncoding(SInt32 length, UInt32 encoding);
// Text and NUL; 0 (nothing written) unless size > length.
Boolean GetStringCText(const StringObject* string, char* buffer, SInt32 size, UInt32 encoding);
// The size is capped at 256; 0 (nothing written) unless length < size.
Boolean GetStringPText(const StringObject* string, StringPtr buffer, SInt32 size, UInt32 encoding);
UInt32 GetDefaultTextEncoding();
void StringFromCText(std::string* out, const char* text);

// Borrowed.
const StringObject* GetURLString(const URLObject* url);
// Copies at most size - 1 bytes and a NUL; 0 for a relative URL without base
// or when the path does not fit.
Boolean GetURLPath(const URLObject* url, Boolean resolve, char* buffer, SInt32 size);
Boolean URLToFileSpec(const URLObject* url, FileSpec* outSpec);
StringObject* CopyURLPathString(const URLObject* url);
URLObject* CreateURLWithString(void* allocator, const StringObject* text, const URLObject* base);
URLObject* CreateURLWithPath(void* allocator, const StringObject* path, SInt32 pathStyle, Boolean isFolder);
// Nil when the path cannot be made.
URLObject* CreateURLFromFileSpec(void* allocator, const FileSpec* spec);
// Nil unless the folder URL's path is an existing folder.
URLObject* CreateURLAppendingComponent(void* allocator, const URLObject* folder, const StringObject* component,
                                       Boolean isFolder);

BundleObject* CreateBundleObject(void* allocator, URLObject* folder);
URLObject* CopyBundleURL(const BundleObject* bundle);
// A new bundle for the executable's path minus three components; nil on any
// failure. The caller releases it.
BundleObject* CFBundleGetMainBundle();
URLObject* CFBundleCopyResourcesDirectoryURL(const BundleObject* bundle);
// 0, FindSpecialFolder's error, or -4960.
OSStatus LoadFrameworkBundle(const StringObject* name, BundleObject** outBundle);

typedef void (*ProcPtr)();
// The routine of exactly that name, or nil.
ProcPtr LookupFunctionByName(const BundleObject* bundle, const StringObject* name);

// The routines handed out by name.
OSStatus AudioHardwareGetProperty(UInt32 selector, UInt32* ioSize, void* outValue);
OSStatus AudioDeviceGetProperty(UInt32 device, UInt32 channel, Boolean isInput, UInt32 selector, UInt32* ioSize,
                                void* outValue);
OSStatus AudioDeviceSetProperty(UInt32 device, const void* time, UInt32 channel, Boolean isInput, UInt32 selector,
                                UInt32 size, const void* data);
SInt32 CGAssociateMouseAndMouseCursorPosition(SInt32 connected);

// Fills and returns the executable path buffer (4096 bytes).
const char* GetAppExePath();

// Start-up entry: records the executable path.
void InitExecutablePath();
