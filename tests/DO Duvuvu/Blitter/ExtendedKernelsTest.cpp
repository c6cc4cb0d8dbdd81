// The extended 16-bit kernels built so far (plain, trans, colour and lookup
// slots, with and without brightness): worked pixel values, the walks, and the
// plain families as the yardstick where no tint is given.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
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

constexpr UInt16 kKey = 0x7FFF;

// One pixel through COPY16X or SCALE16X: source v over destination d.
UInt16 OnePixel(bool scale, UInt16 v, UInt16 d, const BlitTint* tint, BlitMode mode,
                UInt32 color, const UInt16* lookup, std::optional<UInt8> alpha = {}) {
  auto src = MakeMap(16, 1, 1, v);
  auto dst = MakeMap(16, 1, 1, d);
  auto alphaMap = MakeMap(8, 1, 1, alpha.value_or(0));
  const Rect s = On(*src, 0, 0, 1, 1);
  const Rect r = On(*dst, 0, 0, 1, 1);
  (scale ? SCALE16X : COPY16X)(src->handle(), dst->handle(), nullptr, &s, &r, nullptr, mode, color,
                                lookup, tint, 0, 0, 0, nullptr, alpha ? alphaMap->handle() : nullptr,
                                nullptr);
  return static_cast<UInt16>(dst->Get(0, 0));
}

// A table that maps every pixel to itself but one.
std::vector<UInt16> TableWith(UInt16 index, UInt16 entry) {
  std::vector<UInt16> table(65536);
  for (size_t i = 0; i < table.size(); ++i) table[i] = static_cast<UInt16>(i);
  table[index] = entry;
  return table;
}

// Channel bytes U (all three equal) and the level byte; U 32 and level 32
// are neutral.
struct GoldenRow {
  const char* what;
  UInt16 source;
  UInt16 dest;
  UInt8 u;
  SInt8 level;
  BlitMode mode;
  std::optional<UInt16> entry;  // lookup[source], when a table is passed
  UInt32 color;
  UInt16 want;
};

const GoldenRow kGoldenRows[] = {
    // Whole values, bit 15 included.
    {"plain copy keeps bit 15", 0x8000, 0x1234, 32, 32, 0, {}, kBlitNoColor, 0x8000},
    {"plain mode 1 skips a key source", kKey, 0x1234, 32, 32, 1, {}, kBlitNoColor, 0x1234},
    {"plain mode 0 copies a key source", kKey, 0x1234, 32, 32, 0, {}, kBlitNoColor, kKey},
    {"plain mode 2 keeps a key destination", 0x0421, kKey, 32, 32, 2, {}, kBlitNoColor, kKey},
    {"0xFFFF is not the key", 0xFFFF, 0x1234, 32, 32, 2, {}, kBlitNoColor, 0xFFFF},
    {"colour replaces the source", 0x1111, 0x2222, 32, 32, 0, {}, 0x8123, 0x8123},
    {"colour mode 1 tests the source", kKey, 0x2222, 32, 32, 1, {}, 0x0123, 0x2222},
    {"lookup entry with bit 15", 0x0001, 0x2222, 32, 32, 0, 0x8421, kBlitNoColor, 0x8421},
    {"lookup mode 1 draws a key entry", 0x0001, 0x2222, 32, 32, 1, kKey, kBlitNoColor, kKey},
    {"lookup mode 1 tests the raw source", kKey, 0x2222, 32, 32, 1, 0x0001, kBlitNoColor, 0x2222},
    {"lookup mode 3 skips a key entry", 0x0001, 0x2222, 32, 32, 3, kKey, kBlitNoColor, 0x2222},
    {"lookup mode 3 draws a key source", kKey, 0x2222, 32, 32, 3, 0x0005, kBlitNoColor, 0x0005},
    // Translucency level.
    {"trans 16: red 31 over 0", 0x7C00, 0x0000, 32, 16, 0, {}, kBlitNoColor, 0x3C00},
    {"trans 16: red 0 over 31", 0x0000, 0x7C00, 32, 16, 0, {}, kBlitNoColor, 0x3C00},
    {"trans 16: white over black", kKey, 0x0000, 32, 16, 0, {}, kBlitNoColor, 0x3DEF},
    {"trans 16 mode 1 skips a key source", kKey, 0x0000, 32, 16, 1, {}, kBlitNoColor, 0x0000},
    {"trans 16: bit 15 adds into red", 0x8000, 0x0000, 32, 16, 0, {}, kBlitNoColor, 0x4000},
    {"trans 0 writes the destination without bit 15", 0x1234, 0x8123, 32, 0, 0, {}, kBlitNoColor,
     0x0123},
    {"trans 31 floors each field", 0x03E0, 0x0000, 32, 31, 0, {}, kBlitNoColor, 0x03C0},
    {"trans 16 colour", 0x1111, 0x001F, 32, 16, 0, {}, 0x7C00, 0x3C0F},
    {"trans 16 lookup mode 3", 0x0001, 0x0000, 32, 16, 3, 0x7C00, kBlitNoColor, 0x3C00},
    {"trans 16 lookup mode 3 skips a key entry", 0x0001, 0x0000, 32, 16, 3, kKey, kBlitNoColor,
     0x0000},
    // Brightness: U folds to a level and an offset per field.
    {"bright U 0", 0x5294, 0x1234, 0, 32, 0, {}, kBlitNoColor, 0x0000},
    {"bright U 16", 0x5294, 0x1234, 16, 32, 0, {}, kBlitNoColor, 0x294A},
    {"bright U 31", 0x5294, 0x1234, 31, 32, 0, {}, kBlitNoColor, 0x4E73},
    {"bright U 33", 0x5294, 0x1234, 33, 32, 0, {}, kBlitNoColor, 0x5294},
    {"bright U 48", 0x5294, 0x1234, 48, 32, 0, {}, kBlitNoColor, 0x6B5A},
    {"bright U 63", 0x5294, 0x1234, 63, 32, 0, {}, kBlitNoColor, kKey},
    {"bright U 64 writes the key", 0x0000, 0x1234, 64, 32, 0, {}, kBlitNoColor, kKey},
    {"bright U 16: bit 15 adds into red", 0x8000, 0x1234, 16, 32, 0, {}, kBlitNoColor, 0x4000},
    {"bright U 16 mode 1 skips a key source", kKey, 0x1234, 16, 32, 1, {}, kBlitNoColor, 0x1234},
    {"bright U 48 then trans 8", 0x0000, kKey, 48, 8, 0, {}, kBlitNoColor, 0x6F7B},
    {"bright U 16 then trans 16", kKey, 0x0000, 16, 16, 0, {}, kBlitNoColor, 0x1CE7},
    {"bright U 16 of a lookup entry", 0x0001, 0x1234, 16, 32, 0, 0x5294, kBlitNoColor, 0x294A},
    {"bright U 48 lookup mode 3 skips a key entry", 0x0001, 0x1234, 48, 32, 3, kKey,
     kBlitNoColor, 0x1234},
};

