#include "TextConversion.h"

namespace {

TextConverter* NewConverter(UInt32 encoding) { return new TextConverter{256, encoding, 4}; }

bool IsHighSurrogate(UInt16 unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(UInt16 unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

OSErr CreateTextToUnicodeConverter(UInt32 encoding, TextConverter** outConverter) {
  *outConverter = NewConverter(encoding);
  return 0;
}

OSErr CreateUnicodeToTextConverter(UInt32 encoding, TextConverter** outConverter) {
  *outConverter = NewConverter(encoding);
  return 0;
}

OSErr CreateTextToUnicodeConverterFromInfo(const TextConverter* info, TextConverter** outConverter) {
  *outConverter = new TextConverter(*info);
  return 0;
}

OSErr CreateUnicodeToTextConverterFromInfo(const TextConverter* info, TextConverter** outConverter) {
  *outConverter = new TextConverter(*info);
  return 0;
}

OSErr DisposeTextToUnicodeConverter(TextConverter** converter) {
  delete *converter;
  return 0;
}

OSErr DisposeUnicodeToTextConverter(TextConverter** converter) {
  delete *converter;
  return 0;
}

OSErr ConvertTextToUnicode(const TextConverter* converter, ConstStr255Param text, UInt32 capacity, UInt32* outLength,
                           UInt16* buffer) {
  if (converter->encoding != 0) return 0;
  UInt32 count = text[0] < capacity ? text[0] : capacity;
  for (UInt32 i = 0; i < count; ++i) buffer[i] = text[1 + i];
  *outLength = count;
  return 0;
}

OSErr ConvertUnicodeToText(const TextConverter* converter, UInt32 byteLength, const UInt16* text, StringPtr outText) {
  if (converter->encoding != 0) return 0;
  UInt32 units = byteLength / 2;
  UInt32 length = 0;
  for (UInt32 i = 0; i < units && length < 255; ++i) {
    UInt16 unit = text[i];
    // A surrogate pair is one character, so it becomes one unmapped byte.
    if (IsHighSurrogate(unit) && i + 1 < units && IsLowSurrogate(text[i + 1])) ++i;
    outText[1 + length++] = unit <= 0xFF ? static_cast<UInt8>(unit) : 0;
  }
  outText[0] = static_cast<UInt8>(length);
  return 0;
}

OSErr PStrToUniStr255(ConstStr255Param text, UniStr255* outText) {
  TextConverter converter{256, 0, 4};
  UInt32 length = 0;
  OSErr result = ConvertTextToUnicode(&converter, text, 255, &length, outText->unicode);
  outText->length = static_cast<UInt16>(length);
  return result;
}

OSErr UniStr255ToPStr(UniStr255 text, StringPtr outText) {
  TextConverter converter{256, 0, 4};
  UInt32 units = text.length < 255 ? text.length : 255;
  return ConvertUnicodeToText(&converter, units * 2, text.unicode, outText);
}
