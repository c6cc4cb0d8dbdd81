// The high-score table: a property-list tree of rows, with pending entries
// that are tested against it by one integer key and inserted where they rank.
#pragma once

#include <cstdio>

#include "MacTypes.h"
#include "NamedArray.h"
#include "PlistTag.h"

struct ScoresPendingEntry {
  PlistTag tag;               // "dict" of the candidate's values
  UInt16 insertIndex = 65535;  // the row it took; 65535: none
  UInt8 update = 0;           // set only while Score::Update moves rows for it
};

// 32 bytes of a record the table keeps no use for.
struct ScoresRecord {
  UInt8 bytes[32];
};

class Scores {
 public:
  Scores(SInt16 rows = 10, SInt16 pendingEntries = 1);
  ~Scores();
  Scores(const Scores&) = delete;
  Scores& operator=(const Scores&) = delete;

  // Each stored only when above 0; the pending entries are then cleared.
  void SetSize(SInt16 rows, SInt16 pendingEntries);
  void ClearPending();
  void SetFileName(const char* name);
  // Names the row the entry took; a name above 31 characters is fatal.
  void SetEntryName(SInt8 index, const char* name);
  // 1 when any pending entry entered the table; an entry without the key
  // is no candidate.
  UInt8 TestEntries(const char* key);
  // The scores file in the preferences folder. A mode with 'w' writes through
  // a safe-save stream: the old file is replaced only when fclose succeeds.
  FILE* FindScoresFile(const char* mode);

  FILE* file = nullptr;
  PlistTag root;
  NamedArray<ScoresPendingEntry> pending;
  SInt16 tableSize = 0;
  SInt16 pendingCount = 0;
  char fileName[256] = {0};
  NamedArray<char> extraChars;
  NamedArray<UInt8> extraBytes;
  NamedArray<ScoresRecord> extraRecords;
  NamedArray<SInt32> extraLongs;
  NamedArray<SInt32> extraLongs2;
  NamedArray<char> extraText;
};

namespace Score {
// Moves rows down for each flagged pending entry and copies it into its row.
void Update(Scores* scores);
}  // namespace Score

// A test entry with a random score under the name.
UInt8 TestHighScore(Scores* scores, const char* name);
// Saves a table of ten default rows.
void WriteDefaultScores(Scores* scores);
