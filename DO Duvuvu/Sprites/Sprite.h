// Sprites: a screen rectangle showing one frame of a frame set, with flips, a
// quarter-turn orientation and four parts, all on one global list.
#pragma once

#include "Frame.h"
#include "MacTypes.h"
#include "NamedArray.h"
#include "PixMap.h"

// A sprite's or part's view of its attached set.
struct FrameArray {
  SInt16 count = 0;
  Frame* frame = nullptr;
};

// The head of every sprite and part.
struct SpriteBase {
  SpriteBase() { Reset(); }
  void Reset();

  PixMapHandle pixmap;
  PixMapHandle alphaPixmap;
  Rect rect;
  Rect previousRect;
  SInt8 frameIndex;
  SInt16 setIndex;
  SInt16 setValue;
  SInt16 previousSetIndex;
  SInt16 previousSetValue;
  SInt16 flipHorizontal;
  SInt16 flipVertical;
  SInt16 orientation;  // quarter turns, 0..3
  UInt8 active;        // a sprite's in-use flag, a part's active flag
  Frame* frameSet;
};

// SpriteClass and SpritePart keep their frame array here, so that SetFrameSet
// can reach it from the SpriteBase of either.
struct FramedSprite : SpriteBase {
  FrameArray frameArray;
};

struct SpritePart : FramedSprite {
  SpritePart();

  SInt16 gameWords[4] = {0, 0, 0, 0};
  SInt32 gameLongs[2] = {0, 0};
  UInt8 flag = 0;
};

class SpriteClass;

// The global list's links; assignment leaves them alone.
struct SpriteLinks {
  SpriteLinks() = default;
  SpriteLinks(const SpriteLinks&) = delete;
  SpriteLinks& operator=(const SpriteLinks&) { return *this; }
  SpriteClass* next = nullptr;
  SpriteClass* previous = nullptr;
};

class SpriteClass : public FramedSprite {
 public:
  SpriteClass();
  // Leaves the global list, so that no sprite made later links to it.
  virtual ~SpriteClass();
  SpriteClass(const SpriteClass&) = delete;
  // Member-wise, except that the list links stay the destination's: copying
  // them would cut sprites out of the global list.
  SpriteClass& operator=(const SpriteClass& source) = default;

  // The size of the engine's sprite record.
  virtual SInt32 RecordSize();

  void SavePosition();
  void DeactivateParts();
  static void SetFrameSet(SpriteBase* sprite, Frame* first);

  // Game fields the engine leaves alone.
  SInt16 gameWords[8] = {0, 0, 0, 0, 0, 0, 0, 0};
  Rect collisionRect;  // hot rect 0 placed on the screen
  Rect secondRect;     // with rect, the update rect
  Rect thirdRect;
  Rect fourthRect;
  Rect previousFourthRect;
  UInt8 gameFlags[8] = {0, 0, 0, 0, 0, 0, 0, 0};
  UInt8 gameByte = 24;
  SInt8 animationDirection = 1;
  SInt16 gameShorts[4] = {0, 0, 0, 0};
  SInt32 gameScale = 65536;
  SInt32 gameLongs[4] = {0, 0, 0, 0};
  SInt8 gameSignedByte = -1;
  SpriteLinks links;
  SInt32 listValues[2] = {0, 0};
  char tag[4] = {' ', ' ', ' ', ' '};
  SInt16 tagValue = 0;
  NamedArray<SpritePart> part;
  SInt16 partValues[2] = {0, 0};
  UInt8 updateRectValid = 0;
  Rect updateRect;
  UInt8 lastRectFlag = 0;
  Rect lastRect;
  UInt16 currentFrame = 65535;  // none
};

// Every live sprite, in construction order; a sprite leaves it when destroyed.
struct SpriteList {
  SpriteClass* head;
  SpriteClass* tail;
  SpriteClass* current;
  SInt16 count;
};
extern SpriteList spriteLIST;

// No bound test.
Frame* GetFrameAt(const FrameArray* frames, SInt16 index);
void SetFrameArray(FrameArray* frames, Frame* first, SInt16 count);
void SaveAllSpritePositions();
// Nil when index is not below the set's first array size.
Frame* GetCurrentFrame(SpriteBase* sprite, SInt16 index);
void GetFrameSetName(SpriteBase* sprite, StringPtr name);
Rect GetSpriteUpdateRect(SpriteClass* sprite);
UInt8 IsUpdateRectValid(SpriteClass* sprite);
void ClearUpdateRectIfIdle(SpriteClass* sprite);
void MakeUpdateRect(SpriteClass* sprite);
void SetFourthRect(SpriteClass* sprite, const Rect* r);
void SetSpriteFlag(SpriteClass* sprite, SInt16 which);
template <typename T>
void GetArrayDebugName(const NamedArray<T>* array, StringPtr name) {
  for (int i = 0; i <= array->name[0] && i < 32; ++i) name[i] = array->name[i];
  if (name[0] > 31) name[0] = 31;
}

// Frame geometry placed on the screen (horizontal flips only).
Rect GetSpriteHotRect(SpriteClass* sprite, SInt8 index);
void SetSpriteCollisionRect(SpriteClass* sprite, UInt8 useRectWhenEmpty);
void GetSpriteHotPoint(SpriteClass* sprite, SInt8 index, Point* out);
UInt8 HasAlignPoint(SpriteClass* sprite, SInt8 index);
Point GetSpriteAlignPoint(SpriteClass* sprite, SInt8 index);

// Alignment.
void CenterRectInRect(Rect* r, const Rect* size, SInt8 h, SInt8 v);
void AlignNextStep(SpriteClass* sprite, SInt8 align, SInt8 step);
void AlignToSprite(SpriteClass* sprite, SInt8 align, SpriteClass* other, SInt8 otherAlign);
void AlignPartToSprite(SpriteClass* sprite, SInt8 align, SpriteClass* other, SInt8 otherAlign, SInt16 partIndex);
void ChangeFrameSet(SpriteClass* sprite, SInt16 setIndex, SInt16 frame, SInt8 align, SInt8 newAlign);
void PlacePartAt(SpritePart* part, SInt8 align, SInt16 h, SInt16 v);
void AlignPartToPart(SpritePart* part, SInt8 align, SpritePart* other, SInt8 otherAlign);
void AlignPartToPartWithFlips(SpritePart* part, SInt8 align, SpritePart* other, SInt8 otherAlign);
void AlignPartToSpritePart(SpritePart* part, SInt8 align, SpriteClass* other, SInt16 otherPart, SInt8 otherAlign);
void ResizePartToRotatedFrame(SpritePart* part);
