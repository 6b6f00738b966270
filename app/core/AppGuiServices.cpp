#include "core/AppGuiServices.h"

#include "EventArgData.h"
#include "EventsQueue.h"
#include "ServicesManager.h"
#include "core/AppGlobals.h"
#include "core/alerts/AlertManagerImpl.h"
#include "core/notify/TrayIcon.h"
#include "core/notify/VersionCheck.h"
#include "core/protocols/ProtocolsManagerImpl.h"
#include "core/skins/SkinManagerImpl.h"

namespace {

Protocols::CProtocolsManager* Manager()
{
    return g_App.pProtocolsManager;
}

// The manager answers -2 for an unknown account and kEventNoAnswer when the
// account did not answer; anything else is the account's own answer.
bool Answered(int answer)
{
    return answer != Services::kNotFound && answer != kEventNoAnswer;
}

void CopyStatus(const Protocols::StatusInfo& info, AccountStatus* out)
{
    out->status = info.status;
    out->name = info.name;
    out->images = info.images;
}

} // namespace

CJOVString GetGuiText(CGuiServices& services, int textId, const wchar_t* english)
{
    CJOVString text;
    return services.GetString(textId, text) ? text : CJOVString(english);
}

int CAppGuiServices::GetAccountCount()
{
    return Manager() ? Manager()->GetAccountCount() : 0;
}

unsigned int CAppGuiServices::GetAccountId(int index)
{
    return Manager() ? Manager()->GetAccountId(index) : 0;
}

CJOVString CAppGuiServices::GetAccountName(unsigned int accountId)
{
    return Manager() ? Manager()->GetAccountName(accountId, false) : CJOVString();
}

CJOVString CAppGuiServices::GetAccountProtocolName(unsigned int accountId)
{
    return Manager() ? Manager()->GetAccountProtocol(accountId).name : CJOVString();
}

bool CAppGuiServices::GetAccountStatus(unsigned int accountId, AccountStatus* out)
{
    Protocols::Status status = Protocols::StatusOffline;
    if (!Manager() || !out || !Answered(Manager()->GetStatus(accountId, &status)))
        return false;
    Protocols::StatusInfo info;
    if (!Answered(Manager()->GetStatusInfo(accountId, status, &info)))
        return false;
    CopyStatus(info, out);
    return true;
}

bool CAppGuiServices::GetStatusMenuInfo(unsigned int accountId, CMenuInfo* menu)
{
    return Manager() && menu && Answered(Manager()->GetStatusMenuInfo(accountId, menu));
}

bool CAppGuiServices::ReadStatusArg(CEventArg* arg, AccountStatus* out)
{
    auto* data = dynamic_cast<CEventArg_Data<Protocols::StatusInfo>*>(arg);
    if (!data || !out)
        return false;
    CopyStatus(data->m_data, out);
    return true;
}

bool CAppGuiServices::GetString(int textId, CJOVString& out)
{
    return g_App.pSkinManager && g_App.pSkinManager->GetString(textId, out);
}

void CAppGuiServices::DrawImage(unsigned int imageId, HDC dc, const RECT& rect)
{
    if (!g_App.pSkinManager)
        return;
    CJOVDrawContext context(dc);
    g_App.pSkinManager->DrawImage(imageId, &context, rect.left, rect.top, rect.right, rect.bottom, true, 255);
}

void CAppGuiServices::PlayAlert(int alertId)
{
    if (g_App.pAlertManager && alertId > 0)
        g_App.pAlertManager->PlayAlert(static_cast<unsigned int>(alertId));
}

void CAppGuiServices::RefreshTrayIcon()
{
    UpdateTrayIcon();
}

void CAppGuiServices::StartVersionCheckIfDue()
{
    if (g_App.pVersionCheck)
        g_App.pVersionCheck->StartIfDue();
}

void CAppGuiServices::StopVersionCheck()
{
    if (g_App.pVersionCheck)
        g_App.pVersionCheck->Stop();
}
