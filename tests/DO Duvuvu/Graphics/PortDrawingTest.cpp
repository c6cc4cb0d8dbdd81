#include <gtest/gtest.h>

#include <cstdlib>

#include "Backend.h"
#include "GWorld.h"
#include "Memory.h"
#include "PortDrawing.h"
#include "ScriptedBackend.h"
#include "TestSupport.h"

namespace {

// Makes a world of the depth current for the test and restores the port.
class PortTest : public ::testing::Test {
 protected:
  void UseWorld(SInt16 depth) {
    GetCurrentPort(&saved_, nullptr);
    const Rect bounds{0, 0, 8, 8};
    ASSERT_EQ(CreateGWorld(&world_, depth, &bounds, nullptr, 0, 0), 0);
    SetCurrentPort(world_);
  }
  void TearDown() override {
    if (world_) {
      SetCurrentPort(saved_);
      DestroyGWorld(world_);
    }
  }
  GWorldPtr world_ = nullptr;

 private:
  GWorldPtr saved_ = nullptr;
};

TEST_F(PortTest, SixteenBitPixelsPackAndWiden) {
  UseWorld(16);
  struct Case {
    UInt16 pixel;
    UInt16 widened;
  } cases[] = {{0x7FFF, 65535}, {0x4210, 33825}, {0x0000, 0}};
  for (const Case& c : cases) {
    auto* row = reinterpret_cast<UInt16*>(PixMapBaseAddress(PixMapOfPort(world_)) + 3 * PixMapRowBytes(PixMapOfPort(world_)));
    row[5] = c.pixel;
    ColorRGB out = {1, 2, 3};
    GetPixelRGB(5, 3, &out);
    EXPECT_EQ(out.red, c.widened);
    EXPECT_EQ(out.green, c.widened);
    EXPECT_EQ(out.blue, c.widened);
  }
  const ColorRGB color = {0xF800, 0xF800, 0x07FF};  // each channel's top 5 bits
  SetPixelRGB(2, 1, &color);
  auto* row1 = reinterpret_cast<UInt16*>(PixMapBaseAddress(PixMapOfPort(world_)) + PixMapRowBytes(PixMapOfPort(world_)));
  EXPECT_EQ(row1[2], (0x1F << 10) | (0x1F << 5) | 0x00);
  const ColorRGB mixed = {0x8000, 0x4000, 0xFFFF};
  SetPixelRGB(3, 1, &mixed);
  EXPECT_EQ(row1[3], (16 << 10) | (8 << 5) | 31);
}

TEST_F(PortTest, ThirtyTwoBitPixelsKeepTheHighBytes) {
  UseWorld(32);
  const ColorRGB color = {0x12FF, 0x3400, 0xABCD};
  SetPixelRGB(7, 7, &color);
  auto* row = reinterpret_cast<UInt32*>(PixMapBaseAddress(PixMapOfPort(world_)) + 7 * PixMapRowBytes(PixMapOfPort(world_)));
  EXPECT_EQ(row[7], 0x001234ABu);
  ColorRGB out;
  GetPixelRGB(7, 7, &out);
  EXPECT_EQ(out.red, 0x1212);
  EXPECT_EQ(out.green, 0x3434);
  EXPECT_EQ(out.blue, 0xABAB);
}

TEST_F(PortTest, OtherDepthsNeitherWriteNorRead) {
  UseWorld(8);
  const ColorRGB color = {65535, 65535, 65535};
  SetPixelRGB(1, 1, &color);
  EXPECT_EQ(PixMapBaseAddress(PixMapOfPort(world_))[PixMapRowBytes(PixMapOfPort(world_)) + 1], 0);
  ColorRGB out = {1, 2, 3};
  GetPixelRGB(1, 1, &out);
  EXPECT_EQ(out.red, 1);
  EXPECT_EQ(out.blue, 3);
}

TEST_F(PortTest, PenAndColoursOfTheCurrentPort) {
  UseWorld(16);
  MovePenTo(10, 20);
  MovePenBy(-3, 5);
  Point pen;
  GetPenLocation(&pen);
  EXPECT_EQ(pen.h, 7);
  EXPECT_EQ(pen.v, 25);
  SetPenSize(4, 2);
  EXPECT_EQ(world_->penSize.h, 4);
  EXPECT_EQ(world_->penSize.v, 2);
  const ColorRGB fore = {1, 2, 3};
  const ColorRGB back = {4, 5, 6};
  SetForeColorRGB(&fore);
  SetBackColorRGB(&back);
  EXPECT_EQ(world_->foreColor.blue, 3);
  ColorRGB out;
  EXPECT_EQ(GetPortBackColorRGB(world_, &out), &out);
  EXPECT_EQ(out.green, 5);
  Rect r;
  CopyPortRect(world_, &r);
  EXPECT_EQ(r.bottom, 8);
  EXPECT_EQ(r.right, 8);
}

TEST(Colours, HSVToRGB) {
  struct Case {
    HSVColor in;
    ColorRGB want;
  } cases[] = {
      // Pale yellow and cyan: products of at most 0xFFFF used to zero a bracket.
      {{10923, 30000, 65535}, {65535, 65535, 35534}},
      {{32768, 20000, 60000}, {41688, 60000, 60000}},
      {{0, 1, 40000}, {40000, 40000, 39998}},
      {{12345, 0, 40000}, {40000, 40000, 40000}},
      // The primaries come out a few units off, as the arithmetic gives them.
      {{0, 65535, 65535}, {65535, 1, 0}},
      {{21845, 65535, 65535}, {3, 65535, 0}},
      {{43690, 65535, 65535}, {0, 5, 65535}},
  };
  for (const Case& c : cases) {
    ColorRGB out;
    HSVToRGB(&c.in, &out);
    EXPECT_EQ(out.red, c.want.red) << c.in.hue << "/" << c.in.saturation << "/" << c.in.value;
    EXPECT_EQ(out.green, c.want.green) << c.in.hue << "/" << c.in.saturation << "/" << c.in.value;
    EXPECT_EQ(out.blue, c.want.blue) << c.in.hue << "/" << c.in.saturation << "/" << c.in.value;
  }
}

TEST(Colours, RGBToHSV) {
  struct Case {
    ColorRGB in;
    HSVColor want;
  } cases[] = {
      {{65535, 0, 0}, {0, 65535, 65535}},
      {{0, 65535, 0}, {21845, 65535, 65535}},
      {{0, 0, 65535}, {43690, 65535, 65535}},
      {{30000, 30000, 30000}, {0, 0, 30000}},
      {{0, 0, 0}, {0, 0, 0}},
      {{65535, 0, 10000}, {63870, 65535, 65535}},  // below red wraps to the top
  };
  for (const Case& c : cases) {
    HSVColor out;
    RGBToHSV(&c.in, &out);
    EXPECT_EQ(out.hue, c.want.hue) << c.in.red << "," << c.in.green << "," << c.in.blue;
    EXPECT_EQ(out.saturation, c.want.saturation);
    EXPECT_EQ(out.value, c.want.value);
  }
}

TEST(Colours, PatternsTablesAndRandom) {
  UInt8 pattern[8];
  const UInt8 gray[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
  EXPECT_EQ(FillPatternGray(pattern), pattern);
  EXPECT_EQ(std::memcmp(pattern, gray, 8), 0);
  FillPatternOnes(pattern);
  for (UInt8 b : pattern) EXPECT_EQ(b, 1);
  FillPatternZero(pattern);
  for (UInt8 b : pattern) EXPECT_EQ(b, 0);

  Handle table = NewCTableHandle();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(GetHandleBlockSize(table), 2064);
  DisposeCTableHandle(table);
  Handle cursor = GetDefaultCursorHandle();
  EXPECT_EQ(GetHandleBlockSize(cursor), 68);
  EXPECT_EQ(GetDefaultCursorHandle(), cursor);

  std::srand(12345);
  for (int i = 0; i < 10000; ++i) {
    const SInt16 r = RandomShort();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, 32767);
  }
}

TEST(Colours, CursorCountComesFromThePlatform) {
  ScriptedBackend backend;
  Backend* previous = SetBackend(&backend);
  EXPECT_EQ(HideMouseCursor(), -1);
  EXPECT_EQ(HideMouseCursor(), -2);
  EXPECT_EQ(ShowMouseCursor(), -1);
  EXPECT_EQ(ShowMouseCursor(), 0);
  SetBackend(previous);
}

TEST(Colours, DisposePtrSafe) {
  Ptr block = NewPtrBlock(16);
  DisposePtr_Safe(&block);
  EXPECT_EQ(block, nullptr);
  DisposePtr_Safe(&block);  // a nil variable does nothing

  auto result = testsupport::RunInChild([] { DisposePtr_Safe(nullptr); });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.stderrText.find("Error: Tried to pass nil to DisposePtr_Safe()!"), std::string::npos);
}

TEST(Colours, DisplaysReadyFlag) {
  SetDisplaysReady();
  EXPECT_EQ(DisplaysReady(), 1);
  ClearDisplaysReady();
  EXPECT_EQ(DisplaysReady(), 0);
}

}  // namespace
