// The messaging window's menu and soft keys.
#include "ServiceIds.h"
#include "contactlist/ContactDetailsDlg.h"
#include "contactlist/ControlText.h"
#include "contactlist/OwnerDrawnMenu.h"
#include "core/AppGlobals.h"
#include "core/MainMenu.h"
#include "messaging/HistoryDlg.h"
#include "messaging/MessageDialogCtrl.h"
#include "messaging/MessageWnd.h"
#include "messaging/MsgWnd_ChatSettingsDlg.h"
#include "messaging/MsgWnd_EditSettingsDlg.h"
#include "messaging/MsgWnd_MenuSettingsDlg.h"
#include "protocols/ProtocolsManager.h"

namespace {

const unsigned int kNoImage = static_cast<unsigned int>(-1);

CMenuItemInfo MenuItem(unsigned int command, int textId, const wchar_t* english, unsigned int image,
                       CMenuItemInfo::MenuItemType type = CMenuItemInfo::MenuItemCommand)
{
    CMenuItemInfo item(type, LangText(textId, english));
    item.commandId = command;
    if (image != kNoImage)
        item.images.Append(image);
    return item;
}

CMenuItemInfo Separator()
{
    return CMenuItemInfo(CMenuItemInfo::MenuItemSeparator);
}

// The function key's caption by "Left key"; a value outside the three acts as "Close".
int FunctionKeyTextId(int leftKey)
{
    switch (leftKey) {
    case CMessageWnd::LeftKeySend:
        return 120;
    case CMessageWnd::LeftKeySmilies:
        return 121;
    default:
        return 178;
    }
}

} // namespace

void CMessageWnd::BuildMenu(CMenuInfo& menu)
{
    const unsigned int contactId = GetPageContact(GetCurrentPage());
    if (contactId) {
        auto* protocols = static_cast<Protocols::CProtocolsManager*>(m_bus->GetService(GUID_ProtocolsManager));
        if (protocols)
            protocols->InitMessageWindowMenu(AccountOf(contactId), contactId, &menu);
        if (menu.Count() > 0)
            menu.Append(Separator());
    }
    menu.Append(MenuItem(kMsgCmdSend, 120, L"Send", 25));
    if (!AreSmiliesOff())
        menu.Append(MenuItem(kMsgCmdSmilies, 121, L"Smilies", 38));
    menu.Append(Separator());
    menu.Append(MenuItem(kMsgCmdContactDetails, 34, L"Contact details", 31));
    menu.Append(MenuItem(kMsgCmdHistory, 35, L"Message history", 32));
    menu.Append(Separator());
    menu.Append(MenuItem(kMsgCmdSettingsCaption, 130, L"Settings:", 43, CMenuItemInfo::MenuItemGrayed));
    menu.Append(MenuItem(kMsgCmdChatSettings, 69, L"History...", kNoImage));
    menu.Append(MenuItem(kMsgCmdEditSettings, 70, L"Editor...", kNoImage));
    menu.Append(MenuItem(kMsgCmdControlSettings, 71, L"Controls...", kNoImage));
    menu.Append(Separator());
    menu.Append(MenuItem(kMsgCmdClearChat, 127, L"Clear message dialog", 39));
    menu.Append(MenuItem(kMsgCmdCloseTab, 128, L"Close message tab", 40));
    menu.Append(MenuItem(kMsgCmdCloseWindow, 129, L"Close messaging window", 54));
}

void CMessageWnd::ShowMenu()
{
    CMenuInfo menu;
    BuildMenu(menu);
    if (menu.Count() == 0)
        return;
    unsigned int nextId = kMsgFirstPluginCommand;
    HMENU popup = BuildPopupMenu(menu, nextId, nullptr);
    if (!popup)
        return;
    RECT window;
    GetWindowRect(m_hDlg, &window);
    // The menu opens above the key that opened it.
    const bool menuKeyLeft = m_settings->GetControls().reverseKeys != 0;
    const UINT flags = TPM_RETURNCMD | TPM_BOTTOMALIGN | (menuKeyLeft ? TPM_LEFTALIGN : TPM_RIGHTALIGN);
    const int chosen = static_cast<int>(
        TrackPopupMenuEx(popup, flags, menuKeyLeft ? window.left : window.right, window.bottom, m_hDlg, nullptr));
    if (chosen >= static_cast<int>(kMsgCmdSend)) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA;
        if (GetMenuItemInfoW(popup, static_cast<UINT>(chosen), FALSE, &info) && info.dwItemData)
            RunMenuItem(*reinterpret_cast<const CMenuItemInfo*>(info.dwItemData));
    }
    DestroyMenu(popup);
}

void CMessageWnd::RunMenuItem(const CMenuItemInfo& item)
{
    CMessageDialogCtrl* page = GetCurrentPage();
    const unsigned int contactId = GetPageContact(page);
    if (item.handler) {
        reinterpret_cast<MenuItemHandlerFn>(item.handler)(contactId, item.param);
        return;
    }
    switch (item.commandId) {
    case kMsgCmdSend:
        SendCurrentMessage();
        break;
    case kMsgCmdSmilies:
        ChooseSmiley();
        break;
    case kMsgCmdContactDetails:
        if (contactId)
            ShowContactDetails(m_hDlg, contactId);
        break;
    case kMsgCmdHistory:
        if (contactId) {
            CHistoryDlg dialog(m_hDlg, page, contactId, m_bus);
            dialog.DoModal();
        }
        break;
    case kMsgCmdChatSettings: {
        CMsgWnd_ChatSettingsDlg dialog(m_hDlg, m_settings);
        dialog.DoModal();
        break;
    }
    case kMsgCmdEditSettings: {
        CMsgWnd_EditSettingsDlg dialog(m_hDlg, m_settings);
        dialog.DoModal();
        break;
    }
    case kMsgCmdControlSettings: {
        CMsgWnd_MenuSettingsDlg dialog(m_hDlg, m_settings);
        dialog.DoModal();
        break;
    }
    case kMsgCmdClearChat:
        if (page)
            page->ClearChat();
        break;
    case kMsgCmdCloseTab:
        CloseContactPage(contactId);
        break;
    case kMsgCmdCloseWindow:
        Show(false);
        break;
    }
}

void CMessageWnd::RunFunctionKey()
{
    switch (m_settings->GetControls().leftKey) {
    case LeftKeySend:
        SendCurrentMessage();
        break;
    case LeftKeySmilies:
        ChooseSmiley();
        break;
    default:
        SetWindowPos(m_hDlg, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_HIDEWINDOW);
        if (m_hMenuBar)
            ShowWindow(m_hMenuBar, SW_HIDE);
        break;
    }
}

bool CMessageWnd::IsFunctionKeyFirst() const
{
    return m_settings->GetControls().reverseKeys == 0;
}

int CMessageWnd::GetSoftKeyCap(int index, CJOVString& caption)
{
    const int functionKey = IsFunctionKeyFirst() ? 0 : 1;
    int textId;
    if (index == functionKey)
        textId = FunctionKeyTextId(m_settings->GetControls().leftKey);
    else if (index == 1 - functionKey)
        textId = 176;
    else
        return 0;
    // No English stand-in: a missing text leaves the placeholder.
    CJOVString text;
    if (!g_App.pServices || !g_App.pServices->GetString(textId, text))
        return 0;
    caption = text;
    return 1;
}
