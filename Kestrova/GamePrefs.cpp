#include "GamePrefs.h"

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "Bundle.h"
#include "Errors.h"
#include "GameGlobals.h"
#include "KeyTables.h"
#include "MainPrefs.h"
#include "NumberText.h"
#include "PlistTag.h"
#include "ResultCodes.h"
#include "Screens/KeyPanel.h"
#include "Strings.h"

// Constant-initialised to the start values too, for code that runs without
// the start-up list.
UInt8 SparksOn = 1;
UInt8 FirstPlay = 1;
SInt8 AdScreen = 0;
Str31 LastPlayerName[2] = {{0}, {0}};
Str255 LastCommand = {0};

namespace {

constexpr UInt16 kNameLimit = 31;

// The window comes in these sizes only; anything else in the file is a hand
// edit that would reach window creation and the letterbox scale.
constexpr WindowSizePair kWindowSizes[] = {{640, 480}, {1024, 768}};

std::string Text(ConstStringPtr p) { return std::string(reinterpret_cast<const char*>(p + 1), p[0]); }

// The number as atoi would begin to read it, but in 64 bits (saturating), so
// that a value beyond 32 bits shows as such instead of wrapping.
long long WideNumber(ConstStringPtr p) { return std::strtoll(Text(p).c_str(), nullptr, 10); }

// The value of a text that is one decimal number and nothing more (blanks
// around it allowed); none for "", "abc", "12abc" or "0x31", which the
// reader above would take as a number all the same.
std::optional<long long> WholeNumber(ConstStringPtr p) {
  const std::string text = Text(p);
  const char* begin = text.c_str();
  char* end = nullptr;
  const long long value = std::strtoll(begin, &end, 10);
  if (end == begin) return std::nullopt;
  const char* last = begin + text.size();
  while (end < last && std::isspace(static_cast<unsigned char>(*end))) ++end;
  if (end != last) return std::nullopt;
  return value;
}

void SetDefaultOptions() {
  SparksOn = 1;
  SharedScore = 0;
  FirstPlay = 1;
  AdScreen = 0;
  LastPlayerName[0][0] = 0;
  LastPlayerName[1][0] = 0;
  LastCommand[0] = 0;
}

void NewIntegerTag(PlistTag* parent, const char* name, SInt32 value) {
  Str255 number;
  NumToPStr(value, number);
  PlistTag::NewTag(parent, "integer", name, Text(number).c_str());
}

bool ReadInteger(PlistTag* parent, const char* name, SInt32* out) {
  PlistTag* tag = PlistTag::FindTag(parent, "integer", name, 0);
  if (!tag) return false;
  *out = PStrToNum(tag->value);
  return true;
}

void ReadWindowSize(PlistTag* root) {
  PlistTag* size = PlistTag::FindTag(root, "dict", "Window Size", 0);
  if (!size) return;
  UInt16 width = gWindowSizes[1].width;
  UInt16 height = gWindowSizes[1].height;
  SInt32 value = 0;
  if (ReadInteger(size, "H", &value)) width = static_cast<UInt16>(value & 0xFFFF);
  if (ReadInteger(size, "V", &value)) height = static_cast<UInt16>(value & 0xFFFF);
  for (const WindowSizePair& choice : kWindowSizes) {
    if (choice.width == width && choice.height == height) gWindowSizes[1] = WindowSizePair{width, height};
  }
}

void ReadCustomKeys(PlistTag* root) {
  PlistTag* keys = PlistTag::FindTag(root, "dict", "Custom Keys", 0);
  if (!keys) return;
  for (int p = 0; p < 2; ++p) {
    const std::string playerName = "Player " + std::to_string(p);
    PlistTag* player = PlistTag::FindTag(keys, "dict", playerName.c_str(), 0);
    if (!player) continue;
    for (int k = 0; k < 5; ++k) {
      const std::string keyName = "Key " + std::to_string(k);
      PlistTag* tag = PlistTag::FindTag(player, "integer", keyName.c_str(), 0);
      if (!tag) continue;
      // Codes of 128 and above are written as signed bytes. A code no key
      // gives could never be pressed, and a value that is no number would
      // read as the "a" key, perhaps another action's: either way that key
      // takes its default instead.
      const std::optional<long long> code = WholeNumber(tag->value);
      const UInt8 byte = code ? static_cast<UInt8>(*code & 0xFF) : 0;
      const bool held = code && *code >= -128 && *code <= 255 && KeyCodeToKeyBit(byte) != kNoKeyCode;
      KeyBindings[p][k] = held ? byte : DefaultKeyCode(p, k);
    }
  }
}

void WriteCustomKeys(PlistTag* root) {
  PlistTag* keys = PlistTag::NewTag(root, "dict", "Custom Keys", "");
  for (int p = 0; p < 2; ++p) {
    const std::string playerName = "Player " + std::to_string(p);
    PlistTag* player = PlistTag::NewTag(keys, "dict", playerName.c_str(), "");
    for (int k = 0; k < 5; ++k) {
      const std::string keyName = "Key " + std::to_string(k);
      Str255 number;
      NumToPStr(static_cast<SInt8>(KeyBindings[p][k]), number);
      PStrCopy(number, PlistTag::FindTag(player, "integer", keyName.c_str(), 1)->value);
    }
  }
}

// Scores file ------------------------------------------------------------------

PlistTag* ScoresTable(UInt8 create) { return PlistTag::FindTag(&gScores->root, "array", "Scores", create); }

void AddBlankRow(PlistTag* table) {
  PlistTag* row = PlistTag::NewTag(table, "dict", "", "");
  PlistTag::NewTag(row, "string", "Name", "-");
  PlistTag::NewTag(row, "integer", "Score", "0");
  PlistTag::NewTag(row, "integer", "Level", "0");
}

std::string ScoresFilePath() {
  char folder[kPathBufferSize];
  GetPreferencesFolderPath(folder, sizeof folder);
  return std::string(folder) + "/" + gScores->fileName + ".plist";
}

// Closes the stream and tells whether everything reached the file; the safe
// save stream keeps the old file unless its close succeeds.
OSErr FinishWrite(PlistTag* root, FILE* file) {
  if (!file) return kErrIO;
  OSErr result = PlistTag::WriteStdFile(root, file);
  if (std::fclose(file) != 0) result = kErrIO;
  return result == noErr ? noErr : kErrIO;
}

OSErr WriteBlankTable() {
  PlistTag root;
  FILE* file = gScores->FindScoresFile("wb");
  PlistTag* table = PlistTag::NewTag(&root, "array", "Scores", "");
  for (SInt16 r = 0; r < gScores->tableSize; ++r) AddBlankRow(table);
  const OSErr result = FinishWrite(&root, file);
  if (result == noErr) gScores->ClearPending();
  return result;
}

// Rows other than dicts would end the program at name entry.
bool ScoresTableIsSound() {
  PlistTag* table = ScoresTable(0);
  if (!table) return false;
  for (UInt32 r = 0; r < table->child.count; ++r)
    if (!PStrEqualsCStr(table->child.data[r]->type, "dict")) return false;
  return true;
}

// The table compares scores as signed 32-bit numbers: one outside 0 ...
// 2^31 - 1 (or one that would wrap into a negative) would rank below the
// cleared pending entries and let them push real rows out. It reads as 0;
// its row keeps its name and level. Every row leaves with one score, written
// as the number the table ranks it by.
void SettleScores() {
  PlistTag* table = ScoresTable(0);
  if (!table) return;
  for (UInt32 r = 0; r < table->child.count; ++r) {
    PlistTag* score = PlistTag::FindTag(table->child.data[r], "integer", "Score", 0);
    // A row without one would rank with the row above it when a result is
    // tested, yet as a blank row when the table is ordered.
    if (!score) {
      PlistTag::NewTag(table->child.data[r], "integer", "Score", "0");
      continue;
    }
    const long long value = WideNumber(score->value);
    // Kept as the number it reads as: bytes after the digits that a save
    // drops would make it another number at the next load.
    score->SetString(value < 0 || value > INT32_MAX ? "0" : std::to_string(value).c_str());
  }
}

// Highest score first, rows of one score in the order they stood. A damaged
// score read as 0 would otherwise stay above real ones, and the next result
// would rank above it and push a real row out of the table.
void SortScoresTable() {
  PlistTag* table = ScoresTable(0);
  if (!table || table->child.count < 2) return;
  std::vector<std::pair<long long, PlistTag*>> rows;
  rows.reserve(table->child.count);
  for (UInt32 r = 0; r < table->child.count; ++r) {
    PlistTag* score = PlistTag::FindTag(table->child.data[r], "integer", "Score", 0);
    rows.emplace_back(score ? WideNumber(score->value) : 0, table->child.data[r]);
  }
  std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  for (UInt32 r = 0; r < table->child.count; ++r) table->child.data[r] = rows[r].second;
}

// The reader takes a value without a key inside a dict from a damaged file,
// but the writer ends the program on such an array, and such a value written
// back reads as another key's: the next name entered would end the game or
// move rows. Such a value means nothing in the table and is dropped.
void DropKeylessValues(PlistTag* tag) {
  for (UInt32 i = 0; i < tag->child.count;) {
    PlistTag* child = tag->child.data[i];
    if (!PStrEqualsCStr(tag->type, "array") && child->name[0] == 0) {
      PlistTag::Delete(child);
      continue;
    }
    DropKeylessValues(child);
    ++i;
  }
}

// 0 when the file held a tree; the file must exist.
SInt32 ReadScoresFile() {
  FILE* file = gScores->FindScoresFile("rb");
  if (!file) return kErrFailed;
  const SInt32 result = PlistTag::ReadStdFile(&gScores->root, file);
  std::fclose(file);
  return result;
}

// The first of "<file>.damaged", "<file>.damaged 2", ... that names nothing;
// empty when the folder cannot tell.
std::string FreeDamagedName(const std::string& path) {
  for (unsigned long n = 1;; ++n) {
    std::string name = path + ".damaged";
    if (n > 1) name += " " + std::to_string(n);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::symlink_status(name, error);
    if (status.type() == std::filesystem::file_type::not_found) return name;
    if (error) return {};
  }
}

// A damaged file is kept aside under a name of its own, never destroyed, and
// a blank one takes its place; when even that fails the blank table lives in
// memory only. The player is told where the old table went.
void RepairScoresFile() {
  const std::string path = ScoresFilePath();
  const std::string aside = FreeDamagedName(path);
  if (aside.empty() || std::rename(path.c_str(), aside.c_str()) != 0) return;
  std::fprintf(stderr, "The high scores file was damaged; it is kept as \"%s\" and a blank table takes its place.\n",
               aside.c_str());
  if (WriteBlankTable() == noErr) ReadScoresFile();
}

// A short table would keep fewer results than it shows.
void PadScoresTable() {
  PlistTag* table = ScoresTable(1);
  // Only when even the repair failed: the blank table lives in memory.
  if (!ScoresTableIsSound()) PlistTag::DeleteChildren(table);
  while (table->child.count < static_cast<UInt32>(gScores->tableSize > 0 ? gScores->tableSize : 0))
    AddBlankRow(table);
}

OSErr ReportSaveResult(OSErr result) {
  if (result != noErr) AlertMessage("The high scores could not be saved.", "Kestrova");
  return result;
}

}  // namespace

