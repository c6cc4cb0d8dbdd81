// The SCALE16 variant table.
#include "BlitLookupScalers.h"
#include "BlitVariants.h"
#include "BlitWalk.h"

namespace {

struct SCALE16Family : blitwalk::Family<UInt16, true> {
  static constexpr const char* kName = "SCALE16";
};

}  // namespace

constexpr BlitVariantTable<UInt16> SCALE16Variants = blitwalk::MakeVariantTable<SCALE16Family>();
static_assert(blitwalk::InSlotOrder<SCALE16Family>(SCALE16Variants));

// The lookup-only scalers' pairs: this family's lookup kernels.
constexpr BlitVariantPair<UInt16> SCALE16LookupAVariants = {SCALE16Variants[8], SCALE16Variants[9]};
constexpr BlitVariantPair<UInt16> SCALE16LookupBVariants = {SCALE16Variants[8], SCALE16Variants[9]};
