#include "BlitCasesX.h"

#include <cstdio>
#include <vector>

namespace blitref {
namespace {

int Rand(std::mt19937& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

SInt16 S16(int v) { return static_cast<SInt16>(v); }

// Channel bytes whose folded levels are all l: each l or 64 - l.
BlitTint BrightTint(std::mt19937& rng) {
  const int l = Rand(rng, 0, 31);
  auto pick = [&] { return static_cast<UInt8>(Rand(rng, 0, 1) ? l : 64 - l); };
  return BlitTint{pick(), pick(), pick(), 32};
}

int Folded(int x) { return x <= 32 ? x : 64 - x; }

// Channel bytes whose folded levels differ.
BlitTint MappingTint(std::mt19937& rng) {
  for (;;) {
    const BlitTint t{static_cast<UInt8>(Rand(rng, 0, 64)), static_cast<UInt8>(Rand(rng, 0, 64)),
                     static_cast<UInt8>(Rand(rng, 0, 64)), 32};
    if (Folded(t.red) != Folded(t.green) || Folded(t.green) != Folded(t.blue)) return t;
  }
}

// An 8-bit map of random alpha bytes at least as large as the source map, or
// the source itself; read either at the source's place or through an alpha
// rect moved anywhere the source rect still fits.
void AddAlpha(RandomCaseX& c, std::mt19937& rng) {
  BlitX& b = c.blit;
  const TestMap& src = *b.base.src;
  if (Rand(rng, 0, 99) < 15) {
    b.alpha = b.base.src;
    return;
  }
  const int w = src.width() + Rand(rng, 0, 5), h = src.height() + Rand(rng, 0, 5);
  c.alphaMap = TestMap::Random(8, w, h, rng, PixelMix{0, 0});
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) c.alphaMap->Set(x, y, RandomAlpha(rng));
  }
  b.alpha = c.alphaMap.get();
  if (Rand(rng, 0, 1)) return;
  const Rect& s = b.base.srcRect;
  const Rect& d = b.base.dstRect;
  const int sw = s.right - s.left, sh = s.bottom - s.top;
  const int sLeft = s.left - src.bounds().left, sTop = s.top - src.bounds().top;
  const int dLeft = d.left - b.base.dst->bounds().left, dTop = d.top - b.base.dst->bounds().top;
  // Alpha point = source point + (alpha rect - destination rect), each
  // relative to its own map's bounds.
  const int dx = Rand(rng, 0, w - sw) - sLeft, dy = Rand(rng, 0, h - sh) - sTop;
  const Rect& ab = c.alphaMap->bounds();
  const int top = ab.top + dTop + dy, left = ab.left + dLeft + dx;
  int width = d.right - d.left, height = d.bottom - d.top;
  if (Rand(rng, 0, 24) == 0) width += 1;  // not the destination's size: nothing to draw
  b.alphaRect = Rect{S16(top), S16(left), S16(top + height), S16(left + width)};
}

std::string TintText(const std::optional<BlitTint>& t) {
  if (!t) return "nil";
  char s[48];
  std::snprintf(s, sizeof s, "(%d, %d, %d, %d)", t->red, t->green, t->blue, t->level);
  return s;
}

}  // namespace

const uint16_t* SharedLookupX(std::mt19937& rng) {
  static const auto tables = [] {
    std::vector<std::unique_ptr<PixelTable>> t;
    std::mt19937 own(2024);
    for (int i = 0; i < 4; ++i) t.push_back(MakeLookup(16, own, PixelMix{0.3, 0}));
    return t;
  }();
  return tables[static_cast<size_t>(Rand(rng, 0, 3))]->as<uint16_t>();
}

uint8_t RandomAlpha(std::mt19937& rng) {
  const int r = Rand(rng, 0, 99);
  if (r < 80) return static_cast<uint8_t>(Rand(rng, 0, 40));
  if (r < 90) return Rand(rng, 0, 1) ? 32 : 0;
  return static_cast<uint8_t>(Rand(rng, 41, 255));
}

std::string BlitX::Describe() const {
  std::string s = (scale() ? "SCALE16X: " : "COPY16X: ") + base.Describe() + "; tint " + TintText(tint);
  if (!alpha) return s + "; alpha nil";
  char t[128];
  std::snprintf(t, sizeof t, "; alpha %s %dx%d rowBytes 0x%X", alpha == base.src ? "(= src)" : "map",
                alpha->width(), alpha->height(), alpha->pixmap().rowBytes);
  s += t;
  if (alphaRect) {
    std::snprintf(t, sizeof t, " alphaRect (t %d l %d b %d r %d)", alphaRect->top, alphaRect->left,
                  alphaRect->bottom, alphaRect->right);
    s += t;
  }
  return s;
}

