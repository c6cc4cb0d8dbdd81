// The dialog event handlers, one table per family: each row gives an event,
// the answer (noErr handled, eventNotHandledErr passed on) and what it did to
// the controls of one dialog window, as a log of effects.
//
// No event here can carry a control ('----' holds only a window), so a hit
// reaches a handler without its control: the field and tab handlers take it
// from the handler call, which stands for the target they were installed on.
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "DialogItems.h"
#include "DialogTestSupport.h"
#include "FieldMonitors.h"
#include "NibWindows.h"
#include "PasswordDialogs.h"
#include "RecordingDisplay.h"
#include "UrlAlert.h"

namespace {

constexpr OSStatus kNotHandled = kEventNotHandledErr;

struct Identifier {
  OSType signature;
  SInt32 id;
};

// The virtual key the receiver pairs with a character, so a key event's
// parameter word is what a real one would be.
UInt32 KeyParam(UInt8 c) {
  UInt8 vk = c;
  if (c >= 'a' && c <= 'z') vk = static_cast<UInt8>(c - 'a' + 'A');
  if (c == 3) vk = 13;     // Enter
  if (c == 28) vk = 0x25;  // left arrow
  if (c == 29) vk = 0x27;  // right arrow
  return static_cast<UInt32>(vk) << 8 | c;
}

struct EventSpec {
  UInt32 eventClass;
  UInt32 kind;
  UInt32 param;
};

EventSpec Key(UInt8 c, UInt32 kind = kEventRawKeyDown) { return {kEventClassKeyboard, kind, KeyParam(c)}; }
EventSpec KeyUp(UInt8 c) { return Key(c, kEventRawKeyUp); }
EventSpec Hit() { return {kEventClassControl, 1, 0}; }
EventSpec ValueChanged() { return {kEventClassControl, 7, 0}; }
EventSpec Command(OSType command) { return {FOUR_CHAR_CODE("cmds"), 1, command}; }
EventSpec MouseDown() { return {kEventClassMouse, kEventMouseDown, 0}; }

class Event {
 public:
  explicit Event(const EventSpec& spec) {
    MacCreateEvent(nullptr, spec.eventClass, spec.kind, 0, 0, &ref_);
    ref_->param = spec.param;
  }
  ~Event() { ReleaseEvent(ref_); }
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  operator EventRef() const { return ref_; }

 private:
  EventRef ref_ = nullptr;
};

std::string Join(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& line : lines) out += (out.empty() ? "" : "; ") + line;
  return out;
}

