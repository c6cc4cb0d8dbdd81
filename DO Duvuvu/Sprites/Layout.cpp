#include "Layout.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Bundle.h"
#include "DisplayHooks.h"
#include "Errors.h"
#include "GLImage.h"
#include "ImageBuff.h"
#include "PNGFiles.h"
#include "PlistTag.h"
#include "ResultCodes.h"
#include "Strings.h"
#include "TextBuffer.h"

namespace {

// The set the next first-in-array entry fills; kept between loads.
SInt16 currentSetIndex;

// Hot-rect and hot-point counts are signed bytes in the record.
constexpr UInt32 kMaxHotEntries = 127;
// The side of the buffer a sheet is loaded into; larger sheets are cut.
constexpr SInt16 kSheetSide = 1024;

std::string Text(ConstStringPtr p) { return std::string(reinterpret_cast<const char*>(p + 1), p[0]); }

Frame* SetPlace(SInt16 index) {
  if (index < 0 || index >= kFrameListSlots) return nullptr;
  return frameLIST[index];
}

const std::string& LayoutFolder() {
  static std::string* folder = nullptr;
  if (!folder) {
    char resources[kPathBufferSize];
    GetBundleResourcesPath(resources, sizeof resources);
    folder = new std::string(std::string(resources) + GetPathSeparatorString() + "Layouts");
  }
  return *folder;
}

bool Integer(PlistTag* dict, const char* key, SInt32* out) {
  PlistTag* tag = PlistTag::FindTag(dict, "integer", key, 0);
  if (!tag) return false;
  *out = static_cast<SInt32>(std::atoi(Text(tag->value).c_str()));
  return true;
}

// Coordinates keep their low 16 bits.
void Coordinate(PlistTag* dict, const char* key, SInt16* field) {
  SInt32 value;
  if (Integer(dict, key, &value)) *field = static_cast<SInt16>(value);
}

bool IsTrue(PlistTag* dict, const char* key) {
  PlistTag* tag = PlistTag::FindTag(dict, "boolean", key, 0);
  return tag && Text(tag->value) == "true/";
}

PlistTag* Numbered(PlistTag* dict, UInt32 n) {
  char key[16];
  std::snprintf(key, sizeof key, "%u", n);
  return PlistTag::FindTag(dict, "dict", key, 0);
}

// Entries past 127 would not fit the record's signed count.
UInt32 HotEntryCount(PlistTag* list, Frame* frame, const char* what) {
  UInt32 n = list->child.count;
  if (n <= kMaxHotEntries) return n;
  std::string message = "LoadLayout(): the frame " + Text(frame->name) + " has more than 127 " + what +
                        "; only the first 127 are kept.";
  AlertMessage(message.c_str(), "", "OK");
  return kMaxHotEntries;
}

void ReadFrameValues(Frame* frame, PlistTag* entry, PixMapHandle pixmap) {
  if (PlistTag* bounds = PlistTag::FindTag(entry, "dict", "Bounds", 0)) {
    Coordinate(bounds, "Left", &frame->bounds.left);
    Coordinate(bounds, "Top", &frame->bounds.top);
    Coordinate(bounds, "Right", &frame->bounds.right);
    Coordinate(bounds, "Bottom", &frame->bounds.bottom);
  }

  PlistTag* align = PlistTag::FindTag(entry, "dict", "Align Points", 0);
  for (UInt32 k = 0; k < 8; ++k) {
    Point p = {0, 0};
    SetFrameAlignPointFrom(frame, static_cast<SInt8>(k), &p);
    if (PlistTag* point = align ? Numbered(align, k) : nullptr) {
      Coordinate(point, "H", &p.h);
      Coordinate(point, "V", &p.v);
      SetFrameAlignPointFrom(frame, static_cast<SInt8>(k), &p);
    }
  }

  if (PlistTag* rects = PlistTag::FindTag(entry, "dict", "Hot Rects", 0)) {
    UInt32 n = HotEntryCount(rects, frame, "hot rects");
    ResizeFrameHotRects(frame, static_cast<SInt32>(n));
    // One working rect for all entries: a missing side keeps the last one's.
    Rect working = {0, 0, 0, 0};
    for (UInt32 r = 0; r < n; ++r) {
      if (PlistTag* rect = Numbered(rects, r)) {
        Coordinate(rect, "Left", &working.left);
        Coordinate(rect, "Top", &working.top);
        Coordinate(rect, "Right", &working.right);
        Coordinate(rect, "Bottom", &working.bottom);
      }
      SetFrameHotRectFrom(frame, static_cast<SInt8>(r), &working);
    }
  }

  if (PlistTag* points = PlistTag::FindTag(entry, "dict", "Hot Points", 0)) {
    UInt32 n = HotEntryCount(points, frame, "hot points");
    ResizeFrameHotPoints(frame, static_cast<SInt32>(n));
    Point working = {0, 0};
    for (UInt32 r = 0; r < n; ++r) {
      if (PlistTag* point = Numbered(points, r)) {
        Coordinate(point, "H", &working.h);
        Coordinate(point, "V", &working.v);
      }
      SetFrameHotPointFrom(frame, static_cast<SInt8>(r), &working);
    }
  }

  if (pixmap) {
    frame->pixmap = pixmap;
    frame->alphaPixmap = FindPixMapAlpha(pixmap);
    RemakeGLImageFromPixMap(&frame->image, pixmap, &frame->bounds, frame->alphaPixmap, 1);
  }
}

// Frames with no place to go alert once for the whole list: a hostile list
// can ask for thousands of them.
class PlacelessAlertOnce {
 public:
  PlacelessAlertOnce() = default;
  PlacelessAlertOnce(const PlacelessAlertOnce&) = delete;
  PlacelessAlertOnce& operator=(const PlacelessAlertOnce&) = delete;
  ~PlacelessAlertOnce() { SetPlacelessFramesQuiet(false); }
  void Told() { SetPlacelessFramesQuiet(true); }
};

// A list that asks for more frames than a layout may hold: one alert, and the
// frames up to the bound are kept.
void AlertLayoutFull(const Layout* layout) {
  const std::string bound = std::to_string(kMostFramesInALayout);
  const std::string message = "LoadLayout(): the layout " + Text(layout->name) + " asks for more than " + bound +
                              " frames; only the first " + bound + " are made.";
  AlertMessage(message.c_str(), "", "OK");
}

// Makes the layout's frames in their sets' records.
void MakeFrames(Layout* layout, PlistTag* frames) {
  PlacelessAlertOnce placelessAlert;
  Frame* place = nullptr;
  // No set matched the first entry: nothing of this load may land in a block.
  bool placeless = false;
  for (UInt32 e = 0; e < frames->child.count; ++e) {
    PlistTag* entry = frames->child.data[e];
    std::string key = Text(entry->name);
    if (e == 0 && LayoutsInitialised()) {
      std::string base = key.substr(0, key.find('['));
      placeless = true;
      for (SInt16 slot = 0; slot < kFrameListSlots; ++slot) {
        if (frameLIST[slot] && Text(frameLIST[slot]->setName) == base) {
          currentSetIndex = slot;
          place = frameLIST[slot];
          placeless = false;
          break;
        }
      }
      if (placeless) {
        std::string message =
            "LoadLayout() failed.  The starting frame could not be located in frameLIST: " + key + ".";
        AlertMessage(message.c_str(), "", "OK");
        placelessAlert.Told();
      }
    }
    if (!IsTrue(entry, "First In Array")) continue;
    UInt8 sizes[3];
    for (int d = 0; d < 3; ++d) {
      char sizeKey[16];
      std::snprintf(sizeKey, sizeof sizeKey, "Array Size %d", d);
      SInt32 value = 0;
      Integer(entry, sizeKey, &value);
      sizes[d] = static_cast<UInt8>(value);
    }
    if (layout->frameCount >= kMostFramesInALayout) {
      AlertLayoutFull(layout);
      return;
    }
    Frame** where = placeless ? nullptr : &place;
    bool hasPlace = where && *where;
    Frame* frame = Layout::NewFrame(layout, nullptr, key.c_str(), where);
    if (!hasPlace) placelessAlert.Told();
    std::memcpy(frame->tag, "\x05" "FRAME", 6);
    for (int d = 0; d < 3; ++d) frame->arraySize[d] = sizes[d];
    if (sizes[0] != 0 && !ExpandFrameArray(layout, frame, where)) {
      AlertLayoutFull(layout);
      return;
    }
    ++currentSetIndex;
    place = SetPlace(currentSetIndex);
  }
}

// Gives each frame the values of its entry; an entry that matches no frame
// holds up every later one.
void FillFrames(Layout* layout, PlistTag* frames, PixMapHandle pixmap) {
  UInt32 cursor = 0;
  for (Frame* frame = layout->firstFrame; frame && cursor < frames->child.count; frame = frame->next) {
    PlistTag* entry = frames->child.data[cursor];
    if (Text(entry->name) != Text(frame->name)) continue;
    ReadFrameValues(frame, entry, pixmap);
    ++cursor;
  }
}

ImageBuff* LayoutImageBuffer(ImageBuff* buffer, bool* made) {
  if (!*made) {
    *made = true;
    std::memset(buffer, 0, sizeof *buffer);
    buffer->red = buffer->green = buffer->blue = buffer->alpha = 1.0f;
    AllocImageBuff(buffer, kSheetSide, kSheetSide);
  }
  return buffer;
}

ImageBuff layoutBuffer;
bool layoutBufferMade;
ImageBuff sharedBuffer;
bool sharedBufferMade;

void FreeLayoutBuffers() {
  if (layoutBufferMade) FreeImageBuff(&layoutBuffer);
  if (sharedBufferMade) FreeImageBuff(&sharedBuffer);
}

void RequireLayouts() {
  if (!LayoutsInitialised()) FatalError("Call InitLayouts() before LoadLayout().", "");
}

void NameLayout(Layout* layout, const char* name) {
  size_t length = std::strlen(name);
  if (length > 31) length = 31;
  layout->name[0] = static_cast<unsigned char>(length);
  std::memcpy(layout->name + 1, name, length);
}

// Once every frame has its texture the sheet's pixels are never read again.
void ReleaseSheet(ImageBuff* buffer) {
  if (buffer->pixels) FreeImageBuff(buffer);
}

SInt32 LoadSheet(ImageBuff* buffer, bool* made, const char* imagePath, UInt8 premultiply) {
  static bool exitHook = false;
  if (!exitHook) {
    exitHook = true;
    std::atexit(FreeLayoutBuffers);
  }
  LayoutImageBuffer(buffer, made);
  std::string path = std::string(imagePath) + ".png";
  // A sheet that fits the 1024 x 1024 buffer goes into a fresh block of its
  // own size (decoded in place, nothing to clear); a larger one is cut at the
  // buffer's edges as ever.
  UInt32 width = 0, height = 0;
  const bool fits = GetPNGFileSize(path.c_str(), &width, &height) == noErr && width <= kSheetSide && height <= kSheetSide;
  if (fits && buffer->pixels) FreeImageBuff(buffer);
  if (!fits && !buffer->pixels) AllocImageBuff(buffer, kSheetSide, kSheetSide);
  const SInt32 result = LoadPNGIntoImageBuff(buffer, path.c_str(), 1.0f, premultiply);
  if (result != 0) ReleaseSheet(buffer);
  return result;
}

// The texture is read from the sheet's pixels over the frame's bounds: they
// must lie inside both the loaded image and the buffer it was loaded into.
bool InsideSheet(const ImageBuff& sheet, const Rect& r) {
  SInt32 width = sheet.usedWidth < sheet.width ? sheet.usedWidth : sheet.width;
  SInt32 height = sheet.usedHeight < sheet.height ? sheet.usedHeight : sheet.height;
  return r.left >= 0 && r.top >= 0 && r.left <= r.right && r.top <= r.bottom && r.right <= width &&
         r.bottom <= height;
}

// Frames that lie outside their sheet: one alert for the layout, naming the first.
class OutsideSheet {
 public:
  explicit OutsideSheet(const Layout* layout) : layout_(layout) {}
  void Refuse(const Frame* frame) {
    if (count_++ == 0) first_ = Text(frame->name);
  }
  void Alert() const {
    if (count_ == 0) return;
    std::string layout = Text(layout_->name);
    std::string message =
        count_ == 1 ? "LoadLayout(): 1 frame of the layout " + layout + " lies outside its image and is not drawn: " +
                          first_ + "."
                    : "LoadLayout(): " + std::to_string(count_) + " frames of the layout " + layout +
                          " lie outside its image and are not drawn; the first is " + first_ + ".";
    AlertMessage(message.c_str(), "", "OK");
  }

