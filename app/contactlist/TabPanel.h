// One page of a tabbed dialog: a child dialog made from a CPanelInfo's
// template, which hands its control notifications to the record's message
// callback and shows the skin's background through its controls. It knows
// whether the user changed it since it was last loaded or stored.
// UI thread.
#pragma once

#include <windows.h>

#include "PanelInfo.h"

class CTabPanel {
public:
    // recordIndex: the record's place in the array the dialog was given.
    CTabPanel(HWND parentDialog, const CPanelInfo& info, int recordIndex);
    virtual ~CTabPanel();
    CTabPanel(const CTabPanel&) = delete;
    CTabPanel& operator=(const CTabPanel&) = delete;

    // Makes the page window (hidden); false when the template is missing.
    bool Create();
    void Destroy();
    HWND GetWnd() const { return m_page; }
    int GetRecordIndex() const { return m_recordIndex; }
    bool HasDataExchange() const { return m_dataExchange != nullptr; }

    // Calls the data-exchange callback; a load, and an accepted store, leave
    // the page unedited.
    PanelCheckResult Exchange(int direction, unsigned int ownerId);
    bool IsEdited() const { return m_edited; }

    virtual INT_PTR DialogProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

    static INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

private:
    // A control told of a change the user may have made.
    void NoteChange(HWND control, UINT code);

    HWND m_parent;
    HWND m_page;
    HINSTANCE m_module;
    unsigned int m_dialogId;
    PanelDataExchangeProc m_dataExchange;
    PanelMessageProc m_message;
    int m_recordIndex;
    bool m_exchanging;
    bool m_edited;
};
