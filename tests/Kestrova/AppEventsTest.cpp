#include "AppEvents.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Controls.h"
#include "EventPoll.h"
#include "GLImage.h"
#include "GameDriver.h"
#include "GameGlobals.h"
#include "MainLoop.h"
#include "Menus.h"
#include "ScreenList.h"
#include "Screens/AboutScreen.h"
#include "Screens/ConfirmScreen.h"
#include "TestSupport.h"
#include "TextField.h"
#include "Windows.h"

namespace {

using gametest::GameDriver;
using gametest::StepInput;

constexpr UInt8 kReturnKey = 36;
constexpr UInt8 kSpaceKey = 49;

int ShipsFlying() {
  int n = 0;
  for (int p = 0; p < kPlayerCount; ++p) n += gPlayers[p].active ? 1 : 0;
  return n;
}

class AppEventsTest : public ::testing::Test {
 protected:
  void SetUp() override { driver_ = std::make_unique<GameDriver>(7); }
  void TearDown() override { MenuDispatchFlags = MenuDispatchFlagsRecord{}; }

  GameDriver& driver() { return *driver_; }
  void StartPlaying() {
    driver().startGame();
    driver().steps(26);
    StepInput fire;
    fire.held = {kSpaceKey};
    driver().step(fire);
    driver().steps(3);
    ASSERT_EQ(GameFlags.gameOn, 1);
    ASSERT_GT(ShipsFlying(), 0);
  }
  void PushClose() { driver().backend().PushClose(WindowId(gMainWindow)); }
  // The poll takes one event a step: what was pushed is seen a step later.
  // The step that ended the loop, counting from 1; 0 when it goes on.
  int StepsUntilTheLoopEnds(const StepInput& first = {}) {
    for (int i = 1; i <= 4; ++i)
      if (!driver().step(i == 1 ? first : StepInput{})) return i;
    return 0;
  }

