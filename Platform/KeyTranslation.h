// Keyboard renumbering between SDL and the Windows-era numbering the shell's
// tables are written in: DirectInput scan codes, virtual keys and the
// characters a US keyboard types.
#pragma once

#include <cstdint>

// The virtual keys the shell's key-code table names (Windows values).
enum VirtualKey : uint8_t {
  VK_NONE = 0x00,
  VK_BACK = 0x08,
  VK_TAB = 0x09,
  VK_CLEAR = 0x0C,
  VK_RETURN = 0x0D,
  VK_SHIFT = 0x10,
  VK_CONTROL = 0x11,
  VK_MENU = 0x12,
  VK_CAPITAL = 0x14,
  VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20,
  VK_PRIOR = 0x21,
  VK_NEXT = 0x22,
  VK_END = 0x23,
  VK_HOME = 0x24,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_INSERT = 0x2D,
  VK_DELETE = 0x2E,
  VK_0 = 0x30,  // '0'..'9' are 0x30..0x39
  VK_A = 0x41,  // 'A'..'Z' are 0x41..0x5A
  VK_LWIN = 0x5B,
  VK_RWIN = 0x5C,
  VK_APPS = 0x5D,
  VK_NUMPAD0 = 0x60,  // VK_NUMPAD0..9 are 0x60..0x69
  VK_MULTIPLY = 0x6A,
  VK_ADD = 0x6B,
  VK_SUBTRACT = 0x6D,
  VK_DECIMAL = 0x6E,
  VK_DIVIDE = 0x6F,
  VK_F1 = 0x70,  // VK_F1..F15 are 0x70..0x7E
  VK_NUMLOCK = 0x90,
  VK_OEM_1 = 0xBA,  // ;
  VK_OEM_PLUS = 0xBB,
  VK_OEM_COMMA = 0xBC,
  VK_OEM_MINUS = 0xBD,
  VK_OEM_PERIOD = 0xBE,
  VK_OEM_2 = 0xBF,  // /
  VK_OEM_3 = 0xC0,  // `
  VK_OEM_4 = 0xDB,  // [
  VK_OEM_5 = 0xDC,  // backslash
  VK_OEM_6 = 0xDD,  // ]
  VK_OEM_7 = 0xDE,  // '
};

// SDL scancodes run below this.
constexpr int kScancodeLimit = 512;

// The DirectInput scan code of an SDL scancode; 0 when the key has none.
uint8_t DirectInputScanCode(int scancode);

// Every SDL scancode with a DirectInput scan code, in scancode order: a key
// state is read by walking these instead of all kScancodeLimit entries.
struct ScancodePair {
  uint16_t scancode;
  uint8_t dik;
};
struct ScancodePairs {
  const ScancodePair* begin() const { return pairs; }
  const ScancodePair* end() const { return pairs + count; }
  const ScancodePair* pairs;
  int count;
};
ScancodePairs MappedScancodes();

// The SDL scancodes that read as one DirectInput scan code (none for a code
// no key has); a key test looks at these alone.
struct ScancodesOfKey {
  const uint16_t* begin() const { return codes; }
  const uint16_t* end() const { return codes + count; }
  uint16_t codes[2];
  uint8_t count;
};
const ScancodesOfKey& ScancodesOf(uint8_t dik);

// The virtual key of a key event: letters, digits and the OEM punctuation keys
// from the (layout-aware) SDL key code, everything else from the scancode.
// Keypad digits and "." follow Num Lock. VK_NONE when the key has none.
uint8_t VirtualKeyForKey(int scancode, int32_t keyCode, bool numLockOn);

// The character a key types (the stand-in for ToAscii); 0 for none.
uint8_t CharacterForKey(uint8_t virtualKey, bool shift, bool control, bool capsLockOn);

// The SDL key code a US layout gives a scancode (what SDL reports there).
int32_t UsKeyCode(int scancode);

// Modifier keys held in a DirectInput-numbered key state.
struct HeldModifiers {
  bool shift = false;
  bool control = false;
  bool alt = false;
  bool gui = false;       // either Windows key or the Application key
  bool capsLock = false;  // the key held, not its toggle
};
HeldModifiers ModifiersFromKeyState(const uint8_t dik[256]);
