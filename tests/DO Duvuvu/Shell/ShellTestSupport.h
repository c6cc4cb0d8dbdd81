// The shell's tests run on the scripted backend with a fake clock.
#pragma once

#include <gtest/gtest.h>

#include "Backend.h"
#include "Bundle.h"
#include "DisplayServices.h"
#include "EventPoll.h"
#include "InputDevices.h"
#include "ScriptedBackend.h"
#include "SystemUI.h"
#include "TestSupport.h"
#include "Windows.h"

// SDL scancodes used by the tests.
namespace sc {
constexpr int A = 4;
constexpr int Return = 40;
constexpr int Escape = 41;
constexpr int Space = 44;
constexpr int CapsLock = 57;
constexpr int F1 = 58;
constexpr int Insert = 73;
constexpr int Left = 80;
constexpr int NumLock = 83;
constexpr int KeypadEnter = 88;
constexpr int LCtrl = 224;
constexpr int LShift = 225;
constexpr int LGui = 227;
constexpr int RShift = 229;
constexpr int RGui = 231;
}  // namespace sc

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = SetBackend(&backend);
    ResetShellForTesting();
    RegisterDisplayServices(nullptr);
    InitEventRecStack();
    gWindowSizes[0] = WindowSizePair{640, 480};
    gWindowSizes[1] = WindowSizePair{640, 480};
    InitDirectInputMouse();
    InitDirectInputKeyboard();
  }

  void TearDown() override {
    ExitEventRecStack();
    UnregisterWindowClass();
    ResetShellForTesting();
    RegisterDisplayServices(nullptr);
    SetBackend(previous_);
  }

  // A shown main window with that content rectangle.
  WindowRef MakeMainWindow(Rect content) {
    WindowRef window = nullptr;
    EXPECT_EQ(CreateWindowRef(0, 0, &content, &window), 0);
    ShowWindowRef(window);
    gMainWindow = window;
    return window;
  }

  testsupport::FakeClock clock;
  ScriptedBackend backend;

 private:
  Backend* previous_ = nullptr;
};