  std::unique_ptr<GameDriver> driver_;
};

TEST_F(AppEventsTest, QuitWithNoGameEndsTheLoopAndAbandonsNothing) {
  MenuDispatchFlags.quitCommand = 1;
  HandleAppEvent();
  EXPECT_EQ(QuitRequested, 1);
  EXPECT_EQ(MenuDispatchFlags.quitCommand, 0);
  EXPECT_EQ(GameFlags.quitQuestionOpen, 0);
  EXPECT_EQ(gConfirmScreen->active, 0);
  EXPECT_FALSE(driver().step());
}

TEST_F(AppEventsTest, QuitDuringAGameAsksOnceHoweverOftenItComes) {
  StartPlaying();
  const int flying = ShipsFlying();
  for (int i = 0; i < 3; ++i) {
    MenuDispatchFlags.quitCommand = 1;
    HandleAppEvent();
    EXPECT_TRUE(driver().step());
  }
  EXPECT_EQ(GameFlags.quitQuestionOpen, 1);
  EXPECT_EQ(gConfirmScreen->active, 1);
  EXPECT_EQ(currentScreen, gConfirmScreen.Pointer());
  EXPECT_EQ(CursorWanted, 1);
  EXPECT_EQ(QuitRequested, 0);
  EXPECT_EQ(GameFlags.gameOver, 0);
  EXPECT_EQ(ShipsFlying(), flying);
}

TEST_F(AppEventsTest, TheWindowsCloseButtonAsksDuringAGame) {
  StartPlaying();
  for (int i = 0; i < 3; ++i) {
    PushClose();
    EXPECT_EQ(StepsUntilTheLoopEnds(), 0);
    EXPECT_EQ(MenuDispatchFlags.closeBox, 0);
  }
  EXPECT_EQ(GameFlags.quitQuestionOpen, 1);
  EXPECT_EQ(currentScreen, gConfirmScreen.Pointer());
  EXPECT_EQ(QuitRequested, 0);

  // Return confirms: the loop ends with the game over.
  StepInput quit;
  quit.keyDowns = {kReturnKey};
  EXPECT_GT(StepsUntilTheLoopEnds(quit), 0);
  EXPECT_EQ(QuitRequested, 1);
  EXPECT_EQ(GameFlags.gameOver, 1);
}

TEST_F(AppEventsTest, TheWindowsCloseButtonEndsTheLoopWithNoGame) {
  driver().steps(3);
  PushClose();
  EXPECT_EQ(StepsUntilTheLoopEnds(), 2);
  EXPECT_EQ(QuitRequested, 1);
  EXPECT_EQ(GameFlags.quitQuestionOpen, 0);
  EXPECT_EQ(MenuDispatchFlags.closeBox, 0);
}

TEST_F(AppEventsTest, TheCloseBoxIsIgnoredForAMenuCommand) {
  MenuDispatchFlags.closeBox = 1;
  MenuDispatchFlags.inMenuCommand = 1;
  HandleAppEvent();
  EXPECT_EQ(QuitRequested, 0);
  MenuDispatchFlags.inMenuCommand = 0;
  HandleAppEvent();
  EXPECT_EQ(QuitRequested, 1);
}

TEST_F(AppEventsTest, GoingToTheBackgroundPausesARunningGameOnly) {
  EventRec* event = GetCurrentEventRec();
  event->what = 15;
  event->message = 0x01000000u;  // suspend
  DispatchCurrentEvent();
  EXPECT_EQ(GameFlags.paused, 0);
  EXPECT_EQ(PausedBySuspension, 0);

  StartPlaying();
  event = GetCurrentEventRec();
  event->what = 15;
  event->message = 0x01000000u;
  DispatchCurrentEvent();
  EXPECT_EQ(GameFlags.paused, 1);
  EXPECT_EQ(PausedBySuspension, 1);
  // A second suspend leaves the pause as it is.
  DispatchCurrentEvent();
  EXPECT_EQ(GameFlags.paused, 1);
}

TEST_F(AppEventsTest, PasteInsertsNothing) {
  TextFieldGL field;
  field.text = "AB";
  field.Focus();
  HandleMenuCommand(130, 5);
  EXPECT_EQ(field.text, "AB");
  focusedField = nullptr;
  DeleteGLImageTexture(&field.textImage);

  StringObject* clipboard = GetClipboardText();
  ASSERT_NE(clipboard, nullptr);
  EXPECT_EQ(clipboard->text, "");
  ReleaseObject(clipboard);
}

TEST_F(AppEventsTest, TheAboutCommandOpensTheAboutBox) {
  HandleMenuCommand(kApplicationMenuID, 1);
  EXPECT_EQ(gAboutScreen->active, 1);
  EXPECT_EQ(QuitRequested, 0);
}


int CountTraceSteps(const std::string& path) {
  std::ifstream in(path);
  int lines = 0;
  for (std::string line; std::getline(in, line);) lines += line.rfind("step=", 0) == 0;
  return lines;
}

TEST(AppEventsProgramTest, TheCloseButtonEndsTheProgramAndSavesThePreferences) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  using Clock = std::chrono::steady_clock;
  const std::string program = std::string(DUVUVU_BUNDLE_DIR) + "/Contents/MacOS/Kestrova";
  ASSERT_EQ(access(program.c_str(), X_OK), 0) << program;
  testsupport::TempDir home;
  const std::string prefs = home / "Kestrova Preferences.plist";
  ASSERT_TRUE(testsupport::WriteFile(prefs, "<dict><key>Full Screen</key><false/></dict>"));
  const std::string trace = home / "trace.txt";
  const pid_t child = testsupport::StartBundleProgram(program, home.path(), {"KESTROVA_TRACE=" + trace});
  ASSERT_GE(child, 0);
  // Killed by its id on every way out of the test.
  struct Reaper {
    pid_t pid;
    bool reaped = false;
    ~Reaper() {
      if (reaped) return;
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  } reaper{child};

  auto deadline = Clock::now() + std::chrono::seconds(60);
  while (CountTraceSteps(trace) <= 15) {
    ASSERT_LT(Clock::now(), deadline) << "the program drew no frame";
    ASSERT_EQ(waitpid(child, nullptr, WNOHANG), 0) << "the program ended";
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  const std::string window = testsupport::FindAndFocusXWindow("Kestrova");
  ASSERT_FALSE(window.empty());
  ASSERT_TRUE(testsupport::SendDeleteWindow(window));

  int status = 0;
  deadline = Clock::now() + std::chrono::seconds(10);
  while (waitpid(child, &status, WNOHANG) == 0) {
    ASSERT_LT(Clock::now(), deadline) << "the program did not end";
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  reaper.reaped = true;
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const std::string saved = testsupport::ReadFile(prefs);
  EXPECT_NE(saved.find("<key>Custom Keys</key>"), std::string::npos) << saved;
  EXPECT_NE(saved.find("<key>Window Size</key>"), std::string::npos) << saved;
}

}  // namespace
