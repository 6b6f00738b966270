// Small helpers of the option pages for their controls.
#pragma once

#include <windows.h>

#include "JOVString.h"

CJOVString GetControlText(HWND page, int control, int maxLength);
void SetControlText(HWND page, int control, const CJOVString& text);
bool IsChecked(HWND page, int control);
void SetChecked(HWND page, int control, bool checked);
void EnableControl(HWND page, int control, bool enabled);
// The label of a control in the user's language.
void SetLabel(HWND page, int control, int textId, const wchar_t* builtIn);
