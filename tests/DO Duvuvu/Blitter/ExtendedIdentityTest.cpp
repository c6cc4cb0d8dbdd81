// Identities between the slots and the two walks of the extended 16-bit
// families: the same request drawn two ways must come out byte for byte the
// same, guards included.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "BlitCasesX.h"
#include "TestSupport.h"

namespace {

using namespace blitref;

std::vector<unsigned> RealSlotsWith(unsigned flag) {
  std::vector<unsigned> slots;
  for (unsigned s = 0; s < 128; ++s) {
    if (!IsStubSlotX(s) && (s & flag) == flag) slots.push_back(s);
  }
  return slots;
}

// The maps a request writes, copied, and the request addressed to the copies.
struct Copy {
  std::unique_ptr<TestMap> dst, src;
  BlitX blit;

  explicit Copy(const BlitX& b) : blit(b) {
    dst = b.base.dst->Clone();
    if (b.base.src != b.base.dst) src = b.base.src->Clone();
    TestMap* newSrc = src ? src.get() : dst.get();
    blit.base.dst = dst.get();
    blit.base.src = newSrc;
    if (b.alpha == b.base.src) blit.alpha = newSrc;
  }
  std::string Diff(const BlitX& b) const {
    std::string d = dst->Diff(*b.base.dst);
    if (d.empty() && src) d = src->Diff(*b.base.src);
    return d;
  }
};

bool DirectOnly(unsigned slot, uint32_t mode) { return (slot & kXColor) && (mode == 3 || mode == 19); }

// The call the set-up makes, or for a colour slot in mode 3 or 19 the
// direct call with `table`.
std::optional<SlotCallX> SetUpCall(const BlitX& b, uint32_t mode, const uint16_t* table) {
  const auto s = RealSetupX(b);
  if (!s) return std::nullopt;
  SlotCallX call;
  call.slot = s->slot;
  call.mode = DirectOnly(s->slot, mode) ? mode : s->args.mode;
  call.lookup = DirectOnly(s->slot, mode) ? table : s->args.lookupTable;
  call.transLevel = s->args.transLevel;
  return call;
}

void ClearBit15(TestMap& map) {
  for (int y = 0; y < map.height(); ++y) {
    for (int x = 0; x < map.width(); ++x) map.Set(x, y, map.Get(x, y) & 0x7FFF);
  }
}

// A full table whose entries all have bit 15 clear (a third of them keys).
const uint16_t* ClearTable() {
  static const std::vector<uint16_t> table = [] {
    std::vector<uint16_t> t(65536);
    std::mt19937 rng(77);
    for (uint16_t& e : t) e = rng() % 3 == 0 ? 0x7FFF : static_cast<uint16_t>(rng() & 0x7FFF);
    return t;
  }();
  return table.data();
}

// Values with bit 15 clear in the source, the tables and the colour.
void MakeBit15Clear(BlitX& b, RandomCaseX& c) {
  ClearBit15(*b.base.src);
  if (b.base.lookup) b.base.lookup = ClearTable();
  if (c.testTable) c.testTable = ClearTable();
  if (b.base.color != kNoColor) b.base.color &= 0xFFFF7FFF;
}

// SCALE16X at equal sizes is COPY16X, for every slot, mode, orientation,
// clip, tint and alpha map.
TEST(ExtendedIdentity, ScaleAtEqualSizesIsCopy) {
  testsupport::RecordingMessageBox boxes;
  uint32_t seed = 20400000;
  for (unsigned slot : RealSlotsWith(0)) {
    int drawn = 0;
    for (uint32_t mode : kTestModes) {
      for (int k = 0; k < 6; ++k, ++seed) {
        std::mt19937 rng(seed);
        CaseShape shape;
        shape.equalSizes = true;
        shape.orientation = static_cast<int>(seed % 16);
        RandomCaseX c = MakeCaseX(true, rng, WishX{slot}, mode, shape);
        BlitX& b = c.blit;
        Copy copy(b);
        copy.blit.base.family = Family::COPY16;
        auto before = b.base.dst->Clone();
        if (DirectOnly(slot, mode)) {
          const auto call = SetUpCall(b, mode, c.testTable);
          if (!call) continue;
          ASSERT_TRUE(RunSlotX(copy.blit, *call));
          RunSlotX(b, *call);
        } else {
          RunDispatcherX(b);
          RunDispatcherX(copy.blit);
        }
        ASSERT_EQ(copy.Diff(b), "") << "seed " << seed << " slot " << slot << ": " << b.Describe();
        drawn += before->Diff(*b.base.dst).empty() ? 0 : 1;
      }
    }
    EXPECT_GT(drawn, 6) << "slot " << slot;
  }
  EXPECT_TRUE(boxes.boxes().empty());
}

// A trans slot at level 32 draws what its opaque twin draws, on values with
// bit 15 clear (the blend drops it; a whole-value write keeps it).
TEST(ExtendedIdentity, TransAtLevel32IsOpaque) {
  testsupport::RecordingMessageBox boxes;
  uint32_t seed = 20500000;
  for (unsigned slot : RealSlotsWith(kXTrans)) {
    int drawn = 0;
    for (uint32_t mode : kTestModes) {
      for (int k = 0; k < 6; ++k, ++seed) {
        std::mt19937 rng(seed);
        RandomCaseX c = MakeCaseX(seed % 2, rng, WishX{slot}, mode);
        BlitX& b = c.blit;
        MakeBit15Clear(b, c);
        auto call = SetUpCall(b, mode, c.testTable);
        if (!call) continue;
        ASSERT_EQ(call->slot, slot) << "seed " << seed;
        Copy copy(b);
        auto before = b.base.dst->Clone();
        call->transLevel = 32;
        RunSlotX(b, *call);
        call->slot = slot & ~kXTrans;
        RunSlotX(copy.blit, *call);
        ASSERT_EQ(copy.Diff(b), "") << "seed " << seed << " slot " << slot << ": " << b.Describe();
        drawn += before->Diff(*b.base.dst).empty() ? 0 : 1;
      }
    }
    EXPECT_GT(drawn, 6) << "slot " << slot;
  }
  EXPECT_TRUE(boxes.boxes().empty());
}

// An alpha map of 32 everywhere weighs nothing: each alpha slot draws what
// its twin 16 slots lower draws, at levels 0..32. Values with bit 15 clear,
// except in the mapping and bright slots, which recolour before any write.
TEST(ExtendedIdentity, FullAlphaIsTheTwinWithoutAlpha) {
  testsupport::RecordingMessageBox boxes;
  uint32_t seed = 20600000;
  for (unsigned slot : RealSlotsWith(kXAlpha)) {
    int drawn = 0;
    for (uint32_t mode : kTestModes) {
      for (int k = 0; k < 6; ++k, ++seed) {
        std::mt19937 rng(seed);
        const bool scale = seed % 2;
        RandomCaseX c = MakeCaseX(scale, rng, WishX{slot}, mode);
        BlitX& b = c.blit;
        if (!(slot & (kXMapping | kXBright))) MakeBit15Clear(b, c);
        if (b.tint && (b.tint->level < 0 || b.tint->level > 32)) b.tint->level = static_cast<SInt8>(rng() % 32);
        const TestMap& src = *b.base.src;
        auto full = TestMap::Random(8, src.width(), src.height(), rng, PixelMix{0, 0});
        full->Fill(32);
        b.alpha = full.get();
        b.alphaRect.reset();
        Copy copy(b);
        copy.blit.alpha = nullptr;
        auto before = b.base.dst->Clone();
        if (DirectOnly(slot, mode)) {
          auto call = SetUpCall(b, mode, c.testTable);
          if (!call) continue;
          ASSERT_EQ(call->slot, slot) << "seed " << seed;
          RunSlotX(b, *call);
          call->slot = slot - kXAlpha;
          ASSERT_TRUE(RunSlotX(copy.blit, *call));
        } else {
          RunDispatcherX(b);
          RunDispatcherX(copy.blit);
        }
        ASSERT_EQ(copy.Diff(b), "") << "seed " << seed << " slot " << slot << ": " << b.Describe();
        drawn += before->Diff(*b.base.dst).empty() ? 0 : 1;
      }
    }
    EXPECT_GT(drawn, 6) << "slot " << slot;
  }
  EXPECT_TRUE(boxes.boxes().empty());
}

}  // namespace
