// The seven two-entry scalers: the six lookup scalers against the plain
// families' model, and the shadow scale against its own rule.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "BlitCases.h"
#include "BlitLookupScalers.h"
#include "BlitVariants.h"
#include "BlitTestMaps.h"

namespace {

using namespace blitref;
using blittest::MakeMap;
using blittest::On;

struct Entry {
  const char* name;
  Family family;
  void* fn;  // a BlitDispatcher of the family's pixel
};

const Entry kLookupEntries[] = {
    {"SCALE8LookupA", Family::SCALE8, reinterpret_cast<void*>(&SCALE8LookupA)},
    {"SCALE8LookupB", Family::SCALE8, reinterpret_cast<void*>(&SCALE8LookupB)},
    {"SCALE16LookupA", Family::SCALE16, reinterpret_cast<void*>(&SCALE16LookupA)},
    {"SCALE16LookupB", Family::SCALE16, reinterpret_cast<void*>(&SCALE16LookupB)},
    {"SCALE32LookupA", Family::SCALE32, reinterpret_cast<void*>(&SCALE32LookupA)},
    {"SCALE32LookupB", Family::SCALE32, reinterpret_cast<void*>(&SCALE32LookupB)},
};

// The shadow scale's expected result, drawn into want.
void ModelShadow(const Blit& b, TestMap& want, const UInt16* table);

template <typename Pixel>
void Call(void* fn, const Blit& b) {
  reinterpret_cast<BlitDispatcher<Pixel>*>(fn)(
      b.src->handle(), b.dst->handle(), b.mask ? b.mask->handle() : nullptr, &b.srcRect,
      &b.dstRect, b.clip ? &*b.clip : nullptr, b.mode, b.color,
      static_cast<const Pixel*>(b.lookup), static_cast<const Pixel*>(b.trans), b.flipH, b.flipV,
      b.rotation, b.maskRect ? &*b.maskRect : nullptr);
}

void CallEntry(const Entry& e, const Blit& b) {
  switch (DepthOf(e.family)) {
    case 8: return Call<UInt8>(e.fn, b);
    case 16: return Call<UInt16>(e.fn, b);
    default: return Call<UInt32>(e.fn, b);
  }
}

// Same pixels as the family's model with the same table and no colour; the
// translucency table passed is ignored.
TEST(LookupScalers, DrawAsTheirFamilyWithTheTable) {
  for (const Entry& e : kLookupEntries) {
    for (uint32_t seed = 1; seed <= 250; ++seed) {
      std::mt19937 rng(seed * 7919u);
      CaseFlags flags;
      flags.lookup = true;
      flags.mask = rng() % 2 == 0;
      const uint32_t mode = kTestModes[rng() % 13];
      CaseShape shape;
      shape.maxWidth = seed % 25 == 0 ? 2000 : 0;  // now and then a very long row
      RandomCase c = MakeCase(e.family, rng, flags, mode, shape);
      Blit& b = c.blit;
      const std::vector<uint8_t> junk(16, 0xAB);
      b.trans = junk.data();
      ModelWorld world(b);
      Blit modelled = b;
      modelled.trans = nullptr;
      world.Dispatch(modelled);
      CallEntry(e, b);
      const std::string diff = world.Diff(b);
      ASSERT_EQ(diff, "") << e.name << " seed " << seed << ": " << b.Describe();
    }
  }
}

TEST(LookupScalers, VeryLongRows) {
  std::mt19937 rng(2000);
  const PixelMix mix{0.2, 0xFF};
  for (const Entry& e : kLookupEntries) {
    const int depth = DepthOf(e.family);
    auto lookup = MakeLookup(depth, rng, mix);
    for (int srcWidth : {2000, 1999, 1000, 3001}) {
      auto src = TestMap::Random(depth, srcWidth, 3, rng, mix);
      auto dst = TestMap::Random(depth, 2000, 3, rng, mix);
      Blit b;
      b.family = e.family;
      b.src = src.get();
      b.dst = dst.get();
      b.srcRect = On(*src, 0, 0, srcWidth, 3);
      b.dstRect = On(*dst, 0, 0, 2000, 3);
      b.lookup = lookup->data();
      b.mode = 1;
      ModelWorld world(b);
      world.Dispatch(b);
      CallEntry(e, b);
      ASSERT_EQ(world.Diff(b), "") << e.name << " from " << srcWidth;
    }
  }
  std::vector<UInt16> table(65536, 0x8010);
  auto src = TestMap::Random(16, 1999, 2, rng, mix);
  auto dst = TestMap::Random(16, 2000, 2, rng, mix);
  auto want = dst->Clone();
  const Rect sr = On(*src, 0, 0, 1999, 2), dr = On(*dst, 0, 0, 2000, 2);
  SCALE16Shadow(src->handle(), dst->handle(), nullptr, &sr, &dr, nullptr, 1, kBlitNoColor,
                table.data(), nullptr, 0, 0, 0, nullptr);
  Blit b;
  b.family = Family::SCALE16;
  b.src = src.get();
  b.dst = want.get();
  b.srcRect = sr;
  b.dstRect = On(*want, 0, 0, 2000, 2);
  b.mode = 1;
  auto untouched = want->Clone();
  b.dst = untouched.get();
  ModelShadow(b, *want, table.data());
  EXPECT_EQ(dst->Diff(*want), "");
}

TEST(LookupScalers, DrawNothingWithoutATableOrWithAColour) {
  std::mt19937 rng(3);
  for (const Entry& e : kLookupEntries) {
    for (bool colour : {false, true}) {
      CaseFlags flags;
      flags.lookup = true;
      RandomCase c = MakeCase(e.family, rng, flags, 0);
      Blit& b = c.blit;
      if (colour) {
        b.color = 1;
      } else {
        b.lookup = nullptr;
      }
      auto before = b.dst->Clone();
      CallEntry(e, b);
      EXPECT_EQ(b.dst->Diff(*before), "") << e.name << (colour ? " with a colour" : " no table");
    }
  }
  auto src = MakeMap(16, 4, 4, 0x1234), dst = MakeMap(16, 4, 4, 0x4321);
  auto before = dst->Clone();
  std::vector<UInt16> table(65536, 0x8010);
  const Rect r = On(*src, 0, 0, 4, 4), d = On(*dst, 0, 0, 4, 4);
  SCALE16Shadow(src->handle(), dst->handle(), nullptr, &r, &d, nullptr, 0, kBlitNoColor, nullptr,
                nullptr, 0, 0, 0, nullptr);
  SCALE16Shadow(src->handle(), dst->handle(), nullptr, &r, &d, nullptr, 0, 5, table.data(),
                nullptr, 0, 0, 0, nullptr);
  EXPECT_EQ(dst->Diff(*before), "");
}

TEST(LookupScalers, EachEntryPointHasItsOwnPairOfTheFamilysLookupKernels) {
  const void* tables[] = {&SCALE8LookupAVariants,  &SCALE8LookupBVariants,
                          &SCALE16LookupAVariants, &SCALE16LookupBVariants,
                          &SCALE32LookupAVariants, &SCALE32LookupBVariants,
                          &SCALE16ShadowVariants};
  for (size_t i = 0; i < 7; ++i) {
    for (size_t j = i + 1; j < 7; ++j) EXPECT_NE(tables[i], tables[j]);
  }
  EXPECT_EQ(SCALE16LookupAVariants[0], SCALE16Variants[8]);
  EXPECT_EQ(SCALE16LookupBVariants[1], SCALE16Variants[9]);
  EXPECT_EQ(SCALE8LookupAVariants[1], SCALE8Variants[9]);
  EXPECT_EQ(SCALE32LookupBVariants[0], SCALE32Variants[8]);
}

// The shadow rule, pixel by pixel, over the model's sampling.
UInt16 ShadowPixel(UInt16 s, UInt16 d, const UInt16* table) {
  const UInt32 e = table[s];
  if (!(e & 0x8000)) return s;
  const UInt32 level = e & 0x7FFF;
  const auto field = [&](int shift) { return ((((d >> shift) & 31u) * level) >> 5) << shift; };
  return static_cast<UInt16>(field(10) | field(5) | field(0));
}

void ModelShadow(const Blit& b, TestMap& want, const UInt16* table) {
  ModelWorld world(b);
  const Request q = world.request(b);
  const auto clipped = ReferenceClip(q);
  if (!clipped) return;
  UInt32 mode = b.mode;
  if (!b.mask && mode >= 16 && mode <= 18) mode -= 16;
  if (mode > 18 || (mode & 3) == 3 || (mode & ~0x13u) != 0) return;
  const SourceMap sources(q);
  for (int y = clipped->top; y < clipped->bottom; ++y) {
    for (int x = clipped->left; x < clipped->right; ++x) {
      int sx, sy;
      ASSERT_TRUE(sources.SourceOf(x, y, &sx, &sy));
      if (b.mask) {
        const bool key = b.mask->Get(x, y) == 0x7FFF;
        if (key == (mode >= 16)) continue;
      }
      const UInt16 s = static_cast<UInt16>(b.src->Get(sx, sy));
      const UInt16 d = static_cast<UInt16>(want.Get(x, y));
      if ((mode & 3) >= 1 && s == 0x7FFF) continue;
      if ((mode & 3) == 2 && d == 0x7FFF) continue;
      want.Set(x, y, ShadowPixel(s, d, table));
    }
  }
}

TEST(ScaleShadow, SeededScalesFollowTheRule) {
  std::vector<UInt16> table(65536);
  std::mt19937 tableRng(11);
  for (auto& e : table) {
    e = tableRng() % 2 ? static_cast<UInt16>(0x8000 | (tableRng() % 33))
                       : static_cast<UInt16>(tableRng() & 0x7FFF);
  }
  for (uint32_t seed = 1; seed <= 600; ++seed) {
    std::mt19937 rng(seed);
    CaseFlags flags;
    flags.mask = rng() % 2 == 0;
    CaseShape shape;
    shape.allowSameMap = false;
    shape.sameMapPercent = 0;
    shape.maxWidth = seed % 50 == 0 ? 2000 : 0;
    RandomCase c = MakeCase(Family::SCALE16, rng, flags, 0, shape);
    Blit& b = c.blit;
    b.maskRect.reset();
    b.lookup = table.data();
    b.mode = kTestModes[rng() % 13];
    auto want = b.dst->Clone();
    ModelShadow(b, *want, table.data());
    SCALE16Shadow(b.src->handle(), b.dst->handle(), b.mask ? b.mask->handle() : nullptr,
                  &b.srcRect, &b.dstRect, b.clip ? &*b.clip : nullptr, b.mode, kBlitNoColor,
                  table.data(), nullptr, b.flipH, b.flipV, b.rotation, nullptr);
    ASSERT_EQ(b.dst->Diff(*want), "") << "seed " << seed << ": " << b.Describe();
  }
}

// One row of pixels scaled 1:1 through the shadow scale.
std::vector<UInt32> ShadowRow(const std::vector<UInt32>& src, const std::vector<UInt32>& dst,
                              const std::vector<UInt16>& table, BlitMode mode,
                              const std::vector<UInt32>* mask = nullptr) {
  const int n = static_cast<int>(src.size());
  auto s = MakeMap(16, n, 1, 0), d = MakeMap(16, n, 1, 0), m = MakeMap(16, n, 1, 0);
  for (int i = 0; i < n; ++i) {
    s->Set(i, 0, src[i]);
    d->Set(i, 0, dst[i]);
    if (mask) m->Set(i, 0, (*mask)[i]);
  }
  const Rect sr = On(*s, 0, 0, n, 1), dr = On(*d, 0, 0, n, 1);
  SCALE16Shadow(s->handle(), d->handle(), mask ? m->handle() : nullptr, &sr, &dr, nullptr, mode,
                kBlitNoColor, table.data(), nullptr, 0, 0, 0, nullptr);
  return blittest::Pixels(*d, 0, 0, n, 1);
}

TEST(ScaleShadow, DarkensOrLetsTheSourceThrough) {
  std::vector<UInt16> table(65536, 0);
  table[0x1234] = 0x8010;
  table[0x7C00] = 0x0001;
  EXPECT_EQ(ShadowRow({0x1234, 0x7C00}, {0x7BDE, 0x03FF}, table, 0),
            (std::vector<UInt32>{0x3DEF, 0x7C00}));
  table[1] = 0x8000;
  table[2] = 0x8020;
  table[3] = 0x8010;
  EXPECT_EQ(ShadowRow({1, 2, 3, 3}, {0x7FFF, 0x5A5A, 0x7FFF, 0x0421}, table, 0),
            (std::vector<UInt32>{0, 0x5A5A, 0x3DEF, 0}));
  // The whole pixel indexes: a bit-15 source has its own entry.
  table[0x8005] = 0x8000;
  EXPECT_EQ(ShadowRow({0x8005, 0x0005}, {0x1111, 0x1111}, table, 0),
            (std::vector<UInt32>{0, 5}));
}

TEST(ScaleShadow, ModesAndMask) {
  std::vector<UInt16> table(65536, 0);
  table[0x7FFF] = 0x8000;
  table[1] = 0x8000;
  const std::vector<UInt32> src = {0x7FFF, 1, 1, 9};
  const std::vector<UInt32> dst = {0x1111, 0x7FFF, 0x2222, 0x3333};
  const std::vector<UInt32> mask = {0x7FFF, 0x7FFF, 0, 0x7FFF};
  struct Case {
    BlitMode mode;
    bool withMask;
    std::vector<UInt32> want;
  } cases[] = {
      {0, false, {0, 0, 0, 9}},
      {16, false, {0, 0, 0, 9}},
      {1, false, {0x1111, 0, 0, 9}},
      {2, false, {0x1111, 0x7FFF, 0, 9}},
      {3, false, dst},
      {19, false, dst},
      {20, false, dst},
      {0, true, {0, 0, 0x2222, 9}},
      {16, true, {0x1111, 0x7FFF, 0, 0x3333}},
      {18, true, {0x1111, 0x7FFF, 0, 0x3333}},
      {17, true, {0x1111, 0x7FFF, 0, 0x3333}},
      {2, true, {0x1111, 0x7FFF, 0x2222, 9}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShadowRow(src, dst, table, c.mode, c.withMask ? &mask : nullptr), c.want)
        << "mode " << c.mode << (c.withMask ? " with mask" : "");
  }
  // Mode 3 still draws in the lookup scaler.
  std::vector<UInt16> lookup(65536, 0x7FFF);
  lookup[9] = 0x0123;
  auto s = MakeMap(16, 2, 1, 9), d = MakeMap(16, 2, 1, 0x4444);
  s->Set(1, 0, 8);
  const Rect sr = On(*s, 0, 0, 2, 1), dr = On(*d, 0, 0, 2, 1);
  SCALE16LookupA(s->handle(), d->handle(), nullptr, &sr, &dr, nullptr, 3, kBlitNoColor,
                 lookup.data(), nullptr, 0, 0, 0, nullptr);
  EXPECT_EQ(blittest::Pixels(*d, 0, 0, 2, 1), (std::vector<UInt32>{0x0123, 0x4444}));
}

}  // namespace
