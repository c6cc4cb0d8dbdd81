#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ConfirmScreen.h"
#include "Controls.h"
#include "GLFrame.h"
#include "GUIState.h"
#include "GameAssets.h"
#include "GameGlobals.h"
#include "GamePrefs.h"
#include "InputScreen.h"
#include "MainLoop.h"
#include "PlistTag.h"
#include "ScreenTestSupport.h"
#include "TestSupport.h"

namespace {

std::string ScoresFileText() {
  std::ifstream in(std::string(std::getenv("AppData")) + "/Kestrova Scores.plist", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

PlistTag* Row(int i) {
  PlistTag* rows = PlistTag::FindTag(&gScores->root, "array", "Scores", 0);
  if (!rows || static_cast<UInt32>(i) >= rows->child.count) return nullptr;
  return rows->child.data[i];
}

std::string RowValue(int i, const char* type, const char* key) {
  PlistTag* row = Row(i);
  PlistTag* tag = row ? PlistTag::FindTag(row, type, key, 0) : nullptr;
  return tag ? std::string(reinterpret_cast<const char*>(tag->value + 1), tag->value[0]) : std::string("<none>");
}

void SetTagText(PlistTag* tag, const std::string& text) {
  tag->value[0] = static_cast<unsigned char>(text.size());
  for (size_t i = 0; i < text.size(); ++i) tag->value[i + 1] = static_cast<unsigned char>(text[i]);
}

// The last game's result for a player, as RecordGameResult leaves it.
void SetResult(int player, SInt32 score, SInt32 level) {
  GameFlags.score[player] = score;
  PlistTag* entry = &gScores->pending.data[player].tag;
  SetTagText(PlistTag::FindTag(entry, "integer", "Score", 1), std::to_string(score));
  SetTagText(PlistTag::FindTag(entry, "integer", "Level", 1), std::to_string(level));
}

Point ShownSize(const GLImage& image) {
  return Point{static_cast<SInt16>(image.imageHeight / 1.6f), static_cast<SInt16>(image.imageWidth / 1.6f)};
}

// Confirmation box -----------------------------------------------------------------

class ConfirmBoxTest : public ScreenTest {
 protected:
  ConfirmScreen& box() { return *gConfirmScreen; }
  KVButton& Action() { return box().buttons.data[0]; }
  KVButton& Cancel() { return box().buttons.data[1]; }
};

TEST_F(ConfirmBoxTest, ThePanelAndItsButtonsAreLaidOutFromTheirImages) {
  ConfirmScreen::Open(&box(), "Are you sure you want to clear the high scores?", kConfirmClear);
  ASSERT_TRUE(box().IsCurrent());
  const Point panel = ShownSize(box().panel);
  ASSERT_GT(panel.h, 0);
  const auto left = static_cast<SInt16>(320 - panel.h / 2);
  const auto top = static_cast<SInt16>(168 - panel.v / 2);
  ExpectRectIs(box().rect, top, left, static_cast<SInt16>(top + panel.v), static_cast<SInt16>(left + panel.h));

  ASSERT_EQ(box().buttons.count, 2u);
  const Point action = ShownSize(Action().titleImage);
  const Point cancel = ShownSize(Cancel().titleImage);
  ASSERT_GT(action.h, 0);
  const auto buttonTop = static_cast<SInt16>(box().rect.bottom - 48);
  const auto actionLeft = static_cast<SInt16>(box().rect.right - 30 - action.h);
  ExpectRectIs(Action().rect, buttonTop, actionLeft, static_cast<SInt16>(buttonTop + action.v),
               static_cast<SInt16>(actionLeft + action.h));
  const auto cancelLeft = static_cast<SInt16>(box().rect.right - 280);
  ExpectRectIs(Cancel().rect, buttonTop, cancelLeft, static_cast<SInt16>(buttonTop + cancel.v),
               static_cast<SInt16>(cancelLeft + cancel.h));
  EXPECT_FLOAT_EQ(Action().pressFactor, 0.75f);

  // The message at (26, 26) inside the panel, at a 1.6th of its rendered size.
  const Point message = ShownSize(box().message);
  EXPECT_GT(box().message.textureName, 0u);
  EXPECT_EQ(box().message.forceBlend, 1);
  ExpectRectIs(box().messageRect, static_cast<SInt16>(top + 26), static_cast<SInt16>(left + 26),
               static_cast<SInt16>(top + 26 + message.v), static_cast<SInt16>(left + 26 + message.h));
}

// The shared pool's block is given back after every step: a box opened later
// still renders its message and its buttons' titles.
TEST_F(ConfirmBoxTest, ABoxOpenedAfterAStepStillRendersItsTexts) {
  Step();
  ASSERT_EQ(ImagePool.pixels, nullptr);
  ConfirmScreen::Open(&box(), "Are you sure you want to clear the high scores?", kConfirmClear);
  EXPECT_GT(box().message.textureName, 0u);
  EXPECT_GT(Action().titleImage.textureName, 0u);
  EXPECT_GT(Cancel().titleImage.textureName, 0u);
}

TEST_F(ConfirmBoxTest, EscapeInTheClearBoxIsCancel) {
  const std::string before = ScoresFileText();
  SetResult(0, 5000, 3);
  ASSERT_TRUE(gScores->TestEntries("Score"));
  ConfirmScreen::Open(&box(), "Are you sure you want to clear the high scores?", kConfirmClear);
  Key(kEscapeKey);
  EXPECT_FALSE(box().active);
  EXPECT_EQ(CountSounds("Power"), 0);
  EXPECT_EQ(RowValue(0, "integer", "Score"), "5000");
  EXPECT_EQ(ScoresFileText(), before);
}

TEST_F(ConfirmBoxTest, ClearPlaysPowerAndWritesABlankTableByKeyOrClick) {
  for (bool byKey : {true, false}) {
    SCOPED_TRACE(byKey ? "Return" : "click");
    heard.clear();
    SetResult(0, 5000, 3);
    ASSERT_TRUE(gScores->TestEntries("Score"));
    ASSERT_EQ(RowValue(0, "integer", "Score"), "5000");
    ConfirmScreen::Open(&box(), "Are you sure you want to clear the high scores?", kConfirmClear);
    if (byKey)
      Key(kReturnKey);
    else
      Click(Action().rect);
    EXPECT_FALSE(box().active);
    EXPECT_EQ(CountSounds("Power"), 1);
    EXPECT_EQ(RowValue(0, "integer", "Score"), "0");
    EXPECT_EQ(RowValue(0, "string", "Name"), "-");
    EXPECT_EQ(gScores->pending.data[0].insertIndex, 65535);
    EXPECT_EQ(ScoresFileText().find("5000"), std::string::npos);
  }
}

TEST_F(ConfirmBoxTest, AClearThatCannotBeSavedKeepsTheTableAndTheFile) {
  SetResult(0, 5000, 3);
  ASSERT_TRUE(gScores->TestEntries("Score"));
  RecordPlayerName(0, "ace");
  const std::string before = ScoresFileText();
  ASSERT_NE(before.find("<string>ace</string>"), std::string::npos);
  // The table in memory may hold what an earlier failed save could not write.
  SetTagText(PlistTag::FindTag(Row(0), "string", "Name", 0), "bob");
  testsupport::ChildResult result = testsupport::RunInChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{16, 16};
    setrlimit(RLIMIT_FSIZE, &limit);
    testsupport::RecordingMessageBox boxes;
    ConfirmScreen::Open(&box(), "Are you sure you want to clear the high scores?", kConfirmClear);
    Key(kReturnKey);
    std::printf("active=%d power=%d boxes=%zu row0=%s same=%d\n", box().active, CountSounds("Power"),
                boxes.boxes().size(), RowValue(0, "string", "Name").c_str(), ScoresFileText() == before);
    std::fflush(stdout);
    // The audio threads were not forked: the parent's exit handlers would
    // wait on them.
    std::_Exit(0);
  });
  ASSERT_TRUE(result.exited) << result.stderrText;
  EXPECT_EQ(result.exitStatus, 0) << result.stderrText;
  EXPECT_NE(result.stdoutText.find("active=0 power=1 boxes=1 row0=bob same=1"), std::string::npos)
      << result.stdoutText;
}

TEST_F(ConfirmBoxTest, QuitBoxCancelLowersTheQuestionAndQuitEndsTheGame) {
  GameFlags.quitQuestionOpen = 1;
  CursorWanted = 1;
  ConfirmScreen::Open(&box(), "Are you sure you want to quit the game in progress?", kConfirmQuit);
  Click(Cancel().rect);
  EXPECT_FALSE(box().active);
  EXPECT_EQ(GameFlags.quitQuestionOpen, 0);
  EXPECT_EQ(CursorWanted, 0);
  EXPECT_EQ(QuitRequested, 0);
  EXPECT_EQ(GameFlags.gameOver, 0);

  GameFlags.quitQuestionOpen = 1;
  CursorWanted = 1;
  ConfirmScreen::Open(&box(), "Are you sure you want to quit the game in progress?", kConfirmQuit);
  gametest::StepInput enter;
  enter.keyDowns = {kReturnKey};
  Step(enter);
  driver().step();  // the click is reported, and the step ends early
  EXPECT_FALSE(box().active);
  EXPECT_EQ(QuitRequested, 1);
  EXPECT_EQ(GameFlags.gameOver, 1);
  EXPECT_EQ(GameFlags.quitQuestionOpen, 0);
  EXPECT_EQ(CursorWanted, 0);
}

TEST_F(ConfirmBoxTest, AnUnknownModeHasNoActionButtonAndCancelOnlyCloses) {
  GameFlags.quitQuestionOpen = 1;
  CursorWanted = 1;
  ConfirmScreen::Open(&box(), "?", 3);
  EXPECT_EQ(Action().titleImage.textureName, 0u);
  Key(kReturnKey);  // the imageless button has no area to be clicked in
  EXPECT_TRUE(box().IsCurrent());
  Key(kEscapeKey);
  EXPECT_FALSE(box().active);
  EXPECT_EQ(GameFlags.quitQuestionOpen, 1);
  EXPECT_EQ(CursorWanted, 1);
  EXPECT_EQ(QuitRequested, 0);
  EXPECT_TRUE(heard.empty());
}

TEST_F(ConfirmBoxTest, DrawsTheShadeThePanelTheShadowedMessageAndTheButtons) {
  ConfirmScreen::Open(&box(), "Are you sure you want to quit the game in progress?", kConfirmQuit);
  std::vector<GLImageDrawRecord> draws;
  SetGLImageDrawRecorder(
      [](const GLImageDrawRecord& record, void* list) {
        static_cast<std::vector<GLImageDrawRecord>*>(list)->push_back(record);
      },
      &draws);
  box().Draw();
  SetGLImageDrawRecorder(nullptr, nullptr);
  ASSERT_EQ(draws.size(), 6u);
  EXPECT_EQ(draws[0].image, &gImages->pixel);
  ExpectRectIs(draws[0].dest, ScreenRect.top, ScreenRect.left, ScreenRect.bottom, ScreenRect.right);
  EXPECT_FLOAT_EQ(draws[0].red, 0.0f);
  EXPECT_FLOAT_EQ(draws[0].alpha, 0.5f);
  EXPECT_EQ(draws[1].image, &box().panel);
  const Rect& m = box().messageRect;
  EXPECT_EQ(draws[2].image, &box().message);
  ExpectRectIs(draws[2].dest, static_cast<SInt16>(m.top + 2), static_cast<SInt16>(m.left + 2),
               static_cast<SInt16>(m.bottom + 2), static_cast<SInt16>(m.right + 2));
  EXPECT_FLOAT_EQ(draws[2].red, 0.0f);
  EXPECT_FLOAT_EQ(draws[2].alpha, 1.0f);
  EXPECT_FLOAT_EQ(draws[3].red, 1.0f);
  EXPECT_EQ(draws[4].image, &Action().titleImage);
  EXPECT_EQ(draws[5].image, &Cancel().titleImage);
  // The shade is left white and opaque for whoever draws it next.
  EXPECT_FLOAT_EQ(gImages->pixel.red, 1.0f);
  EXPECT_FLOAT_EQ(gImages->pixel.alpha, 1.0f);
}

// Name boxes -------------------------------------------------------------------------

class NameBoxTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    SetControlSoundRecorder(
        [](const ControlSoundRecord& record, void* self) {
          auto* test = static_cast<NameBoxTest*>(self);
          if (record.buffer != 0 && record.buffer == ALSound::GetBuffer(&gSounds->dink, 0)) ++test->typeSounds;
        },
        this);
  }
  void TearDown() override {
    SetControlSoundRecorder(nullptr, nullptr);
    ScreenTest::TearDown();
  }
  int typeSounds = 0;
  InputScreen& Box(int player) { return (*gInputScreens)[player]; }
  void Open(int player, const char* name = "") {
    Str31 pascal;
    pascal[0] = static_cast<unsigned char>(std::string(name).size());
    std::copy(name, name + pascal[0], pascal + 1);
    InputScreen::Open(&Box(player), static_cast<SInt8>(player), pascal);
  }
};

