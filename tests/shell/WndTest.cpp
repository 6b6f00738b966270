// CWnd: creation, message routing, double-buffered paint, control colours and
// lifetime; CScrollWnd: scrolling by lines, pages and ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "ScrollWnd.h"
#include "ShellTestSupport.h"
#include "Wnd.h"

namespace {

class CProbeWnd : public CWnd {
public:
    using CWnd::CWnd;
    int Make(DWORD style, const RECT& rect) { return Create(style, rect); }
    bool Saw(UINT message) const { return std::find(seen.begin(), seen.end(), message) != seen.end(); }

    int creates = 0;
    int destroys = 0;
    int sizeChanges = 0;
    int posChanges = 0;
    int paints = 0;
    HWND createdAs = nullptr;
    DWORD paintDcType = 0;
    int paintBkMode = 0;
    HBRUSH background = nullptr;
    HBRUSH ink = nullptr;
    std::vector<UINT> seen;

protected:
    void OnCreate() override
    {
        ++creates;
        createdAs = m_hWnd;
    }
    void OnDestroy() override { ++destroys; }
    void OnChangeWindowSize() override { ++sizeChanges; }
    void OnWindowPosChanged(WINDOWPOS*) override { ++posChanges; }
    void OnPaint(CJOVDrawContext* context) override
    {
        ++paints;
        paintDcType = GetObjectType(context->hDC);
        paintBkMode = GetBkMode(context->hDC);
        RECT square = {10, 10, 20, 20};
        if (ink)
            FillRect(context->hDC, &square, ink);
    }
    HBRUSH GetBkBrush() override { return background ? background : CWnd::GetBkBrush(); }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back(message);
        return CWnd::OnMessage(message, wParam, lParam);
    }
};

class CProbeScroll : public CScrollWnd {
public:
    using CScrollWnd::CScrollWnd;
    int scrolls = 0;

protected:
    void OnScroll() override { ++scrolls; }
};

const RECT kPlace = {0, 0, 60, 60};

COLORREF PixelOf(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

} // namespace

