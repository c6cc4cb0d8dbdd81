// How the extended 16-bit kernels walk the alpha map beside the source, and
// the edges of their walks, through the dispatchers and by direct calls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "BlitCasesX.h"
#include "BlitSetup.h"
#include "BlitTestMaps.h"
#include "TestSupport.h"

namespace {

using namespace blitref;
using blittest::On;

// A checkerboard alpha map of 0 and 32 lets each destination pixel show
// whether it read the right alpha byte: 32 writes the sampled source pixel,
// 0 leaves the old value with bit 15 cleared. The alpha map is wider than the
// source (other row bytes) and is sometimes read through an alpha rect.
TEST(ExtendedWalk, CheckerboardAlphaPicksThePixelsTheSourceSamples) {
  struct Size {
    int sw, sh, dw, dh;  // source; destination on the destination's axes
  } sizes[] = {{7, 5, 7, 5}, {7, 5, 14, 10}, {8, 6, 4, 3}, {7, 5, 11, 3}, {5, 6, 3, 9}};
  std::mt19937 rng(2061);
  int kept = 0, copied = 0;
  for (bool scale : {false, true}) {
    for (const Size& z : sizes) {
      if (!scale && (z.dw != z.sw || z.dh != z.sh)) continue;
      for (int orientation = 0; orientation < 16; ++orientation) {
        for (bool withRect : {false, true}) {
          const int rotation = orientation & 3;
          const bool odd = rotation & 1;
          auto src = TestMap::Random(16, z.sw + 2, z.sh + 1, rng, PixelMix{0.3, 0x7FFF});
          auto dst = TestMap::Random(16, z.dw + 3, z.dh + 2, rng, PixelMix{0.3, 0});
          auto alpha = TestMap::Random(8, z.sw + 9, z.sh + 4, rng, PixelMix{0, 0});
          for (int y = 0; y < alpha->height(); ++y) {
            for (int x = 0; x < alpha->width(); ++x) alpha->Set(x, y, (x + y) % 2 ? 32 : 0);
          }
          BlitX b;
          b.base.family = scale ? Family::SCALE16 : Family::COPY16;
          b.base.src = src.get();
          b.base.dst = dst.get();
          b.base.srcRect = On(*src, 1, 1, 1 + z.sw, 1 + z.sh);
          // The destination's sides follow the orientation.
          const int dw = odd ? z.dh : z.dw, dh = odd ? z.dw : z.dh;
          b.base.dstRect = On(*dst, 2, 1, 2 + dw, 1 + dh);
          if (orientation % 3 == 0) b.base.clip = On(*dst, 3, 0, 2 + dw, dh);
          b.base.rotation = static_cast<SInt8>(rotation);
          b.base.flipH = (orientation >> 2) & 1;
          b.base.flipV = (orientation >> 3) & 1;
          b.alpha = alpha.get();
          int dx = 0, dy = 0;  // alpha point - source point
          if (withRect) {
            dx = 5;
            dy = 2;
            // The alpha rect is the destination rect moved by (dx, dy), so
            // source (1, 1) reads alpha (6, 3).
            b.alphaRect = On(*alpha, 2 + dx, 1 + dy, 2 + dx + dw, 1 + dy + dh);
          }
          auto want = dst->Clone();
          WorldX world(b);
          const RequestX q = world.request(b);
          const auto clipped = ReferenceClip(q.base);
          ASSERT_TRUE(clipped);
          const SourceMap sources(q.base);
          for (int y = clipped->top; y < clipped->bottom; ++y) {
            for (int x = clipped->left; x < clipped->right; ++x) {
              int sx = 0, sy = 0;
              ASSERT_TRUE(sources.SourceOf(x, y, &sx, &sy));
              if (alpha->Get(sx + dx, sy + dy) == 32) {
                want->Set(x, y, src->Get(sx, sy));
                ++copied;
              } else {
                want->Set(x, y, dst->Get(x, y) & 0x7FFF);
                ++kept;
              }
            }
          }
          RunDispatcherX(b);
          ASSERT_EQ(dst->Diff(*want), "") << b.Describe();
        }
      }
    }
  }
  EXPECT_GT(kept, 100);
  EXPECT_GT(copied, 100);
}

// One source row of 8 pixels (1..8) read by a shrinking row of 4 with step
// entries of 2; alpha 32 only under the pixels a right walk reads, so a walk
// that moves the alpha byte by anything but entry x step leaves pixels 0.
TEST(ExtendedWalk, ShrinkEntriesMoveTheAlphaByTheirCount) {
  struct Case {
    const char* what;
    int start;
    SInt32 step;  // source and alpha alike: the row is both
    std::vector<UInt16> want;
  } cases[] = {
      {"forward", 0, 1, {1, 3, 5, 7}},
      {"backward", 7, -1, {8, 6, 4, 2}},
  };
  for (unsigned slot : {16u, 17u, 48u, 80u, 88u}) {
    for (const Case& c : cases) {
      std::vector<UInt16> src = {1, 2, 3, 4, 5, 6, 7, 8};
      std::vector<UInt8> alpha(8, 0);
      for (int i = 0; i < 4; ++i) alpha[static_cast<size_t>(c.start + 2 * c.step * i)] = 32;
      std::vector<UInt16> dst(5, 0), mask(4, 0x7FFF);
      std::vector<UInt16> table(65536);
      for (size_t i = 0; i < table.size(); ++i) table[i] = static_cast<UInt16>(i);
      ASSERT_NE(EnsureScaleStepBuffer(4), nullptr);
      for (int i = 0; i < 4; ++i) ScaleStepBuffer[i] = 2;
      BlitVariantArgsX a;
      a.srcStart = src.data() + c.start;
      a.srcPixelStep = c.step;
      a.alphaStart = alpha.data() + c.start;
      a.alphaStep = c.step;
      a.maskStart = mask.data();
      a.lookupTable = table.data();
      a.dstStart = dst.data();
      a.dstEnd = dst.data() + 4;
      a.width = 4;
      a.dstRowPixels = 4;
      a.shrinkH = 1;
      a.srcExtent = a.dstExtent = 1;
      SCALE16XVariants[slot](a);
      EXPECT_EQ(std::vector<UInt16>(dst.begin(), dst.begin() + 4), c.want) << c.what << " slot " << slot;
      EXPECT_EQ(dst[4], 0);
    }
  }
}

// Rows of 4 drawn from a 10 x 8 source (pitch 10) beside a 10 x 8 alpha map
// of pitch 13, every alpha byte a different weight: each row's source and
// alpha starts must move together, by row or by one, as the row walk says.
TEST(ExtendedWalk, RowMovesCarryTheAlphaRowStart) {
  constexpr int kPitch = 10, kAlphaPitch = 13;
  struct Case {
    const char* what;
    UInt32 rowWalk;
    SInt32 srcExtent;  // against a limit of 4
    int row0, col0;
    int dRow, dCol;  // move per destination row
  } cases[] = {
      {"down a row", 0, 4, 0, 0, 1, 0},      {"right a pixel", 1, 4, 2, 0, 0, 1},
      {"up a row", 2, 4, 7, 1, -1, 0},        {"left a pixel", 3, 4, 2, 5, 0, -1},
      {"unknown walk stays", 7, 4, 3, 2, 0, 0}, {"a step of 0 stays", 0, 0, 3, 2, 0, 0},
  };
  std::vector<UInt16> src(kPitch * 8);
  std::vector<UInt8> alpha(kAlphaPitch * 8);
  for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<UInt16>(0x7C00 | (i & 0x3FF));
  for (size_t i = 0; i < alpha.size(); ++i) alpha[i] = static_cast<UInt8>(i % 29 + 2);
  std::vector<UInt16> mask(16, 0x7FFF);
  for (unsigned slot : {16u, 17u, 18u, 48u, 80u}) {
    for (bool shrink : {false, true}) {
      for (const Case& c : cases) {
        std::vector<UInt16> dst(17, 0);
        ASSERT_NE(EnsureScaleStepBuffer(4), nullptr);
        for (int i = 0; i < 4; ++i) ScaleStepBuffer[i] = 1;
        BlitVariantArgsX a;
        a.srcStart = src.data() + c.row0 * kPitch + c.col0;
        a.srcPixelStep = 1;
        a.srcRowPixels = kPitch;
        a.alphaStart = alpha.data() + c.row0 * kAlphaPitch + c.col0;
        a.alphaStep = 1;
        a.alphaRowBytes = kAlphaPitch;
        a.alphaRowSkip = 1000;  // read by no scale walk
        a.maskStart = mask.data();
        a.maskRowPixels = 4;
        a.dstStart = dst.data();
        a.dstEnd = dst.data() + 16;
        a.dstRowPixels = 4;
        a.width = 4;
        a.shrinkH = shrink;
        a.srcExtent = c.srcExtent;
        a.dstExtent = 4;
        a.rowWalk = c.rowWalk;
        SCALE16XVariants[slot](a);
        std::vector<UInt16> want;
        for (int y = 0; y < 4; ++y) {
          for (int i = 0; i < 4; ++i) {
            const int row = c.row0 + y * c.dRow, col = c.col0 + y * c.dCol + i;
            want.push_back(BlendRef(src[static_cast<size_t>(row * kPitch + col)], 0,
                                    alpha[static_cast<size_t>(row * kAlphaPitch + col)]));
          }
        }
        EXPECT_EQ(std::vector<UInt16>(dst.begin(), dst.begin() + 16), want)
            << c.what << " slot " << slot << (shrink ? " shrinking" : " enlarging");
        EXPECT_EQ(dst[16], 0);
      }
    }
  }
}

// A start at or past the end draws nothing and reads nothing: every source,
// mask, alpha and table pointer is nil, so a read ends the child.
TEST(ExtendedWalk, StartAtOrPastTheEndReadsNothing) {
  const auto result = testsupport::RunInChild([] {
    std::vector<UInt16> dst(8, 0x1234);
    ASSERT_NE(EnsureScaleStepBuffer(4), nullptr);
    for (const BlitVariantTableX* table : {&COPY16XVariants, &SCALE16XVariants}) {
      for (unsigned slot = 0; slot < 128; ++slot) {
        if (IsStubSlotX(slot)) continue;
        for (BlitMode mode : {0u, 1u, 2u, 3u, 16u, 19u}) {
          for (int past : {0, 1, 4}) {
            BlitVariantArgsX a;
            a.mode = mode;
            a.dstStart = dst.data() + 4;
            a.dstEnd = dst.data() + 4 - past;
            a.width = 4;
            a.dstRowPixels = 4;
            a.srcPixelStep = 1;
            a.alphaStep = 1;
            a.transLevel = 16;
            a.brightLevel = 16;
            a.redLevel = 8;
            a.color = 0x0421;
            (*table)[slot](a);
          }
        }
      }
    }
    if (dst != std::vector<UInt16>(8, 0x1234)) std::exit(3);
  });
  EXPECT_TRUE(result.exited) << "signal " << result.signal << "\n" << result.stderrText;
  EXPECT_EQ(result.exitStatus, 0) << result.stderrText;
}

// A clip one pixel wide reads one step entry per row, from the first entry
// again on every row: the rest of the buffer holds junk.
TEST(ExtendedWalk, OnePixelWideClipReadsOneEntryPerRow) {
  struct Size {
    int sw, sh, dw, dh;
  } sizes[] = {{12, 9, 6, 5}, {5, 4, 12, 9}, {7, 6, 11, 4}, {9, 9, 9, 9}};
  std::mt19937 rng(2071);
  testsupport::RecordingMessageBox boxes;
  for (const Size& z : sizes) {
    for (int orientation : {0, 1, 3, 4, 6, 13}) {
      for (bool withAlpha : {false, true}) {
        const int rotation = orientation & 3;
        const bool odd = rotation & 1;
        const int dw = odd ? z.dh : z.dw, dh = odd ? z.dw : z.dh;
        for (int column : {0, dw / 2, dw - 1}) {
          auto src = TestMap::Random(16, z.sw, z.sh, rng, PixelMix{0.3, 0});
          auto dst = TestMap::Random(16, dw + 2, dh + 2, rng, PixelMix{0.3, 0});
          auto alpha = TestMap::Random(8, z.sw, z.sh, rng, PixelMix{0, 0});
          for (int y = 0; y < z.sh; ++y) {
            for (int x = 0; x < z.sw; ++x) alpha->Set(x, y, RandomAlpha(rng));
          }
          BlitX b;
          b.base.family = Family::SCALE16;
          b.base.src = src.get();
          b.base.dst = dst.get();
          b.base.srcRect = On(*src, 0, 0, z.sw, z.sh);
          b.base.dstRect = On(*dst, 1, 1, 1 + dw, 1 + dh);
          b.base.clip = On(*dst, 1 + column, 0, 2 + column, dh + 2);
          b.base.rotation = static_cast<SInt8>(rotation);
          b.base.flipH = (orientation >> 2) & 1;
          b.base.flipV = (orientation >> 3) & 1;
          if (withAlpha) b.alpha = alpha.get();
          b.tint = BlitTint{32, 32, 32, 20};
          ASSERT_NE(EnsureScaleStepBuffer(1024), nullptr);
          for (int i = 0; i < 1024; ++i) ScaleStepBuffer[i] = 0x40 + static_cast<UInt32>(i);
          WorldX world(b);
          RunDispatcherX(b);
          world.Dispatch(b);
          ASSERT_EQ(world.Diff(b), "") << "column " << column << ": " << b.Describe();
        }
      }
    }
  }
  EXPECT_TRUE(boxes.boxes().empty());
}

// Over one mask, mode 0 and mode 16 together write every pixel of the
// clipped rectangle exactly once and nothing else. Every destination pixel
// starts with bit 15 set and every value drawn has it clear, so a write shows.
TEST(ExtendedWalk, Modes0And16SplitTheClippedRectangle) {
  testsupport::RecordingMessageBox boxes;
  uint32_t seed = 20700000;
  for (bool scale : {false, true}) {
    for (unsigned slot = 1; slot < 128; slot += 2) {
      if (IsStubSlotX(slot)) continue;
      int split = 0;
      for (int k = 0; k < 24; ++k, ++seed) {
        std::mt19937 rng(seed);
        RandomCaseX c = MakeCaseX(scale, rng, WishX{slot}, 0);
        BlitX& b = c.blit;
        TestMap& dst = *b.base.dst;
        // A copy onto itself would read back what it wrote.
        if (b.base.src == &dst) continue;
        for (int y = 0; y < dst.height(); ++y) {
          for (int x = 0; x < dst.width(); ++x) dst.Set(x, y, dst.Get(x, y) | 0x8000);
        }
        TestMap& src = *b.base.src;
        for (int y = 0; y < src.height(); ++y) {
          for (int x = 0; x < src.width(); ++x) src.Set(x, y, src.Get(x, y) & 0x7FFF);
        }
        if (b.base.color != kNoColor) b.base.color &= 0xFFFF7FFF;
        if (b.base.lookup) {
          static const std::vector<UInt16> clear = [] {
            std::vector<UInt16> t(65536);
            for (size_t i = 0; i < t.size(); ++i) t[i] = static_cast<UInt16>((i * 40503u) & 0x7FFF);
            return t;
          }();
          b.base.lookup = clear.data();
        }
        const auto setup = RealSetupX(b);
        if (!setup) continue;
        const auto clipped = ReferenceClip(WorldX(b).request(b).base);
        ASSERT_TRUE(clipped);
        auto original = dst.Clone();
        auto inverted = dst.Clone();
        BlitX bi = b;
        bi.base.dst = inverted.get();
        bi.base.mode = 16;
        RunDispatcherX(b);
        RunDispatcherX(bi);
        // Outside the clipped rectangle (guards included) nothing changed.
        auto onlyInside = original->Clone();
        auto onlyInsideInverted = original->Clone();
        for (int y = clipped->top; y < clipped->bottom; ++y) {
          for (int x = clipped->left; x < clipped->right; ++x) {
            const bool plainWrote = (dst.Get(x, y) & 0x8000) == 0;
            const bool invertedWrote = (inverted->Get(x, y) & 0x8000) == 0;
            ASSERT_NE(plainWrote, invertedWrote)
                << "seed " << seed << " slot " << slot << " at " << x << "," << y << ": " << b.Describe();
            onlyInside->Set(x, y, dst.Get(x, y));
            onlyInsideInverted->Set(x, y, inverted->Get(x, y));
          }
        }
        ASSERT_EQ(dst.Diff(*onlyInside), "") << "seed " << seed << ": " << b.Describe();
        ASSERT_EQ(inverted->Diff(*onlyInsideInverted), "") << "seed " << seed << ": " << b.Describe();
        ++split;
      }
      EXPECT_GT(split, 2) << "slot " << slot;
    }
  }
  EXPECT_TRUE(boxes.boxes().empty());
}

// An alpha map that is the source pixmap itself is read byte by byte over
// the cut source rectangle, in step with the source: halving under a flip or
// a quarter turn, doubling, and at equal sizes the same as COPY16X. Guard
// bands on every map show any read or write outside them.
TEST(ExtendedWalk, SourceAsItsOwnAlphaMapMatchesTheReference) {
  struct Case {
    const char* what;
    int sw, sh, dw, dh;  // destination sides on the destination's axes
    UInt8 flipH;
    SInt8 rotation;
  } cases[] = {
      {"half, flipped", 16, 12, 8, 6, 1, 0},     {"half, rotation 1", 16, 12, 6, 8, 0, 1},
      {"half, rotation 3", 16, 12, 6, 8, 0, 3},  {"half, rotation 1, flipped", 15, 11, 5, 7, 1, 1},
      {"double", 6, 5, 12, 10, 0, 0},            {"double, rotation 1", 6, 5, 10, 12, 0, 1},
      {"double, rotation 3, flipped", 6, 5, 10, 12, 1, 3},
      {"equal, flipped", 9, 7, 9, 7, 1, 0},      {"equal, rotation 1", 9, 7, 7, 9, 0, 1},
      {"equal, rotation 3", 9, 7, 7, 9, 0, 3},
  };
  std::mt19937 rng(2081);
  testsupport::RecordingMessageBox boxes;
  for (const Case& c : cases) {
    for (int k = 0; k < 8; ++k) {
      auto src = TestMap::Random(16, c.sw + 3, c.sh + 2, rng, PixelMix{0.3, 0});
      auto dst = TestMap::Random(16, c.dw + 4, c.dh + 3, rng, PixelMix{0.3, 0});
      auto mask = TestMap::Random(16, c.dw + 4, c.dh + 3, rng, PixelMix{0.5, 0});
      BlitX b;
      b.base.family = Family::SCALE16;
      b.base.src = src.get();
      b.base.dst = dst.get();
      b.base.srcRect = On(*src, 2, 1, 2 + c.sw, 1 + c.sh);
      b.base.dstRect = On(*dst, 1, 2, 1 + c.dw, 2 + c.dh);
      if (k % 2) b.base.clip = On(*dst, 2, 0, c.dw, c.dh + 1);
      if (k % 4 == 3) b.base.mask = mask.get();
      b.base.mode = k % 4 == 1 ? 1 : k % 4 == 3 ? 16 : 0;
      b.base.flipH = c.flipH;
      b.base.rotation = c.rotation;
      b.alpha = src.get();
      const UInt8 u = static_cast<UInt8>(rng() % 65);
      b.tint = BlitTint{u, static_cast<UInt8>(k % 3 ? u : rng() % 65), u, static_cast<SInt8>(rng() % 40)};
      const bool equal = c.sw == (c.rotation % 2 ? c.dh : c.dw);
      auto copyDst = dst->Clone();
      WorldX world(b);
      RunDispatcherX(b);
      world.Dispatch(b);
      ASSERT_EQ(world.Diff(b), "") << c.what << ": " << b.Describe();
      if (equal) {
        BlitX copy = b;
        copy.base.family = Family::COPY16;
        copy.base.dst = copyDst.get();
        RunDispatcherX(copy);
        EXPECT_EQ(copyDst->Diff(*dst), "") << c.what << ": " << b.Describe();
      }
    }
  }
  EXPECT_TRUE(boxes.boxes().empty());
}

}  // namespace
