// The keyboard and mouse devices, the 128-bit key map and the key tests.
#pragma once

#include "KeyTables.h"
#include "MacTypes.h"

// Key code k is bit 0x80 >> (k & 7) of byte k >> 3.
typedef UInt8 KeyMap[16];

// Once each; a device that cannot be set up ends the program (status 1).
void InitDirectInputMouse();
void InitDirectInputKeyboard();
Boolean IsMouseDeviceReady();
Boolean IsKeyboardDeviceReady();

// Reads the keyboard's state as the system's last pump left it (PollEvents
// pumps); a failed read leaves the map clear. Nothing is kept between calls.
void ReadKeyMap(KeyMap outMap);
// The same state read for one key; codes without a key bit are never down.
Boolean IsKeyCodeDown(UInt8 keyCode);
Boolean AnyKeyDown();
// The mouse device's motion since the last read; false when unreadable.
Boolean ReadMouseMotion(int* dx, int* dy);

// Forgets the devices (tests only).
void ResetInputDevicesForTesting();
