// The OpenGL context layer, the per-window GL record and the frame: the
// letterbox of the logical screen in the window, the scissor, the fade overlay.
#pragma once

#include <cstdint>

#include "GWorld.h"
#include "MacTypes.h"

struct OpaqueWindowPtr;
typedef OpaqueWindowPtr* WindowRef;

typedef void* GLContextRef;
typedef void* GLPixelFormatRef;

constexpr SInt32 kGLSwapIntervalParameter = 222;

// The context layer ------------------------------------------------------------

// A zero-filled 40-byte pixel-format record (size 40, version 1, flags 37,
// RGBA, 24 colour bits); the arguments are not read. Nil when memory is short.
GLPixelFormatRef ChooseGLPixelFormat(void* devices, SInt32 deviceCount, const SInt32* attributes);
void DisposeGLPixelFormat(GLPixelFormatRef format);
// A context on the main window, or nil.
GLContextRef CreateGLContext(GLPixelFormatRef format, GLContextRef share);
UInt8 DeleteGLContext(GLContextRef context);
UInt8 UpdateGLContext(GLContextRef context);
UInt8 SetGLDrawable(GLContextRef context, GWorldPtr port);
// Current on the main window; nil releases the current context.
UInt8 SetCurrentGLContext(GLContextRef context);
// Swaps the window of the current context, whatever context is given.
void SwapGLBuffers(GLContextRef context);
// Parameter 222 (swap interval) only: 1 when it was set; else 0.
UInt8 SetGLContextInteger(GLContextRef context, SInt32 parameter, const SInt32* value);

// GL records -------------------------------------------------------------------

struct GLWindowRecord {
  GLContextRef context;
  UInt32* textureNames;  // 64 names, generated together
};
constexpr int kGLWindowTextureCount = 64;

GLContextRef CreateGLContextForPort(GWorldPtr port);
void DestroyGLContext(GLContextRef context);
// Makes (or keeps) the window's record and sets the viewport to the drawable.
UInt8 BuildGLForWindow(WindowRef window);
void DisposeGLForWindow(WindowRef window);
// The record the last BeginFrameGL (or build) used; nil before.
GLWindowRecord* CurrentGLRecord();

// The frame ---------------------------------------------------------------------

// The logical screen; Graphics II's window set-up writes it.
extern Rect ScreenRect;

// The world's port rectangle is the logical screen.
void BeginFrameGL(GWorldPtr world);
// A rectangle of logical pixels.
void SetScissorRect(const Rect* rect);
void EndFrameGL();
void DrawFadeOverlay(const Rect* rect);

// The mapping of the last BeginFrameGL: scale and offsets in window pixels.
struct GLFrameGeometry {
  Rect logical;
  Rect window;
  float scale;
  float offsetH;
  float offsetV;
};
GLFrameGeometry GetGLFrameGeometry();

void EnableVSync();
void DisableVSync();
UInt8 VSyncEnabled();

// Fades ---------------------------------------------------------------------------

struct FadeOverlayState {
  SInt16 red;    // 0..255; never changed, so the overlay is black
  SInt16 green;
  SInt16 blue;
  UInt16 level;  // 0 clear .. 255 covered
};
extern FadeOverlayState FadeOverlay;

void SetFadeDark();
void SetFadeClear();
SInt32 ResetFade();
// 255 - level: 255 fully visible, 0 black.
SInt16 GetFadeBrightness();
void FadeInStep(UInt8 n);
void FadeOutStep(UInt8 n);
// One step and one flush per tick until clear (or covered).
void FadeInScreen(UInt8 n);
void FadeOutScreen(UInt8 n);
