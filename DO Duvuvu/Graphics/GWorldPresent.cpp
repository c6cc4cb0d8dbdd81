#include "GWorldPresent.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>

#include "AppCallbacks.h"
#include "AppGlobals.h"
#include "Atomics.h"
#include "Errors.h"
#include "GLImage.h"
#include "InputDevices.h"
#include "MainPrefs.h"
#include "MainWindow.h"
#include "PortDrawing.h"
#include "Windows.h"

UInt8 FlushHoldFlag = 0;

namespace {

constexpr SInt32 kMaxTileSide = 256;
constexpr int kKeyCount = 128;
constexpr SInt8 kSamplerLimit = 99;

struct KeySampler {
  SInt8 presses[kKeyCount];
  SInt8 releases[kKeyCount];
  UInt8 pending[kKeyCount];
};
KeySampler gSampler;

struct PixelLayout {
  GLint internalFormat;
  GLenum type;
  SInt32 bytesPerPixel;
};

PixelLayout LayoutOf(const PixMap* p) {
  if (p->pixelDepth == 16) return PixelLayout{GL_RGB5, GL_UNSIGNED_SHORT_1_5_5_5_REV, 2};
  return PixelLayout{GL_RGBA8, GL_UNSIGNED_INT_8_8_8_8_REV, 4};
}

// The letterbox projection of BeginFrameGL: logical pixels, y down.
void LoadLetterboxProjection(SInt32 w, SInt32 h) {
  const GLFrameGeometry g = GetGLFrameGeometry();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glScalef(2.0f / (w + 2.0f * g.offsetH / g.scale), -2.0f / (h + 2.0f * g.offsetV / g.scale), 1.0f);
  glTranslatef(static_cast<float>(-w / 2), static_cast<float>(-h / 2), 0.0f);
}

void BindTile(GLuint name, const PixelLayout& layout, SInt32 tw, SInt32 th, SInt32 rowLength) {
  glBindTexture(GL_TEXTURE_2D, name);
  glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
  glTexImage2D(GL_TEXTURE_2D, 0, layout.internalFormat, tw, th, 0, GL_BGRA, layout.type, nullptr);
}

// The copy path's first step: the pixels 1:1 at the window's top-left (one
// pixel in where the window is larger), their edge repeated outward.
void DrawPixelsIntoBackBuffer(const PixMap* p, const PixelLayout& layout, SInt32 w, SInt32 h, SInt32 W, SInt32 H,
                              SInt32 rowLength) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glScalef(2.0f / W, -2.0f / H, 1.0f);
  glTranslatef(-W / 2.0f, -H / 2.0f, 0.0f);
  glRasterPos2i(w < W ? 1 : 0, h < H ? 1 : 0);
  glPixelZoom(1, -1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
  glDrawPixels(w, h, GL_BGRA, layout.type, p->baseAddr);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelZoom(1, 1);
  if (w < W) {
    glRasterPos2i(0, h + 2);
    glCopyPixels(1, H - h - 2, 1, h + 2, GL_COLOR);
    glRasterPos2i(w + 1, h + 2);
    glCopyPixels(w, H - h - 2, 1, h + 2, GL_COLOR);
  }
  if (h < H) {
    glRasterPos2i(0, 1);
    glCopyPixels(0, H - 2, w + 2, 1, GL_COLOR);
    glRasterPos2i(0, h + 2);
    glCopyPixels(0, H - h - 1, w + 2, 1, GL_COLOR);
  }
}

// Tile (x, y) from the back buffer: texel (i, j) is picture pixel
// (x - 1 + i, y - 1 + th - 1 - j), read where it lies inside the buffer.
void CopyTileFromBackBuffer(SInt32 x, SInt32 y, SInt32 tw, SInt32 th, SInt32 rx, SInt32 ry, SInt32 W, SInt32 H) {
  SInt32 wx = rx + x - 1;
  SInt32 wy = H - th - ry - y + 1;
  SInt32 xoffset = 0, yoffset = 0, cw = tw, ch = th;
  if (wx < 0) {
    xoffset = -wx;
    cw += wx;
    wx = 0;
  }
  if (wy < 0) {
    yoffset = -wy;
    ch += wy;
    wy = 0;
  }
  cw = std::min(cw, W - wx);
  ch = std::min(ch, H - wy);
  if (cw <= 0 || ch <= 0) return;
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, xoffset, yoffset, wx, wy, cw, ch);
}

