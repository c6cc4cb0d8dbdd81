#include <string>

#include "DialogItems.h"
#include "DialogTestSupport.h"
#include "NibDialogs.h"
#include "NibWindows.h"
#include "PasswordDialogs.h"

namespace {

class NibDialogsTest : public DialogShellTest {};

TEST_F(NibDialogsTest, ProgressWindowIsFatalWithoutTheNib) {
  auto child = testsupport::RunInChild([] { ShowProgressWindow(PStr("T").GetPtr(), 1, PStr("x").GetPtr()); });
  EXPECT_TRUE(child.exited);
  EXPECT_EQ(child.exitStatus, 1);
  EXPECT_NE(child.stderrText.find("GetNibWindow() failed."), std::string::npos) << child.stderrText;
  EXPECT_EQ(IsProgressWindowOpen(), 0);
  EXPECT_EQ(CloseProgressWindow(), 0);
}

TEST_F(NibDialogsTest, APasswordPairRunNobodyConfirmedKeepsThePassword) {
  FakeControls controls;
  Str255 password;
  CToPStr("secret", password);
  DialogDefaults.cancelAllowed = 0;
  EXPECT_EQ(RunPasswordPairDialog(PStr("New password").GetPtr(), password, PStr("Remove it?").GetPtr()), 0u);
  EXPECT_TRUE(PStrEqualsCStr(password, "secret"));
  EXPECT_EQ(controls.modalRuns, 1);
  const auto buttons = controls.OfKind(kItemPushButton);
  ASSERT_EQ(buttons.size(), 3u);
  EXPECT_EQ(buttons[0]->title, "Set");
  EXPECT_FALSE(buttons[0]->enabled);
  EXPECT_EQ(buttons[1]->title, "Cancel");
  EXPECT_FALSE(buttons[1]->visible);
  EXPECT_EQ(buttons[2]->title, "None");
  EXPECT_EQ(buttons[2]->command, FOUR_CHAR_CODE("clea"));
  EXPECT_EQ(controls.OfKind(kItemEditText).size(), 2u);
  EXPECT_TRUE(AlertPartIsInitial());
  EXPECT_EQ(backend.windowCount(), 0u);
  EXPECT_EQ(RunPasswordDialog(PStr("m").GetPtr(), PStr("p").GetPtr()), 0u);  // no Nib window
}

// No event here can carry the Set button, so its press never reaches the
// dialog's handler: this stand-in hands the typing to the real handler and
// answers the hit as the real one does when both entries match.
OSStatus ConfirmingPairHandler(EventHandlerCallRef call, EventRef event, void* record) {
  if (GetEventRecordClass(event) == kEventClassKeyboard) return PasswordPairEventHandler(call, event, record);
  static_cast<PasswordDialogRecord*>(record)->result = kResultOK;
  return noErr;
}

void SendToWindow(WindowRef window, UInt32 eventClass, UInt32 kind, UInt32 param) {
  EventRef event = nullptr;
  MacCreateEvent(nullptr, eventClass, kind, 0, 0, &event);
  event->param = param;
  SendEventToWindow(event, window);
  ReleaseEvent(event);
}

TEST_F(NibDialogsTest, APasswordPairRunConfirmedTakesTheFirstEntry) {
  struct Case {
    std::string typed;
    std::string password;
  };
  DialogDefaults.passwordPairHandler = ConfirmingPairHandler;
  for (const Case& c : {Case{"hunter2", "hunter2"}, Case{std::string(31, 'n'), std::string(31, 'n')}}) {
    SCOPED_TRACE(c.typed);
    FakeControls controls;
    controls.onModalLoop = [&](WindowRef window) {
      for (const auto& control : controls.controls)
        if (control->kind == kItemEditText) control->data[FOUR_CHAR_CODE("pass")] = c.typed;
      SendToWindow(window, kEventClassKeyboard, kEventRawKeyDown, 'A' << 8 | 'a');
      SendToWindow(window, kEventClassControl, 1, 0);
    };
    Str255 password;
    CToPStr("secret", password);
    EXPECT_EQ(RunPasswordPairDialog(PStr("New password").GetPtr(), password, PStr("Remove it?").GetPtr()), kResultOK);
    EXPECT_EQ(CStr(password).GetPtr(), c.password);
    const auto buttons = controls.OfKind(kItemPushButton);
    ASSERT_FALSE(buttons.empty());
    EXPECT_TRUE(buttons[0]->enabled);  // the typing reached the dialog's handler
    EXPECT_TRUE(AlertPartIsInitial());
  }
}

TEST_F(NibDialogsTest, ScaleImageAnswersTheRunAndTimersStopCleanly) {
  Rect r{0, 0, 10, 20};
  const Rect reference{5, 5, 45, 45};
  EXPECT_EQ(RunScaleImageDialog(0, 0, 0, &r, &reference, nullptr), 0u);
  EXPECT_EQ(r.right, 20);  // unchanged without an OK

  static int installs = 0, removals = 0;
  gSystemCalls.installEventLoopTimer = [](double, double, void (*)(void*, void*), void*, void** out) -> OSStatus {
    *out = reinterpret_cast<void*>(static_cast<uintptr_t>(++installs));
    return 0;
  };
  gSystemCalls.removeEventLoopTimer = [](void*) -> OSStatus { return ++removals, 0; };
  DialogTimer timer{};
  StartDialogTimer(&timer, [](DialogTimer*) {}, 7);
  EXPECT_EQ(timer.userValue, 7u);
  StartRepeatingDialogTimer(&timer, [](DialogTimer*) {}, 8);
  EXPECT_EQ(removals, 1);
  StopDialogTimer(&timer);
  EXPECT_EQ(removals, 2);
  EXPECT_EQ(timer.timer, nullptr);
  EXPECT_EQ(timer.userValue, 0u);
}

}  // namespace
