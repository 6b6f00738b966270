// A CGuiServices with accounts, texts and statuses set by the test, which
// records what the windows ask of it. A gate can hold GetAccountName.
#pragma once

#include <atomic>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "EventArgData.h"
#include "common/TestGate.h"
#include "core/GuiServices.h"

class CFakeGuiServices final : public CGuiServices {
public:
    int GetAccountCount() override { return static_cast<int>(accounts.size()); }
    unsigned int GetAccountId(int index) override
    {
        return index >= 0 && index < GetAccountCount() ? accounts[index].first : 0;
    }
    CJOVString GetAccountName(unsigned int accountId) override
    {
        if (nameGate) {
            insideName = true;
            nameGate->Wait();
            insideName = false;
            ++namesAnsweredAfterGate;
        }
        for (const auto& account : accounts) {
            if (account.first == accountId)
                return CJOVString(account.second.c_str());
        }
        return CJOVString();
    }
    CJOVString GetAccountProtocolName(unsigned int) override { return L"ICQ"; }
    bool GetAccountStatus(unsigned int accountId, AccountStatus* out) override
    {
        auto found = statuses.find(accountId);
        if (found == statuses.end())
            return false;
        *out = found->second;
        return true;
    }
    bool GetStatusMenuInfo(unsigned int, CMenuInfo*) override { return true; }
    bool ReadStatusArg(CEventArg* arg, AccountStatus* out) override
    {
        auto* data = dynamic_cast<CEventArg_Data<AccountStatus>*>(arg);
        if (data)
            *out = data->m_data;
        return data != nullptr;
    }
    bool GetString(int textId, CJOVString& out) override
    {
        auto found = texts.find(textId);
        if (found == texts.end())
            return false;
        out = found->second.c_str();
        return true;
    }
    void DrawImage(unsigned int imageId, HDC, const RECT&) override { drawnImages.push_back(imageId); }
    void PlayAlert(int alertId) override { alerts.push_back(alertId); }
    void RefreshTrayIcon() override { ++trayRefreshes; }
    void StartVersionCheckIfDue() override { ++versionChecks; }
    void StopVersionCheck() override { ++versionCheckStops; }

    std::vector<std::pair<unsigned int, std::wstring>> accounts;
    std::map<int, std::wstring> texts;
    std::map<unsigned int, AccountStatus> statuses;
    CTestGate* nameGate = nullptr;
    std::atomic<bool> insideName{false};
    std::atomic<int> namesAnsweredAfterGate{0};
    std::vector<unsigned int> drawnImages;
    std::vector<int> alerts;
    int trayRefreshes = 0;
    int versionChecks = 0;
    int versionCheckStops = 0;
};

inline AccountStatus MakeStatus(int status, const wchar_t* name, std::vector<unsigned int> images = {})
{
    AccountStatus info;
    info.status = status;
    info.name = name;
    for (unsigned int image : images)
        info.images.Append(image);
    return info;
}
