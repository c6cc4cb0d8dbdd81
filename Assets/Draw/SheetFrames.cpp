#include "SheetFrames.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "Generator.h"
#include "PNGFiles.h"
#include "PlistTag.h"
#include "Recycler.h"

namespace art {

const SheetFrame& Sheet::Frame(const std::string& name) const {
  for (const SheetFrame& frame : frames)
    if (frame.name == name) return frame;
  GeneratorFailure("no frame " + name + " in the layout");
}

Canvas Sheet::Crop(const SheetFrame& frame) const {
  Canvas out(frame.right - frame.left, frame.bottom - frame.top);
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) out.at(x, y) = image.at(frame.left + x, frame.top + y);
  return out;
}

namespace {

// The decoder's rows go to a kept buffer rather than a fresh block a file.
UInt8* PlaceRows(void* context, UInt32 width, UInt32 height, size_t* stride) {
  auto* bytes = static_cast<std::vector<uint8_t>*>(context);
  *bytes = Recycler<uint8_t>::Take(static_cast<size_t>(width) * height * 4, 0);
  *stride = static_cast<size_t>(width) * 4;
  return bytes->data();
}

}  // namespace

Canvas ReadPNGCanvas(const std::string& path) {
  UInt32 width = 0, height = 0;
  std::vector<uint8_t> rgba;
  if (!ReadPNGFileIntoRows(path.c_str(), PlaceRows, &rgba, &width, &height)) GeneratorFailure("cannot read " + path);
  Canvas canvas(static_cast<int>(width), static_cast<int>(height));
  for (size_t i = 0; i < canvas.pixels().size(); ++i) {
    const float a = static_cast<float>(rgba[i * 4 + 3]) / 255.0f;
    canvas.pixels()[i] = Color{static_cast<float>(rgba[i * 4]) / 255.0f * a,
                               static_cast<float>(rgba[i * 4 + 1]) / 255.0f * a,
                               static_cast<float>(rgba[i * 4 + 2]) / 255.0f * a, a};
  }
  Recycler<uint8_t>::Give(std::move(rgba));
  return canvas;
}

namespace {

std::string TagText(const unsigned char* pascal) {
  return std::string(reinterpret_cast<const char*>(pascal + 1), pascal[0]);
}

PlistTag* Child(PlistTag* tag, const char* name) {
  for (UInt32 i = 0; i < tag->child.count; ++i)
    if (TagText(tag->child.data[i]->name) == name) return tag->child.data[i];
  return nullptr;
}

int IntegerOf(PlistTag* bounds, const char* name) {
  PlistTag* tag = Child(bounds, name);
  return tag ? std::atoi(TagText(tag->value).c_str()) : 0;
}

void CollectFrames(PlistTag* tag, std::vector<SheetFrame>& frames) {
  for (UInt32 i = 0; i < tag->child.count; ++i) {
    PlistTag* entry = tag->child.data[i];
    if (PlistTag* bounds = Child(entry, "Bounds")) {
      frames.push_back(SheetFrame{TagText(entry->name), IntegerOf(bounds, "Left"), IntegerOf(bounds, "Top"),
                                  IntegerOf(bounds, "Right"), IntegerOf(bounds, "Bottom")});
    } else {
      CollectFrames(entry, frames);
    }
  }
}

}  // namespace

std::vector<SheetFrame> ReadLayoutFrames(const std::string& layoutPath) {
  FILE* file = std::fopen(layoutPath.c_str(), "rb");
  if (!file) GeneratorFailure("cannot read " + layoutPath);
  PlistTag root;
  const SInt32 status = PlistTag::ReadStdFile(&root, file);
  std::fclose(file);
  if (status != 0) GeneratorFailure("not a property list: " + layoutPath);
  std::vector<SheetFrame> frames;
  CollectFrames(&root, frames);
  return frames;
}

Sheet ReadSheet(const std::string& pngPath, const std::string& layoutPath) {
  return Sheet{ReadPNGCanvas(pngPath), ReadLayoutFrames(layoutPath)};
}

Canvas Resized(const Canvas& canvas, int width, int height) {
  const Canvas* source = &canvas;
  Canvas reduced;
  // Halve by boxes first so a big shrink still averages every pixel.
  while (source->width() >= width * 2 && source->height() >= height * 2 && source->width() % 2 == 0 &&
         source->height() % 2 == 0) {
    reduced = Downsampled(*source, 2);
    source = &reduced;
  }
  const Canvas& src = *source;
  Canvas out(width, height);
  const float sx = static_cast<float>(src.width()) / static_cast<float>(width);
  const float sy = static_cast<float>(src.height()) / static_cast<float>(height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const float fx = std::clamp((static_cast<float>(x) + 0.5f) * sx - 0.5f, 0.0f, static_cast<float>(src.width() - 1));
      const float fy = std::clamp((static_cast<float>(y) + 0.5f) * sy - 0.5f, 0.0f, static_cast<float>(src.height() - 1));
      const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
      const int x1 = std::min(x0 + 1, src.width() - 1), y1 = std::min(y0 + 1, src.height() - 1);
      const float tx = fx - static_cast<float>(x0), ty = fy - static_cast<float>(y0);
      out.at(x, y) = Mix(Mix(src.at(x0, y0), src.at(x1, y0), tx), Mix(src.at(x0, y1), src.at(x1, y1), tx), ty);
    }
  return out;
}

}  // namespace art
