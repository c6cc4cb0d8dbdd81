// The SCALE32 variant table.
#include "BlitVariants.h"
#include "BlitWalk.h"

namespace {

struct SCALE32Family : blitwalk::Family<UInt32, true> {
  static constexpr const char* kName = "SCALE32";
};

}  // namespace

constexpr BlitVariantTable<UInt32> SCALE32Variants = blitwalk::MakeVariantTable<SCALE32Family>();
static_assert(blitwalk::InSlotOrder<SCALE32Family>(SCALE32Variants));
