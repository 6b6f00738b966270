#include "dialogs/DialogScript.h"

namespace {

CDialogScript* s_active = nullptr;

struct Search {
    const std::wstring* title;
    HWND found;
};

bool IsMenu(HWND window)
{
    wchar_t name[16] = {};
    return GetClassNameW(window, name, 16) && lstrcmpW(name, L"#32768") == 0;
}

BOOL CALLBACK MatchTitle(HWND window, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    bool menuWanted = *search->title == CDialogScript::kMenu;
    bool matches = menuWanted ? IsMenu(window) : CDialogScript::Text(window) == *search->title && !IsMenu(window);
    if (IsWindowVisible(window) && IsWindowEnabled(window) && matches) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

const wchar_t CDialogScript::kMenu[] = L"#menu";

CDialogScript::CDialogScript(DWORD giveUpMs)
    : m_next(0), m_timer(0), m_start(0), m_giveUpMs(giveUpMs), m_running(false), m_gaveUp(false)
{
}

CDialogScript::~CDialogScript()
{
    if (m_timer)
        KillTimer(nullptr, m_timer);
    if (s_active == this)
        s_active = nullptr;
}

CDialogScript& CDialogScript::When(const std::wstring& title, std::function<void(HWND)> step)
{
    m_steps.push_back(Step{title, std::move(step)});
    return *this;
}

CDialogScript& CDialogScript::WhenMenu(std::function<void(HWND)> step)
{
    return When(kMenu, std::move(step));
}

void CDialogScript::Start()
{
    s_active = this;
    m_start = GetTickCount();
    m_timer = SetTimer(nullptr, 0, 20, Tick);
}

std::wstring CDialogScript::Text(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

std::wstring CDialogScript::MessageText(HWND box)
{
    return Text(GetDlgItem(box, 0xFFFF));
}

HWND CDialogScript::FindDialog(const std::wstring& title)
{
    Search search = {&title, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void CALLBACK CDialogScript::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (s_active)
        s_active->Run();
}

void CDialogScript::Run()
{
    if (m_running)
        return;
    m_running = true;
    if (m_next < m_steps.size()) {
        if (HWND dialog = FindDialog(m_steps[m_next].title)) {
            Step& step = m_steps[m_next++];
            step.run(dialog);
        }
    }
    if (GetTickCount() - m_start > m_giveUpMs) {
        // Whatever of the script is still open goes, so the test ends.
        m_gaveUp = !Done();
        for (const Step& step : m_steps) {
            if (HWND open = FindDialog(step.title)) {
                m_gaveUp = true;
                if (step.title == kMenu) {
                    PostMessageW(open, WM_KEYDOWN, VK_ESCAPE, 0);
                } else {
                    PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
                    PostMessageW(open, WM_COMMAND, IDNO, 0);
                }
            }
        }
        m_next = m_steps.size();
        if (!m_gaveUp) {
            KillTimer(nullptr, m_timer);
            m_timer = 0;
        }
    }
    m_running = false;
}

void Click(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PostCommand(HWND dialog, UINT command)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}
