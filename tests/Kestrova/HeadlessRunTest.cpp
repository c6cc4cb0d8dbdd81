// The whole program under the headless driver, as a player goes through it:
// logo, title, main screen, a game, the pause box's Abort, the name box, the
// table and Quit; then what the files hold.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "GLFrame.h"
#include "GameDriver.h"
#include "GameGlobals.h"
#include "GamePrefs.h"
#include "InputScreen.h"
#include "MainLoop.h"
#include "MainScreen.h"
#include "PauseScreen.h"
#include "PlistTag.h"
#include "QVLogoScreen.h"
#include "QV_Scores.h"
#include "ScoreTable.h"
#include "ScreenList.h"
#include "ImageBuff.h"
#include "GameAssets.h"
#include "TitleScreen.h"
#include "Autopilot.h"

namespace {

using gametest::GameDriver;
using gametest::StepInput;

constexpr UInt8 kSpaceKey = 49;
constexpr UInt8 kEscapeKey = 53;

struct RunResult {
  std::string trace;
  std::string scoresFile;
  std::string prefsFile;
  SInt32 score = 0;
  SInt32 level = 0;
  int goldInRow = 0;
  bool treeMatchesFile = false;
};

std::string Value(PlistTag* parent, const char* type, const char* key) {
  Str255 value;
  if (!PlistTag::FindTagValue(parent, type, key, value, 0)) return "(none)";
  return std::string(reinterpret_cast<const char*>(value + 1), value[0]);
}

// The row of the table in memory that holds this name; -1 when none does.
int RowNamed(const std::string& name) {
  PlistTag* array = PlistTag::FindTag(&gScores->root, "array", "Scores", 0);
  if (!array) return -1;
  for (UInt32 row = 0; row < array->child.count; ++row)
    if (Value(array->child.data[row], "string", "Name") == name) return static_cast<int>(row);
  return -1;
}

class HeadlessRun {
 public:
  explicit HeadlessRun(GameDriver& driver) : driver_(driver) {}

  bool StepUntil(const std::function<bool()>& done, int limit, const StepInput& input = {}) {
    for (int n = 0; n < limit; ++n) {
      if (done()) return true;
      if (!driver_.step(input)) return done();
    }
    return done();
  }

  // Down in one step, up in the next.
  void Click(const Rect& r) {
    StepInput input;
    input.clicks = {Point{static_cast<SInt16>((r.top + r.bottom) / 2), static_cast<SInt16>((r.left + r.right) / 2)}};
    driver_.step(input);
    driver_.step();
  }

  void Press(SDL_Scancode scancode, bool shift = false) {
    if (shift) driver_.backend().SetKeyHeld(SDL_SCANCODE_LSHIFT, true);
    driver_.backend().PressKey(scancode);
    driver_.backend().ReleaseKey(scancode);
    driver_.step();
    driver_.step();
    if (shift) driver_.backend().SetKeyHeld(SDL_SCANCODE_LSHIFT, false);
  }

