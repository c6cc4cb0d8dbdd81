#include "QV_Scores.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Bundle.h"
#include "TestSupport.h"

namespace {

constexpr SInt32 kNoKey = -999999;  // a row without "Score"

std::string Text(ConstStringPtr p) { return std::string(reinterpret_cast<const char*>(p + 1), p[0]); }

void SetRows(Scores& scores, const std::vector<SInt32>& values) {
  PlistTag::DeleteChildren(&scores.root);
  PlistTag* table = PlistTag::NewTag(&scores.root, "array", "Scores", "");
  for (SInt32 v : values) {
    PlistTag* row = PlistTag::NewTag(table, "dict", "", "");
    PlistTag::NewTag(row, "string", "Name", "-");
    if (v != kNoKey) PlistTag::NewTag(row, "integer", "Score", std::to_string(v).c_str());
  }
}

std::vector<std::string> RowScores(Scores& scores) {
  std::vector<std::string> out;
  PlistTag* table = PlistTag::FindTag(&scores.root, "array", "Scores", 0);
  for (UInt32 r = 0; table && r < table->child.count; ++r) {
    PlistTag* score = PlistTag::FindTag(table->child.data[r], "integer", "Score", 0);
    out.push_back(score ? Text(score->value) : "none");
  }
  return out;
}

std::string RowName(Scores& scores, UInt32 r) {
  PlistTag* table = PlistTag::FindTag(&scores.root, "array", "Scores", 0);
  PlistTag* name = PlistTag::FindTag(table->child.data[r], "string", "Name", 0);
  return name ? Text(name->value) : "none";
}

void SetCandidate(Scores& scores, UInt32 entry, SInt32 score) {
  if (score == kNoKey) return;  // a cleared entry: no game's result
  PlistTag::FindTag(&scores.pending.data[entry].tag, "integer", "Score", 1)
      ->SetString(std::to_string(score).c_str());
}

struct RankCase {
  const char* what;
  std::vector<SInt32> rows;
  std::vector<SInt32> candidates;
  std::vector<UInt16> indices;
  std::vector<std::string> after;
  UInt8 result;
};

TEST(ScoresTest, CandidatesRankBelowEqualRows) {
  const RankCase cases[] = {
      {"tie ranks below", {500, 300, 300, 100}, {300}, {3}, {"500", "300", "300", "300"}, 1},
      {"two entries", {1000, 700, 600}, {900, 800}, {1, 2}, {"1000", "900", "800"}, 1},
      {"equal to every row", {300, 300}, {300}, {65535}, {"300", "300"}, 0},
      {"negative scores", {10, -5, -20}, {-10}, {2}, {"10", "-5", "-10"}, 1},
      {"keyless row reuses the one above", {500, kNoKey, 100}, {400}, {2}, {"500", "none", "400"}, 1},
      {"keyless first row counts as 0", {kNoKey, -3}, {1}, {0}, {"1", "none"}, 1},
      {"signed 32-bit", {2147483647, -2147483647 - 1}, {0}, {1}, {"2147483647", "0"}, 1},
      {"an entry without the key is no candidate", {10, -5, -20}, {kNoKey, kNoKey}, {65535, 65535},
       {"10", "-5", "-20"}, 0},
      {"a keyless entry beside a real one", {10, -5}, {kNoKey, -1}, {65535, 1}, {"10", "-1"}, 1},
  };
  for (const RankCase& c : cases) {
    SCOPED_TRACE(c.what);
    Scores scores(static_cast<SInt16>(c.rows.size()), static_cast<SInt16>(c.candidates.size()));
    SetRows(scores, c.rows);
    for (UInt32 e = 0; e < c.candidates.size(); ++e) SetCandidate(scores, e, c.candidates[e]);
    EXPECT_EQ(c.result, scores.TestEntries("Score"));
    for (UInt32 e = 0; e < c.indices.size(); ++e) EXPECT_EQ(c.indices[e], scores.pending.data[e].insertIndex);
    EXPECT_EQ(c.after, RowScores(scores));
  }
}

TEST(ScoresTest, EntryMovesDownWithItsRowAndLosesItAtTheTableSize) {
  Scores scores(4, 2);
  SetRows(scores, {1000, 700, 600, 500});
  SetCandidate(scores, 0, 800);
  SetCandidate(scores, 1, 900);
  ASSERT_EQ(1, scores.TestEntries("Score"));
  EXPECT_EQ(2, scores.pending.data[0].insertIndex);
  EXPECT_EQ(1, scores.pending.data[1].insertIndex);
  scores.SetEntryName(0, "Ann");
  EXPECT_EQ("Ann", RowName(scores, 2));

  // Table size 3: the first entry's row is pushed to index 3.
  Scores small(3, 2);
  SetRows(small, {1000, 700, 600});
  SetCandidate(small, 0, 650);
  SetCandidate(small, 1, 800);
  ASSERT_EQ(1, small.TestEntries("Score"));
  EXPECT_EQ(65535, small.pending.data[0].insertIndex);
  EXPECT_EQ(1, small.pending.data[1].insertIndex);
  small.SetEntryName(0, "Lost");
  small.SetEntryName(5, "Nobody");
  small.SetEntryName(-1, "Nobody");
  for (UInt32 r = 0; r < 3; ++r) EXPECT_NE("Lost", RowName(small, r));
  EXPECT_EQ((std::vector<std::string>{"1000", "800", "700"}), RowScores(small));
}

TEST(ScoresTest, SizesAndPendingEntries) {
  Scores scores;
  EXPECT_EQ(10, scores.tableSize);
  EXPECT_EQ(1u, scores.pending.count);
  scores.SetSize(15, 2);
  EXPECT_EQ(15, scores.tableSize);
  ASSERT_EQ(2u, scores.pending.count);
  EXPECT_EQ("checkEntry", Text(scores.pending.name));
  SetCandidate(scores, 1, 5);
  scores.pending.data[1].insertIndex = 3;
  scores.SetSize(0, 0);
  EXPECT_EQ(15, scores.tableSize);
  ASSERT_EQ(2u, scores.pending.count);
  EXPECT_EQ(0u, scores.pending.data[1].tag.child.count);
  EXPECT_EQ(65535, scores.pending.data[1].insertIndex);
}

TEST(ScoresTest, TableWithoutScoresArrayGetsAnEmptyOne) {
  Scores scores;
  SetCandidate(scores, 0, 100);
  EXPECT_EQ(0, scores.TestEntries("Score"));
  EXPECT_NE(nullptr, PlistTag::FindTag(&scores.root, "array", "Scores", 0));
}

TEST(ScoresTest, TestHighScoreNamesTheNewRow) {
  Scores scores(3, 1);
  SetRows(scores, {-1, -1, -1});
  EXPECT_EQ(1, TestHighScore(&scores, "Tess"));
  EXPECT_EQ(0, scores.pending.data[0].insertIndex);
  EXPECT_EQ("Tess", RowName(scores, 0));
}

TEST(ScoresTest, FatalPaths) {
  auto longName = testsupport::RunInChild([] {
    Scores scores(2, 1);
    SetRows(scores, {10, 5});
    SetCandidate(scores, 0, 20);
    scores.TestEntries("Score");
    scores.SetEntryName(0, "A name that is far longer than 31 characters");
  });
  EXPECT_TRUE(longName.exited);
  EXPECT_EQ(1, longName.exitStatus);
  EXPECT_NE(std::string::npos,
            longName.stderrText.find(
                "Error: PlistTag::SetString() is limited to 31 characters.  Use SetString255() instead."));

  auto noFile = testsupport::RunInChild([] {
    Scores scores;
    scores.FindScoresFile("rb");
  });
  EXPECT_TRUE(noFile.exited);
  EXPECT_EQ(1, noFile.exitStatus);
  EXPECT_NE(std::string::npos,
            noFile.stderrText.find("Error: Must call Scores::SetFileName() before Scores:FindScoresFile()"));
}

// The scores file lives in a preferences folder under a temporary AppData.
class QVScoresFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("AppData", data_.path().c_str(), 1);
    char folder[kPathBufferSize];
    GetPreferencesFolderPath(folder, sizeof folder);
    folder_ = folder;
    std::filesystem::create_directories(folder_);
    scores_.SetFileName("Kestrova Scores");
    path_ = folder_ + "/Kestrova Scores.plist";
  }
  void TearDown() override { unsetenv("AppData"); }

  void Save() {
    FILE* out = scores_.FindScoresFile("wb");
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(0, PlistTag::WriteStdFile(&scores_.root, out));
    EXPECT_EQ(0, std::fclose(out));
  }

  testsupport::TempDir data_;
  std::string folder_;
  std::string path_;
  Scores scores_{15, 2};
};

