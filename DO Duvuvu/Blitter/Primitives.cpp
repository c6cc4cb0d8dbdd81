// One template behind every per-depth primitive: the operation and the
// clip form pick the walk, the pixel type the member.
#include "Primitives.h"

#include <cstddef>
#include <cstring>
#include <tuple>
#include <utility>

#include "AppGlobals.h"
#include "BlitTypes.h"
#include "PixMap.h"

UInt8 InterlaceMode = 0;
UInt8 InterlaceField = 0;

namespace {

enum class Op {
  FillLongs,
  FillDoubles,
  CopyLongs,
  CopyDoubles,
  OverBack,
  OverTwo,
  Transparent,
  Blend,
  BlendTransparent,
  BlendMasked,
  BlendMaskedTransparent,
  AlphaBlend,
};

constexpr bool IsFill(Op op) { return op == Op::FillLongs || op == Op::FillDoubles; }
constexpr size_t UnitBytes(Op op) {
  switch (op) {
    case Op::FillLongs:
    case Op::CopyLongs: return 4;
    case Op::FillDoubles:
    case Op::CopyDoubles: return 8;
    default: return 0;
  }
}
// Planes in argument order (the destination is the second, but for fills).
constexpr int PlaneCount(Op op) {
  switch (op) {
    case Op::FillLongs:
    case Op::FillDoubles: return 1;
    case Op::OverBack:
    case Op::BlendMasked:
    case Op::BlendMaskedTransparent:
    case Op::AlphaBlend: return 3;
    case Op::OverTwo: return 4;
    default: return 2;
  }
}
// Rectangles passed: the alpha plane is read at the source's.
constexpr int RectCount(Op op) { return op == Op::AlphaBlend ? 2 : PlaneCount(op); }
constexpr int DestPlane(Op op) { return IsFill(op) ? 0 : 1; }

// One call's arguments, whatever its form.
struct Job {
  Rect rect[4];
  const UInt8* base[4];
  SInt32 rowBytes[4];
  Point a, b;
  UInt32 value;
  const void* table;
};

// Arguments: rects, bases, row lengths, then (clipped) A and B, then the fill
// value or the table when the operation has one.
template <Op kOp, bool kClipped, class... A>
Job Pack(A... args) {
  constexpr int kRects = RectCount(kOp);
  constexpr int kPlanes = PlaneCount(kOp);
  const auto all = std::make_tuple(args...);
  Job j{};
  [&]<size_t... I>(std::index_sequence<I...>) {
    ((j.rect[I] = *std::get<I>(all)), ...);
  }(std::make_index_sequence<kRects>{});
  if constexpr (kOp == Op::AlphaBlend) j.rect[2] = j.rect[0];
  [&]<size_t... I>(std::index_sequence<I...>) {
    ((j.base[I] = std::get<kRects + I>(all)), ...);
    ((j.rowBytes[I] = std::get<kRects + kPlanes + I>(all)), ...);
  }(std::make_index_sequence<kPlanes>{});
  constexpr size_t kAfter = kRects + 2 * kPlanes;
  if constexpr (kClipped) {
    j.a = std::get<kAfter>(all);
    j.b = std::get<kAfter + 1>(all);
  }
  constexpr size_t kExtra = kAfter + (kClipped ? 2 : 0);
  if constexpr (kExtra < sizeof...(A)) {
    if constexpr (IsFill(kOp)) {
      j.value = std::get<kExtra>(all);
    } else {
      j.table = std::get<kExtra>(all);
    }
  }
  return j;
}

template <typename T>
inline T Load(const UInt8* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
template <typename T>
inline void Store(UInt8* p, T v) {
  std::memcpy(p, &v, sizeof v);
}

// 16-bit fields with green moved up into spare bits (bit 15 dropped).
inline UInt32 Spread(UInt32 p) { return ((p & 0x03E0) << 16) | (p & 0x7C1F); }
inline UInt16 Pack16(UInt32 v) {
  v &= 0x03E07C1F;
  return static_cast<UInt16>((v & 0x7C1F) | ((v >> 16) & 0x03E0));
}
inline UInt16 Darken(UInt32 d, UInt32 level) { return Pack16((Spread(d) * level) >> 5); }

inline bool Apart(const UInt8* a, size_t aBytes, const UInt8* b, size_t bBytes) {
  const auto pa = reinterpret_cast<std::uintptr_t>(a);
  const auto pb = reinterpret_cast<std::uintptr_t>(b);
  return pa + aBytes <= pb || pb + bBytes <= pa;
}

// Sixteen bytes of pixels, for the keyed copy.
template <typename Pixel>
struct Lanes {
  typedef Pixel Vector __attribute__((vector_size(16)));
};
template <typename Pixel>
using Vector = typename Lanes<Pixel>::Vector;

template <typename Pixel>
inline void TransparentRow(UInt8* d, const UInt8* s, size_t n) {
  constexpr Pixel kKey = kBlitKey<Pixel>;
  size_t i = 0;
  constexpr size_t kLanes = 16 / sizeof(Pixel);
  if (Apart(d, n * sizeof(Pixel), s, n * sizeof(Pixel))) {
    for (; i + kLanes <= n; i += kLanes) {
      Vector<Pixel> sv, dv;
      std::memcpy(&sv, s + i * sizeof(Pixel), 16);
      std::memcpy(&dv, d + i * sizeof(Pixel), 16);
      const Vector<Pixel> keep = sv == kKey;
      const Vector<Pixel> out = (keep & dv) | (~keep & sv);
      std::memcpy(d + i * sizeof(Pixel), &out, 16);
    }
  }
  for (; i < n; ++i) {
    const Pixel v = Load<Pixel>(s + i * sizeof(Pixel));
    if (v != kKey) Store<Pixel>(d + i * sizeof(Pixel), v);
  }
}

// One row of n pixels; p[i] is plane i's pixel at the row's start.
template <typename Pixel, Op kOp, bool kClipped>
inline void Row(UInt8* const* p, size_t n, const Job& j) {
  constexpr Pixel kKey = kBlitKey<Pixel>;
  constexpr size_t kSize = sizeof(Pixel);
  UInt8* d = p[DestPlane(kOp)];
  if constexpr (IsFill(kOp)) {
    const Pixel v = static_cast<Pixel>(j.value);
    if constexpr (kSize == 1) {
      std::memset(d, v, n);
    } else {
      // Sixteen bytes of the pattern per store, then the tail.
      UInt8 pattern[16];
      for (size_t i = 0; i < 16; i += kSize) Store<Pixel>(pattern + i, v);
      const size_t bytes = n * kSize;
      size_t i = 0;
      for (; i + 16 <= bytes; i += 16) std::memcpy(d + i, pattern, 16);
      for (; i < bytes; i += kSize) Store<Pixel>(d + i, v);
    }
  } else if constexpr (UnitBytes(kOp) != 0) {
    const UInt8* s = p[0];
    const size_t bytes = n * kSize;
    if (Apart(d, bytes, s, bytes)) {
      std::memcpy(d, s, bytes);
    } else {
      // Overlapping rows are copied forward, unit by unit.
      constexpr size_t kUnit = UnitBytes(kOp);
      size_t i = 0;
      for (; i + kUnit <= bytes; i += kUnit) {
        UInt8 unit[kUnit];
        std::memcpy(unit, s + i, kUnit);
        std::memcpy(d + i, unit, kUnit);
      }
      for (; i < bytes; i += kSize) Store<Pixel>(d + i, Load<Pixel>(s + i));
    }
  } else if constexpr (kOp == Op::Transparent) {
    TransparentRow<Pixel>(d, p[0], n);
  } else {
    for (size_t i = 0; i < n; ++i) {
      const size_t at = i * kSize;
      const Pixel s = Load<Pixel>(p[0] + at);
      if constexpr (kOp == Op::OverBack) {
        Store<Pixel>(d + at, s != kKey ? s : Load<Pixel>(p[2] + at));
      } else if constexpr (kOp == Op::OverTwo) {
        Pixel v = s;
        if (v == kKey) v = Load<Pixel>(p[2] + at);
        if (v == kKey) v = Load<Pixel>(p[3] + at);
        Store<Pixel>(d + at, v);
      } else if constexpr (kOp == Op::AlphaBlend) {
        const UInt32 alpha = p[2][i];
        const UInt32 dest = Load<Pixel>(d + at);
        if (dest == kKey && alpha < 32) continue;
        const UInt32 sd = Spread(dest);
        Store<Pixel>(d + at, Pack16((((Spread(s) - sd) * alpha) >> 5) + sd));
      } else {
        constexpr bool kSkipsKey =
            kOp == Op::BlendTransparent || kOp == Op::BlendMaskedTransparent;
        constexpr bool kMasked = kOp == Op::BlendMasked || kOp == Op::BlendMaskedTransparent;
        if (kSkipsKey && s == kKey) continue;
        const UInt32 dest = Load<Pixel>(d + at);
        bool maskPasses = true;
        if constexpr (kMasked) maskPasses = Load<Pixel>(p[2] + at) != kKey;
        if constexpr (kSize == 1) {
          if (!maskPasses) continue;
          d[at] = static_cast<const UInt8*>(j.table)[(static_cast<UInt32>(s) << 8) + dest];
        } else {
          // The table covers the colour fields only.
          const UInt32 entry = static_cast<const UInt16*>(j.table)[s & 0x7FFF];
          if (entry < 0x8000) {
            Store<Pixel>(d + at, s);
          } else if (kMasked ? maskPasses : dest != kKey) {
            Store<Pixel>(d + at, Darken(dest, entry & 0x7FFF));
          }
        }
      }
    }
  }
}

template <typename Pixel, Op kOp, bool kClipped>
void Run(const Job& j) {
  constexpr int kPlanes = PlaneCount(kOp);
  constexpr int kDest = DestPlane(kOp);
  constexpr size_t kSize = sizeof(Pixel);
  // Row lengths are used in whole units (unit forms) or whole pixels.
  constexpr size_t kUnit = UnitBytes(kOp) ? UnitBytes(kOp) : kSize;
  Rect d = j.rect[kDest];
  SInt32 top[4], left[4];
  for (int i = 0; i < kPlanes; ++i) {
    if (j.rowBytes[i] < 1) return;
    top[i] = j.rect[i].top;
    left[i] = j.rect[i].left;
  }
  if constexpr (kClipped) {
    // Horizontally, then vertically; the other planes move with the
    // destination's left and top.
    const auto clip = [&](SInt16& low, SInt16& high, SInt16 a, SInt16 b, SInt32* others) {
      if (low < a) {
        const SInt32 moved = a - low;
        low = a;
        for (int i = 0; i < kPlanes; ++i) others[i] += moved;
      } else if (low > b) {
        return false;
      }
      if (high > b) {
        high = b;
      } else if (high < a) {
        return false;
      }
      return true;
    };
    if (!clip(d.left, d.right, j.a.h, j.b.h, left)) return;
    if (!clip(d.top, d.bottom, j.a.v, j.b.v, top)) return;
    top[kDest] = d.top;
    left[kDest] = d.left;
  }
  const SInt32 width = d.right - d.left;
  if (width <= 0 || d.bottom <= d.top) return;
  // Unclipped unit forms cover whole units only.
  size_t pixels = static_cast<size_t>(width);
  if constexpr (UnitBytes(kOp) != 0 && !kClipped) pixels = pixels * kSize / kUnit * kUnit / kSize;
  if (pixels == 0) return;

  const bool interlaced = EngineSettings[6] != 0 && InterlaceActive != 0;
  const bool skipFirst = interlaced && (d.top & 1) != InterlaceField;
  UInt8* at[4];
  ptrdiff_t advance[4];
  for (int i = 0; i < kPlanes; ++i) {
    // The alpha plane holds bytes.
    const ptrdiff_t size = kOp == Op::AlphaBlend && i == 2 ? 1 : static_cast<ptrdiff_t>(kSize);
    const ptrdiff_t unit = UnitBytes(kOp) ? static_cast<ptrdiff_t>(kUnit) : size;
    const ptrdiff_t stride = static_cast<ptrdiff_t>(j.rowBytes[i]) / unit * unit;
    at[i] = const_cast<UInt8*>(j.base[i]) + top[i] * stride + left[i] * size;
    advance[i] = interlaced ? 2 * stride : stride;
    // Unclipped per-pixel forms step each plane by its own width.
    if constexpr (!kClipped && UnitBytes(kOp) == 0 && !IsFill(kOp)) {
      const SInt32 own = j.rect[i].right - j.rect[i].left;
      advance[i] += static_cast<ptrdiff_t>(width - own) * size;
    }
    if (skipFirst) at[i] += stride;
  }
  for (SInt32 row = d.top + (skipFirst ? 1 : 0); row < d.bottom; row += interlaced ? 2 : 1) {
    Row<Pixel, kOp, kClipped>(at, pixels, j);
    for (int i = 0; i < kPlanes; ++i) at[i] += advance[i];
  }
}

template <typename Pixel, Op kOp, bool kClipped, class Fn>
struct Member;

template <typename Pixel, Op kOp, bool kClipped, class... A>
struct Member<Pixel, kOp, kClipped, void(A...)> {
  static void Call(A... args) { Run<Pixel, kOp, kClipped>(Pack<kOp, kClipped>(args...)); }
};

template <Op kOp, bool kClipped, class Fn>
constexpr PrimMembers<Fn> MembersOf(bool has8, bool has16, bool has32) {
  return {has8 ? &Member<UInt8, kOp, kClipped, Fn>::Call : nullptr,
          has16 ? &Member<UInt16, kOp, kClipped, Fn>::Call : nullptr,
          has32 ? &Member<UInt32, kOp, kClipped, Fn>::Call : nullptr};
}

template <Op kOp, bool kClipped, class Fn>
constexpr PrimMembers<Fn> kAllDepths = MembersOf<kOp, kClipped, Fn>(true, true, true);
template <Op kOp, bool kClipped, class Fn>
constexpr PrimMembers<Fn> kNo32 = MembersOf<kOp, kClipped, Fn>(true, true, false);
template <Op kOp, bool kClipped, class Fn>
constexpr PrimMembers<Fn> kOnly16 = MembersOf<kOp, kClipped, Fn>(false, true, false);

// The member for the screen depth.
template <class Fn, const PrimMembers<Fn>& kMembers>
struct Dispatcher;

template <class... A, const PrimMembers<void(A...)>& kMembers>
struct Dispatcher<void(A...), kMembers> {
  static void Call(A... args) {
    const UInt8 depth = EngineSettings[8];
    void (*const member)(A...) = kMembers[depth == 8 ? 0 : depth == 16 ? 1 : 2];
    if (member) member(args...);
  }
};

}  // namespace

constexpr PrimMembers<PrimFill> FillRectLongsMembers = kAllDepths<Op::FillLongs, false, PrimFill>;
constexpr PrimMembers<PrimFill> FillRectDoublesMembers =
    kAllDepths<Op::FillDoubles, false, PrimFill>;
constexpr PrimMembers<PrimCopy> CopyRectLongsMembers = kAllDepths<Op::CopyLongs, false, PrimCopy>;
constexpr PrimMembers<PrimCopy> CopyRectDoublesMembers =
    kAllDepths<Op::CopyDoubles, false, PrimCopy>;
constexpr PrimMembers<PrimThree> CopyRectOverBackMembers =
    kAllDepths<Op::OverBack, false, PrimThree>;
constexpr PrimMembers<PrimOverTwo> CopyRectOverTwoMembers =
    kAllDepths<Op::OverTwo, false, PrimOverTwo>;
constexpr PrimMembers<PrimCopy> CopyRectTransparentMembers =
    kAllDepths<Op::Transparent, false, PrimCopy>;
constexpr PrimMembers<PrimBlend> BlendRectMembers = kNo32<Op::Blend, false, PrimBlend>;
constexpr PrimMembers<PrimBlend> BlendRectTransparentMembers =
    kNo32<Op::BlendTransparent, false, PrimBlend>;
constexpr PrimMembers<PrimBlendMasked> BlendRectMaskedMembers =
    kNo32<Op::BlendMasked, false, PrimBlendMasked>;
constexpr PrimMembers<PrimBlendMasked> BlendRectMaskedTransparentMembers =
    kNo32<Op::BlendMaskedTransparent, false, PrimBlendMasked>;
constexpr PrimMembers<PrimAlpha> AlphaBlendRectMembers =
    kOnly16<Op::AlphaBlend, false, PrimAlpha>;

constexpr PrimMembers<PrimFillClipped> FillRectLongsClippedMembers =
    kAllDepths<Op::FillLongs, true, PrimFillClipped>;
constexpr PrimMembers<PrimFillClipped> FillRectDoublesClippedMembers =
    kAllDepths<Op::FillDoubles, true, PrimFillClipped>;
constexpr PrimMembers<PrimCopyClipped> CopyRectLongsClippedMembers =
    kAllDepths<Op::CopyLongs, true, PrimCopyClipped>;
constexpr PrimMembers<PrimCopyClipped> CopyRectDoublesClippedMembers =
    kAllDepths<Op::CopyDoubles, true, PrimCopyClipped>;
constexpr PrimMembers<PrimThreeClipped> CopyRectOverBackClippedMembers =
    kAllDepths<Op::OverBack, true, PrimThreeClipped>;
constexpr PrimMembers<PrimOverTwoClipped> CopyRectOverTwoClippedMembers =
    kAllDepths<Op::OverTwo, true, PrimOverTwoClipped>;
constexpr PrimMembers<PrimCopyClipped> CopyRectTransparentClippedMembers =
    kAllDepths<Op::Transparent, true, PrimCopyClipped>;
constexpr PrimMembers<PrimBlendClipped> BlendRectClippedMembers =
    kNo32<Op::Blend, true, PrimBlendClipped>;
constexpr PrimMembers<PrimBlendClipped> BlendRectTransparentClippedMembers =
    kNo32<Op::BlendTransparent, true, PrimBlendClipped>;
constexpr PrimMembers<PrimBlendMaskedClipped> BlendRectMaskedClippedMembers =
    kNo32<Op::BlendMasked, true, PrimBlendMaskedClipped>;
constexpr PrimMembers<PrimBlendMaskedClipped> BlendRectMaskedTransparentClippedMembers =
    kNo32<Op::BlendMaskedTransparent, true, PrimBlendMaskedClipped>;
constexpr PrimMembers<PrimAlphaClipped> AlphaBlendRectClippedMembers =
    kOnly16<Op::AlphaBlend, true, PrimAlphaClipped>;

// The members by name.
constexpr PrimCopy* CopyRectLongs8 = CopyRectLongsMembers[0];
constexpr PrimCopy* CopyRectLongs16 = CopyRectLongsMembers[1];
constexpr PrimCopy* CopyRectLongs32 = CopyRectLongsMembers[2];
constexpr PrimCopyClipped* CopyRectLongsClipped8 = CopyRectLongsClippedMembers[0];
constexpr PrimCopyClipped* CopyRectLongsClipped16 = CopyRectLongsClippedMembers[1];
constexpr PrimCopyClipped* CopyRectLongsClipped32 = CopyRectLongsClippedMembers[2];
constexpr PrimCopy* CopyRectDoubles8 = CopyRectDoublesMembers[0];
constexpr PrimCopy* CopyRectDoubles16 = CopyRectDoublesMembers[1];
constexpr PrimCopy* CopyRectDoubles32 = CopyRectDoublesMembers[2];
constexpr PrimCopyClipped* CopyRectDoublesClipped8 = CopyRectDoublesClippedMembers[0];
constexpr PrimCopyClipped* CopyRectDoublesClipped16 = CopyRectDoublesClippedMembers[1];
constexpr PrimCopyClipped* CopyRectDoublesClipped32 = CopyRectDoublesClippedMembers[2];
constexpr PrimThree* CopyRectOverBack8 = CopyRectOverBackMembers[0];
constexpr PrimThree* CopyRectOverBack16 = CopyRectOverBackMembers[1];
constexpr PrimThree* CopyRectOverBack32 = CopyRectOverBackMembers[2];
constexpr PrimThreeClipped* CopyRectOverBackClipped8 = CopyRectOverBackClippedMembers[0];
constexpr PrimThreeClipped* CopyRectOverBackClipped16 = CopyRectOverBackClippedMembers[1];
constexpr PrimThreeClipped* CopyRectOverBackClipped32 = CopyRectOverBackClippedMembers[2];
constexpr PrimOverTwo* CopyRectOverTwo8 = CopyRectOverTwoMembers[0];
constexpr PrimOverTwo* CopyRectOverTwo16 = CopyRectOverTwoMembers[1];
constexpr PrimOverTwo* CopyRectOverTwo32 = CopyRectOverTwoMembers[2];
constexpr PrimOverTwoClipped* CopyRectOverTwoClipped8 = CopyRectOverTwoClippedMembers[0];
constexpr PrimOverTwoClipped* CopyRectOverTwoClipped16 = CopyRectOverTwoClippedMembers[1];
constexpr PrimOverTwoClipped* CopyRectOverTwoClipped32 = CopyRectOverTwoClippedMembers[2];
constexpr PrimCopy* CopyRectTransparent8 = CopyRectTransparentMembers[0];
constexpr PrimCopy* CopyRectTransparent16 = CopyRectTransparentMembers[1];
constexpr PrimCopy* CopyRectTransparent32 = CopyRectTransparentMembers[2];
constexpr PrimCopyClipped* CopyRectTransparentClipped8 = CopyRectTransparentClippedMembers[0];
constexpr PrimCopyClipped* CopyRectTransparentClipped16 = CopyRectTransparentClippedMembers[1];
constexpr PrimCopyClipped* CopyRectTransparentClipped32 = CopyRectTransparentClippedMembers[2];
constexpr PrimBlend* BlendRect8 = BlendRectMembers[0];
constexpr PrimBlend* BlendRect16 = BlendRectMembers[1];
constexpr PrimBlendClipped* BlendRectClipped8 = BlendRectClippedMembers[0];
constexpr PrimBlendClipped* BlendRectClipped16 = BlendRectClippedMembers[1];
constexpr PrimBlend* BlendRectTransparent8 = BlendRectTransparentMembers[0];
constexpr PrimBlend* BlendRectTransparent16 = BlendRectTransparentMembers[1];
constexpr PrimBlendClipped* BlendRectTransparentClipped8 = BlendRectTransparentClippedMembers[0];
constexpr PrimBlendClipped* BlendRectTransparentClipped16 = BlendRectTransparentClippedMembers[1];
constexpr PrimBlendMasked* BlendRectMasked8 = BlendRectMaskedMembers[0];
constexpr PrimBlendMasked* BlendRectMasked16 = BlendRectMaskedMembers[1];
constexpr PrimBlendMaskedClipped* BlendRectMaskedClipped8 = BlendRectMaskedClippedMembers[0];
constexpr PrimBlendMaskedClipped* BlendRectMaskedClipped16 = BlendRectMaskedClippedMembers[1];
constexpr PrimBlendMasked* BlendRectMaskedTransparent8 = BlendRectMaskedTransparentMembers[0];
constexpr PrimBlendMasked* BlendRectMaskedTransparent16 = BlendRectMaskedTransparentMembers[1];
constexpr PrimBlendMaskedClipped* BlendRectMaskedTransparentClipped8 = BlendRectMaskedTransparentClippedMembers[0];
constexpr PrimBlendMaskedClipped* BlendRectMaskedTransparentClipped16 = BlendRectMaskedTransparentClippedMembers[1];
constexpr PrimAlpha* AlphaBlendRect16 = AlphaBlendRectMembers[1];
constexpr PrimAlphaClipped* AlphaBlendRectClipped16 = AlphaBlendRectClippedMembers[1];
constexpr PrimFill* FillRectLongs8 = FillRectLongsMembers[0];
constexpr PrimFill* FillRectLongs16 = FillRectLongsMembers[1];
constexpr PrimFill* FillRectLongs32 = FillRectLongsMembers[2];
constexpr PrimFillClipped* FillRectLongsClipped8 = FillRectLongsClippedMembers[0];
constexpr PrimFillClipped* FillRectLongsClipped16 = FillRectLongsClippedMembers[1];
constexpr PrimFillClipped* FillRectLongsClipped32 = FillRectLongsClippedMembers[2];
constexpr PrimFill* FillRectDoubles8 = FillRectDoublesMembers[0];
constexpr PrimFill* FillRectDoubles16 = FillRectDoublesMembers[1];
constexpr PrimFill* FillRectDoubles32 = FillRectDoublesMembers[2];
constexpr PrimFillClipped* FillRectDoublesClipped8 = FillRectDoublesClippedMembers[0];
constexpr PrimFillClipped* FillRectDoublesClipped16 = FillRectDoublesClippedMembers[1];
constexpr PrimFillClipped* FillRectDoublesClipped32 = FillRectDoublesClippedMembers[2];

// The dispatchers.
constexpr PrimFill* FillRectLongs = &Dispatcher<PrimFill, FillRectLongsMembers>::Call;
constexpr PrimFill* FillRectDoubles = &Dispatcher<PrimFill, FillRectDoublesMembers>::Call;
constexpr PrimCopy* CopyRectLongs = &Dispatcher<PrimCopy, CopyRectLongsMembers>::Call;
constexpr PrimCopyClipped* CopyRectLongsClipped = &Dispatcher<PrimCopyClipped, CopyRectLongsClippedMembers>::Call;
constexpr PrimCopy* CopyRectDoubles = &Dispatcher<PrimCopy, CopyRectDoublesMembers>::Call;
constexpr PrimCopyClipped* CopyRectDoublesClipped = &Dispatcher<PrimCopyClipped, CopyRectDoublesClippedMembers>::Call;
constexpr PrimThree* CopyRectOverBack = &Dispatcher<PrimThree, CopyRectOverBackMembers>::Call;
constexpr PrimThreeClipped* CopyRectOverBackClipped = &Dispatcher<PrimThreeClipped, CopyRectOverBackClippedMembers>::Call;
constexpr PrimOverTwo* CopyRectOverTwo = &Dispatcher<PrimOverTwo, CopyRectOverTwoMembers>::Call;
constexpr PrimOverTwoClipped* CopyRectOverTwoClipped = &Dispatcher<PrimOverTwoClipped, CopyRectOverTwoClippedMembers>::Call;
constexpr PrimCopy* CopyRectTransparent = &Dispatcher<PrimCopy, CopyRectTransparentMembers>::Call;
constexpr PrimCopyClipped* CopyRectTransparentClipped = &Dispatcher<PrimCopyClipped, CopyRectTransparentClippedMembers>::Call;
constexpr PrimBlend* BlendRect = &Dispatcher<PrimBlend, BlendRectMembers>::Call;
constexpr PrimBlendClipped* BlendRectClipped = &Dispatcher<PrimBlendClipped, BlendRectClippedMembers>::Call;
constexpr PrimBlend* BlendRectTransparent = &Dispatcher<PrimBlend, BlendRectTransparentMembers>::Call;
constexpr PrimBlendClipped* BlendRectTransparentClipped = &Dispatcher<PrimBlendClipped, BlendRectTransparentClippedMembers>::Call;
constexpr PrimBlendMasked* BlendRectMasked = &Dispatcher<PrimBlendMasked, BlendRectMaskedMembers>::Call;
constexpr PrimBlendMaskedClipped* BlendRectMaskedClipped = &Dispatcher<PrimBlendMaskedClipped, BlendRectMaskedClippedMembers>::Call;
constexpr PrimBlendMasked* BlendRectMaskedTransparent = &Dispatcher<PrimBlendMasked, BlendRectMaskedTransparentMembers>::Call;
constexpr PrimBlendMaskedClipped* BlendRectMaskedTransparentClipped = &Dispatcher<PrimBlendMaskedClipped, BlendRectMaskedTransparentClippedMembers>::Call;
constexpr PrimAlpha* AlphaBlendRect = &Dispatcher<PrimAlpha, AlphaBlendRectMembers>::Call;
constexpr PrimAlphaClipped* AlphaBlendRectClipped = &Dispatcher<PrimAlphaClipped, AlphaBlendRectClippedMembers>::Call;
