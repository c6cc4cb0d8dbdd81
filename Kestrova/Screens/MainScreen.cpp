#include "MainScreen.h"

#include <cstdio>

#include "AudioPrefs.h"
#include "Bundle.h"
#include "ConfirmScreen.h"
#include "DisplayHooks.h"
#include "DrawGame.h"
#include "GLFrame.h"
#include "GameAssets.h"
#include "GameControls.h"
#include "GameSound.h"
#include "HelpScreen.h"
#include "ImageBuff.h"
#include "KeyPanel.h"
#include "Levels.h"
#include "MainLoop.h"
#include "PlayerKeys.h"
#include "ScoreTable.h"
#include "Strings.h"
#include "SystemUI.h"
#include "TextRender.h"
#include "Zadados.h"

StartupObject<MainScreen> gMainScreen;

namespace {

constexpr float kImageScale = 0.75f;
constexpr float kTextScale = 1.6f;
constexpr UInt8 kFadeAmount = 10;
constexpr UInt8 kPressDepth = 4;
constexpr SInt16 kButtonLeft = 52;
constexpr SInt16 kButtonTop = 110;
constexpr SInt16 kButtonPitch = 32;
constexpr SInt16 kLampGap = 32;  // the Sound and Music buttons stand right of their lamps
constexpr int kTitleMeteors = 8;
constexpr Rect kScoreTableRect = {142, 379, 460, 620};
constexpr const char* kCreditsNotice = " \xA9 2026 The Kestrova Team";
constexpr const char* kClearQuestion = "Are you sure you want to clear the high scores?";

const unsigned char kUnnamed[] = "\x09(unnamed)";
const unsigned char kButtonName[] = "\x06" "button";

const char* const kButtonImages[kMainButtonCount] = {
    "Interface/Buttons/Play", "Interface/Buttons/Help", "Interface/Buttons/Sound", "Interface/Buttons/Music",
    "Interface/Buttons/Quit",
};

SInt16 Scaled(SInt16 size, float scale) { return static_cast<SInt16>(static_cast<float>(size) * scale); }

void DeleteButtonImages(NamedArray<KVButton>& buttons) {
  for (UInt32 i = 0; i < buttons.count; ++i) DeleteGLImageTexture(&buttons.data[i].titleImage);
}

void LayOutButtons(MainScreen* screen) {
  // The buttons of the last opening take their textures with them.
  DeleteButtonImages(screen->buttons);
  screen->buttons.Reinit(kMainButtonCount);
  screen->buttons.SetName(kButtonName, -1);
  for (int i = 0; i < kMainButtonCount; ++i) {
    KVButton& button = screen->buttons.data[i];
    LoadGameGraphic(&button.titleImage, kButtonImages[i], 1);
    Rect& r = button.rect;
    r.left = kButtonLeft;
    r.top = static_cast<SInt16>(kButtonTop + kButtonPitch * i);
    r.right = static_cast<SInt16>(r.left + Scaled(button.titleImage.imageWidth, screen->scale));
    r.bottom = static_cast<SInt16>(r.top + Scaled(button.titleImage.imageHeight, screen->scale));
    button.trackRect = r;
    if (i == kMainSound || i == kMainMusic) {
      // The tracking rect keeps reaching back over the lamp.
      r.left = static_cast<SInt16>(r.left + kLampGap);
      r.right = static_cast<SInt16>(r.right + kLampGap);
      button.trackRect.right = r.right;
    }
  }
  // Sound plays its own blip after the toggle, so it is heard only when on.
  screen->buttons.data[kMainSound].clickSound = nullptr;

  KVButton& panel = screen->scorePanel;
  LoadGameImage(&panel.titleImage, "MacPC/HighScores", 1);
  const SInt16 w = Scaled(panel.titleImage.imageWidth, screen->scale);
  const SInt16 h = Scaled(panel.titleImage.imageHeight, screen->scale);
  panel.rect.left = static_cast<SInt16>(screen->rect.right - w / 2 - 140);
  panel.rect.top = static_cast<SInt16>(screen->rect.top - h / 2 + 122);
  panel.rect.right = static_cast<SInt16>(panel.rect.left + w);
  panel.rect.bottom = static_cast<SInt16>(panel.rect.top + h);
}

void CenterNebula(MainScreen* screen) {
  const SInt16 w = screen->nebula.imageWidth;
  const SInt16 h = screen->nebula.imageHeight;
  Rect& r = screen->nebulaRect;
  r.left = static_cast<SInt16>(ScreenRect.left + (ScreenRect.right - ScreenRect.left) / 2 - w / 2);
  r.right = static_cast<SInt16>(r.left + w);
  r.top = static_cast<SInt16>(ScreenRect.top + (ScreenRect.bottom - ScreenRect.top) / 2 - h / 2);
  r.bottom = static_cast<SInt16>(r.top + h);
}

void ClickButton(MainScreen* screen, int index) {
  switch (index) {
    case kMainPlay:
      ClearCursorWanted();
      MainScreen::RequestPlay(screen);
      break;
    case kMainHelp:
      HelpScreen::Open(gHelpScreen.Pointer());
      break;
    case kMainSound:
      gAudioPrefs.soundOn = !gAudioPrefs.soundOn;
      PlayGameSound(&gSounds->blip, GetGameSource(), &screen->buttons.data[kMainSound].rect, 1.0f, 1.0f, 0);
      break;
    case kMainMusic:
      gAudioPrefs.musicOn = !gAudioPrefs.musicOn;
      if (gAudioPrefs.musicOn)
        MusicPlayer::Play(&screen->music);
      else
        MusicPlayer::Stop(&screen->music);
      break;
    case kMainQuit:
      screen->fadeDirection = kMainFadingOut;
      screen->pendingAction = kMainActionQuit;
      break;
    default:
      break;
  }
}

void TrackInput(MainScreen* screen) {
  MouseState mouse;
  GetMouseState(&mouse);
  for (int i = 0; i < kMainButtonCount; ++i)
    if (screen->buttons.data[i].TrackMouse(&mouse, kPressDepth, 0)) ClickButton(screen, i);
  if (screen->scorePanel.TrackMouse(&mouse, kPressDepth, 0))
    ConfirmScreen::Open(gConfirmScreen.Pointer(), kClearQuestion, kConfirmClear);
  UpdateVolumeSliders(&mouse);
  TrackKeyBoxes(gKeyPanel.Pointer(), &mouse);
}

void LowerPress(KVButton& button) {
  if (button.pressValue > 0) --button.pressValue;
}

// The frame begins cleared to black, and the game's objects draw before the
// screens: with no game on and no screen listed before this one, nothing lies
// under the main screen but black.
bool NothingBelow(const MainScreen* screen) {
  if (GameFlags.gameOn || !screenLIST) return false;
  for (PtrNode<ScreenGL>* node = screenLIST->First(); node; node = node->next)
    if (node->value && node->value->active) return node->value == screen;
  return false;
}


}  // namespace

