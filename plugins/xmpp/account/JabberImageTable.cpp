#include "JabberImageTable.h"

#include <mutex>

#include "ServiceIds.h"

namespace {

const wchar_t* const kImageFiles[kJabberImageCount] = {
    L"jbr_jabber.png", L"jbr_jabber.png", L"jbr_status_offline.png", L"jbr_status_connecting.png",
    L"jbr_status_online.png", L"jbr_status_invisible.png", L"jbr_status_free4chat.png", L"jbr_status_angry.png",
    L"jbr_status_depress.png", L"jbr_status_athome.png", L"jbr_status_atwork.png", L"jbr_status_eating.png",
    L"jbr_status_away.png", L"jbr_status_NA.png", L"jbr_status_occupied.png", L"jbr_status_DND.png",
    L"jbr_status_notinlist.png", L"jbr_cl_need_auth.png", L"jbr_request.png", L"jbr_grant.png",
    L"jbr_auth_revoke.png",
};

std::mutex g_lock;
CJOVArray<unsigned int> g_imageTable;

} // namespace

CJOVString GetJabberImageFileName(int position)
{
    if (position < 0 || position >= kJabberImageCount)
        return CJOVString();
    return CJOVString(kImageFiles[position]);
}

void LoadJabberImages(Skins::CSkinManager* skins)
{
    std::lock_guard<std::mutex> hold(g_lock);
    if (!skins || g_imageTable.Count() > 0)
        return;
    for (int position = 0; position < kJabberImageCount; ++position)
        g_imageTable.Append(
            static_cast<unsigned int>(skins->AddImage(GUID_JabberProtocol, GetJabberImageFileName(position))));
}

void ReleaseJabberImages(Skins::CSkinManager* skins)
{
    std::lock_guard<std::mutex> hold(g_lock);
    if (skins) {
        for (int i = 0; i < g_imageTable.Count(); ++i)
            skins->ReleaseImage(g_imageTable[i]);
    }
    g_imageTable.RemoveAll();
}

unsigned int GetJabberImageId(int position)
{
    std::lock_guard<std::mutex> hold(g_lock);
    int count = g_imageTable.Count();
    if (count == 0 || position < 0)
        return 0;
    return g_imageTable[position < count ? position : count - 1];
}

CJOVArray<unsigned int> GetJabberImages()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_imageTable;
}
