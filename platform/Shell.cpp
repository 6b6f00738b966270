#include "Shell.h"

#include "MenuBar.h"
#include "Screen.h"
#include "ShellTrace.h"
#include "SoftKeyBar.h"

namespace {

const wchar_t kFullScreenProp[] = L"JOV.FullScreen";
const wchar_t kDoneButtonProp[] = L"JOV.DoneButton";
const wchar_t kDialogSizeProp[] = L"JOV.DialogSize";

const DWORD kSizeFlags = SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR;

DWORD GetDword(HWND window, const wchar_t* prop)
{
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(GetPropW(window, prop)));
}

void SetDword(HWND window, const wchar_t* prop, DWORD value)
{
    SetPropW(window, prop, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value)));
}

// The device shows a full-screen dialog's title in the task bar, not on a
// frame of its own: drop the frame so the dialog fills its band exactly.
void SizeDialogToScreen(HWND dialog, DWORD flags)
{
    LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
    LONG_PTR exStyle = GetWindowLongPtrW(dialog, GWL_EXSTYLE);
    if (!(style & WS_CHILD)) {
        SetWindowLongPtrW(dialog, GWL_STYLE, style & ~(WS_CAPTION | WS_THICKFRAME | WS_BORDER | WS_DLGFRAME));
        SetWindowLongPtrW(dialog, GWL_EXSTYLE,
                          exStyle & ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE));
    }
    RECT band = Platform::GetFullScreenRect(!(flags & SHIDIF_FULLSCREENNOMENUBAR));
    SetWindowPos(dialog, nullptr, band.left, band.top, band.right - band.left, band.bottom - band.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

} // namespace

BOOL WINAPI SHInitDialog(SHINITDLGINFO* info)
{
    if (!info || !IsWindow(info->hDlg))
        return FALSE;
    DWORD flags = (info->dwMask & SHIDIM_FLAGS) ? info->dwFlags : 0;
    Platform::TraceShellCall("SHInitDialog", info->hDlg, flags);
    if (flags & kSizeFlags) {
        SetDword(info->hDlg, kDialogSizeProp, flags & kSizeFlags);
        SizeDialogToScreen(info->hDlg, flags);
    }
    if (flags & SHIDIF_EMPTYMENU) {
        SHMENUBARINFO bar = {};
        bar.cbSize = sizeof(bar);
        bar.hwndParent = info->hDlg;
        bar.dwFlags = SHCMBF_EMPTYBAR;
        SHCreateMenuBar(&bar);
    }
    if (flags & SHIDIF_DONEBUTTON)
        SHDoneButton(info->hDlg, SHDB_SHOW);
    else if (flags & SHIDIF_CANCELBUTTON)
        SHDoneButton(info->hDlg, SHDB_SHOWCANCEL);
    return TRUE;
}

BOOL WINAPI SHDoneButton(HWND window, DWORD state)
{
    if (!IsWindow(window) || (state != SHDB_SHOW && state != SHDB_HIDE && state != SHDB_SHOWCANCEL))
        return FALSE;
    Platform::TraceShellCall("SHDoneButton", window, state);
    SetDword(window, kDoneButtonProp, state);
    // Tapped mid soft-key bar, or pressed with F3.
    HookSoftKeyButtons();
    if (HWND bar = SHFindMenuBar(window))
        SendMessageW(bar, JOV_MBM_DONECHANGED, 0, 0);
    return TRUE;
}

BOOL WINAPI SHFullScreen(HWND window, DWORD state)
{
    if (!IsWindow(window))
        return FALSE;
    Platform::TraceShellCall("SHFullScreen", window, state);
    DWORD hidden = GetDword(window, kFullScreenProp);
    // Each part is shown or hidden by its own pair of bits; a show bit wins.
    const DWORD pairs[][2] = {{SHFS_SHOWTASKBAR, SHFS_HIDETASKBAR},
                              {SHFS_SHOWSIPBUTTON, SHFS_HIDESIPBUTTON},
                              {SHFS_SHOWSTARTICON, SHFS_HIDESTARTICON}};
    for (const auto& pair : pairs) {
        if (state & pair[0])
            hidden &= ~pair[1];
        else if (state & pair[1])
            hidden |= pair[1];
    }
    SetDword(window, kFullScreenProp, hidden);
    return TRUE;
}

BOOL WINAPI SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM, SHACTIVATEINFO* info, DWORD)
{
    if (!info || !IsWindow(window))
        return FALSE;
    bool active = LOWORD(wParam) != WA_INACTIVE;
    Platform::TraceShellCall("SHHandleWMActivate", window, active ? 1 : 0);
    if (!active) {
        HWND focus = GetFocus();
        info->hwndLastFocus = focus && (focus == window || IsChild(window, focus)) ? focus : nullptr;
    }
    // No input panel here: it is down whatever the window asks for.
    info->fSipUp = 0;
    info->fSipOnDeactivation = 0;
    info->fActive = active ? 1 : 0;
    return TRUE;
}

BOOL WINAPI SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM, SHACTIVATEINFO* info)
{
    if (!IsWindow(window))
        return FALSE;
    Platform::TraceShellCall("SHHandleWMSettingChange", window, wParam);
    if (wParam != SPI_SETSIPINFO && wParam != SETTINGCHANGE_RESET)
        return FALSE;
    DWORD sizeFlags = GetDword(window, kDialogSizeProp);
    if (sizeFlags)
        SizeDialogToScreen(window, sizeFlags);
    if (info)
        info->fSipUp = 0;
    return TRUE;
}

BOOL WINAPI SHInitExtraControls()
{
    // The device's extra control classes are not used by this program.
    Platform::TraceShellCall("SHInitExtraControls", nullptr, 0);
    return TRUE;
}

namespace Platform {

DWORD GetFullScreenState(HWND window)
{
    return GetDword(window, kFullScreenProp);
}

DWORD GetDoneButtonState(HWND window)
{
    return GetDword(window, kDoneButtonProp);
}

} // namespace Platform
