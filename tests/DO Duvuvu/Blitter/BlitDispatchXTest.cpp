// The extended 16-bit set-up: tint folding, the slot, the alpha walk and the
// scale steps, seen through a table that records its calls.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "BlitCases.h"
#include "BlitDispatch.h"
#include "BlitExtended.h"
#include "BlitSetup.h"
#include "BlitTestMaps.h"
#include "TestSupport.h"

namespace {

using blittest::MakeMap;
using blittest::On;

struct Recorded {
  unsigned slot;
  BlitVariantArgsX args;
};
std::vector<Recorded> gCalls;

template <unsigned kSlot>
void Record(const BlitVariantArgsX& a) {
  gCalls.push_back({kSlot, a});
}

template <size_t... kSlots>
constexpr BlitVariantTableX MakeRecorder(std::index_sequence<kSlots...>) {
  return {&Record<static_cast<unsigned>(kSlots)>...};
}
constexpr BlitVariantTableX kRecorder = MakeRecorder(std::make_index_sequence<128>{});

// A plain 16-bit request on small maps; tests change what they need.
struct Request {
  std::unique_ptr<blitref::TestMap> src = MakeMap(16, 8, 8, 0x1234);
  std::unique_ptr<blitref::TestMap> dst = MakeMap(16, 8, 8, 0);
  Rect srcRect = On(*src, 0, 0, 4, 4);
  Rect dstRect = On(*dst, 2, 2, 6, 6);
  const Rect* clip = nullptr;
  PixMapHandle mask = nullptr;
  BlitMode mode = 0;
  UInt32 color = kBlitNoColor;
  const UInt16* lookup = nullptr;
  const BlitTint* tint = nullptr;
  SInt8 rotation = 0;
  UInt8 flipH = 0, flipV = 0;
  PixMapHandle alpha = nullptr;
  const Rect* alphaRect = nullptr;