void InitGamePrefsGlobals() { SetDefaultOptions(); }

void LoadGamePrefs() {
  PlistTag root;
  if (gMainPrefs.Load(&root) != noErr) {
    SetDefaultOptions();
    SetDefaultKeys();
    return;
  }
  PlistTag* tag = PlistTag::FindTag(&root, "string", "Last Command", 0);
  if (tag) PStrCopy(tag->value, LastCommand);
  tag = PlistTag::FindTag(&root, "boolean", "First Play", 0);
  if (tag && PStrEqualsCStr(tag->value, "true/")) FirstPlay = 1;
  if (tag && PStrEqualsCStr(tag->value, "false/")) FirstPlay = 0;
  SInt32 value = 0;
  if (ReadInteger(&root, "Ad Screen", &value)) AdScreen = static_cast<SInt8>(value & 0xFF);
  ReadWindowSize(&root);
  ReadCustomKeys(&root);
}

void SaveGamePrefs() {
  PlistTag root;
  PlistTag::NewTag(&root, "string", "Last Player 1", Text(LastPlayerName[0]).c_str());
  PlistTag::NewTag(&root, "string", "Last Player 2", Text(LastPlayerName[1]).c_str());
  PlistTag::NewTag(&root, "string", "Last Command", Text(LastCommand).c_str());
  PlistTag::NewTag(&root, "boolean", "First Play", FirstPlay ? "true/" : "false/");
  NewIntegerTag(&root, "Ad Screen", AdScreen);
  PlistTag* size = PlistTag::NewTag(&root, "dict", "Window Size", "");
  NewIntegerTag(size, "H", static_cast<SInt16>(gWindowSizes[1].width));
  NewIntegerTag(size, "V", static_cast<SInt16>(gWindowSizes[1].height));
  WriteCustomKeys(&root);
  // At shut-down nobody is left to tell of a failed save.
  gMainPrefs.Save(&root);
}

