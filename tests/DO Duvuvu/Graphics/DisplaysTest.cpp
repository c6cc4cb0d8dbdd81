#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "AppGlobals.h"
#include "DisplayHooks.h"
#include "DisplayList.h"
#include "MainPrefs.h"
#include "MonitorChecks.h"
#include "PortsTestSupport.h"
#include "RefObjects.h"
#include "ResultCodes.h"
#include "ScriptedBackend.h"
#include "Strings.h"

namespace {

// A display service in memory: one display whose current mode and mode list
// the test sets.
struct FakeNumber {
  bool readable = true;
  double value = 0;
};
struct FakeMode {
  std::map<std::string, FakeNumber> values;
};
struct FakeService {
  std::vector<FakeMode> modes;
  const FakeMode* current = nullptr;
  bool hasModeList = true;
  SInt32 beam = 0;
};
FakeService* gFake = nullptr;

SInt32 FakeActiveDisplays(UInt32, UInt32* displays, UInt32* count) {
  displays[0] = 42;
  *count = 1;
  return 0;
}
const void* FakeCurrentMode(UInt32) { return gFake->current; }
const void* FakeAvailableModes(UInt32) { return gFake->hasModeList ? gFake : nullptr; }
DisplayBoundsRect FakeBounds(UInt32) { return DisplayBoundsRect{0, 0, 1280, 1024}; }
SInt32 FakeBeam(UInt32) { return gFake->beam; }
void FakeNothing() {}

ProcPtr FakeLookup(const char* name) {
  const std::string n = name;
  if (n == "CGGetActiveDisplayList") return reinterpret_cast<ProcPtr>(FakeActiveDisplays);
  if (n == "CGDisplayCurrentMode") return reinterpret_cast<ProcPtr>(FakeCurrentMode);
  if (n == "CGDisplayAvailableModes") return reinterpret_cast<ProcPtr>(FakeAvailableModes);
  if (n == "CGDisplayBounds") return reinterpret_cast<ProcPtr>(FakeBounds);
  if (n == "CGDisplayBeamPosition") return reinterpret_cast<ProcPtr>(FakeBeam);
  return FakeNothing;
}
SInt32 FakeCount(const void* array) { return static_cast<SInt32>(static_cast<const FakeService*>(array)->modes.size()); }
const void* FakeItem(const void* array, SInt32 i) { return &static_cast<const FakeService*>(array)->modes[i]; }
const void* FakeValue(const void* dictionary, const void* key) {
  const auto* mode = static_cast<const FakeMode*>(dictionary);
  auto found = mode->values.find(static_cast<const StringObject*>(key)->text);
  return found == mode->values.end() ? nullptr : &found->second;
}
Boolean FakeNumberValue(const void* number, SInt32 type, void* out) {
  const auto* n = static_cast<const FakeNumber*>(number);
  if (!n->readable) return 0;
  if (type == 3) {
    const SInt32 v = static_cast<SInt32>(n->value);
    std::memcpy(out, &v, 4);
  } else {
    const float v = static_cast<float>(n->value);
    std::memcpy(out, &v, 4);
  }
  return 1;
}

FakeMode Mode(int width, int height, double refresh, int depth, int ioFlags = 0) {
  FakeMode m;
  m.values["Width"].value = width;
  m.values["Height"].value = height;
  m.values["RefreshRate"].value = refresh;
  m.values["BitsPerPixel"].value = depth;
  m.values["IOFlags"].value = ioFlags;
  m.values["Mode"].value = 1;
  return m;
}

std::string Name(const DisplayMode& mode) { return std::string(reinterpret_cast<const char*>(mode.name + 1), mode.name[0]); }

class Displays : public ::testing::Test {
 protected:
  void SetUp() override {
    gFake = &fake;
    InitDisplayList();
    DisposeDisplayList(DisplayList);
  }
  void TearDown() override {
    SetDisplayServiceSeam(nullptr);
    DisposeDisplayList(DisplayList);
    gFake = nullptr;
  }
  void BindFake() {
    const DisplayServiceSeam seam = {FakeLookup, FakeCount, FakeItem, FakeValue, FakeNumberValue};
    SetDisplayServiceSeam(&seam);
  }
  FakeService fake;
};

TEST_F(Displays, WithoutAServiceTheListStaysEmpty) {
  EXPECT_EQ(BuildDisplayList(DisplayList), 2);
  EXPECT_EQ(DisplayList->count, 0u);
  EXPECT_EQ(DisplayFunctionsBound(), 0);
  DisposeDisplayList(DisplayList);
  EXPECT_EQ(DisplayList->count, 0u);
}

TEST_F(Displays, ModesMergeTheirDepthsAndAreNamed) {
  fake.modes = {Mode(640, 480, 60, 8), Mode(640, 480, 60, 16), Mode(640, 480, 60, 32, 0x2),
                Mode(640, 480, 0, 16), Mode(640, 480, 75, 32, 0x800 | 0x20 | 0x40)};
  fake.current = &fake.modes[0];
  BindFake();
  ASSERT_EQ(BuildDisplayList(DisplayList), 0);
  ASSERT_EQ(DisplayList->count, 1u);
  const DisplayRecord& record = DisplayList->data[0];
  EXPECT_EQ(record.displayID, 42u);
  ASSERT_EQ(record.modes.count, 3u);
  EXPECT_EQ(record.modes.data[0].depths, 56u);
  EXPECT_EQ(Name(record.modes.data[0]), "640 x 480, 60.0 Hz");
  EXPECT_EQ(record.modes.data[0].refreshRate, 60u << 16);
  EXPECT_EQ(record.modes.data[0].safe, 0);  // the flags of the first mode read
  EXPECT_EQ(Name(record.modes.data[1]), "640 x 480");
  EXPECT_EQ(Name(record.modes.data[2]), "640 x 480, 75.0 Hz");
  EXPECT_EQ(record.modes.data[2].flags, 7);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.modes.name + 1), record.modes.name[0]), "(unnamed)");

  // A filled list is left alone.
  fake.modes.clear();
  EXPECT_EQ(BuildDisplayList(DisplayList), 0);
  EXPECT_EQ(DisplayList->data[0].modes.count, 3u);
}

