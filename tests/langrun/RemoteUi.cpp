#include "langrun/RemoteUi.h"

#include <commctrl.h>

#include "support/ProcessWindows.h"

namespace {

const wchar_t kBarClass[] = L"JOV Soft-key Bar";

} // namespace

CProgramMemory::CProgramMemory(HWND window, size_t size)
    : m_process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | SYNCHRONIZE, FALSE,
                            ProcessOf(window))),
      m_remote(nullptr)
{
    if (m_process)
        m_remote = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

CProgramMemory::~CProgramMemory()
{
    if (m_remote)
        VirtualFreeEx(m_process, m_remote, 0, MEM_RELEASE);
    if (m_process)
        CloseHandle(m_process);
}

bool CProgramMemory::Write(const void* data, size_t size, size_t at)
{
    return m_remote && WriteProcessMemory(m_process, Remote(at), data, size, nullptr);
}

bool CProgramMemory::Read(void* data, size_t size, size_t at)
{
    return m_remote && ReadProcessMemory(m_process, Remote(at), data, size, nullptr);
}

HWND SoftKeyBarOf(HWND window, DWORD ms)
{
    for (DWORD start = GetTickCount();; Sleep(50)) {
        for (HWND bar = FindWindowExW(nullptr, nullptr, kBarClass, nullptr); bar;
             bar = FindWindowExW(nullptr, bar, kBarClass, nullptr)) {
            if (GetWindow(bar, GW_OWNER) == window)
                return bar;
        }
        if (GetTickCount() - start > ms)
            return nullptr;
    }
}

std::vector<RemoteSoftKey> SoftKeys(HWND bar)
{
    std::vector<RemoteSoftKey> keys;
    struct Block {
        TBBUTTON button;
        TBBUTTONINFOW info;
        RECT rect;
        wchar_t text[128];
    };
    CProgramMemory memory(bar, sizeof(Block));
    if (!memory.Ready())
        return keys;
    auto* remote = static_cast<Block*>(memory.Remote());
    const int count = static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        Block block = {};
        block.info.cbSize = sizeof(TBBUTTONINFOW);
        block.info.dwMask = TBIF_TEXT;
        block.info.pszText = remote->text;
        block.info.cchText = 128;
        if (!memory.Write(&block, sizeof(block)) ||
            !SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&remote->button)) ||
            !memory.Read(&block, sizeof(block)))
            continue;
        SendMessageW(bar, TB_GETBUTTONINFOW, static_cast<WPARAM>(block.button.idCommand),
                     reinterpret_cast<LPARAM>(&remote->info));
        SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&remote->rect));
        if (!memory.Read(&block, sizeof(block)))
            continue;
        block.text[127] = 0;
        keys.push_back({block.button.idCommand, block.text, block.rect});
    }
    return keys;
}

std::wstring SoftKeyTexts(HWND bar)
{
    std::wstring joined;
    for (const RemoteSoftKey& key : SoftKeys(bar)) {
        if (!key.text.empty())
            joined += (joined.empty() ? L"" : L" | ") + key.text;
    }
    return joined;
}

void PostKey(HWND window, UINT key)
{
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

void PostClick(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void WaitForProgramIdle(HWND window)
{
    if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, ProcessOf(window))) {
        WaitForInputIdle(process, 5000);
        CloseHandle(process);
    }
    Sleep(300);
}

HWND WaitForTitle(HWND other, const std::wstring& title, DWORD ms)
{
    const DWORD process = ProcessOf(other);
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(50)) {
        if (HWND found = FindProcessWindow(process, nullptr, title.c_str()))
            return found;
    }
    return nullptr;
}

HWND VisiblePage(HWND dialog)
{
    for (HWND page = FindWindowExW(dialog, nullptr, L"#32770", nullptr); page;
         page = FindWindowExW(dialog, page, L"#32770", nullptr)) {
        if (IsWindowVisible(page))
            return page;
    }
    return nullptr;
}