TEST_F(QVScoresFileTest, SaveAndReload) {
  SetRows(scores_, {900, 500, kNoKey, 7});
  Save();
  std::string first = testsupport::ReadFile(path_);
  ASSERT_FALSE(first.empty());
  Save();
  EXPECT_EQ(first, testsupport::ReadFile(path_));

  Scores reloaded;
  reloaded.SetFileName("Kestrova Scores");
  FILE* in = reloaded.FindScoresFile("rb");
  ASSERT_NE(nullptr, in);
  EXPECT_EQ(0, PlistTag::ReadStdFile(&reloaded.root, in));
  std::fclose(in);
  EXPECT_EQ(RowScores(scores_), RowScores(reloaded));
  EXPECT_EQ("-", RowName(reloaded, 2));
  // Nothing but the scores file is left in the folder.
  EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(folder_), {}));
}

TEST_F(QVScoresFileTest, DefaultScores) {
  WriteDefaultScores(&scores_);
  Scores reloaded;
  reloaded.SetFileName("Kestrova Scores");
  FILE* in = reloaded.FindScoresFile("rb");
  ASSERT_NE(nullptr, in);
  EXPECT_EQ(0, PlistTag::ReadStdFile(&reloaded.root, in));
  std::fclose(in);
  EXPECT_EQ((std::vector<std::string>{"138459", "98620", "76325", "30025", "13528", "8620", "3520", "2300", "1250",
                                      "869"}),
            RowScores(reloaded));
  EXPECT_EQ("Nova", RowName(reloaded, 0));
  EXPECT_EQ("Rigel", RowName(reloaded, 9));
}

TEST_F(QVScoresFileTest, FailedWriteKeepsTheOldFile) {
  SetRows(scores_, {1, 2, 3});
  Save();
  std::string old = testsupport::ReadFile(path_);
  auto child = testsupport::RunInChild([this, &old] {
    std::vector<SInt32> many(4000, 123456);
    SetRows(scores_, many);
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {static_cast<rlim_t>(old.size() + 100), static_cast<rlim_t>(old.size() + 100)};
    setrlimit(RLIMIT_FSIZE, &limit);
    FILE* out = scores_.FindScoresFile("wb");
    if (!out) std::exit(3);
    PlistTag::WriteStdFile(&scores_.root, out);
    std::exit(std::fclose(out) == EOF ? 0 : 4);
  });
  EXPECT_TRUE(child.exited);
  EXPECT_EQ(0, child.exitStatus);
  EXPECT_EQ(old, testsupport::ReadFile(path_));
  EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(folder_), {}));
}

}  // namespace
