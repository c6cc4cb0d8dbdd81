// Identities between families and slots: each side runs the real kernels, so
// these hold whatever the reference model says.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "BlitCases.h"

namespace {

using namespace blitref;

bool Chance(std::mt19937& rng, int percent) { return static_cast<int>(rng() % 100) < percent; }

// A second set of maps equal to a case's, with the blit pointed at them.
struct Copy {
  std::unique_ptr<TestMap> src, dst, mask;
  Blit blit;
  explicit Copy(const Blit& b) : blit(b) {
    dst = b.dst->Clone();
    blit.dst = dst.get();
    if (b.src == b.dst) {
      blit.src = dst.get();
    } else {
      src = b.src->Clone();
      blit.src = src.get();
    }
    if (b.mask) {
      mask = b.mask->Clone();
      blit.mask = mask.get();
    }
  }
};

std::string SameMaps(const Blit& a, const Blit& b) {
  std::string d = a.dst->Diff(*b.dst);
  if (!d.empty()) return "destination: " + d;
  if (a.src != a.dst) {
    d = a.src->Diff(*b.src);
    if (!d.empty()) return "source: " + d;
  }
  return "";
}

std::string Seed(uint32_t seed, const Blit& b) { return "seed " + std::to_string(seed) + ": " + b.Describe(); }

// SCALEn with the oriented source the destination's size draws what COPYn
// draws, for every slot, mode, orientation and clip.
void ScaleEqualsCopy(Family copy, uint32_t firstSeed, int count) {
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
    shape.equalSizes = true;
    RandomCase c = MakeCase(copy, rng, flags, mode, shape);
    Copy scaled(c.blit);
    scaled.blit.family = Twin(copy);
    const SlotCall call{slot, mode, c.blit.color, c.blit.lookup, c.blit.trans};
    ASSERT_EQ(RunSlot(c.blit, call), RunSlot(scaled.blit, call)) << Seed(seed, c.blit);
    ASSERT_EQ(SameMaps(c.blit, scaled.blit), "") << Seed(seed, c.blit) << " slot " << slot;

    // And the same through both dispatchers with random options.
    CaseFlags options{Chance(rng, 40), Chance(rng, 35), Chance(rng, 35), Chance(rng, 35), true};
    RandomCase d = MakeCase(copy, rng, options, kTestModes[rng() % 13], shape);
    Copy viaScale(d.blit);
    viaScale.blit.family = Twin(copy);
    RunDispatcher(d.blit);
    RunDispatcher(viaScale.blit);
    ASSERT_EQ(SameMaps(d.blit, viaScale.blit), "") << Seed(seed, d.blit);
  }
}

TEST(BlitterIdentity, SCALE8EqualsCOPY8AtEqualSizes) { ScaleEqualsCopy(Family::COPY8, 41000000, 12 * 13 * 16); }
TEST(BlitterIdentity, SCALE16EqualsCOPY16AtEqualSizes) { ScaleEqualsCopy(Family::COPY16, 42000000, 12 * 13 * 16); }
TEST(BlitterIdentity, SCALE32EqualsCOPY32AtEqualSizes) { ScaleEqualsCopy(Family::COPY32, 43000000, 12 * 13 * 16); }

// COPY16AllFlags equals COPY16, except that without a mask modes 16-19 draw
// as modes 0-3.
TEST(BlitterIdentity, COPY16AllFlagsEqualsCOPY16) {
  for (int i = 0; i < 3000; ++i) {
    const uint32_t seed = 44000000 + static_cast<uint32_t>(i);
    std::mt19937 rng(seed);
    CaseFlags options{Chance(rng, 40), Chance(rng, 35), Chance(rng, 35), Chance(rng, 35), true};
    CaseShape shape;
    shape.orientation = i % 16;
    RandomCase c = MakeCase(Family::COPY16, rng, options, kTestModes[rng() % 13], shape);
    Copy plain(c.blit);
    if (const auto chosen = RealSelect(c.blit)) {
      // The set-up's own rewrite; COPY16 leaves these modes alone again.
      if (!c.blit.mask && chosen->mode >= 16 && chosen->mode <= 19) plain.blit.mode = chosen->mode - 16;
    }
    RunAllFlagsDispatcher(c.blit);
    RunDispatcher(plain.blit);
    ASSERT_EQ(SameMaps(c.blit, plain.blit), "") << Seed(seed, c.blit);
  }
}

// Per depth: the background every destination starts from, a source value,
// the lookup entry, the colour; none is the key and all differ, so "written"
// means "no longer the background" whatever a slot writes.
struct Marks {
  uint32_t background, source, entry, color;
};
Marks MarksOf(int depth) {
  return depth == 16 ? Marks{0x1234, 0x0021, 0x0033, 0x0044} : Marks{0x12, 0x21, 0x33, 0x44};
}

