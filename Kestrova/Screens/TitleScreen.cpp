#include "TitleScreen.h"

#include "GLFrame.h"
#include "GameAssets.h"
#include "InputDevices.h"
#include "MainLoop.h"
#include "MainScreen.h"
#include "Random.h"
#include "Sys.h"

StartupObject<TitleScreen> gTitleScreen;
TitleStar TitleStars[kTitleStarCount];

namespace {

// A side of 0 gives 0 rather than a division by zero.
float RandomBelow(SInt32 side) {
  const UInt32 r = NextRandom();
  return side > 0 ? static_cast<float>(r % static_cast<UInt32>(side)) : 0.0f;
}

SInt32 ScreenWidth() { return ScreenRect.right - ScreenRect.left; }
SInt32 ScreenHeight() { return ScreenRect.bottom - ScreenRect.top; }

void TwinkleStar(TitleStar& star) {
  if (star.direction == 0) {
    if (star.twinkle >= 1)
      --star.twinkle;
    else
      star.direction = 1;
  } else {
    if (star.twinkle < 7)
      ++star.twinkle;
    else
      star.direction = 0;
  }
}

}  // namespace

TitleScreen::~TitleScreen() {
  DeleteGLImageTexture(&title);
  DeleteGLImageTexture(&background);
}

void OpenTitleScreen() { TitleScreen::Open(gTitleScreen.Pointer()); }

void TitleScreen::Open(TitleScreen* screen) {
  screen->rect = ScreenRect;
  screen->backgroundRect[0] = ScreenRect.top;
  screen->backgroundRect[1] = ScreenRect.left;
  screen->backgroundRect[2] = ScreenRect.bottom;
  screen->backgroundRect[3] = static_cast<float>(ScreenRect.right + screen->hold + 32);

  SetFadeDark();
  LoadGameImage(&screen->title, "Title/Title", 1);
  LoadGameImage(&screen->background, "Title/Background", 0);
  LoadMusic(&screen->music, "Music/Title");

  for (int i = 0; i < kTitleStarCount; ++i) {
    TitleStar& star = TitleStars[i];
    star.x = RandomBelow(ScreenWidth());
    star.y = RandomBelow(ScreenHeight());
    star.speed = static_cast<float>(i / 128 + 1) * 0.33334f;
    star.twinkle = static_cast<SInt8>(NextRandom() & 7);
    star.direction = static_cast<UInt8>(NextRandom() & 1);
  }

  MusicPlayer::SetVolume(&screen->music, 255);
  screen->music.loop = 1;
  MusicPlayer::Play(&screen->music);
  ResetFrameTimer();
  screen->Show(1);
}

void TitleScreen::Process() {
  // Held, not pressed: a key held from the logo ends the title at once.
  if (IsLeftMouseButtonDown() || AnyKeyDown()) {
    leaving = 1;
    fast = 1;
  }
  StreamPlayer::Service(&music.streamPlayer);

  if (AnimationPhase == 0) {
    for (TitleStar& star : TitleStars) TwinkleStar(star);
    if (hold != 0)
      --hold;
    else
      leaving = 1;
  }

  for (TitleStar& star : TitleStars) {
    const float x = star.x - star.speed;
    if (x < 0) {
      star.x = ScreenRect.right;
      star.y = RandomBelow(ScreenHeight());
    } else {
      star.x = x;
    }
  }

  if (!leaving) {
    if (FadeOverlay.level > 0) FadeInStep(5);
  } else {
    if (GetFadeBrightness() < 1) {
      DeleteGLImageTexture(&title);
      DeleteGLImageTexture(&background);
      MusicPlayer::Close(&music);
      Hide();
      MusicPlayer::Stop(&music);
      MainScreen::Open(gMainScreen.Pointer());
      return;
    }
    FadeOutStep(fast ? 5 : 2);
    MusicPlayer::SetVolume(&music, GetFadeBrightness());
  }

  backgroundRect[1] -= 0.33f;
  backgroundRect[3] -= 0.33f;
}

void TitleScreen::Draw() {
  DrawGLImageInRectF(&background, backgroundRect);

  GLImage* star = &gImages->pixel2;
  const SInt16 side = static_cast<UInt8>(star->imageWidth & 0xFF);
  for (const TitleStar& s : TitleStars) {
    const SInt32 g = static_cast<SInt32>((4.0f - s.speed + s.twinkle) * 4.0f);
    colour[0] = colour[1] = colour[2] = static_cast<UInt8>(g);
    star->red = star->green = star->blue = g / 31.0f;
    star->alpha = 1.0f;
    Rect dest;
    dest.top = static_cast<SInt16>(s.y);
    dest.left = static_cast<SInt16>(s.x);
    dest.bottom = static_cast<SInt16>(dest.top + side);
    dest.right = static_cast<SInt16>(dest.left + side);
    DrawGLImage(star, &dest);
  }
  star->red = star->green = star->blue = 1.0f;

  DrawGLImage(&title, &ScreenRect);
}
