#include <string>
#include <vector>

#include "Alerts.h"
#include "DialogItems.h"
#include "DialogLayout.h"
#include "DialogTestSupport.h"
#include "DisplayHooks.h"
#include "NibWindows.h"
#include "RecordingDisplay.h"
#include "UrlAlert.h"

namespace {

class AlertsTest : public DialogShellTest {
 protected:
  size_t CountLog(const std::string& prefix) const {
    size_t n = 0;
    for (const auto& line : backend.log())
      if (line.rfind(prefix, 0) == 0) ++n;
    return n;
  }
};

TEST_F(AlertsTest, TheLinkDrawsItsTitleBlueOnItsErasedBounds) {
  gSystemCalls.getControlBounds = [](ControlRef, Rect* out) {
    *out = Rect{74, 75, 98, 175};
    return out;
  };
  gSystemCalls.getControlTitle = [](ControlRef, StringPtr out) { CToPStr("example.com", out); };
  int link = 0;
  {
    RecordingDisplay display;
    DrawLinkControl(&link);
    const std::vector<std::string> expected = {
        "fore 0,0,65535", "pen 75,90", "style 36", "erase {74,75,98,175}", "text example.com", "style 0",
        "fore 1,2,3",
    };
    EXPECT_EQ(RecordingDisplay::lines(), expected);
  }
  DrawLinkControl(&link);  // without display services: nothing to draw with
}

TEST_F(AlertsTest, LayoutRectangles) {
  const Rect window{0, 0, 120, 360};
  EXPECT_PRED5(SameRect, DialogButtonRect(window, 0), 80, 270, 100, 340);
  EXPECT_PRED5(SameRect, DialogButtonRect(window, 1), 80, 188, 100, 258);
  EXPECT_PRED5(SameRect, DialogButtonRect(window, 3), 80, 24, 100, 94);
  EXPECT_PRED5(SameRect, DialogButtonRectSized(window, 1, 60, 10), 90, 218, 110, 278);
  EXPECT_PRED5(SameRect, DialogIconRect(), 10, 20, 42, 52);
  EXPECT_PRED5(SameRect, DialogTextRect(window), 10, 75, 73, 337);
  EXPECT_PRED5(SameRect, DialogFooterRect(window), 92, 75, 108, 268);
  EXPECT_PRED5(SameRect, DialogCheckRect(window), 64, 8, 76, 20);
  EXPECT_EQ(DialogCheckSize.width, 12);
  EXPECT_EQ(DialogCheckSize.height, 12);
}

TEST_F(AlertsTest, CenteredOnTheDeviceOrOnTheWindowedMainWindow) {
  EXPECT_PRED5(SameRect, CenterDialogRect(360, 120, 0), 322, 460, 442, 820);
  MakeMainWindow(Rect{272, 320, 752, 960});
  EXPECT_PRED5(SameRect, CenterDialogRect(360, 120, 0), 232, 140, 352, 500);
  // Full screen goes back to the device.
  DisplayServices services{};
  services.fullScreenFlag = [] { return UInt8{1}; };
  RegisterDisplayServices(&services);
  EXPECT_PRED5(SameRect, CenterDialogRect(360, 120, 0), 322, 460, 442, 820);
}

struct ExpectedButton {
  const char* title;
  Rect bounds;
  OSType command;
  const char* mark;  // "dflt", "cncl" or ""
};

struct RunAlertCase {
  UInt8 style;
  const char* other;
  SInt16 extraButtonWidth;
  std::vector<ExpectedButton> buttons;
};

TEST_F(AlertsTest, RunAlertItemsPerStyle) {
  const OSType ok = kResultOK, cancel = kResultCancel, dont = kResultDont;
  const std::vector<RunAlertCase> cases = {
      {0, "", 0, {{"OK", {80, 270, 100, 340}, ok, "dflt"}, {"Cancel", {80, 188, 100, 258}, cancel, "cncl"}}},
      {7, "Keep", 0, {{"OK", {80, 270, 100, 340}, ok, "dflt"}, {"Cancel", {80, 188, 100, 258}, cancel, "cncl"}}},
      {1, "", 0,
       {{"OK", {80, 270, 100, 340}, ok, "dflt"},
        {"Cancel", {80, 188, 100, 258}, cancel, "cncl"},
        {"No", {80, 24, 100, 94}, 0, ""}}},
      {1, "Keep", 10,
       {{"OK", {80, 260, 100, 340}, ok, "dflt"},
        {"Cancel", {80, 178, 100, 248}, cancel, "cncl"},
        {"Keep", {80, 24, 100, 94}, dont, ""}}},
      {2, "", 0, {{"OK", {80, 270, 100, 340}, ok, "dflt"}, {"No", {80, 188, 100, 258}, 0, ""}}},
      {2, "Keep", 10, {{"OK", {80, 260, 100, 340}, ok, "dflt"}, {"Keep", {80, 178, 100, 248}, dont, ""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << int(c.style) << " other '" << c.other << "'");
    FakeControls controls;
    CToPStr(c.other, DialogDefaults.otherText);
    DialogDefaults.extraButtonWidth = c.extraButtonWidth;
    EXPECT_EQ(RunAlert("Really?", c.style), 0u);
    EXPECT_TRUE(AlertPartIsInitial());

    const auto buttons = controls.OfKind(kItemPushButton);
    ASSERT_EQ(buttons.size(), c.buttons.size());
    for (size_t i = 0; i < buttons.size(); ++i) {
      const ExpectedButton& e = c.buttons[i];
      EXPECT_EQ(buttons[i]->title, e.title);
      EXPECT_EQ(RectText(buttons[i]->bounds), RectText(e.bounds)) << e.title;
      EXPECT_EQ(buttons[i]->command, e.command) << e.title;
      for (const char* mark : {"dflt", "cncl"}) {
        const OSType tag = FOUR_CHAR_CODE(*reinterpret_cast<const char(*)[5]>(mark));
        const bool marked = buttons[i]->data.count(tag) && buttons[i]->data.at(tag) == std::string(1, '\1');
        EXPECT_EQ(marked, std::string(e.mark) == mark) << e.title << " " << mark;
      }
    }
    const auto icons = controls.OfKind(kItemIconNoTrack);
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0]->value, 1);
    EXPECT_EQ(icons[0]->maximum, 1);
    EXPECT_PRED5(SameRect, icons[0]->bounds, 10, 20, 42, 52);
    const auto texts = controls.OfKind(kItemStaticText);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->data.at(FOUR_CHAR_CODE("text")), "Really?");
    EXPECT_PRED5(SameRect, texts[0]->bounds, 10, 75, 73, 337);
  }
}

