#include <cstring>

#include "ShellTestSupport.h"

namespace {

using KeyMapTest = ShellTest;

struct MappedKey {
  int scancode;
  int keyCode;  // the Macintosh key code whose bit it sets
};


// The key-map bit of a Macintosh key code.
bool MapHasKey(const KeyMap map, int keyCode) { return (map[keyCode >> 3] & (0x80 >> (keyCode & 7))) != 0; }
int BitsSet(const KeyMap map) {
  int n = 0;
  for (int i = 0; i < 16; ++i) n += __builtin_popcount(map[i]);
  return n;
}

TEST_F(KeyMapTest, HoldingAKeySetsExactlyItsBit) {
  // Every scancode the keyboard maps, with the key code whose bit it sets.
  const MappedKey keys[] = {
      {4, 0},    {5, 11},   {6, 8},    {7, 2},    {8, 14},   {9, 3},    {10, 5},   {11, 4},   {12, 34},
      {13, 38},  {14, 40},  {15, 37},  {16, 46},  {17, 45},  {18, 31},  {19, 35},  {20, 12},  {21, 15},
      {22, 1},   {23, 17},  {24, 32},  {25, 9},   {26, 13},  {27, 7},   {28, 16},  {29, 6},   {30, 18},
      {31, 19},  {32, 20},  {33, 21},  {34, 23},  {35, 22},  {36, 26},  {37, 28},  {38, 25},  {39, 29},
      {40, 36},  {41, 53},  {42, 51},  {43, 48},  {44, 49},  {45, 27},  {46, 24},  {47, 33},  {48, 30},
      {49, 42},  {50, 42},  {51, 41},  {52, 39},  {53, 50},  {54, 43},  {55, 47},  {56, 44},  {57, 57},
      {58, 122}, {59, 120}, {60, 99},  {61, 118}, {62, 96},  {63, 97},  {64, 98},  {65, 100}, {66, 101},
      {67, 109}, {68, 103}, {69, 111}, {73, -1},  {74, 115}, {75, 116}, {76, 117}, {77, 119}, {78, 121},
      {79, 124}, {80, 123}, {81, 125}, {82, 126}, {83, 71},  {84, 75},  {85, 67},  {86, 78},  {87, 69},
      {88, 76},  {89, 83},  {90, 84},  {91, 85},  {92, 86},  {93, 87},  {94, 88},  {95, 89},  {96, 91},
      {97, 92},  {98, 82},  {99, 65},  {100, -1}, {101, -1}, {103, 81}, {104, 105}, {105, 107}, {106, 113},
      {224, 59}, {225, 56}, {226, 58}, {227, 55}, {228, 59}, {229, 56}, {230, 58}, {231, 55},
  };
  for (const MappedKey& key : keys) {
    SCOPED_TRACE(key.scancode);
    backend.SetKeyHeld(key.scancode, true);
    KeyMap map;
    ReadKeyMap(map);
    if (key.keyCode < 0) {
      EXPECT_EQ(BitsSet(map), 0);  // Insert, non-US backslash and Application have no key-map bit
    } else {
      EXPECT_EQ(BitsSet(map), 1);
      EXPECT_TRUE(MapHasKey(map, key.keyCode));
    }
    backend.SetKeyHeld(key.scancode, false);
  }
}

TEST_F(KeyMapTest, EscapeIsCode53AndByte6Bit4) {
  backend.SetKeyHeld(sc::Escape, true);
  EXPECT_TRUE(IsKeyCodeDown(53));
  KeyMap map;
  ReadKeyMap(map);
  EXPECT_EQ(map[6], 0x04);
  backend.SetKeyHeld(sc::Escape, false);
  EXPECT_FALSE(IsKeyCodeDown(53));
}

TEST_F(KeyMapTest, ModifierKeysAnswerOnlyThroughTheEngineCodes) {
  for (int shift : {sc::LShift, sc::RShift}) {
    backend.SetKeyHeld(shift, true);
    EXPECT_TRUE(IsKeyCodeDown(137));
    EXPECT_FALSE(IsKeyCodeDown(56));
    backend.SetKeyHeld(shift, false);
    EXPECT_FALSE(IsKeyCodeDown(137));
  }
  for (int gui : {sc::LGui, sc::RGui}) {
    backend.SetKeyHeld(gui, true);
    EXPECT_TRUE(IsKeyCodeDown(136));
    EXPECT_FALSE(IsKeyCodeDown(55));
    backend.SetKeyHeld(gui, false);
  }
  backend.SetKeyHeld(sc::LCtrl, true);
  EXPECT_TRUE(IsKeyCodeDown(140));
  backend.SetKeyHeld(sc::LCtrl, false);
}

TEST_F(KeyMapTest, CapsLockHeldIs138WhateverItsToggle) {
  for (bool toggle : {false, true}) {
    backend.SetToggles(toggle, false);
    backend.SetKeyHeld(sc::CapsLock, true);
    EXPECT_TRUE(IsKeyCodeDown(138));
    backend.SetKeyHeld(sc::CapsLock, false);
    EXPECT_FALSE(IsKeyCodeDown(138));
  }
}

TEST_F(KeyMapTest, KeypadEnterNumLockAndCodesWithoutBits) {
  backend.SetKeyHeld(sc::KeypadEnter, true);
  EXPECT_TRUE(IsKeyCodeDown(76));
  EXPECT_FALSE(IsKeyCodeDown(36));
  backend.SetKeyHeld(sc::KeypadEnter, false);
  backend.SetKeyHeld(sc::NumLock, true);
  EXPECT_TRUE(IsKeyCodeDown(71));
  EXPECT_FALSE(IsKeyCodeDown(144));
  backend.SetKeyHeld(sc::NumLock, false);
  // Every key held at once: 54 and 144 still never read as down.
  for (int s = 4; s < 232; ++s) backend.SetKeyHeld(s, true);
  EXPECT_FALSE(IsKeyCodeDown(54));
  EXPECT_FALSE(IsKeyCodeDown(144));
  EXPECT_TRUE(AnyKeyDown());
}

TEST_F(KeyMapTest, FailedReadGivesAnEmptyMap) {
  backend.SetKeyHeld(sc::A, true);
  backend.failKeyRead = true;
  KeyMap map;
  std::memset(map, 0xFF, sizeof map);
  ReadKeyMap(map);
  EXPECT_EQ(BitsSet(map), 0);
  EXPECT_FALSE(AnyKeyDown());
  EXPECT_FALSE(IsKeyCodeDown(0));
}

// The key tests read the state the last pump left; they pump nothing
// themselves (the step's poll pumps once), and keep nothing between calls.
TEST_F(KeyMapTest, KeyTestsReadTheCurrentStateWithoutPumping) {
  const int pumps = backend.pumpCount();
  backend.SetKeyHeld(sc::A, true);
  EXPECT_TRUE(IsKeyCodeDown(0));
  EXPECT_TRUE(AnyKeyDown());
  backend.SetKeyHeld(sc::A, false);
  EXPECT_FALSE(IsKeyCodeDown(0));
  EXPECT_FALSE(AnyKeyDown());
  KeyMap map;
  ReadKeyMap(map);
  EXPECT_EQ(backend.pumpCount(), pumps);
}

// One key's test reads only the scan codes of its bit: it must answer as the
// whole map does, for every key held or tapped alone.
TEST_F(KeyMapTest, OneKeyTestAgreesWithTheWholeMap) {
  for (bool tap : {false, true}) {
    for (int scancode = 1; scancode < kScancodeLimit; ++scancode) {
      SCOPED_TRACE(testing::Message() << "scancode " << scancode << (tap ? " tapped" : " held"));
      if (tap)
        backend.TapKey(scancode);
      else
        backend.SetKeyHeld(scancode, true);
      KeyMap map;
      ReadKeyMap(map);
      for (int code = 0; code < 256; ++code) {
        const UInt8 bit = KeyCodeToKeyBit(static_cast<UInt8>(code));
        const bool inMap = bit != kNoKeyCode && ((map[bit >> 3] >> (bit & 7)) & 1);
        ASSERT_EQ(IsKeyCodeDown(static_cast<UInt8>(code)) != 0, inMap) << "key code " << code;
      }
      backend.SetKeyHeld(scancode, false);
      backend.ClearKeyLatch();
    }
  }
}

TEST_F(KeyMapTest, TapReadsDownUntilTheNextPoll) {
  backend.TapKey(sc::A);
  EXPECT_TRUE(IsKeyCodeDown(0));
  EXPECT_TRUE(IsKeyCodeDown(0));
  PollEvents(0xFFFF, nullptr);
  EXPECT_FALSE(IsKeyCodeDown(0));
}

}  // namespace
