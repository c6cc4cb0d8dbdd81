#include "XConnection.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>

#include "Sys.h"

namespace {

// A window another client destroyed stays listed, gone: its later requests,
// and SDL's own destruction of it at shut-down, each raise an error too.
struct XWindowEntry {
  Window id;
  bool gone;
};
constexpr int kWatchedWindows = 8;
XWindowEntry gWindows[kWatchedWindows] = {};

Display* gDisplay = nullptr;
XErrorHandler gPreviousErrorHandler = nullptr;
XIOErrorHandler gPreviousIOErrorHandler = nullptr;
void (*gDisplayLostSave)() = nullptr;

XWindowEntry* FindEntry(XID id) {
  if (id == 0) return nullptr;
  for (XWindowEntry& entry : gWindows)
    if (entry.id == id) return &entry;
  return nullptr;
}

bool AnyGone() {
  for (const XWindowEntry& entry : gWindows)
    if (entry.gone) return true;
  return false;
}

// Xlib calls it with the connection locked: no X call here.
int OnXError(Display* display, XErrorEvent* error) {
  if (display == gDisplay) {
    const bool missing = error->error_code == BadWindow || error->error_code == BadDrawable;
    XWindowEntry* entry = FindEntry(error->resourceid);
    // Once our window is gone, SDL's own requests while events are pumped at
    // shut-down can name a stale window id: part of the same loss.
    if ((entry && (entry->gone || missing)) || (missing && AnyGone())) {
      if (entry) entry->gone = true;
      RequestShutdown();
      return 0;
    }
  }
  return gPreviousErrorHandler ? gPreviousErrorHandler(display, error) : 0;
}

// Xlib ends the process when this returns, and the connection is dead: the
// save is a file operation, and _exit rather than exit, since atexit handlers
// and static destructors (SDL's, Mesa's) would talk to the dead connection.
int OnXIOError(Display* display) {
  if (display != gDisplay) return gPreviousIOErrorHandler ? gPreviousIOErrorHandler(display) : 0;
  static bool saving = false;
  if (!saving && gDisplayLostSave) {
    saving = true;
    gDisplayLostSave();
  }
  std::fflush(nullptr);
  _exit(0);
}

// The X window behind an SDL window; false when it is not on X.
bool XWindowOf(SDL_Window* window, Display** display, Window* id) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  *display = info.info.x11.display;
  *id = info.info.x11.window;
  return true;
}

}  // namespace

void SetDisplayLostSave(void (*save)()) { gDisplayLostSave = save; }

void WatchXWindow(SDL_Window* window) {
  Display* display = nullptr;
  Window id = 0;
  if (!XWindowOf(window, &display, &id)) return;
  gDisplay = display;
  // SDL puts its own handler in at each start of video; ours goes over it
  // and passes on every error that is not ours.
  const XErrorHandler error = XSetErrorHandler(OnXError);
  if (error != OnXError) gPreviousErrorHandler = error;
  const XIOErrorHandler io = XSetIOErrorHandler(OnXIOError);
  if (io != OnXIOError) gPreviousIOErrorHandler = io;
  if (FindEntry(id)) return;
  for (XWindowEntry& entry : gWindows) {
    if (entry.id == 0) {
      entry = XWindowEntry{id, false};
      return;
    }
  }
}

void UnwatchXWindow(SDL_Window* window) {
  Display* display = nullptr;
  Window id = 0;
  if (!XWindowOf(window, &display, &id)) return;
  XWindowEntry* entry = FindEntry(id);
  if (entry && !entry->gone) *entry = XWindowEntry{};
}

void StopWatchingXConnection() {
  if (!gDisplay) return;
  XSetIOErrorHandler(gPreviousIOErrorHandler);
  for (XWindowEntry& entry : gWindows) entry = XWindowEntry{};
  gDisplay = nullptr;
}