void DrawBlackBars(SInt32 w, SInt32 h, SInt32 W, SInt32 H) {
  glDisable(GL_TEXTURE_2D);
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glColor3i(0, 0, 0);
  // The bars end at the picture's edges: half a pixel further in would paint
  // its outermost rows and columns at scale 1.
  const float fw = static_cast<float>(w);
  const float fh = static_cast<float>(h);
  const float bars[4][4] = {{static_cast<float>(-W), static_cast<float>(-H), 0, static_cast<float>(H)},
                            {0, static_cast<float>(-H), fw, 0},
                            {fw, static_cast<float>(-H), static_cast<float>(W), static_cast<float>(H)},
                            {0, fh, fw, static_cast<float>(H)}};
  for (const auto& b : bars) glRectf(b[0], b[1], b[2], b[3]);
  glPopAttrib();
}

}  // namespace

GWorldTiling TileGWorld(SInt32 width, SInt32 height) {
  GWorldTiling t{};
  t.tileWidth = std::min(NextPowerOfTwo(width), kMaxTileSide);
  t.tileHeight = std::min(NextPowerOfTwo(height), kMaxTileSide);
  if (t.tileWidth <= 2 || t.tileHeight <= 2) return t;
  t.lastX = width / (t.tileWidth - 2) * (t.tileWidth - 2);
  t.lastY = height / (t.tileHeight - 2) * (t.tileHeight - 2);
  t.columns = t.lastX / (t.tileWidth - 2) + 1;
  t.rows = t.lastY / (t.tileHeight - 2) + 1;
  return t;
}

void FlushToScreen_Displays(WindowRef) {
  if (!DisplaysReady() || FlushHoldFlag) return;
  GWorldPtr world = AppCallbacks.flushSource ? AppCallbacks.flushSource() : nullptr;
  if (!world) {
    if (!buildWORLD) FatalError("buildWORLD is nil.", "FlushToScreen_Displays()");
    world = buildWORLD;
  }
  FlushGWorldToWindow(world, gMainWindow);
}

void FlushGWorldToWindow(GWorldPtr world, WindowRef window) {
  BeginFrameGL(world);
  if (EngineSettings[kSettingCopyOnFlush]) DrawGWorldToWindowGL(world, window, CurrentGLRecord());
  if (AppCallbacks.presentationOverlay) AppCallbacks.presentationOverlay();
  EndFrameGL();
}

