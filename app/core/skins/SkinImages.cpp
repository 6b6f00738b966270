#include "core/skins/SkinImages.h"

#include "SkinManager.h"

namespace Skins {

namespace {

const wchar_t* const kFiles[] = {
    L"jov_status_at_home.png", L"jov_status_at_work.png", L"jov_status_away.png", L"jov_status_connecting.png",
    L"jov_status_depression.png", L"jov_status_dnd.png", L"jov_status_evil.png", L"jov_status_freeforchat.png",
    L"jov_status_ifa.png", L"jov_status_invisible.png", L"jov_status_lunch.png", L"jov_status_na.png",
    L"jov_status_occupied.png", L"jov_status_offline.png", L"jov_status_online.png",
    L"jov_cl_close_all_groups.png", L"jov_cl_create_new_group.png", L"jov_cl_delete_contact.png",
    L"jov_cl_delete_group.png", L"jov_cl_group_closed.png", L"jov_cl_group_opened.png",
    L"jov_cl_move_to_group.png", L"jov_cl_msg_im.png", L"jov_cl_msg_im_out.png", L"jov_cl_msg_im_offline.png",
    L"jov_cl_msg_send.png", L"jov_cl_open_all_groups.png", L"jov_cl_rename_contact.png",
    L"jov_cl_rename_group.png", L"jov_cl_root_closed.png", L"jov_cl_root_opened.png", L"jov_cl_user_dets.png",
    L"jov_cl_history.png", L"jov_cl_copy.png", L"jov_mw_background.png", L"jov_mw_quote.png", L"jov_mw_cut.png",
    L"jov_mw_paste.png", L"jov_mw_smiles.png", L"jov_mw_clear.png", L"jov_mw_close_tab.png",
    L"jov_pref_contacts.png", L"jov_pref_events.png", L"jov_pref_messaging.png", L"jov_pref_sounds.png",
    L"jov_pref_interface.png", L"jov_pref_accounts.png", L"jov_pref_connection.png", L"jov_misc_empty.png",
    L"jov_misc_info.png", L"jov_misc_update.png", L"jov_misc_save_as.png", L"jov_misc_delete.png",
    L"jov_misc_warning.png", L"jov_mmenu_quit.png", L"jov_mmenu_about.png", L"jov_mmenu_prefs.png",
    L"jov_mmenu_details.png", L"jov_mmenu_find.png",
};
static_assert(sizeof(kFiles) / sizeof(kFiles[0]) == kFixedImageCount, "one file per fixed image");
static_assert(kFixedImageCount == kSkinImageCount, "the service's count of skin images");

} // namespace

const wchar_t* GetSkinImageFile(int id)
{
    return id >= 0 && id < kFixedImageCount ? kFiles[id] : nullptr;
}

} // namespace Skins
