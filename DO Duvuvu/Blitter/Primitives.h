// Raw rectangle primitives on pixel memory: fills, copies in 4- and 8-byte
// units, layered copies through key pixels, table blends and a 16-bit alpha
// blend, each unclipped and clipped to a box, with one member per depth and
// a dispatcher that picks the member by EngineSettings byte 8 (8, 16, else
// 32). A depth without a member draws nothing.
//
// Pixel (h, v) of a plane lies at base + v x row length + h x pixel size; the
// row length (bytes, 1..32767; below 1 draws nothing) is used rounded down to
// whole pixels, or whole units in the unit forms. The destination rectangle
// gives the rows and the width; the others give where their walks start.
// Unclipped unit forms cover the width in whole units only; clipped forms
// cover it all. Clip box: A inclusive, B exclusive.
//
// Keys: 0, 0x7FFF, 0x00FFFFFF. Blend tables: at 8 bits 65536 bytes indexed
// (S << 8) + D; at 16 bits 32768 u16 entries indexed by S & 0x7FFF, below
// 0x8000 writing S, else darkening D by (entry & 0x7FFF) / 32. Alpha bytes
// 0..32 are read at the source rectangle's place in the alpha plane.
//
// With EngineSettings byte 6 and InterlaceMode both set only the rows whose
// index has InterlaceField's parity are drawn.
#pragma once

#include <array>

#include "MacTypes.h"

using PrimFill = void(const Rect* r, UInt8* base, SInt16 rowBytes, UInt32 value);
using PrimFillClipped = void(const Rect* r, UInt8* base, SInt16 rowBytes, Point a, Point b,
                             UInt32 value);
using PrimCopy = void(const Rect* src, const Rect* dst, const UInt8* srcBase, UInt8* dstBase,
                      SInt16 srcRowBytes, SInt16 dstRowBytes);
using PrimCopyClipped = void(const Rect* src, const Rect* dst, const UInt8* srcBase,
                             UInt8* dstBase, SInt16 srcRowBytes, SInt16 dstRowBytes, Point a,
                             Point b);
using PrimBlend = void(const Rect* src, const Rect* dst, const UInt8* srcBase, UInt8* dstBase,
                       SInt16 srcRowBytes, SInt16 dstRowBytes, const void* table);
using PrimBlendClipped = void(const Rect* src, const Rect* dst, const UInt8* srcBase,
                              UInt8* dstBase, SInt16 srcRowBytes, SInt16 dstRowBytes, Point a,
                              Point b, const void* table);
// The third plane: the back pixels, or the mask.
using PrimThree = void(const Rect* src, const Rect* dst, const Rect* third, const UInt8* srcBase,
                       UInt8* dstBase, const UInt8* thirdBase, SInt16 srcRowBytes,
                       SInt16 dstRowBytes, SInt16 thirdRowBytes);
using PrimThreeClipped = void(const Rect* src, const Rect* dst, const Rect* third,
                              const UInt8* srcBase, UInt8* dstBase, const UInt8* thirdBase,
                              SInt16 srcRowBytes, SInt16 dstRowBytes, SInt16 thirdRowBytes,
                              Point a, Point b);
using PrimBlendMasked = void(const Rect* src, const Rect* dst, const Rect* mask,
                             const UInt8* srcBase, UInt8* dstBase, const UInt8* maskBase,
                             SInt16 srcRowBytes, SInt16 dstRowBytes, SInt16 maskRowBytes,
                             const void* table);
using PrimBlendMaskedClipped = void(const Rect* src, const Rect* dst, const Rect* mask,
                                    const UInt8* srcBase, UInt8* dstBase, const UInt8* maskBase,
                                    SInt16 srcRowBytes, SInt16 dstRowBytes,
                                    SInt16 maskRowBytes, Point a, Point b, const void* table);
using PrimOverTwo = void(const Rect* src, const Rect* dst, const Rect* middle, const Rect* back,
                         const UInt8* srcBase, UInt8* dstBase, const UInt8* middleBase,
                         const UInt8* backBase, SInt16 srcRowBytes, SInt16 dstRowBytes,
                         SInt16 middleRowBytes, SInt16 backRowBytes);
