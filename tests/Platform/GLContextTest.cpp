#include <gtest/gtest.h>

#include <SDL.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "GLContext.h"

namespace {

// The sanitizer's allocator stands in for the C library's heap.
#if !defined(__SANITIZE_ADDRESS__)
long RssAnonKb() {
  long kb = -1;
  if (FILE* f = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, f))
      if (std::strncmp(line, "RssAnon:", 8) == 0) kb = std::atol(line + 8);
    std::fclose(f);
  }
  return kb;
}

long MinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

// Blocks under the C library's mmap threshold, so they come from the heap;
// each is written, so its pages are resident.
std::vector<void*> Touched(size_t count, size_t size) {
  std::vector<void*> blocks(count);
  for (void*& block : blocks) {
    block = std::malloc(size);
    std::memset(block, 1, size);
  }
  return blocks;
}

void FreeAll(std::vector<void*>& blocks) {
  for (void* block : blocks) std::free(block);
  blocks.clear();
}
#endif

// A bulk of memory freed at once (start-up's decoding) goes back to the
// system within a few swaps; what each frame takes and frees again is kept,
// so frames do not fault fresh pages in.
TEST(GLContextHeap, BulkFreedReturnsWhileFrameChurnStaysResident) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator stands in for the C library's heap";
#else
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  SetGLWindowAttributes();
  SDL_Window* window = SDL_CreateWindow("heap", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  ASSERT_NE(window, nullptr) << SDL_GetError();
  void* context = CreateGLContextOnWindow(window);
  ASSERT_NE(context, nullptr) << SDL_GetError();
  ASSERT_TRUE(MakeGLContextCurrent(window, context));
  auto frames = [](int count, size_t churnBlocks) {
    for (int i = 0; i < count; ++i) {
      std::vector<void*> churn = Touched(churnBlocks, 64 * 1024);
      FreeAll(churn);
      SwapCurrentGLWindow();
    }
  };
  frames(128, 0);

  std::vector<void*> bulk = Touched(768, 64 * 1024);  // 48 MiB
  const long held = RssAnonKb();
  FreeAll(bulk);
  EXPECT_GT(RssAnonKb(), held - 16 * 1024) << "freeing alone already gave the pages back";
  frames(128, 0);
  EXPECT_LT(RssAnonKb(), held - 32 * 1024);

  // 8 MiB taken and freed every frame: once resident, it stays so.
  frames(1, 128);
  const long before = MinorFaults();
  frames(256, 128);
  EXPECT_LT(MinorFaults() - before, 256 * 128);

  DeleteGLContextHandle(context);
  SDL_DestroyWindow(window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
#endif
}

}  // namespace
