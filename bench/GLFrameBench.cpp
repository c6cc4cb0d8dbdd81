// A game-like frame through the engine beside the same quads in plain GL, on
// one hidden 640 x 480 window (run with SDL_VIDEODRIVER=offscreen or under Xvfb).
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cstdio>
#include <vector>

#include "Backend.h"
#include "GLContext.h"
#include "GLFrame.h"
#include "GLImage.h"
#include "GWorld.h"
#include "ScriptedBackend.h"
#include "Windows.h"

namespace {

constexpr int kQuads = 200;

// One window, context, screen world and the two images for the whole run.
struct Scene {
  ScriptedBackend* backend = nullptr;
  WindowRef window = nullptr;
  GWorldPtr screen = nullptr;
  GLImage background;
  GLImage sprite;
  bool ready = false;
};

Scene& GetScene() {
  static Scene* scene = nullptr;
  if (scene) return *scene;
  scene = new Scene;
  scene->backend = new ScriptedBackend(ScriptedBackend::Options{true});
  SetBackend(scene->backend);
  if (!scene->backend->InitVideo()) return *scene;
  SetGLWindowAttributes();
  const Rect content = {0, 0, 480, 640};
  if (CreateWindowRef(0, 0, &content, &scene->window) != 0) return *scene;
  gMainWindow = scene->window;
  if (!BuildGLForWindow(scene->window)) return *scene;
  CreateGWorld(&scene->screen, 16, &content, nullptr, 0, 0);
  ScreenRect = content;
  std::vector<UInt32> pixels(640 * 480, 0xFF336699u);
  MakeGLImage(&scene->background, pixels.data(), 640 * 4, 32, &content);
  const Rect spriteRect = {0, 0, 64, 64};
  MakeGLImage(&scene->sprite, pixels.data(), 64 * 4, 32, &spriteRect);
  scene->ready = true;
  return *scene;
}

Rect SpriteRect(int i) {
  const SInt16 left = static_cast<SInt16>((i * 37) % 576);
  const SInt16 top = static_cast<SInt16>((i * 53) % 416);
  return Rect{top, left, static_cast<SInt16>(top + 64), static_cast<SInt16>(left + 64)};
}

void BM_EngineFrame(benchmark::State& state) {
  Scene& scene = GetScene();
  if (!scene.ready) {
    state.SkipWithError("no GL window");
    return;
  }
  const Rect all = {0, 0, 480, 640};
  FadeOverlay.level = 128;
  for (auto _ : state) {
    BeginFrameGL(scene.screen);
    DrawGLImage(&scene.background, &all);
    for (int i = 0; i < kQuads; ++i) {
      scene.sprite.rotation = static_cast<float>(i * 7 % 360);
      scene.sprite.red = 0.8f;
      const Rect r = SpriteRect(i);
      DrawGLImage(&scene.sprite, &r);
    }
    DrawFadeOverlay(&all);
    glFinish();
  }
  FadeOverlay.level = 0;
}
BENCHMARK(BM_EngineFrame)->Unit(benchmark::kMicrosecond);

// The same picture with the least GL a hand-written renderer would use.
void BM_PlainGLFrame(benchmark::State& state) {
  Scene& scene = GetScene();
  if (!scene.ready) {
    state.SkipWithError("no GL window");
    return;
  }
  for (auto _ : state) {
    glDisable(GL_SCISSOR_TEST);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(2.0f / 640, -2.0f / 480, 1);
    glTranslatef(-320, -240, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBindTexture(GL_TEXTURE_2D, scene.background.textureName);
    const GLfloat bg[12] = {0, 0, 0, 640, 0, 0, 0, 480, 0, 640, 480, 0};
    glVertexPointer(3, GL_FLOAT, 0, bg);
    glTexCoordPointer(2, GL_FLOAT, 0, scene.background.texCoords);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor4f(0.8f, 1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, scene.sprite.textureName);
    glTexCoordPointer(2, GL_FLOAT, 0, scene.sprite.texCoords);
    for (int i = 0; i < kQuads; ++i) {
      const Rect r = SpriteRect(i);
      const float cx = r.left + 32.0f;
      const float cy = r.top + 32.0f;
      glPushMatrix();
      glTranslatef(cx, cy, 0);
      glRotatef(static_cast<float>(i * 7 % 360), 0, 0, 1);
      glTranslatef(-cx, -cy, 0);
      const GLfloat v[12] = {static_cast<GLfloat>(r.left),  static_cast<GLfloat>(r.top),    0,
                             static_cast<GLfloat>(r.right), static_cast<GLfloat>(r.top),    0,
                             static_cast<GLfloat>(r.left),  static_cast<GLfloat>(r.bottom), 0,
                             static_cast<GLfloat>(r.right), static_cast<GLfloat>(r.bottom), 0};
      glVertexPointer(3, GL_FLOAT, 0, v);
      glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
      glPopMatrix();
    }
    glDisable(GL_TEXTURE_2D);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0, 0, 0, 128 / 255.0f);
    glVertexPointer(3, GL_FLOAT, 0, bg);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glDisable(GL_BLEND);
    glFinish();
  }
}
BENCHMARK(BM_PlainGLFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
