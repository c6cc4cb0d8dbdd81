// The PackBits run-length codec (as TIFF uses it), one row at a time.
#pragma once

#include "MacTypes.h"

// Both advance the caller's pointers past what they consumed and produced.
// Rows over 127 bytes show a box and are still coded correctly.
void PackBits(UInt8** src, UInt8** dst, SInt16 srcBytes);
void UnpackBits(UInt8** src, UInt8** dst, SInt16 dstBytes);

// UnpackBits for untrusted input: never reads at or past srcEnd. Answers 0
// when dstBytes bytes were written, -1 when the source ran out first.
SInt32 UnpackBitsBounded(const UInt8** src, const UInt8* srcEnd, UInt8** dst, SInt32 dstBytes);
