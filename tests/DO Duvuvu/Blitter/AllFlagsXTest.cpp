// The run-time-flag extended copy: where it agrees with COPY16X, the four
// places it deliberately does not, and calls it must refuse.
#include <gtest/gtest.h>

#include <algorithm>
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

using Blitter = void (*)(PixMapHandle, PixMapHandle, PixMapHandle, const Rect*, const Rect*, const Rect*, BlitMode,
                         UInt32, const UInt16*, const BlitTint*, UInt8, UInt8, SInt8, const Rect*, PixMapHandle,
                         const Rect*);

// A channel byte's level on the scale of 32: above 32 it brightens and
// counts down again.
int Folded(int byte) { return byte <= 32 ? byte : 64 - byte; }

// Equal bytes, or bytes whose levels differ: the tints on which the two
// families agree.
BlitTint AgreeingTint(std::mt19937& rng) {
  const auto byte = [&] { return static_cast<UInt8>(rng() % 65); };
  const auto level = static_cast<SInt8>(rng() % 3 == 0 ? 32 : static_cast<int>(rng() % 79) - 8);
  if (rng() % 2) {
    const UInt8 u = byte();
    return BlitTint{u, u, u, level};
  }
  for (;;) {
    const BlitTint t{byte(), byte(), byte(), level};
    if (Folded(t.red) != Folded(t.green) || Folded(t.green) != Folded(t.blue)) return t;
  }
}

void ClearBit15(blitref::TestMap& map) {
  for (int y = 0; y < map.height(); ++y) {
    for (int x = 0; x < map.width(); ++x) map.Set(x, y, map.Get(x, y) & 0x7FFF);
  }
}

// On bit-15-clear pixels, entries and colours, with a mask whenever the mode
// is 16-19, the run-time kernel draws what the specialised table draws, for
// every orientation, clip, tint, level and alpha map the generator makes.
TEST(AllFlagsX, AgreesWithCOPY16XWhereItShould) {
  using namespace blitref;
  testsupport::RecordingMessageBox boxes;
  constexpr int kCount = 1500;
  int drawn = 0;
  for (int i = 0; i < kCount; ++i) {
    const uint32_t seed = 65000000 + static_cast<uint32_t>(i);
    std::mt19937 rng(seed);
    CaseFlags flags;
    flags.mask = rng() % 2;
    flags.color = rng() % 3 == 0;
    flags.lookup = rng() % 3 == 0;
    BlitMode mode = kTestModes[rng() % 13];
    if (!flags.mask && mode >= 16 && mode <= 19) mode -= 16;
    RandomCase c = MakeCase(Family::COPY16, rng, flags, mode);
    Blit& b = c.blit;
    ClearBit15(*b.dst);
    if (c.src) ClearBit15(*c.src);
    if (c.lookup) {
      for (size_t e = 0; e < c.lookup->entries(); ++e) c.lookup->Set(e, c.lookup->Get(e) & 0x7FFF);
    }
    if (b.color != kBlitNoColor) b.color &= 0x7FFF;
    const std::optional<BlitTint> tint = rng() % 4 == 0 ? std::nullopt : std::optional<BlitTint>(AgreeingTint(rng));
    std::unique_ptr<TestMap> alpha;
    if (rng() % 2) {
      alpha = MakeMap(8, b.src->width(), b.src->height(), 0);
      for (int y = 0; y < alpha->height(); ++y) {
        for (int x = 0; x < alpha->width(); ++x) {
          alpha->Set(x, y, rng() % 8 == 0 ? rng() % 256 : rng() % 41);
        }
      }
    }

    const Rect* clip = b.clip ? &*b.clip : nullptr;
    const Rect* maskRect = b.maskRect ? &*b.maskRect : nullptr;
    const BlitTint* tintArg = tint ? &*tint : nullptr;
    PixMapHandle mask = b.mask ? b.mask->handle() : nullptr;
    PixMapHandle alphaArg = alpha ? alpha->handle() : nullptr;
    const auto* lookup = static_cast<const UInt16*>(b.lookup);
    // The set-up turns 7 and 0xFFFFFFFF without a table into 1 and 17: the
    // mode the kernel sees decides whether a mask is needed.
    const auto setup =
        Copy16XSetup(b.src->handle(), b.dst->handle(), mask, &b.srcRect, &b.dstRect, clip, b.mode, b.color, lookup,
                     tintArg, b.flipH, b.flipV, b.rotation, maskRect, alphaArg, nullptr);
    if (!mask && setup && setup->args.mode >= 16 && setup->args.mode <= 19) continue;
    const auto run = [&](Blitter blit) {
      auto dst = b.dst->Clone();
      auto src = c.src ? c.src->Clone() : nullptr;
      blit((src ? src : dst)->handle(), dst->handle(), mask, &b.srcRect, &b.dstRect, clip, b.mode, b.color, lookup,
           tintArg, b.flipH, b.flipV, b.rotation, maskRect, alphaArg, nullptr);
      if (src) {
        EXPECT_EQ(src->Diff(*c.src), "") << "seed " << seed;
      }
      return dst;
    };
    const auto specialised = run(&COPY16X);
    const auto allFlags = run(&COPY16XAllFlags);
    ASSERT_EQ(allFlags->Diff(*specialised), "")
        << "seed " << seed << ": " << b.Describe() << " alpha " << (alpha != nullptr)
        << (tint ? " tint " + std::to_string(tint->red) + "," + std::to_string(tint->green) + "," +
                       std::to_string(tint->blue) + "," + std::to_string(tint->level)
                 : std::string(" no tint"));
    drawn += specialised->Diff(*b.dst).empty() ? 0 : 1;
  }
  EXPECT_TRUE(boxes.boxes().empty());
  // Most requests draw, or agreement says little.
  EXPECT_GT(drawn, kCount / 5);
}