TEST_F(Displays, SafeModesAndUnreadableValues) {
  DisplayMode mode;
  BindFake();
  FakeMode safe = Mode(800, 600, 60, 16, 0x2);
  EXPECT_EQ(ReadDisplayMode(&safe, &mode), 0);
  EXPECT_EQ(mode.safe, 1);
  EXPECT_EQ(mode.width, 800u);
  FakeMode broken = Mode(800, 600, 60, 16);
  broken.values["Height"].readable = false;
  EXPECT_EQ(ReadDisplayMode(&broken, &mode), 3);

  fake.modes = {broken, Mode(1024, 768, 60, 32)};
  fake.current = &fake.modes[1];
  ASSERT_EQ(BuildDisplayList(DisplayList), 0);
  ASSERT_EQ(DisplayList->data[0].modes.count, 1u);
  EXPECT_EQ(DisplayList->data[0].modes.data[0].width, 1024u);
}

TEST_F(Displays, MissingCurrentModeOrModeList) {
  BindFake();
  fake.current = nullptr;
  EXPECT_EQ(BuildDisplayList(DisplayList), 0);
  EXPECT_EQ(DisplayList->count, 1u);
  DisposeDisplayList(DisplayList);
  fake.modes = {Mode(640, 480, 60, 16)};
  fake.current = &fake.modes[0];
  fake.hasModeList = false;
  EXPECT_EQ(BuildDisplayList(DisplayList), 5);
}

// The zoom handler ---------------------------------------------------------------

std::vector<UInt32> gFullScreenCalls;
void RecordSetFullScreen(UInt32 on) { gFullScreenCalls.push_back(on); }

TEST(WindowZoom, WparEightMeansFullScreen) {
  const auto saved = gDisplayHooks.setFullScreen;
  gDisplayHooks.setFullScreen = RecordSetFullScreen;
  gFullScreenCalls.clear();
  for (SInt16 value : {8, 7, 2}) {
    EventRef event = nullptr;
    MacCreateEvent(nullptr, kEventClassWindow, kEventWindowZoom, 0, 0, &event);
    SetEventParameter(event, FOUR_CHAR_CODE("wpar"), FOUR_CHAR_CODE("wpar"), 2, &value);
    EXPECT_EQ(HandleWindowZoomEvent(nullptr, event, nullptr), 0);
    ReleaseEvent(event);
  }
  // Another kind of window event is passed on untouched.
  EventRef close = nullptr;
  MacCreateEvent(nullptr, kEventClassWindow, kEventWindowClose, 0, 0, &close);
  HandleWindowZoomEvent(nullptr, close, nullptr);
  ReleaseEvent(close);
  EXPECT_EQ(gFullScreenCalls, (std::vector<UInt32>{1, 0, 0}));
  gDisplayHooks.setFullScreen = saved;
}

// Monitor checks -------------------------------------------------------------------

std::vector<std::string> gAlerts;
OSType gAnswer = 0;
OSType RecordAlert(const char* message, SInt16 style) {
  gAlerts.push_back(std::string(message) + "|" + std::to_string(style));
  return gAnswer;
}

class MonitorChecks : public ::testing::Test {
 protected:
  void SetUp() override {
    CToPStr("Kestrova", ApplicationName);
    MonitorDialogSeam seam = {RecordAlert, nullptr, nullptr, nullptr};
    SetMonitorDialogSeam(nullptr);
    seam.centerDialogRect = [](SInt16 w, SInt16 h, SInt16) { return Rect{0, 0, h, w}; };
    seam.addDialogItem = [](WindowRef, const Rect*, SInt16, ConstStr255Param) {};
    seam.runModalWindow = [](WindowRef) {};
    SetMonitorDialogSeam(&seam);
    gAlerts.clear();
    savedMode_ = gMainPrefs.monitorMode;
  }
  void TearDown() override {
    SetMonitorDialogSeam(nullptr);
    gMainPrefs.monitorMode = savedMode_;
  }
  UInt8 savedMode_ = 0;
};

