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

void CheckOne(bool scale, unsigned slot, uint32_t mode, uint32_t seed, Tally& tally) {
  std::mt19937 rng(seed);
  CaseShape shape;
  shape.orientation = static_cast<int>(seed % 16);
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

}  // namespace
