#include "contactlist/Clipboard.h"

#include <cstring>
#include <cwchar>

bool CopyTextToClipboard(HWND owner, const wchar_t* text)
{
    if (!text)
        return false;
    const size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block)
        return false;
    void* data = GlobalLock(block);
    if (!data) {
        GlobalFree(block);
        return false;
    }
    std::memcpy(data, text, bytes);
    GlobalUnlock(block);
    // Emptying needs an owner; without one the data is refused.
    bool taken = false;
    if (OpenClipboard(owner)) {
        taken = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, block) != nullptr;
        CloseClipboard();
    }
    // The clipboard owns the block only once it took it.
    if (!taken)
        GlobalFree(block);
    return taken;
}

bool IsClipboardTextAvailable()
{
    return IsClipboardFormatAvailable(CF_UNICODETEXT) != 0;
}
