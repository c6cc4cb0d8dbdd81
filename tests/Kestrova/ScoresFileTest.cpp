#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "GLFrame.h"
#include "GameDriver.h"
#include "GameGlobals.h"
#include "GamePrefs.h"
#include "MainScreenOpen.h"
#include "PlistTag.h"
#include "QV_Scores.h"
#include "ScreenList.h"
#include "Scoring.h"
#include "Screens/InputScreen.h"
#include "Screens/MainScreen.h"
#include "Strings.h"
#include "TestSupport.h"
#include "TextBuffer.h"

namespace {

std::string Text(ConstStringPtr p) { return std::string(reinterpret_cast<const char*>(p + 1), p[0]); }

struct Row {
  std::string name;
  std::string score;
  std::string level;
  bool operator==(const Row&) const = default;
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name << "/" << row.score << "/" << row.level; }

std::vector<Row> Rows(PlistTag* root) {
  std::vector<Row> rows;
  PlistTag* table = PlistTag::FindTag(root, "array", "Scores", 0);
  for (UInt32 r = 0; table && r < table->child.count; ++r) {
    Row row;
    PlistTag* dict = table->child.data[r];
    if (PlistTag* t = PlistTag::FindTag(dict, "string", "Name", 0)) row.name = Text(t->value);
    if (PlistTag* t = PlistTag::FindTag(dict, "integer", "Score", 0)) row.score = Text(t->value);
    if (PlistTag* t = PlistTag::FindTag(dict, "integer", "Level", 0)) row.level = Text(t->value);
    rows.push_back(row);
  }
  return rows;
}

std::vector<Row> BlankRows(size_t n) { return std::vector<Row>(n, Row{"-", "0", "0"}); }

std::string TreeText(PlistTag* root) {
  TextBuffer buffer;
  PlistTag::WriteBuffer(root, &buffer);
  return std::string(reinterpret_cast<const char*>(buffer.GetDataPtr()), buffer.GetLength());
}

std::string RowsText(const std::vector<Row>& rows) {
  std::string body = "<plist version=\"1.0\">\r<dict>\r<key>Scores</key>\r<array>\r";
  for (const Row& row : rows) {
    body += "<dict><key>Name</key><string>" + row.name + "</string><key>Score</key><integer>" + row.score +
            "</integer><key>Level</key><integer>" + row.level + "</integer></dict>\r";
  }
  return body + "</array>\r</dict>\r</plist>\r";
}

// The game's table of 15 rows and 2 pending entries, its file in a fresh
// preferences folder.
class ScoresFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("AppData");
    hadAppData_ = old != nullptr;
    if (old) savedAppData_ = old;
    setenv("AppData", dir_.path().c_str(), 1);
    // A driver test earlier in the process may have left the table built.
    gScores.Destroy();
    gScores.Construct();
    gScores->SetFileName("Kestrova Scores");
    gScores->SetSize(15, 2);
    InitGamePrefsGlobals();
  }
  void TearDown() override {
    gScores.Destroy();
    if (hadAppData_)
      setenv("AppData", savedAppData_.c_str(), 1);
    else
      unsetenv("AppData");
  }

  std::string Path() const { return dir_ / "Kestrova Scores.plist"; }
  std::string DamagedPath() const { return Path() + ".damaged"; }
  std::vector<Row> FileRows() {
    PlistTag root;
    FILE* file = std::fopen(Path().c_str(), "rb");
    if (!file) return {};
    PlistTag::ReadStdFile(&root, file);
    std::fclose(file);
    return Rows(&root);
  }
  // A finished game's result for the player, tested against the table.
  UInt8 Enter(int player, SInt32 score, SInt32 level) {
    PlistTag* entry = &gScores->pending.data[player].tag;
    PlistTag::FindTag(entry, "integer", "Score", 1)->SetString(std::to_string(score).c_str());
    PlistTag::FindTag(entry, "integer", "Level", 1)->SetString(std::to_string(level).c_str());
    return gScores->TestEntries("Score");
  }

  testsupport::TempDir dir_;

 private:
  bool hadAppData_ = false;
  std::string savedAppData_;
};

