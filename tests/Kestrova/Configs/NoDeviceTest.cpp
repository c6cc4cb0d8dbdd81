// Runs with OpenAL's wave driver and no file to write: no output device opens.
#include <gtest/gtest.h>

#include <string>

#include "Backend.h"
#include "GameDriver.h"
#include "GameGlobals.h"
#include "MainLoop.h"
#include "ScriptedBackend.h"
#include "SourcePool.h"
#include "Sys.h"
#include "TestSupport.h"

namespace {

TEST(NoAudioDeviceTest, OpenALRequiredOnceThenTheGameGoesOnSilent) {
  // The config (ALSOFT_CONF) names no file for the wave driver to write.
  gametest::GameDriver::audioDriver = "wave";
  gametest::GameDriver driver(1);
  int shown = 0;
  for (const auto& box : driver.boxes()) {
    if (box.caption != "OpenAL Required") continue;
    ++shown;
    EXPECT_EQ(box.text.rfind("OpenAL is required for sound playback.  Press \"OK\" to continue without sound.", 0), 0u)
        << box.text;
  }
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(driver.boxes().size(), 1u);
  EXPECT_EQ(QuitRequested, 0);
  // Start-up went on: a game runs and draws.
  driver.startGame();
  const int frames = driver.framesDrawn();
  EXPECT_EQ(driver.pass(100000), 6);
  EXPECT_EQ(driver.framesDrawn(), frames + 1);
  EXPECT_EQ(GameFlags.gameOn, 1);
}

TEST(NoAudioDeviceTest, CancelOpensTheDownloadPageAndEndsTheProgram) {
  auto r = testsupport::RunInChild([] {
    // Whatever was opened is reported as the program ends.
    std::atexit([] {
      for (const std::string& text : static_cast<ScriptedBackend&>(GetBackend()).openedTexts())
        std::printf("opened %s\n", text.c_str());
    });
    SetQuestionAnswerForTesting(false);
    gametest::GameDriver::audioDriver = "wave";
    gametest::GameDriver driver(1);
    std::exit(3);  // never reached: Cancel ends the program
  });
  EXPECT_TRUE(r.exited);
  EXPECT_EQ(r.exitStatus, 0) << r.stderrText;
  EXPECT_EQ(r.stdoutText, "opened https://openal-soft.org/#download\n");
}

}  // namespace
