#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "Bundle.h"
#include "GameAssets.h"
#include "GameDriver.h"
#include "PNGFiles.h"
#include "Strings.h"
#include "TestSupport.h"

namespace {

class GameAssetsTest : public ::testing::Test {
 protected:
  void SetUp() override { driver_ = std::make_unique<gametest::GameDriver>(7); }
  void TearDown() override { driver_.reset(); }

  static std::string Resources() {
    char path[kPathBufferSize];
    GetBundleResourcesPath(path, sizeof path);
    return path;
  }

  std::unique_ptr<gametest::GameDriver> driver_;
};

TEST_F(GameAssetsTest, TheFrameSetsAreRegisteredInOrderAndFilledWithTextures) {
  // Sets that only the screens' layouts fill, or that nothing draws.
  const std::set<std::string> unused = {"noactionFRAME", "menuPictFRAME", "shotFRAME"};
  int first = -1;
  for (int slot = 0; slot < frameSetCount; ++slot) {
    if (frameLIST[slot] == noactionFRAME) first = slot;
  }
  ASSERT_GE(first, 0);
  for (int i = 0; i < kGameFrameSetCount; ++i) {
    const GameFrameSetEntry& entry = kGameFrameSetTable[i];
    SCOPED_TRACE(entry.name);
    Frame* set = *entry.first;
    ASSERT_EQ(frameLIST[first + i], set);
    Str255 name;
    GetFrameArrayName(set, name);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(name + 1), name[0]), entry.name);
    EXPECT_EQ(GetFrameArraySize(set), entry.count);
    if (unused.count(entry.name)) continue;
    for (int k = 0; k < entry.count; ++k) EXPECT_NE(set[k].image.textureName, 0u) << "frame " << k;
  }
  // The overbright plasma frame.
  EXPECT_FLOAT_EQ(plasmaFRAME[5].image.red, 1.75f);
}

TEST_F(GameAssetsTest, AssetsLoadOnlyOnce) {
  ASSERT_NE(gImages->background.textureName, 0u);
  plasmaFRAME[5].image.red = 1.0f;
  LoadGameAssets();
  EXPECT_FLOAT_EQ(plasmaFRAME[5].image.red, 1.0f);
}

TEST_F(GameAssetsTest, TheGameImagesSoundsAndTablesAreThere) {
  GameImages& images = *gImages;
  for (GLImage* image : {&images.background, &images.shockwave, &images.pixel, &images.spark, &images.pixel2,
                         &images.radioOff, &images.radioOn, &images.volume, &images.pause, &images.exit,
                         &images.cursor, &images.fadeStrip, &images.pressFire, &images.statusBar[0],
                         &images.statusBar[1]}) {
    EXPECT_NE(image->textureName, 0u);
  }
  EXPECT_EQ(images.cursor.imageWidth, 64);
  EXPECT_EQ(GameSoundLoaded(&gSounds->shot2), 1);
  EXPECT_EQ(GameSoundLoaded(&gSounds->blip), 1);
  EXPECT_EQ(GameSoundLoaded(&gSounds->spare), 0);
  ASSERT_NE(CosTable, nullptr);
  ASSERT_NE(SinTable, nullptr);
  EXPECT_GT(CosTable[0], 0);
  EXPECT_EQ(SinTable[0], 0);
  EXPECT_NE(GameFonts[0], nullptr);
  EXPECT_NE(GameFonts[1], nullptr);
  EXPECT_FLOAT_EQ(GameColours[kColourLime].red, 0.75f);
  EXPECT_FLOAT_EQ(GameFlags.playerColour[0].blue, 0.682353f);
  EXPECT_FLOAT_EQ(GameFlags.playerColour[1].blue, 1.0f);
  EXPECT_FLOAT_EQ(FlashColour[0], 1.5f);
  EXPECT_FLOAT_EQ(FlashColour[3], 0.0f);
}

TEST_F(GameAssetsTest, AFontWithoutExtensionWinsOverTtf) {
  testsupport::TempDir dir;
  const std::string first = testsupport::ReadFile(Resources() + "/Fonts/VAG Rounded BT.ttf");
  const std::string second = testsupport::ReadFile(Resources() + "/Fonts/Copperplate Gothic Bold.ttf");
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  FT_Face reference = nullptr;
  ASSERT_EQ(LoadGameFontFrom(&reference, (Resources() + "/Fonts").c_str(), "VAG Rounded BT"), 0);
  const std::string firstFamily = reference->family_name;
  FT_Done_Face(reference);

  ASSERT_TRUE(testsupport::WriteFile(dir / "Face", first));
  ASSERT_TRUE(testsupport::WriteFile(dir / "Face.ttf", second));
  FT_Face face = nullptr;
  ASSERT_EQ(LoadGameFontFrom(&face, dir.path().c_str(), "Face"), 0);
  EXPECT_EQ(std::string(face->family_name), firstFamily);
  FT_Done_Face(face);

  ASSERT_TRUE(testsupport::WriteFile(dir / "Other.ttf", second));
  ASSERT_EQ(LoadGameFontFrom(&face, dir.path().c_str(), "Other"), 0);
  EXPECT_NE(std::string(face->family_name), firstFamily);
  FT_Done_Face(face);

  EXPECT_EQ(LoadGameFontFrom(&face, dir.path().c_str(), "Missing"), -1);
  EXPECT_EQ(face, nullptr);
}

TEST_F(GameAssetsTest, ThreeSlicePiecesCarryTheirNeighboursEdgeColumns) {
  testsupport::TempDir dir;
  // Column c has red 2c, so a texel tells which column it came from.
  std::vector<UInt8> pixels(100 * 4 * 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 100; ++x) {
      UInt8* p = &pixels[(y * 100 + x) * 4];
      p[0] = static_cast<UInt8>(2 * x);
      p[1] = 0;
      p[2] = 0;
      p[3] = 255;
    }
  }
  ASSERT_EQ(WritePNGFile((dir / "Slices.png").c_str(), pixels.data(), 100, 4, 0, nullptr, 0), 1);
  GLImage images[3];
  LoadThreeSliceImage(images, (dir / "Slices").c_str(), 0);
  const struct {
    int firstColumn;
    int width;
    float s0;
    float s1;
  } expected[3] = {{0, 26, 0.0f / 32, 25.0f / 32}, {23, 54, 2.0f / 64, 52.0f / 64}, {74, 26, 1.0f / 32, 26.0f / 32}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    ASSERT_NE(images[i].textureName, 0u);
    EXPECT_EQ(images[i].imageWidth, expected[i].width);
    EXPECT_EQ(images[i].imageHeight, 4);
    EXPECT_FLOAT_EQ(images[i].texCoords[0], expected[i].s0);
    EXPECT_FLOAT_EQ(images[i].texCoords[2], expected[i].s1);
    EXPECT_FLOAT_EQ(images[i].texCoords[5], 4.0f / 4);
    std::vector<UInt8> texels(static_cast<size_t>(images[i].textureWidth) * images[i].textureHeight * 4);
    glBindTexture(GL_TEXTURE_2D, images[i].textureName);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels[0], 2 * expected[i].firstColumn);
    EXPECT_EQ(texels[(expected[i].width - 1) * 4], 2 * (expected[i].firstColumn + expected[i].width - 1));
    DeleteGLImageTexture(&images[i]);
  }
}

}  // namespace