RandomCaseX MakeCaseX(bool scale, std::mt19937& rng, const WishX& wish, uint32_t mode,
                      const CaseShape& shape) {
  const unsigned f = wish.flags;
  CaseFlags flags;
  flags.mask = f & kXMask;
  flags.color = f & kXColor;
  RandomCaseX c;
  c.base = MakeCase(scale ? Family::SCALE16 : Family::COPY16, rng, flags, mode, shape);
  BlitX& b = c.blit;
  b.base = c.base.blit;
  if (f & kXLookup) {
    b.base.lookup = SharedLookupX(rng);
    // A colour beside a table is looked up in it.
    if (f & kXColor) b.base.color = Rand(rng, 0, 4) == 0 ? 0x7FFFu : static_cast<uint32_t>(Rand(rng, 0, 0xFFFF));
  }

  BlitTint tint{32, 32, 32, 32};
  if (f & kXBright) {
    tint = BrightTint(rng);
  } else if (f & kXMapping) {
    tint = MappingTint(rng);
  } else if ((f & kXColor) && wish.tintColor && Rand(rng, 0, 1)) {
    tint = Rand(rng, 0, 1) ? BrightTint(rng) : MappingTint(rng);
  }
  if (f & kXTrans) {
    do {
      tint.level = static_cast<SInt8>(Rand(rng, -8, 70));
    } while (tint.level == 32);
  }
  const bool neutral = tint.red == 32 && tint.green == 32 && tint.blue == 32 && tint.level == 32;
  if (!neutral || Rand(rng, 0, 1)) b.tint = tint;

  if (f & kXAlpha) AddAlpha(c, rng);
  if ((f & kXColor) && (mode & 3) == 3 && Rand(rng, 0, 3) != 0) {
    c.testTable = SharedLookupX(rng);
  }
  return c;
}

namespace {

template <typename Fn>
auto WithSetup(const BlitX& b, bool scale, Fn&& fn) {
  const Blit& p = b.base;
  return fn(scale ? &Scale16XSetup : &Copy16XSetup, p.src->handle(), p.dst->handle(),
            p.mask ? p.mask->handle() : nullptr, &p.srcRect, &p.dstRect, p.clip ? &*p.clip : nullptr,
            p.mode, p.color, static_cast<const UInt16*>(p.lookup), b.tint ? &*b.tint : nullptr, p.flipH,
            p.flipV, p.rotation, p.maskRect ? &*p.maskRect : nullptr, b.alpha ? b.alpha->handle() : nullptr,
            b.alphaRect ? &*b.alphaRect : nullptr);
}

void Run(const BlitX& b, bool scale) {
  const Blit& p = b.base;
  (scale ? SCALE16X : COPY16X)(p.src->handle(), p.dst->handle(), p.mask ? p.mask->handle() : nullptr,
                               &p.srcRect, &p.dstRect, p.clip ? &*p.clip : nullptr, p.mode, p.color,
                               static_cast<const UInt16*>(p.lookup), b.tint ? &*b.tint : nullptr, p.flipH,
                               p.flipV, p.rotation, p.maskRect ? &*p.maskRect : nullptr,
                               b.alpha ? b.alpha->handle() : nullptr, b.alphaRect ? &*b.alphaRect : nullptr);
}

}  // namespace

std::optional<BlitSetupX> RealSetupX(const BlitX& b) {
  return WithSetup(b, b.scale(), [](auto setup, auto... args) { return setup(args...); });
}

void RunDispatcherX(const BlitX& b) { Run(b, b.scale()); }

void RunTwinDispatcherX(const BlitX& b) { Run(b, !b.scale()); }

bool RunSlotX(const BlitX& b, const SlotCallX& call) {
  auto s = RealSetupX(b);
  if (!s) return false;
  s->args.mode = call.mode;
  s->args.lookupTable = call.lookup;
  s->args.transLevel = call.transLevel;
  (b.scale() ? SCALE16XVariants : COPY16XVariants)[call.slot](s->args);
  return true;
}

WorldX::WorldX(const BlitX& b) {
  dst_ = b.base.dst->Clone();
  if (b.base.src != b.base.dst) src_ = b.base.src->Clone();
  if (b.base.mask) mask_ = b.base.mask->Clone();
  if (b.alpha && b.alpha != b.base.src && b.alpha != b.base.dst) alpha_ = b.alpha->Clone();
}

TestMap* WorldX::CopyOf(const BlitX& b, const TestMap* m) const {
  if (!m) return nullptr;
  if (m == b.base.dst) return dst_.get();
  if (m == b.base.src) return src_.get();
  if (m == b.base.mask) return mask_.get();
  return alpha_.get();
}

RequestX WorldX::request(const BlitX& b) const {
  const Blit& p = b.base;
  RequestX q;
  Request& r = q.base;
  r.walk = b.scale() ? Walk::Scale : Walk::Copy;
  r.depth = 16;
  r.src = &CopyOf(b, p.src)->view();
  r.dst = &dst_->view();
  r.mask = p.mask ? &mask_->view() : nullptr;
  r.srcRect = p.srcRect;
  r.dstRect = p.dstRect;
  r.clip = p.clip;
  r.maskRect = p.maskRect;
  r.mode = p.mode;
  r.color = p.color;
  r.lookup = p.lookup;
  r.flipH = p.flipH;
  r.flipV = p.flipV;
  r.rotation = p.rotation;
  q.alpha = b.alpha ? &CopyOf(b, b.alpha)->view() : nullptr;
  q.alphaRect = b.alphaRect;
  if (b.tint) q.tint = TintX{b.tint->red, b.tint->green, b.tint->blue, b.tint->level};
  return q;
}

std::string WorldX::Diff(const BlitX& b) const {
  std::string d = b.base.dst->Diff(*dst_);
  if (!d.empty()) return "destination: " + d;
  if (src_ && !(d = b.base.src->Diff(*src_)).empty()) return "source: " + d;
  if (mask_ && !(d = b.base.mask->Diff(*mask_)).empty()) return "mask: " + d;
  if (alpha_ && !(d = b.alpha->Diff(*alpha_)).empty()) return "alpha: " + d;
  return "";
}

}  // namespace blitref
