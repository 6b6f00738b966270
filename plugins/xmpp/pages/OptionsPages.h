// The account's option pages inside the program's account options: the
// records "Get options dlg info" appends, and their callbacks. The callbacks
// run on the user-interface thread, inside the dialog's modal loop, and find
// the account by the id the dialog passes.
#pragma once

#include "PanelInfo.h"

// "Account" (dialog 135), then "Expert" (dialog 136).
void AppendJabberOptionsPages(CJOVArray<CPanelInfo>& pages);

PanelCheckResult AccountOptionsPageProc(HWND page, int direction, unsigned int accountId);
int AccountOptionsPageCommand(HWND page, unsigned int control, unsigned int code, void* data);
PanelCheckResult ExpertOptionsPageProc(HWND page, int direction, unsigned int accountId);
int ExpertOptionsPageCommand(HWND page, unsigned int control, unsigned int code, void* data);

// The module's show-password flag, one for every account, kept in memory only.
bool GetShowPasswordFlag();
