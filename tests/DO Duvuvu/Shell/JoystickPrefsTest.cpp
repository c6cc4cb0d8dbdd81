#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "JoystickPrefs.h"
#include "PlistTag.h"
#include "ShellTestSupport.h"

namespace {

class JoystickPrefsTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    InitJoystickLists();
  }
  void TearDown() override {
    while (!JoystickDevices.empty()) CloseJoystickDevice(JoystickDevices.front());
    ExitJoystickLists();
    ShellTest::TearDown();
  }
  JoystickDevice* Attach(const std::string& sdlName, int axes = 2) {
    backend.AttachJoystick({sdlName, axes, 0, 0, 4, false});
    return OpenJoystickDevice(backend.JoyCount() - 1);
  }
  static PlistTag* Entry(PlistTag* array, const char* name, const char* sdlName) {
    PlistTag* dict = PlistTag::NewTag(array, "dict", "", "");
    PlistTag::NewTag(dict, "string", "Name", name);
    PlistTag::NewTag(dict, "string", "Device Name", sdlName);
    return dict;
  }
  PlistTag prefs;
};

std::string Text(const PlistTag* tag) { return std::string(reinterpret_cast<const char*>(tag->value + 1), tag->value[0]); }

TEST_F(JoystickPrefsTest, ActionsSaveOnChangeFirstAndLoadWithTheCallersFlags) {
  JoystickDevice* pad = Attach("Pad");
  BindJoystickAction(0, 1, false, 20);
  BindJoystickAction(0, 3, true, 10);
  EXPECT_FALSE(SaveJoystickActions(nullptr, &prefs));  // no array yet
  PlistTag::NewTag(&prefs, "array", "Joystick Actions", "");
  ASSERT_TRUE(SaveJoystickActions(nullptr, &prefs));
  PlistTag* array = PlistTag::FindTag(&prefs, "array", "Joystick Actions", 0);
  ASSERT_EQ(array->child.count, 2u);
  EXPECT_EQ(Text(PlistTag::FindTag(array->child.data[0], "integer", "Virtual Button", 0)), "3");
  EXPECT_EQ(Text(PlistTag::FindTag(array->child.data[0], "integer", "Action", 0)), "10");
  EXPECT_EQ(Text(PlistTag::FindTag(array->child.data[1], "string", "Device Name", 0)), "Pad");
  // Saving again replaces this device's entries.
  ASSERT_TRUE(SaveJoystickActions(pad, &prefs));
  EXPECT_EQ(array->child.count, 2u);

  const SInt32 actions[] = {20, 10, -1};
  const UInt8 flags[] = {1, 0};
  ASSERT_TRUE(LoadJoystickActions(nullptr, &prefs, actions, flags));
  EXPECT_EQ(GetBoundJoystickAction(0, 1, true), 20);
  EXPECT_EQ(GetBoundJoystickAction(0, 3, false), 10);
  EXPECT_EQ(JoystickActions.size(), 2u);
  const SInt32 onlyTen[] = {10, -1};
  ASSERT_TRUE(LoadJoystickActions(nullptr, &prefs, onlyTen, flags));
  EXPECT_EQ(JoystickActions.size(), 1u);
}

TEST_F(JoystickPrefsTest, CalibrationsRoundTripThroughTheFile) {
  JoystickDevice* pad = Attach("Pad");
  *FindAxisCalibration(pad, 1) = AxisCalibration{1, -30000, -500, 7, 600, 31000};
  std::unique_ptr<PlistTag> built(BuildJoystickCalibrations());
  testsupport::TempDir dir;
  const std::string path = dir / "prefs.plist";
  FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_EQ(PlistTag::WriteStdFile(built.get(), out), 0);
  std::fclose(out);

  *FindAxisCalibration(pad, 1) = AxisCalibration{1, 0, 0, 0, 0, 0};
  std::strcpy(pad->name, "Renamed");
  PlistTag read;
  FILE* in = std::fopen(path.c_str(), "rb");
  ASSERT_EQ(PlistTag::ReadStdFile(&read, in), 0);
  std::fclose(in);
  PlistTag* array = PlistTag::FindTag(&read, "array", "Joystick Calibrations", 0);
  ASSERT_NE(array, nullptr);
  ASSERT_EQ(array->child.count, 1u);
  ASSERT_TRUE(LoadDeviceCalibration(pad, array->child.data[0]));
  EXPECT_STREQ(pad->name, "Pad");
  const AxisCalibration& c = *FindAxisCalibration(pad, 1);
  EXPECT_EQ(c.minValue, -30000);
  EXPECT_EQ(c.deadZoneLow, -500);
  EXPECT_EQ(c.baseValue, 7);
  EXPECT_EQ(c.deadZoneHigh, 600);
  EXPECT_EQ(c.maxValue, 31000);
}

