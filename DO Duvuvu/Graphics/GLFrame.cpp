#include "GLFrame.h"

#include <GL/gl.h>

#include <cstring>

#include "AppCallbacks.h"
#include "Backend.h"
#include "DisplayFlush.h"
#include "GLContext.h"
#include "Memory.h"
#include "TickRecords.h"
#include "Windows.h"

Rect ScreenRect = {0, 0, 0, 0};
FadeOverlayState FadeOverlay = {0, 0, 0, 0};

namespace {

GLWindowRecord* gCurrentGLRecord = nullptr;
Rect gLogicalRect = {0, 0, 0, 0};
Rect gWindowRect = {0, 0, 0, 0};
UInt8 gVSync = 0;

constexpr SInt32 kPixelFormatSize = 40;

void* NativeWindowOf(WindowRef window) {
  return window ? GetBackend().NativeWindow(WindowId(window)) : nullptr;
}

// The content of a window as its drawable, moved to the origin.
Rect DrawableRect(WindowRef window) {
  int width = 0;
  int height = 0;
  GetGLDrawableSize(NativeWindowOf(window), width, height);
  return Rect{0, 0, static_cast<SInt16>(height), static_cast<SInt16>(width)};
}

struct Mapping {
  float s;
  float ox;
  float oy;
};

Mapping ComputeMapping() {
  const float lw = static_cast<float>(gLogicalRect.right - gLogicalRect.left);
  const float lh = static_cast<float>(gLogicalRect.bottom - gLogicalRect.top);
  const float ww = static_cast<float>(gWindowRect.right - gWindowRect.left);
  const float wh = static_cast<float>(gWindowRect.bottom - gWindowRect.top);
  Mapping m = {1.0f, 0.0f, 0.0f};
  if (lw > 0 && lh > 0) {
    const float sx = ww / lw;
    const float sy = wh / lh;
    m.s = sx < sy ? sx : sy;
  }
  m.ox = (ww - lw * m.s) * 0.5f;
  m.oy = (wh - lh * m.s) * 0.5f;
  return m;
}

Rect AtOrigin(const Rect& r) {
  return Rect{0, 0, static_cast<SInt16>(r.bottom - r.top), static_cast<SInt16>(r.right - r.left)};
}

}  // namespace

// The context layer ----------------------------------------------------------------

GLPixelFormatRef ChooseGLPixelFormat(void*, SInt32, const SInt32*) {
  Ptr record = NewPtrBlockClear(kPixelFormatSize);
  if (!record) return nullptr;
  const UInt16 size = kPixelFormatSize;
  const UInt16 version = 1;
  const UInt32 flags = 37;  // draw to window, support OpenGL, double buffer
  std::memcpy(record + 0, &size, 2);
  std::memcpy(record + 2, &version, 2);
  std::memcpy(record + 4, &flags, 4);
  record[8] = 0;   // RGBA
  record[9] = 24;  // colour bits
  return record;
}

void DisposeGLPixelFormat(GLPixelFormatRef format) {
  if (format) DisposePtrBlock(format);
}

GLContextRef CreateGLContext(GLPixelFormatRef, GLContextRef) { return CreateGLContextOnWindow(NativeWindowOf(gMainWindow)); }

UInt8 DeleteGLContext(GLContextRef context) {
  if (!context) return 0;
  DeleteGLContextHandle(context);
  return 1;
}

UInt8 UpdateGLContext(GLContextRef) { return 1; }

UInt8 SetGLDrawable(GLContextRef, GWorldPtr) { return 1; }

UInt8 SetCurrentGLContext(GLContextRef context) {
  return MakeGLContextCurrent(context ? NativeWindowOf(gMainWindow) : nullptr, context) ? 1 : 0;
}

void SwapGLBuffers(GLContextRef) { SwapCurrentGLWindow(); }

UInt8 SetGLContextInteger(GLContextRef, SInt32 parameter, const SInt32* value) {
  if (parameter != kGLSwapIntervalParameter || !value) return 0;
  return SetGLSwapInterval(*value) ? 1 : 0;
}

// GL records ----------------------------------------------------------------------

