#include <SDL.h>
#include <gtest/gtest.h>

#include <set>

#include "KeyTranslation.h"

namespace {

struct ScanCase {
  int scancode;
  uint8_t dik;
};

// Every SDL scancode that has a DirectInput scan code, written out key by key.
const ScanCase kMappedScancodes[] = {
    {SDL_SCANCODE_A, 0x1E}, {SDL_SCANCODE_B, 0x30}, {SDL_SCANCODE_C, 0x2E}, {SDL_SCANCODE_D, 0x20},
    {SDL_SCANCODE_E, 0x12}, {SDL_SCANCODE_F, 0x21}, {SDL_SCANCODE_G, 0x22}, {SDL_SCANCODE_H, 0x23},
    {SDL_SCANCODE_I, 0x17}, {SDL_SCANCODE_J, 0x24}, {SDL_SCANCODE_K, 0x25}, {SDL_SCANCODE_L, 0x26},
    {SDL_SCANCODE_M, 0x32}, {SDL_SCANCODE_N, 0x31}, {SDL_SCANCODE_O, 0x18}, {SDL_SCANCODE_P, 0x19},
    {SDL_SCANCODE_Q, 0x10}, {SDL_SCANCODE_R, 0x13}, {SDL_SCANCODE_S, 0x1F}, {SDL_SCANCODE_T, 0x14},
    {SDL_SCANCODE_U, 0x16}, {SDL_SCANCODE_V, 0x2F}, {SDL_SCANCODE_W, 0x11}, {SDL_SCANCODE_X, 0x2D},
    {SDL_SCANCODE_Y, 0x15}, {SDL_SCANCODE_Z, 0x2C},
    {SDL_SCANCODE_1, 0x02}, {SDL_SCANCODE_2, 0x03}, {SDL_SCANCODE_3, 0x04}, {SDL_SCANCODE_4, 0x05},
    {SDL_SCANCODE_5, 0x06}, {SDL_SCANCODE_6, 0x07}, {SDL_SCANCODE_7, 0x08}, {SDL_SCANCODE_8, 0x09},
    {SDL_SCANCODE_9, 0x0A}, {SDL_SCANCODE_0, 0x0B},
    {SDL_SCANCODE_RETURN, 0x1C}, {SDL_SCANCODE_ESCAPE, 0x01}, {SDL_SCANCODE_BACKSPACE, 0x0E},
    {SDL_SCANCODE_TAB, 0x0F}, {SDL_SCANCODE_SPACE, 0x39}, {SDL_SCANCODE_MINUS, 0x0C},
    {SDL_SCANCODE_EQUALS, 0x0D}, {SDL_SCANCODE_LEFTBRACKET, 0x1A}, {SDL_SCANCODE_RIGHTBRACKET, 0x1B},
    {SDL_SCANCODE_BACKSLASH, 0x2B}, {SDL_SCANCODE_NONUSHASH, 0x2B}, {SDL_SCANCODE_SEMICOLON, 0x27},
    {SDL_SCANCODE_APOSTROPHE, 0x28}, {SDL_SCANCODE_GRAVE, 0x29}, {SDL_SCANCODE_COMMA, 0x33},
    {SDL_SCANCODE_PERIOD, 0x34}, {SDL_SCANCODE_SLASH, 0x35}, {SDL_SCANCODE_CAPSLOCK, 0x3A},
    {SDL_SCANCODE_F1, 0x3B}, {SDL_SCANCODE_F2, 0x3C}, {SDL_SCANCODE_F3, 0x3D}, {SDL_SCANCODE_F4, 0x3E},
    {SDL_SCANCODE_F5, 0x3F}, {SDL_SCANCODE_F6, 0x40}, {SDL_SCANCODE_F7, 0x41}, {SDL_SCANCODE_F8, 0x42},
    {SDL_SCANCODE_F9, 0x43}, {SDL_SCANCODE_F10, 0x44}, {SDL_SCANCODE_F11, 0x57}, {SDL_SCANCODE_F12, 0x58},
    {SDL_SCANCODE_INSERT, 0xD2}, {SDL_SCANCODE_HOME, 0xC7}, {SDL_SCANCODE_PAGEUP, 0xC9},
    {SDL_SCANCODE_DELETE, 0xD3}, {SDL_SCANCODE_END, 0xCF}, {SDL_SCANCODE_PAGEDOWN, 0xD1},
    {SDL_SCANCODE_RIGHT, 0xCD}, {SDL_SCANCODE_LEFT, 0xCB}, {SDL_SCANCODE_DOWN, 0xD0}, {SDL_SCANCODE_UP, 0xC8},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x45}, {SDL_SCANCODE_KP_DIVIDE, 0xB5}, {SDL_SCANCODE_KP_MULTIPLY, 0x37},
    {SDL_SCANCODE_KP_MINUS, 0x4A}, {SDL_SCANCODE_KP_PLUS, 0x4E}, {SDL_SCANCODE_KP_ENTER, 0x9C},
    {SDL_SCANCODE_KP_1, 0x4F}, {SDL_SCANCODE_KP_2, 0x50}, {SDL_SCANCODE_KP_3, 0x51}, {SDL_SCANCODE_KP_4, 0x4B},
    {SDL_SCANCODE_KP_5, 0x4C}, {SDL_SCANCODE_KP_6, 0x4D}, {SDL_SCANCODE_KP_7, 0x47}, {SDL_SCANCODE_KP_8, 0x48},
    {SDL_SCANCODE_KP_9, 0x49}, {SDL_SCANCODE_KP_0, 0x52}, {SDL_SCANCODE_KP_PERIOD, 0x53},
    {SDL_SCANCODE_NONUSBACKSLASH, 0x56}, {SDL_SCANCODE_APPLICATION, 0xDD}, {SDL_SCANCODE_KP_EQUALS, 0x8D},
    {SDL_SCANCODE_F13, 0x64}, {SDL_SCANCODE_F14, 0x65}, {SDL_SCANCODE_F15, 0x66},
    {SDL_SCANCODE_LCTRL, 0x1D}, {SDL_SCANCODE_LSHIFT, 0x2A}, {SDL_SCANCODE_LALT, 0x38}, {SDL_SCANCODE_LGUI, 0xDB},
    {SDL_SCANCODE_RCTRL, 0x9D}, {SDL_SCANCODE_RSHIFT, 0x36}, {SDL_SCANCODE_RALT, 0xB8}, {SDL_SCANCODE_RGUI, 0xDC},
};

}  // namespace

