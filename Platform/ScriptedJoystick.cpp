// The scripted backend's joysticks: attached records and queued events.
#include <cstdint>

#include "ScriptedBackend.h"

namespace {
JoyHandle HandleOf(int serial) { return reinterpret_cast<JoyHandle>(static_cast<uintptr_t>(serial)); }
int SerialOf(JoyHandle handle) { return static_cast<int>(reinterpret_cast<uintptr_t>(handle)); }
}  // namespace

int ScriptedBackend::AttachJoystick(const ScriptedJoystick& joystick) {
  joysticks_.push_back({joystick, nextJoystickSerial_++});
  return static_cast<int>(joysticks_.size()) - 1;
}

void ScriptedBackend::DetachJoystick(int index) {
  if (index >= 0 && index < static_cast<int>(joysticks_.size())) joysticks_.erase(joysticks_.begin() + index);
}

int ScriptedBackend::JoyCount() { return static_cast<int>(joysticks_.size()); }

const char* ScriptedBackend::JoyNameForIndex(int index) {
  if (index < 0 || index >= JoyCount() || joysticks_[index].joystick.name.empty()) return nullptr;
  return joysticks_[index].joystick.name.c_str();
}

JoyHandle ScriptedBackend::JoyOpen(int index) {
  if (index < 0 || index >= JoyCount() || joysticks_[index].joystick.failOpen) return nullptr;
  return HandleOf(joysticks_[index].serial);
}

void ScriptedBackend::JoyClose(JoyHandle) {}

int ScriptedBackend::JoyIndexOf(JoyHandle joystick) {
  for (size_t i = 0; i < joysticks_.size(); ++i)
    if (joysticks_[i].serial == SerialOf(joystick)) return static_cast<int>(i);
  return -1;
}

void ScriptedBackend::JoyCounts(JoyHandle joystick, int& axes, int& balls, int& hats, int& buttons) {
  axes = balls = hats = buttons = 0;
  const int index = JoyIndexOf(joystick);
  if (index < 0) return;
  const ScriptedJoystick& j = joysticks_[index].joystick;
  axes = j.axes;
  balls = j.balls;
  hats = j.hats;
  buttons = j.buttons;
}

bool ScriptedBackend::JoyNextEvent(JoyEvent12& out) {
  if (joyEvents_.empty()) return false;
  out = joyEvents_.front();
  joyEvents_.erase(joyEvents_.begin());
  return true;
}
