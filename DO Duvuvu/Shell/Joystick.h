// Joysticks as numbered virtual inputs with 16-bit values (every button,
// every half of every axis, fixed groups for trackballs and hats), their
// events as engine events (pressed 24, released 25, changed 26), the action
// bindings, and their preferences.
#pragma once

#include <map>
#include <vector>

#include "Backend.h"
#include "MacTypes.h"

class PlistTag;

constexpr UInt8 kJoyPressed = 24;
constexpr UInt8 kJoyReleased = 25;
constexpr UInt8 kJoyChanged = 26;

struct AxisCalibration {
  UInt8 axis;
  SInt16 minValue;
  SInt16 deadZoneLow;
  SInt16 baseValue;  // kept, never used in the conversion
  SInt16 deadZoneHigh;
  SInt16 maxValue;
};

struct JoystickDevice {
  JoyHandle handle = nullptr;
  std::vector<AxisCalibration> calibrations;
  char name[256] = {};  // the device's own name
  std::vector<UInt16> values;  // one per virtual input
  int axes = 0, balls = 0, hats = 0, buttons = 0;
};

// In the order the devices were opened.
extern std::vector<JoystickDevice*> JoystickDevices;
// Key (device index << 16 | input, bit 31 for on-change) -> action.
extern std::map<SInt32, SInt32> JoystickActions;

// Start-up entry and exit: both lists emptied (devices are not closed).
void InitJoystickLists();
void ExitJoystickLists();

JoystickDevice* OpenJoystickDevice(int index);
void CloseJoystickDevice(JoystickDevice* device);
JoystickDevice* GetJoystickDevice(int index);
// The device's SDL index, -1 when it is not attached.
int JoystickDeviceIndex(const JoystickDevice* device);
// Nil when SDL gives no name.
const char* JoystickDeviceSdlName(const JoystickDevice* device);
JoystickDevice* FindDeviceByName(const char* sdlName, int n);
JoystickDevice* FindDeviceByOwnName(const char* name, int n);
int GetVirtualInputCount(const JoystickDevice* device);
UInt16 GetVirtualInputValue(const JoystickDevice* device, int index);
SInt16 AxisFromHalves(UInt16 negative, UInt16 positive);
void HalvesFromAxis(SInt16 value, UInt16* outNegative, UInt16* outPositive);
AxisCalibration* FindAxisCalibration(JoystickDevice* device, int axis);
AxisCalibration* MakeAxisCalibration(JoystickDevice* device, int axis);

// True when a joystick event was taken (act on kinds 24-26 only).
bool PollJoystickEvent(JoyEvent12* outEvent);
SInt32 BindJoystickAction(int index, int input, bool onChange, SInt32 action);
void UnbindJoystickAction(int index, int input, bool onChange);
void ClearJoystickActions(SInt32 action);
SInt32 FindActionBinding(SInt32 action);
SInt32 GetBoundJoystickAction(int index, int input, bool onChange);
SInt32 GetJoystickAction(JoyEvent12* event, bool wait);

// Tests: the conversion's remembered events forgotten.
void ResetJoystickConversion();
