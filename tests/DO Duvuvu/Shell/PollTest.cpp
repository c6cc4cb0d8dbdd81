#include "ShellTestSupport.h"

namespace {

using PollTest = ShellTest;

bool Poll() { return PollEvents(0xFFFF, nullptr); }

TEST_F(PollTest, PressAndReleaseBetweenPollsIsReportedOnce) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  backend.PressKey(sc::A);
  backend.ReleaseKey(sc::A);
  EXPECT_TRUE(Poll());
  EXPECT_EQ(gCurrentEventRecord.what, 3);
  EXPECT_TRUE(Poll());
  EXPECT_EQ(gCurrentEventRecord.what, 4);
  EXPECT_FALSE(Poll());
  EXPECT_TRUE(KeyWasPressed(0));
  EXPECT_FALSE(KeyWasPressed(0));
  EXPECT_FALSE(KeyWasPressed(0));
}

TEST_F(PollTest, HeldKeyIsReportedOnEveryCall) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  backend.PressKey(sc::A);
  int reported = 0;
  for (int i = 0; i < 10; ++i) {
    Poll();
    reported += KeyWasPressed(0);
  }
  EXPECT_EQ(reported, 10);
}

TEST_F(PollTest, OnePollTakesAllMotionsAndOneOtherEvent) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  NativeEvent motion;
  motion.kind = NativeEventKind::Motion;
  motion.window = WindowId(gMainWindow);
  backend.Push(motion);
  backend.Push(motion);
  backend.PressKey(sc::A);
  backend.PressKey(sc::Escape);
  EXPECT_TRUE(Poll());
  EXPECT_EQ(gCurrentEventRecord.what, 3);
  EXPECT_EQ(GetEventKeyCode(nullptr, nullptr), 0);
  EXPECT_EQ(backend.queuedEvents(), 1u);
  EXPECT_TRUE(Poll());
  EXPECT_TRUE(IsKeyDownEvent(53, -1, nullptr));
  EXPECT_TRUE(IsKeyDownEvent(-1, 0, nullptr));
  EXPECT_FALSE(IsKeyDownEvent(36, -1, nullptr));
}

TEST_F(PollTest, KeyReleasedWithoutAnEventIsReleasedByAnEmptyPoll) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  backend.PressKey(sc::A);
  Poll();
  EXPECT_TRUE(KeyWasPressed(0));
  backend.SetKeyHeld(sc::A, false);  // the release went elsewhere
  EXPECT_FALSE(Poll());
  EXPECT_FALSE(KeyWasPressed(0));
  EXPECT_FALSE(KeyWasPressed(0));
}

// The sweep reads only the keys counted down: each is released when none of
// its scan codes is held (Shift has two), and only then.
TEST_F(PollTest, TheSweepReleasesExactlyTheKeysNoLongerHeld) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  backend.PressKey(sc::A);
  backend.PressKey(sc::Space);
  backend.PressKey(sc::RShift);
  backend.PressKey(sc::Escape);  // carries the Shift bit: key 137 counts a press
  for (int i = 0; i < 4; ++i) Poll();
  for (UInt8 code : {0, 49, 53, 137}) EXPECT_TRUE(KeyWasPressed(code)) << int{code};
  backend.SetKeyHeld(sc::Space, false);
  backend.SetKeyHeld(sc::Escape, false);
  EXPECT_FALSE(Poll());
  EXPECT_TRUE(KeyWasPressed(0));
  EXPECT_FALSE(KeyWasPressed(49));
  EXPECT_FALSE(KeyWasPressed(53));
  EXPECT_TRUE(KeyWasPressed(137));
  // The left Shift takes over from the right one: still held.
  backend.SetKeyHeld(sc::LShift, true);
  backend.SetKeyHeld(sc::RShift, false);
  EXPECT_FALSE(Poll());
  EXPECT_TRUE(KeyWasPressed(137));
  backend.SetKeyHeld(sc::LShift, false);
  EXPECT_FALSE(Poll());
  EXPECT_FALSE(KeyWasPressed(137));
  EXPECT_TRUE(KeyWasPressed(0));
}

// One system pump per poll, whether or not it finds an event: a poll runs
// every step and the main loop's passes in between pump nothing.
TEST_F(PollTest, APollPumpsTheSystemOnce) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  backend.PressKey(sc::A);
  for (int i = 0; i < 3; ++i) {
    const int pumps = backend.pumpCount();
    Poll();
    for (int k = 0; k < 11; ++k) IsKeyCodeDown(static_cast<UInt8>(k));
    EXPECT_EQ(backend.pumpCount(), pumps + 1) << "poll " << i;
  }
}

