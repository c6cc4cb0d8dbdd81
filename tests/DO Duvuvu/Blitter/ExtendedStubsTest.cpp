// The 72 slots of each extended table that no request reaches: each names
// its flag combination in one alert and touches nothing.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "BlitExtended.h"
#include "TestSupport.h"

namespace {

// Written out, not derived from the flags, so a wrong rule shows.
const std::pair<unsigned, unsigned> kStubRanges[] = {
    {12, 15}, {28, 31}, {36, 39}, {44, 47}, {52, 55}, {60, 63}, {68, 71}, {76, 79}, {84, 87}, {92, 95}, {96, 127},
};

bool ListedStub(unsigned slot) {
  for (const auto& [first, last] : kStubRanges) {
    if (slot >= first && slot <= last) return true;
  }
  return false;
}

std::string StubName(const std::string& family, unsigned slot) {
  static const char* const kFlags[7] = {"bright", "mapping", "alpha", "lookup", "color", "trans", "mask"};
  std::string name = family;
  for (unsigned i = 0; i < 7; ++i) name += std::string((slot >> (6 - i)) & 1 ? "_X_" : "___") + kFlags[i];
  return name + "_UNUSED";
}

TEST(ExtendedStubs, StubSlotsAreTheListedOnes) {
  unsigned stubs = 0;
  for (unsigned slot = 0; slot < 128; ++slot) {
    EXPECT_EQ(IsExtendedStubSlot(slot), ListedStub(slot)) << slot;
    stubs += ListedStub(slot) ? 1 : 0;
  }
  EXPECT_EQ(stubs, 72u);
  EXPECT_EQ(StubName("COPY16", 12), "COPY16___bright___mapping___alpha_X_lookup_X_color___trans___mask_UNUSED");
  EXPECT_EQ(StubName("SCALE16", 36), "SCALE16___bright_X_mapping___alpha___lookup_X_color___trans___mask_UNUSED");
}

// Every pointer a kernel could follow is on a buffer, so a stub that drew or
// read through its arguments would change or trip something.
TEST(ExtendedStubs, EachStubAlertsOnceWithItsNameAndWritesNothing) {
  std::vector<UInt16> src(64, 0x1234), dst(64, 0x4321), mask(64, 0x7FFF), table(65536, 0x0421);
  std::vector<UInt8> alpha(64, 16);
  BlitVariantArgsX args;
  args.srcStart = src.data();
  args.dstStart = dst.data();
  args.maskStart = mask.data();
  args.srcPixelStep = 1;
  args.srcRowPixels = args.dstRowPixels = args.maskRowPixels = 8;
  args.dstEnd = dst.data() + 64;
  args.width = 8;
  args.srcExtent = args.dstExtent = 8;
  args.lookupTable = table.data();
  args.color = 0x0001;
  args.alphaStart = alpha.data();
  args.alphaStep = 1;
  args.alphaRowBytes = 8;
  args.redLevel = args.greenLevel = args.blueLevel = args.brightLevel = args.transLevel = 16;
  const auto srcBefore = src, dstBefore = dst, maskBefore = mask, tableBefore = table;
  const auto alphaBefore = alpha;
  struct Family {
    const BlitVariantTableX* table;
    const char* name;
  } families[] = {{&COPY16XVariants, "COPY16"}, {&SCALE16XVariants, "SCALE16"}};
  int called = 0;
  for (const Family& f : families) {
    for (unsigned slot = 0; slot < 128; ++slot) {
      if (!ListedStub(slot)) continue;
      for (BlitMode mode : {0u, 3u, 19u}) {
        args.mode = mode;
        testsupport::RecordingMessageBox boxes;
        (*f.table)[slot](args);
        ASSERT_EQ(boxes.boxes().size(), 1u) << f.name << " slot " << slot;
        EXPECT_EQ(boxes.boxes()[0].text, "Alert: " + StubName(f.name, slot));
        EXPECT_EQ(boxes.boxes()[0].caption, "") << f.name << " slot " << slot;
      }
      ++called;
      ASSERT_EQ(dst, dstBefore) << f.name << " slot " << slot;
    }
  }
  EXPECT_EQ(called, 144);
  EXPECT_EQ(src, srcBefore);
  EXPECT_EQ(mask, maskBefore);
  EXPECT_EQ(table, tableBefore);
  EXPECT_EQ(alpha, alphaBefore);
}

}  // namespace
