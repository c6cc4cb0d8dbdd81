#include <algorithm>

#include "BlitDispatch.h"
#include "BlitExtended.h"
#include "Errors.h"
#include "GLFrame.h"
#include "Geometry.h"
#include "PixMapDrawing.h"
#include "Pictures.h"
#include "PixelEffects.h"
#include "PortDrawing.h"
#include "Ports.h"

namespace {

constexpr SInt16 kTile = 32;


PixMapHandle gScratch8 = nullptr;
PixMapHandle gScratch16 = nullptr;
PixMapHandle gScratch32 = nullptr;
void* gRoundRegion = nullptr;
void* gFrameRegion = nullptr;

void MakeScratches() {
  if (gScratch16) return;
  const Rect bounds{0, 0, kTile, kTile};
  MakePixMap(8, &gScratch8, &bounds, 1, 0, 1);
  MakePixMap(16, &gScratch16, &bounds, 1, 0, 1);
  MakePixMap(32, &gScratch32, &bounds, 1, 0, 1);
  gRoundRegion = CreateRegion();
  gFrameRegion = CreateRegion();
}

// Recording has no effect here, so the frames meant for the regions are not
// painted: they would land in whatever port is current.
void RecordRegions(UInt8 withFrame) {
  OpenRegionRecording();
  CloseRegionRecording(gRoundRegion);
  if (!withFrame) return;
  OpenRegionRecording();
  CloseRegionRecording(gFrameRegion);
  CombineRegions(gRoundRegion, gFrameRegion, gRoundRegion);
}

void CopySeed(PixMapHandle from, PixMapHandle to) {
  auto source = reinterpret_cast<CTabHandle>((*from)->colorTable);
  auto destination = reinterpret_cast<CTabHandle>((*to)->colorTable);
  if (source && destination) (*destination)->seed = (*source)->seed;
}

}  // namespace

void HiliteRoundRect(PixMapHandle source, PixMapHandle destination, const Rect* sourceArea, const Rect* roundRect,
                     SInt16, SInt16 level, UInt8 withFrame) {
  if (!source || !destination || !sourceArea || !roundRect) return;
  MakeScratches();
  const SInt16 depth = (*destination)->pixelDepth;
  PixMapHandle scratch = depth == 8 ? gScratch8 : depth == 16 ? gScratch16 : depth == 32 ? gScratch32 : nullptr;
  if (!scratch) return;
  // The road follows the destination's depth; a source or scratch of another
  // depth would be read at the wrong pixel size.
  if (depth != 32 && ((*source)->pixelDepth != depth || !*scratch || (*scratch)->pixelDepth != depth)) return;
  if (depth == 8) CopySeed(destination, scratch);
  RecordRegions(withFrame);

  const SInt32 clamped = std::clamp<SInt32>(level, 0, 48);
  const auto channel = static_cast<UInt8>(clamped * 32 / 24);
  const BlitTint tint = {channel, channel, channel, 32};
  const Rect& area = *sourceArea;
  const Rect& rr = *roundRect;
  for (SInt32 dy = 0; dy < rr.bottom - rr.top; dy += kTile) {
    for (SInt32 dx = 0; dx < rr.right - rr.left; dx += kTile) {
      Rect tile{static_cast<SInt16>(area.top + dy), static_cast<SInt16>(area.left + dx), area.bottom, area.right};
      if (tile.bottom - tile.top > kTile || tile.right - tile.left > kTile) {
        LastPictureHeight = kTile;
        LastPictureWidth = kTile;
      }
      tile.bottom = static_cast<SInt16>(std::min<SInt32>(tile.bottom, tile.top + kTile));
      tile.right = static_cast<SInt16>(std::min<SInt32>(tile.right, tile.left + kTile));
      // The area may reach past the source: only its inside is read, and it
      // lands where it would have in the full tile.
      Rect inSource;
      if (!IntersectRects(&tile, &(*source)->bounds, &inSource)) continue;
      const SInt32 top = rr.top + dy + (inSource.top - tile.top);
      const SInt32 left = rr.left + dx + (inSource.left - tile.left);
      tile = inSource;
      const SInt16 height = static_cast<SInt16>(tile.bottom - tile.top);
      const SInt16 width = static_cast<SInt16>(tile.right - tile.left);
      const Rect inScratch{0, 0, height, width};
      if (depth == 32) FatalError("HiliteRoundRect needs to be finished for 32 bits", "");
      if (depth == 16)
        COPY16X(source, scratch, nullptr, &tile, &inScratch, &ScreenRect, 0, kBlitNoColor, nullptr, &tint, 0, 0, 0,
                nullptr, nullptr, nullptr);
      else
        COPY8(source, scratch, nullptr, &tile, &inScratch, &ScreenRect, 0, kBlitNoColor, nullptr, nullptr, 0, 0, 0,
              nullptr);
      const Rect place{static_cast<SInt16>(top), static_cast<SInt16>(left), static_cast<SInt16>(top + height),
                       static_cast<SInt16>(left + width)};
      CopyPixMapBits(*scratch, *destination, &inScratch, &place, kCopyModeCopy, gRoundRegion);
    }
  }
}
