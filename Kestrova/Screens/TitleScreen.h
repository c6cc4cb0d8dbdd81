// The title screen: a scrolling background, 512 twinkling stars and the
// title picture over the title music, until a key, a click or its hold ends.
#pragma once

#include "GLImage.h"
#include "GameGlobals.h"
#include "MacTypes.h"
#include "Music.h"
#include "ScreenList.h"

struct TitleStar {
  float x;
  float y;
  float speed;      // pixels per step; fixed by the star's layer
  SInt8 twinkle;    // 0..7
  UInt8 direction;  // 1 brightening, 0 dimming
};

constexpr int kTitleStarCount = 512;
extern TitleStar TitleStars[kTitleStarCount];

class TitleScreen : public ScreenGL {
 public:
  TitleScreen() = default;
  ~TitleScreen() override;
  TitleScreen(const TitleScreen&) = delete;
  TitleScreen& operator=(const TitleScreen&) = delete;

  static void Open(TitleScreen* screen);
  void Process() override;
  void Draw() override;

  GLImage title;
  GLImage background;
  MusicPlayer music;
  UInt8 leaving = 0;
  UInt8 fast = 0;      // a key or click started the leaving
  SInt16 hold = 200;   // ticks before the title leaves by itself; set once per run
  float backgroundRect[4] = {0, 0, 0, 0};  // top, left, bottom, right
  UInt8 colour[3] = {0, 0, 0};             // the star being drawn
};

extern StartupObject<TitleScreen> gTitleScreen;

// Opens the global title screen; the game opens it from the logo instead.
void OpenTitleScreen();
