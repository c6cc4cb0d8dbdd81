// The extended kernels' fast paths (row copies, fills, unit-stride rows, the
// plain walks for whole-value slots, doubled rows, 16-bit recolouring) against the same kernels
// held to the pixel-by-pixel walk. Every case draws in one block of memory
// that holds source, destination, mask and alpha bytes, so rows that overlap
// can be laid out on purpose; the whole block must come out the same.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "BlitKernelsX.h"
#include "BlitSetup.h"

namespace {

using Kernel = void (*)(const BlitVariantArgsX&);

struct SlotKernels {
  unsigned slot;
  Kernel fastCopy, plainCopy, fastScale, plainScale;
};

template <unsigned kSlot>
constexpr SlotKernels KernelsOf() {
  return {kSlot, &blitkernelx::KernelX<false, kSlot, true>, &blitkernelx::KernelX<false, kSlot, false>,
          &blitkernelx::KernelX<true, kSlot, true>, &blitkernelx::KernelX<true, kSlot, false>};
}

// Whole values (0 plain, 1 mask, 4 colour, 5 colour and mask, 8 lookup), each
// weight (2 level, 16 alpha, 18 both), recolours with and without a blend, and
// the widest slots of each recolour.
const SlotKernels kSlots[] = {
    KernelsOf<0>(),  KernelsOf<1>(),  KernelsOf<2>(),  KernelsOf<4>(),  KernelsOf<5>(),
    KernelsOf<6>(),  KernelsOf<8>(),  KernelsOf<11>(), KernelsOf<16>(), KernelsOf<18>(),
    KernelsOf<22>(), KernelsOf<25>(), KernelsOf<32>(), KernelsOf<34>(), KernelsOf<48>(),
    KernelsOf<59>(), KernelsOf<64>(), KernelsOf<66>(), KernelsOf<72>(), KernelsOf<91>(),
};

constexpr BlitMode kModes[] = {0, 1, 2, 3, 16, 17, 18, 19};

constexpr int kWidth = 13;  // odd, so doubled rows have a tail
constexpr int kHeight = 6;
constexpr int kPitch = 64;  // pixels per row of the block
constexpr int kBlockPixels = kPitch * 40;

// Where each area starts in the block, in pixels (alpha: in bytes of the
// block) and how the source and alpha are walked.
struct Layout {
  const char* what;
  int source, dest, mask, alpha;
  SInt32 step;       // +1 or -1
  SInt32 alphaStep;  // +1 or -1
};

// Rows apart, then each way the fast paths must give way to the plain walk.
const Layout kLayouts[] = {
    {"apart", 0, 8 * kPitch, 16 * kPitch, 2 * 24 * kPitch, 1, 1},
    {"source step -1", 0, 8 * kPitch, 16 * kPitch, 2 * 24 * kPitch, -1, 1},
    {"alpha step -1", 0, 8 * kPitch, 16 * kPitch, 2 * 24 * kPitch, 1, -1},
    {"destination one pixel after the source", 8 * kPitch, 8 * kPitch + 1, 16 * kPitch,
     2 * 24 * kPitch, 1, 1},
    {"destination one pixel before the source", 8 * kPitch + 1, 8 * kPitch, 16 * kPitch,
     2 * 24 * kPitch, 1, 1},
    {"destination one row below the source", 7 * kPitch, 8 * kPitch, 16 * kPitch,
     2 * 24 * kPitch, 1, 1},
    {"source is the destination", 8 * kPitch, 8 * kPitch, 16 * kPitch, 2 * 24 * kPitch, 1, 1},
    {"mask over the destination", 0, 8 * kPitch, 8 * kPitch + 2, 2 * 24 * kPitch, 1, 1},
    {"alpha bytes over the destination", 0, 8 * kPitch, 16 * kPitch, 2 * 8 * kPitch + 3, 1, 1},
};

// How the rows are walked: same size, or scaled with counts 1, counts 2
// (enlarging), a count of 0 among them, moves of 2 (shrinking), or a row
// limit of 0.
enum class Walk { Copy, ScaleOnes, ScaleTwos, ScaleWithZero, ScaleHalves, ScaleNoLimit };

struct WalkCase {
  const char* what;
  Walk walk;
};

const WalkCase kWalks[] = {
    {"copy", Walk::Copy},
    {"scale, counts 1", Walk::ScaleOnes},
    {"scale, counts 2", Walk::ScaleTwos},
    {"scale, a count of 0", Walk::ScaleWithZero},
    {"scale, moves of 2", Walk::ScaleHalves},
    {"scale, row limit 0", Walk::ScaleNoLimit},
};

// Source pixels one row reads under a walk.
int SourceWidth(Walk walk) {
  switch (walk) {
    case Walk::ScaleTwos: return (kWidth + 1) / 2;
    case Walk::ScaleWithZero: return kWidth;
    case Walk::ScaleHalves: return 2 * kWidth;
    default: return kWidth;
  }
}

// The step table of a walk (pixel steps when shrinking without alpha).
std::vector<UInt32> StepsOf(Walk walk, SInt32 step, bool alpha) {
  std::vector<UInt32> steps(2 * kWidth + 2, 1);
  for (size_t i = 0; i < steps.size(); ++i) {
    switch (walk) {
      case Walk::ScaleTwos: steps[i] = 2; break;
      case Walk::ScaleWithZero: steps[i] = i == 2 ? 0 : 2; break;
      case Walk::ScaleHalves: steps[i] = static_cast<UInt32>(alpha ? 2 : 2 * step); break;
      default: break;
    }
  }
  return steps;
}

BlitVariantArgsX ArgsFor(UInt16* block, const Layout& l, Walk walk, BlitMode mode,
                         const UInt16* lookup, UInt32 color, std::mt19937& rng) {
  BlitVariantArgsX a;
  a.mode = mode;
  const int sourceWidth = SourceWidth(walk);
  // A walk at step -1 starts at the right end of the row.
  const int sourceStart = l.step < 0 ? l.source + sourceWidth - 1 : l.source;
  const int alphaStart = l.alphaStep < 0 ? l.alpha + sourceWidth - 1 : l.alpha;
  a.srcStart = block + sourceStart;
  a.dstStart = block + l.dest;
  a.maskStart = block + l.mask;
  a.srcPixelStep = l.step;
  a.srcRowPixels = kPitch;
  a.dstRowPixels = kPitch;
  a.maskRowPixels = kPitch;
  a.srcRowSkip = kPitch - l.step * kWidth;
  a.dstEnd = a.dstStart + kHeight * kPitch;
  a.width = kWidth;
  a.lookupTable = lookup;
  a.color = color;
  a.alphaStart = reinterpret_cast<const UInt8*>(block) + alphaStart;
  a.alphaStep = l.alphaStep;
  a.alphaRowBytes = 2 * kPitch;
  a.alphaRowSkip = 2 * kPitch - l.alphaStep * kWidth;
  if (walk != Walk::Copy) {
    // Two destination rows per source row, the first moving at once.
    a.srcExtent = kHeight / 2;
    a.dstExtent = walk == Walk::ScaleNoLimit ? 0 : kHeight;
    a.rowError = kHeight / 2;
    a.rowWalk = 0;
    a.shrinkH = walk == Walk::ScaleHalves ? 1 : 0;
  }
  // Levels that make every stage count, now and then one past what the
  // 16-bit products take (above 32 or 1024, negative); offsets 0 on some
  // calls so that the zero-offset walks run too.
  const auto level = [&rng]() -> SInt32 {
    switch (rng() % 8) {
      case 0: return 33 + static_cast<SInt32>(rng() % 1500);
      case 1: return -static_cast<SInt32>(rng() % 4) - 1;
      default: return static_cast<SInt32>(rng() % 33);
    }
  };
  const bool zeroOffsets = rng() % 2 == 0;
  const auto offset = [&rng, zeroOffsets]() -> SInt32 {
    if (zeroOffsets) return 0;
    return rng() % 8 == 0 ? static_cast<SInt32>(rng() % 70000) : static_cast<SInt32>(rng() % 1024);
  };
  a.redLevel = level();
  a.greenLevel = level();
  a.blueLevel = level();
  a.redOffset = offset();
  a.greenOffset = offset();
  a.blueOffset = offset();
  a.brightLevel = level();
  a.brightOffset = zeroOffsets ? 0 : (rng() % 16) * 0x00100401u;
  a.transLevel = static_cast<SInt32>(rng() % 41) - 4;
  return a;
}

// Pixels with about a third the key, some with bit 15; mask pixels half the key.
std::vector<UInt16> RandomBlock(std::mt19937& rng) {
  std::vector<UInt16> block(kBlockPixels);
  for (auto& p : block) {
    const unsigned pick = rng() % 10;
    p = pick < 3 ? 0x7FFF : pick == 3 ? static_cast<UInt16>(0x8000 | rng()) : static_cast<UInt16>(rng() & 0x7FFF);
  }
  return block;
}

std::vector<UInt16> RandomTable(std::mt19937& rng) {
  std::vector<UInt16> table(65536);
  for (auto& e : table) e = rng() % 4 == 0 ? 0x7FFF : static_cast<UInt16>(rng());
  return table;
}

TEST(FastPathsX, EqualThePixelWalk) {
  std::mt19937 rng(2020);
  const std::vector<UInt16> table = RandomTable(rng);
  int cases = 0;
  for (const WalkCase& w : kWalks) {
    for (const Layout& l : kLayouts) {
      for (const SlotKernels& k : kSlots) {
        const bool alpha = (k.slot & kBlitFlagAlpha) != 0;
        const bool color = (k.slot & kBlitFlagColor) != 0;
        for (BlitMode mode : kModes) {
          const std::vector<UInt16> start = RandomBlock(rng);
          std::vector<UInt16> fast = start, plain = start;
          const UInt32 color16 = color ? static_cast<UInt32>(rng() & 0xFFFF) : kBlitNoColor;
          const UInt32 seed = static_cast<UInt32>(rng());
          std::mt19937 r1(seed), r2(seed);
          const BlitVariantArgsX fa = ArgsFor(fast.data(), l, w.walk, mode, table.data(), color16, r1);
          const BlitVariantArgsX pa = ArgsFor(plain.data(), l, w.walk, mode, table.data(), color16, r2);
          if (w.walk != Walk::Copy) {
            const std::vector<UInt32> steps = StepsOf(w.walk, l.step, alpha);
            ASSERT_NE(EnsureScaleStepBuffer(static_cast<UInt32>(steps.size())), nullptr);
            std::memcpy(ScaleStepBuffer, steps.data(), steps.size() * sizeof(UInt32));
          }
          if (w.walk == Walk::Copy) {
            k.fastCopy(fa);
            k.plainCopy(pa);
          } else {
            k.fastScale(fa);
            k.plainScale(pa);
          }
          ++cases;
          if (fast != plain) {
            size_t at = 0;
            while (fast[at] == plain[at]) ++at;
            ADD_FAILURE() << w.what << ", " << l.what << ", slot " << k.slot << ", mode " << mode
                          << ": first difference at block pixel " << at << " (row " << at / kPitch
                          << ", column " << at % kPitch << "): fast 0x" << std::hex << fast[at]
                          << ", plain walk 0x" << plain[at];
          }
        }
      }
    }
  }
  EXPECT_GT(cases, 0);
}

// The layouts that overlap really do make the order of the walk visible: a
// walk that read its rows before writing them (a row copy, a vector loop)
// would leave something else. Slot 0 copies one pixel to the right along the
// row and smears the first pixel over it.
TEST(FastPathsX, OverlappingRowsKeepTheWalkOrder) {
  std::vector<UInt16> block(kBlockPixels);
  for (int i = 0; i < kBlockPixels; ++i) block[i] = static_cast<UInt16>(i);
  const Layout& right = kLayouts[3];
  std::mt19937 rng(1);
  const BlitVariantArgsX a = ArgsFor(block.data(), right, Walk::Copy, 0, nullptr, kBlitNoColor, rng);
  kSlots[0].fastCopy(a);
  for (int x = 0; x <= kWidth; ++x) {
    EXPECT_EQ(block[right.source + x], right.source) << "column " << x;
  }
}

// Fills wide enough that later rows copy the first: rows apart and rows that
// overlap one another come out as the pixel walk leaves them.
TEST(FastPathsX, WideFillsEqualThePixelWalk) {
  constexpr int kWide = 300, kPitchWide = 320, kRows = 6;
  struct Rows {
    const char* what;
    ptrdiff_t rowMove;  // pixels from one row to the next
  };
  const std::vector<UInt16> start(8 * kPitchWide, 0x1234);
  for (const Rows& r : {Rows{"rows apart", kPitchWide}, Rows{"rows overlapping by 100 pixels", 200}}) {
    // (The modes that draw a colour without a mask or a destination test.)
    for (BlitMode mode : {0u, 1u, 2u}) {
      std::vector<UInt16> fast = start, plain = start;
      const auto args = [&](UInt16* block) {
        BlitVariantArgsX a;
        a.mode = mode;
        a.srcStart = a.maskStart = a.dstStart = block;
        a.dstRowPixels = r.rowMove;
        a.srcPixelStep = 1;
        a.srcRowPixels = a.maskRowPixels = kPitchWide;
        a.width = kWide;
        a.dstEnd = block + kRows * r.rowMove;
        a.color = 0x2A5F;
        return a;
      };
      KernelsOf<4>().fastCopy(args(fast.data()));
      KernelsOf<4>().plainCopy(args(plain.data()));
      EXPECT_EQ(fast, plain) << r.what << ", mode " << mode;
      EXPECT_NE(fast, start) << r.what << ", mode " << mode << " drew nothing";
    }
  }
}

}  // namespace
