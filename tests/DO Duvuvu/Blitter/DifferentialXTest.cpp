// COPY16X and SCALE16X against the extended reference: every real slot of
// both tables, every test mode, random geometry, tints, alpha maps, masks and
// tables, on guard-banded maps; and the arithmetic the reference rests on.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "BlitCasesX.h"
#include "TestSupport.h"

namespace {

using namespace blitref;

std::vector<unsigned> RealSlots() {
  std::vector<unsigned> slots;
  for (unsigned s = 0; s < 128; ++s) {
    if (!IsStubSlotX(s)) slots.push_back(s);
  }
  return slots;
}

// The spread blend, for weights 0..32 on values with bit 15 clear, is the
// per-field rule d + floor((v - d) * w / 32). Every pair of field values is
// tried in each field, the other two fields random.
TEST(ExtendedReference, SpreadBlendIsAPerFieldFloor) {
  std::mt19937 rng(2020);
  auto field = [](uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0x1F); };
  for (int shift : {0, 5, 10}) {
    for (uint32_t vf = 0; vf < 32; ++vf) {
      for (uint32_t df = 0; df < 32; ++df) {
        const uint32_t others = ~(0x1Fu << shift) & 0x7FFF;
        const uint32_t v = (rng() & others) | vf << shift;
        const uint32_t d = (rng() & others) | df << shift;
        for (uint32_t w = 0; w <= 32; ++w) {
          const uint16_t r = BlendRef(v, d, w);
          ASSERT_EQ(r & 0x8000, 0);
          for (int s : {0, 5, 10}) {
            const int a = field(v, s), b = field(d, s);
            const int diff = (a - b) * static_cast<int>(w);
            // Floor division toward minus infinity.
            const int want = b + (diff >= 0 ? diff / 32 : -((-diff + 31) / 32));
            ASSERT_EQ(field(r, s), want) << std::hex << "v 0x" << v << " d 0x" << d << std::dec
                                         << " w " << w << " field at bit " << s;
          }
        }
      }
    }
  }
}

// The reference itself reproduces worked values: one pixel v over d.
TEST(ExtendedReference, WorkedValues) {
  struct Row {
    const char* what;
    uint16_t v, d;
    TintX tint;
    int alpha;  // -1: no alpha map
    uint32_t mode;
    uint16_t want;
  } rows[] = {
      {"red over blue at alpha 64 carries", 0x7C00, 0x001F, {}, 64, 0, 0x7401},
      {"U 48 then level 8", 0x0000, 0x7FFF, {48, 48, 48, 8}, -1, 0, 0x6F7B},
      {"U 64 writes the key", 0x0000, 0x1234, {64, 64, 64, 32}, -1, 0, 0x7FFF},
      {"bit 15 darkened by 16", 0x8000, 0x1234, {16, 16, 16, 32}, -1, 0, 0x4000},
      {"bit 15 over 0 at 16", 0x8000, 0x0000, {32, 32, 32, 16}, -1, 0, 0x4000},
      {"weight 0 clears bit 15", 0x1234, 0x8123, {32, 32, 32, 0}, -1, 0, 0x0123},
      {"unequal bytes folding equal", 0x7FFF, 0x1234, {16, 48, 16, 32}, -1, 0, 0x3DEF},
      {"mapping of black", 0x0000, 0x1234, {40, 24, 24, 32}, -1, 0, 0x2108},
      {"plain copy keeps bit 15", 0x8000, 0x1234, {}, -1, 0, 0x8000},
      {"mode 1 skips a key source", 0x7FFF, 0x1234, {16, 16, 16, 20}, 16, 1, 0x1234},
      {"mode 2 keeps a key destination", 0x1234, 0x7FFF, {}, 16, 2, 0x7FFF},
  };
  std::mt19937 rng(5);
  for (const Row& r : rows) {
    auto src = TestMap::Random(16, 1, 1, rng, PixelMix{});
    auto dst = TestMap::Random(16, 1, 1, rng, PixelMix{});
    auto alpha = TestMap::Random(8, 1, 1, rng, PixelMix{});
    src->Set(0, 0, r.v);
    dst->Set(0, 0, r.d);
    alpha->Set(0, 0, static_cast<uint32_t>(r.alpha < 0 ? 0 : r.alpha));
    RequestX q;
    q.base.walk = Walk::Scale;
    q.base.src = &src->view();
    q.base.dst = &dst->view();
    q.base.srcRect = src->bounds();
    q.base.dstRect = dst->bounds();
    q.base.mode = r.mode;
    q.tint = r.tint;
    if (r.alpha >= 0) q.alpha = &alpha->view();
    ReferenceDispatchX(q);
    EXPECT_EQ(dst->Get(0, 0), r.want) << r.what;
  }
}