OSErr WriteBlankScoresFile() { return ReportSaveResult(WriteBlankTable()); }

void LoadScoresFile() {
  FILE* file = gScores->FindScoresFile("rb");
  if (!file) {
    errno = 0;
    const int madeError = WriteBlankTable() == noErr ? 0 : errno;
    file = gScores->FindScoresFile("rb");
    if (!file) {
      // Why the blank file could not be made, when the system said.
      const std::string told = std::string("Failed to load the scores file. ") +
                               std::strerror(madeError ? madeError : errno) + ": \"" + ScoresFilePath() + "\"";
      FatalError(told.c_str(), "");
    }
  }
  const SInt32 result = PlistTag::ReadStdFile(&gScores->root, file);
  std::fclose(file);
  if (result != 0 || !ScoresTableIsSound()) RepairScoresFile();
  DropKeylessValues(&gScores->root);
  SettleScores();
  PadScoresTable();
  SortScoresTable();
}

OSErr SaveScoresFile() {
  return ReportSaveResult(FinishWrite(&gScores->root, gScores->FindScoresFile("wb")));
}

void RecordPlayerName(SInt8 player, const char* name) {
  // The table takes at most 31 bytes a name; more would end the program.
  char cut[kNameLimit + 1];
  std::snprintf(cut, sizeof cut, "%s", name ? name : "");
  gScores->SetEntryName(player, cut);
  if (player >= 0 && player < 2) CToPStr(cut, LastPlayerName[player]);
  // After a failed save the table in memory is the only copy of the name.
  if (SaveScoresFile() == noErr) LoadScoresFile();
}
