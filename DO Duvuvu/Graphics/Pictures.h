// Placing pictures, or pictures read from files, into pixel maps. No picture
// is read or drawn on this platform (the services answer fixed results); the
// geometry and order of work stand all the same.
#pragma once

#include "FixedResultServices.h"
#include "MacTypes.h"
#include "PixMap.h"

struct OpaqueWindowPtr;
typedef OpaqueWindowPtr* WindowRef;
struct URLObject;

// The size of the last picture placed by its centre.
extern SInt16 LastPictureHeight;
extern SInt16 LastPictureWidth;

// Each returns the rect the picture was placed in. A nil picture is neither
// locked nor drawn and has a frame of (0, 0, 0, 0).
Rect PlacePicture(PicHandle picture, PixMapHandle pixMap, const Rect* destination, UInt32 unused, Rect* frameOut);
Rect PlacePicture_Rect(PicHandle picture, PixMapHandle pixMap, SInt16 left, SInt16 top, SInt16 right,
                       SInt16 bottom, UInt32 unused, Rect* frameOut);
// Centre 1 centres on the window's port (nil: the main window) moved by (h, v).
Rect PlacePicture_Point(PicHandle picture, PixMapHandle pixMap, SInt16 h, SInt16 v, UInt8 centre, WindowRef window,
                        Rect* out);
// Centred horizontally in the area, standing on its bottom edge; the area is
// changed to the picture's rect.
Rect PlacePicture_Bottom(PicHandle picture, UInt32 unused1, Rect* area, UInt32 unused2, Rect* frameOut);

Rect PlacePictureFile(const char* name, PixMapHandle pixMap, const Rect* destination, UInt32 unused, Rect* frameOut);
Rect PlacePictureFile_Rect(const char* name, PixMapHandle pixMap, SInt16 left, SInt16 top, SInt16 right,
                           SInt16 bottom, UInt32 unused, Rect* frameOut);
Rect PlacePictureFile_Point(const char* name, PixMapHandle pixMap, SInt16 h, SInt16 v, UInt8 centre,
                            WindowRef window, Rect* out);
Rect PlacePictureFile_Bottom(const char* name, UInt32 unused1, Rect* area, UInt32 unused2, Rect* frameOut);

// -1 when the name makes no file specification, else the reader's result.
OSErr GetPictureFromFile(PicHandle* out, const char* name, const URLObject* folder, Rect* frameOut);
// The last resource error: -192 and other errors are fatal; 0 is returned.
OSErr PlacePicture_xxxx(OSType type, ConstStr255Param name);
// What the picture recorder gave (nil here); the pixels are left as they are.
PicHandle PictureFromPixMap(PixMapHandle pixMap, const Rect* rect);
