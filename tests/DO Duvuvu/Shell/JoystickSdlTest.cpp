// The joystick layer on SDL2's virtual joysticks: no display needed.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

#include "Backend.h"
#include "Joystick.h"
#include "TestSupport.h"

namespace {

int AttachVirtual(const char* name, int axes, int buttons, int hats) {
  SDL_VirtualJoystickDesc desc;
  SDL_zero(desc);
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = static_cast<Uint16>(axes);
  desc.nbuttons = static_cast<Uint16>(buttons);
  desc.nhats = static_cast<Uint16>(hats);
  desc.name = name;
  return SDL_JoystickAttachVirtualEx(&desc);
}

std::string Drain() {
  std::string out;
  JoyEvent12 e;
  for (int n = 0; n < 64 && PollJoystickEvent(&e); ++n) {
    out += std::to_string(e.type) + ":" + std::to_string(e.input);
    if (e.type == kJoyChanged) out += ":" + std::to_string(static_cast<UInt16>(e.value));
    out += " ";
  }
  return out;
}

TEST(JoystickSdlTest, VirtualJoysticksBecomeEngineEvents) {
  auto child = testsupport::RunInChild([] {
    SetBackend(nullptr);
    Backend& backend = GetBackend();
    if (backend.JoyCount() != 0) std::fputs("[joysticks before attaching]\n", stderr);
    if (AttachVirtual("Early", 1, 0, 0) < 0 || AttachVirtual("Stick", 1, 3, 1) < 0) {
      std::fprintf(stderr, "[attach failed: %s]\n", SDL_GetError());
      return;
    }
    SDL_Event key;
    SDL_zero(key);
    key.type = SDL_KEYDOWN;
    key.key.keysym.scancode = SDL_SCANCODE_A;
    SDL_PushEvent(&key);

    InitJoystickLists();
    JoystickDevice* stick = OpenJoystickDevice(1);
    if (!stick) return;
    std::fprintf(stderr, "[names %s %s]\n", stick->name, JoystickDeviceSdlName(stick));
    std::fprintf(stderr, "[inputs %d]\n", GetVirtualInputCount(stick));
    Drain();  // the joystick's initial state
    auto* j = static_cast<SDL_Joystick*>(stick->handle);
    SDL_JoystickSetVirtualAxis(j, 0, -16384);
    std::fprintf(stderr, "[axis %s]\n", Drain().c_str());
    SDL_JoystickSetVirtualButton(j, 2, SDL_PRESSED);
    std::fprintf(stderr, "[button %s]\n", Drain().c_str());
    SDL_JoystickSetVirtualHat(j, 0, SDL_HAT_RIGHTUP);
    std::fprintf(stderr, "[hat %s]\n", Drain().c_str());
    std::fprintf(stderr, "[key kept %d]\n", SDL_PeepEvents(&key, 1, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYDOWN));
    SDL_JoystickDetachVirtual(0);
    std::fprintf(stderr, "[after detaching %d]\n", GetJoystickDevice(0) == stick);
  });
  ASSERT_TRUE(child.exited) << child.stderrText;
  const std::string& out = child.stderrText;
  for (const char* expected : {"[names Stick Stick]", "[inputs 13]", "[axis 24:3 26:3:32637 ]",
                               "[button 24:2 26:2:65535 ]", "[hat 24:7 26:7:65535 9:0 ]", "[key kept 1]",
                               "[after detaching 1]"})
    EXPECT_NE(out.find(expected), std::string::npos) << expected << "\n" << out;
}

}  // namespace
