#include "FirstPlayScreen.h"

#include <algorithm>

#include "DisplayFlush.h"
#include "DisplayHooks.h"
#include "EventPoll.h"
#include "Events.h"
#include "GLFrame.h"
#include "GameGlobals.h"
#include "Effects.h"
#include "Geometry.h"
#include "InterfaceFrames.h"
#include "MainLoop.h"
#include "PixMapDrawing.h"
#include "Ports.h"
#include "TickRecords.h"

FirstPlayState FirstPlayScreenState;

namespace {

constexpr SInt16 kPanelWidth = 512;
constexpr SInt16 kPanelHeight = 384;
constexpr SInt16 kStripHeight = 24;
constexpr SInt16 kStripWidth = 480;
constexpr int kStripCount = 8;
constexpr int kLampCount = 9;
constexpr SInt16 kLampSide = 16;
constexpr SInt8 kLongLampLast = 34;
constexpr SInt8 kShortLampLast = 15;
constexpr SInt8 kSwingLast = 4;
constexpr SInt8 kSwingPauseTicks = 4;

Rect MakeRect(SInt32 top, SInt32 left, SInt32 bottom, SInt32 right) {
  return Rect{static_cast<SInt16>(top), static_cast<SInt16>(left), static_cast<SInt16>(bottom),
              static_cast<SInt16>(right)};
}

// A key or a click leaves the greeting: the loop has no way out of its own.
bool WantsToLeave() {
  if (QuitRequested) return true;
  const EventRec* event = GetCurrentEventRec();
  return event && (event->what == kKeyDownEvent || event->what == kMouseDownEvent);
}

}  // namespace

void LayoutFirstPlayScreen() {
  FirstPlayState& s = FirstPlayScreenState;
  const Rect& panel = s.panel;
  // A row of lamps along the panel's foot.
  for (int k = 0; k < kLampCount; ++k) {
    const SInt32 left = panel.left + 40 + 48 * k;
    const SInt32 top = panel.bottom - 40;
    s.lamps[k] = MakeRect(top, left, top + kLampSide, left + kLampSide);
  }
  std::fill(std::begin(s.longCounters), std::end(s.longCounters), SInt8{0});
  std::fill(std::begin(s.shortCounters), std::end(s.shortCounters), SInt8{0});
  s.swing = 0;
  s.swingDirection = 1;
  s.swingPause = 0;
  for (int i = 0; i < kSparkCount; ++i) gSparks[i].inUse = 0;
}

void AnimateFirstPlayScreen() {
  FirstPlayState& s = FirstPlayScreenState;
  PushPort();
  SetPortToPixMap(LogicalScreenPixMap);
  for (const Rect& lamp : s.lamps) FillRectForeColor(&lamp);
  PopPort();

  for (SInt8& counter : s.longCounters) counter = counter >= kLongLampLast ? 0 : static_cast<SInt8>(counter + 1);
  for (SInt8& counter : s.shortCounters) counter = counter >= kShortLampLast ? 0 : static_cast<SInt8>(counter + 1);
  // The swinging lamp rests a moment at each end.
  if (s.swingDirection == 0) {
    if (--s.swingPause <= 0) s.swingDirection = s.swing >= kSwingLast ? -1 : 1;
  } else {
    s.swing = static_cast<SInt8>(s.swing + s.swingDirection);
    if (s.swing <= 0 || s.swing >= kSwingLast) {
      s.swing = std::clamp<SInt8>(s.swing, 0, kSwingLast);
      s.swingDirection = 0;
      s.swingPause = kSwingPauseTicks;
    }
  }
}

void PresentFirstPlayScreen(SInt8 state) {
  FirstPlayState& s = FirstPlayScreenState;
  if (state < 1 || state > kStripCount || !s.offscreen || !LogicalScreenPixMap) return;
  PushPort();
  CopyPixMapBits(*s.offscreen, *LogicalScreenPixMap, &s.strips[state], &s.strips[0], kCopyModeTransparent, nullptr);
  PopPort();
}

void RunFirstPlayScreen() {
  FirstPlayState& s = FirstPlayScreenState;
  // The platform has no cursor resources: cursor 1000 is not asked for.
  s.state = 1;
  gPlayFieldRect = ScreenRect;

  const Rect offscreenBounds = MakeRect(0, 0, kStripHeight * kStripCount, kStripWidth);
  MakePixMap(16, &s.offscreen, &offscreenBounds, 1, 0, 1);

  const SInt16 centreH = static_cast<SInt16>((ScreenRect.left + ScreenRect.right) / 2);
  const SInt16 centreV = static_cast<SInt16>((ScreenRect.top + ScreenRect.bottom) / 2);
  s.panel = MakeRect(centreV - kPanelHeight / 2, centreH - kPanelWidth / 2, centreV + kPanelHeight / 2,
                     centreH + kPanelWidth / 2);
  s.strips[0] = MakeRect(s.panel.top + 16, s.panel.left + 16, s.panel.top + 40, s.panel.left + 496);
  for (int j = 1; j <= kStripCount; ++j)
    s.strips[j] = MakeRect(kStripHeight * (j - 1), 0, kStripHeight * j, kStripWidth);
  s.frame = MakeRect(56, 16, 372, 496);
  InsetRectBy(&s.frame, 8, 8);
  s.hot = s.frame;
  LayoutFirstPlayScreen();

  SetFadeDark();
  FadeInScreen(8);
  EnterMenuMode();
  PresentFirstPlayScreen(s.state);

  while (!QuitRequested) {
    RecordTickCount();
    PollEvents(0xFFFF, nullptr);
    Point mouse;
    GetMouseLocal(&mouse);
    DispatchCurrentEvent();
    if (WantsToLeave()) break;
    // States 7 and 8 would change the pointer over the hot rect: no shapes here.
    if (s.state == 4) BlinkBoss();
    if (s.state == 5) AnimateFirstPlayScreen();
    FlushToScreen(nullptr);
    DelaySinceTickRecord(3);
  }

  ReleasePixMap(&s.offscreen);
}
