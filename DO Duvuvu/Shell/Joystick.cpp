#include "Joystick.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

std::vector<JoystickDevice*> JoystickDevices;
std::map<SInt32, SInt32> JoystickActions;

namespace {

constexpr SInt32 kOnChangeBit = static_cast<SInt32>(0x80000000u);

// The SDL event the next poll converts again, and the last events made from
// an axis and from a hat, shared by all devices.
JoyEvent12 gPending;
JoyEvent12 gLastAxis;
JoyEvent12 gLastHat;

bool Listed(const JoystickDevice* device) {
  return device && std::find(JoystickDevices.begin(), JoystickDevices.end(), device) != JoystickDevices.end();
}

SInt32 Key(int index, int input, bool onChange) {
  return static_cast<SInt32>((static_cast<UInt32>(index) << 16) | static_cast<UInt16>(input)) |
         (onChange ? kOnChangeBit : 0);
}

void SetKind(JoyEvent12* e, UInt8 kind, int input) {
  e->type = kind;
  e->input = static_cast<UInt8>(input);
}

void Changed(JoystickDevice* d, JoyEvent12* e, int input) {
  SetKind(e, kJoyChanged, input);
  e->value = static_cast<SInt16>(d->values[input]);
}

void Release(JoystickDevice* d, JoyEvent12* e, int input) {
  SetKind(e, kJoyReleased, input);
  e->state = 0;
  d->values[input] = 0;
}

void Press(JoystickDevice* d, JoyEvent12* e, int input, UInt16 value) {
  SetKind(e, kJoyPressed, input);
  e->state = 1;
  d->values[input] = value;
}

int Count(const JoystickDevice* d) { return static_cast<int>(d->values.size()); }

// Returns whether the SDL event stays pending.
bool ConvertButton(JoystickDevice* d, JoyEvent12* e) {
  const int b = e->input;
  if (b >= Count(d)) return false;
  const UInt16 previous = d->values[b];
  d->values[b] = e->state ? 65535 : 0;
  if (e->type == 10 && previous == 0) {
    SetKind(e, kJoyPressed, b);
    return true;
  }
  if (e->type == 11 && previous != 0) {
    SetKind(e, kJoyReleased, b);
    return true;
  }
  Changed(d, e, b);
  return false;
}

// The inputs of a hat position: the four directions, and the two diagonals
// of each side in the places no single bit can take.
int HatOffset(UInt8 position) {
  switch (position) {
    case 1: return 0;   // up
    case 2: return 1;   // right
    case 3: return 2;   // right-up
    case 4: return 3;   // down
    case 6: return 5;   // right-down
    case 8: return 7;   // left
    case 9: return 4;   // left-up
    case 12: return 6;  // left-down
    default: return -1;  // centred, or no real position
  }
}

bool ConvertHat(JoystickDevice* d, JoyEvent12* e) {
  // A last event made by a device with more inputs has no change to report
  // here; it is forgotten, or this device's hats would never move again.
  if ((gLastHat.type == kJoyPressed || gLastHat.type == kJoyReleased) && gLastHat.input < Count(d)) {
    Changed(d, e, gLastHat.input);
    gLastHat = *e;
    return true;
  }
  gLastHat.type = 0;
  if (e->input >= d->hats) return false;
  const int first = d->buttons + 2 * d->axes + 4 * d->balls + 8 * e->input;
  // Inputs past 255 have no place in an engine event.
  if (first + 7 >= Count(d) || first + 7 > 255) return false;
  const int offset = HatOffset(e->state);
  const int target = offset < 0 ? -1 : first + offset;
  for (int i = first; i < first + 8; ++i) {
    if (i == target || d->values[i] == 0) continue;
    Release(d, e, i);
    gLastHat = *e;
    return true;
  }
  if (target < 0 || d->values[target] != 0) return false;
  Press(d, e, target, 65535);
  gLastHat = *e;
  return true;
}

UInt16 Magnitude(SInt16 v, SInt16 zone, SInt16 limit) {
  if (zone == limit) return 65535;
  const UInt32 distance = static_cast<UInt32>(std::abs(static_cast<int>(v) - zone));
  const UInt32 range = static_cast<UInt32>(std::abs(static_cast<int>(limit) - zone));
  return static_cast<UInt16>(std::min<UInt32>(distance * 65535u / range, 65535u));
}

bool LastAxisReleased(int input) { return gLastAxis.type == kJoyReleased && gLastAxis.input == input; }

// Leaving the dead zone towards `drive`, away from `other`.
bool DriveHalf(JoystickDevice* d, JoyEvent12* e, int drive, int other, UInt16 value) {
  if (d->values[other]) {
    Release(d, e, other);
    gLastAxis = *e;
    return true;
  }
  if (LastAxisReleased(other)) {
    Changed(d, e, other);
    gLastAxis = *e;
    return true;
  }
  const bool wasZero = d->values[drive] == 0;
  d->values[drive] = value;
  if (wasZero) {
    SetKind(e, kJoyPressed, drive);
    e->state = 1;
    gLastAxis = *e;
    return true;
  }
  Changed(d, e, drive);
  gLastAxis = *e;
  return false;
}

bool ConvertAxis(JoystickDevice* d, JoyEvent12* e) {
  const AxisCalibration* c = FindAxisCalibration(d, e->input);
  if (!c) return false;
  const int n = d->buttons + 2 * e->input, p = n + 1;
  if (p >= Count(d) || p > 255) return false;
  const SInt16 v = e->value;
  if (v < c->deadZoneLow) return DriveHalf(d, e, n, p, Magnitude(v, c->deadZoneLow, c->minValue));
  if (v > c->deadZoneHigh) return DriveHalf(d, e, p, n, Magnitude(v, c->deadZoneHigh, c->maxValue));
  for (int half : {n, p}) {
    if (d->values[half]) {
      Release(d, e, half);
      gLastAxis = *e;
      return true;
    }
    if (LastAxisReleased(half)) {
      Changed(d, e, half);
      gLastAxis = *e;
      return true;
    }
  }
  gLastAxis = *e;
  return false;
}

}  // namespace

