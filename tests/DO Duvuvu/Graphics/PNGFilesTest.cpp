#include "PNGFiles.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "FileClass.h"
#include "PNGFixtures.h"
#include "ResultCodes.h"
#include "TestSupport.h"

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

// Frees a decoded block at the end of a test.
struct Decoded {
  UInt8* pixels = nullptr;
  UInt32 width = 0;
  UInt32 height = 0;
  ~Decoded() { delete[] pixels; }
  std::vector<UInt8> Bytes(size_t pixelBytes) const {
    return pixels ? std::vector<UInt8>(pixels, pixels + size_t{width} * height * pixelBytes) : std::vector<UInt8>{};
  }
};

void Read(const std::string& path, bool eightBit, Decoded* out, UInt8* palette = nullptr,
          SInt32* count = nullptr) {
  out->pixels = ReadPNGFile(path.c_str(), &out->width, &out->height, eightBit, palette, count);
}

std::vector<UInt8> Ramp(size_t count, unsigned step) {
  std::vector<UInt8> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<UInt8>(i * step + 3);
  return bytes;
}

// A pixel map over caller-owned pixels, reached through a handle as usual.
struct TestPixMap {
  PixMap map{};
  PixMapPtr pointer = &map;
  std::vector<UInt8> pixels;
  TestPixMap(SInt16 depth, Rect bounds) {
    const size_t rowBytes = size_t(bounds.right - bounds.left) * size_t(depth) / 8;
    pixels.assign(rowBytes * size_t(bounds.bottom - bounds.top), 0);
    map.baseAddr = reinterpret_cast<Ptr>(pixels.data());
    map.rowBytes = static_cast<UInt16>(rowBytes | kPixMapRowBytesFlag);
    map.bounds = bounds;
    map.pixelDepth = depth;
  }
  PixMapHandle handle() { return &pointer; }
  size_t rowBytes() const { return map.rowBytes & kPixMapRowBytesMask; }
  UInt32 Pixel32(int column, int row) const {
    UInt32 v;
    std::memcpy(&v, pixels.data() + size_t(row) * rowBytes() + size_t(column) * 4, 4);
    return v;
  }
  void SetPixel32(int column, int row, UInt32 v) {
    std::memcpy(pixels.data() + size_t(row) * rowBytes() + size_t(column) * 4, &v, 4);
  }
  UInt16 Pixel16(int column, int row) const {
    UInt16 v;
    std::memcpy(&v, pixels.data() + size_t(row) * rowBytes() + size_t(column) * 2, 2);
    return v;
  }
  UInt8& Byte(int column, int row) { return pixels[size_t(row) * rowBytes() + size_t(column)]; }
};

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir))
      if (std::strcmp(entry->d_name, ".") && std::strcmp(entry->d_name, "..")) names.push_back(entry->d_name);
    closedir(dir);
  }
  return names;
}

