#include <cstring>
#include <string>
#include <vector>

#include "AppleEvents.h"
#include "DialogControls.h"
#include "DialogItems.h"
#include "DialogTestSupport.h"
#include "FieldMonitors.h"
#include "NibWindows.h"
#include "RefObjects.h"
#include "ShellServices.h"
#include "Alerts.h"

namespace {

class DialogControlsTest : public DialogShellTest {
 protected:
  void TearDown() override {
    RegisterDisplayServices(nullptr);
    DialogShellTest::TearDown();
  }
  ControlRef Field(FakeControls& controls, const char* text) {
    Rect r{0, 0, 20, 100};
    return AddDialogItem(nullptr, &r, kItemEditText, PStr(text).GetPtr(), 0, 0, 0);
    (void)controls;
  }
  static EventRef KeyEvent(char c) {
    EventRef e = nullptr;
    MacCreateEvent(nullptr, kEventClassKeyboard, 1, 0, 0, &e);
    e->param = static_cast<UInt8>(c);
    return e;
  }
  static EventRef ValueChanged() {
    EventRef e = nullptr;
    MacCreateEvent(nullptr, kEventClassControl, 7, 0, 0, &e);
    return e;
  }
};

std::string TextOf(ControlRef c) { return FakeControls::Fake(c)->data[FOUR_CHAR_CODE("text")]; }

TEST_F(DialogControlsTest, ItemsFitTheirText) {
  FakeControls controls;
  DisplayServices services{};
  services.measureText = [](ConstStr255Param text, SInt16) { return static_cast<SInt16>(text[0] * 10); };
  RegisterDisplayServices(&services);
  Rect check{0, 20, 12, 30};
  AddDialogItem(nullptr, &check, kItemCheckBox, PStr("abcd").GetPtr(), 5, 3, 9);
  EXPECT_EQ(check.right, 88);
  EXPECT_EQ(controls.controls[0]->minimum, 0);
  EXPECT_EQ(controls.controls[0]->maximum, 1);
  Rect text16{10, 40, 26, 40}, text17{10, 40, 27, 40};
  AddDialogItem(nullptr, &text16, kItemStaticText, PStr("abc").GetPtr(), 0, 0, 0);
  AddDialogItem(nullptr, &text17, kItemStaticText, PStr("abc").GetPtr(), 0, 0, 0);
  EXPECT_EQ(text16.right, 82);
  EXPECT_EQ(text17.right, 40);
}

TEST_F(DialogControlsTest, ByteSizesAndFontSizes) {
  struct Case {
    UInt32 count;
    const char* text;
  };
  for (const Case& c : {Case{3u << 20, "3.0 M"}, Case{512u << 10, "512.0 K"}, Case{1536, "1.5 K"}}) {
    Str255 text = {0};
    FormatByteSize(c.count, text);
    EXPECT_TRUE(PStrEqualsCStr(text, c.text)) << CStr(text).GetPtr();
  }
  static int applied = 0;
  gSystemCalls.applyControlFontStyle = [](ControlRef, const void*) -> OSErr { return static_cast<OSErr>(++applied); };
  EXPECT_EQ(SetControlFontSize(nullptr, 14), 14);
  EXPECT_EQ(applied, 0);
}

TEST_F(DialogControlsTest, FieldMonitorsFilterKeysAndClamp) {
  FakeControls controls;
  ControlRef field = Field(controls, "12");
  IntegerRange range{1, 9, 1};
  EventRef changed = ValueChanged();
  IntegerFieldHandler(field, changed, &range);
  EXPECT_EQ(TextOf(field), "9");
  FakeControls::Fake(field)->data[FOUR_CHAR_CODE("text")] = "";
  IntegerFieldHandler(field, changed, &range);
  EXPECT_EQ(TextOf(field), "");
  range.allowEmpty = 0;
  IntegerFieldHandler(field, changed, &range);
  EXPECT_EQ(TextOf(field), "1");

  struct KeyCase {
    char key;
    float minimum;
    bool passes;
  };
  for (const KeyCase& k : {KeyCase{'-', 0, false}, KeyCase{'-', -1, true}, KeyCase{'5', 0, true},
                           KeyCase{'.', 0, true}, KeyCase{'a', 0, false}, KeyCase{' ', 0, false}}) {
    RealRange real{k.minimum, 10, 0, 0, 2};
    EventRef key = KeyEvent(k.key);
    EXPECT_EQ(RealFieldHandler(field, key, &real), k.passes ? kEventNotHandledErr : 0) << k.key << k.minimum;
    ReleaseEvent(key);
  }
  EventRef letter = KeyEvent('x');
  EXPECT_EQ(IntegerFieldHandler(field, letter, &range), 0);
  EXPECT_EQ(AlphaFieldHandler(field, letter, nullptr), kEventNotHandledErr);
  ReleaseEvent(letter);
  ReleaseEvent(changed);
}

TEST_F(DialogControlsTest, IntegerFieldsClampEveryTextIntoTheirRange) {
  struct Case {
    const char* text;
    IntegerRange range;
    const char* shown;
  };
  const Case cases[] = {
      {"5", {-10, 10, 0}, "5"},
      {"-5", {-10, 10, 0}, "-5"},
      {"abc", {3, 10, 0}, "3"},
      {"", {3, 10, 0}, "3"},
      {"", {3, 10, 1}, ""},
      {"-40", {-10, 10, 0}, "-10"},
      {"99999999999999999999", {0, 1e19f, 0}, "9223372036854775807"},
      {"9223372036854775807", {0, 1e19f, 0}, "9223372036854775807"},
      {"-99999999999999999999", {-1e19f, 0, 0}, "-9223372036854775808"},
      {"3", {1e19f, 3e38f, 0}, "9223372036854775807"},
      {"3", {-3e38f, -1e19f, 0}, "-9223372036854775808"},
  };
  FakeControls controls;
  ControlRef field = Field(controls, "");
  for (const Case& c : cases) {
    FakeControls::Fake(field)->data[FOUR_CHAR_CODE("text")] = c.text;
    ClampIntegerField(field, &c.range);
    EXPECT_EQ(TextOf(field), c.shown) << '"' << c.text << "\" in " << c.range.minimum << ".." << c.range.maximum;
  }
}

TEST_F(DialogControlsTest, ControlRangesNeverDivideByZero) {
  FakeControls controls;
  Rect r{0, 0, 10, 10};
  ControlRef c = AddDialogItem(nullptr, &r, kItemPopupButton, PStr("").GetPtr(), 5, 5, 5);
  EXPECT_EQ(ControlValueToRange(c, 100, 200), 100);
  EXPECT_EQ(RangeToControlValue(150, c, 100, 200), 5);
  FakeControls::Fake(c)->maximum = 15;
  FakeControls::Fake(c)->value = 10;
  EXPECT_EQ(ControlValueToRange(c, 0, 100), 50);
  EXPECT_EQ(ControlValueToRange(nullptr, 0, 100), 0);
}

// Menus the pop-up tests can find: 130 titled "Levels", 131 with no title.
struct MenuTitles {
  static inline int menus[2];
  static inline int lookups = 0;
  static void* Find(SInt16 id) {
    ++lookups;
    return id == 130 ? &menus[0] : id == 131 ? &menus[1] : nullptr;
  }
  static void Title(void* menu, StringPtr out) {
    if (menu == &menus[0]) CToPStr("Levels", out);
  }
};

TEST_F(DialogControlsTest, PopupMenuControlsTakeTheMenusTitleWhenGivenNone) {
  struct Case {
    const char* title;  // nil: no title at all
    SInt16 menu;
    const char* shown;
    int lookups;
  };
  const Case cases[] = {
      {"Sound", 130, "Sound", 0}, {"", 130, "Levels", 1}, {nullptr, 130, "Levels", 1},
      {"", 131, "", 1},           {"", 999, "", 1},
  };
  WindowRef dialog = reinterpret_cast<WindowRef>(0x1000);
  for (const Case& c : cases) {
    FakeControls controls;
    gSystemCalls.getMenu = MenuTitles::Find;
    gSystemCalls.getMenuTitle = MenuTitles::Title;
    MenuTitles::lookups = 0;
    Str255 title;
    if (c.title) CToPStr(c.title, title);
    ControlRef made = NewPopupMenuControl(dialog, c.menu, 77, 40, c.title ? title : nullptr);
    ASSERT_EQ(controls.controls.size(), 1u);
    const FakeControl& popup = *controls.controls[0];
    EXPECT_EQ(made, &popup);
    EXPECT_EQ(popup.title, c.shown) << c.title;
    EXPECT_EQ(MenuTitles::lookups, c.lookups) << c.title;
    EXPECT_EQ(popup.kind, 1008);
    EXPECT_EQ(popup.window, dialog);
    EXPECT_EQ(popup.minimum, c.menu);
    EXPECT_EQ(popup.maximum, 40);
    EXPECT_EQ(popup.reference, 77);
    EXPECT_TRUE(popup.visible);
    EXPECT_TRUE(SameRect(popup.bounds, 0, 0, 0, 0)) << RectText(popup.bounds);
  }
  // The system's own table: no menu is found and no control made.
  ResetSystemCalls();
  EXPECT_EQ(NewPopupMenuControl(dialog, 130, 0, 0, PStr("").GetPtr()), nullptr);
}

TEST_F(DialogControlsTest, AFailingSetterEndsTheProgram) {
  auto child = testsupport::RunInChild([] {
    FakeControls controls;
    controls.failSetData = -50;
    controls.failSetDataTag = FOUR_CHAR_CODE("text");
    Rect r{0, 0, 10, 10};
    AddDialogItem(nullptr, &r, kItemStaticText, PStr("x").GetPtr(), 0, 0, 0);
  });
  EXPECT_TRUE(child.exited);
  EXPECT_EQ(child.exitStatus, 1);
  EXPECT_NE(child.stderrText.find("Error: SetControlText() failed."), std::string::npos) << child.stderrText;
  EXPECT_NE(child.stderrText.find("-50"), std::string::npos);
}

TEST_F(DialogControlsTest, NibDialogsReportBothFailures) {
  static int nibCalls = 0;
  nibCalls = 0;
  gSystemCalls.createWindowFromNib = [](void*, const void*, WindowRef*) -> OSStatus { return ++nibCalls, -10962; };
  EXPECT_EQ(GetNibWindow(nullptr, "Progress"), nullptr);
  EXPECT_EQ(nibCalls, 0);
  testsupport::RecordingMessageBox boxes;
  EXPECT_EQ(RunNibDialog("DO Duvuvu", "Password", nullptr, 0), kResultCancel);
  ASSERT_EQ(boxes.boxes().size(), 2u);
  EXPECT_EQ(boxes.boxes()[0].text, "Alert: CreateNibReference() failed.");
  EXPECT_EQ(boxes.boxes()[0].caption, "-10960");
  EXPECT_EQ(boxes.boxes()[1].text, "Alert: CreateWindowFromNib() failed.");
  EXPECT_EQ(boxes.boxes()[1].caption, "-10962");
}

TEST_F(DialogControlsTest, FatalPaths) {
  struct Case {
    const char* name;
    std::function<void()> run;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"NewFeaturesDialog",
       [] { NewFeaturesDialog(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); },
       "NewFeaturesDialog() is not available."},
      {"InstallAppleEventHandlers", [] { InstallAppleEventHandlers(); }, "Apple events are not available!"},
      {"FieldMonitorHandler", [] { FieldMonitorHandler(nullptr, nullptr, nullptr); }, "FieldMonitor pointer is nil."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto child = testsupport::RunInChild(c.run);
    EXPECT_TRUE(child.exited);
    EXPECT_EQ(child.exitStatus, 1);
    EXPECT_NE(child.stderrText.find(c.message), std::string::npos) << child.stderrText;
  }
}

OSErr FakePrevious(const void*, void*, void* refcon) { return static_cast<OSErr>(reinterpret_cast<intptr_t>(refcon)); }

TEST_F(DialogControlsTest, AppleEventHandlersChain) {
  using Handler = OSErr (*)(const void*, void*, void*);
  const std::pair<AppleEventSlot, Handler> handlers[] = {
      {kOpenApp, OpenApplicationHandler}, {kPrintDocs, PrintDocumentsHandler}, {kQuitApp, QuitApplicationHandler},
      {kPrefs, PreferencesHandler},       {kGetURL, GetURLHandler},           {kEngineEvent, EngineInteractHandler},
      {kOpenDocs, OpenDocumentsHandler}};
  for (const auto& [slot, handler] : handlers) {
    PreviousAppleEventHandlers[slot] = PreviousHandler{};
    EXPECT_EQ(handler(nullptr, nullptr, nullptr), 0) << slot;
    PreviousAppleEventHandlers[slot] = PreviousHandler{FakePrevious, reinterpret_cast<void*>(intptr_t{-1708})};
    EXPECT_EQ(handler(nullptr, nullptr, nullptr), -1708) << slot;
    PreviousAppleEventHandlers[slot] = PreviousHandler{};
  }
}

TEST_F(DialogControlsTest, AFullURLItemReachesTheHookTerminated) {
  static std::string seen;
  gSystemCalls.countItems = [](const void*, SInt32* count) -> OSErr { return *count = 1, 0; };
  gSystemCalls.getNthItem = [](const void*, SInt32, OSType, OSType*, OSType*, void* buffer, SInt32 size,
                               SInt32* actual) -> OSErr {
    std::memset(buffer, 'u', size);
    *actual = 1100;  // more than there was room for
    return 0;
  };
  std::memset(AppleEventURLBuffer, 'z', sizeof AppleEventURLBuffer);
  OpenURLHook = [](const char* url) { seen = url; };
  EXPECT_EQ(GetURLHandler(nullptr, nullptr, nullptr), 0);
  OpenURLHook = nullptr;
  EXPECT_EQ(seen, std::string(1099, 'u'));
}

TEST_F(DialogControlsTest, ShellServices) {
  static std::string script;
  gSystemCalls.compileScript = [](void*, const char* text, SInt32 length, void**) -> OSErr {
    script.assign(text, length);
    return 0;
  };
  EXPECT_EQ(RevealPathInFinder("games/a"), 0);
  EXPECT_EQ(script,
            "tell application \"Finder\"\n  activate\n  set filePath to \"games/a\"\n  reveal filePath as POSIX "
            "file\nend tell");
  EXPECT_EQ(RunScriptForResult("x", 1, nullptr, nullptr), -50);
  EXPECT_EQ(OpenPreferencePane(PStr("com.example.pane").GetPtr()), -43);

  // The path from its 51st character on: nothing for 50 or fewer.
  struct PathCase {
    int length;
    const char* shown;
  };
  for (const PathCase& c : {PathCase{20, ""}, PathCase{50, ""}, PathCase{51, "9"}, PathCase{60, "0123456789"}}) {
    SCOPED_TRACE(c.length);
    const std::string path = "/" + std::string(c.length - 12, 'p') + "/0123456789";
    StringObject* text = CreateString(nullptr, path.c_str(), kDefaultTextEncoding);
    URLObject* url = CreateURLWithPath(nullptr, text, 0, 0);
    ReleaseObject(text);
    testsupport::RecordingMessageBox boxes;
    ShowURLPathAlert(url);
    ReleaseObject(url);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, std::string("Alert: ") + c.shown);
  }
}

}  // namespace
