#include "core/notify/AppNotifyHost.h"

#include "core/AppGlobals.h"
#include "core/clmodel/ContactListImpl.h"
#include "core/skins/SkinManagerImpl.h"
#include "core/skins/Smaily.h"
#include "core/skins/SmiliesPack.h"

bool CAppNotifyHost::GetString(int textId, CJOVString& out)
{
    return g_App.pServices && g_App.pServices->GetString(textId, out);
}

void CAppNotifyHost::DrawImage(int imageId, HDC dc, const RECT& rect)
{
    if (g_App.pServices && imageId >= 0)
        g_App.pServices->DrawImage(static_cast<unsigned int>(imageId), dc, rect);
}

CJOVString CAppNotifyHost::GetContactAlias(unsigned int contactId)
{
    CJOVString alias;
    if (g_App.pContactList)
        g_App.pContactList->GetString(contactId, CJOVString(L"CL Alias"), alias);
    return alias;
}

unsigned int CAppNotifyHost::GetContactAccount(unsigned int contactId)
{
    return g_App.pContactList ? g_App.pContactList->GetItemKey(contactId) : 0;
}

CJOVString CAppNotifyHost::GetAccountProtocolName(unsigned int accountId)
{
    return g_App.pServices && accountId ? g_App.pServices->GetAccountProtocolName(accountId) : CJOVString();
}

CJOVString CAppNotifyHost::GetAccountName(unsigned int accountId)
{
    return g_App.pServices && accountId ? g_App.pServices->GetAccountName(accountId) : CJOVString();
}

bool CAppNotifyHost::GetOverallStatus(int* status, CJOVArray<unsigned int>* images)
{
    AccountStatus overall;
    if (!g_App.pServices || !g_App.pServices->GetAccountStatus(0, &overall))
        return false;
    if (status)
        *status = overall.status;
    if (images)
        *images = overall.images;
    return true;
}

HWND CAppNotifyHost::GetMainWindow()
{
    return g_App.hMainWnd;
}

std::vector<BubbleSmiley> CAppNotifyHost::GetBubbleSmilies()
{
    std::vector<BubbleSmiley> smilies;
    if (!g_App.pSkinManager)
        return smilies;
    Skins::SkinChoice choice = g_App.pSkinManager->GetSkinChoice();
    if (choice.textSmilies || choice.smiliesNumber < 1)
        return smilies;
    // A copy taken while the set cannot go: the user may switch sets meanwhile.
    g_App.pSkinManager->ReadSmilies([&smilies](CSmiliesPack& pack) {
        for (int i = 0; i < pack.Count(); ++i) {
            CSmaily* smiley = pack[i];
            if (!smiley)
                continue;
            BubbleSmiley entry;
            for (int c = 0; c < smiley->GetCodeCount(); ++c)
                entry.codes.push_back(smiley->GetCode(c));
            entry.imagePath = smiley->GetPath();
            smilies.push_back(std::move(entry));
        }
    });
    return smilies;
}
