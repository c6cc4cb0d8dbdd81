// The modal yes-or-cancel box: clear the high scores, or quit a game.
#pragma once

#include "GLImage.h"
#include "GameGlobals.h"
#include "KVButton.h"
#include "MacTypes.h"
#include "NamedArray.h"
#include "ScreenList.h"

enum : SInt32 { kConfirmClear = 1, kConfirmQuit = 2 };

class ConfirmScreen : public ScreenGL {
 public:
  // Lays the panel out for message and shows it modal. mode: kConfirmClear or
  // kConfirmQuit; any other gives an action button that only closes the box.
  static void Open(ConfirmScreen* screen, const char* message, SInt32 mode);
  void Process() override;
  void Draw() override;

  GLImage panel;
  GLImage message;
  NamedArray<KVButton> buttons;  // 0 the action, 1 Cancel
  Rect messageRect = {0, 0, 0, 0};
  SInt32 mode = 0;
};

extern StartupObject<ConfirmScreen> gConfirmScreen;

// Shared by the confirm and name boxes ------------------------------------------

// The panel image's size at 1 / 1.6, centred across screenRect and with its
// middle at 0.35 of the screen's height.
Rect LayoutBoxPanel(const GLImage* panel, const Rect* screenRect);
// Renders one line of box text into the image pool and makes it image; the
// rect it is drawn in, at panel + (26, 26).
Rect RenderBoxText(GLImage* image, const char* text, const Rect* panel);
// The character of the current key-down or auto-key event, unless the command
// modifier alone is held; else 0.
SInt8 TypedBoxCharacter();
// A button's press state cleared, at the default rect, enabled and visible,
// pressFactor 0.75.
void ResetBoxButton(KVButton* button);
// The image's size at 1 / 1.6, truncated: v is the height, h the width.
Point ShownImageSize(const GLImage* image);
