#include "KeyTranslation.h"

#include <SDL.h>

#include <array>

namespace {

// SDL scancode -> DirectInput scan code, in scancode order.
constexpr ScancodePair kScanPairs[] = {
    // A..Z
    {4, 0x1E}, {5, 0x30}, {6, 0x2E}, {7, 0x20}, {8, 0x12}, {9, 0x21}, {10, 0x22}, {11, 0x23}, {12, 0x17},
    {13, 0x24}, {14, 0x25}, {15, 0x26}, {16, 0x32}, {17, 0x31}, {18, 0x18}, {19, 0x19}, {20, 0x10},
    {21, 0x13}, {22, 0x1F}, {23, 0x14}, {24, 0x16}, {25, 0x2F}, {26, 0x11}, {27, 0x2D}, {28, 0x15},
    {29, 0x2C},
    // 1..9, 0
    {30, 0x02}, {31, 0x03}, {32, 0x04}, {33, 0x05}, {34, 0x06}, {35, 0x07}, {36, 0x08}, {37, 0x09},
    {38, 0x0A}, {39, 0x0B},
    // Return, Escape, Backspace, Tab, Space, - = [ ] \ # ; ' ` , . /
    {40, 0x1C}, {41, 0x01}, {42, 0x0E}, {43, 0x0F}, {44, 0x39}, {45, 0x0C}, {46, 0x0D}, {47, 0x1A},
    {48, 0x1B}, {49, 0x2B}, {50, 0x2B}, {51, 0x27}, {52, 0x28}, {53, 0x29}, {54, 0x33}, {55, 0x34},
    {56, 0x35},
    // Caps Lock, F1..F12
    {57, 0x3A}, {58, 0x3B}, {59, 0x3C}, {60, 0x3D}, {61, 0x3E}, {62, 0x3F}, {63, 0x40}, {64, 0x41},
    {65, 0x42}, {66, 0x43}, {67, 0x44}, {68, 0x57}, {69, 0x58},
    // Insert, Home, Page Up, Delete, End, Page Down, Right, Left, Down, Up
    {73, 0xD2}, {74, 0xC7}, {75, 0xC9}, {76, 0xD3}, {77, 0xCF}, {78, 0xD1}, {79, 0xCD}, {80, 0xCB},
    {81, 0xD0}, {82, 0xC8},
    // Num Lock, keypad / * - + Enter, keypad 1..9, 0, .
    {83, 0x45}, {84, 0xB5}, {85, 0x37}, {86, 0x4A}, {87, 0x4E}, {88, 0x9C}, {89, 0x4F}, {90, 0x50},
    {91, 0x51}, {92, 0x4B}, {93, 0x4C}, {94, 0x4D}, {95, 0x47}, {96, 0x48}, {97, 0x49}, {98, 0x52},
    {99, 0x53},
    // non-US \, Application, keypad =, F13..F15
    {100, 0x56}, {101, 0xDD}, {103, 0x8D}, {104, 0x64}, {105, 0x65}, {106, 0x66},
    // LCtrl, LShift, LAlt, LGUI, RCtrl, RShift, RAlt, RGUI
    {224, 0x1D}, {225, 0x2A}, {226, 0x38}, {227, 0xDB}, {228, 0x9D}, {229, 0x36}, {230, 0xB8}, {231, 0xDC},
};

constexpr std::array<uint8_t, kScancodeLimit> BuildScanTable() {
  std::array<uint8_t, kScancodeLimit> table{};
  for (const ScancodePair& p : kScanPairs) table[p.scancode] = p.dik;
  return table;
}

constexpr std::array<uint8_t, kScancodeLimit> kScanTable = BuildScanTable();

// A third scancode for one DirectInput code fails here, at compile time.
constexpr std::array<ScancodesOfKey, 256> BuildScancodesOf() {
  std::array<ScancodesOfKey, 256> table{};
  for (const ScancodePair& p : kScanPairs) {
    ScancodesOfKey& entry = table[p.dik];
    if (entry.count >= 2) throw "more scancodes for one DirectInput code than a key test reads";
    entry.codes[entry.count++] = p.scancode;
  }
  return table;
}

constexpr std::array<ScancodesOfKey, 256> kScancodesOf = BuildScancodesOf();

// The virtual key of an ASCII key code on the letter, digit and punctuation
// keys; VK_NONE for any other character.
uint8_t VirtualKeyForCharacter(int32_t c) {
  if (c >= 'a' && c <= 'z') return static_cast<uint8_t>(VK_A + (c - 'a'));
  if (c >= 'A' && c <= 'Z') return static_cast<uint8_t>(VK_A + (c - 'A'));
  if (c >= '0' && c <= '9') return static_cast<uint8_t>(VK_0 + (c - '0'));
  switch (c) {
    case ';': return VK_OEM_1;
    case '=': return VK_OEM_PLUS;
    case ',': return VK_OEM_COMMA;
    case '-': return VK_OEM_MINUS;
    case '.': return VK_OEM_PERIOD;
    case '/': return VK_OEM_2;
    case '`': return VK_OEM_3;
    case '[': return VK_OEM_4;
    case '\\': return VK_OEM_5;
    case ']': return VK_OEM_6;
    case '\'': return VK_OEM_7;
    default: return VK_NONE;
  }
}

// Keypad 0..9 and "." with Num Lock off.
constexpr uint8_t kKeypadNavigation[11] = {VK_INSERT, VK_END, VK_DOWN, VK_NEXT, VK_LEFT, VK_CLEAR,
                                           VK_RIGHT, VK_HOME, VK_UP, VK_PRIOR, VK_DELETE};

uint8_t VirtualKeyForScancode(int sc, bool numLockOn) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_0) return VirtualKeyForCharacter(UsKeyCode(sc));
  // The non-US "#" key sits where the US backslash is.
  if (sc == SDL_SCANCODE_NONUSHASH) return VK_OEM_5;
  if (sc >= SDL_SCANCODE_MINUS && sc <= SDL_SCANCODE_SLASH) return VirtualKeyForCharacter(UsKeyCode(sc));
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return static_cast<uint8_t>(VK_F1 + (sc - SDL_SCANCODE_F1));
  if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F15) return static_cast<uint8_t>(VK_F1 + 12 + (sc - SDL_SCANCODE_F13));
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_PERIOD) {
    // SDL orders the keypad 1..9, 0, "."; the navigation list runs 0..9, ".".
    int digit = sc == SDL_SCANCODE_KP_0 ? 0 : sc == SDL_SCANCODE_KP_PERIOD ? 10 : sc - SDL_SCANCODE_KP_1 + 1;
    if (!numLockOn) return kKeypadNavigation[digit];
    if (digit == 10) return VK_DECIMAL;
    return static_cast<uint8_t>(VK_NUMPAD0 + digit);
  }
  switch (sc) {
    case SDL_SCANCODE_RETURN: return VK_RETURN;
    case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
    case SDL_SCANCODE_INSERT: return VK_INSERT;
    case SDL_SCANCODE_HOME: return VK_HOME;
    case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
    case SDL_SCANCODE_DELETE: return VK_DELETE;
    case SDL_SCANCODE_END: return VK_END;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_APPLICATION: return VK_APPS;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return VK_CONTROL;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return VK_SHIFT;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT: return VK_MENU;
    case SDL_SCANCODE_LGUI: return VK_LWIN;
    case SDL_SCANCODE_RGUI: return VK_RWIN;
    default: return VK_NONE;
  }
}

