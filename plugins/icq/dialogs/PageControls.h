// Small chores of the plug-in's pages and dialogs on their controls.
// UI thread.
#pragma once

#include <windows.h>

#include "JOVString.h"

// The control's whole text.
CJOVString ControlText(HWND dialog, int id);
void SetControlText(HWND dialog, int id, const CJOVString& text);
// The plug-in's language text, or the English one.
void SetLabel(HWND dialog, int id, int textId, const wchar_t* english);

// Reference lists: selects the item of that code (the empty first item for
// an unknown code or none) and remembers it as the loaded choice.
void SelectCode(HWND dialog, int id, int code);
// The chosen item's code, or kCodeUnchanged while the loaded item is chosen.
int ChosenCode(HWND dialog, int id);

// Edits read-only or editable; other controls disabled or enabled.
void SetEditable(HWND dialog, int id, bool editable);