TEST(ExtendedKernels, WorkedPixelValues) {
  testsupport::RecordingMessageBox boxes;
  for (const GoldenRow& row : kGoldenRows) {
    const BlitTint tint{row.u, row.u, row.u, row.level};
    std::vector<UInt16> table;
    if (row.entry) table = TableWith(row.source, *row.entry);
    const UInt16* lookup = row.entry ? table.data() : nullptr;
    for (bool scale : {false, true}) {
      EXPECT_EQ(OnePixel(scale, row.source, row.dest, &tint, row.mode, row.color, lookup), row.want)
          << row.what << (scale ? " (SCALE16X)" : " (COPY16X)");
    }
  }
  EXPECT_TRUE(boxes.boxes().empty()) << "a request reached a stub: " << boxes.boxes()[0].text;
}

// The alpha byte a weighs the drawn value; with a level T the weight is
// (a * T) >> 5. No clamp: weights above 32 carry between fields.
struct AlphaRow {
  UInt16 source;
  UInt16 dest;
  UInt8 alpha;
  UInt8 u;
  SInt8 level;
  BlitMode mode;
  std::optional<UInt16> entry;
  UInt32 color;
  UInt16 want;
};

const AlphaRow kAlphaRows[] = {
    {0x7C00, 0x001F, 16, 32, 32, 0, {}, kBlitNoColor, 0x3C0F},
    {0x7C00, 0x001F, 32, 32, 32, 0, {}, kBlitNoColor, 0x7C00},
    {0x7C00, 0x001F, 0, 32, 32, 0, {}, kBlitNoColor, 0x001F},
    {0x7FFF, 0x0000, 16, 32, 32, 0, {}, kBlitNoColor, 0x3DEF},
    {0x0000, 0x7FFF, 16, 32, 32, 0, {}, kBlitNoColor, 0x3DEF},
    {0x7C00, 0x001F, 64, 32, 32, 0, {}, kBlitNoColor, 0x7401},
    {0x0000, 0x7C00, 64, 32, 32, 0, {}, kBlitNoColor, 0x07E0},
    {0x7C00, 0x001F, 16, 32, 16, 0, {}, kBlitNoColor, 0x1C17},
    {0x7C00, 0x001F, 16, 32, 64, 0, {}, kBlitNoColor, 0x7C00},
    {0x7C00, 0x001F, 16, 32, 0, 0, {}, kBlitNoColor, 0x001F},
    {0x03E0, 0x0000, 31, 32, 31, 0, {}, kBlitNoColor, 0x03A0},
    {0x8000, 0x0000, 16, 32, 32, 0, {}, kBlitNoColor, 0x4000},
    {0x1234, 0x8123, 0, 32, 32, 0, {}, kBlitNoColor, 0x0123},
    {0x7FFF, 0x0000, 16, 32, 32, 1, {}, kBlitNoColor, 0x0000},
    {0x1111, 0x001F, 16, 32, 32, 0, {}, 0x7C00, 0x3C0F},
    {0x0001, 0x001F, 16, 32, 32, 3, 0x7C00, kBlitNoColor, 0x3C0F},
    {0x0001, 0x001F, 16, 32, 32, 3, kKey, kBlitNoColor, 0x001F},
    {0x0001, 0x001F, 16, 32, 32, 1, kKey, kBlitNoColor, 0x3DFF},
    // Brightened, then weighed by the alpha byte.
    {0x5294, 0x1234, 32, 16, 32, 0, {}, kBlitNoColor, 0x294A},
    {0x0000, 0x7FFF, 8, 48, 32, 0, {}, kBlitNoColor, 0x6F7B},
    {0x0000, 0x7FFF, 16, 48, 16, 0, {}, kBlitNoColor, 0x6F7B},
    {0x0001, 0x7FFF, 16, 48, 16, 3, 0x0000, kBlitNoColor, 0x6F7B},
};

