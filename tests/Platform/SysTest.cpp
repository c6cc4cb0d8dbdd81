#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Sys.h"
#include "TestSupport.h"

using testsupport::RunInChild;

TEST(MessageBox, DefaultSinkWritesOneLineToStderr) {
  auto r = RunInChild([] {
    ShowMessageBox("Caption", "Some text");
    ShowMessageBox("", "Only text");
  });
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.stderrText, "Caption: Some text\nOnly text\n");
}

TEST(MessageBox, StderrModeNeverBlocksWithVideoUp) {
  auto r = RunInChild([] {
    setenv("DUVUVU_MESSAGE_BOX", "stderr", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) std::exit(3);
    auto start = std::chrono::steady_clock::now();
    ShowMessageBox("Title", "Text");
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    SDL_Quit();
    std::exit(ms < 5000 ? 0 : 4);
  }, 20000);
  EXPECT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitStatus, 0) << r.stderrText;
  EXPECT_EQ(r.stderrText, "Title: Text\n");
}

TEST(MessageBox, RecordingSinkCapturesAndRestores) {
  {
    testsupport::RecordingMessageBox rec;
    ShowMessageBox("a", "b");
    ASSERT_EQ(rec.boxes().size(), 1u);
    EXPECT_EQ(rec.boxes()[0].caption, "a");
    EXPECT_EQ(rec.boxes()[0].text, "b");
  }
  auto r = RunInChild([] { ShowMessageBox("x", "y"); });
  EXPECT_EQ(r.stderrText, "x: y\n");
}

TEST(Process, ExitProcessRunsAtExitHandlersAndFlushes) {
  auto r = RunInChild([] {
    std::atexit([] { std::fputs("handler\n", stderr); });
    std::printf("unflushed");
    ExitProcess(7);
  });
  EXPECT_TRUE(r.exited);
  EXPECT_EQ(r.exitStatus, 7);
  EXPECT_EQ(r.stdoutText, "unflushed");
  EXPECT_EQ(r.stderrText, "handler\n");
}

TEST(Process, BeepIsCountedAndSilentOffTerminal) {
  int before = BeepCount();
  auto r = RunInChild([] { Beep(); });
  EXPECT_EQ(r.stderrText, "");
  Beep();
  EXPECT_EQ(BeepCount(), before + 1);
}

TEST(Process, EnvironmentAndExecutablePath) {
  setenv("DUVUVU_TEST_VALUE", "42", 1);
  EXPECT_EQ(GetEnvironment("DUVUVU_TEST_VALUE").value_or(""), "42");
  unsetenv("DUVUVU_TEST_VALUE");
  EXPECT_FALSE(GetEnvironment("DUVUVU_TEST_VALUE").has_value());
  EXPECT_NE(ExecutablePath().find("platform_tests"), std::string::npos);
  auto r = RunInChild([] {
    SetExecutablePathForTesting("/x/Contents/MacOS/Game");
    std::exit(ExecutablePath() == "/x/Contents/MacOS/Game" ? 0 : 1);
  });
  EXPECT_EQ(r.exitStatus, 0);
}

TEST(Process, LeftButtonIsUpWithoutVideo) { EXPECT_FALSE(IsLeftMouseButtonDown()); }

TEST(Clock, FakeClockReplacesEveryReading) {
  {
    testsupport::FakeClock clock;
    clock.nanoseconds = 5000000000ull;
    clock.wallSeconds = 100;
    clock.localOffsetSeconds = 3600;
    EXPECT_EQ(MonotonicNanoseconds(), 5000000000ull);
    EXPECT_EQ(MonotonicMilliseconds(), 5000u);
    SleepMilliseconds(250);
    EXPECT_EQ(MonotonicMilliseconds(), 5250u);
    EXPECT_EQ(WallClockSeconds(), 100);
    EXPECT_EQ(LocalTimeOffsetSeconds(), 3600);
  }
  uint64_t a = MonotonicNanoseconds();
  SleepMilliseconds(2);
  EXPECT_GE(MonotonicNanoseconds() - a, 2000000ull);
}

TEST(Clock, LocalOffsetFollowsTimeZone) {
  auto r = RunInChild([] {
    setenv("TZ", "Asia/Kolkata", 1);
    tzset();
    std::exit(LocalTimeOffsetSeconds() == 19800 ? 0 : 1);
  });
  EXPECT_EQ(r.exitStatus, 0);
}

// Each shut-down signal is only recorded the first time; a second one while
// shutting down ends the process by that signal.
TEST(Process, ShutdownSignalsAreRecordedOnceThenEndTheProcess) {
  for (int number : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(number);
    auto first = RunInChild([number] {
      CatchShutdownSignals();
      if (ShutdownSignal() != 0) std::_Exit(10);
      raise(number);
      std::printf("after %d", ShutdownSignal());
    });
    EXPECT_TRUE(first.exited);
    EXPECT_EQ(first.exitStatus, 0);
    EXPECT_EQ(first.stdoutText, "after " + std::to_string(number));

    auto second = RunInChild([number] {
      CatchShutdownSignals();
      raise(number);
      raise(SIGTERM);
      std::printf("survived");
    });
    EXPECT_FALSE(second.exited);
    EXPECT_EQ(second.signal, SIGTERM);
    EXPECT_EQ(second.stdoutText, "");
  }
}