// One pixel v over d through a dispatcher, with a mask pixel when given.
UInt16 OnePixel(Blitter blit, UInt16 v, UInt16 d, const BlitTint* tint, BlitMode mode, UInt32 color = kBlitNoColor,
                const UInt16* lookup = nullptr, std::optional<UInt16> maskPixel = {}) {
  auto src = MakeMap(16, 1, 1, v);
  auto dst = MakeMap(16, 1, 1, d);
  auto mask = MakeMap(16, 1, 1, maskPixel.value_or(0));
  const Rect s = On(*src, 0, 0, 1, 1);
  const Rect r = On(*dst, 0, 0, 1, 1);
  blit(src->handle(), dst->handle(), maskPixel ? mask->handle() : nullptr, &s, &r, nullptr, mode, color, lookup, tint,
       0, 0, 0, nullptr, nullptr, nullptr);
  return static_cast<UInt16>(dst->Get(0, 0));
}

// The four ways the run-time kernel parts from COPY16X, each shown on a pixel
// both can be asked to draw.
TEST(AllFlagsX, DiffersFromCOPY16XInFourWays) {
  testsupport::RecordingMessageBox boxes;
  std::vector<UInt16> table(65536);
  for (size_t i = 0; i < table.size(); ++i) table[i] = static_cast<UInt16>(i);
  table[0x0001] = 0x8421;
  table[0x0002] = kKey;
  const BlitTint halve{16, 48, 16, 32}, lift{40, 24, 24, 32}, half{32, 32, 32, 16};
  struct Row {
    const char* what;
    UInt16 source, dest;
    const BlitTint* tint;
    BlitMode mode;
    UInt32 color;
    bool lookup;
    std::optional<UInt16> maskPixel;
    UInt16 specialised, allFlags;
  } rows[] = {
      // 1. Modes 16-19 need a mask in COPY16X; without one the run-time
      // kernel draws them as 0-3.
      {"mode 16 without a mask", 0x1234, 0x4321, nullptr, 16, kBlitNoColor, false, {}, 0x4321, 0x1234},
      {"mode 17 without a mask", 0x1234, 0x4321, nullptr, 17, kBlitNoColor, false, {}, 0x4321, 0x1234},
      {"mode 17 without a mask keeps the key", kKey, 0x4321, nullptr, 17, kBlitNoColor, false, {}, 0x4321, 0x4321},
      {"mode 18 without a mask", 0x1234, 0x4321, nullptr, 18, kBlitNoColor, false, {}, 0x4321, 0x1234},
      {"mode 19 without a mask", 0x0002, 0x4321, nullptr, 19, kBlitNoColor, true, {}, 0x4321, 0x4321},
      {"mode 19 without a mask draws an entry", 0x0003, 0x4321, nullptr, 19, kBlitNoColor, true, {}, 0x4321, 0x0003},
      {"mode 16 with a mask: the same", 0x1234, 0x4321, nullptr, 16, kBlitNoColor, false, 0x0000, 0x1234, 0x1234},
      // 2. Channel bytes that fold to one level are one brightness in
      // COPY16X; the run-time kernel keeps each channel's own offset.
      {"(16, 48, 16) on white", kKey, 0x0000, &halve, 0, kBlitNoColor, false, {}, 0x3DEF, 0x3FEF},
      {"(40, 24, 24) on black", 0x0000, 0x1234, &lift, 0, kBlitNoColor, false, {}, 0x2108, 0x2000},
      // 3. Every pixel goes through the blend, so bit 15 never survives.
      {"bit 15 of a source", 0x8000, 0x1234, nullptr, 0, kBlitNoColor, false, {}, 0x8000, 0x0000},
      {"bit 15 of an entry", 0x0001, 0x1234, nullptr, 0, kBlitNoColor, true, {}, 0x8421, 0x0421},
      {"bit 15 of a colour", 0x1111, 0x1234, nullptr, 0, 0x8123, false, {}, 0x8123, 0x0123},
      {"bit 15 of a source under a level", 0x8000, 0x0000, &half, 0, kBlitNoColor, false, {}, 0x4000, 0x0000},
      // Where nothing of the above applies they agree.
      {"plain", 0x1234, 0x4321, nullptr, 0, kBlitNoColor, false, {}, 0x1234, 0x1234},
      {"(16, 16, 16) on white", kKey, 0x0000, &half, 0, kBlitNoColor, false, {}, 0x3DEF, 0x3DEF},
  };
  for (const Row& row : rows) {
    const UInt16* lookup = row.lookup ? table.data() : nullptr;
    EXPECT_EQ(OnePixel(&COPY16X, row.source, row.dest, row.tint, row.mode, row.color, lookup, row.maskPixel),
              row.specialised)
        << row.what << " (COPY16X)";
    EXPECT_EQ(OnePixel(&COPY16XAllFlags, row.source, row.dest, row.tint, row.mode, row.color, lookup, row.maskPixel),
              row.allFlags)
        << row.what << " (COPY16XAllFlags)";
  }
  EXPECT_TRUE(boxes.boxes().empty());
}