MainScreen::MainScreen() { buttons.SetName(kUnnamed, -1); }

MainScreen::~MainScreen() {
  DeleteGLImageTexture(&backdrop);
  DeleteGLImageTexture(&nebula);
  DeleteGLImageTexture(&scoreTableImage);
  DeleteGLImageTexture(&creditsImage);
  DeleteGLImageTexture(&scorePanel.titleImage);
  DeleteButtonImages(buttons);
}

void MainScreen::Open(MainScreen* screen) {
  screen->scale = kImageScale;
  screen->rect = ScreenRect;
  screen->nebulaRect = ScreenRect;
  // The background meteors leave and come back by the whole screen.
  gPlayFieldRect = ScreenRect;
  screen->scoreTableRect = kScoreTableRect;
  SetFadeDark();
  LoadGameImage(&screen->nebula, "Main/Nebula", 0);
  LoadGameImage(&screen->backdrop, "Main/Main", 1);
  LoadMusic(&screen->music, "Music/Main");
  KeyPanel* panel = gKeyPanel.Pointer();
  LoadThreeSliceImage(panel->framePieces, "MacPC/Key Border", 1);
  panel->conflictSound = &gSounds->metal0;
  panel->selectSound = &gSounds->blip;
  panel->setSound = &gSounds->dink;
  CenterNebula(screen);
  BuildCreditsLine(screen);
  RenderScoreTable(screen);
  LayOutButtons(screen);
  SetupVolumeSliders(&screen->buttons.data[kMainSound], &screen->buttons.data[kMainMusic], kImageScale);
  SetupKeyPanel(panel);
  for (int i = 0; i < kTitleMeteors; ++i) NewZadado_Title(1);
  screen->pendingAction = kMainActionNone;
  screen->fadeDirection = kMainFadingIn;
  screen->music.loop = 1;
  MusicPlayer::SetVolume(&screen->music, 255);
  MusicPlayer::Play(&screen->music);
  EnterMenuMode();
  SetCursorWanted();
  ResetFrameTimer();
  screen->Show(1);
}

void OpenMainScreen() { MainScreen::Open(gMainScreen.Pointer()); }

