#include "QV_Scores.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "Bundle.h"
#include "Errors.h"
#include "Random.h"
#include "SafeSaveStream.h"
#include "Strings.h"

namespace {

const unsigned char kUnnamed[] = "\x09(unnamed)";
const unsigned char kCheckEntry[] = "\x0A" "checkEntry";

// A tag's "integer" child read as atoi reads it; 0 when absent.
bool IntegerChild(PlistTag* tag, const char* key, SInt32* out) {
  PlistTag* child = PlistTag::FindTag(tag, "integer", key, 0);
  if (!child) return false;
  char text[256];
  PToCStr(child->value, text);
  *out = static_cast<SInt32>(std::atoi(text));
  return true;
}

PlistTag* ScoresArray(Scores* scores, UInt8 create) { return PlistTag::FindTag(&scores->root, "array", "Scores", create); }

}  // namespace

Scores::Scores(SInt16 rows, SInt16 pendingEntries) {
  pending.SetName(kUnnamed, -1);
  extraChars.SetName(kUnnamed, -1);
  extraBytes.SetName(kUnnamed, -1);
  extraRecords.SetName(kUnnamed, -1);
  extraLongs.SetName(kUnnamed, -1);
  extraLongs2.SetName(kUnnamed, -1);
  extraText.SetName(kUnnamed, -1);
  SetSize(rows, pendingEntries);
}

Scores::~Scores() {
  extraText.Dispose();
  extraLongs2.Dispose();
  extraLongs.Dispose();
  extraRecords.Dispose();
  extraBytes.Dispose();
  extraChars.Dispose();
  pending.Dispose();
}

void Scores::SetSize(SInt16 rows, SInt16 pendingEntries) {
  if (rows > 0) tableSize = rows;
  if (pendingEntries > 0) pendingCount = pendingEntries;
  pending.Reinit(static_cast<UInt32>(pendingCount > 0 ? pendingCount : 0));
  pending.SetName(kCheckEntry, -1);
  ClearPending();
}

void Scores::ClearPending() {
  for (UInt32 i = 0; i < pending.count; ++i) {
    PlistTag::DeleteChildren(&pending.data[i].tag);
    pending.data[i].insertIndex = 65535;
  }
}

void Scores::SetFileName(const char* name) {
  fileName[0] = 0;
  if (name) std::snprintf(fileName, sizeof fileName, "%s", name);
}

void Scores::SetEntryName(SInt8 index, const char* name) {
  if (index < 0 || static_cast<UInt32>(index) >= pending.count) return;
  PlistTag* table = ScoresArray(this, 0);
  if (!table) return;
  UInt16 row = pending.data[index].insertIndex;
  if (row >= table->child.count) return;
  PlistTag::FindTag(table->child.data[row], "string", "Name", 1)->SetString(name);
}

UInt8 Scores::TestEntries(const char* key) {
  if (pending.count == 0) return 0;
  PlistTag* table = ScoresArray(this, 1);
  if (!table) return 0;
  UInt8 inserted = 0;
  for (UInt32 e = 0; e < pending.count; ++e) {
    ScoresPendingEntry& entry = pending.data[e];
    SInt32 candidate = 0;
    // A cleared entry holds no game's result: nothing to offer a row for.
    if (!IntegerChild(&entry.tag, key, &candidate)) continue;
    SInt32 rowValue = 0;
    for (UInt32 r = 0; r < table->child.count; ++r) {
      // A row without the key keeps the value of the row above it.
      IntegerChild(table->child.data[r], key, &rowValue);
      if (candidate > rowValue) {
        entry.insertIndex = static_cast<UInt16>(r);
        entry.update = 1;
        Score::Update(this);
        entry.update = 0;
        inserted = 1;
        break;
      }
    }
  }
  return inserted;
}

void Score::Update(Scores* scores) {
  if (scores->pending.count == 0) return;
  PlistTag* table = ScoresArray(scores, 0);
  if (!table) return;
  for (UInt32 e = 0; e < scores->pending.count; ++e) {
    ScoresPendingEntry& entry = scores->pending.data[e];
    if (!entry.update) continue;
    SInt32 n = static_cast<SInt32>(table->child.count);
    SInt32 i = entry.insertIndex;
    if (i >= n) continue;
    for (SInt32 r = n - 1; r >= i; --r) {
      if (r > i) {
        PlistTag* row = table->child.data[r];
        PlistTag* above = table->child.data[r - 1];
        if (!row || !above) FatalError("Failed to get entry.", "Score::Update");
        PlistTag::DeleteChildren(row);
        PlistTag::CopyTag(above, row);
      }
      for (UInt32 o = 0; o < scores->pending.count; ++o) {
        if (o == e || scores->pending.data[o].insertIndex != r) continue;
        scores->pending.data[o].insertIndex = (r + 1 < scores->tableSize) ? static_cast<UInt16>(r + 1) : 65535;
      }
    }
    PlistTag* row = table->child.data[i];
    if (!row) FatalError("Failed to get entry.", "Score::Update");
    PlistTag::DeleteChildren(row);
    PlistTag::CopyTag(&entry.tag, row);
  }
}

FILE* Scores::FindScoresFile(const char* mode) {
  if (fileName[0] == 0) FatalError("Must call Scores::SetFileName() before Scores:FindScoresFile()", "");
  char folder[kPathBufferSize];
  GetPreferencesFolderPath(folder, sizeof folder);
  std::string path = std::string(folder) + "/" + fileName + ".plist";
  if (mode && std::strchr(mode, 'w') && !std::strchr(mode, '+')) return OpenSafeSaveStream(path.c_str());
  return std::fopen(path.c_str(), mode ? mode : "rb");
}

UInt8 TestHighScore(Scores* scores, const char* name) {
  scores->ClearPending();
  if (scores->pending.count == 0) return 0;
  PlistTag* entry = &scores->pending.data[0].tag;
  PlistTag::FindTag(entry, "string", "Name", 1)->SetString(name);
  char score[16];
  std::snprintf(score, sizeof score, "%u", static_cast<unsigned>(NextRandom() % 10000));
  PlistTag::FindTag(entry, "integer", "Score", 1)->SetString(score);
  return scores->TestEntries("Score");
}

void WriteDefaultScores(Scores* scores) {
  static const char* const kNames[10] = {"Nova", "Comet", "Quasar", "Nebula", "Pulsar",
                                         "Meteor", "Orbit", "Vega", "Lyra", "Rigel"};
  static const SInt32 kScores[10] = {138459, 98620, 76325, 30025, 13528, 8620, 3520, 2300, 1250, 869};
  PlistTag root;
  PlistTag* table = PlistTag::NewTag(&root, "array", "Scores", "");
  for (int r = 0; r < 10; ++r) {
    PlistTag* row = PlistTag::NewTag(table, "dict", "", "");
    PlistTag::NewTag(row, "string", "Name", kNames[r]);
    char score[16];
    std::snprintf(score, sizeof score, "%d", static_cast<int>(kScores[r]));
    PlistTag::NewTag(row, "integer", "Score", score);
  }
  FILE* out = scores->FindScoresFile("wb");
  if (!out) return;
  PlistTag::WriteStdFile(&root, out);
  std::fclose(out);
}
