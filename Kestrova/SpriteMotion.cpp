#include "SpriteMotion.h"

#include "Geometry.h"

void MoveSprite(KVSprite* sprite) {
  sprite->x += sprite->vx;
  sprite->y += sprite->vy;
  Rect& r = sprite->rect;
  SInt16 width = static_cast<SInt16>(r.right - r.left);
  SInt16 height = static_cast<SInt16>(r.bottom - r.top);
  // Casts truncate toward zero, as every float-to-coordinate conversion must.
  r.left = static_cast<SInt16>(sprite->x - static_cast<float>(width / 2));
  r.right = static_cast<SInt16>(r.left + width);
  r.top = static_cast<SInt16>(sprite->y - static_cast<float>(height / 2));
  r.bottom = static_cast<SInt16>(r.top + height);
}

void OffsetSprite(KVSprite* sprite, SInt16 dh, SInt16 dv) {
  sprite->x += dh;
  sprite->y += dv;
  OffsetRectBy(&sprite->rect, dh, dv);
}

void CenterSpritePosition(KVSprite* sprite) {
  sprite->x = RectCentreH(sprite->rect);
  sprite->y = RectCentreV(sprite->rect);
}

UInt8 KeepSpriteInside(KVSprite* sprite, const Rect* bounds) {
  UInt8 moved = KeepRectInside(&sprite->rect, bounds);
  if (moved) CenterSpritePosition(sprite);
  return moved;
}
