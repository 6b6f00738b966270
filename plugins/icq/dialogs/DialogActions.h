// The account dialogs as the account's menu items open them, on the
// user-interface thread: what the account knows is asked of its thread first,
// what the user chose is posted to it afterwards.
#pragma once

#include <cstdint>

#include "JOVString.h"

// Offers the roster's groups; on OK the account adds the contact to the
// group of that name.
void RunAddContactDialog(unsigned int accountId, const CJOVString& uin, const CJOVString& name,
                         const CJOVString& group);
// On OK the account asks the contact for authorization with the reason.
void RunAuthorizationRequestDialog(unsigned int accountId, unsigned int contactId);
// On OK the account takes the texts and the picked x-status.
void RunXStatusesDialog(unsigned int accountId);

// The menu items' callbacks: (subject id, the item's data word).
void OnMenuAddContact(unsigned int accountId, uintptr_t);
// The group's item carries its account's id: group 0 ("Not in list") is every account's.
void OnMenuAddContactToGroup(unsigned int groupId, uintptr_t accountId);
void OnMenuAddToContactList(unsigned int contactId, uintptr_t);
void OnMenuAuthorizationRequest(unsigned int contactId, uintptr_t);
void OnMenuXStatuses(unsigned int accountId, uintptr_t);
