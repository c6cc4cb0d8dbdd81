// Opening links and documents through the desktop, the link cursor, and the
// engine's interface description.
#pragma once

#include "Events.h"
#include "MacTypes.h"

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
// 0 while the pane switch is off; -43 when the pane folder cannot be listed.
OSStatus OpenPreferencePane(ConstStr255Param bundleIdentifier);
extern UInt8 PreferencePaneSwitch;
