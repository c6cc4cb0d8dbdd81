#include "Pictures.h"
#include "ResultCodes.h"

#include <cstring>

#include "AppGlobals.h"
#include "DisplayHooks.h"
#include "Errors.h"
#include "MainWindow.h"
#include "Memory.h"
#include "PixMapDrawing.h"
#include "PortDrawing.h"
#include "Ports.h"
#include "RefObjects.h"
#include "Windows.h"

SInt16 LastPictureHeight = 0;
SInt16 LastPictureWidth = 0;

namespace {

constexpr OSErr kResourceNotFound = -192;
constexpr SInt32 kPosixPathStyle = 0;

Rect FrameOf(PicHandle picture) {
  Rect frame = {0, 0, 0, 0};
  if (picture) GetFixedResultServices().getPictureFrame(picture, &frame);
  return frame;
}

SInt16 Width(const Rect& r) { return static_cast<SInt16>(r.right - r.left); }
SInt16 Height(const Rect& r) { return static_cast<SInt16>(r.bottom - r.top); }

void Draw(PicHandle picture, const Rect* destination) {
  if (picture) GetFixedResultServices().drawPicture(picture, destination);
}

void DisposePicture(PicHandle picture) {
  if (picture) DisposeHandleBlock(picture);
}

PicHandle ReadPicture(const char* name) {
  PicHandle picture = nullptr;
  GetPictureFromFile(&picture, name, nullptr, nullptr);
  return picture;
}

}  // namespace

Rect PlacePicture(PicHandle picture, PixMapHandle pixMap, const Rect* destination, UInt32, Rect* frameOut) {
  if (picture) LockHandleBlock(picture);
  if (frameOut) *frameOut = FrameOf(picture);
  PushPort();
  SetCurrentPort(FindPixMapGWorld(pixMap));
  Draw(picture, destination);
  PopPort();
  return *destination;
}

Rect PlacePicture_Rect(PicHandle picture, PixMapHandle pixMap, SInt16 left, SInt16 top, SInt16 right, SInt16 bottom,
                       UInt32 unused, Rect* frameOut) {
  const Rect destination = {top, left, bottom, right};
  return PlacePicture(picture, pixMap, &destination, unused, frameOut);
}

Rect PlacePicture_Point(PicHandle picture, PixMapHandle pixMap, SInt16 h, SInt16 v, UInt8 centre, WindowRef window,
                        Rect* out) {
  const Rect frame = FrameOf(picture);
  const SInt16 width = Width(frame);
  const SInt16 height = Height(frame);
  Rect placed;
  if (centre == 1) {
    Rect port = {0, 0, 0, 0};
    if (GWorldPtr world = GetWindowManagerPort(window ? window : gMainWindow)) port = world->portRect;
    placed.left = static_cast<SInt16>(h + port.left + Width(port) / 2 - width / 2);
    placed.top = static_cast<SInt16>(v + port.top + Height(port) / 2 - height / 2);
    LastPictureHeight = height;
    LastPictureWidth = width;
  } else {
    placed.left = h;
    placed.top = v;
  }
  placed.right = static_cast<SInt16>(placed.left + width);
  placed.bottom = static_cast<SInt16>(placed.top + height);
  PlacePicture(picture, pixMap, &placed, 0, nullptr);
  if (out) *out = placed;
  return placed;
}

Rect PlacePicture_Bottom(PicHandle picture, UInt32, Rect* area, UInt32, Rect* frameOut) {
  if (picture) LockHandleBlock(picture);
  const Rect frame = FrameOf(picture);
  if (frameOut) *frameOut = frame;
  const SInt16 width = Width(frame);
  const SInt16 height = Height(frame);
  area->left = static_cast<SInt16>(area->left + (Width(*area) - width) / 2);
  area->right = static_cast<SInt16>(area->left + width);
  area->top = static_cast<SInt16>(area->bottom - height);
  LastPictureHeight = height;
  LastPictureWidth = width;
  PushPort();
  if (EngineSettings[0]) SetCurrentPort(buildWORLD);
  Draw(picture, area);
  PopPort();
  return *area;
}

Rect PlacePictureFile(const char* name, PixMapHandle pixMap, const Rect* destination, UInt32 unused, Rect* frameOut) {
  PicHandle picture = ReadPicture(name);
  const Rect placed = PlacePicture(picture, pixMap, destination, unused, frameOut);
  DisposePicture(picture);
  return placed;
}

Rect PlacePictureFile_Rect(const char* name, PixMapHandle pixMap, SInt16 left, SInt16 top, SInt16 right,
                           SInt16 bottom, UInt32 unused, Rect* frameOut) {
  PicHandle picture = ReadPicture(name);
  const Rect placed = PlacePicture_Rect(picture, pixMap, left, top, right, bottom, unused, frameOut);
  DisposePicture(picture);
  return placed;
}

Rect PlacePictureFile_Point(const char* name, PixMapHandle pixMap, SInt16 h, SInt16 v, UInt8 centre,
                            WindowRef window, Rect* out) {
  PicHandle picture = ReadPicture(name);
  const Rect placed = PlacePicture_Point(picture, pixMap, h, v, centre, window, out);
  DisposePicture(picture);
  return placed;
}

Rect PlacePictureFile_Bottom(const char* name, UInt32 unused1, Rect* area, UInt32 unused2, Rect* frameOut) {
  PicHandle picture = ReadPicture(name);
  const Rect placed = PlacePicture_Bottom(picture, unused1, area, unused2, frameOut);
  DisposePicture(picture);
  return placed;
}

OSErr GetPictureFromFile(PicHandle* out, const char* name, const URLObject* folder, Rect* frameOut) {
  *out = nullptr;
  if (!name) return kErrFailed;
  StringObject* text = CreateString(nullptr, name, kDefaultTextEncoding);
  URLObject* url = folder ? CreateURLWithString(nullptr, text, folder)
                          : CreateURLWithPath(nullptr, text, kPosixPathStyle, 0);
  ReleaseObject(text);
  FileSpec spec;
  const bool made = url && URLToFileSpec(url, &spec);
  ReleaseObject(url);
  if (!made) return kErrFailed;
  const OSErr result = GetFixedResultServices().readPictureFile(&spec, out);
  if (result == 0 && frameOut && *out) *frameOut = FrameOf(*out);
  return result;
}

OSErr PlacePicture_xxxx(OSType type, ConstStr255Param name) {
  const OSErr error = GetFixedResultServices().resourceError();
  if (error == kResourceNotFound) {
    char message[300];
    for (int i = 0; i < 4; ++i) message[i] = static_cast<char>(type >> (24 - 8 * i));
    std::memcpy(message + 4, "    \"", 5);
    std::memcpy(message + 9, name + 1, name[0]);
    message[9 + name[0]] = '"';
    message[10 + name[0]] = 0;
    FatalError(message, "");
  }
  if (error != 0) FatalError("Sorry, a memory error has occured.", "PlacePicture_xxxx()");
  return 0;
}

PicHandle PictureFromPixMap(PixMapHandle pixMap, const Rect* rect) {
  PushPort();
  SetCurrentPort(FindPixMapGWorld(pixMap));
  auto picture = static_cast<PicHandle>(OpenPicture(rect));
  CopyPixMapBits(*pixMap, *pixMap, rect, rect, kCopyModeCopy, nullptr);
  ClosePicture();
  PopPort();
  return picture;
}
