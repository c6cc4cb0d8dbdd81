#include "PackBits.h"

#include <algorithm>
#include <cstring>

#include "ResultCodes.h"
#include "Sys.h"

namespace {

// Flags hold at most 128 bytes: a literal group of 128 is flag 127, a run of
// 128 is flag -127.
constexpr SInt32 kMaxGroup = 128;

void WarnBadSize(const char* words, const char* quoted) {
  ShowMessageBox(words, quoted);
}

UInt8* FlushLiterals(UInt8* d, const UInt8* from, SInt32 count) {
  if (count > 0) {
    *d++ = static_cast<UInt8>(count - 1);
    std::memcpy(d, from, static_cast<size_t>(count));
    d += count;
  }
  return d;
}

// Without bounded the caller vouches for the source and srcEnd is not used.
SInt32 Unpack(const UInt8** src, bool bounded, const UInt8* srcEnd, UInt8** dst, SInt32 dstBytes) {
  const UInt8* s = *src;
  UInt8* d = *dst;
  SInt32 written = 0;
  SInt32 result = 0;
  while (written < dstBytes) {
    if (bounded && s >= srcEnd) {
      result = kErrFailed;
      break;
    }
    const SInt8 flag = static_cast<SInt8>(*s++);
    if (flag == -128) continue;
    const SInt32 left = dstBytes - written;
    if (flag >= 0) {
      const SInt32 count = flag + 1;
      if (bounded && srcEnd - s < count) {
        result = kErrFailed;
        break;
      }
      const SInt32 copy = std::min(count, left);
      std::memcpy(d, s, static_cast<size_t>(copy));
      s += count;
      d += copy;
      written += copy;
    } else {
      if (bounded && s >= srcEnd) {
        result = kErrFailed;
        break;
      }
      const SInt32 copy = std::min(1 - flag, left);
      std::memset(d, *s++, static_cast<size_t>(copy));
      d += copy;
      written += copy;
    }
  }
  *src = s;
  *dst = d;
  return result;
}

}  // namespace

void PackBits(UInt8** src, UInt8** dst, SInt16 srcBytes) {
  if (srcBytes > 127) WarnBadSize("Bad size passed to PackBits()", "\"Bad size passed to PackBits()\"");
  const SInt32 n = std::max<SInt32>(srcBytes, 0);
  const UInt8* s = *src;
  UInt8* d = *dst;
  SInt32 i = 0;
  SInt32 literals = 0;  // the bytes just before i
  while (i < n) {
    SInt32 run = 1;
    while (i + run < n && run < kMaxGroup && s[i + run] == s[i]) ++run;
    if (run >= 3) {
      d = FlushLiterals(d, s + i - literals, literals);
      literals = 0;
      *d++ = static_cast<UInt8>(1 - run);
      *d++ = s[i];
      i += run;
      continue;
    }
    for (SInt32 k = 0; k < run; ++k) {
      if (literals == kMaxGroup) {
        d = FlushLiterals(d, s + i - literals, literals);
        literals = 0;
      }
      ++literals;
      ++i;
    }
  }
  d = FlushLiterals(d, s + i - literals, literals);
  *src += n;
  *dst = d;
}

void UnpackBits(UInt8** src, UInt8** dst, SInt16 dstBytes) {
  if (dstBytes > 127) WarnBadSize("Bad size passed to UnpackBits()", "\"Bad size passed to UnpackBits()\"");
  const UInt8* s = *src;
  Unpack(&s, false, nullptr, dst, std::max<SInt32>(dstBytes, 0));
  *src = const_cast<UInt8*>(s);
}

SInt32 UnpackBitsBounded(const UInt8** src, const UInt8* srcEnd, UInt8** dst, SInt32 dstBytes) {
  return Unpack(src, true, srcEnd, dst, std::max<SInt32>(dstBytes, 0));
}
