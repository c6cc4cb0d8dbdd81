// Review pages of every picture in the bundle: each on a checkerboard with its
// path, the layout sheets with every frame outlined and numbered. Written to
// the review folder, outside the bundle.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "Draw.h"
#include "PNGFiles.h"
#include "SheetFrames.h"
#include "Widgets.h"

using namespace art;

namespace {

FT_Face gFace = nullptr;
constexpr int kPageWidth = 1800;
constexpr int kMargin = 16;
constexpr int kLabel = 22;

void Checkerboard(Canvas& page, int left, int top, int width, int height) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool dark = ((x / 8) + (y / 8)) % 2 == 0;
      const int px = left + x, py = top + y;
      if (px < page.width() && py < page.height())
        page.at(px, py) = dark ? Rgb(0.30f, 0.30f, 0.34f) : Rgb(0.46f, 0.46f, 0.50f);
    }
}

void Label(Canvas& page, const std::string& text, int x, int baseline, Color colour = kWhite) {
  PaintMask(page,
            TextPatch(page.width(), page.height(), gFace, text.c_str(), 15.0f, static_cast<float>(x),
                      static_cast<float>(baseline)),
            colour);
}

// Shown scale: big pictures halved, tiny ones enlarged so they can be judged.
int Zoom(int width, int height) {
  const int side = std::max(width, height);
  if (side <= 16) return 6;
  if (side <= 40) return 4;
  if (side <= 96) return 2;
  return 1;
}

// A picture is read when its page is drawn, not all of them up front.
struct Item {
  std::string file;
  std::string path;
  int width, shownWidth, shownHeight;
  std::string note;
};

Canvas ImagePage(const std::vector<Item>& items) {
  // Shelf packing, row by row.
  struct Spot {
    int x, y;
  };
  std::vector<Spot> spots;
  int x = kMargin, y = kMargin, rowHeight = 0;
  for (const Item& item : items) {
    const int cellWidth = std::max({item.shownWidth, TextWidth(gFace, item.path.c_str(), 15.0f) + 8, 120});
    if (x + cellWidth > kPageWidth - kMargin) {
      x = kMargin;
      y += rowHeight + kLabel * 2 + kMargin;
      rowHeight = 0;
    }
    spots.push_back(Spot{x, y});
    x += cellWidth + kMargin;
    rowHeight = std::max(rowHeight, item.shownHeight);
  }
  const int height = y + rowHeight + kLabel * 2 + kMargin;
  Canvas page(kPageWidth, height);
  FillCanvas(page, Rgb(0.12f, 0.12f, 0.14f));
  for (size_t i = 0; i < items.size(); ++i) {
    const Item& item = items[i];
    Checkerboard(page, spots[i].x, spots[i].y, item.shownWidth, item.shownHeight);
    const Canvas image = ReadPNGCanvas(item.file);
    if (item.shownWidth == item.width)
      DrawCanvas(page, image, spots[i].x, spots[i].y);
    else
      DrawCanvas(page, Resized(image, item.shownWidth, item.shownHeight), spots[i].x, spots[i].y);
    Label(page, item.path, spots[i].x, spots[i].y + item.shownHeight + 17);
    Label(page, item.note, spots[i].x, spots[i].y + item.shownHeight + 17 + kLabel, Rgb(0.7f, 0.7f, 0.75f));
  }
  return page;
}

