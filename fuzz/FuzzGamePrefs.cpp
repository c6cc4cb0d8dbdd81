// The preferences file from an untrusted text, through the game's own load:
// the engine's display keys, the audio dictionary, the window size and the
// custom keys. What it takes must survive a save and a second load, every
// key must be one a keyboard gives, and two actions share a key only when
// the file named that key for one of them.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "AudioPrefs.h"
#include "AudioPrefsHooks.h"
#include "Bundle.h"
#include "FuzzPrefsFolder.h"
#include "GameGlobals.h"
#include "GamePrefs.h"
#include "KeyTables.h"
#include "MainPrefs.h"
#include "PlistTag.h"
#include "Screens/KeyPanel.h"
#include "TextBuffer.h"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    const char* made = MakeFuzzPrefsFolder();
    // No output device (a wave driver with no file): the device query then
    // answers at once instead of waiting on a sound source each run.
    setenv("ALSOFT_DRIVERS", "wave", 1);
    setenv("ALSOFT_CONF", "/dev/null", 1);
    setenv("ALSOFT_LOGLEVEL", "0", 1);
    gMainPrefs.SetFileName("Kestrova Preferences");
    SetAudioPrefsHooks(WriteAudioPrefs, ReadAudioPrefs);
    return std::string(made);
  }();
  return folder;
}

void WriteWhole(const std::string& path, const uint8_t* data, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  if (size && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
}

// Whether the file's value for that action is a number naming the code: signs
// and digits only, around blanks.
bool FileNames(PlistTag* prefs, int player, int key, UInt8 code) {
  PlistTag* keys = PlistTag::FindTag(prefs, "dict", "Custom Keys", 0);
  const std::string playerName = "Player " + std::to_string(player);
  PlistTag* dict = keys ? PlistTag::FindTag(keys, "dict", playerName.c_str(), 0) : nullptr;
  const std::string keyName = "Key " + std::to_string(key);
  PlistTag* tag = dict ? PlistTag::FindTag(dict, "integer", keyName.c_str(), 0) : nullptr;
  if (!tag) return false;
  const std::string text(reinterpret_cast<const char*>(tag->value + 1), tag->value[0]);
  const size_t first = text.find_first_not_of(" \t\r\n");
  const size_t last = text.find_last_not_of(" \t\r\n");
  if (first == std::string::npos) return false;
  const std::string number = text.substr(first, last - first + 1);
  if (number.find_first_not_of("+-0123456789") != std::string::npos) return false;
  if (number.find_first_of("0123456789") == std::string::npos) return false;
  return static_cast<UInt8>(std::strtoll(number.c_str(), nullptr, 10) & 0xFF) == code;
}

struct Taken {
  UInt8 keys[2][5];
  WindowSizePair window;
  UInt8 firstPlay;
  SInt8 adScreen;
  bool operator==(const Taken& other) const {
    return std::memcmp(keys, other.keys, sizeof keys) == 0 && window.width == other.window.width &&
           window.height == other.window.height && firstPlay == other.firstPlay && adScreen == other.adScreen;
  }
};

Taken Current() {
  Taken taken;
  std::memcpy(taken.keys, KeyBindings, sizeof taken.keys);
  taken.window = gWindowSizes[1];
  taken.firstPlay = FirstPlay;
  taken.adScreen = AdScreen;
  return taken;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  const std::string path = Folder() + "/Kestrova Preferences.plist";
  WriteWhole(path, data, size);
  InitGamePrefsGlobals();
  SetDefaultKeys();
  gWindowSizes[1] = WindowSizePair{640, 480};
  LoadGamePrefs();

  const WindowSizePair window = gWindowSizes[1];
  if (!(window.width == 640 && window.height == 480) && !(window.width == 1024 && window.height == 768))
    std::abort();
  TextBuffer buffer;
  buffer.SetData(data, static_cast<SInt32>(size));
  PlistTag prefs;
  PlistTag::ReadBuffer(&prefs, &buffer);
  for (int a = 0; a < 10; ++a) {
    const UInt8 code = KeyBindings[a / 5][a % 5];
    if (KeyCodeToKeyBit(code) == kNoKeyCode) std::abort();
    if (code != DefaultKeyCode(a / 5, a % 5) && !FileNames(&prefs, a / 5, a % 5, code)) std::abort();
  }

  const Taken loaded = Current();
  SaveGamePrefs();
  InitGamePrefsGlobals();
  SetDefaultKeys();
  gWindowSizes[1] = WindowSizePair{640, 480};
  LoadGamePrefs();
  if (!(Current() == loaded)) std::abort();
  return 0;
}
