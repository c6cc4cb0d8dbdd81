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

namespace {

constexpr unsigned CountStubSlots() {
  unsigned n = 0;
  for (unsigned slot = 0; slot < 128; ++slot) n += IsExtendedStubSlot(slot) ? 1 : 0;
  return n;
}

constexpr bool RealRanges() {
  constexpr unsigned kFirsts[] = {0, 16, 32, 40, 48, 56, 64, 72, 80, 88};
  constexpr unsigned kLengths[] = {12, 12, 4, 4, 4, 4, 4, 4, 4, 4};
  bool real[128] = {};
  for (unsigned i = 0; i < 10; ++i) {
    for (unsigned k = 0; k < kLengths[i]; ++k) real[kFirsts[i] + k] = true;
  }
  for (unsigned slot = 0; slot < 128; ++slot) {
    if (real[slot] == IsExtendedStubSlot(slot)) return false;
  }
  return true;
}

static_assert(CountStubSlots() == 72 && 128 - CountStubSlots() == 56);
static_assert(RealRanges());

}  // namespace
