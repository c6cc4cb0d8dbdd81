#include "TextLayout.h"

#include <cstdio>

#include "Errors.h"
#include "GWorld.h"
#include "PixMapDrawing.h"
#include "PortText.h"
#include "Ports.h"

BoundedStack<TextParams>* textParamStack = nullptr;

namespace {

constexpr UInt8 kOutlineStyleBits = 0x28;
constexpr SInt32 kNoMoreText = 2;

GWorldPtr CurrentPort() {
  GWorldPtr port = nullptr;
  GetCurrentPort(&port, nullptr);
  return port;
}

// The colour of a main-table index; false for none or without a table.
bool IndexColor(SInt16 index, ColorRGB* out) {
  if (static_cast<UInt16>(index) == kNoColorIndex || !GlobalColorTable || !*GlobalColorTable) return false;
  const CTable* table = *GlobalColorTable;
  if (index < 0 || index > table->size) return false;
  *out = ColorRGB{table->table[index].red, table->table[index].green, table->table[index].blue};
  return true;
}

void DrawInColor(ConstStr255Param string, const ColorRGB& color) {
  GWorldPtr port = CurrentPort();
  const ColorRGB saved = port->foreColor;
  port->foreColor = color;
  DrawPString(string);
  port->foreColor = saved;
}

void DrawOutlined(const void* text, SInt16 offset, SInt16 length, SInt16 outlineColor) {
  ColorRGB color;
  if (!IndexColor(outlineColor, &color)) return;
  GWorldPtr port = CurrentPort();
  const ColorRGB savedColor = port->foreColor;
  const UInt8 savedStyle = port->textStyle;
  const Point savedPen = port->penLocation;
  port->foreColor = color;
  port->textStyle = static_cast<UInt8>(savedStyle | kOutlineStyleBits);
  DrawTextRun(text, offset, length);
  port->foreColor = savedColor;
  port->textStyle = savedStyle;
  port->penLocation = savedPen;
}

// Walks the lines: each length from FindLineBreak, preset to 1. The visitor
// gets (line index, start, length) and returns false to stop.
template <typename Visit>
SInt32 WalkLines(const void* text, SInt32 length, SInt32 width, Visit visit) {
  SInt32 start = 0;
  SInt32 index = 0;
  while (start < length) {
    SInt32 lineLength = 1;
    if (FindLineBreak(static_cast<const UInt8*>(text) + start, length - start, 0, width, &lineLength) ==
        kNoMoreText)
      break;
    if (lineLength < 1) lineLength = 1;
    if (lineLength > length - start) lineLength = length - start;
    if (!visit(index, start, lineLength)) return index + 1;
    start += lineLength;
    ++index;
  }
  return index;
}

SInt16 EffectiveLineHeight(SInt16 lineHeight, SInt16 margin) {
  if (lineHeight >= 0) return lineHeight;
  FontExtents extents;
  GetFontExtents(&extents);
  return static_cast<SInt16>(extents.ascent + extents.descent + 2 * margin);
}

}  // namespace

void InitTextParamStack() {
  if (!textParamStack) textParamStack = new BoundedStack<TextParams>(kTextParamStackCapacity);
}

void ExitTextParamStack() {
  delete textParamStack;
  textParamStack = nullptr;
}

UInt8 GetTextParamStyle() { return CurrentPort()->textStyle; }
SInt16 GetTextParamFont() { return CurrentPort()->textFont; }
SInt16 GetTextParamMode() { return CurrentPort()->textMode; }
SInt16 GetTextParamSize() { return CurrentPort()->textSize; }

void ResetTextParams() {
  SetCurrentTextStyle(0);
  SetCurrentTextFont(0);
  SetCurrentTextMode(1);
  SetCurrentTextSize(0);
}

void PushTextParams() {
  InitTextParamStack();
  if (textParamStack->top == textParamStack->capacity - 1)
    FatalError("Text params stack is full!", "PushTextParams()");
  const GWorldPtr port = CurrentPort();
  textParamStack->data[++textParamStack->top] =
      TextParams{port->textStyle, port->textFont, port->textMode, port->textSize};
}

