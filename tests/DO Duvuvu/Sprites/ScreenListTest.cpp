#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "../Shell/ShellTestSupport.h"
#include "Events.h"
#include "ScreenList.h"

namespace {

std::vector<std::string> gCalls;

class StubScreen : public ScreenGL {
 public:
  explicit StubScreen(const char* name) : name_(name) {}
  void Process() override {
    gCalls.push_back(std::string("P") + name_);
    if (onProcess) onProcess();
  }
  void Draw() override { gCalls.push_back(std::string("D") + name_); }
  std::function<void()> onProcess;

 private:
  const char* name_;
};

class ScreenListTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ResetScreenListForTesting();
    gCalls.clear();
  }
  void TearDown() override {
    ResetScreenListForTesting();
    ShellTest::TearDown();
  }
  StubScreen a{"A"}, b{"B"}, c{"C"};
};

TEST_F(ScreenListTest, BeforeAnyShowNothingRuns) {
  ProcessScreens();
  DrawScreens();
  EXPECT_FALSE(AnyScreenActive());
  EXPECT_TRUE(gCalls.empty());
  a.Hide();  // hiding before any show changes nothing
  EXPECT_EQ(currentScreen, nullptr);
  EXPECT_EQ(a.active, 0);
}

TEST_F(ScreenListTest, DefaultsOfAScreen) {
  EXPECT_EQ(a.active, 0);
  EXPECT_EQ(a.secondFlag, 0);
  EXPECT_EQ(a.rect.top, 32);
  EXPECT_EQ(a.rect.left, 32);
  EXPECT_EQ(a.rect.bottom, 272);
  EXPECT_EQ(a.rect.right, 352);
}

TEST_F(ScreenListTest, ScreenThatHidesItselfAndShowsNextDrawsItInTheSameFrame) {
  a.Show(1);
  b.Show(1);
  b.onProcess = [this] {
    b.Hide();
    c.Show(1);
  };
  ProcessScreens();
  EXPECT_EQ(gCalls, (std::vector<std::string>{"PA", "PB"}));
  DrawScreens();
  EXPECT_EQ(gCalls, (std::vector<std::string>{"PA", "PB", "DA", "DC"}));
  EXPECT_EQ(currentScreen, &c);
  EXPECT_FALSE(a.IsCurrent());
  EXPECT_TRUE(c.IsCurrent());
  gCalls.clear();
  b.onProcess = nullptr;
  ProcessScreens();
  EXPECT_EQ(gCalls, (std::vector<std::string>{"PA", "PC"}));
  EXPECT_EQ(screenLIST->Count(), 2u);
}

TEST_F(ScreenListTest, HidingTheNextScreenDuringThePassSkipsIt) {
  a.Show(1);
  b.Show(1);
  c.Show(1);
  a.onProcess = [this] { b.Hide(); };
  ProcessScreens();  // ASan: the held node must not be freed
  EXPECT_EQ(gCalls, (std::vector<std::string>{"PA", "PC"}));
  EXPECT_EQ(currentScreen, &c);
  EXPECT_EQ(screenLIST->Count(), 2u);
  gCalls.clear();
  DrawScreens();
  EXPECT_EQ(gCalls, (std::vector<std::string>{"DA", "DC"}));
}

TEST_F(ScreenListTest, HidingTheTailDuringThePassMakesTheLiveScreenCurrent) {
  a.Show(1);
  b.Show(1);
  a.onProcess = [this] { b.Hide(); };
  ProcessScreens();
  EXPECT_EQ(currentScreen, &a);
  EXPECT_TRUE(a.IsCurrent());
  EXPECT_EQ(screenLIST->Count(), 1u);
}

TEST_F(ScreenListTest, ScreenShownByANonTailScreenIsReachedInTheSamePass) {
  a.Show(1);
  b.Show(1);
  a.onProcess = [this] {
    a.onProcess = nullptr;
    c.Show(1);
  };
  ProcessScreens();
  EXPECT_EQ(gCalls, (std::vector<std::string>{"PA", "PB", "PC"}));
}

TEST_F(ScreenListTest, HideMakesTheTailCurrentWhateverItsFlag) {
  a.Show(1);
  b.Show(1);
  a.active = 0;
  b.Hide();
  EXPECT_EQ(currentScreen, &a);
  EXPECT_FALSE(a.IsCurrent());
  EXPECT_FALSE(AnyScreenActive());
  a.Hide();
  EXPECT_EQ(currentScreen, nullptr);
}

TEST_F(ScreenListTest, ShowingAListedScreenAgainMovesItToTheTail) {
  a.Show(1);
  b.Show(1);
  a.Show(1);
  EXPECT_EQ(screenLIST->Count(), 2u);
  EXPECT_EQ(currentScreen, &a);
  DrawScreens();
  EXPECT_EQ(gCalls, (std::vector<std::string>{"DB", "DA"}));
  a.Show(0);
  EXPECT_EQ(screenLIST->Count(), 2u);
}

TEST_F(ScreenListTest, InactiveScreensNeitherStepNorDraw) {
  a.Show(1);
  b.Show(1);
  b.active = 0;
  EXPECT_TRUE(AnyScreenActive());
  ProcessScreens();
  DrawScreens();
  EXPECT_EQ(gCalls, (std::vector<std::string>{"PA", "DA"}));
}

TEST_F(ScreenListTest, ShowDropsQueuedKeysAndClicksInBothModes) {
  MakeMainWindow(Rect{100, 100, 580, 740});
  for (UInt8 modal : {1, 0}) {
    backend.PressKey(sc::A);
    backend.PressButton(300, 300);
    ASSERT_GT(backend.queuedEvents(), 0u);
    a.Show(modal);
    EXPECT_EQ(backend.queuedEvents(), 0u) << int(modal);
    EventRec record;
    EXPECT_FALSE(GetNextEvent(62, &record)) << int(modal);
    a.Hide();
  }
}

}  // namespace