TEST_F(ScoresFileTest, NoFileWritesAndReadsABlankTable) {
  LoadScoresFile();
  EXPECT_EQ(Rows(&gScores->root), BlankRows(15));
  EXPECT_EQ(FileRows(), BlankRows(15));
  for (UInt32 e = 0; e < gScores->pending.count; ++e) EXPECT_EQ(gScores->pending.data[e].insertIndex, 65535);
  EXPECT_FALSE(std::filesystem::exists(DamagedPath()));
}

TEST_F(ScoresFileTest, ANameEnteredIsWrittenAndReadBack) {
  LoadScoresFile();
  ASSERT_EQ(Enter(0, 5000, 3), 1);
  EXPECT_EQ(gScores->pending.data[0].insertIndex, 0);
  RecordPlayerName(0, "ACE");

  std::vector<Row> expected = BlankRows(15);
  expected[0] = Row{"ACE", "5000", "3"};
  EXPECT_EQ(Rows(&gScores->root), expected);
  EXPECT_EQ(FileRows(), expected);
  EXPECT_EQ(TreeText(&gScores->root), testsupport::ReadFile(Path()));
  EXPECT_EQ(Text(LastPlayerName[0]), "ACE");
  EXPECT_EQ(gScores->pending.data[0].insertIndex, 0);  // the row stays marked
}

TEST_F(ScoresFileTest, ALongNameIsCutTo31Bytes) {
  LoadScoresFile();
  ASSERT_EQ(Enter(1, 10, 1), 1);
  const std::string typed(40, 'N');
  RecordPlayerName(1, typed.c_str());
  EXPECT_EQ(FileRows()[0].name, std::string(31, 'N'));
  EXPECT_EQ(Text(LastPlayerName[1]), std::string(31, 'N'));
}

TEST_F(ScoresFileTest, DamagedFilesLoadAndAreRepaired) {
  std::vector<Row> three = {{"AAA", "300", "3"}, {"BBB", "200", "2"}, {"CCC", "100", "1"}};
  std::vector<Row> huge = BlankRows(15);
  huge[0] = Row{"BIG", "99999999999", "9"};
  std::vector<Row> negative = BlankRows(15);
  negative[14] = Row{"NEG", "-5", "1"};
  struct Case {
    const char* what;
    std::string text;
    bool setAside;            // kept as ".damaged", a blank table made
    std::vector<Row> loaded;  // the table in memory after loading
  };
  // Out-of-range scores read as 0; the name and level stay.
  std::vector<Row> hugeRead = huge;
  hugeRead[0].score = "0";
  std::vector<Row> negativeRead = negative;
  negativeRead[14].score = "0";
  std::vector<Row> threePadded = three;
  for (const Row& blank : BlankRows(12)) threePadded.push_back(blank);
  const Case cases[] = {
      {"not a property list", "this is no plist", true, BlankRows(15)},
      {"no Scores array", "<plist><dict><key>Other</key><array></array></dict></plist>", true, BlankRows(15)},
      {"a row that is no dict",
       "<plist><dict><key>Scores</key><array><string>x</string></array></dict></plist>", true, BlankRows(15)},
      {"an array of 3 rows", RowsText(three), false, threePadded},
      {"a huge score", RowsText(huge), false, hugeRead},
      {"a negative score", RowsText(negative), false, negativeRead},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(DamagedPath());
    std::filesystem::remove(DamagedPath() + " 2");
    // An older copy stays; the newer damage is kept beside it.
    ASSERT_TRUE(testsupport::WriteFile(DamagedPath(), "older"));
    ASSERT_TRUE(testsupport::WriteFile(Path(), c.text));
    ::testing::internal::CaptureStderr();
    LoadScoresFile();
    const std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(Rows(&gScores->root), c.loaded);
    EXPECT_EQ(testsupport::ReadFile(DamagedPath()), "older");
    if (c.setAside) {
      EXPECT_EQ(testsupport::ReadFile(DamagedPath() + " 2"), c.text);
      EXPECT_EQ(FileRows(), BlankRows(15));
      EXPECT_NE(told.find("Kestrova Scores.plist.damaged 2"), std::string::npos) << told;
    } else {
      EXPECT_FALSE(std::filesystem::exists(DamagedPath() + " 2"));
      EXPECT_EQ(testsupport::ReadFile(Path()), c.text);  // padding stays in memory
      EXPECT_EQ(told, "");
    }
  }
}

