#include "core/AppGuiServices.h"

#include "core/AppGlobals.h"

CJOVString GetGuiText(CGuiServices& services, int textId, const wchar_t* english)
{
    CJOVString text;
    return services.GetString(textId, text) ? text : CJOVString(english);
}

int CAppGuiServices::GetAccountCount()
{
    return 0;
}

unsigned int CAppGuiServices::GetAccountId(int)
{
    return 0;
}

CJOVString CAppGuiServices::GetAccountName(unsigned int)
{
    return CJOVString();
}

CJOVString CAppGuiServices::GetAccountProtocolName(unsigned int)
{
    return CJOVString();
}

bool CAppGuiServices::GetAccountStatus(unsigned int, AccountStatus*)
{
    return false;
}

bool CAppGuiServices::GetStatusMenuInfo(unsigned int, CMenuInfo*)
{
    return false;
}

bool CAppGuiServices::ReadStatusArg(CEventArg*, AccountStatus*)
{
    return false;
}

bool CAppGuiServices::GetString(int, CJOVString&)
{
    return false;
}

void CAppGuiServices::DrawImage(unsigned int, HDC, const RECT&)
{
}

void CAppGuiServices::PlayAlert(int)
{
}

void CAppGuiServices::RefreshTrayIcon()
{
}

void CAppGuiServices::StartVersionCheckIfDue()
{
}

void CAppGuiServices::StopVersionCheck()
{
}
