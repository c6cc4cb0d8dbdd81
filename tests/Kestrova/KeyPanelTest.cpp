#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "GLFrame.h"
#include "GameDriver.h"
#include "GameGlobals.h"
#include "MainScreenOpen.h"
#include "Screens/KeyPanel.h"
#include "Screens/MainScreen.h"

namespace {

using gametest::GameDriver;
using gametest::StepInput;

constexpr UInt8 kSpace = 49;
constexpr UInt8 kReturn = 36;
constexpr UInt8 kEscape = 53;
constexpr UInt8 kCapsLock = 138;
constexpr UInt8 kLeftArrow = 123;

std::string DisplayName(UInt8 code, UInt8 bracket, UInt8* result = nullptr) {
  Str255 name;
  const UInt8 r = GetKeyDisplayName(code, name, bracket);
  if (result) *result = r;
  return std::string(reinterpret_cast<const char*>(name + 1), name[0]);
}

TEST(KeyNamesTest, NamesOfTheDefaultsAndOfOtherCodes) {
  SetDefaultKeys();
  const char* const expected[2][5] = {{"lft", "rgt", "up", "dwn", "spc"}, {"4", "6", "8", "5", "0"}};
  for (int p = 0; p < 2; ++p)
    for (int k = 0; k < 5; ++k) EXPECT_EQ(DisplayName(KeyBindings[p][k], 0), expected[p][k]) << p << " " << k;

  struct Case {
    UInt8 code;
    UInt8 bracket;
    const char* name;
    UInt8 word;
  };
  const Case cases[] = {
      {0, 0, "A", 0},      {0, 1, "[A]", 0},     {12, 0, "Q", 0},     {42, 0, "\\", 0},   {50, 0, "`", 0},
      {49, 1, "[spc]", 1}, {126, 0, "up", 1},    {122, 0, "f1", 1},   {113, 0, "f15", 1}, {137, 0, "sft", 1},
      {192, 0, "pow", 1},  {10, 0, "???", 1},    {200, 0, "???", 1},  {255, 1, "[???]", 1}, {93, 0, "???", 1},
  };
  for (const Case& c : cases) {
    UInt8 result = 9;
    EXPECT_EQ(DisplayName(c.code, c.bracket, &result), c.name) << int(c.code);
    EXPECT_EQ(result, c.word) << int(c.code);
  }
}

TEST(KeyNamesTest, SpecialKeysAreTheKeysWithoutACharacter) {
  int count = 0;
  for (SInt16 code = -1; code < 256; ++code) count += IsSpecialKey(code);
  EXPECT_EQ(count, 16);
  EXPECT_EQ(IsSpecialKey(138), 1);
  EXPECT_EQ(IsSpecialKey(0), 0);
}

Point Centre(const Rect& r) {
  return Point{static_cast<SInt16>((r.top + r.bottom) / 2), static_cast<SInt16>((r.left + r.right) / 2)};
}

int CountSounds(const GameDriver& driver, const char* name) {
  int n = 0;
  for (const auto& sound : driver.sounds()) n += sound.name == name;
  return n;
}

// The main screen open and fully shown, where the panel takes its input.
class KeyPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    driver_ = std::make_unique<GameDriver>(11);
    SetDefaultKeys();
    OpenMainScreenIn(*driver_);
    driver_->steps(26);
    ASSERT_EQ(GetFadeBrightness(), 255);
  }
  GameDriver& driver() { return *driver_; }
  KeyPanel& panel() { return *gKeyPanel; }
  const Rect& Box(int p, int k) { return panel().boxes.data[p].rect.data[k]; }
  void ClickBox(int p, int k) {
    StepInput click;
    click.clicks = {Centre(Box(p, k))};
    driver().step(click);
  }
  void Press(UInt8 key) {
    StepInput press;
    press.keyDowns = {key};
    driver().step(press);
  }
  std::unique_ptr<GameDriver> driver_;
};

TEST_F(KeyPanelTest, TheBoxesStandInTheirPlaces) {
  const Rect p1[5] = {{356, 48, 388, 80}, {356, 112, 388, 144}, {324, 80, 356, 112}, {356, 80, 388, 112},
                      {428, 28, 460, 68}};
  for (int p = 0; p < 2; ++p) {
    for (int k = 0; k < 5; ++k) {
      const Rect& r = Box(p, k);
      EXPECT_EQ(r.top, p1[k].top);
      EXPECT_EQ(r.bottom, p1[k].bottom);
      EXPECT_EQ(r.left, p1[k].left + 176 * p);
      EXPECT_EQ(r.right, p1[k].right + 176 * p);
      const GLImage& image = panel().boxes.data[p].image.data[k];
      EXPECT_NE(image.textureName, 0u);
      EXPECT_EQ(image.imageHeight, 51);
      EXPECT_EQ(image.imageWidth, k == 4 ? 64 : 51);
    }
  }
  EXPECT_EQ(panel().selectedPlayer, -1);
}