// Every damaged file is kept under a name of its own, and the player is told
// once for each where it went.
TEST_F(ScoresFileTest, EachDamagedFileIsKeptUnderAFreeName) {
  const std::string texts[] = {"first damage", "second damage", "third damage", "fourth damage"};
  // A name already taken further up the row is skipped, not replaced.
  ASSERT_TRUE(testsupport::WriteFile(DamagedPath() + " 3", "taken"));
  const std::string expectedCopies[] = {DamagedPath(), DamagedPath() + " 2", DamagedPath() + " 4",
                                        DamagedPath() + " 5"};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(texts[i]);
    ASSERT_TRUE(testsupport::WriteFile(Path(), texts[i]));
    ::testing::internal::CaptureStderr();
    LoadScoresFile();
    const std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(Rows(&gScores->root), BlankRows(15));
    EXPECT_EQ(FileRows(), BlankRows(15));
    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
    EXPECT_NE(told.find(expectedCopies[i] + "\""), std::string::npos) << told;
  }
  for (int i = 0; i < 4; ++i) EXPECT_EQ(testsupport::ReadFile(expectedCopies[i]), texts[i]);
  EXPECT_EQ(testsupport::ReadFile(DamagedPath() + " 3"), "taken");
  // A sound file is read as it stands: nothing more is set aside or told.
  ::testing::internal::CaptureStderr();
  LoadScoresFile();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_FALSE(std::filesystem::exists(DamagedPath() + " 6"));
}

TEST_F(ScoresFileTest, AShortTableTakesAResultBelowItsRows) {
  ASSERT_TRUE(testsupport::WriteFile(Path(), RowsText({{"AAA", "300", "3"}, {"BBB", "200", "2"}})));
  LoadScoresFile();
  ASSERT_EQ(Enter(0, 50, 1), 1);
  EXPECT_EQ(gScores->pending.data[0].insertIndex, 2);
  RecordPlayerName(0, "LOW");
  const std::vector<Row> rows = FileRows();
  ASSERT_EQ(rows.size(), 15u);
  EXPECT_EQ(rows[2], (Row{"LOW", "50", "1"}));
}

TEST_F(ScoresFileTest, ClearWritesABlankTableAndForgetsThePending) {
  LoadScoresFile();
  ASSERT_EQ(Enter(0, 700, 2), 1);
  RecordPlayerName(0, "ACE");
  EXPECT_EQ(WriteBlankScoresFile(), noErr);
  LoadScoresFile();
  EXPECT_EQ(Rows(&gScores->root), BlankRows(15));
  EXPECT_EQ(FileRows(), BlankRows(15));
  EXPECT_EQ(gScores->pending.data[0].insertIndex, 65535);
}

// A scores file as a hand edit leaves it: damaged scores at ranks 3, 5, 7, 9
// and 11 between ten real ones, the last real one at rank 15.
const std::vector<Row> kDamagedScoresRows = {
    {"Nova", "138459", "12"},  {"Comet", "98620", "10"}, {"Bad1", "-5", "3"},         {"Quasar", "76325", "9"},
    {"Bad2", "99999999999", "5"}, {"Nebula", "30025", "7"}, {"Bad3", "4294967295", "7"}, {"Pulsar", "13528", "5"},
    {"Bad4", "2147483648", "9"}, {"Meteor", "8620", "4"}, {"Bad5", "-2147483648", "11"}, {"Orbit", "3520", "3"},
    {"Vega", "2300", "2"},     {"Lyra", "1250", "2"},    {"Rigel", "869", "1"}};

