// Drives modal dialogs from inside their own modal loop: each step waits for
// a visible dialog of this thread with its title (the newest one that is
// enabled), then runs. Steps must post what opens another modal dialog or
// message box, not send it. A dialog of the script still open when it gives
// up is cancelled, so a broken test fails instead of hanging.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class CDialogScript {
public:
    explicit CDialogScript(DWORD giveUpMs = 8000);
    ~CDialogScript();
    CDialogScript(const CDialogScript&) = delete;
    CDialogScript& operator=(const CDialogScript&) = delete;

    CDialogScript& When(const std::wstring& title, std::function<void(HWND)> step);
    // A popup menu of this thread is open (the step gets the menu's window).
    CDialogScript& WhenMenu(std::function<void(HWND)> step);
    // Arms the script; the caller then opens the dialog.
    void Start();
    // Every step ran.
    bool Done() const { return m_next == m_steps.size(); }
    bool GaveUp() const { return m_gaveUp; }

    // The text of a message box's message.
    static std::wstring MessageText(HWND box);
    static std::wstring Text(HWND window);
    // The enabled, visible top-level window of this thread with that title;
    // kMenu finds an open popup menu.
    static HWND FindDialog(const std::wstring& title);
    static const wchar_t kMenu[];

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Run();

    struct Step {
        std::wstring title;
        std::function<void(HWND)> run;
    };
    std::vector<Step> m_steps;
    size_t m_next;
    UINT_PTR m_timer;
    DWORD m_start;
    DWORD m_giveUpMs;
    bool m_running;
    bool m_gaveUp;
};

// Posts a click of a dialog's button.
void Click(HWND dialog, int id);
// Posts a command as a soft key or the Done button does.
void PostCommand(HWND dialog, UINT command);