TEST_F(NameBoxTest, TheTextFieldsHaveTheirImages) {
  for (int i = 0; i < 3; ++i) {
    EXPECT_NE(mainGUI.fieldFrameImages[i].textureName, 0u) << i;
    EXPECT_NE(mainGUI.fieldFocusImages[i].textureName, 0u) << i;
  }
  EXPECT_NE(mainGUI.caretImage.textureName, 0u);
}

TEST_F(NameBoxTest, LayoutPromptAndDefaultName) {
  SetResult(0, 5000, 3);
  Open(0, "Bob");
  InputScreen& box = Box(0);
  ASSERT_TRUE(box.IsCurrent());
  const Rect& p = box.rect;
  ExpectRectIs(box.nameField.rect, static_cast<SInt16>(p.top + 56), static_cast<SInt16>(p.left + 234),
               static_cast<SInt16>(p.top + 88), static_cast<SInt16>(p.left + 434));
  ExpectRectIs(box.nameField.trackRect, static_cast<SInt16>(p.top + 60), static_cast<SInt16>(p.left + 238),
               static_cast<SInt16>(p.top + 84), static_cast<SInt16>(p.left + 430));
  const Point ok = ShownSize(box.okButton.titleImage);
  ASSERT_GT(ok.h, 0);
  EXPECT_EQ(box.okButton.rect.left, p.right - ok.h / 2 - 50);
  EXPECT_EQ(box.okButton.rect.top, p.top - ok.v / 2 + 72);
  EXPECT_EQ(box.nameField.text, "Bob");
  EXPECT_EQ(box.okButton.enabled, 1);
  EXPECT_EQ(focusedField, &box.nameField);
  EXPECT_EQ(box.nameField.caret, 3);
  EXPECT_GT(box.prompt.textureName, 0u);
}

