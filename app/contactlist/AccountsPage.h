// The preferences' "Accounts" page: one row per account (protocol icon,
// protocol and account name); "Add" creates an account of a chosen protocol,
// "Settings" (or Return) opens its options, "Delete" removes it after asking.
// Changes take effect at once; the page stores nothing on OK.
// UI thread.
#pragma once

#include "PanelInfo.h"

PanelCheckResult AccountsPageProc(HWND page, int direction, unsigned int ownerId);
int AccountsPageCommand(HWND page, unsigned int first, unsigned int second, void* data);

// Asks before an account goes; true to delete. Tests answer for the user.
typedef bool (*ConfirmDeleteFn)(HWND page, const CJOVString& accountText);
void SetAccountDeleteConfirmation(ConfirmDeleteFn confirm);
