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

} // namespace Skins
