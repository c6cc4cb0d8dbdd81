#include "Frame.h"

#include <cstdio>
#include <cstring>

#include "Errors.h"
#include "Memory.h"
#include "Strings.h"

Frame* frameLIST[kFrameListSlots];
SInt16 frameSetCount;
UInt16 frameSetCapacity[kFrameListSlots];

namespace {

bool layoutsReady;
bool placelessQuiet;

// A set's frame count is one byte, so no registered block holds more records:
// an array with no block of its own is cut to that.
constexpr UInt32 kMostFramesInASet = 255;
static_assert(kMostFramesInALayout == kFrameListSlots * kMostFramesInASet);

const unsigned char kUnnamed[] = "\x09(unnamed)";
const unsigned char kHotRectName[] = "\x07hotRect";
const unsigned char kHotPointName[] = "\x08hotPoint";
const unsigned char kAlignPointName[] = "\x0A" "alignPoint";
const unsigned char kNewFrameAlignName[] = "\x14theFrame->alignPoint";
const unsigned char kMirroredHotRectName[] = "\x0Dthis->hotRect";
const unsigned char kMirrorTempName[] = "\x04rect";

// Str31 from C text; a longer text leaves the string as it was.
void CopyName31(StringPtr destination, const char* text) {
  size_t length = std::strlen(text);
  if (length > 31) return;
  destination[0] = static_cast<unsigned char>(length);
  std::memcpy(destination + 1, text, length);
}

// The name cut before its first "[", as C text.
void BaseName(ConstStringPtr name, char* out) {
  int length = 0;
  while (length < name[0] && name[1 + length] != '[') {
    out[length] = static_cast<char>(name[1 + length]);
    ++length;
  }
  out[length] = 0;
}

// Appends "[n]" only when the whole piece still fits in 31 characters.
void AppendIndex(char* name, int n) {
  char piece[8];
  std::snprintf(piece, sizeof piece, "[%d]", n);
  if (std::strlen(name) + std::strlen(piece) <= 31) std::strcat(name, piece);
}

template <typename T>
bool InArray(const NamedArray<T>& array, SInt8 index) {
  return index >= 0 && static_cast<UInt32>(index) < array.count;
}

}  // namespace

// Set-up and registration --------------------------------------------------------

void InitLayouts() { layoutsReady = true; }

Boolean LayoutsInitialised() { return layoutsReady; }

void ResetLayoutsForTesting() { layoutsReady = false; }

void RegisterFrameSet(Frame* first, const SInt16* index, UInt8 count) {
  if (*index < 0 || *index >= kFrameListSlots) {
    char message[96];
    std::snprintf(message, sizeof message, "Frame set index %d is outside frameLIST (0 to 39).", *index);
    FatalError(message, "RegisterFrameSet()");
  }
  frameLIST[*index] = first;
  frameSetCapacity[*index] = count;
  if (first) first->arraySize[0] = count;
}

void RegisterFrameSet(Frame* first, const SInt16* index) { RegisterFrameSet(first, index, 0); }

SInt16 FindFrameSetSlot(const Frame* first) {
  if (!first) return -1;
  for (SInt16 slot = 0; slot < kFrameListSlots; ++slot)
    if (frameLIST[slot] == first) return slot;
  return -1;
}

void SetPlacelessFramesQuiet(Boolean quiet) { placelessQuiet = quiet; }

void SetFrameArraySize(Frame* first, UInt8 count) {
  if (!first) return;
  first->arraySize[0] = count;
  SInt16 slot = FindFrameSetSlot(first);
  if (slot >= 0) frameSetCapacity[slot] = count;
}

SInt8 GetFrameArraySize(Frame* first) { return static_cast<SInt8>(first->arraySize[0]); }

void SetFrameArrayName(Frame* first, ConstStr255Param name) {
  if (!first || !name || name[0] > 31) return;
  std::memcpy(first->setName, name, name[0] + 1u);
}

