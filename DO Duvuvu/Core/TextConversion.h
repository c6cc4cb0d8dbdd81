// Conversion between 8-bit text and UTF-16. The system's 8-bit encoding
// (encoding 0, the only one that converts) is Latin-1 here: byte b is U+00bb.
#pragma once

#include "MacTypes.h"

struct TextConverter {
  UInt32 base;      // 256
  UInt32 encoding;  // 0: the system's 8-bit encoding
  UInt32 unitSize;  // 4
};

// A length in UTF-16 units, then the units.
struct UniStr255 {
  UInt16 length;
  UInt16 unicode[255];
};

OSErr CreateTextToUnicodeConverter(UInt32 encoding, TextConverter** outConverter);
OSErr CreateUnicodeToTextConverter(UInt32 encoding, TextConverter** outConverter);
// A new converter copied from a 12-byte description.
OSErr CreateTextToUnicodeConverterFromInfo(const TextConverter* info, TextConverter** outConverter);
OSErr CreateUnicodeToTextConverterFromInfo(const TextConverter* info, TextConverter** outConverter);
OSErr DisposeTextToUnicodeConverter(TextConverter** converter);
OSErr DisposeUnicodeToTextConverter(TextConverter** converter);

// Converts at most `capacity` units of the length-prefixed text into the
// buffer; outLength gets the number of units written. A converter of another
// encoding writes nothing. Returns 0.
OSErr ConvertTextToUnicode(const TextConverter* converter, ConstStr255Param text, UInt32 capacity, UInt32* outLength,
                           UInt16* buffer);
// Converts byteLength bytes of UTF-16 into a length-prefixed string of at most
// 255 bytes; a character outside Latin-1 becomes the byte 0. A converter of
// another encoding writes nothing. Returns 0.
OSErr ConvertUnicodeToText(const TextConverter* converter, UInt32 byteLength, const UInt16* text, StringPtr outText);

OSErr PStrToUniStr255(ConstStr255Param text, UniStr255* outText);
OSErr UniStr255ToPStr(UniStr255 text, StringPtr outText);
