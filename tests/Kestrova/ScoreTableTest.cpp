#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GameAssets.h"
#include "GameDriver.h"
#include "GameGlobals.h"
#include "ImageBuff.h"
#include "PlistTag.h"
#include "Screens/MainScreen.h"
#include "Screens/ScoreTable.h"

namespace {

using gametest::GameDriver;

struct Row {
  const char* name;
  SInt32 score;
  SInt32 level;
};

// Replaces the table in memory with these rows.
void SetTable(const std::vector<Row>& rows) {
  PlistTag* root = &gScores->root;
  PlistTag::DeleteChildren(root);
  PlistTag* array = PlistTag::NewTag(root, "array", "Scores", "");
  for (const Row& row : rows) {
    PlistTag* entry = PlistTag::NewTag(array, "dict", "", "");
    PlistTag::NewTag(entry, "string", "Name", row.name);
    PlistTag::NewTag(entry, "integer", "Score", std::to_string(row.score).c_str());
    PlistTag::NewTag(entry, "integer", "Level", std::to_string(row.level).c_str());
  }
}

std::vector<Row> BlankRows() { return std::vector<Row>(15, Row{"-", 0, 0}); }

const UInt8* PoolPixel(int x, int y) {
  return reinterpret_cast<const UInt8*>(&ImagePool.pixels[static_cast<size_t>(y) * ImagePool.width + x]);
}

// What the pixels of one row hold, by colour (the pool is premultiplied).
struct RowColours {
  int gold = 0;
  int brown = 0;
  int green = 0;
  int drawn = 0;
  double goldX = 0, goldY = 0, brownX = 0, brownY = 0;
  int minX = 10000, maxX = -1;
};

RowColours ScanRow(int row, int fromX = 0, int toX = 385) {
  const int baseline = static_cast<int>(24.0f + 34.08f * static_cast<float>(row));
  RowColours c;
  for (int y = baseline - 23; y <= baseline + 6; ++y) {
    for (int x = fromX; x < toX; ++x) {
      const UInt8* p = PoolPixel(x, y);
      if (p[3] == 0) continue;
      ++c.drawn;
      if (x < c.minX) c.minX = x;
      if (x > c.maxX) c.maxX = x;
      if (p[0] > 200 && p[1] > 170 && p[2] < 60) {
        ++c.gold;
        c.goldX += x;
        c.goldY += y;
      } else if (p[2] < 10 && p[0] > 40 && p[1] < p[0] * 0.65) {
        ++c.brown;
        c.brownX += x;
        c.brownY += y;
      } else if (p[0] < 30 && p[1] > 100 && p[2] > 70) {
        ++c.green;
      }
    }
  }
  return c;
}

class ScoreTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    driver_ = std::make_unique<GameDriver>(7);
    gScores->ClearPending();
  }
  MainScreen* Screen() { return gMainScreen.Pointer(); }
  std::unique_ptr<GameDriver> driver_;
};

TEST_F(ScoreTableTest, ABlankTableRendersNothingVisible) {
  SetTable(BlankRows());
  RenderScoreTable(Screen());
  EXPECT_EQ(Screen()->scoreTableImage.imageWidth, 385);
  EXPECT_EQ(Screen()->scoreTableImage.imageHeight, 508);
  EXPECT_NE(Screen()->scoreTableImage.textureName, 0u);
  int drawn = 0;
  for (int y = 0; y < 508; ++y)
    for (int x = 0; x < 385; ++x) drawn += PoolPixel(x, y)[3] != 0;
  EXPECT_EQ(drawn, 0);
}

// The pool's block is given back after each step: the next render makes it
// again, at its full size, and draws the same table into it.
TEST_F(ScoreTableTest, TheTableRendersTheSameAfterThePoolIsGivenBackBetweenSteps) {
  std::vector<Row> rows = BlankRows();
  rows[0] = {"ALPHA", 90000, 9};
  rows[4] = {"ECHO", 300, 1};
  SetTable(rows);
  RenderScoreTable(Screen());
  auto tablePixels = [] {
    std::vector<UInt32> pixels;
    for (int y = 0; y < 508; ++y)
      for (int x = 0; x < 385; ++x) pixels.push_back(ImagePool.pixels[static_cast<size_t>(y) * ImagePool.width + x]);
    return pixels;
  };
  const std::vector<UInt32> first = tablePixels();

  driver_->step();
  EXPECT_EQ(ImagePool.pixels, nullptr);
  RenderScoreTable(Screen());
  ASSERT_NE(ImagePool.pixels, nullptr);
  EXPECT_EQ(ImagePool.width, 1024);
  EXPECT_EQ(ImagePool.height, 1024);
  EXPECT_EQ(Screen()->scoreTableImage.imageWidth, 385);
  EXPECT_NE(Screen()->scoreTableImage.textureName, 0u);
  EXPECT_TRUE(tablePixels() == first);
}

