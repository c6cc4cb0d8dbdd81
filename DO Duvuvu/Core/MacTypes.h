// The Toolbox-style scalar types, strings and records every engine folder shares.
#pragma once

#include <cstddef>
#include <cstdint>

typedef int8_t SInt8;
typedef uint8_t UInt8;
typedef int16_t SInt16;
typedef uint16_t UInt16;
typedef int32_t SInt32;
typedef uint32_t UInt32;
typedef int64_t SInt64;
typedef uint64_t UInt64;

typedef uint8_t Boolean;
typedef int16_t OSErr;
typedef int32_t OSStatus;
typedef uint32_t FourCharCode;
typedef FourCharCode OSType;

// Length-prefixed strings: a length byte, then the characters.
typedef unsigned char Str255[256];
typedef unsigned char Str63[64];
typedef unsigned char Str32[33];
typedef unsigned char Str31[32];
typedef unsigned char Str15[16];
typedef unsigned char* StringPtr;
typedef const unsigned char* ConstStringPtr;
typedef const unsigned char* ConstStr255Param;

typedef char* Ptr;
typedef Ptr* Handle;

constexpr OSErr noErr = 0;

struct Rect {
  SInt16 top;
  SInt16 left;
  SInt16 bottom;
  SInt16 right;
};

struct Point {
  SInt16 v;
  SInt16 h;
};

// 'abcd' packed big-end first, as the Toolbox writes four-character codes.
constexpr FourCharCode FOUR_CHAR_CODE(const char (&code)[5]) {
  return (static_cast<UInt32>(static_cast<UInt8>(code[0])) << 24) |
         (static_cast<UInt32>(static_cast<UInt8>(code[1])) << 16) |
         (static_cast<UInt32>(static_cast<UInt8>(code[2])) << 8) |
         static_cast<UInt32>(static_cast<UInt8>(code[3]));
}
