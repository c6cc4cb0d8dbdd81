// A slow, direct model of the plain blitter families, used to check the
// kernels and the dispatchers. It walks the clipped destination in row order
// and finds each pixel's source from the image rule and the sampling formula,
// with every flag tested at run time.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "MacTypes.h"

namespace blitref {

constexpr uint32_t kNoColor = 0xFFFFFFFF;

// The transparent key of a depth: whole-pixel compare.
constexpr uint32_t KeyOf(int depth) {
  return depth == 8 ? 0u : depth == 16 ? 0x7FFFu : 0x00FFFFFFu;
}

// A pixel map as the model sees it: base = the pixel at the bounds' top-left,
// row bytes with bit 15 as a flag.
struct MapView {
  uint8_t* base = nullptr;
  uint16_t rowBytes = 0;
  Rect bounds{};
};

enum class Walk { Copy, Scale };

// How the slot's flags are found: fixed by the slot number, or read from the
// arguments at run time (the all-flags 16-bit blit).
enum class Rules { Plain, AllFlags };

// One dispatcher request. A null src or dst stands for a nil handle.
struct Request {
  Walk walk = Walk::Copy;
  int depth = 16;
  const MapView* src = nullptr;
  MapView* dst = nullptr;
  const MapView* mask = nullptr;
  Rect srcRect{};
  Rect dstRect{};
  std::optional<Rect> clip;
  std::optional<Rect> maskRect;
  uint32_t mode = 0;
  uint32_t color = kNoColor;
  const void* lookup = nullptr;
  const void* trans = nullptr;
  uint8_t flipH = 0;
  uint8_t flipV = 0;
  int8_t rotation = 0;
};

// What reaches a table slot once the dispatcher has folded its options.
struct SlotCall {
  unsigned slot = 0;
  uint32_t mode = 0;
  uint32_t color = kNoColor;
  const void* lookup = nullptr;
  const void* trans = nullptr;
};

// The clipped destination, relative to the destination's bounds, or nothing
// when the dispatcher would return before calling a slot.
std::optional<Rect> ReferenceClip(const Request& q);

// The dispatcher's choice of slot and arguments, or nothing to draw.
std::optional<SlotCall> ReferenceSelect(const Request& q);

// Draws what the dispatcher would draw, into q.dst.
void ReferenceDispatch(const Request& q);

// Draws what one slot does with the dispatcher's geometry for q (its clip,
// orientation and sampling) and the given mode, colour and tables. Under
// Rules::AllFlags the slot number is ignored and the flags come from the
// arguments (mask = q.mask given).
void ReferenceSlot(const Request& q, const SlotCall& call, Rules rules = Rules::Plain);

// The source pixel each destination pixel takes: position relative to the
// source's bounds, for destination pixel (x, y) relative to the destination's
// bounds. Returns false when the request draws nothing.
bool ReferenceSourceOf(const Request& q, int dstX, int dstY, int* srcX, int* srcY);

// The same for every pixel of one request, worked out once: a reference that
// asks pixel by pixel would otherwise set the request up for each of them.
class SourceMap {
 public:
  explicit SourceMap(const Request& q);
  // False outside the clipped destination, or when the request draws nothing.
  bool SourceOf(int dstX, int dstY, int* srcX, int* srcY) const;

 private:
  Rect clipped_{};
  int width_ = 0;
  std::vector<int> srcX_, srcY_;  // row by row over the clipped destination
};

}  // namespace blitref
