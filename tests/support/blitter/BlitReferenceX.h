// A slow, direct model of the extended 16-bit families (COPY16X, SCALE16X):
// the plain model's geometry with an alpha map read at the same point as the
// source, and a pixel pipeline whose stages test every flag at run time.
#pragma once

#include <cstdint>
#include <optional>

#include "BlitReference.h"

namespace blitref {

// The seven flags of an extended slot, in index order.
constexpr unsigned kXMask = 1, kXTrans = 2, kXColor = 4, kXLookup = 8, kXAlpha = 16, kXMapping = 32,
                   kXBright = 64;

// True for the 72 slots that hold alert stubs.
bool IsStubSlotX(unsigned slot);

// The four bytes of a tint: channel levels 0..64 (32 neutral) and a signed
// translucency level (32 opaque).
struct TintX {
  uint8_t red = 32, green = 32, blue = 32;
  int8_t level = 32;
};

struct RequestX {
  Request base;  // depth 16; its mode, colour and lookup are the caller's
  // An 8-bit map, or a 16-bit map read byte by byte (the source itself).
  const MapView* alpha = nullptr;
  std::optional<Rect> alphaRect;
  std::optional<TintX> tint;
};

// What reaches a slot: the folded mode, colour, table and levels.
struct SlotCallX {
  unsigned slot = 0;
  uint32_t mode = 0;
  uint32_t color = kNoColor;
  const uint16_t* lookup = nullptr;
  int32_t redLevel = 32, greenLevel = 32, blueLevel = 32;
  int32_t redOffset = 0, greenOffset = 0, blueOffset = 0;
  int32_t transLevel = 32;
  int32_t brightLevel = 32;
  uint32_t brightOffset = 0;
};

// The dispatcher's folding and choice of slot, or nothing to draw.
std::optional<SlotCallX> ReferenceSelectX(const RequestX& q);
// What the dispatcher draws, into q.base.dst.
void ReferenceDispatchX(const RequestX& q);
// What one slot draws with the dispatcher's geometry for q and call's values.
void ReferenceSlotX(const RequestX& q, const SlotCallX& call);

// The stages, each written from its formula on 32-bit unsigned values.
uint32_t SpreadRef(uint32_t p);
uint16_t UnspreadRef(uint32_t x);
// Source value v over destination d at weight w, through the spread form.
uint16_t BlendRef(uint32_t v, uint32_t d, uint32_t w);

}  // namespace blitref
