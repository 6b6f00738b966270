// What the chat items need of the window that shows them: the window (for
// device contexts, and as the parent of smiley controls), the text measurer,
// the skin, the messaging window's settings, and the shell that opens links.
// UI thread.
#pragma once

#include <windows.h>

#include "JOVDrawContext.h"

class CTextMeasurer;
class CChatSkin;
struct MessageWndSettings;

class CChatView {
public:
    CChatView() = default;
    virtual ~CChatView();
    CChatView(const CChatView&) = delete;
    CChatView& operator=(const CChatView&) = delete;

    virtual HWND GetViewWindow() = 0;
    virtual HINSTANCE GetViewInstance() = 0;
    virtual CTextMeasurer& GetTextMeasurer() = 0;
    virtual CChatSkin& GetSkin() = 0;
    virtual const MessageWndSettings& GetSettings() = 0;
    // Opens a tapped link; the shell's answer is not looked at.
    virtual void OpenLink(const wchar_t* address);

    // A device context of the view's window. Nested uses share the one the
    // outermost fetched, so a whole layout costs one.
    HDC AcquireDC();
    void ReleaseDC();
    // Between AcquireDC and ReleaseDC: a context like the window's with font
    // selected, kept per font until the outermost release. Selecting a font
    // costs far more than measuring with it, and a layout measures three
    // fonts by turns for every message.
    HDC GetMeasureDC(HFONT font);

private:
    struct MeasureDC {
        HFONT font;
        HDC dc;
        HGDIOBJ oldFont;
    };
    static const int kMeasureFonts = 4;

    void ReleaseMeasureDCs();

    HWND m_dcWindow = nullptr;
    HDC m_dc = nullptr;
    int m_dcUses = 0;
    MeasureDC m_measure[kMeasureFonts] = {};
    int m_measureCount = 0;
};

// A context for measuring with one font for the life of a scope.
class CViewMeasureContext : public CJOVDrawContext {
public:
    CViewMeasureContext(CChatView* view, HFONT font) : m_view(view)
    {
        view->AcquireDC();
        hDC = view->GetMeasureDC(font);
    }
    ~CViewMeasureContext() { m_view->ReleaseDC(); }
    CViewMeasureContext(const CViewMeasureContext&) = delete;
    CViewMeasureContext& operator=(const CViewMeasureContext&) = delete;

private:
    CChatView* m_view;
};

// The view's device context for the life of a scope, as a draw context.
class CViewDrawContext : public CJOVDrawContext {
public:
    explicit CViewDrawContext(CChatView* view) : CJOVDrawContext(view->AcquireDC()), m_view(view) {}
    ~CViewDrawContext() { m_view->ReleaseDC(); }
    CViewDrawContext(const CViewDrawContext&) = delete;
    CViewDrawContext& operator=(const CViewDrawContext&) = delete;

private:
    CChatView* m_view;
};
