#include "GLImage.h"

#include <GL/gl.h>

#include <algorithm>

#include "GLContext.h"
#include "Geometry.h"
#include "ImageBuff.h"

namespace {

// Cleared texels next to an uploaded image: 4096 pixels of 32 bits.
constexpr int kZeroPixels = 4096;
const UInt32 gZeroBuffer[kZeroPixels] = {};

GLImageDrawRecorder gRecorder = nullptr;
void* gRecorderContext = nullptr;

struct TextureFormat {
  GLint internalFormat;
  GLenum format;
  GLenum type;
};

constexpr TextureFormat k16BitFormat = {GL_RGB5, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV};
// Image buffers: bytes R, G, B, A.
constexpr TextureFormat kRGBAFormat = {GL_RGBA8, GL_RGBA, GL_UNSIGNED_INT_8_8_8_8_REV};
// 32-bit pixel maps: 0x00RRGGBB words.
constexpr TextureFormat kXRGBFormat = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV};

Rect Upload(UInt32* name, const void* pixels, UInt32 rowBytes, SInt16 depth, const Rect* r,
            const TextureFormat& fmt) {
  const SInt32 w = r->right - r->left;
  const SInt32 h = r->bottom - r->top;
  const SInt32 texW = NextPowerOfTwo(w);
  const SInt32 texH = NextPowerOfTwo(h);
  if (!pixels) return Rect{0, 0, 0, 0};
  const SInt32 pixelBytes = depth / 8;
  if (*name == 0) glGenTextures(1, name);
  glBindTexture(GL_TEXTURE_2D, *name);
  // Rows are packed to the byte; the default alignment of 4 would misread
  // 16-bit rows of odd widths.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, fmt.internalFormat, texW, texH, 0, fmt.format, fmt.type, nullptr);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 1);
  if (w < texW) glTexSubImage2D(GL_TEXTURE_2D, 0, w, 0, 1, std::min(h, kZeroPixels), fmt.format, fmt.type, gZeroBuffer);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(rowBytes / static_cast<UInt32>(pixelBytes)));
  if (h < texH) {
    const SInt32 width = std::min({w + 1, texW, kZeroPixels});
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, h, width, 1, fmt.format, fmt.type, gZeroBuffer);
  }
  const auto* start = static_cast<const UInt8*>(pixels) + static_cast<ptrdiff_t>(r->top) * rowBytes +
                      static_cast<ptrdiff_t>(r->left) * pixelBytes;
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w, h, fmt.format, fmt.type, start);
  return Rect{0, 0, static_cast<SInt16>(texH), static_cast<SInt16>(texW)};
}

void MakeImage(GLImage* image, const void* pixels, UInt32 rowBytes, SInt16 depth, const Rect* r,
               const TextureFormat& fmt) {
  image->imageWidth = static_cast<SInt16>(r->right - r->left);
  image->imageHeight = static_cast<SInt16>(r->bottom - r->top);
  image->textureWidth = static_cast<SInt16>(NextPowerOfTwo(image->imageWidth));
  image->textureHeight = static_cast<SInt16>(NextPowerOfTwo(image->imageHeight));
  Upload(&image->textureName, pixels, rowBytes, depth, r, fmt);
  const Rect area = {0, 0, image->imageHeight, image->imageWidth};
  SetGLImageTexCoords(image, &area);
}

// The quad of every draw routine. Tinted drawing uses straight alpha and the
// tint environment, and leaves texturing on.
void DrawQuad(GLImage* image, float left, float top, float right, float bottom, float cx, float cy, bool tintedDraw) {
  const bool tinted = image->red != 1.0f || image->green != 1.0f || image->blue != 1.0f;
  const bool rotated = image->rotation != 0.0f;
  if (image->recomputeCoords) SetGLImageTexCoords(image, &image->imageRect);
  glEnable(GL_TEXTURE_2D);
  const bool blend = image->forceBlend || image->alpha < 1.0f || tinted;
  if (blend) {
    glEnable(GL_BLEND);
    if (tintedDraw) {
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
      glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
      const float a = image->alpha;
      glColor4f(a * image->red, a * image->green, a * image->blue, a);
    }
  }
  glBindTexture(GL_TEXTURE_2D, image->textureName);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(image->filter));
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(image->filter));
  if (blend && tintedDraw)
    SetTintEnvColor(image->red, image->green, image->blue, image->alpha);
  else
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, blend ? GL_MODULATE : GL_REPLACE);
  if (rotated) {
    glPushMatrix();
    glTranslatef(cx, cy, 0.0f);
    glRotatef(image->rotation, 0.0f, 0.0f, 1.0f);
    glTranslatef(-cx, -cy, 0.0f);
  }
  if (image->flipHorizontally) std::swap(left, right);
  if (image->flipVertically) std::swap(top, bottom);
  const GLfloat vertices[12] = {left, top, 0, right, top, 0, left, bottom, 0, right, bottom, 0};
  glVertexPointer(3, GL_FLOAT, 0, vertices);
  glTexCoordPointer(2, GL_FLOAT, 0, image->texCoords);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  if (tintedDraw) ResetTintEnv();
  if (rotated) glPopMatrix();
  if (blend) glDisable(GL_BLEND);
  if (!tintedDraw) glDisable(GL_TEXTURE_2D);
}

