// The COPY32 variant table.
#include "BlitVariants.h"
#include "BlitWalk.h"

namespace {

struct COPY32Family : blitwalk::Family<UInt32, false> {
  static constexpr const char* kName = "COPY32";
};

}  // namespace

constexpr BlitVariantTable<UInt32> COPY32Variants = blitwalk::MakeVariantTable<COPY32Family>();
static_assert(blitwalk::InSlotOrder<COPY32Family>(COPY32Variants));
