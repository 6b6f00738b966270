// The program's CGuiServices over the components that start-up creates (g_App).
#pragma once

#include "core/GuiServices.h"

class CAppGuiServices final : public CGuiServices {
public:
    int GetAccountCount() override;
    unsigned int GetAccountId(int index) override;
    CJOVString GetAccountName(unsigned int accountId) override;
    CJOVString GetAccountProtocolName(unsigned int accountId) override;
    bool GetAccountStatus(unsigned int accountId, AccountStatus* out) override;
    bool GetStatusMenuInfo(unsigned int accountId, CMenuInfo* menu) override;
    bool ReadStatusArg(CEventArg* arg, AccountStatus* out) override;
    bool GetString(int textId, CJOVString& out) override;
    void DrawImage(unsigned int imageId, HDC dc, const RECT& rect) override;
    void PlayAlert(int alertId) override;
    void RefreshTrayIcon() override;
    void StartVersionCheckIfDue() override;
    void StopVersionCheck() override;
};