 private:
  GameDriver& driver_;
};

RunResult RunOnce() {
  RunResult result;
  GameDriver driver(12345);
  HeadlessRun run(driver);
  QVLogoScreen::Open(gQVLogoScreen.Pointer());

  StepInput keyDown;
  keyDown.keyDowns = {kSpaceKey};
  StepInput held;
  held.held = {kSpaceKey};
  EXPECT_TRUE(run.StepUntil([] { return GetFadeBrightness() == 255; }, 400));
  driver.step(keyDown);
  EXPECT_TRUE(run.StepUntil([] { return currentScreen == gTitleScreen.Pointer(); }, 400));
  EXPECT_TRUE(run.StepUntil([] { return GetFadeBrightness() == 255; }, 400));
  driver.step(held);
  EXPECT_TRUE(run.StepUntil(
      [] { return currentScreen == gMainScreen.Pointer() && GetFadeBrightness() == 255; }, 400));

  run.Click(gMainScreen->buttons.data[kMainPlay].rect);
  EXPECT_TRUE(run.StepUntil([] { return GameFlags.gameOn && GetFadeBrightness() == 255; }, 400));

  // Only player 1 plays, so the one name box is player 1's.
  gametest::Autopilot pilot;
  for (int n = 0; n < 30000 && GameFlags.score[0] == 0; ++n) {
    StepInput input = pilot.next();
    std::erase_if(input.held, [](UInt8 key) {
      return std::find(std::begin(KeyBindings[0]), std::end(KeyBindings[0]), key) == std::end(KeyBindings[0]);
    });
    driver.step(input);
  }
  EXPECT_GT(GameFlags.score[0], 0);
  EXPECT_EQ(GameFlags.gameOver, 0);
  result.score = GameFlags.score[0];
  result.level = GameFlags.level;

  StepInput escape;
  escape.keyDowns = {kEscapeKey};
  driver.step(escape);
  EXPECT_TRUE(run.StepUntil([] { return currentScreen == gPauseScreen.Pointer(); }, 10));
  run.Click(gPauseScreen->buttons[PauseScreen::kAbort].rect);
  EXPECT_TRUE(run.StepUntil([] { return currentScreen == &(*gInputScreens)[0]; }, 600));

  run.Press(SDL_SCANCODE_E, true);
  run.Press(SDL_SCANCODE_2);
  run.Press(SDL_SCANCODE_E, true);
  run.Press(SDL_SCANCODE_RETURN);
  EXPECT_TRUE(run.StepUntil([] { return currentScreen == gMainScreen.Pointer(); }, 100));

  // The new row, highlighted: gold where the row's name starts.
  const int row = RowNamed("E2E");
  EXPECT_GE(row, 0);
  RenderScoreTable(gMainScreen.Pointer());
  const int baseline = static_cast<int>(24.0f + 34.08f * static_cast<float>(row));
  for (int y = std::max(0, baseline - 23); y <= baseline + 6; ++y)
    for (int x = 0; x < 385; ++x) {
      const UInt8* p = reinterpret_cast<const UInt8*>(&ImagePool.pixels[static_cast<size_t>(y) * ImagePool.width + x]);
      result.goldInRow += p[0] > 200 && p[1] > 170 && p[2] < 60;
    }

  run.Click(gMainScreen->buttons.data[kMainQuit].rect);
  EXPECT_TRUE(run.StepUntil([] { return QuitRequested != 0; }, 100));
  SaveGamePrefs();  // what main does once the loop has ended

  // The table in memory and the file agree row by row.
  const std::string folder = std::getenv("AppData");
  result.scoresFile = testsupport::ReadFile(folder + "/Kestrova Scores.plist");
  result.prefsFile = testsupport::ReadFile(folder + "/Kestrova Preferences.plist");
  PlistTag reread;
  if (FILE* file = std::fopen((folder + "/Kestrova Scores.plist").c_str(), "rb")) {
    PlistTag::ReadStdFile(&reread, file);
    std::fclose(file);
  }
  PlistTag* a = PlistTag::FindTag(&gScores->root, "array", "Scores", 0);
  PlistTag* b = PlistTag::FindTag(&reread, "array", "Scores", 0);
  result.treeMatchesFile = a && b && a->child.count == b->child.count;
  for (UInt32 i = 0; result.treeMatchesFile && i < a->child.count; ++i) {
    PlistTag* x = a->child.data[i];
    PlistTag* y = b->child.data[i];
    for (const char* key : {"Score", "Level"})
      result.treeMatchesFile &= Value(x, "integer", key) == Value(y, "integer", key);
    result.treeMatchesFile &= Value(x, "string", "Name") == Value(y, "string", "Name");
  }
  for (const std::string& line : driver.trace()) result.trace += line + "\n";
  return result;
}

TEST(HeadlessRunTest, LogoToNameEntryToQuitTwiceTheSame) {
  const RunResult first = RunOnce();
  const size_t row = first.scoresFile.find("<string>E2E</string>");
  ASSERT_NE(row, std::string::npos) << first.scoresFile;
  const size_t open = first.scoresFile.rfind("<dict>", row);
  const std::string rowText = first.scoresFile.substr(open, first.scoresFile.find("</dict>", row) - open);
  EXPECT_NE(rowText.find("<integer>" + std::to_string(first.score) + "</integer>"), std::string::npos) << rowText;
  EXPECT_NE(rowText.find("<integer>" + std::to_string(first.level) + "</integer>"), std::string::npos) << rowText;
  EXPECT_GT(first.goldInRow, 20);
  EXPECT_TRUE(first.treeMatchesFile);
  for (const char* key : {"Custom Keys", "Window Size", "First Play", "Audio Prefs"})
    EXPECT_NE(first.prefsFile.find(std::string("<key>") + key + "</key>"), std::string::npos) << key;

  const RunResult second = RunOnce();
  EXPECT_EQ(second.trace, first.trace);
  EXPECT_EQ(second.scoresFile, first.scoresFile);
}

}  // namespace
