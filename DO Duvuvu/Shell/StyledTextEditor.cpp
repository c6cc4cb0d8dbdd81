#include "StyledTextEditor.h"

#include <cstdio>
#include <cstdlib>

#include "Backend.h"
#include "Clocks.h"
#include "DialogDefaults.h"
#include "DialogItems.h"
#include "DialogLayout.h"
#include "DisplayServices.h"
#include "EventPoll.h"
#include "FixedResults.h"
#include "InputBox.h"
#include "NibWindows.h"
#include "Strings.h"
#include "System.h"
#include "SystemUI.h"
#include "Windows.h"

namespace {

constexpr UInt16 kDrainMask = 62;
constexpr UInt16 kEditorMask = 42;  // mouse down, key down, auto-key
constexpr UInt16 kCommandModifier = 0x100;
constexpr UInt16 kShiftModifier = 0x200;
constexpr UInt8 kEscapeKeyCode = 53;

// The style record of the set-style call.
struct TextStyleRecord {
  SInt16 font;
  UInt8 face;
  SInt16 size;
  UInt16 color[3];
};

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
  void* edit = NewTextEdit(&rect, &rect);
  DrainEvents(kDrainMask);
  ActivateTextEdit(edit);
  SetTextEditSelection(edit, 0, 32767);
  UpdateTextEdit(edit, &rect);
  SetArrowCursor();
  ShowDialogCursor();
  for (;;) {
    TextEditIdle(edit);
    EventRec event{};
    if (!PollEvents(kEditorMask, &event)) continue;
    if (event.what == kMouseDownEvent) {
      Point p{};
      GetMouseLocal(&p);
      if (p.h >= rect.left && p.h < rect.right && p.v >= rect.top && p.v < rect.bottom)
        TextEditClick(edit, p, (event.modifiers & kShiftModifier) != 0);
      continue;
    }
    if (event.what != kKeyDownEvent && event.what != kAutoKeyEvent) continue;
    const UInt8 character = event.message & 0xFF;
    if (EditorKeyEndsEditing(character, event.modifiers)) break;
    if (!(event.modifiers & kCommandModifier)) {
      TextEditKeyPress(edit, character);
      continue;
    }
    if (const SInt16 face = FaceOfKey(character); face >= 0) {
      TextStyleRecord style{};
      style.face = static_cast<UInt8>(face);
      SetTextEditStyle(edit, 2, &style, 1);
      continue;
    }
    switch (character) {
      case 's':
        GetTextEditTextHandle(edit);
        GetTextEditStyleScrap(edit);
        break;
      case 'l':
        SetTextEditText(edit, "", 0);
        RecalcTextEditLines(edit);
        UpdateTextEdit(edit, &rect);
        break;
      case 'a':
        SetTextEditSelection(edit, 0, 32767);
        break;
      case 'c':
        CopyTextEditSelection(edit);
        break;
      case 'x':
        CutTextEditSelection(edit);
        break;
      case 'v':
        PasteIntoTextEdit(edit);
        break;
      case 'f':
      case 't': {
        DialogDefaults.extraWidth = 256;
        DialogDefaults.extraHeight = 96;
        if (character == 'f') DialogDefaults.reservedFlag = 1;
        Str255 text;
        CToPStr(character == 'f' ? "Geneva" : "12", text);
        InputBox(PStr(character == 'f' ? "Set text font to:" : "Set font size to:").GetPtr(), text);
        SetArrowCursor();
        while (LeftButton()) PollEvents(0xFFFF, nullptr);
        break;
      }
      case 'r':
      case '1':
      case '2':
        // Colours come from the palette; the text edit keeps none here.
        ColorPaletteDialog(0);
        if (character != 'r') ColorPaletteDialog(0);
        SetArrowCursor();
        while (LeftButton()) PollEvents(0xFFFF, nullptr);
        break;
      default:
        break;
    }
  }
  DeactivateTextEdit(edit);
  DisposeTextEdit(edit);
}
