// The protocol plug-in manager's host: texts and the language name from the
// skin manager, and each account's warning as a warning bubble. Warnings stop reaching the
// notifications once shut-down has cut them off, while accounts still run.
#pragma once

#include <mutex>

#include "core/protocols/ProtocolsManagerHost.h"

class CNotificationsManager;

class CWarningHost final : public Protocols::CProtocolsManagerHost {
public:
    bool GetString(int textId, CJOVString& out) override;
    CJOVString GetLanguageName() override;
    // The protocol plug-in manager's queue thread.
    void ShowWarning(unsigned int accountId, const CJOVString& text) override;

    // Null cuts the warnings off; after it returns none reaches the manager.
    void SetNotifications(CNotificationsManager* notifications);

private:
    std::mutex m_lock;
    CNotificationsManager* m_notifications = nullptr;
};