// Damaged scores read as 0 sink below every real one, in the order they
// stood; a new result then takes the place of one of them, never a real row.
TEST_F(ScoresFileTest, DamagedScoresSinkAndTheNextResultCostsNoRealRow) {
  ASSERT_TRUE(testsupport::WriteFile(Path(), RowsText(kDamagedScoresRows)));
  LoadScoresFile();
  const std::vector<Row> real = {{"Nova", "138459", "12"}, {"Comet", "98620", "10"}, {"Quasar", "76325", "9"},
                                 {"Nebula", "30025", "7"}, {"Pulsar", "13528", "5"},  {"Meteor", "8620", "4"},
                                 {"Orbit", "3520", "3"},   {"Vega", "2300", "2"},     {"Lyra", "1250", "2"},
                                 {"Rigel", "869", "1"}};
  const std::vector<Row> zeroed = {
      {"Bad1", "0", "3"}, {"Bad2", "0", "5"}, {"Bad3", "0", "7"}, {"Bad4", "0", "9"}, {"Bad5", "0", "11"}};
  std::vector<Row> loaded = real;
  loaded.insert(loaded.end(), zeroed.begin(), zeroed.end());
  EXPECT_EQ(Rows(&gScores->root), loaded);

  ASSERT_EQ(Enter(0, 150, 2), 1);
  EXPECT_EQ(gScores->pending.data[0].insertIndex, 10);
  RecordPlayerName(0, "NEW");
  std::vector<Row> expected = real;
  expected.push_back(Row{"NEW", "150", "2"});
  expected.insert(expected.end(), zeroed.begin(), zeroed.begin() + 4);
  EXPECT_EQ(FileRows(), expected);
  EXPECT_EQ(Rows(&gScores->root), expected);
  // Another reader of the saved file sees the same order.
  const testsupport::PlistlibResult read =
      testsupport::ReadWithPlistlib(Path(), "' '.join(str(r['Score']) for r in d['Scores'])");
  if (!read.available) GTEST_SKIP() << "python3 is not installed";
  ASSERT_EQ(read.status, 0) << read.out;
  EXPECT_EQ(read.out, "138459 98620 76325 30025 13528 8620 3520 2300 1250 869 150 0 0 0 0");
}

// The reader takes an array without a key inside a dict from a damaged file;
// the writer ends the program on one, and so did the next name entered.
TEST_F(ScoresFileTest, AKeylessArrayInTheFileDoesNotEndTheProgramAtTheNextName) {
  ASSERT_TRUE(testsupport::WriteFile(Path(), "e><dict>\n<key>Scores<\t<array\n<dict><array"));
  testsupport::ChildResult result = testsupport::RunInChild([&] {
    LoadScoresFile();
    Enter(0, 500, 2);
    RecordPlayerName(0, "NEW");
    std::printf("row0=%s\n", FileRows()[0].name.c_str());
    std::fflush(stdout);
  });
  ASSERT_TRUE(result.exited) << result.stderrText;
  EXPECT_EQ(result.exitStatus, 0) << result.stderrText;
  EXPECT_NE(result.stdoutText.find("row0=NEW\n"), std::string::npos) << result.stdoutText;
}

