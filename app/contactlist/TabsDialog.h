// A modal dialog whose content is a row of pages, each a child dialog from a
// CPanelInfo that the subclass's GetPanels supplies (the program's own pages
// or a plug-in's), chosen with a tab strip along the bottom. OK and "Apply"
// store every page in tab order until one refuses; the refusing page is shown
// with its message.
// UI thread: the page callbacks run inside the modal loop.
#pragma once

#include "JOVArray.h"
#include "PanelInfo.h"
#include "contactlist/ModalDialog.h"
#include "contactlist/TabPanel.h"
#include "contactlist/TabStrip.h"

// The focus button forwards its keys to the dialog: wParam key, lParam as sent.
constexpr UINT WM_JOV_TABS_KEY = WM_USER + 5;

class CTabsDialog : public CModalDialog {
public:
    // initialPage: the page shown first; outside the pages, the first one.
    CTabsDialog(HWND parent, int softKeyBarId, int initialPage);
    ~CTabsDialog() override;

    int GetPageCount() const { return m_pages.Count(); }
    int GetCurrentPage() const { return m_current; }
    HWND GetPageWnd(int index) const;
    CJOVString GetTabTitle(int index) const { return m_titles[index]; }
    CTabStrip& Strip() { return m_strip; }
    HWND GetFocusButton() const { return m_focusButton; }
    // Reloads the pages the user has not changed since they were last loaded
    // or stored.
    void ReloadUneditedPages();

protected:
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    int DoDataExchange(int direction) override;
    void OnInitDialog() override;
    void OnPaint(HDC dc) override;
    void OnChangeWindowSize() override;
    void OnLangChange() override;
    int EndDialog(int code) override;
    // Appends one record per page; false leaves the dialog without pages.
    virtual bool GetPanels(CJOVArray<CPanelInfo>& panels);
    virtual unsigned int GetOwnerId();

    // The dialog's name (its window text) as a language text.
    void SetTitle(int textId, const wchar_t* english);
    // Makes page index current and shows it.
    void SelectPage(int index);

private:
    void CreatePanels();
    void CreatePanel(const CPanelInfo& info, int recordIndex);
    void LoadPanels();
    void RecalcLayout();
    int MeasureTab(const CJOVString& title, int image);
    void ShowCurrentPage();
    void RepaintStrip();
    void DestroyPages();
    bool OnTabsKey(UINT key);
    void OnButtonDown(POINT point);
    void OnButtonUp(POINT point);
    void FocusNextControl(bool previous);
    static LRESULT CALLBACK FocusButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);

    CJOVArray<CTabPanel*> m_pages;
    RECT m_pageRect;
    CTabStrip m_strip;
    CJOVArray<CJOVString> m_titles;
    CJOVArray<int> m_images;
    int m_current;
    int m_shown;
    HWND m_focusButton;
    WNDPROC m_focusButtonProc;
    bool m_stripFocused;
    int m_pressedTab;
    int m_pressX;
    int m_titleId;
    const wchar_t* m_titleText;
};
