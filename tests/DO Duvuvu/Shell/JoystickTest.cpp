#include <string>
#include <vector>

#include "Joystick.h"
#include "ShellTestSupport.h"

namespace {

class JoystickTest : public ShellTest {
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

  // 2 buttons, 1 axis, 1 trackball, 1 hat.
  JoystickDevice* OpenPad(const std::string& name = "Pad") {
    backend.AttachJoystick({name, 1, 1, 1, 2, false});
    return OpenJoystickDevice(backend.JoyCount() - 1);
  }

  void Push(UInt8 type, UInt8 input, UInt8 state, SInt16 value = 0, UInt8 device = 0) {
    JoyEvent12 e;
    e.type = type;
    e.device = device;
    e.input = input;
    e.state = state;
    e.value = value;
    backend.PushJoyEvent(e);
  }

  // Polls until the queue is empty and the pending event is dropped:
  // "kind:input:value" per call (value only for 26).
  std::vector<std::string> Drain() {
    std::vector<std::string> out;
    JoyEvent12 e;
    while (PollJoystickEvent(&e)) {
      std::string s = std::to_string(e.type) + ":" + std::to_string(e.input);
      if (e.type == kJoyChanged) s += ":" + std::to_string(static_cast<UInt16>(e.value));
      out.push_back(s);
      if (out.size() > 64) break;
    }
    return out;
  }
};

using Events = std::vector<std::string>;

TEST_F(JoystickTest, InputsAreCountedAndNumberedByKind) {
  JoystickDevice* d = OpenPad();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(GetVirtualInputCount(d), 16);
  EXPECT_STREQ(d->name, "Pad");
  EXPECT_EQ(OpenJoystickDevice(0), d);
  EXPECT_EQ(backend.joyEventsEnabled(), 1);
  const AxisCalibration* c = FindAxisCalibration(d, 0);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->minValue, -32768);
  EXPECT_EQ(c->deadZoneLow, -129);
  EXPECT_EQ(c->baseValue, 0);
  EXPECT_EQ(c->deadZoneHigh, 128);
  EXPECT_EQ(c->maxValue, 32767);
  EXPECT_EQ(MakeAxisCalibration(d, 1), nullptr);
  EXPECT_EQ(GetVirtualInputValue(d, 16), 0);
  backend.AttachJoystick({"Broken", 0, 0, 0, 1, true});
  EXPECT_EQ(OpenJoystickDevice(1), nullptr);
  EXPECT_EQ(JoystickDevices.size(), 1u);
}

TEST_F(JoystickTest, ButtonsPressThenChangeFromTheSameEvent) {
  OpenPad();
  Push(10, 1, 1);
  Push(11, 1, 0);
  EXPECT_EQ(Drain(), (Events{"24:1", "26:1:65535", "25:1", "26:1:0"}));
  Push(10, 16, 1);  // beyond the inputs: consumed, no engine event
  EXPECT_EQ(Drain(), (Events{"10:16"}));
}

TEST_F(JoystickTest, AxisHalvesFollowTheCalibration) {
  JoystickDevice* d = OpenPad();
  Push(7, 0, 0, -16384);
  EXPECT_EQ(Drain(), (Events{"24:2", "26:2:32637"}));
  Push(7, 0, 0, 0);
  EXPECT_EQ(Drain(), (Events{"25:2", "26:2:0", "7:0"}));
  Push(7, 0, 0, 128);
  EXPECT_EQ(Drain(), (Events{"7:0"}));
  Push(7, 0, 0, 129);
  EXPECT_EQ(Drain(), (Events{"24:3", "26:3:2"}));
  // Straight across to the other half.
  Push(7, 0, 0, -32768);
  EXPECT_EQ(Drain(), (Events{"25:3", "26:3:0", "24:2", "26:2:65535"}));
  Push(7, 0, 0, 0);
  Drain();
  FindAxisCalibration(d, 0)->deadZoneHigh = 32767;
  Push(7, 0, 0, 32767);  // never above the dead zone now
  EXPECT_EQ(Drain(), (Events{"7:0"}));
  FindAxisCalibration(d, 0)->deadZoneHigh = 100;
  FindAxisCalibration(d, 0)->maxValue = 100;
  Push(7, 0, 0, 101);
  EXPECT_EQ(Drain(), (Events{"24:3", "26:3:65535"}));
}