// One seeded case of slot `slot` in `mode`; false (with the failure
// recorded) when the kernel and the reference disagree.
struct Tally {
  int drawing = 0;  // cases in a mode the slot draws
  int drawn = 0;
};

bool SlotDrawsMode(unsigned slot, uint32_t mode) {
  const uint32_t rule = mode & 3;
  if (mode != rule && mode != (rule | 0x10)) return false;
  if (mode >= 0x10 && !(slot & kXMask)) return false;
  return rule != 3 || (slot & (kXLookup | kXColor));
}

void CheckOne(bool scale, unsigned slot, uint32_t mode, uint32_t seed, Tally& tally,
              const CaseShape* given = nullptr) {
  std::mt19937 rng(seed);
  CaseShape shape;
  shape.orientation = static_cast<int>(seed % 16);
  if (given) shape = *given;
  RandomCaseX c = MakeCaseX(scale, rng, WishX{slot}, mode, shape);
  BlitX& b = c.blit;
  WorldX world(b);
  const RequestX q = world.request(b);
  const auto want = ReferenceSelectX(q);
  const auto real = RealSetupX(b);
  ASSERT_EQ(want.has_value(), real.has_value()) << "seed " << seed << ": " << b.Describe();
  if (want) {
    ASSERT_EQ(real->slot, want->slot) << "seed " << seed << ": " << b.Describe();
    ASSERT_EQ(want->slot, slot) << "seed " << seed << ": " << b.Describe();
    // The values the slot reads were folded as the reference folds them.
    const BlitVariantArgsX& a = real->args;
    EXPECT_EQ(a.mode, want->mode) << "seed " << seed;
    EXPECT_EQ(a.lookupTable, want->lookup) << "seed " << seed;
    EXPECT_EQ(a.transLevel, want->transLevel) << "seed " << seed;
    if (slot & kXColor) {
      EXPECT_EQ(a.color, want->color) << "seed " << seed;
    }
    if (slot & kXMapping) {
      EXPECT_EQ(std::vector<SInt32>({a.redLevel, a.greenLevel, a.blueLevel, a.redOffset, a.greenOffset,
                                     a.blueOffset}),
                std::vector<SInt32>({want->redLevel, want->greenLevel, want->blueLevel, want->redOffset,
                                     want->greenOffset, want->blueOffset}))
          << "seed " << seed << ": " << b.Describe();
    }
    if (slot & kXBright) {
      EXPECT_EQ(a.brightLevel, want->brightLevel) << "seed " << seed;
      EXPECT_EQ(a.brightOffset, want->brightOffset) << "seed " << seed << ": " << b.Describe();
    }
  }
  auto before = b.base.dst->Clone();
  // No dispatcher sends mode 3 or 19 to a colour slot: call it directly,
  // with a table or without one.
  if ((slot & kXColor) && (mode == 3 || mode == 19)) {
    if (!want) return;
    SlotCallX call = *want;
    call.mode = mode;
    call.lookup = c.testTable;
    RunSlotX(b, call);
    world.Slot(b, call);
  } else {
    RunDispatcherX(b);
    world.Dispatch(b);
  }
  ASSERT_EQ(world.Diff(b), "") << "seed " << seed << " slot " << slot << ": " << b.Describe();
  if (SlotDrawsMode(slot, mode)) ++tally.drawing;
  if (!before->Diff(*b.base.dst).empty()) ++tally.drawn;
}