TEST_F(KeyPanelTest, AKeyAnotherBoxHoldsFlashesBothRedAndChangesNothing) {
  ClickBox(1, 4);
  EXPECT_EQ(CountSounds(driver(), "Blip"), 1);
  EXPECT_EQ(panel().selectedPlayer, 1);
  EXPECT_EQ(panel().selectedKey, 4);

  Press(kSpace);
  ASSERT_EQ(CountSounds(driver(), "Metal0"), 1);
  const Point fire1 = Centre(Box(0, 4));
  EXPECT_EQ(driver().sounds()[0].point.v, fire1.v);
  EXPECT_EQ(driver().sounds()[0].point.h, fire1.h);
  EXPECT_EQ(CountSounds(driver(), "Dink"), 0);
  EXPECT_EQ(KeyBindings[0][4], kSpace);
  EXPECT_EQ(KeyBindings[1][4], 82);
  EXPECT_EQ(panel().boxes.data[0].conflicted.data[4], 5);
  EXPECT_EQ(panel().boxes.data[1].conflicted.data[4], 5);
  EXPECT_EQ(panel().conflictFlag, 1);
  EXPECT_EQ(panel().selectedPlayer, 1);  // still waiting for a key

  // Both frames are drawn red.
  const auto& picture = driver().frame();
  for (int p = 0; p < 2; ++p) {
    const Rect& r = Box(p, 4);
    int red = 0;
    for (int x = r.left; x < r.right; ++x) {
      const uint8_t* px = picture.At(x, r.top + 1);
      red += px[0] > 120 && px[1] < 60 && px[2] < 60;
    }
    EXPECT_GT(red, 0) << "player " << p;
  }

  // The countdowns run out after five ticks; then a free key is taken.
  driver().steps(15);
  EXPECT_EQ(panel().conflictFlag, 0);
  EXPECT_EQ(panel().boxes.data[0].conflicted.data[4], 0);
  Press(kReturn);
  EXPECT_EQ(CountSounds(driver(), "Dink"), 1);
  EXPECT_EQ(KeyBindings[1][4], kReturn);
  EXPECT_EQ(panel().selectedPlayer, -1);
}

TEST_F(KeyPanelTest, RebindingABoxToItsOwnKeyIsTaken) {
  ClickBox(0, 0);
  Press(kLeftArrow);
  EXPECT_EQ(CountSounds(driver(), "Dink"), 1);
  EXPECT_EQ(CountSounds(driver(), "Metal0"), 0);
  EXPECT_EQ(KeyBindings[0][0], kLeftArrow);
  EXPECT_EQ(panel().selectedPlayer, -1);
}

TEST_F(KeyPanelTest, CapsLockIsNeverBound) {
  ClickBox(0, 1);
  StepInput caps;
  caps.held = {kCapsLock};
  driver().steps(3, caps);
  driver().step();
  EXPECT_EQ(KeyBindings[0][1], 124);
  EXPECT_EQ(panel().selectedKey, 1);
  Press(kEscape);
  EXPECT_EQ(KeyBindings[0][1], kEscape);
}

TEST_F(KeyPanelTest, AKeyHeldBeforeTheClickIsNotTaken) {
  StepInput held;
  held.held = {kReturn};
  driver().steps(2, held);
  StepInput clickHeld = held;
  clickHeld.clicks = {Centre(Box(0, 2))};
  driver().step(clickHeld);
  ASSERT_EQ(panel().selectedKey, 2);
  driver().steps(3, held);
  EXPECT_EQ(KeyBindings[0][2], 126);
  EXPECT_EQ(panel().selectedKey, 2);
  driver().step();
  Press(kReturn);
  EXPECT_EQ(KeyBindings[0][2], kReturn);
}

TEST_F(KeyPanelTest, ASecondClickOnTheBlinkingBoxChangesNothing) {
  ClickBox(0, 3);
  ASSERT_EQ(CountSounds(driver(), "Blip"), 1);
  driver().steps(9);  // three ticks
  const SInt8 blink = panel().blinkCounter;
  ASSERT_GT(blink, 0);
  ClickBox(0, 3);
  EXPECT_EQ(CountSounds(driver(), "Blip"), 0);
  EXPECT_EQ(panel().selectedKey, 3);
  EXPECT_GE(panel().blinkCounter, blink);

  // A click outside every box ends the selection without a sound.
  driver().step();  // the release
  StepInput outside;
  outside.clicks = {Point{300, 300}};
  driver().step(outside);
  EXPECT_EQ(panel().selectedPlayer, -1);
  EXPECT_EQ(panel().selectedKey, -1);
  EXPECT_TRUE(driver().sounds().empty());
}

TEST_F(KeyPanelTest, TheBlinkCyclesElevenTicks) {
  KeyPanel& p = panel();
  p.blinkCounter = 0;
  for (int tick = 1; tick <= 10; ++tick) {
    StepKeyBoxBlink(&p);
    EXPECT_EQ(p.blinkCounter, tick);
  }
  StepKeyBoxBlink(&p);
  EXPECT_EQ(p.blinkCounter, 0);

  p.boxes.data[0].conflicted.data[0] = 2;
  p.boxes.data[1].conflicted.data[3] = 1;
  p.conflictFlag = 1;
  StepKeyBoxBlink(&p);
  EXPECT_EQ(p.boxes.data[1].conflicted.data[3], 0);
  EXPECT_EQ(p.conflictFlag, 0);
  EXPECT_EQ(p.boxes.data[0].conflicted.data[0], 1);
}

}  // namespace
