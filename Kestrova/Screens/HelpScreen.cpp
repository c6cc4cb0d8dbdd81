#include "HelpScreen.h"

#include <cstdio>
#include <string>

#include "ConfirmScreen.h"
#include "GLFrame.h"
#include "GameAssets.h"
#include "GameControls.h"
#include "GamePrefs.h"
#include "ShellServices.h"

const char kSupportAddress[] = "support@kestrova.example";

StartupObject<HelpScreen> gHelpScreen;
StartupObject<LoadScreen> gLoadScreen;

namespace {

Rect CentredIn(const Rect& outer, Point size) {
  Rect r;
  r.left = static_cast<SInt16>((outer.left + outer.right) / 2 - size.h / 2);
  r.top = static_cast<SInt16>((outer.top + outer.bottom) / 2 - size.v / 2);
  r.right = static_cast<SInt16>(r.left + size.h);
  r.bottom = static_cast<SInt16>(r.top + size.v);
  return r;
}

void LoadHelpPage(HelpScreen* screen) {
  char name[32];
  std::snprintf(name, sizeof name, "Help/Help %d", screen->page + 1);
  LoadGameImage(&screen->pageImage, name, 1);
}

}  // namespace

void HelpScreen::Open(HelpScreen* screen) {
  LoadGameImage(&screen->panel, "Help/Help Screen", 1);
  screen->rect = CentredIn(ScreenRect, ShownImageSize(&screen->panel));
  const Rect& panel = screen->rect;

  static const char* const kButtonImages[3] = {"Help/Next", "Help/Prev", "Help/Done"};
  static const SInt16 kOffsets[3] = {0, -88, -176};
  for (int i = 0; i < 3; ++i) {
    KVButton& button = screen->buttons[i];
    LoadGameImage(&button.titleImage, kButtonImages[i], 1);
    const Point size = ShownImageSize(&button.titleImage);
    button.pressFactor = 0.75f;
    button.rect.left = static_cast<SInt16>(panel.right + kOffsets[i] - size.h / 2 - 60);
    button.rect.top = static_cast<SInt16>(panel.bottom - size.v / 2 - 35);
    button.rect.right = static_cast<SInt16>(button.rect.left + size.h);
    button.rect.bottom = static_cast<SInt16>(button.rect.top + size.v);
    button.pressValue = 0;
  }

  KVButton& email = screen->emailButton;
  LoadGameImage(&email.titleImage, "Help/Email", 1);
  const auto w = static_cast<SInt16>(email.titleImage.imageWidth / 1.6f * 0.8f);
  const auto h = static_cast<SInt16>(email.titleImage.imageHeight / 1.6f * 0.8f);
  email.rect.left = static_cast<SInt16>(panel.left - w / 2 + 64);
  email.rect.top = static_cast<SInt16>(panel.bottom - h / 2 - 37);
  email.rect.right = static_cast<SInt16>(email.rect.left + w);
  email.rect.bottom = static_cast<SInt16>(email.rect.top + h);
  email.pressValue = 0;
  email.pressFactor = 0.75f;
  email.visible = 1;

  screen->pageCount = kHelpPageCount;
  screen->buttons[kHelpNext].enabled = 1;
  screen->buttons[kHelpPrev].enabled = 0;
  screen->page = 0;
  LoadHelpPage(screen);
  screen->pageRect = CentredIn(panel, ShownImageSize(&screen->pageImage));
  screen->Show(1);
}

void HelpScreen::Process() {
  if (static_cast<SInt8>(emailButton.pressValue) > 0) --emailButton.pressValue;
  MouseState mouse;
  GetMouseState(&mouse);

  for (int i = 0; i < 3; ++i) {
    KVButton& button = buttons[i];
    if (static_cast<SInt8>(button.pressValue) > 0) --button.pressValue;
    if (!button.TrackMouse(&mouse, 4, 0)) continue;
    if (i == kHelpNext && page < pageCount - 1) {
      ++page;
      LoadHelpPage(this);
      buttons[kHelpPrev].enabled = 1;
      if (page == pageCount - 1) buttons[kHelpNext].enabled = 0;
      emailButton.visible = page < 2;
    } else if (i == kHelpPrev && page > 0) {
      --page;
      LoadHelpPage(this);
      buttons[kHelpNext].enabled = 1;
      if (page == 0) buttons[kHelpPrev].enabled = 0;
      emailButton.visible = page < 2;
    } else if (i == kHelpDone) {
      FirstPlay = 0;
      DeleteGLImageTexture(&panel);
      DeleteGLImageTexture(&pageImage);
      Hide();
      return;
    }
  }

  if (emailButton.TrackMouse(&mouse, 4, 0)) {
    const std::string link = std::string("mailto:") + kSupportAddress + "?subject=Kestrova Support";
    OpenURLInShell(link.c_str());
  }
}

void HelpScreen::Draw() {
  DrawScreenShade(0.75f);
  DrawGLImage(&panel, &rect);
  DrawGLImage(&pageImage, &pageRect);
  for (KVButton& button : buttons) button.Draw();
  emailButton.Draw();
}

void LoadScreen::Open(LoadScreen* screen) {
  LoadGameImage(&screen->picture, "Graphics/Loading", 1);
  screen->opened = 1;
  SetFadeClear();
  screen->Show(1);
}

void LoadScreen::Draw() { DrawGLImage(&picture, &ScreenRect); }
