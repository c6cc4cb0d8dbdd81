#include "StyledTextEditor.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "Backend.h"
#include "Clocks.h"
#include "Errors.h"
#include "DialogDefaults.h"
#include "DialogItems.h"
#include "DialogLayout.h"
#include "DisplayServices.h"
#include "EventPoll.h"
#include "InputBox.h"
#include "Memory.h"
#include "NibWindows.h"
#include "NumberText.h"
#include "Strings.h"
#include "SystemCalls.h"
#include "System.h"
#include "SystemUI.h"
#include "Windows.h"

namespace {

constexpr UInt16 kDrainMask = 62;
constexpr UInt16 kEditorMask = 42;  // mouse down, key down, auto-key
constexpr UInt16 kCommandModifier = 0x100;
constexpr UInt16 kShiftModifier = 0x200;
constexpr UInt8 kEscapeKeyCode = 53;

SInt16 FaceOfKey(UInt8 key) {
  switch (key) {
    case 'p': return 0;
    case 'b': return 1;
    case 'i': return 2;
    case 'u': return 4;
    case 'o': return 8;
    case 'h': return 16;
    case ',': return 32;
    case '.': return 64;
    default: return -1;
  }
}

bool LeftButton() { return GetBackend().LeftButton(); }

struct Color {
  UInt16 rgb[3] = {0, 0, 0};
};

// Black when the display layer has no table or no standard colour.
Color TableColor(SInt16 index) {
  Color c;
  if (auto color = GetDisplayServices().mainDeviceColor) color(index, c.rgb);
  return c;
}

Color StandardColor() {
  Color c;
  if (auto standard = GetDisplayServices().standardForeColor) standard(c.rgb);
  return c;
}

void Frame(const Rect& r, const Color& color) {
  if (auto frame = GetDisplayServices().frameRect) frame(&r, color.rgb);
}

void FillCell(SInt16 index) {
  if (auto paint = GetDisplayServices().paintRect) {
    const Rect r = PaletteCellRect(index);
    paint(&r, TableColor(index).rgb);
  }
}

// The standard colour round the cell, entry 0 just inside it.
void MarkCell(SInt16 index) {
  Rect r = PaletteCellRect(index);
  Frame(r, StandardColor());
  r = Rect{static_cast<SInt16>(r.top + 1), static_cast<SInt16>(r.left + 1), static_cast<SInt16>(r.bottom - 1),
           static_cast<SInt16>(r.right - 1)};
  Frame(r, TableColor(0));
}

// Below the last row of cells (bottom 12 x 7 + 14), at the left.
constexpr SInt16 kCellsBottom = 12 * 7 + 14;
constexpr Rect kNumberField{kCellsBottom + 2, 0, kCellsBottom + 26, 48};

void ShowCellNumber(SInt16 index) {
  const DisplayServices& services = GetDisplayServices();
  if (services.eraseRect) services.eraseRect(&kNumberField);
  if (index < 0 || !services.drawText) return;
  if (services.setForeColor) services.setForeColor(StandardColor().rgb);
  if (services.movePenTo) services.movePenTo(kNumberField.left + 4, kNumberField.top + 16);
  char digits[8];
  std::snprintf(digits, sizeof digits, "%d", index);
  Str255 number;
  CToPStr(digits, number);
  services.drawText(number);
}

void HoldFlush(UInt8 hold) {
  if (auto set = GetDisplayServices().setFlushHold) set(hold);
}

void DrawPalette(SInt16 current) {
  for (SInt16 i = 0; i < 256; ++i) FillCell(i);
  MarkCell(current);
  // The cells' extent grown by 2.
  const Rect first = PaletteCellRect(0), last = PaletteCellRect(255);
  Frame(Rect{static_cast<SInt16>(first.top - 2), static_cast<SInt16>(first.left - 2),
             static_cast<SInt16>(last.bottom + 2), static_cast<SInt16>(last.right + 2)},
        StandardColor());
}

SInt16 CellUnderMouse() {
  Point p{};
  GetMouseLocal(&p);
  return FindPaletteCell(p);
}

// A call on the record through the system-call table; none without one.
template <typename... Params, typename... Args>
void OnRecord(void* edit, void (*SystemCallTable::*entry)(void*, Params...), Args... args) {
  if (edit) (gSystemCalls.*entry)(edit, args...);
}

void ApplyStyle(void* edit, SInt16 mode, const TextStyleRecord& style, Boolean redraw) {
  OnRecord(edit, &SystemCallTable::setTextEditStyle, mode, static_cast<const void*>(&style), redraw);
}

struct Selection {
  SInt16 start = 0, end = 0;
};

Selection SelectionOf(void* edit) {
  Selection s;
  OnRecord(edit, &SystemCallTable::getTextEditSelection, &s.start, &s.end);
  return s;
}

void Select(void* edit, SInt32 start, SInt32 end) {
  OnRecord(edit, &SystemCallTable::setTextEditSelection, start, end);
}

// Characters [start, end) run from a to b; each is selected in turn.
void ColorRun(void* edit, const Color& a, const Color& b, SInt32 start, SInt32 end, Boolean redraw) {
  for (SInt32 i = start; i < end; ++i) {
    TextStyleRecord style{};
    for (int c = 0; c < 3; ++c) style.color[c] = GradientComponent(a.rgb[c], b.rgb[c], i, start, end);
    Select(edit, i, i + 1);
    ApplyStyle(edit, 8, style, redraw);
  }
}

void CharacterGradient(void* edit, const Color& a, const Color& b) {
  if (!edit) return;
  const Selection s = SelectionOf(edit);
  ColorRun(edit, a, b, s.start, s.end, 1);
  Select(edit, s.start, s.end);
}

// Words are runs without spaces; the user stops the run with the button.
void WordGradient(void* edit, const Rect& rect, const Color& a, const Color& b) {
  if (!edit) return;
  const Selection s = SelectionOf(edit);
  SInt32 length = 0;
  const UInt8* text = gSystemCalls.getTextEditBytes(edit, &length);
  const SInt32 end = text ? std::min<SInt32>(s.end, length) : 0;
  for (SInt32 i = std::max<SInt32>(s.start, 0); i < end;) {
    while (i < end && text[i] == ' ') ++i;
    const SInt32 word = i;
    while (i < end && text[i] != ' ') ++i;
    if (word == i) break;
    ColorRun(edit, a, b, word, i, 0);
    if (LeftButton()) break;
  }
  OnRecord(edit, &SystemCallTable::updateTextEdit, &rect);
  Select(edit, s.start, s.end);
}

// The colour of a palette pick; false when it was cancelled.
bool PickColor(Color* out) {
  const SInt16 index = ColorPaletteDialog(0);
  if (index < 0) return false;
  *out = TableColor(index);
  return true;
}

// The palette on a white background, the port's own put back after.
bool PickColorOnWhite(Color* out) {
  const DisplayServices& services = GetDisplayServices();
  Color saved;
  if (services.backColor) services.backColor(saved.rgb);
  const UInt16 white[3] = {65535, 65535, 65535};
  if (services.setBackColor) services.setBackColor(white);
  const bool picked = PickColor(out);
  if (services.setBackColor) services.setBackColor(saved.rgb);
  return picked;
}

void AskFontOrSize(void* edit, UInt8 character) {
  DialogDefaults.extraWidth = 256;
  DialogDefaults.extraHeight = 96;
  const bool font = character == 'f';
  if (font) DialogDefaults.reservedFlag = 1;
  Str255 text;
  CToPStr(font ? "Geneva" : "12", text);
  if (InputBox(PStr(font ? "Set text font to:" : "Set font size to:").GetPtr(), text) != kResultOK) return;
  TextStyleRecord style{};
  if (font) {
    auto open = GetDisplayServices().openFontByName;
    style.font = open ? open(text) : 0;
    ApplyStyle(edit, 1, style, 1);
  } else {
    style.size = static_cast<SInt16>(PStrToNum(text));
    ApplyStyle(edit, 4, style, 1);
  }
}

}  // namespace