// A row whose score the file holds badly ranks as the table reads it, and the
// row a new result takes stays its row once the table is written and read:
// a row without a score is a blank row, and a score with bytes after its
// number is that number, though a save would drop the bytes between.
TEST_F(ScoresFileTest, ABadlyHeldScoreRanksAsItIsReadAndStaysSoWhenSaved) {
  struct Case {
    const char* what;
    std::string row;
  };
  const Case cases[] = {
      {"no score", "<dict><key>Name</key><string>ODD</string></dict>\r"},
      {"control bytes inside the score",
       std::string("<dict><key>Name</key><string>ODD</string><key>Score</key><integer>20\x01\x04") +
           "25</integer></dict>\r"},
      {"a control byte in a key the writer drops",
       "<dict><key>Name</key><string>ODD</string><key>Score</key><integer>75</integer>"
       "<key>Score&#15;</key><integer>20</integer></dict>\r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string text = RowsText({{"AAA", "100", "3"}, {"BBB", "50", "2"}});
    text.insert(text.find("<dict><key>Name</key><string>BBB"), c.row);
    ASSERT_TRUE(testsupport::WriteFile(Path(), text));
    gScores->ClearPending();
    LoadScoresFile();
    ASSERT_EQ(Enter(0, 30, 1), 1);
    RecordPlayerName(0, "NEW");
    const std::vector<Row> rows = Rows(&gScores->root);
    const UInt16 taken = gScores->pending.data[0].insertIndex;
    ASSERT_LT(taken, rows.size());
    EXPECT_EQ(rows[taken].name, "NEW");
    EXPECT_EQ(rows[0].name, "AAA");
    EXPECT_EQ(rows[1].name, "BBB");
  }
}

// A file-size limit makes every write fail, as a full or unwritable
// preferences folder would; root ignores a read-only folder.
void LimitFileSize() {
  signal(SIGXFSZ, SIG_IGN);
  rlimit limit{16, 16};
  setrlimit(RLIMIT_FSIZE, &limit);
}

TEST_F(ScoresFileTest, AFailedSaveAlertsOnceAndKeepsTheTableAndTheOldFile) {
  LoadScoresFile();
  const std::string before = testsupport::ReadFile(Path());
  ASSERT_FALSE(before.empty());
  testsupport::ChildResult result = testsupport::RunInChild([&] {
    LimitFileSize();
    testsupport::RecordingMessageBox boxes;
    Enter(0, 5000, 3);
    RecordPlayerName(0, "ACE");
    std::printf("boxes=%zu\n", boxes.boxes().size());
    for (const auto& box : boxes.boxes()) std::printf("box=%s|%s\n", box.caption.c_str(), box.text.c_str());
    std::printf("row0=%s\n", Rows(&gScores->root)[0].name.c_str());
    std::printf("same=%d\n", testsupport::ReadFile(Path()) == before ? 1 : 0);
    // Clear leaves the table in memory as it was.
    const OSErr cleared = WriteBlankScoresFile();
    std::printf("clear=%d boxes=%zu row0=%s insert=%u\n", cleared, boxes.boxes().size(),
                Rows(&gScores->root)[0].name.c_str(), gScores->pending.data[0].insertIndex);
    std::printf("same=%d\n", testsupport::ReadFile(Path()) == before ? 1 : 0);
    std::fflush(stdout);
  });
  ASSERT_TRUE(result.exited) << result.stderrText;
  EXPECT_EQ(result.exitStatus, 0) << result.stderrText;
  const std::string& out = result.stdoutText;
  EXPECT_NE(out.find("boxes=1\n"), std::string::npos) << out;
  EXPECT_NE(out.find("box=Kestrova|"), std::string::npos) << out;
  EXPECT_NE(out.find("The high scores could not be saved."), std::string::npos) << out;
  EXPECT_NE(out.find("row0=ACE\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("same=0"), std::string::npos) << out;
  EXPECT_NE(out.find("clear=-36 boxes=2 row0=ACE insert=0"), std::string::npos) << out;
}

// The player learns which file could not be made and why.
TEST_F(ScoresFileTest, NoFileThatCanBeWrittenOrReadEndsTheProgramAtStartUp) {
  // A folder in the file's place that is a plain file stops even root.
  ASSERT_TRUE(testsupport::WriteFile(dir_ / "blocker", "not a folder"));
  struct Case {
    const char* fileName;
    bool limitFileSize;
    const char* reason;
  };
  const Case cases[] = {{"Kestrova Scores", true, "File too large"},
                        {"blocker/Kestrova Scores", false, "Not a directory"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fileName);
    testsupport::ChildResult result = testsupport::RunInChild([&] {
      if (c.limitFileSize) LimitFileSize();
      gScores->SetFileName(c.fileName);
      LoadScoresFile();
    });
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitStatus, 1);
    const std::string& told = result.stderrText;
    EXPECT_NE(told.find("Error: Failed to load the scores file."), std::string::npos) << told;
    EXPECT_NE(told.find("\"" + (dir_ / c.fileName) + ".plist\""), std::string::npos) << told;
    EXPECT_NE(told.find(c.reason), std::string::npos) << told;
  }
}

// A score the reader would take as negative sat below the cleared pending
// entries, which then pushed real rows out of the table at every visit of the
// main screen. Such a score reads as 0; nobody who did not play is asked for
// a name.
TEST(ScoresFlowTest, AnOutOfRangeScoreNeitherOpensTheNameBoxNorPushesRowsOut) {
  gametest::GameDriver driver(5);
  const char* appData = std::getenv("AppData");
  ASSERT_NE(appData, nullptr);
  const std::string path = std::string(appData) + "/Kestrova Scores.plist";
  for (const char* bad : {"-5", "2147483648", "4294967295", "-2147483648", "99999999999"}) {
    SCOPED_TRACE(bad);
    std::vector<Row> rows;
    for (int r = 0; r < 15; ++r)
      rows.push_back(Row{"P" + std::to_string(r), std::to_string(40000 - 1000 * r), std::to_string(r + 1)});
    rows[4] = Row{"BAD", bad, "4"};
    ASSERT_TRUE(testsupport::WriteFile(path, RowsText(rows)));
    LoadScoresFile();
    // It sinks below every real score.
    std::vector<Row> expected = rows;
    expected.erase(expected.begin() + 4);
    expected.push_back(Row{"BAD", "0", "4"});
    EXPECT_EQ(Rows(&gScores->root), expected);

    for (int visit = 0; visit < 5; ++visit) {
      SCOPED_TRACE(visit);
      OpenMainScreenIn(driver);
      for (int i = 0; i < 100 && GetFadeBrightness() < 255; ++i) driver.step();
      ASSERT_EQ(GetFadeBrightness(), 255);
      driver.steps(3);
      EXPECT_EQ(currentScreen, gMainScreen.Pointer());
      for (const InputScreen& box : *gInputScreens) EXPECT_EQ(box.active, 0);
      EXPECT_EQ(Rows(&gScores->root), expected);
      for (UInt32 e = 0; e < gScores->pending.count; ++e) EXPECT_EQ(gScores->pending.data[e].insertIndex, 65535);
    }
    EXPECT_EQ(testsupport::ReadFile(path), RowsText(rows));
  }
}

// The whole road of a result: game over, the main screen's fade-in, the name
// box, the file.
TEST(ScoresFlowTest, AResultEntersAtTheMainScreenAndItsNameReachesTheFile) {
  gametest::GameDriver driver(5);
  driver.startGame();
  driver.steps(30);
  gametest::StepInput fire;
  fire.held = {49};
  driver.step(fire);
  driver.step();
  ASSERT_TRUE(gPlayers[0].active);
  GameFlags.waveBudget = 0;
  GameFlags.wavePending = 1;
  GameFlags.score[0] = 5000;
  GameFlags.level = 3;
  AddShield(0, -12);

  InputScreen& box = (*gInputScreens)[0];
  bool power = false;
  for (int i = 0; i < 1000 && currentScreen != &box; ++i) {
    driver.step();
    for (const auto& sound : driver.sounds()) power = power || sound.name == "Power";
  }
  ASSERT_EQ(currentScreen, &box);
  EXPECT_TRUE(power);
  EXPECT_EQ(gScores->pending.data[0].insertIndex, 0);
  std::vector<Row> rows = Rows(&gScores->root);
  ASSERT_EQ(rows.size(), 15u);
  // The row has no name until the player gives one.
  EXPECT_EQ(rows[0].score, "5000");
  EXPECT_EQ(rows[0].level, "3");

  box.nameField.text = "ACE";
  driver.step();  // the box sees the text and enables OK
  gametest::StepInput enter;
  enter.keyDowns = {36};
  for (int i = 0; i < 4 && box.active; ++i) driver.step(i == 0 ? enter : gametest::StepInput{});
  EXPECT_EQ(box.active, 0);

  const char* appData = std::getenv("AppData");
  ASSERT_NE(appData, nullptr);
  const std::string path = std::string(appData) + "/Kestrova Scores.plist";
  rows = Rows(&gScores->root);
  EXPECT_EQ(rows[0], (Row{"ACE", "5000", "3"}));
  EXPECT_EQ(TreeText(&gScores->root), testsupport::ReadFile(path));

  // The table the main screen shows after the name still marks the row in
  // gold; rows of other players' results stay green.
  ASSERT_EQ(currentScreen, gMainScreen.Pointer());
  const gametest::FramePicture& picture = driver.frame();
  int gold = 0;
  const Rect& table = gMainScreen->scoreTableRect;
  for (int y = table.top; y < table.top + 21; ++y)
    for (int x = table.left; x < table.left + 60; ++x) {
      const uint8_t* p = picture.At(x, y);
      gold += p[0] > 200 && p[1] > 170 && p[2] < 60;
    }
  EXPECT_GT(gold, 10);
}

}  // namespace
