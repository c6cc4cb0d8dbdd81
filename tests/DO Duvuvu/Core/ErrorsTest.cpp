#include "Errors.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "DisplayHooks.h"
#include "Strings.h"
#include "TestSupport.h"

namespace {

// A display hook table that logs every menu-mode call and keeps the mode like
// the real one does.
std::vector<std::string>* gHookLog = nullptr;
SInt32 gMenuMode = 0;

DisplayHookTable RecordingHooks() {
  DisplayHookTable hooks = {};
  hooks.enterMenuMode = [] {
    gHookLog->push_back("Enter");
    gMenuMode = 1;
  };
  hooks.leaveMenuMode = [] {
    gHookLog->push_back("Leave");
    gMenuMode = 0;
  };
  hooks.inMenuMode = [] { return gMenuMode; };
  return hooks;
}

class ErrorReporting : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = gDisplayHooks;
    gHookLog = &log_;
    box_.onBox = [this](const testsupport::RecordingMessageBox::Box&) { log_.push_back("box"); };
  }
  void TearDown() override {
    gDisplayHooks = saved_;
    gHookLog = nullptr;
  }

  std::vector<std::string> log_;
  testsupport::RecordingMessageBox box_;
  DisplayHookTable saved_;
};

TEST_F(ErrorReporting, AlertInPlayEntersMenuModeAndLeavesIt) {
  gDisplayHooks = RecordingHooks();
  gMenuMode = 0;
  EXPECT_EQ(AlertMessage("disk full", "Saver()", "OK"), 1);
  EXPECT_EQ(log_, (std::vector<std::string>{"Enter", "box", "Leave"}));
  ASSERT_EQ(box_.boxes().size(), 1u);
  EXPECT_EQ(box_.boxes()[0].caption, "Saver()");
  EXPECT_EQ(box_.boxes()[0].text, "Alert: disk full");
  EXPECT_EQ(gMenuMode, 0);
}

TEST_F(ErrorReporting, AlertInMenuModeStaysInMenuMode) {
  gDisplayHooks = RecordingHooks();
  gMenuMode = 1;
  PStr message("m"), location("");
  EXPECT_EQ(AlertMessageP(message.GetPtr(), location.GetPtr(), "OK"), 1);
  EXPECT_EQ(log_, (std::vector<std::string>{"Enter", "box"}));
  EXPECT_EQ(gMenuMode, 1);
  EXPECT_EQ(box_.boxes()[0].caption, "");
}

TEST_F(ErrorReporting, AlertWithNoHooksShowsOnlyTheBox) {
  gDisplayHooks = {};
  std::string long300(300, 'a');
  EXPECT_EQ(AlertMessage(long300.c_str(), "L"), 1);
  EXPECT_EQ(log_, (std::vector<std::string>{"box"}));
  EXPECT_EQ(box_.boxes()[0].text, "Alert: " + std::string(248, 'a'));
}

// Fatal paths end the process, so each runs in a child.

TEST(FatalError, CutsTheMessageExitsWith1AndRunsExitHandlers) {
  auto result = testsupport::RunInChild([] {
    gDisplayHooks = {};
    std::atexit([] { std::fputs("handlers ran", stdout); });
    std::string long300(300, 'x');
    FatalError(long300.c_str(), "Loc", 0, 1);
  });
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.stderrText, "Loc: Error: " + std::string(248, 'x') + "\n");
  EXPECT_EQ(result.stdoutText, "handlers ran");
}

TEST(FatalError, EntersMenuModeBeforeTheBox) {
  auto result = testsupport::RunInChild([] {
    gDisplayHooks = {};
    gDisplayHooks.enterMenuMode = [] { std::fputs("Enter|", stderr); };
    FatalError("broken", "Where()", 1, 1);
  });
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.stderrText, "Enter|Where(): Error: broken\n");
}

TEST(FatalError, CaptionsOfEveryForm) {
  struct Row {
    const char* name;
    std::function<void()> call;
    std::string box;  // caption|text
  } rows[] = {
      {"number", [] { FatalErrorNum("m", -43, 0, 0); }, "-43|Error: m"},
      {"number P", [] { FatalErrorNumP(PStr("n").GetPtr(), 7); }, "7|Error: n"},
      {"empty location", [] { FatalError("msg", ""); }, "|Error: msg"},
      {"P form", [] { FatalErrorP(PStr("p").GetPtr(), PStr("Tag::Get()").GetPtr()); }, "Tag::Get()|Error: p"},
  };
  for (const Row& row : rows) {
    auto result = testsupport::RunInChild([&row] {
      // The box goes to stdout, so the caption is seen exactly.
      static testsupport::RecordingMessageBox* box = new testsupport::RecordingMessageBox;
      box->onBox = [](const testsupport::RecordingMessageBox::Box& b) {
        std::printf("%s|%s", b.caption.c_str(), b.text.c_str());
      };
      row.call();
    });
    EXPECT_EQ(result.exitStatus, 1) << row.name;
    EXPECT_EQ(result.stdoutText, row.box) << row.name;
  }
}

}  // namespace
