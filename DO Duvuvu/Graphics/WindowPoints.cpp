#include "WindowPoints.h"

#include "GWorld.h"
#include "Windows.h"

namespace {

bool MainContentOrigin(Point* origin) {
  Rect content;
  if (!gMainWindow || GetWindowRegionRect(gMainWindow, kWindowContentRgn, &content) != 0) return false;
  *origin = Point{content.top, content.left};
  return true;
}

}  // namespace

void WindowToScreenPoint(Point* p) {
  Point origin;
  if (!MainContentOrigin(&origin)) return;
  p->h = static_cast<SInt16>(p->h + origin.h);
  p->v = static_cast<SInt16>(p->v + origin.v);
}

void ScreenToWindowPoint(Point* p) {
  Point origin;
  if (!MainContentOrigin(&origin)) return;
  p->h = static_cast<SInt16>(p->h - origin.h);
  p->v = static_cast<SInt16>(p->v - origin.v);
}

Ptr WindowPixelOrigin(WindowRef window) {
  if (!window) return nullptr;
  GWorldPtr port = GetWindowManagerPort(window);
  if (!port || !port->portPixMap) return nullptr;
  const PixMap* p = *port->portPixMap;
  const SInt32 depth = p->pixelFormat ? static_cast<SInt32>(p->pixelFormat) : p->pixelDepth;
  return p->baseAddr - static_cast<ptrdiff_t>(p->bounds.top) * (p->rowBytes & kPixMapRowBytesMask) -
         static_cast<ptrdiff_t>(p->bounds.left) * (depth / 8);
}
