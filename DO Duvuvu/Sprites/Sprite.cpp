#include "Sprite.h"

#include <cstring>

#include "Errors.h"
#include "Geometry.h"

SpriteList spriteLIST;

namespace {

const unsigned char kUnnamed[] = "\x09(unnamed)";
const unsigned char kPartName[] = "\x04part";

SInt16 S16(SInt32 v) { return static_cast<SInt16>(v); }

Frame* CurrentFrameOf(FramedSprite* sprite) {
  if (!sprite || !sprite->frameArray.frame) return nullptr;
  return GetFrameAt(&sprite->frameArray, sprite->frameIndex);
}

SInt16 Width(const Rect& r) { return S16(r.right - r.left); }
SInt16 Height(const Rect& r) { return S16(r.bottom - r.top); }

// A frame point's distance from the frame's near edge, seen through the flips.
Point FlippedOffset(const Frame* f, Point p, SInt16 flipH, SInt16 flipV) {
  Point d;
  d.h = flipH ? S16(f->bounds.right - p.h) : S16(p.h - f->bounds.left);
  d.v = flipV ? S16(f->bounds.bottom - p.v) : S16(p.v - f->bounds.top);
  return d;
}

// A frame point on the screen: mapped into the sprite's rect, then mirrored
// for a horizontal flip. Vertical flips are not applied here.
Point PlaceFramePoint(const SpriteBase* sprite, Frame* f, Point p) {
  MapPointBetweenRects(&p, &f->bounds, &sprite->rect);
  if (sprite->flipHorizontal) p.h = S16(sprite->rect.right - (p.h - sprite->rect.left));
  return p;
}

// The rect takes the size w x h about its old centre.
void Recentre(Rect* r, SInt16 w, SInt16 h) {
  SInt16 ch = S16((r->left + r->right) / 2);
  SInt16 cv = S16((r->top + r->bottom) / 2);
  r->left = S16(ch - w / 2);
  r->top = S16(cv - h / 2);
  r->right = S16(r->left + w);
  r->bottom = S16(r->top + h);
}

// An align point turned with the part's orientation.
Point TurnPoint(const Frame* f, Point p, SInt16 orientation, SInt16 flipH) {
  const Rect& b = f->bounds;
  Point t = p;
  switch (orientation) {
    case 1:
      t.h = S16(b.bottom - p.v + (flipH ? b.right : b.left));
      t.v = S16(p.h - b.left + b.top);
      break;
    case 2:
      t.h = S16(b.left + b.right - p.h);
      t.v = S16(b.top + b.bottom - p.v);
      break;
    case 3:
      t.h = S16(p.v - b.top + (flipH ? b.right : b.left));
      t.v = S16(b.top + b.right - p.h);
      break;
    default:
      break;
  }
  return t;
}

bool QuarterTurned(SInt16 orientation) { return orientation == 1 || orientation == 3; }

// Where a part's align point lies on the screen, turned and flipped.
Point PartAlignOnScreen(SpritePart* part, SInt8 align) {
  Frame* f = CurrentFrameOf(part);
  if (!f) return Point{0, 0};
  Point p = TurnPoint(f, GetFrameAlignPoint(f, align), part->orientation, part->flipHorizontal);
  Point d = FlippedOffset(f, p, part->flipHorizontal, part->flipVertical);
  return Point{S16(part->rect.top + d.v), S16(part->rect.left + d.h)};
}

// Moves base's rect so that frame f's align point a lands on target; the rect
// takes f's size.
void PlaceFrameAlign(SpriteBase* base, Frame* f, SInt8 a, Point target, SInt16 flipH, SInt16 flipV) {
  Point d = FlippedOffset(f, GetFrameAlignPoint(f, a), flipH, flipV);
  base->rect.left = S16(target.h - d.h);
  base->rect.top = S16(target.v - d.v);
  base->rect.right = S16(base->rect.left + Width(f->bounds));
  base->rect.bottom = S16(base->rect.top + Height(f->bounds));
}

SpritePart* PartAt(SpriteClass* sprite, SInt16 index) {
  if (!sprite || index < 0 || static_cast<UInt32>(index) >= sprite->part.count) return nullptr;
  return &sprite->part.data[index];
}

}  // namespace

// Records ------------------------------------------------------------------------

void SpriteBase::Reset() {
  pixmap = nullptr;
  alphaPixmap = nullptr;
  rect = Rect{0, 0, 0, 0};
  previousRect = rect;
  frameIndex = 0;
  setIndex = 0;
  setValue = 0;
  previousSetIndex = 0;
  previousSetValue = 0;
  flipHorizontal = 0;
  flipVertical = 0;
  orientation = 0;
  active = 0;
  frameSet = nullptr;
}