TEST(ExtendedKernels, WorkedAlphaValues) {
  testsupport::RecordingMessageBox boxes;
  for (size_t i = 0; i < std::size(kAlphaRows); ++i) {
    const AlphaRow& row = kAlphaRows[i];
    const BlitTint tint{row.u, row.u, row.u, row.level};
    std::vector<UInt16> table;
    if (row.entry) table = TableWith(row.source, *row.entry);
    const UInt16* lookup = row.entry ? table.data() : nullptr;
    for (bool scale : {false, true}) {
      EXPECT_EQ(OnePixel(scale, row.source, row.dest, &tint, row.mode, row.color, lookup, row.alpha),
                row.want)
          << "row " << i << (scale ? " (SCALE16X)" : " (COPY16X)");
    }
  }
  EXPECT_TRUE(boxes.boxes().empty()) << "a request reached a stub: " << boxes.boxes()[0].text;
}

// Channel levels that differ map each field on its own: f' = (f * m + o) >> 5
// with m and o folded from the channel's byte, bit 15 dropped.
struct MapRow {
  UInt16 source;
  UInt16 dest;
  UInt8 red, green, blue;
  SInt8 level;
  BlitMode mode;
  std::optional<UInt8> alpha;
  std::optional<UInt16> entry;
  UInt16 want;
};

const MapRow kMapRows[] = {
    {0x7FFF, 0x1234, 16, 16, 8, 32, 0, {}, {}, 0x3DE7},
    {0x0000, 0x1234, 48, 32, 64, 32, 0, {}, {}, 0x401F},
    {0x83E0, 0x1234, 32, 40, 0, 32, 0, {}, {}, 0x03E0},
    {0x4210, 0x1234, 33, 63, 1, 32, 0, {}, {}, 0x43E0},
    {0xFFFF, 0x1234, 16, 40, 8, 32, 0, {}, {}, 0x3FE7},
    {0x7FFF, 0x1234, 16, 40, 8, 32, 1, {}, {}, 0x1234},
    {0xFFFF, 0x1234, 16, 40, 8, 32, 1, {}, {}, 0x3FE7},
    {0x7C00, 0x001F, 16, 32, 31, 16, 0, {}, {}, 0x1C0F},
    {0x7C00, 0x801F, 16, 32, 31, 0, 0, {}, {}, 0x001F},
    {0x7C00, 0x7FFF, 16, 32, 31, 16, 2, {}, {}, 0x7FFF},
    {0x1234, 0x0000, 16, 48, 32, 32, 1, {}, 0x7FFF, 0x3FFF},
    {0x1234, 0x0000, 16, 48, 32, 32, 3, {}, 0x7FFF, 0x0000},
    {0x7FFF, 0x0000, 16, 48, 32, 32, 3, {}, 0x03E0, 0x03E0},
    // Whole tints of the graphics layer.
    {0x5294, 0x1234, 0, 0, 0, 32, 0, {}, {}, 0x0000},
    {0x5294, 0x1234, 64, 64, 64, 32, 0, {}, {}, 0x7FFF},
    {0x7FFF, 0x1234, 16, 48, 16, 32, 0, {}, {}, 0x3DEF},
    {0x0000, 0x1234, 40, 24, 24, 32, 0, {}, {}, 0x2108},
    // Mapped, then weighed by the alpha byte (and the level).
    {0x4210, 0x0000, 32, 16, 64, 32, 0, 32, {}, 0x411F},
    {0x4210, 0x0000, 32, 16, 64, 32, 0, 16, {}, 0x208F},
    {0x4210, 0x7FFF, 32, 16, 64, 32, 0, 16, {}, 0x5E7F},
    {0x7FFF, 0x0000, 48, 0, 32, 32, 0, 32, {}, 0x7C1F},
    {0x7FFF, 0x0000, 48, 0, 32, 32, 1, 32, {}, 0x0000},
    {0x1234, 0x5678, 10, 50, 20, 32, 0, 0, {}, 0x5678},
    {0x4210, 0x0000, 32, 16, 64, 16, 0, 32, {}, 0x208F},
    {0x4210, 0x0000, 32, 16, 64, 16, 0, 16, {}, 0x1047},
    {0x0001, 0x0000, 32, 16, 64, 32, 3, 32, 0x4210, 0x411F},
    {0x0001, 0x0000, 32, 16, 64, 32, 3, 32, 0x7FFF, 0x0000},
};