TEST_F(MonitorChecks, AskFollowsMonitorMode) {
  gMainPrefs.monitorMode = 0;
  EXPECT_EQ(AskToChangeResolution(1024, 768), 1);
  gMainPrefs.monitorMode = 2;
  EXPECT_EQ(AskToChangeResolution(1024, 768), 0);
  gMainPrefs.monitorMode = 200;
  EXPECT_EQ(AskToChangeResolution(1024, 768), 0);
  EXPECT_TRUE(gAlerts.empty());

  gMainPrefs.monitorMode = 1;
  gAnswer = FOUR_CHAR_CODE("ok  ");
  EXPECT_EQ(AskToChangeResolution(1024, 768), 1);
  gAnswer = FOUR_CHAR_CODE("dont");
  EXPECT_EQ(AskToChangeResolution(1024, 768), 0);
  ASSERT_EQ(gAlerts.size(), 2u);
  EXPECT_EQ(gAlerts[0],
            "Kestrova will look better displayed at a resolution of 1024x768.  Is it OK to change?|2");
}

void ExpectRequirementText(SInt16 depth, const std::string& expected) {
  static std::string wanted;
  wanted = expected;
  auto child = testsupport::RunInChild([depth] {
    ScriptedBackend backend;
    SetBackend(&backend);
    CToPStr("Kestrova", ApplicationName);
    MonitorDialogSeam seam = {RecordAlert, [](SInt16 w, SInt16 h, SInt16) { return Rect{0, 0, h, w}; },
                              [](WindowRef, const Rect*, SInt16 kind, ConstStr255Param text) {
                                char c[256];
                                PToCStr(text, c);
                                if (kind == kDialogItemStaticText && wanted == c) std::fputs("[text ok]\n", stderr);
                              },
                              [](WindowRef) { std::fputs("[modal]\n", stderr); }};
    SetMonitorDialogSeam(&seam);
    ShowMonitorRequirement(640, 480, depth);
  });
  EXPECT_TRUE(child.exited);
  EXPECT_EQ(child.exitStatus, 1);
  EXPECT_NE(child.stderrText.find("[text ok]"), std::string::npos) << child.stderrText;
  EXPECT_NE(child.stderrText.find("[modal]"), std::string::npos);
}

TEST_F(MonitorChecks, RequirementTellsTheUserAndFails) {
  ExpectRequirementText(16, "Sorry, Kestrova requires a monitor at least 640x480 capable of displaying 16 bit color.");
  ExpectRequirementText(8, "Sorry, Kestrova requires a monitor at least 640x480 capable of displaying 256 colors/grays.");
}

// VBL tasks ---------------------------------------------------------------------------

int gClientCalls = 0;
DisplayRecord* gRunning = nullptr;
void CountingClient() {
  if (++gClientCalls == 3) gRunning->vbl.stopWord = -1;
}
void OtherClient() {}

TEST_F(Displays, VBLTasksInstallOnceAndTheTimerStopsCleanly) {
  DisplayRecord record;
  InstallVBLTask(&record, CountingClient);
  InstallVBLTask(&record, OtherClient);
  EXPECT_EQ(record.vblInstalled, 1);
  EXPECT_EQ(record.vbl.client, CountingClient);
  RemoveVBLTask(&record);
  EXPECT_EQ(record.vblInstalled, 0);
  EXPECT_EQ(record.vbl.client, nullptr);
  RemoveVBLTask(&record);

  EXPECT_EQ(RunVBLTimer(nullptr), kErrFailed);

  // A flat panel's refresh of 0 runs at 60 Hz.
  fake.modes = {Mode(640, 480, 0, 32)};
  fake.current = &fake.modes[0];
  fake.beam = 100;
  BindFake();
  ASSERT_EQ(BindDisplayFunctions(), 0);
  gClientCalls = 0;
  gRunning = &record;
  record.vbl.client = CountingClient;
  EXPECT_EQ(RunVBLTimer(&record), kErrFailed);
  EXPECT_EQ(gClientCalls, 3);
  EXPECT_EQ(record.vbl.stopWord, 0);

  // An unreadable mode: the read's status, and no client call.
  fake.modes[0].values["Width"].readable = false;
  gClientCalls = 0;
  EXPECT_EQ(RunVBLTimer(&record), 3);
  EXPECT_EQ(gClientCalls, 0);
}

TEST_F(Displays, DisplayVBLTasksNeedTheList) {
  portstest::ExpectFatalBox([] { InstallDisplayVBLTasks(); }, "",
                            "Error: InitDisplays() must be called before InitDisplays().");
}

}  // namespace
