// The interface images the status display and the cursor need, and the
// logical screen's pixel map that every frame begins on.
#pragma once

#include "GLImage.h"
#include "GWorld.h"
#include "MacTypes.h"
#include "PixMap.h"

// The game's cursor: its image (gImages->cursor) placed at the mouse by
// MoveImageToPoint; dest is where DrawGameFrame draws it.
extern ImagePlacement GameCursor;
// 32 bits, 640 x 480, and the GWorld that owns it.
extern PixMapHandle LogicalScreenPixMap;
extern GWorldPtr LogicalScreenWorld;

void LoadInterfaceFrames();
// Disposes the logical screen's pixel map (the images go with gImages).
void ExitInterfaceFrames();
