// The SCALE8 variant table.
#include "BlitLookupScalers.h"
#include "BlitVariants.h"
#include "BlitWalk.h"

namespace {

struct SCALE8Family : blitwalk::Family<UInt8, true> {
  static constexpr const char* kName = "SCALE8";
};

}  // namespace

constexpr BlitVariantTable<UInt8> SCALE8Variants = blitwalk::MakeVariantTable<SCALE8Family>();
static_assert(blitwalk::InSlotOrder<SCALE8Family>(SCALE8Variants));

// The lookup-only scalers' pairs: this family's lookup kernels.
constexpr BlitVariantPair<UInt8> SCALE8LookupAVariants = {SCALE8Variants[8], SCALE8Variants[9]};
constexpr BlitVariantPair<UInt8> SCALE8LookupBVariants = {SCALE8Variants[8], SCALE8Variants[9]};
