// The COPY16 variant table.
#include "BlitVariants.h"
#include "BlitWalk.h"

namespace {

struct COPY16Family : blitwalk::Family<UInt16, false> {
  static constexpr const char* kName = "COPY16";
};

}  // namespace

constexpr BlitVariantTable<UInt16> COPY16Variants = blitwalk::MakeVariantTable<COPY16Family>();
static_assert(blitwalk::InSlotOrder<COPY16Family>(COPY16Variants));