// One shown dialog window whose controls are the fake controls, with the
// system calls the handlers use logging their effects by control title.
class DialogHandlersTest : public DialogShellTest {
 protected:
  void SetUp() override {
    DialogShellTest::SetUp();
    self_ = this;
    window = MakeMainWindow(Rect{100, 100, 300, 400});
    fakes.emplace();
    previousSetData_ = gSystemCalls.setControlData;
    SystemCallTable& t = gSystemCalls;
    t.getControlOwner = [](ControlRef c) { return c ? FakeControls::Fake(c)->window : nullptr; };
    t.isControlDisabled = [](ControlRef c) -> Boolean { return c && !FakeControls::Fake(c)->enabled; };
    t.getRootControl = [](WindowRef w, ControlRef* out) -> OSErr {
      *out = w == self_->window ? &self_->root_ : nullptr;
      return 0;
    };
    t.countSubControls = [](ControlRef parent, UInt16* out) -> OSErr {
      *out = parent == &self_->root_ ? static_cast<UInt16>(self_->fakes->controls.size()) : 0;
      return 0;
    };
    t.getIndexedSubControl = [](ControlRef parent, UInt16 index, ControlRef* out) -> OSErr {
      const auto& all = self_->fakes->controls;
      *out = parent == &self_->root_ && index >= 1 && index <= all.size() ? all[index - 1].get() : nullptr;
      return 0;
    };
    t.setControlValue = [](ControlRef c, SInt32 v) {
      FakeControls::Fake(c)->value = v;
      Log("value " + Name(c) + " " + std::to_string(v));
    };
    t.enableControl = [](ControlRef c) -> OSErr {
      FakeControls::Fake(c)->enabled = true;
      Log("enable " + Name(c));
      return 0;
    };
    t.disableControl = [](ControlRef c) -> OSErr {
      FakeControls::Fake(c)->enabled = false;
      Log("disable " + Name(c));
      return 0;
    };
    t.setControlVisible = [](ControlRef c, Boolean visible, Boolean) -> OSErr {
      FakeControls::Fake(c)->visible = visible;
      Log((visible ? "show " : "hide ") + Name(c));
      return 0;
    };
    t.drawControl = [](ControlRef c) { Log("draw " + Name(c)); };
    t.setControlData = [](ControlRef c, SInt16 part, OSType tag, SInt32 size, const void* data) -> OSErr {
      if (tag == FOUR_CHAR_CODE("sele")) {
        SInt16 range[2];
        std::memcpy(range, data, sizeof range);
        Log("select " + Name(c) + " " + std::to_string(range[0]) + "-" + std::to_string(range[1]));
      }
      return self_->previousSetData_(c, part, tag, size, data);
    };
    t.setKeyboardFocus = [](WindowRef, ControlRef c, SInt16 part) -> OSErr {
      Log("focus " + Name(c) + " " + std::to_string(part));
      return 0;
    };
    t.clearKeyboardFocus = [](WindowRef) -> OSErr {
      Log("clear focus");
      return 0;
    };
    t.beep = [] { Log("beep"); };
    t.quitAppModalLoop = [](WindowRef) -> OSStatus {
      Log("quit");
      return 0;
    };
    t.getControlID = [](ControlRef c, void* out) -> OSErr {
      const Identifier id{FOUR_CHAR_CODE("tabs"), FakeControls::Fake(c)->reference};
      std::memcpy(out, &id, sizeof id);
      return 0;
    };
    // A pane's identifier: the tab's number as signature, its reference as number.
    t.getControlByID = [](WindowRef w, const void* wanted, ControlRef* out) -> OSErr {
      Identifier id;
      std::memcpy(&id, wanted, sizeof id);
      for (const auto& c : self_->fakes->controls)
        if (c->window == w && c.get() != self_->tab && static_cast<OSType>(self_->tabNumber) == id.signature &&
            c->reference == id.id)
          *out = c.get();
      return 0;
    };
  }
  void TearDown() override {
    fakes.reset();
    self_ = nullptr;
    DialogShellTest::TearDown();
  }

  // A fresh set of controls for the next row.
  void ClearControls() {
    fakes->controls.clear();
    effects.clear();
    tab = nullptr;
  }
  ControlRef Add(const char* title, OSType command = 0, SInt16 kind = kItemPushButton) {
    Rect r{0, 0, 20, 80};
    ControlRef c = AddDialogItem(window, &r, kind, PStr(title).GetPtr(), 0, 0, 1);
    if (command) gSystemCalls.setControlCommandID(c, command);
    effects.clear();
    return c;
  }
  static void SetPassword(ControlRef field, const std::string& text) {
    FakeControls::Fake(field)->data[FOUR_CHAR_CODE("pass")] = text;
  }
  static std::string TextOf(ControlRef field) { return FakeControls::Fake(field)->data[FOUR_CHAR_CODE("text")]; }
  static std::string Name(ControlRef c) { return c ? FakeControls::Fake(c)->title : "nil"; }
  static void Log(const std::string& line) { self_->effects.push_back(line); }

  WindowRef window = nullptr;
  std::optional<FakeControls> fakes;
  std::vector<std::string> effects;
  ControlRef tab = nullptr;
  SInt32 tabNumber = 7;

 private:
  static inline DialogHandlersTest* self_ = nullptr;
  int root_ = 0;
  decltype(SystemCallTable::setControlData) previousSetData_ = nullptr;
};