TEST_F(PollTest, ManyUnreportedPressesNeverJamTheKey) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  for (int i = 0; i < 300; ++i) {
    backend.PressKey(sc::A);
    backend.ReleaseKey(sc::A);
    Poll();
    Poll();
  }
  backend.PressKey(sc::A);
  Poll();
  EXPECT_TRUE(KeyWasPressed(0));
}

TEST_F(PollTest, DeviceMotionDoesNotReleaseHeldModifiers) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  backend.PressKey(sc::LShift);
  backend.PressKey(sc::A);  // its modifiers carry the Shift
  Poll();                   // the Shift's own message: no event
  Poll();
  EXPECT_TRUE(KeyWasPressed(137));
  backend.AddMotion(4, 1);
  Poll();
  EXPECT_TRUE(KeyWasPressed(137));
}

TEST_F(PollTest, ClickCountsTheMouseKeyAndMotionAccumulates) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  backend.AddMotion(5, 7);
  backend.PressButton(3, 4);
  backend.SetLeftButton(true);
  EXPECT_TRUE(Poll());
  EXPECT_EQ(gCurrentEventRecord.what, 1);
  EXPECT_TRUE(MouseButtonWasPressed());
  // Taken twice, by the receiver and the poll.
  EXPECT_EQ(gMouseMotion.h, 10);
  EXPECT_EQ(gMouseMotion.v, 14);
  backend.ReleaseButton(3, 4);
  backend.SetLeftButton(false);
  EXPECT_TRUE(Poll());
  EXPECT_EQ(gCurrentEventRecord.what, 2);
}

TEST_F(PollTest, CloseRequestIsOneWindowEventAndSetsTheCloseBoxFlag) {
  WindowRef window = MakeMainWindow(Rect{100, 100, 580, 740});
  backend.PushClose(WindowId(window));
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(Poll());
    EXPECT_EQ(gCurrentEventRecord.what, 0);
  }
  EXPECT_EQ(MenuDispatchFlags.closeBox, 1);
  EXPECT_TRUE(IsWindowRefVisible(window));
  EXPECT_EQ(backend.windowCount(), 1u);
}

TEST_F(PollTest, CloseRequestReachesTheReceiverOnceWithTheWindow) {
  WindowRef window = MakeMainWindow(Rect{100, 100, 580, 740});
  backend.PushClose(WindowId(window));
  int closes = 0;
  for (int i = 0; i < 4; ++i) {
    EventRef event = nullptr;
    if (ReceiveNextEvent(0, nullptr, 0.0, 1, &event) != 0) continue;
    EXPECT_EQ(GetEventRecordClass(event), FOUR_CHAR_CODE("wind"));
    EXPECT_EQ(GetEventRecordKind(event), 72u);
    UInt32 target = 0;
    EXPECT_EQ(GetEventParameter(event, FOUR_CHAR_CODE("----"), FOUR_CHAR_CODE("wind"), nullptr, 4, nullptr, &target), 0);
    EXPECT_EQ(target, WindowId(window));
    ++closes;
    ReleaseEvent(event);
  }
  EXPECT_EQ(closes, 1);
}

TEST_F(PollTest, EventQueriesReadTheGivenOrCurrentRecord) {
  EventRec record{};
  record.what = 3;
  record.message = 0x351B;
  record.modifiers = 0x200;
  UInt16 modifiers = 0;
  EXPECT_EQ(GetEventKeyCode(&record, &modifiers), 53);
  EXPECT_EQ(modifiers, 0x200);
  EXPECT_TRUE(IsKeyDownEvent(53, 9, &record));  // exactly bit 9
  EXPECT_FALSE(IsKeyDownEvent(53, 0, &record));
  EXPECT_FALSE(IsKeyDownEvent(53, 8, &record));
  EXPECT_TRUE(EventHasModifier(9, &record));
  SetCurrentEventRec(&record);
  EXPECT_TRUE(IsKeyRepeatEvent(53));
  EXPECT_FALSE(IsKeyRepeatEvent(-1));
  record.what = 5;
  EXPECT_TRUE(IsKeyRepeatEvent(-1));
  PushEventRec();
  SetCurrentEventRec(&gCurrentEventRecord);
  PopEventRec();
  EXPECT_EQ(GetCurrentEventRec(), &record);
  SetCurrentEventRec(&gCurrentEventRecord);
}

TEST_F(PollTest, KeyTablesClearAndTheSweepReleasesTheButton) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  backend.PressButton(1, 1);
  backend.SetLeftButton(true);
  Poll();
  EXPECT_TRUE(MouseButtonWasPressed());
  backend.SetLeftButton(false);  // released outside the window
  Poll();
  EXPECT_FALSE(MouseButtonWasPressed());
  backend.PressKey(sc::A);
  Poll();
  ClearKeyTables();
  EXPECT_FALSE(KeyWasPressed(0));
}

}  // namespace
