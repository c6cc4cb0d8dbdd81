// Colour tables: the screen's base table and its palette, the cycle tables,
// and copying, replacing and seeding tables.
#pragma once

#include "MacTypes.h"
#include "Ports.h"

struct OpaqueWindowPtr;
typedef OpaqueWindowPtr* WindowRef;

// The platform palette made from the base table; nil until one is made.
extern void* ScreenPalette;
// Nothing makes them here; the first is the source of the level tables for
// table number -1.
extern CTabHandle CycleTables[4];

// Entries that can be walked: size + 1, but never past 256 nor past the
// table's block. 0 for a nil table.
SInt32 CTableEntryCount(CTabHandle table);
void DisposeCTable(CTabHandle* table);

void LoadScreenClut(SInt16 number);
void SetScreenClut(SInt16 number, UInt8 buildBright);
void* SetWindowClut(SInt16 number, WindowRef window);
void SetCycleEntries(UInt8 a, UInt8 b, UInt8 c, UInt8 d, UInt8 slot);
// Returns 8.
SInt16 NewSeededCTable(CTabHandle* out);
void ReplaceCTable(CTabHandle* table, SInt16 number);
void CopyCTable(CTabHandle source, CTabHandle destination);
// Remembers the seed of the main device's initial table (when it has one).
void RememberScreenSeed();
