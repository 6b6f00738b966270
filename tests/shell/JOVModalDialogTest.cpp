// The modal dialog base: full-screen with its soft keys, captions and their
// relabelling, and the rules of ending with OK, Cancel and WM_CLOSE.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "JOVModalDialog.h"
#include "MenuBar.h"
#include "Screen.h"
#include "ShellTestIds.h"
#include "ShellTestSupport.h"
#include "ShellTrace.h"

namespace {

const UINT WM_RUN_SCRIPT = WM_APP + 1;
const int kGaveUp = -99;

// Runs script once the dialog is open; a dialog still open after a few
// seconds ends with kGaveUp instead of hanging the tests.
class CTestDialog : public CJOVModalDialog {
public:
    CTestDialog(HWND parent, int menuBarId, int softKeysFlag)
        : CJOVModalDialog(TestModule(), parent, IDD_FORM, menuBarId, softKeysFlag)
    {
    }

    HWND Dialog() const { return m_hDlg; }
    HWND Bar() const { return m_hMenuBar; }
    HWND Edit() const { return GetDlgItem(m_hDlg, IDC_NAME); }

    std::function<void(CTestDialog&)> script;
    std::wstring name = L"initial";
    bool accept = true;
    int loads = 0;
    int saves = 0;
    const wchar_t* captions[2] = {nullptr, nullptr};

protected:
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_RUN_SCRIPT:
            // Shown as the dialog loop would once idle, so the script sees the dialog.
            ShowWindow(dialog, SW_SHOWNORMAL);
            if (script)
                script(*this);
            return 1;

        case WM_TIMER:
            ::EndDialog(dialog, kGaveUp);
            return 1;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(LOWORD(wParam));
                return 1;
            }
            break;
        }
        return CJOVModalDialog::DialogProc(dialog, message, wParam, lParam);
    }

    void OnInitDialog() override
    {
        CJOVModalDialog::OnInitDialog();
        SetTimer(m_hDlg, 1, 5000, nullptr);
        PostMessageW(m_hDlg, WM_RUN_SCRIPT, 0, 0);
    }

    int DoDataExchange(int save) override
    {
        if (!save) {
            ++loads;
            SetDlgItemTextW(m_hDlg, IDC_NAME, name.c_str());
            return 1;
        }
        ++saves;
        if (!accept)
            return 0;
        wchar_t text[64] = {};
        GetDlgItemTextW(m_hDlg, IDC_NAME, text, 64);
        name = text;
        return 1;
    }

    HBRUSH GetBkBrush() override { return GetSysColorBrush(COLOR_WINDOW); }

    int GetSoftKeyCap(int index, CJOVString& caption) override
    {
        if (index < 0 || index > 1 || !captions[index])
            return 0;
        caption = CJOVString(captions[index]);
        return 1;
    }
};

std::wstring KeyText(HWND bar, int index)
{
    TBBUTTON button = {};
    if (!SendMessageW(bar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)))
        return L"<none>";
    return reinterpret_cast<const wchar_t*>(button.iString);
}

std::wstring EditText(HWND edit)
{
    wchar_t text[64] = {};
    GetWindowTextW(edit, text, 64);
    return text;
}

class ModalDialog : public ::testing::Test {
protected:
    CTestHost host;
};

} // namespace

