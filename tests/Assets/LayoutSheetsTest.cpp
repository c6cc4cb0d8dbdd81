// The three layouts load into the game's 27 registered frame sets.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "../DO Duvuvu/Graphics/GLTestSupport.h"
#include "Layout.h"
#include "PNGFiles.h"
#include "PlistTag.h"
#include "Sys.h"
#include "TestSupport.h"

namespace {

const std::string kResources = std::string(DUVUVU_BUNDLE_DIR) + "/Contents/Resources";

struct SetInfo {
  const char* name;
  int count;
};

// The game's registration order.
const SetInfo kSets[27] = {
    {"noactionFRAME", 1},     {"menuPictFRAME", 5},    {"zadadoFRAME", 36},     {"playerShipFRAME", 10},
    {"playerFireFRAME", 2},   {"enemyFireFRAME", 1},   {"playerShotFRAME", 2},  {"enemyShotFRAME", 1},
    {"plasmaFRAME", 15},      {"shieldStatusFRAME", 1}, {"pelletFRAME", 2},     {"bossStatusFRAME", 1},
    {"enemyShieldFRAME", 1},  {"explosionFRAME", 1},   {"engineFRAME", 1},      {"shotFRAME", 1},
    {"enemyFRAME", 5},        {"enemySpinFRAME", 8},   {"enemyWingFRAME", 8},   {"waveDisplayFRAME", 1},
    {"doublesPowFRAME", 8},   {"shieldPowFRAME", 16},  {"podFRAME", 8},         {"numberFRAME", 10},
    {"bossDisplayFRAME", 1},  {"bigFlameFRAME", 1},    {"glowFRAME", 1}};

std::string Text(ConstStringPtr p) { return std::string(reinterpret_cast<const char*>(p + 1), p[0]); }

std::vector<char> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class LayoutSheets : public GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    Clear();
    SetExecutablePathForTesting(std::string(DUVUVU_BUNDLE_DIR) + "/Contents/MacOS/Kestrova");
    InitLayouts();
    for (const SetInfo& set : kSets) {
      blocks_.emplace_back(new Frame[static_cast<size_t>(set.count)]);
      frameLIST[frameSetCount++] = blocks_.back().get();
      Str31 name;
      name[0] = static_cast<unsigned char>(std::strlen(set.name));
      std::memcpy(name + 1, set.name, name[0]);
      SetFrameArrayName(blocks_.back().get(), name);
      SetFrameArraySize(blocks_.back().get(), static_cast<UInt8>(set.count));
    }
  }
  void TearDown() override {
    blocks_.clear();
    Clear();
    GLTest::TearDown();
  }
  static void Clear() {
    std::memset(frameLIST, 0, sizeof frameLIST);
    std::memset(frameSetCapacity, 0, sizeof frameSetCapacity);
    frameSetCount = 0;
  }

  // Sets first..last (1-based, as the game numbers them) of one sheet.
  void ExpectSheetFrames(const char* sheet, int first, int last) {
    UInt32 width = 0, height = 0;
    ASSERT_EQ(0, GetPNGFileSize((kResources + "/Graphics/" + sheet + ".png").c_str(), &width, &height)) << sheet;
    std::vector<Rect> seen;
    for (int s = first; s <= last; ++s) {
      const SetInfo& set = kSets[s - 1];
      Frame* frames = blocks_[static_cast<size_t>(s - 1)].get();
      EXPECT_EQ(set.count, frames[0].arraySize[0]) << set.name;
      for (int k = 0; k < set.count; ++k) {
        const Frame& f = frames[k];
        const Rect& b = f.bounds;
        EXPECT_EQ(std::string(set.name) + "[" + std::to_string(k) + "]", Text(f.name));
        EXPECT_LT(b.left, b.right) << set.name << k;
        EXPECT_LT(b.top, b.bottom) << set.name << k;
        EXPECT_GE(b.left, 0);
        EXPECT_GE(b.top, 0);
        EXPECT_LE(b.right, static_cast<SInt32>(width)) << set.name << k;
        EXPECT_LE(b.bottom, static_cast<SInt32>(height)) << set.name << k;
        EXPECT_NE(0u, f.image.textureName) << set.name << k;
        for (const Rect& o : seen) {
          const bool apart = b.right <= o.left || o.right <= b.left || b.bottom <= o.top || o.bottom <= b.top;
          EXPECT_TRUE(apart) << set.name << "[" << k << "] overlaps another frame of " << sheet;
        }
        seen.push_back(b);
      }
    }
  }

  std::vector<std::unique_ptr<Frame[]>> blocks_;
  testsupport::RecordingMessageBox boxes_;
};

TEST_F(LayoutSheets, AllThreeLoadIntoTheirSetsWithoutAlerts) {
  OpenWindow(640, 480);
  for (const char* name : {"Zadados", "Sprites", "Enemies"})
    EXPECT_EQ(0, LoadLayout(name, (kResources + "/Graphics/" + name).c_str(), 1)) << name;
  EXPECT_TRUE(boxes_.boxes().empty()) << boxes_.boxes().front().text;
  ExpectSheetFrames("Zadados", 3, 3);
  ExpectSheetFrames("Sprites", 4, 15);
  ExpectSheetFrames("Enemies", 17, 27);
  // The never-drawn sets are left alone.
  for (int s : {1, 2, 16}) {
    EXPECT_EQ(kSets[s - 1].count, blocks_[static_cast<size_t>(s - 1)][0].arraySize[0]);
    EXPECT_EQ(0, blocks_[static_cast<size_t>(s - 1)][0].name[0]);
  }
}

TEST_F(LayoutSheets, ZadadosFramesAreTheSixBySixGrid) {
  OpenWindow(640, 480);
  ASSERT_EQ(0, LoadLayout("Zadados", (kResources + "/Graphics/Zadados").c_str(), 1));
  for (int k = 0; k < 36; ++k) {
    const Rect& b = blocks_[2][k].bounds;
    EXPECT_EQ(k % 6 * 48, b.left);
    EXPECT_EQ(k / 6 * 48, b.top);
    EXPECT_EQ(48, b.right - b.left);
    EXPECT_EQ(48, b.bottom - b.top);
  }
}

TEST(LayoutFiles, ReadAndWrittenBackGiveTheSameBytes) {
  testsupport::TempDir dir;
  for (const char* name : {"Zadados", "Sprites", "Enemies"}) {
    const std::string path = kResources + "/Layouts/" + name;
    FILE* in = std::fopen(path.c_str(), "rb");
    ASSERT_NE(nullptr, in) << name;
    PlistTag root;
    EXPECT_EQ(0, PlistTag::ReadStdFile(&root, in));
    std::fclose(in);
    const std::string copy = dir / name;
    FILE* out = std::fopen(copy.c_str(), "wb");
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(0, PlistTag::WriteStdFile(&root, out));
    std::fclose(out);
    EXPECT_EQ(FileBytes(path), FileBytes(copy)) << name;
  }
}

}  // namespace
