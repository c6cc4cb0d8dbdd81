#include "BlitReference.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace blitref {
namespace {

bool Empty(const Rect& r) { return r.left >= r.right || r.top >= r.bottom; }

Rect Intersect(const Rect& a, const Rect& b) {
  Rect r{std::max(a.top, b.top), std::max(a.left, b.left), std::min(a.bottom, b.bottom),
         std::min(a.right, b.right)};
  if (Empty(r)) return Rect{0, 0, 0, 0};
  return r;
}

Rect Relative(const Rect& r, const Rect& bounds) {
  return Rect{static_cast<SInt16>(r.top - bounds.top), static_cast<SInt16>(r.left - bounds.left),
              static_cast<SInt16>(r.bottom - bounds.top), static_cast<SInt16>(r.right - bounds.left)};
}

int PixelBytes(int depth) { return depth / 8; }

int64_t Stride(const MapView& m, int depth) { return (m.rowBytes & 0x7FFF) / PixelBytes(depth); }

uint32_t Load(const uint8_t* base, int depth, int64_t index) {
  switch (depth) {
    case 8:
      return base[index];
    case 16: {
      uint16_t v;
      std::memcpy(&v, base + index * 2, 2);
      return v;
    }
    default: {
      uint32_t v;
      std::memcpy(&v, base + index * 4, 4);
      return v;
    }
  }
}

void Store(uint8_t* base, int depth, int64_t index, uint32_t value) {
  switch (depth) {
    case 8:
      base[index] = static_cast<uint8_t>(value);
      break;
    case 16: {
      const uint16_t v = static_cast<uint16_t>(value);
      std::memcpy(base + index * 2, &v, 2);
      break;
    }
    default:
      std::memcpy(base + index * 4, &value, 4);
      break;
  }
}

uint32_t Entry(const void* table, int depth, uint32_t index) {
  return Load(static_cast<const uint8_t*>(table), depth, index);
}

// The source index along one destination axis for each drawn line: the cut
// edge first, then the centre sample of each later line; when enlarging
// horizontally the step table moves at most one source pixel per column.
std::vector<int> SampleAxis(int64_t s, int64_t d, int64_t offset, int64_t count, bool lags) {
  std::vector<int> out;
  out.reserve(static_cast<size_t>(count));
  int64_t prev = offset * s / d;
  out.push_back(static_cast<int>(prev));
  for (int64_t n = offset + 1; n < offset + count; ++n) {
    int64_t f = (n * s + s / 2) / d;
    if (lags) f = std::min(prev + 1, f);
    out.push_back(static_cast<int>(f));
    prev = f;
  }
  return out;
}

// Everything the dispatcher settles before a slot runs.
struct Plan {
  Rect src{};      // relative to the source's bounds, untrimmed
  Rect dst{};      // relative to the destination's bounds, unclipped
  Rect clipped{};  // relative to the destination's bounds
  int sh = 0;      // source extents on the destination's axes
  int sv = 0;
  std::vector<int> cols;  // oriented source index per drawn column
  std::vector<int> rows;  // oriented source index per drawn row
};

std::optional<Plan> MakePlan(const Request& q) {
  if (!q.src || !q.dst) return std::nullopt;
  if (q.rotation < 0 || q.rotation > 3) return std::nullopt;
  Plan p;
  p.src = Relative(q.srcRect, q.src->bounds);
  p.dst = Relative(q.dstRect, q.dst->bounds);
  const int ws = p.src.right - p.src.left;
  const int hs = p.src.bottom - p.src.top;
  const bool odd = (q.rotation & 1) != 0;
  p.sh = odd ? hs : ws;
  p.sv = odd ? ws : hs;
  const int dw = p.dst.right - p.dst.left;
  const int dh = p.dst.bottom - p.dst.top;
  if (q.walk == Walk::Copy) {
    if (p.sh != dw || p.sv != dh) return std::nullopt;
  } else if (ws <= 0 || hs <= 0) {
    return std::nullopt;
  }
  const Rect region = q.clip ? Intersect(*q.clip, q.dst->bounds) : q.dst->bounds;
  const Rect clipped = Intersect(q.dstRect, region);
  if (Empty(clipped)) return std::nullopt;
  p.clipped = Relative(clipped, q.dst->bounds);
  p.cols = SampleAxis(p.sh, dw, p.clipped.left - p.dst.left, p.clipped.right - p.clipped.left,
                      dw >= p.sh);
  p.rows = SampleAxis(p.sv, dh, p.clipped.top - p.dst.top, p.clipped.bottom - p.clipped.top, false);
  return p;
}

// Oriented position (u along the destination's rows, v down its columns) to
// the source rectangle: undo the mirrors, then the clockwise turn.
void Unorient(const Request& q, const Plan& p, int u, int v, int* sx, int* sy) {
  if (q.flipH) u = p.sh - 1 - u;
  if (q.flipV) v = p.sv - 1 - v;
  const int ws = p.src.right - p.src.left;
  const int hs = p.src.bottom - p.src.top;
  int x = 0, y = 0;
  switch (q.rotation) {
    case 0: x = u; y = v; break;
    case 1: x = v; y = hs - 1 - u; break;
    case 2: x = ws - 1 - u; y = hs - 1 - v; break;
    default: x = ws - 1 - v; y = u; break;
  }
  *sx = p.src.left + x;
  *sy = p.src.top + y;
}

struct Flags {
  bool lookup, color, trans, mask;
};

}  // namespace