TEST(ExtendedKernels, WorkedChannelMappingValues) {
  testsupport::RecordingMessageBox boxes;
  for (size_t i = 0; i < std::size(kMapRows); ++i) {
    const MapRow& row = kMapRows[i];
    const BlitTint tint{row.red, row.green, row.blue, row.level};
    std::vector<UInt16> table;
    if (row.entry) table = TableWith(row.source, *row.entry);
    const UInt16* lookup = row.entry ? table.data() : nullptr;
    for (bool scale : {false, true}) {
      EXPECT_EQ(OnePixel(scale, row.source, row.dest, &tint, row.mode, kBlitNoColor, lookup,
                         row.alpha),
                row.want)
          << "row " << i << (scale ? " (SCALE16X)" : " (COPY16X)");
    }
  }
  EXPECT_TRUE(boxes.boxes().empty()) << "a request reached a stub: " << boxes.boxes()[0].text;
}

// An alpha map that is the source pixmap itself is read as bytes of the
// source's own rows, over the same cut rectangle, in every orientation and
// scale, and never outside them: the same blit with a separate 8-bit map
// holding those bytes draws the same pixels.
TEST(ExtendedKernels, SourceAsItsOwnAlphaMap) {
  struct Case {
    const char* what;
    int srcW, srcH, dstW, dstH;
    UInt8 flipH;
    SInt8 rotation;
    bool scale;
  } cases[] = {
      {"half, flipped", 16, 12, 8, 6, 1, 0, true},
      {"half, rotation 1", 16, 12, 6, 8, 0, 1, true},
      {"half, rotation 3", 16, 12, 6, 8, 0, 3, true},
      {"double", 6, 5, 12, 10, 0, 0, true},
      {"double, rotation 3, flipped", 6, 5, 10, 12, 1, 3, true},
      {"same size, rotation 1", 7, 5, 5, 7, 0, 1, true},
      {"same size, rotation 1", 7, 5, 5, 7, 0, 1, false},
  };
  std::mt19937 rng(20);
  const blitref::PixelMix mix;
  for (const BlitTint& tint : {BlitTint{32, 32, 32, 32}, BlitTint{16, 16, 16, 20}}) {
    for (const Case& c : cases) {
      auto src = blitref::TestMap::Random(16, c.srcW, c.srcH, rng, mix);
      auto twin = MakeMap(8, c.srcW, c.srcH, 0);
      const auto* bytes = reinterpret_cast<const UInt8*>(src->pixmap().baseAddr);
      const int stride = src->pixmap().rowBytes & 0x7FFF;
      for (int y = 0; y < c.srcH; ++y) {
        for (int x = 0; x < c.srcW; ++x) twin->Set(x, y, bytes[y * stride + x]);
      }
      auto dst = blitref::TestMap::Random(16, c.dstW, c.dstH, rng, mix);
      auto want = dst->Clone();
      auto before = dst->Clone();
      auto srcBefore = src->Clone();
      const Rect s = On(*src, 0, 0, c.srcW, c.srcH);
      const Rect d = On(*dst, 0, 0, c.dstW, c.dstH);
      auto blit = c.scale ? SCALE16X : COPY16X;
      blit(src->handle(), dst->handle(), nullptr, &s, &d, nullptr, 0, kBlitNoColor, nullptr, &tint,
           c.flipH, 0, c.rotation, nullptr, src->handle(), nullptr);
      blit(src->handle(), want->handle(), nullptr, &s, &d, nullptr, 0, kBlitNoColor, nullptr,
           &tint, c.flipH, 0, c.rotation, nullptr, twin->handle(), nullptr);
      EXPECT_NE(want->Diff(*before), "") << c.what << ": the blit drew nothing";
      EXPECT_EQ(dst->Diff(*want), "") << c.what;
      EXPECT_EQ(src->Diff(*srcBefore), "") << c.what;
    }
  }
}

