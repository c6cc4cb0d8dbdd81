// The COPY8 variant table.
#include "BlitVariants.h"
#include "BlitWalk.h"

namespace {

struct COPY8Family : blitwalk::Family<UInt8, false> {
  static constexpr const char* kName = "COPY8";
};

}  // namespace

constexpr BlitVariantTable<UInt8> COPY8Variants = blitwalk::MakeVariantTable<COPY8Family>();
static_assert(blitwalk::InSlotOrder<COPY8Family>(COPY8Variants));
