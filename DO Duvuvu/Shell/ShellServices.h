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
