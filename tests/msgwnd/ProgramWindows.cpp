#include "msgwnd/ProgramWindows.h"

#include <cstring>
#include <vector>

HWND WaitForChild(HWND parent, const wchar_t* className, DWORD ms)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(50)) {
        if (HWND child = FindWindowExW(parent, nullptr, className, nullptr))
            return child;
    }
    return nullptr;
}

HWND WaitForMenu(DWORD ms)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(50)) {
        HWND menu = FindWindowW(L"#32768", nullptr);
        if (menu && IsWindowVisible(menu))
            return menu;
    }
    return nullptr;
}

bool WaitUntilGone(HWND window, DWORD ms)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(50)) {
        if (!IsWindow(window) || !IsWindowVisible(window))
            return true;
    }
    return false;
}

// The visible chat page of the messaging window: a child dialog holding the
// chat view and the edit box.
bool FindChat(HWND messages, HWND* chat, HWND* edit)
{
    for (HWND page = FindWindowExW(messages, nullptr, L"#32770", nullptr); page;
         page = FindWindowExW(messages, page, L"#32770", nullptr)) {
        if (!IsWindowVisible(page))
            continue;
        *chat = FindWindowExW(page, nullptr, L"JOV Wnd Class", nullptr);
        *edit = FindWindowExW(page, nullptr, L"Edit", nullptr);
        return *chat && *edit;
    }
    return false;
}

// Everything the chat shows, through its own menu's "Copy all".
std::wstring CopyAllOfChat(HWND chat)
{
    SetClipboardText(L"");
    RECT rect;
    GetWindowRect(chat, &rect);
    PostMessageW(chat, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(chat), MAKELPARAM(rect.left + 20, rect.top + 20));
    HWND menu = WaitForMenu(5000);
    if (!menu)
        return L"<no menu>";
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
        PostMessageW(menu, WM_KEYDOWN, key, 0);
    WaitUntilGone(menu);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(50)) {
        const std::wstring text = ClipboardText();
        if (!text.empty() && text != L"<none>")
            return text;
    }
    return L"<empty>";
}

std::wstring WindowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
    GetWindowTextW(window, text.data(), length + 1);
    return text.data();
}

std::wstring ClipboardText()
{
    std::wstring text = L"<none>";
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void SetClipboardText(const wchar_t* text)
{
    if (!OpenClipboard(nullptr))
        return;
    EmptyClipboard();
    if (text) {
        const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
        memcpy(GlobalLock(block), text, bytes);
        GlobalUnlock(block);
        SetClipboardData(CF_UNICODETEXT, block);
    }
    CloseClipboard();
}

