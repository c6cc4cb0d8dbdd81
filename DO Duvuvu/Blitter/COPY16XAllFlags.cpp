// The run-time-flag extended 16-bit copy: one kernel that tests every flag
// per pixel, and spreads, maps and blends every pixel it draws even where the
// flags make those steps identities. It is slower than the specialised table
// and differs from it on purpose (see BlitExtended.h).
#include "BlitKernelsX.h"

namespace {

using blitkernelx::kFieldMask;
using blitkernelx::kKey;

constexpr BlitVariantTableX MakeAllFlagsTableX() {
  BlitVariantTableX table{};
  for (auto& entry : table) entry = &COPY16XAllFlagsBlit;
  return table;
}

}  // namespace

void COPY16XAllFlagsBlit(const BlitVariantArgsX& a) {
  const UInt32 mode = a.mode;
  if (mode > 19 || (mode >= 4 && mode <= 15)) return;
  if (a.dstStart >= a.dstEnd) return;
  const UInt32 base = mode & 3;
  // Mode 3 tests lookup[source]; without a table there is nothing to test.
  if (base == 3 && !a.lookupTable) return;
  const bool inverted = (mode & 0x10) != 0;
  const bool color = a.color != kBlitNoColor;
  const blitkernelx::CallValues v = blitkernelx::ReadCall(a);

  UInt16* d = a.dstStart;
  const UInt16* s = a.srcStart;
  const UInt16* m = a.maskStart;
  const UInt8* alpha = a.alphaStart;
  const UInt32 width = a.width;
  while (d < a.dstEnd) {
    for (UInt32 i = 0; i < width; ++i) {
      const UInt16* source = s;
      const UInt8* weightByte = alpha;
      s += a.srcPixelStep;
      if (alpha) alpha += a.alphaStep;
      // Modes 16-19 without a mask draw as 0-3: the gate needs the mask.
      if (m && (m[i] == kKey) == inverted) continue;
      const UInt32 raw = *source;
      if ((base == 1 || base == 2) && raw == kKey) continue;
      if (base == 2 && d[i] == kKey) continue;
      UInt32 value = raw;
      if (v.lookup) {
        value = v.lookup[raw];
        if (base == 3 && value == kKey) continue;
      }
      const UInt32 spread = color ? v.colorSpread : blitkernelx::MapChannels<false>(value, v);
      const UInt32 weight = weightByte ? (static_cast<UInt32>(*weightByte) * v.trans) >> 5 : v.trans;
      const UInt32 dest = blitkernelx::SpreadPixel(d[i]);
      d[i] = blitkernelx::UnspreadPixel(((((spread - dest) * weight) >> 5) + dest) & kFieldMask);
    }
    d += a.dstRowPixels;
    s += a.srcRowSkip;
    if (m) m += a.maskRowPixels;
    if (alpha) alpha += a.alphaRowSkip;
  }
}

constexpr BlitVariantTableX COPY16XAllFlagsVariants = MakeAllFlagsTableX();
