#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Backend.h"
#include "DialogTestSupport.h"
#include "DisplayHooks.h"
#include "InputBox.h"
#include "InputBoxHooks.h"
#include "NibWindows.h"
#include "SdlBackend.h"
#include "TimerTasks.h"

namespace {

using Kind = InputBoxMessage::Kind;
using Timed = ScriptedBackend::TimedInputBoxMessage;

Timed Edit(const std::string& text, uint32_t afterMs = 0) {
  InputBoxMessage m;
  m.kind = Kind::EditChanged;
  m.text = text;
  return {m, afterMs};
}

Timed Command(uint32_t command) {
  InputBoxMessage m;
  m.kind = Kind::Command;
  m.command = command;
  return {m, 0};
}

Timed ReturnUp(bool boxHasFocus) {
  InputBoxMessage m;
  m.kind = Kind::ReturnUp;
  m.boxHasFocus = boxHasFocus;
  return {m, 0};
}

Timed Close() { return {InputBoxMessage{}, 0}; }

class InputBoxTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    gDisplayHooks.enterMenuMode = [] { menuMode = 1; };
    gDisplayHooks.leaveMenuMode = [] { menuMode = 0; };
    gDisplayHooks.inMenuMode = [] { return menuMode; };
    menuMode = 0;
  }
  static inline SInt32 menuMode = 0;
};

TEST_F(InputBoxTest, TheBoxIsCentredAQuarterOfTheDesktopWide) {
  backend.ScriptInputBox({Command(1003)}, "");
  Str255 text;
  CToPStr("12", text);
  InputBox(PStr("Set font size to:").GetPtr(), text);
  ASSERT_EQ(backend.inputBoxes().size(), 1u);
  const auto& box = backend.inputBoxes()[0];
  EXPECT_EQ(box.frame, (PlatformRect{437, 480, 587, 800}));
  EXPECT_EQ(box.prompt, "Set font size to:");
  EXPECT_EQ(box.initial, "12");
  EXPECT_NE(box.fontPath.find("/Fonts/Geneva.ttf"), std::string::npos);
  EXPECT_TRUE(box.closed);
  EXPECT_EQ(menuMode, 0);  // left again
}

struct ScriptCase {
  const char* name;
  std::vector<Timed> script;
  std::string field;
  OSType answer;
  std::string text;  // the caller's string afterwards
};

