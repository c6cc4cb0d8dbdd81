#include "DialogLayout.h"

#include "DisplayServices.h"
#include "WindowRecords.h"
#include "Windows.h"

DialogCheckSizePair DialogCheckSize;

namespace {

constexpr UInt32 kStandardHandlerAttribute = 0x2000000;
constexpr UInt32 kSheetWindowClass = 15;
constexpr UInt32 kMovableModalWindowClass = 2;

// Every window shares the 1 x 1 port.
constexpr Rect kSharedPortRect{0, 0, 1, 1};

Rect MakeRect(int top, int left, int bottom, int right) {
  return Rect{static_cast<SInt16>(top), static_cast<SInt16>(left), static_cast<SInt16>(bottom),
              static_cast<SInt16>(right)};
}

int Width(const Rect& r) { return r.right - r.left; }
int Height(const Rect& r) { return r.bottom - r.top; }

}  // namespace

void DialogPushPort() {
  if (auto f = GetDisplayServices().pushPort) f();
}

void DialogPopPort() {
  if (auto f = GetDisplayServices().popPort) f();
}

void DialogSetPort(WindowRef window) {
  if (auto f = GetDisplayServices().setPortToWindow) f(window);
}

void DialogWindowToScreen(Point* point) {
  if (auto f = GetDisplayServices().windowToScreenPoint) return f(point);
  Rect content{};
  WindowRef front = GetFrontWindow();
  if (front && GetWindowRegionRect(front, kWindowContentRgn, &content) == 0) {
    point->h = static_cast<SInt16>(point->h + content.left);
    point->v = static_cast<SInt16>(point->v + content.top);
  }
}

Rect CenterDialogRect(SInt16 width, SInt16 height, SInt16 extraHeight) {
  const auto& services = GetDisplayServices();
  const UInt8 fullScreen = services.fullScreenFlag ? services.fullScreenFlag() : 0;
  if (gMainWindow && !fullScreen && FindWindowRecord(gMainWindow)) {
    const Rect& r = kSharedPortRect;
    Point corner{r.top, r.left};
    DialogPushPort();
    DialogSetPort(gMainWindow);
    DialogWindowToScreen(&corner);
    DialogPopPort();
    const int left = Width(r) / 2 + r.left - width / 2 + corner.h;
    const int c = Height(r) / 2 + r.top - (height + extraHeight) / 2;
    const int top = c - c / 3 + corner.v;
    return MakeRect(top, left, top + height, left + width);
  }
  Rect b{};
  if (services.mainDeviceBounds) {
    services.mainDeviceBounds(&b);
  } else {
    GetMainScreenRect(&b);
  }
  const int left = Width(b) / 2 + b.left - width / 2;
  const int c = Height(b) / 2 + b.top - (height + extraHeight) / 2;
  const int top = c - c / 3 + 20;
  return MakeRect(top, left, top + height, left + width);
}

void CenterWindowOnParent(WindowRef window, WindowRef parent) {
  const Rect& a = kSharedPortRect;
  const Rect& b = kSharedPortRect;
  Point corner{b.top, b.left};
  DialogPushPort();
  DialogSetPort(parent);
  DialogWindowToScreen(&corner);
  DialogPopPort();
  const int left = Width(b) / 2 + b.left - Width(a) / 2 + corner.h;
  const int c = Height(b) / 2 + b.top - Height(a) / 2;
  const int top = c - c / 3 + corner.v;
  MoveWindowRef(window, static_cast<SInt16>(left), static_cast<SInt16>(top));
}

Rect DialogButtonRect(const Rect& window, SInt8 index) {
  const int w = Width(window), h = Height(window);
  return MakeRect(h - 40, w - 82 * index - 90, h - 20, w - 82 * index - 20);
}

Rect DialogButtonRectSized(const Rect& window, SInt8 index, SInt16 buttonWidth, SInt16 margin) {
  const int w = Width(window), h = Height(window);
  return MakeRect(h - margin - 20, w - margin - buttonWidth - (buttonWidth + 12) * index, h - margin,
                  w - margin - (buttonWidth + 12) * index);
}

Rect DialogIconRect() { return Rect{10, 20, 42, 52}; }

Rect DialogTextRect(const Rect& window) { return MakeRect(10, 75, Height(window) - 47, Width(window) - 23); }

Rect DialogFooterRect(const Rect& window) {
  return MakeRect(Height(window) - 28, 75, Height(window) - 12, Width(window) - 92);
}

Rect DialogCheckRect(const Rect& window) {
  DialogCheckSize = DialogCheckSizePair{12, 12};
  return MakeRect(Height(window) - 56, 8, Height(window) - 44, 20);
}

WindowRef NewDialogWindow(const Rect& bounds, ConstStr255Param title, UInt8 sheet) {
  WindowRef window = nullptr;
  CreateWindowRef(sheet ? kSheetWindowClass : kMovableModalWindowClass, kStandardHandlerAttribute, &bounds, &window);
  if (!window) return nullptr;
  SetNewWindowOption(window, 0, 0);
  SetWindowTitle(window, title);
  return window;
}

void OffsetWindow(WindowRef window, SInt16 dh, SInt16 dv) {
  Rect r{};
  if (GetWindowRegionRect(window, kWindowStructureRgn, &r) != 0) return;
  r = MakeRect(r.top + dv, r.left + dh, r.bottom + dv, r.right + dh);
  SetWindowRegionRect(window, kWindowStructureRgn, &r);
}