std::optional<Rect> ReferenceClip(const Request& q) {
  auto p = MakePlan(q);
  if (!p) return std::nullopt;
  return p->clipped;
}

std::optional<SlotCall> ReferenceSelect(const Request& q) {
  if (!MakePlan(q)) return std::nullopt;
  SlotCall call;
  call.mode = q.mode;
  call.color = q.color;
  call.lookup = q.lookup;
  if (call.lookup && call.color != kNoColor) {
    call.color = Entry(call.lookup, q.depth, call.color);
    call.lookup = nullptr;
  }
  if (!call.lookup && (call.mode & 3) == 3) call.mode = (call.mode & 0x10) | 1;
  call.trans = q.depth == 8 ? q.trans : nullptr;
  call.slot = (call.lookup ? 8u : 0u) | (call.color != kNoColor ? 4u : 0u) |
              (call.trans ? 2u : 0u) | (q.mask ? 1u : 0u);
  return call;
}

void ReferenceDispatch(const Request& q) {
  if (auto call = ReferenceSelect(q)) ReferenceSlot(q, *call);
}

bool ReferenceSourceOf(const Request& q, int dstX, int dstY, int* srcX, int* srcY) {
  auto p = MakePlan(q);
  if (!p) return false;
  const Rect& c = p->clipped;
  if (dstX < c.left || dstX >= c.right || dstY < c.top || dstY >= c.bottom) return false;
  Unorient(q, *p, p->cols[static_cast<size_t>(dstX - c.left)],
           p->rows[static_cast<size_t>(dstY - c.top)], srcX, srcY);
  return true;
}

SourceMap::SourceMap(const Request& q) {
  auto p = MakePlan(q);
  if (!p) return;
  clipped_ = p->clipped;
  width_ = clipped_.right - clipped_.left;
  const size_t pixels = static_cast<size_t>(width_) * static_cast<size_t>(clipped_.bottom - clipped_.top);
  srcX_.resize(pixels);
  srcY_.resize(pixels);
  size_t i = 0;
  for (int row : p->rows) {
    for (int col : p->cols) {
      Unorient(q, *p, col, row, &srcX_[i], &srcY_[i]);
      ++i;
    }
  }
}

