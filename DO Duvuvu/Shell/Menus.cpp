#include "Menus.h"

#include "AppCallbacks.h"
#include "AppGlobals.h"
#include "DisplayHooks.h"
#include "Errors.h"
#include "EventPoll.h"
#include "FixedResults.h"
#include "Memory.h"
#include "Strings.h"
#include "SystemUI.h"
#include "Windows.h"
#include "WindowRecords.h"

MenuBarState gMenuBar;

namespace {

// The item number an insertion gets: the count + 1 (always 1 here).
MenuItemIndex AppendItem(MenuRef menu, const char* text) {
  const MenuItemIndex item = static_cast<MenuItemIndex>(CountMenuItems(menu) + 1);
  Str255 ptext;
  CToPStr(text, ptext);
  InsertMenuItem(menu, ptext, item - 1);
  return item;
}

}  // namespace

void BuildApplicationMenu(UInt8 hideTaskbar) {
  const unsigned char title[] = {1, 0x14};
  MenuRef menu = NewMenu(kApplicationMenuID, title);
  Str255 about;
  CToPStr("About ", about);
  PStrAppend(ApplicationName, about);
  PStrAppendChar31(0xC9, about);  // the ellipsis
  InsertMenuItem(menu, about, 0);
  InsertMenu(menu, 0);
  if (AppCallbacks.menuSetup) AppCallbacks.menuSetup();
  gMenuBar.built = 1;
  RedrawMenuBar();
  gMenuBar.height = GetMenuBarHeight();
  GetTaskbarRect(&gMenuBar.globalRect);
  if (hideTaskbar && !gDisplaySystemInUse) HideMenuBarIfShown();
}

void BuildWindowMenu(MenuID menuID) {
  gMenuBar.windowMenuID = menuID;
  const unsigned char title[] = {6, 'W', 'i', 'n', 'd', 'o', 'w'};
  MenuRef menu = NewMenu(menuID, title);
  AppendItem(menu, "Small/1");
  AppendItem(menu, "Large/2");
  AppendItem(menu, "-");
  gMenuBar.fullScreenItem = AppendItem(menu, "Full Screen/F");
  CheckMenuItem(menu, gMenuBar.fullScreenItem, IsFullScreen() != 0);
  InsertMenu(menu, 0);
}

void AddPlayStateMenuItems(Boolean withQuitMenu) {
  if (withQuitMenu) {
    MenuRef quitMenu = NewMenu(kPlayStateMenuID, reinterpret_cast<const unsigned char*>("\x01 "));
    gMenuBar.playStateQuitItem = AppendItem(quitMenu, " /Q");
    InsertMenu(quitMenu, 0);
  }
  MenuRef app = GetMenuByID(kApplicationMenuID);
  for (MenuCommand command : {FOUR_CHAR_CODE("pref"), FOUR_CHAR_CODE("hide"), FOUR_CHAR_CODE("hido"),
                              FOUR_CHAR_CODE("quit")})
    DisableMenuCommand(app, command);
  gMenuBar.hideItem = AppendItem(app, "hide/H");
  gMenuBar.hideOthersItem = AppendItem(app, "hide others/H");
}

void HideMenuBarIfShown() {
  if (IsTaskbarVisible()) HideTaskbar();
}

void ShowMenuBarIfHidden() {
  if (!IsTaskbarVisible()) ShowTaskbar();
}

void LocalizeMenuBarRect() {
  if (!gMainWindow) return;
  Rect content;
  if (GetWindowRegionRect(gMainWindow, kWindowContentRgn, &content) != 0) return;
  const Rect& g = gMenuBar.globalRect;
  gMenuBar.localRect = Rect{static_cast<SInt16>(g.top - content.top), static_cast<SInt16>(g.left - content.left),
                            static_cast<SInt16>(g.bottom - content.top), static_cast<SInt16>(g.right - content.left)};
}

MenuID FindFreeMenuID() {
  MenuID id = kApplicationMenuID;
  while (GetMenuByID(id)) ++id;
  return id;
}

SInt16 FindMenuItemByText(MenuRef menu, ConstStr255Param text, SInt16 firstItem) {
  const SInt16 count = static_cast<SInt16>(CountMenuItems(menu));
  for (SInt16 item = firstItem; item <= count; ++item) {
    Str255 itemText;
    itemText[0] = 0;
    GetMenuItemText(menu, static_cast<MenuItemIndex>(item), itemText);
    if (PStrEqual(itemText, text)) return item;
  }
  return -1;
}

