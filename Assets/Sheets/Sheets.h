// The three layout sheets: each frame set drawn cell by cell, packed into one
// picture, and the layout list that cuts it up again.
#pragma once

#include <string>
#include <vector>

#include "Draw.h"

namespace sheets {

// One registered set's frames, in frame order.
struct FrameSet {
  std::string name;  // e.g. "zadadoFRAME"
  std::vector<art::Canvas> frames;
};

struct PlacedFrame {
  std::string key;  // "<set>[k]"
  int setCount = 0;  // frames of the set, written on its first entry
  int index = 0;
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct Sheet {
  art::Canvas picture;
  std::vector<PlacedFrame> frames;
};

// Rows of frames left to right in set order, width fixed; the height is what
// the rows need, rounded up to a multiple of 4. Each frame's outer 1-px ring
// is cleared, so filtering never bleeds from a neighbour.
Sheet PackSheet(const std::vector<FrameSet>& sets, int width);
// Zadados: frame k in the 48 x 48 cell at column k mod 6, row k div 6.
Sheet GridSheet(const FrameSet& set, int columns);
// The layout property list of a sheet, written by the engine's writer.
void WriteLayout(const Sheet& sheet, const std::string& path);
// Outlines and numbers the frames over a checkerboard for review.
art::Canvas ReviewPage(const Sheet& sheet, FT_Face face);

// The drawings.
FrameSet DrawZadados();
std::vector<FrameSet> DrawSpriteSets();
std::vector<FrameSet> DrawEnemySets(FT_Face firstFace);

// Shared by the drawings.
// Every channel kept at or below limit (premultiplied: at or below limit x alpha),
// for what the game brightens.
void LimitChannels(art::Canvas& canvas, float limit);
// The mask grown by about radius pixels, soft-edged.
art::Mask Grown(const art::Mask& mask, float radius);
// Paints shape with a dark outline of the given width under it.
void PaintOutlined(art::Canvas& canvas, const art::Mask& shape, const art::Paint& paint, art::Color outline,
                   float width);

// Palette shared by the drawings.
namespace palette {
inline constexpr art::Color kMint = art::Rgb(0.0f, 1.0f, 0.68f);
inline constexpr art::Color kCyan = art::Rgb(0.0f, 1.0f, 1.0f);
inline constexpr art::Color kLime = art::Rgb(0.75f, 1.0f, 0.0f);
inline constexpr art::Color kLavender = art::Rgb(0.85f, 0.77f, 0.96f);
inline constexpr art::Color kWhite = art::Rgb(1.0f, 1.0f, 1.0f);
inline constexpr art::Color kOrange = art::Rgb(1.0f, 0.55f, 0.1f);
inline constexpr art::Color kMagenta = art::Rgb(0.78f, 0.16f, 0.78f);
inline constexpr art::Color kPurple = art::Rgb(0.42f, 0.16f, 0.55f);
}  // namespace palette

}  // namespace sheets
