// Start-up and shut-down of the program: every long-lived component is made
// here in a fixed order and deleted on WM_CLOSE in a fixed order.
// UI thread.
#pragma once

#include <windows.h>

#include "core/EventsClientImpl.h"

// Reads the screen's pixels per inch into the common library, once.
void InitHiDpiScale();
// FALSE when the program must end: another instance runs (it is brought to
// the front), or the main window cannot be made.
BOOL InitInstance(HINSTANCE instance, int showCommand);
// WM_CLOSE: deletes the components; "settings.jov" is written last.
void ShutDown();
// What shut-down saves, saved now: each component puts its values into the
// store, which writes "settings.jov". For a confirmed change of settings, so
// that it outlives an end without a close; not for every small change.
void SaveSettingsNow();

// The main window's timer of the start-up's last step, which waits for the
// first paint: the messaging window stays hidden until a chat opens, so the
// list is drawn before it is made.
inline constexpr UINT_PTR kFinishStartUpTimer = 0x4A4F;
// That step, once; nothing after shut-down began.
void FinishStartUp();

// The "GUI" client, registered on the bus while the program runs.
CEventsClientImpl& GuiClient();
