// The status toolbar along the bottom of the main window: one button for the
// overall status (account 0) and one per account, each button's data word
// being its account id. The buttons draw their account's status images from
// g_App.accountStatusMap.
// UI thread: the toolbar, the map and the status menus.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "core/GuiServices.h"

constexpr int kStatusToolbarId = 1;
constexpr UINT kFirstStatusButtonCommand = 500;
constexpr UINT kLastStatusButtonCommand = 599;
constexpr int kFirstStatusMenuCommand = 600;

HWND CreateStatusToolbar(HWND parent);
void UpdateAccountStatusButton(HWND toolbar, unsigned int accountId, const AccountStatus& info);
void RemoveToolbarButton(HWND toolbar, unsigned int accountId);
// The toolbar's NM_CUSTOMDRAW answer.
LRESULT OnStatusToolbarCustomDraw(NMTBCUSTOMDRAW* draw, CGuiServices& services);
// Runs the status menu of the button with that command.
void ShowStatusMenu(HWND owner, HWND toolbar, UINT command, CGuiServices& services);
