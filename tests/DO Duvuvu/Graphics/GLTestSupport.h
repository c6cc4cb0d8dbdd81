// A main window with a GL context on the scripted backend, on the test run's
// shared X server (its windows stay hidden), and frame read-back.
#pragma once

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <vector>

#include "Backend.h"
#include "GLContext.h"
#include "GLFrame.h"
#include "GWorld.h"
#include "ScriptedBackend.h"
#include "TestSupport.h"
#include "Windows.h"

struct RGBA {
  int r, g, b, a;
};

// The window's pixels, rows bottom-up as GL gives them.
class FrameImage {
 public:
  FrameImage() = default;
  FrameImage(int width, int height) : width_(width), height_(height), bytes_(static_cast<size_t>(width) * height * 4) {}
  // x from the left, y from the top.
  RGBA At(int x, int y) const {
    const size_t i = (static_cast<size_t>(height_ - 1 - y) * width_ + x) * 4;
    return RGBA{bytes_[i], bytes_[i + 1], bytes_[i + 2], bytes_[i + 3]};
  }
  int Red(int x, int y) const { return At(x, y).r; }
  int width() const { return width_; }
  int height() const { return height_; }
  unsigned char* data() { return bytes_.data(); }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<unsigned char> bytes_;
};

class GLTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testsupport::PinGraphicsLibraries(); }

  void SetUp() override { previous_ = SetBackend(&backend_); }

  void TearDown() override {
    SetBeforeSwapHook(nullptr, nullptr);
    if (window_) {
      DisposeGLForWindow(window_);
      DisposeWindowRef(window_);
    }
    gMainWindow = nullptr;
    if (screen_) DestroyGWorld(screen_);
    SetBackend(previous_);
  }

  // A main window of that content size with its GL record, and a 640 x 480
  // logical screen.
  void OpenWindow(int width, int height) {
    ASSERT_TRUE(backend_.InitVideo());
    SetGLWindowAttributes();
    const Rect content = {0, 0, static_cast<SInt16>(height), static_cast<SInt16>(width)};
    ASSERT_EQ(CreateWindowRef(0, 0, &content, &window_), 0);
    gMainWindow = window_;
    ASSERT_EQ(BuildGLForWindow(window_), 1);
    const Rect logical = {0, 0, 480, 640};
    ASSERT_EQ(CreateGWorld(&screen_, 16, &logical, nullptr, 0, 0), 0);
    ScreenRect = logical;
    width_ = width;
    height_ = height;
  }

  // The back buffer as it is now.
  FrameImage ReadBack() {
    FrameImage image(width_, height_);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, image.data());
    return image;
  }

  // Ends the frame and gives what it showed, read inside the swap.
  FrameImage EndAndCapture() {
    struct Capture {
      GLTest* self;
      FrameImage image;
    } capture{this, {}};
    SetBeforeSwapHook([](void* c) {
      auto* cap = static_cast<Capture*>(c);
      cap->image = cap->self->ReadBack();
    }, &capture);
    EndFrameGL();
    SetBeforeSwapHook(nullptr, nullptr);
    return capture.image;
  }

  ScriptedBackend backend_{ScriptedBackend::Options{true}};
  WindowRef window_ = nullptr;
  GWorldPtr screen_ = nullptr;
  int width_ = 0;
  int height_ = 0;

 private:
  Backend* previous_ = nullptr;
};
