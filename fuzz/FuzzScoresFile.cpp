// The scores file from an untrusted text: loaded (and repaired when
// damaged), a game's result tested against it and its name entered (a save
// and a second load), and the texts each shown row would draw. After every
// load the table holds at least its 15 rows, highest score first, none below
// 0; the result entered sits in its row in an ordered table.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "FuzzPrefsFolder.h"
#include "GameGlobals.h"
#include "GamePrefs.h"
#include "NumberText.h"
#include "PlistTag.h"
#include "QV_Scores.h"
#include "Screens/ScoreTable.h"

namespace {

constexpr SInt16 kRows = 15;

const std::string& Folder() {
  static const std::string folder = [] {
    const char* made = MakeFuzzPrefsFolder();
    gScores.Construct();
    gScores->SetFileName("Kestrova Scores");
    gScores->SetSize(kRows, 2);
    return std::string(made);
  }();
  return folder;
}

SInt32 RowScore(PlistTag* row) {
  PlistTag* score = PlistTag::FindTag(row, "integer", "Score", 0);
  return score ? PStrToNum(score->value) : 0;
}

void CheckTable() {
  PlistTag* table = PlistTag::FindTag(&gScores->root, "array", "Scores", 0);
  if (!table || table->child.count < static_cast<UInt32>(kRows)) std::abort();
  SInt32 above = INT32_MAX;
  for (UInt32 r = 0; r < table->child.count; ++r) {
    const SInt32 score = RowScore(table->child.data[r]);
    if (score < 0 || score > above) std::abort();
    above = score;
  }
  for (SInt32 r = 0; r < kRows; ++r) {
    const ScoreRowTexts texts = FormatScoreRow(table->child.data[r]);
    if (texts.shown != (RowScore(table->child.data[r]) != 0)) std::abort();
    if (texts.name.size() > 255 || texts.score.size() > 11 || texts.level.size() > 4) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  // A fresh folder each time: damaged files set aside would pile up.
  std::filesystem::remove_all(Folder());
  std::filesystem::create_directory(Folder());
  FILE* file = std::fopen((Folder() + "/Kestrova Scores.plist").c_str(), "wb");
  if (!file) std::abort();
  if (size && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);

  gScores->ClearPending();
  LoadScoresFile();
  CheckTable();

  // A result from the input's first bytes, or the smallest that counts.
  SInt32 score = 1;
  if (size >= 4) std::memcpy(&score, data, 4);
  score = score == INT32_MIN ? 1 : (score < 0 ? -score : score);
  PlistTag* entry = &gScores->pending.data[0].tag;
  PlistTag::FindTag(entry, "integer", "Score", 1)->SetString(std::to_string(score).c_str());
  PlistTag::FindTag(entry, "integer", "Level", 1)->SetString("3");
  if (!gScores->TestEntries("Score")) return 0;
  const UInt16 row = gScores->pending.data[0].insertIndex;
  RecordPlayerName(0, "FUZZ");
  CheckTable();
  PlistTag* table = PlistTag::FindTag(&gScores->root, "array", "Scores", 0);
  if (row >= table->child.count || RowScore(table->child.data[row]) != score) std::abort();
  PlistTag* name = PlistTag::FindTag(table->child.data[row], "string", "Name", 0);
  if (!name || std::memcmp(name->value, "\x04" "FUZZ", 5) != 0) std::abort();
  return 0;
}