// Unshifted and shifted characters of the US punctuation keys.
struct PunctuationPair {
  uint8_t virtualKey;
  char plain;
  char shifted;
};
constexpr PunctuationPair kPunctuation[] = {
    {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PLUS, '=', '+'}, {VK_OEM_4, '[', '{'},  {VK_OEM_6, ']', '}'},
    {VK_OEM_5, '\\', '|'},    {VK_OEM_1, ';', ':'},    {VK_OEM_7, '\'', '"'}, {VK_OEM_COMMA, ',', '<'},
    {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},   {VK_OEM_3, '`', '~'},
};

}  // namespace

uint8_t DirectInputScanCode(int scancode) {
  if (scancode < 0 || scancode >= kScancodeLimit) return 0;
  return kScanTable[static_cast<size_t>(scancode)];
}

ScancodePairs MappedScancodes() {
  return ScancodePairs{kScanPairs, static_cast<int>(sizeof kScanPairs / sizeof kScanPairs[0])};
}

const ScancodesOfKey& ScancodesOf(uint8_t dik) { return kScancodesOf[dik]; }

uint8_t VirtualKeyForKey(int scancode, int32_t keyCode, bool numLockOn) {
  uint8_t fromKeyCode = keyCode >= 0 && keyCode < 128 ? VirtualKeyForCharacter(keyCode) : uint8_t{VK_NONE};
  if (fromKeyCode != VK_NONE) return fromKeyCode;
  return VirtualKeyForScancode(scancode, numLockOn);
}