Rect PaletteCellRect(SInt16 index) {
  const SInt16 c = index % 32, r = index / 32;
  return Rect{static_cast<SInt16>(12 * r + 2), static_cast<SInt16>(12 * c + 2), static_cast<SInt16>(12 * r + 14),
              static_cast<SInt16>(12 * c + 14)};
}

SInt16 FindPaletteCell(Point where) {
  for (SInt16 i = 255; i >= 0; --i) {
    const Rect r = PaletteCellRect(i);
    if (where.h >= r.left && where.h < r.right && where.v >= r.top && where.v < r.bottom) return i;
  }
  return -1;
}

UInt16 GradientComponent(UInt16 a, UInt16 b, SInt32 i, SInt32 start, SInt32 end) {
  if (end <= start) return a;
  const SInt64 value = a + (static_cast<SInt64>(b) - a) * (i - start) / (end - start);
  return static_cast<UInt16>(value);
}

bool EditorKeyEndsEditing(UInt8 character, UInt16 modifiers) {
  return !(modifiers & kCommandModifier) && character == 3;
}

SInt16 ColorPaletteDialog(UInt8 current) {
  const UInt8 cursorWasVisible = gCursorVisible;
  const Rect rect = CenterDialogRect(388, 124, 0);
  const unsigned char untitled[1] = {0};
  WindowRef window = NewDialogWindow(rect, untitled, 0);
  Rect button = DialogButtonRect(rect, 0);
  AddDialogItem(window, &button, kItemPushButton, PStr("Cancel").GetPtr(), 0, 0, 1);
  SetArrowCursor();
  ShowDialogCursor();
  DialogPushPort();
  if (window) {
    ShowWindowRef(window);
    DialogSetPort(window);
  }
  DrawPalette(current);
  DrainEvents(kDrainMask);

  SInt16 answer = -1, hovered = -1;
  for (bool done = false; !done;) {
    PollEvents(0xFFFF, nullptr);
    const SInt16 cell = CellUnderMouse();
    if (cell != hovered) {
      HoldFlush(1);
      if (hovered >= 0 && hovered != current) FillCell(hovered);
      if (cell >= 0) MarkCell(cell);
      ShowCellNumber(cell);
      HoldFlush(0);
      hovered = cell;
    }
    if (KeyWasPressed(kEscapeKeyCode)) {
      answer = -1;
      break;
    }
    if (!LeftButton()) continue;
    const SInt16 chosen = hovered;
    SInt16 tracked = hovered;
    while (LeftButton()) {
      PollEvents(0xFFFF, nullptr);
      const SInt16 under = CellUnderMouse();
      if (under != tracked) {
        if (tracked >= 0) FillCell(tracked);
        if (under >= 0) MarkCell(under);
        tracked = under;
      }
    }
    if (tracked < 0) {
      SystemBeep();
      continue;
    }
    for (int blink = 0; blink < 3; ++blink) {
      Frame(PaletteCellRect(tracked), TableColor(0));
      DelayTicks(3, nullptr);
      Frame(PaletteCellRect(tracked), StandardColor());
      DelayTicks(3, nullptr);
    }
    answer = chosen;
    done = true;
  }
  DialogPopPort();
  if (window) DisposeWindowRef(window);
  RestoreDialogCursor(cursorWasVisible);
  DrainEvents(kDrainMask);
  return answer;
}

