#include "core/skins/Smaily.h"

#include <new>

CRITICAL_SECTION g_SmileyFramesLock;

namespace {

struct FramesLockSetUp {
    FramesLockSetUp() { InitializeCriticalSection(&g_SmileyFramesLock); }
    ~FramesLockSetUp() { DeleteCriticalSection(&g_SmileyFramesLock); }
} s_framesLockSetUp;

class CFramesLock {
public:
    CFramesLock() { EnterCriticalSection(&g_SmileyFramesLock); }
    ~CFramesLock() { LeaveCriticalSection(&g_SmileyFramesLock); }
    CFramesLock(const CFramesLock&) = delete;
    CFramesLock& operator=(const CFramesLock&) = delete;
};

void Fill(HDC dc, int width, int height, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
}

// Copies source onto dc, leaving out the key colour when there is one.
void Lay(HDC dc, int x, int y, int width, int height, HDC source, COLORREF key)
{
    if (key == CLR_INVALID)
        BitBlt(dc, x, y, width, height, source, 0, 0, SRCCOPY);
    else
        TransparentBlt(dc, x, y, width, height, source, 0, 0, width, height, key);
}

} // namespace

CSmaily::CSmaily()
    : m_codes(1), m_composed(false), m_composedCount(0), m_bitmaps(nullptr), m_keyColours(nullptr), m_delays(nullptr)
{
}

CSmaily::~CSmaily()
{
    FreeComposed();
    FreeFrames();
}

void CSmaily::AddCode(const wchar_t* code)
{
    m_codes.Append(CJOVString(code));
}

CJOVString CSmaily::GetCode(int index) const
{
    return index >= 0 && index < m_codes.Count() ? m_codes[index] : CJOVString();
}

void CSmaily::LoadFile(const CJOVString& path)
{
    m_path = path;
    CJOVString name(path);
    LoadGif(this, name);
}

int CSmaily::GetFrameCount()
{
    CFramesLock hold;
    return m_composed ? m_composedCount : frameCount;
}

HBITMAP CSmaily::GetFrameBitmap(int index)
{
    RenderFrames();
    return index >= 0 && index < m_composedCount ? m_bitmaps[index] : nullptr;
}

COLORREF CSmaily::GetFrameKeyColor(int index)
{
    RenderFrames();
    return index >= 0 && index < m_composedCount ? m_keyColours[index] : 0;
}

int CSmaily::GetFrameDelay(int index)
{
    RenderFrames();
    return index >= 0 && index < m_composedCount ? m_delays[index] : 0;
}

void CSmaily::FreeComposed()
{
    for (int i = 0; i < m_composedCount; ++i)
        if (m_bitmaps[i])
            DeleteObject(m_bitmaps[i]);
    delete[] m_bitmaps;
    delete[] m_keyColours;
    delete[] m_delays;
    m_bitmaps = nullptr;
    m_keyColours = nullptr;
    m_delays = nullptr;
    m_composedCount = 0;
}

void CSmaily::RenderFrames()
{
    CFramesLock hold;
    if (m_composed)
        return;
    m_composed = true;
    const int count = frameCount;
    const int w = width, h = height;
    if (count == 0 || w <= 0 || h <= 0) {
        FreeFrames();
        return;
    }
    m_bitmaps = new (std::nothrow) HBITMAP[count]();
    m_keyColours = new (std::nothrow) COLORREF[count];
    m_delays = new (std::nothrow) int[count];
    HDC screen = GetDC(nullptr);
    HBITMAP work = CreateCompatibleBitmap(screen, w, h);
    HDC target = CreateCompatibleDC(screen);
    HDC workDc = CreateCompatibleDC(screen);
    if (!m_bitmaps || !m_keyColours || !m_delays || !work || !target || !workDc) {
        FreeComposed();
    } else {
        m_composedCount = count;
        HGDIOBJ targetBefore = GetCurrentObject(target, OBJ_BITMAP);
        HGDIOBJ workBefore = SelectObject(workDc, work);
        HDC source = CreateCompatibleDC(screen);
        for (int i = 0; i < count; ++i) {
            const GifFrame& frame = *frames[i];
            m_bitmaps[i] = CreateCompatibleBitmap(screen, w, h);
            m_delays[i] = frame.delay;
            if (frame.transparent >= 0) {
                const RGBQUAD& entry = frame.palette[frame.transparent];
                m_keyColours[i] = RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
            } else {
                m_keyColours[i] = CLR_INVALID;
            }
            if (!m_bitmaps[i])
                continue;
            SelectObject(target, m_bitmaps[i]);
            const COLORREF fill = m_keyColours[i] == CLR_INVALID ? kOpaqueFill : m_keyColours[i];
            Fill(target, w, h, fill);
            Fill(workDc, w, h, fill);

            // What the previous frame leaves behind: 0 (unspecified) keeps it,
            // and "restore to previous" has nothing to restore for the first two.
            int disposal = i == 0 ? 2 : frames[i - 1]->disposal;
            if (i > 0 && disposal == 0)
                disposal = 1;
            if (disposal == 3 && i <= 1)
                disposal = 2;
            const int from = disposal == 1 ? i - 1 : disposal == 3 ? i - 2 : -1;
            if (from >= 0 && m_bitmaps[from]) {
                HGDIOBJ before = SelectObject(source, m_bitmaps[from]);
                Lay(target, 0, 0, w, h, source, m_keyColours[from]);
                SelectObject(source, before);
            }
            SetDIBitsToDevice(workDc, 0, 0, frame.width, frame.height, 0, 0, 0, frame.height, frame.pixels,
                              frame.bitmapInfo, DIB_RGB_COLORS);
            // A frame larger than the screen (a damaged file) is cut to it.
            Lay(target, frame.x, frame.y, frame.width < w ? frame.width : w, frame.height < h ? frame.height : h,
                workDc, m_keyColours[i]);
        }
        SelectObject(target, targetBefore);
        SelectObject(workDc, workBefore);
        DeleteDC(source);
    }
    if (target)
        DeleteDC(target);
    if (workDc)
        DeleteDC(workDc);
    if (work)
        DeleteObject(work);
    ReleaseDC(nullptr, screen);
    FreeFrames();
}
