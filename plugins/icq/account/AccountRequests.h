// What the plug-in's pages and dialogs ask of an account. They run on the
// user-interface thread and never touch the account object: each request is
// an event from the plug-in's own GUID to the account's client, handled on the
// account's thread. The "Get" ones are sent and waited for; the rest posted.
#pragma once

#include <vector>

#include "JOVString.h"
#include "TLV.h"
#include "packets/XStatusTable.h"

// in: CEventArg_Data<std::vector<CJOVString>*>, filled with the names of the
// roster's groups in roster order.
#define ICQ_EVENT_GET_GROUPS L"Get groups"
// in: CEventArg_Data<ContactToAdd>.
#define ICQ_EVENT_ADD_CONTACT L"Add contact"
// in: CEventArg_Data<AuthorizationToAsk>.
#define ICQ_EVENT_ASK_AUTHORIZATION L"Ask authorization"
// in: CEventArg_Data<XStatusChoice*>, filled with a copy of the table and the index.
#define ICQ_EVENT_GET_XSTATUSES L"Get x-statuses"
// in: CEventArg_Data<XStatusChoice>: the texts go into the account's table.
#define ICQ_EVENT_SET_XSTATUS L"Set x-status"
// in: CEventArg_Data<CTLVCol>: the changed own details, sent while online.
#define ICQ_EVENT_SET_OWN_DETAILS L"Set own details"
// no argument: the login was changed on the options page.
#define ICQ_EVENT_LOGIN_CHANGED L"Login changed"

struct ContactToAdd {
    CJOVString uin;
    CJOVString name;
    CJOVString group;  // by name; a name no group has adds nothing
};

struct AuthorizationToAsk {
    unsigned int contactId = 0;
    CJOVString reason;
};

struct XStatusChoice {
    XStatusTable table;
    int index = 0;  // 0 none, else 1 to 35
};
