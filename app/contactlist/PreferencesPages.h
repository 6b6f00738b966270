// The program's own pages of the preferences, in tab order before
// "Accounts" (AccountsPage.h). Each loads its controls from the values'
// owners (PreferencesOwners.h) and, on store, hands back only what it owns;
// none refuses its values except "Connection", whose proxy port must be a port.
// UI thread, inside the preferences' modal loop.
#pragma once

#include "PanelInfo.h"

PanelCheckResult GeneralPageProc(HWND page, int direction, unsigned int ownerId);

PanelCheckResult ContactListPageProc(HWND page, int direction, unsigned int ownerId);

PanelCheckResult EventsPageProc(HWND page, int direction, unsigned int ownerId);
int EventsPageCommand(HWND page, unsigned int first, unsigned int second, void* data);

PanelCheckResult MessagingPageProc(HWND page, int direction, unsigned int ownerId);
int MessagingPageCommand(HWND page, unsigned int first, unsigned int second, void* data);

PanelCheckResult HistoryPageProc(HWND page, int direction, unsigned int ownerId);
int HistoryPageCommand(HWND page, unsigned int first, unsigned int second, void* data);

PanelCheckResult SoundsPageProc(HWND page, int direction, unsigned int ownerId);
int SoundsPageCommand(HWND page, unsigned int first, unsigned int second, void* data);

PanelCheckResult InterfacePageProc(HWND page, int direction, unsigned int ownerId);
int InterfacePageCommand(HWND page, unsigned int first, unsigned int second, void* data);

PanelCheckResult ConnectionPageProc(HWND page, int direction, unsigned int ownerId);
int ConnectionPageCommand(HWND page, unsigned int first, unsigned int second, void* data);
