// The recent-smilies bar (its order, trimming, taps and keys) and the smiley
// chooser, over the runnable tree's smilies set (16 x 16 pictures).
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "HiDpi.h"
#include "dialogs/DialogScript.h"
#include "messaging/ListSmailyCtrl.h"
#include "messaging/MessageWndToolBar.h"
#include "messaging/QuickSmailyPanel.h"
#include "messaging/SelectionSmailyDlg.h"
#include "messaging/SmailyCtrl.h"
#include "msgwnd/MessagingFixture.h"

namespace {

// The bar's parent: keeps the smilies chosen and the focus moves asked for.
struct BarHost {
    std::vector<int> chosen;
    std::vector<WPARAM> focusMoves;

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* host = reinterpret_cast<BarHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (host && message == WM_JOV_SMILEY_CHOSEN)
            host->chosen.push_back(static_cast<int>(wParam));
        if (host && message == WM_NEXTDLGCTL)
            host->focusMoves.push_back(wParam);
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

class QuickBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static ATOM atom = 0;
        if (!atom) {
            WNDCLASSW windowClass = {};
            windowClass.lpfnWndProc = BarHost::Proc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"QuickBarTestHost";
            atom = RegisterClassW(&windowClass);
        }
        window = CreateWindowExW(0, L"QuickBarTestHost", L"bar host", WS_POPUP | WS_VISIBLE, 0, 0, 240, 60, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&host));
    }
    void TearDown() override
    {
        bar.reset();
        DestroyWindow(window);
    }
    // A bar of that width; the border takes a pixel each side of the client area.
    void MakeBar(int width)
    {
        bar = std::make_unique<CQuickSmailyPanel>(window, RECT{0, 0, width, 27});
        Pump();
    }
    std::vector<int> Order()
    {
        std::vector<int> order;
        for (int i = 0; i < bar->GetCount(); ++i)
            order.push_back(bar->GetSmileyAt(i));
        return order;
    }
    void Key(UINT key) { SendMessageW(*bar, WM_KEYDOWN, key, 1); }
    void Tap(int x) { SendMessageW(*bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 10)); }
    void Pump()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }

    HWND window = nullptr;
    BarHost host;
    std::unique_ptr<CQuickSmailyPanel> bar;
};

} // namespace

TEST_F(QuickBarTest, ItFillsFromTheStartOfTheSetAndKeepsTheOrderOfSmiliesItHas)
{
    MakeBar(162);  // 160 inside: four cells of 39 and a part of a fifth
    EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2, 3, 4}));
    bar->AddRecent(2);
    EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2, 3, 4})) << "already there: no change";
    bar->AddRecent(7);
    EXPECT_EQ(Order(), (std::vector<int>{7, 0, 1, 2, 3})) << "to the front; the last one drops";
    CSmailyCtrl* front = bar->GetControlAt(0);
    RECT rect;
    GetWindowRect(*front, &rect);
    MapWindowPoints(nullptr, *bar, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 1 + (38 - 16) / 2) << "centred in its cell";
    EXPECT_EQ(rect.top, (25 - 16) / 2);

    bar.reset();
    MakeBar(20);
    EXPECT_EQ(bar->GetCount(), 1) << "narrower than a cell, it still keeps one";
}

TEST_F(QuickBarTest, ATapChoosesTheCellItFallsIn)
{
    MakeBar(162);
    Tap(40);
    Tap(41);
    Tap(500);  // past the bar: takes the focus only
    EXPECT_EQ(host.chosen, (std::vector<int>{0, 1}));
    EXPECT_EQ(bar->GetSelection(), 1);
    EXPECT_EQ(GetFocus(), static_cast<HWND>(*bar));
}

TEST_F(QuickBarTest, ArrowsWalkTheBarAndLeaveItAtItsEnds)
{
    MakeBar(162);
    SetFocus(*bar);
    EXPECT_EQ(bar->GetSelection(), 0);
    Key(VK_LEFT);
    EXPECT_EQ(bar->GetSelection(), -1);
    SetFocus(nullptr);
    SetFocus(*bar);
    for (int i = 0; i < 4; ++i)
        Key(VK_RIGHT);
    EXPECT_EQ(bar->GetSelection(), 4);
    Key(VK_RETURN);
    Key(VK_RIGHT);
    EXPECT_EQ(bar->GetSelection(), -1);
    Pump();
    EXPECT_EQ(host.focusMoves, (std::vector<WPARAM>{1, 0})) << "back at the first, on at the last";
    EXPECT_EQ(host.chosen, std::vector<int>{4});
}

TEST_F(QuickBarTest, ShrinkingDropsASelectionThatNoLongerNamesASmiley)
{
    MakeBar(162);
    SetFocus(*bar);
    for (int i = 0; i < 4; ++i)
        Key(VK_RIGHT);
    ASSERT_EQ(bar->GetSelection(), 4);
    SetWindowPos(*bar, nullptr, 0, 0, 82, 27, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(bar->GetCount(), 3);
    EXPECT_EQ(bar->GetSelection(), -1);
    Key(VK_RETURN);
    EXPECT_TRUE(host.chosen.empty()) << "Enter inserts no smiley that is gone";
}

TEST_F(MessagingTest, TheChooserOpensOnTheLastChoiceAndReportsTheNewOne)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    window->OpenContact(ann, 0);
    CSelectionSmailyDlg::SetChosenIndex(5);
    int openedOn = -1;
    int cells = 0;
    RECT cell = {};
    CDialogScript script;
    script.When(L"Smilies", [&](HWND dialog) {
        HWND grid = GetFocus();
        auto* list = reinterpret_cast<CListSmailyCtrl*>(GetWindowLongPtrW(grid, GWLP_USERDATA));
        ASSERT_NE(list, nullptr);
        (void)dialog;
        openedOn = list->GetSelectImage();
        cells = list->GetControlCount();
        GetWindowRect(*list->GetControl(0), &cell);
        list->SetSelectImage(7);
        PostMessageW(grid, WM_KEYDOWN, VK_RETURN, 1);
    });
    script.Start();
    window->ChooseSmiley();
    ASSERT_TRUE(script.Done());
    EXPECT_EQ(openedOn, 5);
    EXPECT_EQ(cells, 20) << "every smiley of the set";
    EXPECT_EQ(cell.right - cell.left, 16);
    EXPECT_EQ(CSelectionSmailyDlg::GetChosenIndex(), 7);
    EXPECT_EQ(EditText(ann), L":'(");
    EXPECT_EQ(window->GetToolBar()->GetQuickBar()->GetSmileyAt(0), 7) << "and it leads the recent bar";
}

TEST_F(MessagingTest, TheChoosersOkKeepsTheGridsSelection)
{
    Start();
    CSelectionSmailyDlg::SetChosenIndex(0);
    CDialogScript script;
    script.When(L"Smilies", [&](HWND dialog) {
        auto* list = reinterpret_cast<CListSmailyCtrl*>(GetWindowLongPtrW(GetFocus(), GWLP_USERDATA));
        list->SetSelectImage(6);
        PostCommand(dialog, IDOK);
    });
    script.Start();
    CSelectionSmailyDlg dialog(window->GetWnd());
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(CSelectionSmailyDlg::GetChosenIndex(), 6);
}
