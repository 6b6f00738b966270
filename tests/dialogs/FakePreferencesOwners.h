// Owners of the preferences' values as the test sets them, recording every
// call that changes something ("SetCLMode 0", "byte Status only=1"...).
#pragma once

#include <cwchar>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "contactlist/PreferencesOwners.h"

class CFakePreferencesOwners final : public CPreferencesOwners {
public:
    bool GetGuiByte(const wchar_t* name, BYTE* value) override
    {
        auto found = bytes.find(name);
        if (found == bytes.end())
            return false;
        *value = found->second;
        return true;
    }
    void SetGuiByte(const wchar_t* name, BYTE value) override
    {
        bytes[name] = value;
        Note(std::wstring(L"byte ") + name + L"=" + std::to_wstring(value));
    }

    bool IsTrayIconEnabled() override
    {
        ++trayReads;
        return tray;
    }
    void ApplyTrayIconSetting(bool show) override
    {
        tray = show;
        Note(L"tray " + std::to_wstring(show));
    }

    int GetCLMode() override { return mode; }
    unsigned int GetCLColumns() override { return columns; }
    void SetCLMode(int value) override
    {
        mode = value;
        Note(L"SetCLMode " + std::to_wstring(value));
    }
    void SetCLOnlineOnly(BYTE on) override { Note(L"SetCLOnlineOnly " + std::to_wstring(on)); }
    void SetCLColumns(unsigned int value) override
    {
        columns = value;
        Note(L"SetCLColumns " + std::to_wstring(value));
    }

    bool GetNotificationOptions(NotificationOptions* out) override
    {
        *out = notifications;
        return true;
    }
    void SetNotificationOptions(const NotificationOptions& options) override
    {
        notifications = options;
        Note(L"SetNotificationOptions");
    }

    bool GetHistorySaving(int kind) override { return saving[kind]; }
    void SetHistorySaving(int kind, bool save) override
    {
        saving[kind] = save;
        Note(L"SetHistorySaving " + std::to_wstring(kind) + L"=" + std::to_wstring(save));
    }
    MessageWndSettings::HistoryView GetHistoryView() override { return historyView; }
    void SetHistoryView(const MessageWndSettings::HistoryView& view) override
    {
        historyView = view;
        Note(L"SetHistoryView " + std::to_wstring(view.showHistory) + L"," + std::to_wstring(view.historyCount));
    }
    void OpenMessagingSettings(HWND parent, MessagingSettingsDialog dialog) override
    {
        messagingParent = parent;
        Note(L"OpenMessagingSettings " + std::to_wstring(dialog));
    }

    Alert::CAlertManager* GetAlerts() override { return alerts; }
    Alert::CAlertOptions* GetAlertOptions() override { return alertOptions; }

    bool GetSkinChoice(Skins::SkinChoice* out) override
    {
        *out = skin;
        return true;
    }
    void ApplySkinChoice(const Skins::SkinChoice& choice) override
    {
        skin = choice;
        Note(L"ApplySkinChoice");
        if (onApplySkin)
            onApplySkin(choice);
    }
    void OpenSkinColors(HWND, const CJOVString& name) override
    {
        Note(L"OpenSkinColors " + std::wstring(name.Data() ? name.Data() : L"", static_cast<size_t>(name.GetLength())));
    }
    CJOVString GetProgramFolder() override { return programFolder; }

    bool GetProxySettings(JOVSockets::SocketParams* out) override
    {
        *out = proxy;
        return true;
    }
    void SetProxySettings(const JOVSockets::SocketParams& params) override
    {
        proxy = params;
        Note(L"SetProxySettings");
    }

    // Whether a call starting with prefix was made.
    bool Called(const std::wstring& prefix) const
    {
        for (const std::wstring& call : calls) {
            if (call.compare(0, prefix.size(), prefix) == 0)
                return true;
        }
        return false;
    }

    // The calls that start with one of the prefixes, in order.
    std::vector<std::wstring> CallsOf(std::initializer_list<const wchar_t*> prefixes) const
    {
        std::vector<std::wstring> found;
        for (const std::wstring& call : calls) {
            for (const wchar_t* prefix : prefixes) {
                if (call.compare(0, wcslen(prefix), prefix) == 0) {
                    found.push_back(call);
                    break;
                }
            }
        }
        return found;
    }

    std::map<std::wstring, BYTE> bytes;
    bool tray = true;
    int trayReads = 0;
    int mode = 1;
    unsigned int columns = 2;
    NotificationOptions notifications;
    bool saving[2] = {true, true};
    MessageWndSettings::HistoryView historyView{1, 4};
    HWND messagingParent = nullptr;
    Alert::CAlertManager* alerts = nullptr;
    Alert::CAlertOptions* alertOptions = nullptr;
    Skins::SkinChoice skin;
    std::function<void(const Skins::SkinChoice&)> onApplySkin;
    CJOVString programFolder;
    JOVSockets::SocketParams proxy;
    std::vector<std::wstring> calls;

private:
    void Note(const std::wstring& call) { calls.push_back(call); }
};