SpritePart::SpritePart() { flag = 0; }

SpriteClass::SpriteClass() {
  Reset();
  active = 0;
  part.SetName(kUnnamed, -1);
  currentFrame = 65535;

  spriteLIST.current = this;
  if (!spriteLIST.head) {
    spriteLIST.head = this;
    links.previous = nullptr;
  } else {
    spriteLIST.tail->links.next = this;
    links.previous = spriteLIST.tail;
  }
  links.next = nullptr;
  spriteLIST.tail = this;
  ++spriteLIST.count;

  part.Reinit(4);
  part.SetName(kPartName, -1);

  Reset();
  collisionRect = rect;
  secondRect = rect;
  thirdRect = rect;
  fourthRect = rect;
  previousFourthRect = rect;
  updateRect = rect;
  lastRect = rect;
}

SpriteClass::~SpriteClass() {
  SpriteClass* previous = links.previous;
  SpriteClass* next = links.next;
  // A sprite with no neighbours that is not the head was never listed, or its
  // list was cleared under it: nothing to unlink.
  if (!previous && !next && spriteLIST.head != this) return;
  if (previous)
    previous->links.next = next;
  else if (spriteLIST.head == this)
    spriteLIST.head = next;
  if (next)
    next->links.previous = previous;
  else if (spriteLIST.tail == this)
    spriteLIST.tail = previous;
  if (spriteLIST.current == this) spriteLIST.current = spriteLIST.tail;
  if (spriteLIST.count > 0) --spriteLIST.count;
}

SInt32 SpriteClass::RecordSize() { return static_cast<SInt32>(sizeof(SpriteClass)); }

void SpriteClass::SavePosition() {
  if (!active) return;
  previousRect = rect;
  previousFourthRect = fourthRect;
  for (UInt32 i = 0; i < part.count && i < 4; ++i)
    if (part.data[i].active) part.data[i].previousRect = part.data[i].rect;
}

void SpriteClass::DeactivateParts() {
  for (UInt32 i = 0; i < part.count && i < 4; ++i) part.data[i].active = 0;
}

void SpriteClass::SetFrameSet(SpriteBase* sprite, Frame* first) {
  if (!sprite || !first) return;
  sprite->frameSet = first;
  // Every SpriteBase the engine hands out heads a SpriteClass or a SpritePart.
  static_cast<FramedSprite*>(sprite)->frameArray = FrameArray{static_cast<SInt16>(first->arraySize[0]), first};
  if (first->pixmap) sprite->pixmap = first->pixmap;
  if (first->alphaPixmap) sprite->alphaPixmap = first->alphaPixmap;
}

Frame* GetFrameAt(const FrameArray* frames, SInt16 index) { return frames->frame + index; }

void SetFrameArray(FrameArray* frames, Frame* first, SInt16 count) {
  frames->count = count;
  frames->frame = first;
}

void SaveAllSpritePositions() {
  for (SpriteClass* s = spriteLIST.head; s; s = s->links.next) {
    spriteLIST.current = s;
    if (s->active) s->SavePosition();
  }
}

Frame* GetCurrentFrame(SpriteBase* sprite, SInt16 index) {
  if (!sprite || !sprite->frameSet || index < 0 || index >= sprite->frameSet->arraySize[0]) return nullptr;
  return sprite->frameSet + index;
}

void GetFrameSetName(SpriteBase* sprite, StringPtr name) {
  name[0] = 0;
  if (sprite && sprite->frameSet) GetFrameArrayName(sprite->frameSet, name);
}

Rect GetSpriteUpdateRect(SpriteClass* sprite) { return sprite->updateRect; }

UInt8 IsUpdateRectValid(SpriteClass* sprite) { return sprite->updateRectValid; }

void ClearUpdateRectIfIdle(SpriteClass* sprite) {
  if (!sprite->active) sprite->updateRectValid = 0;
}

void MakeUpdateRect(SpriteClass* sprite) {
  const Rect& a = sprite->rect;
  const Rect& b = sprite->secondRect;
  sprite->updateRect.top = a.top < b.top ? a.top : b.top;
  sprite->updateRect.left = a.left < b.left ? a.left : b.left;
  sprite->updateRect.bottom = a.bottom > b.bottom ? a.bottom : b.bottom;
  sprite->updateRect.right = a.right > b.right ? a.right : b.right;
}

void SetFourthRect(SpriteClass* sprite, const Rect* r) {
  if (r) sprite->fourthRect = *r;
}