void InitJoystickLists() {
  JoystickDevices.clear();
  JoystickActions.clear();
  ResetJoystickConversion();
}

void ExitJoystickLists() {
  // Devices still open are forgotten, not closed.
  for (JoystickDevice* d : JoystickDevices) delete d;
  JoystickDevices.clear();
  JoystickActions.clear();
}

void ResetJoystickConversion() {
  gPending = JoyEvent12{};
  gLastAxis = JoyEvent12{};
  gLastHat = JoyEvent12{};
}

JoystickDevice* OpenJoystickDevice(int index) {
  if (JoystickDevice* open = GetJoystickDevice(index)) return open;
  Backend& backend = GetBackend();
  JoyHandle handle = backend.JoyOpen(index);
  if (!handle) return nullptr;
  auto* d = new JoystickDevice;
  d->handle = handle;
  backend.JoyCounts(handle, d->axes, d->balls, d->hats, d->buttons);
  d->values.assign(d->buttons + 2 * d->axes + 4 * d->balls + 8 * d->hats, 0);
  backend.JoyEnableEvents();
  JoystickDevices.push_back(d);
  for (int a = 0; a < d->axes; ++a) {
    if (!MakeAxisCalibration(d, a)) {
      CloseJoystickDevice(d);
      return nullptr;
    }
  }
  const char* name = backend.JoyNameForIndex(index);
  std::strncpy(d->name, name ? name : "", 255);
  return d;
}

void CloseJoystickDevice(JoystickDevice* device) {
  if (!Listed(device)) return;
  GetBackend().JoyClose(device->handle);
  JoystickDevices.erase(std::find(JoystickDevices.begin(), JoystickDevices.end(), device));
  delete device;
}

int JoystickDeviceIndex(const JoystickDevice* device) { return GetBackend().JoyIndexOf(device->handle); }

const char* JoystickDeviceSdlName(const JoystickDevice* device) {
  const int index = JoystickDeviceIndex(device);
  return index < 0 ? nullptr : GetBackend().JoyNameForIndex(index);
}

JoystickDevice* GetJoystickDevice(int index) {
  if (index < 0) return nullptr;
  for (JoystickDevice* d : JoystickDevices)
    if (JoystickDeviceIndex(d) == index) return d;
  return nullptr;
}

