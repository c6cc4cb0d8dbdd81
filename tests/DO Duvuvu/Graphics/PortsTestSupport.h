// Small fixtures for the port, pixel-map and display tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "DisplayHooks.h"
#include "GWorld.h"
#include "PixMapList.h"
#include "Ports.h"
#include "TestSupport.h"
#include "TextLayout.h"

namespace portstest {

inline UInt16 Pixel16(GWorldPtr world, int h, int v) {
  const PixMap* p = *world->portPixMap;
  return reinterpret_cast<const UInt16*>(p->baseAddr + v * (p->rowBytes & 0x7FFF))[h];
}
inline UInt32 Pixel32(GWorldPtr world, int h, int v) {
  const PixMap* p = *world->portPixMap;
  return reinterpret_cast<const UInt32*>(p->baseAddr + v * (p->rowBytes & 0x7FFF))[h];
}

// Runs body in a child that must end through a fatal box with exactly that
// caption and text.
inline void ExpectFatalBox(const std::function<void()>& body, const std::string& caption, const std::string& text) {
  auto child = testsupport::RunInChild([&] {
    testsupport::RecordingMessageBox boxes;
    boxes.onBox = [&](const testsupport::RecordingMessageBox::Box& box) {
      if (box.caption == caption && box.text == text) std::fputs("[box ok]\n", stderr);
    };
    body();
  });
  EXPECT_TRUE(child.exited);
  EXPECT_EQ(child.exitStatus, 1);
  EXPECT_NE(child.stderrText.find("[box ok]"), std::string::npos) << child.stderrText;
}

// The tables of the start-up list, and the pixmap slots empty before and
// after each test, so that tests see the plain MakePixMap unless they install
// the list's hooks.
class PortsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = gDisplayHooks;
    ClearPixMapSlots();
    InitGWorldStack();
    InitPixMapList();
    InitTextParamStack();
    GetCurrentPort(&previousPort_, nullptr);
  }
  void TearDown() override {
    SetCurrentPort(previousPort_);
    gDisplayHooks = saved_;
    ClearPixMapSlots();
  }
  static void ClearPixMapSlots() {
    gDisplayHooks.createPixMap = nullptr;
    gDisplayHooks.releasePixMap = nullptr;
    gDisplayHooks.findPixMapGWorld = nullptr;
    gDisplayHooks.findPixMapAlpha = nullptr;
    gDisplayHooks.setPortToPixMap = nullptr;
    gDisplayHooks.makeWindowWorld = nullptr;
    ResetPixMapHooks();
  }
  // A world of that depth over its own pixels, made current.
  GWorldPtr UseNewWorld(SInt16 depth, const Rect& bounds) {
    GWorldPtr world = nullptr;
    EXPECT_EQ(CreateGWorld(&world, depth, &bounds, nullptr, 0, 0), 0);
    SetCurrentPort(world);
    return world;
  }
 private:
  DisplayHookTable saved_{};
  GWorldPtr previousPort_ = nullptr;
};

}  // namespace portstest
