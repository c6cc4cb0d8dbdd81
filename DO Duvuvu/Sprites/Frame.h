// Frames and frame sets: the pictures of sprites cut out of a layout's sheet,
// the sets the game registers them in, and the transient layout list that one
// load builds.
#pragma once

#include "GLImage.h"
#include "MacTypes.h"
#include "NamedArray.h"
#include "PixMap.h"

struct Frame {
  // The constructor is InitFrame; the destructor is DisposeFrame.
  Frame();
  ~Frame();
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  Rect bounds = {0, 0, 0, 0};  // in the layout's image pixels
  NamedArray<Rect> hotRect;
  NamedArray<Point> hotPoint;
  Str31 setName = {0};  // kept in a set's first record
  NamedArray<Point> alignPoint;
  Frame* previous = nullptr;  // layout list
  Frame* next = nullptr;
  GLImage image;
  UInt8 generated = 0;     // made by array expansion
  UInt8 fourCharTag = 0;   // members get a four-character tag instead of "FRAME"
  Str31 name = {0};
  Str31 tag = {0};
  UInt8 arraySize[3] = {0, 0, 0};  // a set's first record: arraySize[0] is its count
  UInt8 arrayIndex[3] = {0, 0, 0};
  PixMapHandle pixmap = nullptr;
  PixMapHandle alphaPixmap = nullptr;
  UInt8 flags[5] = {0, 0, 0, 0, 0};
  SInt16 values[2] = {0, 0};
};

// The transient list of the frames one load made; it owns no storage.
struct Layout {
  Str31 name = {0};
  UInt16 frameCount = 0;
  Frame* firstFrame = nullptr;
  Frame* lastFrame = nullptr;

  // Uses *place when it holds a record (then advances it); otherwise alerts and
  // allocates a zero-filled one.
  static Frame* NewFrame(Layout* layout, const Rect* bounds, const char* name, Frame** place);
};

// Frame sets --------------------------------------------------------------------

constexpr SInt16 kFrameListSlots = 40;

// The most frames one layout list makes: all that frameLIST's sets could
// hold, 40 of at most 255 records. A list that asks for more is cut there
// (each record costs some kilobytes, and the list counts in 16 bits).
constexpr UInt32 kMostFramesInALayout = UInt32{kFrameListSlots} * 255;

// Each slot holds the first record of a registered set.
extern Frame* frameLIST[kFrameListSlots];
// The game appends: frameLIST[frameSetCount++] = first.
extern SInt16 frameSetCount;
// How many records each registered block really has; a load never writes more.
extern UInt16 frameSetCapacity[kFrameListSlots];

void InitLayouts();
Boolean LayoutsInitialised();
// Tests only: back to the state before InitLayouts.
void ResetLayoutsForTesting();
// An index outside 0..39 is fatal.
void RegisterFrameSet(Frame* first, const SInt16* index, UInt8 count);
void RegisterFrameSet(Frame* first, const SInt16* index);
// Also the set's capacity when first is a registered set's first record.
void SetFrameArraySize(Frame* first, UInt8 count);
SInt8 GetFrameArraySize(Frame* first);
void SetFrameArrayName(Frame* first, ConstStr255Param name);
void GetFrameArrayName(Frame* first, StringPtr name);

// While set, records made without a place raise no alert of their own: a loader
// that has told the user once about its list sets it, so that a hostile list
// cannot raise an alert per frame.
void SetPlacelessFramesQuiet(Boolean quiet);

// The slot holding first, or -1.
SInt16 FindFrameSetSlot(const Frame* first);

// Records ------------------------------------------------------------------------

void InitFrame(Frame* frame);
void DisposeFrame(Frame* frame);
// Makes at most as many records as first's registered block holds (an alert
// when the array asks for more), or 255 when first starts no registered set,
// and none past kMostFramesInALayout in the layout. False when that bound cut
// the array.
Boolean ExpandFrameArray(Layout* layout, Frame* first, Frame** place);
// Unlinks and releases through the block registry: records inside a
// registered block are not engine blocks and stay where they are.
void RemoveFrame(Layout* layout, Frame* frame);
void RemoveFrameArray(Layout* layout, Frame* member);
// First index fastest (expansion makes the last index fastest).
Frame* GetFrameOfSet(SInt16 set, SInt16 i, SInt16 j, SInt16 k);

// Accessors: an index outside the array sets nothing and reads the empty value.
void SetFrameHotRect(Frame* frame, SInt8 index, SInt16 left, SInt16 top, SInt16 right, SInt16 bottom);
void SetFrameHotRectFrom(Frame* frame, SInt8 index, const Rect* r);
Rect GetFrameHotRect(Frame* frame, SInt8 index);
SInt8 GetFrameHotRectCount(Frame* frame);
void SetFrameHotPoint(Frame* frame, SInt8 index, SInt16 h, SInt16 v);
void SetFrameHotPointFrom(Frame* frame, SInt8 index, const Point* p);
Point GetFrameHotPoint(Frame* frame, SInt8 index);
SInt8 GetFrameHotPointCount(Frame* frame);
void SetFrameAlignPoint(Frame* frame, SInt8 index, SInt16 h, SInt16 v);
void SetFrameAlignPointFrom(Frame* frame, SInt8 index, const Point* p);
Point GetFrameAlignPoint(Frame* frame, SInt8 index);
void ResizeFrameHotRects(Frame* frame, SInt32 count);
void ResizeFrameHotPoints(Frame* frame, SInt32 count);
void ResizeFrameHotAreas(Frame* frame, SInt32 rects, SInt32 points);
void MirrorFrameHotRects(Frame* frame, UInt8 horizontal, UInt8 vertical);
Rect* CenterRectOnPoint(Rect* out, SInt16 h, SInt16 v, const Rect* size);