void SetSpriteFlag(SpriteClass* sprite, SInt16 which) {
  if (which >= 0 && which < static_cast<SInt16>(sizeof sprite->gameFlags)) sprite->gameFlags[which] = 1;
}

// Frame geometry on the screen ------------------------------------------------------

Rect GetSpriteHotRect(SpriteClass* sprite, SInt8 index) {
  Frame* f = CurrentFrameOf(sprite);
  if (!f || index < 0 || index >= GetFrameHotRectCount(f)) return Rect{0, 0, 0, 0};
  Rect r = GetFrameHotRect(f, index);
  MapRectBetweenRects(&r, &f->bounds, &sprite->rect);
  if (sprite->flipHorizontal) {
    SInt16 left = r.left;
    r.left = S16(sprite->rect.left + sprite->rect.right - r.right);
    r.right = S16(sprite->rect.left + sprite->rect.right - left);
  }
  return r;
}

void SetSpriteCollisionRect(SpriteClass* sprite, UInt8 useRectWhenEmpty) {
  sprite->collisionRect = GetSpriteHotRect(sprite, 0);
  if (useRectWhenEmpty && RectIsEmpty(&sprite->collisionRect)) sprite->collisionRect = sprite->rect;
}

void GetSpriteHotPoint(SpriteClass* sprite, SInt8 index, Point* out) {
  Frame* f = CurrentFrameOf(sprite);
  if (!f) {
    *out = Point{0, 0};
    return;
  }
  *out = PlaceFramePoint(sprite, f, GetFrameHotPoint(f, index));
}

UInt8 HasAlignPoint(SpriteClass* sprite, SInt8 index) {
  Point p = GetFrameAlignPoint(CurrentFrameOf(sprite), index);
  return (p.h != 0 || p.v != 0) ? 1 : 0;
}

Point GetSpriteAlignPoint(SpriteClass* sprite, SInt8 index) {
  Frame* f = CurrentFrameOf(sprite);
  Point p = GetFrameAlignPoint(f, index);
  if (p.h == 0 && p.v == 0) return p;
  return PlaceFramePoint(sprite, f, p);
}

// Alignment ---------------------------------------------------------------------------

void CenterRectInRect(Rect* r, const Rect* size, SInt8 h, SInt8 v) {
  // Transposed on purpose: the width comes from the size's height.
  SInt16 w = S16(size->bottom - size->top);
  SInt16 hgt = S16(size->right - size->left);
  if (h == 0) {
    r->left = S16((r->left + r->right) / 2 - w / 2);
    r->right = S16(r->left + w);
  } else if (h < 0) {
    r->left = S16(r->right - w);
  } else {
    r->right = S16(r->left + w);
  }
  if (v == 0) {
    r->top = S16((r->top + r->bottom) / 2 - hgt / 2);
    r->bottom = S16(r->top + hgt);
  } else if (v < 0) {
    r->top = S16(r->bottom - hgt);
  } else {
    r->bottom = S16(r->top + hgt);
  }
}

namespace {

// Moves the sprite onto frame `next` so that align point a of the new frame
// lands where align point a of the current frame is (b for the new frame).
void StepToFrame(SpriteClass* sprite, Frame* current, Frame* next, SInt8 a, SInt8 b) {
  Point dF = FlippedOffset(current, GetFrameAlignPoint(current, a), sprite->flipHorizontal, sprite->flipVertical);
  Point dN = FlippedOffset(next, GetFrameAlignPoint(next, b), sprite->flipHorizontal, sprite->flipVertical);
  sprite->rect.left = S16(sprite->rect.left + dF.h - dN.h);
  sprite->rect.top = S16(sprite->rect.top + dF.v - dN.v);
  sprite->rect.right = S16(sprite->rect.left + Width(next->bounds));
  sprite->rect.bottom = S16(sprite->rect.top + Height(next->bounds));
}

}  // namespace

void AlignNextStep(SpriteClass* sprite, SInt8 align, SInt8 step) {
  if (sprite->animationDirection == 0)
    FatalError("The sprite has an animation direction value of 0.", "AlignNextStep()");
  SInt16 n = step;
  if (step < 0) n = S16(sprite->frameIndex + sprite->animationDirection);
  Frame* f = CurrentFrameOf(sprite);
  // A frame outside the set would be read from past its block.
  if (!f || n < 0 || (sprite->frameArray.count > 0 && n >= sprite->frameArray.count)) return;
  Frame* next = GetFrameAt(&sprite->frameArray, n);
  StepToFrame(sprite, f, next, align, align);
  sprite->frameIndex = static_cast<SInt8>(n);
}

