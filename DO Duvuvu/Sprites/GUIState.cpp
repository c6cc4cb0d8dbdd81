#include "GUIState.h"

#include <new>

namespace {

// Static storage: mainGUI is built and destroyed by the start-up list, not by
// a static constructor.
alignas(GUIState) unsigned char gStorage[sizeof(GUIState)];
bool gConstructed = false;

}  // namespace

GUIState& mainGUI = *reinterpret_cast<GUIState*>(gStorage);

GUIState::GUIState() = default;

GUIState::~GUIState() {
  GLImage* const images[] = {
      &cursorImage,          &buttonImages[0],     &buttonImages[1],     &buttonImages[2],      &checkboxImages[0],
      &checkboxImages[1],    &radioImages[0],      &radioImages[1],      &sliderTrackImages[0], &sliderTrackImages[1],
      &sliderTrackImages[2], &sliderThumbImage,    &fieldFrameImages[0], &fieldFrameImages[1],  &fieldFrameImages[2],
      &caretImage,           &fieldFocusImages[0], &fieldFocusImages[1], &fieldFocusImages[2],
  };
  for (int i = static_cast<int>(sizeof(images) / sizeof(images[0])) - 1; i >= 0; --i) DeleteGLImageTexture(images[i]);
}

void InitGUIState() {
  if (gConstructed) return;
  new (gStorage) GUIState();
  gConstructed = true;
}

void ExitGUIState() {
  if (!gConstructed) return;
  gConstructed = false;
  mainGUI.~GUIState();
}