GLContextRef CreateGLContextForPort(GWorldPtr port) {
  const SInt32 attributes[] = {4, 73, 5, 12, 16, 0};  // not read: see SetGLWindowAttributes
  GLPixelFormatRef format = ChooseGLPixelFormat(nullptr, 0, attributes);
  if (!format) return nullptr;
  GLContextRef context = CreateGLContext(format, nullptr);
  // The format record goes on every path, not only on success.
  DisposeGLPixelFormat(format);
  if (!context) return nullptr;
  if (!SetGLDrawable(context, port) || !SetCurrentGLContext(context)) {
    DeleteGLContext(context);
    return nullptr;
  }
  return context;
}

void DestroyGLContext(GLContextRef context) {
  if (!context) return;
  SetCurrentGLContext(nullptr);
  SetGLDrawable(context, nullptr);
  DeleteGLContext(context);
}

UInt8 BuildGLForWindow(WindowRef window) {
  auto* record = reinterpret_cast<GLWindowRecord*>(GetWindowReference(window));
  if (!record) {
    record = new GLWindowRecord{};
    record->context = CreateGLContextForPort(GetWindowManagerPort(window));
    if (!record->context) {
      delete record;
      return 0;
    }
    record->textureNames = new UInt32[kGLWindowTextureCount]();
    glGenTextures(kGLWindowTextureCount, record->textureNames);
    if (glGetError() != GL_NO_ERROR) {
      delete[] record->textureNames;
      DestroyGLContext(record->context);
      delete record;
      return 0;
    }
    SetWindowReference(window, reinterpret_cast<uintptr_t>(record));
    gCurrentGLRecord = record;
  }
  UpdateGLContext(record->context);
  SetGLDrawable(record->context, GetWindowManagerPort(window));
  SetCurrentGLContext(record->context);
  const Rect content = DrawableRect(window);
  glViewport(0, 0, content.right - content.left, content.bottom - content.top);
  return 1;
}

void DisposeGLForWindow(WindowRef window) {
  auto* record = reinterpret_cast<GLWindowRecord*>(GetWindowReference(window));
  if (!record) return;
  glDeleteTextures(kGLWindowTextureCount, record->textureNames);
  delete[] record->textureNames;
  DestroyGLContext(record->context);
  if (gCurrentGLRecord == record) gCurrentGLRecord = nullptr;
  delete record;
  SetWindowReference(window, 0);
}

GLWindowRecord* CurrentGLRecord() { return gCurrentGLRecord; }

// The frame -------------------------------------------------------------------------

