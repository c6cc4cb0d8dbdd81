#include "BlitReferenceX.h"

#include <cstring>

namespace blitref {
namespace {

constexpr uint32_t kKey16 = 0x7FFF;
constexpr uint32_t kFields = 0x03E07C1F;
constexpr int32_t kNeutral = 32;

uint32_t Load16(const MapView& m, int64_t x, int64_t y) {
  uint16_t v;
  std::memcpy(&v, m.base + y * (m.rowBytes & 0x7FFF) + x * 2, 2);
  return v;
}

void Store16(MapView& m, int64_t x, int64_t y, uint32_t value) {
  const uint16_t v = static_cast<uint16_t>(value);
  std::memcpy(m.base + y * (m.rowBytes & 0x7FFF) + x * 2, &v, 2);
}

uint32_t LoadByte(const MapView& m, int64_t x, int64_t y) {
  return m.base[y * (m.rowBytes & 0x7FFF) + x];
}

int Width(const Rect& r) { return r.right - r.left; }
int Height(const Rect& r) { return r.bottom - r.top; }

struct Fold {
  int32_t level, offset;
};

// A channel byte above 32 brightens: its level counts down from 32 again and
// the offset lifts the field toward 31.
Fold FoldChannel(uint8_t x) {
  if (x <= kNeutral) return {x, 0};
  const int32_t folded = 64 - x;
  return {folded, folded == 0 ? 992 : (kNeutral - folded) * 32};
}

uint32_t RecolourField(uint32_t f, const Fold& c) {
  return ((f * static_cast<uint32_t>(c.level) + static_cast<uint32_t>(c.offset)) >> 5) & 0x1F;
}

bool Has(unsigned slot, unsigned flag) { return (slot & flag) != 0; }

}  // namespace

bool IsStubSlotX(unsigned slot) {
  const bool color = Has(slot, kXColor);
  return (color && (Has(slot, kXLookup) || Has(slot, kXMapping) || Has(slot, kXBright))) ||
         (Has(slot, kXBright) && Has(slot, kXMapping));
}

uint32_t SpreadRef(uint32_t p) { return (p & 0xFC1F) | ((p & 0x03E0) << 16); }

uint16_t UnspreadRef(uint32_t x) { return static_cast<uint16_t>((x & 0x7C1F) | ((x >> 16) & 0x03E0)); }

uint16_t BlendRef(uint32_t v, uint32_t d, uint32_t w) {
  const uint32_t s = SpreadRef(v), dd = SpreadRef(d);
  return UnspreadRef(((((s - dd) * w) >> 5) + dd) & kFields);
}

std::optional<SlotCallX> ReferenceSelectX(const RequestX& q) {
  const Request& b = q.base;
  if (!ReferenceClip(b)) return std::nullopt;
  if (q.alpha && q.alphaRect &&
      (Width(*q.alphaRect) != Width(b.dstRect) || Height(*q.alphaRect) != Height(b.dstRect))) {
    return std::nullopt;
  }
  SlotCallX call;
  call.mode = b.mode;
  call.color = b.color;
  call.lookup = static_cast<const uint16_t*>(b.lookup);
  if (call.lookup && call.color != kNoColor) {
    call.color = call.lookup[call.color];
    call.lookup = nullptr;
  }
  if (!call.lookup && (call.mode & 3) == 3) call.mode = (call.mode & 0x10) | 1;

  if (q.tint) {
    const TintX& t = *q.tint;
    call.transLevel = t.level;
    if (t.red != kNeutral || t.green != kNeutral || t.blue != kNeutral) {
      const Fold r = FoldChannel(t.red), g = FoldChannel(t.green), bl = FoldChannel(t.blue);
      call.redLevel = r.level;
      call.greenLevel = g.level;
      call.blueLevel = bl.level;
      call.redOffset = r.offset;
      call.greenOffset = g.offset;
      call.blueOffset = bl.offset;
      if (r.level == g.level && g.level == bl.level) {
        call.brightLevel = r.level;
        if (t.red > kNeutral) {
          const uint32_t k = static_cast<uint32_t>(kNeutral - r.level);
          call.brightOffset = r.level == 0 ? kFields : (k | k << 10 | k << 21);
        }
      }
      if (call.color != kNoColor) {
        call.color = RecolourField((call.color >> 10) & 0x1F, r) << 10 |
                     RecolourField((call.color >> 5) & 0x1F, g) << 5 | RecolourField(call.color & 0x1F, bl);
        call.redLevel = call.greenLevel = call.blueLevel = call.brightLevel = kNeutral;
      }
    }
  }
  const bool bright = call.brightLevel != kNeutral;
  const bool mapping =
      !bright && (call.redLevel != kNeutral || call.greenLevel != kNeutral || call.blueLevel != kNeutral);
  call.slot = (bright ? kXBright : 0) | (mapping ? kXMapping : 0) | (q.alpha ? kXAlpha : 0) |
              (call.lookup ? kXLookup : 0) | (call.color != kNoColor ? kXColor : 0) |
              (call.transLevel != kNeutral ? kXTrans : 0) | (b.mask ? kXMask : 0);
  return call;
}

void ReferenceDispatchX(const RequestX& q) {
  if (auto call = ReferenceSelectX(q)) ReferenceSlotX(q, *call);
}

void ReferenceSlotX(const RequestX& q, const SlotCallX& call) {
  const Request& b = q.base;
  const auto clipped = ReferenceClip(b);
  if (!clipped || IsStubSlotX(call.slot)) return;
  const unsigned slot = call.slot;
  const bool mask = Has(slot, kXMask), trans = Has(slot, kXTrans), color = Has(slot, kXColor),
             lookup = Has(slot, kXLookup), alpha = Has(slot, kXAlpha), mapping = Has(slot, kXMapping),
             bright = Has(slot, kXBright);

  // Modes 0-2 everywhere, 3 with a table and a lookup or colour slot, 16-19
  // as 0-3 behind a mask; nothing else draws.
  const uint32_t rule = call.mode & 3;
  const bool inverted = (call.mode & 0x10) != 0;
  if (call.mode != rule && call.mode != (rule | 0x10)) return;
  if (inverted && !mask) return;
  if (rule == 3 && (!(lookup || color) || !call.lookup)) return;

  int64_t maskTop = 0, maskLeft = 0;
  if (mask && b.maskRect) {
    maskTop = b.maskRect->top - b.dst->bounds.top - (b.dstRect.top - b.dst->bounds.top);
    maskLeft = b.maskRect->left - b.dst->bounds.left - (b.dstRect.left - b.dst->bounds.left);
  }
  // The alpha map is read where the source is, moved by the alpha rect's
  // offset from the destination rect.
  int64_t alphaDx = 0, alphaDy = 0;
  if (alpha && q.alphaRect) {
    alphaDx = (q.alphaRect->left - q.alpha->bounds.left) - (b.dstRect.left - b.dst->bounds.left);
    alphaDy = (q.alphaRect->top - q.alpha->bounds.top) - (b.dstRect.top - b.dst->bounds.top);
  }

  const uint32_t colorValue = call.color & 0xFFFF;
  const uint32_t level = static_cast<uint32_t>(call.transLevel);
  const Rect& c = *clipped;
  const SourceMap sources(b);
  for (int y = c.top; y < c.bottom; ++y) {
    for (int x = c.left; x < c.right; ++x) {
      if (mask) {
        const uint32_t m = Load16(*b.mask, maskLeft + x, maskTop + y);
        if ((m == kKey16) == inverted) continue;
      }
      int sx = 0, sy = 0;
      sources.SourceOf(x, y, &sx, &sy);
      const uint32_t d = Load16(*b.dst, x, y);
      const uint32_t s = Load16(*b.src, sx, sy);
      if ((rule == 1 || rule == 2) && s == kKey16) continue;
      if (rule == 2 && d == kKey16) continue;
      uint32_t value;
      if (rule == 3) {
        const uint32_t entry = call.lookup[s];
        if (entry == kKey16) continue;
        value = color ? colorValue : entry;
      } else {
        value = lookup ? call.lookup[s] : color ? colorValue : s;
      }

      if (!mapping && !bright && !trans && !alpha) {
        Store16(*b.dst, x, y, value);
        continue;
      }
      uint32_t spread;
      if (mapping) {
        const uint32_t r = (((value >> 10) & 0x1F) * static_cast<uint32_t>(call.redLevel) +
                            static_cast<uint32_t>(call.redOffset)) >> 5;
        const uint32_t g = (((value >> 5) & 0x1F) * static_cast<uint32_t>(call.greenLevel) +
                            static_cast<uint32_t>(call.greenOffset)) >> 5;
        const uint32_t bl = ((value & 0x1F) * static_cast<uint32_t>(call.blueLevel) +
                             static_cast<uint32_t>(call.blueOffset)) >> 5;
        if (!trans && !alpha) {
          Store16(*b.dst, x, y, (r << 10 | g << 5 | bl) & 0x7FFF);
          continue;
        }
        spread = bl | r << 10 | g << 21;
      } else {
        spread = SpreadRef(value);
      }
      if (bright) {
        spread = (((spread * static_cast<uint32_t>(call.brightLevel)) >> 5) + call.brightOffset) & kFields;
      }
      if (trans || alpha) {
        uint32_t w = level;
        if (alpha) {
          const uint32_t a = LoadByte(*q.alpha, sx + alphaDx, sy + alphaDy);
          w = trans ? (a * level) >> 5 : a;
        }
        const uint32_t dd = SpreadRef(d);
        spread = ((((spread - dd) * w) >> 5) + dd) & kFields;
      }
      Store16(*b.dst, x, y, UnspreadRef(spread));
    }
  }
}

}  // namespace blitref
