// A tabbed dialog's strip in use: the initial page, pages that cannot be
// made, taps, arrows, drags, keys, and re-titling after a language change.
#include <gtest/gtest.h>

#include "contactlist/TabsDialog.h"
#include "dialogs/DialogScript.h"
#include "dialogs/DialogsFixture.h"
#include "plugins/PagesPlugin.h"

namespace {

const wchar_t kTitle[] = L"Tabs test";

// Pages "Page <i><suffix>" from the Pages plug-in's module; the record at
// missingAt names a template that does not exist.
class CTestTabs : public CTabsDialog {
public:
    CTestTabs(int initialPage, int count, int missingAt = -1)
        : CTabsDialog(nullptr, IDM_APPLY_CANCEL, initialPage), m_count(count), m_missingAt(missingAt),
          m_module(LoadLibraryW(GetAppDir() + CJOVString(L"test_protos\\dialogs\\Protos\\Pages\\Pages.dll")))
    {
        SetTitle(-1, kTitle);
    }
    ~CTestTabs() override { FreeLibrary(m_module); }

    std::wstring suffix = L"";
    bool supply = true;

    POINT StripPoint(int x) { return POINT{x, (Strip().GetRect().top + Strip().GetRect().bottom) / 2}; }
    void Tap(POINT down, POINT up)
    {
        SendMessageW(GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
        SendMessageW(GetHwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(up.x, up.y));
        SendMessageW(GetHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
    }
    LRESULT Key(UINT key) { return SendMessageW(GetFocusButton(), WM_KEYDOWN, key, 1); }

protected:
    bool GetPanels(CJOVArray<CPanelInfo>& panels) override
    {
        for (int i = 0; i < m_count; ++i) {
            CPanelInfo page;
            page.title = CJOVString((L"Page " + std::to_wstring(i) + suffix).c_str());
            page.module = m_module;
            page.dialog = i == m_missingAt ? IDD_MISSING_PAGE : IDD_NICK_PAGE;
            panels.Append(page);
        }
        return supply;
    }

private:
    int m_count;
    int m_missingAt;
    HMODULE m_module;
};

int RunScripted(CTestTabs& dialog, std::function<void(HWND)> step)
{
    CDialogScript script;
    script.When(kTitle, [&](HWND window) {
        UpdateWindow(window);
        step(window);
        PostCommand(window, IDCANCEL);
    });
    script.Start();
    int code = dialog.DoModal();
    EXPECT_TRUE(script.Done());
    EXPECT_FALSE(script.GaveUp());
    return code;
}

} // namespace

TEST_F(DialogsTest, TheInitialPageIsCheckedAgainstThePages)
{
    CTestTabs dialog(12, 3);
    int current = -1;
    bool firstShown = false;
    std::wstring name;
    RunScripted(dialog, [&](HWND window) {
        current = dialog.GetCurrentPage();
        firstShown = IsWindowVisible(dialog.GetPageWnd(0)) && !IsWindowVisible(dialog.GetPageWnd(1));
        name = CDialogScript::Text(window);
    });
    EXPECT_EQ(current, 0);
    EXPECT_TRUE(firstShown);
    EXPECT_EQ(name, kTitle) << "a tabbed dialog carries its name";

    CTestTabs second(2, 3);
    RunScripted(second, [&](HWND) { current = second.GetCurrentPage(); });
    EXPECT_EQ(current, 2);
}

TEST_F(DialogsTest, NoPagesCloseTheDialogUnlessThereWereNoneToAskFor)
{
    CTestTabs empty(0, 0);
    EXPECT_EQ(empty.DoModal(), IDCANCEL);

    CTestTabs refused(0, 0);
    refused.supply = false;
    bool open = false;
    EXPECT_EQ(RunScripted(refused, [&](HWND window) { open = IsWindowVisible(window) != 0; }), IDCANCEL);
    EXPECT_TRUE(open) << "an empty dialog with a strip and no page";
}

TEST_F(DialogsTest, ALanguageChangeRetitlesEachTabFromItsOwnRecord)
{
    CTestTabs dialog(0, 4, 1);
    std::wstring before, after;
    RunScripted(dialog, [&](HWND window) {
        for (int i = 0; i < dialog.GetPageCount(); ++i)
            before += Str(dialog.GetTabTitle(i)) + L"|";
        dialog.suffix = L"b";
        SendMessageW(window, WM_JOV_LANG_CHANGED, 0, 0);
        for (int i = 0; i < dialog.GetPageCount(); ++i)
            after += Str(dialog.GetTabTitle(i)) + L"|";
    });
    EXPECT_EQ(before, L"Page 0|Page 2|Page 3|");
    EXPECT_EQ(after, L"Page 0b|Page 2b|Page 3b|");
}

TEST_F(DialogsTest, TapsChooseTabsArrowsScrollAndALongMoveDrags)
{
    CTestTabs dialog(0, 8);
    dialog.suffix = L" with a long title";
    int afterArrow = -1, afterBack = -1, firstBeforeDrag = -1, currentAfterTap = -1, currentAfterDrag = -1, firstAfterDrag = -1;
    bool nextShown = false, tappedShown = false;
    RunScripted(dialog, [&](HWND) {
        CTabStrip& strip = dialog.Strip();
        nextShown = strip.NextArrowShown();
        const int right = strip.GetRect().right;
        dialog.Tap(dialog.StripPoint(right - 3), dialog.StripPoint(right - 3));
        afterArrow = strip.GetFirstVisible();
        UpdateWindow(dialog.GetHwnd());
        const CTabStrip::Metrics& m = strip.GetMetrics();
        POINT previous = dialog.StripPoint(right - 1 - m.arrowWidth - m.arrowGap - m.arrowWidth / 2);
        dialog.Tap(previous, previous);
        afterBack = strip.GetFirstVisible();

        // A tap on the second tab shows its page.
        POINT second = dialog.StripPoint(strip.Widths()[0] + 5);
        dialog.Tap(second, second);
        currentAfterTap = dialog.GetCurrentPage();
        tappedShown = IsWindowVisible(dialog.GetPageWnd(1)) && !IsWindowVisible(dialog.GetPageWnd(0));

        // The second tab is now the first visible one. Pressed on it and
        // moved right: a drag, which brings the first tab back in.
        firstBeforeDrag = strip.GetFirstVisible();
        POINT first = dialog.StripPoint(5);
        dialog.Tap(first, POINT{right - 40, first.y});
        currentAfterDrag = dialog.GetCurrentPage();
        firstAfterDrag = strip.GetFirstVisible();
    });
    EXPECT_TRUE(nextShown);
    EXPECT_EQ(afterArrow, 1);
    EXPECT_EQ(afterBack, 0);
    EXPECT_EQ(currentAfterTap, 1);
    EXPECT_TRUE(tappedShown);
    EXPECT_EQ(currentAfterDrag, 1) << "a drag chooses no tab";
    EXPECT_EQ(firstBeforeDrag, 1) << "the long second tab scrolled into view";
    EXPECT_EQ(firstAfterDrag, 0);
}

TEST_F(DialogsTest, ArrowKeysOnTheStripMovePagesAndLeaveItAtTheEnds)
{
    CTestTabs dialog(0, 3);
    std::vector<int> pages;
    bool leftAtFirst = false, leftAtLast = false;
    LRESULT otherKey = 0;
    RunScripted(dialog, [&](HWND) {
        SetFocus(dialog.GetFocusButton());
        dialog.Key(VK_RIGHT);
        pages.push_back(dialog.GetCurrentPage());
        dialog.Key(VK_RIGHT);
        pages.push_back(dialog.GetCurrentPage());
        dialog.Key(VK_RIGHT);
        pages.push_back(dialog.GetCurrentPage());
        leftAtLast = GetFocus() != dialog.GetFocusButton();
        SetFocus(dialog.GetFocusButton());
        dialog.Key(VK_LEFT);
        dialog.Key(VK_LEFT);
        pages.push_back(dialog.GetCurrentPage());
        dialog.Key(VK_LEFT);
        pages.push_back(dialog.GetCurrentPage());
        leftAtFirst = GetFocus() != dialog.GetFocusButton();
        SetFocus(dialog.GetFocusButton());
        otherKey = SendMessageW(dialog.GetHwnd(), WM_JOV_TABS_KEY, 'A', 0);
    });
    EXPECT_EQ(pages, (std::vector<int>{1, 2, 2, 0, 0})) << "no wrapping at either end";
    EXPECT_TRUE(leftAtLast);
    EXPECT_TRUE(leftAtFirst);
    EXPECT_EQ(otherKey, 1) << "other keys go on to the button";
}