// StandardDialogHandler and PressControl ------------------------------------------

TEST_F(DialogHandlersTest, StandardDialogHandlerPressesButtonsForKeysOnly) {
  struct Row {
    const char* name;
    EventSpec event;
    bool cancelButton;
    bool okEnabled;
    OSStatus answer;
    const char* effects;
  };
  const Row rows[] = {
      {"Escape presses Cancel", Key(27), true, true, noErr, "value Cancel 1"},
      {"Escape without Cancel presses OK", Key(27), false, true, noErr, "value OK 1"},
      {"Return presses OK", Key(13), true, true, noErr, "value OK 1"},
      {"Enter presses OK", Key(3), true, true, noErr, "value OK 1"},
      {"a disabled OK is not pressed", Key(13), true, false, noErr, ""},
      {"other keys pass", Key('a'), true, true, kNotHandled, ""},
      {"key up passes", KeyUp(13), true, true, kNotHandled, ""},
      {"mouse passes", MouseDown(), true, true, kNotHandled, ""},
      {"a hit without its control passes", Hit(), true, true, kNotHandled, ""},
  };
  testsupport::RecordingMessageBox boxes;  // each press reports its event parameter
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ClearControls();
    ControlRef ok = Add("OK", kResultOK);
    if (row.cancelButton) Add("Cancel", kResultCancel);
    Add("Other", kResultDont);
    FakeControls::Fake(ok)->enabled = row.okEnabled;
    DialogRunState state{0, 0, 1, 0, 0};
    EXPECT_EQ(StandardDialogHandler(nullptr, Event(row.event), &state), row.answer);
    EXPECT_EQ(Join(effects), row.effects);
    EXPECT_EQ(state.result, 0u);
  }
}

