// The callbacks of the account's option pages, and the record every page of
// the plug-in is handed over in.
// UI thread.
#pragma once

#include "PanelInfo.h"

PanelCheckResult AccountOptionsPageProc(HWND page, int direction, unsigned int accountId);
int AccountOptionsPageMessage(HWND page, unsigned int control, unsigned int code, void* data);
PanelCheckResult ConnectionOptionsPageProc(HWND page, int direction, unsigned int accountId);
// The message callback of the pages that answer none.
int NoPageMessage(HWND page, unsigned int first, unsigned int second, void* data);

// A page of the plug-in's module with the caption's text id.
CPanelInfo MakePluginPage(int textId, const wchar_t* english, unsigned int dialog, PanelDataExchangeProc exchange);
