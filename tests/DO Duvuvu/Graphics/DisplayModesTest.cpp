#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "DisplayModes.h"
#include "MonitorChecks.h"
#include "PortsTestSupport.h"
#include "RefObjects.h"

namespace {

DisplayMode Mode(UInt32 width, UInt32 height, UInt32 depths, double refresh = 60, UInt8 safe = 0) {
  DisplayMode m = {};
  m.width = width;
  m.height = height;
  m.depths = depths;
  m.refreshRate = static_cast<UInt32>(refresh * 65536);
  m.safe = safe;
  return m;
}

void SetModes(DisplayRecord* record, const std::vector<DisplayMode>& modes) {
  record->modes.Reinit(static_cast<UInt32>(modes.size()));
  for (size_t i = 0; i < modes.size(); ++i) record->modes.data[i] = modes[i];
}

TEST(FindBestDisplayMode, ChoosesDepthThenSizeThenRefresh) {
  struct Case {
    const char* name;
    std::vector<DisplayMode> modes;
    UInt32 depth, width, height;
    double refresh;
    UInt32 expectDepth;
    SInt32 expectIndex;
  };
  const std::vector<DisplayMode> two = {Mode(640, 480, 8 | 16), Mode(800, 600, 16 | 32)};
  const std::vector<Case> cases = {
      {"no modes", {}, 16, 640, 480, 0, 0, -1},
      {"16 at 640", two, 16, 640, 480, 0, 16, 0},
      {"32", two, 32, 640, 480, 0, 32, 1},
      {"16 at 700", two, 16, 700, 500, 0, 16, 1},
      {"64", two, 64, 640, 480, 0, 0, -1},
      {"nearest depth above", {Mode(640, 480, 32), Mode(1024, 768, 16)}, 8, 640, 480, 0, 16, 1},
      {"equal modes", {Mode(640, 480, 16), Mode(640, 480, 16)}, 16, 640, 480, 0, 16, 1},
      {"refresh", {Mode(640, 480, 16, 60), Mode(640, 480, 16, 75), Mode(640, 480, 16, 85)}, 16, 640, 480, 70, 16, 1},
      {"smallest size", {Mode(1024, 768, 16), Mode(640, 480, 16), Mode(800, 600, 16)}, 16, 600, 400, 0, 16, 1},
  };
  for (const Case& c : cases) {
    DisplayRecord record;
    SetModes(&record, c.modes);
    SInt32 index = 99;
    EXPECT_EQ(FindBestDisplayMode(&record, &index, c.depth, c.width, c.height, static_cast<UInt32>(c.refresh * 65536)),
              c.expectDepth)
        << c.name;
    EXPECT_EQ(index, c.expectIndex) << c.name;
    FindBestDisplayMode(&record, nullptr, c.depth, c.width, c.height, 0);
  }
}

// A display service with one display whose modes the test sets.
struct FakeNumber {
  double value;
};
struct FakeDictionary {
  std::map<std::string, FakeNumber> values;
};
struct FakeDisplay {
  std::vector<FakeDictionary> modes;
  int current = 0;
  bool captured = false;
  int captures = 0, releases = 0;
  int switchResult = 0;
  std::vector<int> switches;  // indexes switched to
};
FakeDisplay* gFake = nullptr;

FakeDictionary Dictionary(int width, int height, int depth, double refresh, int ioFlags = 0) {
  FakeDictionary d;
  d.values["Width"].value = width;
  d.values["Height"].value = height;
  d.values["BitsPerPixel"].value = depth;
  d.values["RefreshRate"].value = refresh;
  d.values["IOFlags"].value = ioFlags;
  return d;
}

const void* FakeCurrent(UInt32) {
  return gFake->current >= 0 ? &gFake->modes[static_cast<size_t>(gFake->current)] : nullptr;
}
const void* FakeAvailable(UInt32) { return gFake; }
UInt8 FakeIsCaptured(UInt32) { return gFake->captured; }
SInt32 FakeCapture(UInt32) {
  ++gFake->captures;
  gFake->captured = true;
  return 0;
}
SInt32 FakeRelease(UInt32) {
  ++gFake->releases;
  gFake->captured = false;
  return 0;
}
SInt32 FakeSwitch(UInt32, const void* mode) {
  const int index = static_cast<int>(static_cast<const FakeDictionary*>(mode) - gFake->modes.data());
  gFake->switches.push_back(index);
  if (gFake->switchResult == 0) gFake->current = index;
  return gFake->switchResult;
}
void FakeNothing() {}
ProcPtr FakeLookup(const char* name) {
  const std::map<std::string, ProcPtr> bound = {
      {"CGDisplayCurrentMode", reinterpret_cast<ProcPtr>(FakeCurrent)},
      {"CGDisplayAvailableModes", reinterpret_cast<ProcPtr>(FakeAvailable)},
      {"CGDisplayIsCaptured", reinterpret_cast<ProcPtr>(FakeIsCaptured)},
      {"CGDisplayCapture", reinterpret_cast<ProcPtr>(FakeCapture)},
      {"CGDisplayRelease", reinterpret_cast<ProcPtr>(FakeRelease)},
      {"CGDisplaySwitchToMode", reinterpret_cast<ProcPtr>(FakeSwitch)},
  };
  auto found = bound.find(name);
  return found == bound.end() ? FakeNothing : found->second;
}
SInt32 FakeCount(const void* list) { return static_cast<SInt32>(static_cast<const FakeDisplay*>(list)->modes.size()); }
const void* FakeItem(const void* list, SInt32 i) { return &static_cast<const FakeDisplay*>(list)->modes[i]; }
const void* FakeValue(const void* dictionary, const void* key) {
  const auto* d = static_cast<const FakeDictionary*>(dictionary);
  auto found = d->values.find(static_cast<const StringObject*>(key)->text);
  return found == d->values.end() ? nullptr : &found->second;
}
Boolean FakeNumberValue(const void* number, SInt32 type, void* out) {
  const double v = static_cast<const FakeNumber*>(number)->value;
  if (type == 3) {
    const SInt32 i = static_cast<SInt32>(v);
    std::memcpy(out, &i, 4);
  } else {
    const float f = static_cast<float>(v);
    std::memcpy(out, &f, 4);
  }
  return 1;
}

struct Alert {
  std::string text;
  SInt16 width, option1, option2;
};
std::vector<Alert> gAlerts;
OSType gAnswer = 0;
OSType FakeTextAlert(ConstStr255Param message, SInt16 width, SInt16 option1, SInt16 option2) {
  gAlerts.push_back({std::string(reinterpret_cast<const char*>(message + 1), message[0]), width, option1, option2});
  return gAnswer;
}

class DisplayModes : public portstest::PortsTest {
 protected:
  void SetUp() override {
    PortsTest::SetUp();
    gFake = &fake;
    gAlerts.clear();
    InitDisplayList();
    fake.modes = {Dictionary(640, 480, 16, 60), Dictionary(640, 480, 32, 60), Dictionary(800, 600, 32, 60, 0x2)};
    record.displayID = 7;
    record.modeList = &fake;
    record.initialMode = &fake.modes[0];
    // The record's array: one entry per size, the depths merged.
    SetModes(&record, {Mode(640, 480, 16 | 32), Mode(800, 600, 32, 60, 1)});
  }
  void TearDown() override {
    SetDisplayServiceSeam(nullptr);
    SetTextAlertSeam(nullptr);
    SetDisplayManagerSeam(nullptr);
    gFake = nullptr;
    PortsTest::TearDown();
  }
  void Bind() {
    DisplayServiceSeam seam = {};
    seam.lookup = FakeLookup;
    seam.arrayCount = FakeCount;
    seam.arrayItem = FakeItem;
    seam.dictionaryValue = FakeValue;
    seam.numberValue = FakeNumberValue;
    SetDisplayServiceSeam(&seam);
    ASSERT_EQ(BindDisplayFunctions(), 0);
  }
  void AnswerAlerts(OSType answer) {
    gAnswer = answer;
    SetTextAlertSeam(FakeTextAlert);
  }
  FakeDisplay fake;
  DisplayRecord record;
};

TEST_F(DisplayModes, NothingBoundAnswersZero) {
  SInt32 index = 5;
  EXPECT_EQ(SetDisplayMode(&record, &fake.modes[1]), 0);
  EXPECT_EQ(GetCurrentModeIndex(&record, &index, nullptr), 0u);
  EXPECT_EQ(index, -1);
  EXPECT_EQ(ConfirmDisplayMode(&record), 0);
  index = 0;
  EXPECT_EQ(SwitchDisplayMode(&record, 32, &index), 0);
  EXPECT_EQ(CaptureMainDisplay(), 0);
  EXPECT_EQ(ReleaseMainDisplay(), 0);
  EXPECT_EQ(RestoreDisplayMode(&record), 0);
  EXPECT_EQ(RestoreAllDisplayModes(DisplayList), 1);
  EXPECT_EQ(record.modeChanged, 0u);
}

TEST_F(DisplayModes, SetDisplayModeCapturesOnlyWhatItMustAndKeepsThePort) {
  Bind();
  GWorldPtr before = nullptr;
  GetCurrentPort(&before, nullptr);
  EXPECT_EQ(SetDisplayMode(&record, &fake.modes[1]), 1);
  EXPECT_EQ(fake.captures, 1);
  EXPECT_EQ(fake.releases, 1);
  EXPECT_EQ(record.modeChanged, 1u);
  EXPECT_EQ(fake.switches, (std::vector<int>{1}));
  GWorldPtr after = nullptr;
  GetCurrentPort(&after, nullptr);
  EXPECT_EQ(after, before);

  fake.captured = true;
  EXPECT_EQ(SetDisplayMode(&record, &fake.modes[0]), 1);
  EXPECT_EQ(fake.captures, 1);
  EXPECT_EQ(fake.releases, 1);
  EXPECT_TRUE(fake.captured);

  fake.captured = false;
  fake.switchResult = -1;
  record.modeChanged = 0;
  EXPECT_EQ(SetDisplayMode(&record, &fake.modes[2]), 0);
  EXPECT_EQ(record.modeChanged, 0u);
}

TEST_F(DisplayModes, CurrentModeIndex) {
  Bind();
  SInt32 index = 9;
  UInt8 keep = 9;
  fake.current = 1;
  EXPECT_EQ(GetCurrentModeIndex(&record, &index, &keep), 32u);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(keep, 0);
  fake.current = 2;
  EXPECT_EQ(GetCurrentModeIndex(&record, &index, nullptr), 32u);
  EXPECT_EQ(index, 1);
  fake.modes.push_back(Dictionary(1024, 768, 32, 60));
  fake.current = 3;
  EXPECT_EQ(GetCurrentModeIndex(&record, &index, nullptr), 0u);
  EXPECT_EQ(index, -1);
}

TEST_F(DisplayModes, ConfirmationAsksOnlyForUnsafeModes) {
  Bind();
  fake.current = 2;
  EXPECT_EQ(ConfirmDisplayMode(&record), 1);
  EXPECT_TRUE(gAlerts.empty());

  fake.current = 0;
  EXPECT_EQ(ConfirmDisplayMode(&record), 0);  // the shell's own alert is never answered OK

  for (const auto& [answer, kept] :
       std::initializer_list<std::pair<OSType, int>>{{FOUR_CHAR_CODE("ok  "), 1}, {FOUR_CHAR_CODE("cncl"), 0}}) {
    AnswerAlerts(answer);
    EXPECT_EQ(ConfirmDisplayMode(&record), kept);
    ASSERT_EQ(gAlerts.size(), 1u);
    EXPECT_EQ(gAlerts[0].text,
              "The settings for your monitor have been changed.  Click OK to confirm that the monitor is displayed "
              "correctly.  Click Cancel or wait 10 seconds to revert to the previous settings.");
    EXPECT_EQ(gAlerts[0].text.size(), 179u);
    EXPECT_EQ(gAlerts[0].width, 600);
    EXPECT_EQ(gAlerts[0].option1, 2);
    EXPECT_EQ(gAlerts[0].option2, 2);
    gAlerts.clear();
  }
}

TEST_F(DisplayModes, SwitchingFindsTheDepthOfTheCurrentSize) {
  Bind();
  fake.current = 0;
  SInt32 index = -1;
  EXPECT_EQ(SwitchDisplayMode(&record, 32, &index), 1);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(fake.switches, (std::vector<int>{1}));
  EXPECT_TRUE(gAlerts.empty());

  // No mode of that depth at that size.
  EXPECT_EQ(SwitchDisplayMode(&record, 8, &index), 0);

  // The current mode is not in the array: nothing is read at -1.
  fake.modes.push_back(Dictionary(1024, 768, 32, 60));
  fake.current = 3;
  index = -1;
  EXPECT_EQ(SwitchDisplayMode(&record, 32, &index), 0);
  index = 2;
  EXPECT_EQ(SwitchDisplayMode(&record, 32, &index), 0);
  EXPECT_EQ(fake.switches.size(), 1u);
}

TEST_F(DisplayModes, RestoringWorksLastToFirst) {
  Bind();
  DisposeDisplayList(DisplayList);
  DisplayList->Resize(2, 0);
  DisplayList->data[0].initialMode = &fake.modes[2];
  DisplayList->data[1].initialMode = &fake.modes[1];
  EXPECT_EQ(RestoreAllDisplayModes(DisplayList), 1);
  EXPECT_EQ(fake.switches, (std::vector<int>{1, 2}));
  fake.switchResult = -1;
  EXPECT_EQ(RestoreAllDisplayModes(DisplayList), 0);
  DisposeDisplayList(DisplayList);
}

// The older systems' display manager.
struct OlderService {
  DisplayModeWords current = {{3, 0x81, 0, 0}};
  std::vector<DisplayModeWords> switches;
  std::vector<UInt8> preferences;
  DisplayDepthInfo depths[2] = {{16, {3, 0x81, 1, 2}}, {32, {3, 0x82, 5, 6}}};
};
OlderService* gOlder = nullptr;
OSErr OlderCurrent(DeviceHandle, DisplayModeWords* out) {
  *out = gOlder->current;
  return 0;
}
OSErr OlderEnumerate(DeviceHandle, UInt32 resolution, DisplayModeCallback callback, DisplayModeMatch* match) {
  DisplayModeInfo info = {};
  info.resolutionID = resolution;
  info.depthCount = 2;
  info.depths = gOlder->depths;
  callback(match, 0, &info);
  return 0;
}
OSErr OlderSetMode(DeviceHandle, UInt32 resolution, UInt32 depthMode) {
  gOlder->switches.push_back(DisplayModeWords{{resolution, depthMode, 0, 0}});
  gOlder->current = DisplayModeWords{{resolution, depthMode, 0, 0}};
  return 0;
}
OSErr OlderPreference(UInt8 on) {
  gOlder->preferences.push_back(on);
  return 0;
}

TEST_F(DisplayModes, OlderSystemsSwitchBackWhenDeclined) {
  OlderService older;
  gOlder = &older;
  DisplayManagerSeam seam = {};
  seam.olderSystem = 1;
  seam.currentMode = OlderCurrent;
  seam.enumerateModes = OlderEnumerate;
  seam.setMode = OlderSetMode;
  seam.setModePreference = OlderPreference;
  SetDisplayManagerSeam(&seam);
  record.modes.data[0].mode = 3;

  SInt32 index = 0;
  AnswerAlerts(FOUR_CHAR_CODE("cncl"));
  EXPECT_EQ(SwitchDisplayMode(&record, 32 | (1u << 30), &index), 0);
  ASSERT_EQ(older.switches.size(), 2u);
  EXPECT_EQ(older.switches[0].words[1], 0x82u);
  EXPECT_EQ(older.switches[1].words[1], 0x81u);
  EXPECT_EQ(older.preferences, (std::vector<UInt8>{1}));

  AnswerAlerts(FOUR_CHAR_CODE("ok  "));
  EXPECT_EQ(SwitchDisplayMode(&record, 32 | (1u << 31), &index), 1);
  EXPECT_EQ(older.switches.size(), 3u);
  EXPECT_EQ(older.preferences, (std::vector<UInt8>{1, 0}));
  gOlder = nullptr;
}

TEST(DisplayModeCallbacks, MatchAHandMadeRecord) {
  const DisplayDepthInfo depths[] = {{8, {1, 2, 3, 4}}, {32, {5, 6, 7, 8}}};
  DisplayModeInfo info = {};
  info.resolutionID = 0x90;
  info.depthCount = 2;
  info.depths = depths;

  DisplayModeMatch match = {};
  match.wanted = 0x91;
  MatchModeResolutionSlot(&match, 0, &info);
  EXPECT_EQ(match.matched, 0);
  match.wanted = 0x90;
  MatchModeResolutionSlot(&match, 0, &info);
  EXPECT_EQ(match.matched, 1);

  DisplayModeMatch depth = {};
  depth.wanted = 32;
  MatchModeDepthSlot(&depth, 0, &info);
  EXPECT_EQ(depth.matched, 1);
  EXPECT_EQ(depth.words[0], 5u);
  EXPECT_EQ(depth.words[3], 8u);
  DisplayModeMatch none = {};
  none.wanted = 16;
  MatchModeDepthSlot(&none, 0, &info);
  EXPECT_EQ(none.matched, 0);
}

}  // namespace