void DrawInRect(GLImage* image, const Rect* dest, bool tintedDraw) {
  if (image->textureName == 0) return;
  const SInt32 cx = dest->left + (dest->right - dest->left) / 2;
  const SInt32 cy = dest->top + (dest->bottom - dest->top) / 2;
  DrawQuad(image, dest->left, dest->top, dest->right, dest->bottom, static_cast<float>(cx), static_cast<float>(cy),
           tintedDraw);
}

}  // namespace

// Powers of two -------------------------------------------------------------------

SInt32 Log2Floor(SInt32 v) {
  if (v < 1) return static_cast<SInt32>(0x80000000u);
  SInt32 n = 0;
  while (v > 1) {
    v >>= 1;
    ++n;
  }
  return n;
}

SInt32 PowerOfTwoGL(SInt32 n) {
  if (n < 0) return 0;
  if (n > 31) return -1;
  return static_cast<SInt32>(1u << n);
}

SInt32 Log2Ceil(SInt32 v) {
  const SInt32 n = Log2Floor(v);
  return PowerOfTwoGL(n) < v ? n + 1 : n;
}

SInt32 NextPowerOfTwo(SInt32 v) {
  if (v < 1) return 0;
  const SInt64 p = SInt64{1} << Log2Floor(v);
  return static_cast<SInt32>(v > p ? 2 * p : p);
}

SInt32 PowerOfTwoBelow(SInt32 v) {
  if (v < 1) return 0;
  return SInt32{1} << Log2Floor(v);
}

// Textures ------------------------------------------------------------------------------

Rect UploadGLImageTexture(UInt32* name, const void* pixels, UInt32 rowBytes, SInt16 depth, const Rect* r) {
  return Upload(name, pixels, rowBytes, depth == 16 ? 16 : 32, r, depth == 16 ? k16BitFormat : kRGBAFormat);
}

void SetGLImageTexCoords(GLImage* image, const Rect* r) {
  const float w = image->textureWidth > 0 ? image->textureWidth : 1;
  const float h = image->textureHeight > 0 ? image->textureHeight : 1;
  const float s0 = r->left / w;
  const float s1 = r->right / w;
  const float t0 = r->top / h;
  const float t1 = r->bottom / h;
  const float coords[8] = {s0, t0, s1, t0, s0, t1, s1, t1};
  std::copy(coords, coords + 8, image->texCoords);
}

void MakeGLImage(GLImage* image, const void* pixels, UInt32 rowBytes, SInt16 depth, const Rect* r) {
  MakeImage(image, pixels, rowBytes, depth == 16 ? 16 : 32, r, depth == 16 ? k16BitFormat : kRGBAFormat);
}

void RemakeGLImage(GLImage* image, const void* pixels, UInt32 rowBytes, SInt16 depth, const Rect* r) {
  DeleteGLImageTexture(image);
  MakeGLImage(image, pixels, rowBytes, depth, r);
}

void MakeGLImageFromPixMap(GLImage* image, PixMapHandle pixMap, const Rect* r, PixMapHandle mask, UInt8 whiteKey) {
  if (!pixMap || !*pixMap) return;
  const PixMap* p = *pixMap;
  const UInt32 rowBytes = p->rowBytes & kPixMapRowBytesMask;
  const SInt16 depth = p->pixelDepth;
  // Only 16- and 32-bit maps have a texture format; anything else would be
  // read with the wrong pixel size.
  if (depth != 16 && depth != 32) return;
  Rect area;
  if (!IntersectRects(r, &p->bounds, &area)) return;
  OffsetRectBy(&area, static_cast<SInt16>(-p->bounds.left), static_cast<SInt16>(-p->bounds.top));
  if (depth != 32) {
    MakeImage(image, p->baseAddr, rowBytes, depth, &area, k16BitFormat);
    return;
  }
  const bool hasMask = mask && *mask && (*mask)->baseAddr;
  if (hasMask || whiteKey) {
    for (SInt32 v = area.top; v < area.bottom; ++v) {
      auto* row = reinterpret_cast<UInt32*>(p->baseAddr + static_cast<ptrdiff_t>(v) * rowBytes);
      for (SInt32 h = area.left; h < area.right; ++h) {
        if (hasMask) {
          const PixMap* m = *mask;
          // Same coordinates as the pixel map; outside the mask's bounds the
          // pixel keeps its alpha.
          const SInt32 mv = v + p->bounds.top - m->bounds.top;
          const SInt32 mh = h + p->bounds.left - m->bounds.left;
          if (mv < 0 || mh < 0 || mv >= m->bounds.bottom - m->bounds.top || mh >= m->bounds.right - m->bounds.left)
            continue;
          const UInt8 a = static_cast<UInt8>(
              m->baseAddr[static_cast<ptrdiff_t>(mv) * (m->rowBytes & kPixMapRowBytesMask) + mh]);
          row[h] = (row[h] & 0x00FFFFFFu) | (static_cast<UInt32>(a) << 24);
        } else {
          row[h] = (row[h] & 0x00FFFFFFu) == 0x00FFFFFFu ? 0 : (row[h] | 0xFF000000u);
        }
      }
    }
  }
  image->forceBlend = (hasMask || whiteKey) ? 1 : 0;
  MakeImage(image, p->baseAddr, rowBytes, 32, &area, kXRGBFormat);
}