void GetFrameArrayName(Frame* first, StringPtr name) {
  if (!first || !name) return;
  std::memcpy(name, first->setName, (first->setName[0] > 31 ? 31 : first->setName[0]) + 1u);
  if (name[0] > 31) name[0] = 31;
}

// Records --------------------------------------------------------------------------

Frame::Frame() { InitFrame(this); }

Frame::~Frame() { DisposeFrame(this); }

void InitFrame(Frame* frame) {
  frame->hotRect.SetName(kUnnamed, -1);
  frame->hotPoint.SetName(kUnnamed, -1);
  frame->alignPoint.SetName(kUnnamed, -1);
  frame->hotRect.Reinit(1);
  frame->hotRect.SetName(kHotRectName, -1);
  frame->hotPoint.Reinit(1);
  frame->hotPoint.SetName(kHotPointName, -1);
  frame->alignPoint.Reinit(8);
  frame->alignPoint.SetName(kAlignPointName, -1);
  frame->image = GLImage();
  frame->pixmap = nullptr;
  frame->alphaPixmap = nullptr;
}

void DisposeFrame(Frame* frame) {
  if (!frame) return;
  frame->hotRect.Dispose();
  frame->hotPoint.Dispose();
  frame->alignPoint.Dispose();
  if (frame->image.textureName != 0) DeleteGLImageTexture(&frame->image);
}

Frame* Layout::NewFrame(Layout* layout, const Rect* bounds, const char* name, Frame** place) {
  Frame* frame = (place && *place) ? *place : nullptr;
  if (!frame) {
    if (!placelessQuiet) AlertMessage("BAD: creating new frame!", "", "OK");
    // A zero-filled record is a valid empty Frame: its arrays hold nothing.
    frame = reinterpret_cast<Frame*>(NewPtrBlockClear(sizeof(Frame)));
    if (!frame) FatalError("Sorry, a memory error has occured.", "Layout::NewFrame()");
  }
  if (bounds) frame->bounds = *bounds;
  if (name) CopyName31(frame->name, name);
  if (layout->lastFrame) {
    frame->previous = layout->lastFrame;
    layout->lastFrame->next = frame;
  } else {
    frame->previous = nullptr;
    layout->firstFrame = frame;
  }
  frame->next = nullptr;
  layout->lastFrame = frame;
  ++layout->frameCount;
  frame->alignPoint.Reinit(8);
  frame->alignPoint.SetName(kNewFrameAlignName, -1);
  for (UInt32 k = 0; k < 8; ++k) frame->alignPoint.data[k] = Point{-1, -1};
  // Only a place that held a record moves on; stepping from nil would invent
  // an address.
  if (place && *place) ++*place;
  return frame;
}

Boolean ExpandFrameArray(Layout* layout, Frame* first, Frame** place) {
  UInt32 s0 = first->arraySize[0];
  UInt32 s1 = first->arraySize[1];
  UInt32 s2 = first->arraySize[2];
  UInt32 wanted = s0 * (s1 ? s1 : 1) * (s2 ? s2 : 1);
  SInt16 slot = (place && *place) ? FindFrameSetSlot(first) : -1;
  // A registered block holds only the records it was registered with.
  UInt32 capacity = kMostFramesInASet;
  if (slot >= 0) capacity = frameSetCapacity[slot] ? frameSetCapacity[slot] : 1;
  UInt32 allowed = wanted > capacity ? capacity : wanted;
  if (wanted > capacity && slot >= 0) {
    char key[32];
    PToCStr(first->name, key);
    char message[128];
    std::snprintf(message, sizeof message, "LoadLayout(): the frame array %s is larger than its frame set.", key);
    AlertMessage(message, "", "OK");
    if (s1 == 0 && s2 == 0) first->arraySize[0] = static_cast<UInt8>(capacity);
  }

  Rect working = first->bounds;
  char base[32];
  BaseName(first->name, base);
  UInt32 i = 1, j = 0, k = 0;
  if (s1 != 0) {
    i = 0;
    if (s2 == 0)
      j = 1;
    else
      k = 1;
  }
  UInt32 made = 1;
  while (i < s0 && made < allowed) {
    if (layout->frameCount >= kMostFramesInALayout) return false;
    char name[64];
    std::strcpy(name, base);
    if (s0 != 0) AppendIndex(name, static_cast<int>(i));
    if (s1 != 0) AppendIndex(name, static_cast<int>(j));
    if (s2 != 0) AppendIndex(name, static_cast<int>(k));
    Frame* member = Layout::NewFrame(layout, &working, name, place);
    ++made;
    member->fourCharTag = first->fourCharTag;
    for (int d = 0; d < 3; ++d) member->arraySize[d] = first->arraySize[d];
    member->arrayIndex[0] = static_cast<UInt8>(i);
    member->arrayIndex[1] = static_cast<UInt8>(j);
    member->arrayIndex[2] = static_cast<UInt8>(k);
    member->generated = 1;
    if (!member->fourCharTag) {
      CopyName31(member->tag, "FRAME");
    } else {
      size_t length = std::strlen(base);
      CopyName31(member->tag, length > 4 ? base + length - 4 : base);
    }
    if (k + 1 < s2) {
      ++k;
    } else if (j + 1 < s1) {
      ++j;
      k = 0;
    } else {
      ++i;
      j = 0;
      k = 0;
    }
  }
  return true;
}