using PrimOverTwoClipped = void(const Rect* src, const Rect* dst, const Rect* middle,
                                const Rect* back, const UInt8* srcBase, UInt8* dstBase,
                                const UInt8* middleBase, const UInt8* backBase,
                                SInt16 srcRowBytes, SInt16 dstRowBytes, SInt16 middleRowBytes,
                                SInt16 backRowBytes, Point a, Point b);
using PrimAlpha = void(const Rect* src, const Rect* dst, const UInt8* srcBase, UInt8* dstBase,
                       const UInt8* alphaBase, SInt16 srcRowBytes, SInt16 dstRowBytes,
                       SInt16 alphaRowBytes);
using PrimAlphaClipped = void(const Rect* src, const Rect* dst, const UInt8* srcBase,
                              UInt8* dstBase, const UInt8* alphaBase, SInt16 srcRowBytes,
                              SInt16 dstRowBytes, SInt16 alphaRowBytes, Point a, Point b);

// An operation's members at 8, 16 and 32 bits (nil: none).
template <class Fn>
using PrimMembers = std::array<Fn*, 3>;

// D = S where S is not the key.
// OverBack: D = S, or the back pixel where S is the key.
// OverTwo: D = S; where S is the key the middle pixel; where that is the key
// too the back pixel.
// Blend (8): D = table[(S << 8) + D]. Blend (16): below 0x8000 D = S, else
// key destinations stay. Masked: only where the mask is not the key (16 bits:
// the darkening only, and a key destination is darkened too).
// *Transparent: key sources are skipped.
// AlphaBlend: where D is not the key or A >= 32, each field moves A/32 of the
// way toward S.
extern PrimFill* const FillRectLongs8;
extern PrimFill* const FillRectLongs16;
extern PrimFill* const FillRectLongs32;
extern PrimFill* const FillRectDoubles8;
extern PrimFill* const FillRectDoubles16;
extern PrimFill* const FillRectDoubles32;
extern PrimFillClipped* const FillRectLongsClipped8;
extern PrimFillClipped* const FillRectLongsClipped16;
extern PrimFillClipped* const FillRectLongsClipped32;
extern PrimFillClipped* const FillRectDoublesClipped8;
extern PrimFillClipped* const FillRectDoublesClipped16;
extern PrimFillClipped* const FillRectDoublesClipped32;
extern PrimCopy* const CopyRectLongs8;
extern PrimCopy* const CopyRectLongs16;
extern PrimCopy* const CopyRectLongs32;
extern PrimCopyClipped* const CopyRectLongsClipped8;
extern PrimCopyClipped* const CopyRectLongsClipped16;
extern PrimCopyClipped* const CopyRectLongsClipped32;
extern PrimCopy* const CopyRectDoubles8;
extern PrimCopy* const CopyRectDoubles16;
extern PrimCopy* const CopyRectDoubles32;
extern PrimCopyClipped* const CopyRectDoublesClipped8;
extern PrimCopyClipped* const CopyRectDoublesClipped16;
extern PrimCopyClipped* const CopyRectDoublesClipped32;
extern PrimThree* const CopyRectOverBack8;
extern PrimThree* const CopyRectOverBack16;
extern PrimThree* const CopyRectOverBack32;
extern PrimThreeClipped* const CopyRectOverBackClipped8;
extern PrimThreeClipped* const CopyRectOverBackClipped16;
extern PrimThreeClipped* const CopyRectOverBackClipped32;
extern PrimOverTwo* const CopyRectOverTwo8;
extern PrimOverTwo* const CopyRectOverTwo16;
extern PrimOverTwo* const CopyRectOverTwo32;
extern PrimOverTwoClipped* const CopyRectOverTwoClipped8;
extern PrimOverTwoClipped* const CopyRectOverTwoClipped16;
extern PrimOverTwoClipped* const CopyRectOverTwoClipped32;
extern PrimCopy* const CopyRectTransparent8;
extern PrimCopy* const CopyRectTransparent16;
extern PrimCopy* const CopyRectTransparent32;
extern PrimCopyClipped* const CopyRectTransparentClipped8;
extern PrimCopyClipped* const CopyRectTransparentClipped16;
extern PrimCopyClipped* const CopyRectTransparentClipped32;
extern PrimBlend* const BlendRect8;
extern PrimBlend* const BlendRect16;
extern PrimBlendClipped* const BlendRectClipped8;
extern PrimBlendClipped* const BlendRectClipped16;
extern PrimBlend* const BlendRectTransparent8;
extern PrimBlend* const BlendRectTransparent16;
extern PrimBlendClipped* const BlendRectTransparentClipped8;
extern PrimBlendClipped* const BlendRectTransparentClipped16;
extern PrimBlendMasked* const BlendRectMasked8;
extern PrimBlendMasked* const BlendRectMasked16;
extern PrimBlendMaskedClipped* const BlendRectMaskedClipped8;
extern PrimBlendMaskedClipped* const BlendRectMaskedClipped16;
extern PrimBlendMasked* const BlendRectMaskedTransparent8;
extern PrimBlendMasked* const BlendRectMaskedTransparent16;
extern PrimBlendMaskedClipped* const BlendRectMaskedTransparentClipped8;
extern PrimBlendMaskedClipped* const BlendRectMaskedTransparentClipped16;
extern PrimAlpha* const AlphaBlendRect16;
extern PrimAlphaClipped* const AlphaBlendRectClipped16;