TEST_F(ModalDialog, OpensFullScreenWithItsSoftKeysAndData)
{
    CTestDialog dialog(host.Window(), IDR_OK_CANCEL_BAR, 1);
    Platform::ClearShellCalls();
    dialog.script = [&](CTestDialog& d) {
        RECT placed, bar;
        GetWindowRect(d.Dialog(), &placed);
        ASSERT_NE(d.Bar(), nullptr);
        GetWindowRect(d.Bar(), &bar);
        RECT band = Platform::GetFullScreenRect(true);
        EXPECT_EQ(placed.top, band.top);
        EXPECT_EQ(placed.bottom, band.bottom);
        EXPECT_EQ(placed.right - placed.left, band.right - band.left);
        EXPECT_EQ(bar.top, placed.bottom);
        EXPECT_EQ(bar.bottom, Platform::GetScreenRect().bottom);
        EXPECT_EQ(SHFindMenuBar(d.Dialog()), d.Bar());
        EXPECT_EQ(EditText(d.Edit()), L"initial");
        // Captions the dialog does not give read "???".
        EXPECT_EQ(KeyText(d.Bar(), 0), L"???");
        EXPECT_EQ(KeyText(d.Bar(), 1), L"???");
        // Brought to the top, the dialog shows its bar again.
        ShowWindow(d.Bar(), SW_HIDE);
        SetWindowPos(d.Dialog(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        EXPECT_TRUE(IsWindowVisible(d.Bar()));
        PostMessageW(d.Dialog(), WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.loads, 1);
    EXPECT_EQ(dialog.saves, 0);  // closing stores nothing
    int init = Platform::FindShellCall("SHInitDialog");
    Platform::ShellCall call;
    ASSERT_TRUE(Platform::GetShellCall(init, &call));
    EXPECT_EQ(call.value, static_cast<uintptr_t>(SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN));
    EXPECT_GT(Platform::FindShellCall("SHCreateMenuBar", init), init);
}

TEST_F(ModalDialog, OkThatTheDataRefusesKeepsTheDialogOpen)
{
    CTestDialog dialog(host.Window(), IDR_OK_CANCEL_BAR, 1);
    dialog.script = [&](CTestDialog& d) {
        SetWindowTextW(d.Edit(), L"typed");
        d.accept = false;
        PostKey(d.Edit(), VK_F1);  // the OK soft key
        ASSERT_TRUE(PumpUntil([&] { return d.saves == 1; }));
        Pump();
        EXPECT_TRUE(IsWindowVisible(d.Dialog()));
        EXPECT_EQ(EditText(d.Edit()), L"typed");
        d.accept = true;
        PostKey(d.Edit(), VK_F1);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.saves, 2);
    EXPECT_EQ(dialog.name, L"typed");
}

TEST_F(ModalDialog, CancelEndsWithoutStoring)
{
    CTestDialog dialog(host.Window(), IDR_OK_CANCEL_BAR, 1);
    dialog.script = [&](CTestDialog& d) {
        SetWindowTextW(d.Edit(), L"dropped");
        PostKey(d.Edit(), VK_F2);
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.saves, 0);
    EXPECT_EQ(dialog.name, L"initial");
}

TEST_F(ModalDialog, ALanguageChangeRelabelsTheSoftKeys)
{
    CTestDialog dialog(host.Window(), IDR_OK_CANCEL_BAR, 1);
    dialog.captions[0] = L"OK";
    dialog.captions[1] = L"Cancel";
    dialog.script = [&](CTestDialog& d) {
        EXPECT_EQ(KeyText(d.Bar(), 0), L"OK");
        d.captions[0] = L"Ano";
        d.captions[1] = L"Zrušit";
        SendMessageW(d.Dialog(), WM_JOV_LANG_CHANGED, 0, 0);
        EXPECT_EQ(KeyText(d.Bar(), 0), L"Ano");
        EXPECT_EQ(KeyText(d.Bar(), 1), L"Zrušit");
        EXPECT_EQ(SendMessageW(d.Bar(), TB_COMMANDTOINDEX, IDCANCEL, 0), 1);
        // For a look at the dialog: JOV_TEST_HOLD_MS keeps it open that long.
        if (const char* hold = std::getenv("JOV_TEST_HOLD_MS"))
            PumpFor(static_cast<DWORD>(std::atoi(hold)));
        PostMessageW(d.Dialog(), WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(ModalDialog, ABarBuiltFromAMenuWorksTheSame)
{
    CTestDialog dialog(host.Window(), IDM_OK_CANCEL, 0);
    dialog.script = [&](CTestDialog& d) {
        ASSERT_NE(d.Bar(), nullptr);
        TBBUTTON first = {};
        SendMessageW(d.Bar(), TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&first));
        EXPECT_EQ(first.idCommand, IDOK);
        EXPECT_EQ(KeyText(d.Bar(), 0), L"???");
        EXPECT_EQ(KeyText(d.Bar(), 1), L"???");
        PostKey(d.Edit(), VK_F1);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.saves, 1);

    // Run again, the same object builds its bar from the menu again.
    dialog.script = [&](CTestDialog& d) {
        EXPECT_NE(d.Bar(), nullptr);
        PostKey(d.Edit(), VK_F2);
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(ModalDialog, MissingResources)
{
    CTestDialog noBar(host.Window(), 4999, 1);
    noBar.script = [&](CTestDialog& d) {
        EXPECT_EQ(d.Bar(), nullptr);
        SendMessageW(d.Dialog(), WM_JOV_LANG_CHANGED, 0, 0);
        PostMessageW(d.Dialog(), WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(noBar.DoModal(), IDCANCEL);
    EXPECT_EQ(noBar.loads, 1);

    CJOVModalDialog noTemplate(TestModule(), host.Window(), IDD_MISSING, IDR_OK_CANCEL_BAR, 1);
    EXPECT_EQ(noTemplate.DoModal(), -1);
}