TEST_F(DialogHandlersTest, PressControlSetsThePartUnlessDisabled) {
  struct Row {
    const char* name;
    bool enabled;
    SInt16 part;
    OSStatus answer;
    const char* effects;
    size_t alerts;
  };
  // The control cannot ride on the event here: the failure is reported.
  testsupport::RecordingMessageBox boxes;
  const Row rows[] = {
      {"enabled", true, 3, kErrFailed, "value OK 3", 1},
      {"disabled", false, 3, 1, "", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ClearControls();
    const size_t before = boxes.boxes().size();
    ControlRef ok = Add("OK", kResultOK);
    FakeControls::Fake(ok)->enabled = row.enabled;
    EXPECT_EQ(PressControl(ok, row.part), row.answer);
    EXPECT_EQ(Join(effects), row.effects);
    ASSERT_EQ(boxes.boxes().size() - before, row.alerts);
    if (row.alerts) {
      EXPECT_EQ(boxes.boxes().back().text, "Alert: SetEventParameter(1) failed.");
    }
  }
}

// CustomDialogHandler ---------------------------------------------------------------

struct CustomProcLog {
  static inline std::vector<std::string>* effects = nullptr;
  static void Proc(WindowRef, UInt32 command, SInt16 part) {
    char text[5] = {static_cast<char>(command >> 24), static_cast<char>(command >> 16), static_cast<char>(command >> 8),
                    static_cast<char>(command), 0};
    effects->push_back(std::string("proc ") + text + " " + std::to_string(part));
  }
};

TEST_F(DialogHandlersTest, CustomDialogHandlerPressesOrCallsItsProcedure) {
  struct Row {
    const char* name;
    EventSpec event;
    bool withControl;  // the handler call stands for the Other button
    OSStatus answer;
    const char* effects;
    OSType lastCommand;
  };
  const Row rows[] = {
      {"Escape presses Cancel", Key(27), false, noErr, "value Cancel 1", 0},
      {"Return presses OK", Key(13), false, noErr, "value OK 1", 0},
      {"other keys pass", Key('x'), false, kNotHandled, "", 0},
      {"a hit calls the procedure", Hit(), true, kNotHandled, "proc dont 0", kResultDont},
      {"a hit without its control", Hit(), false, kNotHandled, "", 0},
      {"a value change", ValueChanged(), true, kNotHandled, "", 0},
  };
  CustomProcLog::effects = &effects;
  {
    testsupport::RecordingMessageBox boxes;
    for (const Row& row : rows) {
      SCOPED_TRACE(row.name);
      ClearControls();
      Add("OK", kResultOK);
      Add("Cancel", kResultCancel);
      ControlRef other = Add("Other", kResultDont);
      CustomDialogRecord record{};
      record.customProc = CustomProcLog::Proc;
      EXPECT_EQ(CustomDialogHandler(row.withControl ? other : nullptr, Event(row.event), &record), row.answer);
      EXPECT_EQ(Join(effects), row.effects);
      EXPECT_EQ(record.lastCommand, row.lastCommand);
    }
  }

  CustomDialogRecord noProcedure{};
  const struct {
    CustomDialogRecord* record;
    const char* message;
  } fatal[] = {{nullptr, "DialogHandler pointer is nil."}, {&noProcedure, "CustomProc pointer is nil."}};
  for (const auto& f : fatal) {
    auto child = testsupport::RunInChild([&] { CustomDialogHandler(nullptr, Event(Hit()), f.record); });
    EXPECT_TRUE(child.exited);
    EXPECT_EQ(child.exitStatus, 1);
    EXPECT_NE(child.stderrText.find(f.message), std::string::npos) << child.stderrText;
  }
}

// The password handlers --------------------------------------------------------------

TEST_F(DialogHandlersTest, PasswordHandlerReadsTheEntryAsItIsTyped) {
  struct Row {
    const char* name;
    EventSpec event;
    std::string field;
    OSStatus answer;
    const char* effects;
    std::string entry;  // before the event, then after it
    std::string after;
  };
  const Row rows[] = {
      {"typing enables Set", Key('a'), "secret", noErr, "enable Set", "", "secret"},
      {"an empty entry disables Set", Key(8), "", noErr, "disable Set", "s", ""},
      {"31 characters fit", Key('a'), std::string(31, 'p'), noErr, "enable Set", "", std::string(31, 'p')},
      {"a longer text is refused", Key('a'), std::string(32, 'p'), noErr, "enable Set", "ppp", "ppp"},
      {"key up is not read", KeyUp('a'), "secret", noErr, "", "", ""},
      {"a hit without its control", Hit(), "secret", kNotHandled, "", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ClearControls();
    PasswordDialogRecord record{};
    record.defaultButton = Add("Set", kResultOK);
    record.firstField = Add("field", FOUR_CHAR_CODE("pass"), kItemEditText);
    CToPStr("secret", record.storedPassword);
    CToPStr(row.entry.c_str(), record.firstEntry);
    record.triesLeft = 3;
    SetPassword(record.firstField, row.field);
    EXPECT_EQ(PasswordEventHandler(nullptr, Event(row.event), &record), row.answer);
    EXPECT_EQ(Join(effects), row.effects);
    EXPECT_EQ(CStr(record.firstEntry).GetPtr(), row.after);
    EXPECT_EQ(record.result, 0u);
    EXPECT_EQ(record.triesLeft, 3);
  }
  EXPECT_EQ(PasswordEventHandler(nullptr, Event(Key('a')), nullptr), kNotHandled);
}

TEST_F(DialogHandlersTest, PasswordPairHandlerPressesOrComparesBothEntries) {
  struct Row {
    const char* name;
    EventSpec event;
    bool cancelButton;
    std::string first, second;
    OSStatus answer;
    const char* effects;
  };
  const Row rows[] = {
      {"Escape presses Cancel", Key(27), true, "", "", noErr, "value Cancel 1"},
      {"Escape without Cancel presses Set", Key(27), false, "", "", noErr, "value Set 1"},
      {"Return presses Set", Key(13), true, "", "", noErr, "value Set 1"},
      {"Enter presses Set", Key(3), true, "", "", noErr, "value Set 1"},
      {"both typed enables Set", Key('a'), true, "ab", "ab", noErr, "enable Set"},
      {"one empty disables Set", Key('a'), true, "ab", "", noErr, "disable Set"},
      {"key up passes", KeyUp('a'), true, "ab", "ab", kNotHandled, ""},
      {"a hit without its control", Hit(), true, "ab", "ab", kNotHandled, ""},
  };
  testsupport::RecordingMessageBox boxes;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ClearControls();
    PasswordDialogRecord record{};
    record.defaultButton = Add("Set", kResultOK);
    if (row.cancelButton) Add("Cancel", kResultCancel);
    record.firstField = Add("first", 0, kItemEditText);
    record.secondField = Add("second", 0, kItemEditText);
    SetPassword(record.firstField, row.first);
    SetPassword(record.secondField, row.second);
    EXPECT_EQ(PasswordPairEventHandler(nullptr, Event(row.event), &record), row.answer);
    EXPECT_EQ(Join(effects), row.effects);
    const bool typed = row.event.eventClass == kEventClassKeyboard && row.event.kind == kEventRawKeyDown &&
                       (row.event.param & 0xFF) == 'a';
    EXPECT_TRUE(PStrEqualsCStr(record.firstEntry, typed ? row.first.c_str() : ""));
    EXPECT_TRUE(PStrEqualsCStr(record.secondEntry, typed ? row.second.c_str() : ""));
    EXPECT_EQ(record.result, 0u);
  }
  EXPECT_EQ(PasswordPairEventHandler(nullptr, Event(Key(13)), nullptr), kNotHandled);
}

// The field handlers -------------------------------------------------------------------

TEST_F(DialogHandlersTest, ReadOnlyFieldSwallowsEditsAndSelectsOnClicks) {
  struct Row {
    const char* name;
    EventSpec event;
    OSStatus answer;
    const char* effects;
  };
  const char* kSelected = "select field 0-32767; focus field 0; focus field -1";
  const Row rows[] = {
      {"cut", Command(FOUR_CHAR_CODE("cut ")), noErr, ""},
      {"paste", Command(FOUR_CHAR_CODE("past")), noErr, ""},
      {"copy", Command(FOUR_CHAR_CODE("copy")), kNotHandled, ""},
      {"tab", Key(9), kNotHandled, ""},
      {"Return", Key(13), kNotHandled, ""},
      {"Enter", Key(3), kNotHandled, ""},
      {"Escape", Key(27), kNotHandled, ""},
      {"a letter", Key('a'), noErr, ""},
      {"backspace", Key(8), noErr, ""},
      {"tab up", KeyUp(9), noErr, ""},
      {"a click", MouseDown(), noErr, kSelected},
      {"a hit", Hit(), noErr, kSelected},
      {"a window event", {kEventClassWindow, kEventWindowClose, 0}, kNotHandled, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ClearControls();
    ControlRef field = Add("field", 0, kItemEditText);
    EXPECT_EQ(ReadOnlyFieldHandler(nullptr, Event(row.event), field), row.answer);
    EXPECT_EQ(Join(effects), row.effects);
  }
}

TEST_F(DialogHandlersTest, MaxLengthFieldCutsAndStopsTypingWhenFull) {
  struct Row {
    const char* name;
    EventSpec event;
    const char* text;
    OSStatus answer;
    const char* after;
  };
  const Row rows[] = {
      {"a change cuts a long text", ValueChanged(), "abcdef", kNotHandled, "abc"},
      {"a change keeps a short text", ValueChanged(), "ab", kNotHandled, "ab"},
      {"typing while short", Key('x'), "ab", kNotHandled, "ab"},
      {"typing when full", Key('x'), "abc", noErr, "abc"},
      {"backspace when full", Key(8), "abc", kNotHandled, "abc"},
      {"tab when full", Key(9), "abc", kNotHandled, "abc"},
      {"Escape when full", Key(27), "abc", kNotHandled, "abc"},
      {"Return when full", Key(13), "abc", kNotHandled, "abc"},
      {"Enter when full", Key(3), "abc", kNotHandled, "abc"},
      {"left when full", Key(28), "abc", kNotHandled, "abc"},
      {"right when full", Key(29), "abc", kNotHandled, "abc"},
      {"a hit", Hit(), "abcdef", kNotHandled, "abcdef"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ClearControls();
    MaxLengthRecord record{3, nullptr};
    ControlRef field = Add("field", 0, kItemEditText);
    EXPECT_EQ(InstallMaxLengthFieldMonitor(field, &record), noErr);
    FakeControls::Fake(field)->data[FOUR_CHAR_CODE("text")] = row.text;
    EXPECT_EQ(MaxLengthFieldHandler(field, Event(row.event), &record), row.answer);
    EXPECT_EQ(TextOf(field), row.after);
  }
  EXPECT_EQ(MaxLengthFieldHandler(nullptr, Event(Key('x')), nullptr), kNotHandled);
}

// TabControlHandler -----------------------------------------------------------------------

TEST_F(DialogHandlersTest, TabControlShowsTheChosenPaneOrTheNextEnabledOne) {
  struct Row {
    const char* name;
    SInt32 value;
    std::vector<int> disabled;
    int missing;        // a pane number with no control, or 0
    bool otherControl;  // the hit is another control's
    OSStatus answer;
    const char* effects;
  };
  const Row rows[] = {
      {"pane 2", 2, {}, 0, false, noErr, "hide pane1; hide pane3; clear focus; show pane2; draw tab"},
      {"a disabled pane steps on",
       1,
       {1},
       0,
       false,
       noErr,
       "beep; value tab 2; hide pane1; hide pane3; clear focus; show pane2; draw tab"},
      {"steps stop at the last pane",
       2,
       {2, 3},
       0,
       false,
       noErr,
       "beep; value tab 3; hide pane1; hide pane2; clear focus; show pane3; draw tab"},
      {"a missing pane shows none", 2, {}, 2, false, noErr, "hide pane1; hide pane3; draw tab"},
      {"another control's hit", 2, {}, 0, true, kNotHandled, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ClearControls();
    Rect r{0, 0, 20, 200};
    tab = AddDialogItem(window, &r, 128, PStr("tab").GetPtr(), static_cast<SInt16>(row.value), 1, 3);
    FakeControls::Fake(tab)->reference = tabNumber;
    for (int pane = 1; pane <= 3; ++pane) {
      if (pane == row.missing) continue;
      ControlRef p = Add(("pane" + std::to_string(pane)).c_str(), 0, 0);
      FakeControls::Fake(p)->reference = pane;
      for (int d : row.disabled)
        if (d == pane) FakeControls::Fake(p)->enabled = false;
    }
    ControlRef other = Add("other");
    EXPECT_EQ(InstallTabControlHandler(tab), noErr);
    EXPECT_EQ(TabControlHandler(row.otherControl ? other : tab, Event(Hit()), tab), row.answer);
    EXPECT_EQ(Join(effects), row.effects);
  }
}

// LinkControlHandler -----------------------------------------------------------------------

TEST_F(DialogHandlersTest, LinkControlWithoutItsControlOpensAndDrawsNothing) {
  gSystemCalls.getControlTitle = [](ControlRef, StringPtr out) { CToPStr("https://example.com", out); };
  RecordingDisplay display;
  for (UInt32 kind : {1u, 3u, 4u, 7u}) {
    SCOPED_TRACE(kind);
    EXPECT_EQ(LinkControlHandler(nullptr, Event({kEventClassControl, kind, 0}), nullptr), kNotHandled);
  }
  EXPECT_TRUE(backend.openedTexts().empty());
  EXPECT_TRUE(RecordingDisplay::lines().empty());
}

}  // namespace
