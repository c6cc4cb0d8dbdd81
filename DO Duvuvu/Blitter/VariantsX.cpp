// The COPY16X and SCALE16X tables: a kernel in each of the 56 slots a
// request can reach, a named stub in the others.
#include "BlitKernelsX.h"
#include "BlitStubsX.h"

namespace {

template <bool kScale>
struct KernelsX {
  static constexpr bool Built(unsigned) { return true; }
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
