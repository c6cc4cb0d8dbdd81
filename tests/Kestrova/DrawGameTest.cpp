#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "DrawGame.h"
#include "GLContext.h"
#include "GLFrame.h"
#include "GLImage.h"
#include "GameAssets.h"
#include "GameDriver.h"
#include "GameGlobals.h"
#include "KVButton.h"
#include "MainLoop.h"

namespace {

// One drawn frame as the window showed it, addressed in logical pixels.
struct Picture {
  std::vector<uint8_t> rgba;  // bottom row first
  int width = 0;
  int height = 0;
  GLFrameGeometry geometry{};

  const uint8_t* At(int x, int y) const {
    const int wx = static_cast<int>(geometry.offsetH + (x + 0.5f) * geometry.scale);
    const int wy = static_cast<int>(geometry.offsetV + (y + 0.5f) * geometry.scale);
    return &rgba[(static_cast<size_t>(height - 1 - wy) * width + wx) * 4];
  }
  bool Black(int x, int y) const {
    const uint8_t* p = At(x, y);
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
  }
  int Sum(int x, int y) const {
    const uint8_t* p = At(x, y);
    return p[0] + p[1] + p[2];
  }
};

bool Differs(const Picture& a, const Picture& b, int x, int y) {
  const uint8_t* p = a.At(x, y);
  const uint8_t* q = b.At(x, y);
  return p[0] != q[0] || p[1] != q[1] || p[2] != q[2];
}

// Draws one frame and reads the back buffer just before the swap.
Picture DrawAndCapture(gametest::GameDriver& driver) {
  Picture picture;
  SetBeforeSwapHook(
      [](void* context) {
        auto* pic = static_cast<Picture*>(context);
        pic->geometry = GetGLFrameGeometry();
        pic->width = pic->geometry.window.right - pic->geometry.window.left;
        pic->height = pic->geometry.window.bottom - pic->geometry.window.top;
        pic->rgba.resize(static_cast<size_t>(pic->width) * pic->height * 4);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, pic->width, pic->height, GL_RGBA, GL_UNSIGNED_BYTE, pic->rgba.data());
      },
      &picture);
  driver.frame();
  SetBeforeSwapHook(nullptr, nullptr);
  return picture;
}

// Nothing of the world in use, a clear picture, no button.
void EmptyWorld() {
  for (int p = 0; p < kPlayerCount; ++p) {
    gPlayers[p].active = 0;
    gPlayers[p].panelShown = 0;
    for (Shot& shot : (*gPlayerShots)[p]) shot.active = 0;
  }
  for (int i = 0; i < kEnemyCount; ++i) gEnemies[i].active = 0;
  for (int i = 0; i < kZadadoCount; ++i) gZadados[i].active = 0;
  for (int i = 0; i < kSparkCount; ++i) gSparks[i].inUse = 0;
  for (int i = 0; i < kObjectCount; ++i) {
    gWings[i].active = 0;
    gPods[i].active = 0;
    gFlashes[i].active = 0;
    (*gExplosions)[i].active = 0;
    (*gEnemyShots)[i].active = 0;
  }
  for (Object& pow : *gPickUps) pow.active = 0;
  gBoss->active = 0;
  gLevelBanner->active = 0;
  gOverlaySprite->active = 0;
  CursorWanted = 0;
  FullScreenButtonAlpha = 0.0f;
  SetFadeClear();
}

class DrawGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    driver_ = std::make_unique<gametest::GameDriver>(1234);
    EmptyWorld();
  }
  void TearDown() override {
    SetGLImageDrawRecorder(nullptr, nullptr);
    driver_.reset();
  }

  void Record() {
    SetGLImageDrawRecorder(
        [](const GLImageDrawRecord& record, void* self) {
          static_cast<DrawGameTest*>(self)->draws_.push_back(record);
        },
        this);
  }

  std::unique_ptr<gametest::GameDriver> driver_;
  std::vector<GLImageDrawRecord> draws_;
};

TEST_F(DrawGameTest, WithTheGameOffOnlyTheButtonAndTheFadeAreDrawn) {
  GameFlags.gameOn = 0;
  // Things in use that the play field would show.
  gZadados[0].active = 1;
  gZadados[0].rect = Rect{100, 100, 132, 132};
  FullScreenButtonAlpha = 1.0f;
  const Picture off = DrawAndCapture(*driver_);
  const Rect& button = FullScreenButton->rect;
  bool buttonShows = false;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const bool inButton = y >= button.top && y < button.bottom && x >= button.left && x < button.right;
      if (inButton) {
        buttonShows = buttonShows || !off.Black(x, y);
      } else {
        ASSERT_TRUE(off.Black(x, y)) << x << ", " << y;
      }
    }
  }
  EXPECT_TRUE(buttonShows);

  // The fade covers it all.
  SetFadeDark();
  const Picture dark = DrawAndCapture(*driver_);
  for (int y = 0; y < 480; y += 3) {
    for (int x = 0; x < 640; x += 3) ASSERT_TRUE(dark.Black(x, y)) << x << ", " << y;
  }

  // With the game on the play field is drawn.
  SetFadeClear();
  GameFlags.gameOn = 1;
  const Picture on = DrawAndCapture(*driver_);
  int lit = 0;
  for (int y = 0; y < 448; y += 8) {
    for (int x = 0; x < 600; x += 8) lit += on.Black(x, y) ? 0 : 1;
  }
  EXPECT_GT(lit, 100);
}

