#include "MainWindowFixture.h"

#include <commctrl.h>

#include "core/MainWindow.h"
#include "core/StatusToolbar.h"
#include "support/SoftKeyText.h"

namespace {

const wchar_t kTestClass[] = L"JOV test main window";

void ResetApp()
{
    g_App.hMenuBar = nullptr;
    g_App.hMainWnd = nullptr;
    g_App.hInstance = GetModuleHandleW(nullptr);
    g_App.hStatusToolbar = nullptr;
    g_App.guiClientId = 0;
    g_App.pDatabase = nullptr;
    g_App.pCLCtrl = nullptr;
    g_App.pMessageWnd = nullptr;
    g_App.pServices = nullptr;
    g_App.pGuiClient = nullptr;
    g_App.accountStatusMap.clear();
    g_App.leftMenu.RemoveAll();
    g_App.rightMenu.RemoveAll();
    g_App.menuLoopDepth = 0;
    g_App.menuRebuildPending = false;
    g_App.closing = false;
}

} // namespace

void MainWindowTest::SetUp()
{
    ResetApp();
    g_App.pServices = &services;
    static ATOM registered = RegisterMainWindowClass(g_App.hInstance, kTestClass);
    ASSERT_NE(registered, 0);
    main = CreateWindowExW(0, kTestClass, L"JOV test", WS_POPUP | WS_VISIBLE, 0, 0, 240, 294, nullptr, nullptr,
                           g_App.hInstance, nullptr);
    ASSERT_NE(main, nullptr);
    g_App.hMainWnd = main;
    ASSERT_NE(g_App.hMenuBar, nullptr);
    g_App.hStatusToolbar = CreateStatusToolbar(main);
    ASSERT_NE(g_App.hStatusToolbar, nullptr);
}

void MainWindowTest::TearDown()
{
    if (main)
        DestroyWindow(main);
    // WM_DESTROY posted the quit message meant for the program's loop.
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    Pump();
    ResetApp();
}

void MainWindowTest::Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::wstring MainWindowTest::SoftKeyText(UINT key) const
{
    return ::SoftKeyText(g_App.hMenuBar, key);
}

std::wstring MainWindowTest::ButtonText(UINT command) const
{
    wchar_t text[128] = {};
    LRESULT length = SendMessageW(g_App.hStatusToolbar, TB_GETBUTTONTEXTW, command, reinterpret_cast<LPARAM>(text));
    return length > 0 ? std::wstring(text) : std::wstring();
}

int MainWindowTest::ButtonCount() const
{
    return static_cast<int>(SendMessageW(g_App.hStatusToolbar, TB_BUTTONCOUNT, 0, 0));
}
