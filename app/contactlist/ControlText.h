// Texts of windows, controls, menu items and soft keys from the program's
// language file, and a few control chores. A missing text falls back to the
// English text given. UI thread.
#pragma once

#include <windows.h>

#include "JOVString.h"

// The program's text of that id, or english.
CJOVString LangText(int textId, const wchar_t* english);
// The same with "%s" replaced by value: the place of the value in the
// sentence is the language's. A text without "%s" gets the value at the end.
CJOVString LangTextWith(int textId, const wchar_t* english, const CJOVString& value);

void SetLocalizedWindowText(HWND window, int textId, const wchar_t* english);
void AddLocalizedComboString(HWND combo, int textId, const wchar_t* english);
void SetMenuItemText(HMENU menu, UINT command, const CJOVString& text);
void SetMenuItemTextFromLang(HMENU menu, UINT command, int textId, const wchar_t* english);
void SetToolbarButtonText(HWND bar, int command, const CJOVString& text);
// An empty text when the language file has none.
void SetToolbarButtonTextFromLang(HWND bar, int command, int textId);
// The command of the bar's button of that index, or -1.
int GetToolbarButtonCommand(HWND bar, int index);

// The first selected row, or -1.
int GetSelectedListViewItem(HWND list);
// Every row and every column.
void ClearListView(HWND list);
// An owner-drawn list asks its row height (WM_MEASUREITEM) when it is made,
// before its dialog can answer: a change of size makes it ask again.
void RemeasureListRows(HWND list);
// Return reaches control as a key (LVN_KEYDOWN for a list view) instead of
// pressing the dialog's OK.
void WantReturnKey(HWND control);