void DrawGWorldToWindowGL(GWorldPtr world, WindowRef, GLWindowRecord* record) {
  if (!world || !record) return;
  const PixMap* p = *world->portPixMap;
  const PixelLayout layout = LayoutOf(p);
  const SInt32 w = world->portRect.right - world->portRect.left;
  const SInt32 h = world->portRect.bottom - world->portRect.top;
  const GLFrameGeometry g = GetGLFrameGeometry();
  const SInt32 W = g.window.right - g.window.left;
  const SInt32 H = g.window.bottom - g.window.top;
  if (w <= 0 || h <= 0 || W <= 0 || H <= 0) return;
  const SInt32 rowBytes = p->rowBytes & kPixMapRowBytesMask;
  const SInt32 rowLength = rowBytes / layout.bytesPerPixel;
  const bool copyPath = gMainPrefs.graphicsMode == 0;
  const bool sameRect = w == W && h == H;
  const GWorldTiling tiles = TileGWorld(w, h);
  const SInt32 tw = tiles.tileWidth;
  const SInt32 th = tiles.tileHeight;

  // The raw picture and the tiles read back must not lose the rows that the
  // letterbox scissor would cut.
  if (copyPath) {
    glDisable(GL_SCISSOR_TEST);
    DrawPixelsIntoBackBuffer(p, layout, w, h, W, H, rowLength);
  }
  LoadLetterboxProjection(w, h);

  const bool drawTiles = !copyPath || !sameRect;
  if (drawTiles && tiles.columns > 0) {
    glEnable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
    int next = 0;
    // More tiles than names: the names are reused in turn, each tile drawn
    // before the next upload.
    auto nameFor = [&]() { return static_cast<GLuint>(record->textureNames[next++ % kGLWindowTextureCount]); };
    const float fw = static_cast<float>(tw);
    const float fh = static_cast<float>(th);
    if (copyPath) {
      const SInt32 rx = w < W ? 1 : 0;
      const SInt32 ry = h < H ? 1 : 0;
      for (SInt32 y = tiles.lastY; y >= 0; y -= th - 2)
        for (SInt32 x = tiles.lastX; x >= 0; x -= tw - 2) {
          BindTile(nameFor(), layout, tw, th, rowLength);
          CopyTileFromBackBuffer(x, y, tw, th, rx, ry, W, H);
          glBegin(GL_QUADS);
          glTexCoord2f(1 / fw, 1 - 1 / fh);
          glVertex2f(static_cast<float>(x), static_cast<float>(y));
          glTexCoord2f((fw - 1) / fw, 1 - 1 / fh);
          glVertex2f(static_cast<float>(x + tw - 2), static_cast<float>(y));
          glTexCoord2f((fw - 1) / fw, 1 - (fh - 1) / fh);
          glVertex2f(static_cast<float>(x + tw - 2), static_cast<float>(y + th - 2));
          glTexCoord2f(1 / fw, 1 - (fh - 1) / fh);
          glVertex2f(static_cast<float>(x), static_cast<float>(y + th - 2));
          glEnd();
        }
    } else {
      const auto* base = reinterpret_cast<const UInt8*>(p->baseAddr);
      for (SInt32 y = 0; y <= tiles.lastY; y += th - 2)
        for (SInt32 x = 0; x <= tiles.lastX; x += tw - 2) {
          const SInt32 ex = x > 0 ? 1 : 0;
          const SInt32 ey = y > 0 ? 1 : 0;
          const SInt32 sx = x - ex;
          const SInt32 sy = y - ey;
          const SInt32 quadRight = std::min(x + tw - 2, w);
          const SInt32 quadBottom = std::min(y + th - 2, h);
          if (quadRight <= x || quadBottom <= y) continue;
          BindTile(nameFor(), layout, tw, th, rowLength);
          UploadTexSubImageClipped(GL_TEXTURE_2D, 0, 0, 0, std::min(tw, w - sx), std::min(th, h - sy), GL_BGRA,
                                   layout.type, base + static_cast<ptrdiff_t>(sy) * rowBytes + sx * layout.bytesPerPixel);
          const float s0 = ex / fw;
          const float t0 = ey / fh;
          const float s1 = (ex + quadRight - x) / fw;
          const float t1 = (ey + quadBottom - y) / fh;
          glBegin(GL_QUADS);
          glTexCoord2f(s0, t0);
          glVertex2i(x, y);
          glTexCoord2f(s1, t0);
          glVertex2i(quadRight, y);
          glTexCoord2f(s1, t1);
          glVertex2i(quadRight, quadBottom);
          glTexCoord2f(s0, t1);
          glVertex2i(x, quadBottom);
          glEnd();
        }
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  }
  // The bars: the upload path always; the copy path where its raw picture
  // could show outside the letterbox.
  if (!copyPath || drawTiles) DrawBlackBars(w, h, W, H);
  if (copyPath) SetScissorRect(&ScreenRect);
  glRasterPos2i(0, h);
  glPixelZoom(1, 1);
}

void UploadTexSubImageClipped(UInt32 target, SInt32 level, SInt32 x, SInt32 y, SInt32 width, SInt32 height,
                              UInt32 format, UInt32 type, const void* pixels) {
  GLint textureWidth = 0;
  GLint textureHeight = 0;
  glGetTexLevelParameteriv(target, level, GL_TEXTURE_WIDTH, &textureWidth);
  glGetTexLevelParameteriv(target, level, GL_TEXTURE_HEIGHT, &textureHeight);
  if (x >= textureWidth || y >= textureHeight) return;
  const SInt32 bytesPerPixel = type == GL_UNSIGNED_SHORT_1_5_5_5_REV ? 2 : 4;
  const auto* source = static_cast<const UInt8*>(pixels);
  if (x < 0) {
    source += static_cast<ptrdiff_t>(-x) * bytesPerPixel;
    width += x;
    x = 0;
  }
  if (y < 0) {
    GLint rowLength = 0;
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
    source += static_cast<ptrdiff_t>(-y) * (rowLength ? rowLength : width) * bytesPerPixel;
    height += y;
    y = 0;
  }
  width = std::min(width, textureWidth - x);
  height = std::min(height, textureHeight - y);
  if (width <= 0 || height <= 0) return;
  glTexSubImage2D(target, level, x, y, width, height, format, type, source);
}

void ResetKeySampler() { std::memset(&gSampler, 0, sizeof gSampler); }

void SampleKeyPresses() {
  KeyMap keys;
  ReadKeyMap(keys);
  for (int k = 0; k < kKeyCount; ++k) {
    const bool down = (keys[k >> 3] >> (7 - (k & 7))) & 1;
    if (down) {
      if (gSampler.presses[k] == gSampler.releases[k] && gSampler.presses[k] <= kSamplerLimit)
        AtomicAddByte(1, &gSampler.presses[k]);
    } else if (gSampler.presses[k] > gSampler.releases[k] && gSampler.releases[k] <= kSamplerLimit) {
      AtomicAddByte(1, &gSampler.releases[k]);
    }
  }
}

UInt8 TakeKeyPress(UInt8 key) {
  const int k = key & (kKeyCount - 1);
  if (gSampler.presses[k] == 0) {
    gSampler.pending[k] = 0;
    return 0;
  }
  if (gSampler.releases[k] > 0 && gSampler.pending[k]) {
    gSampler.pending[k] = 0;
    AtomicAddByte(-1, &gSampler.presses[k]);
    AtomicAddByte(-1, &gSampler.releases[k]);
    return 1;
  }
  gSampler.pending[k] = 1;
  return 1;
}