TEST_F(NameBoxTest, ReturnInAnEmptyBoxDoesNothing) {
  SetResult(0, 5000, 3);
  ASSERT_TRUE(gScores->TestEntries("Score"));
  Open(0);
  EXPECT_EQ(Box(0).okButton.enabled, 0);
  const std::string before = ScoresFileText();
  Key(kReturnKey);
  Key(kReturnKey);
  EXPECT_TRUE(Box(0).IsCurrent());
  EXPECT_EQ(Box(0).okButton.enabled, 0);
  EXPECT_EQ(LastPlayerName[0][0], 0);
  EXPECT_EQ(ScoresFileText(), before);
}

TEST_F(NameBoxTest, ReturnRecordsTheNameExactlyAsOK) {
  std::string files[2];
  for (int byKey = 0; byKey < 2; ++byKey) {
    SCOPED_TRACE(byKey ? "Return" : "OK");
    SetResult(0, 5000, 3);
    ASSERT_TRUE(gScores->TestEntries("Score"));
    Open(0);
    Type("ace");
    EXPECT_EQ(Box(0).nameField.text, "ace");
    EXPECT_EQ(Box(0).okButton.enabled, 1);
    EXPECT_EQ(typeSounds, 3);  // "Dink" per character
    if (byKey)
      Key(kReturnKey);
    else
      Click(Box(0).okButton.rect);
    EXPECT_FALSE(Box(0).active);
    EXPECT_EQ(RowValue(0, "string", "Name"), "ace");
    EXPECT_EQ(RowValue(0, "integer", "Score"), "5000");
    files[byKey] = ScoresFileText();
    typeSounds = 0;
    EXPECT_NE(files[byKey].find("<string>ace</string>"), std::string::npos);
    // Start the next round from a blank table.
    gScores->ClearPending();
    PlistTag::DeleteChildren(&gScores->root);
    ASSERT_EQ(WriteBlankScoresFile(), noErr);
    LoadScoresFile();
  }
  EXPECT_EQ(files[0], files[1]);
}

