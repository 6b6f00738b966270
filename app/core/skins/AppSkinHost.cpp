#include "core/skins/AppSkinHost.h"

#include "core/AppGlobals.h"
#include "core/skins/SkinManagerImpl.h"
#include "messaging/MessageWnd.h"

namespace Skins {

unsigned int CAppSkinHost::GetLanChangedEventId()
{
    return g_App.lanChangedEventId;
}

HWND CAppSkinHost::GetMessageWindow()
{
    return g_App.pMessageWnd ? g_App.pMessageWnd->GetWnd() : nullptr;
}

bool CSkinProtocolsHost::GetString(int textId, CJOVString& out)
{
    return g_App.pSkinManager && g_App.pSkinManager->GetString(textId, out);
}

CJOVString CSkinProtocolsHost::GetLanguageName()
{
    return g_App.pSkinManager ? g_App.pSkinManager->GetLanguageName() : CJOVString();
}

} // namespace Skins