TEST(KeyTranslation, EveryMappedScancodeHasItsDirectInputCode) {
  for (const ScanCase& c : kMappedScancodes) {
    EXPECT_EQ(DirectInputScanCode(c.scancode), c.dik) << "scancode " << c.scancode;
  }
}

TEST(KeyTranslation, EveryOtherScancodeHasNone) {
  std::set<int> mapped;
  for (const ScanCase& c : kMappedScancodes) mapped.insert(c.scancode);
  for (int sc = -1; sc <= kScancodeLimit; ++sc) {
    if (!mapped.count(sc)) {
      EXPECT_EQ(DirectInputScanCode(sc), 0) << "scancode " << sc;
    }
  }
  EXPECT_EQ(DirectInputScanCode(100000), 0);
}

// The two short-cut views a key state is read through hold exactly the
// scancodes the scancode table maps.
TEST(KeyTranslation, ShortListsMatchTheScancodeTable) {
  std::set<int> listed;
  for (const ScancodePair& p : MappedScancodes()) {
    EXPECT_TRUE(listed.insert(p.scancode).second) << "scancode " << p.scancode << " listed twice";
    EXPECT_EQ(DirectInputScanCode(p.scancode), p.dik) << "scancode " << p.scancode;
  }
  for (int dik = 0; dik < 256; ++dik) {
    std::set<int> expected;
    for (int sc = 0; sc < kScancodeLimit; ++sc)
      if (DirectInputScanCode(sc) != 0 && DirectInputScanCode(sc) == dik) expected.insert(sc);
    const ScancodesOfKey& of = ScancodesOf(static_cast<uint8_t>(dik));
    EXPECT_EQ(std::set<int>(of.begin(), of.end()), expected) << "DirectInput code " << dik;
    for (int sc : expected) EXPECT_TRUE(listed.count(sc)) << "scancode " << sc << " missing from the list";
  }
}

TEST(KeyTranslation, LettersDigitsAndPunctuationFollowTheLayout) {
  // A French layout types "a" on the US Q key and "m" on the US ";" key.
  EXPECT_EQ(VirtualKeyForKey(SDL_SCANCODE_Q, 'a', false), VK_A);
  EXPECT_EQ(VirtualKeyForKey(SDL_SCANCODE_SEMICOLON, 'm', false), VK_A + ('M' - 'A'));
  // A German layout types "z" on the US Y key and "-" on the US "/" key.
  EXPECT_EQ(VirtualKeyForKey(SDL_SCANCODE_Y, 'z', false), VK_A + ('Z' - 'A'));
  EXPECT_EQ(VirtualKeyForKey(SDL_SCANCODE_SLASH, '-', false), VK_OEM_MINUS);
  // A key code that is not a letter, digit or punctuation key falls back to
  // the scancode's US meaning.
  EXPECT_EQ(VirtualKeyForKey(SDL_SCANCODE_1, '&', false), VK_0 + 1);
  EXPECT_EQ(VirtualKeyForKey(SDL_SCANCODE_LEFTBRACKET, 0x40000000 | 0x1FF, false), VK_OEM_4);
  EXPECT_EQ(VirtualKeyForKey(SDL_SCANCODE_NONUSHASH, '#', false), VK_OEM_5);
}

