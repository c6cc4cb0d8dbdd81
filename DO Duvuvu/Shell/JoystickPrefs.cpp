#include "JoystickPrefs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>

#include "PlistTag.h"

namespace {

constexpr const char* kCalibrations = "Joystick Calibrations";
constexpr const char* kActions = "Joystick Actions";
constexpr const char* kOrdering = "Joystick Ordering";
constexpr const char* kCalibrationKeys[5] = {"Min Value", "Dead Zone Low", "Base Value", "Dead Zone High", "Max Value"};

PlistTag* FindArray(PlistTag* prefs, const char* name) { return PlistTag::FindTag(prefs, "array", name, 0); }

std::string ValueText(const PlistTag* tag) {
  return std::string(reinterpret_cast<const char*>(tag->value + 1), tag->value[0]);
}

// The string child's text; false when there is none.
bool StringOf(PlistTag* entry, const char* key, std::string* out) {
  PlistTag* tag = PlistTag::FindTag(entry, "string", key, 0);
  if (!tag) return false;
  *out = ValueText(tag);
  return true;
}

bool IntegerOf(PlistTag* entry, const char* key, SInt32* out) {
  PlistTag* tag = PlistTag::FindTag(entry, "integer", key, 0);
  if (!tag) return false;
  *out = static_cast<SInt32>(std::strtol(ValueText(tag).c_str(), nullptr, 10));
  return true;
}

void AddString(PlistTag* dict, const char* key, const char* text) { PlistTag::NewTag(dict, "string", key, text); }

void AddInteger(PlistTag* dict, const char* key, SInt32 value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  PlistTag::NewTag(dict, "integer", key, text);
}

std::string SdlName(const JoystickDevice* device) {
  const char* name = JoystickDeviceSdlName(device);
  return name ? name : "";
}

void SetOwnName(JoystickDevice* device, const std::string& name) {
  std::strncpy(device->name, name.c_str(), 255);
  device->name[255] = 0;
}

// Appends copies of the built tree's array entries to the prefs' array.
void AppendCopies(PlistTag* built, const char* arrayName, PlistTag* target) {
  if (PlistTag* array = FindArray(built, arrayName)) {
    for (UInt32 i = 0; i < array->child.count; ++i)
      PlistTag::CopyTag(array->child.data[i], PlistTag::NewTag(target, "dict", "", ""));
  }
}

// The open device an entry ("Name", "Device Name") belongs to: among devices
// of that SDL name in list order, the first that is the given one (any when
// none is given) and has that own name.
JoystickDevice* EntryDevice(PlistTag* entry, JoystickDevice* wanted) {
  std::string name, sdlName;
  if (!StringOf(entry, "Name", &name) || !StringOf(entry, "Device Name", &sdlName)) return nullptr;
  for (int n = 0;; ++n) {
    JoystickDevice* d = FindDeviceByName(sdlName.c_str(), n);
    if (!d) return nullptr;
    if ((!wanted || d == wanted) && name == d->name) return d;
  }
}

}  // namespace

bool RemoveJoystickCalibrations(JoystickDevice* device, PlistTag* prefs) {
  PlistTag* array = FindArray(prefs, kCalibrations);
  if (!array) return false;
  for (UInt32 i = array->child.count; i-- > 0;) {
    std::string name;
    if (StringOf(array->child.data[i], "Name", &name) && name == device->name) PlistTag::Delete(array->child.data[i]);
  }
  return true;
}

void RemoveAllJoystickCalibrations(PlistTag* prefs) {
  for (int i = 0; JoystickDevice* d = GetJoystickDevice(i); ++i) RemoveJoystickCalibrations(d, prefs);
}

PlistTag* BuildDeviceCalibration(JoystickDevice* device) {
  if (!device ||
      std::find(JoystickDevices.begin(), JoystickDevices.end(), device) == JoystickDevices.end())
    return nullptr;
  auto* root = new PlistTag;
  AddString(root, "Name", device->name);
  AddString(root, "Device Name", SdlName(device).c_str());
  PlistTag* list = PlistTag::NewTag(root, "array", "Calibrations", "");
  for (int axis = 0;; ++axis) {
    const AxisCalibration* c = FindAxisCalibration(device, axis);
    if (!c) break;
    PlistTag* dict = PlistTag::NewTag(list, "dict", "", "");
    const SInt16 values[5] = {c->minValue, c->deadZoneLow, c->baseValue, c->deadZoneHigh, c->maxValue};
    for (int k = 0; k < 5; ++k) AddInteger(dict, kCalibrationKeys[k], values[k]);
  }
  return root;
}

