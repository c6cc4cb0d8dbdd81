#include <string>

#include "ShellTestSupport.h"
#include "SdlBackend.h"

namespace {

using FatalPathsTest = ShellTest;
using testsupport::RecordingMessageBox;
using testsupport::RunInChild;

TEST_F(FatalPathsTest, FailingVideoInitIsAFailure) {
  auto child = RunInChild([this] {
    RecordingMessageBox boxes;
    boxes.onBox = [](const RecordingMessageBox::Box& box) {
      if (box.caption == "couldn't init direct input" && box.text == "\"couldn't init direct input\"")
        std::fputs("[box ok]\n", stderr);
    };
    ResetInputDevicesForTesting();
    backend.failVideoInit = true;
    InitDirectInputMouse();
  });
  EXPECT_TRUE(child.exited);
  EXPECT_EQ(child.exitStatus, 1);
  EXPECT_NE(child.stderrText.find("[box ok]"), std::string::npos) << child.stderrText;
}

TEST_F(FatalPathsTest, FailingVideoInitOnTheSdlBackend) {
  auto child = RunInChild([] {
    testsupport::PinGraphicsLibraries();
    setenv("SDL_VIDEODRIVER", "x11", 1);
    unsetenv("DISPLAY");
    SetBackend(nullptr);
    ResetInputDevicesForTesting();
    InitDirectInputKeyboard();
  });
  EXPECT_TRUE(child.exited);
  EXPECT_EQ(child.exitStatus, 1);
  EXPECT_NE(child.stderrText.find("couldn't init direct input"), std::string::npos) << child.stderrText;
}

TEST_F(FatalPathsTest, PoppingAnEmptyEventRecStack) {
  auto child = RunInChild([] {
    RecordingMessageBox boxes;
    boxes.onBox = [](const RecordingMessageBox::Box& box) {
      if (box.caption == "PopPort()" && box.text == "Error: EventRec stack is empty!") std::fputs("[box ok]\n", stderr);
    };
    PopEventRec();
  });
  EXPECT_EQ(child.exitStatus, 1);
  EXPECT_NE(child.stderrText.find("[box ok]"), std::string::npos) << child.stderrText;
}

TEST_F(FatalPathsTest, PushingAFullEventRecStack) {
  for (int i = 0; i < 128; ++i) PushEventRec();
  auto child = RunInChild([] {
    RecordingMessageBox boxes;
    boxes.onBox = [](const RecordingMessageBox::Box& box) {
      if (box.caption.empty() && box.text == "Error: EventRec stack is full!") std::fputs("[box ok]\n", stderr);
    };
    PushEventRec();
  });
  EXPECT_EQ(child.exitStatus, 1);
  EXPECT_NE(child.stderrText.find("[box ok]"), std::string::npos) << child.stderrText;
  for (int i = 0; i < 128; ++i) PopEventRec();
}

TEST_F(FatalPathsTest, SetMainWindowWithoutAWindow) {
  auto child = RunInChild([] {
    RecordingMessageBox boxes;
    boxes.onBox = [](const RecordingMessageBox::Box& box) {
      if (box.caption.empty() &&
          box.text == "Error: Program Error:  InitWindow() must be called once before SetMainWindow().")
        std::fputs("[box ok]\n", stderr);
    };
    SetMainWindow(640, 480);
  });
  EXPECT_EQ(child.exitStatus, 1);
  EXPECT_NE(child.stderrText.find("[box ok]"), std::string::npos) << child.stderrText;
}

TEST_F(FatalPathsTest, MissingApplicationServicesOutsideABundle) {
  auto child = RunInChild([] {
    SetExecutablePathForTesting("/kestrova");
    BindSystemUIFunctions();
  });
  EXPECT_EQ(child.exitStatus, 1);
  EXPECT_NE(child.stderrText.find("Failed to load Application Services framework bundle."), std::string::npos)
      << child.stderrText;
}

}  // namespace
