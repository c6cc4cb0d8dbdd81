// The named alert stubs of the extended 128-slot tables and a table builder
// that puts them wherever a family has no kernel.
#pragma once

#include <array>
#include <cstddef>
#include <utility>

#include "BlitExtended.h"
#include "Errors.h"

namespace blitwalkx {

// The family name, then "_X_" or "___" with each of bright, mapping, alpha,
// lookup, color, trans and mask, then "_UNUSED" for the slots no request
// reaches.
template <class F, unsigned kSlot>
constexpr std::array<char, 96> MakeVariantName() {
  std::array<char, 96> out{};
  size_t n = 0;
  auto append = [&](const char* text) {
    while (*text) out[n++] = *text++;
  };
  append(F::kName);
  const char* names[7] = {"bright", "mapping", "alpha", "lookup", "color", "trans", "mask"};
  for (unsigned i = 0; i < 7; ++i) {
    append((kSlot >> (6 - i)) & 1 ? "_X_" : "___");
    append(names[i]);
  }
  if (IsExtendedStubSlot(kSlot)) append("_UNUSED");
  return out;
}

template <class F, unsigned kSlot>
inline constexpr std::array<char, 96> kVariantName = MakeVariantName<F, kSlot>();

// Names itself in an alert and draws nothing.
template <class F, unsigned kSlot>
void Stub(const BlitVariantArgsX&) {
  AlertMessage(kVariantName<F, kSlot>.data(), "", "OK");
}

// F::Built(slot) tells whether F::Kernel<slot>() gives a kernel yet.
template <class F, unsigned kSlot>
constexpr BlitVariantX SlotEntry() {
  if constexpr (IsExtendedStubSlot(kSlot) || !F::Built(kSlot)) {
    return &Stub<F, kSlot>;
  } else {
    return F::template Kernel<kSlot>();
  }
}

template <class F, size_t... kSlots>
constexpr BlitVariantTableX MakeTable(std::index_sequence<kSlots...>) {
  return {SlotEntry<F, static_cast<unsigned>(kSlots)>()...};
}

template <class F>
constexpr BlitVariantTableX MakeVariantTableX() {
  return MakeTable<F>(std::make_index_sequence<128>{});
}

}  // namespace blitwalkx