  std::optional<BlitSetupX> Copy() const {
    return Copy16XSetup(src->handle(), dst->handle(), mask, &srcRect, &dstRect, clip, mode, color,
                        lookup, tint, flipH, flipV, rotation, nullptr, alpha, alphaRect);
  }
  std::optional<BlitSetupX> Scale() const {
    return Scale16XSetup(src->handle(), dst->handle(), mask, &srcRect, &dstRect, clip, mode, color,
                         lookup, tint, flipH, flipV, rotation, nullptr, alpha, alphaRect);
  }
  // Both dispatchers through the recorder; the calls they made.
  std::vector<Recorded> Dispatch(bool scale) const {
    gCalls.clear();
    (scale ? Scale16XDispatch : Copy16XDispatch)(kRecorder, src->handle(), dst->handle(), mask,
                                                 &srcRect, &dstRect, clip, mode, color, lookup,
                                                 tint, flipH, flipV, rotation, nullptr, alpha,
                                                 alphaRect);
    return gCalls;
  }
};

TEST(BlitDispatchX, TintFoldsIntoLevelsOffsetsAndSlot) {
  std::vector<UInt16> lookup(65536, 1);
  auto alphaMap = MakeMap(8, 8, 8, 32);
  struct Case {
    BlitTint tint;
    bool alphaAndLookup;
    unsigned slot;
    SInt32 red, green, blue, trans, redOffset, greenOffset, blueOffset, bright;
    UInt32 brightOffset;
  } cases[] = {
      {{16, 16, 16, 32}, false, 64, 16, 16, 16, 32, 0, 0, 0, 16, 0},
      {{48, 48, 48, 32}, false, 64, 16, 16, 16, 32, 512, 512, 512, 16, 0x02004010},
      {{64, 64, 64, 32}, false, 64, 0, 0, 0, 32, 0x3E0, 0x3E0, 0x3E0, 0, 0x03E07C1F},
      {{16, 32, 32, 20}, false, 34, 16, 32, 32, 20, 0, 0, 0, 32, 0},
      // Red alone says "brighten", for all three channels.
      {{40, 24, 24, 32}, false, 64, 24, 24, 24, 32, 256, 0, 0, 24, 0x01002008},
      {{32, 32, 32, -8}, false, 2, 32, 32, 32, -8, 0, 0, 0, 32, 0},
      {{64, 64, 64, 40}, true, 90, 0, 0, 0, 40, 0x3E0, 0x3E0, 0x3E0, 0, 0x03E07C1F},
  };
  for (const Case& c : cases) {
    Request q;
    q.tint = &c.tint;
    if (c.alphaAndLookup) {
      q.alpha = alphaMap->handle();
      q.lookup = lookup.data();
    }
    const std::string what = "tint " + std::to_string(c.tint.red) + "," +
                             std::to_string(c.tint.green) + "," + std::to_string(c.tint.blue) +
                             "," + std::to_string(c.tint.level);
    for (bool scale : {false, true}) {
      const auto calls = q.Dispatch(scale);
      ASSERT_EQ(calls.size(), 1u) << what;
      const BlitVariantArgsX& a = calls[0].args;
      EXPECT_EQ(calls[0].slot, c.slot) << what;
      EXPECT_EQ(a.redLevel, c.red) << what;
      EXPECT_EQ(a.greenLevel, c.green) << what;
      EXPECT_EQ(a.blueLevel, c.blue) << what;
      EXPECT_EQ(a.transLevel, c.trans) << what;
      EXPECT_EQ(a.redOffset, c.redOffset) << what;
      EXPECT_EQ(a.greenOffset, c.greenOffset) << what;
      EXPECT_EQ(a.blueOffset, c.blueOffset) << what;
      EXPECT_EQ(a.brightLevel, c.bright) << what;
      EXPECT_EQ(a.brightOffset, c.brightOffset) << what;
    }
  }
}

TEST(BlitDispatchX, ColourIsTintedOnceAndTheLevelsReturnToNeutral) {
  Request q;
  const BlitTint half{16, 16, 16, 32};
  q.tint = &half;
  q.color = 0x7FFF;
  auto s = q.Copy();
  ASSERT_TRUE(s);
  EXPECT_EQ(s->slot, kBlitFlagColor);
  EXPECT_EQ(s->args.color, 0x3DEFu);
  EXPECT_EQ(s->args.redLevel, 32);
  EXPECT_EQ(s->args.greenLevel, 32);
  EXPECT_EQ(s->args.blueLevel, 32);
  EXPECT_EQ(s->args.brightLevel, 32);

  // Brightening: the offsets stay; the colour goes through the lookup first.
  std::vector<UInt16> lookup(65536, 0);
  lookup[5] = 0x0421;  // fields (1, 1, 1)
  const BlitTint up{64, 48, 32, 32};
  q.tint = &up;
  q.color = 5;
  q.lookup = lookup.data();
  s = q.Copy();
  ASSERT_TRUE(s);
  EXPECT_EQ(s->slot, kBlitFlagColor);
  // red: (1 x 0 + 992) >> 5 = 31; green: (1 x 16 + 512) >> 5 = 16; blue: 1.
  EXPECT_EQ(s->args.color, (31u << 10) | (16u << 5) | 1u);
  EXPECT_EQ(s->args.redOffset, 0x3E0);
  EXPECT_EQ(s->args.greenOffset, 512);
  EXPECT_EQ(s->args.lookupTable, nullptr);
}

void ExpectSameArgs(const BlitVariantArgsX& a, const BlitVariantArgsX& b) {
  EXPECT_EQ(a.mode, b.mode);
  EXPECT_EQ(a.srcStart, b.srcStart);
  EXPECT_EQ(a.dstStart, b.dstStart);
  EXPECT_EQ(a.dstEnd, b.dstEnd);
  EXPECT_EQ(a.color, b.color);
  EXPECT_EQ(a.redLevel, b.redLevel);
  EXPECT_EQ(a.transLevel, b.transLevel);
  EXPECT_EQ(a.brightLevel, b.brightLevel);
  EXPECT_EQ(a.brightOffset, b.brightOffset);
  EXPECT_EQ(a.redOffset, b.redOffset);
}

TEST(BlitDispatchX, NeutralTintIsNoTint) {
  Request q;
  q.color = 0x1234;
  const auto none = q.Copy();
  const BlitTint neutral{32, 32, 32, 32};
  q.tint = &neutral;
  const auto tinted = q.Copy();
  ASSERT_TRUE(none && tinted);
  EXPECT_EQ(none->slot, tinted->slot);
  EXPECT_EQ(tinted->slot, kBlitFlagColor);
  ExpectSameArgs(none->args, tinted->args);
}

// Without tint or alpha the extended set-up is the plain one.
TEST(BlitDispatchX, WithoutTintOrAlphaTheSetUpIsThePlainOne) {
  for (blitref::Family family : {blitref::Family::COPY16, blitref::Family::SCALE16}) {
    const bool scale = family == blitref::Family::SCALE16;
    for (uint32_t seed = 1; seed <= 300; ++seed) {
      std::mt19937 rng(seed);
      blitref::CaseFlags flags;
      flags.mask = rng() % 3 == 0;
      flags.color = rng() % 3 == 0;
      flags.lookup = rng() % 3 == 0;
      blitref::RandomCase c = blitref::MakeCase(family, rng, flags, blitref::kTestModes[rng() % 13],
                                                {.orientation = static_cast<int>(seed % 16)});
      const blitref::Blit& b = c.blit;
      const auto* lookup = static_cast<const UInt16*>(b.lookup);
      PixMapHandle mask = b.mask ? b.mask->handle() : nullptr;
      const Rect* clip = b.clip ? &*b.clip : nullptr;
      const Rect* maskRect = b.maskRect ? &*b.maskRect : nullptr;
      const auto plain = (scale ? SetUpSCALE16 : SetUpCOPY16)(
          b.src->handle(), b.dst->handle(), mask, &b.srcRect, &b.dstRect, clip, b.mode, b.color,
          lookup, nullptr, b.flipH, b.flipV, b.rotation, maskRect);
      std::vector<UInt32> plainSteps;
      if (plain && scale) plainSteps.assign(ScaleStepBuffer, ScaleStepBuffer + plain->args.width + 1);
      const auto x = (scale ? Scale16XSetup : Copy16XSetup)(
          b.src->handle(), b.dst->handle(), mask, &b.srcRect, &b.dstRect, clip, b.mode, b.color,
          lookup, nullptr, b.flipH, b.flipV, b.rotation, maskRect, nullptr, nullptr);
      ASSERT_EQ(plain.has_value(), x.has_value()) << "seed " << seed;
      if (!plain) continue;
      const auto& p = plain->args;
      const auto& e = x->args;
      const std::string what = std::string(scale ? "SCALE" : "COPY") + " seed " + std::to_string(seed);
      EXPECT_EQ(x->slot, plain->slot) << what;
      EXPECT_EQ(e.mode, p.mode) << what;
      EXPECT_EQ(e.srcStart, p.srcStart) << what;
      EXPECT_EQ(e.dstStart, p.dstStart) << what;
      EXPECT_EQ(e.maskStart, p.maskStart) << what;
      EXPECT_EQ(e.srcPixelStep, p.srcPixelStep) << what;
      EXPECT_EQ(e.srcRowPixels, p.srcRowPixels) << what;
      EXPECT_EQ(e.dstRowPixels, p.dstRowPixels) << what;
      EXPECT_EQ(e.maskRowPixels, p.maskRowPixels) << what;
      EXPECT_EQ(e.srcRowSkip, p.srcRowSkip) << what;
      EXPECT_EQ(e.srcExtent, p.srcExtent) << what;
      EXPECT_EQ(e.dstExtent, p.dstExtent) << what;
      EXPECT_EQ(e.dstEnd, p.dstEnd) << what;
      EXPECT_EQ(e.width, p.width) << what;
      EXPECT_EQ(e.rowWalk, p.rowWalk) << what;
      EXPECT_EQ(e.shrinkH, p.shrinkH) << what;
      EXPECT_EQ(e.rowError, p.rowError) << what;
      EXPECT_EQ(e.lookupTable, p.lookupTable) << what;
      EXPECT_EQ(e.color, p.color) << what;
      EXPECT_EQ(e.alphaStart, nullptr) << what;
      if (scale) {
        EXPECT_EQ(std::vector<UInt32>(ScaleStepBuffer, ScaleStepBuffer + e.width + 1), plainSteps)
            << what;
      }
    }
  }
}

TEST(BlitDispatchX, StubSlotsAreTheFourForbiddenPairs) {
  std::vector<unsigned> real;
  for (unsigned i = 0; i < 128; ++i) {
    if (!IsExtendedStubSlot(i)) real.push_back(i);
  }
  std::vector<unsigned> want;
  for (unsigned first : {0u, 16u, 32u, 40u, 48u, 56u, 64u, 72u, 80u, 88u}) {
    const unsigned n = first == 0 || first == 16 ? 12 : 4;
    for (unsigned i = 0; i < n; ++i) want.push_back(first + i);
  }
  EXPECT_EQ(real, want);
}

TEST(BlitDispatchX, EveryRequestReachesARealSlotOnce) {
  std::vector<UInt16> lookup(65536, 3);
  auto maskMap = MakeMap(16, 8, 8, 0x7FFF);
  auto alphaMap = MakeMap(8, 8, 8, 16);
  const UInt8 levels[] = {0, 16, 32, 40, 64};
  std::mt19937 rng(77);
  for (int i = 0; i < 2000; ++i) {
    Request q;
    const BlitTint tint{levels[rng() % 5], levels[rng() % 5], levels[rng() % 5],
                        static_cast<SInt8>(rng() % 2 ? 32 : 12)};
    if (rng() % 4) q.tint = &tint;
    if (rng() % 2) q.color = rng() & 0x7FFF;
    if (rng() % 2) q.lookup = lookup.data();
    if (rng() % 2) q.mask = maskMap->handle();
    if (rng() % 2) q.alpha = alphaMap->handle();
    q.mode = blitref::kTestModes[rng() % 13];
    for (bool scale : {false, true}) {
      const auto calls = q.Dispatch(scale);
      ASSERT_EQ(calls.size(), 1u);
      EXPECT_FALSE(IsExtendedStubSlot(calls[0].slot)) << "slot " << calls[0].slot;
      EXPECT_EQ((calls[0].slot & kBlitFlagAlpha) != 0, q.alpha != nullptr);
      EXPECT_EQ((calls[0].slot & kBlitFlagMask) != 0, q.mask != nullptr);
    }
  }
}

TEST(BlitDispatchX, NothingToDrawMakesNoCall) {
  auto smallAlpha = MakeMap(8, 3, 3, 16);
  auto alphaMap = MakeMap(8, 8, 8, 16);
  PixMapPtr nil = nullptr;
  const Rect outside = {100, 100, 110, 110};
  const Rect wrongSize = On(*alphaMap, 0, 0, 4, 3);
  // The alpha area is the source rect moved by (alpha rect - destination rect).
  const Rect sameSize = On(*alphaMap, 3, 3, 7, 7);
  const Rect tooFar = On(*alphaMap, 7, 2, 11, 6);
  struct Case {
    const char* what;
    std::function<void(Request&)> change;
    bool draws;
  };
  const Case cases[] = {
      {"clip outside", [&](Request& q) { q.clip = &outside; }, false},
      {"rotation 5", [&](Request& q) { q.rotation = 5; }, false},
      {"rotation -1", [&](Request& q) { q.rotation = -1; }, false},
      {"alpha map too small", [&](Request& q) { q.alpha = smallAlpha->handle(); }, false},
      {"alpha rect of another size",
       [&](Request& q) {
         q.alpha = alphaMap->handle();
         q.alphaRect = &wrongSize;
       },
       false},
      {"alpha rect reaching outside",
       [&](Request& q) {
         q.alpha = alphaMap->handle();
         q.alphaRect = &tooFar;
       },
       false},
      {"alpha rect inside",
       [&](Request& q) {
         q.alpha = alphaMap->handle();
         q.alphaRect = &sameSize;
       },
       true},
      {"alpha with nil master", [&](Request& q) { q.alpha = &nil; }, false},
  };
  for (const Case& c : cases) {
    Request q;
    c.change(q);
    for (bool scale : {false, true}) {
      EXPECT_EQ(q.Dispatch(scale).size(), c.draws ? 1u : 0u) << c.what;
    }
  }
  // A SCALE with an empty source, a COPY of unequal sizes.
  Request q;
  q.srcRect = On(*q.src, 2, 2, 2, 5);
  EXPECT_TRUE(q.Dispatch(true).empty());
  q.srcRect = On(*q.src, 0, 0, 3, 4);
  EXPECT_TRUE(q.Dispatch(false).empty());
  EXPECT_EQ(q.Dispatch(true).size(), 1u);
}

// Walks the source and the alpha map in step, as a kernel does, and checks
// that every alpha byte read is the one beside its source pixel.
void CheckAlphaWalk(const BlitVariantArgsX& a, int dx, int dy, const std::string& what) {
  const UInt16* s = a.srcStart;
  const UInt8* al = a.alphaStart;
  const ptrdiff_t rows = (a.dstEnd - a.dstStart) / static_cast<ptrdiff_t>(a.dstRowPixels);
  for (ptrdiff_t row = 0; row < rows; ++row) {
    for (UInt32 i = 0; i < a.width; ++i) {
      // Source pixels and alpha bytes hold x * 16 + y of their own place.
      const int sx = *s >> 4, sy = *s & 15;
      ASSERT_EQ(*al, static_cast<UInt8>((sx + dx) * 16 + sy + dy))
          << what << " row " << row << " pixel " << i;
      s += a.srcPixelStep;
      al += a.alphaStep;
    }
    s += a.srcRowSkip;
    al += a.alphaRowSkip;
  }
}

TEST(BlitDispatchX, AlphaMapIsWalkedBesideTheSource) {
  std::mt19937 rng(5);
  for (int orientation = 0; orientation < 16; ++orientation) {
    for (bool withRect : {false, true}) {
      // Alpha rows are longer than source rows (their row bytes differ).
      Request q;
      q.src = std::make_unique<blitref::TestMap>(16, 7, 7, Point{3, 5}, rng);
      auto alphaMap = std::make_unique<blitref::TestMap>(8, 40, 12, Point{-4, 9}, rng);
      ASSERT_NE(alphaMap->pixmap().rowBytes & 0x7FFF, q.src->pixmap().rowBytes & 0x7FFF);
      for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) q.src->Set(x, y, static_cast<UInt32>(x * 16 + y));
      }
      for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) alphaMap->Set(x, y, static_cast<UInt32>(x * 16 + y));
      }
      q.rotation = static_cast<SInt8>(orientation & 3);
      q.flipH = (orientation >> 2) & 1;
      q.flipV = (orientation >> 3) & 1;
      q.srcRect = On(*q.src, 1, 2, 6, 5);  // 5 x 3
      const bool odd = q.rotation & 1;
      q.dstRect = odd ? On(*q.dst, 1, 1, 4, 6) : On(*q.dst, 1, 1, 6, 4);
      const Rect clip = On(*q.dst, 2, 2, 8, 8);  // cuts the top and the left
      q.clip = &clip;
      q.alpha = alphaMap->handle();
      // The alpha rect lies (3, 2) off the destination rect.
      const Rect alphaRect = odd ? On(*alphaMap, 4, 3, 7, 8) : On(*alphaMap, 4, 3, 9, 6);
      if (withRect) q.alphaRect = &alphaRect;
      const int dx = withRect ? 3 : 0, dy = withRect ? 2 : 0;
      const std::string what = "orientation " + std::to_string(orientation) +
                               (withRect ? " with alpha rect" : "");
      auto c = q.Copy();
      ASSERT_TRUE(c) << what;
      EXPECT_EQ(c->args.alphaRowBytes, static_cast<UInt32>(alphaMap->pixmap().rowBytes & 0x7FFF));
      CheckAlphaWalk(c->args, dx, dy, what);
    }
  }
}

