// Reading finished pictures back: a PNG into a canvas, and a layout sheet with
// the frame rectangles of its layout file, for pictures that show the game's
// own sprites and for the contact sheets.
#pragma once

#include <string>
#include <vector>

#include "Canvas.h"

namespace art {

struct SheetFrame {
  std::string name;
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct Sheet {
  Canvas image;
  std::vector<SheetFrame> frames;  // layout order

  // The frame of that name; a missing one ends the program.
  const SheetFrame& Frame(const std::string& name) const;
  // The frame's pixels as a canvas of its own.
  Canvas Crop(const SheetFrame& frame) const;
};

// A PNG file as a canvas; an unreadable file ends the program.
Canvas ReadPNGCanvas(const std::string& path);
// Every entry with "Bounds" in the layout file, in file order.
std::vector<SheetFrame> ReadLayoutFrames(const std::string& layoutPath);
Sheet ReadSheet(const std::string& pngPath, const std::string& layoutPath);
// The canvas scaled to width x height, bilinear on premultiplied pixels
// (box-averaged when shrinking by more than half).
Canvas Resized(const Canvas& canvas, int width, int height);

}  // namespace art