TEST(PNGFiles, RoundTripsKeepEveryByte) {
  TempDir dir;
  // 7 x 5 RGBA.
  const std::vector<UInt8> rgba = Ramp(7 * 5 * 4, 7);
  ASSERT_EQ(WritePNGFile((dir / "rgba.png").c_str(), rgba.data(), 7, 5, 0, nullptr, 0), 1);
  Decoded a;
  Read(dir / "rgba.png", false, &a);
  EXPECT_EQ(a.width, 7u);
  EXPECT_EQ(a.height, 5u);
  EXPECT_EQ(a.Bytes(4), rgba);

  // 8-bit indices with their palette.
  std::vector<UInt8> palette(16 * 3);
  for (size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<UInt8>(255 - i * 5);
  std::vector<UInt8> indices(7 * 5);
  for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<UInt8>(i % 16);
  ASSERT_EQ(WritePNGFile((dir / "indexed.png").c_str(), indices.data(), 7, 5, 1, palette.data(), 16), 1);
  Decoded b;
  UInt8 readPalette[kPNGPaletteBytes] = {};
  SInt32 count = -1;
  Read(dir / "indexed.png", true, &b, readPalette, &count);
  EXPECT_EQ(b.Bytes(1), indices);
  ASSERT_EQ(count, 16);
  EXPECT_EQ(std::vector<UInt8>(readPalette, readPalette + 48), palette);
  UInt8 queried[kPNGPaletteBytes] = {};
  count = -1;
  EXPECT_EQ(GetPNGFilePalette((dir / "indexed.png").c_str(), queried, &count), 0);
  EXPECT_EQ(count, 16);
  EXPECT_EQ(std::vector<UInt8>(queried, queried + 48), palette);

  // 8-bit grey.
  const std::vector<UInt8> grey = Ramp(7 * 5, 11);
  ASSERT_EQ(WritePNGFile((dir / "grey.png").c_str(), grey.data(), 7, 5, 1, nullptr, 0), 1);
  Decoded c;
  Read(dir / "grey.png", true, &c);
  EXPECT_EQ(c.Bytes(1), grey);
  UInt32 width = 0, height = 0;
  EXPECT_EQ(GetPNGFileSize((dir / "grey.png").c_str(), &width, &height), 0);
  EXPECT_EQ(width, 7u);
  EXPECT_EQ(height, 5u);
}

// Rows placed by the caller: the stride it answers is kept (the gap between
// rows is never written), and a nil row or a stride shorter than a row
// refuses the file.
TEST(PNGFiles, RowsPlacedByTheCaller) {
  TempDir dir;
  const std::vector<UInt8> rgba = Ramp(7 * 5 * 4, 7);
  const std::string path = dir / "rgba.png";
  ASSERT_EQ(WritePNGFile(path.c_str(), rgba.data(), 7, 5, 0, nullptr, 0), 1);
  struct Target {
    std::vector<UInt8> block;
    size_t stride = 0;  // 0: leave the preset one
    bool refuse = false;
    UInt32 askedWidth = 0, askedHeight = 0;
  };
  const PNGRowPlacer place = [](void* context, UInt32 width, UInt32 height, size_t* stride) -> UInt8* {
    Target* t = static_cast<Target*>(context);
    t->askedWidth = width;
    t->askedHeight = height;
    if (t->refuse) return nullptr;
    if (t->stride) *stride = t->stride;
    t->block.assign(*stride * height, 0xEE);
    return t->block.data();
  };

  Target padded;
  padded.stride = 7 * 4 + 5;
  UInt32 width = 0, height = 0;
  ASSERT_EQ(ReadPNGFileIntoRows(path.c_str(), place, &padded, &width, &height), 1);
  EXPECT_EQ(width, 7u);
  EXPECT_EQ(height, 5u);
  for (size_t row = 0; row < 5; ++row) {
    const UInt8* line = padded.block.data() + row * padded.stride;
    EXPECT_EQ(std::vector<UInt8>(line, line + 28), std::vector<UInt8>(rgba.begin() + row * 28, rgba.begin() + row * 28 + 28));
    EXPECT_EQ(std::vector<UInt8>(line + 28, line + padded.stride), std::vector<UInt8>(5, 0xEE)) << row;
  }

  for (bool refuse : {true, false}) {
    Target refused;
    refused.refuse = refuse;
    refused.stride = 7 * 4 - 1;
    width = height = 9;
    EXPECT_EQ(ReadPNGFileIntoRows(path.c_str(), place, &refused, &width, &height), 0);
    EXPECT_EQ(refused.askedWidth, 7u);
    EXPECT_EQ(width, 0u);
    EXPECT_EQ(height, 0u);
  }
  Target missing;
  EXPECT_EQ(ReadPNGFileIntoRows((dir / "none.png").c_str(), place, &missing, &width, &height), 0);
  EXPECT_EQ(missing.askedWidth, 0u);
  EXPECT_EQ(ReadPNGFileIntoRows(path.c_str(), nullptr, nullptr, &width, &height), 0);
}

TEST(PNGFiles, WrittenFileUsesTheFixedFormat) {
  TempDir dir;
  const std::vector<UInt8> grey = Ramp(4 * 3, 9);
  ASSERT_EQ(WritePNGFile((dir / "g.png").c_str(), grey.data(), 4, 3, 1, nullptr, 0), 1);
  const std::string file = ReadFile(dir / "g.png");
  const size_t ihdr = pngfixtures::FindChunk(file, "IHDR");
  ASSERT_NE(ihdr, std::string::npos);
  EXPECT_EQ(UInt8(file[ihdr + 16]), 8);   // bit depth
  EXPECT_EQ(UInt8(file[ihdr + 17]), 0);   // grey
  EXPECT_EQ(UInt8(file[ihdr + 20]), 0);   // no interlace
  const std::vector<UInt8> rgba = Ramp(2 * 2 * 4, 5);
  ASSERT_EQ(WritePNGFile((dir / "c.png").c_str(), rgba.data(), 2, 2, 0, nullptr, 0), 1);
  const std::string colour = ReadFile(dir / "c.png");
  EXPECT_EQ(UInt8(colour[pngfixtures::FindChunk(colour, "IHDR") + 17]), 6);
}

TEST(PNGFiles, GreyFixturesAtThe32BitTarget) {
  TempDir dir;
  pngfixtures::Image grey;
  grey.width = 3;
  grey.height = 1;
  grey.colorType = PNG_COLOR_TYPE_GRAY;
  grey.rows = {0, 100, 255};
  ASSERT_TRUE(WriteFile(dir / "grey.png", pngfixtures::Encode(grey)));
  Decoded a;
  Read(dir / "grey.png", false, &a);
  EXPECT_EQ(a.Bytes(4), (std::vector<UInt8>{0, 0, 0, 0, 100, 100, 100, 0, 255, 255, 255, 0}));

  pngfixtures::Image greyAlpha = grey;
  greyAlpha.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
  greyAlpha.rows = {10, 20, 100, 128, 255, 255};
  ASSERT_TRUE(WriteFile(dir / "ga.png", pngfixtures::Encode(greyAlpha)));
  Decoded b;
  Read(dir / "ga.png", false, &b);
  EXPECT_EQ(b.Bytes(4), (std::vector<UInt8>{10, 10, 10, 20, 100, 100, 100, 128, 255, 255, 255, 255}));
}

TEST(PNGFiles, SixteenBitRGBReadsAsWeightedGrey) {
  TempDir dir;
  const UInt8 colours[][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {200, 100, 50}, {255, 255, 255}, {17, 240, 99}};
  pngfixtures::Image image;
  image.width = 6;
  image.height = 1;
  image.bitDepth = 16;
  image.colorType = PNG_COLOR_TYPE_RGB;
  for (const auto& c : colours)
    for (UInt8 v : c) image.rows.insert(image.rows.end(), {v, v});  // v * 257, big-endian
  ASSERT_TRUE(WriteFile(dir / "rgb16.png", pngfixtures::Encode(image)));
  Decoded d;
  Read(dir / "rgb16.png", true, &d);
  ASSERT_EQ(d.width, 6u);
  for (int i = 0; i < 6; ++i) {
    const double expected = std::round(0.30 * colours[i][0] + 0.59 * colours[i][1] + 0.11 * colours[i][2]);
    EXPECT_NEAR(d.pixels[i], expected, 1.0) << "pixel " << i;
  }
}

TEST(PNGFiles, GammaIsAppliedOnlyWithAGammaChunk) {
  TempDir dir;
  pngfixtures::Image image;
  image.width = 1;
  image.height = 1;
  image.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  image.rows = {128, 128, 128, 255};
  ASSERT_TRUE(WriteFile(dir / "plain.png", pngfixtures::Encode(image)));
  image.gamma = 1.0;
  ASSERT_TRUE(WriteFile(dir / "gamma.png", pngfixtures::Encode(image)));
  Decoded plain, corrected;
  Read(dir / "plain.png", false, &plain);
  Read(dir / "gamma.png", false, &corrected);
  ASSERT_TRUE(plain.pixels && corrected.pixels);
  EXPECT_EQ(plain.pixels[0], 128);
  // File gamma 1.0 on a screen of 2.0: 128/255 to the power 1/2.
  EXPECT_NEAR(corrected.pixels[0], 180, 1);
}

TEST(PNGFiles, FailedWriteLeavesTheOldFileWhole) {
  TempDir dir;
  const std::string old = "not a png, but precious";
  ASSERT_TRUE(WriteFile(dir / "keep.png", old));
  const std::vector<UInt8> rgba(16, 0x55);
  EXPECT_EQ(WritePNGFile((dir / "keep.png").c_str(), rgba.data(), 0, 2, 0, nullptr, 0), 0);
  const std::vector<UInt8> indices(4, 1);
  const UInt8 palette[3] = {1, 2, 3};
  EXPECT_EQ(WritePNGFile((dir / "keep.png").c_str(), indices.data(), 2, 2, 1, palette, 0), 0);  // no entries
  EXPECT_EQ(WritePNGFile((dir / "keep.png").c_str(), nullptr, 2, 2, 0, nullptr, 0), 0);
  EXPECT_EQ(ReadFile(dir / "keep.png"), old);
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"keep.png"});
  EXPECT_EQ(WritePNGFile((dir / "missing-folder/x.png").c_str(), rgba.data(), 2, 2, 0, nullptr, 0), 0);
}

