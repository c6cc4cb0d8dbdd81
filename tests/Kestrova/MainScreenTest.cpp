#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "AudioPrefs.h"
#include "DrawGame.h"
#include "GLFrame.h"
#include "GameAssets.h"
#include "GameDriver.h"
#include "GameGlobals.h"
#include "MainScreenOpen.h"
#include "MainLoop.h"
#include "Music.h"
#include "NumberText.h"
#include "PlistTag.h"
#include "ScreenList.h"
#include "Screens/ConfirmScreen.h"
#include "Screens/HelpScreen.h"
#include "Screens/InputScreen.h"
#include "Screens/KeyPanel.h"
#include "Screens/MainScreen.h"

namespace {

using gametest::FramePicture;
using gametest::GameDriver;
using gametest::StepInput;

Point Centre(const Rect& r) {
  return Point{static_cast<SInt16>((r.top + r.bottom) / 2), static_cast<SInt16>((r.left + r.right) / 2)};
}

bool RectInside(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

int CountSounds(const GameDriver& driver, const char* name) {
  int n = 0;
  for (const auto& sound : driver.sounds()) n += sound.name == name;
  return n;
}

int ActiveMeteors() {
  int n = 0;
  for (UInt32 i = 0; i < gZadados->count; ++i) n += gZadados[i].active != 0;
  return n;
}

class MainScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    driver_ = std::make_unique<GameDriver>(5);
    gAudioPrefs.soundOn = 1;
    gAudioPrefs.musicOn = 1;
  }
  GameDriver& driver() { return *driver_; }
  MainScreen& screen() { return *gMainScreen; }
  void Open() { OpenMainScreenIn(driver()); }
  // Steps until the screen is fully shown; the number of steps taken.
  int StepsToFullBrightness() {
    int n = 0;
    while (GetFadeBrightness() < 255 && n < 100) {
      driver().step();
      ++n;
    }
    return n;
  }
  // A control reports its click on the release step.
  void Click(const Rect& r) {
    StepInput click;
    click.clicks = {Centre(r)};
    driver().step(click);
    driver().step();
  }
  const Rect& ButtonRect(int i) { return screen().buttons.data[i].rect; }
  std::unique_ptr<GameDriver> driver_;
};

