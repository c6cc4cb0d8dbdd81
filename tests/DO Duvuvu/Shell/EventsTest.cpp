#include <cstring>
#include <vector>

#include "ShellTestSupport.h"

namespace {

UInt32 Code(const char* text) {
  return static_cast<UInt32>(static_cast<unsigned char>(text[0])) << 24 |
         static_cast<UInt32>(static_cast<unsigned char>(text[1])) << 16 |
         static_cast<UInt32>(static_cast<unsigned char>(text[2])) << 8 | static_cast<unsigned char>(text[3]);
}

class EventsTest : public ShellTest {
 protected:
  // The next event the receiver hands out (pulling), or nil.
  EventRef Receive() {
    EventRef event = nullptr;
    if (ReceiveNextEvent(0, nullptr, 0.0, 1, &event) != 0) return nullptr;
    return event;
  }
  UInt32 Param(EventRef event, const char* name, UInt32 size = 4) {
    UInt32 value = 0;
    EXPECT_EQ(GetEventParameter(event, Code(name), 0, nullptr, size, nullptr, &value), 0) << name;
    return value;
  }
};

TEST_F(EventsTest, ShiftedLetterMakesOneKeyEventAndTheShiftNone) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  backend.PressKey(sc::LShift);
  backend.PressKey(sc::A);
  EXPECT_EQ(Receive(), nullptr);  // the Shift's own message is taken and refused
  EventRef event = Receive();
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(GetEventRecordClass(event), FOUR_CHAR_CODE("keyb"));
  EXPECT_EQ(GetEventRecordKind(event), 1u);
  EXPECT_EQ(Param(event, "kchr"), static_cast<UInt32>('A'));
  EXPECT_EQ(Param(event, "kmod"), 0x200u);
  EXPECT_EQ(Param(event, "kcod"), 0u);
  ReleaseEvent(event);
  EXPECT_EQ(Receive(), nullptr);
}

TEST_F(EventsTest, KeyKindsCharactersAndRefusals) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  backend.PressKey(sc::F1);
  EventRef event = Receive();
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(Param(event, "kchr"), 16u);  // from the character table
  EXPECT_EQ(Param(event, "kcod"), 122u);
  ReleaseEvent(event);

  backend.RepeatKey(sc::F1);
  event = Receive();
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(GetEventRecordKind(event), 1u);
  ReleaseEvent(event);

  backend.ReleaseKey(sc::F1);
  event = Receive();
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(GetEventRecordKind(event), 3u);
  EXPECT_EQ(Param(event, "kchr"), 16u);
  ReleaseEvent(event);

  // Insert has no key code (255): it makes no event and reads past no table.
  backend.PressKey(sc::Insert);
  EXPECT_EQ(Receive(), nullptr);
  EXPECT_EQ(backend.queuedEvents(), 0u);
}

TEST_F(EventsTest, KeypadEnterIsReturnInItsEvent) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  backend.PressKey(sc::KeypadEnter);
  EventRef event = Receive();
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(Param(event, "kcod"), 36u);
  EXPECT_EQ(Param(event, "kchr"), 13u);
  ReleaseEvent(event);
}

TEST_F(EventsTest, CapsLockModifierIsTheKeyHeldNotItsToggle) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  backend.SetKeyHeld(sc::CapsLock, true);
  backend.PressKey(sc::Space);
  EventRef event = Receive();
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(Param(event, "kmod"), 0x400u);
  ReleaseEvent(event);
  backend.SetKeyHeld(sc::CapsLock, false);
  backend.SetToggles(true, false);
  backend.PressKey(sc::Space);
  event = Receive();
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(Param(event, "kmod"), 0u);
  ReleaseEvent(event);
}

TEST_F(EventsTest, DeviceMotionComesFirstWithTimeZero) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  backend.PressKey(sc::A);
  backend.AddMotion(3, -2);
  EventRef event = Receive();
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(GetEventRecordClass(event), FOUR_CHAR_CODE("mous"));
  EXPECT_EQ(GetEventRecordKind(event), 5u);
  EXPECT_EQ(GetEventRecordTime(event), 0.0);
  Point delta{0, 0};
  EXPECT_EQ(GetEventParameter(event, FOUR_CHAR_CODE("mdta"), FOUR_CHAR_CODE("QDpt"), nullptr, 4, nullptr, &delta), 0);
  EXPECT_EQ(delta.h, 3);
  EXPECT_EQ(delta.v, -2);
  ReleaseEvent(event);
  event = Receive();
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(GetEventRecordClass(event), FOUR_CHAR_CODE("keyb"));
  ReleaseEvent(event);
}