void RemakeGLImageFromPixMap(GLImage* image, PixMapHandle pixMap, const Rect* r, PixMapHandle mask, UInt8 whiteKey) {
  DeleteGLImageTexture(image);
  MakeGLImageFromPixMap(image, pixMap, r, mask, whiteKey);
}

void MakeGLImageFromBuffer(GLImage* image, const ImageBuff* buffer, const Rect* r) {
  MakeGLImage(image, buffer->pixels, buffer->rowBytes, 32, r);
}

void RemakeGLImageFromBuffer(GLImage* image, const ImageBuff* buffer, const Rect* r) {
  DeleteGLImageTexture(image);
  MakeGLImageFromBuffer(image, buffer, r);
}

SInt32 LoadGLImageFromPNG(GLImage* image, ImageBuff* buffer, const char* path, UInt8 premultiply, float fifth) {
  if (SInt32 status = LoadPNGIntoImageBuff(buffer, path, fifth, premultiply)) return status;
  const Rect used = {0, 0, buffer->usedHeight, buffer->usedWidth};
  MakeGLImage(image, buffer->pixels, buffer->rowBytes, 32, &used);
  return 0;
}

void DeleteGLImageTexture(GLImage* image) {
  if (image->textureName == 0) return;
  // Once the displays are closed there is no context to delete it in.
  if (CurrentGLContextHandle()) glDeleteTextures(1, &image->textureName);
  image->textureName = 0;
}

// Drawing --------------------------------------------------------------------------------

void DrawGLImage(GLImage* image, const Rect* dest) {
  if (gRecorder) {
    gRecorder(GLImageDrawRecord{image, *dest, image->red, image->green, image->blue, image->alpha, image->rotation,
                                image->flipHorizontally, image->flipVertically},
              gRecorderContext);
  }
  DrawInRect(image, dest, false);
}

void DrawGLImageInRectF(GLImage* image, const float* dest) {
  if (image->textureName == 0) return;
  const float top = dest[0];
  const float left = dest[1];
  const float bottom = dest[2];
  const float right = dest[3];
  DrawQuad(image, left, top, right, bottom, left + (right - left) * 0.5f, top + (bottom - top) * 0.5f, false);
}

void DrawGLImageTinted(GLImage* image, const Rect* dest) { DrawInRect(image, dest, true); }

void SetTintEnvColor(float red, float green, float blue, float alpha) {
  const float in[3] = {red, green, blue};
  GLfloat env[4];
  GLfloat primary[4];
  for (int i = 0; i < 3; ++i) {
    env[i] = in[i] < 1.0f ? in[i] : 1.0f;
    primary[i] = in[i] > 1.0f ? in[i] - 1.0f : 0.0f;
  }
  env[3] = alpha;
  primary[3] = alpha;
  glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_BLEND);
  glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, env);
  glColor4f(primary[0], primary[1], primary[2], primary[3]);
}

void SetTintEnvColorRGBA(const float* rgba) { SetTintEnvColor(rgba[0], rgba[1], rgba[2], rgba[3]); }

void ResetTintEnv() {
  const GLfloat white[4] = {1, 1, 1, 1};
  glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, white);
  glColor4f(1, 1, 1, 1);
}

void MoveImageToPoint(ImagePlacement* placement, const Point* pt) {
  placement->point1 = *pt;
  placement->point2 = *pt;
  const float scale = placement->scale;
  const auto left = static_cast<SInt16>(pt->h - placement->hotSpot.h * scale);
  const auto top = static_cast<SInt16>(pt->v - placement->hotSpot.v * scale);
  placement->dest.left = left;
  placement->dest.top = top;
  placement->dest.right = static_cast<SInt16>(left + static_cast<SInt32>(placement->image->imageWidth * scale));
  placement->dest.bottom = static_cast<SInt16>(top + static_cast<SInt32>(placement->image->imageHeight * scale));
}

void SetGLImageDrawRecorder(GLImageDrawRecorder recorder, void* context) {
  gRecorder = recorder;
  gRecorderContext = context;
}
