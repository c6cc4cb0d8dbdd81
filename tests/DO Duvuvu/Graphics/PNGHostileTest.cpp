// Damaged, foreign and over-large PNG files: every reader refuses them
// cleanly, and low bit depths unpack to one value a byte.
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <string>
#include <vector>

#include "ImageBuff.h"
#include "PNGFiles.h"
#include "PNGFixtures.h"
#include "ResultCodes.h"
#include "TestSupport.h"

namespace {

using testsupport::TempDir;
using testsupport::WriteFile;

// 64 x 64 RGBA noise: its image data spans many bytes of the IDAT.
std::string NoiseFile() {
  pngfixtures::Image image;
  image.width = 64;
  image.height = 64;
  image.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  unsigned seed = 12345;
  for (size_t i = 0; i < 64 * 64 * 4; ++i) {
    seed = seed * 1103515245u + 12345u;
    image.rows.push_back(static_cast<uint8_t>(seed >> 16));
  }
  return pngfixtures::Encode(image);
}

struct HostileCase {
  const char* name;
  std::string bytes;
  bool missing = false;
};

std::vector<HostileCase> HostileCases() {
  const std::string good = NoiseFile();
  const size_t idat = pngfixtures::FindChunk(good, "IDAT");
  std::string badSignature = good;
  badSignature[1] = 'Q';
  std::string badCrc = good;
  badCrc[idat + 8 + 100] ^= 0x5A;  // inside the IDAT's data; its CRC no longer matches
  return {
      {"missing file", "", true},
      {"empty file", ""},
      {"wrong signature", badSignature},
      {"text", "This is not a PNG file at all, only text."},
      {"truncated in the header", good.substr(0, 20)},
      {"truncated after the header", good.substr(0, idat)},
      {"truncated inside the image data", good.substr(0, idat + 8 + 500)},
      {"bad CRC", badCrc},
      {"claims 100000 x 100000", pngfixtures::ClaimingFile(100000, 100000)},
      {"claims 32768 x 32769", pngfixtures::ClaimingFile(32768, 32769)},
      {"claims 16384 x 16384", pngfixtures::ClaimingFile(16384, 16384)},
      {"claims 0 x 5", pngfixtures::ClaimingFile(0, 5)},
  };
}

TEST(PNGHostileFiles, EveryReaderRefusesCleanly) {
  TempDir dir;
  for (const HostileCase& c : HostileCases()) {
    SCOPED_TRACE(c.name);
    const std::string path = dir / "hostile.png";
    std::remove(path.c_str());
    if (!c.missing) {
      ASSERT_TRUE(WriteFile(path, c.bytes));
    }
    for (UInt8 eightBit : {0, 1}) {
      UInt32 width = 77, height = 77;
      UInt8 palette[kPNGPaletteBytes];
      SInt32 count = 55;
      UInt8* pixels = ReadPNGFile(path.c_str(), &width, &height, eightBit, palette, &count);
      EXPECT_EQ(pixels, nullptr);
      delete[] pixels;
      EXPECT_EQ(width, 0u);
      EXPECT_EQ(height, 0u);
      EXPECT_EQ(count, 55);
    }
    // A buffer with pixels and one without are both left as they were.
    ImageBuff buffer{};
    AllocImageBuff(&buffer, 8, 8);
    FillImageBuffWhite(&buffer);
    buffer.usedWidth = 3;
    buffer.usedHeight = 4;
    EXPECT_EQ(LoadPNGIntoImageBuff(&buffer, path.c_str(), 1.0f, 1), kErrFailed);
    EXPECT_EQ(buffer.usedWidth, 3);
    EXPECT_EQ(buffer.usedHeight, 4);
    EXPECT_EQ(buffer.width, 8);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(buffer.pixels[i], 0xFFFFFFFFu);
    // The in-place load leaves it clear instead, its used size kept.
    EXPECT_EQ(LoadPNGIntoClearedImageBuff(&buffer, path.c_str(), 1), kErrFailed);
    EXPECT_EQ(buffer.usedWidth, 3);
    EXPECT_EQ(buffer.usedHeight, 4);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(buffer.pixels[i], 0u);
    FreeImageBuff(&buffer);
    ImageBuff empty{};
    EXPECT_EQ(LoadPNGIntoImageBuff(&empty, path.c_str(), 1.0f, 0), kErrFailed);
    EXPECT_EQ(empty.pixels, nullptr);
    EXPECT_EQ(empty.width, 0);
  }
}

TEST(PNGHostileFiles, QueriesRefuseDamagedHeaders) {
  TempDir dir;
  const std::string good = NoiseFile();
  struct Case {
    const char* name;
    std::string bytes;
    OSErr expected;
  } cases[] = {
      {"truncated in the header", good.substr(0, 20), -1},
      {"claims 100000 x 100000", pngfixtures::ClaimingFile(100000, 100000), -1},
      {"sound", good, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(WriteFile(dir / "q.png", c.bytes));
    UInt32 width = 1, height = 1;
    EXPECT_EQ(GetPNGFileSize((dir / "q.png").c_str(), &width, &height), c.expected);
    EXPECT_EQ(width, c.expected == 0 ? 64u : 0u);
    UInt8 palette[kPNGPaletteBytes];
    SInt32 count = 0;
    EXPECT_EQ(GetPNGFilePalette((dir / "q.png").c_str(), palette, &count), c.expected);
  }
}

// Pixel i holds i mod 2^depth, packed as the file stores it.
pngfixtures::Image LowDepthImage(int depth, int colorType, uint32_t width) {
  pngfixtures::Image image;
  image.width = width;
  image.height = 2;
  image.bitDepth = depth;
  image.colorType = colorType;
  const size_t rowBytes = (size_t{width} * size_t(depth) + 7) / 8;
  for (uint32_t y = 0; y < 2; ++y) {
    std::vector<uint8_t> row(rowBytes, 0);
    for (uint32_t x = 0; x < width; ++x) {
      const unsigned value = (x + y) % (1u << depth);
      const size_t bit = size_t{x} * size_t(depth);
      row[bit / 8] |= static_cast<uint8_t>(value << (8 - depth - bit % 8));
    }
    image.rows.insert(image.rows.end(), row.begin(), row.end());
  }
  if (colorType == PNG_COLOR_TYPE_PALETTE)
    for (unsigned i = 0; i < (1u << depth); ++i) image.palette.insert(image.palette.end(), {uint8_t(i), 0, 0});
  return image;
}

TEST(PNGLowBitDepths, EightBitTargetGivesOneValueAByte) {
  TempDir dir;
  for (int colorType : {PNG_COLOR_TYPE_PALETTE, PNG_COLOR_TYPE_GRAY})
    for (int depth : {1, 2, 4}) {
      SCOPED_TRACE(testing::Message() << "colour type " << colorType << ", depth " << depth);
      const uint32_t width = 13;  // not a whole number of bytes at any depth
      ASSERT_TRUE(WriteFile(dir / "low.png", pngfixtures::Encode(LowDepthImage(depth, colorType, width))));
      UInt32 w = 0, h = 0;
      UInt8* pixels = ReadPNGFile((dir / "low.png").c_str(), &w, &h, 1, nullptr, nullptr);
      ASSERT_NE(pixels, nullptr);
      ASSERT_EQ(w, width);
      ASSERT_EQ(h, 2u);
      const unsigned maxValue = (1u << depth) - 1;
      for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 0; x < width; ++x) {
          const unsigned value = (x + y) % (1u << depth);
          const unsigned expected = colorType == PNG_COLOR_TYPE_PALETTE ? value : value * 255 / maxValue;
          ASSERT_EQ(pixels[y * width + x], expected) << x << "," << y;
        }
      delete[] pixels;
    }
}

TEST(PNGLowBitDepths, TwoBitGreyLevelOneReads85) {
  TempDir dir;
  ASSERT_TRUE(WriteFile(dir / "g2.png", pngfixtures::Encode(LowDepthImage(2, PNG_COLOR_TYPE_GRAY, 4))));
  UInt32 w = 0, h = 0;
  UInt8* pixels = ReadPNGFile((dir / "g2.png").c_str(), &w, &h, 1, nullptr, nullptr);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(pixels[1], 85);
  delete[] pixels;
  // The 32-bit target expands them too.
  pixels = ReadPNGFile((dir / "g2.png").c_str(), &w, &h, 0, nullptr, nullptr);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(std::vector<UInt8>(pixels + 4, pixels + 8), (std::vector<UInt8>{85, 85, 85, 0}));
  delete[] pixels;
}

TEST(PNGLowBitDepths, PaletteAtThe32BitTargetExpandsToColours) {
  TempDir dir;
  pngfixtures::Image image = LowDepthImage(4, PNG_COLOR_TYPE_PALETTE, 3);
  ASSERT_TRUE(WriteFile(dir / "p4.png", pngfixtures::Encode(image)));
  UInt32 w = 0, h = 0;
  UInt8* pixels = ReadPNGFile((dir / "p4.png").c_str(), &w, &h, 0, nullptr, nullptr);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(std::vector<UInt8>(pixels, pixels + 12), (std::vector<UInt8>{0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0}));
  delete[] pixels;
}

}  // namespace
