// The main window's two soft-key menus: the left "Menu" (own details of each
// account, Preferences, About, Quit) and the right one, the selected
// contact-list item's menu. Both are built from descriptions kept in g_App,
// which the menus' items point at.
// The descriptions are made on any thread; everything that touches g_App or
// the native menus runs on the UI thread.
#pragma once

#include <windows.h>

#include <cstdint>

#include "MenuInfo.h"
#include "core/GuiServices.h"

// How a menu item's handler is called: with the id of the menu's subject
// (account, group or contact) and the item's parameter.
typedef void (*MenuItemHandlerFn)(unsigned int subjectId, uintptr_t param);

constexpr UINT kCmdQuit = 5000;
constexpr UINT kCmdAbout = 5001;
constexpr UINT kCmdPreferences = 5002;
constexpr UINT kCmdMyDetails = 5003;
constexpr UINT kCmdFirstAccountDetails = 5005;
// Items without a command of their own are numbered from here.
constexpr int kFirstMenuCommand = 5100;

HMENU GetLeftSoftKeyMenu(HWND menuBar);
HMENU GetRightSoftKeyMenu(HWND menuBar);

// The left menu's description. Asks each account its name, so it may wait on
// the accounts.
void DescribeLeftMenu(CGuiServices& services, CMenuInfo& left);
// UI thread: takes left as the left menu's description and rebuilds both
// soft-key menus. Answers menuBar.
HWND ApplyMainMenu(HWND menuBar, const CMenuInfo& left);
// UI thread: DescribeLeftMenu, then ApplyMainMenu.
HWND BuildMainMenu(HWND menuBar);

// Calls the handler of the item with that command in menu (or its
// sub-menus); false when there is no such item or it has no handler.
bool RunMenuItemHandler(HMENU menu, UINT command, unsigned int subjectId);
