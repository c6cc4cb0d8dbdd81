#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "DialogDefaults.h"
#include "DisplayHooks.h"
#include "ResultCodes.h"
#include "ShellServices.h"
#include "ShellTestSupport.h"
#include "Startup.h"
#include "Strings.h"

namespace {

using StartupSlicesTest = ShellTest;

TEST_F(StartupSlicesTest, DialogDefaultsHoldTheirInitialValues) {
  InitDialogDefaults();
  const DialogDefaultsRecord& d = DialogDefaults;
  EXPECT_NE(d.controlEventHandler, nullptr);
  EXPECT_NE(d.alertKeyFilter, nullptr);
  EXPECT_EQ(d.controlFont.flags, 255);
  EXPECT_EQ(d.controlFont.size, 12);
  EXPECT_EQ(d.controlFont.foreColor.red, 0);
  EXPECT_EQ(d.controlFont.backColor.blue, 65535);
  EXPECT_EQ(d.iconID, 65535);
  EXPECT_EQ(d.iconType, FOUR_CHAR_CODE("????"));
  EXPECT_EQ(d.cancelAllowed, 1);
  EXPECT_TRUE(PStrEqualsCStr(d.defaultText, "OK"));
  EXPECT_TRUE(PStrEqualsCStr(d.cancelText, "Cancel"));
  EXPECT_EQ(d.otherText[0], 0);
  EXPECT_EQ(d.parent, nullptr);
  EXPECT_EQ(d.sheet, 0);
  EXPECT_EQ(d.dialogHandlerFlag, 1);
}

TEST_F(StartupSlicesTest, ResetAlertDefaultsRestoresTheAlertPartOnly) {
  InitDialogDefaults();
  const DialogDefaultsRecord initial = DialogDefaults;
  DialogDefaults.delay = 99;  // outside the alert part
  DialogDefaults.extraWidth = 256;
  DialogDefaults.extraHeight = 96;
  DialogDefaults.extraButtonWidth = 5;
  DialogDefaults.iconID = 3;
  DialogDefaults.reservedFlag = 1;
  DialogDefaults.iconType = FOUR_CHAR_CODE("APPL");
  DialogDefaults.cancelAllowed = 0;
  CToPStr("Save", DialogDefaults.defaultText);
  CToPStr("Stop", DialogDefaults.cancelText);
  CToPStr("Later", DialogDefaults.otherText);
  DialogDefaults.reserved[2] = 1;
  DialogDefaults.parent = WindowFromId(4);
  DialogDefaults.sheet = 1;
  DialogDefaults.dialogHandlerFlag = 0;
  ResetAlertDefaults();
  const DialogDefaultsRecord& d = DialogDefaults;
  EXPECT_EQ(d.delay, 99);
  EXPECT_EQ(d.extraWidth, initial.extraWidth);
  EXPECT_EQ(d.extraHeight, initial.extraHeight);
  EXPECT_EQ(d.extraButtonWidth, initial.extraButtonWidth);
  EXPECT_EQ(d.iconID, initial.iconID);
  EXPECT_EQ(d.reservedFlag, initial.reservedFlag);
  EXPECT_EQ(d.iconType, initial.iconType);
  EXPECT_EQ(d.cancelAllowed, initial.cancelAllowed);
  EXPECT_TRUE(PStrEqual(d.defaultText, initial.defaultText));
  EXPECT_TRUE(PStrEqual(d.cancelText, initial.cancelText));
  EXPECT_TRUE(PStrEqual(d.otherText, initial.otherText));
  EXPECT_EQ(d.reserved[2], 0);
  EXPECT_EQ(d.parent, nullptr);
  EXPECT_EQ(d.sheet, 0);
  EXPECT_EQ(d.dialogHandlerFlag, 1);
}

TEST_F(StartupSlicesTest, NibUrlServiceAndLinkCursor) {
  EXPECT_EQ(OpenEngineNib(), kErrNibFileNotFound);
  EXPECT_EQ(EngineNib, nullptr);
  EXPECT_EQ(StartURLService(), 0);
  EXPECT_EQ(StartURLService(), 0);
  EXPECT_EQ(StopURLService(), 0);
  InitLinkCursor();
  EXPECT_EQ(GetLinkCursor(), nullptr);
}

ScriptedBackend* gOpenBackend = nullptr;
std::vector<size_t> gOpenedAtSwitch;

TEST_F(StartupSlicesTest, OpenURLLeavesFullScreenFirstAndAlwaysAnswersZero) {
  gOpenBackend = &backend;
  gOpenedAtSwitch.clear();
  gDisplayHooks.setFullScreen = [](UInt32 on) {
    EXPECT_EQ(on, 0u);
    gOpenedAtSwitch.push_back(gOpenBackend->openedTexts().size());
  };
  backend.SetOpenResult(-1);  // the opener fails
  EXPECT_EQ(OpenURLInShell("mailto:a@b"), 0);
  gDisplayHooks.setFullScreen = nullptr;
  EXPECT_EQ(gOpenedAtSwitch, std::vector<size_t>{0});
  ASSERT_EQ(backend.openedTexts().size(), 1u);
  EXPECT_EQ(backend.openedTexts()[0], "mailto:a@b");
}

TEST_F(StartupSlicesTest, DefaultOpenerPassesOneArgumentAndDoesNotWait) {
  testsupport::TempDir dir;
  const std::string script = dir / "xdg-open";
  const std::string out = dir / "args";
  ASSERT_TRUE(testsupport::WriteFile(script, "#!/bin/sh\nsleep 1\nprintf '%s\\n' \"$#\" \"$1\" > '" + out + ".tmp'\nmv '" +
                                                 out + ".tmp' '" + out + "'\n"));
  chmod(script.c_str(), 0755);
  const std::string path = dir.path() + ":" + (getenv("PATH") ? getenv("PATH") : "");
  const std::string savedPath = getenv("PATH") ? getenv("PATH") : "";
  setenv("PATH", path.c_str(), 1);
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(DefaultExternalOpener("a b\"c", nullptr), 0);
  const auto spentMs =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - before).count();
  setenv("PATH", savedPath.c_str(), 1);
  EXPECT_LT(spentMs, 900);  // returns before the opener is done
  for (int i = 0; i < 100 && testsupport::ReadFile(out).empty(); ++i) usleep(50000);
  EXPECT_EQ(testsupport::ReadFile(out), "1\na b\"c\n");
}

TEST_F(StartupSlicesTest, ShellEntriesStartAndStopThroughTheList) {
  ResetStartupListForTesting();
  RegisterShellStartup();
  RunStartup();
  EXPECT_EQ(DialogDefaults.dialogHandlerFlag, 1);
  PushEventRec();
  PopEventRec();
  RunShutdown();
  ResetStartupListForTesting();
  InitEventRecStack();  // the fixture's own
}

}  // namespace
