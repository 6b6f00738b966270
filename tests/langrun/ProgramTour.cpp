#include "langrun/ProgramTour.h"

#include <vector>

#include "dialogs/Screenshot.h"
#include "langrun/RemoteUi.h"
#include "langrun/TextFit.h"
#include "support/ProcessWindows.h"

namespace {

// The program's visible top-level windows that a user works in: not its
// soft-key bars, menus or bubbles.
struct Dialogs {
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM param)
{
    auto* dialogs = reinterpret_cast<Dialogs*>(param);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    const std::wstring kind = name;
    if (ProcessOf(window) == dialogs->process && IsWindowVisible(window) && kind != L"JOV Soft-key Bar" &&
        kind != L"#32768" && kind != L"JOV Notification Bubble" && kind != L"tooltips_class32")
        dialogs->found.push_back(window);
    return TRUE;
}

std::vector<HWND> ProgramDialogs(DWORD process)
{
    Dialogs dialogs = {process, {}};
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs.found;
}

struct TextSearch {
    const std::wstring* text;
    bool found;
};

BOOL CALLBACK MatchText(HWND control, LPARAM param)
{
    auto* search = reinterpret_cast<TextSearch*>(param);
    if (IsWindowVisible(control) && WindowText(control) == *search->text) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

struct EnglishSearch {
    const std::set<std::wstring>* english;
    std::wstring found;
};

BOOL CALLBACK MatchEnglish(HWND control, LPARAM param)
{
    auto* search = reinterpret_cast<EnglishSearch*>(param);
    const std::wstring text = WindowText(control);
    if (IsWindowVisible(control) && search->english->count(text))
        search->found += L"\n  " + std::to_wstring(GetDlgCtrlID(control)) + L": \"" + text + L"\"";
    return TRUE;
}

// The controls of window (and its pages) and its soft keys that show an English text.
std::wstring EnglishShown(HWND window, const std::set<std::wstring>& english)
{
    EnglishSearch search = {&english, L""};
    EnumChildWindows(window, MatchEnglish, reinterpret_cast<LPARAM>(&search));
    if (HWND bar = SoftKeyBarOf(window, 0)) {
        for (const RemoteSoftKey& key : SoftKeys(bar)) {
            if (english.count(key.text))
                search.found += L"\n  soft key: \"" + key.text + L"\"";
        }
    }
    return search.found;
}

} // namespace

bool Shows(HWND window, const std::wstring& text)
{
    TextSearch search = {&text, false};
    EnumChildWindows(window, MatchText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring StaticText(HWND window)
{
    for (HWND child = FindWindowExW(window, nullptr, L"Static", nullptr); child;
         child = FindWindowExW(window, child, L"Static", nullptr)) {
        if (IsWindowVisible(child) && !WindowText(child).empty())
            return WindowText(child);
    }
    return L"<none>";
}

std::wstring OverallStatus(HWND main)
{
    HWND toolbar = FindWindowExW(main, nullptr, L"ToolbarWindow32", nullptr);
    for (const RemoteSoftKey& button : SoftKeys(toolbar)) {
        if (!button.text.empty())
            return button.text;
    }
    return L"<none>";
}

void ProgramTour::Prepare(const ProgramSettings& settings)
{
    ASSERT_TRUE(program.PrepareWhole());
    ASSERT_TRUE(WriteProgramSettings(SettingsFile(), settings));
}

void ProgramTour::Speak(const wchar_t* language, const std::wstring& pictureCode)
{
    texts = std::make_unique<CLanguageTexts>(language);
    code = pictureCode;
    englishLeft = texts->EnglishLeft();
    languageTexts = texts->All();
}

void ProgramTour::Shot(const std::wstring& what, HWND window)
{
    WaitForProgramIdle(window);
    EXPECT_TRUE(SaveScreenshotAs(L"lang-" + code, what)) << Narrow(what);
}

void ProgramTour::ExpectShownWell(HWND window, const std::wstring& what, bool withControls)
{
    ASSERT_NE(window, nullptr) << Narrow(what);
    WaitForProgramIdle(window);
    const std::wstring english = EnglishShown(window, englishLeft);
    if (!english.empty())
        ADD_FAILURE() << Narrow(what) << " shows English:" << Narrow(english);
    const std::vector<UnfitText> unfit = UnfitControlTexts(window, languageTexts);
    if (withControls) {
        EXPECT_GT(MeasuredCount(), 0) << Narrow(what) << ": no text measured";
    }
    if (!unfit.empty())
        ADD_FAILURE() << Narrow(what) << ":" << Describe(unfit);
    if (HWND bar = SoftKeyBarOf(window, 0)) {
        const std::vector<UnfitText> keys = UnfitSoftKeys(bar);
        if (!keys.empty())
            ADD_FAILURE() << Narrow(what) << " soft keys:" << Describe(keys);
    }
}

void ProgramTour::ChooseFromMenu(HWND window, UINT key, int fromBottom)
{
    WaitForProgramIdle(window);
    PostKey(window, key);
    HWND menu = WaitForMenu(5000);
    ASSERT_NE(menu, nullptr) << "the key opens no menu";
    for (int i = 0; i < fromBottom; ++i)
        PostKey(menu, VK_UP);
    PostKey(menu, VK_RETURN);
    ASSERT_TRUE(WaitUntilGone(menu));
}

HWND ProgramTour::OpenedBy(const std::function<void()>& action, DWORD ms)
{
    const std::vector<HWND> before = ProgramDialogs(ProcessOf(main));
    action();
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(50)) {
        for (HWND window : ProgramDialogs(ProcessOf(main))) {
            bool known = false;
            for (HWND old : before)
                known = known || old == window;
            if (!known) {
                WaitForProgramIdle(window);
                return window;
            }
        }
    }
    return nullptr;
}

void ProgramTour::Close(HWND window)
{
    if (!window)
        return;
    PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntilGone(window));
}

void ProgramTour::NextTab(HWND dialog, UINT key)
{
    HWND strip = FindWindowExW(dialog, nullptr, L"Button", nullptr);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(0, BN_SETFOCUS), reinterpret_cast<LPARAM>(strip));
    PostKey(strip, key);
}

void ProgramTour::EachPage(HWND dialog, int pages, const std::function<std::wstring(HWND, int)>& name,
                           const std::function<void(HWND, const std::wstring&)>& visit, bool withText)
{
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            NextTab(dialog, VK_RIGHT);
        WaitForProgramIdle(dialog);
        HWND page = VisiblePage(dialog);
        ASSERT_NE(page, nullptr);
        const std::wstring what = name(page, i);
        ExpectShownWell(dialog, what.empty() ? L"page " + std::to_wstring(i) : what, withText);
        if (!what.empty())
            Shot(what, dialog);
        if (visit)
            visit(page, what);
    }
}
