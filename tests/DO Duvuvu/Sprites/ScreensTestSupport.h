// Controls under test: mainGUI built, the tracking globals as at start-up, and
// every control sound and image draw recorded.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "Controls.h"
#include "GLImage.h"
#include "GUIState.h"

inline MouseState Mouse(UInt8 button, UInt8 down, SInt16 v, SInt16 h) { return MouseState{button, down, Point{v, h}}; }

class ControlRecording {
 protected:
  void StartRecording() {
    InitGUIState();
    ResetControlTrackingForTesting();
    SetControlSoundRecorder(
        [](const ControlSoundRecord& r, void* self) { static_cast<ControlRecording*>(self)->sounds.push_back(r); },
        this);
    SetGLImageDrawRecorder(
        [](const GLImageDrawRecord& r, void* self) { static_cast<ControlRecording*>(self)->draws.push_back(r); }, this);
  }
  void StopRecording() {
    SetControlSoundRecorder(nullptr, nullptr);
    SetGLImageDrawRecorder(nullptr, nullptr);
    ResetControlTrackingForTesting();
    ExitGUIState();
  }

  std::vector<ControlSoundRecord> sounds;
  std::vector<GLImageDrawRecord> draws;
};

class ControlTest : public ::testing::Test, protected ControlRecording {
 protected:
  void SetUp() override { StartRecording(); }
  void TearDown() override { StopRecording(); }
};

// Drawing needs real textures: a window with a GL context on the scripted
// backend, mid-frame, with the draws recorded.
#include "../Graphics/GLTestSupport.h"

class ControlDrawTest : public GLTest, protected ControlRecording {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    OpenWindow(640, 480);
    StartRecording();
    BeginFrameGL(screen_);
  }
  void TearDown() override {
    StopRecording();
    GLTest::TearDown();
  }
  // A white texture of that size.
  static void MakeImage(GLImage* image, SInt16 width, SInt16 height) {
    std::vector<UInt32> pixels(static_cast<size_t>(width) * height, 0xFFFFFFFFu);
    const Rect r = {0, 0, height, width};
    MakeGLImage(image, pixels.data(), static_cast<UInt32>(width) * 4, 32, &r);
  }
  std::vector<GLImageDrawRecord> DrawsOf(const GLImage* image) const {
    std::vector<GLImageDrawRecord> found;
    for (const auto& d : draws)
      if (d.image == image) found.push_back(d);
    return found;
  }
};

inline ::testing::AssertionResult RectIs(const Rect& r, SInt16 top, SInt16 left, SInt16 bottom, SInt16 right) {
  if (r.top == top && r.left == left && r.bottom == bottom && r.right == right) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "rect (" << r.top << ", " << r.left << ", " << r.bottom << ", " << r.right
                                       << ") != (" << top << ", " << left << ", " << bottom << ", " << right << ")";
}
