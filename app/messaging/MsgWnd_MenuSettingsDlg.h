// Which controls the messaging window shows: the toolbar with its smilies and
// send buttons, what the function soft key does, and whether the two soft
// keys swap places.
// UI thread.
#pragma once

#include "contactlist/ModalDialog.h"
#include "messaging/MessageWndSettings.h"

class CMsgWnd_MenuSettingsDlg : public CModalDialog {
public:
    CMsgWnd_MenuSettingsDlg(HWND parent, MessageWndSettings* settings);

protected:
    void OnInitDialog() override;
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    int DoDataExchange(int save) override;

private:
    // The toolbar's buttons mean something only with the toolbar.
    void EnableButtonBoxes(bool enable);

    MessageWndSettings* m_settings;
};