TEST_F(AlertsTest, IconTypeMakesAnIconReferenceItem) {
  FakeControls controls;
  DialogDefaults.iconType = FOUR_CHAR_CODE("APPL");
  EXPECT_EQ(RunAlert("x", 0), 0u);
  ASSERT_EQ(controls.OfKind(kItemIconRefNoTrack).size(), 1u);
  const FakeControl* icon = controls.OfKind(kItemIconRefNoTrack)[0];
  EXPECT_EQ(icon->data.at(FOUR_CHAR_CODE("scal")), std::string(1, '\1'));
  EXPECT_TRUE(controls.OfKind(kItemIconNoTrack).empty());
}

struct SaveCase {
  UInt8 hasCancel, hasDont;
  bool cancelVisible;
  Rect dontBounds;
  bool dontVisible;
};

TEST_F(AlertsTest, RunSaveAlertFlagsHidePlaceAndWidenButtons) {
  const std::vector<SaveCase> cases = {
      {1, 1, true, {64, 16, 84, 110}, true},
      {1, 0, true, {64, 16, 84, 110}, false},
      {0, 1, false, {64, 156, 84, 250}, true},
      {0, 0, false, {64, 156, 84, 250}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "cancel " << int(c.hasCancel) << " dont " << int(c.hasDont));
    FakeControls controls;
    DialogDefaults.extraWidth = 40;  // reset before use
    const PStr message("Save changes?"), verb("Save");
    EXPECT_EQ(RunSaveAlert(message.GetPtr(), verb.GetPtr(), 7, c.hasCancel, c.hasDont), 0u);
    const auto buttons = controls.OfKind(kItemPushButton);
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons[0]->title, "Save");
    EXPECT_PRED5(SameRect, buttons[0]->bounds, 64, 262, 84, 332);
    EXPECT_EQ(buttons[0]->command, kResultOK);
    EXPECT_EQ(buttons[1]->title, "Cancel");
    EXPECT_EQ(buttons[1]->visible, c.cancelVisible);
    EXPECT_EQ(buttons[1]->command, c.hasCancel ? kResultCancel : 0u);
    EXPECT_EQ(buttons[2]->title, "Don't Save");
    EXPECT_EQ(RectText(buttons[2]->bounds), RectText(c.dontBounds));
    EXPECT_EQ(buttons[2]->visible, c.dontVisible);
    EXPECT_EQ(buttons[2]->command, c.hasDont ? kResultDont : 0u);
    ASSERT_EQ(controls.OfKind(kItemIconNoTrack).size(), 1u);
    EXPECT_EQ(controls.OfKind(kItemIconNoTrack)[0]->value, 7);
  }
}

