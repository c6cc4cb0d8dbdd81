// A small styled-text editor driven by command keys, and the 256-colour
// palette dialog it picks colours from.
#pragma once

#include "MacTypes.h"

// The style record of the set-style call. Modes: 1 font, 2 face, 4 size,
// 8 colour, 15 all.
struct TextStyleRecord {
  SInt16 font;
  UInt8 face;
  SInt16 size;
  UInt16 color[3];
};

// Runs until Enter is typed without the command key.
void StyledTextEditor(const Rect& rect);
// Draws the 'TEXT' and 'styl' resources of that ID into the rect; without
// the 'styl' resource the program ends.
void PlaceText(SInt16 resourceID, const Rect& rect);
// A styled record for the rect holding the text, all of it selected. Unless
// keepTextDrawing is set, the port draws no text while the style is applied.
void* NewStyledTextEdit(ConstStr255Param text, const Rect& rect, Handle style, SInt16 alignment, UInt8 keepTextDrawing);
// Empty routines of the editor's group; the first stands in for the port's
// text drawing.
void EmptyTextDrawingProc();
void EmptyStyledTextProc();
void EmptyStyledTextHook();
// The chosen index, or -1 when cancelled.
SInt16 ColorPaletteDialog(UInt8 current);

// The palette cell under a point of the dialog, -1 for none.
SInt16 FindPaletteCell(Point where);
Rect PaletteCellRect(SInt16 index);
// One component of a gradient from a to b at character i of [start, end).
UInt16 GradientComponent(UInt16 a, UInt16 b, SInt32 i, SInt32 start, SInt32 end);
// What a typed character does: 0 goes on, 1 ends the editor.
bool EditorKeyEndsEditing(UInt8 character, UInt16 modifiers);
