// Packing frames into sheets and writing their layout lists.
#include <algorithm>
#include <cstdio>

#include "PlistTag.h"
#include "Sheets.h"

namespace sheets {

namespace {

void ClearRing(art::Canvas& canvas, int left, int top, int right, int bottom) {
  for (int x = left; x < right; ++x) {
    canvas.at(x, top) = art::Color{0, 0, 0, 0};
    canvas.at(x, bottom - 1) = art::Color{0, 0, 0, 0};
  }
  for (int y = top; y < bottom; ++y) {
    canvas.at(left, y) = art::Color{0, 0, 0, 0};
    canvas.at(right - 1, y) = art::Color{0, 0, 0, 0};
  }
}

void Place(Sheet& sheet, const art::Canvas& frame, PlacedFrame placed) {
  art::DrawCanvas(sheet.picture, frame, placed.left, placed.top);
  ClearRing(sheet.picture, placed.left, placed.top, placed.right, placed.bottom);
  sheet.frames.push_back(std::move(placed));
}

std::string Key(const std::string& set, size_t k) { return set + "[" + std::to_string(k) + "]"; }

}  // namespace

Sheet PackSheet(const std::vector<FrameSet>& sets, int width) {
  struct Spot {
    int x, y;
  };
  std::vector<Spot> spots;
  int x = 0, y = 0, rowHeight = 0;
  for (const FrameSet& set : sets)
    for (const art::Canvas& frame : set.frames) {
      if (x + frame.width() > width) {
        x = 0;
        y += rowHeight;
        rowHeight = 0;
      }
      spots.push_back(Spot{x, y});
      x += frame.width();
      rowHeight = std::max(rowHeight, frame.height());
    }
  const int height = (y + rowHeight + 3) / 4 * 4;
  Sheet sheet{art::Canvas(width, height), {}};
  size_t n = 0;
  for (const FrameSet& set : sets)
    for (size_t k = 0; k < set.frames.size(); ++k, ++n) {
      const art::Canvas& frame = set.frames[k];
      Place(sheet, frame,
            PlacedFrame{Key(set.name, k), static_cast<int>(set.frames.size()), static_cast<int>(k), spots[n].x,
                        spots[n].y, spots[n].x + frame.width(), spots[n].y + frame.height()});
    }
  return sheet;
}

Sheet GridSheet(const FrameSet& set, int columns) {
  const int cw = set.frames[0].width(), ch = set.frames[0].height();
  const int rows = (static_cast<int>(set.frames.size()) + columns - 1) / columns;
  Sheet sheet{art::Canvas(cw * columns, ch * rows), {}};
  for (size_t k = 0; k < set.frames.size(); ++k) {
    const int left = static_cast<int>(k) % columns * cw, top = static_cast<int>(k) / columns * ch;
    Place(sheet, set.frames[k],
          PlacedFrame{Key(set.name, k), static_cast<int>(set.frames.size()), static_cast<int>(k), left, top,
                      left + cw, top + ch});
  }
  return sheet;
}

void WriteLayout(const Sheet& sheet, const std::string& path) {
  PlistTag root;
  PlistTag* frames = PlistTag::NewTag(&root, "dict", "Frames", "");
  for (const PlacedFrame& placed : sheet.frames) {
    PlistTag* entry = PlistTag::NewTag(frames, "dict", placed.key.c_str(), "");
    if (placed.index == 0) {
      // Every set starts an array, single frames too: the loader then moves
      // on to the next registered set.
      PlistTag::NewTag(entry, "boolean", "First In Array", "true/");
      PlistTag::NewTag(entry, "integer", "Array Size 0", std::to_string(placed.setCount).c_str());
    }
    PlistTag* bounds = PlistTag::NewTag(entry, "dict", "Bounds", "");
    PlistTag::NewTag(bounds, "integer", "Left", std::to_string(placed.left).c_str());
    PlistTag::NewTag(bounds, "integer", "Top", std::to_string(placed.top).c_str());
    PlistTag::NewTag(bounds, "integer", "Right", std::to_string(placed.right).c_str());
    PlistTag::NewTag(bounds, "integer", "Bottom", std::to_string(placed.bottom).c_str());
  }
  art::MakeParentFolders(path);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) art::GeneratorFailure("cannot write " + path);
  const OSErr status = PlistTag::WriteStdFile(&root, file);
  if (std::fclose(file) != 0 || status != 0) art::GeneratorFailure("cannot write " + path);
}

art::Canvas ReviewPage(const Sheet& sheet, FT_Face face) {
  const int scale = 2;
  const int w = sheet.picture.width() * scale, h = sheet.picture.height() * scale;
  art::Canvas page(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float v = ((x / 16 + y / 16) % 2) ? 0.32f : 0.22f;
      page.at(x, y) = art::Color{v, v, v, 1.0f};
    }
  art::Canvas big(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) big.at(x, y) = sheet.picture.at(x / scale, y / scale);
  art::DrawCanvas(page, big, 0, 0);
  art::Path outlines;
  for (const PlacedFrame& f : sheet.frames) {
    const float l = static_cast<float>(f.left * scale), t = static_cast<float>(f.top * scale);
    const float r = static_cast<float>(f.right * scale), b = static_cast<float>(f.bottom * scale);
    outlines.AddStroke({{l + 0.5f, t + 0.5f}, {r - 0.5f, t + 0.5f}, {r - 0.5f, b - 0.5f}, {l + 0.5f, b - 0.5f}}, 0.5f,
                       true);
  }
  art::PaintMask(page, art::FillPath(w, h, outlines), art::Rgb(1.0f, 0.85f, 0.2f, 0.8f));
  for (const PlacedFrame& f : sheet.frames) {
    const std::string label = std::to_string(f.index);
    const art::Mask text = art::TextMask(32, 16, face, label.c_str(), 11.0f, 3.0f, 12.0f);
    art::Canvas tag(32, 16);
    art::PaintMask(tag, art::Blurred(text, 1.0f), art::Rgb(0, 0, 0, 1), 1.0f);
    art::PaintMask(tag, text, art::Rgb(1.0f, 1.0f, 0.6f));
    art::DrawCanvas(page, tag, f.left * scale, f.top * scale);
  }
  return page;
}

}  // namespace sheets
