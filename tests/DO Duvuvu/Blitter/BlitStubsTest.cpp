#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BlitVariants.h"
#include "TestSupport.h"

namespace {

template <typename Pixel>
void CallStubs(const BlitVariantTable<Pixel>& table, const std::string& family) {
  static const char* const kNames[4] = {"_X_lookup_X_color___trans___mask_UNUSED",
                                        "_X_lookup_X_color___trans_X_mask_UNUSED",
                                        "_X_lookup_X_color_X_trans___mask_UNUSED",
                                        "_X_lookup_X_color_X_trans_X_mask_UNUSED"};
  std::vector<Pixel> pixels(16, 7);
  BlitVariantArgs<Pixel> args;
  args.srcStart = pixels.data();
  args.dstStart = pixels.data();
  args.maskStart = pixels.data();
  args.dstEnd = pixels.data() + 16;
  args.width = 4;
  args.srcPixelStep = 1;
  args.dstRowPixels = 4;
  args.srcRowPixels = 4;
  args.maskRowPixels = 4;
  args.lookupTable = pixels.data();
  args.transTable = pixels.data();
  args.color = 1;
  for (unsigned slot = 12; slot < 16; ++slot) {
    testsupport::RecordingMessageBox boxes;
    table[slot](args);
    ASSERT_EQ(boxes.boxes().size(), 1u) << family << " slot " << slot;
    EXPECT_EQ(boxes.boxes()[0].text, "Alert: " + family + kNames[slot - 12]);
    EXPECT_EQ(boxes.boxes()[0].caption, "");
  }
  EXPECT_EQ(pixels, std::vector<Pixel>(16, 7));
}

TEST(BlitStubs, EachStubAlertsWithItsOwnNameAndDrawsNothing) {
  CallStubs(COPY8Variants, "COPY8");
  CallStubs(COPY16Variants, "COPY16");
  CallStubs(COPY32Variants, "COPY32");
  CallStubs(SCALE8Variants, "SCALE8");
  CallStubs(SCALE16Variants, "SCALE16");
  CallStubs(SCALE32Variants, "SCALE32");
}

TEST(BlitStubs, AllFlagsTableHoldsOneFunction) {
  for (auto entry : COPY16AllFlagsVariants) EXPECT_EQ(entry, &COPY16AllFlagsBlit);
}

}  // namespace
