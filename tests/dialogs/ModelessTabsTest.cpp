// The tabbed modeless window on its own: pages coming and going around the
// current one, blinking tabs and double taps on an injected clock (and one
// double tap in real time), keys, and a window without a soft-key bar.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "ShellTrace.h"
#include "contactlist/DialogIds.h"
#include "contactlist/ModelessTabsDlg.h"
#include "dialogs/DialogsFixture.h"
#include "support/SoftKeyText.h"

namespace {

DWORD s_now = 0;
DWORD FakeClock()
{
    return s_now;
}

class CTestTabs : public CModelessTabsDlg {
public:
    CTestTabs() : CModelessTabsDlg(nullptr, -1) {}
    int doubleTaps = 0;

    POINT TabPoint(int index)
    {
        int x = 2;
        for (int i = Strip().GetFirstVisible(); i < index; ++i)
            x += Strip().Widths()[i];
        return POINT{x, (Strip().GetRect().top + Strip().GetRect().bottom) / 2};
    }
    void Press(POINT at)
    {
        SendMessageW(GetWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        SendMessageW(GetWnd(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    }

protected:
    void OnTabDoubleTap() override { ++doubleTaps; }
};

class ModelessTabsTest : public DialogsTest {
protected:
    void SetUp() override
    {
        DialogsTest::SetUp();
        s_now = 10000;
        ASSERT_TRUE(tabs.Create());
        tabs.SetClock(FakeClock);
        SetWindowPos(tabs.GetWnd(), HWND_TOP, 0, 0, 240, 294, SWP_SHOWWINDOW);
        SendMessageW(tabs.GetWnd(), WM_SETTINGCHANGE, SPI_SETSIPINFO, 0);
    }
    void TearDown() override
    {
        for (CModelessDlg* page : pages)
            delete page;
        DialogsTest::TearDown();
    }

    // A new page (a program template) added under title.
    CModelessDlg* Add(const wchar_t* title, std::vector<unsigned int> images = {})
    {
        auto* page = new CModelessDlg(GetModuleHandleW(nullptr), tabs.GetWnd(), IDD_ACCOUNTS_PAGE, -1);
        EXPECT_TRUE(page->Create());
        CJOVArray<unsigned int> list;
        for (unsigned int image : images)
            list.Append(image);
        tabs.AddPage(page, CJOVString(title), list);
        pages.push_back(page);
        return page;
    }
    // Removed pages are deleted by the window.
    void Remove(CModelessDlg* page)
    {
        tabs.RemovePage(page);
        pages.erase(std::find(pages.begin(), pages.end(), page));
    }
    bool OnlyVisible(CModelessDlg* page)
    {
        for (CModelessDlg* other : pages)
            if ((IsWindowVisible(other->GetWnd()) != 0) != (other == page))
                return false;
        return true;
    }
    void Repaint()
    {
        services.drawnImages.clear();
        RedrawWindow(tabs.GetWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    bool Drawn(unsigned int image)
    {
        return std::find(services.drawnImages.begin(), services.drawnImages.end(), image) !=
               services.drawnImages.end();
    }

    CTestTabs tabs;
    std::vector<CModelessDlg*> pages;
};

} // namespace

TEST_F(ModelessTabsTest, RemovingAPageKeepsTheCurrentAndShownPagesRight)
{
    CModelessDlg* a = Add(L"Ann");
    CModelessDlg* b = Add(L"Bob");
    CModelessDlg* c = Add(L"Cid");
    CModelessDlg* d = Add(L"Dan");
    EXPECT_EQ(tabs.GetCurrentIndex(), 3) << "an added page becomes current";
    ASSERT_TRUE(tabs.SelectPage(c));
    EXPECT_TRUE(OnlyVisible(c));

    // A page before the current one goes: the same page stays current.
    Remove(a);
    EXPECT_EQ(tabs.GetPageCount(), 3);
    EXPECT_EQ(tabs.GetPage(tabs.GetCurrentIndex()), c);
    EXPECT_TRUE(OnlyVisible(c));

    // The current page goes: the one after it takes its place.
    Remove(c);
    EXPECT_EQ(tabs.GetPage(tabs.GetCurrentIndex()), d);
    EXPECT_TRUE(OnlyVisible(d));

    // The last page goes while current: the one before it.
    Remove(d);
    EXPECT_EQ(tabs.GetPage(tabs.GetCurrentIndex()), b);
    EXPECT_TRUE(OnlyVisible(b));

    // A page after the current one goes: nothing moves.
    CModelessDlg* e = Add(L"Eve");
    ASSERT_TRUE(tabs.SelectPage(b));
    Remove(e);
    EXPECT_EQ(tabs.GetPage(tabs.GetCurrentIndex()), b);

    // The only page goes: the window hides.
    EXPECT_TRUE(IsWindowVisible(tabs.GetWnd()));
    Remove(b);
    EXPECT_EQ(tabs.GetPageCount(), 0);
    EXPECT_FALSE(IsWindowVisible(tabs.GetWnd()));
}

TEST_F(ModelessTabsTest, UnknownPagesChangeNothing)
{
    CModelessDlg* a = Add(L"Ann");
    CModelessDlg stranger(GetModuleHandleW(nullptr), nullptr, IDD_ACCOUNTS_PAGE, -1);
    EXPECT_FALSE(tabs.SelectPage(&stranger));
    tabs.RemovePage(&stranger);
    tabs.StartPageBlink(&stranger, 5);
    EXPECT_EQ(tabs.GetPageCount(), 1);
    EXPECT_EQ(tabs.GetBlinkingCount(), 0);
    EXPECT_TRUE(tabs.SelectPage(a));
}

TEST_F(ModelessTabsTest, ABlinkingTabShowsItsImageEveryOtherHalfSecond)
{
    CModelessDlg* a = Add(L"Ann", {61, 62});
    CModelessDlg* b = Add(L"Bob", {63});
    Repaint();
    EXPECT_EQ(services.drawnImages, (std::vector<unsigned int>{61, 62, 63})) << "layered images in order";

    tabs.StartPageBlink(a, 22);
    EXPECT_EQ(tabs.GetBlinkingCount(), 1);
    s_now = 10500;  // an odd half-second
    Repaint();
    EXPECT_TRUE(Drawn(22));
    EXPECT_FALSE(Drawn(61));
    EXPECT_FALSE(Drawn(62));
    EXPECT_TRUE(Drawn(63));
    s_now = 11000;
    Repaint();
    EXPECT_FALSE(Drawn(22));
    EXPECT_FALSE(Drawn(61)) << "nothing in the off half";

    // Blinking again only changes the image; stopping a steady tab does nothing.
    tabs.StartPageBlink(a, 23);
    tabs.StopPageBlink(b);
    EXPECT_EQ(tabs.GetBlinkingCount(), 1);
    s_now = 11500;
    Repaint();
    EXPECT_TRUE(Drawn(23));
    EXPECT_FALSE(Drawn(22));

    tabs.StartPageBlink(b, 24);
    EXPECT_EQ(tabs.GetBlinkingCount(), 2);
    tabs.StopPageBlink(a);
    tabs.StopPageBlink(b);
    EXPECT_EQ(tabs.GetBlinkingCount(), 0);
    EXPECT_FALSE(KillTimer(tabs.GetWnd(), kBlinkTimer)) << "the timer stopped with the last blinking tab";
    Repaint();
    EXPECT_TRUE(Drawn(61));
}

TEST_F(ModelessTabsTest, TheBlinkTimerRepaintsInRealTime)
{
    CModelessDlg* a = Add(L"Ann", {61});
    Add(L"Bob");
    tabs.SetClock(nullptr);
    tabs.StartPageBlink(a, 22);
    services.drawnImages.clear();
    // Within two periods the strip is repainted with the image shown once.
    const DWORD start = GetTickCount();
    while (!Drawn(22) && GetTickCount() - start < 3000) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
    EXPECT_TRUE(Drawn(22));
    tabs.StopPageBlink(a);
}

TEST_F(ModelessTabsTest, TwoQuickPressesOnTheStripAreOneDoubleTap)
{
    Add(L"Ann");
    Add(L"Bob");
    ASSERT_EQ(tabs.GetCurrentIndex(), 1);
    RedrawWindow(tabs.GetWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    POINT first = tabs.TabPoint(0);

    tabs.Press(first);
    EXPECT_EQ(tabs.GetCurrentIndex(), 0) << "a tap chooses the tab";
    EXPECT_EQ(tabs.doubleTaps, 0);

    // The second press within 500 ms near the first: the subclass is told,
    // and the press is neither a tap nor a drag.
    s_now += 400;
    tabs.Press(POINT{first.x + 3, first.y});
    EXPECT_EQ(tabs.doubleTaps, 1);
    EXPECT_EQ(tabs.GetCurrentIndex(), 0);

    // Too late, then too far: taps.
    s_now += 600;
    tabs.Press(tabs.TabPoint(1));
    EXPECT_EQ(tabs.doubleTaps, 1);
    EXPECT_EQ(tabs.GetCurrentIndex(), 1);
    s_now += 100;
    tabs.Press(tabs.TabPoint(0));
    EXPECT_EQ(tabs.doubleTaps, 1) << "16 units or more apart";
    EXPECT_EQ(tabs.GetCurrentIndex(), 0);

    // The same in real time.
    tabs.SetClock(nullptr);
    s_now = 0;
    POINT second = tabs.TabPoint(1);
    tabs.Press(second);
    tabs.Press(second);
    EXPECT_EQ(tabs.doubleTaps, 2);
}

TEST_F(ModelessTabsTest, KeysMovePagesAndTheFocusLeavesAtTheEnds)
{
    CModelessDlg* a = Add(L"Ann");
    Add(L"Bob");
    ASSERT_TRUE(tabs.SelectPage(a));
    SetFocus(tabs.GetFocusButton());
    SendMessageW(tabs.GetFocusButton(), WM_KEYDOWN, VK_RIGHT, 1);
    EXPECT_EQ(tabs.GetCurrentIndex(), 1);
    EXPECT_EQ(SendMessageW(tabs.GetWnd(), WM_JOV_MODELESS_TABS_KEY, VK_RIGHT, 1), 0);
    EXPECT_EQ(tabs.GetCurrentIndex(), 1) << "no wrapping";
    MSG msg;
    bool nextControl = false;
    while (PeekMessageW(&msg, tabs.GetWnd(), WM_NEXTDLGCTL, WM_NEXTDLGCTL, PM_REMOVE))
        nextControl = nextControl || msg.wParam == 0;
    EXPECT_TRUE(nextControl) << "the focus goes on past the strip";
    EXPECT_EQ(SendMessageW(tabs.GetWnd(), WM_JOV_MODELESS_TABS_KEY, 'X', 1), 1);
}

TEST_F(ModelessTabsTest, AWindowWithoutSoftKeyBarHasNoShellSetUp)
{
    Platform::ClearShellCalls();
    CTestTabs bare;
    ASSERT_TRUE(bare.Create());
    EXPECT_EQ(bare.GetMenuBar(), nullptr);
    for (int i = 0; i < Platform::GetShellCallCount(); ++i) {
        Platform::ShellCall call;
        ASSERT_TRUE(Platform::GetShellCall(i, &call));
        const std::string name = call.name;
        if (name == "SHInitDialog" || name == "SHCreateMenuBar") {
            EXPECT_NE(call.window, bare.GetWnd()) << call.name;
        }
    }

    CModelessTabsDlg withBar(nullptr, IDM_APPLY_CANCEL);
    ASSERT_TRUE(withBar.Create());
    ASSERT_NE(withBar.GetMenuBar(), nullptr);
    EXPECT_FALSE(IsWindowVisible(withBar.GetMenuBar())) << "made hidden, shown with the window";
    withBar.Show(true);
    EXPECT_TRUE(IsWindowVisible(withBar.GetMenuBar()));
    EXPECT_EQ(SoftKeyText(withBar.GetMenuBar(), IDC_APPLY_COMMAND), L"Apply");
    withBar.Show(false);
    EXPECT_FALSE(IsWindowVisible(withBar.GetMenuBar()));
}
