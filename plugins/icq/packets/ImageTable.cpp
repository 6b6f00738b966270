#include "ImageTable.h"

#include <cwchar>
#include <mutex>

#include "ServiceIds.h"

namespace {

const wchar_t* const kNamedImages[] = {
    L"icq_proto.png", L"icq_proto_small.png", L"icq_status_offline.png", L"icq_status_aim_offline.png",
    L"icq_status_connecting.png", L"icq_status_online.png", L"icq_status_jov.png", L"icq_status_aim_online.png",
    L"icq_status_invisible.png", L"icq_status_ifa.png", L"icq_status_ffc.png", L"icq_status_evil.png",
    L"icq_status_depres.png", L"icq_status_at_home.png", L"icq_status_at_work.png", L"icq_status_lunch.png",
    L"icq_status_away.png", L"icq_status_na.png", L"icq_status_occupied.png", L"icq_status_dnd.png",
    L"icq_status_notinlist.png", L"icq_status_aim_notinlist.png", L"icq_status_vis4all.png",
    L"icq_status_vis4vis.png", L"icq_status_vis4all_except_invis.png", L"icq_status_vis4cl.png",
    L"icq_status_invis4all.png", L"icq_privacy_vislist.png", L"icq_privacy_invislist.png",
    L"icq_privacy_ignlist.png", L"icq_privacy_add_to_vis.png", L"icq_privacy_add_to_invis.png",
    L"icq_privacy_add_to_ignore.png", L"icq_auth.png", L"icq_cl_need_auth.png", L"icq_update_cl.png",
    L"icq_add_contact.png",
};
const int kNamedImageCount = sizeof(kNamedImages) / sizeof(kNamedImages[0]);

std::mutex g_lock;
CJOVArray<unsigned int> g_imageTable;

} // namespace

CJOVString GetImageFileName(int position)
{
    if (position >= 0 && position < kNamedImageCount)
        return CJOVString(kNamedImages[position]);
    if (position >= kNamedImageCount && position < kImageCount) {
        wchar_t name[32];
        std::swprintf(name, sizeof(name) / sizeof(name[0]), L"icq_X%02d.png", position - kNamedImageCount);
        return CJOVString(name);
    }
    return CJOVString();
}

void LoadImages(Skins::CSkinManager* skins)
{
    std::lock_guard<std::mutex> hold(g_lock);
    if (!skins || g_imageTable.Count() > 0)
        return;
    for (int position = 0; position < kImageCount; ++position)
        g_imageTable.Append(static_cast<unsigned int>(skins->AddImage(GUID_ICQProtocol, GetImageFileName(position))));
}

void ReleaseImages(Skins::CSkinManager* skins)
{
    std::lock_guard<std::mutex> hold(g_lock);
    if (skins) {
        for (int i = 0; i < g_imageTable.Count(); ++i)
            skins->ReleaseImage(g_imageTable[i]);
    }
    g_imageTable.RemoveAll();
}

unsigned int GetImageId(int position)
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_imageTable.Count() > 0 ? g_imageTable[position] : 0;
}

int GetImageCount()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_imageTable.Count();
}

CJOVArray<unsigned int> GetImages()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_imageTable;
}
