#include <string>

#include "DialogItems.h"
#include "DialogTestSupport.h"
#include "NibDialogs.h"
#include "NibWindows.h"

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
