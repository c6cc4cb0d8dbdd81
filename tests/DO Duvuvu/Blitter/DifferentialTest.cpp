// Seeded random requests through every family, compared byte for byte (guard
// bands included) with the reference model after every call.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "BlitCases.h"
#include "Geometry.h"

namespace {

using namespace blitref;

std::string Failure(uint32_t seed, const Blit& b, const std::string& what) {
  return "seed " + std::to_string(seed) + ": " + b.Describe() + "\n  " + what;
}

std::string CallText(const SlotCall& c) {
  char t[128];
  std::snprintf(t, sizeof t, "slot %u mode 0x%X color 0x%X lookup %s trans %s", c.slot, c.mode, c.color,
                c.lookup ? "yes" : "nil", c.trans ? "yes" : "nil");
  return t;
}

bool Chance(std::mt19937& rng, int percent) { return static_cast<int>(rng() % 100) < percent; }

// Random options through the dispatcher: the set-up must choose what the
// model's dispatcher chooses, and the pixels must match.
void DispatcherCases(Family family, uint32_t firstSeed, int count) {
  for (int i = 0; i < count; ++i) {
    const uint32_t seed = firstSeed + static_cast<uint32_t>(i);
    std::mt19937 rng(seed);
    CaseFlags flags;
    flags.mask = Chance(rng, 40);
    flags.color = Chance(rng, 35);
    flags.lookup = Chance(rng, 35);
    flags.trans = Chance(rng, 35);
    flags.dummyTrans = true;
    const uint32_t mode = kTestModes[rng() % 13];
    CaseShape shape;
    shape.orientation = i % 16;
    RandomCase c = MakeCase(family, rng, flags, mode, shape);
    const Blit& b = c.blit;

    ModelWorld world(b);
    const auto want = ReferenceSelect(world.request(b));
    const auto got = RealSelect(b);
    ASSERT_EQ(want.has_value(), got.has_value()) << Failure(seed, b, "draw / nothing to draw");
    if (want) {
      ASSERT_EQ(CallText(*got), CallText(*want)) << Failure(seed, b, "slot choice");
      ASSERT_EQ(got->lookup, want->lookup) << Failure(seed, b, "lookup passed on");
      ASSERT_EQ(got->trans, want->trans) << Failure(seed, b, "trans passed on");
    }
    world.Dispatch(b);
    RunDispatcher(b);
    const std::string diff = world.Diff(b);
    ASSERT_EQ(diff, "") << Failure(seed, b, want ? CallText(*want) : "nothing to draw");
  }
}

// What the cases of one run reached, to show that a shaped generator still
// makes the forms it is there for.
struct Reached {
  int halves = 0;         // exact 2:1 shrinks drawing three columns or more
  int firstCut = 0;       // of those, with the first column clipped
  int doubles = 0;        // exact 1:2 enlargements drawing three columns or more
  int sameWidths = 0;     // equal widths drawing three columns or more
  int overlaps = 0;       // source = destination with the rectangles overlapping
  int wholeRowRules = 0;  // slots 0 and 4 in mode 0: rules that read no destination
};

void Count(const Blit& b, const std::optional<Rect>& clipped, unsigned slot, uint32_t mode, Reached& r) {
  if (!clipped) return;
  const int sw = b.srcRect.right - b.srcRect.left, dw = b.dstRect.right - b.dstRect.left;
  const bool wide = clipped->right - clipped->left >= 3;
  if (wide && sw == 2 * dw) {
    ++r.halves;
    if (clipped->left > b.dstRect.left - b.dst->bounds().left) ++r.firstCut;
  }
  if (wide && dw == 2 * sw) ++r.doubles;
  if (wide && dw == sw) ++r.sameWidths;
  Rect common;
  if (b.src == b.dst && IntersectRects(&b.srcRect, &b.dstRect, &common)) ++r.overlaps;
  if ((slot == 0 || slot == 4) && mode == 0) ++r.wholeRowRules;
}

// What slot case i calls and how its request is shaped.
struct SlotPlan {
  unsigned slot;
  uint32_t mode;
  CaseShape shape;
};

// Every slot in every test mode, then the next orientation.
SlotPlan EveryOrientation(int i) {
  SlotPlan p{static_cast<unsigned>(i % 12), kTestModes[(i / 12) % 13], {}};
  p.shape.orientation = (i / 156) % 16;
  return p;
}

// Each slot 0-11 called directly after the dispatcher's real set-up, with
// every test mode, including the combinations no dispatcher forms (trans
// slots at 16 and 32 bits, colour slots with a lookup table in mode 3).
void SlotCases(Family family, uint32_t firstSeed, int count, SlotPlan (*planOf)(int) = EveryOrientation,
               Reached* reached = nullptr) {
  for (int i = 0; i < count; ++i) {
    const uint32_t seed = firstSeed + static_cast<uint32_t>(i);
    std::mt19937 rng(seed);
    const SlotPlan plan = planOf(i);
    const unsigned slot = plan.slot;
    const uint32_t mode = plan.mode;
    CaseFlags flags;
    flags.mask = (slot & 1) != 0;
    flags.trans = (slot & 2) != 0;
    flags.color = (slot & 4) != 0;
    flags.lookup = (slot & 8) != 0 || (flags.color && Chance(rng, 50));
    RandomCase c = MakeCase(family, rng, flags, mode, plan.shape);
    const Blit& b = c.blit;
    const SlotCall call{slot, mode, b.color, b.lookup, b.trans};

    ModelWorld world(b);
    const std::optional<Rect> clipped = ReferenceClip(world.request(b));
    const bool draws = clipped.has_value();
    if (reached) Count(b, clipped, slot, mode, *reached);
    world.Slot(b, call);
    ASSERT_EQ(RunSlot(b, call), draws) << Failure(seed, b, "set-up: draw / nothing to draw");
    const std::string diff = world.Diff(b);
    ASSERT_EQ(diff, "") << Failure(seed, b, CallText(call));
  }
}

TEST(BlitterDifferential, COPY8ThroughDispatcher) { DispatcherCases(Family::COPY8, 1000000, 2500); }
TEST(BlitterDifferential, COPY16ThroughDispatcher) { DispatcherCases(Family::COPY16, 2000000, 2500); }
TEST(BlitterDifferential, COPY32ThroughDispatcher) { DispatcherCases(Family::COPY32, 3000000, 2500); }
TEST(BlitterDifferential, SCALE8ThroughDispatcher) { DispatcherCases(Family::SCALE8, 4000000, 2500); }
TEST(BlitterDifferential, SCALE16ThroughDispatcher) { DispatcherCases(Family::SCALE16, 5000000, 2500); }
TEST(BlitterDifferential, SCALE32ThroughDispatcher) { DispatcherCases(Family::SCALE32, 6000000, 2500); }

TEST(BlitterDifferential, COPY8EverySlot) { SlotCases(Family::COPY8, 11000000, 12 * 13 * 16); }
TEST(BlitterDifferential, COPY16EverySlot) { SlotCases(Family::COPY16, 12000000, 12 * 13 * 16); }
TEST(BlitterDifferential, COPY32EverySlot) { SlotCases(Family::COPY32, 13000000, 12 * 13 * 16); }
TEST(BlitterDifferential, SCALE8EverySlot) { SlotCases(Family::SCALE8, 14000000, 12 * 13 * 16); }
TEST(BlitterDifferential, SCALE16EverySlot) { SlotCases(Family::SCALE16, 15000000, 12 * 13 * 16); }
TEST(BlitterDifferential, SCALE32EverySlot) { SlotCases(Family::SCALE32, 16000000, 12 * 13 * 16); }

// The row walks with fast paths, on purpose: rotation 0 unflipped (a quarter
// of the cases flipped vertically, which keeps the pixel step), rows long
// enough for the vector loops, exact halves (with some odd sources), doubles and equal
// widths, clips cutting the first columns, and a source that overlaps its
// destination. Every slot in every test mode and each form, twice; then more
// of the rules that read no destination (slots 0 and 4 in mode 0), which
// draw whole rows at once.
constexpr int kFastRowMixed = 12 * 13 * 3 * 2;
constexpr int kFastRowWhole = 2 * 4 * 40;

SlotPlan FastRowPlan(int i) {
  static constexpr Across kForms[] = {Across::Half, Across::Double, Across::Same};
  SlotPlan p{static_cast<unsigned>(i % 12), kTestModes[(i / 12) % 13], {}};
  Across form = kForms[(i / 156) % 3];
  if (i >= kFastRowMixed) {
    const int k = i - kFastRowMixed;
    p.slot = k % 2 ? 4 : 0;
    p.mode = 0;
    form = (k / 2) % 4 < 2 ? Across::Half : kForms[(k / 2) % 4 - 1];
  }
  CaseShape& shape = p.shape;
  shape.orientation = i % 4 == 3 ? 8 : 0;
  shape.maxSide = 9;
  shape.maxWidth = 72;
  shape.across = form;
  shape.sameMapPercent = 30;
  shape.nearOverlap = true;
  shape.edgeClips = true;
  return p;
}

void FastRowCases(Family family, uint32_t firstSeed) {
  const int count = kFastRowMixed + kFastRowWhole;
  Reached reached;
  SlotCases(family, firstSeed, count, FastRowPlan, &reached);
  if (::testing::Test::HasFatalFailure()) return;
  EXPECT_GE(reached.overlaps, count / 20);
  EXPECT_GE(reached.wholeRowRules, kFastRowWhole / 4);
  EXPECT_GE(reached.sameWidths, count / 10);
  if (WalkOf(family) == Walk::Scale) {
    EXPECT_GE(reached.halves, count / 20);
    EXPECT_GE(reached.firstCut, count / 80);
    EXPECT_GE(reached.doubles, count / 20);
  }
}

TEST(BlitterDifferential, COPY8FastRows) { FastRowCases(Family::COPY8, 41000000); }
TEST(BlitterDifferential, COPY16FastRows) { FastRowCases(Family::COPY16, 42000000); }
TEST(BlitterDifferential, COPY32FastRows) { FastRowCases(Family::COPY32, 43000000); }
TEST(BlitterDifferential, SCALE8FastRows) { FastRowCases(Family::SCALE8, 44000000); }
TEST(BlitterDifferential, SCALE16FastRows) { FastRowCases(Family::SCALE16, 45000000); }
TEST(BlitterDifferential, SCALE32FastRows) { FastRowCases(Family::SCALE32, 46000000); }

// COPY16AllFlags under its own rules: through its dispatcher, and
// COPY16AllFlagsBlit directly with every flag mix (lookup with colour, trans,
// mode 3 without a table, modes 16-19 without a mask).
TEST(BlitterDifferential, COPY16AllFlagsThroughDispatcher) {
  for (int i = 0; i < 2500; ++i) {
    const uint32_t seed = 21000000 + static_cast<uint32_t>(i);
    std::mt19937 rng(seed);
    CaseFlags flags;
    flags.mask = Chance(rng, 40);
    flags.color = Chance(rng, 35);
    flags.lookup = Chance(rng, 35);
    flags.trans = Chance(rng, 35);
    flags.dummyTrans = true;
    const uint32_t mode = kTestModes[rng() % 13];
    CaseShape shape;
    shape.orientation = i % 16;
    RandomCase c = MakeCase(Family::COPY16, rng, flags, mode, shape);
    const Blit& b = c.blit;
    ModelWorld world(b);
    if (const auto call = ReferenceSelect(world.request(b))) world.Slot(b, *call, Rules::AllFlags);
    RunAllFlagsDispatcher(b);
    const std::string diff = world.Diff(b);
    ASSERT_EQ(diff, "") << Failure(seed, b, "COPY16AllFlags");
  }
}

TEST(BlitterDifferential, COPY16AllFlagsBlitDirect) {
  for (int i = 0; i < 2500; ++i) {
    const uint32_t seed = 22000000 + static_cast<uint32_t>(i);
    std::mt19937 rng(seed);
    CaseFlags flags;
    flags.mask = (i & 1) != 0;
    flags.trans = (i & 2) != 0;
    flags.color = (i & 4) != 0;
    flags.lookup = (i & 8) != 0;
    const uint32_t mode = kTestModes[(i / 16) % 13];
    RandomCase c = MakeCase(Family::COPY16, rng, flags, mode);
    const Blit& b = c.blit;
    const SlotCall call{0, mode, b.color, b.lookup, b.trans};
    ModelWorld world(b);
    const bool draws = ReferenceClip(world.request(b)).has_value();
    world.Slot(b, call, Rules::AllFlags);
    ASSERT_EQ(RunAllFlagsSlot(b, call), draws) << Failure(seed, b, "set-up: draw / nothing to draw");
    const std::string diff = world.Diff(b);
    ASSERT_EQ(diff, "") << Failure(seed, b, "COPY16AllFlagsBlit " + CallText(call));
  }
}

// Rows wider than the old 1023-entry step table: the buffer grows, results
// still match and the guard bands stay intact. Long halved rows as well.
TEST(BlitterDifferential, WideScaledRows) {
  struct Wide {
    Family family;
    int sw, sh, dw, dh;
  };
  const Wide cases[] = {
      {Family::SCALE16, 1000, 4, 2000, 6},   {Family::SCALE16, 1024, 768, 1024, 600},
      {Family::SCALE32, 2048, 3, 1100, 5},   {Family::SCALE8, 2048, 5, 1100, 3},
      {Family::SCALE32, 700, 2, 2000, 3},    {Family::SCALE8, 1500, 2, 2047, 2},
      // Halves with rows long enough to read the next line ahead.
      {Family::SCALE16, 2048, 9, 1024, 4},   {Family::SCALE32, 1280, 6, 640, 3},
      {Family::SCALE8, 4100, 4, 2050, 2},
  };
  for (const Wide& w : cases) {
    std::mt19937 rng(31000000 + static_cast<uint32_t>(w.dw));
    const int depth = DepthOf(w.family);
    auto src = TestMap::Random(depth, w.sw, w.sh, rng, PixelMix{0.3, 0});
    auto dst = TestMap::Random(depth, w.dw, w.dh, rng, PixelMix{0.3, 0});
    for (uint32_t mode : {0u, 1u}) {
      Blit b;
      b.family = w.family;
      b.src = src.get();
      b.dst = dst.get();
      b.srcRect = src->bounds();
      b.dstRect = dst->bounds();
      b.mode = mode;
      ModelWorld world(b);
      world.Dispatch(b);
      RunDispatcher(b);
      const std::string diff = world.Diff(b);
      ASSERT_EQ(diff, "") << b.Describe();
    }
  }
}

}  // namespace