// Only the 72 unreachable slots alert, each once with a name that says so;
// a kernel given a mode it does not draw is silent.
TEST(ExtendedKernels, OnlyStubSlotsAlert) {
  for (const BlitVariantTableX* table : {&COPY16XVariants, &SCALE16XVariants}) {
    int stubs = 0;
    for (unsigned slot = 0; slot < 128; ++slot) {
      std::vector<UInt16> pixels(4, 0x1234);
      BlitVariantArgsX args;
      args.mode = 4;
      args.srcStart = pixels.data();
      args.dstStart = pixels.data();
      args.dstEnd = pixels.data() + 4;
      args.width = 4;
      args.dstRowPixels = 4;
      testsupport::RecordingMessageBox boxes;
      (*table)[slot](args);
      EXPECT_EQ(pixels, std::vector<UInt16>(4, 0x1234)) << slot;
      if (boxes.boxes().empty()) continue;
      ++stubs;
      ASSERT_EQ(boxes.boxes().size(), 1u) << slot;
      const std::string& text = boxes.boxes()[0].text;
      EXPECT_EQ(text.substr(text.size() - 7), "_UNUSED") << slot;
      EXPECT_TRUE(IsExtendedStubSlot(slot)) << text;
    }
    EXPECT_EQ(stubs, 72);
  }
}

// A hand-made call of one slot on a 4 x 4 source (pixel = 0x100 * row + column
// + 1) into a 4 x 4 destination of zeros, one pixel of guard after it.
struct DirectCall {
  std::vector<UInt16> src = std::vector<UInt16>(16);
  std::vector<UInt16> dst = std::vector<UInt16>(17, 0);
  std::vector<UInt16> mask = std::vector<UInt16>(16, kKey);
  BlitVariantArgsX a;
  DirectCall() {
    for (int i = 0; i < 16; ++i) src[i] = static_cast<UInt16>(0x100 * (i / 4) + i % 4 + 1);
    a.srcStart = src.data();
    a.dstStart = dst.data();
    a.maskStart = mask.data();
    a.srcPixelStep = 1;
    a.srcRowPixels = 4;
    a.dstRowPixels = 4;
    a.maskRowPixels = 4;
    a.width = 4;
    a.dstEnd = dst.data() + 16;
    a.srcExtent = 4;
    a.dstExtent = 4;
  }
  std::vector<UInt16> Rows() const { return {dst.begin(), dst.begin() + 16}; }
};

// Every destination row shows `rows`[y] of the source, whole.
std::vector<UInt16> ShowingRows(std::vector<int> rows) {
  std::vector<UInt16> out;
  for (int r : rows) {
    for (int x = 0; x < 4; ++x) out.push_back(static_cast<UInt16>(0x100 * r + x + 1));
  }
  return out;
}

