// The contact-list control with its own window, as start-up makes it, on the
// control's test world (tests/clctrl): a real contact-list model, fake
// accounts, alerts, notifications and messaging window. Besides: the skin's
// colours set apart per index, the images drawn recorded with their squares,
// the blink clock in the test's hands, and a parent that records the
// commands it gets. The test thread is the UI thread.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "CriticalSectionLock.h"
#include "HiDpi.h"
#include "clctrl/CLCtrlFixture.h"
#include "clwindow/DrawRecorder.h"
#include "contactlist/DialogSkin.h"
#include "contactlist/ListPaint.h"
#include "core/AppGlobals.h"
#include "support/QuietGuiServices.h"

struct DrawnImage {
    unsigned int id;
    RECT rect;
};

// The program's texts (none: the English ones show) and image drawing.
class CImageRecorder final : public CQuietGuiServices {
public:
    void DrawImage(unsigned int imageId, HDC, const RECT& rect) override { images.push_back({imageId, rect}); }

    // The squares image was drawn into.
    std::vector<RECT> Squares(unsigned int imageId) const
    {
        std::vector<RECT> squares;
        for (const DrawnImage& image : images) {
            if (image.id == imageId)
                squares.push_back(image.rect);
        }
        return squares;
    }

    std::vector<DrawnImage> images;
};

// Colour k is RGB(10 + k, 100 + k, 200 - k): each use tells its index.
class CNumberedSkin final : public CDialogSkin {
public:
    static COLORREF Numbered(int index) { return RGB(10 + index, 100 + index, 200 - index); }

    HBRUSH GetBackgroundBrush() override { return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)); }
    HBITMAP CreateBackgroundBitmap(HWND) override { return nullptr; }
    COLORREF GetColor(int index) override { return Numbered(index); }
    bool GetSkinColors(const CJOVString&, COLORREF*) override { return false; }
    void SetSkinColors(const CJOVString&, const COLORREF*) override {}
    bool ReadColorsIni(const CJOVString&, COLORREF*) override { return false; }
    unsigned int AddImage(const JOV_GUID&, const CJOVString&) override { return 0; }
    void ReleaseImage(unsigned int) override {}
};

class ListWindowTest : public CLCtrlTest {
protected:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 280;

    void SetUp() override
    {
        CLCtrlTest::SetUp();
        g_App.hInstance = GetModuleHandleW(nullptr);
        g_App.pServices = &m_images;
        SetDialogSkin(&m_skin);
        s_now = 0;
        ListPaint::SetBlinkClock(Clock);
        m_parent = CreateWindowExW(0, ParentClass(), L"JOV", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight + 20,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(m_parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

    void TearDown() override
    {
        CLCtrlTest::TearDown();
        DestroyWindow(m_parent);
        ListPaint::SetBlinkClock(nullptr);
        SetDialogSkin(nullptr);
        g_App.pServices = nullptr;
    }

    // The control, its model, "Loaded", then the control's own window.
    void StartList(bool withChat = true)
    {
        Start(withChat);
        const RECT rect = {0, 0, kWidth, kHeight};
        ASSERT_EQ(m_control->CreateWnd(WS_VISIBLE | WS_TABSTOP, rect, m_parent, 2), 1);
        m_list = m_control->GetWnd();
        Pump();
    }

    // The blink clock: odd half-seconds show pending entries.
    static void SetBlink(bool on) { s_now = on ? 500 : 1000; }

    // The shown tree drawn as the paint draws it, on a metafile.
    DrawRecording DrawShown()
    {
        m_images.images.clear();
        return RecordDrawing([&](HDC dc) {
            SCROLLINFO info = ScrollInfo(SIF_POS);
            GetScrollInfo(m_list, SB_VERT, &info);
            RECT client;
            GetClientRect(m_list, &client);
            CCriticalSectionLock hold(m_control->GetLock());
            CRootItem* root = m_control->GetMode() == 0 ? m_control->GetStatusTree() : m_control->GetAccountTree();
            const RECT tree = {0, -info.nPos, client.right, static_cast<int>(root->GetHeight()) - info.nPos};
            root->Draw(dc, &tree, &client, 1);
        });
    }

    // Paints the window now.
    void PaintNow()
    {
        InvalidateRect(m_list, nullptr, FALSE);
        UpdateWindow(m_list);
    }

    bool HasUpdate() { return GetUpdateRect(m_list, nullptr, FALSE) != 0; }

    // The rectangle of an item's row in the window.
    RECT RowOf(CTreeItem* item)
    {
        RECT row = {};
        CCriticalSectionLock hold(m_control->GetLock());
        item->GetItemRect(&row);
        SCROLLINFO info = ScrollInfo(SIF_POS);
        GetScrollInfo(m_list, SB_VERT, &info);
        row.bottom = row.top + static_cast<int>(item->GetItemHeight()) - info.nPos;
        row.top -= info.nPos;
        return row;
    }

    // Units as pixels, as the drawing scales them.
    static int X(int units) { return HIDPI_ScaleX(units); }
    static int Y(int units) { return HIDPI_ScaleY(units); }
    // A 16 x 16 icon square at x on a row that starts at top.
    static RECT Icon(int x, int rowTop, int rowUnits)
    {
        const int mid = (rowTop + rowTop + Y(rowUnits)) / 2;
        return RECT{x + X(3), mid - Y(8), x + X(19), mid + Y(8)};
    }

    static bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }
    static bool Contains(const std::vector<RECT>& squares, const RECT& square)
    {
        for (const RECT& drawn : squares) {
            if (Same(drawn, square))
                return true;
        }
        return false;
    }

    CImageRecorder m_images;
    CNumberedSkin m_skin;
    HWND m_parent = nullptr;
    HWND m_list = nullptr;
    std::vector<UINT> m_commands;  // WM_COMMAND ids the parent got

private:
    static DWORD Clock() { return s_now; }
    static inline DWORD s_now = 0;

    static LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* test = reinterpret_cast<ListWindowTest*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (test && message == WM_COMMAND)
            test->m_commands.push_back(LOWORD(wParam));
        return DefWindowProcW(window, message, wParam, lParam);
    }

    static const wchar_t* ParentClass()
    {
        static ATOM atom = 0;
        if (!atom) {
            WNDCLASSW windowClass = {};
            windowClass.lpfnWndProc = ParentProc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"CLWindowTestParent";
            atom = RegisterClassW(&windowClass);
        }
        return L"CLWindowTestParent";
    }
};
