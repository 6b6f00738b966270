#include "core/MainMenu.h"

#include <commctrl.h>

#include "MenuBar.h"
#include "contactlist/CLCtrl.h"
#include "contactlist/OwnerDrawnMenu.h"
#include "core/AppGlobals.h"
#include "core/JOVResource.h"

namespace {

const unsigned int kImageMyDetails = 57;
const unsigned int kImagePreferences = 56;
const unsigned int kImageAbout = 55;
const unsigned int kImageQuit = 54;

HMENU SoftKeyMenu(HWND menuBar, UINT key, int position)
{
    if (!menuBar)
        return nullptr;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuBar, SHCMBM_GETSUBMENU, 0, key));
    if (!menu) {
        HMENU bar = reinterpret_cast<HMENU>(SendMessageW(menuBar, SHCMBM_GETMENU, 0, 0));
        menu = bar ? GetSubMenu(bar, position) : nullptr;
    }
    return menu;
}

void SetSoftKeyText(HWND menuBar, UINT key, CJOVString text)
{
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_TEXT;
    info.pszText = text;
    SendMessageW(menuBar, TB_SETBUTTONINFOW, key, reinterpret_cast<LPARAM>(&info));
}

void EmptyMenu(HMENU menu)
{
    while (DeleteMenu(menu, 0, MF_BYPOSITION)) {
    }
}

CMenuItemInfo CommandItem(const CJOVString& caption, unsigned int command, unsigned int image)
{
    CMenuItemInfo item(caption, command, 0);
    item.images.Append(image);
    return item;
}

} // namespace

HMENU GetLeftSoftKeyMenu(HWND menuBar)
{
    return SoftKeyMenu(menuBar, IDK_LEFT_SOFTKEY, 0);
}

HMENU GetRightSoftKeyMenu(HWND menuBar)
{
    return SoftKeyMenu(menuBar, IDK_RIGHT_SOFTKEY, 1);
}

void DescribeLeftMenu(CGuiServices& services, CMenuInfo& left)
{
    left.RemoveAll();
    CMenuInfo accounts;
    int count = services.GetAccountCount();
    for (int i = 0; i < count; ++i) {
        unsigned int id = services.GetAccountId(i);
        accounts.Append(CMenuItemInfo(services.GetAccountName(id), kCmdFirstAccountDetails + i, 0));
    }
    if (accounts.Count() > 0) {
        CMenuItemInfo details(GetGuiText(services, 17, L"View/change my details"), accounts);
        details.commandId = kCmdMyDetails;
        details.images.Append(kImageMyDetails);
        left.Append(details);
    }
    left.Append(CommandItem(GetGuiText(services, 18, L"Preferences"), kCmdPreferences, kImagePreferences));
    left.Append(CommandItem(GetGuiText(services, 19, L"About JOV"), kCmdAbout, kImageAbout));
    left.Append(CommandItem(GetGuiText(services, 20, L"Quit JOV"), kCmdQuit, kImageQuit));
}

HWND ApplyMainMenu(HWND menuBar, const CMenuInfo& left)
{
    // The menus are emptied before their descriptions change: no item may
    // point at a freed description.
    HMENU leftMenu = GetLeftSoftKeyMenu(menuBar);
    HMENU rightMenu = GetRightSoftKeyMenu(menuBar);
    if (leftMenu)
        EmptyMenu(leftMenu);
    if (rightMenu)
        EmptyMenu(rightMenu);
    g_App.leftMenu = left;
    g_App.rightMenu.RemoveAll();
    g_App.rightMenu.title = CJOVString();
    if (g_App.pCLCtrl)
        g_App.pCLCtrl->FillSelectedItemMenu(g_App.rightMenu);
    if (!menuBar)
        return menuBar;

    CGuiServices* services = g_App.pServices;
    SetSoftKeyText(menuBar, IDK_LEFT_SOFTKEY, services ? GetGuiText(*services, 15, L"Menu") : CJOVString(L"Menu"));
    unsigned int nextCommand = kFirstMenuCommand;
    if (leftMenu)
        BuildPopupMenu(g_App.leftMenu, nextCommand, leftMenu);

    if (g_App.rightMenu.Count() == 0) {
        SHEnableSoftkey(menuBar, IDK_RIGHT_SOFTKEY, FALSE, FALSE);
        SetSoftKeyText(menuBar, IDK_RIGHT_SOFTKEY, CJOVString(L""));
    } else {
        SHEnableSoftkey(menuBar, IDK_RIGHT_SOFTKEY, FALSE, TRUE);
        SetSoftKeyText(menuBar, IDK_RIGHT_SOFTKEY, g_App.rightMenu.title);
        if (rightMenu)
            BuildPopupMenu(g_App.rightMenu, nextCommand, rightMenu);
    }
    return menuBar;
}

HWND BuildMainMenu(HWND menuBar)
{
    CMenuInfo left;
    if (g_App.pServices)
        DescribeLeftMenu(*g_App.pServices, left);
    return ApplyMainMenu(menuBar, left);
}

bool RunMenuItemHandler(HMENU menu, UINT command, unsigned int subjectId)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA;
    if (!menu || !GetMenuItemInfoW(menu, command, FALSE, &info) || !info.dwItemData)
        return false;
    const CMenuItemInfo* item = reinterpret_cast<const CMenuItemInfo*>(info.dwItemData);
    if (!item->handler)
        return false;
    reinterpret_cast<MenuItemHandlerFn>(item->handler)(subjectId, item->param);
    return true;
}
