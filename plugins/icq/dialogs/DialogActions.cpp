#include "DialogActions.h"

#include <cstdint>
#include <vector>

#include "AccountLink.h"
#include "AccountRequests.h"
#include "AddContactDlg.h"
#include "AuthorizationRequestDlg.h"
#include "EventArgData.h"
#include "XStatusesDlg.h"
#include "cl/ContactList.h"
#include "packets/ImageTable.h"
#include "PluginModule.h"

namespace {

CJOVString ItemName(unsigned int itemId)
{
    CJOVString name;
    if (CL::CContactList* list = PluginContactList())
        list->GetString(itemId, CJOVString(L"Account name"), name);
    return name;
}

} // namespace

void RunAddContactDialog(unsigned int accountId, const CJOVString& uin, const CJOVString& name,
                         const CJOVString& group)
{
    std::vector<CJOVString> names;
    if (!SendAccountRequest(accountId, ICQ_EVENT_GET_GROUPS, new CEventArg_Data<std::vector<CJOVString>*>(&names)))
        return;
    CJOVArray<CJOVString> groups;
    for (const CJOVString& group : names)
        groups.Append(group);
    CAddContactDlg dialog(nullptr, uin, name, group, groups);
    if (dialog.DoModal() != IDOK)
        return;
    ContactToAdd contact;
    contact.uin = dialog.GetAccountName();
    contact.name = dialog.GetContactName();
    contact.group = dialog.GetGroup();
    PostAccountRequest(accountId, ICQ_EVENT_ADD_CONTACT, new CEventArg_Data<ContactToAdd>(contact));
}

void RunAuthorizationRequestDialog(unsigned int accountId, unsigned int contactId)
{
    CAuthorizationRequestDlg dialog(nullptr, GetPluginText(35, L"Please authorize my request."));
    if (dialog.DoModal() != IDOK)
        return;
    AuthorizationToAsk request;
    request.contactId = contactId;
    request.reason = dialog.GetReason();
    PostAccountRequest(accountId, ICQ_EVENT_ASK_AUTHORIZATION, new CEventArg_Data<AuthorizationToAsk>(request));
}

void RunXStatusesDialog(unsigned int accountId)
{
    XStatusChoice choice;
    if (!SendAccountRequest(accountId, ICQ_EVENT_GET_XSTATUSES, new CEventArg_Data<XStatusChoice*>(&choice)))
        return;
    LoadImages(GetPluginSkinManager());
    CJOVArray<unsigned int> images;
    for (int i = 0; i < kXStatusPictureCount; ++i)
        images.Append(GetImageId(kImageXStatusBase + i));
    CXStatusesDlg dialog(nullptr, choice.table, choice.index, images);
    if (dialog.DoModal() != IDOK)
        return;
    choice.index = dialog.GetSelection();
    PostAccountRequest(accountId, ICQ_EVENT_SET_XSTATUS, new CEventArg_Data<XStatusChoice>(choice));
}

void OnMenuAddContact(unsigned int accountId, uintptr_t)
{
    RunAddContactDialog(accountId, CJOVString(), CJOVString(), CJOVString());
}

void OnMenuAddContactToGroup(unsigned int groupId, uintptr_t accountId)
{
    RunAddContactDialog(static_cast<unsigned int>(accountId), CJOVString(), CJOVString(), ItemName(groupId));
}

void OnMenuAddToContactList(unsigned int contactId, uintptr_t)
{
    CJOVString uin = ItemName(contactId);
    RunAddContactDialog(AccountOfItem(contactId), uin, uin, CJOVString());
}

void OnMenuAuthorizationRequest(unsigned int contactId, uintptr_t)
{
    RunAuthorizationRequestDialog(AccountOfItem(contactId), contactId);
}

void OnMenuXStatuses(unsigned int accountId, uintptr_t)
{
    RunXStatusesDialog(accountId);
}
