#include "ScoreTable.h"

#include "GameAssets.h"
#include "GameGlobals.h"
#include "ImageBuff.h"
#include "MainScreen.h"
#include "NumberText.h"
#include "PlistTag.h"
#include "Strings.h"
#include "TextRender.h"

namespace {

constexpr float kTextScale = 1.6f;
constexpr float kRowPitch = 34.08f;
constexpr float kRowBaseline = 24.0f;
constexpr float kNameX = 8.0f;
constexpr float kTextSize = 28.0f;
constexpr float kLevelSize = 28.0f * 0.65f;
constexpr UInt8 kAlignLeft = 0;
constexpr UInt8 kAlignRight = 2;

struct RowPass {
  float colour[4];
  float offset;
};
constexpr RowPass kOrdinaryPass = {{0.0f, 1.0f, 0.75f, 0.7f}, 0.0f};
constexpr RowPass kShadowPass = {{0.5f, 0.25f, 0.0f, 0.65f}, 1.0f};
constexpr RowPass kGoldPass = {{1.0f, 0.9f, 0.0f, 1.0f}, 0.0f};

// The value text of a child, or nil when the entry has no such child.
const unsigned char* ChildValue(PlistTag* entry, const char* type, const char* name) {
  PlistTag* tag = PlistTag::FindTag(entry, type, name, 0);
  return tag ? tag->value : nullptr;
}

bool IsPlayersNewRow(const Scores& scores, SInt32 row) {
  for (SInt32 p = 0; p < 2 && p < scores.pendingCount; ++p)
    if (scores.pending.data[p].insertIndex == row) return true;
  return false;
}

void DrawRow(PlistTag* entry, SInt32 row, SInt32 imageWidth, const RowPass& pass) {
  const ScoreRowTexts texts = FormatScoreRow(entry);
  if (!texts.shown) return;

  ImagePool.red = pass.colour[0];
  ImagePool.green = pass.colour[1];
  ImagePool.blue = pass.colour[2];
  ImagePool.alpha = pass.colour[3];
  const float o = pass.offset;
  const float baseline = kRowBaseline + o + kRowPitch * static_cast<float>(row);
  FT_Face face = GameFonts[0];
  if (texts.hasName)
    DrawTextToImage(&ImagePool, texts.name.c_str(), face, kTextSize, kNameX + o, baseline, kAlignLeft);
  DrawTextToImage(&ImagePool, texts.score.c_str(), face, kTextSize, static_cast<float>(imageWidth - 32) + o,
                  baseline, kAlignRight);
  if (texts.hasLevel) {
    const float levelBaseline = kRowBaseline + kRowPitch * static_cast<float>(row) - 1.0f + o;
    DrawTextToImage(&ImagePool, texts.level.c_str(), face, kLevelSize, static_cast<float>(imageWidth - 4) + o,
                    levelBaseline, kAlignRight);
  }
}

}  // namespace

ScoreRowTexts FormatScoreRow(PlistTag* entry) {
  ScoreRowTexts texts;
  const unsigned char* name = ChildValue(entry, "string", "Name");
  const unsigned char* scoreText = ChildValue(entry, "integer", "Score");
  const unsigned char* levelText = ChildValue(entry, "integer", "Level");
  const SInt32 score = scoreText ? PStrToNum(scoreText) : 0;
  // A blank row ("-", 0, 0) stays empty.
  if (score == 0) return texts;
  texts.shown = true;
  if (name) {
    CStr cname(name);
    texts.hasName = true;
    texts.name = cname.GetPtr();
  }
  texts.score = std::to_string(score);
  if (levelText) {
    texts.hasLevel = true;
    texts.level = std::to_string(static_cast<SInt8>(PStrToNum(levelText)));
  }
  return texts;
}

void RenderScoreTable(MainScreen* screen) {
  const Rect& table = screen->scoreTableRect;
  const Rect imageRect = {0, 0, static_cast<SInt16>(static_cast<float>(table.bottom - table.top) * kTextScale),
                          static_cast<SInt16>(static_cast<float>(table.right - table.left) * kTextScale)};
  ReadyImageBuff(&ImagePool);
  ClearImageBuff(&ImagePool);
  Scores& scores = *gScores;
  PlistTag* rows = PlistTag::FindTag(&scores.root, "array", "Scores", 0);
  if (!rows) return;
  for (SInt32 i = 0; i < scores.tableSize; ++i) {
    if (static_cast<UInt32>(i) >= rows->child.count) break;
    PlistTag* entry = rows->child.data[i];
    if (!entry) continue;
    if (IsPlayersNewRow(scores, i)) {
      DrawRow(entry, i, imageRect.right, kShadowPass);
      DrawRow(entry, i, imageRect.right, kGoldPass);
    } else {
      DrawRow(entry, i, imageRect.right, kOrdinaryPass);
    }
  }
  MakeGLImageFromBuffer(&screen->scoreTableImage, &ImagePool, &imageRect);
  screen->scoreTableImage.forceBlend = 1;
}
