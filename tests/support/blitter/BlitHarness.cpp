#include "BlitHarness.h"

#include <cstdio>

#include "BlitDispatch.h"
#include "BlitVariants.h"

namespace blitref {

int DepthOf(Family f) {
  switch (f) {
    case Family::COPY8:
    case Family::SCALE8: return 8;
    case Family::COPY16:
    case Family::SCALE16: return 16;
    default: return 32;
  }
}

Walk WalkOf(Family f) {
  return f == Family::COPY8 || f == Family::COPY16 || f == Family::COPY32 ? Walk::Copy : Walk::Scale;
}

const char* NameOf(Family f) {
  static constexpr const char* names[] = {"COPY8", "COPY16", "COPY32", "SCALE8", "SCALE16", "SCALE32"};
  return names[static_cast<int>(f)];
}

Family Twin(Family f) {
  static constexpr Family twins[] = {Family::SCALE8, Family::SCALE16, Family::SCALE32,
                                     Family::COPY8,  Family::COPY16,  Family::COPY32};
  return twins[static_cast<int>(f)];
}

namespace {

std::string RectText(const Rect& r) {
  char t[64];
  std::snprintf(t, sizeof t, "(t %d l %d b %d r %d)", r.top, r.left, r.bottom, r.right);
  return t;
}

std::string MapText(const char* name, const TestMap* m) {
  if (!m) return std::string(name) + " nil";
  char t[96];
  std::snprintf(t, sizeof t, "%s %dx%d rowBytes 0x%X bounds ", name, m->width(), m->height(),
                m->pixmap().rowBytes);
  return t + RectText(m->bounds());
}

template <typename Pixel>
struct Fns {
  BlitSetUpStep<Pixel>* setUp;
  BlitDispatcher<Pixel>* dispatch;
  const BlitVariantTable<Pixel>* table;
};

Fns<UInt8> Fns8(Family f) {
  return f == Family::COPY8 ? Fns<UInt8>{&SetUpCOPY8, &COPY8, &COPY8Variants}
                            : Fns<UInt8>{&SetUpSCALE8, &SCALE8, &SCALE8Variants};
}
Fns<UInt16> Fns16(Family f) {
  return f == Family::COPY16 ? Fns<UInt16>{&SetUpCOPY16, &COPY16, &COPY16Variants}
                             : Fns<UInt16>{&SetUpSCALE16, &SCALE16, &SCALE16Variants};
}
Fns<UInt32> Fns32(Family f) {
  return f == Family::COPY32 ? Fns<UInt32>{&SetUpCOPY32, &COPY32, &COPY32Variants}
                             : Fns<UInt32>{&SetUpSCALE32, &SCALE32, &SCALE32Variants};
}

// Calls fn with the Fns of b's family.
template <typename F>
auto WithFamily(const Blit& b, F&& fn) {
  switch (DepthOf(b.family)) {
    case 8: return fn(Fns8(b.family));
    case 16: return fn(Fns16(b.family));
    default: return fn(Fns32(b.family));
  }
}

template <typename Pixel>
std::optional<BlitSetup<Pixel>> SetUp(BlitSetUpStep<Pixel>* step, const Blit& b, PixMapHandle mask,
                                      uint32_t mode, uint32_t color, const void* lookup,
                                      const void* trans) {
  return step(b.src->handle(), b.dst->handle(), mask, &b.srcRect, &b.dstRect,
              b.clip ? &*b.clip : nullptr, mode, color, static_cast<const Pixel*>(lookup),
              static_cast<const Pixel*>(trans), b.flipH, b.flipV, b.rotation,
              b.maskRect ? &*b.maskRect : nullptr);
}

template <typename Pixel>
void Override(BlitVariantArgs<Pixel>& args, const SlotCall& call) {
  args.mode = call.mode;
  args.color = call.color;
  args.lookupTable = static_cast<const Pixel*>(call.lookup);
  args.transTable = static_cast<const Pixel*>(call.trans);
}

}  // namespace

std::string Blit::Describe() const {
  char t[160];
  std::string s = std::string(NameOf(family)) + " " + MapText("src", src) + (src == dst ? " (= dst)" : "") +
                  " srcRect " + RectText(srcRect) + "; " + MapText("dst", dst) + " dstRect " +
                  RectText(dstRect) + "; clip " + (clip ? RectText(*clip) : "nil") + "; " +
                  MapText("mask", mask) + " maskRect " + (maskRect ? RectText(*maskRect) : "nil");
  std::snprintf(t, sizeof t, "; mode 0x%X color 0x%X lookup %s trans %s flipH %d flipV %d rotation %d",
                mode, color, lookup ? "yes" : "nil", trans ? "yes" : "nil", flipH, flipV, rotation);
  return s + t;
}

std::optional<SlotCall> RealSelect(const Blit& b) {
  return WithFamily(b, [&](auto fns) -> std::optional<SlotCall> {
    auto s = SetUp(fns.setUp, b, b.mask ? b.mask->handle() : nullptr, b.mode, b.color, b.lookup, b.trans);
    if (!s) return std::nullopt;
    return SlotCall{s->slot, s->args.mode, s->args.color, s->args.lookupTable, s->args.transTable};
  });
}

namespace {

template <typename Pixel>
void Dispatch(BlitDispatcher<Pixel>* dispatch, const Blit& b) {
  dispatch(b.src->handle(), b.dst->handle(), b.mask ? b.mask->handle() : nullptr, &b.srcRect, &b.dstRect,
           b.clip ? &*b.clip : nullptr, b.mode, b.color, static_cast<const Pixel*>(b.lookup),
           static_cast<const Pixel*>(b.trans), b.flipH, b.flipV, b.rotation,
           b.maskRect ? &*b.maskRect : nullptr);
}

template <typename Pixel>
bool CallSlot(BlitSetUpStep<Pixel>* step, BlitVariant<Pixel> variant, const Blit& b, PixMapHandle mask,
              const SlotCall& call) {
  auto s = SetUp(step, b, mask, 0, kNoColor, nullptr, nullptr);
  if (!s) return false;
  Override(s->args, call);
  variant(s->args);
  return true;
}

}  // namespace

void RunDispatcher(const Blit& b) {
  WithFamily(b, [&](auto fns) {
    Dispatch(fns.dispatch, b);
    return 0;
  });
}

void RunAllFlagsDispatcher(const Blit& b) { Dispatch(&COPY16AllFlags, b); }

bool RunSlot(const Blit& b, const SlotCall& call) {
  PixMapHandle mask = (call.slot & kBlitFlagMask) && b.mask ? b.mask->handle() : nullptr;
  return WithFamily(b, [&](auto fns) { return CallSlot(fns.setUp, (*fns.table)[call.slot], b, mask, call); });
}

bool RunAllFlagsSlot(const Blit& b, const SlotCall& call) {
  return CallSlot(&SetUpCOPY16, &COPY16AllFlagsBlit, b, b.mask ? b.mask->handle() : nullptr, call);
}

ModelWorld::ModelWorld(const Blit& b) {
  dst_ = b.dst->Clone();
  if (b.src != b.dst) src_ = b.src->Clone();
  if (b.mask && b.mask != b.dst && b.mask != b.src) mask_ = b.mask->Clone();
}

Request ModelWorld::request(const Blit& b) const {
  auto copyOf = [&](const TestMap* m) -> TestMap* {
    if (!m) return nullptr;
    if (m == b.dst) return dst_.get();
    if (m == b.src) return src_.get();
    return mask_.get();
  };
  Request q;
  q.walk = WalkOf(b.family);
  q.depth = DepthOf(b.family);
  q.src = &copyOf(b.src)->view();
  q.dst = &dst_->view();
  q.mask = b.mask ? &copyOf(b.mask)->view() : nullptr;
  q.srcRect = b.srcRect;
  q.dstRect = b.dstRect;
  q.clip = b.clip;
  q.maskRect = b.maskRect;
  q.mode = b.mode;
  q.color = b.color;
  q.lookup = b.lookup;
  q.trans = b.trans;
  q.flipH = b.flipH;
  q.flipV = b.flipV;
  q.rotation = b.rotation;
  return q;
}

void ModelWorld::Dispatch(const Blit& b) const { ReferenceDispatch(request(b)); }

void ModelWorld::Slot(const Blit& b, const SlotCall& call, Rules rules) const {
  ReferenceSlot(request(b), call, rules);
}

std::string ModelWorld::Diff(const Blit& b) const {
  std::string d = b.dst->Diff(*dst_);
  if (!d.empty()) return "destination: " + d;
  if (src_) {
    d = b.src->Diff(*src_);
    if (!d.empty()) return "source: " + d;
  }
  if (mask_) {
    d = b.mask->Diff(*mask_);
    if (!d.empty()) return "mask: " + d;
  }
  return "";
}

}  // namespace blitref
