// The joystick layer's preferences: calibrations, action bindings and the
// devices' order, as arrays of dictionaries inside a caller's dictionary.
// Saving or removing without the array gives false and changes nothing.
#pragma once

#include <vector>

#include "Joystick.h"
#include "MacTypes.h"

class PlistTag;

bool RemoveJoystickCalibrations(JoystickDevice* device, PlistTag* prefs);
void RemoveAllJoystickCalibrations(PlistTag* prefs);
// A new tree the caller deletes; nil for a device not in the list.
PlistTag* BuildDeviceCalibration(JoystickDevice* device);
bool SaveDeviceCalibration(JoystickDevice* device, PlistTag* prefs);
bool SaveAllJoystickCalibrations(PlistTag* prefs);
PlistTag* BuildJoystickCalibrations();
bool LoadDeviceCalibration(JoystickDevice* device, PlistTag* entry);
// Loads the entries that belong to one device beyond doubt; hands back the
// rest (entries and devices of one SDL name). -1 when a load failed, 1 when
// no device is left, 0 otherwise (also without the array: then the lists are
// left as they were).
SInt32 MatchJoystickCalibrations(PlistTag* prefs, std::vector<PlistTag*>* outEntries,
                                 std::vector<JoystickDevice*>* outDevices);

bool RemoveJoystickActions(JoystickDevice* device, PlistTag* prefs);
bool RemoveAllJoystickActions(PlistTag* prefs);
PlistTag* BuildJoystickActions(JoystickDevice* device);
bool SaveJoystickActions(JoystickDevice* device, PlistTag* prefs);
// actions: numbers ended by -1; onChangeFlags: one byte per listed action.
bool LoadJoystickActions(JoystickDevice* device, PlistTag* prefs, const SInt32* actions, const UInt8* onChangeFlags);
bool RenameJoystickDevice(JoystickDevice* device, const char* newName, PlistTag* calibrationPrefs,
                          PlistTag* actionPrefs);

PlistTag* BuildJoystickOrdering();
bool JoystickOrderingMatches(PlistTag* prefs);
bool ApplyJoystickOrdering(PlistTag* prefs);
