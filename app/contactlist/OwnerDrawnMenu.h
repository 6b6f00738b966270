// Native popup menus built from menu descriptions, every item drawn by its
// owner: the owner window forwards WM_MEASUREITEM and WM_DRAWITEM of its
// menus here. Each item's MIIM_DATA points at its CMenuItemInfo, so the
// description must outlive the menu.
// UI thread.
#pragma once

#include <windows.h>

#include "MenuInfo.h"

// Appends one owner-drawn item per item of info to menu (a new popup menu
// when null) and answers it. An item without a command id of its own gets
// nextId, which then goes up, depth first across submenus. Null when a native
// call fails.
HMENU BuildPopupMenu(CMenuInfo& info, unsigned int& nextId, HMENU menu);
BOOL MeasureMenuItem(HWND owner, MEASUREITEMSTRUCT* measure);
BOOL DrawMenuItem(HWND owner, DRAWITEMSTRUCT* draw);
