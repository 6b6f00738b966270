// Native popup menus built from menu descriptions, drawn by their owner.
// UI thread. Each item's MIIM_DATA points at its CMenuItemInfo, so the
// description must outlive the menu.
#pragma once

#include <windows.h>

#include "MenuInfo.h"

// Appends one owner-drawn item per item of menu to target (a new popup menu
// when null); an item without a command id of its own gets nextCommandId,
// which then goes up. Null when an append fails.
HMENU BuildPopupMenu(const CMenuInfo& menu, int& nextCommandId, HMENU target);
void DrawMenuItem(DRAWITEMSTRUCT* item);
void MeasureMenuItem(MEASUREITEMSTRUCT* item);