extern const PrimMembers<PrimFill> FillRectLongsMembers;
extern const PrimMembers<PrimFill> FillRectDoublesMembers;
extern const PrimMembers<PrimCopy> CopyRectLongsMembers;
extern const PrimMembers<PrimCopy> CopyRectDoublesMembers;
extern const PrimMembers<PrimThree> CopyRectOverBackMembers;
extern const PrimMembers<PrimOverTwo> CopyRectOverTwoMembers;
extern const PrimMembers<PrimCopy> CopyRectTransparentMembers;
extern const PrimMembers<PrimBlend> BlendRectMembers;
extern const PrimMembers<PrimBlend> BlendRectTransparentMembers;
extern const PrimMembers<PrimBlendMasked> BlendRectMaskedMembers;
extern const PrimMembers<PrimBlendMasked> BlendRectMaskedTransparentMembers;
extern const PrimMembers<PrimAlpha> AlphaBlendRectMembers;

extern const PrimMembers<PrimFillClipped> FillRectLongsClippedMembers;
extern const PrimMembers<PrimFillClipped> FillRectDoublesClippedMembers;

extern const PrimMembers<PrimCopyClipped> CopyRectLongsClippedMembers;
extern const PrimMembers<PrimCopyClipped> CopyRectDoublesClippedMembers;
extern const PrimMembers<PrimThreeClipped> CopyRectOverBackClippedMembers;
extern const PrimMembers<PrimOverTwoClipped> CopyRectOverTwoClippedMembers;
extern const PrimMembers<PrimCopyClipped> CopyRectTransparentClippedMembers;
extern const PrimMembers<PrimBlendClipped> BlendRectClippedMembers;
extern const PrimMembers<PrimBlendClipped> BlendRectTransparentClippedMembers;
extern const PrimMembers<PrimBlendMaskedClipped> BlendRectMaskedClippedMembers;
extern const PrimMembers<PrimBlendMaskedClipped> BlendRectMaskedTransparentClippedMembers;
extern const PrimMembers<PrimAlphaClipped> AlphaBlendRectClippedMembers;

// The dispatchers.
extern PrimFill* const FillRectLongs;
extern PrimFill* const FillRectDoubles;
extern PrimCopy* const CopyRectLongs;
extern PrimCopy* const CopyRectDoubles;
extern PrimThree* const CopyRectOverBack;
extern PrimOverTwo* const CopyRectOverTwo;
extern PrimCopy* const CopyRectTransparent;
extern PrimBlend* const BlendRect;
extern PrimBlend* const BlendRectTransparent;
extern PrimBlendMasked* const BlendRectMasked;
extern PrimBlendMasked* const BlendRectMaskedTransparent;
extern PrimAlpha* const AlphaBlendRect;
extern PrimCopyClipped* const CopyRectLongsClipped;
extern PrimCopyClipped* const CopyRectDoublesClipped;
extern PrimThreeClipped* const CopyRectOverBackClipped;
extern PrimOverTwoClipped* const CopyRectOverTwoClipped;
extern PrimCopyClipped* const CopyRectTransparentClipped;
extern PrimBlendClipped* const BlendRectClipped;
extern PrimBlendClipped* const BlendRectTransparentClipped;
extern PrimBlendMaskedClipped* const BlendRectMaskedClipped;
extern PrimBlendMaskedClipped* const BlendRectMaskedTransparentClipped;
extern PrimAlphaClipped* const AlphaBlendRectClipped;
