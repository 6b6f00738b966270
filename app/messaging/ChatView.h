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

private:
    HWND m_dcWindow = nullptr;
    HDC m_dc = nullptr;
    int m_dcUses = 0;
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
