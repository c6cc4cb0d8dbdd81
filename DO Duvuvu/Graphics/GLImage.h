// Every picture reaches the window as a GLImage: one texture holding the image
// in the top-left corner of power-of-two sides, drawn as one textured quad into
// a rectangle of the logical screen.
#pragma once

#include "MacTypes.h"
#include "PixMap.h"

struct ImageBuff;

constexpr UInt32 kGLLinear = 0x2601;   // GL_LINEAR
constexpr UInt32 kGLNearest = 0x2600;  // GL_NEAREST

struct GLImage {
  UInt32 textureName = 0;  // 0: nothing is drawn
  Rect imageRect = {0, 0, 0, 0};  // texels for recomputed coordinates
  UInt32 filter = kGLLinear;
  SInt16 textureWidth = 0;
  SInt16 textureHeight = 0;
  SInt16 imageWidth = 0;
  SInt16 imageHeight = 0;
  // (s, t) of the corners in strip order: top-left, top-right, bottom-left, bottom-right.
  float texCoords[8] = {0, 0, 1, 0, 0, 1, 1, 1};
  float red = 1.0f;  // above 1.0 brightens in tinted drawing
  float green = 1.0f;
  float blue = 1.0f;
  float alpha = 1.0f;
  float rotation = 0.0f;  // degrees about the destination's centre
  UInt8 forceBlend = 0;
  UInt8 flipHorizontally = 0;
  UInt8 flipVertically = 0;
  UInt8 recomputeCoords = 0;
  UInt8 fifthFlag = 0;
};

// Where MoveImageToPoint places an image.
struct ImagePlacement {
  GLImage* image;
  Rect dest;
  Point point1;
  Point point2;
  SInt16 word;
  Point hotSpot;
  float scale;
};

// Powers of two ---------------------------------------------------------------

// floor(log2 v); 0x80000000 for v < 1.
SInt32 Log2Floor(SInt32 v);
// 1 << n for 0 <= n <= 31, -1 above, 0 for negative n.
SInt32 PowerOfTwoGL(SInt32 n);
SInt32 Log2Ceil(SInt32 v);
// 0 for v < 1; 1 -> 1, 3 -> 4, 640 -> 1024.
SInt32 NextPowerOfTwo(SInt32 v);
SInt32 PowerOfTwoBelow(SInt32 v);

// Textures --------------------------------------------------------------------

// Uploads r of the pixels (depth 16 or 32) into *name (generated when 0) and
// returns {0, 0, texture height, texture width}; nothing without pixels.
Rect UploadGLImageTexture(UInt32* name, const void* pixels, UInt32 rowBytes, SInt16 depth, const Rect* r);
void SetGLImageTexCoords(GLImage* image, const Rect* r);
void MakeGLImage(GLImage* image, const void* pixels, UInt32 rowBytes, SInt16 depth, const Rect* r);
void RemakeGLImage(GLImage* image, const void* pixels, UInt32 rowBytes, SInt16 depth, const Rect* r);
// r is in the pixel map's coordinates; a 32-bit map's pixels are changed by the
// mask (an 8-bit map) or the white key.
void MakeGLImageFromPixMap(GLImage* image, PixMapHandle pixMap, const Rect* r, PixMapHandle mask, UInt8 whiteKey);
void RemakeGLImageFromPixMap(GLImage* image, PixMapHandle pixMap, const Rect* r, PixMapHandle mask, UInt8 whiteKey);
void MakeGLImageFromBuffer(GLImage* image, const ImageBuff* buffer, const Rect* r);
void RemakeGLImageFromBuffer(GLImage* image, const ImageBuff* buffer, const Rect* r);
// LoadPNGIntoImageBuff, then the used area as the image; a failure's status is
// returned with the image untouched.
SInt32 LoadGLImageFromPNG(GLImage* image, ImageBuff* buffer, const char* path, UInt8 premultiply, float fifth);
// Without a current GL context only the name is zeroed.
void DeleteGLImageTexture(GLImage* image);

// Drawing, between BeginFrameGL and EndFrameGL --------------------------------

void DrawGLImage(GLImage* image, const Rect* dest);
// dest: top, left, bottom, right.
void DrawGLImageInRectF(GLImage* image, const float* dest);
void DrawGLImageTinted(GLImage* image, const Rect* dest);
void SetTintEnvColor(float red, float green, float blue, float alpha);
void SetTintEnvColorRGBA(const float* rgba);
void ResetTintEnv();
void MoveImageToPoint(ImagePlacement* placement, const Point* pt);

// Tests only: when set, every DrawGLImage call reports the image (with its
// colour, alpha, rotation and flips as they are then) and the destination.
struct GLImageDrawRecord {
  const GLImage* image;
  Rect dest;
  float red, green, blue, alpha;
  float rotation;
  UInt8 flipHorizontally;
  UInt8 flipVertically;
};
typedef void (*GLImageDrawRecorder)(const GLImageDrawRecord& record, void* context);
void SetGLImageDrawRecorder(GLImageDrawRecorder recorder, void* context);
