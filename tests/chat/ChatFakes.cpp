#include "chat/ChatFakes.h"

#include <cstdlib>

#include "HiDpi.h"
#include "messaging/ChatContent.h"

bool CFixedWidthMeasurer::GetExtents(HDC dc, const wchar_t* text, int count, int* extents, SIZE* size)
{
    ++calls;
    LOGFONTW font = {};
    GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof(font), &font);
    int x = 0;
    for (int i = 0; i < count; ++i) {
        auto wide = m_widths.find(text[i]);
        x += wide == m_widths.end() ? m_width : wide->second;
        extents[i] = x;
    }
    size->cx = x;
    size->cy = std::abs(font.lfHeight);
    return true;
}

CFakeSmilies::~CFakeSmilies()
{
    for (Smiley& smiley : m_smilies) {
        for (HBITMAP bitmap : smiley.bitmaps)
            DeleteObject(bitmap);
    }
}

int CFakeSmilies::Add(std::vector<std::wstring> codes, int width, int height, std::vector<COLORREF> frames,
                      std::vector<int> delays, int keyColour)
{
    Smiley smiley{std::move(codes), width, height, {}, std::move(delays), keyColour};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    for (COLORREF colour : frames) {
        HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
        HGDIOBJ old = SelectObject(memory, bitmap);
        RECT all = {0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(memory, &all, brush);
        DeleteObject(brush);
        SelectObject(memory, old);
        smiley.bitmaps.push_back(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    smiley.delays.resize(smiley.bitmaps.size(), 100);
    m_smilies.push_back(std::move(smiley));
    return static_cast<int>(m_smilies.size()) - 1;
}

const CFakeSmilies::Smiley* CFakeSmilies::Find(int smiley) const
{
    return smiley >= 0 && smiley < static_cast<int>(m_smilies.size()) ? &m_smilies[smiley] : nullptr;
}

int CFakeSmilies::GetCodeCount(int smiley)
{
    const Smiley* s = Find(smiley);
    return s ? static_cast<int>(s->codes.size()) : 0;
}

CJOVString CFakeSmilies::GetCode(int smiley, int code)
{
    const Smiley* s = Find(smiley);
    if (!s || code < 0 || code >= static_cast<int>(s->codes.size()))
        return CJOVString();
    return CJOVString(s->codes[code].c_str());
}

int CFakeSmilies::GetWidth(int smiley)
{
    const Smiley* s = Find(smiley);
    return s ? s->width : 0;
}

int CFakeSmilies::GetHeight(int smiley)
{
    const Smiley* s = Find(smiley);
    return s ? s->height : 0;
}

int CFakeSmilies::GetFrameCount(int smiley)
{
    const Smiley* s = Find(smiley);
    return s ? static_cast<int>(s->bitmaps.size()) : 0;
}

HBITMAP CFakeSmilies::GetFrameBitmap(int smiley, int frame)
{
    const Smiley* s = Find(smiley);
    return s && frame >= 0 && frame < static_cast<int>(s->bitmaps.size()) ? s->bitmaps[frame] : nullptr;
}

int CFakeSmilies::GetFrameKeyColor(int smiley, int frame)
{
    const Smiley* s = Find(smiley);
    return s && frame >= 0 && frame < static_cast<int>(s->bitmaps.size()) ? s->keyColour : 0;
}

int CFakeSmilies::GetFrameDelay(int smiley, int frame)
{
    const Smiley* s = Find(smiley);
    return s && frame >= 0 && frame < static_cast<int>(s->delays.size()) ? s->delays[frame] : 0;
}

CFakeSkin::CFakeSkin(CChatSmilies* smilies) : smilies(smilies), m_background(CreateSolidBrush(RGB(255, 255, 255)))
{
    for (int i = 0; i < 21; ++i)
        colours[i] = RGB(i * 10, 0, 0);
    colours[IncomingTimestamp] = RGB(0, 0, 160);
    colours[OutgoingTimestamp] = RGB(0, 120, 0);
    colours[MessageText] = RGB(0, 0, 0);
    colours[CustomStatusText] = RGB(120, 0, 120);
    colours[Highlighting] = RGB(40, 80, 200);
    colours[HighlightText] = RGB(255, 255, 255);
    colours[Link] = RGB(0, 0, 255);
    colours[HistorySeparator] = RGB(128, 128, 128);
}

CFakeSkin::~CFakeSkin() { DeleteObject(m_background); }

COLORREF CFakeSkin::GetColor(int index) { return index >= 0 && index < 21 ? colours[index] : 0; }

BOOL CFakeSkin::DrawImage(unsigned id, CJOVDrawContext* context, int left, int top, int right, int bottom, bool,
                          unsigned constantAlpha)
{
    images.push_back({id, {left, top, right, bottom}, constantAlpha});
    // A square of its own colour stands for the icon.
    RECT rect = {left + 2, top + 2, right - 2, bottom - 2};
    HBRUSH brush = CreateSolidBrush(constantAlpha == 255 ? RGB(230, 150, 0) : RGB(240, 200, 130));
    FillRect(context->hDC, &rect, brush);
    DeleteObject(brush);
    return TRUE;
}

HBRUSH CFakeSkin::GetBackgroundBrush(int kind)
{
    return kind == 0 ? m_background : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

namespace {

const wchar_t kHostClass[] = L"JOV Chat Test Host";

HWND MakeHost(int width, int height)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kHostClass;
    RegisterClassW(&wc);
    return CreateWindowExW(0, kHostClass, L"Chat", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

} // namespace

CTestChatView::CTestChatView(int width, int height, CTextMeasurer& measurer, CChatSkin& skin,
                             MessageWndSettings& settings)
    : CWnd(GetModuleHandleW(nullptr), MakeHost(width, height)), m_host(m_hParent), m_measurer(&measurer),
      m_skin(skin), m_settings(settings)
{
    Create(WS_VISIBLE, {0, 0, width, height});
    PumpMessages();
}

CTestChatView::~CTestChatView()
{
    if (m_hWnd)
        DestroyWindow(m_hWnd);
    DestroyWindow(m_host);
    PumpMessages();
}

void CTestChatView::OnPaint(CJOVDrawContext* context)
{
    if (content)
        content->Draw(context, scroll);
}

LRESULT CTestChatView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN)
        taps.push_back({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    return CWnd::OnMessage(message, wParam, lParam);
}

CDensity::CDensity(int dpi)
{
    HIDPI_InitScaling();
    m_x = g_HIDPI_LogPixelsX;
    m_y = g_HIDPI_LogPixelsY;
    g_HIDPI_LogPixelsX = dpi;
    g_HIDPI_LogPixelsY = dpi;
}

CDensity::~CDensity()
{
    g_HIDPI_LogPixelsX = m_x;
    g_HIDPI_LogPixelsY = m_y;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void PumpMessagesFor(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        PumpMessages();
        Sleep(5);
    }
    PumpMessages();
}