TEST(BlitDispatchX, ScaleWithAlphaLeavesCountsInTheStepTable) {
  Request q;
  q.src = MakeMap(16, 4, 10, 0);
  q.srcRect = On(*q.src, 1, 1, 2, 9);  // 8 tall: along the destination's rows under one turn
  q.dstRect = On(*q.dst, 0, 0, 3, 1);
  q.rotation = 1;
  const SInt32 r = static_cast<SInt32>((q.src->pixmap().rowBytes & 0x7FFF) / 2);
  auto plain = q.Scale();
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->args.shrinkH, 1);
  EXPECT_EQ((std::vector<SInt32>{static_cast<SInt32>(ScaleStepBuffer[0]),
                                 static_cast<SInt32>(ScaleStepBuffer[1]),
                                 static_cast<SInt32>(ScaleStepBuffer[2])}),
            (std::vector<SInt32>{-4 * r, -2 * r, -3 * r}));
  auto alphaMap = MakeMap(8, 4, 10, 0);
  for (PixMapHandle alpha : {alphaMap->handle(), q.src->handle()}) {
    q.alpha = alpha;
    auto counted = q.Scale();
    ASSERT_TRUE(counted);
    EXPECT_EQ((std::vector<UInt32>{ScaleStepBuffer[0], ScaleStepBuffer[1], ScaleStepBuffer[2]}),
              (std::vector<UInt32>{4, 2, 3}));
    EXPECT_EQ(counted->slot & kBlitFlagAlpha, kBlitFlagAlpha);
  }
}