TEST_F(DrawGameTest, ObjectsChangeThePictureOnlyAroundThemselves) {
  GameFlags.gameOn = 1;
  const Picture before = DrawAndCapture(*driver_);

  Player& ship = gPlayers[0];
  ship.active = 1;
  ship.state = PlayerFlying;
  ship.rect = Rect{300, 300, 332, 332};
  ship.x = 316;
  ship.y = 316;
  ship.frame = 2;
  ship.countdown = 0;
  Zadado& meteor = gZadados[0];
  meteor.active = 1;
  meteor.destroyed = 0;
  meteor.frame = 0;
  meteor.brightness = 1.0f;
  meteor.rect = Rect{100, 100, 132, 132};
  Shot& shot = (*gPlayerShots)[0][0];
  shot.active = 1;
  shot.rect = Rect{200, 400, 224, 408};
  Object& explosion = (*gExplosions)[0];
  explosion.active = 1;
  explosion.frame = 2;
  explosion.rect = Rect{100, 500, 140, 540};
  const Rect objects[] = {ship.rect, meteor.rect, shot.rect, explosion.rect};

  const Picture after = DrawAndCapture(*driver_);
  for (const Rect& r : objects) {
    int changed = 0;
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) changed += Differs(before, after, x, y) ? 1 : 0;
    }
    EXPECT_GT(changed, 0) << r.top << ", " << r.left;
  }
  for (int y = 0; y < 448; ++y) {
    for (int x = 0; x < 640; ++x) {
      if (!Differs(before, after, x, y)) continue;
      bool near = false;
      for (const Rect& r : objects) {
        near = near || (x >= r.left - 16 && x < r.right + 16 && y >= r.top - 16 && y < r.bottom + 16);
      }
      ASSERT_TRUE(near) << "changed at " << x << ", " << y;
    }
  }
}

TEST_F(DrawGameTest, AFlashShowsForExactlyOneDrawnFrame) {
  GameFlags.gameOn = 1;
  Zadado& meteor = gZadados[3];
  meteor.active = 1;
  meteor.destroyed = 0;
  meteor.frame = 4;
  meteor.brightness = 1.0f;
  meteor.rect = Rect{200, 200, 232, 232};
  for (int i = 0; i < 4; ++i) meteor.flashColour[i] = FlashColour[i];
  meteor.flashFlag = 1;
  const Picture flashed = DrawAndCapture(*driver_);
  EXPECT_EQ(meteor.flashFlag, 0);
  const Picture next = DrawAndCapture(*driver_);
  const Picture third = DrawAndCapture(*driver_);
  long flashedSum = 0;
  long nextSum = 0;
  bool sameAfter = true;
  for (int y = 200; y < 232; ++y) {
    for (int x = 200; x < 232; ++x) {
      flashedSum += flashed.Sum(x, y);
      nextSum += next.Sum(x, y);
      sameAfter = sameAfter && !Differs(next, third, x, y);
    }
  }
  EXPECT_GT(flashedSum, nextSum);
  EXPECT_TRUE(sameAfter);
}

TEST_F(DrawGameTest, ScoreDigitsEndAtTheSameRightEdge) {
  GameFlags.gameOn = 1;
  Player& player = gPlayers[0];
  player.panelShown = 1;
  player.panelRect = Rect{448, 32, 480, 288};
  const struct {
    SInt32 score;
    int digits;
    float alpha;
  } cases[] = {{0, 1, 0.25f}, {1500, 4, 1.0f}, {9999999, 7, 1.0f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.score);
    GameFlags.score[0] = c.score;
    draws_.clear();
    Record();
    DrawPlayerScore(0);
    SetGLImageDrawRecorder(nullptr, nullptr);
    ASSERT_EQ(draws_.size(), static_cast<size_t>(2 * c.digits));
    for (int i = 0; i < c.digits; ++i) {
      const GLImageDrawRecord& shadow = draws_[i];
      const GLImageDrawRecord& digit = draws_[c.digits + i];
      EXPECT_EQ(digit.dest.left, 32 - 9 * c.digits + 102 + 9 * i);
      EXPECT_EQ(digit.dest.top, 455);
      EXPECT_EQ(digit.dest.right - digit.dest.left, 9);
      EXPECT_EQ(digit.dest.bottom - digit.dest.top, 9);
      EXPECT_EQ(shadow.dest.left, digit.dest.left + 1);
      EXPECT_EQ(shadow.dest.top, digit.dest.top + 1);
      EXPECT_FLOAT_EQ(shadow.red, 0.0f);
      EXPECT_FLOAT_EQ(digit.red, 0.75f);
      EXPECT_FLOAT_EQ(digit.green, 0.55f);
      EXPECT_FLOAT_EQ(digit.blue, 0.0f);
      EXPECT_FLOAT_EQ(digit.alpha, c.alpha);
    }
    EXPECT_EQ(draws_.back().dest.right, 32 + 102);
    // Each digit image keeps its own colour and alpha.
    EXPECT_FLOAT_EQ(draws_.back().image->alpha, 1.0f);
    EXPECT_FLOAT_EQ(draws_.back().image->red, 1.0f);
  }
  // A score of 0 is one faint 0 at panel left + 93.
  GameFlags.score[0] = 0;
  draws_.clear();
  Record();
  DrawPlayerScore(0);
  ASSERT_EQ(draws_.size(), 2u);
  EXPECT_EQ(draws_[1].image, &numberFRAME[0].image);
  EXPECT_EQ(draws_[1].dest.left, 32 + 93);
}