void StyledTextEditor(const Rect& rect) {
  SystemCallTable& calls = gSystemCalls;
  void* edit = calls.newTextEdit(&rect, &rect);
  DrainEvents(kDrainMask);
  OnRecord(edit, &SystemCallTable::activateTextEdit);
  Select(edit, 0, 32767);
  OnRecord(edit, &SystemCallTable::updateTextEdit, &rect);
  SetArrowCursor();
  ShowDialogCursor();
  for (;;) {
    OnRecord(edit, &SystemCallTable::textEditIdle);
    EventRec event{};
    if (!PollEvents(kEditorMask, &event)) continue;
    if (event.what == kMouseDownEvent) {
      Point p{};
      GetMouseLocal(&p);
      if (p.h >= rect.left && p.h < rect.right && p.v >= rect.top && p.v < rect.bottom)
        OnRecord(edit, &SystemCallTable::textEditClick, p,
                 static_cast<Boolean>((event.modifiers & kShiftModifier) != 0));
      continue;
    }
    if (event.what != kKeyDownEvent && event.what != kAutoKeyEvent) continue;
    const UInt8 character = event.message & 0xFF;
    if (EditorKeyEndsEditing(character, event.modifiers)) break;
    if (!(event.modifiers & kCommandModifier)) {
      OnRecord(edit, &SystemCallTable::textEditKeyPress, static_cast<SInt16>(character));
      continue;
    }
    if (const SInt16 face = FaceOfKey(character); face >= 0) {
      TextStyleRecord style{};
      style.face = static_cast<UInt8>(face);
      ApplyStyle(edit, 2, style, 1);
      continue;
    }
    switch (character) {
      case 's':
        if (edit) {
          for (Handle h : {calls.getTextEditTextHandle(edit), calls.getTextEditStyleScrap(edit)}) {
            if (!h) continue;
            LockHandleBlock(h);
            UnlockHandleBlock(h);
          }
        }
        break;
      case 'l':
        OnRecord(edit, &SystemCallTable::setTextEditText, static_cast<const void*>(""), SInt32{0});
        OnRecord(edit, &SystemCallTable::recalcTextEditLines);
        OnRecord(edit, &SystemCallTable::updateTextEdit, &rect);
        break;
      case 'a': Select(edit, 0, 32767); break;
      case 'c': OnRecord(edit, &SystemCallTable::copyTextEditSelection); break;
      case 'x': OnRecord(edit, &SystemCallTable::cutTextEditSelection); break;
      case 'v': OnRecord(edit, &SystemCallTable::pasteIntoTextEdit); break;
      case 'f':
      case 't':
      case 'r':
      case '1':
      case '2': {
        Color a, b;
        if (character == 'f' || character == 't') {
          AskFontOrSize(edit, character);
        } else if (character == 'r') {
          if (PickColorOnWhite(&a)) {
            TextStyleRecord style{};
            std::copy(a.rgb, a.rgb + 3, style.color);
            ApplyStyle(edit, 8, style, 1);
          }
        } else if (PickColor(&a) && PickColor(&b)) {
          if (character == '1')
            CharacterGradient(edit, a, b);
          else
            WordGradient(edit, rect, a, b);
        }
        SetArrowCursor();
        while (LeftButton()) PollEvents(0xFFFF, nullptr);
        break;
      }
      default: break;
    }
  }
  OnRecord(edit, &SystemCallTable::deactivateTextEdit);
  OnRecord(edit, &SystemCallTable::disposeTextEdit);
}