TEST_F(JoystickTest, HatPositionsStayInsideTheirHat) {
  JoystickDevice* d = OpenPad();
  Push(9, 0, 1);
  Push(9, 0, 2);
  EXPECT_EQ(Drain(), (Events{"24:8", "26:8:65535", "9:0", "25:8", "26:8:0", "24:9", "26:9:65535", "9:0"}));
  // Left-up and left-down on the device's last hat, then centred.
  Push(9, 0, 9);
  Push(9, 0, 12);
  Push(9, 0, 0);
  EXPECT_EQ(Drain(), (Events{"25:9", "26:9:0", "24:12", "26:12:65535", "9:0", "25:12", "26:12:0", "24:14",
                             "26:14:65535", "9:0", "25:14", "26:14:0", "9:0"}));
  for (int i = 0; i < GetVirtualInputCount(d); ++i) EXPECT_EQ(GetVirtualInputValue(d, i), 0) << i;
  Push(9, 0, 5);  // no real position: as centred
  EXPECT_EQ(Drain(), (Events{"9:0"}));
  Push(9, 3, 1);  // no such hat
  EXPECT_EQ(Drain(), (Events{"9:3"}));
}

// The last hat event is shared by all devices: one made by a stick that is
// then unplugged must not stop the hats of a device with fewer inputs.
TEST_F(JoystickTest, AHatStillWorksAfterTheStickThatPressedOneIsUnplugged) {
  OpenPad();
  backend.AttachJoystick({"Stick", 0, 0, 1, 20, false});
  JoystickDevice* stick = OpenJoystickDevice(1);
  ASSERT_NE(stick, nullptr);
  Push(9, 0, 1, 0, 1);
  JoyEvent12 e;
  ASSERT_TRUE(PollJoystickEvent(&e));
  EXPECT_EQ(e.type, kJoyPressed);
  EXPECT_EQ(e.input, 20);  // past the pad's 16 inputs
  backend.DetachJoystick(1);
  CloseJoystickDevice(stick);
  EXPECT_EQ(Drain(), (Events{"9:0"}));  // the stick's event has no device now
  Push(9, 0, 1);
  Push(9, 0, 0);
  EXPECT_EQ(Drain(), (Events{"24:8", "26:8:65535", "9:0", "25:8", "26:8:0", "9:0"}));
}

TEST_F(JoystickTest, EventsOfDevicesNotOpenAndOtherTypesAreConsumed) {
  OpenPad();
  Push(10, 0, 1, 0, 4);
  Push(8, 0, 0, 5);
  EXPECT_EQ(Drain(), (Events{"10:0", "8:0"}));
}

TEST_F(JoystickTest, BindingsAndActions) {
  OpenPad();
  EXPECT_EQ(BindJoystickAction(0, 3, true, 7), 1);
  BindJoystickAction(0, 1, false, 8);
  BindJoystickAction(1, 0, false, 8);
  EXPECT_EQ(JoystickActions.begin()->first, static_cast<SInt32>(0x80000003u));  // on-change first
  JoyEvent12 e;
  e.type = 9;
  e.device = 0;
  e.input = 1;
  EXPECT_EQ(GetJoystickAction(&e, false), -1);
  e.type = kJoyPressed;
  EXPECT_EQ(GetJoystickAction(&e, false), 8);
  e.input = 3;
  EXPECT_EQ(GetJoystickAction(&e, false), -1);
  e.type = kJoyChanged;
  EXPECT_EQ(GetJoystickAction(&e, false), 7);
  Push(10, 0, 1);
  Push(10, 1, 1);
  EXPECT_EQ(GetJoystickAction(&e, true), 8);
  EXPECT_EQ(e.type, kJoyPressed);
  EXPECT_EQ(GetJoystickAction(&e, true), -1);
  ClearJoystickActions(8);
  EXPECT_EQ(FindActionBinding(8), -1);
  EXPECT_EQ(GetBoundJoystickAction(0, 3, true), 7);
  UnbindJoystickAction(0, 3, true);
  EXPECT_TRUE(JoystickActions.empty());
}

TEST_F(JoystickTest, DevicesFollowTheirIndexAcrossDetaching) {
  OpenPad("One");
  JoystickDevice* two = OpenPad("Two");
  backend.DetachJoystick(0);
  EXPECT_EQ(GetJoystickDevice(0), two);
  EXPECT_EQ(FindDeviceByName("Two", 0), two);
  EXPECT_EQ(FindDeviceByName("One", 0), nullptr);
  EXPECT_EQ(FindDeviceByOwnName("One", 0), JoystickDevices[0]);
}

TEST(JoystickAxisTest, HalvesConvertBothWays) {
  UInt16 n = 0, p = 0;
  HalvesFromAxis(-32768, &n, &p);
  EXPECT_EQ(n, 65535);
  EXPECT_EQ(p, 0);
  HalvesFromAxis(32767, &n, &p);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(p, 65535);
  EXPECT_EQ(AxisFromHalves(65535, 0), -32768);
  EXPECT_EQ(AxisFromHalves(0, 65535), 32767);
  EXPECT_EQ(AxisFromHalves(100, 300), 100);
}

}  // namespace
