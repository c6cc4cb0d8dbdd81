// The Toolbox menu interface. There is no menu bar here: the menu calls have
// fixed results, and the bookkeeping around them (the application and Window
// menus, the taskbar standing in for the menu bar) is what remains.
#pragma once

#include "MacTypes.h"

struct OpaqueMenuRef;
typedef OpaqueMenuRef* MenuRef;
typedef SInt16 MenuID;
typedef UInt16 MenuItemIndex;
typedef UInt32 MenuCommand;

constexpr MenuID kApplicationMenuID = 128;
constexpr MenuID kPlayStateMenuID = 1000;

// Recorded menu-bar state.
struct MenuBarState {
  Rect globalRect;  // the taskbar's rectangle
  Rect localRect;   // the same in the main window's coordinates
  SInt16 height;
  UInt8 built;
  MenuID windowMenuID;
  MenuItemIndex fullScreenItem;
  MenuItemIndex hideItem;
  MenuItemIndex hideOthersItem;
  MenuItemIndex playStateQuitItem;
};
extern MenuBarState gMenuBar;

void BuildApplicationMenu(UInt8 hideTaskbar);
void BuildWindowMenu(MenuID menuID);
// The play state's additions to the application menu (and menu 1000).
void AddPlayStateMenuItems(Boolean withQuitMenu);
void HideMenuBarIfShown();
void ShowMenuBarIfHidden();
void LocalizeMenuBarRect();
MenuID FindFreeMenuID();
// -1 when not found (always here: menus have no items).
SInt16 FindMenuItemByText(MenuRef menu, ConstStr255Param text, SInt16 firstItem);
SInt16 CheckMenuItemByText(MenuRef menu, ConstStr255Param text, Boolean checked);
SInt16 EnableMenuItemByText(MenuRef menu, ConstStr255Param text);
SInt16 DisableMenuItemByText(MenuRef menu, ConstStr255Param text);
void SetupPopupMenuControl(void* control, MenuRef menu);
// The source's item count.
SInt16 CopyMenuItems(MenuRef source, MenuRef* destination);

// A count and that many 256-byte names.
struct MenuNameList {
  SInt16 count;
  Str255 names[1];
};
// Appends the names sorted case-insensitively; equal names keep their order.
void BuildMenuAlphabetic(MenuRef menu, const MenuNameList* list);
// The order BuildMenuAlphabetic appends in (for tests).
void SortMenuNames(const MenuNameList* list, SInt16* outOrder);

// Fixed results: no menu exists, nothing is drawn.
MenuRef NewMenu(MenuID id, ConstStr255Param title);
void InsertMenu(MenuRef menu, MenuID beforeID);
void InsertMenuItem(MenuRef menu, ConstStr255Param text, MenuItemIndex afterItem);
void DeleteMenuItem(MenuRef menu, MenuItemIndex item);
void RedrawMenuBar();
MenuRef GetMenuByID(MenuID id);
void SetMenuBarState(UInt32 state);
void CheckMenuItem(MenuRef menu, MenuItemIndex item, Boolean checked);
void GetMenuItemCheck(MenuRef menu, MenuItemIndex item, Boolean* outChecked);
void EnableMenuItem(MenuRef menu, MenuItemIndex item);
void DisableMenuItem(MenuRef menu, MenuItemIndex item);
Boolean IsMenuItemEnabled(MenuRef menu, MenuItemIndex item);
OSStatus FindMenuCommand(MenuCommand command, MenuRef* outMenu, MenuItemIndex* outItem);
void DisableMenuCommand(MenuRef menu, MenuCommand command);
void EnableMenuCommand(MenuRef menu, MenuCommand command);
UInt16 CountMenuItems(MenuRef menu);
void GetMenuItemText(MenuRef menu, MenuItemIndex item, StringPtr outText);
// Menu choice by click and by command key: 0, nothing chosen.
SInt32 MenuSelect(Point where);
SInt32 MenuKey(SInt16 character);
