#include "BlitCases.h"

#include <algorithm>

namespace blitref {

const uint32_t kTestModes[13] = {0, 1, 2, 3, 4, 7, 16, 17, 18, 19, 20, 64, 0xFFFFFFFF};

namespace {

int Rand(std::mt19937& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

SInt16 S16(int v) { return static_cast<SInt16>(v); }

// A w x h rectangle at (x, y) from the bounds' top-left, in bounds coordinates.
Rect At(const Rect& bounds, int x, int y, int w, int h) {
  return Rect{S16(bounds.top + y), S16(bounds.left + x), S16(bounds.top + y + h), S16(bounds.left + x + w)};
}

// A rectangle of the given size placed inside, across or outside a map.
Rect Place(std::mt19937& rng, const TestMap& map, int w, int h) {
  if (w <= map.width() && h <= map.height() && Rand(rng, 0, 1) == 0)
    return At(map.bounds(), Rand(rng, 0, map.width() - w), Rand(rng, 0, map.height() - h), w, h);
  return At(map.bounds(), Rand(rng, -w / 2 - 2, map.width() - w / 2 + 2),
            Rand(rng, -h / 2 - 2, map.height() - h / 2 + 2), w, h);
}

std::optional<Rect> RandomClip(std::mt19937& rng, const TestMap& dst, const Rect& dstRect) {
  const int w = dst.width(), h = dst.height();
  switch (Rand(rng, 0, 9)) {
    case 0: case 1: case 2: case 3:
      return std::nullopt;
    case 4: case 5: case 6: {  // inside the destination rectangle
      const int dw = std::max(1, dstRect.right - dstRect.left), dh = std::max(1, dstRect.bottom - dstRect.top);
      const int x = Rand(rng, 0, dw - 1), y = Rand(rng, 0, dh - 1);
      return Rect{S16(dstRect.top + y), S16(dstRect.left + x), S16(dstRect.top + y + Rand(rng, 1, dh - y)),
                  S16(dstRect.left + x + Rand(rng, 1, dw - x))};
    }
    case 7: case 8: {  // across the bounds
      const int x = Rand(rng, -3, w), y = Rand(rng, -3, h);
      return At(dst.bounds(), x, y, Rand(rng, 0, w + 4), Rand(rng, 0, h + 4));
    }
    default:  // outside the bounds, or inverted
      if (Rand(rng, 0, 1)) return At(dst.bounds(), w + Rand(rng, 0, 4), Rand(rng, -2, h), 3, 3);
      return At(dst.bounds(), Rand(rng, 0, w), Rand(rng, 0, h), -2, 3);
  }
}

// A clip that trims none, one or a few columns and rows off each edge, or
// reaches a pixel past it.
Rect EdgeClip(std::mt19937& rng, const Rect& r) {
  return Rect{S16(r.top + Rand(rng, -1, 2)), S16(r.left + Rand(rng, -1, 3)), S16(r.bottom - Rand(rng, -1, 2)),
              S16(r.right - Rand(rng, -1, 3))};
}

uint32_t RandomColor(int depth, std::mt19937& rng, const CaseFlags& f) {
  if (f.lookup || f.trans) {
    // A folded colour indexes the lookup table; a translucent one is a table row.
    switch (depth) {
      case 8: return static_cast<uint32_t>(Rand(rng, 0, 0xFF));
      case 16: return Rand(rng, 0, 4) == 0 ? 0x7FFFu : static_cast<uint32_t>(Rand(rng, 0, 0xFFFF));
      default:
        if (!f.trans && Rand(rng, 0, 4) == 0) return KeyOf(32);
        return static_cast<uint32_t>(Rand(rng, 0, 0xFF));
    }
  }
  switch (Rand(rng, 0, 4)) {
    case 0: return 0x00012345;
    case 1: return KeyOf(depth);
    case 2: return 0xFFFFFFFE;
    default: return RandomPixel(depth, rng, PixelMix{0, 0});
  }
}

}  // namespace

RandomCase MakeCase(Family family, std::mt19937& rng, const CaseFlags& flags, uint32_t mode,
                    const CaseShape& shape) {
  const int depth = DepthOf(family);
  const bool scale = WalkOf(family) == Walk::Scale;
  const uint32_t rule = mode & 3;
  const bool keyNeverDrawn = rule == 1 || rule == 2;

  const PixelMix full{0.3, 0};
  PixelMix srcMix = full, dstMix = full, lookupMix = full;
  // At 32 bits a looked-up pixel must stay inside the table, also when a
  // copy onto itself reads back what it wrote.
  if (depth == 32 && flags.lookup) srcMix = lookupMix = PixelMix{0.3, 0xFF};
  if (depth == 32 && flags.trans) {
    if (!flags.color && !flags.lookup) srcMix = PixelMix{keyNeverDrawn ? 0.3 : 0.0, 0xFF};
    dstMix = PixelMix{0.3, 0xFF};
    lookupMix = PixelMix{rule == 3 ? 0.3 : 0.0, 0xFF};
  }

  RandomCase c;
  Blit& b = c.blit;
  b.family = family;
  const int o = shape.orientation >= 0 ? shape.orientation : Rand(rng, 0, 15);
  b.rotation = static_cast<int8_t>(o & 3);
  b.flipH = static_cast<uint8_t>((o >> 2) & 1);
  b.flipV = static_cast<uint8_t>((o >> 3) & 1);

  const bool sameMap =
      shape.allowSameMap && !(depth == 32 && flags.trans) && Rand(rng, 0, 99) < shape.sameMapPercent;
  if (sameMap) {
    const bool small = srcMix.maxValue || dstMix.maxValue;
    dstMix = small ? PixelMix{std::min(srcMix.keyShare, dstMix.keyShare), 0xFF} : full;
  }
  const int maxWidth = shape.maxWidth > 0 ? shape.maxWidth : shape.maxSide;
  c.dst = TestMap::Random(depth, Rand(rng, 1, maxWidth), Rand(rng, 1, shape.maxSide), rng, dstMix);
  if (!sameMap) c.src = TestMap::Random(depth, Rand(rng, 1, maxWidth), Rand(rng, 1, shape.maxSide), rng, srcMix);
  TestMap& src = sameMap ? *c.dst : *c.src;
  b.src = &src;
  b.dst = c.dst.get();

  int sw = Rand(rng, 1, src.width()), sh = Rand(rng, 1, src.height());
  if (Rand(rng, 0, 9) == 0) sw = sh = 1;
  const bool odd = (b.rotation & 1) != 0;
  if (scale && !shape.equalSizes && shape.across != Across::Random) {
    int& across = odd ? sh : sw;  // the source side that meets the destination's width
    if (shape.across == Across::Half && across > 1 && across % 2 && Rand(rng, 0, 4) != 0) --across;
    // Mostly doubled rows that fit the destination map.
    if (shape.across == Across::Double) across = 1 + (across - 1) % std::max(1, maxWidth / 2);
  }
  b.srcRect = At(src.bounds(), Rand(rng, 0, src.width() - sw), Rand(rng, 0, src.height() - sh), sw, sh);
  const int ow = odd ? sh : sw, oh = odd ? sw : sh;
  int dw = ow, dh = oh;
  if (!scale) {
    if (!shape.equalSizes && Rand(rng, 0, 24) == 0) dw += 1;  // unequal: draws nothing
  } else if (!shape.equalSizes) {
    auto pick = [&](int s) {
      switch (Rand(rng, 0, 6)) {
        case 0: return s;
        case 1: return 2 * s;
        case 2: return std::max(1, s / 2);
        case 3: return s + Rand(rng, 1, 3);
        case 4: return std::max(1, s - Rand(rng, 1, 3));
        default: return Rand(rng, 1, 2 * shape.maxSide);
      }
    };
    switch (shape.across) {
      case Across::Random: dw = pick(ow); break;
      case Across::Half: dw = std::max(1, ow % 2 && Rand(rng, 0, 1) ? (ow + 1) / 2 : ow / 2); break;
      case Across::Double: dw = 2 * ow; break;
      case Across::Same: dw = ow; break;
    }
    dh = pick(oh);
  }
  if (sameMap && !odd && dw == sw && dh == sh && Rand(rng, 0, 2) == 0) {
    b.dstRect = b.srcRect;  // a fill or a copy onto itself
  } else if (sameMap && shape.nearOverlap) {
    const int top = b.srcRect.top + Rand(rng, -2, 2), left = b.srcRect.left + Rand(rng, -3, 3);
    b.dstRect = Rect{S16(top), S16(left), S16(top + dh), S16(left + dw)};
  } else {
    b.dstRect = Place(rng, *c.dst, dw, dh);
  }
  b.clip = shape.edgeClips && Rand(rng, 0, 1) ? EdgeClip(rng, b.dstRect) : RandomClip(rng, *c.dst, b.dstRect);

  if (flags.mask) {
    c.mask = TestMap::Random(depth, c.dst->width() + Rand(rng, 0, 4), c.dst->height() + Rand(rng, 0, 4), rng,
                             PixelMix{0.5, 0});
    b.mask = c.mask.get();
    if (Rand(rng, 0, 1)) PickMaskRect(b, rng);
  }
  if (flags.lookup) {
    c.lookup = MakeLookup(depth, rng, lookupMix, 0xFF);
    b.lookup = c.lookup->data();
  }
  if (flags.color) b.color = RandomColor(depth, rng, flags);
  if (flags.trans) {
    if (depth == 8 || !flags.dummyTrans) {
      b.trans = SharedTrans(depth).data();
    } else {
      c.dummyTrans.assign(4, 0x5A);
      b.trans = c.dummyTrans.data();
    }
  }
  b.mode = mode;
  return c;
}

void PickMaskRect(Blit& b, std::mt19937& rng) {
  ModelWorld world(b);
  const Request q = world.request(b);
  const auto clipped = ReferenceClip(q);
  const int dw = b.dstRect.right - b.dstRect.left, dh = b.dstRect.bottom - b.dstRect.top;
  if (!clipped) {
    b.maskRect = b.dstRect;
    return;
  }
  // Mask row for destination row y (relative) is maskTop + y.
  const int maskTop = Rand(rng, -clipped->top, b.mask->height() - clipped->bottom);
  const int maskLeft = Rand(rng, -clipped->left, b.mask->width() - clipped->right);
  const int top = b.dstRect.top + maskTop, left = b.dstRect.left + maskLeft;
  b.maskRect = Rect{S16(top), S16(left), S16(top + dh), S16(left + dw)};
}

}  // namespace blitref