// Each alert makes one window at its rectangle, shows it while it runs, then
// disposes it, answering the result nobody set.
TEST_F(AlertsTest, EveryAlertShowsAndDisposesOneWindow) {
  struct Case {
    const char* name;
    std::function<OSType()> run;
    OSType answer;
    Rect rect;
  };
  const PStr message("Message"), text200(std::string(200, 'x').c_str()), other("Other");
  const std::vector<Case> cases = {
      {"RunAlert", [] { return RunAlert("Message", 1); }, 0, {322, 460, 442, 820}},
      {"RunSaveAlert", [&] { return RunSaveAlert(message.GetPtr(), other.GetPtr(), 1, 1, 1); }, 0, {295, 464, 399, 816}},
      {"RunChoiceAlert", [&] { return RunChoiceAlert(message.GetPtr(), other.GetPtr()); }, 0, {308, 440, 468, 840}},
      {"RunTextAlert", [&] { return RunTextAlert(text200.GetPtr(), 600, 2, 2); }, kResultCancel, {278, 392, 434, 888}},
      {"RunURLAlert", [] { return RunURLAlert("Message", "https://example.com/", "Fine", 1); }, 0,
       {319, 390, 447, 890}},
      {"RunTextAlert short", [&] { return RunTextAlert(message.GetPtr(), 600, 2, 2); }, kResultCancel,
       {290, 464, 410, 816}},
  };
  for (bool withControls : {true, false}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << c.name << (withControls ? " (in-memory controls)" : " (null controls)"));
      std::unique_ptr<FakeControls> controls;
      if (withControls) controls = std::make_unique<FakeControls>();
      testsupport::RecordingMessageBox boxes;
      const size_t before = backend.log().size();
      static std::vector<std::string> seen;
      seen.clear();
      // The port is made current on the shown window by every alert.
      DisplayServices services{};
      services.setPortToWindow = [](WindowRef window) {
        Rect r{};
        GetWindowRegionRect(window, kWindowContentRgn, &r);
        seen.push_back(std::string(IsWindowRefVisible(window) ? "shown " : "hidden ") + RectText(r));
      };
      RegisterDisplayServices(&services);
      int modalVisible = -1;
      if (controls) controls->onModalLoop = [&](WindowRef w) { modalVisible = IsWindowRefVisible(w); };

      EXPECT_EQ(c.run(), c.answer);

      std::vector<std::string> log(backend.log().begin() + before, backend.log().end());
      ASSERT_GE(log.size(), 3u);
      EXPECT_EQ(log.front().rfind("create ", 0), 0u);
      EXPECT_EQ(backend.windowCount(), 0u);
      size_t creates = 0, shows = 0, destroys = 0;
      for (const auto& line : log) {
        creates += line.rfind("create ", 0) == 0;
        shows += line.rfind("show ", 0) == 0;
        destroys += line.rfind("destroy ", 0) == 0;
      }
      EXPECT_EQ(creates, 1u);
      EXPECT_EQ(shows, 1u);
      EXPECT_EQ(destroys, 1u);
      ASSERT_FALSE(seen.empty());
      const bool textAlert = std::string(c.name).rfind("RunTextAlert", 0) == 0;
      // The text alert's only time on screen is while events drain.
      EXPECT_EQ(seen.back(), (textAlert ? "shown " : "hidden ") + RectText(c.rect));
      if (controls && !textAlert) {
        EXPECT_EQ(modalVisible, 1);
      }
      EXPECT_TRUE(boxes.boxes().empty());
      EXPECT_TRUE(backend.openedTexts().empty());
      EXPECT_TRUE(AlertPartIsInitial());
      RegisterDisplayServices(nullptr);
    }
  }
}

