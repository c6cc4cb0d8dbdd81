// The SDL input box beside the program's own window, on the test's X
// display. Each case runs in a child: it starts SDL's video and turns the
// message-box sink off, which the rest of the binary relies on.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "Backend.h"
#include "SdlBackend.h"
#include "TestSupport.h"

namespace {

constexpr PlatformRect kMainContent{100, 100, 580, 740};
constexpr PlatformRect kBoxFrame{437, 480, 587, 800};

// Runs body with an SDL backend and a shown main window (its id passed);
// the lines it prints to stderr come back.
std::string WithMainWindow(const std::function<void(Backend&, uint32_t)>& body) {
  auto child = testsupport::RunInChild(
      [&] {
        unsetenv("DUVUVU_MESSAGE_BOX");
        setenv("SDL_VIDEODRIVER", "x11", 1);
        testsupport::PinGraphicsLibraries();
        Backend* sdl = NewSdlBackend();
        SetBackend(sdl);
        if (!sdl->InitVideo()) _exit(3);
        const uint32_t main = sdl->CreateWindow(kMainContent);
        if (!main) _exit(4);
        sdl->ShowWindow(main);
        body(*sdl, main);
        std::fflush(stderr);
        _exit(0);
      },
      20000);
  EXPECT_TRUE(child.exited && child.exitStatus == 0) << child.exitStatus << " " << child.stderrText;
  return child.stderrText;
}

// The SDL window of the box: the one that is not the main window.
uint32_t BoxWindowId(uint32_t main) {
  for (uint32_t id = 1; id < 64; ++id)
    if (id != main && SDL_GetWindowFromID(id)) return id;
  return 0;
}

void PushWindowEvent(uint32_t window, Uint8 what) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = what;
  e.window.windowID = window;
  SDL_PushEvent(&e);
}

TEST(SdlInputBoxTest, TheBoxLeavesTextInputAsItFoundIt) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  const std::string out = WithMainWindow([](Backend& sdl, uint32_t) {
    for (bool on : {true, false}) {
      sdl.SetTextInput(on);
      const uint32_t box = sdl.OpenInputBox(kBoxFrame, "Type:", "", nullptr);
      if (!box) _exit(5);
      const bool during = SDL_IsTextInputActive();
      sdl.CloseInputBox(box);
      std::fprintf(stderr, "[set %d during %d after %d]\n", on, during, SDL_IsTextInputActive() ? 1 : 0);
    }
  });
  EXPECT_NE(out.find("[set 1 during 1 after 1]"), std::string::npos) << out;
  EXPECT_NE(out.find("[set 0 during 1 after 0]"), std::string::npos) << out;
}

// A quit or a close of the main window while the box waits is the main
// loop's to act on once the box is gone; the main window's other events are
// not.
TEST(SdlInputBoxTest, AQuitOrAMainWindowCloseWaitsForTheMainLoop) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  const std::string out = WithMainWindow([](Backend& sdl, uint32_t main) {
    const uint32_t box = sdl.OpenInputBox(kBoxFrame, "Type:", "", nullptr);
    if (!box) _exit(5);
    InputBoxMessage message;
    while (sdl.NextInputBoxMessage(box, message)) {
    }
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    PushWindowEvent(main, SDL_WINDOWEVENT_CLOSE);
    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONDOWN;
    click.button.windowID = main;
    click.button.button = SDL_BUTTON_LEFT;
    SDL_PushEvent(&click);
    PushWindowEvent(BoxWindowId(main), SDL_WINDOWEVENT_CLOSE);
    int boxCloses = 0;
    for (int i = 0; i < 20 && !boxCloses; ++i)
      while (sdl.NextInputBoxMessage(box, message)) boxCloses += message.kind == InputBoxMessage::Kind::Close;
    sdl.CloseInputBox(box);

    const int quits = SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT);
    int closes = 0, clicks = 0;
    sdl.Pump();
    NativeEvent e;
    while (sdl.NextEvent(e, true)) {
      if (e.window != main) continue;
      closes += e.kind == NativeEventKind::Close;
      clicks += e.kind == NativeEventKind::ButtonDown;
    }
    std::fprintf(stderr, "[box closes %d; main loop: quits %d closes %d clicks %d]\n", boxCloses, quits, closes,
                 clicks);
  });
  EXPECT_NE(out.find("[box closes 1; main loop: quits 1 closes 1 clicks 0]"), std::string::npos) << out;
}

}  // namespace
