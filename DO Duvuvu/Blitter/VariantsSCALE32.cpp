// The SCALE32 variant table.
#include "BlitLookupScalers.h"
#include "BlitVariants.h"
#include "BlitWalk.h"

namespace {

struct SCALE32Family : blitwalk::Family<UInt32, true> {
  static constexpr const char* kName = "SCALE32";
};

}  // namespace

constexpr BlitVariantTable<UInt32> SCALE32Variants = blitwalk::MakeVariantTable<SCALE32Family>();
static_assert(blitwalk::InSlotOrder<SCALE32Family>(SCALE32Variants));

// The lookup-only scalers' pairs: this family's lookup kernels.
constexpr BlitVariantPair<UInt32> SCALE32LookupAVariants = {SCALE32Variants[8], SCALE32Variants[9]};
constexpr BlitVariantPair<UInt32> SCALE32LookupBVariants = {SCALE32Variants[8], SCALE32Variants[9]};