TEST_F(MainScreenTest, OpeningLaysTheScreenOut) {
  Open();
  EXPECT_EQ(GetFadeBrightness(), 0);
  EXPECT_EQ(currentScreen, gMainScreen.Pointer());
  EXPECT_EQ(CursorWanted, 1);
  EXPECT_EQ(ActiveMeteors(), 8);
  EXPECT_EQ(gPlayFieldRect.bottom, ScreenRect.bottom);
  EXPECT_EQ(gPlayFieldRect.right, ScreenRect.right);

  // The buttons stand in a column down the left at one pitch, each the size of
  // its title image at the screen's scale, none over the next. Sound and Music
  // stand right of their lamps, and their tracking rects reach back over them.
  ASSERT_EQ(screen().buttons.count, UInt32{kMainButtonCount});
  const Rect& first = screen().buttons.data[kMainPlay].rect;
  const Rect& second = screen().buttons.data[kMainHelp].rect;
  const SInt16 column = first.left;
  const SInt16 pitch = static_cast<SInt16>(second.top - first.top);
  const SInt16 lampGap = static_cast<SInt16>(screen().buttons.data[kMainSound].rect.left - column);
  EXPECT_GT(lampGap, 0);
  SInt16 columnRight = 0;
  for (int i = 0; i < kMainButtonCount; ++i) {
    SCOPED_TRACE(i);
    const KVButton& b = screen().buttons.data[i];
    const SInt16 w = static_cast<SInt16>(b.titleImage.imageWidth * screen().scale);
    const SInt16 h = static_cast<SInt16>(b.titleImage.imageHeight * screen().scale);
    ASSERT_GT(w, 0);
    EXPECT_EQ(b.rect.right - b.rect.left, w);
    EXPECT_EQ(b.rect.bottom - b.rect.top, h);
    EXPECT_EQ(b.rect.top, first.top + pitch * i);
    if (i > 0) {
      EXPECT_GE(b.rect.top, screen().buttons.data[i - 1].rect.bottom);
    }
    const bool lamp = i == kMainSound || i == kMainMusic;
    EXPECT_EQ(b.rect.left, column + (lamp ? lampGap : 0));
    EXPECT_EQ(b.trackRect.left, column);
    EXPECT_EQ(b.trackRect.right, b.rect.right);
    EXPECT_EQ(b.trackRect.top, b.rect.top);
    EXPECT_EQ(b.trackRect.bottom, b.rect.bottom);
    EXPECT_TRUE(RectInside(b.rect, ScreenRect));
    columnRight = std::max(columnRight, b.rect.right);
  }
  EXPECT_EQ(screen().buttons.data[kMainSound].clickSound, nullptr);

  // The high-score table stands right of the buttons, its header centred over it.
  const Rect& table = screen().scoreTableRect;
  EXPECT_TRUE(RectInside(table, ScreenRect));
  EXPECT_GT(table.left, columnRight);
  const Rect& header = screen().scorePanel.rect;
  EXPECT_NEAR(Centre(header).h, Centre(table).h, 1);
  EXPECT_LT(Centre(header).v, table.top);
  EXPECT_GT(header.bottom, header.top);

  // The credits line: its image shown at 1 / 1.6, in the top right, above the table.
  const Rect& credits = screen().creditsRect;
  EXPECT_EQ(credits.right - credits.left, static_cast<SInt16>(screen().creditsImage.imageWidth / 1.6f));
  EXPECT_EQ(credits.bottom - credits.top, static_cast<SInt16>(screen().creditsImage.imageHeight / 1.6f));
  EXPECT_TRUE(RectInside(credits, ScreenRect));
  EXPECT_GT(credits.left, columnRight);
  EXPECT_LE(credits.bottom, table.top);

  const Rect& nebula = screen().nebulaRect;
  EXPECT_EQ(nebula.right - nebula.left, screen().nebula.imageWidth);
  EXPECT_NEAR((nebula.left + nebula.right) / 2, (ScreenRect.left + ScreenRect.right) / 2, 1);
  EXPECT_NEAR((nebula.top + nebula.bottom) / 2, (ScreenRect.top + ScreenRect.bottom) / 2, 1);

  EXPECT_EQ(gKeyPanel->conflictSound, &gSounds->metal0);
  EXPECT_EQ(gKeyPanel->selectSound, &gSounds->blip);
  EXPECT_EQ(gKeyPanel->setSound, &gSounds->dink);
}

TEST_F(MainScreenTest, PlayDuringTheFadeInDoesNothingAndAtFullBrightnessStartsAGameInTheDark) {
  Open();
  driver().steps(5);
  Click(ButtonRect(kMainPlay));
  EXPECT_EQ(screen().pendingAction, kMainActionNone);
  EXPECT_EQ(screen().fadeDirection, kMainFadingIn);
  EXPECT_EQ(7 + StepsToFullBrightness(), 26);

  Click(ButtonRect(kMainPlay));
  EXPECT_EQ(screen().pendingAction, kMainActionPlay);
  EXPECT_EQ(CursorWanted, 0);
  int fading = 1;
  while (GetFadeBrightness() > 0 && fading < 100) {
    driver().step();
    ++fading;
  }
  EXPECT_EQ(fading, 26);
  EXPECT_EQ(GameFlags.gameOn, 0);
  driver().step();
  EXPECT_EQ(GameFlags.gameOn, 1);
  EXPECT_EQ(screen().active, 0);
  // Nothing of the menu's pictures is held through the game.
  EXPECT_EQ(screen().backdrop.textureName, 0u);
  EXPECT_EQ(screen().nebula.textureName, 0u);
  EXPECT_EQ(screen().scoreTableImage.textureName, 0u);
  EXPECT_EQ(screen().creditsImage.textureName, 0u);
  EXPECT_EQ(GetFadeBrightness(), 0);

  // The game's end opens the menu again, with its table and credits.
  MainScreen::Open(&screen());
  EXPECT_NE(screen().scoreTableImage.textureName, 0u);
  EXPECT_NE(screen().creditsImage.textureName, 0u);
}

