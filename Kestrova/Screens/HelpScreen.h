// The four help pages, and the loading picture the game never shows.
#pragma once

#include "GLImage.h"
#include "GameGlobals.h"
#include "KVButton.h"
#include "MacTypes.h"
#include "ScreenList.h"

enum : int { kHelpNext = 0, kHelpPrev = 1, kHelpDone = 2 };
constexpr SInt8 kHelpPageCount = 4;
// The address the e-mail button writes to.
extern const char kSupportAddress[];

class HelpScreen : public ScreenGL {
 public:
  // Opens on page 1, modal.
  static void Open(HelpScreen* screen);
  void Process() override;
  void Draw() override;

  GLImage panel;
  GLImage pageImage;
  Rect pageRect = {0, 0, 0, 0};
  KVButton buttons[3];  // Next, Prev, Done
  KVButton emailButton;
  SInt8 page = 0;
  SInt8 pageCount = kHelpPageCount;
};

class LoadScreen : public ScreenGL {
 public:
  static void Open(LoadScreen* screen);
  void Process() override {}
  void Draw() override;

  GLImage picture;
  UInt8 opened = 0;
};

extern StartupObject<HelpScreen> gHelpScreen;
extern StartupObject<LoadScreen> gLoadScreen;
