// Small chores of the preferences' pages on their controls. UI thread.
#pragma once

#include <windows.h>

#include "JOVString.h"

bool IsItemChecked(HWND dialog, int id);
void SetItemChecked(HWND dialog, int id, bool checked);
// Each of the ids, which end with 0.
void EnableItems(HWND dialog, const int* ids, bool enable);
// The control's whole text.
CJOVString GetItemString(HWND dialog, int id);
// The selected entry's text; false when none is selected.
bool GetComboSelection(HWND dialog, int id, CJOVString* text);
// Index of the entry that is exactly text (case-sensitive), or -1.
int FindComboExact(HWND dialog, int id, const CJOVString& text);
int AddComboString(HWND dialog, int id, const wchar_t* text);
void ResetCombo(HWND dialog, int id);
// The edit's text as an unsigned number; false when it is not one (empty,
// letters, or past 32 bits).
bool ReadUnsigned(HWND dialog, int id, unsigned long* value);