TEST(KeyTranslation, UsLayoutVirtualKeys) {
  struct Case {
    int scancode;
    uint8_t vk;
  };
  const Case cases[] = {
      {SDL_SCANCODE_A, VK_A}, {SDL_SCANCODE_Z, VK_A + 25}, {SDL_SCANCODE_0, VK_0}, {SDL_SCANCODE_9, VK_0 + 9},
      {SDL_SCANCODE_MINUS, VK_OEM_MINUS}, {SDL_SCANCODE_EQUALS, VK_OEM_PLUS}, {SDL_SCANCODE_LEFTBRACKET, VK_OEM_4},
      {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6}, {SDL_SCANCODE_BACKSLASH, VK_OEM_5}, {SDL_SCANCODE_SEMICOLON, VK_OEM_1},
      {SDL_SCANCODE_APOSTROPHE, VK_OEM_7}, {SDL_SCANCODE_GRAVE, VK_OEM_3}, {SDL_SCANCODE_COMMA, VK_OEM_COMMA},
      {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD}, {SDL_SCANCODE_SLASH, VK_OEM_2},
      {SDL_SCANCODE_RETURN, VK_RETURN}, {SDL_SCANCODE_KP_ENTER, VK_RETURN}, {SDL_SCANCODE_ESCAPE, VK_ESCAPE},
      {SDL_SCANCODE_BACKSPACE, VK_BACK}, {SDL_SCANCODE_TAB, VK_TAB}, {SDL_SCANCODE_SPACE, VK_SPACE},
      {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL}, {SDL_SCANCODE_F1, VK_F1}, {SDL_SCANCODE_F12, VK_F1 + 11},
      {SDL_SCANCODE_F13, VK_F1 + 12}, {SDL_SCANCODE_F15, VK_F1 + 14}, {SDL_SCANCODE_INSERT, VK_INSERT},
      {SDL_SCANCODE_HOME, VK_HOME}, {SDL_SCANCODE_PAGEUP, VK_PRIOR}, {SDL_SCANCODE_DELETE, VK_DELETE},
      {SDL_SCANCODE_END, VK_END}, {SDL_SCANCODE_PAGEDOWN, VK_NEXT}, {SDL_SCANCODE_RIGHT, VK_RIGHT},
      {SDL_SCANCODE_LEFT, VK_LEFT}, {SDL_SCANCODE_DOWN, VK_DOWN}, {SDL_SCANCODE_UP, VK_UP},
      {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK}, {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE},
      {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY}, {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT}, {SDL_SCANCODE_KP_PLUS, VK_ADD},
      {SDL_SCANCODE_APPLICATION, VK_APPS}, {SDL_SCANCODE_LSHIFT, VK_SHIFT}, {SDL_SCANCODE_RSHIFT, VK_SHIFT},
      {SDL_SCANCODE_LCTRL, VK_CONTROL}, {SDL_SCANCODE_RCTRL, VK_CONTROL}, {SDL_SCANCODE_LALT, VK_MENU},
      {SDL_SCANCODE_RALT, VK_MENU}, {SDL_SCANCODE_LGUI, VK_LWIN}, {SDL_SCANCODE_RGUI, VK_RWIN},
      {SDL_SCANCODE_PRINTSCREEN, VK_NONE}, {SDL_SCANCODE_KP_EQUALS, VK_NONE},
  };
  for (const Case& c : cases)
    EXPECT_EQ(VirtualKeyForKey(c.scancode, UsKeyCode(c.scancode), false), c.vk) << "scancode " << c.scancode;
}

TEST(KeyTranslation, KeypadDigitsFollowNumLock) {
  const int keypad[11] = {SDL_SCANCODE_KP_0, SDL_SCANCODE_KP_1, SDL_SCANCODE_KP_2, SDL_SCANCODE_KP_3,
                          SDL_SCANCODE_KP_4, SDL_SCANCODE_KP_5, SDL_SCANCODE_KP_6, SDL_SCANCODE_KP_7,
                          SDL_SCANCODE_KP_8, SDL_SCANCODE_KP_9, SDL_SCANCODE_KP_PERIOD};
  const uint8_t off[11] = {VK_INSERT, VK_END, VK_DOWN, VK_NEXT, VK_LEFT, VK_CLEAR,
                           VK_RIGHT, VK_HOME, VK_UP, VK_PRIOR, VK_DELETE};
  for (int i = 0; i < 11; ++i) {
    uint8_t on = i == 10 ? uint8_t{VK_DECIMAL} : static_cast<uint8_t>(VK_NUMPAD0 + i);
    EXPECT_EQ(VirtualKeyForKey(keypad[i], UsKeyCode(keypad[i]), true), on) << i;
    EXPECT_EQ(VirtualKeyForKey(keypad[i], UsKeyCode(keypad[i]), false), off[i]) << i;
  }
}