JoystickDevice* FindDeviceByName(const char* sdlName, int n) {
  for (JoystickDevice* d : JoystickDevices) {
    const char* own = JoystickDeviceSdlName(d);
    if (own && sdlName && std::strcmp(own, sdlName) == 0 && n-- == 0) return d;
  }
  return nullptr;
}

JoystickDevice* FindDeviceByOwnName(const char* name, int n) {
  for (JoystickDevice* d : JoystickDevices)
    if (name && std::strcmp(d->name, name) == 0 && n-- == 0) return d;
  return nullptr;
}

int GetVirtualInputCount(const JoystickDevice* device) { return Count(device); }

UInt16 GetVirtualInputValue(const JoystickDevice* device, int index) {
  return index >= 0 && index < Count(device) ? device->values[index] : 0;
}

SInt16 AxisFromHalves(UInt16 negative, UInt16 positive) {
  if (negative > 0 && positive == 0) return static_cast<SInt16>(static_cast<SInt32>(negative) * -32768 / 65535);
  if (negative == 0 && positive > 0) return static_cast<SInt16>(static_cast<SInt32>(positive) * 32767 / 65535);
  return static_cast<SInt16>((static_cast<SInt32>(positive) - negative) / 2);
}

void HalvesFromAxis(SInt16 value, UInt16* outNegative, UInt16* outPositive) {
  *outNegative = value < 0 ? static_cast<UInt16>(static_cast<SInt32>(value) * -65535 / 32768) : 0;
  *outPositive = value > 0 ? static_cast<UInt16>(static_cast<SInt32>(value) * 65535 / 32767) : 0;
}

AxisCalibration* FindAxisCalibration(JoystickDevice* device, int axis) {
  for (AxisCalibration& c : device->calibrations)
    if (c.axis == static_cast<UInt8>(axis)) return &c;
  return nullptr;
}

AxisCalibration* MakeAxisCalibration(JoystickDevice* device, int axis) {
  if (AxisCalibration* existing = FindAxisCalibration(device, axis)) return existing;
  if (!Listed(device) || axis < 0 || axis >= device->axes) return nullptr;
  device->calibrations.push_back(AxisCalibration{static_cast<UInt8>(axis), -32768, -129, 0, 128, 32767});
  return &device->calibrations.back();
}

bool PollJoystickEvent(JoyEvent12* outEvent) {
  if (gPending.type == 0 && !GetBackend().JoyNextEvent(gPending)) gPending.type = 0;
  *outEvent = gPending;
  if (outEvent->type == 0) return false;
  bool keep = false;
  if (JoystickDevice* d = GetJoystickDevice(outEvent->device)) {
    switch (outEvent->type) {
      case 10:
      case 11:
        keep = ConvertButton(d, outEvent);
        break;
      case 9:
        keep = ConvertHat(d, outEvent);
        break;
      case 7:
        keep = ConvertAxis(d, outEvent);
        break;
      default:
        break;
    }
  }
  if (!keep) gPending.type = 0;
  return true;
}

SInt32 BindJoystickAction(int index, int input, bool onChange, SInt32 action) {
  JoystickActions[Key(index, input, onChange)] = action;
  return 1;
}

void UnbindJoystickAction(int index, int input, bool onChange) { JoystickActions.erase(Key(index, input, onChange)); }

void ClearJoystickActions(SInt32 action) {
  if (action == -1) {
    JoystickActions.clear();
    return;
  }
  for (SInt32 key; (key = FindActionBinding(action)) != -1;) JoystickActions.erase(key);
}

SInt32 FindActionBinding(SInt32 action) {
  for (const auto& [key, bound] : JoystickActions)
    if (bound == action) return key;
  return -1;
}

SInt32 GetBoundJoystickAction(int index, int input, bool onChange) {
  const auto it = JoystickActions.find(Key(index, input, onChange));
  return it == JoystickActions.end() ? -1 : it->second;
}

SInt32 GetJoystickAction(JoyEvent12* event, bool wait) {
  auto lookUp = [](const JoyEvent12& e) -> SInt32 {
    if (e.type < kJoyPressed || e.type > kJoyChanged) return -1;
    return GetBoundJoystickAction(e.device, e.input, e.type == kJoyChanged);
  };
  if (!wait) return lookUp(*event);
  while (PollJoystickEvent(event)) {
    const SInt32 action = lookUp(*event);
    if (action != -1) return action;
  }
  return -1;
}
