// The about box over a game and over the menus, and the first-play screen's
// own loop.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "AboutScreen.h"
#include "Bundle.h"
#include "FirstPlayScreen.h"
#include "GLFrame.h"
#include "GLImage.h"
#include "GameAssets.h"
#include "GameDriver.h"
#include "GameGlobals.h"
#include "MainLoop.h"
#include "ScreenList.h"
#include "Strings.h"

namespace {

using gametest::GameDriver;
using gametest::StepInput;

constexpr UInt8 kSpaceKey = 49;

struct Place {
  float x, y;
  bool operator==(const Place&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Place& p) { return out << "(" << p.x << ", " << p.y << ")"; }

// The game's background stars move on every game step.
std::vector<Place> World() {
  std::vector<Place> places;
  for (int i = 0; i < kStarCount; ++i) places.push_back({gStars[i].x, gStars[i].y});
  for (int i = 0; i < kZadadoCount; ++i)
    if (gZadados[i].active) places.push_back({gZadados[i].x, gZadados[i].y});
  return places;
}

class AboutScreenTest : public ::testing::Test {
 protected:
  void SetUp() override { driver_ = std::make_unique<GameDriver>(44); }
  GameDriver& driver() { return *driver_; }
  AboutScreen& about() { return *gAboutScreen; }
  std::unique_ptr<GameDriver> driver_;
};

TEST_F(AboutScreenTest, ThePanelSitsAboveTheMiddleWithItsTextAThirdDown) {
  AboutScreen::Open(&about());
  EXPECT_EQ(currentScreen, &about());
  const Rect& panel = about().rect;
  const SInt16 w = static_cast<SInt16>(about().picture.imageWidth / 1.6f);
  const SInt16 h = static_cast<SInt16>(about().picture.imageHeight / 1.6f);
  ASSERT_GT(w, 0);
  EXPECT_EQ(panel.right - panel.left, w);
  EXPECT_EQ(panel.bottom - panel.top, h);
  EXPECT_EQ(panel.left, 320 - w / 2);
  EXPECT_EQ(panel.top, static_cast<SInt16>(480 * 0.388f - h / 2));
  EXPECT_LT(panel.top + panel.bottom, 480);

  // The two lines were rendered into a 600 x 40 area, shown at 375 x 25.
  const Rect& text = about().textRect;
  EXPECT_EQ(text.right - text.left, 375);
  EXPECT_EQ(text.bottom - text.top, 25);
  EXPECT_EQ(text.left, panel.left + (panel.right - panel.left) / 2 - 375 / 2);
  EXPECT_EQ(text.top, static_cast<SInt16>(h * 0.33f + panel.top - 25 / 2));
  EXPECT_EQ(about().textImage.forceBlend, 1);
}

TEST_F(AboutScreenTest, TheLinesNameTheVersionAndTheEngine) {
  char line1[320];
  char line2[128];
  GetAboutLines(line1, sizeof line1, line2, sizeof line2);
  char version[256];
  PToCStr(gApplicationVersionShort, version);
  ASSERT_GT(std::strlen(version), 0u);
  EXPECT_EQ(std::string(line1), std::string("Version ") + version + " \xA9 2026 The Kestrova Team");
  EXPECT_STREQ(line2, "DO Duvuvu engine by The Kestrova Team");
}

TEST_F(AboutScreenTest, TheGameStandsStillUntilAClickClosesTheBox) {
  driver().startGame();
  driver().steps(60);
  AboutScreen::Open(&about());
  EXPECT_EQ(GameFlags.quitQuestionOpen, 1);
  const std::vector<Place> still = World();
  driver().steps(5);
  StepInput key;
  key.keyDowns = {kSpaceKey};
  driver().step(key);
  driver().steps(3);
  EXPECT_EQ(World(), still);
  EXPECT_EQ(about().active, 1);

  StepInput click;
  click.clicks = {Point{10, 10}};  // outside the panel
  driver().step(click);
  EXPECT_EQ(about().active, 0);
  EXPECT_EQ(GameFlags.quitQuestionOpen, 0);
  driver().steps(2);
  EXPECT_EQ(GameFlags.paused, 0);
  EXPECT_NE(World(), still);
}

TEST_F(AboutScreenTest, ItDimsTheScreenThenDrawsShadowPictureAndText) {
  AboutScreen::Open(&about());
  struct Draw {
    const GLImage* image;
    Rect dest;
    float red, alpha;
  };
  std::vector<Draw> draws;
  SetGLImageDrawRecorder(
      [](const GLImageDrawRecord& r, void* context) {
        static_cast<std::vector<Draw>*>(context)->push_back({r.image, r.dest, r.red, r.alpha});
      },
      &draws);
  about().Draw();
  SetGLImageDrawRecorder(nullptr, nullptr);

  ASSERT_GE(draws.size(), 4u);
  EXPECT_EQ(draws[0].image, &gImages->pixel);
  EXPECT_EQ(draws[0].red, 0.0f);
  EXPECT_EQ(draws[0].alpha, 0.5f);
  EXPECT_EQ(draws[0].dest.right - draws[0].dest.left, 640);
  EXPECT_EQ(gImages->pixel.red, 1.0f);  // the shared image is left as it was
  EXPECT_EQ(gImages->pixel.alpha, 1.0f);

  const Rect& panel = about().rect;
  EXPECT_EQ(draws[1].image, &about().shadow);
  EXPECT_EQ(draws[1].dest.left, panel.left + 12 - 4);
  EXPECT_EQ(draws[1].dest.top, panel.top + 12 - 4);
  EXPECT_EQ(draws[1].dest.right, panel.right + 12 + 4);
  EXPECT_EQ(draws[1].dest.bottom, panel.bottom + 12 + 4);
  EXPECT_EQ(draws[2].image, &about().picture);
  EXPECT_EQ(draws[2].dest.left, panel.left);
  EXPECT_EQ(draws.back().image, &about().textImage);
  EXPECT_EQ(draws.back().dest.left, about().textRect.left);
  EXPECT_EQ(draws.back().red, 1.0f);
}

class FirstPlayScreenTest : public AboutScreenTest {
 protected:
  void RunWithMovingClock() {
    driver().clock().stepPerRead = 100000;
    RunFirstPlayScreen();
    driver().clock().stepPerRead = 0;
  }
};

TEST_F(FirstPlayScreenTest, LaysOutItsCentredPanelAndReturnsOnQuit) {
  gSparks[3].inUse = 1;
  QuitRequested = 1;
  RunWithMovingClock();
  QuitRequested = 0;
  const FirstPlayState& s = FirstPlayScreenState;
  EXPECT_EQ(s.state, 1);
  EXPECT_EQ(s.panel.top, 48);
  EXPECT_EQ(s.panel.left, 64);
  EXPECT_EQ(s.panel.bottom, 432);
  EXPECT_EQ(s.panel.right, 576);
  EXPECT_EQ(s.strips[0].top, 64);
  EXPECT_EQ(s.strips[0].left, 80);
  EXPECT_EQ(s.strips[0].bottom, 88);
  EXPECT_EQ(s.strips[0].right, 560);
  for (int j = 1; j <= 8; ++j) {
    EXPECT_EQ(s.strips[j].top, 24 * (j - 1));
    EXPECT_EQ(s.strips[j].bottom, 24 * j);
    EXPECT_EQ(s.strips[j].right, 480);
  }
  for (const Rect& lamp : s.lamps) {
    EXPECT_GE(lamp.left, s.panel.left);
    EXPECT_LE(lamp.right, s.panel.right);
    EXPECT_GE(lamp.top, s.panel.top);
    EXPECT_LE(lamp.bottom, s.panel.bottom);
  }
  for (int i = 0; i < kSparkCount; ++i) ASSERT_EQ(gSparks[i].inUse, 0) << i;
  EXPECT_EQ(s.offscreen, nullptr);  // released on the way out
  EXPECT_EQ(GetFadeBrightness(), 255);
  EXPECT_EQ(gPlayFieldRect.bottom, 480);
}

TEST_F(FirstPlayScreenTest, AKeyLeavesIt) {
  driver().backend().PressKey(SDL_SCANCODE_SPACE);
  driver().backend().ReleaseKey(SDL_SCANCODE_SPACE);
  RunWithMovingClock();
  EXPECT_EQ(QuitRequested, 0);
}

TEST_F(FirstPlayScreenTest, TheLampCountersWrapAndTheSwingTurns) {
  LayoutFirstPlayScreen();
  FirstPlayState& s = FirstPlayScreenState;
  std::vector<int> swing;
  for (int tick = 1; tick <= 35; ++tick) {
    AnimateFirstPlayScreen();
    swing.push_back(s.swing);
    if (tick == 15) {
      EXPECT_EQ(s.shortCounters[0], 15);
    } else if (tick == 16) {
      EXPECT_EQ(s.shortCounters[4], 0);
    } else if (tick == 34) {
      EXPECT_EQ(s.longCounters[0], 34);
    }
  }
  EXPECT_EQ(s.longCounters[2], 0);
  for (int v : swing) {
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 4);
  }
  // Up to 4, a rest there, then back down.
  const auto peak = std::find(swing.begin(), swing.end(), 4);
  ASSERT_NE(peak, swing.end());
  EXPECT_EQ(*(peak + 1), 4);
  EXPECT_NE(std::find(peak, swing.end(), 3), swing.end());
}

}  // namespace