void RemoveFrame(Layout* layout, Frame* frame) {
  if (!frame) return;
  if (frame->previous)
    frame->previous->next = frame->next;
  else if (layout->firstFrame == frame)
    layout->firstFrame = frame->next;
  if (frame->next)
    frame->next->previous = frame->previous;
  else if (layout->lastFrame == frame)
    layout->lastFrame = frame->previous;
  frame->previous = nullptr;
  frame->next = nullptr;
  --layout->frameCount;
  // The registry refuses records it did not make (a registered block's).
  DisposePtrBlock(frame);
}

void RemoveFrameArray(Layout* layout, Frame* member) {
  if (!member) return;
  char base[32];
  BaseName(member->name, base);
  Frame* frame = layout->firstFrame;
  while (frame) {
    Frame* next = frame->next;
    char other[32];
    BaseName(frame->name, other);
    if (std::strcmp(base, other) == 0) RemoveFrame(layout, frame);
    frame = next;
  }
}

Frame* GetFrameOfSet(SInt16 set, SInt16 i, SInt16 j, SInt16 k) {
  if (set < 0 || set >= kFrameListSlots || !frameLIST[set]) return nullptr;
  Frame* first = frameLIST[set];
  SInt16 s0 = first->arraySize[0];
  SInt16 s1 = first->arraySize[1];
  SInt16 position = i;
  if (j != 0) position = static_cast<SInt16>(position + j * s0);
  if (k != 0) position = static_cast<SInt16>(position + k * static_cast<SInt16>(s0 * s1));
  return first + position;
}

// Accessors ------------------------------------------------------------------------

void SetFrameHotRect(Frame* frame, SInt8 index, SInt16 left, SInt16 top, SInt16 right, SInt16 bottom) {
  if (!InArray(frame->hotRect, index)) return;
  Rect& r = frame->hotRect.data[index];
  r.left = left;
  r.top = top;
  r.right = right;
  r.bottom = bottom;
}

void SetFrameHotRectFrom(Frame* frame, SInt8 index, const Rect* r) {
  if (InArray(frame->hotRect, index)) frame->hotRect.data[index] = *r;
}

Rect GetFrameHotRect(Frame* frame, SInt8 index) {
  if (!InArray(frame->hotRect, index)) return Rect{0, 0, 0, 0};
  return frame->hotRect.data[index];
}

SInt8 GetFrameHotRectCount(Frame* frame) { return static_cast<SInt8>(frame->hotRect.count); }

void SetFrameHotPoint(Frame* frame, SInt8 index, SInt16 h, SInt16 v) {
  if (!InArray(frame->hotPoint, index)) return;
  frame->hotPoint.data[index].h = h;
  frame->hotPoint.data[index].v = v;
}