TEST_F(NameBoxTest, WithBothPlayersTheLowerBoxTakesTheKeysFirst) {
  SetResult(0, 5000, 3);
  SetResult(1, 4000, 3);
  ASSERT_TRUE(gScores->TestEntries("Score"));
  Open(0);
  Open(1);
  EXPECT_EQ(Box(1).rect.top, Box(0).rect.top + 96);
  EXPECT_EQ(Box(1).rect.left, Box(0).rect.left);
  EXPECT_TRUE(Box(1).IsCurrent());
  Type("zed");
  EXPECT_EQ(Box(1).nameField.text, "zed");
  EXPECT_EQ(Box(0).nameField.text, "");
  Key(kReturnKey);
  EXPECT_FALSE(Box(1).active);
  EXPECT_TRUE(Box(0).IsCurrent());
  EXPECT_EQ(focusedField, &Box(0).nameField);
  const int row1 = gScores->pending.data[1].insertIndex;
  EXPECT_EQ(RowValue(row1, "string", "Name"), "zed");

  Type("amy");
  EXPECT_EQ(Box(0).nameField.text, "amy");
  Key(kReturnKey);
  EXPECT_FALSE(Box(0).active);
  EXPECT_EQ(RowValue(0, "string", "Name"), "amy");
  EXPECT_EQ(RowValue(1, "string", "Name"), "zed");
}