TEST(ExtendedKernels, ScaleWalkRowMoves) {
  ASSERT_TRUE(EnsureScaleStepBuffer(4));
  struct Case {
    const char* what;
    SInt32 srcExtent, dstExtent, rowError;
    UInt32 rowWalk;
    std::vector<int> rows;
  } cases[] = {
      {"step equal to its limit", 4, 4, 0, 0, {0, 1, 2, 3}},
      {"step of 0 repeats the first row", 0, 4, 0, 0, {0, 0, 0, 0}},
      {"unknown row walk repeats the first row", 4, 4, 0, 7, {0, 0, 0, 0}},
      {"half-speed rows", 2, 4, 0, 0, {0, 0, 1, 1}},
      {"a starting error moves earlier", 2, 4, 2, 0, {0, 1, 1, 2}},
      {"a limit of 0 moves no row", 4, 0, 0, 0, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    DirectCall call;
    ASSERT_NE(EnsureScaleStepBuffer(4), nullptr);
    for (int i = 0; i < 4; ++i) ScaleStepBuffer[i] = 1;
    call.a.srcExtent = c.srcExtent;
    call.a.dstExtent = c.dstExtent;
    call.a.rowError = c.rowError;
    call.a.rowWalk = c.rowWalk;
    SCALE16XVariants[0](call.a);
    EXPECT_EQ(call.Rows(), ShowingRows(c.rows)) << c.what;
    EXPECT_EQ(call.dst[16], 0) << c.what;
  }
}

TEST(ExtendedKernels, ScaleWalkAcrossARow) {
  ASSERT_TRUE(EnsureScaleStepBuffer(4));
  struct Case {
    const char* what;
    UInt8 shrink;
    int start;
    std::vector<UInt32> steps;
    std::vector<UInt16> firstRow;
  } cases[] = {
      // Shrinking: the source moves by each entry after its pixel.
      {"entries of 2 skip a pixel", 1, 0, {2, 1, 0, 1}, {0x01, 0x03, 0x04, 0x04}},
      {"negative moves walk back", 1, 3, {UInt32(-1), UInt32(-1), 2, 1}, {0x04, 0x03, 0x02, 0x04}},
      // Enlarging: counts of repeats, then one source step.
      {"counts repeat a pixel", 0, 0, {2, 1, 1, 0}, {0x01, 0x01, 0x02, 0x03}},
      {"a count past the width stops at the width", 0, 0, {3, 5, 0, 0}, {0x01, 0x01, 0x01, 0x02}},
  };
  for (const Case& c : cases) {
    DirectCall call;
    ASSERT_NE(EnsureScaleStepBuffer(static_cast<UInt32>(c.steps.size())), nullptr);
    for (size_t i = 0; i < c.steps.size(); ++i) ScaleStepBuffer[i] = c.steps[i];
    call.a.srcStart = call.src.data() + c.start;
    call.a.shrinkH = c.shrink;
    call.a.dstEnd = call.dst.data() + 4;
    SCALE16XVariants[0](call.a);
    EXPECT_EQ(std::vector<UInt16>(call.dst.begin(), call.dst.begin() + 4), c.firstRow) << c.what;
    EXPECT_EQ(std::vector<UInt16>(call.dst.begin() + 4, call.dst.end()), std::vector<UInt16>(13, 0))
        << c.what;
  }
}

// Modes a slot does not draw, a start at the end, and a colour tested through
// a missing table: nothing is written.
TEST(ExtendedKernels, CallsThatDrawNothing) {
  struct Case {
    unsigned slot;
    BlitMode mode;
    bool atEnd;
  } cases[] = {
      {0, 3, false},  {0, 16, false},  {1, 19, false},          {2, 4, false},
      {4, 3, false},  {5, 19, false},  {6, 3, false},           {8, 20, false},
      {9, 64, false}, {64, 3, false},  {65, 0xFFFFFFFF, false}, {74, 7, false},
      {0, 0, true},   {73, 16, true},
  };
  for (bool scale : {false, true}) {
    for (const Case& c : cases) {
      DirectCall call;
      ASSERT_NE(EnsureScaleStepBuffer(4), nullptr);
      for (int i = 0; i < 4; ++i) ScaleStepBuffer[i] = 1;
      call.a.mode = c.mode;
      call.a.color = 0x1234;
      call.a.transLevel = 16;
      call.a.brightLevel = 16;
      if (c.atEnd) call.a.dstEnd = call.a.dstStart;
      (scale ? SCALE16XVariants : COPY16XVariants)[c.slot](call.a);
      EXPECT_EQ(call.dst, std::vector<UInt16>(17, 0)) << "slot " << c.slot << " mode " << c.mode;
    }
  }
}

// The copy walk: source and mask steps, row skips, width 0, and the mask's
// two senses splitting the destination between them.
TEST(ExtendedKernels, CopyWalk) {
  {
    DirectCall call;  // a horizontal flip: start at the row's end, step -1
    call.a.srcStart = call.src.data() + 3;
    call.a.srcPixelStep = -1;
    call.a.srcRowSkip = 8;
    COPY16XVariants[0](call.a);
    EXPECT_EQ(call.Rows(), (std::vector<UInt16>{4, 3, 2, 1, 0x104, 0x103, 0x102, 0x101, 0x204,
                                                0x203, 0x202, 0x201, 0x304, 0x303, 0x302, 0x301}));
  }
  {
    DirectCall call;  // a quarter turn: down a column, then one column right
    call.a.srcStart = call.src.data() + 12;
    call.a.srcPixelStep = -4;
    call.a.srcRowSkip = 17;
    COPY16XVariants[0](call.a);
    EXPECT_EQ(call.Rows(), (std::vector<UInt16>{0x301, 0x201, 0x101, 1, 0x302, 0x202, 0x102, 2,
                                                0x303, 0x203, 0x103, 3, 0x304, 0x204, 0x104, 4}));
  }
  {
    DirectCall call;
    call.a.width = 0;
    COPY16XVariants[0](call.a);
    EXPECT_EQ(call.dst, std::vector<UInt16>(17, 0));
  }
  std::mt19937 rng(7);
  for (unsigned slot : {1u, 5u, 65u}) {
    for (bool scale : {false, true}) {
      DirectCall plain, inverted;
      ASSERT_NE(EnsureScaleStepBuffer(4), nullptr);
      for (int i = 0; i < 4; ++i) ScaleStepBuffer[i] = 1;
      for (int i = 0; i < 16; ++i) plain.mask[i] = inverted.mask[i] = rng() % 2 ? kKey : 0xFFFF;
      plain.a.color = inverted.a.color = 0x0001;
      // Brightened pixels gain 1 per field, so none is written as 0.
      plain.a.brightLevel = inverted.a.brightLevel = 16;
      plain.a.brightOffset = inverted.a.brightOffset = 0x00200401;
      inverted.a.mode = 16;
      const BlitVariantTableX& table = scale ? SCALE16XVariants : COPY16XVariants;
      table[slot](plain.a);
      table[slot](inverted.a);
      for (int i = 0; i < 16; ++i) {
        // Exactly one of the two writes each pixel.
        EXPECT_NE(plain.dst[i] == 0, inverted.dst[i] == 0) << "slot " << slot << " pixel " << i;
        EXPECT_EQ(plain.dst[i] != 0, plain.mask[i] == kKey) << "slot " << slot << " pixel " << i;
      }
    }
  }
}

// Three equal channel levels and offsets map each field as one brightness
// level and its uniform offset does, in every slot that pairs them.
TEST(ExtendedKernels, EqualChannelLevelsAreOneBrightness) {
  std::mt19937 rng(21);
  std::vector<UInt16> table(65536);
  for (UInt16& entry : table) entry = static_cast<UInt16>(rng() & 0x7FFF);
  for (int l = 0; l <= 32; ++l) {
    struct Fold {
      UInt32 channelOffset;
      UInt32 brightOffset;
    };
    // Brightening to full at level 0 adds 31 per field, not 32.
    std::vector<Fold> folds = {{0, 0}};
    if (l > 0) folds.push_back({UInt32(32 - l) * 32, UInt32(32 - l) * 0x00200401});
    if (l == 0) folds.push_back({992, 0x03E07C1F});
    for (const Fold& f : folds) {
      for (unsigned low : {0u, 1u, 2u, 3u, 8u, 9u, 10u, 11u, 16u, 19u, 24u, 27u}) {
        for (bool scale : {false, true}) {
          DirectCall mapped, bright;
          ASSERT_NE(EnsureScaleStepBuffer(4), nullptr);
          for (int i = 0; i < 4; ++i) ScaleStepBuffer[i] = 1;
          std::vector<UInt8> alpha(16);
          for (int i = 0; i < 16; ++i) {
            mapped.src[i] = bright.src[i] = static_cast<UInt16>(rng() & 0x7FFF);
            mapped.dst[i] = bright.dst[i] = static_cast<UInt16>(rng() & 0x7FFF);
            mapped.mask[i] = bright.mask[i] = rng() % 2 ? kKey : 0;
            alpha[i] = static_cast<UInt8>(rng() % 33);
          }
          for (DirectCall* call : {&mapped, &bright}) {
            call->a.mode = low & kBlitFlagLookup ? 3 : 1;
            call->a.lookupTable = table.data();
            call->a.alphaStart = alpha.data();
            call->a.alphaStep = 1;
            call->a.alphaRowBytes = 4;
            call->a.transLevel = 20;
          }
          mapped.a.redLevel = mapped.a.greenLevel = mapped.a.blueLevel = l;
          mapped.a.redOffset = mapped.a.greenOffset = mapped.a.blueOffset =
              static_cast<SInt32>(f.channelOffset);
          bright.a.brightLevel = l;
          bright.a.brightOffset = f.brightOffset;
          const BlitVariantTableX& table16 = scale ? SCALE16XVariants : COPY16XVariants;
          table16[kBlitFlagMapping | low](mapped.a);
          table16[kBlitFlagBright | low](bright.a);
          ASSERT_EQ(mapped.dst, bright.dst)
              << "level " << l << " offset " << f.channelOffset << " slot " << low;
        }
      }
    }
  }
}

// With no tint and no alpha map the extended dispatchers draw what the plain
// 16-bit ones draw, for every orientation, clip, mask, colour and table.
void SameAsPlain(blitref::Family family, uint32_t firstSeed, int count) {
  using namespace blitref;
  testsupport::RecordingMessageBox boxes;
  for (int i = 0; i < count; ++i) {
    const uint32_t seed = firstSeed + static_cast<uint32_t>(i);
    std::mt19937 rng(seed);
    CaseFlags flags;
    flags.mask = rng() % 2;
    flags.color = rng() % 3 == 0;
    flags.lookup = rng() % 3 == 0;
    RandomCase c = MakeCase(family, rng, flags, kTestModes[rng() % 13]);
    const Blit& b = c.blit;
    // The same maps again for the extended side.
    auto dst = b.dst->Clone();
    auto src = b.src == b.dst ? nullptr : b.src->Clone();
    TestMap* xsrc = src ? src.get() : dst.get();
    RunDispatcher(b);
    const Rect* clip = b.clip ? &*b.clip : nullptr;
    const Rect* maskRect = b.maskRect ? &*b.maskRect : nullptr;
    (family == Family::SCALE16 ? SCALE16X : COPY16X)(
        xsrc->handle(), dst->handle(), b.mask ? b.mask->handle() : nullptr, &b.srcRect, &b.dstRect,
        clip, b.mode, b.color, static_cast<const UInt16*>(b.lookup), nullptr, b.flipH, b.flipV,
        b.rotation, maskRect, nullptr, nullptr);
    ASSERT_EQ(dst->Diff(*b.dst), "") << "seed " << seed << ": " << b.Describe();
    if (src) {
      ASSERT_EQ(src->Diff(*b.src), "") << "seed " << seed << ": " << b.Describe();
    }
  }
  EXPECT_TRUE(boxes.boxes().empty());
}

// An alpha map of 32 everywhere weighs nothing: each alpha slot draws what
// its twin without alpha draws, under any tint, orientation, clip, mask and
// scale, on pixels and colours with bit 15 clear.
void FullAlphaIsNoAlpha(bool scale, uint32_t firstSeed, int count) {
  using namespace blitref;
  testsupport::RecordingMessageBox boxes;
  int drawn = 0;
  for (int i = 0; i < count; ++i) {
    const uint32_t seed = firstSeed + static_cast<uint32_t>(i);
    std::mt19937 rng(seed);
    CaseFlags flags;
    flags.mask = rng() % 2;
    flags.color = rng() % 3 == 0;
    const Family family = scale ? Family::SCALE16 : Family::COPY16;
    RandomCase c = MakeCase(family, rng, flags, kTestModes[rng() % 13]);
    Blit& b = c.blit;
    for (TestMap* map : {b.src, b.dst}) {
      for (int y = 0; y < map->height(); ++y) {
        for (int x = 0; x < map->width(); ++x) map->Set(x, y, map->Get(x, y) & 0x7FFF);
      }
    }
    if (b.color != kBlitNoColor) b.color &= 0x7FFF;
    BlitTint tint{static_cast<UInt8>(rng() % 65), static_cast<UInt8>(rng() % 65),
                  static_cast<UInt8>(rng() % 65), static_cast<SInt8>(rng() % 33)};
    if (rng() % 2) tint.green = tint.blue = tint.red;
    auto alpha = MakeMap(8, b.src->width(), b.src->height(), 32);
    auto dst = b.dst->Clone();
    auto before = b.dst->Clone();
    auto src = b.src == b.dst ? nullptr : b.src->Clone();
    TestMap* xsrc = src ? src.get() : dst.get();
    const Rect* clip = b.clip ? &*b.clip : nullptr;
    const Rect* maskRect = b.maskRect ? &*b.maskRect : nullptr;
    auto blit = scale ? SCALE16X : COPY16X;
    PixMapHandle mask = b.mask ? b.mask->handle() : nullptr;
    blit(b.src->handle(), b.dst->handle(), mask, &b.srcRect, &b.dstRect, clip, b.mode, b.color,
         nullptr, &tint, b.flipH, b.flipV, b.rotation, maskRect, nullptr, nullptr);
    blit(xsrc->handle(), dst->handle(), mask, &b.srcRect, &b.dstRect, clip, b.mode, b.color,
         nullptr, &tint, b.flipH, b.flipV, b.rotation, maskRect, alpha->handle(), nullptr);
    ASSERT_EQ(dst->Diff(*b.dst), "") << "seed " << seed << ": " << b.Describe();
    drawn += before->Diff(*dst).empty() ? 0 : 1;
  }
  EXPECT_TRUE(boxes.boxes().empty());
  // Most requests draw something, or the identity says little.
  EXPECT_GT(drawn, count / 5);
}

TEST(ExtendedKernels, COPY16XFullAlphaIsNoAlpha) { FullAlphaIsNoAlpha(false, 63000000, 1500); }
TEST(ExtendedKernels, SCALE16XFullAlphaIsNoAlpha) { FullAlphaIsNoAlpha(true, 64000000, 1500); }

TEST(ExtendedKernels, COPY16XWithoutTintIsCOPY16) { SameAsPlain(blitref::Family::COPY16, 61000000, 3000); }
TEST(ExtendedKernels, SCALE16XWithoutTintIsSCALE16) { SameAsPlain(blitref::Family::SCALE16, 62000000, 3000); }

}  // namespace