TEST(PNGFiles, QueriesReportMissingAndForeignFiles) {
  TempDir dir;
  ASSERT_TRUE(WriteFile(dir / "text.png", "hello, this is no image"));
  UInt32 width = 9, height = 9;
  EXPECT_EQ(GetPNGFileSize((dir / "none.png").c_str(), &width, &height), kErrFileNotFound);
  EXPECT_EQ(width, 0u);
  EXPECT_EQ(height, 0u);
  EXPECT_EQ(GetPNGFileSize((dir / "text.png").c_str(), &width, &height), -1);
  UInt8 palette[kPNGPaletteBytes];
  SInt32 count = 0;
  EXPECT_EQ(GetPNGFilePalette((dir / "none.png").c_str(), palette, &count), kErrFileNotFound);
  EXPECT_EQ(GetPNGFilePalette((dir / "text.png").c_str(), palette, &count), -1);
  // A file without a palette answers no entries.
  const std::vector<UInt8> grey(4, 7);
  ASSERT_EQ(WritePNGFile((dir / "g.png").c_str(), grey.data(), 2, 2, 1, nullptr, 0), 1);
  count = 99;
  EXPECT_EQ(GetPNGFilePalette((dir / "g.png").c_str(), palette, &count), 0);
  EXPECT_EQ(count, 0);
}