TEST_F(EventsTest, ClickLocationIsInScreenCoordinates) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  backend.PressButton(10, 20);
  EventRef event = Receive();
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(GetEventRecordKind(event), 1u);
  Point where{0, 0};
  EXPECT_EQ(GetEventParameter(event, FOUR_CHAR_CODE("mloc"), FOUR_CHAR_CODE("QDpt"), nullptr, 4, nullptr, &where), 0);
  EXPECT_EQ(where.h, 110);
  EXPECT_EQ(where.v, 120);
  ReleaseEvent(event);
}

TEST_F(EventsTest, ParameterRules) {
  EventRef event = nullptr;
  ASSERT_EQ(MacCreateEvent(nullptr, FOUR_CHAR_CODE("keyb"), 1, 1.5, 0, &event), 0);
  event->param = 0x1B << 8 | 27;  // VK_ESCAPE, Escape
  event->modifiers = 0x1234;

  struct Case {
    const char* name;
    UInt32 type;
    UInt32 size;
    OSStatus status;
    UInt32 expected;  // the buffer, which starts at 0xAAAAAAAA
  } cases[] = {
      {"kmod", 0, 1, 0, 0xAAAAAA34},
      {"kmod", 0, 2, 0, 0xAAAA1234},
      {"kmod", 0, 4, 0, 0x00001234},
      {"kmod", 0, 3, -1, 0xAAAAAAAA},
      {"kchr", FOUR_CHAR_CODE("TEXT"), 1, 0, 0xAAAAAA1B},
      {"kcod", 0, 2, 0, 0xAAAA0035},
      {"mloc", FOUR_CHAR_CODE("QDpt"), 2, -1, 0xAAAAAAAA},
      {"mdta", FOUR_CHAR_CODE("long"), 4, -1, 0xAAAAAAAA},
      {"----", FOUR_CHAR_CODE("QDpt"), 4, -1, 0xAAAAAAAA},
      {"wpar", FOUR_CHAR_CODE("wpar"), 4, -1, 0xAAAAAAAA},
      {"what", 0, 4, -1, 0xAAAAAAAA},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name << " size " << c.size);
    UInt32 buffer = 0xAAAAAAAA;
    UInt32 outType = 0x55555555;
    UInt32 outSize = 0x55555555;
    EXPECT_EQ(GetEventParameter(event, Code(c.name), c.type, &outType, c.size, &outSize, &buffer), c.status);
    EXPECT_EQ(buffer, c.expected);
    EXPECT_EQ(outType, 0x55555555u);  // never written
    EXPECT_EQ(outSize, 0x55555555u);
  }

  // 'wpar' is stored sign-extended and read back as 16 bits.
  const SInt16 mode = -2;
  EXPECT_EQ(SetEventParameter(event, FOUR_CHAR_CODE("wpar"), FOUR_CHAR_CODE("wpar"), 2, &mode), 0);
  EXPECT_EQ(event->param, 0xFFFFFFFEu);
  SInt16 back = 0;
  EXPECT_EQ(GetEventParameter(event, FOUR_CHAR_CODE("wpar"), FOUR_CHAR_CODE("wpar"), nullptr, 2, nullptr, &back), 0);
  EXPECT_EQ(back, -2);
  const UInt32 word = 7;
  EXPECT_EQ(SetEventParameter(event, FOUR_CHAR_CODE("----"), FOUR_CHAR_CODE("wind"), 4, &word), 0);
  EXPECT_EQ(SetEventParameter(event, FOUR_CHAR_CODE("----"), FOUR_CHAR_CODE("wind"), 2, &word), -1);
  EXPECT_EQ(SetEventParameter(event, FOUR_CHAR_CODE("kmod"), 0, 4, &word), -1);
  ReleaseEvent(event);
}

TEST_F(EventsTest, EscapeClassicRecordCarriesTheMacintoshKeyCode) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  clock.nanoseconds = 12345678901ull;
  backend.PressKey(sc::Escape);
  EventRef event = Receive();
  ASSERT_NE(event, nullptr);
  EventRec record{};
  ASSERT_TRUE(ConvertEventRefToEventRecord(event, &record));
  EXPECT_EQ(record.what, 3);
  EXPECT_EQ(record.message, 0x351Bu);
  const double time = GetEventRecordTime(event);
  EXPECT_EQ(time, MonotonicMilliseconds() / 1000.0);
  EXPECT_EQ(record.when, static_cast<UInt32>(static_cast<SInt64>(time * 60.0)));
  EXPECT_EQ(record.where.h, 0);
  EXPECT_EQ(record.modifiers, 0);
  ReleaseEvent(event);
}

