#include "MenuBar.h"

#include "Notification.h"
#include "ShellTrace.h"
#include "SoftKeyBar.h"

namespace {

const wchar_t kBarProp[] = L"JOV.MenuBar";
const int kMaxKeys = 16;
const int kWordsPerKey = 5;

std::wstring LoadText(HINSTANCE module, UINT id)
{
    if (id == 0)
        return std::wstring();
    const wchar_t* text = nullptr;
    int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, length) : std::wstring();
}

bool KeysFromBarResource(HINSTANCE module, UINT id, std::vector<SoftKey>* keys, HMENU* menu)
{
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const WORD* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    if (!words)
        return false;
    size_t available = SizeofResource(module, found) / sizeof(WORD);
    if (available < 2)
        return false;
    WORD menuId = words[0];
    int count = words[1];
    if (count > kMaxKeys || available < 2 + static_cast<size_t>(count) * kWordsPerKey)
        return false;
    if (menuId != 0) {
        *menu = LoadMenuW(module, MAKEINTRESOURCEW(menuId));
        if (!*menu)
            return false;
    }
    for (int i = 0; i < count; ++i) {
        const WORD* entry = words + 2 + i * kWordsPerKey;
        SoftKey key;
        key.command = entry[0];
        key.text = LoadText(module, entry[1]);
        key.state = static_cast<BYTE>(entry[2]);
        key.style = static_cast<BYTE>(entry[3]);
        key.menu = entry[4] != JOV_NOMENU && *menu ? GetSubMenu(*menu, entry[4]) : nullptr;
        key.data = 0;
        keys->push_back(key);
    }
    return true;
}

bool KeysFromMenu(HMENU menu, std::vector<SoftKey>* keys)
{
    int count = GetMenuItemCount(menu);
    if (count < 0)
        return false;
    for (int i = 0; i < count && static_cast<int>(keys->size()) < kMaxKeys; ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = 127;
        if (!GetMenuItemInfoW(menu, i, TRUE, &item) || (item.fType & MFT_SEPARATOR))
            continue;
        SoftKey key;
        key.menu = item.hSubMenu;
        key.command = item.hSubMenu ? 0xFF00 + i : static_cast<int>(item.wID);
        key.text = text;
        key.state = (item.fState & MFS_DISABLED) ? 0 : TBSTATE_ENABLED;
        key.style = item.hSubMenu ? BTNS_DROPDOWN : BTNS_BUTTON;
        key.data = 0;
        keys->push_back(key);
    }
    return true;
}

// The bar that F1/F2 work: the one of the window holding the key's window.
HWND BarForKey(HWND window)
{
    if (!window)
        window = GetActiveWindow();
    for (HWND w = window; w; w = GetAncestor(w, GA_PARENT)) {
        HWND bar = SHFindMenuBar(w);
        if (bar)
            return IsWindowVisible(bar) ? bar : nullptr;
        if (w == GetAncestor(w, GA_ROOT))
            break;
    }
    return nullptr;
}

// The window whose Done button F3 presses: the nearest one up from the
// key's window that shows one.
HWND DoneButtonOwner(HWND window)
{
    if (!window)
        window = GetActiveWindow();
    for (HWND w = window; w; w = GetAncestor(w, GA_PARENT)) {
        if (DoneButtonCommand(w))
            return w;
        if (w == GetAncestor(w, GA_ROOT))
            break;
    }
    return nullptr;
}

// F1 and F2 are the soft-key buttons, F3 the Done button: whichever loop
// reads one (the program's, a dialog's, a menu's), the key becomes a press
// of the bar's key or the Done button's command.
LRESULT CALLBACK SoftKeyHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        MSG* msg = reinterpret_cast<MSG*>(lParam);
        bool keyMessage = msg->message == WM_KEYDOWN || msg->message == WM_KEYUP;
        bool firstDown = msg->message == WM_KEYDOWN && !(msg->lParam & (1 << 30));
        if (keyMessage && (msg->wParam == VK_F1 || msg->wParam == VK_F2)) {
            // A notification bubble on the screen takes the soft-key buttons.
            HWND bubbleBar = Platform::GetBubbleSoftKeyBar();
            if (bubbleBar && IsWindowVisible(bubbleBar)) {
                if (firstDown)
                    PostMessageW(bubbleBar, JOV_MBM_PRESSKEY, msg->wParam == VK_F1 ? 0 : 1, 0);
                msg->message = WM_NULL;
            } else if (HWND bar = BarForKey(msg->hwnd)) {
                if (firstDown) {
                    msg->wParam = msg->wParam == VK_F1 ? 0 : 1;
                    msg->hwnd = bar;
                    msg->message = JOV_MBM_PRESSKEY;
                    msg->lParam = 0;
                } else {
                    msg->message = WM_NULL;
                }
            }
        } else if (keyMessage && msg->wParam == VK_F3) {
            if (HWND owner = DoneButtonOwner(msg->hwnd)) {
                if (firstDown) {
                    msg->wParam = MAKEWPARAM(DoneButtonCommand(owner), 0);
                    msg->hwnd = owner;
                    msg->message = WM_COMMAND;
                    msg->lParam = 0;
                } else {
                    msg->message = WM_NULL;
                }
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

void HookSoftKeyButtons()
{
    static thread_local HHOOK hook = nullptr;
    if (!hook)
        hook = SetWindowsHookExW(WH_GETMESSAGE, SoftKeyHook, nullptr, GetCurrentThreadId());
}

BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO* info)
{
    if (!info || info->cbSize < sizeof(SHMENUBARINFO) || !IsWindow(info->hwndParent))
        return FALSE;
    info->hwndMB = nullptr;
    Platform::TraceShellCall("SHCreateMenuBar", info->hwndParent, info->dwFlags);
    std::vector<SoftKey> keys;
    HMENU menu = nullptr;
    if (!(info->dwFlags & SHCMBF_EMPTYBAR)) {
        bool built;
        if (info->dwFlags & SHCMBF_HMENU) {
            menu = LoadMenuW(info->hInstRes, MAKEINTRESOURCEW(info->nToolBarId));
            built = menu && KeysFromMenu(menu, &keys);
        } else {
            built = KeysFromBarResource(info->hInstRes, info->nToolBarId, &keys, &menu);
        }
        if (!built) {
            if (menu)
                DestroyMenu(menu);
            return FALSE;
        }
    }
    HookSoftKeyButtons();
    info->hwndMB = CSoftKeyBar::Create(info->hwndParent, keys, menu, (info->dwFlags & SHCMBF_HIDDEN) != 0,
                                       (info->dwFlags & SHCMBF_COLORBK) ? &info->clrBk : nullptr);
    return info->hwndMB != nullptr;
}

HWND WINAPI SHFindMenuBar(HWND window)
{
    HWND bar = window ? static_cast<HWND>(GetPropW(window, kBarProp)) : nullptr;
    return bar && IsWindow(bar) ? bar : nullptr;
}

HRESULT WINAPI SHEnableSoftkey(HWND menuBar, UINT id, BOOL byIndex, BOOL enable)
{
    if (byIndex) {
        TBBUTTON button = {};
        if (!SendMessageW(menuBar, TB_GETBUTTON, id, reinterpret_cast<LPARAM>(&button)))
            return E_FAIL;
        id = static_cast<UINT>(button.idCommand);
    }
    return SendMessageW(menuBar, TB_ENABLEBUTTON, id, MAKELPARAM(enable ? TRUE : FALSE, 0)) ? S_OK : E_FAIL;
}
