// Layouts: a property list that cuts one PNG sheet into the frames of the
// registered frame sets, and the sheet's textures.
#pragma once

#include "FileSpec.h"
#include "Frame.h"
#include "MacTypes.h"
#include "PixMap.h"

// 0 when the list and the image loaded; -1 when the list cannot be read;
// otherwise the image loader's result.
SInt16 LoadLayout(const char* layoutName, const char* imagePath, UInt8 premultiply);
// Reads the list with the frames' images made from pixmap; always 0.
SInt16 LoadLayoutPlist(const char* layoutName, PixMapHandle pixmap);
// True when the list was read (also without "Frames"); false when the layout
// is nil or the file cannot be opened or parsed. folder nil: the bundle's
// "Layouts" folder.
Boolean ReadLayoutPlist(Layout* layout, PixMapHandle pixmap, FileSpec* folder);
// Loads imagePath + ".png" and makes every frame's texture from its bounds.
SInt16 LoadLayoutImage(Layout* layout, const char* imagePath, UInt8 premultiply);
// The same with one texture shared by every frame.
SInt16 LoadLayoutImageShared(Layout* layout, const char* imagePath, UInt8 premultiply);
// True while a sheet's pixels are still held after its frames were made
// (tests only: they never are).
bool LayoutSheetHeldForTesting();