TEST_F(AlertsTest, RunModalNibWindowKeepsMenuModeAndCursorRules) {
  static SInt32 menuMode = 0;
  gDisplayHooks.enterMenuMode = [] { menuMode = 1; };
  gDisplayHooks.leaveMenuMode = [] { menuMode = 0; };
  gDisplayHooks.inMenuMode = [] { return menuMode; };
  for (int start = 0; start < 2; ++start) {
    SCOPED_TRACE(start ? "menu mode, cursor shown" : "play state, cursor hidden");
    FakeControls controls;
    menuMode = start;
    gCursorVisible = static_cast<UInt8>(start);
    const size_t cursorCallsBefore = backend.cursorCalls().size();
    const Rect bounds{100, 100, 200, 300};
    WindowRef window = NewDialogWindow(bounds, PStr("").GetPtr(), 0);
    ASSERT_NE(window, nullptr);
    DialogDefaults.extraWidth = 9;
    int loopMenuMode = -1, loopCursor = -1;
    controls.onModalLoop = [&](WindowRef) {
      loopMenuMode = menuMode;
      loopCursor = gCursorVisible;
    };
    EXPECT_EQ(RunModalNibWindow(window, nullptr, 0), 0u);
    EXPECT_EQ(loopMenuMode, 1);
    EXPECT_EQ(loopCursor, 1);
    EXPECT_EQ(menuMode, start);
    EXPECT_EQ(gCursorVisible, start);
    EXPECT_EQ(backend.cursorCalls().size() - cursorCallsBefore, start ? 0u : 2u);
    EXPECT_TRUE(AlertPartIsInitial());
    EXPECT_TRUE(IsWindowRefVisible(window));
    DisposeWindowRef(window);
  }
  // No window: the defaults are reset and nothing runs.
  FakeControls controls;
  DialogDefaults.sheet = 1;
  EXPECT_EQ(RunModalNibWindow(nullptr, nullptr, 0), 0u);
  EXPECT_EQ(controls.modalRuns, 0);
  EXPECT_TRUE(AlertPartIsInitial());
}

TEST_F(AlertsTest, FailedWindowCreationStillAnswers) {
  backend.failWindowCreate = true;
  FakeControls controls;
  EXPECT_EQ(RunAlert("x", 0), 0u);
  EXPECT_EQ(RunTextAlert(PStr("x").GetPtr(), 1, 1, 1), kResultCancel);
  EXPECT_EQ(controls.modalRuns, 0);
  EXPECT_TRUE(AlertPartIsInitial());
}

TEST_F(AlertsTest, KeyFilters) {
  SInt16 item = 0;
  EventRec ret{kKeyDownEvent, 13, 0, {0, 0}, 0}, up{kKeyUpEvent, 13, 0, {0, 0}, 0}, a{kKeyDownEvent, 'a', 0, {0, 0}, 0};
  EXPECT_TRUE(DefaultButtonKeyFilter(nullptr, &ret, &item));
  EXPECT_EQ(item, 1);
  item = 0;
  EXPECT_FALSE(DefaultButtonKeyFilter(nullptr, &up, &item));
  EXPECT_FALSE(DefaultButtonKeyFilter(nullptr, &a, &item));
  EXPECT_EQ(item, 0);

  const Rect bounds{0, 0, 10, 10};
  WindowRef dialog = NewDialogWindow(bounds, PStr("").GetPtr(), 0);
  RunTextAlert(PStr("x").GetPtr(), 60, 4, 5);  // stores delay and items
  EventRec escape{kKeyDownEvent, 27, 0, {0, 0}, 0}, dot{kKeyDownEvent, '.', 0, {0, 0}, 0x0008};
  EXPECT_FALSE(AlertKeyFilter(dialog, &escape, &item));  // first call starts the clock
  clock.AdvanceMilliseconds(500);
  EXPECT_FALSE(AlertKeyFilter(dialog, &a, &item));
  EXPECT_TRUE(AlertKeyFilter(dialog, &escape, &item));
  EXPECT_EQ(item, 4);
  EXPECT_EQ(escape.what, 0);
  EXPECT_TRUE(AlertKeyFilter(dialog, &dot, &item));
  EXPECT_EQ(item, 4);
  clock.AdvanceMilliseconds(600);
  EXPECT_TRUE(AlertKeyFilter(dialog, &a, &item));
  EXPECT_EQ(item, 5);
  DisposeWindowRef(dialog);
}

TEST_F(AlertsTest, DefaultsCarryTheDialogHandlersAndFilters) {
  EXPECT_EQ(DialogDefaults.controlEventHandler, &DialogControlEventHandler);
  EXPECT_EQ(DialogDefaults.passwordHandler, &PasswordEventHandler);
  EXPECT_EQ(DialogDefaults.passwordPairHandler, &PasswordPairEventHandler);
  EXPECT_EQ(DialogDefaults.defaultButtonFilter, &DefaultButtonKeyFilter);
  EXPECT_EQ(DialogDefaults.alertKeyFilter, &AlertKeyFilter);
  EXPECT_EQ(NibHandlerTable[kStandardDialogHandler], &StandardDialogHandler);
}

}  // namespace
