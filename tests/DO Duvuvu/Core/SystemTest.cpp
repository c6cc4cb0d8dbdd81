#include "System.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "Memory.h"
#include "TestSupport.h"

namespace {

TEST(ByteMovesTest, MoveAndZeroIgnoreCountsBelowOne) {
  char buffer[8] = "abcdefg";
  MoveBytes(buffer, buffer + 2, 4);  // overlapping
  EXPECT_STREQ(buffer, "ababcdg");
  MoveBytes(buffer + 4, buffer, 0);
  MoveBytes(buffer + 4, buffer, -5);
  EXPECT_STREQ(buffer, "ababcdg");

  ZeroBytes(77, buffer + 1, 2);
  EXPECT_EQ(0, std::memcmp(buffer, "a\0\0bcdg", 8));
  ZeroBytes(0, buffer, -1);
  EXPECT_EQ(buffer[0], 'a');
}

TEST(ByteMovesTest, SwapAlternateBytes) {
  struct Case {
    const char* before;
    SInt32 length;
    const char* after;
  };
  const Case cases[] = {
      {"abcdefgh", 8, "agcedfbh"},  // 1<->6, 3<->4
      {"abcdefg", 7, "aecdbfg"},    // rounded down to 6: 1<->4
      {"abcd", 4, "acbd"},          // 1<->2
      {"ab", 2, "ab"},              // not above 2: unchanged
      {"abcdefghij", 10, "aicgefdhbj"},
  };
  for (const Case& c : cases) {
    std::string text = c.before;
    SwapAlternateBytes(text.data(), c.length);
    EXPECT_EQ(text, c.after) << c.before;
  }

  // Length 0 takes the block's recorded size.
  Ptr block = NewPtrBlock(6);
  std::memcpy(block, "uvwxyz", 6);
  SwapAlternateBytes(block, 0);
  EXPECT_EQ(0, std::memcmp(block, "uywxvz", 6));
  DisposePtrBlock(block);
}

TEST(ProcessSerialTest, CurrentAndFrontAreTheSameProcess) {
  ProcessSerialNumber current{7, 7}, front{9, 9};
  EXPECT_EQ(GetCurrentProcessSerial(&current), 0);
  EXPECT_EQ(GetFrontProcessSerial(&front), 0);
  EXPECT_EQ(current.high, 0u);
  Boolean same = 9;
  EXPECT_EQ(SameProcessSerial(&current, &front, &same), 0);
  EXPECT_EQ(same, 1);

  const ProcessSerialNumber one{1, 5};
  EXPECT_EQ(SameProcessSerial(&one, &one, &same), 0);
  EXPECT_EQ(same, 0);  // equal, but not with high words 0
  const ProcessSerialNumber other{0, 6}, five{0, 5};
  SameProcessSerial(&other, &five, &same);
  EXPECT_EQ(same, 0);
}

TEST(ProcessTest, ExitProgramEndsWithStatusZeroAndRunsExitHandlers) {
  testsupport::ChildResult result = testsupport::RunInChild([] {
    std::atexit([] { std::fputs("handler ran\n", stderr); });
    ExitProgram();
  });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_NE(result.stderrText.find("handler ran"), std::string::npos);
}

TEST(ProcessTest, BeepAndDebugText) {
  int before = BeepCount();
  SystemBeep();
  EXPECT_EQ(BeepCount(), before + 1);
  DebugText("nothing to see");  // silent here; must simply return
}

TEST(PendingRequestTest, KeepsTheFirstPostAndGivesItOnce) {
  UInt32 number = 0, second = 0;
  Str31 text = {};
  EXPECT_EQ(TakePendingRequest(&number, text, &second), 0);

  const Str31 empty = {0};
  PostPendingRequest(1, empty, 2);  // an empty text leaves the slot empty
  EXPECT_EQ(TakePendingRequest(&number, text, &second), 0);

  const Str31 first = {5, 'f', 'i', 'r', 's', 't'};
  const Str31 later = {5, 'l', 'a', 't', 'e', 'r'};
  PostPendingRequest(10, first, 20);
  PostPendingRequest(30, later, 40);
  EXPECT_EQ(TakePendingRequest(&number, text, &second), 1);
  EXPECT_EQ(number, 10u);
  EXPECT_EQ(second, 20u);
  EXPECT_EQ(0, std::memcmp(text, first, 6));
  EXPECT_EQ(TakePendingRequest(&number, text, &second), 0);

  // Once emptied the slot takes a new request.
  PostPendingRequest(30, later, 40);
  EXPECT_EQ(TakePendingRequest(&number, text, &second), 1);
  EXPECT_EQ(number, 30u);
}

TEST(AppleEventIdleTest, NullEventsSleepZero) {
  struct ClassicEvent {
    UInt16 what;
    UInt32 message;
  };
  UInt32 sleep = 60;
  ClassicEvent keyDown{3, 0};
  EXPECT_EQ(AppleEventIdleCallback(&keyDown, &sleep, nullptr), 0);
  EXPECT_EQ(sleep, 60u);
  ClassicEvent null{0, 0};
  EXPECT_EQ(AppleEventIdleCallback(&null, &sleep, nullptr), 0);
  EXPECT_EQ(sleep, 0u);
}

}  // namespace
