// The bundle's paths, the activation of its resource folders, the
// application's version and version numbers.
#pragma once

#include <cstddef>

#include "FileSpec.h"
#include "MacTypes.h"

struct BundleObject;

// Major (bits 31-24), minor (23-20), fix level (19-16), stage (15-8),
// revision (7-0).
typedef UInt32 VersionNumber;

constexpr UInt8 kDevelopmentStage = 0x20;
constexpr UInt8 kAlphaStage = 0x40;
constexpr UInt8 kBetaStage = 0x60;
constexpr UInt8 kFinalStage = 0x80;

// Kept by main.
extern VersionNumber gApplicationVersion;
extern Str255 gApplicationVersionLong;
extern Str255 gApplicationVersionShort;

// The display start-up's window sizes (640 x 480 each at start-up).
struct WindowSizePair {
  UInt16 width;
  UInt16 height;
};
extern WindowSizePair gWindowSizes[2];
// 1 at start-up: the application is its bundle folder.
extern UInt8 gUseBundle;

// Receives the "Fonts" folder from ActivateBundleResources; nil until the
// graphics start-up installs SetFontFolder.
typedef OSErr (*FontFolderHook)(const FileSpec* folder);
void SetFontFolderHook(FontFolderHook hook);
FontFolderHook GetFontFolderHook();

const char* GetPathSeparatorString();
// Out texts hold size bytes; empty when a step fails.
void GetApplicationBundlePath(char* outPath, size_t size = kPathBufferSize);
void GetBundleResourcesPath(char* outPath, size_t size = kPathBufferSize);
// Ends the program when there is no preferences folder.
void GetPreferencesFolderPath(char* outPath, size_t size = kPathBufferSize);
void GetPathFileName(char* outName, const char* path, Boolean keepExtension, size_t size = kPathBufferSize);

// Reads "Contents/Info.plist"; a missing file ends the program.
void GetApplicationVersion(VersionNumber* outVersion, StringPtr outText, Boolean longForm);
// Parses a "CFBundleVersion" text ("1.0b4", "2.1fc2").
VersionNumber ParseVersionText(const char* text);
void VersionToString(VersionNumber version, StringPtr outText, Boolean longForm);
// "X", "X.X" or "X.X.X"; anything else ends the program.
VersionNumber StringToVersion(ConstStr255Param text);
SInt32 CompareVersions(const VersionNumber* a, const VersionNumber* b);
VersionNumber MakeVersion(UInt8 major, UInt8 minor, UInt8 fixLevel, UInt8 stage);

// Nil: the main bundle. Makes "Contents/Resources" the working folder and
// hands "Fonts" to the font-folder hook; returns that step's status.
OSErr ActivateBundleResources(BundleObject* bundle);
// Releases what ActivateBundleResources keeps (the display's shut-down).
void ReleaseBundleResources();
OSErr RegisterBundleIconFile(UInt32 a, const char* name, UInt32 b, UInt32 c);

// Start-up entry: the window sizes and the bundle flag.
void InitBundleDefaults();
void ExitBundleDefaults();