TEST_F(MainScreenTest, QuitFadesPictureAndMusicOutThenAsksTheLoopToEnd) {
  Open();
  StepsToFullBrightness();
  Click(ButtonRect(kMainQuit));
  EXPECT_EQ(screen().fadeDirection, kMainFadingOut);
  driver().steps(4);
  EXPECT_EQ(GetFadeBrightness(), 205);
  EXPECT_EQ(screen().music.streamPlayer.ownerVolume, 205);
  EXPECT_EQ(QuitRequested, 0);
  while (GetFadeBrightness() > 0) driver().step();
  EXPECT_EQ(QuitRequested, 0);
  EXPECT_EQ(screen().music.streamPlayer.ownerVolume, 0);
  driver().step();
  EXPECT_EQ(QuitRequested, 1);
}

TEST_F(MainScreenTest, UnderTheHelpScreenMeteorsMoveButTheFadeWaits) {
  Open();
  driver().steps(5);
  const SInt16 brightness = GetFadeBrightness();
  HelpScreen::Open(gHelpScreen.Pointer());
  ASSERT_EQ(currentScreen, static_cast<ScreenGL*>(gHelpScreen.Pointer()));
  Zadado& meteor = gZadados[0];
  const float x = meteor.x;
  const float y = meteor.y;
  const float rotation = screen().nebula.rotation;
  driver().steps(9);
  EXPECT_EQ(GetFadeBrightness(), brightness);
  EXPECT_TRUE(meteor.x != x || meteor.y != y);
  EXPECT_FLOAT_EQ(screen().nebula.rotation, rotation - 0.3f);
}

TEST_F(MainScreenTest, TheSoundAndMusicTogglesSwitchTheirPrefs) {
  Open();
  StepsToFullBrightness();
  Click(ButtonRect(kMainSound));
  EXPECT_EQ(gAudioPrefs.soundOn, 0);
  Click(ButtonRect(kMainSound));
  EXPECT_EQ(gAudioPrefs.soundOn, 1);
  ASSERT_EQ(CountSounds(driver(), "Blip"), 1);
  const Point at = Centre(ButtonRect(kMainSound));
  EXPECT_EQ(driver().sounds()[0].point.v, at.v);
  EXPECT_EQ(driver().sounds()[0].point.h, at.h);

  // The lamp area left of the button is part of it too.
  const Rect& music = ButtonRect(kMainMusic);
  StepInput lamp;
  lamp.clicks = {Point{static_cast<SInt16>((music.top + music.bottom) / 2), 60}};
  driver().step(lamp);
  driver().step();
  EXPECT_EQ(gAudioPrefs.musicOn, 0);
  EXPECT_TRUE(StreamPlayer::IsStopped(&screen().music.streamPlayer));
  Click(music);
  EXPECT_EQ(gAudioPrefs.musicOn, 1);
  EXPECT_FALSE(StreamPlayer::IsStopped(&screen().music.streamPlayer));
}

TEST_F(MainScreenTest, TheHeaderAsksToClearAndHelpOpensTheHelpPages) {
  Open();
  StepsToFullBrightness();
  Click(screen().scorePanel.rect);
  EXPECT_EQ(currentScreen, static_cast<ScreenGL*>(gConfirmScreen.Pointer()));
  EXPECT_EQ(gConfirmScreen->mode, kConfirmClear);
  gConfirmScreen->Hide();
  driver().step();
  ASSERT_EQ(currentScreen, gMainScreen.Pointer());
  Click(ButtonRect(kMainHelp));
  EXPECT_EQ(currentScreen, static_cast<ScreenGL*>(gHelpScreen.Pointer()));
}

// A pending result as RecordGameResult leaves it.
void SetPendingResult(int player, SInt32 score, SInt32 level) {
  PlistTag* entry = &gScores->pending.data[player].tag;
  Str255 text;
  NumToPStr(score, text);
  std::memcpy(PlistTag::FindTag(entry, "integer", "Score", 1)->value, text, text[0] + 1u);
  NumToPStr(level, text);
  std::memcpy(PlistTag::FindTag(entry, "integer", "Level", 1)->value, text, text[0] + 1u);
}

