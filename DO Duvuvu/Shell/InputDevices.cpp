#include "InputDevices.h"

#include <cstring>
#include <string>

#include "Backend.h"
#include "KeyTables.h"
#include "Sys.h"

namespace {

bool gInputReady = false;  // video is up: the devices' shared object
bool gMouseReady = false;
bool gKeyboardReady = false;

// A device that cannot start ends the program with the box the message is
// both caption and (quoted) text of. A failure is not a success: status 1.
[[noreturn]] void DeviceFailure(const char* message) {
  const std::string quoted = std::string("\"") + message + "\"";
  ShowMessageBox(message, quoted.c_str());
  ExitProcess(1);
}

void EnsureInputObject() {
  if (gInputReady) return;
  if (!GetBackend().InitVideo()) DeviceFailure("couldn't init direct input");
  gInputReady = true;
}

}  // namespace

void InitDirectInputMouse() {
  if (gMouseReady) return;
  EnsureInputObject();
  gMouseReady = true;
}

void InitDirectInputKeyboard() {
  if (gKeyboardReady) return;
  EnsureInputObject();
  gKeyboardReady = true;
}

Boolean IsMouseDeviceReady() { return gMouseReady ? 1 : 0; }
Boolean IsKeyboardDeviceReady() { return gKeyboardReady ? 1 : 0; }

// The key state is the one the system's last pump left: PollEvents pumps
// once per step, and a pump here would cost several system calls for each of
// the game's eleven key tests and every pass of the main loop between steps.
void ReadKeyMap(KeyMap outMap) {
  std::memset(outMap, 0, sizeof(KeyMap));
  if (!gKeyboardReady) return;
  uint8_t state[256];
  if (!GetBackend().ReadKeyState(state)) return;
  for (int scan = 0; scan < 256; ++scan) {
    if (!(state[scan] & 0x80)) continue;
    const UInt8 bit = ScanCodeToKeyBit(static_cast<UInt8>(scan));
    if (bit != kNoKeyCode) outMap[bit >> 3] = static_cast<UInt8>(outMap[bit >> 3] | (1u << (bit & 7)));
  }
}

// The bit of the key map ReadKeyMap would give, from the few scan codes
// that set it.
Boolean IsKeyCodeDown(UInt8 keyCode) {
  const UInt8 bit = KeyCodeToKeyBit(keyCode);
  if (bit == kNoKeyCode || !gKeyboardReady) return 0;
  Backend& backend = GetBackend();
  for (UInt8 scan : KeyBitScanCodes(bit))
    if (backend.IsKeyHeld(scan)) return 1;
  return 0;
}

Boolean AnyKeyDown() {
  KeyMap map;
  ReadKeyMap(map);
  for (UInt8 byte : map)
    if (byte) return 1;
  return 0;
}

Boolean ReadMouseMotion(int* dx, int* dy) {
  *dx = 0;
  *dy = 0;
  if (!gMouseReady) return 0;
  return GetBackend().TakeMotion(*dx, *dy) ? 1 : 0;
}

void ResetInputDevicesForTesting() {
  gInputReady = false;
  gMouseReady = false;
  gKeyboardReady = false;
}
