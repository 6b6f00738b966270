// The program's services for windows tested on their own: no accounts, no
// texts of the program's (the English ones show), nothing drawn, played or
// checked. A test overrides what it looks at.
#pragma once

#include "core/GuiServices.h"

class CQuietGuiServices : public CGuiServices {
public:
    int GetAccountCount() override { return 0; }
    unsigned int GetAccountId(int) override { return 0; }
    CJOVString GetAccountName(unsigned int) override { return CJOVString(); }
    CJOVString GetAccountProtocolName(unsigned int) override { return CJOVString(); }
    bool GetAccountStatus(unsigned int, AccountStatus*) override { return false; }
    bool GetStatusMenuInfo(unsigned int, CMenuInfo*) override { return false; }
    bool ReadStatusArg(CEventArg*, AccountStatus*) override { return false; }
    bool GetString(int, CJOVString&) override { return false; }
    void DrawImage(unsigned int, HDC, const RECT&) override {}
    void PlayAlert(int) override {}
    void RefreshTrayIcon() override {}
    void StartVersionCheckIfDue() override {}
    void StopVersionCheck() override {}
};
