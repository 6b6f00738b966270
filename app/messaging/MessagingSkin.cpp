#include "messaging/MessagingSkin.h"

#include "core/AppGlobals.h"
#include "core/skins/SkinColors.h"
#include "core/skins/SkinManagerImpl.h"

HBRUSH GetSkinBackgroundBrush()
{
    if (g_App.pSkinManager)
        return g_App.pSkinManager->GetBackgroundBrush(0);
    return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

COLORREF GetSkinColour(int index)
{
    if (index < 0 || index >= Skins::kColourCount)
        return 0;
    return g_App.pSkinManager ? g_App.pSkinManager->GetColors()[index] : Skins::kDefaultColours[index];
}