void SetBlankTable() {
  PlistTag* root = &gScores->root;
  PlistTag::DeleteChildren(root);
  PlistTag* array = PlistTag::NewTag(root, "array", "Scores", "");
  for (int i = 0; i < 15; ++i) {
    PlistTag* row = PlistTag::NewTag(array, "dict", "", "");
    PlistTag::NewTag(row, "string", "Name", "-");
    PlistTag::NewTag(row, "integer", "Score", "0");
    PlistTag::NewTag(row, "integer", "Level", "0");
  }
}

TEST_F(MainScreenTest, AQualifyingResultEntersAtTheEndOfTheFadeIn) {
  SetBlankTable();
  gScores->ClearPending();
  SetPendingResult(0, 5000, 3);
  Open();
  driver().steps(25);
  EXPECT_EQ(CountSounds(driver(), "Power"), 0);
  EXPECT_EQ(gScores->pending.data[0].insertIndex, 65535);
  driver().step();
  ASSERT_EQ(GetFadeBrightness(), 255);
  EXPECT_EQ(CountSounds(driver(), "Power"), 1);
  EXPECT_EQ(gScores->pending.data[0].insertIndex, 0);
  EXPECT_EQ(currentScreen, static_cast<ScreenGL*>(&(*gInputScreens)[0]));
}

TEST_F(MainScreenTest, NoResultMeansNoPowerAndNoNameBox) {
  SetBlankTable();
  gScores->ClearPending();
  Open();
  StepsToFullBrightness();
  EXPECT_EQ(CountSounds(driver(), "Power"), 0);
  EXPECT_EQ(currentScreen, gMainScreen.Pointer());
}

TEST_F(MainScreenTest, TheScreenDrawsItsPicture) {
  Open();
  StepsToFullBrightness();
  const auto& picture = driver().frame();
  int lit = 0;
  for (int y = 0; y < 480; y += 8)
    for (int x = 0; x < 640; x += 8) {
      const uint8_t* p = picture.At(x, y);
      lit += p[0] + p[1] + p[2] > 60;
    }
  EXPECT_GT(lit, 100);
}

// A screen of the test's own, listed under the main screen: one grey over
// the whole screen.
class GreyScreen : public ScreenGL {
 public:
  explicit GreyScreen(float grey) : grey_(grey) {}
  void Draw() override {
    const float colour[3] = {grey_, grey_, grey_};
    DrawImageTintedWith(&gImages->pixel, &ScreenRect, colour);
  }

 private:
  float grey_;
};

std::vector<uint8_t> Colours(const FramePicture& picture) {
  std::vector<uint8_t> rgb;
  for (size_t i = 0; i < picture.rgba.size(); i += 4) rgb.insert(rgb.end(), &picture.rgba[i], &picture.rgba[i + 3]);
  return rgb;
}

// The main screen leaves out its black fill when nothing lies under it: the
// picture must be the one the fill gives over black, and over anything else
// the fill must still darken it.
TEST_F(MainScreenTest, TheBlackFillIsLeftOutOnlyWhereItChangesNoColour) {
  Open();
  StepsToFullBrightness();
  const std::vector<uint8_t> alone = Colours(driver().frame());
  ASSERT_FALSE(alone.empty());
  // A corner where the backdrop is clear and the nebula does not reach.
  const Point corner{5, 620};
  EXPECT_EQ(driver().frame().At(corner.h, corner.v)[0], 0);

  for (float grey : {0.0f, 1.0f}) {
    SCOPED_TRACE(grey);
    GreyScreen under(grey);
    under.active = 1;
    AddScreen(&under);
    AddScreen(gMainScreen.Pointer());  // back to the tail, over the grey
    if (grey == 0.0f) {
      EXPECT_EQ(Colours(driver().frame()), alone);
    } else {
      gMainScreen->active = 0;
      const uint8_t below = driver().frame().At(corner.h, corner.v)[0];
      gMainScreen->active = 1;
      ASSERT_GT(below, 0);
      EXPECT_LT(driver().frame().At(corner.h, corner.v)[0], below);
    }
    RemoveScreen(&under);
  }
}

}  // namespace