void MainScreen::RequestPlay(MainScreen* screen) {
  screen->pendingAction = kMainActionPlay;
  screen->fadeDirection = kMainFadingOut;
}

void BuildCreditsLine(MainScreen* screen) {
  char text[512];
  CStr version(gApplicationVersionShort);
  std::snprintf(text, sizeof text, "%s%s", version.GetPtr(), kCreditsNotice);
  ReadyImageBuff(&ImagePool);
  ClearImageBuff(&ImagePool);
  ImagePool.red = 0.75f;
  ImagePool.green = 0.6f;
  ImagePool.blue = 1.0f;
  ImagePool.alpha = 1.0f;
  DrawTextToImage(&ImagePool, text, GameFonts[0], 24.0f, 394.0f, 24.0f, 2);
  const Rect area = {0, 0, 32, 400};
  MakeGLImageFromBuffer(&screen->creditsImage, &ImagePool, &area);
  screen->creditsImage.forceBlend = 1;
  Rect& r = screen->creditsRect;
  r.top = 76;
  r.left = static_cast<SInt16>(screen->rect.right - 270);
  r.bottom = static_cast<SInt16>(r.top + static_cast<SInt16>(screen->creditsImage.imageHeight / kTextScale));
  r.right = static_cast<SInt16>(r.left + static_cast<SInt16>(screen->creditsImage.imageWidth / kTextScale));
}

void MainScreen::Process() {
  if (AnimationPhase == 0) {
    nebula.rotation -= 0.1f;
    AnimateZadados();
    for (UInt32 i = 0; i < buttons.count; ++i) LowerPress(buttons.data[i]);
    LowerPress(scorePanel);
    StepKeyBoxBlink(gKeyPanel.Pointer());
  }
  MoveTitleZadados();
  // Under the help, confirmation, name-entry or about box the menu only animates.
  if (secondFlag != 0 || !IsCurrent()) return;

  if (GetFadeBrightness() == 255) TrackInput(this);

  if (pendingAction != kMainActionNone && GetFadeBrightness() == 0) {
    if (pendingAction == kMainActionPlay) {
      MusicPlayer::Stop(&music);
      DeleteGLImageTexture(&backdrop);
      DeleteGLImageTexture(&nebula);
      // Open renders the table and the credits again.
      DeleteGLImageTexture(&scoreTableImage);
      DeleteGLImageTexture(&creditsImage);
      music.stream.Close();
      Hide();
      StartGame();
      ResetFrameTimer();
      return;
    }
    if (pendingAction == kMainActionQuit) QuitRequested = 1;
  }

  if (fadeDirection == kMainFadingIn) {
    if (GetFadeBrightness() < 255) {
      FadeInStep(kFadeAmount);
      if (GetFadeBrightness() == 255) {
        if (gScores->TestEntries("Score")) {
          PlayGameSound(&gSounds->power, GetGameSource(), nullptr, 1.0f, 1.0f, 0);
          AskHighScoreNames();
        }
        RenderScoreTable(this);
      }
    }
  } else {
    FadeOutStep(kFadeAmount);
    MusicPlayer::SetVolume(&music, static_cast<SInt16>(255 - FadeOverlay.level));
  }
}

void MainScreen::Draw() {
  static const float kBlack[3] = {0.0f, 0.0f, 0.0f};
  // Over black the black fill changes no colour, yet on a software renderer
  // it costs as much as the backdrop; over anything else it darkens it.
  if (!NothingBelow(this)) DrawImageTintedWith(&gImages->pixel, &rect, kBlack);
  DrawGLImage(&nebula, &nebulaRect);
  DrawZadados();
  DrawGLImage(&backdrop, &rect);
  for (UInt32 i = 0; i < buttons.count; ++i) buttons.data[i].Draw();
  scorePanel.Draw();
  if (buttons.count == kMainButtonCount) {
    DrawSwitchLamp(buttons.data[kMainSound], gAudioPrefs.soundOn, scale);
    DrawSwitchLamp(buttons.data[kMainMusic], gAudioPrefs.musicOn, scale);
  }
  DrawAudioSlider(&(*gAudioSliders)[kSoundSlider], scale);
  DrawAudioSlider(&(*gAudioSliders)[kMusicSlider], scale);
  DrawKeyBoxes(gKeyPanel.Pointer());
  DrawShadowedImage(&creditsImage, &creditsRect, 2, 2, 1.0f);
  DrawShadowedImage(&scoreTableImage, &scoreTableRect, 2, 2, 1.0f);
}