TEST(PNGFiles, PlaceClipsPerPixelAndReturnsTheWholeRect) {
  TempDir dir;
  // 4 x 3, pixel (x, y) = red 16x+1, green 64y+2, blue 200.
  std::vector<UInt8> rgba;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) rgba.insert(rgba.end(), {UInt8(16 * x + 1), UInt8(64 * y + 2), 200, 0});
  ASSERT_EQ(WritePNGFile((dir / "p.png").c_str(), rgba.data(), 4, 3, 0, nullptr, 0), 1);

  // Bounds not at the origin: coordinates are the map's own.
  TestPixMap map(32, Rect{10, 20, 16, 26});
  Rect out = {};
  const Rect covered = PlacePNG_Point((dir / "p.png").c_str(), map.handle(), 24, 9, &out);
  EXPECT_EQ(covered.top, 9);
  EXPECT_EQ(covered.left, 24);
  EXPECT_EQ(covered.bottom, 12);
  EXPECT_EQ(covered.right, 28);
  EXPECT_EQ(std::memcmp(&out, &covered, sizeof out), 0);
  for (int row = 0; row < 6; ++row)
    for (int column = 0; column < 6; ++column) {
      const int x = column + 20 - 24, y = row + 10 - 9;
      const bool inside = x >= 0 && x < 4 && y >= 0 && y < 3;
      const UInt32 expected = inside ? (UInt32(16 * x + 1) << 16) | (UInt32(64 * y + 2) << 8) | 200u : 0u;
      EXPECT_EQ(map.Pixel32(column, row), expected) << column << "," << row;
    }

  // 16-bit: the top five bits of each channel.
  TestPixMap map16(16, Rect{0, 0, 3, 4});
  PlacePNG_Point((dir / "p.png").c_str(), map16.handle(), 0, 0, nullptr);
  EXPECT_EQ(map16.Pixel16(3, 2), UInt16(((49 >> 3) << 10) | ((130 >> 3) << 5) | (200 >> 3)));

  // Unreadable: the empty rect, out untouched.
  Rect untouched = {1, 2, 3, 4};
  const Rect none = PlacePNG_Point((dir / "none.png").c_str(), map.handle(), 0, 0, &untouched);
  EXPECT_EQ(none.bottom - none.top, 0);
  EXPECT_EQ(none.right - none.left, 0);
  EXPECT_EQ(untouched.right, 4);
}

