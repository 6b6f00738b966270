// How the edit boxes behave: the most lines they grow to, the Send button,
// sending on Enter, and their font (applied at once when chosen).
// UI thread.
#pragma once

#include "contactlist/ModalDialog.h"
#include "messaging/MessageWndSettings.h"

class CMsgWnd_EditSettingsDlg : public CModalDialog {
public:
    CMsgWnd_EditSettingsDlg(HWND parent, MessageWndSettings* settings);

protected:
    void OnInitDialog() override;
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    int DoDataExchange(int save) override;

private:
    MessageWndSettings* m_settings;
};