bool SaveDeviceCalibration(JoystickDevice* device, PlistTag* prefs) {
  if (!RemoveJoystickCalibrations(device, prefs)) return false;
  PlistTag* built = BuildDeviceCalibration(device);
  if (!built) return false;
  PlistTag::CopyTag(built, PlistTag::NewTag(FindArray(prefs, kCalibrations), "dict", "", ""));
  delete built;
  return true;
}

bool SaveAllJoystickCalibrations(PlistTag* prefs) {
  if (!FindArray(prefs, kCalibrations)) return false;
  RemoveAllJoystickCalibrations(prefs);
  for (int i = 0; JoystickDevice* d = GetJoystickDevice(i); ++i)
    if (!SaveDeviceCalibration(d, prefs)) return false;
  return true;
}

PlistTag* BuildJoystickCalibrations() {
  auto* root = new PlistTag;
  PlistTag* array = PlistTag::NewTag(root, "array", kCalibrations, "");
  const int count = GetBackend().JoyCount();
  for (int i = 0; i < count; ++i) {
    if (PlistTag* built = BuildDeviceCalibration(GetJoystickDevice(i))) {
      PlistTag::CopyTag(built, PlistTag::NewTag(array, "dict", "", ""));
      delete built;
    }
  }
  return root;
}

bool LoadDeviceCalibration(JoystickDevice* device, PlistTag* entry) {
  std::string sdlName, name;
  if (!StringOf(entry, "Device Name", &sdlName) || sdlName != SdlName(device)) return false;
  if (StringOf(entry, "Name", &name)) SetOwnName(device, name);
  PlistTag* list = PlistTag::FindTag(entry, "array", "Calibrations", 0);
  if (!list) return false;
  for (int axis = 0; AxisCalibration* c = FindAxisCalibration(device, axis); ++axis) {
    if (static_cast<UInt32>(axis) >= list->child.count) continue;
    PlistTag* dict = list->child.data[axis];
    SInt16* fields[5] = {&c->minValue, &c->deadZoneLow, &c->baseValue, &c->deadZoneHigh, &c->maxValue};
    for (int k = 0; k < 5; ++k) {
      SInt32 value;
      if (IntegerOf(dict, kCalibrationKeys[k], &value)) *fields[k] = static_cast<SInt16>(value);
    }
  }
  return true;
}

SInt32 MatchJoystickCalibrations(PlistTag* prefs, std::vector<PlistTag*>* outEntries,
                                 std::vector<JoystickDevice*>* outDevices) {
  PlistTag* array = FindArray(prefs, kCalibrations);
  if (!array) return 0;
  outEntries->clear();
  outDevices->clear();

  // Candidates grow with the file: any number of distinct pairs.
  struct Candidate {
    PlistTag* entry;
    std::string name, sdlName;
    int count = 0;
    JoystickDevice* only = nullptr;
  };
  std::vector<Candidate> entries;
  // The file is the user's to edit: looking a pair up must not cost a pass
  // over every entry before it.
  std::set<std::pair<std::string, std::string>> seen;
  for (UInt32 i = 0; i < array->child.count; ++i) {
    PlistTag* entry = array->child.data[i];
    Candidate c{entry, {}, {}};
    if (!StringOf(entry, "Device Name", &c.sdlName) || !FindDeviceByName(c.sdlName.c_str(), 0)) continue;
    if (!StringOf(entry, "Name", &c.name)) continue;
    if (seen.emplace(c.name, c.sdlName).second) entries.push_back(c);
  }
  std::vector<JoystickDevice*> devices;
  const int count = GetBackend().JoyCount();
  for (int i = 0; i < count; ++i)
    if (JoystickDevice* d = GetJoystickDevice(i)) devices.push_back(d);

  for (Candidate& e : entries) {
    for (JoystickDevice* d : devices) {
      if (e.name == d->name && e.sdlName == SdlName(d)) {
        ++e.count;
        e.only = d;
      }
    }
  }
  std::vector<Candidate> remaining;
  for (Candidate& e : entries) {
    if (e.count != 1) {
      remaining.push_back(e);
      continue;
    }
    if (!LoadDeviceCalibration(e.only, e.entry)) return -1;
    devices.erase(std::find(devices.begin(), devices.end(), e.only));
  }
  std::erase_if(devices, [&](JoystickDevice* d) {
    for (const Candidate& e : remaining)
      if (e.sdlName == SdlName(d)) return false;
    return true;
  });
  if (devices.empty()) return 1;
  const std::string sdlName = SdlName(devices.front());
  for (JoystickDevice* d : devices)
    if (SdlName(d) == sdlName) outDevices->push_back(d);
  for (const Candidate& e : remaining)
    if (e.sdlName == sdlName) outEntries->push_back(e.entry);
  return 0;
}

