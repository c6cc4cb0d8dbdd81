// The joystick layer's preferences from an untrusted property list: matching
// calibrations, loading actions and applying the order for three attached
// joysticks (two of them twins).
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "Backend.h"
#include "JoystickPrefs.h"
#include "PlistTag.h"
#include "ScriptedBackend.h"
#include "TextBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  static ScriptedBackend backend;
  static bool ready = [] {
    SetBackend(&backend);
    backend.AttachJoystick({"Pad", 2, 0, 1, 4, false});
    backend.AttachJoystick({"Twin", 1, 1, 0, 2, false});
    backend.AttachJoystick({"Twin", 1, 1, 0, 2, false});
    return true;
  }();
  (void)ready;
  TextBuffer buffer;
  buffer.SetData(data, static_cast<SInt32>(size));
  PlistTag prefs;
  if (PlistTag::ReadBuffer(&prefs, &buffer) != 0) return 0;

  InitJoystickLists();
  for (int i = 0; i < 3; ++i)
    if (!OpenJoystickDevice(i)) std::abort();
  std::vector<PlistTag*> entries;
  std::vector<JoystickDevice*> devices;
  const SInt32 match = MatchJoystickCalibrations(&prefs, &entries, &devices);
  if (match < -1 || match > 1) std::abort();
  for (JoystickDevice* d : devices)
    if (!d) std::abort();
  const SInt32 actions[] = {0, 1, 2, 3, -1};
  const UInt8 flags[] = {0, 1, 0, 1};
  LoadJoystickActions(nullptr, &prefs, actions, flags);
  ApplyJoystickOrdering(&prefs);
  SaveAllJoystickCalibrations(&prefs);
  SaveJoystickActions(nullptr, &prefs);
  ExitJoystickLists();
  return 0;
}