TEST(BlitDispatchX, EmptyTableSlotsAlertWithTheirNames) {
  std::vector<UInt16> pixels(16, 7);
  BlitVariantArgsX args;
  args.srcStart = pixels.data();
  args.dstStart = pixels.data();
  args.dstEnd = pixels.data() + 16;
  args.width = 4;
  args.dstRowPixels = 4;
  struct Case {
    const BlitVariantTableX* table;
    unsigned slot;
    const char* name;
  } cases[] = {
      {&COPY16XVariants, 12, "COPY16___bright___mapping___alpha_X_lookup_X_color___trans___mask_UNUSED"},
      {&SCALE16XVariants, 127, "SCALE16_X_bright_X_mapping_X_alpha_X_lookup_X_color_X_trans_X_mask_UNUSED"},
      {&COPY16XVariants, 96, "COPY16_X_bright_X_mapping___alpha___lookup___color___trans___mask_UNUSED"},
  };
  for (const Case& c : cases) {
    testsupport::RecordingMessageBox boxes;
    (*c.table)[c.slot](args);
    ASSERT_EQ(boxes.boxes().size(), 1u) << c.name;
    EXPECT_EQ(boxes.boxes()[0].text, std::string("Alert: ") + c.name);
  }
  EXPECT_EQ(pixels, std::vector<UInt16>(16, 7));
}

}  // namespace