Canvas SheetPage(const std::string& path, const Sheet& sheet) {
  const int zoom = sheet.image.width() <= 400 ? 3 : 2;
  const int w = sheet.image.width() * zoom, h = sheet.image.height() * zoom;
  Canvas page(w + 2 * kMargin, h + 2 * kMargin + kLabel * 2);
  FillCanvas(page, Rgb(0.12f, 0.12f, 0.14f));
  Checkerboard(page, kMargin, kMargin, w, h);
  DrawCanvas(page, Resized(sheet.image, w, h), kMargin, kMargin);
  Path outlines;
  for (const SheetFrame& frame : sheet.frames) {
    const float l = static_cast<float>(kMargin + frame.left * zoom), t = static_cast<float>(kMargin + frame.top * zoom);
    const float r = static_cast<float>(kMargin + frame.right * zoom), b = static_cast<float>(kMargin + frame.bottom * zoom);
    outlines.AddStroke({{l + 0.5f, t + 0.5f}, {r - 0.5f, t + 0.5f}, {r - 0.5f, b - 0.5f}, {l + 0.5f, b - 0.5f}}, 0.5f,
                       true);
  }
  PaintMask(page, FillPath(page.width(), page.height(), outlines), Rgb(1.0f, 0.25f, 0.3f), 0.9f);
  for (size_t i = 0; i < sheet.frames.size(); ++i) {
    const SheetFrame& frame = sheet.frames[i];
    const std::string name = frame.name;
    const size_t open = name.find('[');
    const std::string index = open == std::string::npos ? name : name.substr(open);
    PaintMask(page,
              TextPatch(page.width(), page.height(), gFace, (std::to_string(i) + " " + index).c_str(), 11.0f,
                        static_cast<float>(kMargin + frame.left * zoom + 3),
                        static_cast<float>(kMargin + frame.top * zoom + 11)),
              Rgb(1.0f, 1.0f, 0.4f));
  }
  Label(page, path + "  (" + std::to_string(sheet.image.width()) + " x " + std::to_string(sheet.image.height()) +
                  ", x" + std::to_string(zoom) + ", " + std::to_string(sheet.frames.size()) + " frames)",
        kMargin, kMargin + h + 17);
  return page;
}

}  // namespace

int main(int argc, char** argv) {
  const GeneratorArgs args = ParseGeneratorArgs(argc, argv);
  gFace = LoadFace(args.firstFace.c_str());
  const std::string resources = args.contents + "/Resources/";
  const char* const sheets[] = {"Zadados", "Sprites", "Enemies"};
  for (const char* name : sheets) {
    const Sheet sheet = ReadSheet(resources + "Graphics/" + name + ".png", resources + "Layouts/" + name);
    SavePNG(SheetPage(std::string("Graphics/") + name + ".png", sheet),
            args.Review(std::string("Contact Sheet Layout ") + name + ".png"));
  }
  // Every other picture, grouped by the folder it lives in.
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(resources))
    if (entry.is_regular_file() && entry.path().extension() == ".png")
      paths.push_back(std::filesystem::relative(entry.path(), resources).generic_string());
  std::sort(paths.begin(), paths.end());
  const char* const groups[][2] = {{"Game", ""}, {"Interface", "Graphics/Interface/"}, {"MacPC", "MacPC/"},
                                   {"Screens", "Title/"}, {"Help", "Help/"}};
  std::vector<std::vector<Item>> pages(std::size(groups));
  for (const std::string& path : paths) {
    bool isSheet = false;
    for (const char* name : sheets) isSheet |= path == std::string("Graphics/") + name + ".png";
    if (isSheet) continue;
    size_t group = 0;
    for (size_t g = 1; g < std::size(groups); ++g)
      if (path.rfind(groups[g][1], 0) == 0) group = g;
    if (path.rfind("Main/", 0) == 0 || path.rfind("Pause/", 0) == 0) group = 3;
    UInt32 fileWidth = 0, fileHeight = 0;
    if (GetPNGFileSize((resources + path).c_str(), &fileWidth, &fileHeight) != 0)
      GeneratorFailure("cannot read " + resources + path);
    const int width = static_cast<int>(fileWidth), height = static_cast<int>(fileHeight);
    const int zoom = Zoom(width, height);
    int shownWidth = width * zoom, shownHeight = height * zoom;
    if (width > 512) {
      shownWidth = width / 2;
      shownHeight = height / 2;
    }
    const std::string note =
        std::to_string(width) + " x " + std::to_string(height) +
        (shownWidth == width ? "" : (shownWidth > width ? ", shown x" + std::to_string(zoom) : ", shown x0.5"));
    pages[group].push_back(Item{resources + path, path, width, shownWidth, shownHeight, note});
  }
  for (size_t g = 0; g < pages.size(); ++g)
    SavePNG(ImagePage(pages[g]), args.Review(std::string("Contact Sheet ") + groups[g][0] + ".png"));
  return 0;
}
