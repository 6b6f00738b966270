// The clipboard's Unicode text, for the contact menu, the chat view and the
// message page. UI thread.
#pragma once

#include <windows.h>

// Puts text on the clipboard, which owner opens; false when it could not.
bool CopyTextToClipboard(HWND owner, const wchar_t* text);
// The clipboard holds Unicode text.
bool IsClipboardTextAvailable();
