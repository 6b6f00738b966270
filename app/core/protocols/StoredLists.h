// What the protocol plug-in manager asks of the contact-list model when it
// deletes an account: to take the account's stored list out of the settings
// store before the manager writes the file, so that one write removes both.
// Served by the model (start-up joins them); called on the thread that
// deletes the account, so it never waits on an account.
#pragma once

namespace Protocols {

class CStoredLists {
public:
    virtual void DropStoredList(unsigned int accountId) = 0;

protected:
    ~CStoredLists() = default;
};

} // namespace Protocols