void AlignToSprite(SpriteClass* sprite, SInt8 align, SpriteClass* other, SInt8 otherAlign) {
  Frame* f = CurrentFrameOf(sprite);
  SpritePart* otherPart = PartAt(other, 0);
  Frame* of = CurrentFrameOf(otherPart);
  if (!f || !of) return;
  Recentre(&sprite->rect, Width(f->bounds), Height(f->bounds));
  Point target = GetFrameAlignPoint(of, otherAlign);
  MapPointBetweenRects(&target, &of->bounds, &otherPart->rect);
  if (other->flipHorizontal) target.h = S16(otherPart->rect.right - (target.h - otherPart->rect.left));
  PlaceFrameAlign(sprite, f, align, target, sprite->flipHorizontal, sprite->flipVertical);
}

void AlignPartToSprite(SpriteClass* sprite, SInt8 align, SpriteClass* other, SInt8 otherAlign, SInt16 partIndex) {
  Frame* f = CurrentFrameOf(sprite);
  SpritePart* part = PartAt(sprite, partIndex);
  Frame* pf = CurrentFrameOf(part);
  Frame* of = CurrentFrameOf(other);
  if (!f || !pf || !of) return;
  Recentre(&sprite->rect, Width(f->bounds), Height(f->bounds));
  Point target = PlaceFramePoint(other, of, GetFrameAlignPoint(of, otherAlign));
  PlaceFrameAlign(part, pf, align, target, sprite->flipHorizontal, sprite->flipVertical);
}

void ChangeFrameSet(SpriteClass* sprite, SInt16 setIndex, SInt16 frame, SInt8 align, SInt8 newAlign) {
  if (setIndex < 0 || setIndex >= kFrameListSlots || !frameLIST[setIndex]) return;
  if (newAlign < 0) newAlign = align;
  Frame* first = frameLIST[setIndex];
  Frame* next = first + frame;
  Frame* current = CurrentFrameOf(sprite);
  if (current) {
    StepToFrame(sprite, current, next, align, newAlign);
  } else {
    sprite->rect.right = S16(sprite->rect.left + Width(next->bounds));
    sprite->rect.bottom = S16(sprite->rect.top + Height(next->bounds));
  }
  SpriteClass::SetFrameSet(sprite, first);
  sprite->previousSetIndex = sprite->setIndex;
  sprite->previousSetValue = 0;
  sprite->frameIndex = static_cast<SInt8>(frame);
  sprite->setIndex = setIndex;
  sprite->DeactivateParts();
}

void PlacePartAt(SpritePart* part, SInt8 align, SInt16 h, SInt16 v) {
  Frame* f = CurrentFrameOf(part);
  if (!f) return;
  Point p = TurnPoint(f, GetFrameAlignPoint(f, align), part->orientation, part->flipHorizontal);
  Point d = FlippedOffset(f, p, part->flipHorizontal, part->flipVertical);
  SInt16 w = Width(f->bounds);
  SInt16 hgt = Height(f->bounds);
  if (QuarterTurned(part->orientation)) {
    SInt16 t = w;
    w = hgt;
    hgt = t;
  }
  part->rect.left = S16(h - d.h);
  part->rect.top = S16(v - d.v);
  part->rect.right = S16(part->rect.left + w);
  part->rect.bottom = S16(part->rect.top + hgt);
}

void AlignPartToPart(SpritePart* part, SInt8 align, SpritePart* other, SInt8 otherAlign) {
  if (!part || !other) return;
  Point target = PartAlignOnScreen(other, otherAlign);
  PlacePartAt(part, align, target.h, target.v);
}

void AlignPartToPartWithFlips(SpritePart* part, SInt8 align, SpritePart* other, SInt8 otherAlign) {
  if (!part || !other) return;
  part->flipHorizontal = other->flipHorizontal;
  part->flipVertical = other->flipVertical;
  part->orientation = other->orientation;
  AlignPartToPart(part, align, other, otherAlign);
}

void AlignPartToSpritePart(SpritePart* part, SInt8 align, SpriteClass* other, SInt16 otherPart, SInt8 otherAlign) {
  SpritePart* target = PartAt(other, otherPart);
  if (!part || !target) return;
  AlignPartToPart(part, align, target, otherAlign);
}

void ResizePartToRotatedFrame(SpritePart* part) {
  Frame* f = CurrentFrameOf(part);
  if (!f) return;
  SInt16 w = Width(f->bounds);
  SInt16 hgt = Height(f->bounds);
  if (QuarterTurned(part->orientation))
    Recentre(&part->rect, hgt, w);
  else
    Recentre(&part->rect, w, hgt);
}
