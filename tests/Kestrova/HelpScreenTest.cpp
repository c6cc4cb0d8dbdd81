#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "GLFrame.h"
#include "GLImage.h"
#include "GamePrefs.h"
#include "HelpScreen.h"
#include "ScreenTestSupport.h"

namespace {

Point ShownSize(const GLImage& image) {
  return Point{static_cast<SInt16>(image.imageHeight / 1.6f), static_cast<SInt16>(image.imageWidth / 1.6f)};
}

class HelpScreenTest : public ScreenTest {
 protected:
  HelpScreen& help() { return *gHelpScreen; }
  KVButton& Next() { return help().buttons[kHelpNext]; }
  KVButton& Prev() { return help().buttons[kHelpPrev]; }
  KVButton& Done() { return help().buttons[kHelpDone]; }
};

TEST_F(HelpScreenTest, OpensCentredOnPageOneWithItsButtonsLaidOut) {
  HelpScreen::Open(&help());
  ASSERT_TRUE(help().IsCurrent());
  const Point panel = ShownSize(help().panel);
  ASSERT_GT(panel.h, 0);
  const Rect& p = help().rect;
  EXPECT_EQ(p.left, 320 - panel.h / 2);
  EXPECT_EQ(p.top, 240 - panel.v / 2);
  EXPECT_EQ(p.right - p.left, panel.h);

  const SInt16 offsets[3] = {0, -88, -176};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const KVButton& b = help().buttons[i];
    const Point size = ShownSize(b.titleImage);
    EXPECT_EQ(b.rect.left, p.right + offsets[i] - size.h / 2 - 60);
    EXPECT_EQ(b.rect.top, p.bottom - size.v / 2 - 35);
    EXPECT_EQ(b.rect.right - b.rect.left, size.h);
    EXPECT_FLOAT_EQ(b.pressFactor, 0.75f);
  }
  const KVButton& email = help().emailButton;
  const auto w = static_cast<SInt16>(email.titleImage.imageWidth / 1.6f * 0.8f);
  const auto h = static_cast<SInt16>(email.titleImage.imageHeight / 1.6f * 0.8f);
  ExpectRectIs(email.rect, static_cast<SInt16>(p.bottom - h / 2 - 37), static_cast<SInt16>(p.left - w / 2 + 64),
               static_cast<SInt16>(p.bottom - h / 2 - 37 + h), static_cast<SInt16>(p.left - w / 2 + 64 + w));

  EXPECT_EQ(help().page, 0);
  EXPECT_EQ(Next().enabled, 1);
  EXPECT_EQ(Prev().enabled, 0);
  EXPECT_EQ(email.visible, 1);
  const Point page = ShownSize(help().pageImage);
  ASSERT_GT(page.h, 0);
  EXPECT_EQ(help().pageRect.left, 320 - page.h / 2);
  EXPECT_EQ(help().pageRect.top, 240 - page.v / 2);
}

TEST_F(HelpScreenTest, NextAndPrevWalkTheFourPages) {
  HelpScreen::Open(&help());
  const Rect firstPageRect = help().pageRect;
  Click(Prev().rect);  // disabled on page 1
  EXPECT_EQ(help().page, 0);

  const struct {
    SInt8 page;
    UInt8 next, prev, email;
  } forward[] = {{1, 1, 1, 1}, {2, 1, 1, 0}, {3, 0, 1, 0}, {3, 0, 1, 0}};
  for (const auto& c : forward) {
    Click(Next().rect);
    SCOPED_TRACE(int(c.page));
    EXPECT_EQ(help().page, c.page);
    EXPECT_EQ(Next().enabled, c.next);
    EXPECT_EQ(Prev().enabled, c.prev);
    EXPECT_EQ(help().emailButton.visible, c.email);
    EXPECT_GT(help().pageImage.textureName, 0u);
    ExpectRectIs(help().pageRect, firstPageRect.top, firstPageRect.left, firstPageRect.bottom, firstPageRect.right);
  }
  const struct {
    SInt8 page;
    UInt8 next, prev, email;
  } back[] = {{2, 1, 1, 0}, {1, 1, 1, 1}, {0, 1, 0, 1}};
  for (const auto& c : back) {
    Click(Prev().rect);
    SCOPED_TRACE(int(c.page));
    EXPECT_EQ(help().page, c.page);
    EXPECT_EQ(Next().enabled, c.next);
    EXPECT_EQ(Prev().enabled, c.prev);
    EXPECT_EQ(help().emailButton.visible, c.email);
  }
  EXPECT_TRUE(help().IsCurrent());
}

TEST_F(HelpScreenTest, TheEmailButtonOpensAMessageToSupport) {
  HelpScreen::Open(&help());
  Click(help().emailButton.rect);
  ASSERT_EQ(driver().backend().openedTexts().size(), 1u);
  EXPECT_EQ(driver().backend().openedTexts()[0], "mailto:support@kestrova.example?subject=Kestrova Support");
  EXPECT_TRUE(help().IsCurrent());

  // Hidden from page 3 on: a click where it stood does nothing.
  const Rect where = help().emailButton.rect;
  Click(Next().rect);
  Click(Next().rect);
  ASSERT_EQ(help().emailButton.visible, 0);
  Click(where);
  EXPECT_EQ(driver().backend().openedTexts().size(), 1u);
}

TEST_F(HelpScreenTest, DoneOnAnyPageClearsFirstPlayWhichTheFileKeeps) {
  for (int pages = 0; pages < 4; pages += 3) {
    SCOPED_TRACE(pages);
    FirstPlay = 1;
    HelpScreen::Open(&help());
    for (int i = 0; i < pages; ++i) Click(Next().rect);
    Click(Done().rect);
    EXPECT_FALSE(help().active);
    EXPECT_EQ(FirstPlay, 0);
    EXPECT_EQ(help().panel.textureName, 0u);
    EXPECT_EQ(help().pageImage.textureName, 0u);
  }
  SaveGamePrefs();
  std::ifstream in(std::string(std::getenv("AppData")) + "/Kestrova Preferences.plist");
  std::stringstream text;
  text << in.rdbuf();
  const std::string prefs = text.str();
  const size_t key = prefs.find("<key>First Play</key>");
  ASSERT_NE(key, std::string::npos);
  EXPECT_EQ(prefs.compare(prefs.find('<', key + std::string("<key>First Play</key>").size()), 8, "<false/>"), 0) << prefs.substr(key, 60);

  // The next Open makes the textures again, on page 1.
  HelpScreen::Open(&help());
  EXPECT_EQ(help().page, 0);
  EXPECT_GT(help().panel.textureName, 0u);
}

TEST_F(HelpScreenTest, TheLoadingScreenCoversTheScreenWithAClearFade) {
  SetFadeDark();
  LoadScreen::Open(gLoadScreen.Pointer());
  EXPECT_TRUE(gLoadScreen->IsCurrent());
  EXPECT_EQ(gLoadScreen->opened, 1);
  EXPECT_EQ(GetFadeBrightness(), 255);
  EXPECT_GT(gLoadScreen->picture.textureName, 0u);
  std::vector<GLImageDrawRecord> draws;
  SetGLImageDrawRecorder(
      [](const GLImageDrawRecord& record, void* list) {
        static_cast<std::vector<GLImageDrawRecord>*>(list)->push_back(record);
      },
      &draws);
  gLoadScreen->Draw();
  SetGLImageDrawRecorder(nullptr, nullptr);
  ASSERT_EQ(draws.size(), 1u);
  ExpectRectIs(draws[0].dest, ScreenRect.top, ScreenRect.left, ScreenRect.bottom, ScreenRect.right);
}

}  // namespace
