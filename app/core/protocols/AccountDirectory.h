// What the contact-list model must learn of an account to name its stored
// list: the account's protocol and the events client that answers "Get
// account name". Served by the protocol plug-in manager (through an adapter
// that start-up hands the model); called on the model's queue thread.
#pragma once

#include "JOVGuid.h"

namespace CL {

class CAccountDirectory {
public:
    // False when no account has that id.
    virtual bool FindAccount(unsigned int accountId, JOV_GUID* protocol, unsigned int* clientId) = 0;

protected:
    ~CAccountDirectory() = default;
};

} // namespace CL