void BeginFrameGL(GWorldPtr world) {
  gCurrentGLRecord = reinterpret_cast<GLWindowRecord*>(GetWindowReference(gMainWindow));
  gLogicalRect = AtOrigin(world->portRect);
  gWindowRect = DrawableRect(gMainWindow);
  // Without a GL record there is nothing to draw with.
  if (!gCurrentGLRecord) return;
  const Mapping m = ComputeMapping();

  SetScissorRect(&ScreenRect);
  for (GLenum cap : {GL_ALPHA_TEST, GL_BLEND, GL_DEPTH_TEST, GL_DITHER, GL_FOG, GL_LIGHTING, GL_COLOR_LOGIC_OP,
                     GL_STENCIL_TEST, GL_TEXTURE_1D, GL_TEXTURE_2D})
    glDisable(cap);
  glPixelTransferi(GL_MAP_COLOR, 0);
  glPixelTransferi(GL_RED_SCALE, 1);
  glPixelTransferi(GL_RED_BIAS, 0);
  glPixelTransferi(GL_GREEN_SCALE, 1);
  glPixelTransferi(GL_GREEN_BIAS, 0);
  glPixelTransferi(GL_BLUE_SCALE, 1);
  glPixelTransferi(GL_BLUE_BIAS, 0);
  glPixelTransferi(GL_ALPHA_SCALE, 1);
  glPixelTransferi(GL_ALPHA_BIAS, 0);

  GLContextRef context = gCurrentGLRecord->context;
  SetGLDrawable(context, GetWindowManagerPort(gMainWindow));
  SetCurrentGLContext(context);
  const SInt32 interval = VSyncEnabled();
  SetGLContextInteger(context, kGLSwapIntervalParameter, &interval);

  glClearColor(0, 0, 0, 0);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glShadeModel(GL_FLAT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

  glDisable(GL_SCISSOR_TEST);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_SCISSOR_TEST);

  const int w = gLogicalRect.right - gLogicalRect.left;
  const int h = gLogicalRect.bottom - gLogicalRect.top;
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glScalef(2.0f / (w + 2.0f * m.ox / m.s), -2.0f / (h + 2.0f * m.oy / m.s), 1.0f);
  glTranslatef(static_cast<float>(-w / 2), static_cast<float>(-h / 2), 0.0f);

  glRasterPos2i(0, h);
  glPixelZoom(1, 1);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

void SetScissorRect(const Rect* rect) {
  const Mapping m = ComputeMapping();
  const auto x = static_cast<GLint>(m.ox + static_cast<float>(rect->left - gLogicalRect.left) * m.s);
  const auto y = static_cast<GLint>(m.s * static_cast<float>(gLogicalRect.bottom - rect->bottom) + m.oy);
  const auto width = static_cast<GLsizei>(static_cast<float>(rect->right - rect->left) * m.s);
  const auto height = static_cast<GLsizei>(static_cast<float>(rect->bottom - rect->top) * m.s);
  glScissor(x, y, width, height);
  glEnable(GL_SCISSOR_TEST);
}

void EndFrameGL() {
  DrawFadeOverlay(&gLogicalRect);
  SwapGLBuffers(gCurrentGLRecord ? gCurrentGLRecord->context : nullptr);
}

void DrawFadeOverlay(const Rect* rect) {
  if (AppCallbacks.fadeOverlay) AppCallbacks.fadeOverlay();
  if (FadeOverlay.level == 0) return;
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(FadeOverlay.red / 255.0f, FadeOverlay.green / 255.0f, FadeOverlay.blue / 255.0f,
            FadeOverlay.level / 255.0f);
  const float l = rect->left;
  const float t = rect->top;
  const float r = rect->right;
  const float b = rect->bottom;
  const GLfloat vertices[12] = {l, t, 0, r, t, 0, l, b, 0, r, b, 0};
  // The quad has no texture: a stale coordinate pointer must not be read.
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, vertices);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisable(GL_BLEND);
}

GLFrameGeometry GetGLFrameGeometry() {
  const Mapping m = ComputeMapping();
  return GLFrameGeometry{gLogicalRect, gWindowRect, m.s, m.ox, m.oy};
}

void EnableVSync() { gVSync = 1; }
void DisableVSync() { gVSync = 0; }
UInt8 VSyncEnabled() { return gVSync; }

// Fades ---------------------------------------------------------------------------------

void SetFadeDark() { FadeOverlay.level = 255; }
void SetFadeClear() { FadeOverlay.level = 0; }

SInt32 ResetFade() {
  FadeOverlay.level = 0;
  return 0;
}

SInt16 GetFadeBrightness() { return static_cast<SInt16>(255 - FadeOverlay.level); }

void FadeInStep(UInt8 n) {
  SInt16 b = static_cast<SInt16>(255 - FadeOverlay.level + n);
  if (b > 255) b = 255;
  FadeOverlay.level = static_cast<UInt16>(255 - b);
}

void FadeOutStep(UInt8 n) {
  SInt16 b = static_cast<SInt16>(255 - FadeOverlay.level - n);
  if (b < 0) b = 0;
  FadeOverlay.level = static_cast<UInt16>(255 - b);
}

void FadeInScreen(UInt8 n) {
  if (n == 0) return;  // would never end
  while (FadeOverlay.level > 0) {
    RecordTickCount();
    FadeInStep(n);
    FlushToScreen(nullptr);
    DelaySinceTickRecord(1);
  }
}

void FadeOutScreen(UInt8 n) {
  if (n == 0) return;
  while (FadeOverlay.level < 255) {
    RecordTickCount();
    FadeOutStep(n);
    FlushToScreen(nullptr);
    DelaySinceTickRecord(1);
  }
}
