// Stand-ins for what the chat content uses: a text measurer of fixed-width
// characters, a smilies set and a skin made in memory, and a real window as
// the chat view. Shared by the chat tests and the chat benchmark.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "Wnd.h"
#include "messaging/ChatSkin.h"
#include "messaging/ChatSmilies.h"
#include "messaging/ChatView.h"
#include "messaging/MessageWndSettings.h"
#include "messaging/TextMeasurer.h"

class CChatContent;

// Every character as wide as given (6 pixels unless told otherwise); the
// height is the size of the font the device context holds. Counts its calls.
class CFixedWidthMeasurer : public CTextMeasurer {
public:
    explicit CFixedWidthMeasurer(int width = 6) : m_width(width) {}
    bool GetExtents(HDC dc, const wchar_t* text, int count, int* extents, SIZE* size) override;

    void SetWidth(wchar_t c, int width) { m_widths[c] = width; }
    int calls = 0;

private:
    int m_width;
    std::map<wchar_t, int> m_widths;
};

// Counts the calls of another measurer.
class CCountingMeasurer : public CTextMeasurer {
public:
    explicit CCountingMeasurer(CTextMeasurer& inner) : m_inner(inner) {}
    bool GetExtents(HDC dc, const wchar_t* text, int count, int* extents, SIZE* size) override
    {
        ++calls;
        return m_inner.GetExtents(dc, text, count, extents, size);
    }
    long long calls = 0;

private:
    CTextMeasurer& m_inner;
};

// Smilies whose frames are solid squares of one colour each.
class CFakeSmilies : public CChatSmilies {
public:
    CFakeSmilies() = default;
    ~CFakeSmilies();
    CFakeSmilies(const CFakeSmilies&) = delete;
    CFakeSmilies& operator=(const CFakeSmilies&) = delete;

    // One frame a colour; delays in milliseconds. Answers the smiley's index.
    int Add(std::vector<std::wstring> codes, int width = 15, int height = 15,
            std::vector<COLORREF> frames = {RGB(255, 200, 0)}, std::vector<int> delays = {100}, int keyColour = -1);

    int GetCount() override { return static_cast<int>(m_smilies.size()); }
    int GetCodeCount(int smiley) override;
    CJOVString GetCode(int smiley, int code) override;
    int GetWidth(int smiley) override;
    int GetHeight(int smiley) override;
    int GetFrameCount(int smiley) override;
    HBITMAP GetFrameBitmap(int smiley, int frame) override;
    int GetFrameKeyColor(int smiley, int frame) override;
    int GetFrameDelay(int smiley, int frame) override;

private:
    struct Smiley {
        std::vector<std::wstring> codes;
        int width;
        int height;
        std::vector<HBITMAP> bitmaps;
        std::vector<int> delays;
        int keyColour;
    };
    const Smiley* Find(int smiley) const;

    std::vector<Smiley> m_smilies;
};

class CFakeSkin : public CChatSkin {
public:
    explicit CFakeSkin(CChatSmilies* smilies);
    ~CFakeSkin();
    CFakeSkin(const CFakeSkin&) = delete;
    CFakeSkin& operator=(const CFakeSkin&) = delete;

    COLORREF GetColor(int index) override;
    BOOL DrawImage(unsigned id, CJOVDrawContext* context, int left, int top, int right, int bottom, bool alpha,
                   unsigned constantAlpha) override;
    HBRUSH GetBackgroundBrush(int kind) override;
    bool GetTextSmilies() override { return textSmilies; }
    int GetSmiliesNumber() override { return smiliesNumber; }
    CChatSmilies* GetSmilies() override { return smilies; }

    struct ImageDrawn {
        unsigned id;
        RECT rect;
        unsigned alpha;
    };
    std::vector<ImageDrawn> images;
    COLORREF colours[21];
    bool textSmilies = false;
    int smiliesNumber = 10;
    CChatSmilies* smilies;

private:
    HBRUSH m_background;
};

// A real window (a child of a popup of its own) as the chat view; it paints
// the content it is given and keeps the links it was asked to open.
class CTestChatView : public CWnd, public CChatView {
public:
    CTestChatView(int width, int height, CTextMeasurer& measurer, CChatSkin& skin, MessageWndSettings& settings);
    ~CTestChatView() override;

    HWND GetViewWindow() override { return m_hWnd; }
    HINSTANCE GetViewInstance() override { return GetModuleHandleW(nullptr); }
    CTextMeasurer& GetTextMeasurer() override { return *m_measurer; }
    CChatSkin& GetSkin() override { return m_skin; }
    const MessageWndSettings& GetSettings() override { return m_settings; }
    void OpenLink(const wchar_t* address) override { links.push_back(address); }

    void SetMeasurer(CTextMeasurer& measurer) { m_measurer = &measurer; }

    std::vector<std::wstring> links;
    std::vector<POINT> taps;
    CChatContent* content = nullptr;
    int scroll = 0;

protected:
    void OnPaint(CJOVDrawContext* context) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    HBRUSH GetBkBrush() override { return m_skin.GetBackgroundBrush(0); }

private:
    HWND m_host;
    CTextMeasurer* m_measurer;
    CChatSkin& m_skin;
    MessageWndSettings& m_settings;
};

// The screen density for the life of a scope (the common library's scaling reads it).
class CDensity {
public:
    explicit CDensity(int dpi);
    ~CDensity();
    CDensity(const CDensity&) = delete;
    CDensity& operator=(const CDensity&) = delete;

private:
    int m_x;
    int m_y;
};

// Dispatches what is queued now; for a while.
void PumpMessages();
void PumpMessagesFor(DWORD milliseconds);