void PopTextParams() {
  if (!textParamStack || textParamStack->top < 0) FatalError("Text params stack is empty!", "PopTextParams()");
  const TextParams params = textParamStack->data[textParamStack->top--];
  SetCurrentTextStyle(static_cast<UInt8>(params.style));
  SetCurrentTextFont(static_cast<UInt16>(params.font));
  SetCurrentTextMode(static_cast<UInt16>(params.mode));
  SetCurrentTextSize(static_cast<UInt16>(params.size));
}

Rect DrawPStringAt(ConstStr255Param string, SInt16 h, SInt16 v, UInt8 alignment, SInt16 boxColor, SInt16 textColor,
                   SInt16 inset, SInt16 outlineColor) {
  GWorldPtr port = CurrentPort();
  FontExtents extents;
  GetFontExtents(&extents);
  const SInt32 w = MeasurePString(string);
  const SInt32 textHeight = extents.ascent + extents.descent;
  const bool atPen = h == kPenPosition || v == kPenPosition;
  SInt32 top, left, bottom, right;
  if (atPen) {
    const Point pen = port->penLocation;
    top = pen.v - extents.ascent - inset;
    left = pen.h - inset;
    bottom = pen.v + extents.descent + inset;
    right = pen.h + w + inset;
  } else {
    top = v;
    left = h;
    bottom = v + textHeight + 2 * inset;
    right = h + w + 2 * inset;
    port->penLocation = Point{static_cast<SInt16>(v + inset + extents.ascent), static_cast<SInt16>(h + inset)};
  }
  SInt32 shift = 0;
  if (alignment == 1) shift = (right - left) / 2;
  if (alignment == 2) shift = right - left;
  left -= shift;
  right -= shift;
  port->penLocation.h = static_cast<SInt16>(port->penLocation.h - shift);
  const Rect box = {static_cast<SInt16>(top), static_cast<SInt16>(left), static_cast<SInt16>(bottom),
                    static_cast<SInt16>(right)};

  ColorRGB color;
  if (!atPen && IndexColor(boxColor, &color)) {
    const ColorRGB saved = port->foreColor;
    port->foreColor = color;
    FillRectForeColor(&box);
    port->foreColor = saved;
  }
  DrawOutlined(string + 1, 0, string[0], outlineColor);
  if (IndexColor(textColor, &color))
    DrawInColor(string, color);
  else
    DrawPString(string);
  return box;
}

Rect DrawNumberAt(SInt32 number, SInt16 h, SInt16 v, UInt8 alignment, SInt16 boxColor, SInt16 textColor,
                  SInt16 inset, SInt16 outlineColor) {
  Str255 text;
  const int n = std::snprintf(reinterpret_cast<char*>(text + 1), sizeof text - 1, "%d", static_cast<int>(number));
  text[0] = static_cast<unsigned char>(n);
  return DrawPStringAt(text, h, v, alignment, boxColor, textColor, inset, outlineColor);
}

SInt32 DrawWrappedText(const void* text, SInt32 length, const Rect* box, SInt16 lineHeight, SInt16 hScroll,
                       SInt16 vScroll, UInt8 clip, SInt16 margin, SInt16 outlineColor) {
  FontExtents extents;
  GetFontExtents(&extents);
  const SInt16 step = EffectiveLineHeight(lineHeight, margin);
  const SInt32 width = box->right - box->left - 2 * margin;
  GWorldPtr port = CurrentPort();
  return WalkLines(text, length, width, [&](SInt32 index, SInt32 start, SInt32 lineLength) {
    const SInt32 lineTop = index * step;
    if (clip && box->top + lineTop > box->bottom) return true;
    port->penLocation = Point{static_cast<SInt16>(box->top + lineTop + margin + extents.ascent - vScroll),
                              static_cast<SInt16>(box->left + margin - hScroll)};
    DrawOutlined(text, static_cast<SInt16>(start), static_cast<SInt16>(lineLength), outlineColor);
    DrawTextRun(text, static_cast<SInt16>(start), static_cast<SInt16>(lineLength));
    return true;
  });
}

