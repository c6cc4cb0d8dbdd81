#include "InterfaceFrames.h"

#include "DisplayHooks.h"
#include "GUIState.h"
#include "GameAssets.h"
#include "Ports.h"

ImagePlacement GameCursor;
PixMapHandle LogicalScreenPixMap;
GWorldPtr LogicalScreenWorld;

void LoadInterfaceFrames() {
  GameImages& images = *gImages;
  LoadGameImage(&images.cursor, "Cursor", 1);
  // The 64 x 64 picture shows at 0.3 of its size, its tip 4 pixels in.
  GameCursor.image = &images.cursor;
  GameCursor.hotSpot.v = 4;
  GameCursor.hotSpot.h = 4;
  GameCursor.scale = 0.3f;

  LoadGameImage(&images.fadeStrip, "MacPC/Fade", 1);
  LoadGameImage(&images.pressFire, "MacPC/PressFire", 1);
  LoadGameImage(&images.statusBar[0], "MacPC/StatusBar 1", 1);
  LoadGameImage(&images.statusBar[1], "MacPC/StatusBar 2", 1);

  // The images every TextFieldGL draws with.
  LoadThreeSliceImage(mainGUI.fieldFrameImages, "MacPC/Text Field", 1);
  LoadThreeSliceImage(mainGUI.fieldFocusImages, "MacPC/Field Hilite", 1);
  LoadGameGraphic(&mainGUI.caretImage, "Pixel", 0);

  const Rect bounds = {0, 0, 480, 640};
  MakePixMap(32, &LogicalScreenPixMap, &bounds, 1, 0, 1);
  LogicalScreenWorld = FindPixMapGWorld(LogicalScreenPixMap);
}

void ExitInterfaceFrames() {
  if (LogicalScreenPixMap) ReleasePixMap(&LogicalScreenPixMap);
  LogicalScreenPixMap = nullptr;
  LogicalScreenWorld = nullptr;
  GameCursor = ImagePlacement{};
}
