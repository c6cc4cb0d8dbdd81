// Fills, copies and depth conversions between 640 x 480 pixel maps beside the
// same COPY16 calls made directly and plain per-pixel loops of the formulas;
// the upload-path flush into a 1280 x 1024 window beside one whole-picture
// texture upload and one quad (run under Xvfb).
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <vector>

#include "AppGlobals.h"
#include "Backend.h"
#include "BlitDispatch.h"
#include "Bundle.h"
#include "DisplayFlush.h"
#include "DisplayList.h"
#include "DisplayStartup.h"
#include "GLContext.h"
#include "GLFrame.h"
#include "GWorld.h"
#include "GraphicsStartup.h"
#include "MainPrefs.h"
#include "MainWindow.h"
#include "PixMapDrawing.h"
#include "PixMapList.h"
#include "PortDrawing.h"
#include "Ports.h"
#include "ScriptedBackend.h"
#include "Strings.h"
#include "SystemUI.h"
#include "TextLayout.h"

namespace {

constexpr SInt16 kWidth = 640;
constexpr SInt16 kHeight = 480;
const Rect kScreen = {0, 0, kHeight, kWidth};

struct World {
  GWorldPtr world = nullptr;
  explicit World(SInt16 depth) { CreateGWorld(&world, depth, &kScreen, nullptr, 0, 0); }
  ~World() { DestroyGWorld(world); }
  PixMapHandle handle() const { return world->portPixMap; }
  PixMap* map() const { return *world->portPixMap; }
};

void FillRectForeColorBench(benchmark::State& state) {
  World w(16);
  SetCurrentPort(w.world);
  w.world->foreColor = ColorRGB{0x1234, 0x5678, 0x9ABC};
  for (auto _ : state) FillRectForeColor(&kScreen);
  benchmark::DoNotOptimize(w.map()->baseAddr[0]);
}
BENCHMARK(FillRectForeColorBench);

void FillWithCOPY16Directly(benchmark::State& state) {
  World w(16);
  for (auto _ : state)
    COPY16(w.handle(), w.handle(), nullptr, &kScreen, &kScreen, nullptr, 0, 0x0953, nullptr, nullptr, 0, 0, 0,
           nullptr);
  benchmark::DoNotOptimize(w.map()->baseAddr[0]);
}
BENCHMARK(FillWithCOPY16Directly);

void CopyPixMapBitsBench(benchmark::State& state) {
  World src(16), dst(16);
  const SInt16 mode = static_cast<SInt16>(state.range(0));
  for (auto _ : state) CopyPixMapBits(src.map(), dst.map(), &kScreen, &kScreen, mode, nullptr);
  benchmark::DoNotOptimize(dst.map()->baseAddr[0]);
}
BENCHMARK(CopyPixMapBitsBench)->Arg(0)->Arg(36);

void CopyWithCOPY16Directly(benchmark::State& state) {
  World src(16), dst(16);
  const BlitMode mode = static_cast<BlitMode>(state.range(0));
  for (auto _ : state)
    COPY16(src.handle(), dst.handle(), nullptr, &kScreen, &kScreen, nullptr, mode, kBlitNoColor, nullptr, nullptr,
           0, 0, 0, nullptr);
  benchmark::DoNotOptimize(dst.map()->baseAddr[0]);
}
BENCHMARK(CopyWithCOPY16Directly)->Arg(0)->Arg(1);

void CopyBits16To32Bench(benchmark::State& state) {
  World src(16), dst(32);
  for (auto _ : state) CopyBits16To32(src.handle(), dst.handle(), &kScreen, &kScreen, &kScreen);
  benchmark::DoNotOptimize(dst.map()->baseAddr[0]);
}
BENCHMARK(CopyBits16To32Bench);

void CopyBits32To16Bench(benchmark::State& state) {
  World src(32), dst(16);
  for (auto _ : state) CopyBits32To16(src.handle(), dst.handle(), &kScreen, &kScreen, &kScreen);
  benchmark::DoNotOptimize(dst.map()->baseAddr[0]);
}
BENCHMARK(CopyBits32To16Bench);

void CopyBits8To16Bench(benchmark::State& state) {
  World src(8), dst(16);
  for (auto _ : state) CopyBits8To16(src.handle(), dst.handle(), &kScreen, &kScreen, &kScreen, nullptr, nullptr);
  benchmark::DoNotOptimize(dst.map()->baseAddr[0]);
}
BENCHMARK(CopyBits8To16Bench);

// The formulas as plain loops over the same rows.
template <typename In, typename Out, typename F>
void PlainLoop(const World& src, const World& dst, F convert) {
  const PixMap* s = src.map();
  const PixMap* d = dst.map();
  for (int y = 0; y < kHeight; ++y) {
    const auto* in = reinterpret_cast<const In*>(s->baseAddr + y * (s->rowBytes & 0x7FFF));
    auto* out = reinterpret_cast<Out*>(d->baseAddr + y * (d->rowBytes & 0x7FFF));
    for (int x = 0; x < kWidth; ++x) out[x] = convert(in[x]);
  }
}

void PlainLoop16To32(benchmark::State& state) {
  World src(16), dst(32);
  for (auto _ : state)
    PlainLoop<UInt16, UInt32>(src, dst, [](UInt16 v) {
      const UInt32 r = v >> 10 & 0x1F, g = v >> 5 & 0x1F, b = v & 0x1F;
      return 0xFF000000u | ((r << 3) | (r >> 2)) << 16 | ((g << 3) | (g >> 2)) << 8 | ((b << 3) | (b >> 2));
    });
  benchmark::DoNotOptimize(dst.map()->baseAddr[0]);
}
BENCHMARK(PlainLoop16To32);

void PlainLoop32To16(benchmark::State& state) {
  World src(32), dst(16);
  for (auto _ : state)
    PlainLoop<UInt32, UInt16>(src, dst, [](UInt32 x) {
      return static_cast<UInt16>((x >> 9 & 0x7C00) | (x >> 6 & 0x03E0) | (x >> 3 & 0x001F));
    });
  benchmark::DoNotOptimize(dst.map()->baseAddr[0]);
}
BENCHMARK(PlainLoop32To16);

void PlainLoop8To16(benchmark::State& state) {
  World src(8), dst(16);
  std::vector<UInt16> table(256);
  for (int i = 0; i < 256; ++i) table[i] = static_cast<UInt16>(i * 0x0421 & 0x7FFF);
  for (auto _ : state) PlainLoop<UInt8, UInt16>(src, dst, [&](UInt8 v) { return table[v]; });
  benchmark::DoNotOptimize(dst.map()->baseAddr[0]);
}
BENCHMARK(PlainLoop8To16);

// The display started as the game starts it, then widened to the whole
// 1280 x 1024 device: scale 2 with bars of 32 rows.
bool StartDisplayOnce() {
  static int state = 0;  // 0 not tried, 1 up, 2 failed
  if (state) return state == 1;
  state = 2;
  auto* backend = new ScriptedBackend(ScriptedBackend::Options{true});
  SetBackend(backend);
  if (!backend->InitVideo()) return false;
  SetGLWindowAttributes();
  InitGWorldStack();
  InitPixMapList();
  InitDisplayList();
  InitTextParamStack();
  InstallGraphicsDisplayServices();
  InstallDisplayLayerServices();
  EngineSettings[kSettingGameOwnsScreen] = 1;
  EngineSettings[kSettingCopyOnFlush] = 1;
  EngineSettings[kSettingDepth] = 16;
  gMainPrefs.fullScreen = 0;
  gMainPrefs.graphicsMode = 1;
  gWindowSizes[0] = gWindowSizes[1] = WindowSizePair{kWidth, kHeight};
  CToPStr("Kestrova", ApplicationName);
  ClearDisplaysReady();
  StartDisplaySystem();
  if (!buildWORLD || !DisplaysReady()) return false;
  SetWindowContentSize(1280, 1024);
  DisableVSync();
  state = 1;
  return true;
}

void UploadPathFlush(benchmark::State& state) {
  if (!StartDisplayOnce()) {
    state.SkipWithError("no GL window");
    return;
  }
  for (auto _ : state) {
    FlushToScreen(nullptr);
    glFinish();
  }
}
BENCHMARK(UploadPathFlush)->Unit(benchmark::kMicrosecond);

// The least a hand-written presenter does: the whole picture in one upload,
// one quad over the letterboxed area, the swap.
void OneUploadAndOneQuad(benchmark::State& state) {
  if (!StartDisplayOnce()) {
    state.SkipWithError("no GL window");
    return;
  }
  const PixMap* p = *buildPMAP;
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB5, 1024, 512, 0, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, nullptr);
  const float s = kWidth / 1024.0f, t = kHeight / 512.0f;
  const GLfloat texCoords[8] = {0, 0, s, 0, 0, t, s, t};
  const GLfloat vertices[8] = {-1, 30.0f / 32, 1, 30.0f / 32, -1, -30.0f / 32, 1, -30.0f / 32};
  for (auto _ : state) {
    glViewport(0, 0, 1280, 1024);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, (p->rowBytes & 0x7FFF) / 2);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kWidth, kHeight, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, p->baseAddr);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, vertices);
    glTexCoordPointer(2, GL_FLOAT, 0, texCoords);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_TEXTURE_2D);
    SwapCurrentGLWindow();
    glFinish();
  }
  glDeleteTextures(1, &name);
}
BENCHMARK(OneUploadAndOneQuad)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