TEST_F(EventsTest, ClassicTimeIsKeptTo32BitsWithoutOverflow) {
  EventRec record{};
  for (double time : {1.0e12, -5.0, 1.0e300, -1.0e300}) {
    EventRef event = nullptr;
    MacCreateEvent(nullptr, FOUR_CHAR_CODE("keyb"), 3, time, 0, &event);
    ASSERT_TRUE(ConvertEventRefToEventRecord(event, &record));
    EXPECT_EQ(record.what, 4);
    ReleaseEvent(event);
  }
  EventRef event = nullptr;
  MacCreateEvent(nullptr, FOUR_CHAR_CODE("keyb"), 3, 1.0e12, 0, &event);
  ConvertEventRefToEventRecord(event, &record);
  EXPECT_EQ(record.when, static_cast<UInt32>(60000000000000ull & 0xFFFFFFFFu));
  ReleaseEvent(event);
  // Other classes leave the record as it was.
  MacCreateEvent(nullptr, FOUR_CHAR_CODE("wind"), 72, 0.0, 0, &event);
  record.what = 9;
  EXPECT_FALSE(ConvertEventRefToEventRecord(event, &record));
  EXPECT_EQ(record.what, 9);
  ReleaseEvent(event);
}

TEST_F(EventsTest, RefusedMessagesAreConsumedAndTypeListsFilter) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  const EventTypeSpec mouseDowns[] = {{FOUR_CHAR_CODE("mous"), 1}};
  backend.PressKey(sc::A);
  EventRef event = nullptr;
  EXPECT_EQ(ReceiveNextEvent(1, mouseDowns, 0.0, 1, &event), kEventLoopNoEventErr);
  EXPECT_EQ(event, nullptr);
  EXPECT_EQ(backend.queuedEvents(), 0u);  // taken all the same
  // Without pulling the message stays.
  backend.PressKey(sc::A);
  EXPECT_EQ(ReceiveNextEvent(0, nullptr, 0.0, 0, &event), 0);
  ReleaseEvent(event);
  EXPECT_EQ(backend.queuedEvents(), 1u);
}

TEST_F(EventsTest, ClassicCallsAndDrain) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  EventRec record{};
  record.what = 7;
  EXPECT_FALSE(GetNextEvent(0xFFFF, &record));
  EXPECT_EQ(record.what, 0);
  backend.PressKey(sc::A);
  backend.ReleaseKey(sc::A);
  backend.PressKey(sc::Return);
  EXPECT_TRUE(WaitNextEvent(0xFFFF, &record));
  EXPECT_EQ(record.what, 3);
  EXPECT_EQ(DrainEvents(62), 0);
  EXPECT_EQ(backend.queuedEvents(), 0u);
}

TEST_F(EventsTest, HandlersAreKeyedByClassAndKindAndReplaced) {
  WindowRef window = MakeMainWindow(Rect{100, 100, 580, 740});
  static std::vector<int> calls;
  calls.clear();
  auto first = [](EventHandlerCallRef, EventRef, void* data) -> OSStatus {
    calls.push_back(*static_cast<int*>(data));
    return 0;
  };
  int one = 1;
  int two = 2;
  const EventTypeSpec spec[] = {{FOUR_CHAR_CODE("wind"), 76}};
  EventHandlerRef ref = reinterpret_cast<EventHandlerRef>(1);
  EXPECT_EQ(InstallWindowEventHandler(window, first, 1, spec, &one, &ref), 0);
  EXPECT_EQ(ref, nullptr);
  InstallWindowEventHandler(window, first, 1, spec, &two, nullptr);
  EventRef event = nullptr;
  MacCreateEvent(nullptr, FOUR_CHAR_CODE("wind"), 76, 0.0, 0, &event);
  SendEventToWindow(event, window);
  SendEventToWindow(event, nullptr);
  SendEventToWindow(event, GetApplicationEventTarget());
  event->kind = 72;
  SendEventToWindow(event, window);
  ReleaseEvent(event);
  EXPECT_EQ(calls, std::vector<int>{2});
}

}  // namespace
