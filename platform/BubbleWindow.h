// The window of the notification bubble on screen, and the thread it lives
// on. Internal to the shell layer: Notification.cpp keeps the records and
// asks for a refresh after each change.
#pragma once

#include <windows.h>

#include <string>

#include "Notification.h"

// What the bubble shows, copied from the notification's record.
struct BubbleContent {
    CLSID clsid;
    DWORD id;
    DWORD flags;
    HICON icon;
    std::wstring title;
    std::wstring html;
    std::wstring keyTitles[NOTIF_NUM_SOFTKEYS];
    bool keyPresent[NOTIF_NUM_SOFTKEYS];
    WPARAM keyCommands[NOTIF_NUM_SOFTKEYS];
    DWORD keyFlags[NOTIF_NUM_SOFTKEYS];
};

namespace BubbleThread {

// Starts the thread on first use. Waits (bounded) until the bubble matches
// the records. Any thread but the bubble thread's own.
void Refresh();
HWND Window();
HWND SoftKeyBar();

} // namespace BubbleThread

namespace BubbleRecords {

// The record to pop up now; false when none.
bool Current(BubbleContent* content);
// A soft key of the bubble on display was pressed: tells the sink and applies
// the key's flags. Runs on the bubble thread.
void OnSoftKey(const CLSID& clsid, DWORD id, WPARAM command);

} // namespace BubbleRecords
