// Seeded random requests through every family, compared byte for byte (guard
// bands included) with the reference model after every call.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "BlitCases.h"

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

// Each slot 0-11 called directly after the dispatcher's real set-up, with
// every test mode, including the combinations no dispatcher forms (trans
// slots at 16 and 32 bits, colour slots with a lookup table in mode 3).
void SlotCases(Family family, uint32_t firstSeed, int count) {
  for (int i = 0; i < count; ++i) {
    const uint32_t seed = firstSeed + static_cast<uint32_t>(i);
    std::mt19937 rng(seed);
    const unsigned slot = static_cast<unsigned>(i % 12);
    const uint32_t mode = kTestModes[(i / 12) % 13];
    CaseFlags flags;
    flags.mask = (slot & 1) != 0;
    flags.trans = (slot & 2) != 0;
    flags.color = (slot & 4) != 0;
    flags.lookup = (slot & 8) != 0 || (flags.color && Chance(rng, 50));
    CaseShape shape;
    shape.orientation = static_cast<int>((i / 156) % 16);
    RandomCase c = MakeCase(family, rng, flags, mode, shape);
    const Blit& b = c.blit;
    const SlotCall call{slot, mode, b.color, b.lookup, b.trans};

    ModelWorld world(b);
    const bool draws = ReferenceClip(world.request(b)).has_value();
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
// still match and the guard bands stay intact.
TEST(BlitterDifferential, WideScaledRows) {
  struct Wide {
    Family family;
    int sw, sh, dw, dh;
  };
  const Wide cases[] = {
      {Family::SCALE16, 1000, 4, 2000, 6},   {Family::SCALE16, 1024, 768, 1024, 600},
      {Family::SCALE32, 2048, 3, 1100, 5},   {Family::SCALE8, 2048, 5, 1100, 3},
      {Family::SCALE32, 700, 2, 2000, 3},    {Family::SCALE8, 1500, 2, 2047, 2},
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
