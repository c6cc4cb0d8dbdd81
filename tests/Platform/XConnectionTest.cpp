// Our window destroyed by another client, and our X connection cut, on a real
// X server: Xlib's own handlers would end the program with status 1 and
// nothing saved. Each case runs in a child, since both end or mark the process.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "Backend.h"
#include "SdlBackend.h"
#include "Sys.h"
#include "TestSupport.h"

// Last: Xlib's macros (None, Bool, Status) clash with GoogleTest's names.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

namespace {

struct OpenedWindow {
  Backend* backend;
  uint32_t id;
  Display* display;  // SDL's connection
  Window window;
};

// The backend's video and one window on it; ends the child when either fails.
OpenedWindow OpenWindow() {
  // Without this SDL falls back to its offscreen driver and no X is tested.
  setenv("SDL_VIDEODRIVER", "x11", 1);
  Backend* backend = NewSdlBackend();
  if (!backend->InitVideo()) std::_Exit(20);
  const uint32_t id = backend->CreateWindow({100, 100, 300, 400});
  SDL_Window* window = static_cast<SDL_Window*>(backend->NativeWindow(id));
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) std::_Exit(21);
  return {backend, id, info.info.x11.display, info.info.x11.window};
}

// What another client does to our window, over a connection of its own.
void FromOutside(void (*act)(Display*, Window), Window window) {
  Display* other = XOpenDisplay(nullptr);
  if (!other) std::_Exit(22);
  act(other, window);
  XSync(other, False);
  XCloseDisplay(other);
}

// A request about the drawable, answered with an error when it is gone.
void AskGeometry(Display* display, Drawable drawable) {
  Window root;
  int x, y;
  unsigned width, height, border, depth;
  XGetGeometry(display, drawable, &root, &x, &y, &width, &height, &border, &depth);
  XSync(display, False);
}

class XConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  }
};

}  // namespace

// The errors about our destroyed window ask for the normal shut-down and the
// program goes on to it (its own destruction of the window included, and the
// stale window ids SDL's requests can name after it); an error about anything
// else still ends it in Xlib's handler.
TEST_F(XConnectionTest, OurDestroyedWindowAsksForTheShutdownOtherErrorsPassOn) {
  auto r = testsupport::RunInChild([] {
    OpenedWindow w = OpenWindow();
    FromOutside([](Display* other, Window window) { XDestroyWindow(other, window); }, w.window);
    AskGeometry(w.display, w.window);
    std::printf("shutdown %d\n", ShutdownSignal());
    std::fflush(stdout);
    w.backend->DestroyWindow(w.id);
    XSync(w.display, False);
    std::printf("destroyed\n");
    std::fflush(stdout);
    const Window stale = XCreateSimpleWindow(w.display, DefaultRootWindow(w.display), 0, 0, 4, 4, 0, 0, 0);
    XDestroyWindow(w.display, stale);
    AskGeometry(w.display, stale);
    std::printf("stale window\n");
    std::fflush(stdout);
    const Pixmap freed = XCreatePixmap(w.display, DefaultRootWindow(w.display), 4, 4, 24);
    XFreePixmap(w.display, freed);
    XFreePixmap(w.display, freed);
    XSync(w.display, False);
    std::printf("survived\n");
  });
  EXPECT_TRUE(r.exited) << r.stderrText;
  EXPECT_EQ(r.exitStatus, 1) << r.stderrText;
  EXPECT_EQ(r.stdoutText, "shutdown " + std::to_string(SIGTERM) + "\ndestroyed\nstale window\n") << r.stderrText;
  EXPECT_NE(r.stderrText.find("BadPixmap"), std::string::npos) << r.stderrText;
}

// A lost connection saves through the installed hook and ends with status 0.
TEST_F(XConnectionTest, LostConnectionSavesAndEndsCleanly) {
  auto r = testsupport::RunInChild([] {
    SetDisplayLostSave([] { std::printf("saved\n"); });
    OpenedWindow w = OpenWindow();
    FromOutside([](Display* other, Window window) { XKillClient(other, window); }, w.window);
    AskGeometry(w.display, w.window);
    std::printf("survived\n");
    std::_Exit(3);
  });
  EXPECT_TRUE(r.exited) << r.stderrText;
  EXPECT_EQ(r.exitStatus, 0) << r.stderrText;
  EXPECT_EQ(r.stdoutText, "saved\n") << r.stderrText;
}
