#include "GLContext.h"

#include <SDL.h>
#include <malloc.h>

namespace {

BeforeSwapHook gBeforeSwap = nullptr;
void* gBeforeSwapContext = nullptr;

// The heap is looked at every so many swaps; what was freed since the last
// trim goes back to the system once it comes to this much.
constexpr unsigned kTrimCheckSwaps = 64;
constexpr size_t kTrimGrowth = 4 * 1024 * 1024;
unsigned gSwapsSinceCheck = 0;
size_t gFreeAfterTrim = 0;

// Start-up's decoding and the driver's shader builds free far more than a
// frame's blocks; those pages are handed back between frames, when the
// driver's own blocks are at rest, so frames keep theirs.
void TrimHeapWhenGrown() {
  if (++gSwapsSinceCheck < kTrimCheckSwaps) return;
  gSwapsSinceCheck = 0;
  const size_t freeBytes = mallinfo2().fordblks;
  if (freeBytes < gFreeAfterTrim + kTrimGrowth) {
    // Freed memory taken up again lowers the mark.
    if (freeBytes < gFreeAfterTrim) gFreeAfterTrim = freeBytes;
    return;
  }
  malloc_trim(0);
  gFreeAfterTrim = freeBytes;
}

}  // namespace

void SetGLWindowAttributes() {
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

void* CreateGLContextOnWindow(void* window) {
  if (!window) return nullptr;
  // A software GL driver frees its per-frame command blocks at the top of the
  // heap; trimming them away would make it fault fresh pages in every frame.
  mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
  return SDL_GL_CreateContext(static_cast<SDL_Window*>(window));
}

void DeleteGLContextHandle(void* context) {
  if (context) SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context));
}

bool MakeGLContextCurrent(void* window, void* context) {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
  return SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window), static_cast<SDL_GLContext>(context)) == 0;
}

void* CurrentGLContextHandle() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return nullptr;
  return SDL_GL_GetCurrentContext();
}

void SwapCurrentGLWindow() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  SDL_Window* window = SDL_GL_GetCurrentWindow();
  if (!window) return;
  if (gBeforeSwap) gBeforeSwap(gBeforeSwapContext);
  SDL_GL_SwapWindow(window);
  TrimHeapWhenGrown();
}

bool SetGLSwapInterval(int interval) {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
  return SDL_GL_SetSwapInterval(interval) == 0;
}

bool GetGLDrawableSize(void* window, int& width, int& height) {
  width = height = 0;
  if (!window) return false;
  SDL_GL_GetDrawableSize(static_cast<SDL_Window*>(window), &width, &height);
  return true;
}

void SetBeforeSwapHook(BeforeSwapHook hook, void* context) {
  gBeforeSwap = hook;
  gBeforeSwapContext = context;
}