TEST(Wnd, CreatesAChildAndRoutesItsMessages)
{
    CTestHost host;
    CProbeWnd wnd(TestModule(), host.Window());
    ASSERT_EQ(wnd.Make(WS_VISIBLE, kPlace), 1);
    HWND window = wnd;
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsChild(host.Window(), window));
    EXPECT_EQ(wnd.creates, 1);
    EXPECT_EQ(wnd.createdAs, window);
    // The object has the window from its very first message on.
    ASSERT_FALSE(wnd.seen.empty());
    EXPECT_EQ(wnd.seen.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_TRUE(wnd.Saw(WM_NCCALCSIZE));
    EXPECT_EQ(wnd.GetParent(), host.Window());
    EXPECT_EQ(wnd.GetInstance(), TestModule());

    // Only the input panel's setting and a screen change resize.
    SendMessageW(window, WM_SETTINGCHANGE, 224, 0);
    SendMessageW(window, WM_SETTINGCHANGE, 0x3002, 0);
    SendMessageW(window, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, 0);
    EXPECT_EQ(wnd.sizeChanges, 2);
    int before = wnd.posChanges;
    wnd.Resize(40, 30);
    EXPECT_GT(wnd.posChanges, before);
    EXPECT_EQ(wnd.GetClientWidth(), 40);
    EXPECT_EQ(wnd.GetClientHeight(), 30);
    EXPECT_EQ(SendMessageW(window, WM_ERASEBKGND, 0, 0), 1);

    // What no operation takes runs the default procedure.
    SetWindowTextW(window, L"titled");
    wchar_t text[16] = {};
    GetWindowTextW(window, text, 16);
    EXPECT_STREQ(text, L"titled");
    // A right-click becomes the context menu there.
    PostMessageW(window, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_TRUE(wnd.Saw(WM_CONTEXTMENU));
}

TEST(Wnd, CreateFailsWhenNoWindowIsMade)
{
    CProbeWnd orphan(TestModule(), nullptr);
    EXPECT_EQ(orphan.Make(0, kPlace), 0);  // a child needs a parent
    EXPECT_EQ(static_cast<HWND>(orphan), nullptr);
}

TEST(Wnd, WindowsOfEveryModuleShareTheClass)
{
    CTestHost host;
    CProbeWnd ours(TestModule(), host.Window());
    CProbeWnd theirs(GetModuleHandleW(L"kernel32.dll"), host.Window());
    EXPECT_EQ(ours.Make(0, kPlace), 1);
    EXPECT_EQ(theirs.Make(0, kPlace), 1);
    EXPECT_EQ(theirs.creates, 1);
}

TEST(Wnd, PaintsThroughAnOffScreenBitmapOverItsBrush)
{
    CTestHost host;
    CProbeWnd wnd(TestModule(), host.Window());
    wnd.background = CreateSolidBrush(RGB(255, 0, 0));
    wnd.ink = CreateSolidBrush(RGB(0, 0, 255));
    ASSERT_EQ(wnd.Make(WS_VISIBLE, kPlace), 1);
    InvalidateRect(wnd, nullptr, TRUE);
    UpdateWindow(wnd);
    EXPECT_GE(wnd.paints, 1);
    EXPECT_EQ(wnd.paintDcType, static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(wnd.paintBkMode, TRANSPARENT);
    EXPECT_EQ(PixelOf(wnd, 3, 3), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(wnd, 15, 15), RGB(0, 0, 255));
    DeleteObject(wnd.background);
    DeleteObject(wnd.ink);
}

TEST(Wnd, ControlsShowItsBrushAlignedToTheScreen)
{
    CTestHost host;
    CProbeWnd wnd(TestModule(), host.Window());
    wnd.background = CreateSolidBrush(RGB(0, 128, 0));
    RECT place = {7, 9, 67, 69};
    ASSERT_EQ(wnd.Make(WS_VISIBLE, place), 1);
    HWND label = CreateWindowExW(0, L"STATIC", L"x", WS_CHILD | WS_VISIBLE, 3, 4, 20, 10, wnd, nullptr,
                                 TestModule(), nullptr);
    HDC dc = GetDC(label);
    SetBkMode(dc, OPAQUE);
    LRESULT brush = SendMessageW(wnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), wnd.background);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    POINT origin, screen = {0, 0};
    GetBrushOrgEx(dc, &origin);
    ClientToScreen(label, &screen);
    EXPECT_EQ(origin.x, -screen.x);
    EXPECT_EQ(origin.y, -screen.y);
    // Buttons keep their own colours.
    LRESULT button = SendMessageW(wnd, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
    EXPECT_NE(reinterpret_cast<HBRUSH>(button), wnd.background);
    ReleaseDC(label, dc);
    DeleteObject(wnd.background);
}

TEST(Wnd, ShowingRaisesAndHidingKeepsTheZOrder)
{
    CTestHost host;
    CProbeWnd back(TestModule(), host.Window());
    CProbeWnd front(TestModule(), host.Window());
    ASSERT_EQ(back.Make(WS_VISIBLE, kPlace), 1);
    ASSERT_EQ(front.Make(WS_VISIBLE, kPlace), 1);
    back.UpInZOrder();
    EXPECT_EQ(GetWindow(host.Window(), GW_CHILD), static_cast<HWND>(back));
    back.Show(false);
    EXPECT_FALSE(IsWindowVisible(back));
    EXPECT_EQ(GetWindow(host.Window(), GW_CHILD), static_cast<HWND>(back));
    front.Show(true);
    EXPECT_EQ(GetWindow(host.Window(), GW_CHILD), static_cast<HWND>(front));
    front.MoveAndResize(RECT{5, 6, 35, 46});
    EXPECT_EQ(front.GetClientWidth(), 30);
    EXPECT_EQ(front.GetClientHeight(), 40);
}

TEST(Wnd, TheObjectAndTheWindowEndEitherWay)
{
    auto host = std::make_unique<CTestHost>();
    auto wnd = std::make_unique<CProbeWnd>(TestModule(), host->Window());
    ASSERT_EQ(wnd->Make(WS_VISIBLE, kPlace), 1);
    HWND window = *wnd;
    wnd.reset();
    EXPECT_FALSE(IsWindow(window));

    // The parent goes first: the object forgets the handle.
    CProbeWnd orphaned(TestModule(), host->Window());
    ASSERT_EQ(orphaned.Make(WS_VISIBLE, kPlace), 1);
    host.reset();
    EXPECT_EQ(orphaned.destroys, 1);
    EXPECT_EQ(static_cast<HWND>(orphaned), nullptr);
}

TEST(ScrollWnd, MovesByLinesPagesAndEnds)
{
    CTestHost host;
    CProbeScroll wnd(TestModule(), host.Window(), 7);
    ASSERT_EQ(wnd.Create(WS_VISIBLE, kPlace), 1);
    LONG_PTR style = GetWindowLongPtrW(wnd, GWL_STYLE);
    EXPECT_EQ(style & (WS_BORDER | WS_TABSTOP), WS_BORDER | WS_TABSTOP);
    // Made with the bar, which hides while there is nothing to scroll.
    EXPECT_EQ(wnd.GetScrollMaxRange(), 0);
    EXPECT_EQ(GetWindowLongPtrW(wnd, GWL_STYLE) & WS_VSCROLL, 0);

    wnd.SetScrollInfo(0, 200, 50, 0);
    EXPECT_EQ(GetWindowLongPtrW(wnd, GWL_STYLE) & WS_VSCROLL, WS_VSCROLL);
    auto scroll = [&](int request) { return SendMessageW(wnd, WM_VSCROLL, MAKEWPARAM(request, 0), 0); };
    EXPECT_EQ(scroll(SB_LINEDOWN), 1);
    EXPECT_EQ(wnd.GetScrollPos(), 7);
    scroll(SB_PAGEDOWN);
    EXPECT_EQ(wnd.GetScrollPos(), 57);
    scroll(SB_BOTTOM);
    EXPECT_EQ(wnd.GetScrollPos(), 151);  // the last page: 200 - 50 + 1
    scroll(SB_LINEDOWN);
    EXPECT_EQ(wnd.GetScrollPos(), 151);
    scroll(SB_PAGEUP);
    EXPECT_EQ(wnd.GetScrollPos(), 101);
    wnd.SetScrollTic(100);
    scroll(SB_LINEUP);
    EXPECT_EQ(wnd.GetScrollPos(), 1);
    scroll(SB_THUMBPOSITION);
    EXPECT_EQ(wnd.GetScrollPos(), 1);
    scroll(SB_TOP);
    EXPECT_EQ(wnd.GetScrollPos(), 0);
    EXPECT_EQ(wnd.scrolls, 8);

    int min = -1, max = -1;
    wnd.GetScrollRange(&min, &max);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 200);
    EXPECT_EQ(wnd.GetScrollPage(), 50);
    EXPECT_EQ(wnd.GetScrollTic(), 100);
}
