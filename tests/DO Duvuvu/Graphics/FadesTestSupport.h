// A recording display behind the display-service seam, the fade switch and
// the hook slots the fade and brightness tests set.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "AppGlobals.h"
#include "BrightnessLevels.h"
#include "DisplayHooks.h"
#include "DisplayList.h"
#include "GammaFades.h"
#include "Memory.h"
#include "PortsTestSupport.h"

namespace fadestest {

struct FakeDisplay {
  std::vector<GammaTable> tables;  // every table handed to the display
  int otherCalls = 0;
  int flushes = 0;
  std::vector<UInt16> flushedReds;  // entry 0's red of the shown colour table at each flush
  UInt8 fullScreen = 1;
};
inline FakeDisplay* gDisplay = nullptr;

inline SInt32 FakeTransfer(UInt32, UInt32 count, const float* red, const float* green, const float* blue) {
  GammaTable table{};
  std::memcpy(table.red, red, sizeof(float) * count);
  std::memcpy(table.green, green, sizeof(float) * count);
  std::memcpy(table.blue, blue, sizeof(float) * count);
  gDisplay->tables.push_back(table);
  return 0;
}
inline void FakeOther() { ++gDisplay->otherCalls; }
inline ProcPtr FakeLookup(const char* name) {
  if (std::string(name) == "CGSetDisplayTransferByTable") return reinterpret_cast<ProcPtr>(FakeTransfer);
  return FakeOther;
}
inline UInt32 FakeFullScreen() { return gDisplay->fullScreen; }
inline void FakeFlush(WindowRef) {
  ++gDisplay->flushes;
  const CTabHandle shown = GetScreenFadeTablesForTesting().current8;
  gDisplay->flushedReds.push_back(shown ? (*shown)->table[0].red : 0);
}

// A flat table of one value in every entry.
inline GammaTable Flat(float value) {
  GammaTable t;
  for (int i = 0; i < 256; ++i) t.red[i] = t.green[i] = t.blue[i] = value;
  return t;
}

inline GammaTableHandle NewTable(const GammaTable& contents) {
  auto h = reinterpret_cast<GammaTableHandle>(NewHandleBlockClear(sizeof(GammaTable)));
  **h = contents;
  return h;
}

// The display bound to the fake, the flush and full-screen slots set, the
// screen owned; every test ends with the fades off and the levels released.
class FadesTest : public portstest::PortsTest {
 protected:
  void SetUp() override {
    PortsTest::SetUp();
    gDisplay = &display;
    savedSettings0_ = EngineSettings[0];
    savedSettings8_ = EngineSettings[8];
    EngineSettings[0] = 1;
    DisplayServiceSeam seam = {};
    seam.lookup = FakeLookup;
    SetDisplayServiceSeam(&seam);
    ASSERT_EQ(BindDisplayFunctions(), 0);
    gDisplayHooks.isFullScreen = FakeFullScreen;
    gDisplayHooks.flushToScreen = FakeFlush;
    hadDevice_ = mainDEVICE != nullptr;
    GetMainDeviceHandle();
    BrightnessLevel = kNormalBrightness;
  }
  void TearDown() override {
    DisposeScreenFades();
    for (GammaTableHandle& t : BrightGammaTables) {
      if (t) DisposeHandleBlock(reinterpret_cast<Handle>(t));
      t = nullptr;
    }
    for (CTabHandle& t : BrightCluts) DisposeCTable(&t);
    for (Ptr& t : BrightInverseTables) {
      if (t) DisposePtrBlock(t);
      t = nullptr;
    }
    SetDisplayServiceSeam(nullptr);
    gDisplayHooks.isFullScreen = nullptr;
    gDisplayHooks.flushToScreen = nullptr;
    EngineSettings[0] = savedSettings0_;
    EngineSettings[8] = savedSettings8_;
    BrightnessLevel = kNormalBrightness;
    gDisplay = nullptr;
    if (!hadDevice_ && mainDEVICE) {
      DisposeHandleBlock(reinterpret_cast<Handle>(mainDEVICE));
      mainDEVICE = nullptr;
    }
    PortsTest::TearDown();
  }
  void FadesOn(SInt16 depth = 32, const GammaTable* curves = nullptr) {
    SetScreenFadesForTesting(ScreenFadeSwitch{1, 1, curves, depth});
  }
  FakeDisplay display;

 private:
  UInt8 savedSettings0_ = 0;
  UInt8 savedSettings8_ = 0;
  bool hadDevice_ = false;
};

}  // namespace fadestest
