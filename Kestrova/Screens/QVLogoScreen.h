// The logo screen that opens the program: fades in, holds, fades out and
// hands over to the title screen.
#pragma once

#include "GLImage.h"
#include "GameGlobals.h"
#include "MacTypes.h"
#include "ScreenList.h"

class QVLogoScreen : public ScreenGL {
 public:
  QVLogoScreen() = default;
  ~QVLogoScreen() override;
  QVLogoScreen(const QVLogoScreen&) = delete;
  QVLogoScreen& operator=(const QVLogoScreen&) = delete;

  static void Open(QVLogoScreen* screen);
  void Process() override;
  void Draw() override;

  enum : SInt8 { kShowing = 1, kLeaving = -1 };
  SInt8 state = kShowing;
  SInt16 hold = 0;    // ticks left before leaving
  UInt8 skipped = 0;  // a key or click asked to leave: the faster fade-out
  GLImage logo;
};

extern StartupObject<QVLogoScreen> gQVLogoScreen;