TEST(KeyTranslation, Characters) {
  struct Case {
    uint8_t vk;
    bool shift, control, caps;
    uint8_t ch;
  };
  const Case cases[] = {
      {VK_A, false, false, false, 'a'},
      {VK_A, true, false, false, 'A'},
      {VK_A, false, false, true, 'A'},
      {VK_A, true, false, true, 'a'},  // Shift undoes Caps Lock
      {VK_A + 25, false, true, false, 0x1A},
      {VK_A + 2, true, true, false, 0x03},
      {VK_0 + 1, false, false, false, '1'},
      {VK_0 + 1, true, false, false, '!'},
      {VK_0, true, false, false, ')'},
      {VK_0 + 6, true, false, true, '^'},  // Caps Lock leaves digits alone
      {VK_0 + 2, false, true, false, 0},   // Control with a non-letter gives none
      {VK_OEM_MINUS, true, false, false, '_'},
      {VK_OEM_PLUS, true, false, false, '+'},
      {VK_OEM_4, true, false, false, '{'},
      {VK_OEM_6, false, false, false, ']'},
      {VK_OEM_5, true, false, false, '|'},
      {VK_OEM_1, true, false, false, ':'},
      {VK_OEM_7, true, false, false, '"'},
      {VK_OEM_COMMA, true, false, false, '<'},
      {VK_OEM_PERIOD, true, false, false, '>'},
      {VK_OEM_2, true, false, false, '?'},
      {VK_OEM_3, true, false, false, '~'},
      {VK_OEM_3, false, false, false, '`'},
      {VK_SPACE, false, false, false, 32},
      {VK_RETURN, false, false, false, 13},
      {VK_BACK, false, false, false, 8},
      {VK_TAB, false, false, false, 9},
      {VK_ESCAPE, false, false, false, 27},
      {VK_NUMPAD0 + 7, false, false, false, '7'},
      {VK_DECIMAL, false, false, false, '.'},
      {VK_MULTIPLY, false, false, false, '*'},
      {VK_ADD, false, false, false, '+'},
      {VK_SUBTRACT, false, false, false, '-'},
      {VK_DIVIDE, false, false, false, '/'},
      {VK_F1, false, false, false, 0},
      {VK_INSERT, false, false, false, 0},
      {VK_HOME, false, false, false, 0},
      {VK_SHIFT, true, false, false, 0},
      {VK_NONE, false, false, false, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CharacterForKey(c.vk, c.shift, c.control, c.caps), c.ch)
        << "vk " << int(c.vk) << " shift " << c.shift << " control " << c.control << " caps " << c.caps;
}

TEST(KeyTranslation, UsKeyCodesMatchSdl) {
  // SDL's own default (US) key map, without starting video.
  for (int sc = 1; sc < SDL_NUM_SCANCODES; ++sc) {
    if (!DirectInputScanCode(sc)) continue;
    SDL_Keycode expected = SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(sc));
    if (expected == SDLK_UNKNOWN) continue;
    EXPECT_EQ(UsKeyCode(sc), expected) << SDL_GetScancodeName(static_cast<SDL_Scancode>(sc));
  }
}

TEST(KeyTranslation, HeldModifiersFromBothSides) {
  uint8_t dik[256] = {};
  EXPECT_FALSE(ModifiersFromKeyState(dik).shift);
  dik[0x36] = 0x80;  // right Shift
  dik[0x9D] = 0x80;  // right Control
  dik[0xB8] = 0x80;  // right Alt
  dik[0xDD] = 0x80;  // Application
  dik[0x3A] = 0x80;  // Caps Lock
  HeldModifiers m = ModifiersFromKeyState(dik);
  EXPECT_TRUE(m.shift);
  EXPECT_TRUE(m.control);
  EXPECT_TRUE(m.alt);
  EXPECT_TRUE(m.gui);
  EXPECT_TRUE(m.capsLock);
  uint8_t left[256] = {};
  left[0x2A] = left[0x1D] = left[0x38] = left[0xDB] = 0x80;
  m = ModifiersFromKeyState(left);
  EXPECT_TRUE(m.shift && m.control && m.alt && m.gui);
  EXPECT_FALSE(m.capsLock);
}
