// A small styled-text editor driven by command keys, and the 256-colour
// palette dialog it picks colours from.
#pragma once

#include "MacTypes.h"

// Runs until Enter is typed without the command key.
void StyledTextEditor(const Rect& rect);
// The chosen index, or -1 when cancelled.
SInt16 ColorPaletteDialog(UInt8 current);

// The palette cell under a point of the dialog, -1 for none.
SInt16 FindPaletteCell(Point where);
Rect PaletteCellRect(SInt16 index);
// One component of a gradient from a to b at character i of [start, end).
UInt16 GradientComponent(UInt16 a, UInt16 b, SInt32 i, SInt32 start, SInt32 end);
// What a typed character does: 0 goes on, 1 ends the editor.
bool EditorKeyEndsEditing(UInt8 character, UInt16 modifiers);
