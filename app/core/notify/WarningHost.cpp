#include "core/notify/WarningHost.h"

#include "core/AppGlobals.h"
#include "core/skins/SkinManagerImpl.h"
#include "core/notify/NotificationsManager.h"

bool CWarningHost::GetString(int textId, CJOVString& out)
{
    return g_App.pServices && g_App.pServices->GetString(textId, out);
}

CJOVString CWarningHost::GetLanguageName()
{
    return g_App.pSkinManager ? g_App.pSkinManager->GetLanguageName() : CJOVString();
}

void CWarningHost::ShowWarning(unsigned int, const CJOVString& text)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_notifications)
        m_notifications->AddWarningNotification(text);
}

void CWarningHost::SetNotifications(CNotificationsManager* notifications)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_notifications = notifications;
}