 private:
  const Layout* layout_;
  UInt32 count_ = 0;
  std::string first_;
};

}  // namespace

Boolean ReadLayoutPlist(Layout* layout, PixMapHandle pixmap, FileSpec* folder) {
  if (!layout) return false;
  std::string path;
  if (folder) {
    char buffer[kPathBufferSize];
    if (GetFileSpecPath(folder, buffer, sizeof buffer) != noErr) return false;
    path = buffer;
  } else {
    path = LayoutFolder();
  }
  path += GetPathSeparatorString() + Text(layout->name);
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) file = std::fopen((path + ".plist").c_str(), "rb");
  if (!file) return false;
  TextBuffer text;
  PlistTag root;
  bool read = text.LoadFile(file, 0) == noErr && PlistTag::ReadBuffer(&root, &text) == 0;
  std::fclose(file);
  if (!read) return false;

  PlistTag* frames = PlistTag::FindTag(&root, "dict", "Frames", 0);
  if (!frames) return true;
  MakeFrames(layout, frames);
  FillFrames(layout, frames, pixmap);
  return true;
}

SInt16 LoadLayout(const char* layoutName, const char* imagePath, UInt8 premultiply) {
  RequireLayouts();
  Layout layout;
  NameLayout(&layout, layoutName);
  if (!ReadLayoutPlist(&layout, nullptr, nullptr)) return kErrFailed;
  return LoadLayoutImage(&layout, imagePath, premultiply);
}

