#include "ImageBuff.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "PNGFiles.h"
#include "ResultCodes.h"
#include "TestSupport.h"

namespace {

using testsupport::TempDir;

// Releases the block at the end of a test.
struct Buffer : ImageBuff {
  Buffer() : ImageBuff{} {}
  ~Buffer() { FreeImageBuff(this); }
  UInt32 At(int column, int row) const { return pixels[row * width + column]; }
};

// An RGBA file whose pixel (x, y) is (x & 255, y & 255, 7, 200).
std::string WriteRamp(const TempDir& dir, const char* name, UInt32 width, UInt32 height) {
  std::vector<UInt8> rgba;
  rgba.reserve(size_t{width} * height * 4);
  for (UInt32 y = 0; y < height; ++y)
    for (UInt32 x = 0; x < width; ++x) rgba.insert(rgba.end(), {UInt8(x), UInt8(y), 7, 200});
  const std::string path = dir / name;
  EXPECT_EQ(WritePNGFile(path.c_str(), rgba.data(), width, height, 0, nullptr, 0), 1);
  return path;
}

UInt32 Packed(UInt32 r, UInt32 g, UInt32 b, UInt32 a) { return r | (g << 8) | (b << 16) | (a << 24); }

TEST(ImageBuff, AllocFillsAndFree) {
  Buffer buffer;
  AllocImageBuff(&buffer, 4, 3);
  ASSERT_NE(buffer.pixels, nullptr);
  EXPECT_EQ(buffer.size, 48u);
  EXPECT_EQ(buffer.rowBytes, 16u);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(buffer.pixels[i], 0u);
  EXPECT_EQ(FillImageBuffBlack(&buffer), 0);
  EXPECT_EQ(buffer.At(3, 2), 0xFF000000u);
  EXPECT_EQ(FillImageBuffWhite(&buffer), 0);
  EXPECT_EQ(buffer.At(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(ClearImageBuff(&buffer), 0);
  EXPECT_EQ(buffer.At(2, 1), 0u);

  EXPECT_EQ(FreeImageBuff(&buffer), 0);
  EXPECT_EQ(FreeImageBuff(&buffer), kErrFailed);
  EXPECT_EQ(buffer.size, 48u);
  EXPECT_EQ(buffer.rowBytes, 16u);
  EXPECT_EQ(buffer.width, 4);
  EXPECT_EQ(buffer.height, 3);
  const Rect r = {0, 0, 1, 1};
  EXPECT_EQ(ClearImageBuff(&buffer), -1);
  EXPECT_EQ(FillImageBuffBlack(&buffer), -1);
  EXPECT_EQ(FillImageBuffWhite(&buffer), -1);
  EXPECT_EQ(FillImageBuffRect(&buffer, &r), kErrFailed);
  EXPECT_EQ(FrameImageBuffRect(&buffer, &r), kErrFailed);
}

// A block given back while idle comes back zero-filled at the kept size; a
// buffer that has one keeps it, pixels and all.
TEST(ImageBuff, ReadyMakesABlockOfTheKeptSizeOnlyWhenThereIsNone) {
  Buffer buffer;
  EXPECT_EQ(ReadyImageBuff(&buffer), kErrFailed);
  EXPECT_EQ(buffer.pixels, nullptr);
  EXPECT_EQ(ReadyImageBuff(nullptr), kErrFailed);

  AllocImageBuff(&buffer, 8, 4);
  FillImageBuffWhite(&buffer);
  const UInt32* block = buffer.pixels;
  EXPECT_EQ(ReadyImageBuff(&buffer), 0);
  EXPECT_EQ(buffer.pixels, block);
  EXPECT_EQ(buffer.At(7, 3), 0xFFFFFFFFu);

  FreeImageBuff(&buffer);
  ASSERT_EQ(ReadyImageBuff(&buffer), 0);
  ASSERT_NE(buffer.pixels, nullptr);
  EXPECT_EQ(buffer.width, 8);
  EXPECT_EQ(buffer.height, 4);
  EXPECT_EQ(buffer.size, 128u);
  EXPECT_EQ(buffer.rowBytes, 32u);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(buffer.pixels[i], 0u) << i;
}

TEST(ImageBuff, ColourPacksTruncatedChannels) {
  EXPECT_EQ(PackImageBuffColor(1.0f, 0.5f, 0.0f, 1.0f), 0xFF007FFFu);
  EXPECT_EQ(PackImageBuffColor(0.999f, 0.1f, 0.2f, 0.0f), Packed(254, 25, 51, 0));
}

TEST(ImageBuff, RectFillAndFrame) {
  Buffer buffer;
  AllocImageBuff(&buffer, 6, 5);
  buffer.red = 1.0f;
  buffer.green = 0.5f;
  buffer.blue = 0.0f;
  buffer.alpha = 1.0f;
  const Rect fill = {1, 2, 3, 5};
  EXPECT_EQ(FillImageBuffRect(&buffer, &fill), 0);
  for (int row = 0; row < 5; ++row)
    for (int column = 0; column < 6; ++column) {
      const bool inside = row >= 1 && row < 3 && column >= 2 && column < 5;
      EXPECT_EQ(buffer.At(column, row), inside ? 0xFF007FFFu : 0u) << column << "," << row;
    }

  ClearImageBuff(&buffer);
  buffer.green = 1.0f;
  const Rect frame = {0, 0, 5, 4};
  EXPECT_EQ(FrameImageBuffRect(&buffer, &frame), 0);
  const char* expected[] = {"XXXX..", "X..X..", "X..X..", "X..X..", "XXXX.."};
  for (int row = 0; row < 5; ++row)
    for (int column = 0; column < 6; ++column)
      EXPECT_EQ(buffer.At(column, row) != 0, expected[row][column] == 'X') << column << "," << row;

  // Two rows high: only its two rows; empty: nothing.
  ClearImageBuff(&buffer);
  const Rect flat = {2, 1, 4, 5};
  FrameImageBuffRect(&buffer, &flat);
  int inked = 0;
  for (int i = 0; i < 30; ++i) inked += buffer.pixels[i] != 0;
  EXPECT_EQ(inked, 8);
  ClearImageBuff(&buffer);
  const Rect empty = {3, 3, 3, 6};
  EXPECT_EQ(FillImageBuffRect(&buffer, &empty), 0);
  EXPECT_EQ(FrameImageBuffRect(&buffer, &empty), 0);
  for (int i = 0; i < 30; ++i) ASSERT_EQ(buffer.pixels[i], 0u);
}

TEST(ImageBuff, LoadSmallImageIntoLargeBuffer) {
  TempDir dir;
  const std::string path = WriteRamp(dir, "small.png", 100, 50);
  Buffer buffer;
  AllocImageBuff(&buffer, 1024, 1024);
  FillImageBuffWhite(&buffer);
  ASSERT_EQ(LoadPNGIntoImageBuff(&buffer, path.c_str(), 1.0f, 0), 0);
  EXPECT_EQ(buffer.usedWidth, 100);
  EXPECT_EQ(buffer.usedHeight, 50);
  EXPECT_EQ(buffer.At(99, 49), Packed(99, 49, 7, 255));
  for (int row = 0; row < 1024; ++row)
    for (int column = 0; column < 1024; ++column)
      if (row >= 50 || column >= 100) {
        ASSERT_EQ(buffer.At(column, row), 0u) << column << "," << row;
      }
}

TEST(ImageBuff, LoadWideImageIsCutAtTheRightEdge) {
  TempDir dir;
  const std::string path = WriteRamp(dir, "wide.png", 2000, 10);
  Buffer buffer;
  AllocImageBuff(&buffer, 1024, 1024);
  ASSERT_EQ(LoadPNGIntoImageBuff(&buffer, path.c_str(), 1.0f, 0), 0);
  EXPECT_EQ(buffer.usedWidth, 1024);
  EXPECT_EQ(buffer.usedHeight, 10);
  for (int row = 0; row < 10; ++row)
    for (int column = 0; column < 1024; ++column)
      ASSERT_EQ(buffer.At(column, row), Packed(column & 255, row, 7, 255)) << column << "," << row;
  EXPECT_EQ(buffer.At(0, 10), 0u);
}

TEST(ImageBuff, PremultiplyOrOpaque) {
  TempDir dir;
  const std::vector<UInt8> rgba = {200, 100, 50, 128, 90, 80, 70, 0, 255, 255, 255, 255};
  const std::string path = dir / "px.png";
  ASSERT_EQ(WritePNGFile(path.c_str(), rgba.data(), 3, 1, 0, nullptr, 0), 1);
  Buffer buffer;
  AllocImageBuff(&buffer, 4, 4);
  ASSERT_EQ(LoadPNGIntoImageBuff(&buffer, path.c_str(), 1.0f, 1), 0);
  EXPECT_EQ(buffer.At(0, 0), Packed(100, 50, 25, 128));
  EXPECT_EQ(buffer.At(1, 0), 0u);
  EXPECT_EQ(buffer.At(2, 0), 0xFFFFFFFFu);
  ASSERT_EQ(LoadPNGIntoImageBuff(&buffer, path.c_str(), 1.0f, 0), 0);
  EXPECT_EQ(buffer.At(0, 0), Packed(200, 100, 50, 255));
  EXPECT_EQ(buffer.At(1, 0), Packed(90, 80, 70, 255));
}

// A buffer without a block is decoded into in place; one with a block gets
// the image copied in, or decoded in place when the caller clears anyway. All
// must end the same: the image in the corner, its
// colours premultiplied or opaque, and nothing but zero around it.
TEST(ImageBuff, AFreshBlockAndAUsedOneEndTheSame) {
  TempDir dir;
  const std::vector<UInt8> rgba = {200, 100, 50, 128, 90, 80, 70, 0, 255, 255, 255, 255,
                                   10,  20,  30, 40,  1,  2,  3,  255, 0, 0, 0, 0};
  const std::string path = dir / "two-rows.png";
  ASSERT_EQ(WritePNGFile(path.c_str(), rgba.data(), 3, 2, 0, nullptr, 0), 1);
  for (UInt8 premultiply : {0, 1}) {
    SCOPED_TRACE(testing::Message() << "premultiply " << int(premultiply));
    Buffer fresh;
    ASSERT_EQ(LoadPNGIntoImageBuff(&fresh, path.c_str(), 1.0f, premultiply), 0);
    Buffer used;
    AllocImageBuff(&used, 4, 2);
    FillImageBuffWhite(&used);
    ASSERT_EQ(LoadPNGIntoImageBuff(&used, path.c_str(), 1.0f, premultiply), 0);
    Buffer inPlace;
    AllocImageBuff(&inPlace, 4, 2);
    FillImageBuffWhite(&inPlace);
    ASSERT_EQ(LoadPNGIntoClearedImageBuff(&inPlace, path.c_str(), premultiply), 0);
    EXPECT_EQ(inPlace.usedWidth, 3);
    EXPECT_EQ(inPlace.usedHeight, 2);
    ASSERT_EQ(fresh.width, 4);
    ASSERT_EQ(fresh.height, 2);
    EXPECT_EQ(fresh.usedWidth, 3);
    EXPECT_EQ(fresh.usedHeight, 2);
    for (int row = 0; row < 2; ++row) {
      for (int column = 0; column < 4; ++column) {
        SCOPED_TRACE(testing::Message() << column << "," << row);
        UInt32 want = 0;
        if (column < 3) {
          const UInt8* p = &rgba[static_cast<size_t>(row * 3 + column) * 4];
          want = premultiply ? Packed(p[0] * p[3] / 255, p[1] * p[3] / 255, p[2] * p[3] / 255, p[3])
                             : Packed(p[0], p[1], p[2], 255);
        }
        EXPECT_EQ(fresh.At(column, row), want);
        EXPECT_EQ(used.At(column, row), want);
        EXPECT_EQ(inPlace.At(column, row), want);
      }
    }
  }
}

// The in-place load cuts an image larger than the block as the copying one
// does, and without a block allocates one as that does.
TEST(ImageBuff, InPlaceLoadOfALargerImageOrWithoutABlock) {
  TempDir dir;
  const std::string path = WriteRamp(dir, "wide.png", 40, 3);
  Buffer small;
  AllocImageBuff(&small, 32, 4);
  FillImageBuffWhite(&small);
  ASSERT_EQ(LoadPNGIntoClearedImageBuff(&small, path.c_str(), 0), 0);
  EXPECT_EQ(small.usedWidth, 32);
  EXPECT_EQ(small.usedHeight, 3);
  EXPECT_EQ(small.At(31, 2), Packed(31, 2, 7, 255));
  EXPECT_EQ(small.At(0, 3), 0u);
  Buffer none;
  ASSERT_EQ(LoadPNGIntoClearedImageBuff(&none, path.c_str(), 0), 0);
  EXPECT_EQ(none.width, 64);
  EXPECT_EQ(none.height, 4);
  EXPECT_EQ(none.At(39, 2), Packed(39, 2, 7, 255));
}

// A large buffer (the shared 1024-wide pool): whatever it held, the clear,
// the cleared load and a cleared load that fails partway all leave nothing
// but zero outside the image.
TEST(ImageBuff, LargeBufferClearsAndClearedLoadsLeaveOnlyZero) {
  TempDir dir;
  const std::string ramp = WriteRamp(dir, "ramp.png", 100, 50);
  // Noise does not compress: its data spans many chunks, and a cut one fails
  // after the rows before the cut are written.
  const std::string noise = dir / "noise.png";
  {
    std::vector<UInt8> rgba(size_t{512} * 200 * 4);
    UInt32 state = 12345;
    for (UInt8& byte : rgba) {
      state = state * 1103515245u + 12345u;
      byte = static_cast<UInt8>(state >> 24);
    }
    ASSERT_EQ(WritePNGFile(noise.c_str(), rgba.data(), 512, 200, 0, nullptr, 0), 1);
  }
  std::string bytes;
  {
    std::FILE* file = std::fopen(noise.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.append(chunk, n);
    std::fclose(file);
  }
  // Cut inside the image data: the decoder has written some rows by then.
  const std::string cut = dir / "cut.png";
  {
    std::FILE* file = std::fopen(cut.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size() * 3 / 4, file);
    std::fclose(file);
  }
  auto onlyZeroOutside = [](const Buffer& buffer, int width, int height) {
    for (int row = 0; row < buffer.height; ++row)
      for (int column = 0; column < buffer.width; ++column)
        if (row >= height || column >= width) {
          if (buffer.At(column, row) != 0u) return testing::AssertionFailure() << column << "," << row;
        }
    return testing::AssertionSuccess();
  };

  Buffer buffer;
  AllocImageBuff(&buffer, 1024, 256);
  buffer.red = buffer.green = buffer.blue = buffer.alpha = 1.0f;
  FillImageBuffWhite(&buffer);
  ASSERT_EQ(ClearImageBuff(&buffer), 0);
  ASSERT_NE(buffer.pixels, nullptr);
  EXPECT_EQ(buffer.width, 1024);
  EXPECT_EQ(buffer.height, 256);
  EXPECT_EQ(buffer.size, 1024u * 256u * 4u);
  EXPECT_TRUE(onlyZeroOutside(buffer, 0, 0));
  // The colour is the buffer's, not the block's.
  EXPECT_EQ(buffer.red, 1.0f);

  FillImageBuffWhite(&buffer);
  ASSERT_EQ(LoadPNGIntoClearedImageBuff(&buffer, ramp.c_str(), 0), 0);
  EXPECT_EQ(buffer.usedWidth, 100);
  EXPECT_EQ(buffer.usedHeight, 50);
  EXPECT_EQ(buffer.At(0, 0), Packed(0, 0, 7, 255));
  EXPECT_EQ(buffer.At(99, 49), Packed(99, 49, 7, 255));
  EXPECT_TRUE(onlyZeroOutside(buffer, 100, 50));

  // Drawing after a clear lands in the new block.
  const Rect spot = {10, 10, 11, 11};
  ClearImageBuff(&buffer);
  FillImageBuffRect(&buffer, &spot);
  EXPECT_EQ(buffer.At(10, 10), 0xFFFFFFFFu);

  FillImageBuffWhite(&buffer);
  EXPECT_EQ(LoadPNGIntoClearedImageBuff(&buffer, cut.c_str(), 0), kErrFailed);
  EXPECT_TRUE(onlyZeroOutside(buffer, 0, 0));
}

TEST(ImageBuff, LoadWithoutABlockAllocatesPowersOfTwo) {
  TempDir dir;
  const struct {
    UInt32 width, height;
    SInt16 bufferWidth, bufferHeight;
  } cases[] = {{100, 50, 128, 64}, {64, 1, 64, 1}, {3, 5, 4, 8}, {16384, 2, 16384, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    const std::string path = WriteRamp(dir, "any.png", c.width, c.height);
    Buffer buffer;
    ASSERT_EQ(LoadPNGIntoImageBuff(&buffer, path.c_str(), 1.0f, 0), 0);
    EXPECT_EQ(buffer.width, c.bufferWidth);
    EXPECT_EQ(buffer.height, c.bufferHeight);
    EXPECT_EQ(buffer.usedWidth, static_cast<SInt16>(c.width));
    EXPECT_EQ(buffer.usedHeight, static_cast<SInt16>(c.height));
    EXPECT_EQ(buffer.size, UInt32(c.bufferWidth) * UInt32(c.bufferHeight) * 4);
  }
}

TEST(ImageBuff, NonPositiveSidesMakeNoBlock) {
  Buffer buffer;
  AllocImageBuff(&buffer, 0, 10);
  EXPECT_EQ(buffer.pixels, nullptr);
  EXPECT_EQ(ClearImageBuff(&buffer), -1);
  AllocImageBuff(&buffer, -4, 10);
  EXPECT_EQ(buffer.pixels, nullptr);
  EXPECT_EQ(FillImageBuffWhite(&buffer), -1);
}

}  // namespace
