// The run-time-flag extended copy: where it agrees with COPY16X, the four
// places it deliberately does not, and calls it must refuse.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "BlitCases.h"
#include "BlitExtended.h"
#include "BlitTestMaps.h"
#include "TestSupport.h"

namespace {

using blittest::MakeMap;
using blittest::On;

constexpr UInt16 kKey = 0x7FFF;

TEST(AllFlagsX, TableHoldsOneFunction) {
  for (auto entry : COPY16XAllFlagsVariants) EXPECT_EQ(entry, &COPY16XAllFlagsBlit);
}

// A 4 x 4 direct call with every pointer on a buffer; the destination has a
// pixel of guard after it.
struct AllFlagsCall {
  std::vector<UInt16> src = std::vector<UInt16>(16);
  std::vector<UInt16> dst = std::vector<UInt16>(17);
  std::vector<UInt16> mask = std::vector<UInt16>(16);
  std::vector<UInt8> alpha = std::vector<UInt8>(16, 16);
  BlitVariantArgsX a;
  AllFlagsCall() {
    for (int i = 0; i < 16; ++i) {
      src[i] = static_cast<UInt16>(0x0421 * (i + 1));
      dst[i] = static_cast<UInt16>(0x1000 + i);
      mask[i] = i % 2 ? kKey : 0;
    }
    dst[16] = 0xBEEF;
    a.srcStart = src.data();
    a.dstStart = dst.data();
    a.srcPixelStep = 1;
    a.srcRowPixels = 4;
    a.dstRowPixels = 4;
    a.maskRowPixels = 4;
    a.width = 4;
    a.dstEnd = dst.data() + 16;
  }
};

// Mode 3 tests lookup[source]; a direct call without a table must not read
// through the null pointer, with or without a colour, mask or alpha map.
TEST(AllFlagsX, MissingTableInModes3And19DrawsNothing) {
  for (BlitMode mode : {3u, 19u}) {
    for (UInt32 color : {kBlitNoColor, UInt32{0x1234}}) {
      for (bool withMask : {false, true}) {
        for (bool withAlpha : {false, true}) {
          AllFlagsCall call;
          const std::vector<UInt16> before = call.dst;
          call.a.mode = mode;
          call.a.color = color;
          call.a.transLevel = 16;
          if (withMask) call.a.maskStart = call.mask.data();
          if (withAlpha) {
            call.a.alphaStart = call.alpha.data();
            call.a.alphaStep = 1;
            call.a.alphaRowBytes = 4;
          }
          COPY16XAllFlagsBlit(call.a);
          EXPECT_EQ(call.dst, before) << "mode " << mode << " colour " << color << " mask " << withMask << " alpha "
                                      << withAlpha;
        }
      }
    }
  }
}

}  // namespace