TEST_F(ScoreTableTest, ThePlayersNewRowIsGoldOverABrownShadowAndTheRestGreen) {
  std::vector<Row> rows = BlankRows();
  rows[0] = {"ALPHA", 90000, 9};
  rows[1] = {"BRAVO", 70000, 7};
  rows[2] = {"ACE", 5000, 3};
  rows[3] = {"DELTA", 4000, 2};
  SetTable(rows);
  gScores->pending.data[0].insertIndex = 2;
  RenderScoreTable(Screen());

  const RowColours mine = ScanRow(2);
  EXPECT_GT(mine.gold, 20);
  EXPECT_GT(mine.brown, 5);
  EXPECT_EQ(mine.green, 0);
  // The shadow lies one pixel right and down of the gold.
  EXPECT_GT(mine.brownX / mine.brown, mine.goldX / mine.gold);
  EXPECT_GT(mine.brownY / mine.brown, mine.goldY / mine.gold);
  // The name starts at x 8.
  EXPECT_GE(mine.minX, 8);
  EXPECT_LE(mine.minX, 11);

  for (int row : {0, 1, 3}) {
    SCOPED_TRACE(row);
    const RowColours other = ScanRow(row);
    EXPECT_GT(other.green, 20);
    EXPECT_EQ(other.gold, 0);
    EXPECT_EQ(other.brown, 0);
  }
}

TEST_F(ScoreTableTest, BothPlayersRowsAreHighlighted) {
  std::vector<Row> rows = BlankRows();
  rows[0] = {"ONE", 8000, 4};
  rows[1] = {"MID", 6000, 3};
  rows[2] = {"TWO", 5000, 3};
  SetTable(rows);
  gScores->pending.data[0].insertIndex = 2;
  gScores->pending.data[1].insertIndex = 0;
  RenderScoreTable(Screen());
  EXPECT_GT(ScanRow(0).gold, 20);
  EXPECT_GT(ScanRow(2).gold, 20);
  EXPECT_EQ(ScanRow(1).gold, 0);
  EXPECT_GT(ScanRow(1).green, 20);
}

TEST_F(ScoreTableTest, ARowWithAScoreOfZeroDrawsNothingEvenWithAName) {
  std::vector<Row> rows = BlankRows();
  rows[0] = {"FIRST", 3000, 2};
  rows[1] = {"GHOST", 0, 5};
  rows[2] = {"THIRD", 1000, 1};
  SetTable(rows);
  RenderScoreTable(Screen());
  EXPECT_GT(ScanRow(0).drawn, 0);
  EXPECT_EQ(ScanRow(1).drawn, 0);
  EXPECT_GT(ScanRow(2).drawn, 0);
}

TEST_F(ScoreTableTest, TheScoreEndsThirtyTwoPixelsInAndTheLevelFour) {
  std::vector<Row> rows = BlankRows();
  rows[0] = {"A", 5000, 7};
  SetTable(rows);
  RenderScoreTable(Screen());
  const RowColours score = ScanRow(0, 300, 356);
  const RowColours gap = ScanRow(0, 356, 366);
  const RowColours level = ScanRow(0, 366, 385);
  EXPECT_GT(score.drawn, 0);
  EXPECT_GE(score.maxX, 345);
  EXPECT_LE(score.maxX, 354);
  EXPECT_EQ(gap.drawn, 0);
  EXPECT_GT(level.drawn, 0);
  EXPECT_GE(level.maxX, 375);
  EXPECT_LE(level.maxX, 382);
}

TEST_F(ScoreTableTest, RowsBeyondTheArrayOrTheTableSizeAreNotDrawn) {
  // A short array draws what it has; rows past the fifteenth are never shown.
  std::vector<Row> rows = {{"ONLY", 700, 1}};
  SetTable(rows);
  RenderScoreTable(Screen());
  EXPECT_GT(ScanRow(0).drawn, 0);
  EXPECT_EQ(ScanRow(1).drawn, 0);

  std::vector<Row> many(16, Row{"X", 100, 1});
  SetTable(many);
  RenderScoreTable(Screen());
  EXPECT_GT(ScanRow(14).drawn, 0);
  // Row 15's baseline lies at 535, beyond the 508 rows of the image.
  int below = 0;
  for (int y = 508; y < 560; ++y)
    for (int x = 0; x < 385; ++x) below += PoolPixel(x, y)[3] != 0;
  EXPECT_EQ(below, 0);
}

int TextureCoverage(const GLImage& image) {
  std::vector<UInt8> texels(static_cast<size_t>(image.textureWidth) * image.textureHeight * 4);
  glBindTexture(GL_TEXTURE_2D, image.textureName);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  int covered = 0;
  for (size_t i = 3; i < texels.size(); i += 4) covered += texels[i] != 0;
  return covered;
}

TEST_F(ScoreTableTest, ATreeWithoutScoresKeepsThePreviousImage) {
  std::vector<Row> rows = BlankRows();
  rows[0] = {"KEEP", 4200, 4};
  SetTable(rows);
  RenderScoreTable(Screen());
  const GLImage before = Screen()->scoreTableImage;
  const int covered = TextureCoverage(before);
  ASSERT_GT(covered, 0);

  PlistTag::DeleteChildren(&gScores->root);
  RenderScoreTable(Screen());
  EXPECT_EQ(Screen()->scoreTableImage.textureName, before.textureName);
  EXPECT_EQ(TextureCoverage(Screen()->scoreTableImage), covered);
}

}  // namespace