void SetFrameHotPointFrom(Frame* frame, SInt8 index, const Point* p) {
  if (InArray(frame->hotPoint, index)) frame->hotPoint.data[index] = *p;
}

Point GetFrameHotPoint(Frame* frame, SInt8 index) {
  if (!InArray(frame->hotPoint, index)) return Point{0, 0};
  return frame->hotPoint.data[index];
}

SInt8 GetFrameHotPointCount(Frame* frame) { return static_cast<SInt8>(frame->hotPoint.count); }

void SetFrameAlignPoint(Frame* frame, SInt8 index, SInt16 h, SInt16 v) {
  if (!InArray(frame->alignPoint, index)) return;
  frame->alignPoint.data[index].h = h;
  frame->alignPoint.data[index].v = v;
}

void SetFrameAlignPointFrom(Frame* frame, SInt8 index, const Point* p) {
  if (InArray(frame->alignPoint, index)) frame->alignPoint.data[index] = *p;
}

Point GetFrameAlignPoint(Frame* frame, SInt8 index) {
  if (!frame || index > 7 || !InArray(frame->alignPoint, index)) return Point{0, 0};
  return frame->alignPoint.data[index];
}

void ResizeFrameHotRects(Frame* frame, SInt32 count) {
  frame->hotRect.Reinit(count > 0 ? static_cast<UInt32>(count) : 0);
  frame->hotRect.SetName(kHotRectName, -1);
}

void ResizeFrameHotPoints(Frame* frame, SInt32 count) {
  frame->hotPoint.Reinit(count > 0 ? static_cast<UInt32>(count) : 0);
  frame->hotPoint.SetName(kHotPointName, -1);
}

void ResizeFrameHotAreas(Frame* frame, SInt32 rects, SInt32 points) {
  ResizeFrameHotRects(frame, rects);
  ResizeFrameHotPoints(frame, points);
}

namespace {

// Doubles the hot rects: the copies mirrored about the far edge (right, or
// bottom when vertical), which then moves out by the frame's size.
void MirrorHotRectsOnce(Frame* frame, bool vertical) {
  UInt32 n = frame->hotRect.count;
  NamedArray<Rect> kept(n, kMirrorTempName);
  for (UInt32 m = 0; m < n; ++m) kept.data[m] = frame->hotRect.data[m];
  frame->hotRect.Reinit(2 * n);
  frame->hotRect.SetName(kMirroredHotRectName, -1);
  Rect& b = frame->bounds;
  for (UInt32 m = 0; m < n; ++m) {
    Rect r = kept.data[m];
    frame->hotRect.data[m] = r;
    Rect mirrored = r;
    if (vertical) {
      mirrored.top = static_cast<SInt16>(2 * b.bottom - r.bottom);
      mirrored.bottom = static_cast<SInt16>(2 * b.bottom - r.top);
    } else {
      mirrored.left = static_cast<SInt16>(2 * b.right - r.right);
      mirrored.right = static_cast<SInt16>(2 * b.right - r.left);
    }
    frame->hotRect.data[n + m] = mirrored;
  }
  if (vertical)
    b.bottom = static_cast<SInt16>(2 * b.bottom - b.top);
  else
    b.right = static_cast<SInt16>(2 * b.right - b.left);
}

}  // namespace

void MirrorFrameHotRects(Frame* frame, UInt8 horizontal, UInt8 vertical) {
  if (horizontal) MirrorHotRectsOnce(frame, false);
  if (vertical) MirrorHotRectsOnce(frame, true);
}

Rect* CenterRectOnPoint(Rect* out, SInt16 h, SInt16 v, const Rect* size) {
  SInt16 w = static_cast<SInt16>(size->right - size->left);
  SInt16 hgt = static_cast<SInt16>(size->bottom - size->top);
  out->left = static_cast<SInt16>(h - w / 2);
  out->top = static_cast<SInt16>(v - hgt / 2);
  out->right = static_cast<SInt16>(out->left + w);
  out->bottom = static_cast<SInt16>(out->top + hgt);
  return out;
}