TEST(PNGFiles, PlaceIntoAnEightBitMapCopiesIndices) {
  TempDir dir;
  const std::vector<UInt8> indices = {1, 2, 3, 4, 5, 6};
  std::vector<UInt8> palette(7 * 3, 9);
  ASSERT_EQ(WritePNGFile((dir / "i.png").c_str(), indices.data(), 3, 2, 1, palette.data(), 7), 1);
  TestPixMap map(8, Rect{0, 0, 2, 2});
  PlacePNG_Point((dir / "i.png").c_str(), map.handle(), -1, 0, nullptr);
  EXPECT_EQ(map.pixels, (std::vector<UInt8>{2, 3, 5, 6}));
}

TEST(PNGFiles, PlaceWithoutAPixMapIsFatal) {
  auto child = testsupport::RunInChild([] { PlacePNG_Point("/nonexistent.png", nullptr, 0, 0, nullptr); });
  EXPECT_TRUE(child.exited);
  EXPECT_EQ(child.exitStatus, 1);
  EXPECT_NE(child.stderrText.find("The pixmap is nil."), std::string::npos);
  EXPECT_NE(child.stderrText.find("PlacePNG_Point()"), std::string::npos);
}

TEST(PNGFiles, SavePixMapWidensFiveBitsAndNamesTheFileOnce) {
  TempDir dir;
  FileClass folder;
  std::memset(&folder, 0, sizeof folder);
  FileClassFromPath(&folder, dir.path().c_str());
  TestPixMap map(16, Rect{5, 5, 6, 7});
  const UInt16 pixels[2] = {UInt16((31 << 10) | (16 << 5) | 0), UInt16((1 << 10) | (2 << 5) | 3)};
  std::memcpy(map.pixels.data(), pixels, 4);
  ASSERT_EQ(SavePixMapAsPNG("shot.png", map.handle(), nullptr, &folder, 0, 0), 1);
  ASSERT_EQ(SavePixMapAsPNG("plain", map.handle(), nullptr, &folder, 0, 0), 1);
  std::vector<std::string> names = FolderEntries(dir.path());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"plain.png", "shot.png"}));
  Decoded d;
  Read(dir / "shot.png", false, &d);
  EXPECT_EQ(d.Bytes(4), (std::vector<UInt8>{255, 132, 0, 255, 8, 16, 24, 255}));

  // A rect reaching outside the map saves only what lies inside.
  const Rect wide = {0, 6, 20, 20};
  ASSERT_EQ(SavePixMapAsPNG("part", map.handle(), &wide, &folder, 0, 0), 1);
  Decoded part;
  Read(dir / "part.png", false, &part);
  EXPECT_EQ(part.width, 1u);
  EXPECT_EQ(part.Bytes(4), (std::vector<UInt8>{8, 16, 24, 255}));
}

