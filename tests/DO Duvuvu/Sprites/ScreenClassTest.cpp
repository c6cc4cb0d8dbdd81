#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "../Shell/ShellTestSupport.h"
#include "EventPoll.h"
#include "ScreenClass.h"

namespace {

std::vector<std::string> gLog;

class LoggedScreen : public Screen {
 public:
  explicit LoggedScreen(std::string n = "") : tag(std::move(n)) {}
  void Setup() override { Log("Setup"); }
  void Start() override { Log("Start" + std::to_string(GetScreenState())); }
  void Begin() override {
    Screen::Begin();
    Log("Begin" + std::to_string(GetScreenState()));
  }
  void Process() override {
    ++frames;
    Log("Process");
    if (onProcess && onProcess(*this)) return;
    Screen::Process();
  }
  void Finish() override {
    Screen::Finish();
    Log("Finish" + std::to_string(GetScreenState()));
  }
  void Stop() override { Log("Stop"); }
  void Cleanup() override { Log("Cleanup"); }
  void Log(const std::string& what) { gLog.push_back(tag + what); }

  std::string tag;
  int frames = 0;
  // True when it handled the frame (the base does not advance the state).
  std::function<bool(LoggedScreen&)> onProcess;
};

class ScreenClassTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ResetScreenManagerForTesting();
    gLog.clear();
    MakeMainWindow(Rect{100, 100, 580, 740});
  }
  void TearDown() override {
    ResetScreenManagerForTesting();
    ShellTest::TearDown();
  }
};

TEST_F(ScreenClassTest, RunsThroughItsStatesWithAFrameLoopOfEvents) {
  LoggedScreen screen;
  int returns = 0;
  screen.onProcess = [&](LoggedScreen& self) {
    if (self.frames == 1) {
      backend.PressKey(sc::Return);  // the player presses Return
    } else if (gCurrentEventRecord.what == kKeyDownEvent && (gCurrentEventRecord.message & 0xFF) == 13) {
      ++returns;
      EndScreen();
      self.Log("End" + std::to_string(GetScreenState()));
    }
    return true;
  };
  RunScreen(&screen, 0);
  EXPECT_EQ(returns, 1);
  const std::vector<std::string> expected = {"Setup", "Start0",  "Begin1", "Process", "Process",
                                             "End2",  "Finish3", "Stop",   "Cleanup"};
  EXPECT_EQ(gLog, expected);
  EXPECT_EQ(TopScreen(), nullptr);
  EXPECT_EQ(GetScreenState(), 3);
}

TEST_F(ScreenClassTest, InnerScreenRestartsTheOuterOneAtStateZero) {
  LoggedScreen outer("O."), inner("I.");
  outer.onProcess = [&](LoggedScreen& self) {
    if (self.frames != 1) return false;
    RunScreen(&inner, 0);
    self.Log("back" + std::to_string(GetScreenState()));
    return true;
  };
  RunScreen(&outer, 0);
  const std::vector<std::string> expected = {"O.Setup",   "O.Start0",  "O.Begin1",  "O.Process", "O.Finish3",
                                             "O.Stop",    "I.Setup",   "I.Start0",  "I.Begin1",  "I.Process",
                                             "I.Finish3", "I.Stop",    "I.Cleanup", "O.Start0",  "O.back0",
                                             "O.Begin1",  "O.Process", "O.Finish3", "O.Stop",    "O.Cleanup"};
  EXPECT_EQ(gLog, expected);
  EXPECT_EQ(TopScreen(), nullptr);
}

TEST_F(ScreenClassTest, ReplacingWaitsForTheRunningScreenToEnd) {
  LoggedScreen first("A."), second("B.");
  first.onProcess = [&](LoggedScreen&) {
    RunScreen(&second, 1);
    EXPECT_EQ(GetScreenState(), 2);
    return true;
  };
  RunScreen(&first, 0);
  const std::vector<std::string> expected = {"A.Setup",   "A.Start0",  "A.Begin1", "A.Process", "A.Finish3",
                                             "A.Stop",    "A.Cleanup", "B.Setup",  "B.Start0",  "B.Begin1",
                                             "B.Process", "B.Finish3", "B.Stop",   "B.Cleanup"};
  EXPECT_EQ(gLog, expected);
}

TEST_F(ScreenClassTest, TwentyFirstScreenIsRefused) {
  std::vector<LoggedScreen> screens;
  for (int i = 0; i <= kScreenStackDepth; ++i) screens.emplace_back(std::to_string(i) + ".");
  std::vector<Screen*> stackAtRefusal;
  for (int i = 0; i < kScreenStackDepth; ++i) {
    screens[i].onProcess = [&, i](LoggedScreen& self) {
      if (self.frames != 1) return false;
      RunScreen(&screens[i + 1], 0);
      if (i == kScreenStackDepth - 1) {
        SInt16 count = 0;
        Screen* const* stack = GetScreenStack(&count);
        stackAtRefusal.assign(stack, stack + count);
        EXPECT_EQ(GetScreenState(), 1);  // the running screen goes on
      }
      return false;
    };
  }
  RunScreen(&screens[0], 0);
  ASSERT_EQ(stackAtRefusal.size(), static_cast<size_t>(kScreenStackDepth));
  for (int i = 0; i < kScreenStackDepth; ++i) EXPECT_EQ(stackAtRefusal[i], &screens[i]) << i;
  for (const std::string& entry : gLog) EXPECT_NE(entry.rfind("20.", 0), 0u) << entry;
  EXPECT_EQ(screens[kScreenStackDepth].frames, 0);
  EXPECT_EQ(TopScreen(), nullptr);
  // Each outer screen runs once more after its restart; the top one ends at once.
  for (int i = 0; i < kScreenStackDepth; ++i) EXPECT_EQ(screens[i].frames, i == kScreenStackDepth - 1 ? 1 : 2) << i;
}

TEST_F(ScreenClassTest, StateChangesAndNames) {
  SetScreenState(1);
  AdvanceScreenState();
  EXPECT_EQ(GetScreenState(), 2);
  AdvanceScreenState();
  AdvanceScreenState();
  EXPECT_EQ(GetScreenState(), 3);
  EndScreen();
  EXPECT_EQ(GetScreenState(), 3);
  SetScreenState(0);
  EndScreen();
  EXPECT_EQ(GetScreenState(), 2);
  EXPECT_FALSE(RunScreenFrame());  // no screen stacked
  LoggedScreen screen;
  EXPECT_EQ(screen.menuMode, 0);
  EXPECT_EQ(screen.pollEvents, 1);
  screen.name[0] = 3;
  screen.name[1] = 'T';
  screen.name[2] = 'o';
  screen.name[3] = 'p';
  Str31 out = {0};
  screen.GetScreenName(out);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out + 1), out[0]), "Top");
}

}  // namespace
