// JOV.exe's windows found and read from outside, for the tests that run the
// program: its runnable tree copied, a child window or popup menu waited for,
// the visible chat page and everything it shows, and the clipboard.
#pragma once

#include <windows.h>

#include <string>

#include "support/TestFolders.h"

HWND WaitForChild(HWND parent, const wchar_t* className, DWORD ms);
// A popup menu shown by any program.
HWND WaitForMenu(DWORD ms);
// Until the window is gone or hidden.
bool WaitUntilGone(HWND window, DWORD ms = 5000);
// The visible chat page of the messaging window: its chat view and edit box.
bool FindChat(HWND messages, HWND* chat, HWND* edit);
// Everything the chat shows, through its own menu's "Copy all".
std::wstring CopyAllOfChat(HWND chat);
// The text of a window.
std::wstring WindowText(HWND window);
// Unicode text on the clipboard, or "<none>".
std::wstring ClipboardText();
void SetClipboardText(const wchar_t* text);