SInt32 DrawWrappedTextSimple(const void* text, SInt32 length, SInt16 width) {
  const Rect box = {0, 0, 0, width};
  return DrawWrappedText(text, length, &box, -1, 0, 0, 0, 0, static_cast<SInt16>(kNoColorIndex));
}

SInt16 GetLineHeight() {
  FontExtents extents;
  GetFontExtents(&extents);
  return static_cast<SInt16>(extents.ascent + extents.descent + extents.leading);
}

SInt32 CountLinesBefore(const void* text, SInt32 length, SInt32 offset, SInt16 width) {
  SInt32 count = 0;
  WalkLines(text, length, width, [&](SInt32, SInt32 start, SInt32 lineLength) {
    if (start + lineLength > offset) return false;
    ++count;
    return true;
  });
  return count;
}

SInt32 LineStartBefore(const void* text, SInt32 length, SInt32 offset, SInt16 width) {
  SInt32 found = 0;
  WalkLines(text, length, width, [&](SInt32, SInt32 start, SInt32 lineLength) {
    found = start;
    return start + lineLength <= offset;
  });
  return found;
}

SInt32 LineStartOfIndex(const void* text, SInt32 length, SInt32 lineIndex, SInt16 width) {
  if (lineIndex < 1) return 0;
  SInt32 found = length;
  WalkLines(text, length, width, [&](SInt32 index, SInt32 start, SInt32) {
    if (index < lineIndex) return true;
    found = start;
    return false;
  });
  return found;
}

SInt32 ColumnInLine(const void* text, SInt32 length, SInt32 offset, SInt16 width) {
  return offset - LineStartBefore(text, length, offset, width);
}

Rect CaretRectInBox(const void* text, SInt32 length, SInt32 offset, const Rect* box, SInt16 lineHeight,
                    SInt16 hScroll, SInt16 vScroll, SInt16 margin) {
  const SInt16 step = EffectiveLineHeight(lineHeight, margin);
  const SInt16 width = static_cast<SInt16>(box->right - box->left - 2 * margin);
  const SInt32 line = CountLinesBefore(text, length, offset, width);
  const SInt32 start = LineStartBefore(text, length, offset, width);
  const SInt32 top = box->top + margin + line * step - vScroll;
  const SInt32 left = box->left + margin - hScroll +
                      MeasureTextRun(text, static_cast<SInt16>(start), static_cast<SInt16>(offset - start));
  return Rect{static_cast<SInt16>(top), static_cast<SInt16>(left), static_cast<SInt16>(top + step),
              static_cast<SInt16>(left + 1)};
}

SInt32 OffsetAtPoint(const void* text, SInt32 length, Point point, const Rect* box, SInt16 lineHeight, SInt16 hScroll,
                     SInt16 vScroll, SInt16 margin) {
  const SInt16 step = EffectiveLineHeight(lineHeight, margin);
  const SInt16 width = static_cast<SInt16>(box->right - box->left - 2 * margin);
  SInt32 line = step > 0 ? (point.v - box->top - margin + vScroll) / step : 0;
  if (line < 0) line = 0;
  SInt32 start = 0;
  SInt32 lineLength = 0;
  WalkLines(text, length, width, [&](SInt32 index, SInt32 s, SInt32 n) {
    start = s;
    lineLength = n;
    return index < line;
  });
  const SInt32 x = point.h - (box->left + margin - hScroll);
  SInt32 best = start;
  SInt32 bestDistance = x < 0 ? -x : x;
  for (SInt32 i = 1; i <= lineLength; ++i) {
    const SInt32 d = MeasureTextRun(text, static_cast<SInt16>(start), static_cast<SInt16>(i)) - x;
    const SInt32 distance = d < 0 ? -d : d;
    if (distance < bestDistance) {
      best = start + i;
      bestDistance = distance;
    }
  }
  return best;
}