TEST_F(JoystickPrefsTest, MatchingLoadsTheSureOnesAndHandsBackTwins) {
  JoystickDevice* solo = Attach("Solo");
  JoystickDevice* twinA = Attach("Twin");
  JoystickDevice* twinB = Attach("Twin");
  PlistTag* array = PlistTag::NewTag(&prefs, "array", "Joystick Calibrations", "");
  for (int copy = 0; copy < 2; ++copy) {  // a duplicate counts once
    PlistTag* e = Entry(array, "Solo", "Solo");
    PlistTag* axis = PlistTag::NewTag(PlistTag::NewTag(e, "array", "Calibrations", ""), "dict", "", "");
    PlistTag::NewTag(axis, "integer", "Max Value", "99999");
  }
  PlistTag* twinEntry = Entry(array, "Twin", "Twin");
  Entry(array, "Ghost", "Absent");
  std::vector<PlistTag*> entries{nullptr};
  std::vector<JoystickDevice*> devices{nullptr};
  EXPECT_EQ(MatchJoystickCalibrations(&prefs, &entries, &devices), 0);
  EXPECT_EQ(FindAxisCalibration(solo, 0)->maxValue, static_cast<SInt16>(99999));
  EXPECT_EQ(entries, (std::vector<PlistTag*>{twinEntry}));
  EXPECT_EQ(devices, (std::vector<JoystickDevice*>{twinA, twinB}));

  PlistTag none;
  entries = {nullptr};
  EXPECT_EQ(MatchJoystickCalibrations(&none, &entries, &devices), 0);
  EXPECT_EQ(entries.size(), 1u);  // untouched without the array
}

TEST_F(JoystickPrefsTest, ManyDistinctEntriesMatchWithoutFault) {
  JoystickDevice* pad = Attach("Pad");
  PlistTag* array = PlistTag::NewTag(&prefs, "array", "Joystick Calibrations", "");
  for (int i = 0; i < 300; ++i) Entry(array, ("Name " + std::to_string(i)).c_str(), "Pad");
  Entry(array, "Pad", "Pad");
  std::vector<PlistTag*> entries;
  std::vector<JoystickDevice*> devices;
  EXPECT_EQ(MatchJoystickCalibrations(&prefs, &entries, &devices), -1);  // the sure entry has no calibrations
  std::strcpy(pad->name, "Nobody");
  EXPECT_EQ(MatchJoystickCalibrations(&prefs, &entries, &devices), 0);
  EXPECT_EQ(entries.size(), 301u);
  EXPECT_EQ(devices, (std::vector<JoystickDevice*>{pad}));
}

TEST_F(JoystickPrefsTest, OrderingMatchesAndRenames) {
  PlistTag::NewTag(&prefs, "array", "Joystick Ordering", "");
  EXPECT_TRUE(JoystickOrderingMatches(&prefs));
  Attach("Pad");
  EXPECT_FALSE(JoystickOrderingMatches(&prefs));
  std::unique_ptr<PlistTag> built(BuildJoystickOrdering());
  PlistTag* array = PlistTag::FindTag(built.get(), "array", "Joystick Ordering", 0);
  PlistTag::NewTag(array->child.data[0], "string", "Name", "Left hand");
  ASSERT_TRUE(ApplyJoystickOrdering(built.get()));
  EXPECT_STREQ(JoystickDevices[0]->name, "Left hand");
  EXPECT_FALSE(JoystickOrderingMatches(&prefs));
}

TEST_F(JoystickPrefsTest, RenameMovesBothKindsOfEntry) {
  JoystickDevice* pad = Attach("Pad");
  PlistTag::NewTag(&prefs, "array", "Joystick Calibrations", "");
  PlistTag actions;
  BindJoystickAction(0, 2, false, 5);
  EXPECT_FALSE(RenameJoystickDevice(pad, "New", &prefs, &actions));  // no action array
  PlistTag::NewTag(&actions, "array", "Joystick Actions", "");
  ASSERT_TRUE(RenameJoystickDevice(pad, "New", &prefs, &actions));
  EXPECT_STREQ(pad->name, "New");
  PlistTag* saved = PlistTag::FindTag(&prefs, "array", "Joystick Calibrations", 0);
  ASSERT_EQ(saved->child.count, 1u);
  EXPECT_EQ(Text(PlistTag::FindTag(saved->child.data[0], "string", "Name", 0)), "New");
  EXPECT_FALSE(RenameJoystickDevice(pad, "New", &prefs, &actions));  // the name is taken
}

}  // namespace
