// The translation tables between virtual keys, keyboard scan codes, the
// engine's key codes (the Macintosh numbering), characters and the bits of
// the 128-bit key map. All are constant.
#pragma once

#include "KeyTranslation.h"
#include "MacTypes.h"

constexpr UInt8 kNoKeyCode = 255;

// Engine key codes beyond the Macintosh ones.
constexpr UInt8 kKeyCodeCommand = 136;  // Windows and Application keys
constexpr UInt8 kKeyCodeShift = 137;
constexpr UInt8 kKeyCodeCapsLock = 138;
constexpr UInt8 kKeyCodeAlt = 139;
constexpr UInt8 kKeyCodeControl = 140;
constexpr UInt8 kKeyCodeNumLock = 144;
constexpr UInt8 kKeyCodeMouseButton = 161;

// Virtual key -> key code (255 = none).
UInt8 VirtualKeyToKeyCode(UInt8 virtualKey);
// Key code -> character for codes below 128; 0 = none, and codes of 128 and
// above never have one.
UInt8 KeyCodeToCharacter(UInt8 keyCode);
// Keyboard scan code -> bit index of the key map (255 = none).
UInt8 ScanCodeToKeyBit(UInt8 scanCode);
// Key code -> bit index for the key tests (255 = none).
UInt8 KeyCodeToKeyBit(UInt8 keyCode);
// Bit index -> key code (255 = none); the modifier bits give 136..140.
UInt8 KeyBitToKeyCode(UInt8 bit);
// The keyboard scan codes that set a bit of the key map (none for a bit no
// key sets, or an index past 127): one key tested without the whole map.
struct ScanCodesOfBit {
  const UInt8* begin() const { return codes; }
  const UInt8* end() const { return codes + count; }
  UInt8 codes[2];
  UInt8 count;
};
const ScanCodesOfBit& KeyBitScanCodes(UInt8 bit);
// The bit index of a Macintosh key code: (k & ~7) | (7 - (k & 7)).
constexpr UInt8 KeyCodeBitIndex(UInt8 keyCode) {
  return static_cast<UInt8>((keyCode & ~7) | (7 - (keyCode & 7)));
}
