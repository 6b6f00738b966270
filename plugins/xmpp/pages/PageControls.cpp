#include "PageControls.h"

#include <vector>

#include "Localization.h"
#include "PluginModule.h"

CJOVString GetControlText(HWND page, int control, int maxLength)
{
    std::vector<wchar_t> text(static_cast<size_t>(maxLength) + 1, 0);
    GetDlgItemTextW(page, control, text.data(), maxLength + 1);
    return CJOVString(text.data());
}

void SetControlText(HWND page, int control, const CJOVString& text)
{
    CJOVString copy = text;
    SetDlgItemTextW(page, control, copy.GetLength() > 0 ? static_cast<const wchar_t*>(copy) : L"");
}

bool IsChecked(HWND page, int control)
{
    return IsDlgButtonChecked(page, control) == BST_CHECKED;
}

void SetChecked(HWND page, int control, bool checked)
{
    CheckDlgButton(page, control, checked ? BST_CHECKED : BST_UNCHECKED);
}

void EnableControl(HWND page, int control, bool enabled)
{
    EnableWindow(GetDlgItem(page, control), enabled ? TRUE : FALSE);
}

void SetLabel(HWND page, int control, int textId, const wchar_t* builtIn)
{
    CLocalization::SetWindowTextW(GetPluginLocalization(), page, control, textId, builtIn);
}
