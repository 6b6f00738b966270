// The image push button of the messaging window's toolbar and chat page: a
// skin image centred on the skin's background (black while pressed), a frame
// while it has the focus. A click sends WM_COMMAND 65535 with the button's
// window as lParam to the parent, which tells its buttons apart by window.
// UI thread.
#pragma once

#include "Wnd.h"

constexpr UINT IDC_JOV_BUTTON_CLICK = 65535;

class CJOVButton : public CWnd {
public:
    // A child of parent with border and tab stop on rect.
    CJOVButton(HWND parent, unsigned int imageId, const RECT& rect);
    ~CJOVButton() override;

    bool IsPressed() const { return m_pressed != 0; }

protected:
    void OnPaint(CJOVDrawContext* context) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    HBRUSH GetBkBrush() override;

private:
    void Click();
    void Repaint();

    unsigned int m_imageId;
    int m_pressed;
};
