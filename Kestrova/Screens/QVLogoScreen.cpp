#include "QVLogoScreen.h"

#include "DisplayHooks.h"
#include "EventPoll.h"
#include "GLFrame.h"
#include "GameAssets.h"
#include "MainLoop.h"
#include "SystemUI.h"
#include "TitleScreen.h"

StartupObject<QVLogoScreen> gQVLogoScreen;

QVLogoScreen::~QVLogoScreen() { DeleteGLImageTexture(&logo); }

void QVLogoScreen::Open(QVLogoScreen* screen) {
  LoadGameImage(&screen->logo, "MacPC/QVLogo", 0);
  SetFadeDark();
  screen->Show(1);
  screen->hold = 100;
  EnterMenuMode();
}

void QVLogoScreen::Process() {
  MouseState mouse;
  GetMouseState(&mouse);
  // The hold runs during the fade-in too: 100 ticks are five seconds from Open.
  if (AnimationPhase == 0) {
    --hold;
    if (hold == 0) state = kLeaving;
  }
  if (state == kLeaving && GetFadeBrightness() == 0) {
    Hide();
    // Nothing opens this screen again: its picture's texture would only sit
    // in memory for the rest of the run.
    DeleteGLImageTexture(&logo);
    TitleScreen::Open(gTitleScreen.Pointer());
    return;
  }
  const EventRec* event = GetCurrentEventRec();
  if ((event && event->what == kKeyDownEvent) || mouse.button) {
    state = kLeaving;
    skipped = 1;
  }
  if (state == kShowing) {
    if (GetFadeBrightness() < 255) FadeInStep(2);
  } else {
    FadeOutStep(skipped ? 5 : 2);
  }
}

void QVLogoScreen::Draw() { DrawGLImage(&logo, &ScreenRect); }