// The 12 drawing slots of a SCALE family pair each destination pixel with
// the same source pixel: with sources whose key pattern spells one bit of
// each source pixel's index, mode 1 writes exactly where that bit is set.
void SlotsPairSamePixels(Family family, uint32_t firstSeed, int count) {
  const int depth = DepthOf(family);
  const uint32_t key = KeyOf(depth);
  const Marks marks = MarksOf(depth);
  const PixelTable& trans = SharedTrans(depth);
  for (uint32_t v : {marks.source, marks.entry, marks.color})
    ASSERT_NE(trans.Get((v << 8) + marks.background), marks.background);
  PixelTable lookup(depth, depth == 32 ? key + 1 : (depth == 16 ? 65536 : 256));
  lookup.Set(marks.source, marks.entry);
  lookup.Set(key, marks.entry);

  for (int i = 0; i < count; ++i) {
    const uint32_t seed = firstSeed + static_cast<uint32_t>(i);
    std::mt19937 rng(seed);
    CaseShape shape;
    shape.allowSameMap = false;
    shape.orientation = i % 16;
    RandomCase c = MakeCase(family, rng, CaseFlags{true, false, false, false, false}, 1, shape);
    Blit& b = c.blit;
    b.mask->Fill(key);
    const TestMap& src = *b.src;
    const int n = src.width() * src.height();
    int bits = 1;
    while ((1 << bits) < n) ++bits;

    // index[slot][pixel of the destination map], assembled bit by bit.
    std::vector<std::vector<int>> index(12, std::vector<int>(static_cast<size_t>(b.dst->width() * b.dst->height()), 0));
    for (int bit = 0; bit < bits; ++bit) {
      for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
          c.src->Set(x, y, ((y * src.width() + x) >> bit) & 1 ? marks.source : key);
      for (unsigned slot = 0; slot < 12; ++slot) {
        Copy run(b);
        run.dst->Fill(marks.background);
        auto untouched = run.dst->Clone();
        const SlotCall call{slot, 1, slot & 4 ? marks.color : kNoColor, slot & 8 ? lookup.data() : nullptr,
                            slot & 2 ? trans.data() : nullptr};
        RunSlot(run.blit, call);
        for (int y = 0; y < run.dst->height(); ++y)
          for (int x = 0; x < run.dst->width(); ++x)
            if (run.dst->Get(x, y) != marks.background) {
              index[slot][static_cast<size_t>(y * run.dst->width() + x)] |= 1 << bit;
              untouched->Set(x, y, run.dst->Get(x, y));
            }
        ASSERT_EQ(run.dst->Diff(*untouched), "") << Seed(seed, b) << " slot " << slot << ": stray write";
      }
    }
    for (unsigned slot = 1; slot < 12; ++slot)
      ASSERT_EQ(index[slot], index[0]) << Seed(seed, b) << ": slot " << slot << " pairs other pixels than slot 0";
    // And slot 0's pairing is the model's.
    ModelWorld world(b);
    const Request q = world.request(b);
    const SourceMap sources(q);
    for (int y = 0; y < b.dst->height(); ++y) {
      for (int x = 0; x < b.dst->width(); ++x) {
        int sx = 0, sy = 0;
        const int want = sources.SourceOf(x, y, &sx, &sy) ? sy * src.width() + sx : 0;
        ASSERT_EQ(index[0][static_cast<size_t>(y * b.dst->width() + x)], want)
            << Seed(seed, b) << " at (" << x << ", " << y << ")";
      }
    }
  }
}

TEST(BlitterIdentity, SCALE8SlotsPairSamePixels) { SlotsPairSamePixels(Family::SCALE8, 45000000, 160); }
TEST(BlitterIdentity, SCALE16SlotsPairSamePixels) { SlotsPairSamePixels(Family::SCALE16, 46000000, 160); }
TEST(BlitterIdentity, SCALE32SlotsPairSamePixels) { SlotsPairSamePixels(Family::SCALE32, 47000000, 160); }