TEST_F(DrawGameTest, ExplosionsShrinkTurnAndFadeByFrame) {
  const GLImage& image = explosionFRAME[0].image;
  ASSERT_GT(image.imageWidth, 0);
  const Rect rect = {100, 100, 132, 132};  // 32 wide: s = 0.8
  for (SInt8 frame = 1; frame < 8; ++frame) {
    SCOPED_TRACE(int(frame));
    draws_.clear();
    Record();
    DrawExplosion(&rect, frame);
    SetGLImageDrawRecorder(nullptr, nullptr);
    ASSERT_EQ(draws_.size(), 1u);
    const float s = 0.8f;
    const float f = std::min(s, (10 - frame) * 0.125f * s);
    EXPECT_EQ(draws_[0].dest.right - draws_[0].dest.left, static_cast<SInt16>(image.imageWidth * f));
    EXPECT_NEAR((draws_[0].dest.left + draws_[0].dest.right) / 2.0, 116, 1.0);
    EXPECT_FLOAT_EQ(draws_[0].rotation, frame * 90.0f);
    EXPECT_FLOAT_EQ(draws_[0].alpha, (8 - frame) * 0.125f);
  }
  EXPECT_FLOAT_EQ(image.rotation, 0.0f);
  EXPECT_FLOAT_EQ(image.alpha, 1.0f);
}

TEST_F(DrawGameTest, TheOneShotFlagsAreClearedByTheirDrawers) {
  GameFlags.gameOn = 1;
  Player& ship = gPlayers[1];
  ship.active = 1;
  ship.state = PlayerFlying;
  ship.rect = Rect{300, 300, 332, 332};
  ship.muzzleFlash = 2;
  ship.flashFlag = 1;
  Enemy& enemy = gEnemies[2];
  enemy.active = 1;
  enemy.state = EnemyFlying;
  enemy.rect = Rect{50, 50, 82, 82};
  enemy.firingFlash = 1;
  Shot& laser = (*gEnemyShots)[2];
  laser.active = 1;
  laser.isBolt = 0;
  laser.rect = Rect{90, 58, 114, 74};
  laser.flashFlag = 1;
  Shot& bolt = (*gEnemyShots)[3];
  bolt.active = 1;
  bolt.isBolt = 1;
  bolt.boltKind = 2;
  bolt.rect = Rect{150, 58, 182, 90};
  bolt.flashFlag = 2;  // a kind-2 bolt's course countdown
  Record();
  driver_->frame();
  EXPECT_EQ(ship.muzzleFlash, 0);
  EXPECT_EQ(ship.flashFlag, 0);
  EXPECT_EQ(enemy.firingFlash, 0);
  EXPECT_EQ(enemy.muzzleRect.top, 82);
  EXPECT_EQ(enemy.muzzleRect.left, 58);
  EXPECT_EQ(laser.flashFlag, 0);
  EXPECT_EQ(bolt.flashFlag, 2);
  // Both muzzle flashes of a doubled shot.
  int fires = 0;
  for (const GLImageDrawRecord& d : draws_) fires += d.image == &playerFireFRAME[1].image ? 1 : 0;
  EXPECT_EQ(fires, 2);
}

TEST_F(DrawGameTest, TheButtonFadesInOverItWithNoGameAndOutDuringPlay) {
  GameFlags.gameOn = 0;
  gametest::StepInput over;
  over.moveMouse = true;
  over.mouse = Point{10, 620};
  std::vector<float> alphas;
  for (int i = 0; i < 10; ++i) {
    driver_->step(over);
    alphas.push_back(FullScreenButtonAlpha);
  }
  EXPECT_LT(alphas[8], 1.0f);
  EXPECT_FLOAT_EQ(alphas[9], 1.0f);
  GameFlags.gameOn = 1;
  GameFlags.paused = 0;
  driver_->step(over);
  EXPECT_LT(FullScreenButtonAlpha, 1.0f);
  // And it is drawn at that alpha.
  draws_.clear();
  Record();
  driver_->frame();
  bool drawn = false;
  for (const GLImageDrawRecord& d : draws_) {
    if (d.image == &FullScreenButton->titleImage) {
      drawn = true;
      EXPECT_FLOAT_EQ(d.alpha, FullScreenButtonAlpha);
    }
  }
  EXPECT_TRUE(drawn);
}

}  // namespace