TEST_F(NameBoxTest, ANameStopsAt31Characters) {
  SetResult(0, 5000, 3);
  ASSERT_TRUE(gScores->TestEntries("Score"));
  Open(0);
  const std::string typed = "abcdefghijklmnopqrstuvwxyz0123456789abcd";
  ASSERT_EQ(typed.size(), 40u);
  Type(typed);
  EXPECT_EQ(Box(0).nameField.text, typed.substr(0, 31));
  Key(kReturnKey);
  EXPECT_FALSE(Box(0).active);
  EXPECT_EQ(RowValue(0, "string", "Name"), typed.substr(0, 31));

  // A default name that is too long is cut as well.
  SetResult(0, 6000, 3);
  ASSERT_TRUE(gScores->TestEntries("Score"));
  Str255 longName;
  longName[0] = 40;
  std::copy(typed.begin(), typed.end(), longName + 1);
  InputScreen::Open(&Box(0), 0, longName);
  EXPECT_EQ(Box(0).nameField.text, typed.substr(0, 31));
}

TEST_F(NameBoxTest, ACommandKeyChordTypesNothing) {
  SetResult(0, 5000, 3);
  Open(0);
  driver().backend().SetKeyHeld(SDL_SCANCODE_LGUI, true);
  Type("a");
  driver().backend().SetKeyHeld(SDL_SCANCODE_LGUI, false);
  EXPECT_EQ(Box(0).nameField.text, "");
  driver().backend().SetKeyHeld(SDL_SCANCODE_LSHIFT, true);
  Type("b");
  driver().backend().SetKeyHeld(SDL_SCANCODE_LSHIFT, false);
  Type("c");
  EXPECT_EQ(Box(0).nameField.text, "Bc");
}