// Modes 0 and 16 over one mask write every pixel of the clipped rectangle
// exactly once between them, and nothing else; with and without a colour.
TEST(BlitterIdentity, Modes0And16PartitionTheClip) {
  for (Family family : {Family::COPY8, Family::COPY16, Family::COPY32, Family::SCALE8, Family::SCALE16,
                        Family::SCALE32}) {
    const int depth = DepthOf(family);
    const Marks marks = MarksOf(depth);
    for (int i = 0; i < 400; ++i) {
      const uint32_t seed = 48000000 + 1000 * static_cast<uint32_t>(family) + static_cast<uint32_t>(i);
      std::mt19937 rng(seed);
      CaseShape shape;
      shape.allowSameMap = false;
      shape.orientation = i % 16;
      RandomCase c = MakeCase(family, rng, CaseFlags{true, (i & 1) != 0, false, false, false}, 0, shape);
      Blit& b = c.blit;
      if (b.color != kNoColor) b.color = marks.color;
      for (int y = 0; y < b.src->height(); ++y)
        for (int x = 0; x < b.src->width(); ++x) b.src->Set(x, y, marks.source + static_cast<uint32_t>(x + y) % 7);
      b.dst->Fill(marks.background);
      Copy inverted(b);
      inverted.blit.mode = 16;
      RunDispatcher(b);
      RunDispatcher(inverted.blit);

      ModelWorld world(b);
      const auto clipped = ReferenceClip(world.request(b));
      const Rect c0 = clipped.value_or(Rect{0, 0, 0, 0});
      auto untouched = b.dst->Clone();
      for (int y = 0; y < b.dst->height(); ++y) {
        for (int x = 0; x < b.dst->width(); ++x) {
          const bool inside = clipped && y >= c0.top && y < c0.bottom && x >= c0.left && x < c0.right;
          const int writes = (b.dst->Get(x, y) != marks.background) + (inverted.dst->Get(x, y) != marks.background);
          ASSERT_EQ(writes, inside ? 1 : 0) << Seed(seed, b) << " at (" << x << ", " << y << ")";
          untouched->Set(x, y, marks.background);
        }
      }
      inverted.dst->Fill(marks.background);
      b.dst->Fill(marks.background);
      ASSERT_EQ(b.dst->Diff(*untouched), "") << Seed(seed, b) << ": guard band";
      ASSERT_EQ(inverted.dst->Diff(*untouched), "") << Seed(seed, b) << ": guard band";
    }
  }
}

// COPY8, COPY16 and COPY32 agree on slots 0, 1, 4 and 5 for maps related by
// a one-to-one value map that keeps the key the key.
uint32_t Widen(int depth, uint32_t v) {
  if (v == 0) return KeyOf(depth);
  return depth == 16 ? v * 97 : 0x01000000u | (v * 0x010101u);
}

TEST(BlitterIdentity, DepthsAgreeUnderAValueMap) {
  for (int i = 0; i < 1500; ++i) {
    const uint32_t seed = 49000000 + static_cast<uint32_t>(i);
    std::mt19937 rng(seed);
    const bool withMask = (i & 1) != 0, withColor = (i & 2) != 0;
    CaseShape shape;
    shape.allowSameMap = false;
    shape.orientation = i % 16;
    static constexpr uint32_t modes[] = {0, 1, 2, 3, 16, 17, 18, 19, 64};
    RandomCase c8 = MakeCase(Family::COPY8, rng, CaseFlags{withMask, withColor, false, false, false},
                             modes[(i / 4) % 9], shape);
    if (withColor) c8.blit.color = static_cast<uint32_t>(rng() % 256);

    // The same request at 16 and 32 bits over widened copies of the maps.
    auto widen = [&](int depth, const TestMap& m) {
      auto w = std::make_unique<TestMap>(depth, m.width(), m.height(), Point{m.bounds().top, m.bounds().left}, rng);
      for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x) w->Set(x, y, Widen(depth, m.Get(x, y)));
      return w;
    };
    const Blit& b8 = c8.blit;
    std::unique_ptr<TestMap> src[2], dst[2], mask[2];
    Blit wide[2];
    for (int k = 0; k < 2; ++k) {
      const int depth = k == 0 ? 16 : 32;
      src[k] = widen(depth, *b8.src);
      dst[k] = widen(depth, *b8.dst);
      if (b8.mask) mask[k] = widen(depth, *b8.mask);
      wide[k] = b8;
      wide[k].family = k == 0 ? Family::COPY16 : Family::COPY32;
      wide[k].src = src[k].get();
      wide[k].dst = dst[k].get();
      wide[k].mask = mask[k].get();
      if (withColor) wide[k].color = Widen(depth, b8.color);
    }
    RunDispatcher(b8);
    for (int k = 0; k < 2; ++k) {
      const int depth = k == 0 ? 16 : 32;
      auto want = dst[k]->Clone();
      for (int y = 0; y < b8.dst->height(); ++y)
        for (int x = 0; x < b8.dst->width(); ++x) want->Set(x, y, Widen(depth, b8.dst->Get(x, y)));
      RunDispatcher(wide[k]);
      ASSERT_EQ(dst[k]->Diff(*want), "") << Seed(seed, wide[k]);
    }
  }
}

}  // namespace
