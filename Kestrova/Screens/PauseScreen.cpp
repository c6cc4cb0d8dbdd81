#include "PauseScreen.h"

#include "AudioPrefs.h"
#include "DisplayHooks.h"
#include "EventPoll.h"
#include "GLFrame.h"
#include "GameAssets.h"
#include "GameControls.h"
#include "GameSound.h"
#include "Music.h"
#include "PlayerKeys.h"
#include "SystemUI.h"

StartupObject<PauseScreen> gPauseScreen;

namespace {

constexpr UInt8 kEscapeKeyCode = 53;
constexpr UInt8 kPressDepth = 4;

const char* const kButtonImages[PauseScreen::kButtonCount] = {
    "Pause/Resume", "Graphics/Interface/Buttons/Sound", "Graphics/Interface/Buttons/Music", "Pause/Abort"};

void LeaveBox(PauseScreen* screen) {
  screen->Hide();
  GameFlags.paused = 0;
  ClearCursorWanted();
}


}  // namespace

PauseScreen::~PauseScreen() {
  DeleteGLImageTexture(&box);
  for (KVButton& button : buttons) DeleteGLImageTexture(&button.titleImage);
}

void PauseScreen::Open(PauseScreen* screen) {
  screen->scale = 0.75f;
  if (!screen->loaded) {
    LoadGameImage(&screen->box, "Pause/PauseBox", 1);
    const SInt16 width = screen->box.imageWidth;
    const SInt16 height = screen->box.imageHeight;
    Rect& r = screen->rect;
    r.left = static_cast<SInt16>(ScreenRect.left + (ScreenRect.right - ScreenRect.left - width) / 2);
    r.top = static_cast<SInt16>(ScreenRect.top + (ScreenRect.bottom - ScreenRect.top - height) / 2);
    r.right = static_cast<SInt16>(r.left + width);
    r.bottom = static_cast<SInt16>(r.top + height);
    for (int i = 0; i < kButtonCount; ++i) LoadGameImage(&screen->buttons[i].titleImage, kButtonImages[i], 1);
    screen->loaded = 1;
  }
  for (int i = 0; i < kButtonCount; ++i) {
    KVButton& button = screen->buttons[i];
    button.rect.top = static_cast<SInt16>(screen->rect.top + 18 + 36 * i);
    button.rect.left = static_cast<SInt16>(screen->rect.left + 40);
    button.rect.right = static_cast<SInt16>(button.rect.left + static_cast<SInt32>(button.titleImage.imageWidth * screen->scale));
    button.rect.bottom = static_cast<SInt16>(button.rect.top + static_cast<SInt32>(button.titleImage.imageHeight * screen->scale));
    button.pressValue = 0;
    button.trackRect = button.rect;
  }
  // The switches' tracking rects keep their left edge: the lamp stands there.
  for (int i : {kSound, kMusic}) {
    KVButton& button = screen->buttons[i];
    button.rect.left = static_cast<SInt16>(button.rect.left + 32);
    button.rect.right = static_cast<SInt16>(button.rect.right + 32);
    button.trackRect.right = button.rect.right;
  }
  screen->buttons[kSound].clickSound = nullptr;
  SetupVolumeSliders(&screen->buttons[kSound], &screen->buttons[kMusic], screen->scale);
  EnterMenuMode();
  screen->Show(1);
}

void PauseScreen::Process() {
  MouseState mouse;
  GetMouseState(&mouse);
  if (IsKeyDownEvent(kEscapeKeyCode, -1, nullptr)) buttons[kResume].clickPending = 1;

  for (int i = 0; i < kButtonCount; ++i) {
    KVButton& button = buttons[i];
    if (static_cast<SInt8>(button.pressValue) > 0) --button.pressValue;
    if (!button.TrackMouse(&mouse, kPressDepth, 0)) continue;
    switch (i) {
      case kResume:
        LeaveBox(this);
        break;
      case kSound:
        gAudioPrefs.soundOn = !gAudioPrefs.soundOn;
        // Heard only when sound is now on.
        if (gAudioPrefs.soundOn) PlayGameSound(&gSounds->blip, GetGameSource(), &button.rect, 1.0f, 1.0f, 0);
        break;
      case kMusic:
        gAudioPrefs.musicOn = !gAudioPrefs.musicOn;
        if (gAudioPrefs.musicOn) {
          gGameMusic->loop = 1;
          MusicPlayer::Play(gGameMusic.Pointer());
        } else {
          MusicPlayer::Stop(gGameMusic.Pointer());
        }
        break;
      case kAbort:
        LeaveBox(this);
        AbortGame();
        break;
    }
  }
  UpdateVolumeSliders(&mouse);
}

void PauseScreen::Draw() {
  DrawGLImage(&box, &rect);
  for (KVButton& button : buttons) button.Draw();
  DrawSwitchLamp(buttons[kSound], gAudioPrefs.soundOn, scale);
  DrawSwitchLamp(buttons[kMusic], gAudioPrefs.musicOn, scale);
  DrawAudioSlider(&(*gAudioSliders)[kSoundSlider], scale);
  DrawAudioSlider(&(*gAudioSliders)[kMusicSlider], scale);
}