// Fire still held as the box opens types nothing, its repeats included,
// until it is let go; then the key types again.
TEST_F(NameBoxTest, AKeyHeldAsTheBoxOpensTypesNothingUntilLetGo) {
  ScriptedBackend& keys = driver().backend();
  const auto tapSpace = [&] {
    keys.PressKey(SDL_SCANCODE_SPACE);
    keys.ReleaseKey(SDL_SCANCODE_SPACE);
    Step();
    Step();
  };
  SetResult(0, 5000, 3);
  ASSERT_TRUE(gScores->TestEntries("Score"));
  keys.PressKey(SDL_SCANCODE_SPACE);
  Step();
  Open(0);
  for (int i = 0; i < 6; ++i) {
    keys.RepeatKey(SDL_SCANCODE_SPACE);
    Step();
  }
  EXPECT_EQ(Box(0).nameField.text, "");
  EXPECT_EQ(Box(0).okButton.enabled, 0);
  keys.ReleaseKey(SDL_SCANCODE_SPACE);
  Step();
  Type("ace");
  tapSpace();
  EXPECT_EQ(Box(0).nameField.text, "ace ");
  Key(kReturnKey);
  EXPECT_FALSE(Box(0).active);
  EXPECT_EQ(RowValue(0, "string", "Name"), "ace ");

  // A let-go whose key-up never reached the box counts too.
  SetResult(0, 4000, 3);
  ASSERT_TRUE(gScores->TestEntries("Score"));
  keys.SetKeyHeld(SDL_SCANCODE_SPACE, true);
  Open(0);
  keys.RepeatKey(SDL_SCANCODE_SPACE);
  Step();
  keys.SetKeyHeld(SDL_SCANCODE_SPACE, false);
  Step();
  tapSpace();
  Type("b");
  EXPECT_EQ(Box(0).nameField.text, " b");
}

// Spaces alone are no name: not offered as the default, OK stays off and
// nothing is recorded.
TEST_F(NameBoxTest, ANameOfSpacesAloneIsNoName) {
  SetResult(0, 5000, 3);
  ASSERT_TRUE(gScores->TestEntries("Score"));
  Open(0, "   ");
  EXPECT_EQ(Box(0).nameField.text, "");
  EXPECT_EQ(Box(0).okButton.enabled, 0);
  const std::string before = ScoresFileText();
  for (int i = 0; i < 3; ++i) {
    driver().backend().PressKey(SDL_SCANCODE_SPACE);
    driver().backend().ReleaseKey(SDL_SCANCODE_SPACE);
    Step();
    Step();
  }
  EXPECT_EQ(Box(0).nameField.text, "   ");
  EXPECT_EQ(Box(0).okButton.enabled, 0);
  Key(kReturnKey);
  Click(Box(0).okButton.rect);
  EXPECT_TRUE(Box(0).IsCurrent());
  EXPECT_EQ(LastPlayerName[0][0], 0);
  EXPECT_EQ(ScoresFileText(), before);
}

// The characters the layout makes (accents included) come from the system's
// text input, on only while the name field has the focus; the keys still edit.
TEST_F(NameBoxTest, TypedTextReachesTheFieldInLatin1AndTheKeysStillEdit) {
  ScriptedBackend& keys = driver().backend();
  const auto keyDown = [&](SDL_Scancode scancode) {
    NativeEvent down;
    down.kind = NativeEventKind::KeyDown;
    down.window = keys.FocusWindow();
    down.scancode = scancode;
    down.keyCode = SDL_GetKeyFromScancode(scancode);
    down.typesAsText = true;
    keys.Push(down);
    Step();
  };
  SetResult(0, 5000, 3);
  ASSERT_TRUE(gScores->TestEntries("Score"));
  EXPECT_FALSE(keys.TextInputOn());
  Open(0);
  Step();
  EXPECT_TRUE(keys.TextInputOn());

  keys.TypeText("Zo\xC3\xAB\xE2\x82\xAC");  // the euro sign has no Latin-1 code
  for (int i = 0; i < 4; ++i) Step();
  EXPECT_EQ(Box(0).nameField.text, "Zo\xEB");
  EXPECT_EQ(typeSounds, 3);
  // A key whose character comes as text types nothing by itself...
  keyDown(SDL_SCANCODE_X);
  EXPECT_EQ(Box(0).nameField.text, "Zo\xEB");
  // ...while Backspace and the arrows still work from their keys.
  keyDown(SDL_SCANCODE_LEFT);
  keyDown(SDL_SCANCODE_BACKSPACE);
  EXPECT_EQ(Box(0).nameField.text, "Z\xEB");
  keys.TypeText("o");
  Step();
  EXPECT_EQ(Box(0).nameField.text, "Zo\xEB");

  Click(Box(0).okButton.rect);
  EXPECT_FALSE(Box(0).active);
  EXPECT_EQ(RowValue(0, "string", "Name"), "Zo\xEB");
  EXPECT_NE(ScoresFileText().find("<string>Zo&#235;</string>"), std::string::npos);
  Step();
  EXPECT_FALSE(keys.TextInputOn());
}

}  // namespace