SInt16 CheckMenuItemByText(MenuRef menu, ConstStr255Param text, Boolean checked) {
  const SInt16 item = FindMenuItemByText(menu, text, 1);
  if (item > 0) CheckMenuItem(menu, static_cast<MenuItemIndex>(item), checked);
  return item;
}

SInt16 EnableMenuItemByText(MenuRef menu, ConstStr255Param text) {
  const SInt16 item = FindMenuItemByText(menu, text, 1);
  if (item > 0) EnableMenuItem(menu, static_cast<MenuItemIndex>(item));
  return item;
}

SInt16 DisableMenuItemByText(MenuRef menu, ConstStr255Param text) {
  const SInt16 item = FindMenuItemByText(menu, text, 1);
  if (item > 0) DisableMenuItem(menu, static_cast<MenuItemIndex>(item));
  return item;
}

void SetupPopupMenuControl(void* control, MenuRef menu) {
  SetControlMinimum(control, 0);
  SetControlMaximum(control, CountMenuItems(menu));
}

SInt16 CopyMenuItems(MenuRef source, MenuRef* destination) {
  const UInt16 count = CountMenuItems(source);
  for (UInt16 item = 1; item <= count; ++item) {
    Str255 text;
    text[0] = 0;
    GetMenuItemText(source, item, text);
    InsertMenuItem(destination ? *destination : nullptr, text, CountMenuItems(destination ? *destination : nullptr));
  }
  return static_cast<SInt16>(count);
}

void SortMenuNames(const MenuNameList* list, SInt16* order) {
  const SInt16 count = list->count;
  for (SInt16 i = 0; i < count; ++i) order[i] = i;
  // Adjacent exchanges until a pass makes none: stable, so equal names keep their order.
  bool exchanged = true;
  while (exchanged) {
    exchanged = false;
    for (SInt16 i = 0; i + 1 < count; ++i) {
      if (PStrCompareNoCase(list->names[order[i]], list->names[order[i + 1]]) > 0) {
        const SInt16 t = order[i];
        order[i] = order[i + 1];
        order[i + 1] = t;
        exchanged = true;
      }
    }
  }
}

void BuildMenuAlphabetic(MenuRef menu, const MenuNameList* list) {
  if (!list || list->count <= 0) return;
  auto* order = reinterpret_cast<SInt16*>(NewPtrBlock(list->count * static_cast<SInt32>(sizeof(SInt16))));
  if (!order) FatalError("Not enough memory available to sort resource menu.", "BuildMenuAlphabetic()");
  SortMenuNames(list, order);
  for (SInt16 i = 0; i < list->count; ++i) InsertMenuItem(menu, list->names[order[i]], CountMenuItems(menu));
  DisposePtrBlock(order);
}

MenuRef NewMenu(MenuID, ConstStr255Param) { return nullptr; }
void InsertMenu(MenuRef, MenuID) {}
void InsertMenuItem(MenuRef, ConstStr255Param, MenuItemIndex) {}
void DeleteMenuItem(MenuRef, MenuItemIndex) {}
void RedrawMenuBar() {}
MenuRef GetMenuByID(MenuID) { return nullptr; }
void SetMenuBarState(UInt32) {}
void CheckMenuItem(MenuRef, MenuItemIndex, Boolean) {}
void GetMenuItemCheck(MenuRef, MenuItemIndex, Boolean*) {}
void EnableMenuItem(MenuRef, MenuItemIndex) {}
void DisableMenuItem(MenuRef, MenuItemIndex) {}
Boolean IsMenuItemEnabled(MenuRef, MenuItemIndex) { return 0; }
OSStatus FindMenuCommand(MenuCommand, MenuRef*, MenuItemIndex*) { return 0; }
void DisableMenuCommand(MenuRef, MenuCommand) {}
void EnableMenuCommand(MenuRef, MenuCommand) {}
UInt16 CountMenuItems(MenuRef) { return 0; }
void GetMenuItemText(MenuRef, MenuItemIndex, StringPtr) {}
SInt32 MenuSelect(Point) { return 0; }
SInt32 MenuKey(SInt16) { return 0; }
