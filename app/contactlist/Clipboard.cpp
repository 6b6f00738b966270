#include "contactlist/Clipboard.h"

#include <cwchar>

bool CopyTextToClipboard(HWND owner, const wchar_t* text)
{
    if (!text)
        return false;
    const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block)
        return false;
    if (void* data = GlobalLock(block)) {
        memcpy(data, text, bytes);
        GlobalUnlock(block);
    }
    if (!OpenClipboard(owner)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    // The clipboard owns the block once it took it.
    const bool placed = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    CloseClipboard();
    if (!placed)
        GlobalFree(block);
    return placed;
}

bool IsClipboardTextAvailable()
{
    return IsClipboardFormatAvailable(CF_UNICODETEXT) != 0;
}
