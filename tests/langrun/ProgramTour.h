// A run of JOV.exe from a copy of the runnable tree, walked through as a
// user walks it: windows opened from menus, soft keys and buttons, each
// looked at for texts that do not fit or were left in English, and pictured
// as lang-<code>-<what>-<qvga|vga>.png.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "langrun/LanguageTexts.h"
#include "langrun/ProgramSettings.h"
#include "notify/DebuggedProgram.h"

class ProgramTour : public testing::Test {
protected:
    static constexpr DWORD kWaitMs = 30000;

    // A copy of the runnable tree whose "settings.jov" holds what is given.
    void Prepare(const ProgramSettings& settings);
    std::wstring SettingsFile() const { return program.Folder() + L"\\settings.jov"; }
    // The texts the windows are checked against, and the pictures' language code.
    void Speak(const wchar_t* language, const std::wstring& pictureCode);

    void Shot(const std::wstring& what, HWND window);
    // Every text of the window, its pages and its soft keys fits, and none is
    // left in English; withControls: the window has labels or buttons to measure.
    void ExpectShownWell(HWND window, const std::wstring& what, bool withControls = true);

    // The menu that key (VK_F1, VK_F2) opens on window; the item that many
    // places up from its bottom is chosen.
    void ChooseFromMenu(HWND window, UINT key, int fromBottom);
    // The top-level window of the program that action opens, waited for; null when none.
    // The main window must be known.
    HWND OpenedBy(const std::function<void()>& action, DWORD ms = kWaitMs);
    // Cancel, and the window is gone.
    void Close(HWND window);

    // The arrow key on a tabbed dialog's strip, focused as the arrow keys focus it.
    static void NextTab(HWND dialog, UINT key);
    // Each page of a tabbed dialog in turn from its first: looked at, pictured
    // as name(page, index) unless that is empty, then visit(page, name).
    // withText: every page has a label or button to measure.
    void EachPage(HWND dialog, int pages, const std::function<std::wstring(HWND, int)>& name,
                  const std::function<void(HWND, const std::wstring&)>& visit = nullptr, bool withText = true);

    CDebuggedProgram program;
    HWND main = nullptr;  // the program's main window, once shown
    std::unique_ptr<CLanguageTexts> texts;
    std::wstring code;
    std::set<std::wstring> englishLeft;
    std::set<std::wstring> languageTexts;
};

// True when a visible control of window or of its pages shows exactly text.
bool Shows(HWND window, const std::wstring& text);
// The text of the first visible static control of a window (a message box's question).
std::wstring StaticText(HWND window);
// The overall status button's text: the one button of the status bar with a text.
std::wstring OverallStatus(HWND main);
