// Opening links and documents through the desktop, the link cursor, the
// engine's interface description, scripts, and handing work to other
// programs (helpers, launching, processes, control panels, preference panes).
#pragma once

#include "Events.h"
#include "MacTypes.h"
#include "SystemCalls.h"

struct FileSpec;
struct ProcessSerialNumber;

// Leaves full screen, hands the text to the desktop; 0 whatever it answers.
OSStatus OpenURLInShell(const char* text);
// 1 when the script interpreter is (or now becomes) open; never here.
SInt32 StartURLService();
// The close status, or 0 when none was open.
OSStatus StopURLService();

// Start-up entry: the cursor shown over links (a nil handle here).
void InitLinkCursor();
Handle GetLinkCursor();
Handle GetCursorByID(SInt16 id);

// The engine's Nib; nil unless OpenEngineNib succeeds (never here).
extern void* EngineNib;
OSStatus OpenEngineNib();

// Runs a script text through the interpreter (started when absent); the
// status. A result, when asked for, stays empty here.
OSErr RunScriptText(const char* text, SInt32 length, void* outResult);
OSErr RunScriptCString(const char* text);
// With an interpreter of its own: -50 when none can be opened.
OSErr RunScriptForResult(const char* text, SInt32 length, void* outResult, void* outError);
// Shows the path in the desktop's file browser through a script.
OSErr RevealPathInFinder(const char* path);
// The same for a file specification's full path; the status is dropped.
void RevealFileSpecInFinder(const FileSpec* spec);
// 0 while the pane switch is off; -43 when the pane folder cannot be listed
// or no pane there carries the identifier; else the status of opening the
// last listed pane that does.
OSStatus OpenPreferencePane(ConstStr255Param bundleIdentifier);
extern UInt8 PreferencePaneSwitch;

// The helper application of a link scheme, kept in the internet preferences
// under "Helper" + U+2022 + scheme as the record below.
struct HelperApplicationRecord {
  OSType creator;
  Str63 name;
};
// The name comes back cut to 31 characters. -50 when the key would not fit a
// length-prefixed string.
OSStatus GetHelperApplication(ConstStr255Param scheme, StringPtr outName, OSType* outCreator);
// Nil name or creator 0: this application's own.
OSStatus SetHelperApplication(ConstStr255Param scheme, ConstStr255Param name, OSType creator);
OSStatus DeleteHelperApplication(ConstStr255Param scheme);

// Asks a browser to open the link: 'MOS!' gets the 'ourl' request, anything
// else goes to 'WWW!' as 'OURL'. A nil target addresses the browser by its
// signature. The first failing status, else 0.
OSErr SendOpenURLEvent(const char* url, const EventDescriptor* target, OSType signature, UInt8 newWindow);
// The platform answers -1: nothing is launched.
OSErr LaunchApplicationFile(SInt16 volume, UInt32 directoryID, ConstStr255Param name);
// 1 without the folder services; else the control-panel folder's status, or
// 0 when the panel with that creator was opened, else -43.
OSErr OpenControlPanel(OSType creator);
// 0 and the serial when found; -600 when the list ends (or stops advancing).
OSErr FindProcessBySignature(OSType creator, ProcessSerialNumber* outSerial);
OSErr QuitApplicationBySignature(OSType creator);

// The current resource file's specification (cleared: nothing fills it here).
OSErr GetApplicationFileSpec(FileSpec* outSpec);
OSErr RegisterAppIcon(OSType iconType, SInt16 resourceID);

// Launch calls the platform lacks.
OSErr LaunchByPathUnavailable();
OSErr LaunchByURLUnavailable();
void LaunchServicesUnavailable();
