// The COPY16X and SCALE16X tables. No kernel is built yet: every slot holds
// its named stub.
#include "BlitStubsX.h"

namespace {

struct NoKernels {
  template <unsigned kSlot>
  static constexpr BlitVariantX Kernel() {
    return nullptr;
  }
};

struct COPY16XFamily : NoKernels {
  static constexpr const char* kName = "COPY16";
};

struct SCALE16XFamily : NoKernels {
  static constexpr const char* kName = "SCALE16";
};

}  // namespace

constexpr BlitVariantTableX COPY16XVariants = blitwalkx::MakeVariantTableX<COPY16XFamily>();
constexpr BlitVariantTableX SCALE16XVariants = blitwalkx::MakeVariantTableX<SCALE16XFamily>();