SInt16 LoadLayoutPlist(const char* layoutName, PixMapHandle pixmap) {
  RequireLayouts();
  Layout layout;
  NameLayout(&layout, layoutName);
  ReadLayoutPlist(&layout, pixmap, nullptr);
  return 0;
}

SInt16 LoadLayoutImage(Layout* layout, const char* imagePath, UInt8 premultiply) {
  SInt32 result = LoadSheet(&layoutBuffer, &layoutBufferMade, imagePath, premultiply);
  if (result != 0) return static_cast<SInt16>(result);
  OutsideSheet outside(layout);
  for (Frame* frame = layout->firstFrame; frame; frame = frame->next) {
    if (!InsideSheet(layoutBuffer, frame->bounds)) {
      outside.Refuse(frame);
      DeleteGLImageTexture(&frame->image);
      continue;
    }
    RemakeGLImageFromBuffer(&frame->image, &layoutBuffer, &frame->bounds);
    frame->image.forceBlend = 1;
  }
  ReleaseSheet(&layoutBuffer);
  outside.Alert();
  return 0;
}

bool LayoutSheetHeldForTesting() { return layoutBuffer.pixels || sharedBuffer.pixels; }

SInt16 LoadLayoutImageShared(Layout* layout, const char* imagePath, UInt8 premultiply) {
  SInt32 result = LoadSheet(&sharedBuffer, &sharedBufferMade, imagePath, premultiply);
  if (result != 0) return static_cast<SInt16>(result);
  Rect used = {0, 0, sharedBuffer.usedHeight, sharedBuffer.usedWidth};
  UInt32 name = 0;
  Rect texture = UploadGLImageTexture(&name, sharedBuffer.pixels, sharedBuffer.rowBytes, 32, &used);
  ReleaseSheet(&sharedBuffer);
  OutsideSheet outside(layout);
  for (Frame* frame = layout->firstFrame; frame; frame = frame->next) {
    if (!InsideSheet(sharedBuffer, frame->bounds)) {
      // The texture is the whole sheet's: this frame only lets go of it.
      outside.Refuse(frame);
      frame->image.textureName = 0;
      continue;
    }
    frame->image.textureName = name;
    frame->image.textureWidth = texture.right;
    frame->image.textureHeight = texture.bottom;
    frame->image.imageRect = frame->bounds;
    frame->image.forceBlend = 1;
    frame->image.recomputeCoords = 1;
  }
  outside.Alert();
  return 0;
}
