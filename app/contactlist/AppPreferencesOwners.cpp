// The program's owners of the preferences' values: the components in g_App.
#include "contactlist/PreferencesOwners.h"

#include "ServiceIds.h"
#include "contactlist/CLCtrl.h"
#include "contactlist/JOVColorsDlg.h"
#include "core/AppGlobals.h"
#include "core/alerts/AlertManagerImpl.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/notify/NotificationsManager.h"
#include "core/notify/TrayIcon.h"
#include "core/settings/JOVDatabase.h"
#include "core/sockets/SocketsManagerImpl.h"
#include "messaging/HistoryFiles.h"
#include "messaging/MessageWnd.h"
#include "messaging/MsgWnd_ChatSettingsDlg.h"
#include "messaging/MsgWnd_EditSettingsDlg.h"
#include "messaging/MsgWnd_MenuSettingsDlg.h"

namespace {

const int kDefaultMode = 1;
const unsigned int kDefaultColumns = 2;

class CAppPreferencesOwners final : public CPreferencesOwners {
public:
    bool GetGuiByte(const wchar_t* name, BYTE* value) override
    {
        return g_App.pDatabase && g_App.pDatabase->GetByte(GUID_GUI, CJOVString(name), value);
    }

    void SetGuiByte(const wchar_t* name, BYTE value) override
    {
        if (g_App.pDatabase)
            g_App.pDatabase->SetByte(GUID_GUI, CJOVString(name), &value);
    }

    bool IsTrayIconEnabled() override { return ::IsTrayIconEnabled(); }
    void ApplyTrayIconSetting(bool show) override { ::ApplyTrayIconSetting(show); }

    int GetCLMode() override
    {
        if (CCLCtrl* control = CCLCtrl::GetInstance())
            return control->GetMode();
        BYTE value = 0;
        return GetGuiByte(L"CL mode", &value) && value <= 1 ? value : kDefaultMode;
    }

    unsigned int GetCLColumns() override
    {
        if (CCLCtrl* control = CCLCtrl::GetInstance())
            return control->GetColumns();
        BYTE value = 0;
        return GetGuiByte(L"CLCtrl columns", &value) && value >= 1 && value <= 4 ? value : kDefaultColumns;
    }

    void SetCLMode(int mode) override
    {
        if (CCLCtrl* control = CCLCtrl::GetInstance())
            control->SetMode(mode);
    }

    void SetCLOnlineOnly(BYTE on) override
    {
        if (CCLCtrl* control = CCLCtrl::GetInstance())
            control->SetOnlineOnly(on);
    }

    void SetCLColumns(unsigned int columns) override
    {
        if (CCLCtrl* control = CCLCtrl::GetInstance())
            control->SetColumns(columns);
    }

    bool GetNotificationOptions(NotificationOptions* out) override
    {
        if (!g_App.pNotifications)
            return false;
        *out = g_App.pNotifications->GetOptions();
        return true;
    }

    void SetNotificationOptions(const NotificationOptions& options) override
    {
        if (g_App.pNotifications)
            g_App.pNotifications->SetOptions(options);
    }

    bool GetHistorySaving(int kind) override { return ::GetHistorySaving(g_ServicesManager, kind); }
    void SetHistorySaving(int kind, bool save) override { ::SetHistorySaving(g_ServicesManager, kind, save); }

    // The window is made from a timer, after the preferences that open at
    // start; until then the store holds the view. The window saves its
    // record when it goes.
    MessageWndSettings::HistoryView GetHistoryView() override
    {
        if (g_App.pMessageWnd)
            return g_App.pMessageWnd->GetSettings().GetHistoryView();
        return MessageWndSettings::ReadHistoryView(&g_ServicesManager);
    }

    void SetHistoryView(const MessageWndSettings::HistoryView& view) override
    {
        if (g_App.pMessageWnd)
            g_App.pMessageWnd->GetSettings().SetHistoryView(view);
        else
            MessageWndSettings::WriteHistoryView(&g_ServicesManager, view);
    }

    void OpenMessagingSettings(HWND parent, MessagingSettingsDialog dialog) override
    {
        if (!g_App.pMessageWnd)
            return;
        MessageWndSettings* settings = &g_App.pMessageWnd->GetSettings();
        switch (dialog) {
        case MessagingChatDialog: {
            CMsgWnd_ChatSettingsDlg chat(parent, settings);
            chat.DoModal();
            break;
        }
        case MessagingEditDialog: {
            CMsgWnd_EditSettingsDlg edit(parent, settings);
            edit.DoModal();
            break;
        }
        case MessagingControlsDialog: {
            CMsgWnd_MenuSettingsDlg controls(parent, settings);
            controls.DoModal();
            break;
        }
        }
    }

    Alert::CAlertManager* GetAlerts() override { return g_App.pAlertManager; }
    Alert::CAlertOptions* GetAlertOptions() override { return g_App.pAlertManager; }

    bool GetSkinChoice(Skins::SkinChoice* out) override
    {
        if (!g_App.pSkinManager)
            return false;
        *out = g_App.pSkinManager->GetSkinChoice();
        return true;
    }

    void ApplySkinChoice(const Skins::SkinChoice& choice) override
    {
        if (g_App.pSkinManager)
            g_App.pSkinManager->ApplySettings(choice);
    }

    void OpenSkinColors(HWND parent, const CJOVString& skin) override
    {
        CJOVColorsDlg dialog(parent, skin);
        dialog.DoModal();
    }

    CJOVString GetProgramFolder() override { return GetAppDir(); }

    bool GetProxySettings(JOVSockets::SocketParams* out) override
    {
        if (!g_App.pSocketsManager)
            return false;
        *out = g_App.pSocketsManager->GetProxySettings();
        return true;
    }

    void SetProxySettings(const JOVSockets::SocketParams& params) override
    {
        if (g_App.pSocketsManager)
            g_App.pSocketsManager->SetProxySettings(params);
    }
};

CAppPreferencesOwners s_appOwners;
CPreferencesOwners* s_owners = &s_appOwners;

} // namespace

CPreferencesOwners& PreferencesOwners()
{
    return *s_owners;
}

void SetPreferencesOwners(CPreferencesOwners* owners)
{
    s_owners = owners ? owners : &s_appOwners;
}
