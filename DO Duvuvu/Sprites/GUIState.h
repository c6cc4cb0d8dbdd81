// mainGUI: the images, sounds, fonts and text buffer that every control shares;
// the game fills it at start-up.
#pragma once

#include "GLImage.h"
#include "MacTypes.h"
#include "SoundEffects.h"
#include "TextRender.h"

struct ImageBuff;

struct GUIState {
  GUIState();
  // Deletes the images (harmless once the GL context is gone).
  ~GUIState();
  GUIState(const GUIState&) = delete;
  GUIState& operator=(const GUIState&) = delete;

  GLImage cursorImage;
  ImageBuff* imageBuff = nullptr;  // where titles and field texts are rendered
  float textScale = 1.0f;          // fields render at this multiple of their drawn size
  GLImage buttonImages[3];         // left cap, middle, right cap
  ALSound buttonClickSound;
  FT_Face buttonTitleFont = nullptr;
  float buttonTitleSize = 12.0f;
  GLImage checkboxImages[2];  // unchecked, checked
  GLImage radioImages[2];     // off, on
  ALSound checkClickSound;
  FT_Face titleFont = nullptr;
  float titleSize = 12.0f;
  UInt16 labelGap = 8;
  GLImage sliderTrackImages[3];  // left cap, middle, right cap
  GLImage sliderThumbImage;
  ALSound sliderSound;
  GLImage fieldFrameImages[3];  // left cap, middle, right cap
  GLImage caretImage;
  GLImage fieldFocusImages[3];  // left cap, middle, right cap
  ALSound fieldSound;
  FT_Face fieldFont = nullptr;
  float fieldTextSize = 12.0f;
  float highlightColor[3] = {1.0f, 0.0f, 0.0f};
};

// Lives in static storage, built by InitGUIState and torn down by
// ExitGUIState (the library's start-up entry, after the displays close).
extern GUIState& mainGUI;
// Each does nothing when already done.
void InitGUIState();
void ExitGUIState();