TEST_F(InputBoxTest, ScriptedAnswers) {
  const std::string forty(40, 'w');
  const std::vector<ScriptCase> cases = {
      {"12 and Return in the field", {Edit("1"), Edit("12"), Edit("12\r\n")}, "", kResultOK, "12"},
      {"two lines pasted", {Edit("abc\r\ndef")}, "", kResultOK, "abc"},
      {"Cancel", {Edit("zz"), Command(1003)}, "", kResultCancel, ""},
      {"Close", {Edit("zz"), Close()}, "", kResultCancel, ""},
      {"40 characters and Ok", {Edit(forty), Command(1002)}, "", kResultOK, "start"},
      {"Return on the box", {ReturnUp(true)}, "xyz", kResultOK, "xyz"},
      {"Return released in the field", {ReturnUp(false), Command(1002)}, "q", kResultOK, "q"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    backend.ScriptInputBox(c.script, c.field);
    Str255 text;
    CToPStr("start", text);
    EXPECT_EQ(InputBox(PStr("Prompt").GetPtr(), text), c.answer);
    EXPECT_TRUE(PStrEqualsCStr(text, c.text.c_str())) << CStr(text).GetPtr();
    EXPECT_TRUE(backend.inputBoxes().back().closed);
  }
}

TEST_F(InputBoxTest, NoBoxAnswersAtOnce) {
  backend.failInputBox = true;
  menuMode = 1;
  Str255 text;
  CToPStr("keep", text);
  EXPECT_EQ(InputBox(PStr("Prompt").GetPtr(), text), kResultCancel);
  EXPECT_TRUE(PStrEqualsCStr(text, "keep"));
  EXPECT_EQ(menuMode, 1);
}

SInt32 CountRun(TimerTask* task) {
  ++*reinterpret_cast<int*>(GetTimerTaskUserValue(task));
  return 0;
}

TEST_F(InputBoxTest, TimerTasksRunWhileItWaits) {
  clock.stepPerRead = 100000;  // 0.1 ms per read
  int runs = 0;
  TimerTask task{};
  StartTimerTask(&task, CountRun, 30, reinterpret_cast<uintptr_t>(&runs));
  backend.ScriptInputBox({Edit("5\r", 200)}, "");
  Str255 text{};
  EXPECT_EQ(InputBox(PStr("Wait").GetPtr(), text), kResultOK);
  StopTimerTask(&task);
  EXPECT_GE(runs, 5);
  EXPECT_TRUE(PStrEqualsCStr(text, "5"));
}

TEST(Utf8ToLatin1Test, KeepsLatin1AndDropsTheRest) {
  EXPECT_EQ(Utf8ToLatin1("a\xC3\xA9z"), "a\xE9z");
  EXPECT_EQ(Utf8ToLatin1("\xE2\x82\xAC!"), "!");           // the euro sign has no Latin-1 form
  EXPECT_EQ(Utf8ToLatin1("\xF0\x9F\x98\x80x\xC3"), "x");   // a cut sequence at the end
}

// The real box, driven by xdotool on an Xvfb of its own: on a shared one the
// windows of other tests take the focus and the pointer.
struct XdotoolPlan {
  std::string actions;
  std::string keys;
};

void StartXdotool(uint64_t window, void* context) {
  const std::string id = std::to_string(window);
  const XdotoolPlan& plan = *static_cast<XdotoolPlan*>(context);
  std::string script = "sleep 0.3; xdotool windowfocus --sync " + id + " mousemove --window " + id + " " + plan.actions;
  // "type" takes every argument after it, so keys go in a second run.
  if (!plan.keys.empty()) script += " && xdotool key " + plan.keys;
  if (fork() == 0) {
    execlp("timeout", "timeout", "10", "sh", "-c", script.c_str(), nullptr);
    _exit(127);
  }
}

TEST(InputBoxSdlTest, XdotoolTypesIntoTheFieldOrCancels) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  struct Case {
    const char* actions;
    const char* keys;
    OSType answer;
    const char* text;
  };
  // Cancel stands at (W/2 + 25, 90) of a 320-wide box: x 185..260.
  for (const Case& c : {Case{"20 40 click 1 type 12", "Return", kResultOK, "12"},
                        Case{"200 100 click 1", "", kResultCancel, ""}}) {
    SCOPED_TRACE(c.actions);
    auto child = testsupport::RunInChild(
        [&] {
          unsetenv("DUVUVU_MESSAGE_BOX");
          testsupport::PinGraphicsLibraries();
          Backend* sdl = NewSdlBackend();
          SetBackend(sdl);
          if (!sdl->InitVideo()) _exit(3);
          XdotoolPlan plan{c.actions, c.keys};
          SetInputBoxOpenedHook(StartXdotool, &plan);
          Str255 text{};
          const OSType answer = InputBox(PStr("Type:").GetPtr(), text);
          std::fprintf(stderr, "[answer %s text '%s']\n", answer == kResultOK ? "ok" : "not", CStr(text).GetPtr());
          std::fflush(stderr);
          _exit(0);
        },
        20000);
    ASSERT_TRUE(child.exited) << child.stderrText;
    const std::string expected =
        std::string("[answer ") + (c.answer == kResultOK ? "ok" : "not") + " text '" + c.text + "']";
    EXPECT_NE(child.stderrText.find(expected), std::string::npos) << child.stderrText;
  }
}

}  // namespace
