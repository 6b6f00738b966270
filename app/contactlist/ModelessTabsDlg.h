// A modeless dialog holding other modeless dialogs as pages, chosen with a
// tab strip like the modal tabbed dialog's, where a tab may show several
// layered images, may blink, and a double tap is reported to the subclass.
// The subclass creates the pages (as children of this window) and decides
// when a tab blinks.
// UI thread. The clock is injectable for the tests of blinking and double taps.
#pragma once

#include "JOVArray.h"
#include "contactlist/ModelessDlg.h"
#include "contactlist/TabStrip.h"

// The focus button forwards its keys: wParam key, lParam as sent.
constexpr UINT WM_JOV_MODELESS_TABS_KEY = WM_USER + 6;
constexpr UINT_PTR kBlinkTimer = 3000;

class CModelessTabsDlg : public CModelessDlg {
public:
    typedef DWORD (*Clock)();

    CModelessTabsDlg(HWND parent, int softKeyBarId);
    // Pages still held are their owner's to delete.
    ~CModelessTabsDlg() override;

    // The new page becomes current. images: the tab's layered images (copied).
    void AddPage(CModelessDlg* page, const CJOVString& title, const CJOVArray<unsigned int>& images);
    void SetPageTitle(CModelessDlg* page, const CJOVString& title, const CJOVArray<unsigned int>& images);
    void SetPageImages(CModelessDlg* page, const CJOVArray<unsigned int>& images);
    // False when the page is not held.
    bool SelectPage(CModelessDlg* page);
    // Deletes the page and its tab.
    void RemovePage(CModelessDlg* page);
    void StartPageBlink(CModelessDlg* page, unsigned int image);
    void StopPageBlink(CModelessDlg* page);

    int GetPageCount() const { return m_pages.Count(); }
    int GetCurrentIndex() const { return m_current; }
    CModelessDlg* GetPage(int index) const;
    int GetBlinkingCount() const { return static_cast<int>(m_blinking); }
    CTabStrip& Strip() { return m_strip; }
    HWND GetFocusButton() const { return m_focusButton; }
    void SetClock(Clock clock) { m_clock = clock ? clock : DefaultClock; }

protected:
    void OnInitDialog() override;
    void OnPaint(HDC dc) override;
    void OnChangeWindowSize() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void ActivatePage();
    virtual void OnTabDoubleTap();
    // Pixels kept free under the strip for the subclass's toolbar.
    virtual int GetToolbarHeight();

    int m_current;

private:
    static DWORD DefaultClock();
    static LRESULT CALLBACK FocusButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
    int IndexOf(const CModelessDlg* page) const;
    void RecalcLayout();
    int MeasureTab(const CJOVString& title);
    void PlacePage(CModelessDlg* page);
    void RepaintStrip();
    void OnButtonDown(POINT point);
    void OnButtonUp(POINT point);
    bool OnTabsKey(UINT key);
    void StopBlink(int index);

    CJOVArray<CModelessDlg*> m_pages;
    RECT m_pageRect;
    CTabStrip m_strip;
    CJOVArray<CJOVString> m_titles;
    CJOVArray<CJOVArray<unsigned int>*> m_images;
    CJOVArray<unsigned int> m_blinkImages;  // kNotBlinking or the image shown
    volatile LONG m_blinking;
    int m_shown;
    HWND m_focusButton;
    WNDPROC m_focusButtonProc;
    bool m_stripFocused;
    int m_pressedTab;
    int m_pressX;
    DWORD m_lastPress;
    bool m_ignoreUp;  // the release of a double tap's second press
    Clock m_clock;
};
