#include "KeyTables.h"

#include <array>

namespace {

using Table = std::array<UInt8, 256>;

constexpr Table Filled(UInt8 value) {
  Table t{};
  for (UInt8& entry : t) entry = value;
  return t;
}

// The key codes of A..Z and 0..9 on the US layout.
constexpr UInt8 kLetterCodes[26] = {0, 11, 8, 2, 14, 3, 5, 4, 34, 38, 40, 37, 46,
                                    45, 31, 35, 12, 15, 1, 17, 32, 9, 13, 7, 16, 6};
constexpr UInt8 kDigitCodes[10] = {29, 18, 19, 20, 21, 23, 22, 26, 28, 25};
constexpr UInt8 kKeypadCodes[10] = {82, 83, 84, 85, 86, 87, 88, 89, 91, 92};
constexpr UInt8 kFunctionCodes[15] = {122, 120, 99, 118, 96, 97, 98, 100, 101, 109, 103, 111, 105, 107, 113};

constexpr Table BuildVirtualKeyTable() {
  Table t = Filled(kNoKeyCode);
  for (int i = 0; i < 26; ++i) t[VK_A + i] = kLetterCodes[i];
  for (int i = 0; i < 10; ++i) t[VK_0 + i] = kDigitCodes[i];
  for (int i = 0; i < 10; ++i) t[VK_NUMPAD0 + i] = kKeypadCodes[i];
  for (int i = 0; i < 15; ++i) t[VK_F1 + i] = kFunctionCodes[i];
  t[VK_BACK] = 51;
  t[VK_TAB] = 48;
  t[VK_CLEAR] = 71;
  t[VK_RETURN] = 36;
  t[VK_ESCAPE] = 53;
  t[VK_SPACE] = 49;
  t[VK_PRIOR] = 116;
  t[VK_NEXT] = 121;
  t[VK_END] = 119;
  t[VK_HOME] = 115;
  t[VK_LEFT] = 123;
  t[VK_UP] = 126;
  t[VK_RIGHT] = 124;
  t[VK_DOWN] = 125;
  t[VK_DELETE] = 117;
  t[VK_MULTIPLY] = 67;
  t[VK_ADD] = 69;
  t[VK_SUBTRACT] = 78;
  t[VK_DECIMAL] = 65;
  t[VK_DIVIDE] = 75;
  t[VK_OEM_1] = 41;
  t[VK_OEM_PLUS] = 24;
  t[VK_OEM_COMMA] = 43;
  t[VK_OEM_MINUS] = 27;
  t[VK_OEM_PERIOD] = 47;
  t[VK_OEM_2] = 44;
  t[VK_OEM_3] = 50;
  t[VK_OEM_4] = 33;
  t[VK_OEM_5] = 42;
  t[VK_OEM_6] = 30;
  t[VK_OEM_7] = 39;
  t[VK_SHIFT] = kKeyCodeShift;
  t[VK_CONTROL] = kKeyCodeControl;
  t[VK_MENU] = kKeyCodeAlt;
  t[VK_CAPITAL] = kKeyCodeCapsLock;
  t[VK_LWIN] = kKeyCodeCommand;
  t[VK_RWIN] = kKeyCodeCommand;
  t[VK_APPS] = kKeyCodeCommand;
  t[VK_NUMLOCK] = kKeyCodeNumLock;
  return t;
}

constexpr Table BuildCharacterTable() {
  Table t{};  // 0 = no character; only the first 128 entries are ever set
  for (int i = 0; i < 26; ++i) t[kLetterCodes[i]] = static_cast<UInt8>('a' + i);
  for (int i = 0; i < 10; ++i) t[kDigitCodes[i]] = static_cast<UInt8>('0' + i);
  for (int i = 0; i < 10; ++i) t[kKeypadCodes[i]] = static_cast<UInt8>('0' + i);
  const struct {
    UInt8 code;
    UInt8 character;
  } others[] = {
      {24, '='},  {27, '-'},  {30, ']'},  {33, '['},  {39, '\''}, {41, ';'},  {42, '\\'}, {43, ','},
      {44, '/'},  {47, '.'},  {50, '`'},  {36, 13},   {48, 9},    {49, 32},   {51, 8},    {52, 3},
      {76, 3},    {53, 27},   {71, 27},   {10, 164},  {65, '.'},  {67, '*'},  {69, '+'},  {75, '/'},
      {78, '-'},  {81, '='},  {66, 29},   {70, 28},   {72, 31},   {77, 30},   {114, 5},   {115, 1},
      {116, 11},  {117, 127}, {119, 4},   {121, 12},  {123, 28},  {124, 29},  {126, 30},  {125, 31},
  };
  for (const auto& entry : others) t[entry.code] = entry.character;
  for (int code = 96; code <= 113; ++code) t[code] = 16;
  t[118] = 16;
  t[120] = 16;
  t[122] = 16;
  return t;
}

constexpr Table BuildScanCodeTable() {
  Table codes = Filled(kNoKeyCode);  // scan code -> key code first
  const UInt8 row1[] = {18, 19, 20, 21, 23, 22, 26, 28, 25, 29};        // 02..0B
  const UInt8 row2[] = {12, 13, 14, 15, 17, 16, 32, 34, 31, 35, 33, 30};  // 10..1B
  const UInt8 row3[] = {0, 1, 2, 3, 5, 4, 38, 40, 37, 41, 39};           // 1E..28
  const UInt8 row4[] = {6, 7, 8, 9, 11, 45, 46, 43, 47, 44};             // 2C..35
  const UInt8 fkeys[] = {122, 120, 99, 118, 96, 97, 98, 100, 101, 109};  // 3B..44
  const UInt8 keypad[] = {89, 91, 92, 78, 86, 87, 88, 69, 83, 84, 85, 82, 65};  // 47..53
  for (int i = 0; i < 10; ++i) codes[0x02 + i] = row1[i];
  for (int i = 0; i < 12; ++i) codes[0x10 + i] = row2[i];
  for (int i = 0; i < 11; ++i) codes[0x1E + i] = row3[i];
  for (int i = 0; i < 10; ++i) codes[0x2C + i] = row4[i];
  for (int i = 0; i < 10; ++i) codes[0x3B + i] = fkeys[i];
  for (int i = 0; i < 13; ++i) codes[0x47 + i] = keypad[i];
  const struct {
    UInt8 scan;
    UInt8 code;
  } others[] = {
      {0x01, 53}, {0x0C, 27}, {0x0D, 24},  {0x0E, 51},  {0x0F, 48},  {0x1C, 36},  {0x1D, 59},
      {0x29, 50}, {0x2A, 56}, {0x2B, 42},  {0x36, 56},  {0x37, 67},  {0x38, 58},  {0x39, 49},
      {0x3A, 57}, {0x45, 71}, {0x57, 103}, {0x58, 111}, {0x64, 105}, {0x65, 107}, {0x66, 113},
      {0x8D, 81}, {0x9C, 76}, {0x9D, 59},  {0xB5, 75},  {0xB8, 58},  {0xC7, 115}, {0xC8, 126},
      {0xC9, 116}, {0xCB, 123}, {0xCD, 124}, {0xCF, 119}, {0xD0, 125}, {0xD1, 121}, {0xD3, 117},
      {0xDB, 55}, {0xDC, 55},
  };
  for (const auto& entry : others) codes[entry.scan] = entry.code;
  Table bits = Filled(kNoKeyCode);
  for (int scan = 0; scan < 256; ++scan)
    if (codes[scan] != kNoKeyCode) bits[scan] = KeyCodeBitIndex(codes[scan]);
  return bits;
}

// Every key code the engine names, the modifier codes 55..59 among them.
constexpr bool IsNamedKeyCode(int k) {
  if (k <= 51) return k != 10;
  if (k == 53 || (k >= 55 && k <= 59)) return true;
  switch (k) {
    case 65: case 67: case 69: case 71: case 75: case 76: case 78: case 81: case 91: case 92:
    case 96: case 97: case 98: case 99: case 100: case 101: case 103: case 105: case 107:
    case 109: case 111: case 113:
      return true;
    default:
      return (k >= 82 && k <= 89) || (k >= 114 && k <= 126);
  }
}

constexpr Table BuildKeyBitTable() {
  Table t = Filled(kNoKeyCode);
  for (int k = 0; k < 128; ++k)
    if (IsNamedKeyCode(k) && !(k >= 55 && k <= 59)) t[k] = KeyCodeBitIndex(static_cast<UInt8>(k));
  // The modifier keys are tested only through the engine codes.
  for (int i = 0; i < 5; ++i) t[kKeyCodeCommand + i] = KeyCodeBitIndex(static_cast<UInt8>(55 + i));
  t[192] = KeyCodeBitIndex(127);
  return t;
}

constexpr Table BuildBitToKeyTable(const Table& keyBits) {
  Table t = Filled(kNoKeyCode);
  for (int k = 0; k < 256; ++k)
    if (keyBits[k] != kNoKeyCode) t[keyBits[k]] = static_cast<UInt8>(k);
  return t;
}

constexpr Table kVirtualKeyTable = BuildVirtualKeyTable();
constexpr Table kCharacterTable = BuildCharacterTable();
constexpr Table kScanCodeTable = BuildScanCodeTable();
constexpr Table kKeyBitTable = BuildKeyBitTable();
constexpr Table kBitToKeyTable = BuildBitToKeyTable(kKeyBitTable);

// A third scan code for one bit fails here, at compile time.
constexpr std::array<ScanCodesOfBit, 128> BuildScanCodesOfBits(const Table& scanBits) {
  std::array<ScanCodesOfBit, 128> t{};
  for (int scan = 0; scan < 256; ++scan) {
    if (scanBits[scan] == kNoKeyCode) continue;
    ScanCodesOfBit& entry = t[scanBits[scan]];
    if (entry.count >= 2) throw "more scan codes for one key-map bit than a key test reads";
    entry.codes[entry.count++] = static_cast<UInt8>(scan);
  }
  return t;
}

constexpr std::array<ScanCodesOfBit, 128> kScanCodesOfBits = BuildScanCodesOfBits(kScanCodeTable);

static_assert(kKeyBitTable[56] == kNoKeyCode && kKeyBitTable[137] == KeyCodeBitIndex(56));
static_assert(kBitToKeyTable[KeyCodeBitIndex(56)] == 137);
static_assert(kKeyBitTable[54] == kNoKeyCode && kKeyBitTable[144] == kNoKeyCode);

}  // namespace

UInt8 VirtualKeyToKeyCode(UInt8 virtualKey) { return kVirtualKeyTable[virtualKey]; }
UInt8 KeyCodeToCharacter(UInt8 keyCode) { return keyCode < 128 ? kCharacterTable[keyCode] : 0; }
UInt8 ScanCodeToKeyBit(UInt8 scanCode) { return kScanCodeTable[scanCode]; }
UInt8 KeyCodeToKeyBit(UInt8 keyCode) { return kKeyBitTable[keyCode]; }
UInt8 KeyBitToKeyCode(UInt8 bit) { return kBitToKeyTable[bit]; }

const ScanCodesOfBit& KeyBitScanCodes(UInt8 bit) {
  static constexpr ScanCodesOfBit kNone{};
  return bit < 128 ? kScanCodesOfBits[bit] : kNone;
}