TEST(PNGFiles, SaveEightBitMapWithItsColourTable) {
  TempDir dir;
  FileClass folder;
  std::memset(&folder, 0, sizeof folder);
  FileClassFromPath(&folder, dir.path().c_str());
  TestPixMap map(8, Rect{0, 0, 1, 3});
  map.pixels = {0, 1, 2};
  // Seed, flags, size = entries - 1, then {value, red, green, blue}.
  std::vector<UInt8> table(8 + 3 * 8, 0);
  const SInt16 size = 2;
  std::memcpy(table.data() + 6, &size, 2);
  const UInt16 colours[3][3] = {{0xFF00, 0x0000, 0x1234}, {0x0000, 0xAB00, 0x0000}, {0x8080, 0x8080, 0x8080}};
  for (int i = 0; i < 3; ++i) std::memcpy(table.data() + 8 + i * 8 + 2, colours[i], 6);
  Ptr tablePointer = reinterpret_cast<Ptr>(table.data());
  map.map.colorTable = &tablePointer;
  map.map.baseAddr = reinterpret_cast<Ptr>(map.pixels.data());

  ASSERT_EQ(SavePixMapAsPNG("indexed", map.handle(), nullptr, &folder, 1, 0), 1);
  Decoded d;
  UInt8 palette[kPNGPaletteBytes];
  SInt32 count = 0;
  Read(dir / "indexed.png", true, &d, palette, &count);
  EXPECT_EQ(d.Bytes(1), (std::vector<UInt8>{0, 1, 2}));
  ASSERT_EQ(count, 3);
  EXPECT_EQ(std::vector<UInt8>(palette, palette + 9),
            (std::vector<UInt8>{0xFF, 0, 0x12, 0, 0xAB, 0, 0x80, 0x80, 0x80}));

  // noPalette: grey levels; 32-bit output: (b, b, b, 255).
  ASSERT_EQ(SavePixMapAsPNG("grey", map.handle(), nullptr, &folder, 1, 1), 1);
  const std::string grey = ReadFile(dir / "grey.png");
  EXPECT_EQ(UInt8(grey[pngfixtures::FindChunk(grey, "IHDR") + 17]), 0);
  ASSERT_EQ(SavePixMapAsPNG("wide", map.handle(), nullptr, &folder, 0, 0), 1);
  Decoded w;
  Read(dir / "wide.png", false, &w);
  EXPECT_EQ(w.Bytes(4), (std::vector<UInt8>{0, 0, 0, 255, 1, 1, 1, 255, 2, 2, 2, 255}));
}

TEST(PNGFiles, AlphaLevelConversions) {
  TestPixMap map(8, Rect{2, 3, 4, 6});
  map.pixels = {0, 128, 255, 32, 16, 1};
  AlphaTo32Levels(map.handle(), nullptr);
  EXPECT_EQ(map.pixels, (std::vector<UInt8>{0, 16, 32, 4, 2, 0}));
  map.pixels = {0, 32, 16, 1, 8, 31};
  AlphaFrom32Levels(map.handle(), nullptr);
  EXPECT_EQ(map.pixels, (std::vector<UInt8>{0, 255, 127, 7, 63, 247}));
  // The rect is clipped to the bounds and taken relative to them.
  map.pixels = {255, 255, 255, 255, 255, 255};
  const Rect r = {3, 4, 50, 50};
  AlphaTo32Levels(map.handle(), &r);
  EXPECT_EQ(map.pixels, (std::vector<UInt8>{255, 255, 255, 255, 32, 32}));
}

TEST(PNGFiles, AlphaCopiesStayInsideBothMaps) {
  TestPixMap alpha(8, Rect{0, 0, 2, 3});
  TestPixMap colour(32, Rect{0, 0, 3, 2});
  alpha.pixels = {10, 20, 30, 40, 50, 60};
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 2; ++column) colour.SetPixel32(column, row, 0x00123456);

  // Wider and taller than either map: only the 2 x 2 common part changes.
  const Rect huge = {-5, -5, 400, 400};
  CopyAlphaToPixMap32(alpha.handle(), colour.handle(), &huge);
  EXPECT_EQ(colour.Pixel32(0, 0), 0x0A123456u);
  EXPECT_EQ(colour.Pixel32(1, 0), 0x14123456u);
  EXPECT_EQ(colour.Pixel32(1, 1), 0x32123456u);
  EXPECT_EQ(colour.Pixel32(0, 2), 0x00123456u);

  // In range: exactly the rect's rows and columns.
  colour.SetPixel32(1, 1, 0x7F000000);
  alpha.pixels.assign(6, 0);
  const Rect one = {1, 1, 2, 2};
  CopyAlphaFromPixMap32(colour.handle(), alpha.handle(), &one);
  EXPECT_EQ(alpha.pixels, (std::vector<UInt8>{0, 0, 0, 0, 0x7F, 0}));
  CopyAlphaFromPixMap32(colour.handle(), alpha.handle(), nullptr);  // the 8-bit map's bounds
  EXPECT_EQ(alpha.pixels, (std::vector<UInt8>{0x0A, 0x14, 0, 0x28, 0x7F, 0}));
}

}  // namespace
