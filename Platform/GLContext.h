// OpenGL contexts on the platform's windows. Windows are the SDL_Window*
// behind a backend id (Backend::NativeWindow); contexts are opaque.
#pragma once

// What the first GL window asks for: 8-bit red, green and blue, no alpha,
// depth or stencil, double buffered, compatibility profile. Call after video
// is up and before the window is made.
void SetGLWindowAttributes();

// Nil on failure; the new context is current on the window.
void* CreateGLContextOnWindow(void* window);
void DeleteGLContextHandle(void* context);
// Nil context releases the current one. True on success.
bool MakeGLContextCurrent(void* window, void* context);
void* CurrentGLContextHandle();
// Swaps the window of the current context; nothing when none is current.
void SwapCurrentGLWindow();
// True when the interval was set.
bool SetGLSwapInterval(int interval);
// The drawable's size in pixels; false for no window.
bool GetGLDrawableSize(void* window, int& width, int& height);

// Tests only: called inside SwapCurrentGLWindow just before the swap, while
// the finished frame is still in the back buffer. Nil removes it.
using BeforeSwapHook = void (*)(void* context);
void SetBeforeSwapHook(BeforeSwapHook hook, void* context);
