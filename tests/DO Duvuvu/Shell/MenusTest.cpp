#include <cstdlib>
#include <vector>

#include "AppCallbacks.h"
#include "Menus.h"
#include "ShellTestSupport.h"
#include "Strings.h"

namespace {

using MenusTest = ShellTest;

TEST_F(MenusTest, ItemFindersFindNothingAndIdsStartAt128) {
  Str255 text;
  CToPStr("Small/1", text);
  EXPECT_EQ(FindMenuItemByText(nullptr, text, 1), -1);
  EXPECT_EQ(CheckMenuItemByText(nullptr, text, 1), -1);
  EXPECT_EQ(EnableMenuItemByText(nullptr, text), -1);
  EXPECT_EQ(DisableMenuItemByText(nullptr, text), -1);
  EXPECT_EQ(FindFreeMenuID(), 128);
}

TEST_F(MenusTest, ApplicationMenuRecordsTheFlatTaskbarAndRunsTheSetUp) {
  static int setups = 0;
  setups = 0;
  const AppCallbackTable saved = AppCallbacks;
  AppCallbacks.menuSetup = [] {
    ++setups;
    BuildWindowMenu(131);
  };
  BuildApplicationMenu(0);
  AppCallbacks = saved;
  EXPECT_EQ(setups, 1);
  EXPECT_EQ(gMenuBar.built, 1);
  EXPECT_EQ(gMenuBar.height, 0);
  EXPECT_EQ(gMenuBar.globalRect.top, 1024);
  EXPECT_EQ(gMenuBar.globalRect.bottom, 1024);
  EXPECT_EQ(gMenuBar.windowMenuID, 131);
  EXPECT_EQ(gMenuBar.fullScreenItem, 1);
  EXPECT_TRUE(IsTaskbarVisible());
  BuildApplicationMenu(1);  // hides the taskbar before the display system runs
  EXPECT_FALSE(IsTaskbarVisible());
  ShowMenuBarIfHidden();
  EXPECT_TRUE(IsTaskbarVisible());
}

MenuNameList* MakeList(const std::vector<const char*>& names) {
  auto* list = static_cast<MenuNameList*>(std::calloc(1, sizeof(MenuNameList) + names.size() * sizeof(Str255)));
  list->count = static_cast<SInt16>(names.size());
  for (size_t i = 0; i < names.size(); ++i) CToPStr(names[i], list->names[i]);
  return list;
}

TEST_F(MenusTest, AlphabeticOrderIgnoresCaseAndKeepsEqualNamesInOrder) {
  MenuNameList* list = MakeList({"delta", "Alpha", "charlie", "ALPHA", "bravo", "alpha"});
  std::vector<SInt16> order(static_cast<size_t>(list->count));
  SortMenuNames(list, order.data());
  EXPECT_EQ(order, (std::vector<SInt16>{1, 3, 5, 4, 2, 0}));
  BuildMenuAlphabetic(nullptr, list);  // appends to no menu here, and must not fail
  list->count = 0;
  BuildMenuAlphabetic(nullptr, list);
  std::free(list);
}

}  // namespace
