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

// Devices as (SDL name, own name); entries as (Name, Device Name), nil for
// a missing key, each with one axis whose Max Value is 1000 + its position.
struct MatchCase {
  const char* name;
  std::vector<std::pair<const char*, const char*>> devices;
  std::vector<std::pair<const char*, const char*>> entries;
  SInt32 result;
  std::vector<int> outEntries;  // positions in the array
  std::vector<int> outDevices;  // positions in the open order
  std::vector<int> loaded;      // per device: the entry its axis came from, -1 for none
};

TEST_F(JoystickPrefsTest, MatchingResultsAndOrder) {
  const std::vector<MatchCase> cases = {
      {"a duplicate loads once",
       {{"Solo", "Solo"}},
       {{"Solo", "Solo"}, {"Solo", "Solo"}},
       1, {}, {}, {0}},
      {"twins take back the first of each pair in file order",
       {{"Twin", "Twin"}, {"Twin", "Twin"}},
       {{"B", "Twin"}, {"A", "Twin"}, {"B", "Twin"}, {"Twin", "Twin"}, {"A", "Twin"}},
       0, {0, 1, 3}, {0, 1}, {-1, -1}},
      {"the first device's SDL name is handed back",
       {{"Pad", "Pad"}, {"Stick", "Stick"}, {"Pad", "Pad"}},
       {{"X", "Stick"}, {"Pad", "Pad"}, {"Y", "Pad"}, {"X", "Stick"}, {"Y", "Pad"}},
       0, {1, 2}, {0, 2}, {-1, -1, -1}},
      {"the sure one loads, keyless and absent ones are skipped",
       {{"Pad", "Mine"}, {"Pad", "Pad"}, {"Stick", "Stick"}},
       {{"Ghost", "Absent"}, {nullptr, "Pad"}, {"Other", "Pad"}, {"Mine", "Pad"}, {"Other", "Pad"}, {"Mine", "Pad"}},
       0, {2}, {1}, {3, -1, -1}},
      {"devices nobody names are let go",
       {{"Pad", "Pad"}, {"Stick", "Stick"}},
       {{"Pad", "Pad"}, {"Ghost", "Absent"}},
       1, {}, {}, {0, -1}},
      {"the same own name under two SDL names is two pairs",
       {{"Pad", "Same"}, {"Stick", "Same"}},
       {{"Same", "Stick"}, {"Same", "Pad"}, {"Same", "Stick"}},
       1, {}, {}, {1, 0}},
  };
  for (const MatchCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<JoystickDevice*> open;
    for (const auto& [sdlName, own] : c.devices) {
      open.push_back(Attach(sdlName));
      std::strcpy(open.back()->name, own);
    }
    PlistTag file;
    PlistTag* array = PlistTag::NewTag(&file, "array", "Joystick Calibrations", "");
    std::vector<PlistTag*> made;
    for (const auto& [name, sdlName] : c.entries) {
      PlistTag* e = PlistTag::NewTag(array, "dict", "", "");
      if (name) PlistTag::NewTag(e, "string", "Name", name);
      PlistTag::NewTag(e, "string", "Device Name", sdlName);
      PlistTag* axis = PlistTag::NewTag(PlistTag::NewTag(e, "array", "Calibrations", ""), "dict", "", "");
      PlistTag::NewTag(axis, "integer", "Max Value", std::to_string(1000 + made.size()).c_str());
      made.push_back(e);
    }
    std::vector<PlistTag*> entries{nullptr};
    std::vector<JoystickDevice*> devices{nullptr};
    EXPECT_EQ(MatchJoystickCalibrations(&file, &entries, &devices), c.result);
    std::vector<PlistTag*> wantEntries;
    for (int i : c.outEntries) wantEntries.push_back(made[i]);
    std::vector<JoystickDevice*> wantDevices;
    for (int i : c.outDevices) wantDevices.push_back(open[i]);
    EXPECT_EQ(entries, wantEntries);
    EXPECT_EQ(devices, wantDevices);
    for (size_t d = 0; d < open.size(); ++d)
      EXPECT_EQ(FindAxisCalibration(open[d], 0)->maxValue, c.loaded[d] < 0 ? 32767 : 1000 + c.loaded[d]) << d;
    while (!JoystickDevices.empty()) CloseJoystickDevice(JoystickDevices.front());
    while (backend.JoyCount() > 0) backend.DetachJoystick(0);
  }
}

// A hand-edited file may hold any number of entries; every other one here
// repeats the one before it.
TEST_F(JoystickPrefsTest, ALargeFileHandsBackEachPairOnceInFileOrder) {
  JoystickDevice* pad = Attach("Pad");
  std::strcpy(pad->name, "Nobody");
  PlistTag* array = PlistTag::NewTag(&prefs, "array", "Joystick Calibrations", "");
  std::vector<PlistTag*> firsts;
  for (int i = 0; i < 6000; ++i) {
    const std::string name = "Name " + std::to_string(i / 2);
    PlistTag* e = Entry(array, name.c_str(), "Pad");
    if (i % 2 == 0) firsts.push_back(e);
  }
  std::vector<PlistTag*> entries;
  std::vector<JoystickDevice*> devices;
  EXPECT_EQ(MatchJoystickCalibrations(&prefs, &entries, &devices), 0);
  EXPECT_EQ(entries, firsts);
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