void Differential(bool scale, uint32_t firstSeed, int perMode) {
  testsupport::RecordingMessageBox boxes;
  uint32_t seed = firstSeed;
  for (unsigned slot : RealSlots()) {
    Tally tally;
    for (uint32_t mode : kTestModes) {
      for (int k = 0; k < perMode; ++k) {
        CheckOne(scale, slot, mode, seed++, tally);
        if (testing::Test::HasFatalFailure()) return;
      }
    }
    // Most requests in a mode the slot draws reach pixels; a slot that draws
    // in few cases tests little.
    EXPECT_GT(tally.drawn, tally.drawing / 5) << "slot " << slot;
  }
  EXPECT_TRUE(boxes.boxes().empty()) << "a request reached a stub: " << boxes.boxes()[0].text;
}

// Requests with any mix of options (colours with tables or tints, brightness
// beside channel maps, alpha maps, masks, any mode) always reach a real slot,
// and draw what the reference draws.
TEST(DifferentialX, RandomRequestsNeverReachAStub) {
  testsupport::RecordingMessageBox boxes;
  for (uint32_t seed = 20300000; seed < 20310000; ++seed) {
    std::mt19937 rng(seed);
    const bool scale = seed % 2;
    WishX wish{static_cast<unsigned>(rng() % 128), rng() % 2 == 0};
    RandomCaseX c = MakeCaseX(scale, rng, wish, kTestModes[rng() % 13]);
    BlitX& b = c.blit;
    WorldX world(b);
    if (const auto real = RealSetupX(b)) {
      ASSERT_FALSE(IsStubSlotX(real->slot)) << "seed " << seed << ": " << b.Describe();
    }
    RunDispatcherX(b);
    world.Dispatch(b);
    ASSERT_TRUE(boxes.boxes().empty()) << "seed " << seed << ": " << boxes.boxes()[0].text;
    ASSERT_EQ(world.Diff(b), "") << "seed " << seed << ": " << b.Describe();
  }
}

TEST(DifferentialX, COPY16X) { Differential(false, 20100000, 16); }
TEST(DifferentialX, SCALE16X) { Differential(true, 20200000, 16); }

// The shapes that row-at-a-time code meets: unit steps (no turn, or only a
// vertical flip), rows long enough for vector loops, exact halving, doubling
// and equal widths, a source that is the destination a few pixels off, and
// clips that cut the first and last columns.
TEST(DifferentialX, WideRowsOverlapsAndExactScales) {
  testsupport::RecordingMessageBox boxes;
  uint32_t seed = 20800000;
  for (bool scale : {false, true}) {
    for (unsigned slot : RealSlots()) {
      Tally tally;
      for (uint32_t mode : {0u, 1u, 2u, 3u, 16u, 19u}) {
        for (int k = 0; k < 8; ++k, ++seed) {
          CaseShape shape;
          shape.orientation = seed % 5 == 4 ? static_cast<int>(seed % 16) : seed % 2 ? 8 : 0;
          shape.maxSide = 10;
          shape.maxWidth = 70;
          shape.across = seed % 3 == 0 ? Across::Double : seed % 3 == 1 ? Across::Half : Across::Same;
          shape.sameMapPercent = 30;
          shape.nearOverlap = true;
          shape.edgeClips = true;
          CheckOne(scale, slot, mode, seed, tally, &shape);
          if (testing::Test::HasFatalFailure()) return;
        }
      }
      EXPECT_GT(tally.drawn, tally.drawing / 5) << "slot " << slot;
    }
  }
  EXPECT_TRUE(boxes.boxes().empty()) << "a request reached a stub: " << boxes.boxes()[0].text;
}

}  // namespace