bool SourceMap::SourceOf(int dstX, int dstY, int* srcX, int* srcY) const {
  const Rect& c = clipped_;
  if (srcX_.empty() || dstX < c.left || dstX >= c.right || dstY < c.top || dstY >= c.bottom) return false;
  const size_t i = static_cast<size_t>(dstY - c.top) * static_cast<size_t>(width_) + static_cast<size_t>(dstX - c.left);
  *srcX = srcX_[i];
  *srcY = srcY_[i];
  return true;
}

void ReferenceSlot(const Request& q, const SlotCall& call, Rules rules) {
  auto plan = MakePlan(q);
  if (!plan) return;
  const Plan& p = *plan;
  const int depth = q.depth;
  const uint32_t key = KeyOf(depth);

  Flags f{};
  if (rules == Rules::Plain) {
    f = Flags{(call.slot & 8) != 0, (call.slot & 4) != 0, (call.slot & 2) != 0, (call.slot & 1) != 0};
    if (call.slot >= 12) return;  // the alert stubs draw nothing
  } else {
    f = Flags{call.lookup != nullptr, call.color != kNoColor, call.trans != nullptr, q.mask != nullptr};
  }

  const uint32_t mode = call.mode;
  if (!(mode <= 3 || (mode >= 16 && mode <= 19))) return;
  const uint32_t rule = mode & 3;
  const bool inverted = (mode & 0x10) != 0;
  bool testDest3 = false;
  if (rules == Rules::Plain) {
    if (inverted && !f.mask) return;
    if (rule == 3 && !f.lookup && !f.color) return;
    if (rule == 3 && f.color && !call.lookup) return;
    testDest3 = rule == 3 && f.mask && (f.color || (f.lookup && f.trans));
  } else if (rule == 3 && !call.lookup) {
    return;
  }

  const int64_t srcStride = Stride(*q.src, depth);
  const int64_t dstStride = Stride(*q.dst, depth);
  const int64_t maskStride = f.mask ? Stride(*q.mask, depth) : 0;
  // The mask lies over the destination: from the mask rectangle's corner
  // (relative to the destination's bounds) or at the destination's own offset.
  int64_t maskTop = 0, maskLeft = 0;
  if (f.mask && q.maskRect) {
    maskTop = q.maskRect->top - q.dst->bounds.top - p.dst.top;
    maskLeft = q.maskRect->left - q.dst->bounds.left - p.dst.left;
  }

  const Rect& c = p.clipped;
  for (int y = c.top; y < c.bottom; ++y) {
    for (int x = c.left; x < c.right; ++x) {
      if (f.mask) {
        const uint32_t m = Load(q.mask->base, depth, (maskTop + y) * maskStride + maskLeft + x);
        if (inverted ? m == key : m != key) continue;
      }
      int sx = 0, sy = 0;
      Unorient(q, p, p.cols[static_cast<size_t>(x - c.left)], p.rows[static_cast<size_t>(y - c.top)],
               &sx, &sy);
      const int64_t dIndex = static_cast<int64_t>(y) * dstStride + x;
      const uint32_t d = Load(q.dst->base, depth, dIndex);
      auto source = [&] { return Load(q.src->base, depth, static_cast<int64_t>(sy) * srcStride + sx); };

      if (rule == 1 && source() == key) continue;
      if (rule == 2 && (source() == key || d == key)) continue;
      if (rule == 3) {
        if (Entry(call.lookup, depth, source()) == key) continue;
        if (testDest3 && d == key) continue;
      }

      uint32_t v;
      if (rules == Rules::Plain) {
        v = f.color ? call.color : f.lookup ? Entry(call.lookup, depth, source()) : source();
      } else if (rule == 3) {
        v = f.color ? call.color : Entry(call.lookup, depth, source());
      } else {
        v = f.color ? call.color : source();
        if (f.lookup) v = Entry(call.lookup, depth, v);
      }
      if (f.trans) v = Entry(call.trans, depth, (v << 8) + d);
      Store(q.dst->base, depth, dIndex, v);
    }
  }
}

}  // namespace blitref
