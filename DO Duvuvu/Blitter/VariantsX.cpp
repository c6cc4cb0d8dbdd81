// The COPY16X and SCALE16X tables. Slots without channel mapping hold
// kernels; the rest still hold their named stubs.
#include "BlitKernelsX.h"
#include "BlitStubsX.h"

namespace {

template <bool kScale>
struct KernelsX {
  // Built so far: every slot but the channel-mapping ones.
  static constexpr bool Built(unsigned slot) { return (slot & kBlitFlagMapping) == 0; }
  template <unsigned kSlot>
  static constexpr BlitVariantX Kernel() {
    return &blitkernelx::KernelX<kScale, kSlot>;
  }
};

struct COPY16XFamily : KernelsX<false> {
  static constexpr const char* kName = "COPY16";
};

struct SCALE16XFamily : KernelsX<true> {
  static constexpr const char* kName = "SCALE16";
};

}  // namespace

constexpr BlitVariantTableX COPY16XVariants = blitwalkx::MakeVariantTableX<COPY16XFamily>();
constexpr BlitVariantTableX SCALE16XVariants = blitwalkx::MakeVariantTableX<SCALE16XFamily>();
