// The window behind SHCreateMenuBar: draws the keys, answers the toolbar and
// menu-bar messages, and runs a key when it is tapped or its F-key pressed.
// Internal to the shell layer. UI thread (the owner's thread).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

// Posted in place of F1/F2 (wParam: key index) so the key runs inside the
// message loop that read the key, dialog loops included.
#define JOV_MBM_PRESSKEY (WM_USER + 500)
// Sent by SHDoneButton: the owner's Done button came or went.
#define JOV_MBM_DONECHANGED (WM_USER + 501)

// F1 and F2 press the soft keys, F3 the Done button, in every message loop
// of the calling thread.
void HookSoftKeyButtons();
// The command of window's Done button (IDOK, or IDCANCEL for the Cancel
// form), or 0 when it shows none.
int DoneButtonCommand(HWND window);

struct SoftKey {
    int command;
    BYTE state;
    BYTE style;
    std::wstring text;
    HMENU menu;        // drop-down (part of the bar's menu), or null
    DWORD_PTR data;
};

class CSoftKeyBar {
public:
    // The bar owns menu (destroyed with the bar). Null when the window cannot be made.
    static HWND Create(HWND owner, const std::vector<SoftKey>& keys, HMENU menu, bool hidden,
                       const COLORREF* background);
    static CSoftKeyBar* FromWindow(HWND bar);

private:
    CSoftKeyBar(HWND owner, const std::vector<SoftKey>& keys, HMENU menu, const COLORREF* background);
    ~CSoftKeyBar();

    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR bar);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void Paint(HDC dc);
    void PaintDone(HDC dc);
    RECT KeyRect(int index) const;
    // The owner's Done button sits mid-bar, where the device has its
    // input-panel button; empty when the owner shows none.
    RECT DoneRect() const;
    int HitKey(POINT point) const;
    int IndexOf(WPARAM idOrIndex, bool byIndex) const;
    bool Enabled(int index) const;
    void RedrawKey(int index);
    void Press(int index);
    LRESULT GetButtonInfo(WPARAM id, TBBUTTONINFOW* info);
    LRESULT SetButtonInfo(WPARAM id, const TBBUTTONINFOW* info);

    HWND m_window;
    HWND m_owner;
    std::vector<SoftKey> m_keys;
    HMENU m_menu;
    bool m_ownBackground;
    COLORREF m_background;
    HFONT m_font;
    int m_pressed;       // key held down by the stylus, or open with its menu; kDoneKey for Done
    bool m_pressedInside;
};
