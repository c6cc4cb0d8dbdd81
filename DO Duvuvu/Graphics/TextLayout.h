// A port's text parameters and their stack, labels drawn at a point, and text
// laid out in lines inside a box.
#pragma once

#include "BoundedStack.h"
#include "MacTypes.h"

struct TextParams {
  SInt16 style;
  SInt16 font;
  SInt16 mode;
  SInt16 size;
  bool operator==(const TextParams& other) const = default;
};
constexpr SInt16 kTextParamStackCapacity = 32;
// No colour: an index of the main colour table below it picks that entry.
constexpr UInt16 kNoColorIndex = 0xFFFF;
constexpr SInt16 kPenPosition = -32768;

// Made by the start-up list; nil before.
extern BoundedStack<TextParams>* textParamStack;
void InitTextParamStack();
void ExitTextParamStack();

UInt8 GetTextParamStyle();
SInt16 GetTextParamFont();
SInt16 GetTextParamMode();
SInt16 GetTextParamSize();
// Style 0, font 0, mode 1, size 0.
void ResetTextParams();
void PushTextParams();
void PopTextParams();

// h or v of -32768 starts at the pen without a box fill; alignment 1 centres
// on h, 2 ends at h. Returns the label's box.
Rect DrawPStringAt(ConstStr255Param string, SInt16 h, SInt16 v, UInt8 alignment, SInt16 boxColor, SInt16 textColor,
                   SInt16 inset, SInt16 outlineColor);
Rect DrawNumberAt(SInt32 number, SInt16 h, SInt16 v, UInt8 alignment, SInt16 boxColor, SInt16 textColor,
                  SInt16 inset, SInt16 outlineColor);

// A negative line height is ascent + descent + 2 x margin. Returns the lines.
SInt32 DrawWrappedText(const void* text, SInt32 length, const Rect* box, SInt16 lineHeight, SInt16 hScroll,
                       SInt16 vScroll, UInt8 clip, SInt16 margin, SInt16 outlineColor);
SInt32 DrawWrappedTextSimple(const void* text, SInt32 length, SInt16 width);
SInt16 GetLineHeight();
SInt32 CountLinesBefore(const void* text, SInt32 length, SInt32 offset, SInt16 width);
SInt32 LineStartBefore(const void* text, SInt32 length, SInt32 offset, SInt16 width);
SInt32 LineStartOfIndex(const void* text, SInt32 length, SInt32 lineIndex, SInt16 width);
SInt32 ColumnInLine(const void* text, SInt32 length, SInt32 offset, SInt16 width);
Rect CaretRectInBox(const void* text, SInt32 length, SInt32 offset, const Rect* box, SInt16 lineHeight,
                    SInt16 hScroll, SInt16 vScroll, SInt16 margin);
SInt32 OffsetAtPoint(const void* text, SInt32 length, Point point, const Rect* box, SInt16 lineHeight, SInt16 hScroll,
                     SInt16 vScroll, SInt16 margin);
