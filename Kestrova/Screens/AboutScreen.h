// The about box: a modal panel over a dimmed picture with the version and
// credit lines; any mouse button closes it, and the game stands still meanwhile.
#pragma once

#include "GLImage.h"
#include "GameGlobals.h"
#include "MacTypes.h"
#include "ScreenList.h"

class AboutScreen : public ScreenGL {
 public:
  AboutScreen();
  ~AboutScreen() override;
  AboutScreen(const AboutScreen&) = delete;
  AboutScreen& operator=(const AboutScreen&) = delete;

  static void Open(AboutScreen* screen);
  void Process() override;
  void Draw() override;

  GLImage picture;  // drawn in the screen's rect
  GLImage shadow;
  GLImage textImage;
  Rect textRect = {0, 0, 0, 0};
};

extern StartupObject<AboutScreen> gAboutScreen;

// The two credit lines as the box shows them.
void GetAboutLines(char* line1, size_t size1, char* line2, size_t size2);
