// What the chat views show: names, timestamps, the text on a line of its own,
// and the three fonts. "Apply" stores the flags (applied only when they
// changed); a font chosen in the font dialog applies at once.
// UI thread.
#pragma once

#include "contactlist/ModalDialog.h"
#include "messaging/MessageWndSettings.h"

class CMsgWnd_ChatSettingsDlg : public CModalDialog {
public:
    CMsgWnd_ChatSettingsDlg(HWND parent, MessageWndSettings* settings);

protected:
    void OnInitDialog() override;
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    int DoDataExchange(int save) override;

private:
    MessageWndSettings* m_settings;
};

// Runs the font dialog on a copy of font; true with the choice in chosen.
bool RunFontDialog(HWND parent, const LOGFONTW& font, LOGFONTW& chosen);