// 4. A colour takes the place of the mapped value: channel levels and
// offsets (which the set-up never leaves beside a colour) change nothing,
// while the same levels do map a source. COPY16X has no such slot.
TEST(AllFlagsX, ColourReplacesTheMappedValue) {
  struct Case {
    SInt32 level;
    UInt16 dest;
    UInt16 mapped;  // grey 20 -> red 10, green 29, blue 31, then the level
    UInt16 colored;
  } cases[] = {{32, 0x1234, 0x2BBF, 0x5294}, {16, 0x0000, 0x15CF, 0x294A}};
  for (const Case& c : cases) {
    for (bool withColor : {false, true}) {
      AllFlagsCall call;
      call.src.assign(16, 0x5294);
      std::fill(call.dst.begin(), call.dst.begin() + 16, c.dest);
      call.a.redLevel = 16;
      call.a.greenLevel = 8;
      call.a.blueLevel = 0;
      call.a.greenOffset = 24 * 32;
      call.a.blueOffset = 992;
      call.a.transLevel = c.level;
      if (withColor) call.a.color = 0x5294;
      COPY16XAllFlagsBlit(call.a);
      std::vector<UInt16> want(16, withColor ? c.colored : c.mapped);
      want.push_back(0xBEEF);
      EXPECT_EQ(call.dst, want) << "level " << c.level << " colour " << withColor;
    }
  }
}

}  // namespace