bool RemoveJoystickActions(JoystickDevice* device, PlistTag* prefs) {
  PlistTag* array = FindArray(prefs, kActions);
  if (!array) return false;
  for (UInt32 i = array->child.count; i-- > 0;)
    if (EntryDevice(array->child.data[i], device)) PlistTag::Delete(array->child.data[i]);
  return true;
}

bool RemoveAllJoystickActions(PlistTag* prefs) { return RemoveJoystickActions(nullptr, prefs); }

PlistTag* BuildJoystickActions(JoystickDevice* device) {
  auto* root = new PlistTag;
  PlistTag* array = PlistTag::NewTag(root, "array", kActions, "");
  for (const auto& [key, action] : JoystickActions) {
    const int index = (key >> 16) & 0x7FFF;
    JoystickDevice* d = GetJoystickDevice(index);
    if (!d || (device && d != device)) continue;
    PlistTag* dict = PlistTag::NewTag(array, "dict", "", "");
    AddString(dict, "Name", d->name);
    const char* sdlName = GetBackend().JoyNameForIndex(index);
    AddString(dict, "Device Name", sdlName ? sdlName : "");
    AddInteger(dict, "Virtual Button", static_cast<SInt16>(key & 0xFFFF));
    AddInteger(dict, "Action", action);
  }
  return root;
}

bool SaveJoystickActions(JoystickDevice* device, PlistTag* prefs) {
  if (!RemoveJoystickActions(device, prefs)) return false;
  PlistTag* built = BuildJoystickActions(device);
  AppendCopies(built, kActions, FindArray(prefs, kActions));
  delete built;
  return true;
}

bool LoadJoystickActions(JoystickDevice* device, PlistTag* prefs, const SInt32* actions, const UInt8* onChangeFlags) {
  ClearJoystickActions(-1);
  PlistTag* array = FindArray(prefs, kActions);
  if (!array) return false;
  for (UInt32 i = 0; i < array->child.count; ++i) {
    PlistTag* entry = array->child.data[i];
    SInt32 input, action;
    if (!IntegerOf(entry, "Virtual Button", &input) || !IntegerOf(entry, "Action", &action)) continue;
    int k = 0;
    while (actions && actions[k] != -1 && actions[k] != action) ++k;
    if (!actions || actions[k] == -1) continue;
    JoystickDevice* d = EntryDevice(entry, device);
    if (!d) continue;
    const bool onChange = onChangeFlags && onChangeFlags[k];
    if (BindJoystickAction(JoystickDeviceIndex(d), static_cast<UInt16>(input), onChange, action) != 1) {
      ClearJoystickActions(-1);
      return false;
    }
  }
  return true;
}

bool RenameJoystickDevice(JoystickDevice* device, const char* newName, PlistTag* calibrationPrefs,
                          PlistTag* actionPrefs) {
  if (FindDeviceByOwnName(newName, 0)) return false;
  if (!RemoveJoystickCalibrations(device, calibrationPrefs)) return false;
  if (!RemoveJoystickActions(device, actionPrefs)) return false;
  SetOwnName(device, newName ? newName : "");
  if (!SaveDeviceCalibration(device, calibrationPrefs)) return false;
  return SaveJoystickActions(device, actionPrefs);
}

PlistTag* BuildJoystickOrdering() {
  auto* root = new PlistTag;
  PlistTag* array = PlistTag::NewTag(root, "array", kOrdering, "");
  const int count = GetBackend().JoyCount();
  for (int i = 0; i < count; ++i) {
    PlistTag* dict = PlistTag::NewTag(array, "dict", "", "");
    const JoystickDevice* d = GetJoystickDevice(i);
    AddString(dict, "Name", d ? d->name : "");
    const char* sdlName = GetBackend().JoyNameForIndex(i);
    AddString(dict, "Device Name", sdlName ? sdlName : "");
  }
  return root;
}

bool JoystickOrderingMatches(PlistTag* prefs) {
  PlistTag* array = FindArray(prefs, kOrdering);
  if (!array) return false;
  const int count = GetBackend().JoyCount();
  if (array->child.count != static_cast<UInt32>(count)) return false;
  for (int i = 0; i < count; ++i) {
    std::string sdlName;
    const char* actual = GetBackend().JoyNameForIndex(i);
    if (!StringOf(array->child.data[i], "Device Name", &sdlName) || sdlName != (actual ? actual : "")) return false;
    if (!GetJoystickDevice(i)) return false;
  }
  return true;
}

bool ApplyJoystickOrdering(PlistTag* prefs) {
  if (!JoystickOrderingMatches(prefs)) return false;
  PlistTag* array = FindArray(prefs, kOrdering);
  for (UInt32 i = 0; i < array->child.count; ++i) {
    std::string name;
    if (StringOf(array->child.data[i], "Name", &name)) SetOwnName(GetJoystickDevice(static_cast<int>(i)), name);
  }
  return true;
}
