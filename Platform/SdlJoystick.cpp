// Joysticks through SDL2's joystick API, handed out in the older interface's
// shapes: device indexes and the 20-byte event record.
#include <SDL.h>

#include "Backend.h"

namespace {

bool JoystickUp() {
  static bool up = [] {
    // The older interface read joysticks whatever window had the focus.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    return SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
  }();
  return up;
}

int IndexOfInstance(SDL_JoystickID instance) {
  const int count = SDL_NumJoysticks();
  for (int i = 0; i < count; ++i)
    if (SDL_JoystickGetDeviceInstanceID(i) == instance) return i;
  return -1;
}

uint8_t DeviceByte(SDL_JoystickID instance) {
  const int index = IndexOfInstance(instance);
  return index >= 0 && index < 255 ? static_cast<uint8_t>(index) : 255;
}

}  // namespace

int Backend::JoyCount() { return JoystickUp() ? SDL_NumJoysticks() : 0; }

const char* Backend::JoyNameForIndex(int index) { return JoystickUp() ? SDL_JoystickNameForIndex(index) : nullptr; }

JoyHandle Backend::JoyOpen(int index) { return JoystickUp() ? SDL_JoystickOpen(index) : nullptr; }

void Backend::JoyClose(JoyHandle joystick) {
  if (joystick) SDL_JoystickClose(static_cast<SDL_Joystick*>(joystick));
}

int Backend::JoyIndexOf(JoyHandle joystick) {
  if (!joystick) return -1;
  return IndexOfInstance(SDL_JoystickInstanceID(static_cast<SDL_Joystick*>(joystick)));
}

void Backend::JoyCounts(JoyHandle joystick, int& axes, int& balls, int& hats, int& buttons) {
  auto* j = static_cast<SDL_Joystick*>(joystick);
  axes = j ? SDL_JoystickNumAxes(j) : 0;
  balls = j ? SDL_JoystickNumBalls(j) : 0;
  hats = j ? SDL_JoystickNumHats(j) : 0;
  buttons = j ? SDL_JoystickNumButtons(j) : 0;
  for (int* n : {&axes, &balls, &hats, &buttons})
    if (*n < 0) *n = 0;
}

void Backend::JoyEnableEvents() {
  if (JoystickUp()) SDL_JoystickEventState(SDL_ENABLE);
}

bool Backend::JoyNextEvent(JoyEvent12& out) {
  if (!JoystickUp()) return false;
  SDL_JoystickUpdate();
  SDL_FlushEvents(SDL_JOYDEVICEADDED, SDL_JOYDEVICEREMOVED);
#if SDL_VERSION_ATLEAST(2, 24, 0)
  SDL_FlushEvent(SDL_JOYBATTERYUPDATED);
#endif
  // Never SDL_PollEvent: the shell's keyboard and window events share the queue.
  SDL_Event e;
  if (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_JOYAXISMOTION, SDL_JOYBUTTONUP) != 1) return false;
  out = JoyEvent12{};
  switch (e.type) {
    case SDL_JOYAXISMOTION:
      out.type = 7;
      out.device = DeviceByte(e.jaxis.which);
      out.input = e.jaxis.axis;
      out.value = e.jaxis.value;
      break;
    case SDL_JOYBALLMOTION:
      out.type = 8;
      out.device = DeviceByte(e.jball.which);
      out.input = e.jball.ball;
      out.value = e.jball.xrel;
      out.dy = e.jball.yrel;
      break;
    case SDL_JOYHATMOTION:
      out.type = 9;
      out.device = DeviceByte(e.jhat.which);
      out.input = e.jhat.hat;
      out.state = e.jhat.value;
      break;
    default:
      out.type = e.type == SDL_JOYBUTTONDOWN ? 10 : 11;
      out.device = DeviceByte(e.jbutton.which);
      out.input = e.jbutton.button;
      out.state = e.jbutton.state;
      break;
  }
  return true;
}
