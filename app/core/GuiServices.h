// What the main window and the "GUI" client use of the other components: the
// accounts (protocol plug-in manager), texts and images (skin manager), alerts,
// the tray icon and the new-version check. A component that does not exist
// answers "nothing": no accounts, no text, no image.
// Any thread may call it; the components guard themselves.
#pragma once

#include <windows.h>

#include "EventArg.h"
#include "JOVArray.h"
#include "JOVString.h"
#include "MenuInfo.h"

// An account's status as the status toolbar shows it.
struct AccountStatus {
    int status = 0;  // 0 Offline, 1 Connecting, 2 and above connected
    CJOVString name;
    CJOVArray<unsigned int> images{10};
};

class CGuiServices {
public:
    virtual int GetAccountCount() = 0;
    // 0 out of range.
    virtual unsigned int GetAccountId(int index) = 0;
    // Without the protocol identifier.
    virtual CJOVString GetAccountName(unsigned int accountId) = 0;
    virtual CJOVString GetAccountProtocolName(unsigned int accountId) = 0;
    // The current status; account 0 is all accounts together.
    virtual bool GetAccountStatus(unsigned int accountId, AccountStatus* out) = 0;
    virtual bool GetStatusMenuInfo(unsigned int accountId, CMenuInfo* menu) = 0;
    // The status record that "Status changed" carries, when arg holds one.
    virtual bool ReadStatusArg(CEventArg* arg, AccountStatus* out) = 0;

    // The program's text of that id in the current language.
    virtual bool GetString(int textId, CJOVString& out) = 0;
    virtual void DrawImage(unsigned int imageId, HDC dc, const RECT& rect) = 0;
    virtual void PlayAlert(int alertId) = 0;
    virtual void RefreshTrayIcon() = 0;
    // Starts the new-version check when one is due.
    virtual void StartVersionCheckIfDue() = 0;
    // Ends the version check's thread; shut-down calls it first.
    virtual void StopVersionCheck() = 0;

protected:
    ~CGuiServices() = default;
};

// The text of that id, or the English text.
CJOVString GetGuiText(CGuiServices& services, int textId, const wchar_t* english);