uint8_t CharacterForKey(uint8_t vk, bool shift, bool control, bool capsLockOn) {
  if (vk >= VK_A && vk < VK_A + 26) {
    uint8_t c = static_cast<uint8_t>('a' + (vk - VK_A));
    if (shift != capsLockOn) c = static_cast<uint8_t>(c - 'a' + 'A');
    if (control) c &= 0x1F;
    return c;
  }
  if (control) return 0;
  if (vk >= VK_0 && vk < VK_0 + 10) {
    static constexpr char kShiftedDigits[] = ")!@#$%^&*(";
    return static_cast<uint8_t>(shift ? kShiftedDigits[vk - VK_0] : '0' + (vk - VK_0));
  }
  for (const PunctuationPair& p : kPunctuation)
    if (p.virtualKey == vk) return static_cast<uint8_t>(shift ? p.shifted : p.plain);
  if (vk >= VK_NUMPAD0 && vk < VK_NUMPAD0 + 10) return static_cast<uint8_t>('0' + (vk - VK_NUMPAD0));
  switch (vk) {
    case VK_SPACE: return 32;
    case VK_RETURN: return 13;
    case VK_BACK: return 8;
    case VK_TAB: return 9;
    case VK_ESCAPE: return 27;
    case VK_DECIMAL: return '.';
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DIVIDE: return '/';
    default: return 0;
  }
}

int32_t UsKeyCode(int sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'a' + (sc - SDL_SCANCODE_A);
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
  switch (sc) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_RETURN: return '\r';
    case SDL_SCANCODE_ESCAPE: return '\x1B';
    case SDL_SCANCODE_BACKSPACE: return '\b';
    case SDL_SCANCODE_TAB: return '\t';
    case SDL_SCANCODE_SPACE: return ' ';
    case SDL_SCANCODE_MINUS: return '-';
    case SDL_SCANCODE_EQUALS: return '=';
    case SDL_SCANCODE_LEFTBRACKET: return '[';
    case SDL_SCANCODE_RIGHTBRACKET: return ']';
    case SDL_SCANCODE_BACKSLASH: return '\\';
    case SDL_SCANCODE_NONUSHASH: return '#';
    case SDL_SCANCODE_SEMICOLON: return ';';
    case SDL_SCANCODE_APOSTROPHE: return '\'';
    case SDL_SCANCODE_GRAVE: return '`';
    case SDL_SCANCODE_COMMA: return ',';
    case SDL_SCANCODE_PERIOD: return '.';
    case SDL_SCANCODE_SLASH: return '/';
    case SDL_SCANCODE_DELETE: return '\x7F';
    default: return sc | SDLK_SCANCODE_MASK;
  }
}

HeldModifiers ModifiersFromKeyState(const uint8_t dik[256]) {
  auto down = [dik](uint8_t code) { return (dik[code] & 0x80) != 0; };
  HeldModifiers m;
  m.shift = down(0x2A) || down(0x36);
  m.control = down(0x1D) || down(0x9D);
  m.alt = down(0x38) || down(0xB8);
  m.gui = down(0xDB) || down(0xDC) || down(0xDD);
  m.capsLock = down(0x3A);
  return m;
}