void PlaceText(SInt16 resourceID, const Rect& rect) {
  SystemCallTable& calls = gSystemCalls;
  void* edit = calls.newTextEdit(&rect, &rect);
  Handle style = calls.getResource(FOUR_CHAR_CODE("styl"), resourceID);
  if (!style) FatalError("Failed to load 'styl' resource.", "PlaceText()");
  Handle text = calls.getResource(FOUR_CHAR_CODE("TEXT"), resourceID);
  const SInt32 length = text && *text ? GetHandleBlockSize(text) : 0;
  OnRecord(edit, &SystemCallTable::setTextEditText, static_cast<const void*>(length ? *text : ""), length);
  OnRecord(edit, &SystemCallTable::applyTextEditStyleScrap, SInt32{0}, SInt32{32767}, style, Boolean{0});
  OnRecord(edit, &SystemCallTable::recalcTextEditLines);
  OnRecord(edit, &SystemCallTable::updateTextEdit, &rect);
  OnRecord(edit, &SystemCallTable::disposeTextEdit);
  if (text) calls.releaseResource(text);
  calls.releaseResource(style);
}

void* NewStyledTextEdit(ConstStr255Param text, const Rect& rect, Handle style, SInt16 alignment,
                        UInt8 keepTextDrawing) {
  SystemCallTable& calls = gSystemCalls;
  void* edit = calls.newTextEdit(&rect, &rect);
  PortDrawingProcs* own = calls.getPortDrawingProcs();
  PortDrawingProcs procs{};
  if (own)
    procs = *own;
  else
    calls.standardDrawingProcs(&procs);
  if (!keepTextDrawing) procs.textProc = EmptyTextDrawingProc;
  calls.setPortDrawingProcs(&procs);
  const UInt8 empty[1] = {0};
  if (!text) text = empty;
  OnRecord(edit, &SystemCallTable::setTextEditText, static_cast<const void*>(text + 1), SInt32{text[0]});
  Select(edit, 0, 32767);
  OnRecord(edit, &SystemCallTable::setTextEditAlignment, alignment);
  if (style && *style) ApplyStyle(edit, 15, *reinterpret_cast<const TextStyleRecord*>(*style), 1);
  calls.setPortDrawingProcs(own);
  return edit;
}

void EmptyTextDrawingProc() {}
void EmptyStyledTextProc() {}
void EmptyStyledTextHook() {}
